// Font arithmetic; see fontrules.h.
#include "ui/fontrules.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

const char *FontWeightName(int weight, int italic) {
    static char text[32];
    static const char *const names[] = {"",         "Thin", "Extralight", "Light",     "",
                                         "Medium",   "Semibold", "Bold",  "Extrabold", "Black"};
    int hundreds = (weight + 50) / 100;
    if (weight < 0) hundreds = 0;
    if (hundreds > 9) hundreds = 9;
    std::snprintf(text, sizeof text, "%s%s", names[hundreds], italic ? " Italic" : "");
    return text;
}

int FontHeightPoints(int height, int dpi) {
    if (dpi <= 0) return 0;
    return static_cast<int>(std::round(std::abs(static_cast<double>(height)) * 72.0 / dpi));
}

int EscapementTenths(double degrees) {
    if (!std::isfinite(degrees) || std::fabs(degrees) > 1e8) return 0;
    return static_cast<int>(std::round(degrees * 10.0));
}

int FitHeightToWidth(int width, int count, const std::function<int(int)> &averageWidth) {
    int h = 20;
    if (count <= 0) return h;
    for (int pass = 0; pass < 3; ++pass) {
        int a = averageWidth(h);
        if (a <= 0) return h;
        int next = static_cast<int>(std::round(static_cast<double>(h) * width /
                                               (static_cast<double>(count) * a)));
        if (next == h) return next;
        h = next;
        if (h == 0) return 0;
    }
    return h;
}
