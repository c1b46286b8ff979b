// Readers of the packaged minor-planet database and the position handle of
// a packaged minor planet; the coarse track of an orbit.
#include "core/safefile.h"
#include "minorbodies/mpdatabase.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <new>

#include "astro/datetime.h"
#include "astro/deltat.h"
#include "astro/sidereal.h"
#include "core/mathutil.h"
#include "core/textutil.h"
#include "minorbodies/dbfolders.h"

namespace {

const char *const kBaseNames[] = {"mp_data", "mp_names", "mp_alpha", "comets", "cnames", "limits"};
const double kTwoPi = 2.0 * kPi;
const double kTurnScale = 2147483647.0;
const double kArcsecond = kPi / 648000.0;
// Linearity limit of a track at its half steps, and the nearest approach.
const double kTrackLinearityLimit = 58.0 * kArcsecond;
const double kTrackNearestDistance = 0.21;

FILE *OpenDatabaseFile(int index) {
    char path[kMinorBodyPathSize];
    FormatMinorBodyDatabasePath(path, index);
    return std::fopen(path, "rb");
}


// Julian date as Julian centuries TT for a date record built with the
// modelled Delta T.
void CompleteDate(DateRecord *date, double jd) {
    std::memset(date, 0, sizeof *date);
    date->julianDate = jd;
    SetDateRecordFromJulianDate(nullptr, date);
    ComputeDeltaTAndNutation(date, ComputeModelDeltaTSeconds(date->decimalYear, jd));
}

}  // namespace

char *FormatMinorBodyDatabasePath(char *buffer, int index) {
    if (!buffer) return buffer;
    buffer[0] = '\0';
    if (index < 0 || index > kMinorBodyFileLimits) return buffer;
    const char *folder = GetMinorBodyDatabaseFolder(0);
    std::snprintf(buffer, kMinorBodyPathSize, "%s%s.bin", folder ? folder : "", kBaseNames[index]);
    return buffer;
}

void ClearElementFileLimits(ElementFileLimits *limits) {
    if (limits) limits->first = limits->last = 0;
}

int32_t GetElementFileNumber(ElementFileLimits *limits, double T, int *clamped) {
    if (!limits) return 0;
    if (limits->first == 0 || limits->last == 0) {
        FILE *f = OpenDatabaseFile(kMinorBodyFileLimits);
        if (!f) return 0;
        int32_t pair[2];
        bool ok = std::fread(pair, sizeof(int32_t), 2, f) == 2;
        std::fclose(f);
        if (!ok) return 0;
        limits->first = pair[0];
        limits->last = pair[1];
    }
    if (clamped) *clamped = 0;
    double jd = JulianDateFromCenturies(T);
    double x = (jd - 0.5) * 0.025 + 0.5;
    if (!std::isfinite(x) || std::fabs(x) > 2e9) x = x > 0 ? 2e9 : -2e9;
    int32_t n = static_cast<int32_t>(x);
    if (n < limits->first) {
        n = limits->first;
        if (clamped) *clamped = 1;
    } else if (n > limits->last) {
        n = limits->last;
        if (clamped) *clamped = 1;
    }
    return n;
}

double GetElementFileEpoch(int32_t n) { return 40.0 * n + 0.5; }

FILE *OpenElementFile(ElementFileLimits *limits, double T, int *clamped) {
    const char *folder = GetMinorBodyDatabaseFolder(1);
    if (!folder) return nullptr;
    ClearElementFileLimits(limits);
    int32_t n = GetElementFileNumber(limits, T, clamped);
    char path[kMinorBodyPathSize];
    std::snprintf(path, sizeof path, "%selements/%ld.bin", folder, static_cast<long>(n));
    return std::fopen(path, "rb");
}

int ReadElementFileRecord(FILE *stream, int32_t number, ElementFileRecord *record) {
    if (!stream || !record || number < 1) return 0;
    if (!SafeSeek(stream, (static_cast<long long>(number) - 1) * 135)) return 0;
    return std::fread(record, sizeof *record, 1, stream) == 1 ? 1 : 0;
}

FILE *OpenMinorPlanetDataFile() { return OpenDatabaseFile(kMinorBodyFileData); }

int ReadMinorPlanetData(FILE *stream, int32_t number, MinorPlanetDataRecord *record) {
    if (!stream || !record || number < 1) return 0;
    if (!SafeSeek(stream, (static_cast<long long>(number) - 1) * 24)) return 0;
    return std::fread(record, sizeof *record, 1, stream) == 1 ? 1 : 0;
}

FILE *OpenMinorPlanetNameFile() { return OpenDatabaseFile(kMinorBodyFileNames); }

int ReadMinorPlanetName(FILE *stream, int32_t number, char *text) {
    if (!stream || !text) return 0;
    if (number != -1 &&
        (number < 1 || !SafeSeek(stream, (static_cast<long long>(number) - 1) * kMinorPlanetNameLength)))
        return 0;
    if (std::fread(text, 1, kMinorPlanetNameLength, stream) != kMinorPlanetNameLength) {
        text[0] = '\0';
        return 0;
    }
    text[kMinorPlanetNameLength] = '\0';
    return 1;
}

FILE *OpenMinorPlanetAlphaAtLetter(char letter, int *count) {
    FILE *f = OpenDatabaseFile(kMinorBodyFileAlpha);
    if (!f) return nullptr;
    char wanted = letter == ' ' ? ' '
                                : static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    for (int i = 0; i < kNameLetterGroups; ++i) {
        NameLetterGroup g;
        if (std::fread(&g, sizeof g, 1, f) != 1) break;
        if (letter == ' ' ? i == 0 : g.letter == wanted) {
            if (g.count < 0 || g.offset < kAlphaEntriesOffset || !SafeSeek(f, g.offset)) break;
            if (count) *count = g.count;
            return f;
        }
    }
    std::fclose(f);
    return nullptr;
}

int ReadMinorPlanetAlphaEntry(FILE *stream, int32_t n, char *name, int32_t *number) {
    if (!stream) return 0;
    if (n != -1 && (n < 0 || !SafeSeek(stream, kAlphaEntriesOffset + 19LL * n))) return 0;
    MinorPlanetNameEntry e;
    if (std::fread(&e, sizeof e, 1, stream) != 1) return 0;
    if (name) {
        std::memcpy(name, e.name, kMinorPlanetNameLength);
        name[kMinorPlanetNameLength] = '\0';
    }
    if (number) *number = e.number;
    long long pos = ftell(stream);
    return pos < kAlphaEntriesOffset ? 0 : static_cast<int>((pos - kAlphaEntriesOffset) / 19);
}

int32_t FindMinorPlanetNumberByName(const char *name) {
    if (!name || !name[0]) return 0;
    int count = 0;
    FILE *f = OpenMinorPlanetAlphaAtLetter(name[0], &count);
    if (!f) return 0;
    int32_t found = 0;
    for (int i = 0; i < count; ++i) {
        char entry[kMinorPlanetNameLength + 1];
        int32_t number = 0;
        if (!ReadMinorPlanetAlphaEntry(f, -1, entry, &number)) break;
        TrimTrailingBlanks(entry);
        if (CompareStringsNoCase(entry, name) == 0) {
            found = number;
            break;
        }
    }
    std::fclose(f);
    return found;
}

MinorPlanetEphemeris *OpenMinorPlanetEphemeris() {
    MinorPlanetEphemeris *h = new (std::nothrow) MinorPlanetEphemeris;
    if (!h) return nullptr;
    std::memset(h, 0, sizeof *h);
    h->dataFile = OpenMinorPlanetDataFile();
    if (!h->dataFile) {
        delete h;
        return nullptr;
    }
    return h;
}

void CloseMinorPlanetEphemeris(MinorPlanetEphemeris *h) {
    if (!h) return;
    if (h->elementFile) std::fclose(h->elementFile);
    if (h->dataFile) std::fclose(h->dataFile);
    delete h;
}

int ComputeMinorPlanetPosition(MinorPlanetEphemeris *h, const DateRecord *date, int32_t number,
                               double *ra, double *dec, double *r, double *delta,
                               double *elongation, double *magnitude) {
    if (!h || !date || number < 1) return 0;
    int clamped = 0;
    int32_t n = GetElementFileNumber(&h->limits, date->centuriesTT, &clamped);
    bool changed = false;
    if (n != h->elementFileNumber || !h->elementFile) {
        if (h->elementFile) std::fclose(h->elementFile);
        h->elementFile = nullptr;
        h->loadedNumber = 0;
        int clamped2 = 0;
        h->elementFile = OpenElementFile(&h->limits, date->centuriesTT, &clamped2);
        if (!h->elementFile) return 0;
        if (clamped2) clamped = 1;
        h->elementFileNumber = n;
        changed = true;
    }
    if (number != h->loadedNumber || changed) {
        h->loadedNumber = 0;
        ElementFileRecord e;
        MinorPlanetDataRecord d;
        if (!ReadElementFileRecord(h->elementFile, number, &e) ||
            !ReadMinorPlanetData(h->dataFile, number, &d))
            return 0;
        // An unused record (a gap in the numbering) builds no orbit: without
        // this check the handle would keep part of the previous object.
        if (!InitOrbitRecord(&h->orbit, e.perihelionTime, 0, 0, e.semiMajorAxis, 0, e.eccentricity,
                             e.perihelion, e.node, e.inclination, 0, d.H, d.G,
                             kMagnitudeModelAsteroid))
            return 0;
        ComputeOrbitVectors(&h->orbit);
        h->loadedNumber = number;
    }
    ComputeMinorBodyPosition(date, &h->orbit, ra, dec, r, delta, nullptr, elongation, magnitude);
    return clamped ? -1 : 1;
}

uint8_t EncodeTrackMagnitude(double m) {
    double c = (m - 4.0) / 23.0 * 255.0;
    if (!(c >= 1.0)) return 1;  // also NaN
    if (c >= 255.0) return 255;
    return static_cast<uint8_t>(std::floor(c + 0.5));
}

double DecodeTrackMagnitude(uint8_t code) { return code * 23.0 / 255.0 + 4.0; }

int32_t EncodeTurnFraction(double radians) {
    double x = radians / kTwoPi * kTurnScale;
    if (!(std::fabs(x) <= kTurnScale)) x = 0.0;
    return static_cast<int32_t>(x < 0 ? std::ceil(x - 0.5) : std::floor(x + 0.5));
}

double DecodeTurnFraction(int32_t value) { return value * kTwoPi / kTurnScale; }

void ComputeOrbitTrack(const OrbitRecord *orbit, double epochJD,
                       TrackSample samples[kTrackSampleCount]) {
    std::memset(samples, 0, sizeof(TrackSample) * kTrackSampleCount);
    double jd = epochJD - 20.0;
    double prevRa = 0.0, prevDec = 0.0;
    bool unusable = false;
    for (int k = 0; k < kTrackSampleCount; ++k) {
        DateRecord date;
        CompleteDate(&date, jd);
        double ra, dec, delta, m;
        ComputeMinorBodyPosition(&date, orbit, &ra, &dec, nullptr, &delta, nullptr, nullptr, &m);
        samples[k].rightAscension = EncodeTurnFraction(ra);
        samples[k].declination = EncodeTurnFraction(dec);
        samples[k].magnitudeCode = EncodeTrackMagnitude(m);
        if (delta < kTrackNearestDistance) unusable = true;
        if (k == 1 || k == 5 || k == 10) {
            DateRecord half;
            CompleteDate(&half, jd - kTrackStepDays / 2.0);
            double hra, hdec, hdelta;
            ComputeMinorBodyPosition(&half, orbit, &hra, &hdec, nullptr, &hdelta, nullptr, nullptr,
                                     nullptr);
            double a = prevRa, b = ra;
            if (std::fabs(a - b) > kPi) {
                if (a < kPi) a += kTwoPi;
                if (b < kPi) b += kTwoPi;
            }
            double mra = ReduceModuloPositive((a + b) / 2.0, kTwoPi);
            double mdec = (prevDec + dec) / 2.0;
            if (AngularSeparation(hra, hdec, mra, mdec) > kTrackLinearityLimit ||
                hdelta < kTrackNearestDistance)
                unusable = true;
        }
        if (unusable) break;
        prevRa = ra;
        prevDec = dec;
        jd += kTrackStepDays;
    }
    if (unusable) samples[0].magnitudeCode = 0;
}

int FindTrackInterval(int count, double startJD, double jd, double *fraction) {
    if (count < 2) return -1;
    double d = 40.0 / (count - 1);
    double x = (jd - startJD) / d;
    if (!(std::fabs(x) < 1e9)) return -1;
    int i = static_cast<int>(x);  // towards zero
    if (i < 0 || i + 1 >= count) return -1;
    double f = (jd - (startJD + d * i)) / d;
    if (!(f >= 0.0 && f <= 1.0)) return -1;
    if (fraction) *fraction = f;
    return i;
}

void InterpolateTrack(const TrackSample *s, int i, double f, double *ra, double *dec,
                      double *magnitude) {
    double r0 = DecodeTurnFraction(s[i].rightAscension), r1 = DecodeTurnFraction(s[i + 1].rightAscension);
    if (std::fabs(r0 - r1) > kPi) {
        if (r0 < kPi) r0 += kTwoPi;
        if (r1 < kPi) r1 += kTwoPi;
    }
    double d0 = DecodeTurnFraction(s[i].declination), d1 = DecodeTurnFraction(s[i + 1].declination);
    double m0 = DecodeTrackMagnitude(s[i].magnitudeCode);
    double m1 = DecodeTrackMagnitude(s[i + 1].magnitudeCode);
    if (ra) *ra = r0 + f * (r1 - r0);
    if (dec) *dec = d0 + f * (d1 - d0);
    if (magnitude) *magnitude = m0 + f * (m1 - m0);
}
