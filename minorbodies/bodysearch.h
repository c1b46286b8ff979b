// Name searches of the minor-body database and of the user's own stores
// (user stars, deep-sky objects, sky marks, minor planets and comets, and the
// packaged minor planets and comets). Same arguments and results as the
// catalogue name searches of objects/namesearch.h: the number of candidates
// appended (class, object id, number or first-set index, score), 0 or -1 for
// nothing usable.
//
// The comparison itself (the normalised form of a name and the scored
// match) belongs to the object layer above this one, which hands it down
// with SetBodyNameMatching before it searches; until then every search
// finds nothing.
#pragma once
#include <cstdint>

// Object classes of the candidates (the values of the object model's classes).
const int kBodySearchClassComet = 3;
const int kBodySearchClassMinorPlanet = 4;
const int kBodySearchClassUserStar = 12;
const int kBodySearchClassUserComet = 13;
const int kBodySearchClassUserMinorPlanet = 14;
const int kBodySearchClassSkyMark = 15;
const int kBodySearchClassUserDeepSky = 18;
// Similarity (percent) a name needs to be a candidate.
const int kBodySearchThreshold = 80;
// Size of a normalised query.
const int kBodySearchQuerySize = 256;

// Writes the normalised form of name into out (kBodySearchQuerySize bytes).
typedef void (*BodyNameNormaliser)(char *out, const char *name);
// 1 when candidate matches the normalised query, with *score; else 0.
typedef int (*BodyNameMatcher)(const char *query, const char *candidate, int *score, int threshold);
void SetBodyNameMatching(BodyNameNormaliser normalise, BodyNameMatcher match);

int SearchUserStarNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
int SearchUserDeepSkyNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
int SearchSkyMarkNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
int SearchUserMinorPlanetNames(const char *query, int *classes, int32_t *indexes, int *scores,
                               int max);
int SearchUserCometNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
// Packaged minor planets: every name of mp_alpha.bin, group by group; the
// candidates carry the minor-planet number.
int SearchMinorPlanetNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
// Packaged comets: every name of cnames.bin; the candidates carry the first
// set's index; -1 when the file is missing.
int SearchCometNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
