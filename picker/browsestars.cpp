// The star listings of the browse cursor: common names, Bayer and Flamsteed
// designations of a constellation, double-star discoverer designations and
// the numbers of the star catalogues (HR, HD, SAO, PPM, HIP, GC one page of
// 1,000 numbers at a time; BD, CD and CP one declination zone per page;
// Tycho-2 one guide-star region per page).
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/safefile.h"
#include "core/textutil.h"
#include "picker/browsesources.h"
#include "objects/catfile.h"
#include "objects/designationtexts.h"
#include "objects/starxref.h"
#include "objects/stardes.h"

namespace {

const int kPageRows = 1000;
const int kFlamsteedNumbers = 139;
const int kTychoPageRows = 1600;
const int kDiscovererFile = 86;  // did_cross.bin, reference slot 1
const int kDiscovererRecordSize = 23;
const int kPpmLowLast = 378910;     // PPM numbers 1-378,910 ...
const int kPpmHighOffset = 321091;  // ... and from 700,001, stored at n - 321,091

// Star designation kinds (1-based) of the listings.
enum {
    kCommonName = 1, kBayer, kFlamsteed, kVariable, kHr, kHd, kSao, kPpm, kHip, kBd, kCd, kCp,
    kGc, kWds, kAds, kCcdm, kNsv, kTycho
};

int SetUpCommonNames(BrowseState *state, BrowseSources *src, int32_t *total) {
    src->files[0] = OpenStarNameList();
    if (!src->files[0]) return -1;
    // Every name the file holds (326 on the packaged file), so that a larger
    // list is not cut short.
    src->filterByPattern = true;
    src->last = StreamSize(src->files[0]) / kStarNameListRecordSize;
    if (src->last > kBrowseRowLimit) src->last = kBrowseRowLimit;
    if (src->last < 0) src->last = 0;
    state->rowLimit = static_cast<int32_t>(src->last);
    *total = static_cast<int32_t>(src->last);
    src->step = [](BrowseSources &s, BrowseRow *row) {
        if (s.next >= s.last) return 0;
        char name[33];
        int star = 0, byte = 0;
        int read = ReadStarNameListEntry(s.files[0], static_cast<int>(s.next), name, &star, &byte);
        if (read <= 0) return -1;
        ++s.next;
        std::snprintf(row->text, sizeof row->text, "%s", name);
        row->objectNumber = read;  // entry + 1: the star builder reads entry n - 1
        return 1;
    };
    return 1;
}

int SetUpBayer(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    src->files[0] = OpenBayerIndex();
    if (!src->files[0]) return -1;
    src->countTotal = true;
    src->filterByPattern = true;
    src->extra[0] = r.constellation - 1;  // table position
    (void)state;
    SetNumberRange(src, 0, 24 * 9 - 1, [](BrowseSources &s, int64_t n, BrowseRow *row) {
        int letter = static_cast<int>(n / 9), superscript = static_cast<int>(n % 9);
        int stars[2] = {0, 0};
        if (ReadBayerIndex(s.files[0], letter, superscript, s.extra[0], stars) <= 0) return 0;
        uint32_t packed = (static_cast<uint32_t>(letter + 1) << 15) |
                          (static_cast<uint32_t>(superscript) << 20) |
                          (static_cast<uint32_t>(s.extra[0]) << 8);
        if (!FormatBayerDesignation(row->text, packed)) return 0;
        row->objectNumber = static_cast<int32_t>(n);  // (letter - 1) x 9 + superscript
        return 1;
    });
    return 1;
}

int SetUpFlamsteed(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    src->files[0] = OpenFlamsteedIndex();
    if (!src->files[0]) return -1;
    src->countTotal = true;
    src->extra[0] = r.constellation - 1;
    long wanted = 0;
    if (!r.everything && PatternNumber(r.pattern, &wanted)) src->wantedKey = wanted;
    (void)state;
    SetNumberRange(src, 1, kFlamsteedNumbers, [](BrowseSources &s, int64_t n, BrowseRow *row) {
        int stars[2] = {0, 0};
        if (ReadFlamsteedIndex(s.files[0], static_cast<int>(n), s.extra[0], stars) <= 0) return 0;
        uint32_t packed = static_cast<uint32_t>(n) | (static_cast<uint32_t>(s.extra[0]) << 8);
        return FormatFlamsteedDesignation(row->text, packed) ? 1 : 0;
    });
    return 1;
}

// HR, HD, SAO, PPM, HIP and GC: pages of 1,000 numbers; a typed number
// selects its row on its page.
int SetUpNumbered(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    FILE *(*open)() = nullptr;
    const char *format = "";
    int entrySize = 3;
    switch (r.kind) {
    case kHr: open = OpenHrIndex; format = "HR %ld"; break;
    case kHd: open = OpenHdIndex; format = "HD %ld"; entrySize = 6; break;
    case kSao: open = OpenSaoIndex; format = "SAO %ld"; break;
    case kPpm: open = OpenPpmIndex; format = "PPM %ld"; break;
    case kHip: open = OpenHipNumberIndex; format = "HIP %ld"; break;
    default: open = OpenGcIndex; format = "GC %ld"; break;
    }
    src->files[0] = open();
    if (!src->files[0]) return -1;
    // Totals and pages from the file itself, so a smaller file shows its own.
    int64_t slots = StreamSize(src->files[0]) / entrySize;
    if (slots <= 0) return 0;
    int64_t page = *r.page > 0 ? *r.page : 0;
    long wanted = 0;
    if (!r.everything) {
        if (!PatternNumber(r.pattern, &wanted) || wanted < 1) return 0;
        int64_t slot = wanted - 1;
        if (r.kind == kPpm && wanted > kPpmLowLast) slot = wanted - kPpmHighOffset;
        page = slot / kPageRows;
        src->wantedKey = wanted;
    }
    state->pageCount = static_cast<int32_t>(slots / kPageRows);
    *r.page = static_cast<int32_t>(page);
    *r.total = static_cast<int32_t>(slots);
    state->rowLimit = kPageRows;
    src->extra[0] = r.kind;
    src->label = format;
    int64_t first = page * kPageRows, last = first + kPageRows - 1;
    if (last >= slots) last = slots - 1;
    SetNumberRange(src, first, last, [](BrowseSources &s, int64_t slot, BrowseRow *row) {
        int64_t n = slot + 1;
        if (s.extra[0] == kPpm && slot >= kPpmLowLast) n = slot + kPpmHighOffset;
        int number = static_cast<int>(n);
        int star = 0;
        switch (s.extra[0]) {
        case kHr: star = ReadHrIndex(s.files[0], number); break;
        case kHd: {
            int stars[2] = {0, 0};
            star = ReadHdIndex(s.files[0], number, stars) > 0 ? stars[0] : 0;
            break;
        }
        case kSao: star = ReadSaoIndex(s.files[0], number); break;
        case kPpm: star = ReadPpmIndex(s.files[0], number); break;
        case kHip: star = ReadHipNumberIndex(s.files[0], number); break;
        default: star = ReadGcIndex(s.files[0], number); break;
        }
        if (star <= 0) return 0;
        std::snprintf(row->text, sizeof row->text, s.label, static_cast<long>(n));
        row->key = n;
        row->objectNumber = number;
        return 1;
    });
    return 1;
}

// BD, CD and CP: one declination zone per page. BD pages 0-89 are the zones
// +0 to +89 and pages 90-113 the zones -0 to -23; CD page p is zone -(22 + p),
// CP page p zone -(18 + p).
int SetUpDurchmusterung(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    const int catalogue = r.kind - kBd + 1;  // 1 BD, 2 CD, 3 CP
    const int firstSouth = catalogue == 2 ? 22 : 18;
    char sign = catalogue == 1 ? '+' : '-';
    int zone = catalogue == 1 ? 0 : firstSouth;
    int page = *r.page > 0 ? *r.page : 0;
    if (!r.everything) {
        std::string t = r.pattern;
        if (!t.empty() && (t[0] == 'B' || t[0] == 'C' || t[0] == 'b' || t[0] == 'c'))
            t = t.size() > 3 ? t.substr(3) : "";
        while (!t.empty() && t[0] == ' ') t.erase(0, 1);
        if (!t.empty() && t[0] != '+' && t[0] != '-') t = "+" + t;
        char s = '+', suffix = ' ';
        int z = 0;
        long number = 0;
        int read = std::sscanf(t.c_str(), "%c%d %ld%c", &s, &z, &number, &suffix);
        if (read < 2 || z < 0 || z > 90) return 0;
        sign = s;
        zone = z;
        if (read >= 3) src->wantedKey = number * 64 + (read == 4 && std::isalpha(static_cast<unsigned char>(suffix)) ? std::tolower(suffix) - 'a' + 1 : 0);
    } else if (catalogue == 1) {
        sign = page < 90 ? '+' : '-';
        zone = page < 90 ? page : page - 90;
    } else {
        zone = firstSouth + page;
    }
    if (catalogue == 1) {
        page = sign == '+' ? zone : zone + 90;
        state->pageCount = 113;
    } else {
        page = zone - firstSouth;
        state->pageCount = 89 - firstSouth;
    }
    *r.page = page;
    auto *walk = new (std::nothrow) DurchmusterungWalk;
    if (!walk) return -1;
    std::memset(walk, 0, sizeof *walk);
    int opened = catalogue == 1   ? OpenBdWalk(walk, sign, zone)
                 : catalogue == 2 ? OpenCdWalk(walk, sign, zone)
                                  : OpenCpWalk(walk, sign, zone);
    if (!opened) {
        delete walk;
        return -1;
    }
    src->release = [walk]() {
        CloseDurchmusterungWalk(walk);
        delete walk;
    };
    src->countTotal = true;
    src->extra[0] = catalogue;
    src->step = [walk](BrowseSources &s, BrowseRow *row) {
        char text[65];
        int star = s.extra[0] == 1   ? NextBdDesignation(walk, text)
                   : s.extra[0] == 2 ? NextCdDesignation(walk, text)
                                     : NextCpDesignation(walk, text);
        if (star <= 0) return star < 0 ? -1 : 0;
        std::snprintf(row->text, sizeof row->text, "%s", text);
        row->objectNumber = star;
        char sg = ' ', sf = ' ';
        int z = 0;
        long number = 0;
        int read = std::sscanf(text + 3, "%c%d %ld%c", &sg, &z, &number, &sf);
        if (read >= 3)
            row->key = number * 64 + (read == 4 && std::isalpha(static_cast<unsigned char>(sf)) ? std::tolower(sf) - 'a' + 1 : 0);
        return 1;
    };
    return 1;
}

// Tycho-2: one guide-star region per page, 1,600 rows.
int SetUpTycho(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    int region = (*r.page > 0 ? *r.page : 0) + 1;
    if (!r.everything) {
        int a = 0, b = 0, c = 0;
        if (!ParseTychoNumbers(r.pattern, &a, &b, &c) || a < 1 || a > kTychoRegionCount) return 0;
        region = a;
        src->wantedKey = static_cast<int64_t>(b) * 16 + c;
    }
    if (region > kTychoRegionCount) return 0;
    *r.page = region - 1;
    state->pageCount = kTychoRegionCount - 1;
    state->rowLimit = kTychoPageRows;
    TychoRegionWalk *walk = OpenTychoRegionWalk(region);
    if (!walk) return -1;
    src->release = [walk]() { CloseTychoRegionWalk(walk); };
    src->countTotal = true;
    src->extra[0] = region;
    src->step = [walk](BrowseSources &s, BrowseRow *row) {
        int tyc2 = 0, tyc3 = 0;
        if (!NextTychoEntry(walk, &tyc2, &tyc3)) return 0;
        FormatTychoDesignation(row->text, s.extra[0], tyc2, tyc3);
        row->key = static_cast<int64_t>(tyc2) * 16 + tyc3;
        row->objectNumber = 0;
        return 1;
    };
    return 1;
}

// Double-star discoverer designations, one page of 1,000 records.
int SetUpDiscoverers(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    src->files[0] = OpenCatalogueFile(kDiscovererFile, 1);
    if (!src->files[0]) return -1;
    int64_t count = StreamSize(src->files[0]) / kDiscovererRecordSize;
    state->pageCount = static_cast<int32_t>(count / kPageRows);
    state->rowLimit = kPageRows;
    src->filterByPattern = true;
    int64_t first = static_cast<int64_t>(*r.page > 0 ? *r.page : 0) * kPageRows;
    src->next = first;
    src->last = first + kPageRows < count ? first + kPageRows : count;
    src->step = [](BrowseSources &s, BrowseRow *row) {
        if (s.next >= s.last) return 0;
        unsigned char rec[kDiscovererRecordSize];
        if (!ReadAt(s.files[0], s.next * kDiscovererRecordSize, rec, sizeof rec)) return -1;
        ++s.next;
        char name[11];
        std::memcpy(name, rec, 10);
        name[10] = '\0';
        std::snprintf(row->text, sizeof row->text, "%s", name);
        row->objectNumber = GetI32(rec + 10);
        return 1;
    };
    return 1;
}

}  // namespace

int SetUpStarListing(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    switch (r.kind) {
    case kCommonName: return SetUpCommonNames(state, src, r.total);
    case kBayer:
    case kFlamsteed:
        // These listings are per constellation; without one there is nothing.
        if (r.constellation < 1 || r.constellation > 88) return 0;
        return r.kind == kBayer ? SetUpBayer(state, src, r) : SetUpFlamsteed(state, src, r);
    case kHr: case kHd: case kSao: case kPpm: case kHip: case kGc:
        return SetUpNumbered(state, src, r);
    case kBd: case kCd: case kCp: return SetUpDurchmusterung(state, src, r);
    case kTycho: return SetUpTycho(state, src, r);
    case kWds: return SetUpDiscoverers(state, src, r);
    default:
        // Variable-star names, ADS, CCDM and NSV numbers come from the
        // variable-star and double-star catalogues, which are not written
        // yet: their sources cannot be opened.
        return -1;
    }
}
