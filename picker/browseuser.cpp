// The browse listings of the user's own stars, deep-sky objects and sky
// marks: the names of one page of 1,000 entries (page k from the entry whose
// id is k x 1,000 + 1), filtered by the pattern, each with its object id.
#include <cstdio>
#include <cstring>

#include "core/safefile.h"
#include "minorbodies/usercatalogs.h"
#include "picker/browsesources.h"
#include "objects/catfile.h"
#include "objects/objectrecord.h"

namespace {

const int kPageRows = 1000;
const int kUserNameSize = 33;

struct UserFileLayout {
    int recordSize;
    int nameOffset;
};

}  // namespace

int SetUpUserListing(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    int32_t count = 0;
    UserFileLayout layout{0, 0};
    switch (r.objectClass) {
    case kClassUserStar:
        src->files[0] = OpenUserStarFile(&count);
        layout = {static_cast<int>(sizeof(UserStarRecord)), 14};
        break;
    case kClassUserDeepSky:
        src->files[0] = OpenUserDeepSkyFile(&count);
        layout = {static_cast<int>(sizeof(UserDeepSkyRecord)), 16};
        break;
    case kClassSkyMark:
        src->files[0] = OpenSkyMarkFile(&count);
        layout = {static_cast<int>(sizeof(SkyMarkRecord)), 12};
        break;
    default: return -1;
    }
    if (!src->files[0]) return -1;
    if (count < 0) count = 0;
    // The opener leaves the file at its first record; the header's size is
    // where that is.
    long first = std::ftell(src->files[0]);
    if (first < 0) return -1;
    // Never more records than the file holds, whatever its header says.
    int64_t size = StreamSize(src->files[0]);
    int64_t whole = size > first ? (size - first) / layout.recordSize : 0;
    if (count > whole) count = static_cast<int32_t>(whole);
    int32_t page = *r.page > 0 ? *r.page : 0;
    *r.total = count;
    state->pageCount = count / kPageRows;
    state->rowLimit = kPageRows;
    src->filterByPattern = true;
    src->next = 0;
    src->last = count;
    src->extra[0] = layout.recordSize;
    src->extra[1] = layout.nameOffset;
    src->extra[2] = page * kPageRows + 1;  // the page's first id
    src->extra[3] = static_cast<int32_t>(first);
    src->step = [](BrowseSources &s, BrowseRow *row) {
        while (s.next < s.last) {
            unsigned char rec[64];
            if (!ReadAt(s.files[0], s.extra[3] + s.next * s.extra[0], rec,
                        static_cast<size_t>(s.extra[0])))
                return -1;
            ++s.next;
            int32_t id = GetI32(rec);
            if (id < s.extra[2]) continue;
            char name[kUserNameSize + 1];
            std::memcpy(name, rec + s.extra[1], kUserNameSize);
            name[kUserNameSize] = '\0';
            std::snprintf(row->text, sizeof row->text, "%s", name);
            row->objectNumber = id;
            return 1;
        }
        return 0;
    };
    return 1;
}
