// Instrument initialisers and optics computations.
#include "instruments/optics.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/airmass.h"
#include "core/mathutil.h"
#include "core/textutil.h"
#include "sites/observerstore.h"
#include "photometry/skybright.h"

namespace {

const double kDegree = kPi / 180.0;
const double kFortyDegrees = 0.6981317007977318;
const double kThirtyArcseconds = 0.0001454441043328608;

double Square(double x) { return ComputeGuardedPower(x, 2.0); }

size_t BoundedLength(const char *text, size_t size) {
    const void *end = std::memchr(text, 0, size);
    return end ? (size_t)((const char *)end - text) : size;
}

}  // namespace

// ---- initialisers -------------------------------------------------------------------

int InitTelescopeOptics(OpticsBlock *block, const char *name, int type, double apertureInches,
                        double focalLengthInches, double focalRatio, int leftRight, int upDown,
                        double condition) {
    if (!block) return 0;
    block->aperture = apertureInches * 25.4;
    block->type = (uint8_t)type;
    block->condition = condition;
    if (focalLengthInches != 0.0) {
        block->focalLength = focalLengthInches * 25.4;
        // Without an aperture there is no ratio to give.
        block->focalRatio = apertureInches != 0.0 ? focalLengthInches / apertureInches : 0.0;
    } else if (focalRatio != 0.0) {
        block->focalLength = block->aperture * focalRatio;
        block->focalRatio = focalRatio;
    }
    block->leftRight = (uint8_t)leftRight;
    block->upDown = (uint8_t)upDown;
    block->barlowFactor = 2.0f;
    block->barlowInUse = 0;
    block->labelFlag = 0;
    block->projectionOffered = 0;
    block->afocalOffered = 0;
    block->focalState = 0;
    block->projectionEyepiece.focalLength = 0.0;
    block->afocalEyepiece.focalLength = 0.0;
    block->projectionDistance = 0.0;
    block->extenderCount = 0;
    block->extenderIndex = kNoEyepiece;
    if (name) CopyStringZeroFilled(block->name, name, (int)sizeof block->name);
    return 1;
}

int InitFixedMagnificationOptics(OpticsBlock *block, const char *name, double magnification,
                                 double apertureMm, double trueFieldDegrees) {
    if (!block) return 0;
    // Negative or NaN values are refused as well as 0: they would give a
    // negative field and a meaningless limiting magnitude.
    if (!(apertureMm > 0.0) || !(magnification > 0.0)) return 0;
    block->aperture = apertureMm;
    block->magnification = magnification;
    block->focalRatio = 1.0;
    block->type = kOpticsBinoculars;
    block->condition = 1.0;
    if (trueFieldDegrees != 0.0)
        block->trueField = trueFieldDegrees * kDegree;
    else
        SetDefaultBinocularField(block);
    if (name) CopyStringZeroFilled(block->name, name, (int)sizeof block->name);
    block->eyepieceCount = 0;
    block->cameraCount = 0;
    block->leftRight = 1;
    block->upDown = 1;
    return 1;
}

int SetEyepieceEntry(OpticsBlock *block, int poolId, int slot, const char *name,
                     double focalLengthMm, double apparentFieldDegrees) {
    if (!block || slot < 0 || slot >= kMaxEyepieces) return 0;
    EyepieceEntry &e = block->eyepieces[slot];
    e.focalLength = focalLengthMm;
    e.apparentField = (apparentFieldDegrees == 0.0 ? 40.0 : apparentFieldDegrees) * kDegree;
    if (name) CopyStringZeroFilled(e.name, name, (int)sizeof e.name);
    e.poolId = (int16_t)(uint16_t)poolId;
    return 1;
}

InstrumentRecord *InitNakedEyeInstrument(InstrumentRecord *record, double pupilMm) {
    if (!record) return record;
    // A pupil of 0 would give an aperture of 0 and a focal ratio of 1/0.
    if (!(pupilMm > 0.0)) pupilMm = 6.5;
    CopyStringZeroFilled(record->name, "Naked Eye", (int)sizeof record->name);
    record->opticsCount = 1;
    record->displayUnit = 0;
    record->kind = kInstrumentNakedEye;
    OpticsBlock &b = record->optics[0];
    InitTelescopeOptics(&b, "Naked Eye", kOpticsNakedEye, pupilMm * kInchesPerMm, 1.0, 0.0, 1, 1,
                        0.0);
    b.magnification = 1.0;
    b.trueField = kPi;
    b.eyepieceCount = 0;
    b.labelFlag = 0;
    b.cameraCount = 0;
    return record;
}

// ---- computations ---------------------------------------------------------------------

int ComputeOpticsLimits(OpticsBlock *block) {
    if (!block) return 0;
    double keptMagnification = block->magnification;
    if (block->aperture == 0.0) return 0;
    if (block->focalLength == 0.0 && block->focalRatio == 0.0) return 0;
    if (block->focalRatio != 0.0 && block->focalLength == 0.0)
        block->focalLength = block->aperture * block->focalRatio;
    if (block->focalLength != 0.0 && block->focalRatio == 0.0)
        block->focalRatio = block->focalLength / block->aperture;
    double inches = block->aperture * kInchesPerMm;
    block->magnificationLimit = 55.0 * inches;
    block->dawesLimit = 4.56 / inches;
    block->magnification = 25.0 * inches;
    block->limitingMagnitude = ComputeTelescopeLimitingMagnitude(
        block, nullptr, 0.1, ComputeSkyBrightnessFromLimit(7.0), 0.0, 0.0, 1.5);
    block->magnification = keptMagnification;
    return 1;
}

int SelectEyepiece(OpticsBlock *block, int index) {
    if (!block) return 0;
    if (block->type == kOpticsBinoculars || block->type == kOpticsNakedEye) return 0;
    block->magnification = 25.0 * block->aperture * kInchesPerMm;
    int count = block->eyepieceCount > kMaxEyepieces ? kMaxEyepieces : block->eyepieceCount;
    // Slots past the count may hold a stale eyepiece: never select one.
    if (index < 0 || index >= count || index == kNoEyepiece) return 0;
    EyepieceEntry &e = block->eyepieces[index];
    if (!(e.focalLength > 0.0)) return 0;
    if (block->focalLength == 0.0) {
        if (block->focalRatio == 0.0 || block->aperture == 0.0) return 0;
        block->focalLength = block->aperture * block->focalRatio;
    }
    double m = block->focalLength / e.focalLength;
    if (block->barlowInUse && block->barlowFactor > 0.0f) m *= block->barlowFactor;
    block->magnification = m;
    if (e.apparentField == 0.0) e.apparentField = kFortyDegrees;
    block->trueField = e.apparentField / m;
    block->currentEyepiece = (uint8_t)index;
    return 1;
}

int DeriveApparentField(OpticsBlock *block, int index) {
    if (!block) return 0;
    int count = block->eyepieceCount > kMaxEyepieces ? kMaxEyepieces : block->eyepieceCount;
    if (index < 0 || index >= count) return 0;
    if (block->trueField == 0.0) ComputeOpticsLimits(block);
    if (block->magnification == 0.0) SelectEyepiece(block, index);
    if (block->trueField == 0.0 || block->magnification == 0.0) return 0;
    block->eyepieces[index].apparentField = block->trueField * block->magnification;
    return 1;
}

int SetDefaultBinocularField(OpticsBlock *block) {
    if (!block) return 0;
    double m = block->magnification;
    if (!(m > 0.0)) return 0;
    double apparent = m < 7.6 ? 50.0 : m < 9.0 ? 56.0 : m < 11.0 ? 59.0 : m < 20.0 ? 51.0 : 68.0;
    block->trueField = apparent * kDegree / m;
    return 1;
}

double ComputeTelescopeLimitingMagnitude(const OpticsBlock *block, const ObserverRecord *observer,
                                         double extinction, double skyBrightness,
                                         double colourIndex, double zenithDistance,
                                         double seeing) {
    if (!block) return kNoMagnitude;
    double pupil = 6.0, experience = 0.85;
    if (observer) {
        pupil = observer->pupilDiameter;
        if (!(pupil > 0.0)) pupil = ComputePupilForAge(observer->age);
        experience = observer->experience;
    }
    const double halfPi = kPi / 2.0;
    double z = zenithDistance < 0.0 ? 0.0 : zenithDistance;
    if (std::fabs(z - halfPi) <= kThirtyArcseconds) z -= kThirtyArcseconds;

    double D = block->aperture;
    double obstruction, transmission;
    switch (block->type) {
    case kOpticsNakedEye: obstruction = 0.0; transmission = 1.0; break;
    case kOpticsRefractor: obstruction = 0.0; transmission = ComputeGuardedPower(0.99, 4.0); break;
    case kOpticsReflector: obstruction = 0.15 * D; transmission = ComputeGuardedPower(0.7, 2.0); break;
    case kOpticsSchmidtCassegrain:
        obstruction = 0.35 * D;
        transmission = ComputeGuardedPower(0.693, 2.0);
        break;
    case kOpticsBinoculars: obstruction = 0.0; transmission = ComputeGuardedPower(0.99, 6.0); break;
    default: return ComputeNakedEyeLimit(skyBrightness) - ComputeExtinction(extinction, halfPi - z);
    }
    double M = block->magnification;
    // Every factor below divides by the aperture or the magnification.
    if (!(D > 0.0) || !(M > 0.0)) return kNoMagnitude;

    double X = 1.0 / std::cos(z);
    if (X > 40.0 || X < 0.0) X = 40.0;
    // A condition read from a file is kept to 0..1: beyond about 5.7 the
    // transmission term of a reflector turns negative.
    double condition = block->condition;
    if (!(condition >= 0.0)) condition = 0.0;
    if (condition > 1.0) condition = 1.0;

    double Fb = std::sqrt(2.0);
    double Fe = ComputeGuardedPower(10.0, 0.4 * extinction * X);
    double Ft = 1.0 / (transmission * (1.0 - Square(obstruction / D)) *
                           ComputeGuardedPower(0.99, 4.0) -
                       0.08 * condition);
    double exitPupil = D / M;
    double Fp = pupil < exitPupil ? Square(D / (M * pupil)) : 1.0;
    double Fa = Square(6.5 / D);
    double Fm = Square(M);
    double Fr = 2.0 * seeing * M > 900.0 ? std::sqrt(2.0 * seeing * M / 900.0) : 1.0;
    double Fc = ComputeGuardedPower(10.0, 0.4 * (0.5 * colourIndex - 1.0));

    double B = ConvertSkyBrightnessToNanolamberts(skyBrightness) / (Fb * Ft * Fp * Fa * Fm * Fc);
    double I = 1.58e-10 * Square(1.0 + std::sqrt(0.0126 * B));
    double Istar = I * Fb * Fe * Ft * Fp * Fa * Fr * Fc;
    double m = -16.57 - 2.5 * std::log10(Istar);

    if (block->type == kOpticsNakedEye) return m + 0.45;
    m += 1.28 * experience - 0.8;
    if (block->type == kOpticsBinoculars)
        m -= 0.75;
    else if (block->eyepieceCount == 0)
        m -= 0.5;
    return m;
}

double ComputeExitPupil(const OpticsBlock *block) {
    if (!block || !(block->magnification > 0.0)) return 0.0;
    return block->aperture / block->magnification;
}

char *FormatEyepieceLabel(char *buffer, const OpticsBlock *block, int index, int withExtras) {
    if (!buffer) return nullptr;
    buffer[0] = '\0';
    if (!block) return nullptr;
    int count = block->eyepieceCount > kMaxEyepieces ? kMaxEyepieces : block->eyepieceCount;
    if (index < 0 || index >= count) return nullptr;
    const EyepieceEntry &e = block->eyepieces[index];
    char name[sizeof e.name + 1];
    size_t n = BoundedLength(e.name, sizeof e.name);
    std::memcpy(name, e.name, n);
    name[n] = '\0';
    const char *label = name;
    const char *blank = std::strchr(name, ' ');
    if (blank && n > 16) label = blank + 1;
    int used = std::snprintf(buffer, (size_t)kEyepieceLabelSize, "%s", label);
    if (withExtras) {
        if (block->barlowInUse && block->barlowFactor > 1.0f && used >= 0 &&
            used < kEyepieceLabelSize) {
            int more = std::snprintf(buffer + used, (size_t)(kEyepieceLabelSize - used),
                                     " %-2.1lfx", (double)block->barlowFactor);
            if (more > 0) used += more;
        }
        if (block->labelFlag && used >= 0 && used < kEyepieceLabelSize)
            std::snprintf(buffer + used, (size_t)(kEyepieceLabelSize - used), " MD");
    }
    return buffer;
}

double ComputeSquaredRatio(double a, double b) {
    if (a == 0.0) return 0.0;
    return (b * b) / (a * a);
}

double ComputeRootProduct(double a, double b) {
    return b > 0.0 ? std::sqrt(a * a * b) : 0.0;
}
