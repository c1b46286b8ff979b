// The lunation series of the Moon's phases (Meeus, Astronomical Algorithms,
// ch. 49) and the Moon's age.
#include "ephem/moonphases.h"

#include <cmath>
#include <limits>

#include "astro/datetime.h"
#include "core/mathutil.h"

namespace {
const double kDegree = kPi / 180.0;

double Radians(double degrees) {
    double r = std::fmod(degrees, 360.0);
    if (r < 0.0) r += 360.0;
    return r * kDegree;
}
}  // namespace

double ComputeMoonPhaseOfLunation(double k, int phase) {
    if (phase < kNewMoon || phase > kLastQuarter) return std::numeric_limits<double>::quiet_NaN();
    const double t = k / 1236.85, t2 = t * t, t3 = t2 * t, t4 = t3 * t;
    double jde = 2451550.09765 + 29.530588853 * k + 0.0001337 * t2 - 0.00000015 * t3 +
                 0.00000000073 * t4;
    const double e = 1.0 - 0.002516 * t - 0.0000074 * t2;
    const double m = Radians(2.5534 + 29.10535669 * k - 0.0000218 * t2 - 0.00000011 * t3);
    const double mp = Radians(201.5643 + 385.81693528 * k + 0.0107438 * t2 + 0.00001239 * t3 -
                              0.000000058 * t4);
    const double f = Radians(160.7108 + 390.67050274 * k - 0.0016341 * t2 - 0.00000227 * t3 +
                             0.000000011 * t4);
    const double om = Radians(124.7746 - 1.5637558 * k + 0.0020691 * t2 + 0.00000215 * t3);
    using std::cos;
    using std::sin;
    double c = 0.0;
    if (phase == kNewMoon || phase == kFullMoon) {
        if (phase == kNewMoon)
            c = -0.4072 * sin(mp) + 0.17241 * e * sin(m) + 0.01608 * sin(2 * mp) +
                0.01039 * sin(2 * f) + 0.00739 * e * sin(mp - m) - 0.00514 * e * sin(mp + m) +
                0.00208 * e * e * sin(2 * m);
        else
            c = -0.40614 * sin(mp) + 0.17302 * e * sin(m) + 0.01614 * sin(2 * mp) +
                0.01043 * sin(2 * f) + 0.00734 * e * sin(mp - m) - 0.00515 * e * sin(mp + m) +
                0.00209 * e * e * sin(2 * m);
        c += -0.00111 * sin(mp - 2 * f) - 0.00057 * sin(mp + 2 * f) + 0.00056 * e * sin(2 * mp + m) -
             0.00042 * sin(3 * mp) + 0.00042 * e * sin(m + 2 * f) + 0.00038 * e * sin(m - 2 * f) -
             0.00024 * e * sin(2 * mp - m) - 0.00017 * sin(om) - 0.00007 * sin(mp + 2 * m) +
             0.00004 * sin(2 * mp - 2 * f) + 0.00004 * sin(3 * m) + 0.00003 * sin(mp + m - 2 * f) +
             0.00003 * sin(2 * mp + 2 * f) - 0.00003 * sin(mp + m + 2 * f) +
             0.00003 * sin(mp - m + 2 * f) - 0.00002 * sin(mp - m - 2 * f) -
             0.00002 * sin(3 * mp + m) + 0.00002 * sin(4 * mp);
    } else {
        c = -0.62801 * sin(mp) + 0.17172 * e * sin(m) - 0.01183 * e * sin(mp + m) +
            0.00862 * sin(2 * mp) + 0.00804 * sin(2 * f) + 0.00454 * e * sin(mp - m) +
            0.00204 * e * e * sin(2 * m) - 0.0018 * sin(mp - 2 * f) - 0.0007 * sin(mp + 2 * f) -
            0.0004 * sin(3 * mp) - 0.00034 * e * sin(2 * mp - m) + 0.00032 * e * sin(m + 2 * f) +
            0.00032 * e * sin(m - 2 * f) - 0.00028 * e * e * sin(mp + 2 * m) +
            0.00027 * e * sin(2 * mp + m) - 0.00017 * sin(om) - 0.00005 * sin(mp - m - 2 * f) +
            0.00004 * sin(2 * mp + 2 * f) - 0.00004 * sin(mp + m + 2 * f) +
            0.00004 * sin(mp - 2 * m) + 0.00003 * sin(mp + m - 2 * f) + 0.00003 * sin(3 * m) +
            0.00002 * sin(2 * mp - 2 * f) + 0.00002 * sin(mp - m + 2 * f) -
            0.00002 * sin(3 * mp + m);
        double w = 0.00306 - 0.00038 * e * cos(m) + 0.00026 * cos(mp) - 0.00002 * cos(mp - m) +
                   0.00002 * cos(mp + m) + 0.00002 * cos(2 * f);
        c += phase == kFirstQuarter ? w : -w;
    }
    static const double kA[14][2] = {
        {251.88, 0.016321}, {251.83, 26.651886}, {349.42, 36.412478}, {84.66, 18.206239},
        {141.74, 53.303771}, {207.14, 2.453732}, {154.84, 7.30686},   {34.52, 27.261239},
        {207.19, 0.121824}, {291.34, 1.844379},  {161.72, 24.198154}, {239.56, 25.513099},
        {331.55, 3.592518}, {0.0, 0.0},
    };
    static const double kAmp[14] = {0.000325, 0.000165, 0.000164, 0.000126, 0.00011,
                                    0.000062, 0.00006,  0.000056, 0.000047, 0.000042,
                                    0.00004,  0.000037, 0.000035, 0.000023};
    double extra = kAmp[0] * sin((299.77 + 0.107408 * k - 0.009173 * t2) * kDegree);
    for (int i = 1; i < 14; ++i)
        extra += kAmp[i] * sin((kA[i - 1][0] + kA[i - 1][1] * k) * kDegree);
    return jde + c + extra;
}

double ComputeMoonPhaseTime(double decimalYear, int phase) {
    if (phase < kNewMoon || phase > kLastQuarter) return std::numeric_limits<double>::quiet_NaN();
    double c = (decimalYear - 2000.0) * 12.3685;
    // Rounded down, so that dates before 2000 are treated as those after.
    double k0 = std::floor(c);
    static const double kOffsets[4] = {1.0, 0.25, 0.5, 0.75};
    double k = k0 + kOffsets[phase];
    if (c - 0.25 >= k) k += 1.0;
    return ComputeMoonPhaseOfLunation(k, phase);
}

double ComputeMoonAge(const DateRecord *date) {
    if (!date) return -1.0;
    double c = (DecimalYearFromDate(date->month, date->day, date->year, date->universalHours) -
                2000.0) *
               12.3685;
    double k = std::floor(c) + 1.0;
    // At most a few lunations back from the one after the date.
    for (int i = 0; i < 8; ++i, k -= 1.0) {
        double newMoon = ComputeMoonPhaseOfLunation(k, kNewMoon) - date->deltaT;
        if (date->julianDate >= newMoon) return date->julianDate - newMoon;
    }
    return -1.0;
}
