// Field searches over the packaged minor planets and over packaged or user
// comets. The cheap tests (orbital elements, the coarse track of the element
// files) come before the orbit is solved; the place is then tested exactly.
#include "minorbodies/fieldsearch.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <sys/stat.h>

#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/precession.h"
#include "core/mathutil.h"
#include "ephem/parallax.h"
#include "instruments/instrumentrecord.h"
#include "minorbodies/mpdatabase.h"
#include "minorbodies/usermp.h"

namespace {

const double kTwoPi = 2.0 * kPi;
// The coarse track's allowance on the radius: 2 arcminutes.
const double kCoarseRadiusAllowance = 0.0005817764173314432;
// The coarse track's allowance on the magnitude window.
const double kCoarseMagnitudeAllowance = 0.1;
const double kOneHourCenturies = 1.1407711613050422e-6;
const double kArcminute = kPi / 10800.0;
const double kDaysPerYear = 365.25;
const double kDaysPerCentury = 36525.0;
// Beyond this eccentricity a comet's period is not taken.
const double kPeriodicEccentricity = 0.98;
const double kNoMagnitude = 99.9;

FieldConstellationTest g_constellation = nullptr;
CometFieldVisibility g_visibility = {nullptr, nullptr};

bool InRange(double x, double lo, double hi) {
    if (lo != kFieldSearchNoLimit && x < lo) return false;
    if (hi != kFieldSearchNoLimit && x > hi) return false;
    return true;
}

struct Limits {
    double radius, bright, faint, minElongation, maxDelta;
    double periodMin, periodMax;
    int years;
    double QMin, QMax, qMin, qMax, iMin, iMax, eMin, eMax;
};

// The common part of both searches.
struct Common {
    LocationRecord site;
    bool hasSite;
    DateRecord date;
    PrecessionRecord precession;
    uint32_t flags;
    Limits lim;
    double fieldRa, fieldDec;
    FieldSearchProgress progress;
    const int *stop;
    double total, step, threshold;
    int count;
    bool failed;
};

void InitCommon(Common *c, const LocationRecord *site, const DateRecord *date, uint32_t flags,
                FieldSearchProgress progress, const int *stop) {
    std::memset(&c->site, 0, sizeof c->site);
    c->hasSite = site != nullptr;
    if (site) c->site = *site;
    c->date = *date;
    std::memset(&c->precession, 0, sizeof c->precession);
    if (site) InitPrecession(&c->precession, 0.0, date->centuriesTT, kSystemFk5, kSystemFk5);
    c->flags = flags;
    c->progress = progress;
    c->stop = stop;
    c->count = 0;
    c->failed = false;
}

// The stop flag and the progress call-back at the start of every Next call.
bool Stopped(Common *c) {
    if (c->stop && *c->stop) return true;
    if (c->progress && c->count > c->threshold) {
        c->threshold += c->step;
        c->progress(c->total > 0 ? c->count / c->total : 1.0);
    }
    return false;
}

// The right-ascension prefilter of a circle: an object within r of the centre
// differs in RA by at most asin(sin r / cos dec) (Meeus' spherical triangle),
// which grows without bound towards the poles.
bool OutsideRightAscension(double ra, double centreRa, double centreDec, double radius) {
    double limit = MaximumRightAscensionOffset(centreDec, radius);
    return limit >= 0.0 && AbsoluteAngleDifference(ra, centreRa) > limit;
}

bool OutsideCircle(double ra, double dec, double cra, double cdec, double radius) {
    if (std::fabs(dec - cdec) > radius) return true;
    if (OutsideRightAscension(ra, cra, cdec, radius)) return true;
    return AngularSeparation(ra, dec, cra, cdec) > radius;
}

// The site's apparent place of an astrometric one.
void ToSite(const Common *c, double delta, double *ra, double *dec) {
    if (!c->hasSite) return;
    ApplyPrecession(&c->precession, ra, dec, 0.0, 0.0, 0);
    ConvertMeanToApparentPlace(&c->date, ra, dec, 1);
    ApplyPlanetParallax(&c->site, &c->date, delta, ra, dec);
}

// The place tests common to both kinds after the place is known: magnitude
// (when asked), elongation, distance, site place, constellation, field.
bool PassesPlace(const Common *c, bool magnitudeTest, double magnitude, double elongation,
                 double delta, double *ra, double *dec) {
    const uint32_t f = c->flags;
    if (magnitudeTest && (magnitude > c->lim.faint || magnitude < c->lim.bright)) return false;
    if ((f & kFieldElongation) && elongation < c->lim.minElongation) return false;
    if ((f & kFieldGeocentricDistance) && delta > c->lim.maxDelta) return false;
    ToSite(c, delta, ra, dec);
    if ((f & kFieldConstellation) && g_constellation &&
        g_constellation(*ra, *dec, c->date.centuriesTT) < 1)
        return false;
    return true;
}

bool FileSize(FILE *f, long long *size) {
#ifdef _WIN32
    struct _stati64 st;
    if (_fstati64(_fileno(f), &st) != 0) return false;
#else
    struct stat st;
    if (fstat(fileno(f), &st) != 0) return false;
#endif
    *size = st.st_size;
    return true;
}

}  // namespace

double MaximumRightAscensionOffset(double dec, double radius) {
    if (std::fabs(dec) + radius >= kPi / 2.0) return -1.0;
    double s = std::sin(radius) / std::cos(dec);
    return s >= 1.0 ? -1.0 : std::asin(s);
}

void SetFieldConstellationTest(FieldConstellationTest test) { g_constellation = test; }
FieldConstellationTest GetFieldConstellationTest() { return g_constellation; }

void SetCometFieldVisibility(const CometFieldVisibility *tests) {
    if (tests) g_visibility = *tests;
    else g_visibility = {nullptr, nullptr};
}

// ---- minor planets -------------------------------------------------------------

struct MinorPlanetFieldSearch {
    Common c;
    double coarseRa, coarseDec, minMotion;
    bool classSwitch;
    int32_t classMask;
    FILE *data;
    FILE *elements;
    int32_t fileNumber;
    ElementFileLimits limits;
    // A user mp.bin: its stream, the record count of its header (read by
    // the first Next call), the index of the next record to read and the
    // first set of the next object, read ahead.
    bool user;
    bool started;
    FILE *userFile;
    int32_t userCount;
    int32_t nextIndex;
    MinorPlanetRecord current;
    bool haveCurrent;
};

MinorPlanetFieldSearch *BeginMinorPlanetFieldSearch(
    const LocationRecord *site, const DateRecord *date, const char *path, double fieldRa,
    double fieldDec, double coarseRa, double coarseDec, double radius, double brightLimit,
    double faintLimit, double minElongation, double maxDelta, double minMotion,
    double periodMin, double periodMax, int years, double aphelionMin, double aphelionMax,
    double perihelionMin, double perihelionMax, double inclinationMin, double inclinationMax,
    double eccentricityMin, double eccentricityMax, const void *, const uint8_t *, int,
    uint32_t flags, uint8_t classSwitch, int32_t classMask, FieldSearchProgress progress,
    const int *stopFlag) {
    if (!date) return nullptr;
    MinorPlanetFieldSearch *s = new (std::nothrow) MinorPlanetFieldSearch;
    if (!s) return nullptr;
    std::memset(s, 0, sizeof *s);
    InitCommon(&s->c, site, date, flags, progress, stopFlag);
    s->c.fieldRa = fieldRa;
    s->c.fieldDec = fieldDec;
    s->c.lim = {radius, brightLimit, faintLimit, minElongation, maxDelta, periodMin, periodMax,
                years, aphelionMin, aphelionMax, perihelionMin, perihelionMax, inclinationMin,
                inclinationMax, eccentricityMin, eccentricityMax};
    s->coarseRa = coarseRa;
    s->coarseDec = coarseDec;
    s->minMotion = minMotion;
    s->classSwitch = classSwitch != 0;
    s->classMask = classMask;
    if (path) {
        s->user = true;
        s->userFile = std::fopen(path, "rb");
        if (!s->userFile) {
            EndMinorPlanetFieldSearch(s);
            return nullptr;
        }
        // The header's count becomes the total on the first Next call.
        s->c.total = 0;
        s->c.step = 1.0;
        s->c.threshold = s->c.step;
        return s;
    }
    s->data = OpenMinorPlanetDataFile();
    int clamped = 0;
    s->elements = s->data ? OpenElementFile(&s->limits, date->centuriesTT, &clamped) : nullptr;
    long long size = 0;
    if (!s->data || !s->elements || !FileSize(s->data, &size)) {
        EndMinorPlanetFieldSearch(s);
        return nullptr;
    }
    s->fileNumber = GetElementFileNumber(&s->limits, date->centuriesTT, &clamped);
    // Every number the data file holds is searched.
    s->c.total = static_cast<double>(size / static_cast<long long>(sizeof(MinorPlanetDataRecord)));
    s->c.step = s->c.total / 100.0 >= 1.0 ? std::floor(s->c.total / 100.0) : 1.0;
    s->c.threshold = s->c.step;
    return s;
}

namespace {

// The coarse tests on the element file's track; true when the object is
// rejected.
bool RejectedByTrack(const MinorPlanetFieldSearch *s, const ElementFileRecord &e) {
    const uint32_t f = s->c.flags;
    if (!(f & (kFieldMagnitude | kFieldRadius)) || e.track[0].magnitudeCode == 0) return false;
    double fraction = 0.0;
    int i = FindTrackInterval(kTrackSampleCount, s->fileNumber * 40.0 - 19.5, s->c.date.julianDate,
                              &fraction);
    if (i < 0) return false;
    double ra, dec, m;
    InterpolateTrack(e.track, i, fraction, &ra, &dec, &m);
    // The allowance widens the window on both sides.
    if ((f & kFieldMagnitude) && (m > s->c.lim.faint + kCoarseMagnitudeAllowance ||
                                  m < s->c.lim.bright - kCoarseMagnitudeAllowance))
        return true;
    if (f & kFieldRadius) {
        double r = s->c.lim.radius + kCoarseRadiusAllowance;
        if (OutsideCircle(ReduceModuloPositive(ra, kTwoPi), dec, s->coarseRa, s->coarseDec, r))
            return true;
    }
    return false;
}

}  // namespace

namespace {

// The tests after the orbit is built, shared by both files: the period (and
// for user sets the aphelion distance from q, the set's perihelion distance),
// the place with its magnitude, elongation, distance, constellation and field,
// and the motion over an hour. true when the object passes, with its place,
// distance and magnitude.
bool PassesOrbit(const MinorPlanetFieldSearch *s, const OrbitRecord &o, double q, bool magnitudeTest,
                 double *ra, double *dec, double *delta, double *magnitude) {
    const uint32_t f = s->c.flags;
    const Limits &L = s->c.lim;
    if ((f & kFieldPeriod) && o.n != 0.0) {
        double period = kTwoPi / o.n;
        if (L.years) period /= kDaysPerYear;
        if (!InRange(period, L.periodMin, L.periodMax)) return false;
    }
    if (s->user && (f & kFieldAphelionDistance)) {
        // An open orbit has no aphelion: it lies beyond every limit.
        double Q = o.e < 1.0 ? 2.0 * o.a - q : HUGE_VAL;
        if (!InRange(Q, L.QMin, L.QMax)) return false;
    }
    double pra, pdec, pr, pdelta, phase, el, mag;
    ComputeMinorBodyPosition(&s->c.date, &o, &pra, &pdec, &pr, &pdelta, &phase, &el, &mag);
    if (!PassesPlace(&s->c, magnitudeTest, mag, el, pdelta, &pra, &pdec)) return false;
    if ((f & kFieldRadius) && OutsideCircle(pra, pdec, s->c.fieldRa, s->c.fieldDec, L.radius))
        return false;
    if (s->minMotion != 0.0 && s->minMotion != kFieldSearchNoLimit) {
        DateRecord later = s->c.date;
        later.centuriesTT += kOneHourCenturies;
        double a0, d0, a1, d1;
        ComputeMinorBodyPosition(&s->c.date, &o, &a0, &d0, nullptr, nullptr, nullptr, nullptr, nullptr);
        ComputeMinorBodyPosition(&later, &o, &a1, &d1, nullptr, nullptr, nullptr, nullptr, nullptr);
        if (AngularSeparation(a0, d0, a1, d1) / kArcminute <= s->minMotion) return false;
    }
    *ra = pra;
    *dec = pdec;
    *delta = pdelta;
    *magnitude = mag;
    return true;
}

}  // namespace

int32_t NextPackagedMinorPlanetInField(MinorPlanetFieldSearch *s, double *ra, double *dec,
                                       double *delta, double *magnitude, OrbitRecord *orbit) {
    if (!s || s->user || s->c.failed) return 0;
    const uint32_t f = s->c.flags;
    const Limits &L = s->c.lim;
    for (;;) {
        if (Stopped(&s->c)) return 0;
        int32_t n = ++s->c.count;
        if (n > s->c.total) return 0;
        MinorPlanetDataRecord d;
        if (!ReadMinorPlanetData(s->data, n, &d)) {
            s->c.failed = true;
            return 0;
        }
        if (d.Q == 0.0f) continue;
        if ((f & kFieldPerihelionDistance) && !InRange(d.q, L.qMin, L.qMax)) continue;
        if ((f & kFieldAphelionDistance) && !InRange(d.Q, L.QMin, L.QMax)) continue;
        ElementFileRecord e;
        if (!ReadElementFileRecord(s->elements, n, &e)) {
            s->c.failed = true;
            return 0;
        }
        const double incl = e.inclination * kPi / 180.0;
        if ((f & kFieldEccentricity) && !InRange(e.eccentricity, L.eMin, L.eMax)) continue;
        if ((f & kFieldInclination) && !InRange(incl, L.iMin, L.iMax)) continue;
        if (s->classSwitch) {
            int k = ClassifyOrbit(e.semiMajorAxis, e.eccentricity, incl, d.H);
            if (k < 1 || !(s->classMask & (1 << (k - 1)))) continue;
        }
        if (RejectedByTrack(s, e)) continue;
        OrbitRecord o;
        if (!InitOrbitRecord(&o, e.perihelionTime, 0, 0, e.semiMajorAxis, 0, e.eccentricity,
                             e.perihelion, e.node, e.inclination, 0, d.H, d.G,
                             kMagnitudeModelAsteroid))
            continue;
        ComputeOrbitVectors(&o);
        // With a bright limit of -90 or less the packaged search makes no
        // exact magnitude test: the coarse track limits magnitudes alone.
        bool magnitudeTest = (f & kFieldMagnitude) && L.bright > -90.0;
        double pra, pdec, pdelta, mag;
        if (!PassesOrbit(s, o, 0.0, magnitudeTest, &pra, &pdec, &pdelta, &mag)) continue;
        if (ra) *ra = pra;
        if (dec) *dec = pdec;
        if (delta) *delta = pdelta;
        if (magnitude) *magnitude = mag;
        if (orbit) *orbit = o;
        return n;
    }
}

namespace {

// The next user object: the set whose epoch is nearest the date (the
// earlier on a tie) among the consecutive sets of one object id; false at
// the end of the file or when its header cannot be read.
bool NextUserObject(MinorPlanetFieldSearch *s, MinorPlanetRecord *best) {
    if (!s->started) {
        s->started = true;
        int32_t count = 0;
        if (!ReadUserMinorPlanetHeader(s->userFile, &count, nullptr)) return false;
        s->userCount = count;
        s->c.total = count;
        s->c.step = count / 100 ? static_cast<double>(count / 100) : 1.0;
        s->c.threshold = s->c.step;
        s->haveCurrent = count > 0 && ReadUserMinorPlanetRecord(s->userFile, &s->current, 0);
        s->nextIndex = 1;
        if (!s->haveCurrent && count > 0) s->c.failed = true;
    }
    if (!s->haveCurrent) return false;
    *best = s->current;
    s->haveCurrent = false;
    ++s->c.count;
    const double t = s->c.date.centuriesTT;
    while (s->nextIndex < s->userCount) {
        MinorPlanetRecord next;
        if (!ReadUserMinorPlanetRecord(s->userFile, &next, s->nextIndex)) {
            s->c.failed = true;
            break;
        }
        ++s->nextIndex;
        ++s->c.count;
        if (next.objectId != best->objectId) {
            s->current = next;
            s->haveCurrent = true;
            break;
        }
        const double dn = std::fabs(next.epoch - t), db = std::fabs(best->epoch - t);
        if (dn < db || (dn == db && next.epoch < best->epoch)) *best = next;
    }
    return true;
}

// The coarse test on a user set's own track (from its epoch - 20 days, no
// magnitude allowance); true when the object is rejected.
bool UserRejectedByTrack(const MinorPlanetFieldSearch *s, const MinorPlanetRecord &r) {
    const uint32_t f = s->c.flags;
    if (!(f & (kFieldMagnitude | kFieldRadius)) || r.track[0].magnitudeCode == 0) return false;
    double fraction = 0.0;
    int i = FindTrackInterval(kTrackSampleCount, JulianDateFromCenturies(r.epoch) - 20.0,
                              s->c.date.julianDate, &fraction);
    if (i < 0) return false;
    double ra, dec, m;
    InterpolateTrack(r.track, i, fraction, &ra, &dec, &m);
    if ((f & kFieldMagnitude) && (m > s->c.lim.faint || m < s->c.lim.bright)) return true;
    if (f & kFieldRadius) {
        double radius = s->c.lim.radius + kCoarseRadiusAllowance;
        if (OutsideCircle(ReduceModuloPositive(ra, kTwoPi), dec, s->coarseRa, s->coarseDec, radius))
            return true;
    }
    return false;
}

}  // namespace

int32_t NextUserMinorPlanetInField(MinorPlanetFieldSearch *s, double *ra, double *dec, double *delta,
                                   double *magnitude, OrbitRecord *orbit) {
    if (!s || !s->user || s->c.failed) return 0;
    const uint32_t f = s->c.flags;
    const Limits &L = s->c.lim;
    for (;;) {
        if (Stopped(&s->c)) return 0;
        MinorPlanetRecord r;
        if (!NextUserObject(s, &r)) return 0;
        if ((f & kFieldPerihelionDistance) && !InRange(r.q, L.qMin, L.qMax)) continue;
        if ((f & kFieldEccentricity) && !InRange(r.e, L.eMin, L.eMax)) continue;
        if ((f & kFieldInclination) && !InRange(r.inclination, L.iMin, L.iMax)) continue;
        if (s->classSwitch) {
            double a = 0.0;
            UnpackMinorPlanetRecord(&r, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                    nullptr, nullptr, nullptr, nullptr, nullptr, &a);
            int k = ClassifyOrbit(a, r.e, r.inclination, r.H);
            if (k < 1 || !(s->classMask & (1 << (k - 1)))) continue;
        }
        if (UserRejectedByTrack(s, r)) continue;
        OrbitRecord o;
        if (!BuildUserMinorPlanetOrbit(&r, &o)) continue;
        double pra, pdec, pdelta, mag;
        const double q = r.q > 0.0 ? r.q : o.a * (1.0 - o.e);
        if (!PassesOrbit(s, o, q, (f & kFieldMagnitude) != 0, &pra, &pdec, &pdelta, &mag)) continue;
        if (ra) *ra = pra;
        if (dec) *dec = pdec;
        if (delta) *delta = pdelta;
        if (magnitude) *magnitude = mag;
        if (orbit) *orbit = o;
        return r.objectId;
    }
}

int MinorPlanetFieldSearchFailed(const MinorPlanetFieldSearch *s) { return s && s->c.failed; }

void EndMinorPlanetFieldSearch(MinorPlanetFieldSearch *s) {
    if (!s) return;
    if (s->data) std::fclose(s->data);
    if (s->elements) std::fclose(s->elements);
    if (s->userFile) std::fclose(s->userFile);
    delete s;
}

// ---- comets ------------------------------------------------------------------------

struct CometFieldSearch {
    Common c;
    bool user;
    FILE *file;
    CometRecord current;     // the record in the buffer: the next comet's first set
    bool haveCurrent;
    int currentIndex;        // its index in the file
    const OpticsBlock *optics;
    const ObserverRecord *observer;
    int camera, filter, option, midExposure;
    double exposure;
    double perihelionWindow, reference;
    int dayWindow;
    double hMin, hMax;
    int typeMode, keepD;
};

CometFieldSearch *BeginCometFieldSearch(
    const LocationRecord *site, const DateRecord *date, const char *path,
    const OpticsBlock *optics, const ObserverRecord *observer, int camera, int filter,
    int imagingOption, double exposure, int midExposure, double fieldRa, double fieldDec,
    double radius, double maxDelta, double brightLimit, double faintLimit, double minElongation,
    double perihelionWindow, double referenceTime, int dayWindow, double periodMin,
    double periodMax, int years, double aphelionMin, double aphelionMax, double perihelionMin,
    double perihelionMax, double inclinationMin, double inclinationMax, double eccentricityMin,
    double eccentricityMax, double hMin, double hMax, int typeMode, int keepD, const void *,
    const uint8_t *, int, uint32_t flags, FieldSearchProgress progress, const int *stopFlag) {
    if (!date) return nullptr;
    if ((flags & kFieldImaging) &&
        (!optics || camera < 0 || camera >= optics->cameraCount || !(exposure > 0.0)))
        return nullptr;
    // Conditions that cannot be evaluated are refused rather than ignored.
    if ((flags & kFieldVisible) && !g_visibility.visible) return nullptr;
    if ((flags & kFieldImaging) && !g_visibility.detectable) return nullptr;
    CometFieldSearch *s = new (std::nothrow) CometFieldSearch;
    if (!s) return nullptr;
    std::memset(s, 0, sizeof *s);
    InitCommon(&s->c, site, date, flags, progress, stopFlag);
    s->c.fieldRa = fieldRa;
    s->c.fieldDec = fieldDec;
    s->c.lim = {radius, brightLimit, faintLimit, minElongation, maxDelta, periodMin, periodMax,
                years, aphelionMin, aphelionMax, perihelionMin, perihelionMax, inclinationMin,
                inclinationMax, eccentricityMin, eccentricityMax};
    s->user = path != nullptr;
    s->optics = optics;
    s->observer = observer;
    s->camera = camera;
    s->filter = filter;
    s->option = imagingOption;
    s->exposure = exposure;
    s->midExposure = midExposure;
    s->perihelionWindow = perihelionWindow;
    s->reference = referenceTime;
    s->dayWindow = dayWindow;
    s->hMin = hMin;
    s->hMax = hMax;
    s->typeMode = typeMode;
    s->keepD = keepD;
    s->file = s->user ? std::fopen(path, "rb") : OpenCometElementsFile();
    uint16_t header = 0;
    bool ok = s->file != nullptr;
    if (ok && s->user)
        ok = std::fread(&header, 2, 1, s->file) == 1 && std::fseek(s->file, 4, SEEK_SET) == 0;
    ok = ok && ReadCometRecord(s->file, -1, &s->current) != 0;
    long long size = 0;
    if (!ok || (!s->user && !FileSize(s->file, &size))) {
        EndCometFieldSearch(s);
        return nullptr;
    }
    s->haveCurrent = true;
    s->currentIndex = 0;
    s->c.total = s->user ? header : static_cast<double>(size / 135);
    s->c.step = s->user ? (header / 100 ? header / 100 : 1.0) : 10.0;
    s->c.threshold = s->c.step;
    return s;
}

namespace {

// The next comet: its best set (epoch nearest the date, earlier on a tie) and
// the index of its first set; false at the end of the file. Packaged sets
// group by number and fragment (numbered comets only: each fragment of a
// split comet is a comet of its own), user sets by object id.
bool NextComet(CometFieldSearch *s, CometRecord *best, int *firstIndex) {
    if (!s->haveCurrent) return false;
    *best = s->current;
    *firstIndex = s->currentIndex;
    const double t = s->c.date.centuriesTT;
    s->haveCurrent = false;
    CometRecord next;
    int index = s->currentIndex;
    while (ReadCometRecord(s->file, -1, &next)) {
        ++index;
        ++s->c.count;
        bool same = s->user ? next.objectId == best->objectId
                            : IsSameCometSet(best, &next) != 0;
        if (!same) {
            s->current = next;
            s->currentIndex = index;
            s->haveCurrent = true;
            break;
        }
        if (std::fabs(next.epoch - t) < std::fabs(best->epoch - t)) *best = next;
    }
    if (!s->haveCurrent) ++s->c.count;
    return true;
}

bool PassesComet(CometFieldSearch *s, CometRecord *c, double *ra, double *dec, double *delta,
                 double *magnitude, OrbitRecord *o) {
    const uint32_t f = s->c.flags;
    const Limits &L = s->c.lim;
    const double t = s->c.date.centuriesTT;
    const char letter = c->letter;
    if ((f & kFieldDropLetterD) && letter == 'D') return false;
    if (((f & kFieldPerihelionWindow) || ((f & kFieldPerihelionWindowNotP) && letter != 'P')) &&
        std::fabs(c->perihelionTime - t) > s->perihelionWindow)
        return false;
    if (s->typeMode == kCometTypeAll && letter == 'D' && !s->keepD) return false;
    if (s->typeMode == kCometTypeNotC && (letter == 'C' || (letter == 'D' && !s->keepD)))
        return false;
    if (s->typeMode == kCometTypeOnlyC && letter != 'C') return false;
    if ((f & kFieldPerihelionDistance) && !InRange(c->q, L.qMin, L.qMax)) return false;
    if ((f & kFieldEccentricity) && !InRange(c->e, L.eMin, L.eMax)) return false;
    if ((f & kFieldInclination) && !InRange(c->inclination, L.iMin, L.iMax)) return false;
    const bool noMagnitudeLaw = c->H == 0.0f && c->K == 0.0f;
    if (f & kFieldAbsoluteMagnitude) {
        if (noMagnitudeLaw) return false;
        if (!InRange(c->H, s->hMin, s->hMax)) return false;
    }
    if (!BuildCometOrbit(c, s->user ? 0 : 1, o)) return false;
    if (f & kFieldPerihelionPassage) {
        double h = c->perihelionTime;
        if ((letter == 'P' || c->number != 0) && c->e < kPeriodicEccentricity && o->n != 0.0) {
            double period = kTwoPi / o->n;  // days
            double m = (s->reference - c->perihelionTime) * kDaysPerCentury / period;
            m = m < 0 ? std::ceil(m - 0.5) : std::floor(m + 0.5);
            h = c->perihelionTime + m * period / kDaysPerCentury;
        }
        if (std::fabs(h - s->reference) * kDaysPerCentury > s->dayWindow) return false;
    }
    if (f & kFieldAphelionDistance) {
        // An open orbit has no aphelion: it lies beyond every limit.
        double Q = c->e < 1.0f ? 2.0 * o->a - c->q : HUGE_VAL;
        if (!InRange(Q, L.QMin, L.QMax)) return false;
    }
    if ((f & kFieldPeriod) && c->e < kPeriodicEccentricity && o->n != 0.0) {
        double period = kTwoPi / o->n;
        if (L.years) period /= kDaysPerYear;
        if (!InRange(period, L.periodMin, L.periodMax)) return false;
    }
    double pra, pdec, pr, pdelta, phase, el, mag;
    ComputeMinorBodyPosition(&s->c.date, o, &pra, &pdec, &pr, &pdelta, &phase, &el, &mag);
    if (s->user && noMagnitudeLaw) mag = kNoMagnitude;
    if (!PassesPlace(&s->c, (f & kFieldMagnitude) != 0, mag, el, pdelta, &pra, &pdec)) return false;
    if ((f & kFieldRadius) &&
        AngularSeparation(pra, pdec, s->c.fieldRa, s->c.fieldDec) > L.radius)
        return false;
    if ((f & kFieldVisible) &&
        !g_visibility.visible(s->c.hasSite ? &s->c.site : nullptr, &s->c.date, s->optics,
                              s->observer, pra, pdec, mag, pdelta, c->comaDiameter,
                              c->condensation))
        return false;
    if ((f & kFieldImaging) &&
        !g_visibility.detectable(s->c.hasSite ? &s->c.site : nullptr, &s->c.date, s->optics,
                                 s->camera, s->filter, s->option, s->exposure, s->midExposure,
                                 pra, pdec, mag, pdelta, c->comaDiameter))
        return false;
    *ra = pra;
    *dec = pdec;
    *delta = pdelta;
    *magnitude = mag;
    return true;
}

int NextComet(CometFieldSearch *s, char *label, double *ra, double *dec, double *delta,
              double *magnitude, OrbitRecord *orbit) {
    if (!s) return 0;
    for (;;) {
        if (Stopped(&s->c)) return 0;
        CometRecord best;
        int first = 0;
        if (!NextComet(s, &best, &first)) return 0;
        OrbitRecord o;
        double pra, pdec, pdelta, mag;
        if (!PassesComet(s, &best, &pra, &pdec, &pdelta, &mag, &o)) continue;
        if (ra) *ra = pra;
        if (dec) *dec = pdec;
        if (delta) *delta = pdelta;
        if (magnitude) *magnitude = mag;
        if (orbit) *orbit = o;
        if (label) FormatCometLabel(best.number, best.letter, best.name, best.designation, label);
        return s->user ? best.objectId : first + 1;
    }
}

}  // namespace

int NextPackagedCometInField(CometFieldSearch *s, char *label, double *ra, double *dec,
                             double *delta, double *magnitude, OrbitRecord *orbit) {
    if (!s || s->user) return 0;
    return NextComet(s, label, ra, dec, delta, magnitude, orbit);
}

int NextUserCometInField(CometFieldSearch *s, char *label, double *ra, double *dec, double *delta,
                         double *magnitude, OrbitRecord *orbit) {
    if (!s || !s->user) return 0;
    return NextComet(s, label, ra, dec, delta, magnitude, orbit);
}

int CometFieldSearchFailed(const CometFieldSearch *s) { return s && s->c.failed; }

void EndCometFieldSearch(CometFieldSearch *s) {
    if (!s) return;
    if (s->file) std::fclose(s->file);
    delete s;
}
