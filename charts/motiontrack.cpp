// Setting up motion tracks: the time step, its rounding, the ticks and their
// date labels, and the minor-body orbits a track carries.
#include "charts/motiontrack.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "astro/angletext.h"
#include "astro/chartgeom.h"
#include "astro/precession.h"
#include "astro/sidereal.h"
#include "charts/chartcontext.h"
#include "charts/charttime.h"
#include "charts/solarlayer.h"
#include "core/mathutil.h"
#include "ephem/parallax.h"
#include "ephem/physical.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"
#include "minorbodies/cometdb.h"
#include "minorbodies/mpdatabase.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "objects/binaryorbitcat.h"
#include "objects/ccdmcat.h"
#include "objects/ccdmcomponent.h"
#include "objects/starcat.h"

namespace {

// Labels are cut at their buffer's size by design.
void PutText(char *buffer, int size, const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, static_cast<size_t>(size), format, args);
    va_end(args);
}

const double kDaysPerCentury = 36525.0;
const double kDaysPerYear = 365.25;
const double kMinute = 1.0 / 1440.0;
const double kHour = 1.0 / 24.0;
const double kHalfHour = 0.020833333333333332;
// The trial steps of the step search (days) and its bounds.
const double kTrialStepMoon = 1.0, kTrialStepInner = 2.0, kTrialStepOuter = 10.0;
const double kTrialStepFraction = 0.1;
const double kShortSpan = 2.0;
const int kStepSearchRounds = 10;
const double kStepSearchGrowth = 4.0;
// Ticks: round(spacing x 3.5 / pixel step) steps apart, spacing x 1.75 pixels.
const double kTickSpacingFactor = 3.5;
// Jupiter's polar offsets are stretched by its flattening.
const double kJupiterFlattening = 1.071374;
// A history point nearer than 5 pixels does not give a direction.
const int kTickDirectionDistanceSquared = 25;
const int kSampleObjectDoubleStar = 5;
const double kNoPositionAngle = 361.0;  // a component without a measure

double RoundHalfAway(double x) { return x < 0 ? -std::floor(-x + 0.5) : std::floor(x + 0.5); }

bool IsMinorClass(int c) {
    return c == kHitClassComet || c == kHitClassMinorPlanet || c == kHitClassUserComet ||
           c == kHitClassUserMinorPlanet;
}

}  // namespace

int PlaceCompanion(ChartContext *c, MotionTrack *t, double *longitude, double *latitude) {
    if (!c || !t || !longitude || !latitude) return 0;
    double pa = 0, separation = 0;
    if (!ComputeBinaryPositionAngle(t->orbitNumber, &t->binary, c->currentDate.decimalYear,
                                    t->orbitCorrection, &pa, &separation))
        return 0;
    double ra = 0, dec = 0;
    ComputeOffsetPosition(pa * kPi / 180.0, separation * kPi / 648000.0, t->primaryRightAscension,
                          t->primaryDeclination, &ra, &dec);
    if (ConvertToChartFrame(c, &ra, &dec, t->primaryMotionRightAscension,
                            t->primaryMotionDeclination) != 1)
        return 0;
    *longitude = ra;
    *latitude = dec;
    return 1;
}

namespace {

// The double star's orbit: the star (index) must belong to a double-star
// system whose first component with an orbit is measured from it; the
// primary's place (the star's, or offset from it by the catalogue's measure
// when the reference component has no star of its own) and the orbit go into
// the track. 1, or 0 when something cannot be read or names another star.
int OpenDoubleStarTrack(MotionTrack *t, int32_t index, char *label) {
    StarRecord star;
    FILE *stars = OpenStarCatalogue();
    if (!stars) return 0;
    int read = ReadStarRecord(stars, index, &star, nullptr,
                              kStarReadName | kStarReadMotion | kStarReadIdentifiers | 0x01);
    std::fclose(stars);
    if (!read || star.ccdm_record <= 0) return 0;
    CcdmFiles *ccdm = OpenCcdmFiles();
    if (!ccdm) return 0;
    std::vector<CcdmComponent> components(kMaxCcdmComponents);
    int primary = 0;
    int count = ReadCcdmRecord(ccdm, star.ccdm_record, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, &primary, nullptr, nullptr, components.data(), 0x5a);
    CloseCcdmFiles(ccdm);
    if (count <= 0) return 0;
    int k = 0;
    while (k < count && components[k].orbitNumber == 0) ++k;
    if (k == count) return 0;
    const CcdmComponent &companion = components[k];
    const char reference = companion.referenceLetter;
    t->primaryRightAscension = star.ra;
    t->primaryDeclination = star.dec;
    t->primaryMotionRightAscension = star.pm_ra;
    t->primaryMotionDeclination = star.pm_dec;
    if (reference == 'A' || reference == ' ' || reference == 0) {
        if (primary != index) return 0;
    } else {
        int r = 0;
        while (r < count && components[r].letter != reference) ++r;
        if (r == count) return 0;
        const CcdmComponent &row = components[r];
        if (row.starNumber != index) {
            // The reference component has no star of its own: it stands at
            // the catalogue's measure from the star asked for.
            if (row.starNumber != 0 || row.positionAngle == kNoPositionAngle) return 0;
            double ra = 0, dec = 0;
            ComputeOffsetPosition(row.positionAngle * kPi / 180.0,
                                  row.separation * kPi / 648000.0, star.ra, star.dec, &ra, &dec);
            t->primaryRightAscension = ra;
            t->primaryDeclination = dec;
        }
    }
    OrbitFiles *orbits = OpenBinaryOrbitFiles();
    if (!orbits) return 0;
    int ok = ReadBinaryOrbit(orbits, companion.orbitNumber, &t->binary, nullptr, nullptr, nullptr);
    CloseBinaryOrbitFiles(orbits);
    if (!ok || !(t->binary.period > 0)) return 0;
    t->orbitNumber = companion.orbitNumber;
    t->binaryReserved[0] = t->binaryReserved[1] = 0;
    t->orbitCorrection = BinaryOrbitPrecessionCorrection(t->orbitNumber, &t->binary);
    if (t->onePeriod) t->span[0] = t->binary.period * kDaysPerYear;
    star.name[sizeof star.name - 1] = '\0';
    if (label) PutText(label, kTrackLabelSize, "%s %c", star.name, companion.letter);
    return 1;
}

// The object's place at the current date in the chart frame, projected.
int PlaceTrackObject(ChartContext *c, MotionTrack *t, int objectClass, int satellite, int index,
                     int kind, int slot, int *x, int *y, double *trial) {
    double lon = 0, lat = 0;
    const double span = t->span[0];
    if (kind == kSetUpOwnMotion && objectClass == kHitClassSolarSystem) {
        double distance = 0, m = 0;
        HeliocentricPlace earth = ComputeEarthHeliocentric(&c->currentDate);
        if (!ComputeSolarObjectPlace(c, nullptr, objectClass, satellite, index, nullptr, &t->body,
                                     earth, &lon, &lat, &distance, &m, nullptr))
            return 0;
        if (c->frameMode != kFrameJ2000) ComputeBodyTopocentric(&c->site, &c->currentDate, &t->body);
        int ok = satellite == 0 ? ConvertBodyToChartFrame(c, &t->body, &lon, &lat, &m)
                                : ConvertPlaceOfDateToChartFrame(c, &lon, &lat, distance, &m);
        if (!ok) return 0;
        if (index == kBodyMoon)
            *trial = (span > kShortSpan || span == 0) ? kTrialStepMoon : span * kTrialStepFraction;
        else
            *trial = index < kBodyUranus ? kTrialStepInner : kTrialStepOuter;
    } else if (kind == kSetUpOwnMotion && IsMinorClass(objectClass)) {
        double distance = 0, m = 99.9;
        if (!ComputeMinorBodyTrackPlace(c, t, objectClass, &lon, &lat, &distance)) return 0;
        if (!ConvertJ2000PlaceToChartFrame(c, &lon, &lat, distance, &m)) return 0;
        *trial = (span > kShortSpan || span == 0) ? kTrialStepMoon : span * kTrialStepFraction;
    } else if (kind == kSetUpSatelliteOrbit) {
        double distance = 0, m = 0;
        HeliocentricPlace earth = ComputeEarthHeliocentric(&c->currentDate);
        if (!ComputeSolarObjectPlace(c, nullptr, kHitClassSolarSystem, 0, index, nullptr, &t->body,
                                     earth, &lon, &lat, &distance, &m, nullptr))
            return 0;
        ComputeBodyTopocentric(&c->site, &c->currentDate, &t->body);
        ComputeBodyPhysicalData(&c->currentDate, &t->body, earth);
        t->body.satelliteCount = 0;
        ComputePlanetSatellites(&c->currentDate, &t->body,
                                index == kBodyNeptune || index == kBodyPluto ? 0 : slot + 1);
        if (t->body.satelliteCount <= 0) return 0;
        ComputeOffsetPosition(t->body.satellites[kSatPositionAngle][slot],
                              t->body.satellites[kSatSeparation][slot], c->centreRightAscension,
                              c->centreDeclination, &lon, &lat);
        if (ConvertToChartFrame(c, &lon, &lat, 0, 0) != 1) return 0;
        *trial = GetSatellitePeriod(index - kBodyMars, slot) * kTrialStepFraction;
    } else if (kind == kSetUpDoubleStarOrbit) {
        if (!PlaceCompanion(c, t, &lon, &lat)) return 0;
        *trial = t->binary.period * kDaysPerYear * kTrialStepFraction;
    } else {
        return 0;
    }
    return ProjectChartPoint(c, lon, lat, x, y);
}

int FailSetUp(ChartContext *c) {
    RestoreChartTime(c);
    return 0;
}

}  // namespace

// ---- steps ------------------------------------------------------------------------

double RoundTrackStep(double days) {
    if (days < kMinute) return RoundHalfAway(days * 86400.0) / 86400.0;
    if (days < kHour) return RoundHalfAway(days * 1440.0) / 1440.0;
    if (days < 1.0) return RoundHalfAway(days * 24.0) / 24.0;
    if (days >= kDaysPerYear) return RoundHalfAway(days / kDaysPerYear) * kDaysPerYear;
    return RoundHalfAway(days);
}

double ScaleTrackStep(double step, double pixels, double target) {
    if (pixels < 1.0) pixels = 1.0;
    return step * target / pixels;
}

double ScaleTrackStepRounded(double step, double pixels, double target) {
    return RoundTrackStep(ScaleTrackStep(step, pixels, target));
}

// ---- minor-body orbits -------------------------------------------------------------

int OpenMinorBodyTrack(ChartContext *chart, int objectClass, int32_t index, MotionTrack *track,
                       char *label) {
    if (!chart || !track) return 0;
    track->ephemeris = nullptr;
    if (label) label[0] = '\0';
    switch (objectClass) {
    case kHitClassComet: {
        char letter = 0, designation[kCometDesignationSize] = "", name[kCometNameSize] = "";
        uint16_t number = 0;
        if (!ComputeCometPosition(&chart->currentDate, index, &letter, &number, designation, name,
                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr, nullptr, nullptr, &track->orbit))
            return 0;
        if (label) {
            char full[kCometLabelSize] = "";
            FormatCometLabel(number, letter, name, designation, full);
            PutText(label, kTrackLabelSize, "%s", full);
        }
        return 1;
    }
    case kHitClassMinorPlanet: {
        if (label) {
            FILE *names = OpenMinorPlanetNameFile();
            if (names) {
                char name[kMinorPlanetNameLength + 1] = "";
                if (ReadMinorPlanetName(names, index, name)) {
                    name[kMinorPlanetNameLength] = '\0';
                    PutText(label, kTrackLabelSize, "%s", name);
                }
                std::fclose(names);
            }
        }
        track->ephemeris = OpenMinorPlanetEphemeris();
        if (!track->ephemeris) return 0;
        track->minorPlanetNumber = index;
        return 1;
    }
    case kHitClassUserComet: {
        // The user's comet follows the orbit of its element set nearest the
        // chart's date, as a packaged comet does.
        int32_t count = 0;
        FILE *store = OpenUserCometFile(&count);
        if (!store) return 0;
        char full[kCometLabelSize] = "";
        int ok = ComputeUserCometPosition(store, &chart->currentDate, index, nullptr, nullptr, nullptr, nullptr,
                                          full, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, nullptr, nullptr, &track->orbit, nullptr);
        std::fclose(store);
        if (!ok) return 0;
        if (label) PutText(label, kTrackLabelSize, "%s", full);
        return 1;
    }
    case kHitClassUserMinorPlanet: {
        int32_t count = 0, number = 0;
        FILE *store = OpenUserMinorPlanetFile(&count);
        if (!store) return 0;
        char name[kUserMinorPlanetNameSize] = "";
        int ok = ComputeUserMinorPlanetPosition(store, &chart->currentDate, index, name, &number, nullptr, nullptr,
                                                nullptr, nullptr, nullptr, nullptr, nullptr, &track->orbit,
                                                nullptr);
        std::fclose(store);
        if (!ok) return 0;
        if (label) {
            if (name[0])
                PutText(label, kTrackLabelSize, "%s", name);
            else
                PutText(label, kTrackLabelSize, "(%d)", static_cast<int>(number));
        }
        return 1;
    }
    default:
        return 0;
    }
}

void CloseMinorBodyTrack(int objectClass, MotionTrack *track) {
    if (!track) return;
    if (objectClass == kHitClassMinorPlanet && track->ephemeris) {
        CloseMinorPlanetEphemeris(track->ephemeris);
        track->ephemeris = nullptr;
    }
}

int ComputeMinorBodyTrackPlace(ChartContext *chart, MotionTrack *track, int objectClass,
                               double *rightAscension, double *declination, double *distance) {
    if (!chart || !track) return 0;
    if (objectClass == kHitClassMinorPlanet) {
        if (!track->ephemeris) return 0;
        return ComputeMinorPlanetPosition(track->ephemeris, &chart->currentDate,
                                          track->minorPlanetNumber, rightAscension, declination,
                                          nullptr, distance, nullptr, nullptr);
    }
    if (objectClass == kHitClassComet || objectClass == kHitClassUserComet ||
        objectClass == kHitClassUserMinorPlanet) {
        ComputeMinorBodyPosition(&chart->currentDate, &track->orbit, rightAscension, declination,
                                 nullptr, distance, nullptr, nullptr, nullptr);
        return 1;
    }
    return 0;
}

// ---- set-up ---------------------------------------------------------------------

int SetUpMotionTrack(ChartContext *chart, MotionTrack *track, const DateRecord *date,
                     int objectClass, int satellite, int32_t index, int kind, int satelliteNumber,
                     char *label, int pixelStep) {
    if (!chart || !track || !date) return 0;
    chart->currentDate = *date;
    if (label) label[0] = '\0';
    const int slot = satelliteNumber;  // kind 2: the satellite, from 0
    if (kind == kSetUpOwnMotion && IsMinorClass(objectClass)) {
        if (!OpenMinorBodyTrack(chart, objectClass, index, track, label)) return FailSetUp(chart);
    } else if (kind == kSetUpSatelliteOrbit) {
        if (slot < 0 || slot >= kMaxSatellites || index < kBodyMars || index > kBodyPluto)
            return FailSetUp(chart);
        if (track->onePeriod)
            track->span[1 + slot] = GetSatellitePeriod(index - kBodyMars, slot);
        else if (slot > 0)
            track->span[1 + slot] = track->span[0];
        if (label) GetSatelliteName(index, slot + 1, label);
    } else if (kind == kSetUpDoubleStarOrbit) {
        if (!OpenDoubleStarTrack(track, index, label)) return FailSetUp(chart);
    } else if (kind != kSetUpOwnMotion) {
        return FailSetUp(chart);
    }
    const double span = kind == kSetUpSatelliteOrbit ? track->span[1 + slot] : track->span[0];
    double t = span * kTrialStepFraction;

    // The step search: two samples t apart, t growing fourfold each round
    // while both land on the same pixel.
    int d = 0;
    if (pixelStep > 0) {
        double factor = 1.0;
        for (int round = 0; round < kStepSearchRounds; ++round) {
            int x[2] = {0, 0}, y[2] = {0, 0};
            for (int s = 0; s < 2; ++s) {
                if (!PlaceTrackObject(chart, track, objectClass, satellite, index, kind, slot, &x[s],
                                      &y[s], &t))
                    return FailSetUp(chart);
                t *= factor;
                AdvanceChartTime(chart, t);
            }
            double dx = x[1] - x[0], dy = y[1] - y[0];
            d = static_cast<int>(RoundHalfAway(std::sqrt(dx * dx + dy * dy)));
            // A trial step of a whole period or more brings the companion
            // back where it was: the search ends with the distance measured.
            if (kind == kSetUpDoubleStarOrbit && !(track->binary.period * kDaysPerYear > t)) {
                t = track->binary.period * kDaysPerYear;
                break;
            }
            factor *= kStepSearchGrowth;
            if (d != 0) break;
        }
    }
    track->step = d < 1 ? 0.0 : ScaleTrackStepRounded(t, d, pixelStep);
    double ticks = pixelStep > 0 ? RoundHalfAway(track->labelSpacing * kTickSpacingFactor / pixelStep) : 0;
    track->tickInterval = ticks * track->step;
    if (track->tickInterval == 0) track->tickInterval = track->step;

    chart->currentDate = *date;
    if (!track->keepStart) AdvanceChartTime(chart, -span / 2.0);
    track->start = chart->currentDate;
    track->newLine = 1;
    if (kind != kSetUpSatelliteOrbit) track->needsSetUp = 0;
    track->end = track->start.centuriesTT + span / kDaysPerCentury;
    track->pixelsBetweenTicks = static_cast<int32_t>(track->labelSpacing * kTickSpacingFactor * 0.5);

    // The chart's own span clips the track to the chart time +- half of it.
    if (kind == kSetUpOwnMotion && track->secondSpan != track->span[0]) {
        const double half = track->secondSpan / 2.0;
        const double earliest = chart->savedDate.julianDate - half;
        if (track->start.julianDate < earliest) {
            chart->currentDate = chart->savedDate;
            AdvanceChartTime(chart, -half);
            track->start = chart->currentDate;
        }
        const double latest = chart->savedDate.julianDate + half;
        if (JulianDateFromCenturies(track->end) > latest)
            track->end = chart->savedDate.centuriesTT + half / kDaysPerCentury;
    }
    chart->currentDate = track->start;
    return 1;
}

// ---- the record ------------------------------------------------------------------

void FreeMotionTrackSamples(MotionTrack *track) {
    if (!track) return;
    std::free(track->sampleRightAscensions);
    std::free(track->sampleDeclinations);
    track->sampleRightAscensions = track->sampleDeclinations = nullptr;
    track->sampleCount = 0;
}

int InitMotionTrack(ChartContext *chart, MotionTrack *track, int objectClass, int satellite,
                    int32_t index, int mode, int sampleFlag, double span, int labelSpacing,
                    int pixelStep, int keepStart) {
    if (!chart || !track) return 0;
    FreeMotionTrackSamples(track);
    std::memset(track, 0, sizeof *track);
    // A pixel step of 0 would let a track stand still and never end.
    if (pixelStep < 1) return 0;
    track->objectClass = objectClass;
    track->satellite = satellite;
    track->index = index;
    track->mode = mode;
    track->sampleFlag = sampleFlag;
    track->labelSpacing = labelSpacing;
    for (double &s : track->span) s = span;
    track->secondSpan = span;
    track->history.labelOffset = labelSpacing / 2;
    track->pixelStep = pixelStep;
    track->keepStart = keepStart;
    track->start = chart->currentDate;
    track->needsSetUp = 1;
    track->lastLabelledDay = -1;
    track->end = chart->currentDate.centuriesTT;
    if (span < 0) {
        track->onePeriod = 1;
        track->sampleFlag = 0;
    }
    if (!track->sampleFlag || objectClass == kSampleObjectDoubleStar || span == 0) return 1;

    DateRecord saved = chart->savedDate;
    if (!SetUpMotionTrack(chart, track, &saved, objectClass, satellite, index, kSetUpOwnMotion, 0,
                          nullptr, pixelStep))
        return 0;
    const long n = track->step > 0 ? static_cast<long>(RoundHalfAway(span / track->step)) : 0;
    if (n > 0) {
        track->sampleRightAscensions = static_cast<float *>(std::calloc(n + 1, sizeof(float)));
        track->sampleDeclinations = static_cast<float *>(std::calloc(n + 1, sizeof(float)));
        if (!track->sampleRightAscensions || !track->sampleDeclinations) {
            FreeMotionTrackSamples(track);
            CloseMinorBodyTrack(objectClass, track);
            RestoreChartTime(chart);
            return 0;
        }
        long i = 0;
        for (; i < n && chart->currentDate.centuriesTT < track->end; ++i) {
            double ra = 0, dec = 0, distance = 0, m = 0;
            if (objectClass == kHitClassSolarSystem) {
                HeliocentricPlace earth = ComputeEarthHeliocentric(&chart->currentDate);
                if (!ComputeSolarObjectPlace(chart, nullptr, objectClass, 0, index, nullptr,
                                             &track->body, earth, &ra, &dec, &distance, &m, nullptr))
                    break;
                int saveFrame = chart->frameMode;
                chart->frameMode = kFrameJ2000;
                ConvertBodyToChartFrame(chart, &track->body, &ra, &dec, &m);
                chart->frameMode = static_cast<uint8_t>(saveFrame);
            } else {
                if (!ComputeMinorBodyTrackPlace(chart, track, objectClass, &ra, &dec, &distance))
                    break;
                int saveFrame = chart->frameMode;
                chart->frameMode = kFrameJ2000;
                ConvertJ2000PlaceToChartFrame(chart, &ra, &dec, distance, &m);
                chart->frameMode = static_cast<uint8_t>(saveFrame);
            }
            track->sampleRightAscensions[i] = static_cast<float>(ra);
            track->sampleDeclinations[i] = static_cast<float>(dec);
            AdvanceChartTime(chart, track->step);
        }
        track->sampleCount = static_cast<int32_t>(i);
        track->sampleRightAscensions[i] = static_cast<float>(chart->centreRightAscension);
        track->sampleDeclinations[i] = static_cast<float>(chart->centreDeclination);
    }
    CloseMinorBodyTrack(objectClass, track);
    RestoreChartTime(chart);
    track->needsSetUp = 1;
    return 1;
}

// ---- tick labels ----------------------------------------------------------------------

char GetCharacterAfterColon(const char *text) {
    if (!text || !*text) return '\0';
    const char *colon = std::strchr(text, ':');
    if (colon) return colon[1];
    return text[std::strlen(text) - 1];
}

namespace {
const char *SkipBlank(const char *s) {
    while (*s == ' ') ++s;
    return s;
}
}  // namespace

char *FormatTrackTickLabel(ChartContext *chart, const MotionTrack *track, char *buffer,
                           int fullDate) {
    if (!buffer) return buffer;
    buffer[0] = '\0';
    if (!chart || !track) return buffer;
    const DateRecord &d = chart->currentDate;
    const double a = track->tickInterval;
    char time[40] = "";
    if (a < kHalfHour) {
        FormatRightAscension(time, d.localHours);
        const char *t = SkipBlank(time);
        if (fullDate) {
            PutText(buffer, kTickLabelSize, "%d/%d %s", d.month, d.day, t);
        } else {
            const char *colon = std::strchr(t, ':');
            PutText(buffer, kTickLabelSize, "%s", colon ? colon + 1 : t);
        }
    } else if (a < 0.5) {
        FormatRightAscensionMinutes(time, d.localHours);
        const char *t = SkipBlank(time);
        if (!fullDate && d.day == track->lastLabelledDay)
            PutText(buffer, kTickLabelSize, "%s", t);
        else
            PutText(buffer, kTickLabelSize, "%d/%d %s", d.month, d.day, t);
    } else if (a < 1.0) {
        PutText(buffer, kTickLabelSize, "%d/%d %dh", d.month, d.day,
                      static_cast<int>(RoundHalfAway(d.localHours)));
    } else if (a < 30.0) {
        PutText(buffer, kTickLabelSize, "%d/%d", d.month, d.day);
    } else if (a < kDaysPerYear) {
        PutText(buffer, kTickLabelSize, "%d/%d/%d", d.year, d.month, d.day);
    } else {
        PutText(buffer, kTickLabelSize, "%d/%d", d.year, d.month);
    }
    return buffer;
}

void ResetTickHistory(TickHistory *history) {
    if (history) history->count = 0;
}

void PushTickHistory(TickHistory *history, int x, int y) {
    if (!history) return;
    if (history->count >= kTickHistorySize) {
        std::memmove(history->x, history->x + 1, sizeof(int32_t) * (kTickHistorySize - 1));
        std::memmove(history->y, history->y + 1, sizeof(int32_t) * (kTickHistorySize - 1));
        history->count = kTickHistorySize - 1;
    }
    history->x[history->count] = x;
    history->y[history->count] = y;
    ++history->count;
}

int ComputeTickLabelOffset(const TickHistory *history, int x, int y, int *labelX, int *labelY,
                           double *angle) {
    if (!history || history->count <= 0) return 0;
    int k = 0;  // the oldest when none lies far enough
    for (int i = history->count - 1; i >= 0; --i) {
        int dx = x - history->x[i], dy = y - history->y[i];
        if (dx * dx + dy * dy > kTickDirectionDistanceSquared) {
            k = i;
            break;
        }
    }
    double a = ComputeQuadrantArcTangent(static_cast<double>(y - history->y[k]),
                                         static_cast<double>(x - history->x[k])) +
               kPi / 2;
    if (angle) *angle = a;
    if (labelX) *labelX = x + static_cast<int>(RoundHalfAway(history->labelOffset * std::cos(a)));
    if (labelY) *labelY = y + static_cast<int>(RoundHalfAway(history->labelOffset * std::sin(a)));
    return 1;
}

// ---- satellites -------------------------------------------------------------------------

int ComputeSatelliteTrackPoint(ChartContext *chart, MotionTrack *track, int *x, int *y,
                               char *label, int *visible) {
    if (!chart || !track) return -1;
    const int type = track->index;
    const int slot = chart->solar.satelliteCursor;
    if (visible) *visible = 0;
    if (type < kBodyMars || type > kBodyPluto || slot < 0 || slot >= GetSatelliteCount(type))
        return 0;
    double ra = 0, dec = 0, distance = 0, m = 0;
    HeliocentricPlace earth = ComputeEarthHeliocentric(&chart->currentDate);
    if (!ComputeSolarObjectPlace(chart, nullptr, kHitClassSolarSystem, 0, type, nullptr,
                                 &track->body, earth, &ra, &dec, &distance, &m, nullptr))
        return -1;
    BodyRecord *b = &track->body;
    ComputeBodyTopocentric(&chart->site, &chart->currentDate, b);
    ComputeBodyPhysicalData(&chart->currentDate, b, earth);
    b->satelliteCount = 0;
    ComputePlanetSatellites(&chart->currentDate, b,
                            type == kBodyNeptune || type == kBodyPluto ? 0 : slot + 1);
    if (b->satelliteCount <= 0 || b->satellites[kSatMagnitude][slot] == 0) return 0;
    if (label) GetSatelliteName(type, slot + 1, label);
    ComputeOffsetPosition(b->satellites[kSatPositionAngle][slot], b->satellites[kSatSeparation][slot],
                          chart->centreRightAscension, chart->centreDeclination, &ra, &dec);
    if (ConvertToChartFrame(chart, &ra, &dec, 0, 0) != 1) return 0;
    if (!ProjectChartPoint(chart, ra, dec, x, y)) return 0;
    const double orbital = b->satellites[kSatOrbitalAngle][slot];
    const double R = b->equatorialDiameter / 2.0;
    bool shown = orbital > kPi / 2 && orbital < 3 * kPi / 2;
    if (!shown && R > 0) {
        double ex = b->satellites[kSatOffsetX][slot], ey = b->satellites[kSatOffsetY][slot];
        double a = b->satellites[kSatSunPositionAngle][slot];
        double d = b->satellites[kSatSunSeparation][slot];
        double sx = d * std::sin(a), sy = d * std::cos(a);
        if (type == kBodyJupiter) {
            ey *= kJupiterFlattening;
            sy *= kJupiterFlattening;
        }
        shown = (ex * ex + ey * ey) / (R * R) > 1 && (sx * sx + sy * sy) / (R * R) > 1;
    }
    if (visible) *visible = shown ? 1 : 0;
    return 1;
}
