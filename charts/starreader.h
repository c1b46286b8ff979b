// The star reader's set-up calls that the chart context needs before a
// search: clearing the reader's state and setting the star limits and symbol
// scale. (The region walk and the star records come with the reader itself.)
#pragma once

struct ChartContext;

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
