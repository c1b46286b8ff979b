// Texts of angles, right ascensions and clock times in the process-wide text
// styles, the "J" position designation, the longitude display option and the
// compact angle texts.
#include "astro/angletext.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "core/mathutil.h"

int AngleTextStyle = 0;
int RaInDegreesFlag = 0;
int ClockTextStyle = 0;

namespace {

int gLongitudeDisplayFlag = 0;

// One thousandth of a second of the value's unit. Added before splitting so
// that a value stored a hair below a whole second (12.5 h as 12.49999999...)
// does not show one second short.
const double kSplitOffset = 1.0 / 3600000.0;
// Largest magnitude split into whole units; larger values have no sensible
// sexagesimal text and would overflow the int conversion.
const double kLargestSplit = 1e6;

const char *const kNoValueText = "--";

// Writes the formatted text when it fits in kAngleTextSize bytes, else "--".
void WriteBounded(char *buffer, const char *format, ...) {
    char text[128];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n < 0 || n >= kAngleTextSize) {
        std::snprintf(buffer, kAngleTextSize, "%s", kNoValueText);
        return;
    }
    std::memcpy(buffer, text, static_cast<size_t>(n) + 1);
}

void WriteNoValue(char *buffer) { std::snprintf(buffer, kAngleTextSize, "%s", kNoValueText); }

int EffectiveStyle() {
    return (AngleTextStyle >= 1 && AngleTextStyle <= 3) ? AngleTextStyle : 0;
}

// How the last field is written and when the seconds carry into the minutes.
enum LastField {
    kMinutesRounded,     // D M, the minutes rounded
    kWholeSeconds,       // D M S, S rounded; carry at 59.5
    kTenthSeconds,       // S as "%04.1lf"; carry at 59.95
    kHundredthSeconds,   // S as "%05.2lf"; carry at 59.995
    kThousandthSeconds,  // S as "%06.3lf"; carry at 59.9995
    kTenthMinutes,       // H m, m as "%04.1lf"; carry at 59.95
};

// The carry threshold of each fractional field is the value that the field's
// own rounding would show as 60: a carry any earlier shows a wrong last digit.
double CarryThreshold(LastField field) {
    switch (field) {
    case kWholeSeconds: return 59.5;
    case kTenthSeconds: return 59.95;
    case kHundredthSeconds: return 59.995;
    case kThousandthSeconds: return 59.9995;
    case kTenthMinutes: return 59.95;
    default: return 60.0;
    }
}

enum WrapRule { kWrapNone, kWrapAtLimit, kWrapAboveLimit };

struct Member {
    bool hours;             // right ascension: leading blank, style 3 in hours or degrees
    bool offset;            // add kSplitOffset before splitting
    bool fixedStyle2;       // ignores AngleTextStyle (the Blanks members)
    const char *decimal;    // style 3 (hours for right ascensions)
    const char *decimalDeg; // style 3 of right ascensions in degrees
    const char *forms[3];   // styles 0, 1, 2, without the sign character
    LastField last;
    WrapRule wrap;
    int limit;              // 360 or 24
};

const Member kDeclinationMinutes = {false, true, false, "%7.3lf", nullptr,
    {"%02d\xB0%2.2d'", "%02d:%2.2d'", "%02d %2.2d'"}, kMinutesRounded, kWrapAtLimit, 360};
const Member kLongitudeMinutes = {false, true, false, "%8.3lf", nullptr,
    {"%03d\xB0%2.2d'", "%03d:%2.2d'", "%03d %2.2d'"}, kMinutesRounded, kWrapAtLimit, 360};
const Member kLongitude = {false, true, false, "%9.5lf", nullptr,
    {"%03d\xB0%2.2d'%2.2d\"", "%03d:%2.2d:%2.2d\"", "%03d %2.2d %2.2d\""}, kWholeSeconds,
    kWrapAtLimit, 360};
const Member kDeclination = {false, true, false, "%8.4lf", nullptr,
    {"%02d\xB0%2.2d'%2.2d\"", "%02d:%2.2d:%2.2d", "%02d %2.2d %2.2d"}, kWholeSeconds,
    kWrapAboveLimit, 360};
const Member kDeclinationColons = {false, true, false, "%9.4lf", nullptr,
    {"%02d:%2.2d:%2.2d", "%02d:%2.2d:%2.2d", "%02d:%2.2d:%2.2d"}, kWholeSeconds, kWrapAtLimit, 360};
const Member kDeclinationTenths = {false, true, false, "%9.5lf", nullptr,
    {"%02d\xB0%2.2d'%04.1lf\"", "%02d:%2.2d:%04.1lf", "%02d %2.2d %04.1lf"}, kTenthSeconds,
    kWrapAboveLimit, 360};
const Member kDeclinationHundredths = {false, true, false, "%+10.6lf", nullptr,
    {"%02d\xB0%2.2d'%05.2lf\"", "%02d:%2.2d:%05.2lf", "%02d %2.2d %05.2lf"}, kHundredthSeconds,
    kWrapAboveLimit, 360};
const Member kDeclinationBlanks = {false, true, true, nullptr, nullptr,
    {"%02d %2.2d %2.2d", "%02d %2.2d %2.2d", "%02d %2.2d %2.2d"}, kWholeSeconds, kWrapAtLimit, 360};
const Member kDeclinationHundredthsBlanks = {false, true, true, nullptr, nullptr,
    {"%02d %2.2d %05.2lf", "%02d %2.2d %05.2lf", "%02d %2.2d %05.2lf"}, kHundredthSeconds,
    kWrapAtLimit, 360};

const Member kRaMinutes = {true, true, false, "%+7.4lf", "%+8.4lf",
    {"%2.2dh%2.2dm", "%2.2d:%2.2d", "%2.2d %2.2d"}, kMinutesRounded, kWrapAtLimit, 24};
const Member kRa = {true, true, false, "%9.6lf", "%9.5lf",
    {"%2.2dh%2.2dm%2.2ds", "%2.2d:%2.2d:%2.2ds", "%2.2d %2.2d %2.2ds"}, kWholeSeconds, kWrapNone, 24};
const Member kRaTenthMinutes = {true, true, false, "%7.4lf", "%+8.4lf",
    {"%2.2dh%04.1lfm", "%2.2d:%04.1lf", "%2.2d %04.1lf"}, kTenthMinutes, kWrapNone, 24};
const Member kRaTenths = {true, true, false, "%8.5lf", "%9.5lf",
    {"%2.2dh%2.2dm%04.1lfs", "%2.2d:%2.2d:%04.1lf", "%2.2d %2.2d %04.1lf"}, kTenthSeconds,
    kWrapNone, 24};
const Member kRaHundredths = {true, false, false, "%9.6lf", "%10.6lf",
    {"%2.2dh%2.2dm%05.2lfs", "%2.2d:%2.2d:%05.2lf", "%2.2d %2.2d %05.2lf"}, kHundredthSeconds,
    kWrapNone, 24};
const Member kRaThousandths = {true, false, false, "%10.7lf", "%11.7lf",
    {"%2.2dh%2.2dm%06.3lfs", "%2.2d:%2.2d:%06.3lf", "%2.2d %2.2d %06.3lf"}, kThousandthSeconds,
    kWrapNone, 24};
const Member kRaTenthsBlanks = {true, true, true, nullptr, nullptr,
    {"%2.2d %2.2d %04.1lf", "%2.2d %2.2d %04.1lf", "%2.2d %2.2d %04.1lf"}, kTenthSeconds,
    kWrapNone, 24};

char *FormatMember(const Member &member, char *buffer, double value) {
    if (!buffer) return buffer;
    if (!std::isfinite(value)) {
        WriteNoValue(buffer);
        return buffer;
    }
    const int style = member.fixedStyle2 ? 2 : EffectiveStyle();
    if (style == 3) {
        if (member.hours && RaInDegreesFlag == 1)
            WriteBounded(buffer, member.decimalDeg, value * 15.0);
        else
            WriteBounded(buffer, member.decimal, value);
        return buffer;
    }
    const double x = member.offset ? value + kSplitOffset : value;
    const double a = std::fabs(x);
    if (a >= kLargestSplit) {
        WriteNoValue(buffer);
        return buffer;
    }
    const char sign = x < 0.0 ? '-' : (member.hours ? ' ' : '+');
    int d = static_cast<int>(std::floor(a));
    const double m = (a - d) * 60.0;
    const double threshold = CarryThreshold(member.last);
    int mi = 0;
    double s = 0.0;
    double mReal = 0.0;
    switch (member.last) {
    case kMinutesRounded:
        mi = static_cast<int>(m + 0.5);
        if (mi == 60) { mi = 0; ++d; }
        break;
    case kTenthMinutes:
        mReal = m;
        if (mReal >= threshold) { mReal = 0.0; ++d; }
        break;
    default:
        mi = static_cast<int>(std::floor(m));
        s = (m - mi) * 60.0;
        if (s >= threshold) { s = 0.0; ++mi; }
        if (mi == 60) { mi = 0; ++d; }
        break;
    }
    if (member.wrap == kWrapAtLimit && d >= member.limit) d -= member.limit;
    if (member.wrap == kWrapAboveLimit && d > member.limit) d -= member.limit;

    char format[40];
    std::snprintf(format, sizeof format, "%c%s", sign, member.forms[style]);
    switch (member.last) {
    case kMinutesRounded: WriteBounded(buffer, format, d, mi); break;
    case kTenthMinutes: WriteBounded(buffer, format, d, mReal); break;
    case kWholeSeconds: WriteBounded(buffer, format, d, mi, static_cast<int>(s + 0.5)); break;
    default: WriteBounded(buffer, format, d, mi, s); break;
    }
    return buffer;
}

// Splits clock hours already in [0, 24) into H, M (and S), with the carries.
char *FormatClock(char *buffer, double hours, bool seconds, bool always24) {
    if (!buffer) return buffer;
    if (!std::isfinite(hours) || std::fabs(hours) >= kLargestSplit) {
        WriteNoValue(buffer);
        return buffer;
    }
    double h = std::fmod(hours, 24.0);
    if (h < 0.0) h += 24.0;
    const double x = h + kSplitOffset;
    int hh = static_cast<int>(std::floor(x));
    const double m = (x - hh) * 60.0;
    int mm, ss = 0;
    if (!seconds) {
        mm = static_cast<int>(m + 0.5);
        if (mm == 60) { mm = 0; ++hh; }
    } else {
        mm = static_cast<int>(std::floor(m));
        double s = (m - mm) * 60.0;
        if (s >= 59.5) { s = 0.0; ++mm; }
        if (mm == 60) { mm = 0; ++hh; }
        ss = static_cast<int>(s + 0.5);
    }
    if (hh >= 24) hh -= 24;
    if (!always24 && ClockTextStyle == 1) {
        char letter = hh < 12 ? 'a' : 'p';
        if (hh < 1) hh = 12;
        else if (hh > 12) hh -= 12;
        if (seconds) WriteBounded(buffer, "%2.2d:%2.2d:%2.2d%c", hh, mm, ss, letter);
        else WriteBounded(buffer, "%2.2d:%2.2d%c", hh, mm, letter);
        return buffer;
    }
    if (seconds) WriteBounded(buffer, "%2.2d:%2.2d:%2.2d", hh, mm, ss);
    else WriteBounded(buffer, "%2.2d:%2.2d", hh, mm);
    return buffer;
}

double DisplayedLongitude(double degrees) {
    if (gLongitudeDisplayFlag == 0) return degrees;
    return ReduceModuloPositive(degrees + 180.0, 360.0);
}

}  // namespace

int SetAngleTextStyle(int style, int raInDegrees) {
    AngleTextStyle = style;
    if (style == 3 && raInDegrees == 1) {
        RaInDegreesFlag = 1;
        return 3;
    }
    RaInDegreesFlag = 0;
    return 0;
}

void SetClockTextStyle(int style) { ClockTextStyle = style; }
int GetClockTextStyle() { return ClockTextStyle; }

char *FormatDeclinationMinutes(char *b, double v) { return FormatMember(kDeclinationMinutes, b, v); }
char *FormatLongitudeMinutes(char *b, double v) { return FormatMember(kLongitudeMinutes, b, v); }
char *FormatLongitude(char *b, double v) { return FormatMember(kLongitude, b, v); }
char *FormatDeclination(char *b, double v) { return FormatMember(kDeclination, b, v); }
char *FormatDeclinationColons(char *b, double v) { return FormatMember(kDeclinationColons, b, v); }
char *FormatDeclinationTenths(char *b, double v) { return FormatMember(kDeclinationTenths, b, v); }
char *FormatDeclinationHundredths(char *b, double v) {
    return FormatMember(kDeclinationHundredths, b, v);
}
char *FormatDeclinationBlanks(char *b, double v) { return FormatMember(kDeclinationBlanks, b, v); }
char *FormatDeclinationHundredthsBlanks(char *b, double v) {
    return FormatMember(kDeclinationHundredthsBlanks, b, v);
}

char *FormatRightAscensionMinutes(char *b, double v) { return FormatMember(kRaMinutes, b, v); }
char *FormatRightAscension(char *b, double v) { return FormatMember(kRa, b, v); }
char *FormatRightAscensionTenthMinutes(char *b, double v) {
    return FormatMember(kRaTenthMinutes, b, v);
}
char *FormatRightAscensionTenths(char *b, double v) { return FormatMember(kRaTenths, b, v); }
char *FormatRightAscensionHundredths(char *b, double v) { return FormatMember(kRaHundredths, b, v); }
char *FormatRightAscensionThousandths(char *b, double v) {
    return FormatMember(kRaThousandths, b, v);
}
char *FormatRightAscensionTenthsBlanks(char *b, double v) {
    return FormatMember(kRaTenthsBlanks, b, v);
}

char *FormatClockTime(char *b, double h) { return FormatClock(b, h, false, false); }
char *FormatClockTimeSeconds(char *b, double h) { return FormatClock(b, h, true, false); }
char *FormatClockTime24(char *b, double h) { return FormatClock(b, h, false, true); }
char *FormatClockTime24Seconds(char *b, double h) { return FormatClock(b, h, true, true); }

char *FormatJDesignation(char *buffer, double rightAscension, double declination) {
    if (!buffer) return buffer;
    const double hours = rightAscension * 12.0 / kPi;
    const double degrees = declination * 180.0 / kPi;
    if (!std::isfinite(hours) || !std::isfinite(degrees) || std::fabs(degrees) > 90.0) {
        std::snprintf(buffer, kJDesignationSize, "%s", kNoValueText);
        return buffer;
    }
    // Catalogue J names truncate every field. The tiny allowance only absorbs
    // binary rounding of values that are exact tenths of a second (56.7 s
    // stored as 56.69999...); it never moves a genuine value up a unit.
    const double allowance = 1e-7;
    double h = std::fmod(hours, 24.0);
    if (h < 0.0) h += 24.0;
    long long tenths = static_cast<long long>(std::floor(h * 36000.0 + allowance * 10.0));
    if (tenths >= 24LL * 36000) tenths = 0;
    const int rh = static_cast<int>(tenths / 36000);
    const int rm = static_cast<int>(tenths / 600 % 60);
    const int rs = static_cast<int>(tenths / 10 % 60);
    const int rt = static_cast<int>(tenths % 10);

    const double a = std::fabs(degrees);
    long long seconds = static_cast<long long>(std::floor(a * 3600.0 + allowance));
    if (seconds > 90LL * 3600) seconds = 90LL * 3600;
    const int dd = static_cast<int>(seconds / 3600);
    const int dm = static_cast<int>(seconds / 60 % 60);
    const int ds = static_cast<int>(seconds % 60);
    char text[48];
    std::snprintf(text, sizeof text, "J%2.2d%2.2d%2.2d.%d%c%02d%2.2d%2.2d", rh, rm, rs, rt,
                  degrees < 0.0 ? '-' : '+', dd, dm, ds);
    std::memcpy(buffer, text, kJDesignationSize - 1);  // always 16 characters
    buffer[kJDesignationSize - 1] = '\0';
    return buffer;
}

void SetLongitudeDisplayFlag(int value) { gLongitudeDisplayFlag = value; }
int GetLongitudeDisplayFlag() { return gLongitudeDisplayFlag; }

char *FormatDisplayLongitudeMinutes(char *buffer, double degrees) {
    return FormatLongitudeMinutes(buffer, DisplayedLongitude(degrees));
}

char *FormatDisplayLongitude(char *buffer, double degrees) {
    return FormatLongitude(buffer, DisplayedLongitude(degrees));
}

char *FormatDisplayLongitudeDegrees(char *buffer, double degrees) {
    if (!buffer) return buffer;
    const double v = DisplayedLongitude(degrees);
    if (!std::isfinite(v) || std::fabs(v) >= kLargestSplit) {
        WriteNoValue(buffer);
        return buffer;
    }
    const int whole = static_cast<int>(v < 0.0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5));
    WriteBounded(buffer, "%03d\xB0", whole);
    return buffer;
}

char *FormatAngleCompact(char *buffer, double angle) {
    if (!buffer) return buffer;
    const double degrees = angle * 180.0 / kPi;
    if (!std::isfinite(degrees)) {
        WriteNoValue(buffer);
        return buffer;
    }
    if (degrees < 1.0 / 60.0) {
        WriteBounded(buffer, "%02.0lf\"", degrees * 3600.0);
        return buffer;
    }
    if (degrees < 1.0) {
        FormatDeclination(buffer, degrees);
        const char *sign = std::strchr(buffer, '\xB0');
        return sign ? buffer + (sign - buffer) + 1 : buffer;
    }
    if (degrees < 10.0) return FormatDeclinationMinutes(buffer, degrees);
    WriteBounded(buffer, "%02.0lf\xB0", degrees);
    return buffer;
}

char *FormatAngleFine(char *buffer, double angle) {
    const double degrees = angle * 180.0 / kPi;
    if (degrees < 1.0 / 3600.0) return FormatDeclinationTenths(buffer, degrees);
    return FormatDeclination(buffer, degrees);
}
