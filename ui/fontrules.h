// Arithmetic of fonts that needs no device: weight names for font lists,
// heights in points, escapement in tenths of a degree and the fixed-point
// iteration that fits a font height to a width.
#pragma once
#include <functional>

// Name of a font weight: 100 "Thin", 200 "Extralight", 300 "Light", 400 "",
// 500 "Medium", 600 "Semibold", 700 "Bold", 800 "Extrabold", 900 "Black",
// followed by " Italic" for an italic font. Weights between the hundreds take
// the name of the nearest hundred (50 and below, e.g. FW_DONTCARE: no name).
// The text lives in a static buffer that the next call overwrites.
const char *FontWeightName(int weight, int italic);

// Height in points of a font height in pixels (negative: character height)
// on a device of dpi pixels per inch: |height| x 72 / dpi, rounded half away
// from zero; 0 for a dpi of 0 or less.
int FontHeightPoints(int height, int dpi);

// Escapement in tenths of a degree: degrees x 10 rounded half away from zero.
int EscapementTenths(double degrees);

// Height h for which `count` average characters fill `width`: from h = 20, at
// most three passes of h' = h x width / (count x averageWidth(h)), rounded;
// stops when h' = h and gives the last h'. averageWidth returns the average
// character width of a font of height h; a count or an average width of 0 or
// less ends the iteration with the height reached so far.
int FitHeightToWidth(int width, int count, const std::function<int(int)> &averageWidth);
