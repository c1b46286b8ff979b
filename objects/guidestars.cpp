// Guide-star and J-designation look-ups in the deep star database, and the
// guide-star region band files.
#include "objects/guidestars.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "astro/angleparse.h"
#include "core/datapaths.h"
#include "core/mathutil.h"
#include "objects/objectrecord.h"
#include "objects/starcat.h"
#include "objects/stardatabase.h"
#include "objects/starxref.h"

namespace {

struct Band {
    const char *name;
    int first, last;
};
const Band kBands[] = {
    {"N0000", 1, 593},     {"N0730", 594, 1177},  {"N1500", 1178, 1728}, {"N2230", 1729, 2258},
    {"N3000", 2259, 2780}, {"N3730", 2781, 3245}, {"N4500", 3246, 3651}, {"N5230", 3652, 4013},
    {"N6000", 4014, 4293}, {"N6730", 4294, 4491}, {"N7500", 4492, 4614}, {"N8230", 4615, 4662},
    {"S0000", 4663, 5259}, {"S0730", 5260, 5837}, {"S1500", 5838, 6411}, {"S2230", 6412, 6988},
    {"S3000", 6989, 7522}, {"S3730", 7523, 8021}, {"S4500", 8022, 8463}, {"S5230", 8464, 8839},
    {"S6000", 8840, 9133}, {"S6730", 9134, 9345}, {"S7500", 9346, 9489}, {"S8230", 9490, 9537}};

const double kArcsec = kPi / 648000;
const double kDeg = kPi / 180;
// A J designation cuts the right ascension to 0.1 s (up to 1.5 arcseconds of
// angle) and the declination to 1 arcsecond; the match allows a little more.
const double kJRightAscensionTolerance = 1.65 * kArcsec;
const double kJDeclinationTolerance = 1.1 * kArcsec;
const double kNearbyRadius = 30 * kArcsec;
struct FileCloser {
    void operator()(FILE *f) const {
        if (f) std::fclose(f);
    }
};
using File = std::unique_ptr<FILE, FileCloser>;

void Put24(uint8_t *p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
}
uint32_t Get24(const uint8_t *p) { return p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16; }

int RoundHalfAway(double x) { return (int)(x < 0 ? std::ceil(x - 0.5) : std::floor(x + 0.5)); }

bool IsCatalogueForm(int code) {
    return code != kStarCodeColoured && code != kStarCodeGuide && code != kStarCodeFaint;
}

void FillFromStar(const DecodedStar &s, GscStarRecord *out) {
    std::memset(out, 0, sizeof *out);
    out->rightAscension = AngleToTurns(s.rightAscension);
    out->declination = AngleToTurns(s.declination);
    Put24(out->motionRightAscension, s.code == kStarCodeFaint ? kGscNoMotion : s.motionCodes[0]);
    Put24(out->motionDeclination, s.code == kStarCodeFaint ? kGscNoMotion : s.motionCodes[1]);
    out->region = (uint16_t)s.guideRegion;
    out->number = (uint16_t)s.guideNumber;
    if (s.code == kStarCodeFaint)
        EncodeGscMagnitudes(out->magnitudes, s.v, 13 + s.magnitudeByte * 7.0 / 255);
    else
        Put24(out->magnitudes, s.magnitudeCodes);
    out->extra = s.endByte;
    out->filled = s.code == kStarCodeFaint ? 0 : 1;
}

// The star-catalogue record of a catalogue-form star: 1 read, 0 not.
int ReadIdentifiers(FILE *catalogue, int number, StarRecord *record) {
    return number > 0 && ReadStarRecord(catalogue, number, record, nullptr, 0x08) == 1;
}

}  // namespace

const char *GscBandOfRegion(int region) {
    for (const Band &b : kBands)
        if (region >= b.first && region <= b.last) return b.name;
    return nullptr;
}

int ReadGscRegion(int region, int ignored, GscRegionRecord *out) {
    const char *band = GscBandOfRegion(region);
    const char *directory = GetRefDirectory(2);
    if (!band || !directory || !out) return 0;
    const Band *b = nullptr;
    for (const Band &x : kBands)
        if (x.name == band) b = &x;
    char path[600];
    int n = std::snprintf(path, sizeof path, "%sgsc/%s.bin", directory, band);
    if (n < 0 || (size_t)n >= sizeof path) return 0;
    File f(std::fopen(path, "rb"));
    if (!f) return 0;
    // the band file is read whole
    std::vector<GscRegionRecord> records((size_t)(b->last - b->first + 1));
    if (std::fread(records.data(), sizeof(GscRegionRecord), records.size(), f.get()) !=
        records.size())
        return 0;
    *out = records[(size_t)(region - b->first)];
    return 1;
}

void EncodeGscMagnitudes(uint8_t out[3], double first, double second) {
    uint32_t a = first > 90 ? 4095 : (uint32_t)std::max(0, std::min(4094, RoundHalfAway((first + 1.6) * 100)));
    uint32_t b = (first > 90 || second > 90)
                     ? 4095
                     : (uint32_t)std::max(0, std::min(4094, RoundHalfAway((second + 1.6) * 100)));
    Put24(out, a | b << 12);
}

int DecodeGscStar(const GscStarRecord *r, int *region, int *number, double *ra, double *dec,
                  double *pmRa, double *pmDec, double *magnitude, double *colour) {
    if (!r) return 0;
    double d = r->declination * (2 * kPi) / 2147483647.0;
    double a = r->rightAscension * (2 * kPi) / 2147483647.0;
    if (a < 0) a += 2 * kPi;
    double c = std::cos(d);
    double mra = ((Get24(r->motionRightAscension) & 0x1FFFFF) * 0.00001 - 7.5) * kArcsec;
    double mdec = ((Get24(r->motionDeclination) & 0x1FFFFF) * 0.00001 - 7.5) * kArcsec;
    uint32_t m = Get24(r->magnitudes);
    uint32_t m1 = m & 0xFFF, m2 = m >> 12;
    double first = m1 == 4095 ? kNoStarMagnitude : m1 * 0.01 - 1.6;
    double second = m2 == 4095 ? kNoStarMagnitude : m2 * 0.01 - 1.6;
    if (region) *region = r->region;
    if (number) *number = r->number;
    if (ra) *ra = a;
    if (dec) *dec = d;
    if (pmRa) *pmRa = std::fabs(c) < 1e-12 ? 0 : mra / c;
    if (pmDec) *pmDec = mdec;
    if (magnitude) *magnitude = first;
    if (colour) *colour = (m2 == 4095 || first >= 90) ? kNoStarMagnitude : second - first;
    return 1;
}

int FindGscStar(int region, int number, int *star, GscStarRecord *out, double ra, double dec) {
    if (star) *star = 0;
    if (region < 1 || region > kGscRegionCount || number < 1) return 0;
    {
        File tycho(OpenTychoIndex());
        if (tycho) {
            int found = FindTychoStar(tycho.get(), region, number, 1);
            if (found > 0) {
                if (star) *star = found;
                return 1;
            }
        }
    }
    File catalogue(OpenStarCatalogue());
    GscRegionRecord limits;
    if (!catalogue || !ReadGscRegion(region, 0, &limits)) return -1;
    double centreRa, centreDec, radius;
    if (ra == 0 && dec == 0) {
        centreRa = (limits.rightAscension1 + limits.rightAscension2) / 2.0 * 15 * kDeg;
        centreDec = (limits.declination1 + limits.declination2) / 2.0 * kDeg;
        radius = 1.5 * std::fabs(limits.declination2 - limits.declination1) * kDeg;
        // a region spanning the whole circle (near a pole) is searched all round
        double span = std::fabs(limits.rightAscension2 - limits.rightAscension1) * 15 * kDeg;
        radius = std::max(radius, span / 2 * std::cos(std::fabs(centreDec)));
    } else {
        centreRa = ra;
        centreDec = dec;
        radius = kNearbyRadius;
    }
    double c = std::cos(std::min(std::fabs(centreDec) + radius, kPi / 2));
    double halfRa = c < 1e-6 ? kPi : std::min(kPi, radius / c);
    StarRecord record;
    int result = WalkStarDatabase(kStarDbMagX, StarRegionsOfBox(kStarDbMagX, centreRa, centreDec, halfRa, radius),
                             [&](const DecodedStar &s) {
        // the search window: stars within the radius of the centre
        if (AngularSeparation(s.rightAscension, s.declination, centreRa, centreDec) > radius)
            return 0;
        if (s.code == kStarCodeGuide) {
            if (s.guideRegion != region || s.guideNumber != number) return 0;
            if (out) FillFromStar(s, out);
            if (star) *star = 0;
            return 1;
        }
        if (IsCatalogueForm(s.code) && ReadIdentifiers(catalogue.get(), s.catalogueNumber, &record) &&
            record.tycho_region == region && record.tycho_number == number) {
            if (star) *star = s.catalogueNumber;
            return 1;
        }
        return 0;
    });
    return result;
}

int FindStarByJDesignation(const char *text, int *star, GscStarRecord *out) {
    if (star) *star = 0;
    double ra, dec;
    if (!text || !ParseJDesignation(text, &ra, &dec)) return -1;
    File catalogue(OpenStarCatalogue());
    if (!catalogue) return -1;
    // the regions of the four corners of a box of +-6 arcseconds
    std::vector<StarRegionCode> codes;
    for (int corner = 0; corner < 4; ++corner) {
        double r = ra + (corner & 1 ? 6 : -6) * kArcsec;
        double d = dec + (corner & 2 ? 6 : -6) * kArcsec;
        int ok;
        StarRegionCode code = LocateStarRegionCode(kStarDbMagX, r, std::max(-kPi / 2, std::min(kPi / 2, d)), &ok);
        if (ok && std::find(codes.begin(), codes.end(), code) == codes.end()) codes.push_back(code);
    }
    StarRecord record;
    return WalkStarDatabase(kStarDbMagX, codes, [&](const DecodedStar &s) {
        if (AbsoluteAngleDifference(s.rightAscension, ra) > kJRightAscensionTolerance ||
            AbsoluteAngleDifference(s.declination, dec) > kJDeclinationTolerance)
            return 0;
        if (IsCatalogueForm(s.code)) {
            if (!ReadIdentifiers(catalogue.get(), s.catalogueNumber, &record)) return 0;
            if (star) *star = s.catalogueNumber;
            return 1;
        }
        if (out) FillFromStar(s, out);
        if (s.code == kStarCodeColoured && out) out->region = out->number = 0;
        return 1;
    });
}
