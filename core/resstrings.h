// Fixed texts of the program's string table by number, the four tables that
// other code indexes arithmetically (catalogue file names, galaxy types,
// quasar detection methods, solar-system bodies), the display-variant flag,
// and the text-similarity measures of the fuzzy name search.
#pragma once

// Keeps the module whose string table is read (Windows; a HINSTANCE).
void InitResources(void *instance);
// The entry's text in one shared 128-byte buffer that the next call overwrites
// (copy the first text before loading a second); "" for an absent entry.
const char *LoadResString(int id);
// Loads the entry into a caller buffer of 64 bytes (at most 63 characters).
char *LoadResStringTo(char *buffer, int id);

// These answer "" for an index outside their table.
const char *LoadCatalogueName(int k);     // 8000 + k, k = 0..92
const char *LoadGalaxyTypeName(int i);    // 8175 + i, i = 0..14
const char *LoadQuasarMethodName(int i);  // 8190 + i, i = 0..4
const char *LoadBodyName(int i);          // 8448 + i, i = 0..11

int SetProVariant(int flag);
int UseProVariant();

// Copies at most n characters and always terminates (target holds n + 1 bytes).
char *CopyStringMax(char *target, const char *source, int n);
// Removes the first occurrence of part, then trailing and leading blanks; the
// text is left alone when part does not occur.
void RemoveSubstring(char *text, const char *part);
// Index of the first occurrence of c at or after start; -1 when none (or when
// start lies beyond the end of the text).
int FindCharFrom(const char *text, char c, int start);
void SwapStringPointers(char **a, char **b);
// 0..100: how much of the shorter text is found, in order, in the longer one.
double StringSimilarityPercent(const char *a, const char *b);
// Edit distance with unit costs (texts of any length).
double EditDistance(const char *a, const char *b);

// Installed by the Windows start-up so that texts come from the module's
// string table; without it the compiled-in copy of the same table answers.
typedef int (*StringResourceLoader)(int id, char *buffer, int size);
void SetStringResourceLoader(StringResourceLoader loader);
