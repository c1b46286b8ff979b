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

// What every deep-sky class gives its record; sizes in arcminutes. The
// display extent is the major size, or emptyExtent when the class has one
// for objects without a size (0: the size as it is).
struct DeepSkyValues {
    double ra, dec;
    double magnitude;
    double magnitude2 = 99.9;
    double majorArcmin, minorArcmin = 0.0;
    float emptyExtent = 0.0f;
    double distanceLightYears = 0.0;
    double colourIndex = 99.9;
};

DeepSkyValues Values(double ra, double dec, double magnitude, double majorArcmin) {
    DeepSkyValues v;
    v.ra = ra;
    v.dec = dec;
    v.magnitude = magnitude;
    v.majorArcmin = majorArcmin;
    return v;
}

// The one fill of the record: the values (sizes to radians), no proper
// motion, then the places when site and date are given.
void ApplyValues(const LocationRecord *site, const DateRecord *date, double extinction,
                 ObjectRecord *out, const DeepSkyValues &v) {
    out->raCatalogue = v.ra;
    out->decCatalogue = v.dec;
    out->magnitude = static_cast<float>(v.magnitude);
    out->magnitude2 = static_cast<float>(v.magnitude2);
    const float major = static_cast<float>(v.majorArcmin * kArcminToRad);
    out->sizeMajor = major;
    out->sizeMinor = static_cast<float>(v.minorArcmin * kArcminToRad);
    out->extent = (v.majorArcmin > 0 || v.emptyExtent == 0.0f) ? major : v.emptyExtent;
    out->distanceLightYears = static_cast<float>(v.distanceLightYears);
    out->colourIndex = static_cast<float>(v.colourIndex);
    out->properMotionRa = 0.0f;
    out->properMotionDec = 0.0f;
    if (site && date) {
        ComputeApparentPlace(site, date, extinction, 0.0, out);
        ComputeAstrometricPlace(site, date, 0.0, out);
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

// Every record read is a real object but a slot of the group numbering that
// holds no group (no ACO or Hickson number and no place): it would stand at
// RA 0, Dec 0.
bool HoldsObject(const PlanetaryNebulaRecord &) { return true; }
bool HoldsObject(const BrightNebulaRecord &) { return true; }
bool HoldsObject(const OpenClusterRecord &) { return true; }
bool HoldsObject(const GlobularClusterRecord &) { return true; }
bool HoldsObject(const DarkNebulaRecord &) { return true; }
bool HoldsObject(const GalaxyGroupRecord &g) {
    return g.acoNumber != 0 || g.hicksonNumber != 0 || g.ra != 0.0 || g.dec != 0.0;
}

FILE *OpenDarkNebulae() { return OpenDarkNebulaCatalogue(0); }

template <typename Record>
using FillStep = void (*)(const LocationRecord *, const DateRecord *, double, ObjectRecord *,
                          const Record &);
using ReadStep = int (*)(int, const LocationRecord *, const DateRecord *, double, ObjectRecord *);

// The end of every one-record builder: reads the found record from its
// catalogue, keeps its number as the object's index and fills the object.
// 1 when the record was read and holds an object.
template <typename Record, FILE *(*Open)(), FillStep<Record> Fill>
int ReadAndFill(int record, const LocationRecord *site, const DateRecord *date, double extinction,
                ObjectRecord *out) {
    Stream s(Open());
    Record r;
    std::memset(&r, 0, sizeof r);
    if (!ReadEntry(s.f, record, &r) || !HoldsObject(r)) return 0;
    out->index = record;
    Fill(site, date, extinction, out, r);
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

// ---- the fill rules of each class ------------------------------------------------------------

void FillGalaxyObject(const LocationRecord *site, const DateRecord *date, double extinction,
                      ObjectRecord *out, const GalaxyRecord &g) {
    DeepSkyValues v = Values(g.ra, g.dec, g.magnitude, g.majorAxis);
    v.magnitude2 = g.surfaceBrightness;
    v.minorArcmin = g.minorAxis;
    v.emptyExtent = kOneArcminute;
    if (g.distanceMly != 0.0)
        v.distanceLightYears = g.distanceMly * 1e6;
    else if (g.radialVelocity != 99.9 && g.radialVelocity > 3000.0)
        v.distanceLightYears = LightTravelDistanceFromRedshift(RedshiftFromVelocity(g.radialVelocity)) * 1e9;
    v.colourIndex = g.bMinusV < 90.0 ? g.bMinusV : g.typicalBMinusV + 200.0;
    ApplyValues(site, date, extinction, out, v);
}

void FillPlanetaryNebulaObject(const LocationRecord *site, const DateRecord *date, double extinction,
                               ObjectRecord *out, const PlanetaryNebulaRecord &p) {
    // The size is in arcseconds.
    DeepSkyValues v = Values(p.ra, p.dec, p.magnitude, p.size > 0 ? p.size / 60.0 : 0.0);
    v.magnitude2 = p.surfaceBrightness == 0.0 ? 99.9 : p.surfaceBrightness;
    if (p.distanceParsecs != 0.0 && !p.distanceNotUsed) v.distanceLightYears = p.distanceParsecs * 3.26;
    ApplyValues(site, date, extinction, out, v);
}

void FillBrightNebulaObject(const LocationRecord *site, const DateRecord *date, double extinction,
                            ObjectRecord *out, const BrightNebulaRecord &n) {
    DeepSkyValues v = Values(n.ra, n.dec, n.magnitude, n.majorSize);
    v.minorArcmin = n.minorSize;
    // A nebula with a brightness class (the aperture class that shows it)
    // gets the faintest surface brightness that class shows.
    if (n.brightnessClass != 255)
        v.magnitude2 = ComputeApertureClassSurfaceBrightness(n.brightnessClass, n.minorSize, out->magnification);
    out->classExtra[0] = n.brightnessClass;
    ApplyValues(site, date, extinction, out, v);
}

void FillOpenClusterObject(const LocationRecord *site, const DateRecord *date, double extinction,
                           ObjectRecord *out, const OpenClusterRecord &o) {
    DeepSkyValues v = Values(o.ra, o.dec, o.magnitude, o.size);
    v.distanceLightYears = o.distanceParsecs * 3.26;
    ApplyValues(site, date, extinction, out, v);
}

void FillGlobularClusterObject(const LocationRecord *site, const DateRecord *date, double extinction,
                               ObjectRecord *out, const GlobularClusterRecord &g) {
    DeepSkyValues v = Values(g.ra, g.dec, g.magnitude, g.size);
    v.distanceLightYears = g.distanceKpc * 3260.0;
    ApplyValues(site, date, extinction, out, v);
}

void FillDarkNebulaObject(const LocationRecord *site, const DateRecord *date, double extinction,
                          ObjectRecord *out, const DarkNebulaRecord &d) {
    // The magnitude carries the opacity class, not a brightness.
    ApplyValues(site, date, extinction, out, Values(d.ra, d.dec, d.classValue, d.majorSize));
}

void FillGalaxyGroupObject(const LocationRecord *site, const DateRecord *date, double extinction,
                           ObjectRecord *out, const GalaxyGroupRecord &g) {
    DeepSkyValues v = Values(g.ra, g.dec, g.magnitude, g.size);
    v.emptyExtent = kOneDegree;
    if (g.redshift != 0.0) v.distanceLightYears = LightTravelDistanceFromRedshift(g.redshift) * 1e9;
    out->memberMagnitude = static_cast<float>(g.memberMagnitude);
    out->memberSizeMajor = static_cast<float>(g.memberMajorAxis * kArcminToRad);
    out->memberSizeMinor = static_cast<float>(
        (g.memberMinorAxis != 0.0 ? g.memberMinorAxis : g.memberMajorAxis) * kArcminToRad);
    ApplyValues(site, date, extinction, out, v);
}

void FillQuasarObject(const LocationRecord *site, const DateRecord *date, double extinction,
                      ObjectRecord *out, const QuasarRecord &q) {
    DeepSkyValues v = Values(q.ra, q.dec, q.magnitude, 0.0);
    if (q.redshift != 99.9) v.distanceLightYears = LightTravelDistanceFromRedshift(q.redshift) * 1e9;
    if (q.bMinusV < 90.0) v.colourIndex = q.bMinusV;
    ApplyValues(site, date, extinction, out, v);
}

// ---- finding the catalogue record of a designation ------------------------------------------

namespace {

// Catalogues whose index takes one number, and those that take two.
struct OneNumberIndex {
    int kind;
    FILE *(*open)();
    int (*lookup)(FILE *, int);
};
struct TwoNumberIndex {
    int kind;
    FILE *(*open)();
    int (*lookup)(FILE *, int, int);
};

const OneNumberIndex kPlanetaryOneNumber[] = {{kPnKindAbell, OpenAbellPnIndex, LookupAbellPn},
                                              {kPnKindAro, OpenAroIndex, LookupAro}};
const TwoNumberIndex kPlanetaryTwoNumbers[] = {{kPnKindMinkowski, OpenMinkowskiIndex, LookupMinkowski},
                                               {kPnKindHenize, OpenHenizeIndex, LookupHenize},
                                               {kPnKindHaro, OpenHaroIndex, LookupHaro},
                                               {kPnKindKohoutek, OpenKohoutekIndex, LookupKohoutek},
                                               {kPnKindEso, OpenEsoPnIndex, LookupEsoPn}};
const OneNumberIndex kNebulaOneNumber[] = {{kNebulaKindVdB, OpenVdbIndex, LookupVdb},
                                           {kNebulaKindGum, OpenGumIndex, LookupGum},
                                           {kNebulaKindRcw, OpenRcwIndex, LookupRcw},
                                           {kNebulaKindLbn, OpenLbnIndex, LookupLbn}};

template <typename Index, size_t N>
const Index *IndexOfKind(const Index (&table)[N], int kind) {
    for (const Index &i : table)
        if (i.kind == kind) return &i;
    return nullptr;
}

// The galaxy records (up to three) of a designation of the given kind.
int FindGalaxyRecords(int number, char *text, int kind, int32_t candidates[4]) {
    int suffix = 0, n = 0, count = 0;
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
    return count == 0 ? (candidates[0] > 0 ? 1 : 0) : count;
}

// The pln.bin record of a designation of the given kind; -1 when none.
int FindPlanetaryNebulaRecord(int number, char *text, int kind) {
    int record = -1;
    int a = 0, b = 0;
    std::string t = SkipPrefix(text);
    const OneNumberIndex *one = IndexOfKind(kPlanetaryOneNumber, kind);
    const TwoNumberIndex *two = IndexOfKind(kPlanetaryTwoNumbers, kind);
    if (one) {
        if (number) a = number;
        else if (std::sscanf(t.c_str(), "%d", &a) != 1) return -1;
        Stream s(one->open());
        return one->lookup(s.f, a);
    }
    if (two) {
        if (std::sscanf(t.c_str(), "%d-%d", &a, &b) != 2) return -1;
        Stream s(two->open());
        return two->lookup(s.f, a, b);
    }
    switch (kind) {
    case kKindCommonName: record = CommonNameRecord(number, text, kCrossPlanetaryNebula); break;
    case kKindMessier: case kKindNgc: case kKindIc: record = MessierNgcIcRecord(kind, number, text, kCrossPlanetaryNebula); break;
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

// The neb.bin record of a designation of the given kind; -1 when none.
int FindBrightNebulaRecord(int number, char *text, int kind) {
    int record = -1;
    int n = 0, suffix = 0;
    if (const OneNumberIndex *one = IndexOfKind(kNebulaOneNumber, kind)) {
        std::string t = AfterFirstBlank(text);
        if (number) n = number;
        else if (std::sscanf(t.c_str(), "%d", &n) != 1) return -1;
        Stream s(one->open());
        return one->lookup(s.f, n);
    }
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
    case kNebulaKindOther: record = FindBrightNebulaByOtherDesignation(text); break;
    default: break;
    }
    return record;
}

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

// The gg.bin group (numbered from 1) of a designation; 0 or less when none.
int FindGalaxyGroupRecord(int number, char *text, int kind) {
    if (kind == kKindCommonName) return CommonNameRecord(number, text, kCrossGalaxyGroup);
    if (kind != kGroupKindAco && kind != kGroupKindHickson) return 0;
    int n = number;
    std::string t = SkipPrefix(text);
    if (n == 0 && std::sscanf(t.c_str(), "%d", &n) != 1) return 0;
    return kind == kGroupKindAco ? GalaxyGroupOfAcoNumber(n) : GalaxyGroupOfHicksonNumber(n);
}

// A quasar's index is its qso.bin record + 1; 0 when none.
int FindQuasarIndex(int number, char *text, int kind) {
    int record = -1;
    if (kind == kKindCommonName) record = CommonNameRecord(number, text, kCrossQuasar);
    else if (kind == kQuasarKindDiscoverer) record = FindQuasarByDiscovererDesignation(text);
    else if (kind == kQuasarKindHewittBurbidge) record = FindQuasarByHewittBurbidge(text);
    return record < 0 ? 0 : record + 1;
}

int ReadQuasar(int index, const LocationRecord *site, const DateRecord *date, double extinction,
               ObjectRecord *out) {
    Stream s(OpenQuasarCatalogue());
    QuasarRecord q;
    std::memset(&q, 0, sizeof q);
    int read = ReadQuasarRecord(s.f, index - 1, &q, kReadAllButName);
    if (read <= 0) return 0;
    out->index = read;
    FillQuasarObject(site, date, extinction, out, q);
    return 1;
}

// The rules of the classes that build one record: how a designation finds
// the record (a refresh takes the record's index), the lowest index that
// names an object, and the read that fills the record.
struct DeepSkyRule {
    int objectClass;
    int (*find)(int number, char *text, int kind);
    int firstIndex;
    ReadStep read;
};

const DeepSkyRule kRules[] = {
    {kClassQuasar, FindQuasarIndex, 1, ReadQuasar},
    {kClassPlanetaryNebula, FindPlanetaryNebulaRecord, 0,
     ReadAndFill<PlanetaryNebulaRecord, OpenPlanetaryNebulaCatalogue, FillPlanetaryNebulaObject>},
    {kClassBrightNebula, FindBrightNebulaRecord, 0,
     ReadAndFill<BrightNebulaRecord, OpenBrightNebulaCatalogue, FillBrightNebulaObject>},
    {kClassOpenCluster, FindOpenClusterRecord, 0,
     ReadAndFill<OpenClusterRecord, OpenOpenClusterCatalogue, FillOpenClusterObject>},
    {kClassGlobularCluster, FindGlobularClusterRecord, 1,
     ReadAndFill<GlobularClusterRecord, OpenGlobularClusterCatalogue, FillGlobularClusterObject>},
    {kClassGalaxyGroup, FindGalaxyGroupRecord, 1,
     ReadAndFill<GalaxyGroupRecord, OpenGalaxyGroupCatalogue, FillGalaxyGroupObject>},
    {kClassDarkNebula, FindDarkNebulaRecord, 0,
     ReadAndFill<DarkNebulaRecord, OpenDarkNebulae, FillDarkNebulaObject>},
};

}  // namespace

int BuildDeepSkyFromCatalogue(int objectClass, int number, char *text, const LocationRecord *site,
                              const DateRecord *date, double extinction, ObjectRecord *out,
                              int refresh) {
    if (!out) return 0;
    if (objectClass == kClassGalaxy) {
        // Galaxies: a designation may name up to three (a Markarian number).
        int32_t candidates[4] = {0, 0, 0, 0};
        int count = 0;
        if (refresh) {
            candidates[0] = out->index;
            count = candidates[0] > 0 ? 1 : 0;
        } else {
            count = FindGalaxyRecords(number, text, out->kind, candidates);
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
    for (const DeepSkyRule &rule : kRules) {
        if (rule.objectClass != objectClass) continue;
        int record = refresh ? out->index : rule.find(number, text, out->kind);
        if (record < rule.firstIndex) return 0;
        return rule.read(record, site, date, extinction, out);
    }
    return 0;
}
