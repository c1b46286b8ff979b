// Defaults of the object record, the bare-position constructor, guide-star
// keys and the observing-list status byte.
#include "objects/objectrecord.h"

#include <cmath>
#include <cstring>

#include "core/mathutil.h"

namespace {

const double kTwoPi = 2.0 * kPi;

ObjectRecord MakeDefaults() {
    ObjectRecord d;
    std::memset(&d, 0, sizeof d);
    d.raCatalogue = -1.0;
    d.decCatalogue = -1.0;
    d.raJ2000AtDate = -1.0;
    d.decJ2000AtDate = -1.0;
    d.eclipticLongitude = -1.0;
    d.eclipticLatitude = -1.0;
    d.galacticLongitude = -1.0;
    d.galacticLatitude = -1.0;
    d.altitude = -1.0;
    d.azimuth = -1.0;
    d.itemFlags = 2;
    d.magnitude = kRecordNoMagnitude;
    d.magnitude2 = kRecordNoMagnitude;
    d.index = kNoObjectIndex;
    d.riseTime = -1.0f;
    d.transitTime = -1.0f;
    d.setTime = -1.0f;
    d.horizonRiseTime = -1.0f;
    d.horizonSetTime = -1.0f;
    d.reserved187 = -1.0f;
    d.reserved191 = -1.0f;
    d.visibleFrom = -1.0f;
    d.bestTime = -1.0f;
    d.visibleUntil = -1.0f;
    d.constellation = 255;
    d.reserved216 = -1;
    d.visibilityMargin = -10.0f;
    d.eyepiece = 255;
    d.diurnalFactor = -1.0f;
    d.memberMagnitude = kRecordNoMagnitude;
    d.pairComponentA = ' ';
    d.pairComponentB = ' ';
    d.companionMagnitude = kRecordNoMagnitude;
    d.predictedMagnitude = kRecordNoMagnitude;
    d.variablePhase = 255;
    d.visibilityMargin2 = -10.0f;
    d.condensation = 4;
    d.colourIndex = kRecordNoMagnitude;
    d.visibilityClass = 255;
    d.starComponent = ' ';
    d.requestedComponent = ' ';
    return d;
}

// Writes the defaults into every byte of the record except the kept ranges
// 137-140, 232-233, 285, 322, 331-339 and 341-394.
void FillDefaults(ObjectRecord *r) {
    // Save the kept bytes, write the defaults over a zeroed image, restore.
    unsigned char *bytes = reinterpret_cast<unsigned char *>(r);
    unsigned char kept[sizeof(ObjectRecord)];
    std::memcpy(kept, bytes, sizeof kept);

    // The default image is made once: recognition clears records for every
    // candidate it tries.
    static const ObjectRecord kDefaults = MakeDefaults();
    std::memcpy(bytes, &kDefaults, sizeof kDefaults);

    struct Range {
        size_t first, last;
    };
    static const Range kKept[] = {{137, 140}, {232, 233}, {285, 285},
                                  {322, 322}, {331, 339}, {341, 394}};
    for (const Range &k : kKept)
        std::memcpy(bytes + k.first, kept + k.first, k.last - k.first + 1);
}

}  // namespace

void InitObjectRecord(ObjectRecord *record) {
    if (!record) return;
    FillDefaults(record);
}

void ClearObjectRecord(ObjectRecord *record) {
    if (!record) return;
    std::memset(record, 0, sizeof *record);
    FillDefaults(record);
}

int32_t AngleToTurns(double angle) {
    double scaled = angle / kTwoPi * 2147483647.0;
    double rounded = scaled < 0 ? -std::floor(-scaled + 0.5) : std::floor(scaled + 0.5);
    if (!(rounded <= 2147483647.0)) rounded = 2147483647.0;  // also NaN
    if (rounded < -2147483647.0) rounded = -2147483647.0;
    return static_cast<int32_t>(rounded);
}

int MakePositionObject(ObjectRecord *record, double rightAscension, double declination) {
    if (!record) return 0;
    InitObjectRecord(record);
    record->raTurns = AngleToTurns(rightAscension);
    record->decTurns = AngleToTurns(declination);
    record->raJ2000AtDate = rightAscension;
    record->raOfDate = rightAscension;
    record->decJ2000AtDate = declination;
    record->decOfDate = declination;
    record->magnitude = kRecordNoMagnitude;
    record->extent = 0.0f;
    record->distanceLightYears = 0.0f;
    record->objectClass = kClassSkyMark;
    record->categoryBits = 0x4000;
    record->index = 0;
    return 1;
}

int32_t MakeGuideStarKey(int region, int number) {
    uint32_t key = kGuideStarKeyFlag | (static_cast<uint32_t>(number & 0x3fff) << 14) |
                   static_cast<uint32_t>(region & 0x3fff);
    return static_cast<int32_t>(key);
}

int IsGuideStarKey(int32_t index) {
    return index < 0 && index != kNoObjectIndex && index != kAnonymousStarIndex;
}

int GuideStarKeyRegion(int32_t index) { return static_cast<int>(static_cast<uint32_t>(index) & 0x3fff); }

int GuideStarKeyNumber(int32_t index) {
    return static_cast<int>((static_cast<uint32_t>(index) >> 14) & 0x3fff);
}

int GetListItemStatusA(const ObjectRecord *record) { return record ? record->listStatus & 3 : 0; }

void SetListItemStatusA(ObjectRecord *record, int value) {
    if (!record || value < 0 || value > 3) return;
    record->listStatus = static_cast<uint8_t>((record->listStatus & ~0x03) | value);
}

int GetListItemStatusB(const ObjectRecord *record) {
    return record ? (record->listStatus >> 2) & 3 : 0;
}

void SetListItemStatusB(ObjectRecord *record, int value) {
    if (!record || value < 0 || value > 3) return;
    record->listStatus = static_cast<uint8_t>((record->listStatus & ~0x0c) | (value << 2));
}

int GetListItemValueC(const ObjectRecord *record) {
    if (!record) return 0;
    if (record->objectClass == kClassReferencePoint) return 99;
    return (record->listStatus >> 4) & 0x0f;
}

void SetListItemValueC(ObjectRecord *record, int value) {
    if (!record || value < 0 || value > 5 || record->objectClass == kClassReferencePoint) return;
    record->listStatus = static_cast<uint8_t>((record->listStatus & 0x0f) | (value << 4));
}
