// Byte layout of the instrument record: a telescope (main optics and an
// optional magnifying finder), a pair of binoculars or the naked eye. The
// record is stored whole in instr.bin and in every log entry, so it is packed
// and fixed-width. It is 330,152 bytes: never a local variable (the Windows
// main thread has a 1 MB stack); allocate it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "instruments/camerarecords.h"

const int kMaxEyepieces = 70;
const int kMaxCameras = 12;
const int kMaxExtenders = 15;
const uint8_t kNoEyepiece = 255;   // current eyepiece / extender index: none

// Optics types.
const uint8_t kOpticsNakedEye = 0;
const uint8_t kOpticsRefractor = 1;
const uint8_t kOpticsReflector = 2;
const uint8_t kOpticsSchmidtCassegrain = 3;
const uint8_t kOpticsBinoculars = 10;

// Instrument kinds.
const uint8_t kInstrumentTelescope = 0;
const uint8_t kInstrumentBinoculars = 1;
const uint8_t kInstrumentNakedEye = 2;

#pragma pack(push, 1)

// One eyepiece as a telescope holds it.
struct EyepieceEntry {
    double focalLength;     // 0   mm
    double apparentField;   // 8   radians
    uint8_t reserved;       // 16  carried along
    int16_t poolId;         // 17  id in eyep.bin (compared as 16-bit unsigned)
    char name[32];          // 19  at most 31 characters
};

// The optics of a main instrument or a finder.
struct OpticsBlock {
    uint8_t type;                     // 0       0 naked eye, 1 refractor, 2 reflector, 3 SCT, 10 binoculars
    double aperture;                  // 1       mm (naked eye: the pupil)
    double focalLength;               // 9       mm, 0 when not given
    double focalRatio;                // 17      0 when not given
    uint8_t leftRight;                // 25      1 normal, 0 mirrored
    uint8_t upDown;                   // 26      1 normal, 0 flipped
    double condition;                 // 27      optical condition 0 (very clean) .. 1 (filthy)
    char name[65];                    // 35
    uint8_t eyepieceCount;            // 100     0..70
    EyepieceEntry eyepieces[70];      // 101
    int32_t cameraCount;              // 3671    0..12
    CameraEntry cameras[12];          // 3675
    double limitingMagnitude;         // 164595  typical visual limit
    double magnificationLimit;        // 164603  practical maximum magnification
    double dawesLimit;                // 164611  arcseconds
    uint8_t currentEyepiece;          // 164619  255 none
    double magnification;             // 164620  current (fixed for binoculars, naked eye)
    double trueField;                 // 164628  radians
    uint8_t reserved1;                // 164636
    double effectiveFocalLength;      // 164637  mm, for the imaging focal state
    double effectiveAperture;         // 164645  mm
    uint8_t labelFlag;                // 164653  eyepiece labels get " MD"
    float barlowFactor;               // 164654  2.0 by default
    uint8_t barlowInUse;              // 164658
    uint8_t projectionOffered;        // 164659  eyepiece projection offered for imaging
    uint8_t afocalOffered;            // 164660  afocal projection offered for imaging
    uint8_t focalState;               // 164661  0 prime, 1 eyepiece projection, 2 afocal, 3 piggyback
    EyepieceEntry projectionEyepiece; // 164662
    uint8_t reserved2[9];             // 164713
    double projectionDistance;        // 164722  eyepiece-to-sensor, mm
    EyepieceEntry afocalEyepiece;     // 164730
    uint8_t reserved3[9];             // 164781
    uint8_t extenderCount;            // 164790  0..15
    uint8_t extenderIndex;            // 164791  255 none
    float extenderFactors[15];        // 164792  above 1 extender, below 1 reducer
    uint8_t reserved4[128];           // 164852
};

struct InstrumentRecord {
    uint16_t id;               // 0       given by the store; 0 for the naked eye
    uint8_t opticsCount;       // 2       1, or 2 with a magnifying finder
    uint8_t displayUnit;       // 3       0 inches, 1 m, 2 cm, 3 mm
    uint8_t kind;              // 4       0 telescope, 1 binoculars, 2 naked eye
    uint8_t sightFlags;        // 5       bit 0 reflex sight; high nibble 1 cross hairs
    float rings[6];            // 6       bullseye ring diameters, radians (first three)
    uint8_t defaultEyepiece;   // 30
    OpticsBlock optics[2];     // 31      main optics, then the finder
    uint8_t mounting;          // 329991  0 alt/azimuth, 1 equatorial
    char name[32];             // 329992  at most 31 characters
    uint8_t reserved[128];     // 330024
};

#pragma pack(pop)

static_assert(sizeof(EyepieceEntry) == 51, "EyepieceEntry is 51 bytes");
static_assert(offsetof(EyepieceEntry, apparentField) == 8, "layout");
static_assert(offsetof(EyepieceEntry, reserved) == 16, "layout");
static_assert(offsetof(EyepieceEntry, poolId) == 17, "layout");
static_assert(offsetof(EyepieceEntry, name) == 19, "layout");

static_assert(sizeof(OpticsBlock) == 164980, "OpticsBlock is 164,980 bytes");
static_assert(offsetof(OpticsBlock, aperture) == 1, "layout");
static_assert(offsetof(OpticsBlock, focalLength) == 9, "layout");
static_assert(offsetof(OpticsBlock, focalRatio) == 17, "layout");
static_assert(offsetof(OpticsBlock, leftRight) == 25, "layout");
static_assert(offsetof(OpticsBlock, upDown) == 26, "layout");
static_assert(offsetof(OpticsBlock, condition) == 27, "layout");
static_assert(offsetof(OpticsBlock, name) == 35, "layout");
static_assert(offsetof(OpticsBlock, eyepieceCount) == 100, "layout");
static_assert(offsetof(OpticsBlock, eyepieces) == 101, "layout");
static_assert(offsetof(OpticsBlock, cameraCount) == 3671, "layout");
static_assert(offsetof(OpticsBlock, cameras) == 3675, "layout");
static_assert(offsetof(OpticsBlock, limitingMagnitude) == 164595, "layout");
static_assert(offsetof(OpticsBlock, magnificationLimit) == 164603, "layout");
static_assert(offsetof(OpticsBlock, dawesLimit) == 164611, "layout");
static_assert(offsetof(OpticsBlock, currentEyepiece) == 164619, "layout");
static_assert(offsetof(OpticsBlock, magnification) == 164620, "layout");
static_assert(offsetof(OpticsBlock, trueField) == 164628, "layout");
static_assert(offsetof(OpticsBlock, reserved1) == 164636, "layout");
static_assert(offsetof(OpticsBlock, effectiveFocalLength) == 164637, "layout");
static_assert(offsetof(OpticsBlock, effectiveAperture) == 164645, "layout");
static_assert(offsetof(OpticsBlock, labelFlag) == 164653, "layout");
static_assert(offsetof(OpticsBlock, barlowFactor) == 164654, "layout");
static_assert(offsetof(OpticsBlock, barlowInUse) == 164658, "layout");
static_assert(offsetof(OpticsBlock, projectionOffered) == 164659, "layout");
static_assert(offsetof(OpticsBlock, afocalOffered) == 164660, "layout");
static_assert(offsetof(OpticsBlock, focalState) == 164661, "layout");
static_assert(offsetof(OpticsBlock, projectionEyepiece) == 164662, "layout");
static_assert(offsetof(OpticsBlock, reserved2) == 164713, "layout");
static_assert(offsetof(OpticsBlock, projectionDistance) == 164722, "layout");
static_assert(offsetof(OpticsBlock, afocalEyepiece) == 164730, "layout");
static_assert(offsetof(OpticsBlock, reserved3) == 164781, "layout");
static_assert(offsetof(OpticsBlock, extenderCount) == 164790, "layout");
static_assert(offsetof(OpticsBlock, extenderIndex) == 164791, "layout");
static_assert(offsetof(OpticsBlock, extenderFactors) == 164792, "layout");
static_assert(offsetof(OpticsBlock, reserved4) == 164852, "layout");

static_assert(sizeof(InstrumentRecord) == 330152, "InstrumentRecord is 330,152 bytes");
static_assert(offsetof(InstrumentRecord, opticsCount) == 2, "layout");
static_assert(offsetof(InstrumentRecord, displayUnit) == 3, "layout");
static_assert(offsetof(InstrumentRecord, kind) == 4, "layout");
static_assert(offsetof(InstrumentRecord, sightFlags) == 5, "layout");
static_assert(offsetof(InstrumentRecord, rings) == 6, "layout");
static_assert(offsetof(InstrumentRecord, defaultEyepiece) == 30, "layout");
static_assert(offsetof(InstrumentRecord, optics) == 31, "layout");
static_assert(offsetof(InstrumentRecord, optics) + sizeof(OpticsBlock) == 165011, "layout");
static_assert(offsetof(InstrumentRecord, mounting) == 329991, "layout");
static_assert(offsetof(InstrumentRecord, name) == 329992, "layout");
static_assert(offsetof(InstrumentRecord, reserved) == 330024, "layout");

// Makes a record read from a file (the store, a log entry, a link file) safe to
// use: the optics count is brought to at most 2, each block's eyepiece count to
// at most 70, camera count into 0..12 and extender count to at most 15, every
// camera as SanitizeCameraEntry does, and every name field ends in a NUL at its
// last byte. Returns 1 when nothing had to change, 0 when something did.
int SanitizeInstrumentRecord(InstrumentRecord *record);
int SanitizeOpticsBlock(OpticsBlock *block);
