// The deep-sky catalogue layers of a chart: bright and dark nebulae,
// planetary nebulae, open and globular clusters, galaxy groups, galaxies
// and quasars. Each is a Begin operation
// that opens the layer's packaged file (charts/chartcontext.h's layer file)
// and sets the magnitude limit, and a ReadNext operation that returns the
// next object inside the window that passes the magnitude and visibility
// tests, with its window position, symbol size and label.
//
// ReadNext results: the object's number (1 and up) with the item filled, 0
// at the end of the layer (the file is closed); without an open file 0, or
// -1 for the open clusters, planetary nebulae and galaxy groups. Every layer numbers its objects from 1 (record
// index + 1; the open clusters too), so that a loop "until the result is 0
// or less" never stops at the first record.
#pragma once

struct ChartContext;
struct ChartLabelSettings;
struct ChartStar;
struct DeepSkyPlotItem;

int BeginBrightNebulaLayer(ChartContext *chart, double magnitudeLimit);
int ReadNextBrightNebula(ChartContext *chart, const ChartLabelSettings *settings, DeepSkyPlotItem *item);
// With globules set only the globule records (opacity class 10) are read,
// from the first of them on.
int BeginDarkNebulaLayer(ChartContext *chart, int globules);
int ReadNextDarkNebula(ChartContext *chart, const ChartLabelSettings *settings, DeepSkyPlotItem *item);
int BeginOpenClusterLayer(ChartContext *chart, double magnitudeLimit);
int ReadNextOpenCluster(ChartContext *chart, const ChartLabelSettings *settings, DeepSkyPlotItem *item);
int BeginGlobularClusterLayer(ChartContext *chart, double magnitudeLimit);
int ReadNextGlobularCluster(ChartContext *chart, const ChartLabelSettings *settings,
                            DeepSkyPlotItem *item);

int BeginPlanetaryNebulaLayer(ChartContext *chart, double magnitudeLimit);
int ReadNextPlanetaryNebula(ChartContext *chart, const ChartLabelSettings *settings,
                            DeepSkyPlotItem *item);
int BeginGalaxyGroupLayer(ChartContext *chart, double magnitudeLimit);
int ReadNextGalaxyGroup(ChartContext *chart, const ChartLabelSettings *settings, DeepSkyPlotItem *item);

// Galaxies: from gal.bin of map slot 1 on a mag7 chart, else from the mag10
// region files "mag10/dbZZ/galRR.bin" of map slot 1 of every mag10 region
// the window touches. ReadNextGalaxy returns the galaxy number; 0 when no
// file is left, -1 when a region file cannot be opened. The layer frees its
// region list at its end (or at CloseChartLayerFile).
int BeginGalaxyLayer(ChartContext *chart, double magnitudeLimit);
int OpenNextGalaxyFile(ChartContext *chart);
int ReadNextGalaxy(ChartContext *chart, const ChartLabelSettings *settings, DeepSkyPlotItem *item);
// Quasars (qso.bin of map slot 0) as star symbols; label (kDeepSkyLabelSize
// bytes) and magnitude through their own arguments. The quasar number.
int BeginQuasarLayer(ChartContext *chart, double magnitudeLimit);
int ReadNextQuasar(ChartContext *chart, const ChartLabelSettings *settings, ChartStar *star, char *label,
                   double *magnitude);

void CloseChartLayerFile(ChartContext *chart);
// 1 when the item's centre or one of the four points at its larger
// semi-axis to the left, right, top or bottom lies in the visible rectangle.
int IsPlotItemInWindow(const ChartContext *chart, const DeepSkyPlotItem *item);
// magnitude + 2.5 log10(2827 a b), a and b in arcminutes (mag / arcsec^2);
// the magnitude itself for an axis of 0 or less (no area to spread over).
double ComputeSurfaceBrightness(double magnitude, double a, double b);
// " (%d)" of the magnitude x 10, rounded half away from zero.
void AppendMagnitudeSuffix(char *label, int size, double magnitude);
