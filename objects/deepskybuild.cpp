// Deep-sky record builders: designation kind -> catalogue lookup -> record.
#include "objects/deepskybuild.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "astro/astroformulas.h"
#include "objects/buildrecord.h"
#include "objects/cataloguenumber.h"
#include "objects/clustercat.h"
#include "objects/darkneb.h"
#include "objects/dsoxref.h"
#include "objects/galaxycat.h"
#include "objects/groupcat.h"
#include "objects/nebulacat.h"
#include "objects/objectrecord.h"
#include "objects/pncat.h"
#include "core/mathutil.h"
#include "photometry/contrastthreshold.h"

namespace {

const double kArcminToRad = kPi / 10800.0;
const float kOneArcminute = static_cast<float>(kPi / 10800.0);
const float kOneDegree = static_cast<float>(kPi / 180.0);

// RAII holder of a catalogue stream.
struct Stream {
    FILE *f;
    explicit Stream(FILE *file) : f(file) {}
    ~Stream() { if (f) std::fclose(f); }
    Stream(const Stream &) = delete;
    Stream &operator=(const Stream &) = delete;
};

// The part of the text after its first blank when it does not begin with a
// digit (or '-' when minusIsDigit); the whole text otherwise.
std::string SkipPrefix(const char *text, bool minusIsDigit = false) {
    std::string t = text ? text : "";
    if (t.empty()) return t;
    unsigned char c = static_cast<unsigned char>(t[0]);
    if (std::isdigit(c) || (minusIsDigit && c == '-')) return t;
    size_t blank = t.find(' ');
    return blank == std::string::npos ? t : t.substr(blank + 1);
}

std::string AfterFirstBlank(const char *text) {
    std::string t = text ? text : "";
    size_t blank = t.find(' ');
    return blank == std::string::npos ? t : t.substr(blank + 1);
}

// Kind 1: the common name's entry must carry the class's type code.
int CommonNameRecord(int number, const char *text, int typeCode) {
    int type = -1, record = -1;
    if (number > 0) {
        Stream s(OpenCommonNameCrossIndex());
        if (ReadCommonNameCrossIndex(s.f, number - 1, &type, &record) <= 0) return -1;
    } else if (FindCommonName(text, &type, &record) != 1) {
        return -1;
    }
    return (type == typeCode && record >= 0) ? record : -1;
}

// Kinds 2-4 of the classes that have Messier, NGC and IC numbers.
int MessierNgcIcRecord(int kind, int number, const char *text, int typeCode) {
    int suffix = 0;
    if (number == 0 && !ParseCatalogueNumber(text, &number, &suffix)) return -1;
    return LookUpMessierNgcIc(kind, number, suffix, typeCode);
}

void FinishPlaces(const LocationRecord *site, const DateRecord *date, double extinction,
                  ObjectRecord *out, double distanceAu) {
    out->properMotionRa = 0.0f;
    out->properMotionDec = 0.0f;
    if (site && date) {
        ComputeApparentPlace(site, date, extinction, distanceAu, out);
        ComputeAstrometricPlace(site, date, distanceAu, out);
    }
}

// One catalogue record without its name, a reader per record type so that
// ReadAndFill picks the one that matches the record it reads into.
int ReadEntry(FILE *f, int record, PlanetaryNebulaRecord *r) {
    return ReadPlanetaryNebulaRecord(f, record, r, kReadAllButName);
}
int ReadEntry(FILE *f, int record, BrightNebulaRecord *r) {
    return ReadBrightNebulaRecord(f, record, r, nullptr, kReadAllButName);
}
int ReadEntry(FILE *f, int record, OpenClusterRecord *r) {
    return ReadOpenClusterRecord(f, record, r, nullptr, kReadAllButName);
}
int ReadEntry(FILE *f, int record, GlobularClusterRecord *r) {
    return ReadGlobularClusterRecord(f, record, r, nullptr, kReadAllButName);
}
int ReadEntry(FILE *f, int record, DarkNebulaRecord *r) {
    return ReadDarkNebulaRecord(f, record, r, nullptr, kReadAllButName);
}
int ReadEntry(FILE *f, int record, GalaxyGroupRecord *r) {
    return ReadGalaxyGroupRecord(f, record, r, kReadAllButName);
}

template <typename Record>
using FillStep = void (*)(const LocationRecord *, const DateRecord *, double, ObjectRecord *,
                          const Record &);

// The end of every one-record builder: reads the found record from the
// catalogue (the stream is taken over and closed here), keeps its number as
// the object's index and fills the object. 1 when the record was read.
template <typename Record>
int ReadAndFill(FILE *catalogue, int record, FillStep<Record> fill, const LocationRecord *site,
                const DateRecord *date, double extinction, ObjectRecord *out) {
    Stream s(catalogue);
    Record r;
    std::memset(&r, 0, sizeof r);
    if (!ReadEntry(s.f, record, &r)) return 0;
    out->index = record;
    fill(site, date, extinction, out, r);
    return 1;
}

}  // namespace

int LookUpMessierNgcIc(int kind, int number, int suffix, int typeCode) {
    int type = -1, record = -1;
    if (kind == kKindMessier) {
        if (ReadHeldMessierCrossIndex(number, &type, &record) != 1) return -1;
        return type == typeCode ? record : -1;
    }
    if (kind == kKindNgc) {
        int types[2], records[2];
        int n = LookupHeldNgcCrossIndex(number, suffix, types, records);
        for (int i = 0; i < n; ++i)
            if (types[i] == typeCode) return records[i];
        return -1;
    }
    if (kind == kKindIc) {
        if (LookupHeldIcCrossIndex(number, suffix, &type, &record) != 1) return -1;
        return type == typeCode ? record : -1;
    }
    return -1;
}

// ---- galaxies ---------------------------------------------------------------------------

void FillGalaxyObject(const LocationRecord *site, const DateRecord *date, double extinction,
                      ObjectRecord *out, const GalaxyRecord &g) {
    out->raCatalogue = g.ra;
    out->decCatalogue = g.dec;
    out->magnitude = static_cast<float>(g.magnitude);
    out->magnitude2 = static_cast<float>(g.surfaceBrightness);
    out->sizeMajor = static_cast<float>(g.majorAxis * kArcminToRad);
    out->sizeMinor = static_cast<float>(g.minorAxis * kArcminToRad);
    out->extent = g.majorAxis > 0 ? static_cast<float>(g.majorAxis * kArcminToRad) : kOneArcminute;
    double distance = 0.0;
    if (g.distanceMly != 0.0)
        distance = g.distanceMly * 1e6;
    else if (g.radialVelocity != 99.9 && g.radialVelocity > 3000.0)
        distance = LightTravelDistanceFromRedshift(RedshiftFromVelocity(g.radialVelocity)) * 1e9;
    out->distanceLightYears = static_cast<float>(distance);
    out->colourIndex = static_cast<float>(g.bMinusV < 90.0 ? g.bMinusV : g.typicalBMinusV + 200.0);
    FinishPlaces(site, date, extinction, out, 0.0);
}

int BuildGalaxyFromCatalogue(int number, char *text, const LocationRecord *site,
                             const DateRecord *date, double extinction, ObjectRecord *out,
                             int refresh) {
    if (!out) return 0;
    int32_t candidates[4] = {0, 0, 0, 0};
    int count = 0;
    if (refresh) {
        candidates[0] = out->index;
        count = candidates[0] > 0 ? 1 : 0;
    } else {
        int kind = out->kind, suffix = 0, n = 0;
        switch (kind) {
        case kKindCommonName:
            candidates[0] = CommonNameRecord(number, text, kCrossGalaxy);
            break;
        case kKindMessier: case kKindNgc: case kKindIc:
            candidates[0] = MessierNgcIcRecord(kind, number, text, kCrossGalaxy);
            break;
        case kGalaxyKindArp:
            if (number == 0 && !ParseCatalogueNumber(text, &number, &suffix)) break;
            { Stream s(OpenArpIndex()); candidates[0] = LookupArpNumber(s.f, number); }
            break;
        case kGalaxyKindMarkarian: {
            if (!ParseCatalogueNumber(text, &n, &suffix) && number == 0) break;
            if (number) n = number;
            int32_t key[2] = {n, suffix};
            Stream s(OpenMarkarianIndex());
            count = LookupMarkarianDesignation(s.f, key, candidates);
            break;
        }
        case kGalaxyKindMcg: {
            std::string t = SkipPrefix(text, true);
            int z = 0, a = 0, b = 0;
            char c = 0;
            int read = std::sscanf(t.c_str(), "%d-%d-%d%c", &z, &a, &b, &c);
            if (read < 3) read = std::sscanf(t.c_str(), "%d %d %d%c", &z, &a, &b, &c);
            if (read < 3) break;
            int letter = (read == 4 && std::isalpha(static_cast<unsigned char>(c)))
                             ? std::toupper(static_cast<unsigned char>(c)) - 64 : 0;
            int16_t mcg[4] = {static_cast<int16_t>(z), static_cast<int16_t>(a),
                              static_cast<int16_t>(b), static_cast<int16_t>(letter)};
            Stream s(OpenMcgIndex());
            candidates[0] = LookupMcgDesignation(s.f, mcg);
            break;
        }
        case kGalaxyKindUgc: {
            std::string t = SkipPrefix(text);
            char c = ' ';
            int read = std::sscanf(t.c_str(), "%d%c", &n, &c);
            if (read < 1 && number == 0) break;
            if (number) n = number;
            if (read < 2 || c == '\0') c = ' ';
            Stream s(OpenUgcIndex());
            candidates[0] = LookupUgcDesignation(s.f, n, c);
            break;
        }
        case kGalaxyKindEso: {
            std::string t = text ? text : "";
            if (!t.empty() && !std::isdigit(static_cast<unsigned char>(t[0]))) t = AfterFirstBlank(t.c_str());
            long field = 0;
            if (std::sscanf(t.c_str(), "%ld", &field) != 1) break;
            std::string rest = AfterFirstBlank(t.c_str());
            if (rest == t || !ParseCatalogueNumber(rest.c_str(), &n, &suffix)) break;
            uint16_t eso[3] = {static_cast<uint16_t>(field), static_cast<uint16_t>(n),
                               static_cast<uint16_t>(suffix)};
            Stream s(OpenEsoGalaxyIndex());
            int32_t g = 0;
            if (LookupEsoGalaxyDesignation(s.f, eso, &g)) candidates[0] = g;
            break;
        }
        case kGalaxyKindPgc:
            if (number == 0 && !ParseCatalogueNumber(text, &number, &suffix)) break;
            { Stream s(OpenPgcIndex()); candidates[0] = LookupPgcNumber(s.f, number); }
            break;
        default: break;
        }
        if (count == 0) count = candidates[0] > 0 ? 1 : 0;
    }
    if (count > 3) count = 3;
    Stream s(OpenGalaxyCatalogue());
    if (!s.f) return 0;
    int filled = 0;
    for (int i = 0; i < count; ++i) {
        if (candidates[i] <= 0) continue;
        GalaxyRecord g;
        std::memset(&g, 0, sizeof g);
        if (!ReadGalaxyRecord(s.f, candidates[i], &g, nullptr, kReadAllButName)) continue;
        ObjectRecord *r = &out[filled];
        if (filled > 0) {
            ClearObjectRecord(r);
            r->objectClass = out[0].objectClass;
            r->kind = out[0].kind;
            r->categoryBits = out[0].categoryBits;
        }
        r->index = candidates[i];
        FillGalaxyObject(site, date, extinction, r, g);
        ++filled;
    }
    return filled;
}

// ---- planetary nebulae ---------------------------------------------------------------------

void FillPlanetaryNebulaObject(const LocationRecord *site, const DateRecord *date, double extinction,
                               ObjectRecord *out, const PlanetaryNebulaRecord &p) {
    out->raCatalogue = p.ra;
    out->decCatalogue = p.dec;
    out->magnitude = static_cast<float>(p.magnitude);
    out->magnitude2 = static_cast<float>(p.surfaceBrightness == 0.0 ? 99.9 : p.surfaceBrightness);
    out->sizeMajor = static_cast<float>(p.size > 0 ? p.size / 60.0 * kArcminToRad : 0.0);
    out->sizeMinor = 0.0f;
    out->extent = out->sizeMajor;
    out->distanceLightYears =
        static_cast<float>((p.distanceParsecs != 0.0 && !p.distanceNotUsed) ? p.distanceParsecs * 3.26 : 0.0);
    out->colourIndex = 99.9f;
    FinishPlaces(site, date, extinction, out, 0.0);
}

namespace {

// The pln.bin record of a designation of the given kind; -1 when none.
int FindPlanetaryNebulaRecord(int number, char *text, int kind) {
    int record = -1;
    int a = 0, b = 0;
    std::string t = SkipPrefix(text);
    switch (kind) {
    case kKindCommonName: record = CommonNameRecord(number, text, kCrossPlanetaryNebula); break;
    case kKindMessier: case kKindNgc: case kKindIc: record = MessierNgcIcRecord(kind, number, text, kCrossPlanetaryNebula); break;
    case kPnKindAbell: case kPnKindAro:
        if (number) a = number;
        else if (std::sscanf(t.c_str(), "%d", &a) != 1) break;
        { Stream s(kind == kPnKindAbell ? OpenAbellPnIndex() : OpenAroIndex());
          record = kind == kPnKindAbell ? LookupAbellPn(s.f, a) : LookupAro(s.f, a); }
        break;
    case kPnKindMinkowski: case kPnKindHenize: case kPnKindHaro: case kPnKindKohoutek: case kPnKindEso: {
        if (std::sscanf(t.c_str(), "%d-%d", &a, &b) != 2) break;
        if (kind == kPnKindMinkowski) { Stream s(OpenMinkowskiIndex()); record = LookupMinkowski(s.f, a, b); }
        if (kind == kPnKindHenize) { Stream s(OpenHenizeIndex()); record = LookupHenize(s.f, a, b); }
        if (kind == kPnKindHaro) { Stream s(OpenHaroIndex()); record = LookupHaro(s.f, a, b); }
        if (kind == kPnKindKohoutek) { Stream s(OpenKohoutekIndex()); record = LookupKohoutek(s.f, a, b); }
        if (kind == kPnKindEso) { Stream s(OpenEsoPnIndex()); record = LookupEsoPn(s.f, a, b); }
        break;
    }
    case kPnKindPnG: {
        const char *g = text ? std::strchr(text, 'G') : nullptr;
        std::string rest = g ? g + 1 : (text ? text : "");
        double lon = 0, lat = 0;
        char c = ' ';
        bool letter = !rest.empty() && !std::isdigit(static_cast<unsigned char>(rest.back()));
        int read = letter ? std::sscanf(rest.c_str(), "%lf%lf%c", &lon, &lat, &c)
                          : std::sscanf(rest.c_str(), "%lf%lf", &lon, &lat);
        if (read < 2) break;
        if (read < 3) c = ' ';
        Stream s(OpenPnGIndex());
        record = LookupPnGDesignation(s.f, lon, lat, c);
        break;
    }
    case kPnKindPk: {
        std::string packed;
        for (const char *p = text ? text : ""; *p; ++p)
            if (*p != ' ') packed += *p;
        if (!packed.empty() && !std::isdigit(static_cast<unsigned char>(packed[0])))
            packed = packed.size() > 3 ? packed.substr(3) : "";
        long lon = 0;
        char sign = '+';
        double second = 0;
        int read = std::sscanf(packed.c_str(), "%ld%c%lf", &lon, &sign, &second);
        if (read < 1) break;
        int32_t pk[2] = {static_cast<int32_t>(lon), -761};
        if (read == 3) {
            long tenths = std::lround(second * 10);
            pk[1] = static_cast<int32_t>(sign == '-' ? -tenths : tenths);
        }
        Stream s(OpenPkIndex());
        record = LookupPkDesignation(s.f, pk);
        break;
    }
    case kPnKindDiscovery: record = FindPnByDiscoveryDesignation(text); break;
    default: break;
    }
    return record;
}

}  // namespace

int BuildPlanetaryNebulaFromCatalogue(int number, char *text, const LocationRecord *site,
                                      const DateRecord *date, double extinction, ObjectRecord *out,
                                      int refresh) {
    if (!out) return 0;
    int record = refresh ? out->index : FindPlanetaryNebulaRecord(number, text, out->kind);
    if (record < 0) return 0;
    return ReadAndFill(OpenPlanetaryNebulaCatalogue(), record, FillPlanetaryNebulaObject, site, date,
                       extinction, out);
}

// ---- bright nebulae -----------------------------------------------------------------------

void FillBrightNebulaObject(const LocationRecord *site, const DateRecord *date, double extinction,
                            ObjectRecord *out, const BrightNebulaRecord &n) {
    out->raCatalogue = n.ra;
    out->decCatalogue = n.dec;
    out->magnitude = static_cast<float>(n.magnitude);
    // A nebula with a brightness class (the aperture class that shows it)
    // gets the faintest surface brightness that class shows.
    out->magnitude2 = n.brightnessClass == 255
                          ? 99.9f
                          : static_cast<float>(ComputeApertureClassSurfaceBrightness(
                                n.brightnessClass, n.minorSize, out->magnification));
    out->sizeMajor = static_cast<float>(n.majorSize * kArcminToRad);
    out->sizeMinor = static_cast<float>(n.minorSize * kArcminToRad);
    out->extent = out->sizeMajor;
    out->distanceLightYears = 0.0f;
    out->colourIndex = 99.9f;
    out->classExtra[0] = n.brightnessClass;
    FinishPlaces(site, date, extinction, out, 0.0);
}

namespace {

// The neb.bin record of a designation of the given kind; -1 when none.
int FindBrightNebulaRecord(int number, char *text, int kind) {
    int record = -1;
    int n = 0, suffix = 0;
    switch (kind) {
    case kKindCommonName: record = CommonNameRecord(number, text, kCrossBrightNebula); break;
    case kKindMessier: case kKindNgc: case kKindIc:
        if (number == 0 && !ParseCatalogueNumber(text, &number, &suffix)) break;
        record = LookUpMessierNgcIc(kind, number, suffix, kCrossBrightNebula);
        if (record < 0 && kind == kKindNgc && number == 7822) record = 0;
        break;
    case kNebulaKindSharpless: {
        const char *dash = text ? std::strstr(text, "2-") : nullptr;
        std::string t = dash ? dash + 2 : SkipPrefix(text);
        if (number) n = number;
        else if (std::sscanf(t.c_str(), "%d", &n) != 1) break;
        Stream s(OpenSharplessIndex());
        record = LookupSharpless(s.f, n);
        break;
    }
    case kNebulaKindVdB: case kNebulaKindGum: case kNebulaKindRcw: case kNebulaKindLbn: {
        std::string t = AfterFirstBlank(text);
        if (number) n = number;
        else if (std::sscanf(t.c_str(), "%d", &n) != 1) break;
        if (kind == kNebulaKindVdB) { Stream s(OpenVdbIndex()); record = LookupVdb(s.f, n); }
        if (kind == kNebulaKindGum) { Stream s(OpenGumIndex()); record = LookupGum(s.f, n); }
        if (kind == kNebulaKindRcw) { Stream s(OpenRcwIndex()); record = LookupRcw(s.f, n); }
        if (kind == kNebulaKindLbn) { Stream s(OpenLbnIndex()); record = LookupLbn(s.f, n); }
        break;
    }
    case kNebulaKindOther: record = FindBrightNebulaByOtherDesignation(text); break;
    default: break;
    }
    return record;
}

}  // namespace

int BuildBrightNebulaFromCatalogue(int number, char *text, const LocationRecord *site,
                                   const DateRecord *date, double extinction, ObjectRecord *out,
                                   int refresh) {
    if (!out) return 0;
    int record = refresh ? out->index : FindBrightNebulaRecord(number, text, out->kind);
    if (record < 0) return 0;
    return ReadAndFill(OpenBrightNebulaCatalogue(), record, FillBrightNebulaObject, site, date,
                       extinction, out);
}

// ---- clusters ---------------------------------------------------------------------------------

void FillOpenClusterObject(const LocationRecord *site, const DateRecord *date, double extinction,
                           ObjectRecord *out, const OpenClusterRecord &o) {
    out->raCatalogue = o.ra;
    out->decCatalogue = o.dec;
    out->magnitude = static_cast<float>(o.magnitude);
    out->magnitude2 = 99.9f;
    out->sizeMajor = static_cast<float>(o.size * kArcminToRad);
    out->sizeMinor = 0.0f;
    out->extent = out->sizeMajor;
    out->distanceLightYears = static_cast<float>(o.distanceParsecs * 3.26);
    out->colourIndex = 99.9f;
    FinishPlaces(site, date, extinction, out, 0.0);
}

namespace {

// The oc.bin record of a designation of the given kind; -1 when none.
int FindOpenClusterRecord(int number, char *text, int kind) {
    int record = -1;
    int suffix = 0;
    if (kind == kKindCommonName) {
        record = CommonNameRecord(number, text, kCrossOpenCluster);
    } else if (kind >= kKindMessier && kind <= kKindIc) {
        record = MessierNgcIcRecord(kind, number, text, kCrossOpenCluster);
    } else if (kind >= kOpenClusterKindFirstCatalogue && kind < kOpenClusterKindOther) {
        if (number != 0 || ParseCatalogueNumber(text, &number, &suffix)) {
            Stream s(OpenOpenClusterCrossIndex());
            int r = LookupOpenClusterCrossIndex(s.f, kind - 2, number);
            record = r >= 0 ? r : -1;
        }
    } else if (kind == kOpenClusterKindOther) {
        int r = FindOpenClusterByOtherDesignation(text);
        record = r > 0 ? r : -1;
    } else if (kind == kOpenClusterKindOcl) {
        std::string t = text ? text : "";
        if (!t.empty() && !std::isdigit(static_cast<unsigned char>(t[0]))) t = t.size() > 3 ? t.substr(3) : "";
        double ocl = 0;
        if (std::sscanf(t.c_str(), "%lf", &ocl) == 1) {
            Stream s(OpenOclIndex());
            record = LookupOclNumber(s.f, ocl);
        }
    }
    return record;
}

}  // namespace

int BuildOpenClusterFromCatalogue(int number, char *text, const LocationRecord *site,
                                  const DateRecord *date, double extinction, ObjectRecord *out,
                                  int refresh) {
    if (!out) return 0;
    int record = refresh ? out->index : FindOpenClusterRecord(number, text, out->kind);
    if (record < 0) return 0;
    return ReadAndFill(OpenOpenClusterCatalogue(), record, FillOpenClusterObject, site, date,
                       extinction, out);
}

void FillGlobularClusterObject(const LocationRecord *site, const DateRecord *date, double extinction,
                               ObjectRecord *out, const GlobularClusterRecord &g) {
    out->raCatalogue = g.ra;
    out->decCatalogue = g.dec;
    out->magnitude = static_cast<float>(g.magnitude);
    out->magnitude2 = 99.9f;
    out->sizeMajor = static_cast<float>(g.size * kArcminToRad);
    out->sizeMinor = 0.0f;
    out->extent = out->sizeMajor;
    out->distanceLightYears = static_cast<float>(g.distanceKpc * 3260.0);
    out->colourIndex = 99.9f;
    FinishPlaces(site, date, extinction, out, 0.0);
}

namespace {

// The glob.bin number (from 1) of a designation of the given kind; 0 or less
// when none.
int FindGlobularClusterRecord(int number, char *text, int kind) {
    int cluster = 0;
    int suffix = 0;
    if (kind == kKindCommonName) {
        cluster = CommonNameRecord(number, text, kCrossGlobularCluster);
    } else if (kind >= kKindMessier && kind <= kKindIc) {
        cluster = MessierNgcIcRecord(kind, number, text, kCrossGlobularCluster);
    } else if (kind == kGlobularKindPalomar || kind == kGlobularKindTerzan) {
        if (number != 0 || ParseCatalogueNumber(text, &number, &suffix)) {
            bool palomar = kind == kGlobularKindPalomar;
            Stream s(palomar ? OpenPalomarIndex() : OpenTerzanIndex());
            cluster = palomar ? LookupPalomar(s.f, number) : LookupTerzan(s.f, number);
        }
    } else if (kind == kGlobularKindDiscovery) {
        cluster = FindGlobularByDiscoveryDesignation(text);
    }
    return cluster;
}

}  // namespace

int BuildGlobularClusterFromCatalogue(int number, char *text, const LocationRecord *site,
                                      const DateRecord *date, double extinction, ObjectRecord *out,
                                      int refresh) {
    if (!out) return 0;
    int cluster = refresh ? out->index : FindGlobularClusterRecord(number, text, out->kind);
    if (cluster <= 0) return 0;   // glob.bin numbers start at 1
    return ReadAndFill(OpenGlobularClusterCatalogue(), cluster, FillGlobularClusterObject, site, date,
                       extinction, out);
}

// ---- dark nebulae ------------------------------------------------------------------------------

void FillDarkNebulaObject(const LocationRecord *site, const DateRecord *date, double extinction,
                          ObjectRecord *out, const DarkNebulaRecord &d) {
    out->raCatalogue = d.ra;
    out->decCatalogue = d.dec;
    out->magnitude = static_cast<float>(d.classValue);   // opacity class, not a brightness
    out->magnitude2 = 99.9f;
    out->sizeMajor = static_cast<float>(d.majorSize * kArcminToRad);
    out->sizeMinor = 0.0f;
    out->extent = out->sizeMajor;
    out->distanceLightYears = 0.0f;
    out->colourIndex = 99.9f;
    FinishPlaces(site, date, extinction, out, 0.0);
}

namespace {

// The dn.bin record of a designation of the given kind; -1 when none.
int FindDarkNebulaRecord(int number, char *text, int kind) {
    int record = -1;
    int n = 0;
    std::string rest = AfterFirstBlank(text) + " ";
    if (kind == kKindCommonName) {
        record = CommonNameRecord(number, text, kCrossDarkNebula);
    } else if (kind == kDarkKindBarnard) {
        char c = ' ';
        if (std::sscanf(rest.c_str(), "%d%c", &n, &c) >= 1) {
            Stream s(OpenBarnardIndex());
            record = LookupBarnard(s.f, number ? number : n, c);
        }
    } else if (kind == kDarkKindLdn) {
        if (number) n = number;
        if (n || std::sscanf(rest.c_str(), "%d", &n) == 1) {
            Stream s(OpenLdnIndex());
            record = LookupLdn(s.f, n);
        }
    } else if (kind == kDarkKindDc) {
        double lon = 0, lat = 0;
        char c = ' ';
        if (std::sscanf(rest.c_str(), "%lf%lf%c", &lon, &lat, &c) == 3)
            record = FindDarkCloudByDcDesignation(lon, lat, c);
    } else if (kind == kDarkKindGlobule) {
        record = FindGlobuleByDesignation(text);
    }
    return record;
}

}  // namespace

int BuildDarkNebulaFromCatalogue(int number, char *text, const LocationRecord *site,
                                 const DateRecord *date, double extinction, ObjectRecord *out,
                                 int refresh) {
    if (!out) return 0;
    int record = refresh ? out->index : FindDarkNebulaRecord(number, text, out->kind);
    if (record < 0) return 0;
    return ReadAndFill(OpenDarkNebulaCatalogue(0), record, FillDarkNebulaObject, site, date,
                       extinction, out);
}

// ---- galaxy groups and quasars ---------------------------------------------------------------

void FillGalaxyGroupObject(const LocationRecord *site, const DateRecord *date, double extinction,
                           ObjectRecord *out, const GalaxyGroupRecord &g) {
    out->raCatalogue = g.ra;
    out->decCatalogue = g.dec;
    out->magnitude = static_cast<float>(g.magnitude);
    out->magnitude2 = 99.9f;
    out->sizeMajor = static_cast<float>(g.size * kArcminToRad);
    out->sizeMinor = 0.0f;
    out->extent = g.size > 0 ? static_cast<float>(g.size * kArcminToRad) : kOneDegree;
    out->distanceLightYears =
        static_cast<float>(g.redshift != 0.0 ? LightTravelDistanceFromRedshift(g.redshift) * 1e9 : 0.0);
    out->colourIndex = 99.9f;
    out->memberMagnitude = static_cast<float>(g.memberMagnitude);
    out->memberSizeMajor = static_cast<float>(g.memberMajorAxis * kArcminToRad);
    out->memberSizeMinor = static_cast<float>(
        (g.memberMinorAxis != 0.0 ? g.memberMinorAxis : g.memberMajorAxis) * kArcminToRad);
    FinishPlaces(site, date, extinction, out, 0.0);
}

namespace {
// A slot of the group numbering that holds no group (no ACO or Hickson
// number and no place) is not an object: it would stand at RA 0, Dec 0.
bool GalaxyGroupSlotHoldsGroup(int group) {
    FILE *f = OpenGalaxyGroupCatalogue();
    if (!f) return false;
    GalaxyGroupRecord g;
    std::memset(&g, 0, sizeof g);
    int ok = ReadGalaxyGroupRecord(f, group, &g, kReadPosition | kReadIdentifiers);
    std::fclose(f);
    return ok && (g.acoNumber != 0 || g.hicksonNumber != 0 || g.ra != 0.0 || g.dec != 0.0);
}
}  // namespace

int BuildGalaxyGroupFromCatalogue(int number, char *text, const LocationRecord *site,
                                  const DateRecord *date, double extinction, ObjectRecord *out,
                                  int refresh) {
    if (!out) return 0;
    int group = 0;
    if (refresh) {
        group = out->index;
    } else if (out->kind == kKindCommonName) {
        group = CommonNameRecord(number, text, kCrossGalaxyGroup);
    } else if (out->kind == kGroupKindAco || out->kind == kGroupKindHickson) {
        int n = number;
        std::string t = SkipPrefix(text);
        if (n == 0 && std::sscanf(t.c_str(), "%d", &n) != 1) return 0;
        group = out->kind == kGroupKindAco ? GalaxyGroupOfAcoNumber(n) : GalaxyGroupOfHicksonNumber(n);
    }
    if (group <= 0) return 0;   // gg.bin groups are numbered from 1
    if (!GalaxyGroupSlotHoldsGroup(group)) return 0;
    return ReadAndFill(OpenGalaxyGroupCatalogue(), group, FillGalaxyGroupObject, site, date,
                       extinction, out);
}

void FillQuasarObject(const LocationRecord *site, const DateRecord *date, double extinction,
                      ObjectRecord *out, const QuasarRecord &q) {
    out->raCatalogue = q.ra;
    out->decCatalogue = q.dec;
    out->magnitude = static_cast<float>(q.magnitude);
    out->magnitude2 = 99.9f;
    out->sizeMajor = out->sizeMinor = out->extent = 0.0f;
    out->distanceLightYears =
        static_cast<float>(q.redshift != 99.9 ? LightTravelDistanceFromRedshift(q.redshift) * 1e9 : 0.0);
    out->colourIndex = static_cast<float>(q.bMinusV < 90.0 ? q.bMinusV : 99.9);
    FinishPlaces(site, date, extinction, out, 0.0);
}

int BuildQuasarFromCatalogue(int number, char *text, const LocationRecord *site,
                             const DateRecord *date, double extinction, ObjectRecord *out, int refresh) {
    if (!out) return 0;
    int record = -1;
    if (refresh) {
        // Index 0 would ask for record -1, which reads "the next record".
        if (out->index < 1) return 0;
        record = out->index - 1;
    } else if (out->kind == kKindCommonName) {
        record = CommonNameRecord(number, text, kCrossQuasar);
    } else if (out->kind == kQuasarKindDiscoverer) {
        record = FindQuasarByDiscovererDesignation(text);
    } else if (out->kind == kQuasarKindHewittBurbidge) {
        record = FindQuasarByHewittBurbidge(text);
    }
    if (record < 0) return 0;
    Stream s(OpenQuasarCatalogue());
    QuasarRecord q;
    std::memset(&q, 0, sizeof q);
    int index = ReadQuasarRecord(s.f, record, &q, kReadAllButName);
    if (index <= 0) return 0;
    out->index = index;
    FillQuasarObject(site, date, extinction, out, q);
    return 1;
}
