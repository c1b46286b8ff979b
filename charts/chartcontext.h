// The chart context: where a chart looks (centre, field, reference frame,
// projection), how big it is on screen (window, mirror flags), for whom and
// when (site, dates, precession, extinction), how stars are drawn (limiting
// magnitude, symbol scale), and the working state of the star reader and the
// layers. This file holds the record, the conversions between the catalogue
// frame (J2000 right ascension and declination) and the six chart frames, the
// set-up of the chart centre and projection, and the conversions between
// window pixels and sky positions. Angles are radians.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/precession.h"
#include "charts/projection.h"
#include "charts/solarlayerstate.h"
#include "ephem/sunmoon.h"
#include "objects/constellations.h"

struct ObjectRecord;
struct OpticsBlock;
struct ObserverRecord;

// Chart reference frames.
const int kFrameJ2000 = 1;          // J2000 equatorial at the chart epoch (proper motion only)
const int kFrameApparent = 2;       // apparent equatorial of date
const int kFrameHorizon = 3;        // azimuth and altitude, no refraction
const int kFrameApparentHorizon = 4;  // with refraction and extinction
const int kFrameEcliptic = 5;       // ecliptic of date, true obliquity
const int kFrameGalactic = 6;

// Star databases.
const int kStarDatabaseMag7 = 1;
const int kStarDatabaseMag10 = 2;
const int kStarDatabaseMagX = 3;

const int kComponentTableSize = 50;
const int kDisplayBlockSize = 1664;

#pragma pack(push, 1)
// The label settings a layer's caller passes with each read; a chart view
// stores them as its 1,792-byte layer table.
struct ChartLabelSettings {
    uint8_t leading[4];             // 0  byte 1: 0x10 globule labels, 0x20 component letters
    uint8_t order[11][60];          // 4  designation order table, family f at 4 + 60 f
    uint8_t enable[11][60];         // 664
    uint8_t unused1324[22];         // 1324
    uint8_t firstSwitch[11];        // 1346
    uint8_t secondSwitch[11];       // 1357 stars need both
    uint8_t magnitudeSuffix[11];    // 1368
    uint8_t magnitudeWindow[11];    // 1379
    double faintBound[11];          // 1390
    double brightBound[11];         // 1478
    uint8_t preferCommonNames;      // 1566
    uint8_t unused1567[225];        // 1567
};
#pragma pack(pop)
static_assert(sizeof(ChartLabelSettings) == 1792, "ChartLabelSettings is 1,792 bytes");
static_assert(offsetof(ChartLabelSettings, enable) == 664, "layout");
static_assert(offsetof(ChartLabelSettings, firstSwitch) == 1346, "layout");
static_assert(offsetof(ChartLabelSettings, faintBound) == 1390, "layout");
static_assert(offsetof(ChartLabelSettings, brightBound) == 1478, "layout");
static_assert(offsetof(ChartLabelSettings, preferCommonNames) == 1566, "layout");

// Designation families of the label tables.
enum LabelFamily {
    kFamilyStars, kFamilyGalaxies, kFamilyGalaxyGroups, kFamilyQuasars, kFamilyPlanetaryNebulae,
    kFamilyBrightNebulae, kFamilyDarkNebulae, kFamilyOpenClusters, kFamilyGlobularClusters,
    kFamilyComets, kFamilyMinorPlanets, kLabelFamilyCount
};

// A growable list of window points (x, y pairs), as the constellation labels
// collect them.
struct ScreenPointList {
    int32_t *points;   // 2 x capacity values
    int32_t capacity;  // points
    int32_t count;
};

// Held in memory only; large (the star reader's buffers), so allocate it.
struct ChartContext {
    // star reader (the region lists and files it keeps between its calls)
    int32_t firstRegionCount, secondRegionCount;
    int16_t regionPosition;
    int16_t *firstRegions, *secondRegions;
    FILE *regionFile;
    FILE *starCatalogueFile;
    void *doubleStarCatalogue;   // CcdmFiles of the labels
    FILE *starNameFile;          // common names of the labels
    void *variableStarFiles;     // VariableStarFiles of the labels
    int32_t recordsInRegion, recordsRead;
    int32_t regionFileSize;   // bytes of the open region file (every read is checked against it)
    // the chart centre as given (catalogue frame)
    double centreRightAscension, centreDeclination;
    double regionRightAscensionStart, regionDeclinationStart, wholeRegionRightAscensionStart,
        zoneDeclinationStart, regionWidth, regionHeight;
    double pixelsPerRadian;   // window width / field
    double field;             // angular width of the chart
    int32_t windowCentreX, windowCentreY;
    int32_t windowWidth, windowHeight;
    int32_t windowOffsetX, windowOffsetY;
    int32_t verticalMirrorSum, horizontalMirrorSum;  // top + bottom, left + right
    int32_t visibleLeft, visibleRight, visibleTop, visibleBottom;
    double limitingMagnitude;
    double layerMagnitudeLimit;
    uint8_t mirrorY, mirrorX;  // 0: flipped to screen orientation; 1: kept
    uint8_t displayBlockFlag;
    uint8_t displayBlock[kDisplayBlockSize];
    int16_t displayValues[2];
    uint8_t variableMark, endByteFlags[2];
    // the current star
    double starRightAscension, starDeclination, starMotionRightAscension, starMotionDeclination,
        starBrightest, starFaintest, starVBeforeExtinction;
    int32_t starRightAscensionTurns, starDeclinationTurns;
    double starV;
    double radiansPerPixel;
    uint8_t currentCode, nextCode, polarFlag, searchPrepared, orbitalSystemFlag;
    double componentTable[kComponentTableSize][3];
    int32_t componentTableCount;
    // proper motions of the record that started the current system (its
    // components move with it)
    double systemMotionRightAscension, systemMotionDeclination;
    int32_t layerRecordCounter;
    uint8_t componentCount, componentCounter;
    uint8_t centring;         // 1: the projection is centred on the chart centre
    uint8_t projectionKind;   // 1-9
    ChartProjection projection;
    uint8_t starDatabase;     // kStarDatabase...
    uint8_t frameMode;        // kFrame...
    uint8_t topocentric;
    LocationRecord site;
    DateRecord currentDate;   // moved by the layers' time steps
    DateRecord savedDate;     // the chart time; every frame conversion uses it
    PrecessionRecord precessionToDate, precessionToJ2000;
    double extinctionCoefficient;  // V, magnitudes per air mass
    int32_t rangeSymbols;     // 1: star radii from the brightest and faintest magnitudes
    int32_t sizeLaw;          // 1: brightness law; else linear
    double sizeScale;
    double referenceMagnitude;
    double radiusOffset;      // smallest radius - 1
    double filterMagnitude;   // sky brightness (mag / arcsec^2) of the visual filter
    const OpticsBlock *filterOptics;
    const ObserverRecord *filterObserver;
    uint8_t coordinateLabels, guideStarLabels;
    int32_t catalogueNumber, primaryCatalogueNumber;
    int32_t guideRegion, guideNumber;  // identifier of the last guide-star record
    char componentLetter;
    int32_t imagingFilterOn;
    int32_t camera, cameraFilter, imagingOption;
    double exposure;          // seconds
    int32_t useEphemerides;
    SunMoonState sunMoon;
    int32_t selectedObjectType, selectedObjectIndex;
    uint8_t selectedObjectFound;
    SolarLayerState solar;     // the solar-system layers' working state
    uint8_t layerFlag;
    // the open file of a layer (from its Begin operation to its end)
    FILE *layerFile;
    int32_t layerFileSize;
    uint8_t layerGlobules;    // the dark-nebula layer reads the globules
    int32_t layerRecordCount; // records of the open user store
    // the galaxy layer: the mag10 regions of the window and the next one to read
    uint16_t *galaxyRegions;
    int32_t galaxyRegionCount, galaxyRegionPosition;
    // the star-field layer: the index, the open field's star file, and the
    // counts of both
    FILE *starFieldIndex;
    FILE *starFieldFile;
    int32_t starFieldCount, starFieldsRead;
    int32_t starFieldStarCount, starFieldStarsRead;
    // constellation labels: window points per constellation, and whether
    // its catalogue name position lies in the window
    ScreenPointList constellationLabelPoints[kConstellationCount];
    uint8_t constellationNamePoint[kConstellationCount];
    int32_t constellationLabelIndex;
};

// ---- frames -----------------------------------------------------------------

// Catalogue place (J2000, with its proper motions in radians per year) to
// the chart frame at the saved chart date. 1, or in the horizon frames 0 when
// the point is below the horizon dip. magnitude (optional) receives the
// extinction in frame 4. 0 for no context or no frame.
int ConvertToChartFrame(ChartContext *chart, double *rightAscension, double *declination,
                        double motionRightAscension, double motionDeclination,
                        double *magnitude = nullptr);
// The chart frame back to the catalogue frame; right ascension in [0, 2 pi).
int ConvertFromChartFrame(ChartContext *chart, double *longitude, double *latitude,
                          double motionRightAscension, double motionDeclination);
// Horizon coordinates (azimuth from the south through the west, altitude)
// of the site at the saved date to J2000, in place.
int ConvertHorizontalToCatalogue(ChartContext *chart, double *azimuth, double *altitude);
// J2000 (precess 1; else a place of date) to azimuth from the south through
// the west and altitude, in place. 1 at or above the horizon dip, else 0.
int ConvertCatalogueToHorizontal(ChartContext *chart, double *rightAscension, double *declination,
                                 int precess);
// The two precession set-ups, J2000 to the saved chart date and back (IAU
// 1976 angles). The chart time and the star search prepare them.
int PrepareChartPrecession(ChartContext *chart);

// ---- centre, pixels and sky ----------------------------------------------------

// The kind given, or for 0: under 1 degree gnomonic, under 60 degrees
// stereographic, 360 degrees or more Hammer-Aitoff (not in frame 4), else
// rectangular.
int ChooseProjectionKind(ChartContext *chart, int kind, int frameMode, double field);
// Sets the centre and the projection from the context's field, window and
// kind. 0 when the centre cannot be converted (below the horizon), the field
// is not positive or the projection cannot be set up.
int SetChartCentre(ChartContext *chart, double rightAscension, double declination,
                   double motionRightAscension, double motionDeclination, double parameter,
                   double secondParameter, double windowAngle);
int ScreenToSky(ChartContext *chart, int x, int y, double *rightAscension, double *declination);
// Also the apparent altitude (refraction added, at most pi/2) and the chart
// azimuth (2 pi minus the azimuth from the south).
int ScreenToSkyAndHorizon(ChartContext *chart, int x, int y, double *rightAscension,
                          double *declination, double *altitude, double *azimuth);
int SkyToScreen(ChartContext *chart, double rightAscension, double declination,
                double motionRightAscension, double motionDeclination, int *x, int *y);
// The equatorial place in the chart's own epoch (no precession to J2000).
int ScreenToPlaceOfDate(ChartContext *chart, int x, int y, double *rightAscension,
                        double *declination);
int PlaceOfDateToScreen(ChartContext *chart, double rightAscension, double declination, int *x,
                        int *y);
// The chart's mirroring of projected pixels (applied twice it undoes itself).
void MirrorChartPixel(const ChartContext *chart, int *x, int *y);

// ---- filters and selections ------------------------------------------------------

void SetChartSelectedObject(ChartContext *chart, const ObjectRecord *object);
void SetChartVisualFilter(ChartContext *chart, const OpticsBlock *optics,
                          const ObserverRecord *observer, double filterMagnitude);
void SetChartImagingFilter(ChartContext *chart, const OpticsBlock *optics, int camera,
                           int cameraFilter, int option, double exposure, int useEphemerides);
// Clears the display block flag and copies 1,664 bytes and two 16-bit values.
int SetChartDisplayBlock(ChartContext *chart, const uint8_t *block, int16_t first, int16_t second);
