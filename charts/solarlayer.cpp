// The solar-system layer's collector, the placing and labelling of one
// solar-system object, and the conversions of solar-system places into the
// chart frames.
#include "charts/solarlayer.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "astro/chartgeom.h"
#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/precession.h"
#include "astro/sidereal.h"
#include "charts/chartcontext.h"
#include "charts/chartgeometry.h"
#include "charts/framepairs.h"
#include "charts/charttime.h"
#include "charts/motiontrack.h"
#include "charts/solaritems.h"
#include "core/mathutil.h"
#include "ephem/bodynames.h"
#include "ephem/parallax.h"
#include "ephem/physical.h"
#include "ephem/satellitenames.h"
#include "ephem/satellites.h"
#include "minorbodies/cometdb.h"
#include "minorbodies/fieldsearch.h"
#include "minorbodies/mpdatabase.h"
#include "core/userfolder.h"
#include "events/pairsearch.h"
#include "objects/builders.h"
#include "objects/objectrecord.h"

namespace {

// Labels are cut at their buffer's size by design.
void PutText(char *buffer, int size, const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, static_cast<size_t>(size), format, args);
    va_end(args);
}

const double kDegree = kPi / 180.0;
const double kTwoPi = 2.0 * kPi;
// Astronomical units per kilometre.
const double kAuPerKm = 6.684587153547039e-9;
const double kAuPerLightYear = 63241.08;
const double kWideFieldLimit = 0.5235987755982988;  // 30 degrees
const double kDaysPerCentury = 36525.0;
// Field-search flags of the collector's searches.
const uint32_t kMinorPlanetSearchFlags = kFieldMagnitude | kFieldRadius;
const uint32_t kCometSearchFlags = kFieldPerihelionWindow | kFieldMagnitude | kFieldRadius;
const double kNoMagnitude = 99.9;
const double kBrightestMagnitude = -30.0;
// Comet and minor-planet label forms.
const int kCometFormLabel = 0, kCometFormNumber = 1, kCometFormDesignation = 2, kCometFormName = 3;
const int kMinorFormNumberName = 0, kMinorFormName = 1, kMinorFormNumber = 2;
const int kCometSlots = 4, kMinorPlanetSlots = 2;
// The span given to a hit: the time the body needs to cross the field,
// times 2 for the Moon and 6 for the others.
const double kMoonSpanFactor = 2.0, kBodySpanFactor = 6.0;
// The scan of a long track span takes at most this many samples.
// The pair search's answers read before its first minimum (progress ticks
// among them) are bounded.
const long kMaxPairEvents = 1000000;
// The pair search's time tolerance when the track never moves a pixel
// (step 0): one minute, in days.
const double kPairToleranceFloor = 1.0 / 1440.0;
// The second body of the pair search: a fixed point (the chart centre).
const int kPairFixedPoint = 0;

bool IsLunar(int type) { return type == kBodyMoon || type == kBodyEarthShadow; }

double RoundHalfAway(double x) { return x < 0 ? -std::floor(-x + 0.5) : std::floor(x + 0.5); }

// Geocentric apparent place of date: nutation, and annual aberration for
// every body but the Moon and the shadow (whose places carry none).
void ApparentPlace(const DateRecord *date, const BodyRecord *body, double *ra, double *dec) {
    *ra = body->geocentricRightAscension;
    *dec = body->geocentricDeclination;
    if (IsLunar(body->type))
        ApplyNutationToEquatorial(date, ra, dec, 1);
    else
        ConvertMeanToApparentPlace(date, ra, dec, 1);
}

void PrecessDateToJ2000(const DateRecord *date, double *ra, double *dec) {
    PrecessionRecord p;
    InitPrecession(&p, date->centuries, 0.0, 1, 1);
    ApplyPrecession(&p, ra, dec, 0.0, 0.0, 0);
    *ra = ReduceToFullTurn(*ra);
}
void PrecessJ2000ToDate(const DateRecord *date, double *ra, double *dec) {
    PrecessionRecord p;
    InitPrecession(&p, 0.0, date->centuries, 1, 1);
    ApplyPrecession(&p, ra, dec, 0.0, 0.0, 0);
    *ra = ReduceToFullTurn(*ra);
}

// Diurnal parallax of a place of date for a body at distance (AU).
void ChartParallax(ChartContext *c, double distance, double *ra, double *dec) {
    if (!c->topocentric || !(distance > 0)) return;
    ApplyPlanetParallax(&c->site, &c->currentDate, distance, ra, dec);
    *ra = ReduceToFullTurn(*ra);
}

// The body's astrometric J2000 place as seen from the chart's site (when
// topocentric): the geometric place of the mean equator of date (light
// time already in it), the diurnal parallax, precession to J2000. Stars of
// the catalogue frame are mean J2000 places, so the bodies join them without
// the 20" of aberration and the nutation an apparent place would carry.
void BodyJ2000Place(ChartContext *c, const BodyRecord *body, double *ra, double *dec) {
    *ra = body->geocentricRightAscension;
    *dec = body->geocentricDeclination;
    const double distance = body->geocentricDistance;
    if (c->topocentric && distance > 0) {
        if (IsLunar(body->type)) {
            double d = distance;
            ApplyMoonParallax(&c->site, &c->currentDate, kEarthRadiusKm / distance, ra, dec, &d);
            *ra = ReduceToFullTurn(*ra);
            // A fold past the pole comes back with its own sign.
            if (*dec > kPi) *dec -= kTwoPi;
        } else {
            ApplyPlanetParallax(&c->site, &c->currentDate, distance, ra, dec);
        }
    }
    PrecessDateToJ2000(&c->currentDate, ra, dec);
}

// Frames 2 to 5 start from the apparent place seen from the site.
void BodyApparentPlaceForChart(ChartContext *c, const BodyRecord *body, double *ra, double *dec) {
    if (c->topocentric) {
        *ra = body->topocentricRightAscension;
        *dec = body->topocentricDeclination;
    } else {
        ApparentPlace(&c->currentDate, body, ra, dec);
    }
}

// An apparent place of date into frames 2 to 5 (saved date for the horizon
// and the ecliptic). always: a horizon place below the horizon still counts.
int ApparentOfDateToFrame(ChartContext *c, double *ra, double *dec, double *magnitude,
                          int always) {
    switch (c->frameMode) {
    case kFrameApparent:
        return 1;
    case kFrameHorizon:
        return ConvertEquatorialToHorizontal(&c->site, &c->savedDate, ra, dec) == 1 ? 1 : 0;
    case kFrameApparentHorizon: {
        int r = ConvertEquatorialToApparentHorizontal(&c->site, &c->savedDate,
                                                      c->extinctionCoefficient, ra, dec, magnitude,
                                                      always);
        return r == 1 ? 1 : 0;
    }
    case kFrameEcliptic: {
        ReplaceByEcliptic(&c->savedDate, ra, dec);
        return 1;
    }
    default:
        return 0;
    }
}

void CopyLabel(char *label, const char *text) {
    if (label) PutText(label, kSolarLabelSize, "%s", text ? text : "");
}

// The label slots of a comet or minor-planet family: 1 when the switch is
// on and the magnitude lies in the window (or the window is off).
bool FamilyLabelsApply(const ChartLabelSettings *s, int family, double magnitude) {
    if (!s->firstSwitch[family]) return false;
    if (s->magnitudeWindow[family] &&
        (magnitude < s->brightBound[family] || magnitude > s->faintBound[family]))
        return false;
    return true;
}

void AppendMagnitudeSuffix(const ChartLabelSettings *s, int family, double magnitude,
                           char *label) {
    if (!s->magnitudeSuffix[family]) return;
    if (s->magnitudeWindow[family] &&
        (magnitude < s->brightBound[family] || magnitude > s->faintBound[family]))
        return;
    size_t n = std::strlen(label);
    if (n + 1 >= static_cast<size_t>(kSolarLabelSize)) return;
    PutText(label + n, static_cast<int>(kSolarLabelSize - n), " (%d)",
                  static_cast<int>(RoundHalfAway(magnitude * 10.0)));
}

// The comet label from the first enabled slot that applies; fileLabel is
// the full label (form 0). Empty when no slot gives a text.
void CometSlotLabel(const ChartLabelSettings *s, double magnitude, const char *fileLabel,
                    uint16_t number, const char *designation, const char *name, char *label) {
    label[0] = '\0';
    for (int i = 0; i < kCometSlots; ++i) {
        if (!s->enable[kFamilyComets][i]) continue;
        switch (s->order[kFamilyComets][i]) {
        case kCometFormLabel: CopyLabel(label, fileLabel); return;
        case kCometFormNumber:
            if (number > 0) {
                PutText(label, kSolarLabelSize, "%dP", number);
                return;
            }
            break;
        case kCometFormDesignation:
            if (designation && *designation) { CopyLabel(label, designation); return; }
            break;
        case kCometFormName:
            if (name && *name) { CopyLabel(label, name); return; }
            break;
        default: break;
        }
    }
}

void MinorPlanetSlotLabel(const ChartLabelSettings *s, int32_t number, const char *name,
                          bool user, char *label) {
    label[0] = '\0';
    for (int i = 0; i < kMinorPlanetSlots; ++i) {
        if (!s->enable[kFamilyMinorPlanets][i]) continue;
        switch (s->order[kFamilyMinorPlanets][i]) {
        case kMinorFormNumberName:
            if (number >= 1)
                PutText(label, kSolarLabelSize, "(%d) %s", static_cast<int>(number), name);
            else
                CopyLabel(label, name);
            return;
        case kMinorFormName: CopyLabel(label, name); return;
        case kMinorFormNumber:
            if (!user || number != 0) {
                PutText(label, kSolarLabelSize, "%d", static_cast<int>(number));
                return;
            }
            break;
        default: break;
        }
    }
}

int PlaceBody(ChartContext *c, int satellite, int32_t type, BodyRecord *work,
              HeliocentricPlace earth, double *ra, double *dec, double *distance,
              double *magnitude, char *label) {
    if (type < kBodySun || type > kBodyEarthShadow || type == kBodyEarth) return 0;
    const DateRecord *date = &c->currentDate;
    std::memset(work, 0, sizeof *work);
    work->type = type;
    if (!ComputeBodyPosition(date, earth, work)) return 0;
    double d = work->geocentricDistance;
    if (IsLunar(type)) d *= kAuPerKm;
    if (satellite == 0) {
        ComputePhaseAndMagnitude(date, work, earth);
        ApparentPlace(date, work, ra, dec);
        *magnitude = work->magnitude;
        *distance = d;
        CopyLabel(label, GetBodyName(type));
        return 1;
    }
    if (satellite < 0 || satellite > GetSatelliteCount(type)) return 0;
    ComputeBodyTopocentric(&c->site, date, work);
    ComputeBodyPhysicalData(date, work, earth);
    work->satelliteCount = 0;
    ComputePlanetSatellites(date, work, type == kBodyNeptune || type == kBodyPluto ? 0 : satellite);
    if (work->satelliteCount <= 0) return 0;
    const int slot = satellite - 1;
    double pra = 0, pdec = 0;
    ApparentPlace(date, work, &pra, &pdec);
    ComputeOffsetPosition(work->satellites[kSatPositionAngle][slot],
                          work->satellites[kSatSeparation][slot], pra, pdec, ra, dec);
    *magnitude = work->satellites[kSatMagnitude][slot];
    *distance = d;
    if (label) {
        char name[32];
        GetSatelliteName(type, satellite, name);
        PutText(label, kSolarLabelSize, "%s (%s)", name, GetBodyName(type));
    }
    return 1;
}

// A user comet or minor planet through the object builders (the user stores
// stand above this floor's minor-body layer and hand their places up there).
int PlaceUserBody(ChartContext *c, int objectClass, int32_t id, double *ra, double *dec,
                  double *distance, double *magnitude, char *fileLabel) {
    ObjectRecord object;
    std::memset(&object, 0, sizeof object);
    object.objectClass = static_cast<uint8_t>(objectClass);
    char text[kSolarLabelSize] = "";
    int ok = objectClass == kHitClassUserComet
                 ? BuildUserCometObject(id, text, &c->site, &c->currentDate,
                                        c->extinctionCoefficient, &object, 0)
                 : BuildUserMinorPlanetObject(id, text, &c->site, &c->currentDate,
                                              c->extinctionCoefficient, &object, 0);
    if (ok != 1) return 0;
    *ra = object.raJ2000AtDate;
    *dec = object.decJ2000AtDate;
    *distance = object.distanceLightYears * kAuPerLightYear;
    *magnitude = object.magnitude;
    text[kSolarLabelSize - 1] = '\0';
    CopyLabel(fileLabel, text);
    return 1;
}

}  // namespace

// ---- tables and shims -------------------------------------------------------

double GetBodyFieldMargin(int bodyType) {
    switch (bodyType) {
    case kBodySun:
    case kBodyMoon: return 0.01308996938995747;              // 0.75 deg
    case kBodyMercury:
    case kBodyMars: return 0.0001454441043328608;            // 30"
    case kBodyVenus:
    case kBodyJupiter:
    case kBodySaturn: return 0.00024240684055476798;         // 50"
    case kBodyUranus:
    case kBodyNeptune: return 0.0000484813681109536;         // 10"
    case kBodyPluto: return 4.84813681109536e-6;             // 1"
    case kBodyEarthShadow: return 0.03490658503988659;       // 2 deg
    default: return 0.0;
    }
}

double GetBodyDailyMotion(int bodyType) {
    static const float kMotion[12] = {1.0f, 4.0f, 1.6f, 1.0f, 0.5f, 0.08f,
                                      0.03f, 0.01f, 0.006f, 0.004f, 13.0f, 1.0f};
    if (bodyType < 0 || bodyType > kBodyEarthShadow) return 0.0;
    return kMotion[bodyType];
}

double GetMoonSemidiameterByPlanet(int planetType, int slot) {
    return GetSatelliteSemidiameter(planetType - kBodyMars, slot);
}
double GetMoonSemiMajorAxisByPlanet(int planetType, int slot) {
    return GetSatelliteSemiMajorAxis(planetType - kBodyMars, slot);
}
double GetMoonOppositionMagnitudeByPlanet(int planetType, int slot) {
    return GetSatelliteOppositionMagnitude(planetType - kBodyMars, slot);
}

int IsSolarSystemChartClass(int objectClass) {
    return objectClass == kHitClassSolarSystem || objectClass == kHitClassComet ||
                   objectClass == kHitClassMinorPlanet || objectClass == kHitClassUserComet ||
                   objectClass == kHitClassUserMinorPlanet
               ? 1
               : 0;
}

double GetWideFieldRadius(double field, int width, int height) {
    if (width <= 0 || height <= 0) return 0.0;
    // The field spans the window's width; the half-diagonal is (field / 2)
    // sqrt(1 + (h / w)^2). The ratio of the longer to the shorter side
    // covers that for wide and for tall windows alike.
    double longer = width > height ? width : height;
    double shorter = width > height ? height : width;
    double ratio = longer / shorter;
    double r = field / 2.0 * std::sqrt(1.0 + ratio * ratio);
    return r > kTwoPi ? kTwoPi : r;
}

// ---- frame conversions --------------------------------------------------------

int ConvertBodyToChartFrame(ChartContext *chart, BodyRecord *body, double *x, double *y,
                            double *magnitude) {
    if (!chart || !body || !x || !y) return 0;
    double j2000Ra = 0, j2000Dec = 0;
    BodyJ2000Place(chart, body, &j2000Ra, &j2000Dec);
    double a = 0, b = 0;
    switch (chart->frameMode) {
    case kFrameJ2000:
        *x = j2000Ra;
        *y = j2000Dec;
        return 1;
    case kFrameGalactic:
        a = j2000Ra;
        b = j2000Dec;
        ReplaceByGalactic(&a, &b);
        break;
    case kFrameApparent:
    case kFrameHorizon:
    case kFrameApparentHorizon:
    case kFrameEcliptic:
        BodyApparentPlaceForChart(chart, body, &a, &b);
        if (!ApparentOfDateToFrame(chart, &a, &b, magnitude, 1)) return 0;
        break;
    default:
        return 0;
    }
    if (chart->frameMode != kFrameApparent) {
        body->axisPositionAngle =
            AdjustPositionAngleToChart(chart, j2000Ra, j2000Dec, body->axisPositionAngle);
        body->brightLimbPositionAngle =
            AdjustPositionAngleToChart(chart, j2000Ra, j2000Dec, body->brightLimbPositionAngle);
    }
    *x = a;
    *y = b;
    return 1;
}

int ConvertPlaceOfDateToChartFrame(ChartContext *chart, double *rightAscension,
                                   double *declination, double distance, double *magnitude) {
    if (!chart || !rightAscension || !declination) return 0;
    double ra = *rightAscension, dec = *declination;
    // The place is apparent already (callers offset it from a planet's
    // apparent place): it is not made apparent a second time.
    ChartParallax(chart, distance, &ra, &dec);
    switch (chart->frameMode) {
    case kFrameJ2000:
    case kFrameGalactic:
        ConvertApparentToMeanPlace(&chart->currentDate, &ra, &dec, 1);
        PrecessDateToJ2000(&chart->currentDate, &ra, &dec);
        if (chart->frameMode == kFrameGalactic) ReplaceByGalactic(&ra, &dec);
        break;
    case kFrameApparentHorizon: {
        if (!ApparentOfDateToFrame(chart, &ra, &dec, magnitude, 1)) return 0;
        if (dec < 0) return 0;
        break;
    }
    default:
        if (!ApparentOfDateToFrame(chart, &ra, &dec, magnitude, 1)) return 0;
        break;
    }
    *rightAscension = ra;
    *declination = dec;
    return 1;
}

int ConvertJ2000PlaceToChartFrame(ChartContext *chart, double *rightAscension,
                                  double *declination, double distance, double *magnitude) {
    if (!chart || !rightAscension || !declination) return 0;
    double ra = *rightAscension, dec = *declination;
    switch (chart->frameMode) {
    case kFrameJ2000:
    case kFrameGalactic:
        if (chart->topocentric && distance > 0) {
            PrecessJ2000ToDate(&chart->currentDate, &ra, &dec);
            ChartParallax(chart, distance, &ra, &dec);
            PrecessDateToJ2000(&chart->currentDate, &ra, &dec);
        }
        if (chart->frameMode == kFrameGalactic) ReplaceByGalactic(&ra, &dec);
        break;
    case kFrameApparent:
    case kFrameHorizon:
    case kFrameApparentHorizon:
    case kFrameEcliptic:
        PrecessJ2000ToDate(&chart->currentDate, &ra, &dec);
        ConvertMeanToApparentPlace(&chart->currentDate, &ra, &dec, 1);
        ChartParallax(chart, distance, &ra, &dec);
        if (!ApparentOfDateToFrame(chart, &ra, &dec, magnitude, 1)) return 0;
        break;
    default:
        return 0;
    }
    *rightAscension = ra;
    *declination = dec;
    return 1;
}

// ---- one object -------------------------------------------------------------------

int ComputeSolarObjectPlace(ChartContext *chart, const ChartLabelSettings *labels, int objectClass,
                            int satellite, int32_t index, const int *stopFlag, BodyRecord *work,
                            HeliocentricPlace earth, double *rightAscension, double *declination,
                            double *distance, double *magnitude, char *label) {
    if (!chart || !work) return 0;
    double ra = 0, dec = 0, d = 0, m = kNoMagnitude;
    char text[kSolarLabelSize] = "";
    double *raOut = rightAscension ? rightAscension : &ra;
    double *decOut = declination ? declination : &dec;
    double *dOut = distance ? distance : &d;
    double *mOut = magnitude ? magnitude : &m;
    if (label) label[0] = '\0';
    const DateRecord *date = &chart->currentDate;
    switch (objectClass) {
    case kHitClassSolarSystem:
        return PlaceBody(chart, satellite, index, work, earth, raOut, decOut, dOut, mOut, label);
    case kHitClassComet: {
        char letter = 0, designation[kCometDesignationSize] = "", name[kCometNameSize] = "";
        uint16_t number = 0;
        double r = 0, elongation = 0, coma = 0, tailLength = 0, tailAngle = 0, epoch = 0;
        int condensation = 0;
        if (!ComputeCometPosition(date, index, &letter, &number, designation, name, raOut, decOut,
                                  &r, dOut, &elongation, mOut, &coma, &condensation, &tailLength,
                                  &tailAngle, &epoch, nullptr))
            return 0;
        // The coma and the tail ride in the work record for the item
        // enumerators: the coma's diameter as the equatorial diameter, the
        // tail's position angle as the axis position angle.
        std::memset(work, 0, sizeof *work);
        work->type = -1;
        work->equatorialDiameter = coma;
        work->axisPositionAngle = tailAngle;
        work->magnitude = *mOut;
        if (labels && label && FamilyLabelsApply(labels, kFamilyComets, *mOut)) {
            char full[kCometLabelSize] = "";
            FormatCometLabel(number, letter, name, designation, full);
            CometSlotLabel(labels, *mOut, full, number, designation, name, label);
            AppendMagnitudeSuffix(labels, kFamilyComets, *mOut, label);
        }
        return 1;
    }
    case kHitClassMinorPlanet: {
        FILE *names = OpenMinorPlanetNameFile();
        if (!names) return 0;
        char name[kMinorPlanetNameLength + 1] = "";
        int named = ReadMinorPlanetName(names, index, name);
        std::fclose(names);
        name[kMinorPlanetNameLength] = '\0';
        if (!named) name[0] = '\0';
        MinorPlanetEphemeris *handle = OpenMinorPlanetEphemeris();
        if (!handle) return 0;
        double r = 0, elongation = 0;
        int placed = ComputeMinorPlanetPosition(handle, date, index, raOut, decOut, &r, dOut,
                                                &elongation, mOut);
        CloseMinorPlanetEphemeris(handle);
        if (placed == 0) return 0;
        std::memset(work, 0, sizeof *work);
        work->type = -1;
        work->magnitude = *mOut;
        if (!labels) {
            CopyLabel(label, name);
        } else if (label && FamilyLabelsApply(labels, kFamilyMinorPlanets, *mOut)) {
            MinorPlanetSlotLabel(labels, index, name, false, label);
            AppendMagnitudeSuffix(labels, kFamilyMinorPlanets, *mOut, label);
        }
        return 1;
    }
    case kHitClassUserComet:
    case kHitClassUserMinorPlanet: {
        if (!PlaceUserBody(chart, objectClass, index, raOut, decOut, dOut, mOut, text)) return 0;
        std::memset(work, 0, sizeof *work);
        work->type = -1;
        work->magnitude = *mOut;
        const int family =
            objectClass == kHitClassUserComet ? kFamilyComets : kFamilyMinorPlanets;
        if (!labels || !FamilyLabelsApply(labels, family, *mOut)) {
            CopyLabel(label, text);
            return 1;
        }
        if (!label) return 1;
        if (objectClass == kHitClassUserComet) {
            CometSlotLabel(labels, *mOut, text, 0, "", text, label);
            if (!label[0]) CopyLabel(label, text);
        } else {
            MinorPlanetSlotLabel(labels, 0, text, true, label);
        }
        AppendMagnitudeSuffix(labels, family, *mOut, label);
        return 1;
    }
    default:
        (void)stopFlag;
        return 0;
    }
}

// ---- the collector --------------------------------------------------------------

int CompareHitsByDistance(const void *a, const void *b) {
    const SolarSystemHit *p = static_cast<const SolarSystemHit *>(a);
    const SolarSystemHit *q = static_cast<const SolarSystemHit *>(b);
    if (p->distance > q->distance) return -1;
    if (p->distance < q->distance) return 1;
    return 0;
}

namespace {

struct Collection {
    ChartContext *chart;
    SolarSystemHit **hits;
    int32_t count;
    const int *stop;
};

bool Stopped(const Collection &k) { return k.stop && *k.stop; }

// Appends one hit; a hit that cannot be stored is not counted.
void AppendHit(Collection *k, int objectClass, int satellite, int32_t index, double distance,
               double span, double time) {
    SolarSystemHit *grown = static_cast<SolarSystemHit *>(
        std::realloc(*k->hits, sizeof(SolarSystemHit) * static_cast<size_t>(k->count + 1)));
    if (!grown) return;
    *k->hits = grown;
    SolarSystemHit &h = grown[k->count];
    std::memset(&h, 0, sizeof h);
    h.objectClass = objectClass;
    h.satellite = static_cast<uint8_t>(satellite);
    h.index = index;
    h.distance = static_cast<float>(distance);
    h.span = static_cast<float>(span);
    h.time = static_cast<float>(time);
    ++k->count;
}

bool HasHit(const Collection &k, int objectClass, int32_t index, int *at) {
    for (int i = 0; i < k.count; ++i)
        if ((*k.hits)[i].objectClass == objectClass && (*k.hits)[i].index == index) {
            if (at) *at = i;
            return true;
        }
    return false;
}

// The widest angular distance from the centre of the chart's top row that
// maps to the sky (small fields).
double MeasureFieldRadius(ChartContext *c) {
    const int w = c->windowWidth, h = c->windowHeight;
    int row = -1;
    double ra = 0, dec = 0;
    for (int j = c->visibleTop; j < c->visibleTop + h / 2; ++j)
        if (ScreenToSky(c, c->visibleLeft + w / 2, j, &ra, &dec)) {
            row = j;
            break;
        }
    if (row < 0) return 0.0;
    int step = w / 4 - 1;
    if (step < 1) step = 1;
    double widest = 0.0;
    for (int x = c->visibleLeft; x <= c->visibleRight; x += step) {
        if (!ScreenToSky(c, x, row, &ra, &dec)) continue;
        double s = AngularSeparation(ra, dec, c->centreRightAscension, c->centreDeclination);
        if (s > widest) widest = s;
    }
    return widest;
}

// The body's separation from the chart centre at the current date, with
// its magnitude, distance (AU) and the reach of its satellites.
struct BodyTest {
    double separation, magnitude, distance, satelliteReach;
};

bool TestBodyNow(ChartContext *c, int type, BodyRecord *body, BodyTest *t) {
    std::memset(body, 0, sizeof *body);
    body->type = type;
    HeliocentricPlace earth = ComputeEarthHeliocentric(&c->currentDate);
    if (!ComputeBodyPosition(&c->currentDate, earth, body)) return false;
    double ra = 0, dec = 0;
    BodyJ2000Place(c, body, &ra, &dec);
    t->separation = AngularSeparation(ra, dec, c->centreRightAscension, c->centreDeclination);
    t->distance = IsLunar(type) ? body->geocentricDistance * kAuPerKm : body->geocentricDistance;
    t->satelliteReach = 0.0;
    const int satellites = GetSatelliteCount(type);
    for (int s = 0; s < satellites && t->distance > 0; ++s) {
        double reach = 2.0 * GetSatelliteSemiMajorAxis(type - kBodyMars, s) / t->distance;
        if (reach > t->satelliteReach) t->satelliteReach = reach;
    }
    ComputeBodyTopocentric(&c->site, &c->currentDate, body);
    ComputePhaseAndMagnitude(&c->currentDate, body, earth);
    t->magnitude = body->magnitude;
    return true;
}

bool WithinLimit(const ChartContext *c, int type, double magnitude) {
    return type == kBodyMoon || !(magnitude > c->limitingMagnitude);
}

// Sets the current date to a Julian date, completed as the chart time is
// (the saved date untouched).
void MoveCurrentDateTo(ChartContext *c, double julianDate) {
    AdvanceChartTime(c, julianDate - c->currentDate.julianDate);
}

// Sun, Moon, planets and shadow. 0 when a needed set-up fails.
int CollectBodies(Collection *k, MotionTrack *track, const ChartFocus *focus, uint32_t layers,
                  double R, double *focusTimes, int focusCount) {
    ChartContext *c = k->chart;
    const bool trackMode = track && track->mode == kTrackCollectedBodies;
    const double D = trackMode ? track->span[0] : 0.0;
    BodyRecord body;
    for (int type = kBodySun; type <= kBodyEarthShadow; ++type) {
        if (type == kBodyEarth) continue;
        uint32_t need = type == kBodySun ? kLayerSun
                        : type == kBodyMoon ? kLayerMoon
                        : type == kBodyEarthShadow ? kLayerEarthShadow
                                                   : kLayerPlanets;
        if (!(layers & need)) continue;
        if (Stopped(*k)) return 0;
        const double margin = GetBodyFieldMargin(type);
        const double rate = GetBodyDailyMotion(type) * kDegree;
        const double crossing = 2.0 * R / rate;
        const double span = crossing * (type == kBodyMoon ? kMoonSpanFactor : kBodySpanFactor);
        bool found = false;

        // 1. The track test.
        long steps = 1;
        if (trackMode && D > 0) {
            const double offsets[3] = {0.0, -D / 2, D / 2};
            bool set = false;
            for (double offset : offsets) {
                DateRecord date = c->savedDate;
                date.julianDate += offset;
                SetDateRecordFromJulianDate(&c->site, &date);
                ComputeDeltaTAndNutation(&date, 0);
                ComputeSiderealTimes(&c->site, &date);
                track->mode = kTrackCollectedBodies;
                int budget = (c->windowWidth > c->windowHeight ? c->windowWidth : c->windowHeight) / 3;
                if (SetUpMotionTrack(c, track, &date, kHitClassSolarSystem, 0, type, kSetUpOwnMotion,
                                     0, nullptr, budget)) {
                    set = true;
                    break;
                }
            }
            if (!set) continue;
            // A track that never moves a pixel has step 0: one sample then.
            steps = track->step > 0 ? static_cast<long>(D / track->step) + 1 : 1;
        }

        if (!trackMode || D < 4.0 * R / rate) {
            // 2. Step through time.
            for (long i = 0; i < steps; ++i) {
                if (Stopped(*k)) { RestoreChartTime(c); return 0; }
                BodyTest t;
                if (TestBodyNow(c, type, &body, &t) &&
                    t.separation < R + margin + t.satelliteReach) {
                    if (WithinLimit(c, type, t.magnitude))
                        AppendHit(k, kHitClassSolarSystem, 0, type, t.distance, span,
                                  c->currentDate.centuriesTT);
                    found = true;
                }
                if (found || steps == 1) break;
                AdvanceChartTime(c, track->step);
                if (!(c->currentDate.centuriesTT < track->end)) break;
            }
        } else {
            // 3. A long span: the two-body search of the event finders
            // between the body and the chart centre over the track's span,
            // refined to the track step; its first minimum within reach is
            // the pass.
            DateRecord date = c->savedDate;
            track->mode = kTrackCollectedBodies;
            if (!SetUpMotionTrack(c, track, &date, kHitClassSolarSystem, 0, type, kSetUpOwnMotion, 0,
                                  nullptr, (c->windowWidth > c->windowHeight ? c->windowWidth
                                                                             : c->windowHeight) / 3)) {
                RestoreChartTime(c);
                return 0;
            }
            PairSearch pair;
            std::memset(&pair, 0, sizeof pair);
            const double tolerance = track->step > 0 ? track->step : kPairToleranceFloor;
            if (!BeginPairSearch(&pair, &c->site, &track->start, D, tolerance, R + margin,
                                 kClassSolarSystem, type, 0, kPairFixedPoint, 0, 0,
                                 kCoordinatesTopocentricJ2000, kMeasureSeparation, c->centreRightAscension,
                                 c->centreDeclination, nullptr)) {
                RestoreChartTime(c);
                return 0;
            }
            double when = 0.0, separation = 0.0;
            int event = kPairEnd;
            for (long n = 0; n < kMaxPairEvents; ++n) {
                if (Stopped(*k)) {
                    EndPairSearch(&pair);
                    RestoreChartTime(c);
                    return 0;
                }
                event = NextPairEvent(&pair, &c->site, &when, &separation, nullptr);
                if (event == kPairEnd || event > 0) break;
            }
            EndPairSearch(&pair);
            if (event > 0) {
                RestoreChartTime(c);
                BodyTest t;
                if (separation < R && TestBodyNow(c, type, &body, &t) && WithinLimit(c, type, t.magnitude))
                    AppendHit(k, kHitClassSolarSystem, 0, type, t.distance, span,
                              CenturiesFromJulianDate(when));
                found = true;
            }
        }
        RestoreChartTime(c);

        // 4. The times of a focus list.
        if (!found && focusCount > 0 && focus && focus->objectClass == 0) {
            for (int i = 0; i < focusCount && !found; ++i) {
                MoveCurrentDateTo(c, focusTimes[i]);
                BodyTest t;
                if (TestBodyNow(c, type, &body, &t) && t.separation < R + margin &&
                    WithinLimit(c, type, t.magnitude)) {
                    AppendHit(k, kHitClassSolarSystem, 0, type, t.distance, 0.0,
                              c->currentDate.centuriesTT);
                    found = true;
                }
            }
            RestoreChartTime(c);
        }
    }
    return 1;
}

void ApparentSearchCentre(ChartContext *c, double *ra, double *dec) {
    *ra = c->centreRightAscension;
    *dec = c->centreDeclination;
    PrecessJ2000ToDate(&c->currentDate, ra, dec);
    ConvertMeanToApparentPlace(&c->currentDate, ra, dec, 1);
    *ra = ReduceToFullTurn(*ra);
}

MinorPlanetFieldSearch *BeginMinorPlanets(ChartContext *c, const char *path, double R,
                                          double limit, const int *stop) {
    double ra = 0, dec = 0;
    ApparentSearchCentre(c, &ra, &dec);
    const double none = kFieldSearchNoLimit;
    return BeginMinorPlanetFieldSearch(
        &c->site, &c->currentDate, path, ra, dec, c->centreRightAscension, c->centreDeclination, R,
        kBrightestMagnitude, limit, none, none, none, none, none, 0, none, none, none, none, none,
        none, none, none, nullptr, nullptr, 0, kMinorPlanetSearchFlags, 0, 0, nullptr, stop);
}

CometFieldSearch *BeginComets(ChartContext *c, const char *path, double R, double limit,
                              uint32_t flags, const int *stop) {
    double ra = 0, dec = 0;
    ApparentSearchCentre(c, &ra, &dec);
    const ChartCometFilter &f = c->solar.cometFilter;
    const double none = kFieldSearchNoLimit;
    // A perihelion window of 0 (or none) asks for no window.
    if (!(f.perihelionWindow > 0) || f.perihelionWindow == none) flags &= ~kFieldPerihelionWindow;
    return BeginCometFieldSearch(
        &c->site, &c->currentDate, path, c->filterOptics, c->filterObserver, c->camera,
        c->cameraFilter, c->imagingOption, c->exposure, 0, ra, dec, R,
        f.maxDelta > 0 ? f.maxDelta : none, kBrightestMagnitude, limit,
        f.minElongation > 0 ? f.minElongation : none, f.perihelionWindow,
        c->currentDate.centuriesTT, 0, none, none, 0, none, none, none, none, none, none, none,
        none, none, none, f.typeMode, f.keepD, nullptr, nullptr, 0, flags, nullptr, stop);
}

// The comet limit and flags of the packaged (extra 0) or user (extra 0.75)
// comet search.
void CometLimit(const ChartContext *c, double extra, double defaultLimit, int request,
                double *limit, uint32_t *flags) {
    *flags = kCometSearchFlags;
    if (c->solar.cometLimitSwitch) {
        *limit = c->limitingMagnitude + extra;
        *flags |= kFieldImaging;
    } else if (request) {
        *limit = c->limitingMagnitude + extra;
        *flags |= kFieldVisible;
    } else {
        *limit = defaultLimit;
    }
    if (c->solar.noLimitSwitch) {
        *limit = kNoMagnitude;
        *flags &= ~(kFieldImaging | kFieldVisible);
    }
}

std::string UserFilePath(const char *name) {
    const char *folder = GetUserDataFolder();
    return std::string(folder ? folder : "") + "/" + name;
}

// Ends a collection: the hits sorted, the chart's count and cursor set, its
// time restored and the Earth's place at the chart time stored.
int FinishCollection(Collection *k, MotionTrack *track, int result) {
    ChartContext *c = k->chart;
    RestoreChartTime(c);
    c->solar.earth = ComputeEarthHeliocentric(&c->currentDate);
    c->solar.hitCursor = 0;
    if (track) track->collected = 1;
    if (result != 1) {
        c->solar.hitCount = 0;
        return result;
    }
    if (k->count > 1) std::qsort(*k->hits, k->count, sizeof(SolarSystemHit), CompareHitsByDistance);
    c->solar.hitCount = k->count;
    return 1;
}

}  // namespace

int CollectBodiesNearField(ChartContext *chart, SolarSystemHit **hits, MotionTrack *track,
                           const ChartFocus *focus, double cometLimit, uint32_t layers,
                           double minorPlanetLimit, double defaultCometLimit,
                           int cometLimitRequest, const int *stopFlag) {
    if (!chart || !hits) return 0;
    Collection k{chart, hits, 0, stopFlag};
    chart->solar.hitCount = 0;
    chart->solar.hitCursor = 0;
    (void)cometLimit;
    if (layers == 0) return FinishCollection(&k, track, 0);

    // 2. The field radius.
    double R = chart->field > kWideFieldLimit
                   ? GetWideFieldRadius(chart->field, chart->windowWidth, chart->windowHeight)
                   : MeasureFieldRadius(chart);
    if (!(R > 0)) return FinishCollection(&k, track, 1);

    double *focusTimes = nullptr;
    int focusCount = 0;
    if (focus && focus->times && focus->count > 0) {
        focusTimes = focus->times;
        focusCount = focus->count;
    }
    const bool trackMode = track && track->mode == kTrackCollectedBodies;

    // 3. Sun, Moon, planets and the shadow.
    if (layers & (kLayerSun | kLayerMoon | kLayerPlanets | kLayerEarthShadow)) {
        if (!CollectBodies(&k, trackMode ? track : nullptr, focus, layers, R, focusTimes, focusCount))
            return FinishCollection(&k, track, 0);
    }
    RestoreChartTime(chart);

    // 4. The minor bodies' radius covers the track's span and the focus times.
    if (trackMode) R += track->span[0] * kDegree;
    if (focusCount > 0 && focus->objectClass == 0) {
        double lo = focusTimes[0], hi = focusTimes[0];
        for (int i = 1; i < focusCount; ++i) {
            if (focusTimes[i] < lo) lo = focusTimes[i];
            if (focusTimes[i] > hi) hi = focusTimes[i];
        }
        if (R < (hi - lo) * kDegree) R = (hi - lo) * kDegree;
    }
    if (R > kPi) R = kPi;

    // 5. Packaged minor planets.
    if (layers & kLayerMinorPlanets) {
        MinorPlanetFieldSearch *s = BeginMinorPlanets(chart, nullptr, R, minorPlanetLimit, stopFlag);
        if (!s) return FinishCollection(&k, track, 0);
        double distance = 0;
        for (int32_t n; (n = NextPackagedMinorPlanetInField(s, nullptr, nullptr, &distance, nullptr,
                                                            nullptr)) > 0;)
            AppendHit(&k, kHitClassMinorPlanet, 0, n, distance, 0, 0);
        EndMinorPlanetFieldSearch(s);
    }
    // 6. Packaged comets.
    if (layers & kLayerComets) {
        double limit = 0;
        uint32_t flags = 0;
        CometLimit(chart, 0.0, defaultCometLimit, cometLimitRequest, &limit, &flags);
        CometFieldSearch *s = BeginComets(chart, nullptr, R, limit, flags, stopFlag);
        if (!s) return FinishCollection(&k, track, 0);
        double distance = 0;
        for (int n; (n = NextPackagedCometInField(s, nullptr, nullptr, nullptr, &distance, nullptr,
                                                  nullptr)) > 0;)
            AppendHit(&k, kHitClassComet, 0, n - 1, distance, 0, 0);
        EndCometFieldSearch(s);
        if (chart->selectedObjectType == kHitClassComet &&
            !HasHit(k, kHitClassComet, chart->selectedObjectIndex, nullptr)) {
            double delta = 0;
            if (ComputeCometPosition(&chart->currentDate, chart->selectedObjectIndex, nullptr,
                                     nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &delta,
                                     nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     nullptr))
                AppendHit(&k, kHitClassComet, 0, chart->selectedObjectIndex, delta, 0, 0);
        }
    }
    // 7. User minor planets (skipped when the search cannot start).
    if (layers & kLayerUserMinorPlanets) {
        std::string path = UserFilePath("mp.bin");
        MinorPlanetFieldSearch *s = BeginMinorPlanets(chart, path.c_str(), R, minorPlanetLimit, stopFlag);
        if (s) {
            double distance = 0;
            for (int32_t n; (n = NextUserMinorPlanetInField(s, nullptr, nullptr, &distance, nullptr,
                                                            nullptr)) > 0;)
                AppendHit(&k, kHitClassUserMinorPlanet, 0, n, distance, 0, 0);
            EndMinorPlanetFieldSearch(s);
        }
    }
    // 8. User comets (skipped when the search cannot start).
    if (layers & kLayerUserComets) {
        double limit = 0;
        uint32_t flags = 0;
        CometLimit(chart, 0.75, defaultCometLimit, cometLimitRequest, &limit, &flags);
        std::string path = UserFilePath("comet.bin");
        CometFieldSearch *s = BeginComets(chart, path.c_str(), R, limit, flags, stopFlag);
        if (s) {
            double distance = 0;
            for (int n; (n = NextUserCometInField(s, nullptr, nullptr, nullptr, &distance, nullptr,
                                                  nullptr)) > 0;)
                AppendHit(&k, kHitClassUserComet, 0, n, distance, 0, 0);
            EndCometFieldSearch(s);
        }
        if (chart->selectedObjectType == kHitClassUserComet &&
            !HasHit(k, kHitClassUserComet, chart->selectedObjectIndex, nullptr)) {
            double ra, dec, delta = 0, m;
            char text[kSolarLabelSize];
            if (PlaceUserBody(chart, kHitClassUserComet, chart->selectedObjectIndex, &ra, &dec,
                              &delta, &m, text))
                AppendHit(&k, kHitClassUserComet, 0, chart->selectedObjectIndex, delta, 0, 0);
        }
    }
    if (stopFlag && *stopFlag) return FinishCollection(&k, track, 0);

    // 9. The focus object.
    if (focusCount > 0 && focus->objectClass != 0) {
        int at = -1;
        if (HasHit(k, focus->objectClass, focus->index, &at)) {
            if (focus->satellite != 0) (*hits)[at].satellite = static_cast<uint8_t>(focus->satellite);
        } else {
            BodyRecord work;
            double ra, dec, distance = 0, m;
            char label[kSolarLabelSize];
            if (ComputeSolarObjectPlace(chart, nullptr, focus->objectClass, focus->satellite,
                                        focus->index, stopFlag, &work, ComputeEarthHeliocentric(&chart->currentDate),
                                        &ra, &dec, &distance, &m, label))
                AppendHit(&k, focus->objectClass, focus->satellite, focus->index, distance, 0, 0);
        }
    }
    return FinishCollection(&k, track, 1);
}

int ProjectChartPoint(ChartContext *chart, double longitude, double latitude, int *x, int *y) {
    if (!chart) return 0;
    int px = 0, py = 0;
    if (!ProjectToChart(&chart->projection, longitude, latitude, &px, &py)) return 0;
    MirrorChartPixel(chart, &px, &py);
    if (x) *x = px;
    if (y) *y = py;
    return 1;
}

void GetBodyApparentPlace(const DateRecord *date, const BodyRecord *body, double *rightAscension,
                          double *declination) {
    if (!date || !body || !rightAscension || !declination) return;
    ApparentPlace(date, body, rightAscension, declination);
}
