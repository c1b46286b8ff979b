// What the deep-sky layers share: reading the layer file record by record,
// the selected-object test, placing an object in the window, circle symbols,
// the label walk over the designation order, and the visibility tests.
// Internal to the chart layers.
#pragma once
#include <cstddef>
#include <cstdint>

struct ChartContext;
struct ChartLabelSettings;
struct DeepSkyPlotItem;

namespace deepsky {

const double kTurn = 6.283185307179586476925286766559 / 2147483647.0;
const double kArcminute = 3.14159265358979323846 / (180 * 60);
const int kRatingNotVisible = 6;
const double kImagingThreshold = 2.5;
const double kColourIndex = 0.5;
const uint8_t kNoByte = 255;
const uint16_t kNoWord = 65535;

int32_t Int32(const uint8_t *p);
int16_t Int16(const uint8_t *p);
uint16_t UInt16(const uint8_t *p);
float Float32(const uint8_t *p);

// Opens a layer file (closing any open one); counter and limit set. 1 or 0.
int OpenLayer(ChartContext *c, void *file, double magnitudeLimit, int counter);
// The next record; false at the end or on a short read (the file closed).
bool ReadRecord(ChartContext *c, uint8_t *record, size_t size);
bool IsSelected(const ChartContext *c, int classCode, int index);
// Converts (raising the magnitude by extinction in the horizon frames),
// projects and mirrors into the item. false when either fails.
bool PlaceItem(ChartContext *c, double ra, double dec, double *magnitude, DeepSkyPlotItem *item);
// The pixel radius of a radius in radians, rounded half away from zero.
void CircleSymbol(const ChartContext *c, double radius, DeepSkyPlotItem *item);
// Labels of the family are made for this magnitude.
bool LabelWanted(const ChartLabelSettings *s, int family, double magnitude);
// Walks the family's enabled positions; text(kind, buffer) writes the
// designation of that kind into a 72-byte buffer (empty when the object has
// none). The first non-empty one becomes the label, cut to its width.
typedef void (*DesignationText)(const void *record, int kind, char *buffer);
void BuildLabel(const ChartLabelSettings *s, int family, int positions, const void *record,
                DesignationText text, double magnitude, char *label);
// The common name of a number of cnames.bin ("" when none).
void CommonName(int number, char *buffer);
bool VisualFilterActive(const ChartContext *c);
// Rating below 6 for the object seen through the filter optics.
bool PassesVisual(ChartContext *c, double magnitude, double majorArcmin, double minorArcmin);
// The imaging filter's signal-to-noise of a surface brightness, at least 2.5.
bool PassesImaging(ChartContext *c, double surfaceBrightness);
// The aperture-class form (bright nebulae that carry a class).
bool PassesApertureClass(ChartContext *c, int apertureClass, double minorArcmin, double ra,
                         double dec);

}  // namespace deepsky
