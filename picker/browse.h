// Catalogue browsing for the object picker's Browse page: a cursor that lists
// the objects of one class in one designation kind (constellations by name,
// stars by HD number, open clusters by Collinder number ...), optionally
// limited by a name pattern, a constellation or a page; the class and kind
// names of the page's selectors; and small helpers the listings share.
#pragma once
#include <cstdint>

// Open sources of one listing (files and scans); owned by the BrowseState.
struct BrowseSources;

// Row text size of a listing row (63 characters and the terminator).
const int kBrowseRowTextSize = 64;
// Rows of a listing unless the listing gives another limit; the picker keeps
// one catalogue number per row (kBrowseRowLimit + 1 slots).
const int kBrowseRowLimit = 14000;

// The cursor of one listing, owned by the caller. A new state is idle;
// BrowseReset before each listing. Whatever a listing holds open is closed
// when it ends (result 0 or -1), by the next BrowseReset and by the
// destructor, so a listing abandoned half-way leaves nothing open either.
struct BrowseState {
    int32_t started = 0;        // 0 until the first call has opened the sources
    int32_t position = 0;       // next record or number; -1 = go on from the file position
    int32_t rowsReturned = 0;
    int32_t rowLimit = 0;
    int32_t pageCount = 0;      // pages of a paged listing; 0 = not paged
    int32_t wantedNumber = 0;   // number named by the pattern, 0 none
    int32_t savedPeriodic = 0;  // periodic number of the previous comet row
    int32_t counters[4] = {0, 0, 0, 0};  // per-listing counters
    BrowseSources *sources = nullptr;

    BrowseState() = default;
    ~BrowseState();
    BrowseState(const BrowseState &) = delete;
    BrowseState &operator=(const BrowseState &) = delete;
};

// Closes whatever the previous listing left open and clears the started flag,
// the position, the wanted number, the row limit and the rows returned.
void BrowseReset(BrowseState *state);

// The next row of the listing of (class, kind). constellation: 0 all, else
// the constellation names record + 1 (1-89, Serpens twice); pattern: "*" or
// empty lists everything, else a name prefix or a designation whose number is
// selected. page (in/out): page to list, set to the page of a typed number;
// total: set on the first call (or counted up); selectedRow: the row index of
// the object the pattern named (-1 or 0 until then); objectNumber: the number
// the class builder takes with that kind; rowText: kBrowseRowTextSize bytes.
// Returns 1 a row, 0 the listing has ended (nothing left open), -1 a source
// cannot be opened or the pattern cannot be read (nothing left open).
int NextBrowseObject(BrowseState *state, int objectClass, int kind, int constellation,
                     const char *pattern, int32_t *page, int32_t *total, int32_t *selectedRow,
                     int32_t *objectNumber, char *rowText);

// Class names of the class selector in browse-index order (string table 9710
// to 9728, "Constellations" ... "Reference Points"): 1 and the next name
// (out: 64 bytes); 0 (out empty) after the nineteenth, and the next call
// starts again at the first.
int NextObjectClassName(char *out);

// Kind names of one family in kind order (out: 64 bytes): 1 and the next
// name; 0 after the last, and the next call starts again at kind 1. Each
// enumerator keeps its own position.
int NextStarKindName(char *out, int shortList);  // shortList: kinds 1-18 only
int NextGalaxyKindName(char *out);
int NextGalaxyGroupKindName(char *out);
int NextQuasarKindName(char *out);
int NextPlanetaryNebulaKindName(char *out);
int NextOpenClusterKindName(char *out);
int NextGlobularClusterKindName(char *out);
int NextCometKindName(char *out);
int NextMinorPlanetKindName(char *out);
int NextBrightNebulaKindName(char *out);
int NextDarkNebulaKindName(char *out);
// Puts every enumerator above (and NextObjectClassName) back to its first name.
void ResetBrowseNameEnumerators();

// Class of a deep-sky cross-index type code 0-7 (10, 11, 9, 8, 6, 7, 16, 17);
// 0 for any other code.
int CrossTypeToClass(int typeCode);

// A Tycho identifier "TYC 1234-567-1" / "1234 567 1": skips the first four
// characters unless the text begins with a digit, reads up to three numbers
// separated by blanks or "-"; missing second and third numbers are 1.
// 1 when at least one number was read, else 0 (outputs untouched).
int ParseTychoNumbers(const char *text, int *region, int *number, int *component);

// Size of a class's catalogue as the browse page shows it; for the user
// classes 12, 13, 14, 15 and 18 the count in the user's file; 0 otherwise.
int32_t CatalogueObjectCount(int objectClass);
