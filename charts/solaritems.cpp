// The solar-system layer's items: collected bodies, a planet and its
// satellites with their shadows, the bodies at each time of a focus list,
// and the chart centre lifted above the horizon.
#include "charts/solaritems.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "astro/chartgeom.h"
#include "charts/chartcontext.h"
#include "charts/chartgeometry.h"
#include "charts/charttime.h"
#include "core/mathutil.h"
#include "ephem/physical.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"
#include "objects/buildrecord.h"

namespace {

const double kAuPerKm = 6.684587153547039e-9;
const double kArcsecond = kPi / 648000.0;
// A satellite whose orbit is smaller than this on the chart is not drawn.
const double kSatelliteMinimumPixels = 16.0;
const double kJupiterFlattening = 1.071374;
// The Sun's radius seen from 1 AU, radians.
const double kSunRadiusAtOneAU = 0.0046524726588687395;
// The lifted centre's altitude stays this share of the field high.
const double kLiftShare = 0.9;

double RoundHalfAway(double x) { return x < 0 ? -std::floor(-x + 0.5) : std::floor(x + 0.5); }

int AtLeastOne(double pixels) {
    int r = static_cast<int>(RoundHalfAway(pixels));
    return r < 1 ? 1 : r;
}

void PutText(char *buffer, int size, const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, static_cast<size_t>(size), format, args);
    va_end(args);
}

bool InFront(double orbitalAngle) { return orbitalAngle > kPi / 2 && orbitalAngle < 3 * kPi / 2; }

double BodyDistanceAu(const BodyRecord *b) {
    return (b->type == kBodyMoon || b->type == kBodyEarthShadow) ? b->geocentricDistance * kAuPerKm
                                                                 : b->geocentricDistance;
}

// Class 2 after its place: topocentric place, physical data, satellites.
void CompleteBody(ChartContext *c, BodyRecord *work, HeliocentricPlace earth) {
    ComputeBodyTopocentric(&c->site, &c->currentDate, work);
    ComputeBodyPhysicalData(&c->currentDate, work, earth);
    work->satelliteCount = 0;
    ComputePlanetSatellites(&c->currentDate, work, 0);
}

// A minor body's coma radius (pixels) and its tail angle turned into the
// chart (both ride in the work record; see ComputeSolarObjectPlace).
void CometSymbol(ChartContext *c, BodyRecord *work, double ra, double dec, double *radius) {
    *radius = std::trunc(work->equatorialDiameter * 0.5 * c->pixelsPerRadian);
    work->axisPositionAngle = AdjustPositionAngleToChart(c, ra, dec, work->axisPositionAngle);
}

void MoveCurrentDateTo(ChartContext *c, double julianDate) {
    AdvanceChartTime(c, julianDate - c->currentDate.julianDate);
}

// A body placed in the chart frame (lon, lat) projected to its pixel, with
// its symbol radius: a comet's from its coma (its axis turned to the chart),
// any other's from its magnitude m. 0 when the point does not project.
int ProjectBodyItem(ChartContext *c, BodyRecord *work, int objectClass, double ra, double dec, double lon,
                    double lat, double m, int *px, int *py, double *radius) {
    if (!ProjectChartPoint(c, lon, lat, px, py)) return 0;
    *radius = GetStarSymbolRadius(c, m);
    if (objectClass == kHitClassComet || objectClass == kHitClassUserComet) CometSymbol(c, work, ra, dec, radius);
    return 1;
}

void Recentre(ChartContext *c, double ra, double dec, double parameter, double secondParameter,
              int lift) {
    if (lift) LiftChartCentreAboveHorizon(c, &ra, &dec);
    SetChartCentre(c, ra, dec, 0, 0, parameter, secondParameter, 0);
}

}  // namespace

int NextCollectedBodyItem(ChartContext *chart, const SolarSystemHit *hits,
                          const ChartLabelSettings *labels, double *rightAscension,
                          double *declination, int *x, int *y, double *symbolRadius,
                          BodyRecord *work, double *magnitude, char *label) {
    if (!chart || !work) return -1;
    while (hits && chart->solar.hitCursor < chart->solar.hitCount) {
        const SolarSystemHit &hit = hits[chart->solar.hitCursor++];
        double ra = 0, dec = 0, distance = 0, m = 0;
        if (!ComputeSolarObjectPlace(chart, labels, hit.objectClass, 0, hit.index, nullptr, work,
                                     chart->solar.earth, &ra, &dec, &distance, &m, label))
            return -1;
        double lon = ra, lat = dec;
        if (hit.objectClass == kHitClassSolarSystem) {
            CompleteBody(chart, work, chart->solar.earth);
            if (!ConvertBodyToChartFrame(chart, work, &lon, &lat, &m)) continue;
        } else if (!ConvertJ2000PlaceToChartFrame(chart, &lon, &lat, distance, &m)) {
            continue;
        }
        int px = 0, py = 0;
        double radius = 0;
        if (!ProjectBodyItem(chart, work, hit.objectClass, ra, dec, lon, lat, m, &px, &py, &radius)) continue;
        if (rightAscension) *rightAscension = ra;
        if (declination) *declination = dec;
        if (x) *x = px;
        if (y) *y = py;
        if (symbolRadius) *symbolRadius = radius;
        if (magnitude) *magnitude = m;
        return hit.objectClass;
    }
    return 0;
}

int PlaceBodyOnChart(ChartContext *chart, BodyRecord *body, int bodyType, double *rightAscension,
                     double *declination, int *x, int *y, double *symbolRadius) {
    if (!chart || !body) return -1;
    double ra = 0, dec = 0, distance = 0, m = 0;
    if (!ComputeSolarObjectPlace(chart, nullptr, kHitClassSolarSystem, 0, bodyType, nullptr, body,
                                 chart->solar.earth, &ra, &dec, &distance, &m, nullptr))
        return -1;
    CompleteBody(chart, body, chart->solar.earth);
    double lon = 0, lat = 0;
    if (!ConvertBodyToChartFrame(chart, body, &lon, &lat, &m)) return 0;
    int px = 0, py = 0;
    if (!ProjectChartPoint(chart, lon, lat, &px, &py)) return 0;
    if (rightAscension) *rightAscension = ra;
    if (declination) *declination = dec;
    if (x) *x = px;
    if (y) *y = py;
    if (symbolRadius) *symbolRadius = GetStarSymbolRadius(chart, body->magnitude);
    return 1;
}

void ResetSatelliteEnumerator(ChartContext *chart) {
    if (!chart) return;
    chart->solar.satelliteCursor = 0;
    chart->solar.shadowPending = 0;
}

int NextPlanetSatellite(ChartContext *chart, const BodyRecord *planet, int *x, int *y, int *radius,
                        int *shadowRadius, double *shadowRatio, char *label) {
    if (!chart || !planet) return 0;
    const int type = planet->type;
    const double distance = planet->geocentricDistance;
    const double R2 = planet->equatorialDiameter * planet->equatorialDiameter * 0.25;
    const double ppr = chart->pixelsPerRadian;
    if (!(distance > 0) || !(R2 > 0)) return 0;
    double planetRa = 0, planetDec = 0;
    GetBodyApparentPlace(&chart->currentDate, planet, &planetRa, &planetDec);
    while (chart->solar.satelliteCursor < planet->satelliteCount &&
           chart->solar.satelliteCursor < kMaxSatellites) {
        const int slot = chart->solar.satelliteCursor;
        char name[32] = "";
        GetSatelliteName(type, slot + 1, name);
        // 1. An orbit too small to draw apart from the planet.
        if (GetMoonSemiMajorAxisByPlanet(type, slot) / distance * ppr < kSatelliteMinimumPixels) {
            ++chart->solar.satelliteCursor;
            chart->solar.shadowPending = 0;
            return kSatelliteTooClose;
        }
        // 2. Offsets seen from the Sun; the satellite's semidiameter.
        const double a = planet->satellites[kSatSunPositionAngle][slot];
        const double d = planet->satellites[kSatSunSeparation][slot];
        double u = d * std::cos(a), v = -d * std::sin(a);
        if (type == kBodyJupiter) u *= kJupiterFlattening;
        const double s = GetMoonSemidiameterByPlanet(type, slot) / distance * kArcsecond;
        const double orbital = planet->satellites[kSatOrbitalAngle][slot];
        const double f1 = planet->satellites[kSatUmbraFactor][slot];
        const double f2 = planet->satellites[kSatPenumbraFactor][slot];
        // 3. The shadow on the disc, once per satellite and only for the
        // satellites whose shadow has a size.
        if (!chart->solar.shadowPending && f2 != 0) {
            double sra = 0, sdec = 0;
            ComputeOffsetPosition(a, d, planetRa, planetDec, &sra, &sdec);
            int sx = 0, sy = 0;
            if (ConvertPlaceOfDateToChartFrame(chart, &sra, &sdec, distance, nullptr) &&
                ProjectChartPoint(chart, sra, sdec, &sx, &sy) && InFront(orbital) &&
                !((v * v + u * u) / R2 > 1)) {
                if (x) *x = sx;
                if (y) *y = sy;
                if (radius) *radius = AtLeastOne(s * f1 * ppr);
                if (shadowRadius) *shadowRadius = AtLeastOne(s * f2 * ppr);
                if (shadowRatio)
                    *shadowRatio = planet->heliocentric.radius > 0
                                       ? s / (kSunRadiusAtOneAU / planet->heliocentric.radius)
                                       : 0.0;
                if (label) PutText(label, kSolarLabelSize, "%s shadow", name);
                chart->solar.shadowPending = 1;
                return kSatelliteShadow;
            }
        }
        // 4. The satellite itself.
        chart->solar.shadowPending = 0;
        ++chart->solar.satelliteCursor;
        double ra = 0, dec = 0;
        ComputeOffsetPosition(planet->satellites[kSatPositionAngle][slot],
                              planet->satellites[kSatSeparation][slot], planetRa, planetDec, &ra,
                              &dec);
        int px = 0, py = 0;
        if (!ConvertPlaceOfDateToChartFrame(chart, &ra, &dec, distance, nullptr) ||
            !ProjectChartPoint(chart, ra, dec, &px, &py))
            continue;
        double ex = planet->satellites[kSatOffsetX][slot], ey = planet->satellites[kSatOffsetY][slot];
        if (type == kBodyJupiter) ey *= kJupiterFlattening;
        bool shown = InFront(orbital) || ((v * v + u * u) / R2 > 1 && (ex * ex + ey * ey) / R2 > 1);
        if (!shown) continue;
        if (x) *x = px;
        if (y) *y = py;
        if (radius) *radius = AtLeastOne(s * ppr);
        if (label) PutText(label, kSolarLabelSize, "%s", name);
        return kSatelliteShown;
    }
    return 0;
}

int InitChartFocus(ChartFocus *focus, const ChartContext *chart, const ObjectRecord *object,
                   double *times, int count, int followRequest, int objectClass, int satellite,
                   int32_t index) {
    if (!focus) return 0;
    std::memset(focus, 0, sizeof *focus);
    focus->follow = followRequest && objectClass != 0 && object && chart &&
                            IsSolarSystemChartClass(object->objectClass) &&
                            IsSolarSystemChartClass(objectClass) && count != 0 &&
                            object->index != index
                        ? 1
                        : 0;
    if (focus->follow) {
        focus->centreRightAscension = chart->centreRightAscension;
        focus->centreDeclination = chart->centreDeclination;
        focus->projectionLatitude = chart->projectionKind == kProjectionStereographic
                                        ? kPi / 2 - chart->projection.parameter
                                        : chart->projection.parameter;
        focus->object = *object;
    }
    focus->times = times;
    focus->count = count;
    focus->objectClass = objectClass;
    focus->satellite = satellite;
    focus->index = index;
    return 1;
}

int LiftChartCentreAboveHorizon(ChartContext *chart, double *rightAscension, double *declination) {
    if (!chart || !rightAscension || !declination) return 0;
    double az = *rightAscension, alt = *declination;
    ConvertCatalogueToHorizontal(chart, &az, &alt, 1);
    if (alt < kLiftShare * chart->field) {
        // Only ever raised: a centre already high enough stays where it is.
        double lifted = chart->field / 2 + chart->site.horizonDip;
        if (alt < lifted) alt = lifted;
    }
    ConvertHorizontalToCatalogue(chart, &az, &alt);
    *rightAscension = az;
    *declination = alt;
    return 1;
}

int NextFocusItem(ChartFocus *focus, ChartContext *chart, const SolarSystemHit *hits,
                  double *rightAscension, double *declination, int *x, int *y,
                  double *symbolRadius, int *shade, BodyRecord *work, int *satellite,
                  double parameter, double secondParameter, int lift) {
    if (!focus || !chart || !work) return -1;
    SolarLayerState &st = chart->solar;
    if (satellite) *satellite = 0;
    while (hits && st.hitCursor < st.hitCount) {
        const SolarSystemHit &hit = hits[st.hitCursor];
        const bool other = focus->objectClass != 0 &&
                           !(hit.objectClass == focus->objectClass && hit.index == focus->index);
        if (focus->follow && other && st.timeCursor == 0) {
            RestoreChartTime(chart);
            Recentre(chart, focus->centreRightAscension, focus->centreDeclination, parameter,
                     secondParameter, lift);
        }
        if (focus->count != 0) {
            if (st.timeCursor < focus->count && !other)
                MoveCurrentDateTo(chart, focus->times[st.timeCursor]);
            else
                MoveCurrentDateTo(chart, chart->savedDate.julianDate);
            st.earth = ComputeEarthHeliocentric(&chart->currentDate);
            if (focus->follow && !other &&
                RefreshObjectRecord(&focus->object, 0.0, &chart->site, &chart->currentDate,
                                    chart->extinctionCoefficient))
                Recentre(chart, focus->object.raJ2000AtDate, focus->object.decJ2000AtDate,
                         parameter, secondParameter, lift);
        }
        // The cursors move on: one placement for a hit without times or an
        // other hit, else one per time and a last one at the chart time.
        if (focus->count == 0 || other || st.timeCursor >= focus->count) {
            ++st.hitCursor;
            st.timeCursor = 0;
        } else {
            ++st.timeCursor;
        }
        double ra = 0, dec = 0, distance = 0, m = 0;
        if (!ComputeSolarObjectPlace(chart, nullptr, hit.objectClass, hit.satellite, hit.index,
                                     nullptr, work, st.earth, &ra, &dec, &distance, &m, nullptr))
            return -1;
        double lon = ra, lat = dec;
        int result = hit.objectClass;
        if (hit.objectClass == kHitClassSolarSystem) {
            CompleteBody(chart, work, st.earth);
            if (satellite) *satellite = hit.satellite;
            int ok = hit.satellite == 0 ? ConvertBodyToChartFrame(chart, work, &lon, &lat, &m)
                                        : ConvertPlaceOfDateToChartFrame(chart, &lon, &lat,
                                                                         BodyDistanceAu(work), &m);
            if (!ok) continue;
        } else if (!ConvertJ2000PlaceToChartFrame(chart, &lon, &lat, distance, &m)) {
            continue;
        }
        int px = 0, py = 0;
        double radius = 0;
        if (!ProjectBodyItem(chart, work, hit.objectClass, ra, dec, lon, lat, m, &px, &py, &radius)) continue;
        if (rightAscension) *rightAscension = ra;
        if (declination) *declination = dec;
        if (x) *x = px;
        if (y) *y = py;
        if (symbolRadius) *symbolRadius = radius;
        if (shade) *shade = GetStarShade(chart, m);
        return result;
    }
    // The end: the chart time and, for a chart that followed, its centre.
    RestoreChartTime(chart);
    st.earth = ComputeEarthHeliocentric(&chart->currentDate);
    if (focus->follow)
        Recentre(chart, focus->centreRightAscension, focus->centreDeclination, parameter,
                 secondParameter, lift);
    return 0;
}
