// Name searches of the minor-body database and of the user's own stores
// (user stars, deep-sky objects, sky marks, minor planets and comets, and the
// packaged minor planets and comets). Same arguments and results as the
// catalogue name searches of objects/namesearch.h: the number of candidates
// appended (class, object id or number, score), 0 or -1 for nothing usable.
#pragma once
#include <cstdint>

int SearchUserStarNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
int SearchUserDeepSkyNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
int SearchSkyMarkNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
int SearchUserMinorPlanetNames(const char *query, int *classes, int32_t *indexes, int *scores,
                               int max);
int SearchUserCometNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
int SearchMinorPlanetNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
int SearchCometNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
