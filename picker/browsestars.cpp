// The star listings of the browse cursor: common names, Bayer and Flamsteed
// designations and variable-star names of a constellation, double-star
// discoverer designations and the numbers of the star catalogues (HR, HD,
// SAO, PPM, HIP, GC, ADS, CCDM and NSV one page of 1,000 at a time; BD, CD
// and CP one declination zone per page; Tycho-2 one guide-star region per
// page).
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "core/safefile.h"
#include "core/textutil.h"
#include "picker/browsesources.h"
#include "objects/catfile.h"
#include "objects/ccdmcat.h"
#include "objects/designationtexts.h"
#include "objects/dsotexts.h"
#include "objects/starxref.h"
#include "objects/stardes.h"
#include "objects/starrecord.h"
#include "objects/variablecat.h"
#include "objects/variablenamelist.h"
#include "objects/variablenames.h"

namespace {

const int kPageRows = 1000;
const int kFlamsteedNumbers = 139;
const int kTychoPageRows = 1600;
const int kPpmLowLast = 378910;     // PPM numbers 1-378,910 ...
const int kPpmHighOffset = 321091;  // ... and from 700,001, stored at n - 321,091

// Star designation kinds (1-based) of the listings.
const int kCommonName = kStarKindCommonName, kBayer = kStarKindBayer,
          kFlamsteed = kStarKindFlamsteed, kVariable = kStarKindVariable, kHr = kStarKindHr,
          kHd = kStarKindHd, kSao = kStarKindSao, kPpm = kStarKindPpm, kHip = kStarKindHip,
          kBd = kStarKindBd, kCd = kStarKindCd, kCp = kStarKindCp, kGc = kStarKindGc,
          kWds = kStarKindWds, kAds = kStarKindAds, kCcdm = kStarKindCcdm, kNsv = kStarKindNsv,
          kTycho = kStarKindTycho2;

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
    src->files[0] = OpenDiscovererList();
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
        char name[kDiscovererNameSize + 1];
        int star = ReadDiscovererEntry(s.files[0], static_cast<int>(s.next), name);
        if (star < 0) return -1;
        ++s.next;
        std::snprintf(row->text, sizeof row->text, "%s", name);
        row->objectNumber = star;
        return 1;
    };
    return 1;
}

// The variable-star names of a constellation, filtered by the pattern; the
// object number is the name's variable-star record.
int SetUpVariables(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    VariableNameList *list = OpenVariableNameList();
    if (!list) return -1;
    src->release = [list]() { CloseVariableNameList(list); };
    SelectVariableNameConstellation(list, r.constellation);
    src->countTotal = true;
    src->filterByPattern = true;
    (void)state;
    src->step = [list](BrowseSources &, BrowseRow *row) {
        int record = 0;
        char name[kVariableNameSize];
        if (!ReadVariableNameEntry(list, -1, &record, name)) return 0;
        std::snprintf(row->text, sizeof row->text, "%s", name);
        row->objectNumber = record;
        return 1;
    };
    return 1;
}

// One page of 1,000 of a numbered double-star or suspected-variable
// listing over `slots` slots; a typed number (mapped to its slot by the
// caller) selects its row on its page.
void SetUpPage(BrowseState *state, BrowseSources *src, const BrowseRequest &r, int64_t slots,
               int64_t wantedSlot) {
    int64_t page = *r.page > 0 ? *r.page : 0;
    if (wantedSlot >= 0) page = wantedSlot / kPageRows;
    state->pageCount = static_cast<int32_t>(slots / kPageRows);
    state->rowLimit = kPageRows;
    *r.page = static_cast<int32_t>(page);
    *r.total = static_cast<int32_t>(slots);
    src->next = page * kPageRows;
    src->last = src->next + kPageRows - 1;
    if (src->last >= slots) src->last = slots - 1;
}

// ADS numbers that name a double-star system ("ADS %ld").
int SetUpAds(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    src->files[0] = OpenAdsIndex();
    if (!src->files[0]) return -1;
    int64_t slots = StreamSize(src->files[0]) / kAdsRecordSize;
    if (slots > kLastAdsNumber) slots = kLastAdsNumber;
    if (slots <= 0) return 0;
    long wanted = 0;
    if (!r.everything) {
        if (!PatternNumber(r.pattern, &wanted) || wanted < 1 || wanted > slots) return 0;
        src->wantedKey = wanted;
    }
    SetUpPage(state, src, r, slots, r.everything ? -1 : wanted - 1);
    SetNumberRange(src, src->next + 1, src->last + 1, [](BrowseSources &s, int64_t n, BrowseRow *row) {
        int records[3] = {0, 0, 0};
        if (ReadAdsIndex(s.files[0], static_cast<int>(n), records) <= 0) return 0;
        std::snprintf(row->text, sizeof row->text, "ADS %ld", static_cast<long>(n));
        return 1;
    });
    return 1;
}

// CCDM systems in catalogue order; the object number is the system record.
int SetUpCcdm(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    CcdmFiles *files = OpenCcdmFiles();
    if (!files) return -1;
    src->release = [files]() { CloseCcdmFiles(files); };
    const int64_t slots = CountCcdmRecords(files);
    if (slots <= 0) return 0;
    int64_t wantedSlot = -1;
    if (!r.everything) {
        int raPart = 0, decPart = 0, record = 0;
        char sign = '+';
        if (ParseCcdmDesignation(r.pattern, &raPart, &sign, &decPart) != 1) return 0;
        const CcdmIdentifier key{raPart, decPart, sign};
        CcdmIdentifier found{0, 0, ' '};
        if (FindCcdmRecord(key, &record, nullptr, nullptr, nullptr, nullptr, nullptr, &found,
                           nullptr, nullptr, nullptr, nullptr, kCcdmReadIdentifiers) < 0)
            return -1;
        // An identifier the catalogue lacks opens the page where it would
        // be (the last record probed) and selects nothing.
        if (record >= 1 && record <= slots) wantedSlot = record - 1;
        if (CompareCcdmIdentifiers(found, key) == 0) src->wantedKey = record;
    }
    SetUpPage(state, src, r, slots, wantedSlot);
    SetNumberRange(src, src->next + 1, src->last + 1,
                   [files](BrowseSources &, int64_t n, BrowseRow *row) {
                       CcdmIdentifier id{0, 0, '+'};
                       int primary = 0;
                       if (ReadCcdmRecord(files, static_cast<int>(n), nullptr, nullptr, nullptr,
                                          nullptr, nullptr, &id, &primary, nullptr, nullptr,
                                          nullptr, kCcdmReadIdentifiers) < 0)
                           return -1;
                       if (primary <= 0) return 0;  // an empty record
                       FormatCcdmDesignation(row->text, {id.first, id.second, id.sign});
                       return row->text[0] ? 1 : 0;
                   });
    return 1;
}

// NSV numbers: records 1-14,811 are those numbers, the later records the
// numbers from 15,001 on.
int SetUpNsv(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    src->files[0] = OpenNsvFile();
    if (!src->files[0]) return -1;
    const int64_t slots = StreamSize(src->files[0]) / kNsvRecordSize;
    if (slots <= 0) return 0;
    int64_t wantedSlot = -1;
    if (!r.everything) {
        long wanted = 0;
        if (!PatternNumber(r.pattern, &wanted) || wanted < 1) return 0;
        wantedSlot = NsvRecordIndex(static_cast<int>(wanted));
        if (wantedSlot < 0 || wantedSlot >= slots) return 0;
        src->wantedKey = wanted;
    }
    SetUpPage(state, src, r, slots, wantedSlot);
    SetNumberRange(src, src->next, src->last, [](BrowseSources &s, int64_t slot, BrowseRow *row) {
        const int64_t n = slot < kLastNsvOfFirstRun
                              ? slot + 1
                              : slot - kLastNsvOfFirstRun + kFirstNsvOfSecondRun;
        std::unique_ptr<NsvRecord> record(new NsvRecord);
        if (!ReadNsvRecord(s.files[0], static_cast<int>(n), 0, record.get(), 0)) return -1;
        std::snprintf(row->text, sizeof row->text, "NSV %ld", static_cast<long>(n));
        row->key = n;
        row->objectNumber = static_cast<int32_t>(n);
        return 1;
    });
    return 1;
}

}  // namespace

int SetUpStarListing(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    switch (r.kind) {
    case kCommonName: return SetUpCommonNames(state, src, r.total);
    case kBayer:
    case kFlamsteed:
    case kVariable:
        // These listings are per constellation; without one there is nothing.
        if (r.constellation < 1 || r.constellation > 88) return 0;
        if (r.kind == kVariable) return SetUpVariables(state, src, r);
        return r.kind == kBayer ? SetUpBayer(state, src, r) : SetUpFlamsteed(state, src, r);
    case kHr: case kHd: case kSao: case kPpm: case kHip: case kGc:
        return SetUpNumbered(state, src, r);
    case kBd: case kCd: case kCp: return SetUpDurchmusterung(state, src, r);
    case kTycho: return SetUpTycho(state, src, r);
    case kWds: return SetUpDiscoverers(state, src, r);
    case kAds: return SetUpAds(state, src, r);
    case kCcdm: return SetUpCcdm(state, src, r);
    case kNsv: return SetUpNsv(state, src, r);
    default: return -1;
    }
}
