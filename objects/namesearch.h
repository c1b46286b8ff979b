// The object picker's fuzzy name search: a typed text ("orion", "andromeda
// galxy", "3C 273") is first recognised exactly, then compared with the name
// lists of the solar system, the packaged catalogues and the user's stores;
// every match is scored (lower is better) and the candidates are returned as
// object records sorted by score, class and index.
#pragma once
#include <cstdint>

struct DateRecord;
struct LocationRecord;
struct ObjectRecord;

// Match scores (lower is better).
const int kScoreExact = 0;       // the exact recognition
const int kScoreEqual = 1;       // equal ignoring case
const int kScoreContained = 2;   // the query is contained in the candidate
const int kScoreAbove80 = 3;     // similarity above 80 percent
const int kScoreAbove70 = 4;     // similarity above 70 percent
const int kScoreThreshold = 5;   // similarity at or above the search's threshold

// Search scopes.
const int kSearchScopeAll = 0;
const int kSearchScopeSolarSystem = 1;
const int kSearchScopeStars = 2;
const int kSearchScopeDeepSky = 3;

// The picker's result count and the size of its text buffer.
const int kSearchMaxResults = 200;
const int kSearchTextSize = 256;
// Size of a NormaliseObjectName output (names are cut to 255 characters).
const int kNormalisedNameSize = 256;

// Searches every catalogue with names for the text. The text is not changed:
// the recognition works on its own copy (cut to 255 characters) and every
// later comparison sees that copy's normalised form. altitude: radians, the
// rise/set altitude; site and date may be null; extinction: magnitudes per
// air mass; scope one of kSearchScope*. Fills up to max records (the array
// needs room for max records, no more): each initialised and given its class,
// kind, catalogue index, component letter (blank when none) and, in its
// constellation byte, the score; the caller refreshes the chosen record.
// Returns the number filled, 0 to max (0 also for max < 1 or no memory).
int SearchObjectsByName(const char *text, double altitude, const LocationRecord *site,
                        const DateRecord *date, double extinction, int scope,
                        ObjectRecord *records, int max);

// Upper-cases the name, drops a leading "THE ", removes the first "NEBULA",
// the first " NEB" and the first "COMET", trims both ends and squeezes runs of
// blanks. out holds kNormalisedNameSize bytes (may be the name itself).
void NormaliseObjectName(char *out, const char *name);

// Compares an upper-cased query with a catalogue name: 1 matched with *score
// (kScoreEqual ... kScoreThreshold), 0 not matched (score untouched).
// threshold: percent of StringSimilarityPercent needed for a match.
int MatchObjectName(const char *query, const char *candidate, int *score, int threshold);

// The name searches: each compares the query with one name list and appends
// up to max candidates (class, catalogue index, score) to the arrays. Returns
// the count, 0 or -1 when nothing usable (a file that cannot be opened, an
// empty query). Files are closed before the search returns.
typedef int (*NameSearchFunction)(const char *query, int *classes, int32_t *indexes, int *scores,
                                  int max);

int SearchBodyNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
// kinds (may be null) gets the satellite number of each candidate.
int SearchSatelliteNames(const char *query, int *classes, int32_t *indexes, int *scores, int max,
                         uint8_t *kinds);
int SearchCommonNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
int SearchConstellationNames(const char *query, int *classes, int32_t *indexes, int *scores,
                             int max);
int SearchStarNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
int SearchQuasarNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
int SearchPlanetaryNebulaDesignations(const char *query, int *classes, int32_t *indexes,
                                      int *scores, int max);
int SearchDoubleStarNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
int SearchOpenClusterNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
int SearchBrightNebulaNames(const char *query, int *classes, int32_t *indexes, int *scores,
                            int max);
int SearchGlobuleNames(const char *query, int *classes, int32_t *indexes, int *scores, int max);
int SearchGlobularClusterNames(const char *query, int *classes, int32_t *indexes, int *scores,
                               int max);
int SearchReferencePointNames(const char *query, int *classes, int32_t *indexes, int *scores,
                              int max);

// qsort order of result records: score (the constellation byte, unsigned)
// ascending, then class ascending, then catalogue index ascending (signed).
int CompareSearchCandidates(const void *a, const void *b);
