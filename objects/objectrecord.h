// The identity of a sky object (class code and catalogue index) and the
// 395-byte ObjectRecord that describes it for a site and time: the item of an
// observing list, an entry of the picker's recent objects and the result of
// every object search. The record is stored byte for byte (little-endian,
// packed, no gaps), so its layout is a file format.
#pragma once
#include <cstddef>
#include <cstdint>

// Object classes (the class byte of a record).
const int kClassNone = 0;
const int kClassConstellation = 1;
const int kClassSolarSystem = 2;     // Sun, Moon, planets, Earth's shadow, planetary satellites
const int kClassComet = 3;
const int kClassMinorPlanet = 4;
const int kClassStar = 5;
const int kClassGalaxy = 6;
const int kClassQuasar = 7;
const int kClassPlanetaryNebula = 8;
const int kClassBrightNebula = 9;
const int kClassOpenCluster = 10;
const int kClassGlobularCluster = 11;
const int kClassUserStar = 12;
const int kClassUserComet = 13;
const int kClassUserMinorPlanet = 14;
const int kClassSkyMark = 15;        // index 0: a bare position
const int kClassGalaxyGroup = 16;
const int kClassDarkNebula = 17;
const int kClassUserDeepSky = 18;
const int kClassEarthSatellite = 19;
const int kClassImagePlot = 20;
const int kClassReferencePoint = 22;

// Designation kinds (the record's kind byte), numbered from 1 within a
// class; star kinds are in objects/starrecord.h. Kind 1 of the named classes
// (constellation, user star, sky mark, user deep-sky object, reference
// point) is the name.
const int kKindByName = 1;
// Shared by every deep-sky class (galaxy, quasar and group too for kind 1).
const int kKindCommonName = 1;
const int kKindMessier = 2;
const int kKindNgc = 3;
const int kKindIc = 4;
// Galaxies (class 6).
const int kGalaxyKindArp = 5;
const int kGalaxyKindMarkarian = 6;
const int kGalaxyKindMcg = 7;
const int kGalaxyKindUgc = 8;
const int kGalaxyKindEso = 9;
const int kGalaxyKindPgc = 10;
// Quasars (class 7).
const int kQuasarKindDiscoverer = 2;
const int kQuasarKindHewittBurbidge = 3;
// Planetary nebulae (class 8).
const int kPnKindAbell = 5;
const int kPnKindMinkowski = 6;
const int kPnKindHenize = 7;
const int kPnKindHaro = 8;
const int kPnKindKohoutek = 9;
const int kPnKindPnG = 10;
const int kPnKindPk = 11;
const int kPnKindAro = 12;
const int kPnKindEso = 13;
const int kPnKindDiscovery = 14;
// Bright nebulae (class 9).
const int kNebulaKindSharpless = 5;
const int kNebulaKindVdB = 6;
const int kNebulaKindGum = 7;
const int kNebulaKindRcw = 8;
const int kNebulaKindLbn = 9;
const int kNebulaKindOther = 10;
// Open clusters (class 10): kinds 5-55 are the discoverer catalogues, the
// catalogue code being kind - 2.
const int kOpenClusterKindFirstCatalogue = 5;
const int kOpenClusterKindOther = 56;
const int kOpenClusterKindOcl = 57;
// Globular clusters (class 11).
const int kGlobularKindPalomar = 5;
const int kGlobularKindTerzan = 6;
const int kGlobularKindDiscovery = 7;
// Galaxy groups (class 16).
const int kGroupKindAco = 2;
const int kGroupKindHickson = 3;
// Dark nebulae (class 17).
const int kDarkKindBarnard = 2;
const int kDarkKindLdn = 3;
const int kDarkKindDc = 4;
const int kDarkKindGlobule = 5;
// Comets (classes 3 and 13).
const int kCometKindFull = 1;
const int kCometKindPeriodicNumber = 2;
const int kCometKindIau = 3;
const int kCometKindDiscovererName = 4;
// Minor planets (classes 4 and 14).
const int kMinorPlanetKindFull = 1;
const int kMinorPlanetKindNumberName = 2;

// Special star indexes (class 5).
const int32_t kNoObjectIndex = -1;
const int32_t kAnonymousStarIndex = -2;  // a star known only by its position
const uint32_t kGuideStarKeyFlag = 0x80000000u;

// Bit that marks a user-defined class in stored key lists.
const uint32_t kUserObjectKeyFlag = 0x40000000u;

// The record's "no magnitude" value (float; astro/astroformulas.h has the
// double kNoMagnitude) and the threshold from which magnitudes mean none.
const float kRecordNoMagnitude = 99.9f;
const float kMagnitudeNoneThreshold = 90.0f;

// An object's identity: class code and signed index in that class's catalogue.
struct ObjectKey {
    int objectClass;
    int32_t index;
};

#pragma pack(push, 1)
struct ObjectRecord {
    double raOfDate;                 // 0   apparent place of date (topocentric for bodies)
    double decOfDate;                // 8
    double raCatalogue;              // 16  J2000 catalogue place; -1 = unset (test the RA)
    double decCatalogue;             // 24
    double raJ2000AtDate;            // 32  J2000 frame at the date (proper motion applied)
    double decJ2000AtDate;           // 40
    double eclipticLongitude;        // 48  mean obliquity of date
    double eclipticLatitude;         // 56
    double galacticLongitude;        // 64
    double galacticLatitude;         // 72
    double altitude;                 // 80  apparent, refraction added
    double azimuth;                  // 88  from the south towards the west
    double hourAngle;                // 96  (-pi, pi]
    double airMass;                  // 104 0 below the horizon
    uint8_t reserved112[8];          // 112
    float properMotionRa;            // 120 radians per year
    float properMotionDec;           // 124
    uint8_t itemFlags;               // 128 bit 0 list mark, bit 1 recompute mark
    float sizeMajor;                 // 129 radians
    float sizeMinor;                 // 133
    float extent;                    // 137 display/visibility size (kept by the initialiser)
    float magnitude;                 // 141 99.9 none
    float magnitude2;                // 145 surface brightness / satellite range
    int32_t index;                   // 149 catalogue index, -1 none
    uint8_t objectClass;             // 153 0 = empty record
    uint8_t kind;                    // 154 designation kind (class 2: satellite)
    int32_t designationConstellation;// 155 1-based constellation of a star's designation
    float riseTime;                  // 159 local hours; (0,0) never sets; (-1,-1) never rises
    float transitTime;               // 163
    float setTime;                   // 167
    float horizonRiseTime;           // 171 against the site's obstructed horizon
    float horizonSetTime;            // 175
    int32_t raTurns;                 // 179 RA / 2 pi x 2147483647
    int32_t decTurns;                // 183
    float reserved187;               // 187
    float reserved191;               // 191
    float visibleFrom;               // 195 hours
    float bestTime;                  // 199
    float visibleUntil;              // 203
    int16_t bestTimeScore;           // 207
    uint32_t categoryBits;           // 209
    uint8_t constellation;           // 213 0-88, 255 none (a name search's score instead)
    uint8_t visibilityFlags;         // 214
    uint8_t reserved215;             // 215
    int16_t reserved216;             // 216
    int16_t atlasChart26;            // 218
    uint32_t atlasChartThreeVolume;  // 220 volume | chart << 16
    uint32_t atlasChartTwoVolume;    // 224 chart | volume << 16 | zone-table chart << 24
    uint32_t atlasChartSectors;      // 228 six-sector chart | eighteen-sector chart << 16
    int16_t satelliteVisibility;     // 232 kept by the initialiser
    float visibilityMargin;          // 234 -10 none
    float magnification;             // 238
    uint8_t eyepiece;                // 242 255 none
    float diurnalFactor;             // 243 -1 never above the horizon
    float memberMagnitude;           // 247 galaxy groups: brightest member
    float memberSizeMajor;           // 251
    float memberSizeMinor;           // 255
    int32_t doubleStarRecord;        // 259 0 none
    char pairComponentA;             // 263
    char pairComponentB;             // 264
    float companionMagnitude;        // 265
    float pairSeparation;            // 269
    uint8_t reserved273[8];          // 273
    float distanceLightYears;        // 281 0 none
    uint8_t atlasChartEightSector;   // 285 kept by the initialiser
    float predictedMagnitude;        // 286 variable stars
    uint8_t variablePhase;           // 290 percent 0..99, 255 none
    uint8_t listStatus;              // 291 bits 0-1 A, 2-3 B, 4-7 C
    float visibilityMargin2;         // 292
    uint8_t condensation;            // 296 comets
    uint8_t starPlaceLoaded;         // 297 1: a position-only star's place is stored
    float colourIndex;               // 298 B-V, 90 and above none
    uint8_t visibilityClass;         // 302
    char starComponent;              // 303
    char requestedComponent;         // 304
    uint8_t imagingPlan[35];         // 305 int32 @305 @309, u8 @313, int32 @314 @318,
                                     //     byte 322 kept, int32 @323 @327, 331-339 kept
    uint8_t barlowFlag;              // 340
    uint8_t classExtra[54];          // 341 bright nebulae: byte 341 brightness class
};
#pragma pack(pop)

static_assert(sizeof(ObjectRecord) == 395, "ObjectRecord is 395 bytes");
static_assert(offsetof(ObjectRecord, properMotionRa) == 120, "layout");
static_assert(offsetof(ObjectRecord, itemFlags) == 128, "layout");
static_assert(offsetof(ObjectRecord, sizeMajor) == 129, "layout");
static_assert(offsetof(ObjectRecord, index) == 149, "layout");
static_assert(offsetof(ObjectRecord, objectClass) == 153, "layout");
static_assert(offsetof(ObjectRecord, designationConstellation) == 155, "layout");
static_assert(offsetof(ObjectRecord, raTurns) == 179, "layout");
static_assert(offsetof(ObjectRecord, bestTimeScore) == 207, "layout");
static_assert(offsetof(ObjectRecord, categoryBits) == 209, "layout");
static_assert(offsetof(ObjectRecord, constellation) == 213, "layout");
static_assert(offsetof(ObjectRecord, atlasChart26) == 218, "layout");
static_assert(offsetof(ObjectRecord, satelliteVisibility) == 232, "layout");
static_assert(offsetof(ObjectRecord, eyepiece) == 242, "layout");
static_assert(offsetof(ObjectRecord, doubleStarRecord) == 259, "layout");
static_assert(offsetof(ObjectRecord, distanceLightYears) == 281, "layout");
static_assert(offsetof(ObjectRecord, atlasChartEightSector) == 285, "layout");
static_assert(offsetof(ObjectRecord, listStatus) == 291, "layout");
static_assert(offsetof(ObjectRecord, colourIndex) == 298, "layout");
static_assert(offsetof(ObjectRecord, requestedComponent) == 304, "layout");
static_assert(offsetof(ObjectRecord, imagingPlan) == 305, "layout");
static_assert(offsetof(ObjectRecord, barlowFlag) == 340, "layout");
static_assert(offsetof(ObjectRecord, classExtra) == 341, "layout");

// Stores every default; the kept bytes (extent, satelliteVisibility,
// atlasChartEightSector, imaging-plan bytes 322 and 331-339, classExtra) are
// left as they were, so re-initialising an existing record keeps them. Null
// does nothing.
void InitObjectRecord(ObjectRecord *record);
// For a record that is new: all 395 bytes zeroed, then the defaults, so no
// stale or uninitialised byte reaches a file.
void ClearObjectRecord(ObjectRecord *record);

// A bare position (class 15, index 0) at a J2000 place (radians). Returns 1,
// 0 for null. The catalogue place stays -1.
int MakePositionObject(ObjectRecord *record, double rightAscension, double declination);

// An angle as a signed fraction of a full turn scaled by 2147483647, rounded
// half away from zero.
int32_t AngleToTurns(double angle);

// Guide-star keys of class 5: region bits 0-13, star number bits 14-27, bit 31.
int32_t MakeGuideStarKey(int region, int number);
int IsGuideStarKey(int32_t index);  // negative and neither -1 nor -2
int GuideStarKeyRegion(int32_t index);
int GuideStarKeyNumber(int32_t index);

// The observing-list status byte.
int GetListItemStatusA(const ObjectRecord *record);
void SetListItemStatusA(ObjectRecord *record, int value);  // 0..3, else unchanged
int GetListItemStatusB(const ObjectRecord *record);
void SetListItemStatusB(ObjectRecord *record, int value);  // 0..3, else unchanged
int GetListItemValueC(const ObjectRecord *record);          // 99 for a reference point
void SetListItemValueC(ObjectRecord *record, int value);   // 0..5, never for class 22
