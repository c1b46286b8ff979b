// Accepting, storing and showing an edited value (see valueeditrules.h).
#include "astroui/valueeditrules.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "astro/angleparse.h"
#include "astro/angletext.h"
#include "core/textutil.h"

namespace {

int TruncatedInt(double value) {
    if (!(value == value)) return 0;
    const double t = std::trunc(value);
    if (t <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    if (t >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    return static_cast<int>(t);
}

}  // namespace

int ValueEditFormatFitsKind(const char *format, int kind) {
    if (kind >= kValueKindClockTime && kind <= kValueKindFloatClockTime) return 1;
    if (!format || (kind != kValueKindInteger && kind != kValueKindDouble)) return 0;
    if (std::strlen(format) >= static_cast<size_t>(kValueEditFormatSize)) return 0;
    int conversions = 0;
    for (const char *p = format; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        if (*p == '%') continue;
        while (*p && std::strchr("-+ #0", *p)) ++p;
        while (*p >= '0' && *p <= '9') ++p;
        if (*p == '.') {
            ++p;
            while (*p >= '0' && *p <= '9') ++p;
        }
        if (kind == kValueKindDouble && *p == 'l') ++p;
        if (!*p) return 0;
        const char *letters = kind == kValueKindInteger ? "di" : "fFeEgG";
        if (!std::strchr(letters, *p)) return 0;
        ++conversions;
    }
    return conversions == 1;
}

void KeepValueEditFormat(const char *format, int kind, char *out) {
    if (format && ValueEditFormatFitsKind(format, kind)) {
        std::snprintf(out, kValueEditFormatSize, "%s", format);
        return;
    }
    std::snprintf(out, kValueEditFormatSize, "%s", kind == kValueKindInteger ? "%d" : "%g");
}

void ValueEditRangeForKind(int kind, double *minimum, double *maximum) {
    if (kind != kValueKindInteger) return;
    if (*minimum < static_cast<double>(INT32_MIN)) *minimum = static_cast<double>(INT32_MIN);
    if (*maximum > static_cast<double>(INT32_MAX)) *maximum = static_cast<double>(INT32_MAX);
}

int ReadValueEditText(const char *text, double minimum, double maximum, double *value) {
    if (!text) return 0;
    std::string t(text, strnlen(text, kValueEditTextSize - 1));
    const char *blank = " \t\r\n";
    const size_t first = t.find_first_not_of(blank);
    if (first == std::string::npos) t.clear();
    else t = t.substr(first, t.find_last_not_of(blank) - first + 1);
    const double v = ParseSexagesimal(t.c_str());
    if (v == kNoRealValue || !std::isfinite(v) || v < minimum || v > maximum) return 0;
    *value = v;
    return 1;
}

int StoreEditedValue(int kind, void *target, double value) {
    if (!target) return 0;
    switch (kind) {
    case kValueKindInteger: {
        const int32_t v = TruncatedInt(value);
        std::memcpy(target, &v, sizeof v);
        return 1;
    }
    case kValueKindFloatClockTime: {
        const float v = static_cast<float>(value);
        std::memcpy(target, &v, sizeof v);
        return 1;
    }
    case kValueKindDouble:
    case kValueKindClockTime:
    case kValueKindAngle:
        std::memcpy(target, &value, sizeof value);
        return 1;
    }
    return 0;
}

void FormatEditedValue(int kind, const char *format, double value, char *out, size_t size) {
    if (!out || size == 0) return;
    char kept[kValueEditFormatSize];
    KeepValueEditFormat(format, kind, kept);
    char buffer[kAngleTextSize * 2] = {};
    switch (kind) {
    case kValueKindInteger:
        std::snprintf(out, size, kept, TruncatedInt(value));
        return;
    case kValueKindDouble:
        std::snprintf(out, size, kept, value);
        return;
    case kValueKindClockTime:
        FormatClockTime(buffer, value);
        break;
    case kValueKindFloatClockTime:
        FormatClockTime(buffer, static_cast<float>(value));
        break;
    case kValueKindAngle:
        FormatDeclination(buffer, value);
        break;
    default:
        break;
    }
    std::snprintf(out, size, "%s", buffer);
}
