// Field rules of the telescope and binocular dialogs.
#include "instruments/scoperules.h"

#include <cstring>

#include "core/textutil.h"
#include "instruments/eyepiecepool.h"
#include "instruments/optics.h"
#include "instruments/bands.h"
#include "core/mathutil.h"

namespace {

// Counts read from a record, brought into 0..most (passed by value: the
// record is packed).
int ClampCount(int value, int most) { return value < 0 ? 0 : value > most ? most : value; }
}

double LengthInUnit(double mm, int unit) {
    switch (unit) {
    case 0: return mm * 0.03937;
    case 1: return mm * 0.001;
    case 2: return mm * 0.1;
    default: return mm;
    }
}

double ConvertLengthToMm(double value, int unit) {
    switch (unit) {
    case 0: return value * 25.4;
    case 1: return value * 1000.0;
    case 2: return value * 10.0;
    default: return value;
    }
}

const char *LengthUnitName(int unit) {
    static const char *const kNames[] = {"inches", "meters", "cm", "mm"};
    return unit >= 0 && unit <= 3 ? kNames[unit] : "mm";
}

int NextLengthUnit(int unit) { return unit >= 0 && unit < 3 ? unit + 1 : 0; }

int ConditionIndex(double condition) {
    if (condition < 0.25) return 0;
    if (condition < 0.5) return 1;
    if (condition < 0.75) return 2;
    if (condition < 1.0) return 3;
    return 4;
}

double ConditionForIndex(int line) {
    if (line < 0) line = 0;
    if (line > 4) line = 4;
    return line * 0.25;
}

int ApplyInstrumentName(InstrumentRecord *record, const char *text) {
    if (!record || !text) return 0;
    char typed[64];
    CopyStringBounded(typed, text, (int)sizeof typed);
    char reserved = 0;
    if (!FindReservedNameCharacter(typed, &reserved)) return 0;
    CopyStringZeroFilled(record->name, typed, (int)sizeof record->name);
    return 1;
}

int SetTelescopeAperture(InstrumentRecord *record, double valueInUnit) {
    if (!record || !(valueInUnit > 0.0)) return 0;
    OpticsBlock &m = record->optics[0];
    m.aperture = ConvertLengthToMm(valueInUnit, record->displayUnit);
    m.focalLength = m.aperture * m.focalRatio;
    return 1;
}

int SetTelescopeFocalLength(InstrumentRecord *record, double valueInUnit) {
    if (!record || !(valueInUnit > 0.0)) return 0;
    OpticsBlock &m = record->optics[0];
    m.focalLength = ConvertLengthToMm(valueInUnit, record->displayUnit);
    // A record read from a file may hold no aperture: no ratio then.
    if (m.aperture > 0.0) m.focalRatio = m.focalLength / m.aperture;
    return 1;
}

int SetTelescopeFocalRatio(InstrumentRecord *record, double ratio) {
    if (!record || !(ratio > 0.0)) return 0;
    OpticsBlock &m = record->optics[0];
    m.focalRatio = ratio;
    m.focalLength = ratio * m.aperture;
    return 1;
}

uint8_t ToggleImageFlag(uint8_t flag) { return flag == 0 ? 1 : 0; }

void ToggleMagnifyingFinder(InstrumentRecord *record) {
    if (!record) return;
    record->opticsCount = record->opticsCount < 2 ? 2 : 1;
}

int RebuildTelescopeEyepieces(OpticsBlock *main, const uint16_t *ids, int count, int *currentEntry) {
    if (!main) return 0;
    main->eyepieceCount = 0;
    for (int i = 0; ids && i < count && main->eyepieceCount < kMaxEyepieces; ++i) {
        char name[33] = {0};
        double focalLength = 0.0, field = 0.0;
        if (!GetEyepieceRecordById(ids[i], name, &focalLength, &field)) continue;
        name[sizeof name - 1] = 0;
        TrimTrailingBlanks(name);
        name[31] = 0;
        int slot = main->eyepieceCount;
        main->eyepieceCount = (uint8_t)(slot + 1);
        SetEyepieceEntry(main, ids[i], slot, name, focalLength, field);
        if (currentEntry) *currentEntry = slot;
    }
    return main->eyepieceCount;
}

void CompleteCameraFilters(OpticsBlock *main) {
    if (!main) return;
    int cameras = ClampCount(main->cameraCount, kMaxCameras);
    for (int c = 0; c < cameras; ++c) {
        CameraEntry &cam = main->cameras[c];
        // The curve lies unaligned inside the packed record: pass a copy.
        double curve[kQuantumEfficiencyPoints];
        std::memcpy(curve, cam.quantumEfficiency, sizeof curve);
        int filters = ClampCount(cam.filterCount, kCameraAssignedFilters);
        for (int f = 0; f < filters; ++f) CompleteFilterBand(&cam.filters[f], curve);
        for (int b = 0; b < 5; ++b) {
            const FilterRecord *band = GetBandName(b);
            if (!band) continue;
            cam.filters[kCameraBandSlot + b] = *band;
            CompleteFilterBand(&cam.filters[kCameraBandSlot + b], curve);
        }
    }
}

void InitNewBinoculars(InstrumentRecord *record) {
    if (!record) return;
    std::memset(record, 0, sizeof *record);
    CopyStringZeroFilled(record->name, "New Binocs", (int)sizeof record->name);
    record->opticsCount = 1;
    record->kind = kInstrumentBinoculars;
    InitFixedMagnificationOptics(&record->optics[0], "Binoculars", 7.0, 50.0, 0.0);
    record->optics[0].currentEyepiece = kNoEyepiece;
}

namespace {
int ResetBinocularOptics(InstrumentRecord *record, double magnification, double aperture, double fieldDegrees) {
    OpticsBlock &m = record->optics[0];
    if (!InitFixedMagnificationOptics(&m, nullptr, magnification, aperture, fieldDegrees)) return 0;
    m.condition = 1.0;
    m.focalRatio = 1.0;
    m.leftRight = 1;
    m.upDown = 1;
    m.eyepieceCount = 0;
    m.cameraCount = 0;
    return 1;
}
}  // namespace

int SetBinocularMagnification(InstrumentRecord *record, double magnification) {
    if (!record || !(magnification > 0.0)) return 0;
    return ResetBinocularOptics(record, magnification, record->optics[0].aperture, 0.0);
}

int SetBinocularAperture(InstrumentRecord *record, double apertureMm) {
    if (!record || !(apertureMm > 0.0)) return 0;
    return ResetBinocularOptics(record, record->optics[0].magnification, apertureMm, 0.0);
}

int SetBinocularField(InstrumentRecord *record, double fieldDegrees) {
    if (!record || !(fieldDegrees > 0.0)) return 0;
    return ResetBinocularOptics(record, record->optics[0].magnification, record->optics[0].aperture, fieldDegrees);
}
