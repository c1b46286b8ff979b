// What one catalogue listing of the browse cursor holds between calls: its
// open files and scans (closed when the listing ends), the walk over its
// records and the way each step makes a row. Shared by the listing files
// (browsestars.cpp, browsedeepsky.cpp) and the cursor (browse.cpp).
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "picker/browse.h"

// One step of a listing: 1 a row (text, object
// number, and the key that a typed number is compared with), 0 the listing's
// source has ended, -1 a read failure. A step may skip records internally.
// The formatters of designation texts write up to 65 bytes.
const int kBrowseFormatSize = 65;
struct BrowseRow {
    char text[kBrowseFormatSize];  // cut to kBrowseRowTextSize for the caller
    int32_t objectNumber;
    int64_t key;  // the catalogue number (x 64 + suffix where suffixes exist); -1 none
};

struct BrowseSources {
    FILE *files[3] = {nullptr, nullptr, nullptr};
    std::function<int(BrowseSources &, BrowseRow *)> step;
    std::function<void()> release;  // ends scans the listing started
    bool filterByPattern = false;   // name listings: rows must begin with the pattern
    bool countTotal = false;        // the total is counted up row by row
    std::string patternCopy;        // the listing's pattern ("*" for everything)
    std::string rowWord;       // a word of the rows (open-cluster catalogue names)
    int64_t wantedKey = -1;         // key of the typed number, -1 none
    // Walk values of the listing.
    int64_t next = 0;
    int64_t last = 0;
    int32_t extra[4] = {0, 0, 0, 0};
    const char *label = "";        // row format of numbered listings
    BrowseSources() = default;
    ~BrowseSources();
    BrowseSources(const BrowseSources &) = delete;
    BrowseSources &operator=(const BrowseSources &) = delete;
};

// The set-up of one listing on the first call: fills the sources, total,
// row limit, page count and page. 1 ready, 0 an empty listing, -1 a source
// cannot be opened or the pattern cannot be read.
struct BrowseRequest {
    int objectClass;
    int kind;
    int constellation;   // 1-88 after the Serpens fold, 0 all
    const char *pattern; // never null; "*" for everything
    bool everything;     // pattern is "*"
    int32_t *page;
    int32_t *total;
};
int SetUpStarListing(BrowseState *state, BrowseSources *src, const BrowseRequest &r);
int SetUpDeepSkyListing(BrowseState *state, BrowseSources *src, const BrowseRequest &r);
int SetUpUserListing(BrowseState *state, BrowseSources *src, const BrowseRequest &r);
// The packaged comets and minor planets (browseminorbodies.cpp).
int SetUpMinorBodyListing(BrowseState *state, BrowseSources *src, const BrowseRequest &r);
// The user's comets and minor planets (browseuserbodies.cpp).
int SetUpUserMinorBodyListing(BrowseState *state, BrowseSources *src, const BrowseRequest &r);

// Helpers shared by the listings.
// The number after the first blank of the pattern (or at its start when it
// begins with a digit): 1 and *number, 0 when there is none.
int PatternNumber(const char *pattern, long *number);
// A listing over the numbers first..last; exists(n, text, objectNumber)
// answers 1 (and the row) when number n exists.
void SetNumberRange(BrowseSources *src, int64_t first, int64_t last,
                    std::function<int(BrowseSources &, int64_t n, BrowseRow *row)> exists);
// A listing of the deep-sky common names whose cross type gives the class.
int SetUpCommonNameListing(BrowseState *state, BrowseSources *src, int objectClass);
