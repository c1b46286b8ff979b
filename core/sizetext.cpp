// Angular size, separation and distance texts (see sizetext.h).
#include "core/sizetext.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/mathutil.h"
#include "core/textutil.h"
#include "core/resstrings.h"

namespace {

// Astronomical units and kilometres in one light year (IAU 2012: 1 au =
// 149 597 870.7 km; 1 ly = 9 460 730 472 580.8 km).
const double kAuPerLightYear = 63241.08;
const double kKmPerLightYear = 9460730472580.8;
// No object is larger than the whole sky: 360 degrees in arcminutes.
const double kLargestSize = 360.0 * 60.0;
// Farther than any object of the catalogues by several orders of magnitude.
const double kFarthest = 1e15;

// Number of "%...lf" conversions of a format, or -1 when it has any other
// conversion, so that a string-table text can only replace a built-in format
// that takes the same arguments.
int CountRealConversions(const char *format) {
    int n = 0;
    for (const char *p = format; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        while (*p && std::strchr("-+ #0123456789.", *p)) ++p;
        if (p[0] != 'l' || p[1] != 'f') return -1;
        ++p;
        ++n;
    }
    return n;
}

// The string-table entry when present and compatible, else the same text
// compiled in.
const char *TableFormat(int id, const char *builtIn) {
    const char *text = LoadResString(id);
    if (text && *text && CountRealConversions(text) == CountRealConversions(builtIn)) return text;
    return builtIn;
}

void Put(char *buffer, int size, const char *format, double a, double b = 0) {
    if (!buffer || size <= 0) return;
    std::snprintf(buffer, static_cast<size_t>(size), format, a, b);
    SqueezeBlanks(buffer);
}

void PutText(char *buffer, int size, const char *text) {
    if (!buffer || size <= 0) return;
    std::snprintf(buffer, static_cast<size_t>(size), "%s", text);
}

}  // namespace

void FormatAngularSize(char *buffer, int size, double a, double b) {
    if (!buffer || size <= 0) return;
    if (std::isnan(a) || std::isnan(b) || (a == 0 && b == 0) || a < 0) {
        PutText(buffer, size, "unknown");
        return;
    }
    if (b < 0) b = 0;
    if (b > a) std::swap(a, b);
    if (a > kLargestSize) {
        PutText(buffer, size, "unknown");
        return;
    }
    const bool two = b != 0 && b != a;
    if (a > 120) {
        const char *f = two ? TableFormat(8609, "%.1lf\xB0x%5.1lf\xB0") : TableFormat(8608, "%.1lf\xB0");
        Put(buffer, size, f, a / 60, b / 60);
    } else if (a >= 1) {
        const char *f = two ? TableFormat(8611, "%.1lf'x%5.1lf'") : TableFormat(8610, "%.1lf'");
        Put(buffer, size, f, a, b);
    } else if (a >= 1.0 / 6.0) {
        const char *f = two ? TableFormat(8613, "%.0lf\"x%3.0lf\"") : TableFormat(8612, "%.0lf\"");
        Put(buffer, size, f, 60 * a, 60 * b);
    } else if (a >= 1.0 / 600.0) {
        Put(buffer, size, two ? "%3.1lf\" x %3.1lf\"" : "%3.1lf\"", 60 * a, 60 * b);
    } else {
        Put(buffer, size, two ? "%.0lf x %.0lf mas" : "%.0lf mas", 60000 * a, 60000 * b);
    }
}

char *FormatSeparation(char *buffer, int size, double s) {
    if (!buffer || size <= 0) return buffer;
    if (!std::isfinite(s) || s < 0 || s > kLargestSize * 60) {
        PutText(buffer, size, "");
    } else if (s >= 0.2) {
        Put(buffer, size, "%4.1lf\"", s);
    } else if (s >= 0.01) {
        Put(buffer, size, "%5.2lf\"", s);
    } else {
        Put(buffer, size, "%.0lf mas", 1000 * s);
    }
    return buffer;
}

char *FormatDistance(char *buffer, int size, double d) {
    if (!buffer || size <= 0) return buffer;
    if (!std::isfinite(d) || d <= 0 || d > kFarthest) {
        PutText(buffer, size, "   ");
        return buffer;
    }
    // Two significant digits; when the rounding reaches the next unit (999 999
    // ly -> 1 000 000) the next unit shows it (1.0 Mly).
    const double mly = d >= 1 ? RoundToSignificantDigits(d * 1e-6, 2) : 0;
    const double ly = d >= 1 ? RoundToSignificantDigits(d, 2) : 0;
    if (d >= 1e9 || (d >= 1e6 && mly >= 1000)) {
        Put(buffer, size, "%.1lf Gly", RoundToSignificantDigits(d * 1e-9, 2));
    } else if (d >= 1e6 || (d >= 1 && ly >= 1e6)) {
        Put(buffer, size, "%.1lf Mly", mly);
    } else if (d >= 1) {
        Put(buffer, size, "%.0lf ly", ly);
    } else if (d * kAuPerLightYear >= 0.1) {
        Put(buffer, size, "%.1lf AU", d * kAuPerLightYear);
    } else if (d * kAuPerLightYear >= 0.01) {
        Put(buffer, size, "%.2lf AU", d * kAuPerLightYear);
    } else {
        Put(buffer, size, "%.1lf km", d * kKmPerLightYear);
    }
    return buffer;
}
