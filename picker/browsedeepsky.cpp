// The deep-sky listings of the browse cursor: common names, Messier, NGC
// and IC members of a class, and the designation catalogues of galaxies,
// planetary nebulae, bright nebulae, open and globular clusters, quasars,
// galaxy groups and dark nebulae, each over the readers of its catalogue.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/safefile.h"
#include "core/textutil.h"
#include "core/resstrings.h"
#include "picker/browsesources.h"
#include "objects/cataloguenumber.h"
#include "objects/catfile.h"
#include "objects/clustercat.h"
#include "objects/darkneb.h"
#include "objects/dsotexts.h"
#include "objects/dsoxref.h"
#include "objects/galaxycat.h"
#include "objects/groupcat.h"
#include "objects/nebulacat.h"
#include "objects/objectrecord.h"
#include "objects/pncat.h"

namespace {

// MCG declination zones and the highest number of an ESO field.
const int kFirstMcgZone = -7;
const int kLastMcgZone = 24;
const int kLastEsoNumber = 999;
const int kMarkarianRows = 1517;

// The number at the end of a typed designation ("Sh 2-155" 155, "Collinder
// 399" 399, "42" 42); -1 when the pattern does not end in digits.
long LastNumber(const char *pattern) {
    std::string t = pattern ? pattern : "";
    while (!t.empty() && t.back() == ' ') t.pop_back();
    size_t end = t.size(), start = end;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(t[start - 1]))) --start;
    if (start == end || end - start > 9) return -1;
    return std::strtol(t.c_str() + start, nullptr, 10);
}

// Cross-index type code of each deep-sky class (NGC, IC and Messier scans).
int TypeCodeOfClass(int objectClass) {
    for (int t = 0; t < 8; ++t)
        if (CrossTypeToClass(t) == objectClass) return t;
    return -1;
}

// A listing over the entries of a name file read by `read` (entry numbers
// from `firstEntry`; the reader answers the record, or < 0 when the entry
// cannot be read); rows are filtered by the pattern; the object number is
// record + numberOffset.
int SetUpNameFile(BrowseSources *src, FILE *file, int firstEntry, int64_t entries,
                  int (*read)(FILE *, int, char *), int numberOffset) {
    src->files[0] = file;
    if (!file) return -1;
    src->filterByPattern = true;
    src->countTotal = true;
    src->next = firstEntry;
    src->last = firstEntry + entries - 1;
    src->extra[0] = numberOffset;
    src->step = [read](BrowseSources &s, BrowseRow *row) {
        while (s.next <= s.last) {
            char text[64];
            text[0] = '\0';
            int record = read(s.files[0], static_cast<int>(s.next++), text);
            if (record < 0) return 0;
            if (!text[0]) continue;
            std::snprintf(row->text, sizeof row->text, "%s", text);
            row->objectNumber = record + s.extra[0];
            return 1;
        }
        return 0;
    };
    return 1;
}

int64_t Entries(FILE *f, int width) {
    int64_t size = f ? StreamSize(f) : 0;
    return size > 0 ? size / width : 0;
}

// Readers in the name-file shape.
int ReadPnNames(FILE *f, int e, char *t) { return ReadPnDiscoveryEntry(f, e, t); }
int ReadOcOther(FILE *f, int e, char *t) { return ReadOpenClusterOtherEntry(f, e, t); }
int ReadNebOther(FILE *f, int e, char *t) { return ReadNebulaOtherEntry(f, e, t); }
int ReadQsoNames(FILE *f, int e, char *t) { return ReadNameIndexEntry(f, e, 20, t); }
int ReadGlobularNames(FILE *f, int e, char *t) {
    int n = ReadGlobularDesignationEntry(f, e, t);
    return t[0] ? n : -1;
}
int ReadGlobules(FILE *f, int e, char *t) { return ReadGlobuleEntry(f, e, t) - 1; }

// A number listing over 1..last of a lookup on one open file: "format" of
// each number whose lookup answers a record (>= 0); the typed number selects.
int SetUpLookupRange(BrowseSources *src, const BrowseRequest &r, FILE *file, int last,
                     const char *format, int (*lookup)(FILE *, int), bool numberIsObject) {
    src->files[0] = file;
    if (!file) return -1;
    src->countTotal = true;
    src->label = format;
    src->extra[0] = numberIsObject ? 1 : 0;
    if (!r.everything) {
        long wanted = LastNumber(r.pattern);
        if (wanted < 0) return -1;
        src->wantedKey = wanted;
    }
    SetNumberRange(src, 1, last, [lookup](BrowseSources &s, int64_t n, BrowseRow *row) {
        int record = lookup(s.files[0], static_cast<int>(n));
        if (record < 0) return 0;
        std::snprintf(row->text, sizeof row->text, s.label, static_cast<int>(n));
        row->objectNumber = s.extra[0] ? static_cast<int32_t>(n) : record;
        return 1;
    });
    return 1;
}

// Two-part numbers laid out as `width` slots per first number: "format" of
// (first, second) for the slots whose lookup answers a record.
int SetUpPairRange(BrowseSources *src, FILE *file, int firstOfFirst, int width, const char *format,
                   int (*lookup)(FILE *, int, int)) {
    src->files[0] = file;
    if (!file) return -1;
    src->countTotal = true;
    src->label = format;
    src->extra[0] = firstOfFirst;
    src->extra[1] = width;
    int64_t slots = Entries(file, 2);
    SetNumberRange(src, 0, slots - 1, [lookup](BrowseSources &s, int64_t n, BrowseRow *row) {
        int first = static_cast<int>(n / s.extra[1]) + s.extra[0];
        int second = static_cast<int>(n % s.extra[1]) + 1;
        int record = lookup(s.files[0], first, second);
        if (record < 0) return 0;
        std::snprintf(row->text, sizeof row->text, s.label, first, second);
        row->objectNumber = record;
        row->key = -1;
        return 1;
    });
    return 1;
}

int SetUpMessier(BrowseSources *src, int typeCode) {
    src->files[0] = OpenMessierCrossIndex();
    if (!src->files[0]) return -1;
    src->countTotal = true;
    src->extra[0] = typeCode;
    SetNumberRange(src, 1, 110, [](BrowseSources &s, int64_t n, BrowseRow *row) {
        int type = -1, record = -1;
        if (ReadMessierCrossIndex(s.files[0], static_cast<int>(n), &type, &record) != 1) return 0;
        if (type != s.extra[0] || IsEmptyCrossEntry(type, record)) return 0;
        FormatMessierDesignation(row->text, static_cast<int>(n));
        return 1;
    });
    return 1;
}

int SetUpNgcIc(BrowseSources *src, const BrowseRequest &r, int typeCode, bool ngc) {
    int number = 0, suffix = 0;
    if (!r.everything) {
        if (!ParseCatalogueNumber(r.pattern, &number, &suffix)) return -1;
        src->wantedKey = static_cast<int64_t>(number) * 64 + suffix;
    }
    src->countTotal = true;
    if (ngc) {
        NgcScan *scan = StartNgcScan(1, typeCode);
        if (!scan) return -1;
        src->release = [scan]() { EndNgcScan(scan); };
        src->step = [scan](BrowseSources &, BrowseRow *row) {
            for (int guard = 0; guard < 200000; ++guard) {
                int n = 0, component = -1;
                int r = NextNgcScanEntry(scan, &n, &component);
                if (r < 0) return 0;
                if (r == 0) continue;
                FormatNgcDesignation(row->text, n, component);
                row->key = static_cast<int64_t>(n) * 64 + component;
                row->objectNumber = 0;
                return 1;
            }
            return 0;
        };
    } else {
        IcScan *scan = StartIcScan(1, typeCode);
        if (!scan) return -1;
        src->release = [scan]() { EndIcScan(scan); };
        src->step = [scan](BrowseSources &, BrowseRow *row) {
            for (int guard = 0; guard < 200000; ++guard) {
                int n = 0, component = -1;
                int r = NextIcScanEntry(scan, &n, &component);
                if (r < 0) return 0;
                if (r == 0) continue;
                FormatIcDesignation(row->text, n, component);
                row->key = static_cast<int64_t>(n) * 64 + component;
                row->objectNumber = 0;
                return 1;
            }
            return 0;
        };
    }
    return 1;
}

int SetUpGalaxyKind(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    switch (r.kind) {
    case kGalaxyKindArp:  // Arp
        return SetUpLookupRange(src, r, OpenArpIndex(), 338, "Arp %d",
                                [](FILE *f, int n) { return LookupArpNumber(f, n) > 0 ? 0 : -1; },
                                true);
    case kGalaxyKindMarkarian: {  // Markarian, with the lettered second members of pairs
        src->files[0] = OpenMarkarianIndex();
        state->rowLimit = kMarkarianRows;
        if (!src->files[0]) return -1;
        src->countTotal = true;
        SetNumberRange(src, 2, 2 * 1517 + 1, [](BrowseSources &s, int64_t n, BrowseRow *row) {
            int32_t mkn[2] = {static_cast<int32_t>(n / 2), static_cast<int32_t>(n % 2)};
            int32_t galaxies[4] = {0, 0, 0, 0};
            if (LookupMarkarianDesignation(s.files[0], mkn, galaxies) <= 0) return 0;
            FormatMarkarianDesignation(row->text, mkn[0], mkn[1]);
            row->objectNumber = 0;
            return 1;
        });
        return 1;
    }
    case kGalaxyKindUgc: {  // UGC
        UgcScan *scan = StartUgcScan();
        if (!scan) return -1;
        src->release = [scan]() { EndUgcScan(scan); };
        src->countTotal = true;
        src->step = [scan](BrowseSources &, BrowseRow *row) {
            int n = 0;
            char suffix = ' ';
            if (NextUgcScanEntry(scan, &n, &suffix) <= 0) return 0;
            FormatUgcDesignation(row->text, n, suffix);
            row->objectNumber = 0;
            return 1;
        };
        return 1;
    }
    case kGalaxyKindPgc: {  // PGC / LEDA, 1,000 numbers per page
        src->files[0] = OpenPgcIndex();
        if (!src->files[0]) return -1;
        int64_t slots = Entries(src->files[0], 3);
        int64_t page = *r.page > 0 ? *r.page : 0;
        long wanted = 0;
        if (!r.everything) {
            if (!PatternNumber(r.pattern, &wanted) || wanted < 1) return -1;
            page = (wanted - 1) / 1000;
            src->wantedKey = wanted;
        }
        *r.page = static_cast<int32_t>(page);
        *r.total = static_cast<int32_t>(slots);
        state->pageCount = static_cast<int32_t>(slots / 1000);
        state->rowLimit = 1000;
        int64_t first = page * 1000 + 1, last = first + 999;
        if (last > slots) last = slots;
        SetNumberRange(src, first, last, [](BrowseSources &s, int64_t n, BrowseRow *row) {
            if (LookupPgcNumber(s.files[0], static_cast<int32_t>(n)) <= 0) return 0;
            FormatPgcDesignation(row->text, static_cast<int32_t>(n));
            row->objectNumber = 0;
            return 1;
        });
        return 1;
    }
    case kGalaxyKindMcg: {  // MCG: one declination zone (-7 to +24) per page
        src->files[0] = OpenMcgIndex();
        if (!src->files[0]) return -1;
        int page = *r.page > 0 ? *r.page : 0;
        if (!r.everything) {
            std::string t = r.pattern;
            size_t blank = t.find(' ');
            if (blank != std::string::npos && !std::isdigit(static_cast<unsigned char>(t[0])) &&
                t[0] != '-' && t[0] != '+')
                t = t.substr(blank + 1);
            int zone = 0, second = 0, third = 0;
            int read = std::sscanf(t.c_str(), "%d-%d-%d", &zone, &second, &third);
            if (read < 1 || zone < kFirstMcgZone || zone > kLastMcgZone) return -1;
            page = zone - kFirstMcgZone;
            if (read == 3) src->wantedKey = (static_cast<int64_t>(second) * 256 + third) * 4;
        }
        if (page > kLastMcgZone - kFirstMcgZone) return 0;
        *r.page = page;
        state->pageCount = kLastMcgZone - kFirstMcgZone;
        src->countTotal = true;
        src->extra[0] = page + kFirstMcgZone;
        // (second x 256 + third) x 4 + suffix over the zone's 61 second numbers.
        SetNumberRange(src, 0, 61LL * 256 * 4 - 1, [](BrowseSources &s, int64_t n, BrowseRow *row) {
            int16_t mcg[4] = {static_cast<int16_t>(s.extra[0]), static_cast<int16_t>(n / 1024),
                              static_cast<int16_t>((n / 4) % 256), static_cast<int16_t>(n % 4)};
            if (mcg[3] > 2 || LookupMcgDesignation(s.files[0], mcg) <= 0) return 0;
            FormatMcgDesignation(row->text, mcg);
            row->key = n - mcg[3];
            row->objectNumber = 0;
            return 1;
        });
        return 1;
    }
    case kGalaxyKindEso: {  // ESO: one field per page
        src->files[0] = OpenEsoGalaxyIndex();
        if (!src->files[0]) return -1;
        int fields = static_cast<int>(Entries(src->files[0], 6));
        int page = *r.page > 0 ? *r.page : 0;
        if (!r.everything) {
            // "ESO 358 59" as the galaxy catalogue writes it, or "ESO 358-59".
            int field = 0, number = 0;
            std::string t = r.pattern;
            if (!std::isdigit(static_cast<unsigned char>(t[0]))) {
                size_t blank = t.find(' ');
                t = blank == std::string::npos ? "" : t.substr(blank + 1);
            }
            for (char &c : t)
                if (c == '-') c = ' ';
            int read = std::sscanf(t.c_str(), "%d %d", &field, &number);
            if (read < 1 || field < 1) return -1;
            page = field - 1;
            if (read == 2) src->wantedKey = number;
        }
        *r.page = page;
        state->pageCount = fields > 0 ? fields - 1 : 0;
        src->countTotal = true;
        src->extra[0] = page + 1;
        SetNumberRange(src, 2, 2 * kLastEsoNumber + 1, [](BrowseSources &s, int64_t n, BrowseRow *row) {
            uint16_t eso[3] = {static_cast<uint16_t>(s.extra[0]), static_cast<uint16_t>(n / 2),
                               static_cast<uint16_t>(n % 2)};
            int32_t galaxy = 0;
            if (!LookupEsoGalaxyDesignation(s.files[0], eso, &galaxy)) return 0;
            int16_t text[3] = {static_cast<int16_t>(eso[0]), static_cast<int16_t>(eso[1]),
                               static_cast<int16_t>(eso[2])};
            FormatEsoDesignation(row->text, text);
            row->key = eso[1];
            row->objectNumber = 0;
            return 1;
        });
        return 1;
    }
    default: return -1;
    }
}

int SetUpPlanetaryNebulaKind(BrowseSources *src, const BrowseRequest &r) {
    switch (r.kind) {
    case kPnKindAbell: return SetUpLookupRange(src, r, OpenAbellPnIndex(), 86, "Abell %d", LookupAbellPn, true);
    case kPnKindMinkowski: return SetUpPairRange(src, OpenMinkowskiIndex(), 1, 93, "M %d-%d", LookupMinkowski);
    case kPnKindHenize: {  // Henize: three series with their own number ranges
        src->files[0] = OpenHenizeIndex();
        if (!src->files[0]) return -1;
        src->countTotal = true;
        SetNumberRange(src, 1 * 10000 + 1, 3 * 10000 + 1863,
                       [](BrowseSources &s, int64_t n, BrowseRow *row) {
                           int series = static_cast<int>(n / 10000), number = static_cast<int>(n % 10000);
                           if (number < 1) return 0;
                           int record = LookupHenize(s.files[0], series, number);
                           if (record < 0) return 0;
                           std::snprintf(row->text, sizeof row->text, "He %d-%d", series, number);
                           row->objectNumber = record;
                           return 1;
                       });
        return 1;
    }
    case kPnKindHaro: return SetUpPairRange(src, OpenHaroIndex(), 1, 76, "H %d-%d", LookupHaro);
    case kPnKindKohoutek: return SetUpPairRange(src, OpenKohoutekIndex(), 1, 95, "K %d-%d", LookupKohoutek);
    case kPnKindPnG: {  // PN G
        PnGScan *scan = StartPnGScan(0.0, -90.0);
        if (!scan) return -1;
        src->release = [scan]() { EndPnGScan(scan); };
        src->countTotal = true;
        src->step = [scan](BrowseSources &, BrowseRow *row) {
            double place[2] = {0, 0};
            char suffix = ' ';
            if (NextPnGScanEntry(scan, place, &suffix) <= 0) return 0;
            FormatPnGDesignation(row->text, place[0], place[1], suffix);
            row->objectNumber = 0;
            return 1;
        };
        return 1;
    }
    case kPnKindPk: {  // PK
        int32_t start[2] = {0, -741};
        PkScan *scan = StartPkScan(start);
        if (!scan) return -1;
        src->release = [scan]() { EndPkScan(scan); };
        src->countTotal = true;
        src->step = [scan](BrowseSources &, BrowseRow *row) {
            int32_t pk[2] = {0, 0};
            int record = NextPkScanEntry(scan, pk);
            if (record < 0) return 0;
            FormatPkDesignation(row->text, pk, pk[1] < 0 ? '-' : '+');
            row->objectNumber = record;
            return 1;
        };
        return 1;
    }
    case kPnKindAro: return SetUpLookupRange(src, r, OpenAroIndex(), 999, "ARO %d", LookupAro, false);
    case kPnKindEso: return SetUpPairRange(src, OpenEsoPnIndex(), 11, 82, "ESO %d-%d", LookupEsoPn);
    case kPnKindDiscovery: {
        FILE *f = OpenPnDiscoveryIndex();
        return SetUpNameFile(src, f, 1, Entries(f, 19), ReadPnNames, 0);
    }
    default: return -1;
    }
}

int SetUpBrightNebulaKind(BrowseSources *src, const BrowseRequest &r) {
    switch (r.kind) {
    case kNebulaKindSharpless: return SetUpLookupRange(src, r, OpenSharplessIndex(), 312, "Sh 2-%d", LookupSharpless, true);
    case kNebulaKindVdB: return SetUpLookupRange(src, r, OpenVdbIndex(), 158, "vdB %d", LookupVdb, true);
    case kNebulaKindGum: return SetUpLookupRange(src, r, OpenGumIndex(), 83, "Gum %d", LookupGum, true);
    case kNebulaKindRcw: return SetUpLookupRange(src, r, OpenRcwIndex(), 158, "RCW %d", LookupRcw, true);
    case kNebulaKindLbn: return SetUpLookupRange(src, r, OpenLbnIndex(), 1627, "LBN %d", LookupLbn, true);
    case kNebulaKindOther: {
        FILE *f = OpenNebulaOtherIndex();
        return SetUpNameFile(src, f, 0, Entries(f, 17), ReadNebOther, 0);
    }
    default: return -1;
    }
}

int SetUpOpenClusterKind(BrowseSources *src, const BrowseRequest &r) {
    if (r.kind >= 5 && r.kind <= 55) {
        // Catalogue words: row kind - 2 of the cross index; "%s %d" of the
        // kind's name and every number the catalogue has.
        src->files[0] = OpenOpenClusterCrossIndex();
        if (!src->files[0]) return -1;
        src->countTotal = true;
        src->extra[0] = r.kind - 2;
        src->rowWord = LoadResString(8347 + r.kind - 1);
        if (!r.everything) {
            long wanted = LastNumber(r.pattern);
            if (wanted < 0) return -1;
            src->wantedKey = wanted;
        }
        SetNumberRange(src, 1, 65535, [](BrowseSources &s, int64_t n, BrowseRow *row) {
            int record = LookupOpenClusterCrossIndex(s.files[0], s.extra[0], static_cast<int>(n));
            if (record == -2) {
                s.next = s.last + 1;  // past the catalogue's highest number
                return 0;
            }
            if (record < 0) return 0;
            std::snprintf(row->text, sizeof row->text, "%s %d", s.rowWord.c_str(),
                          static_cast<int>(n));
            return 1;
        });
        return 1;
    }
    if (r.kind == 56) {
        FILE *f = OpenOpenClusterOtherIndex();
        return SetUpNameFile(src, f, 1, Entries(f, 20), ReadOcOther, 0);
    }
    if (r.kind == 57) {
        src->files[0] = OpenOclIndex();
        if (!src->files[0]) return -1;
        src->countTotal = true;
        SetNumberRange(src, 10, 10390, [](BrowseSources &s, int64_t n, BrowseRow *row) {
            double value = static_cast<double>(n) / 10.0;
            if (n % 10 > 8 || LookupOclNumber(s.files[0], value) < 0) return 0;
            std::snprintf(row->text, sizeof row->text, "OCL %.1lf", value);
            row->objectNumber = 0;
            return 1;
        });
        return 1;
    }
    return -1;
}

int SetUpGlobularKind(BrowseSources *src, const BrowseRequest &r) {
    switch (r.kind) {
    case kGlobularKindPalomar: return SetUpLookupRange(src, r, OpenPalomarIndex(), 15, "Palomar %d", LookupPalomar, true);
    case kGlobularKindTerzan: return SetUpLookupRange(src, r, OpenTerzanIndex(), 11, "Terzan %d", LookupTerzan, true);
    case kGlobularKindDiscovery: {
        FILE *f = OpenGlobularDesignationIndex();
        return SetUpNameFile(src, f, 0, Entries(f, 20), ReadGlobularNames, 0);
    }
    default: return -1;
    }
}

int SetUpQuasarKind(BrowseSources *src, const BrowseRequest &r) {
    if (r.kind == 2) {
        FILE *f = OpenCatalogueFile(kCatQuasarDesignation, 1);
        return SetUpNameFile(src, f, 1, Entries(f, 20), ReadQsoNames, 1);
    }
    if (r.kind == 3) {
        HewittBurbidgeScan *scan = StartHewittBurbidgeScan(0, -9999, ' ');
        if (!scan) return -1;
        src->release = [scan]() { EndHewittBurbidgeScan(scan); };
        src->countTotal = true;
        src->step = [scan](BrowseSources &, BrowseRow *row) {
            int ra = 0, dec = 0;
            char suffix = ' ';
            char text[65];
            int record = NextHewittBurbidgeScanEntry(scan, &ra, &dec, &suffix, text);
            if (record <= 0) return 0;
            std::snprintf(row->text, sizeof row->text, "%s", text);
            row->objectNumber = record;
            return 1;
        };
        return 1;
    }
    return -1;
}

int SetUpFixedRange(BrowseSources *src, const BrowseRequest &r, int last, const char *format) {
    src->countTotal = true;
    src->label = format;
    if (!r.everything) {
        long wanted = LastNumber(r.pattern);
        if (wanted < 0) return 0;  // the group listings end quietly
        src->wantedKey = wanted;
    }
    SetNumberRange(src, 1, last, [](BrowseSources &s, int64_t n, BrowseRow *row) {
        std::snprintf(row->text, sizeof row->text, s.label, static_cast<int>(n));
        return 1;
    });
    return 1;
}

int SetUpDarkNebulaKind(BrowseSources *src, const BrowseRequest &r) {
    switch (r.kind) {
    case kDarkKindBarnard:
        return SetUpLookupRange(src, r, OpenBarnardIndex(), 370, "B %d",
                                [](FILE *f, int n) { return LookupBarnard(f, n, ' '); }, true);
    case kDarkKindLdn: return SetUpLookupRange(src, r, OpenLdnIndex(), 1802, "LDN %d", LookupLdn, true);
    case kDarkKindDc: {
        DcScan *scan = StartDcScan(0.0, -90.0, ' ');
        if (!scan) return -1;
        src->release = [scan]() { EndDcScan(scan); };
        src->countTotal = true;
        src->step = [scan](BrowseSources &, BrowseRow *row) {
            double lon = 0, lat = 0;
            char suffix = ' ';
            char text[65];
            int record = NextDcScanEntry(scan, &lon, &lat, &suffix, text);
            if (record <= 0) return 0;
            std::snprintf(row->text, sizeof row->text, "%s", text);
            row->objectNumber = record - 1;
            return 1;
        };
        return 1;
    }
    case kDarkKindGlobule: {
        FILE *f = OpenGlobuleIndex();
        return SetUpNameFile(src, f, 0, Entries(f, 16), ReadGlobules, 0);
    }
    default: return -1;
    }
}

}  // namespace

int SetUpCommonNameListing(BrowseState *state, BrowseSources *src, int objectClass) {
    src->files[0] = OpenCommonNames();
    src->files[1] = OpenCommonNameCrossIndex();
    if (!src->files[0] || !src->files[1]) return -1;
    state->rowLimit = kCommonNameCount;
    src->filterByPattern = true;
    src->countTotal = true;
    src->extra[0] = objectClass;
    src->step = [](BrowseSources &s, BrowseRow *row) {
        while (s.next < kCommonNameCount) {
            int number = static_cast<int>(s.next++);
            char name[kCommonNameSize];
            if (!ReadCommonName(s.files[0], number, name)) return 0;  // a shorter file ends here
            int type = -1, record = -1;
            if (ReadCommonNameCrossIndex(s.files[1], number, &type, &record) <= 0) return 0;
            if (CrossTypeToClass(type) != s.extra[0] || IsEmptyCrossEntry(type, record)) continue;
            std::snprintf(row->text, sizeof row->text, "%s", name);
            row->objectNumber = number + 1;
            return 1;
        }
        return 0;
    };
    return 1;
}

int SetUpDeepSkyListing(BrowseState *state, BrowseSources *src, const BrowseRequest &r) {
    const int c = r.objectClass;
    if (r.kind == 1) return SetUpCommonNameListing(state, src, c);
    const bool messierClass = c == kClassGalaxy || c == kClassPlanetaryNebula ||
                              c == kClassBrightNebula || c == kClassOpenCluster ||
                              c == kClassGlobularCluster;
    if (messierClass && r.kind >= 2 && r.kind <= 4) {
        int type = TypeCodeOfClass(c);
        if (r.kind == 2) return SetUpMessier(src, type);
        return SetUpNgcIc(src, r, type, r.kind == 3);
    }
    switch (c) {
    case kClassGalaxy: return SetUpGalaxyKind(state, src, r);
    case kClassPlanetaryNebula: return SetUpPlanetaryNebulaKind(src, r);
    case kClassBrightNebula: return SetUpBrightNebulaKind(src, r);
    case kClassOpenCluster: return SetUpOpenClusterKind(src, r);
    case kClassGlobularCluster: return SetUpGlobularKind(src, r);
    case kClassQuasar: return SetUpQuasarKind(src, r);
    case kClassGalaxyGroup:
        if (r.kind == 2) return SetUpFixedRange(src, r, kLastAcoNumber, "ACO %d");
        if (r.kind == 3) return SetUpFixedRange(src, r, 100, "Hickson %d");
        return -1;
    case kClassDarkNebula: return SetUpDarkNebulaKind(src, r);
    default: return -1;
    }
}
