// Reading and checking two-line element sets; the model choice and the
// perigee and apogee heights (Spacetrack Report No. 3, WGS-72 constants).
#include "ephem/tle.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/mathutil.h"

namespace {

const double kDegreesToRadians = 0.017453292519943295;
const double kTwoPi = 2.0 * kPi;
// Square root of GM in Earth radii^1.5 per minute (WGS-72).
const double kKe = 0.07436691613317341;
// k2 = J2 / 2 with the WGS-72 J2 = 0.001082616 that the propagators use
// (the report's rounded 0.0005413079 moves the recovered mean motion of an
// eccentric orbit by parts in 10^8: hundreds of metres within an hour).
const double kK2 = 0.5 * 0.001082616;
// Corrected periods from this many days on go to the deep-space model.
const double kDeepSpacePeriodDays = 0.15625;
const int kLineLength = 69;

// Copies the columns first..last (1-based) of a line into a bounded buffer;
// the fields are fixed-width and abut each other, so a conversion must never
// run on into the next field. A line that ends early leaves the rest empty.
void CopyColumns(const char *line, int first, int last, char *out, size_t size) {
    size_t n = 0;
    size_t length = std::strlen(line);
    for (int c = first; c <= last && n + 1 < size; ++c) {
        if (static_cast<size_t>(c - 1) >= length) break;
        out[n++] = line[c - 1];
    }
    out[n] = '\0';
}

// The real number of the columns; 0 with *ok cleared when they hold none
// (blank fields read as 0 and are accepted when blankIsZero).
double ReadDecimalColumns(const char *line, int first, int last, bool blankIsZero, bool *ok) {
    char buffer[32];
    CopyColumns(line, first, last, buffer, sizeof buffer);
    const char *p = buffer;
    while (*p == ' ') ++p;
    if (*p == '\0') {
        if (!blankIsZero) *ok = false;
        return 0.0;
    }
    char *end = nullptr;
    double value = std::strtod(p, &end);
    if (end == p) {
        *ok = false;
        return 0.0;
    }
    while (*end == ' ') ++end;
    if (*end != '\0') *ok = false;  // "12.3x4": not a number as a whole
    return value;
}

// The exponent field with a check of its form: sign, five digits, exponent
// sign, exponent digit (blanks allowed for a leading sign and for zeros).
double ReadExponentColumns(const char *line, int first, bool *ok) {
    char buffer[16];
    CopyColumns(line, first, first + 7, buffer, sizeof buffer);
    if (std::strlen(buffer) < 8) {
        *ok = false;
        return 0.0;
    }
    for (int i = 1; i <= 5; ++i) {
        char c = buffer[i];
        if (!(c == ' ' || (c >= '0' && c <= '9'))) *ok = false;
    }
    if (!(buffer[0] == ' ' || buffer[0] == '-' || buffer[0] == '+')) *ok = false;
    if (!(buffer[6] == ' ' || buffer[6] == '-' || buffer[6] == '+')) *ok = false;
    if (!(buffer[7] == ' ' || (buffer[7] >= '0' && buffer[7] <= '9'))) *ok = false;
    return ParseTwoLineExponentField(buffer);
}

}  // namespace

int CheckTwoLineChecksum(const char *line) {
    if (!line || !((line[0] == '1' || line[0] == '2') && line[1] == ' ')) return kTleNoLineNumber;
    int sum = 0;
    for (int i = 0; i < kLineLength - 1; ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (c < ' ' || c > 'z') return kTleBadCharacter;
        if (c >= '1' && c <= '9') sum += c - '0';
        else if (c == '-') sum += 1;
    }
    unsigned char check = static_cast<unsigned char>(line[kLineLength - 1]);
    if (check < '0' || check > '9') return kTleBadCharacter;
    // Column 70 and later: only blanks, or CR/LF/the end (a trailing blank is
    // the common padding of fixed 80-column files).
    for (const char *p = line + kLineLength; *p && *p != '\r' && *p != '\n'; ++p) {
        if (static_cast<unsigned char>(*p) > ' ') return kTleTextAfterCheck;
    }
    int difference = (sum - (check - '0')) % 10;
    if (difference < 0) difference += 10;
    return difference;
}

double ParseTwoLineExponentField(const char *field) {
    if (!field || field[0] == '\0' || field[1] == ' ' || field[1] == '\0') return 0.0;
    char text[24];
    size_t n = 0;
    if (field[0] == '-') text[n++] = '-';
    text[n++] = '.';
    for (int i = 1; i <= 5 && field[i]; ++i) text[n++] = field[i] == ' ' ? '0' : field[i];
    text[n++] = 'E';
    if (std::strlen(field) >= 8) {
        if (field[6] == '-') text[n++] = '-';
        text[n++] = field[7] == ' ' ? '0' : field[7];
    } else {
        text[n++] = '0';
    }
    text[n] = '\0';
    return std::strtod(text, nullptr);
}

int32_t ParseSatelliteNumber(const char *line) {
    if (!line || std::strlen(line) < 7) return -1;
    char field[6];
    CopyColumns(line, 3, 7, field, sizeof field);
    int32_t value = 0;
    int start = 0;
    char first = field[0];
    if (first >= 'A' && first <= 'Z') {
        if (first == 'I' || first == 'O') return -1;
        // Alpha-5: A = 10, B = 11, ... skipping I and O.
        int letter = first - 'A';
        if (first > 'I') --letter;
        if (first > 'O') --letter;
        value = (10 + letter) * 10000;
        start = 1;
    }
    bool digits = false;
    int32_t rest = 0;
    for (int i = start; i < 5; ++i) {
        char c = field[i];
        if (c == ' ' && !digits && start == 0) continue;  // right-aligned numbers
        if (c < '0' || c > '9') return -1;
        rest = rest * 10 + (c - '0');
        digits = true;
    }
    if (!digits) return -1;
    return value + rest;
}

int ParseTwoLineElements(const char *line1, const char *line2, TwoLineElementSet *out) {
    if (out) std::memset(out, 0, sizeof *out);
    if (!line1 || !line2 || line1[0] != '1' || line2[0] != '2') return kTleWrongLineNumbers;
    int result = 0;
    int r = CheckTwoLineChecksum(line1);
    if (r < 0) return r + kTleLine1Offset;
    if (r > 0) result += kTleBadLine1Check;
    r = CheckTwoLineChecksum(line2);
    if (r < 0) return r;
    if (r > 0) result += kTleBadLine2Check;
    if (!out) return result;

    bool ok = true;
    // Epoch: two-digit year (57-99 the 1900s, 00-56 the 2000s) and day.
    char yearText[3];
    CopyColumns(line1, 19, 20, yearText, sizeof yearText);
    if (!(yearText[0] >= '0' && yearText[0] <= '9' && yearText[1] >= '0' && yearText[1] <= '9'))
        ok = false;
    int yy = std::atoi(yearText);
    int y = yy < 57 ? yy + 100 : yy;  // years since 1900
    double day = ReadDecimalColumns(line1, 21, 32, false, &ok);
    out->epoch = 2415019.5 + 365.0 * y + std::floor((y - 1) / 4.0) + day;
    out->meanMotionRateHalf =
        ReadDecimalColumns(line1, 34, 43, true, &ok) * kTwoPi / (kMinutesPerDay * kMinutesPerDay);
    out->meanMotionSecond = ReadExponentColumns(line1, 45, &ok) * kTwoPi /
                            (kMinutesPerDay * kMinutesPerDay * kMinutesPerDay);
    out->bstar = ReadExponentColumns(line1, 54, &ok);

    out->inclination = ReadDecimalColumns(line2, 9, 16, false, &ok) * kDegreesToRadians;
    out->ascendingNode = ReadDecimalColumns(line2, 18, 25, false, &ok) * kDegreesToRadians;
    char eccentricity[12] = ".";
    CopyColumns(line2, 27, 33, eccentricity + 1, sizeof eccentricity - 1);
    for (char *p = eccentricity + 1; *p; ++p) {
        if (*p == ' ') *p = '0';
        else if (*p < '0' || *p > '9') ok = false;
    }
    out->eccentricity = std::strtod(eccentricity, nullptr);
    out->argumentOfPerigee = ReadDecimalColumns(line2, 35, 42, false, &ok) * kDegreesToRadians;
    out->meanAnomaly = ReadDecimalColumns(line2, 44, 51, false, &ok) * kDegreesToRadians;
    out->meanMotion = ReadDecimalColumns(line2, 53, 63, false, &ok) * kTwoPi / kMinutesPerDay;
    if (ParseSatelliteNumber(line1) < 0 || ParseSatelliteNumber(line2) < 0) ok = false;
    if (!(out->meanMotion > 0.0) || !(out->eccentricity >= 0.0 && out->eccentricity < 1.0))
        ok = false;
    return ok ? result : kTleBadField;
}

void RecoverMeanMotion(const TwoLineElementSet *elements, double *semiMajorAxis,
                       double *meanMotion) {
    double n = elements->meanMotion;
    double e = elements->eccentricity;
    double cosi = std::cos(elements->inclination);
    double a1 = std::pow(kKe / n, 2.0 / 3.0);
    double term = 1.5 * kK2 * (3.0 * cosi * cosi - 1.0) / std::pow(1.0 - e * e, 1.5);
    double d1 = term / (a1 * a1);
    double a0 = a1 * (1.0 - d1 * (1.0 / 3.0 + d1 * (1.0 + 134.0 / 81.0 * d1)));
    double d0 = term / (a0 * a0);
    const double recovered = n / (1.0 + d0);
    if (meanMotion) *meanMotion = recovered;
    // The semi-major axis of the recovered mean motion by Kepler's third
    // law, as "Revisiting Spacetrack Report #3" takes it (the report's
    // a0 / (1 - d0) parts from it at the order of d0 squared, which for an
    // eccentricity near 1 moves the secular rates by parts in 10,000).
    if (semiMajorAxis) *semiMajorAxis = std::pow(kKe / recovered, 2.0 / 3.0);
}

int IsDeepSpaceOrbit(const TwoLineElementSet *elements) {
    if (!elements || !(elements->meanMotion > 0.0)) return 0;
    double n = 0.0;
    RecoverMeanMotion(elements, nullptr, &n);
    return kTwoPi / (n * kMinutesPerDay) >= kDeepSpacePeriodDays ? 1 : 0;
}

double ComputePerigeeHeight(const TwoLineElementSet *elements) {
    double a = 0.0;
    RecoverMeanMotion(elements, &a, nullptr);
    return (a * (1.0 - elements->eccentricity) - 1.0) * kSatelliteEarthRadiusKm;
}

double ComputeApogeeHeight(const TwoLineElementSet *elements) {
    double a = 0.0;
    RecoverMeanMotion(elements, &a, nullptr);
    return (a * (1.0 + elements->eccentricity) - 1.0) * kSatelliteEarthRadiusKm;
}

double WrapTwoPi(double angle) {
    double r = std::fmod(angle, kTwoPi);
    if (r < 0.0) r += kTwoPi;
    if (r >= kTwoPi) r = 0.0;
    return r;
}
