// Zone tables, region location and codes, file paths and the record decoders
// of the three star databases.
#include "objects/stardatabase.h"

#include <cmath>
#include <algorithm>
#include <cstring>
#include <memory>

#include "core/datapaths.h"
#include "core/mathutil.h"
#include "objects/objectrecord.h"

namespace {

struct Zone {
    double lower;   // degrees
    double height;  // degrees
    int regions;
};

const Zone kMag7Zones[] = {{-90, 30, 4}, {-60, 30, 6}, {-30, 30, 6},
                           {0, 30, 6},   {30, 30, 6},  {60, 30, 4}};
const Zone kMag10Zones[] = {{-90, 5, 1},  {-85, 10, 3}, {-75, 15, 9},  {-60, 15, 15}, {-45, 15, 20},
                            {-30, 15, 24}, {-15, 15, 24}, {0, 15, 24}, {15, 15, 24},  {30, 15, 20},
                            {45, 15, 15}, {60, 15, 9},   {75, 10, 3},  {85, 5, 1}};
const int kMag7ZoneCount = 6;
const int kMag10ZoneCount = 14;
const int kMagxZoneCount = 24;

const double kTwoPi = 2 * kPi;
const double kDegree = kPi / 180;

// magx: caps of 1.5 degrees, then zones of 12, 9 and 18 of 7.5 degrees, and
// back up symmetrically; the region count is 360 / height rounded.
Zone MagxZone(int zone) {
    if (zone == 0) return {-90, 1.5, 1};
    if (zone == 23) return {88.5, 1.5, 1};
    if (zone == 1) return {-88.5, 12, 30};
    if (zone == 22) return {76.5, 12, 30};
    if (zone == 2) return {-76.5, 9, 40};
    if (zone == 21) return {67.5, 9, 40};
    return {-67.5 + 7.5 * (zone - 3), 7.5, 48};
}

bool GetZone(int database, int zone, Zone *out) {
    if (zone < 0) return false;
    if (database == kStarDbMag7 && zone < kMag7ZoneCount) {
        *out = kMag7Zones[zone];
        return true;
    }
    if (database == kStarDbMag10 && zone < kMag10ZoneCount) {
        *out = kMag10Zones[zone];
        return true;
    }
    if (database == kStarDbMagX && zone < kMagxZoneCount) {
        *out = MagxZone(zone);
        return true;
    }
    return false;
}

bool IsPolarZone(int database, int zone) {
    if (database == kStarDbMag10) return zone == 0 || zone == kMag10ZoneCount - 1;
    if (database == kStarDbMagX) return zone == 0 || zone == kMagxZoneCount - 1;
    return false;
}

double NormalizeRightAscension(double ra) {
    if (!std::isfinite(ra)) return 0;
    ra = std::fmod(ra, kTwoPi);
    if (ra < 0) ra += kTwoPi;
    if (ra >= kTwoPi) ra = 0;
    return ra;
}

double ClampDeclination(double dec) {
    if (!std::isfinite(dec)) return 0;
    if (dec > kPi / 2) return kPi / 2;
    if (dec < -kPi / 2) return -kPi / 2;
    return dec;
}

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

int FindZone(int database, double dec) {
    int count = StarZoneCount(database);
    for (int z = count - 1; z > 0; --z) {
        Zone zone = {0, 0, 0};
        if (GetZone(database, z, &zone) && zone.lower * kDegree <= dec) return z;
    }
    return 0;
}

int LocateSimple(int database, double ra, double dec, int *zone, int *region) {
    ra = NormalizeRightAscension(ra);
    dec = ClampDeclination(dec);
    int z = FindZone(database, dec);
    Zone info = {0, 0, 1};
    GetZone(database, z, &info);
    int r = 0;
    if (!IsPolarZone(database, z))
        r = Clamp((int)(ra / (kTwoPi / info.regions)), 0, info.regions - 1);
    if (zone) *zone = z;
    if (region) *region = r;
    return 1;
}

uint32_t Get24(const uint8_t *p) { return p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16; }
uint32_t Get32(const uint8_t *p) { return Get24(p) | (uint32_t)p[3] << 24; }
uint16_t Get16(const uint8_t *p) { return (uint16_t)(p[0] | p[1] << 8); }
float GetFloat(const uint8_t *p) {
    uint32_t bits = Get32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

const uint32_t kTwentyBits = 1048575;
const uint32_t kTwentyFourBits = 16777215;
const double kTurnUnits = 2147483647.0;
const double kArcsecond = kPi / 648000;

// Position: 5 bytes in a region, 7 in a polar cap; returns the bytes used.
int DecodePosition(const uint8_t *p, const StarRegionBounds &b, DecodedStar *s) {
    if (b.polar) {
        int32_t r = (int32_t)Get32(p);
        double ra = r * kTwoPi / kTurnUnits;
        if (ra < 0) ra += kTwoPi;
        s->rightAscension = ra;
        s->declination = b.declinationStart + Get24(p + 4) / (double)kTwentyFourBits * b.height;
        return 7;
    }
    uint32_t word = Get32(p);
    uint32_t f = word & 0xFFFFF;
    uint32_t g = (word >> 20) | (uint32_t)p[4] << 12;
    s->rightAscension = b.rightAscensionStart + f / (double)kTwentyBits * b.width;
    s->declination = b.declinationStart + g / (double)kTwentyBits * b.height;
    return 5;
}

double MotionValue(uint32_t field) { return ((field & 0x1FFFFF) * 0.00001 - 7.5) * kArcsecond; }

// Proper motions (6 bytes); the orbital-system mark gives 0 and sets *system.
void DecodeMotion(const uint8_t *p, DecodedStar *s, bool namedForm) {
    uint32_t ra = Get24(p), dec = Get24(p + 3);
    s->motionCodes[0] = ra;
    s->motionCodes[1] = dec;
    if (namedForm && ra == kOrbitalSystemMotion && dec == kOrbitalSystemMotion) {
        s->orbitalSystem = 1;
        s->motionRightAscension = s->motionDeclination = 0;
        return;
    }
    double c = std::cos(s->declination);
    // at the pole (possible in a cap) a motion in right ascension has no meaning
    s->motionRightAscension = std::fabs(c) < 1e-12 ? 0 : MotionValue(ra) / c;
    s->motionDeclination = MotionValue(dec);
}

double MagnitudeCode(uint32_t m) { return m >= 0xFFF ? kNoStarMagnitude : m * 0.01 - 1.6; }

void DecodeTwoMagnitudes(const uint8_t *p, DecodedStar *s) {
    uint32_t word = Get24(p);
    s->magnitudeCodes = word;
    s->v = MagnitudeCode(word & 0xFFF);
    s->b = MagnitudeCode(word >> 12);
    s->colourClass = (s->b == kNoStarMagnitude || s->v >= 90) ? 0 : GetColourIndexClass(s->b - s->v);
}

}  // namespace

int StarZoneCount(int database) {
    if (database == kStarDbMag7) return kMag7ZoneCount;
    if (database == kStarDbMag10) return kMag10ZoneCount;
    if (database == kStarDbMagX) return kMagxZoneCount;
    return 0;
}

int StarRegionCount(int database, int zone) {
    Zone z = {0, 0, 0};
    return GetZone(database, zone, &z) ? z.regions : 0;
}

int MagxSubdivisions(int zone) {
    if (zone >= 6 && zone <= 17) return 3;
    if ((zone >= 1 && zone <= 5) || (zone >= 18 && zone <= 22)) return 2;
    return 1;
}

int GetStarZone(int database, int zone, double *lowerBound, double *height) {
    Zone z = {0, 0, 0};
    if (!GetZone(database, zone, &z)) return 0;
    if (lowerBound) *lowerBound = z.lower;
    if (height) *height = z.height;
    return 1;
}

int LocateMag7Region(double ra, double dec, int *zone, int *region) {
    return LocateSimple(kStarDbMag7, ra, dec, zone, region);
}

int LocateMag10Region(double ra, double dec, int *zone, int *region) {
    return LocateSimple(kStarDbMag10, ra, dec, zone, region);
}

int LocateMagxRegion(double ra, double dec, int *zone, int *region, int *column, int *row) {
    ra = NormalizeRightAscension(ra);
    dec = ClampDeclination(dec);
    int z, r;
    LocateSimple(kStarDbMagX, ra, dec, &z, &r);
    Zone info = MagxZone(z);
    int d = MagxSubdivisions(z);
    double size = info.height / d * kDegree;
    int c = 0;
    if (!IsPolarZone(kStarDbMagX, z))
        c = Clamp((int)((ra - r * (kTwoPi / info.regions)) / size), 0, d - 1);
    int w = Clamp((int)((dec - info.lower * kDegree) / size), 0, d - 1);
    if (zone) *zone = z;
    if (region) *region = r;
    if (column) *column = c;
    if (row) *row = w;
    return 1;
}

StarRegionCode LocateStarRegionCode(int database, double ra, double dec, int *ok) {
    int zone = 0, region = 0, column = 0, row = 0;
    int done = 0;
    if (database == kStarDbMag7) done = LocateMag7Region(ra, dec, &zone, &region);
    if (database == kStarDbMag10) done = LocateMag10Region(ra, dec, &zone, &region);
    if (database == kStarDbMagX) done = LocateMagxRegion(ra, dec, &zone, &region, &column, &row);
    if (ok) *ok = done;
    return done ? MakeRegionCode(zone, region, row, column) : 0;
}

static int SimpleBounds(int database, int zone, int region, StarRegionBounds *b) {
    Zone z = {0, 0, 0};
    if (!GetZone(database, zone, &z) || region < 0 || region >= z.regions || !b) return -1;
    b->polar = IsPolarZone(database, zone) ? 1 : 0;
    b->width = kTwoPi / z.regions;
    b->rightAscensionStart = region * b->width;
    b->declinationStart = z.lower * kDegree;
    b->height = z.height * kDegree;
    return region;
}

int GetMag7RegionBounds(int zone, int region, StarRegionBounds *bounds) {
    return SimpleBounds(kStarDbMag7, zone, region, bounds);
}

int GetMag10RegionBounds(int zone, int region, StarRegionBounds *bounds) {
    return SimpleBounds(kStarDbMag10, zone, region, bounds);
}

int GetMagxRegionBounds(int zone, int region, int column, int row, StarRegionBounds *bounds) {
    if (SimpleBounds(kStarDbMagX, zone, region, bounds) < 0) return -1;
    int d = MagxSubdivisions(zone);
    if (column < 0 || row < 0 || column >= d || row >= d) return -1;
    if (bounds->polar) return 0;
    double size = bounds->height / d;
    bounds->rightAscensionStart += column * size;
    bounds->declinationStart += row * size;
    bounds->width = bounds->height = size;
    return column + row * d;
}

int GetStarRegionBounds(int database, StarRegionCode code, StarRegionBounds *bounds) {
    int zone, region, row, column;
    SplitRegionCode(code, &zone, &region, &row, &column);
    if (database == kStarDbMag7) return GetMag7RegionBounds(zone, region, bounds);
    if (database == kStarDbMag10) return GetMag10RegionBounds(zone, region, bounds);
    if (database == kStarDbMagX) return GetMagxRegionBounds(zone, region, column, row, bounds);
    return -1;
}

StarRegionCode MakeRegionCode(int zone, int region, int row, int column) {
    return (StarRegionCode)((zone & 0x1F) | (region & 0x3F) << 5 | (row & 3) << 11 |
                            (column & 3) << 13);
}

void SplitRegionCode(StarRegionCode code, int *zone, int *region, int *row, int *column) {
    if (zone) *zone = code & 0x1F;
    if (region) *region = (code >> 5) & 0x3F;
    if (row) *row = (code >> 11) & 3;
    if (column) *column = (code >> 13) & 3;
}

int GetColourIndexClass(double bv) {
    if (bv > 90) return 0;
    static const double kLimits[] = {-1, -0.5, -0.28, 0, 0.3, 0.68, 0.84, 1.0, 1.5, 1.7, 2, 3, 4};
    for (int i = 0; i < 13; ++i)
        if (bv < kLimits[i]) return i + 1;
    return 14;
}

int FormatStarFilePath(char *buffer, size_t size, const char *directory, int database, int zone,
                       int region) {
    if (!buffer || size == 0) return 0;
    buffer[0] = 0;
    if (!directory) return 0;
    int n = -1;
    if (database == kStarDbMag7) n = std::snprintf(buffer, size, "%smag7/stars%.2d.bin", directory, zone);
    if (database == kStarDbMag10) n = std::snprintf(buffer, size, "%smag10/db%02d/stars.bin", directory, zone);
    if (database == kStarDbMagX)
        n = std::snprintf(buffer, size, "%smagx/db%02d/stars%.2d.bin", directory, zone, region);
    if (n < 0 || (size_t)n >= size) {
        buffer[0] = 0;
        return 0;
    }
    return 1;
}

int StarRecordSize(int code, int polar) {
    int extra = polar ? 2 : 0;
    code &= 0x0F;
    if (code == kStarCodeFaint) return 8 + extra;
    if (code == kStarCodeGuide) return 19 + extra;
    if (code == kStarCodeColoured) return 15 + extra;
    if (code & kStarCodeNamedBit) return 21 + extra;
    return 17 + extra;
}

int VariableBlockExtraSize(int model) {
    if (model == 3) return 14;
    if (model == 4) return 13;
    if (model == 5 || model == 6) return 8;
    return 0;
}

int DecodeStarDbRecord(const uint8_t *bytes, size_t size, int code, const StarRegionBounds &bounds,
                     DecodedStar *s) {
    code &= 0x0F;
    if (!bytes || !s || size < (size_t)StarRecordSize(code, bounds.polar)) return 0;
    std::memset(s, 0, sizeof *s);
    s->code = code;
    s->componentLetter = ' ';
    s->v = s->b = kNoStarMagnitude;
    const uint8_t *p = bytes + DecodePosition(bytes, bounds, s);
    if (code == kStarCodeFaint) {
        s->magnitudeByte = p[0];
        s->v = p[0] * 7.0 / 255 + 13;
        s->endByte = p[2];
        s->colourClass = p[2] >> 4;
    } else {
        bool named = code != kStarCodeColoured && code != kStarCodeGuide && (code & kStarCodeNamedBit);
        DecodeMotion(p, s, named);
        p += 6;
        if (code == kStarCodeGuide) {
            s->guideRegion = Get16(p);
            s->guideNumber = Get16(p + 2);
            DecodeTwoMagnitudes(p + 4, s);
            s->endByte = p[7];
        } else if (code == kStarCodeColoured) {
            DecodeTwoMagnitudes(p, s);
            s->endByte = p[3];
        } else {
            s->catalogueNumber = (int32_t)Get24(p);
            p += 3;
            if (named) {
                s->componentLetter = (char)p[3];
                p += 4;
            }
            uint16_t word = Get16(p);
            s->v = MagnitudeCode(word & 0xFFF);
            s->colourClass = word >> 12;
            s->endByte = p[2];
            s->flag = s->endByte >> 7;
        }
    }
    s->nextCode = s->endByte & 0x0F;
    s->brightest = s->faintest = s->v;
    s->rightAscensionTurns = AngleToTurns(s->rightAscension);
    s->declinationTurns = AngleToTurns(s->declination);
    return 1;
}

int DecodeVariableBlock(const uint8_t *p, size_t size, VariableBlock *v) {
    if (!p || !v || size < (size_t)kVariableBlockSize) return 0;
    std::memset(v, 0, sizeof *v);
    uint32_t w0 = Get32(p);
    uint16_t w1 = Get16(p + 4);
    uint32_t n = w0 >> 20, f = w1 & 0xFFF;
    v->brightest = n >= 0xFFF ? kNoStarMagnitude : n * 0.01 - 6;
    v->faintest = f == 0xFFF ? kNoStarMagnitude : f * 0.01 - 1;
    v->model = (w1 >> 12) & 7;
    v->secondSeries = w1 >> 15;
    if (size < (size_t)(kVariableBlockSize + VariableBlockExtraSize(v->model))) return 0;
    const uint8_t *e = p + kVariableBlockSize;
    if (v->model >= 3 && v->model <= 6) {
        uint32_t epoch = Get32(e);
        uint32_t day = epoch & 0xFFFFFF;
        if (day != 0xFFFFFF) v->epoch = day + (double)GetFloat(e + 4);
        if (v->model == 3 || v->model == 4) {
            uint32_t shape = epoch >> 24;
            v->shape1 = shape == 0xFF ? 0 : shape / 100.0;
            double period = GetFloat(e + 8);
            v->period = period > 0 && std::isfinite(period) ? period : 0;
            if (v->model == 3) v->shape2 = e[13] / 100.0;
        }
    }
    return 1;
}

int DecodeComponentRecord(const uint8_t *p, size_t size, ComponentRecord *c) {
    if (!p || !c || size < (size_t)kComponentRecordSize) return 0;
    c->separation = Get16(p) * 0.01;
    uint32_t word = Get32(p + 2);
    c->positionAngle = word & 0x1FF;
    c->v = (word >> 9) * 21.2 / 8388607 - 1.6;
    c->letter = (char)p[6];
    c->referenceIndex = p[7] & 0x3F;
    c->hasVariable = (p[7] & kComponentHasVariable) ? 1 : 0;
    c->hasOrbit = (p[7] & kComponentHasOrbit) ? 1 : 0;
    return 1;
}

int DecodeSystemBlock(const uint8_t *p, size_t size, StarSystemBlock *out) {
    if (!p || !out || size < (size_t)kSystemBlockSize) return 0;
    double ra, dec;
    std::memcpy(&ra, p, sizeof ra);
    std::memcpy(&dec, p + 8, sizeof dec);
    out->rightAscension = ra;
    out->declination = dec;
    out->motionRightAscension = GetFloat(p + 16);
    out->motionDeclination = GetFloat(p + 20);
    out->magnitude = GetFloat(p + 24);
    return 1;
}

int DecodeStarOrbit(const uint8_t *p, size_t size, StarOrbitElements *out) {
    if (!p || !out || size < (size_t)kStarOrbitRecordSize) return 0;
    double *fields[] = {&out->period,       &out->inclination,        &out->semiMajorAxis,
                        &out->eccentricity, &out->periastronArgument, &out->node,
                        &out->periastronTime};
    for (int i = 0; i < 7; ++i) *fields[i] = GetFloat(p + 4 * i);
    out->equinoxYear = Get16(p + 28);
    out->orbitNumber = Get16(p + 30);
    return 1;
}

// ---- the region walk ----------------------------------------------------------------

namespace {

bool ReadExactly(StarRegionWalk *w, uint8_t *buffer, long n) {
    long at = std::ftell(w->file);
    if (at < 0 || n > w->fileSize - at) return false;
    return std::fread(buffer, 1, (size_t)n, w->file) == (size_t)n;
}

// Reads a variable block and the model's extra bytes; the range goes to the
// star.
bool ReadVariableBlock(StarRegionWalk *w, DecodedStar *star) {
    uint8_t block[kVariableBlockSize + 14];
    if (!ReadExactly(w, block, kVariableBlockSize)) return false;
    int extra = VariableBlockExtraSize((Get16(block + 4) >> 12) & 7);
    if (!ReadExactly(w, block + kVariableBlockSize, extra)) return false;
    VariableBlock v;
    if (!DecodeVariableBlock(block, (size_t)(kVariableBlockSize + extra), &v)) return false;
    star->variable = 1;
    star->variableBlock = v;
    star->secondSeries = v.secondSeries;
    star->brightest = v.brightest;
    star->faintest = v.faintest;
    return true;
}

bool ReadOrbit(StarRegionWalk *w, DecodedStar *star) {
    uint8_t record[kStarOrbitRecordSize];
    if (!ReadExactly(w, record, kStarOrbitRecordSize)) return false;
    star->hasOrbit = DecodeStarOrbit(record, sizeof record, &star->orbit);
    return true;
}

// The next component record of the pending ones, with its blocks.
int NextComponent(StarRegionWalk *w, DecodedStar *star) {
    uint8_t record[kComponentRecordSize];
    if (!ReadExactly(w, record, kComponentRecordSize)) return -1;
    w->pendingComponents--;
    std::memset(star, 0, sizeof *star);
    star->component = 1;
    DecodeComponentRecord(record, sizeof record, &star->componentRecord);
    star->code = -1;
    star->componentLetter = star->componentRecord.letter;
    star->v = star->brightest = star->faintest = star->componentRecord.v;
    if (star->componentRecord.hasVariable && !ReadVariableBlock(w, star)) return -1;
    if (star->componentRecord.hasOrbit && !ReadOrbit(w, star)) return -1;
    return 1;
}

}  // namespace

int BeginStarRegionWalk(StarRegionWalk *w, FILE *file, int entry, const StarRegionBounds &bounds) {
    if (!w || !file || entry < 0) return -1;
    std::memset(w, 0, sizeof *w);
    w->file = file;
    w->bounds = bounds;
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    w->fileSize = std::ftell(file);
    if (w->fileSize < 0 || std::fseek(file, (long)entry * kStarOffsetEntrySize, SEEK_SET) != 0)
        return -1;
    uint8_t e[kStarOffsetEntrySize];
    if (!ReadExactly(w, e, kStarOffsetEntrySize)) return -1;
    uint32_t offset = Get32(e), count = Get32(e + 4);
    if (count == 0) return 0;
    // each record takes at least a faint star's 8 bytes after the code byte
    if (offset >= (uint32_t)w->fileSize || count > (uint32_t)(w->fileSize - offset - 1) / 8)
        return -1;
    uint8_t code;
    if (std::fseek(file, (long)offset, SEEK_SET) != 0 || !ReadExactly(w, &code, 1)) return -1;
    w->count = (int32_t)count;
    w->code = code & 0x0F;
    return 1;
}

int NextStarInRegion(StarRegionWalk *w, DecodedStar *star) {
    if (!w || !w->file || !star) return -1;
    while (w->pendingComponents > 0) {
        if (w->withComponents) return NextComponent(w, star);
        DecodedStar skipped;
        if (NextComponent(w, &skipped) < 0) return -1;
    }
    if (w->read >= w->count) return 0;
    uint8_t record[kLargestStarRecord];
    int size = StarRecordSize(w->code, w->bounds.polar);
    if (!ReadExactly(w, record, size)) return -1;
    DecodeStarDbRecord(record, (size_t)size, w->code, w->bounds, star);
    int code = w->code;
    bool whole = code == kStarCodeColoured || code == kStarCodeGuide || code == kStarCodeFaint;
    if (!whole) {
        if ((code & kStarCodeVariableBit) && !ReadVariableBlock(w, star)) return -1;
        if (star->orbitalSystem) {
            uint8_t system[kSystemBlockSize];
            if (!ReadExactly(w, system, kSystemBlockSize) || !ReadOrbit(w, star)) return -1;
            DecodeSystemBlock(system, sizeof system, &star->system);
        }
        if (code & kStarCodeComponentsBit) {
            uint8_t count;
            if (!ReadExactly(w, &count, 1)) return -1;
            star->componentCount = count;
            w->pendingComponents = count;
        }
    }
    w->code = star->nextCode;
    w->read++;
    return 1;
}

// ---- searches over a box ----------------------------------------------------------------

namespace {

const double kSampleStep = 0.5 * kDegree;
const int kMaxSamplesPerSide = 800;

struct RegionFileCloser {
    void operator()(FILE *f) const {
        if (f) std::fclose(f);
    }
};

}  // namespace

std::vector<StarRegionCode> StarRegionsOfBox(int database, double ra, double dec, double halfRa,
                                             double halfDec) {
    std::vector<StarRegionCode> codes;
    halfRa = std::min(std::fabs(halfRa), kPi);
    halfDec = std::min(std::fabs(halfDec), kPi);
    int nRa = std::min(kMaxSamplesPerSide, (int)(2 * halfRa / kSampleStep) + 1);
    int nDec = std::min(kMaxSamplesPerSide, (int)(2 * halfDec / kSampleStep) + 1);
    for (int i = 0; i <= nDec; ++i) {
        double d = ClampDeclination(dec - halfDec + 2 * halfDec * i / nDec);
        for (int j = 0; j <= nRa; ++j) {
            double r = ra - halfRa + 2 * halfRa * j / nRa;
            int ok;
            StarRegionCode code = LocateStarRegionCode(database, r, d, &ok);
            if (ok && std::find(codes.begin(), codes.end(), code) == codes.end())
                codes.push_back(code);
        }
    }
    return codes;
}

int WalkStarDatabase(int database, const std::vector<StarRegionCode> &codes,
                     const std::function<int(const DecodedStar &)> &visit) {
    const char *directory = GetMapDirectory(database - 1);
    if (!directory || StarZoneCount(database) == 0) return -1;
    for (StarRegionCode code : codes) {
        StarRegionBounds bounds;
        int entry = GetStarRegionBounds(database, code, &bounds);
        int zone, region;
        SplitRegionCode(code, &zone, &region, nullptr, nullptr);
        char path[600];
        if (entry < 0 || !FormatStarFilePath(path, sizeof path, directory, database, zone, region))
            return -1;
        std::unique_ptr<FILE, RegionFileCloser> f(std::fopen(path, "rb"));
        if (!f) return -1;
        StarRegionWalk walk;
        int begun = BeginStarRegionWalk(&walk, f.get(), entry, bounds);
        if (begun < 0) return -1;
        DecodedStar s;
        int result = 0;
        while (begun == 1 && (result = NextStarInRegion(&walk, &s)) == 1) {
            int v = visit(s);
            if (v != 0) return v;
        }
        if (result < 0) return -1;
    }
    return 0;
}
