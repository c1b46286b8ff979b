// Byte layouts of the camera, filter, lens and eyepiece records: the copies a
// telescope carries inside its optics (CameraEntry with its FilterRecord and
// LensRecord slots) and the records of the four pools (EyepieceRecord,
// CameraRecord, FilterRecord, LensRecord). All are stored byte for byte:
// packed, little-endian, doubles IEEE 64-bit, floats IEEE 32-bit; names are
// NUL-terminated inside their fixed fields.
#pragma once
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

// One filter (or a standard photometric band) as used with one camera.
struct FilterRecord {
    char name[33];               // 0   at most 32 characters
    double wavelength;           // 33  central wavelength, micrometres; 0 neutral density
    double surfaceTransmission;  // 41  one air-glass surface, 0..1 (ND filter: its transmission)
    double peakTransmission;     // 49  filter peak, 0..1
    double bandwidth;            // 57  FWHM, micrometres
    double mirrorReflectance;    // 65  one mirror (or a refracting objective), 0..1
    double quantumEfficiency;    // 73  percent, the camera's at the central wavelength
    double zeroPoint;            // 81  magnitudes
    int32_t poolId;              // 89  id in filters.bin (compared as 16-bit)
    uint8_t reserved[128];       // 93
};

// A camera lens or focal reducer.
struct LensRecord {
    char name[32];          // 0   at most 31 characters
    double focalLength;     // 32  mm
    double focalRatio;      // 40
    int32_t poolId;         // 48  id in lenses.bin; 0 for a built-in lens
    uint8_t reserved[32];   // 52
};

const int kCameraFilterSlots = 55;   // 50 assigned filters, then U, B, V, R, I
const int kCameraAssignedFilters = 50;
const int kCameraBandSlot = 50;      // first of the five band slots
const int kCameraLensSlots = 10;
const int kQuantumEfficiencyPoints = 13;  // 350, 400 ... 950 nm

// One camera as a telescope holds it (12 slots in an optics block).
struct CameraEntry {
    uint8_t kind;                 // 0     0 CCD camera, 1 digital camera, 2 video/web-cam
    double readNoise;             // 1     electrons
    double gain;                  // 9     electrons per count, unbinned
    double binnedGain;            // 17    electrons per count, binned
    double darkSignal;            // 25    electrons per second per pixel
    double sensorWidth;           // 33    mm = pixelsAcross x pixelWidth x 0.001
    double sensorHeight;          // 41    mm
    int32_t pixelsAcross;         // 49
    int32_t pixelsDown;           // 53
    double pixelWidth;            // 57    micrometres
    double pixelHeight;           // 65    micrometres
    double pixelDiagonal;         // 73    micrometres
    char curveName[33];           // 81    quantum-efficiency curve in ccd_Q.dat; "" entered by hand
    double quantumEfficiency[13]; // 114   percent at 350, 400 ... 950 nm
    int32_t poolId;               // 218   id of the camera.bin record (compared as 16-bit)
    double fieldWidth;            // 222   radians
    double fieldHeight;           // 230   radians
    FilterRecord filters[55];     // 238   0..49 assigned, 50..54 the bands U, B, V, R, I
    int32_t filterCount;          // 12393 0..50
    LensRecord lenses[10];        // 12397
    int32_t lensCount;            // 13237 0..10
    char name[33];                // 13241 at most 32 characters
    int32_t reserved1;            // 13274
    int32_t reserved2;            // 13278
    uint8_t bitDepth;             // 13282 0 8 bits, 1 16 bits, 2 32 bits
    uint8_t reserved3;            // 13283
    uint8_t guider;               // 13284 built-in guider chip present
    float guiderPixelWidth;       // 13285 micrometres
    float guiderPixelHeight;      // 13289 micrometres
    float guiderWidth;            // 13293 mm = guider pixels across x pixel width x 0.001
    float guiderHeight;           // 13297 mm
    int32_t guiderPixelsAcross;   // 13301
    int32_t guiderPixelsDown;     // 13305
    float guiderOffsetX;          // 13309 mm from the main sensor's centre
    float guiderOffsetY;          // 13313 mm
    float guiderFieldWidth;       // 13317 radians
    float guiderFieldHeight;      // 13321 radians
    uint8_t reserved4[85];        // 13325 carried along unchanged
};

// One eyepiece of eyep.bin.
struct EyepieceRecord {
    char name[33];         // 0   at most 32 characters
    float focalLength;     // 33  mm
    float apparentField;   // 37  degrees
    uint16_t poolId;       // 41
};

// One camera model of camera.bin (what the user enters; no filters or lenses).
struct CameraRecord {
    uint8_t kind;                 // 0
    char name[33];                // 1
    double readNoise;             // 34
    double gain;                  // 42
    double binnedGain;            // 50  0 means the unbinned gain
    double darkSignal;            // 58
    double sensorWidth;           // 66  mm
    double sensorHeight;          // 74  mm
    int32_t pixelsAcross;         // 82
    int32_t pixelsDown;           // 86
    double pixelWidth;            // 90  micrometres
    double pixelHeight;           // 98  micrometres
    double lensFocalLength;       // 106 built-in lens, mm (kind 2 only)
    char curveName[33];           // 114
    double quantumEfficiency[13]; // 147 meaningful only with an empty curve name
    uint16_t poolId;              // 251
    uint8_t bitDepth;             // 253
    uint8_t guider;               // 254
    float guiderPixelWidth;       // 255
    float guiderPixelHeight;      // 259
    int32_t guiderPixelsAcross;   // 263
    int32_t guiderPixelsDown;     // 267
    float guiderOffsetX;          // 271
    float guiderOffsetY;          // 275
    uint8_t reserved[102];        // 279
};

#pragma pack(pop)

static_assert(sizeof(FilterRecord) == 221, "FilterRecord is 221 bytes");
static_assert(offsetof(FilterRecord, wavelength) == 33, "layout");
static_assert(offsetof(FilterRecord, surfaceTransmission) == 41, "layout");
static_assert(offsetof(FilterRecord, peakTransmission) == 49, "layout");
static_assert(offsetof(FilterRecord, bandwidth) == 57, "layout");
static_assert(offsetof(FilterRecord, mirrorReflectance) == 65, "layout");
static_assert(offsetof(FilterRecord, quantumEfficiency) == 73, "layout");
static_assert(offsetof(FilterRecord, zeroPoint) == 81, "layout");
static_assert(offsetof(FilterRecord, poolId) == 89, "layout");
static_assert(offsetof(FilterRecord, reserved) == 93, "layout");

static_assert(sizeof(LensRecord) == 84, "LensRecord is 84 bytes");
static_assert(offsetof(LensRecord, focalLength) == 32, "layout");
static_assert(offsetof(LensRecord, focalRatio) == 40, "layout");
static_assert(offsetof(LensRecord, poolId) == 48, "layout");
static_assert(offsetof(LensRecord, reserved) == 52, "layout");

static_assert(sizeof(CameraEntry) == 13410, "CameraEntry is 13,410 bytes");
static_assert(offsetof(CameraEntry, readNoise) == 1, "layout");
static_assert(offsetof(CameraEntry, gain) == 9, "layout");
static_assert(offsetof(CameraEntry, binnedGain) == 17, "layout");
static_assert(offsetof(CameraEntry, darkSignal) == 25, "layout");
static_assert(offsetof(CameraEntry, sensorWidth) == 33, "layout");
static_assert(offsetof(CameraEntry, sensorHeight) == 41, "layout");
static_assert(offsetof(CameraEntry, pixelsAcross) == 49, "layout");
static_assert(offsetof(CameraEntry, pixelsDown) == 53, "layout");
static_assert(offsetof(CameraEntry, pixelWidth) == 57, "layout");
static_assert(offsetof(CameraEntry, pixelHeight) == 65, "layout");
static_assert(offsetof(CameraEntry, pixelDiagonal) == 73, "layout");
static_assert(offsetof(CameraEntry, curveName) == 81, "layout");
static_assert(offsetof(CameraEntry, quantumEfficiency) == 114, "layout");
static_assert(offsetof(CameraEntry, poolId) == 218, "layout");
static_assert(offsetof(CameraEntry, fieldWidth) == 222, "layout");
static_assert(offsetof(CameraEntry, fieldHeight) == 230, "layout");
static_assert(offsetof(CameraEntry, filters) == 238, "layout");
static_assert(offsetof(CameraEntry, filterCount) == 12393, "layout");
static_assert(offsetof(CameraEntry, lenses) == 12397, "layout");
static_assert(offsetof(CameraEntry, lensCount) == 13237, "layout");
static_assert(offsetof(CameraEntry, name) == 13241, "layout");
static_assert(offsetof(CameraEntry, reserved1) == 13274, "layout");
static_assert(offsetof(CameraEntry, reserved2) == 13278, "layout");
static_assert(offsetof(CameraEntry, bitDepth) == 13282, "layout");
static_assert(offsetof(CameraEntry, reserved3) == 13283, "layout");
static_assert(offsetof(CameraEntry, guider) == 13284, "layout");
static_assert(offsetof(CameraEntry, guiderPixelWidth) == 13285, "layout");
static_assert(offsetof(CameraEntry, guiderPixelHeight) == 13289, "layout");
static_assert(offsetof(CameraEntry, guiderWidth) == 13293, "layout");
static_assert(offsetof(CameraEntry, guiderHeight) == 13297, "layout");
static_assert(offsetof(CameraEntry, guiderPixelsAcross) == 13301, "layout");
static_assert(offsetof(CameraEntry, guiderPixelsDown) == 13305, "layout");
static_assert(offsetof(CameraEntry, guiderOffsetX) == 13309, "layout");
static_assert(offsetof(CameraEntry, guiderOffsetY) == 13313, "layout");
static_assert(offsetof(CameraEntry, guiderFieldWidth) == 13317, "layout");
static_assert(offsetof(CameraEntry, guiderFieldHeight) == 13321, "layout");
static_assert(offsetof(CameraEntry, reserved4) == 13325, "layout");

static_assert(sizeof(EyepieceRecord) == 43, "EyepieceRecord is 43 bytes");
static_assert(offsetof(EyepieceRecord, focalLength) == 33, "layout");
static_assert(offsetof(EyepieceRecord, apparentField) == 37, "layout");
static_assert(offsetof(EyepieceRecord, poolId) == 41, "layout");

static_assert(sizeof(CameraRecord) == 381, "CameraRecord is 381 bytes");
static_assert(offsetof(CameraRecord, name) == 1, "layout");
static_assert(offsetof(CameraRecord, readNoise) == 34, "layout");
static_assert(offsetof(CameraRecord, gain) == 42, "layout");
static_assert(offsetof(CameraRecord, binnedGain) == 50, "layout");
static_assert(offsetof(CameraRecord, darkSignal) == 58, "layout");
static_assert(offsetof(CameraRecord, sensorWidth) == 66, "layout");
static_assert(offsetof(CameraRecord, sensorHeight) == 74, "layout");
static_assert(offsetof(CameraRecord, pixelsAcross) == 82, "layout");
static_assert(offsetof(CameraRecord, pixelsDown) == 86, "layout");
static_assert(offsetof(CameraRecord, pixelWidth) == 90, "layout");
static_assert(offsetof(CameraRecord, pixelHeight) == 98, "layout");
static_assert(offsetof(CameraRecord, lensFocalLength) == 106, "layout");
static_assert(offsetof(CameraRecord, curveName) == 114, "layout");
static_assert(offsetof(CameraRecord, quantumEfficiency) == 147, "layout");
static_assert(offsetof(CameraRecord, poolId) == 251, "layout");
static_assert(offsetof(CameraRecord, bitDepth) == 253, "layout");
static_assert(offsetof(CameraRecord, guider) == 254, "layout");
static_assert(offsetof(CameraRecord, guiderPixelWidth) == 255, "layout");
static_assert(offsetof(CameraRecord, guiderPixelHeight) == 259, "layout");
static_assert(offsetof(CameraRecord, guiderPixelsAcross) == 263, "layout");
static_assert(offsetof(CameraRecord, guiderPixelsDown) == 267, "layout");
static_assert(offsetof(CameraRecord, guiderOffsetX) == 271, "layout");
static_assert(offsetof(CameraRecord, guiderOffsetY) == 275, "layout");
static_assert(offsetof(CameraRecord, reserved) == 279, "layout");

// Texts of the camera kinds and bit depths (rows of 16 and 8 bytes as the
// dialogs keep them) and the bit counts of the depths.
extern const char kCameraKindNames[3][16];
extern const char kBitDepthNames[3][8];
extern const int32_t kBitDepthBits[3];
// The kind's text, or "" for a kind outside 0..2.
const char *GetCameraKindName(int kind);
// The depth's text, or "" for an index outside 0..2.
const char *GetBitDepthName(int index);

// Makes a camera copy read from a file safe to use: the filter and lens counts
// are brought into 0..50 and 0..10 and every name field ends in a NUL at its
// last byte. Returns 1 when nothing had to change, 0 when something did.
int SanitizeCameraEntry(CameraEntry *entry);
