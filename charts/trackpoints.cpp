// The point enumeration of motion tracks.
#include "charts/trackpoints.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "charts/chartcontext.h"
#include "charts/charttime.h"
#include "charts/chartlabels.h"
#include "charts/starreader.h"
#include "core/mathutil.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"
#include "objects/categories.h"

namespace {

const double kAuPerKm = 6.684587153547039e-9;
// A jump of more than this many pixel steps starts a new polyline.
const int kJumpSteps = 10;
// A satellite orbit smaller than this (pixels in radius) is not drawn.
const double kSatelliteOrbitMinimum = 50.0;
// The edge of the planet's disc is sought in tenths of the step, at most
// back to the previous point.
const double kEdgeFraction = 0.1;
const int kEdgeSteps = 10;

double RoundHalfAway(double x) { return x < 0 ? -std::floor(-x + 0.5) : std::floor(x + 0.5); }

bool IsMinorClass(int c) {
    return c == kHitClassComet || c == kHitClassMinorPlanet || c == kHitClassUserComet ||
           c == kHitClassUserMinorPlanet;
}

struct PointOut {
    int *x, *y, *labelX, *labelY;
    char *label;
    double *angle;
};

void SetPoint(const PointOut &o, int x, int y) {
    if (o.x) *o.x = x;
    if (o.y) *o.y = y;
}

int EndOfTracks(ChartContext *c, MotionTrack *t) {
    RestoreChartTime(c);
    c->solar.hitCursor = 0;
    t->needsSetUp = 1;
    return kTrackEnd;
}

// The common step for a point already placed on the chart.
int CommonStepImpl(ChartContext *c, MotionTrack *t, int x, int y, const PointOut &o, int fullDate,
                   bool labelDays, bool jumpTest = true, bool alwaysTick = false,
                   bool scaleStep = true) {
    SetPoint(o, x, y);
    if (t->newLine) {
        t->newLine = 0;
        AdvanceChartTime(c, t->step);
        t->lastX = x;
        t->lastY = y;
        t->pixelsSinceTick = 0;
        ResetTickHistory(&t->history);
        PushTickHistory(&t->history, x, y);
        return kTrackNewLine;
    }
    const double dx = x - t->lastX, dy = y - t->lastY;
    int d = static_cast<int>(RoundHalfAway(std::sqrt(dx * dx + dy * dy)));
    if (d < 1) d = 1;
    if (scaleStep) t->step = ScaleTrackStep(t->step, d, t->pixelStep);
    t->lastX = x;
    t->lastY = y;
    t->pixelsSinceTick += d;
    if (jumpTest && d > kJumpSteps * t->pixelStep) {
        AdvanceChartTime(c, t->step);
        ResetTickHistory(&t->history);
        PushTickHistory(&t->history, x, y);
        return kTrackNewLine;
    }
    if (t->pixelsSinceTick < t->pixelsBetweenTicks) {
        AdvanceChartTime(c, t->step);
        PushTickHistory(&t->history, x, y);
        return kTrackContinue;
    }
    // A tick.
    t->tickInterval = t->pixelsBetweenTicks * t->step / t->pixelStep;
    if (o.label) FormatTrackTickLabel(c, t, o.label, fullDate);
    if (labelDays) t->lastLabelledDay = c->currentDate.day;
    AdvanceChartTime(c, t->step);
    t->pixelsSinceTick = 0;
    int lx = 0, ly = 0;
    double angle = 0;
    if (ComputeTickLabelOffset(&t->history, x, y, &lx, &ly, &angle)) {
        PushTickHistory(&t->history, x, y);
        if (x >= c->visibleLeft && x <= c->visibleRight && y >= c->visibleTop &&
            y <= c->visibleBottom)
            t->fullDate = 0;
        if (o.labelX) *o.labelX = lx;
        if (o.labelY) *o.labelY = ly;
        if (o.angle) *o.angle = angle;
        return kTrackTick;
    }
    PushTickHistory(&t->history, x, y);
    return alwaysTick ? kTrackTick : kTrackContinue;
}

int CommonStep(ChartContext *c, MotionTrack *t, int x, int y, const PointOut &o, int fullDate,
               bool labelDays) {
    return CommonStepImpl(c, t, x, y, o, fullDate, labelDays);
}

int PenUp(ChartContext *c, MotionTrack *t) {
    t->newLine = 1;
    AdvanceChartTime(c, t->step);
    return kTrackPenUp;
}

// One point of an object's own track at the current date.
int ObjectPoint(ChartContext *c, MotionTrack *t, int objectClass, int satellite, int index,
                const PointOut &o) {
    double ra = 0, dec = 0, distance = 0, m = 0;
    int ok = 0;
    if (objectClass == kHitClassSolarSystem) {
        HeliocentricPlace earth = ComputeEarthHeliocentric(&c->currentDate);
        if (!ComputeSolarObjectPlace(c, nullptr, objectClass, satellite, index, nullptr, &t->body,
                                     earth, &ra, &dec, &distance, &m, nullptr))
            return -1;
        if (c->frameMode != kFrameJ2000) ComputeBodyTopocentric(&c->site, &c->currentDate, &t->body);
        ok = satellite == 0 ? ConvertBodyToChartFrame(c, &t->body, &ra, &dec, &m)
                            : ConvertPlaceOfDateToChartFrame(c, &ra, &dec, distance, &m);
    } else if (IsMinorClass(objectClass)) {
        if (!ComputeMinorBodyTrackPlace(c, t, objectClass, &ra, &dec, &distance)) return -1;
        ok = ConvertJ2000PlaceToChartFrame(c, &ra, &dec, distance, &m);
    } else {
        return -1;
    }
    int x = 0, y = 0;
    if (!ok || !ProjectChartPoint(c, ra, dec, &x, &y)) return PenUp(c, t);
    return CommonStep(c, t, x, y, o, t->fullDate, true);
}

// Modes 0 and 1.
int NextOwnMotionPoint(ChartContext *c, const SolarSystemHit *hits, MotionTrack *t,
                       const PointOut &o, int skipMoon) {
    const bool one = t->mode == kTrackOneObject;
    if (one && !IsSolarSystemClass(t->objectClass)) return EndOfTracks(c, t);
    // A single object runs once even when nothing was collected.
    const int count = one ? (c->solar.hitCount > 0 ? c->solar.hitCount : 1) : c->solar.hitCount;
    if (one && c->solar.hitCount > 0 && (!IsSolarSystemChartClass(t->objectClass) || t->sampleCount))
        return EndOfTracks(c, t);
    while (c->solar.hitCursor < count) {
        SolarSystemHit own;
        std::memset(&own, 0, sizeof own);
        own.objectClass = t->objectClass;
        own.satellite = static_cast<uint8_t>(t->satellite);
        own.index = t->index;
        const SolarSystemHit &hit = one || !hits ? own : hits[c->solar.hitCursor];
        if (t->needsSetUp) {
            DateRecord date = c->savedDate;
            if (!one && skipMoon && hit.objectClass == kHitClassSolarSystem && hit.index == kBodyMoon) {
                ++c->solar.hitCursor;
                continue;
            }
            t->fullDate = 1;
            t->lastLabelledDay = -1;
            t->span[0] = t->secondSpan;
            if (!one && hit.span != 0 && hit.span < t->secondSpan) {
                t->span[0] = hit.span;
                c->currentDate = c->savedDate;
                AdvanceChartTime(c, JulianDateFromCenturies(hit.time) - c->savedDate.julianDate);
                date = c->currentDate;
            }
            if (!SetUpMotionTrack(c, t, &date, hit.objectClass, hit.satellite, hit.index,
                                  kSetUpOwnMotion, 0, nullptr, t->pixelStep)) {
                RestoreChartTime(c);
                return -1;
            }
            ResetTickHistory(&t->history);
        }
        // A track that does not move by a pixel has no points to give.
        while (t->step > 0 && c->currentDate.centuriesTT < t->end) {
            int r = ObjectPoint(c, t, hit.objectClass, hit.satellite, hit.index, o);
            if (r < 0) RestoreChartTime(c);
            return r;
        }
        CloseMinorBodyTrack(hit.objectClass, t);
        t->needsSetUp = 1;
        ++c->solar.hitCursor;
        if (one) break;
    }
    return EndOfTracks(c, t);
}

double PlanetDistanceAu(const BodyRecord *b) {
    return (b->type == kBodyMoon || b->type == kBodyEarthShadow) ? b->geocentricDistance * kAuPerKm
                                                                 : b->geocentricDistance;
}

// Mode 2: a planet's satellites.
int NextSatellitePoint(ChartContext *c, MotionTrack *t, const PointOut &o) {
    const int planet = t->index;
    if (t->needsSetUp) {
        t->needsSetUp = 0;
        c->solar.satelliteCursor = 0;
        t->satelliteHidden = 0;
        ResetTickHistory(&t->history);
        DateRecord date = c->savedDate;
        if (!SetUpMotionTrack(c, t, &date, kHitClassSolarSystem, 0, planet, kSetUpSatelliteOrbit, 0,
                              nullptr, t->pixelStep)) {
            RestoreChartTime(c);
            return -1;
        }
    }
    const int count = GetSatelliteCount(planet);
    while (c->solar.satelliteCursor < count) {
        const int slot = c->solar.satelliteCursor;
        const double distance = PlanetDistanceAu(&t->body);
        const double orbit = distance > 0 ? GetSatelliteSemiMajorAxis(planet - kBodyMars, slot) /
                                                distance * c->pixelsPerRadian
                                          : 0.0;
        const bool drawn = orbit >= kSatelliteOrbitMinimum && t->step > 0;
        while (drawn && c->currentDate.centuriesTT < t->end) {
            int x = 0, y = 0, visible = 0;
            char name[kTrackLabelSize] = "";
            int r = ComputeSatelliteTrackPoint(c, t, &x, &y, name, &visible);
            if (r < 0) {
                RestoreChartTime(c);
                return -1;
            }
            if (r == 0) {
                t->newLine = 1;
                AdvanceChartTime(c, t->step);
                ResetTickHistory(&t->history);
                return kTrackPenUp;
            }
            SetPoint(o, x, y);
            if (!visible && t->satelliteHidden) {
                t->newLine = 1;
                AdvanceChartTime(c, t->step);
                PushTickHistory(&t->history, x, y);
                return kTrackHidden;
            }
            if (!visible) {
                // Back to the edge of the disc (at most to the previous point).
                for (int i = 0; i < kEdgeSteps && !visible; ++i) {
                    AdvanceChartTime(c, -kEdgeFraction * t->step);
                    if (ComputeSatelliteTrackPoint(c, t, &x, &y, name, &visible) < 0) {
                        RestoreChartTime(c);
                        return -1;
                    }
                }
                SetPoint(o, x, y);
                if (t->newLine) {
                    t->newLine = 0;
                    if (o.label) std::snprintf(o.label, kTrackLabelSize, "%s", name);
                    ResetTickHistory(&t->history);
                    PushTickHistory(&t->history, x, y);
                    t->lastX = x;
                    t->lastY = y;
                    AdvanceChartTime(c, t->step);
                    return kTrackNewLine;
                }
                t->satelliteHidden = 1;
                AdvanceChartTime(c, t->step);
                PushTickHistory(&t->history, x, y);
                return kTrackContinue;
            }
            if (t->satelliteHidden) {
                // Back while still visible, then forward to the edge.
                int seen = 1;
                for (int i = 0; i < kEdgeSteps && seen; ++i) {
                    AdvanceChartTime(c, -kEdgeFraction * t->step);
                    if (ComputeSatelliteTrackPoint(c, t, &x, &y, name, &seen) < 0) {
                        RestoreChartTime(c);
                        return -1;
                    }
                }
                AdvanceChartTime(c, kEdgeFraction * t->step);
                t->satelliteHidden = 0;
                t->newLine = 1;
                if (ComputeSatelliteTrackPoint(c, t, &x, &y, name, &visible) < 0) {
                    RestoreChartTime(c);
                    return -1;
                }
                SetPoint(o, x, y);
            }
            if (t->newLine) {
                t->newLine = 0;
                if (o.label) std::snprintf(o.label, kTrackLabelSize, "%s", name);
                ResetTickHistory(&t->history);
                PushTickHistory(&t->history, x, y);
                t->lastX = x;
                t->lastY = y;
                t->pixelsSinceTick = 0;
                AdvanceChartTime(c, t->step);
                return kTrackNewLine;
            }
            return CommonStep(c, t, x, y, o, 0, false);
        }
        // The next satellite.
        ++c->solar.satelliteCursor;
        t->satelliteHidden = 0;
        if (c->solar.satelliteCursor < count) {
            DateRecord date = c->savedDate;
            if (!SetUpMotionTrack(c, t, &date, kHitClassSolarSystem, 0, planet, kSetUpSatelliteOrbit,
                                  c->solar.satelliteCursor, nullptr, t->pixelStep)) {
                RestoreChartTime(c);
                return -1;
            }
        }
    }
    c->solar.satelliteCursor = 0;
    return EndOfTracks(c, t);
}

// Mode 3: the companion of a double star along its orbit.
int NextDoubleStarPoint(ChartContext *c, MotionTrack *t, const PointOut &o) {
    if (t->needsSetUp) {
        DateRecord date = c->savedDate;
        char name[kTrackLabelSize] = "";
        if (!SetUpMotionTrack(c, t, &date, t->objectClass, t->satellite, t->index,
                              kSetUpDoubleStarOrbit, 0, name, t->pixelStep)) {
            RestoreChartTime(c);
            return -1;
        }
        if (t->binary.semi_major_axis * kPi / 648000.0 * c->pixelsPerRadian < kSatelliteOrbitMinimum)
            return EndOfTracks(c, t);
        ResetTickHistory(&t->history);
    }
    if (t->step > 0 && !(c->currentDate.centuriesTT > t->end)) {
        double lon = 0, lat = 0;
        int x = 0, y = 0;
        if (!PlaceCompanion(c, t, &lon, &lat) || !ProjectChartPoint(c, lon, lat, &x, &y))
            return PenUp(c, t);
        return CommonStep(c, t, x, y, o, 0, false);
    }
    return EndOfTracks(c, t);
}

}  // namespace

int NextTrackPoint(ChartContext *chart, const SolarSystemHit *hits, MotionTrack *track, int *x,
                   int *y, int *labelX, int *labelY, char *label, double *labelAngle,
                   int skipMoon) {
    if (!chart || !track) return -1;
    if (label) label[0] = '\0';
    PointOut o{x, y, labelX, labelY, label, labelAngle};
    if (track->secondSpan == 0 || track->pixelStep < 1) return EndOfTracks(chart, track);
    switch (track->mode) {
    case kTrackOneObject:
    case kTrackCollectedBodies:
        return NextOwnMotionPoint(chart, hits, track, o, skipMoon);
    case kTrackSatellites:
        return NextSatellitePoint(chart, track, o);
    case kTrackDoubleStar:
        return NextDoubleStarPoint(chart, track, o);
    default:
        RestoreChartTime(chart);
        return -1;
    }
}

int TakeTrackPointStep(ChartContext *chart, MotionTrack *track, int x, int y, char *label,
                       int *labelX, int *labelY, double *labelAngle, int fullDate, int labelDays) {
    if (!chart || !track || track->pixelStep < 1) return -1;
    PointOut o{nullptr, nullptr, labelX, labelY, label, labelAngle};
    return CommonStepImpl(chart, track, x, y, o, fullDate, labelDays != 0);
}

// ---- star trails ------------------------------------------------------------------

namespace {

const double kDaysPerCentury = 36525.0;

int Recentre(ChartContext *c, double ra, double dec, double latitude, double second,
             double windowAngle) {
    return SetChartCentre(c, ra, dec, 0, 0, latitude, second, windowAngle);
}

}  // namespace

int NextStarTrailPoint(ChartContext *chart, const ChartLabelSettings *labels, MotionTrack *track,
                       int *x, int *y, uint8_t *starByte, int *labelX, int *labelY, char *label,
                       double *labelAngle, double secondParameter, double windowAngle) {
    if (!chart || !track) return -1;
    if (label) label[0] = '\0';
    if (track->sampleCount <= 0 || !track->sampleRightAscensions || !track->sampleDeclinations)
        return -2;
    const double latitude = chart->projectionKind == kProjectionStereographic
                                ? kPi / 2 - chart->projection.parameter
                                : chart->projection.parameter;
    // The chart's own centre follows the samples.
    const double ownRa = track->sampleRightAscensions[track->sampleCount];
    const double ownDec = track->sampleDeclinations[track->sampleCount];
    for (int guard = 0; guard < 1000000; ++guard) {
        if (track->needsSetUp) {
            RestoreChartTime(chart);
            Recentre(chart, ownRa, ownDec, latitude, secondParameter, windowAngle);
            ChartStar star;
            std::memset(&star, 0, sizeof star);
            if (ReadNextStar(chart, &star) < 1) {
                RestoreChartTime(chart);
                chart->solar.hitCursor = 0;
                track->needsSetUp = 1;
                track->newLine = 1;
                Recentre(chart, ownRa, ownDec, latitude, secondParameter, windowAngle);
                return kTrackEnd;
            }
            track->starByte = star.flag;
            if (label) {
                ChartLabel text;
                std::memset(&text, 0, sizeof text);
                if (FormatChartStarLabel(chart, labels, &star, &text)) {
                    text.text[sizeof text.text - 1] = '\0';
                    std::snprintf(label, kTrackLabelSize, "%s", text.text);
                }
            }
            track->needsSetUp = 0;
            track->sampleCursor = 0;
            track->newLine = 1;
            chart->currentDate = track->start;
            track->nextTickTime = chart->currentDate.centuriesTT + track->tickInterval / kDaysPerCentury;
        }
        if (chart->currentDate.centuriesTT < track->end && track->sampleCursor < track->sampleCount) {
            const int i = track->sampleCursor++;
            if (!Recentre(chart, track->sampleRightAscensions[i], track->sampleDeclinations[i],
                          latitude, secondParameter, windowAngle)) {
                Recentre(chart, ownRa, ownDec, latitude, secondParameter, windowAngle);
                RestoreChartTime(chart);
                return -1;
            }
            break;
        }
        track->needsSetUp = 1;  // the next star
    }
    if (starByte) *starByte = track->starByte;
    double ra = 0, dec = 0, mra = 0, mdec = 0;
    GetChartStarPlace(chart, &ra, &dec, &mra, &mdec);
    int px = 0, py = 0;
    if (ConvertToChartFrame(chart, &ra, &dec, mra, mdec) != 1 ||
        !ProjectChartPoint(chart, ra, dec, &px, &py)) {
        AdvanceChartTime(chart, track->step);
        PushTickHistory(&track->history, px, py);
        return kTrackPenUp;
    }
    if (x) *x = px;
    if (y) *y = py;
    PointOut o{x, y, labelX, labelY, label, labelAngle};
    // The samples lie one step apart: the time keeps that step so that it
    // stays with the sample on screen (a scaled step would end the trail
    // before its samples, or pass them).
    int r = CommonStepImpl(chart, track, px, py, o, 0, false, false, true, false);
    if (r == kTrackTick)
        track->nextTickTime = chart->currentDate.centuriesTT + track->tickInterval / kDaysPerCentury;
    return r;
}
