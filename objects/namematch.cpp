// The two matching primitives of the fuzzy name search (the normalised form
// of a name and the scored comparison of a query with a catalogue name) and
// the order of the search's results.
#include <cctype>
#include <cstring>

#include "core/textutil.h"
#include "core/resstrings.h"
#include "objects/namesearch.h"
#include "objects/objectrecord.h"

namespace {

void UpperCase(char *text) {
    for (; *text; ++text) *text = static_cast<char>(std::toupper(static_cast<unsigned char>(*text)));
}

}  // namespace

void NormaliseObjectName(char *out, const char *name) {
    if (!out) return;
    char work[kNormalisedNameSize];
    CopyStringBounded(work, name ? name : "", sizeof work);
    UpperCase(work);
    if (std::strncmp(work, "THE ", 4) == 0) std::memmove(work, work + 4, std::strlen(work + 4) + 1);
    RemoveSubstring(work, "NEBULA");
    RemoveSubstring(work, " NEB");
    RemoveSubstring(work, "COMET");
    SqueezeBlanks(work);
    std::memcpy(out, work, std::strlen(work) + 1);
}

int MatchObjectName(const char *query, const char *candidate, int *score, int threshold) {
    if (!query || !candidate || !query[0] || !candidate[0]) return 0;
    char copy[256];
    CopyStringBounded(copy, candidate, sizeof copy);
    int result = 0;
    if (CompareStringsNoCase(query, copy) == 0) {
        result = kScoreEqual;
    } else {
        // A one-character query is compared with the name as the catalogue
        // spells it: "M" should not be "contained" in every Messier name.
        if (std::strlen(query) > 1) {
            UpperCase(copy);
            if (std::strstr(copy, query)) result = kScoreContained;
        }
        if (!result) {
            double s = StringSimilarityPercent(query, copy);
            if (s < threshold) return 0;
            result = s > 80.0 ? kScoreAbove80 : s > 70.0 ? kScoreAbove70 : kScoreThreshold;
        }
    }
    if (score) *score = result;
    return 1;
}

int CompareSearchCandidates(const void *a, const void *b) {
    const ObjectRecord *x = static_cast<const ObjectRecord *>(a);
    const ObjectRecord *y = static_cast<const ObjectRecord *>(b);
    int sx = x->constellation, sy = y->constellation;
    if (sx != sy) return sx < sy ? -1 : 1;
    int cx = x->objectClass, cy = y->objectClass;
    if (cx != cy) return cx < cy ? -1 : 1;
    int32_t ix = x->index, iy = y->index;
    if (ix != iy) return ix < iy ? -1 : 1;
    return 0;
}
