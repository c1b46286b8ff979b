// The star reader of the charts: the set-up calls (clearing the reader,
// the star limits and symbol scale), the region list a chart window touches
// in one of the three star databases, and the walk that returns its stars one
// at a time, converted to the chart frame, projected, mirrored and tested
// against the window, with symbol radius and shade.
#pragma once
#include <cstddef>
#include <cstdint>

struct ChartContext;
struct ChartLabel;
struct ChartLabelSettings;

// Designation kinds of the star row of the label order.
const int kStarLabelCommonName = 0;
const int kStarLabelBayer = 1;
const int kStarLabelFlamsteed = 2;
const int kStarLabelVariable = 3;
const int kStarLabelHr = 4;
const int kStarLabelHd = 5;
const int kStarLabelSao = 6;
const int kStarLabelPpm = 7;
const int kStarLabelHip = 8;
const int kStarLabelBd = 9;
const int kStarLabelCd = 10;
const int kStarLabelCp = 11;
const int kStarLabelGc = 12;
const int kStarLabelDoubleName = 13;
const int kStarLabelAds = 14;
const int kStarLabelCcdm = 15;
const int kStarLabelNsv = 16;
const int kStarLabelTycho = 17;
const int kStarLabelGuideStar = 18;
const int kStarLabelCoordinates = 19;
const int kStarLabelKindCount = 20;

// Kind bits of a ChartStar.
const int kChartStarCatalogue = 0x01;
const int kChartStarVariable = 0x02;
const int kChartStarSecondSeries = 0x04;  // variable of the second designation series
const int kChartStarDouble = 0x08;
const int kChartStarOrbit = 0x10;         // a component placed by its orbit
const int kChartStarColoured = 0x20;
const int kChartStarGuide = 0x40;
const int kChartStarFaint = 0x80;
const int kChartStarNamed = 0x100;

// What ReadNextStar returns for one star.
struct ChartStar {
    int32_t x, y;         // window pixel (after mirroring)
    uint8_t shade;        // 0-50
    int32_t radius;       // symbol radius in pixels
    int32_t faintRadius;  // radius of the faintest magnitude, else = radius
    uint8_t colourClass;  // 0-15
    uint8_t flag;         // bit 7 of a named or catalogue star's end byte
    uint16_t kind;        // kChartStar... bits
};

// No files, no lists, all counts 0, the imaging filter off, the selected
// object and the layer flag cleared, projection kind 1, limiting magnitude
// 6.5, search not prepared. 1, 0 without a context.
int ClearStarReader(ChartContext *chart);
// The limiting magnitude and the symbol scale: size law (1 brightness law),
// range symbols, radius offset = smallest radius - 1, reference magnitude =
// limit, size scale = percent x 0.01 (brightness law) or percent x zoom x
// 0.01 (zoom 0 counts as 1), times the size factor when it is 1 or more,
// else times 1 - (1 - factor) x 0.25; the mirror flags. 1, 0 without a context.
int SetStarSearchLimits(ChartContext *chart, double limitingMagnitude, double zoom, int sizeLaw,
                        double sizePercent, double smallestRadius, int rangeSymbols, int mirrorY,
                        int mirrorX, double sizeFactor);
// 3 (magx) for a limit above 10 or a field under 5 degrees; 2 (mag10) for a
// limit above 7.1 or a field of 15 degrees or less; else 1 (mag7).
int ChooseStarDatabase(ChartContext *chart, double field);
// Stores the search (database, field, window, frame), sets the centre (0 when
// that fails) and, with buildRegions, collects the regions of every point
// sampled over the window (widened in magx by the proper-motion margin).
int BeginStarSearch(ChartContext *chart, double rightAscension, double declination,
                    double motionRightAscension, double motionDeclination, double field,
                    int windowWidth, int windowHeight, int windowOffsetX, int windowOffsetY,
                    double parameter, double secondParameter, double windowAngle,
                    int projectionKind, int centring, int database, int frameMode, int topocentric,
                    int buildRegions);
// 1 a star, 2 a component within one pixel of its reference star (placed
// there), 0 no more stars, -1 a region file that cannot be opened or read.
int ReadNextStar(ChartContext *chart, ChartStar *star);
// Closes the files, frees both region lists, clears the counts.
void EndStarSearch(ChartContext *chart);
// Closes the region file and empties the active database's lists. 1.
int ResetStarReader(ChartContext *chart);
// Adds the region holding a place (catalogue frame) unless listed: mag7 and
// magx to the first list, mag10 to the second. 1, 0 without a context or
// when the list cannot grow (the code is then not added).
int AddStarRegionAt(ChartContext *chart, double rightAscension, double declination);
// Closes the region file and restarts the walk of the same list.
void CloseStarRegion(ChartContext *chart);
// The context database's region file. 1, 0 when the map directory is not set.
int BuildStarFilePath(ChartContext *chart, char *path, size_t size, int region, int zone);
// Ends the search and collects the regions of a rectangle of the window
// (which becomes the visible rectangle): the region of every point sampled
// every 10 pixels (finer where the database's regions are smaller than 10
// pixels of this chart), rows from the top, both edges included, each point
// taken back to the catalogue frame. 1, 0 without a prepared context or
// when a region cannot be added.
int BuildStarRegionsForRectangle(ChartContext *chart, int left, int top, int right, int bottom);
// A search of the one region holding a place: like BeginStarSearch without
// window offsets, the field spanning the window's height (pixels per radian
// = height / field) and the projection kind used as given; the region list
// is the centre's region alone. 1, 0 when the centre cannot be set.
int BeginStarSearchAtPoint(ChartContext *chart, double rightAscension, double declination,
                           double motionRightAscension, double motionDeclination, double field,
                           int windowWidth, int windowHeight, double parameter,
                           double secondParameter, double windowAngle, int projectionKind,
                           int database, int centring, int frameMode, int topocentric);
// Every star within a radius of a place: no magnitude limit, a 10000 x 10000
// window of twice the radius, J2000 at 2000 January 1.
int BeginStarSearchAround(ChartContext *chart, double rightAscension, double declination,
                          double radius, int database);
// ReadNextStar until a star lies within half the field of the centre: its
// place and V. The result of ReadNextStar.
int ReadNextStarWithin(ChartContext *chart, double *rightAscension, double *declination,
                       double *magnitude);
// The current star's place and motions, and its two range magnitudes.
int GetChartStarPlace(ChartContext *chart, double *rightAscension, double *declination,
                      double *motionRightAscension, double *motionDeclination);
int GetChartStarMagnitudes(ChartContext *chart, double *brightest, double *faintest);

// Notes whether guide-star (kind 18) and coordinate (kind 19) designations
// are enabled in the star row of the label order. 1, 0 without arguments.
int SetStarLabelKinds(ChartContext *chart, const ChartLabelSettings *settings);
// The label text of the star just read: the first enabled designation the
// star has (catalogue stars through the star catalogue; guide stars as
// "GSC %04d-%04d", coloured and faint stars by their J designation), the
// component letter and the magnitude suffix as the switches ask. The text is
// cut to 32 characters and always ends in a NUL. Non-zero when a text was
// made; 0 when the star catalogue cannot be opened or read.
int FormatChartStarLabel(ChartContext *chart, const ChartLabelSettings *settings,
                         const ChartStar *star, ChartLabel *label);
