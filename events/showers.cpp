// Meteor-shower peaks: the table, the peak from the Sun's longitude, the scan
// over a period, the radiant's visibility over the shower's nights and the
// finder.
#include "events/showers.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "astro/frames.h"
#include "astro/precession.h"
#include "core/datapaths.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "ephem/bodyrecord.h"
#include "events/eventdates.h"
#include "events/eventinsert.h"
#include "events/eventsky.h"
#include "objects/objectrecord.h"
#include "visibility/observability.h"

namespace {

const int64_t kShowerCountSize = 4;
const int kPeakPasses = 50;
// The Earth's mean daily motion, rad per day (Gauss's constant).
const double kEarthDailyMotion = 0.017202124302995263;
const double kPeakSettleDays = 0.006944444444444444;  // 10 minutes
const double kYearsPerDay = 0.0027397260273972603;
// General precession in longitude since J2000.0, arcseconds per Julian
// century and per century squared (Lieske et al. 1977, the IAU 1976 value).
const double kPrecessionRate = 5029.0966;
const double kPrecessionRate2 = 1.11113;
const double kArcsecond = kPi / 648000.0;
const double kNightStepDays = 0.020833333;  // 30 minutes
const double kNoonHours = 12.0;
const int kSkyMarkClass = 15;

int YearOf(double julianDate) {
    DateRecord d;
    std::memset(&d, 0, sizeof d);
    d.julianDate = julianDate;
    SetDateRecordFromJulianDate(nullptr, &d);
    return d.year;
}

bool WindowWraps(const ShowerRecord *r) {
    return r->endMonth < r->startMonth || (r->endMonth == r->startMonth && r->endDay < r->startDay);
}

bool SaneWindow(const ShowerRecord *r) {
    return r->startMonth >= 1 && r->startMonth <= 12 && r->endMonth >= 1 && r->endMonth <= 12 && r->startDay >= 1 &&
           r->startDay <= 31 && r->endDay >= 1 && r->endDay <= 31;
}

// The time of the night (from julianDate on, one day, 30-minute steps) when
// the radiant stands highest in the darkest sky: 1, 0 when it never rises.
int BestHourOfNight(const LocationRecord *site, double julianDate, const ShowerRecord *record, double *best) {
    const int steps = static_cast<int>(1.0 / kNightStepDays + 0.5);
    double bestScore = 0;
    int found = 0;
    for (int i = 0; i <= steps; ++i) {
        const double t = julianDate + i * kNightStepDays;
        DateRecord at;
        SetCompletedDate(site, t, &at);
        PrecessionRecord toDate;
        InitPrecession(&toDate, 0.0, at.centuries, 1, 1);
        double ra = record->radiantRa, dec = record->radiantDec;
        ApplyPrecession(&toDate, &ra, &dec, 0.0, 0.0, 0);
        EventSky sky;
        EvaluateEventSky(site, t, ra, dec, &sky);
        const double score = AltitudeScoreOf(sky.hourScore) * DarknessOf(sky.hourScore);
        if (AltitudeScoreOf(sky.hourScore) > 0 && (!found || score > bestScore)) {
            bestScore = score;
            *best = t;
            found = 1;
        }
    }
    return found;
}

}  // namespace

std::FILE *OpenShowerTable(int32_t *count) {
    if (count) *count = 0;
    const char *folder = GetRefDirectory(0);
    if (!folder || !folder[0]) return nullptr;
    const std::string path = std::string(folder) + "showers.bin";
    FileHandle file(SafeOpen(path.c_str(), "rb"));
    if (!file) return nullptr;
    int32_t n = 0;
    if (SafeRead(&n, sizeof n, 1, file.get()) != 1 || n < 0) return nullptr;
    const int64_t left = BytesLeftInStream(file.get());
    if (left < 0) return nullptr;
    if (n > left / static_cast<int64_t>(sizeof(ShowerRecord))) n = static_cast<int32_t>(left / sizeof(ShowerRecord));
    if (count) *count = n;
    return file.release();
}

int ReadShowerRecord(std::FILE *file, int32_t n, ShowerRecord *record) {
    if (!file || !record || n < 0) return 0;
    if (!SafeSeek(file, kShowerCountSize + static_cast<int64_t>(n) * static_cast<int64_t>(sizeof *record))) return 0;
    if (SafeRead(record, sizeof *record, 1, file) != 1) return 0;
    record->name[kShowerNameSize - 1] = '\0';  // the file is not trusted to end it
    return 1;
}

int ComputeShowerPeak(const ShowerRecord *record, int year, DateRecord *peak) {
    if (!record || !peak) return 0;
    double t = JulianDateFromCalendar(record->startMonth, record->startDay, year, 0.0);
    SetCompletedDate(nullptr, t, peak);
    int passes = 0;
    while (passes < kPeakPasses) {
        ++passes;
        const double T = peak->centuriesTT;
        const HeliocentricPlace earth = ComputeEarthHeliocentric(peak);
        // The Sun's longitude of date, referred back to the J2000.0 equinox
        // of the catalogue's peak longitudes.
        double sun = earth.longitude + kPi - (kPrecessionRate * T + kPrecessionRate2 * T * T) * kArcsecond;
        // The shorter way round: a window that starts before 180 degrees and
        // peaks after it is not sent back a year.
        const double d = WrapAngleSigned(record->peakLongitude - sun);
        const double correction = d / kEarthDailyMotion;
        t += correction;
        SetCompletedDate(nullptr, t, peak);
        if (std::fabs(correction) <= kPeakSettleDays) break;
    }
    return passes;
}

int GetShowerPeak(int32_t n, int year, ShowerRecord *record, DateRecord *peak) {
    int32_t count = 0;
    FileHandle file(OpenShowerTable(&count));
    if (!file || n < 0 || n >= count || !ReadShowerRecord(file.get(), n, record)) return 0;
    return ComputeShowerPeak(record, year, peak);
}

int BeginShowerScan(ShowerScan *scan, const DateRecord *start, double span) {
    if (!scan || !start) return 0;
    std::memset(scan, 0, sizeof *scan);
    scan->file = OpenShowerTable(&scan->count);
    if (!scan->file) return 0;
    scan->start = start->julianDate;
    scan->end = start->julianDate + span;
    scan->firstYear = YearOf(start->julianDate) - 1;  // a window wrapping into the start's year
    scan->lastYear = YearOf(start->julianDate) + static_cast<int>(span * kYearsPerDay) + 1;
    scan->year = scan->firstYear;
    scan->record = 0;
    scan->lastRead = -1;
    return 1;
}

void EndShowerScan(ShowerScan *scan) {
    if (scan && scan->file) {
        SafeClose(scan->file);
        scan->file = nullptr;
    }
}

int NextShowerPeak(ShowerScan *scan, ShowerRecord *record, DateRecord *peak, int32_t *number) {
    if (!scan || !scan->file) return 0;
    while (scan->record < scan->count) {
        if (scan->lastRead != scan->record) {
            if (!ReadShowerRecord(scan->file, scan->record, &scan->current)) {
                EndShowerScan(scan);
                return -1;
            }
            scan->lastRead = scan->record;
        }
        const ShowerRecord *r = &scan->current;
        while (SaneWindow(r) && scan->year <= scan->lastYear) {
            const int year = scan->year++;
            const double a = JulianDateFromCalendar(r->startMonth, r->startDay, year, 0.0);
            const double b = JulianDateFromCalendar(r->endMonth, r->endDay, WindowWraps(r) ? year + 1 : year, 0.0);
            if (scan->start > b || scan->end < a) continue;
            DateRecord at;
            ComputeShowerPeak(r, year, &at);
            if (at.julianDate < scan->start || at.julianDate > scan->end) continue;
            if (record) *record = *r;
            if (peak) *peak = at;
            if (number) *number = scan->record;
            return 1;
        }
        ++scan->record;
        scan->year = scan->firstYear;
    }
    EndShowerScan(scan);
    return 0;
}

int IsShowerWellPlaced(const EventFileHeader *header, const HorizonRow *horizon, int year, const ShowerRecord *record,
                       int criteriaNumber) {
    if (!header || !record || criteriaNumber < 0 || criteriaNumber > 3 || !SaneWindow(record)) return 0;
    const LocationRecord *site = &header->site;
    const VisibilityCriteria *criteria = &header->criteria[criteriaNumber];
    // From local noon of the day before the window to 0 h UT of its end day.
    DateRecord first;
    std::memset(&first, 0, sizeof first);
    SetDateRecord(&first, site, record->startMonth, record->startDay, year, kNoonHours, kLocalTime);
    const double end =
        JulianDateFromCalendar(record->endMonth, record->endDay, WindowWraps(record) ? year + 1 : year, 0.0);
    ObjectRecord radiant;
    InitObjectRecord(&radiant);
    radiant.objectClass = kSkyMarkClass;
    radiant.index = 0;  // a bare position
    radiant.raCatalogue = record->radiantRa;
    radiant.decCatalogue = record->radiantDec;
    radiant.raJ2000AtDate = record->radiantRa;
    radiant.decJ2000AtDate = record->radiantDec;
    std::unique_ptr<ObservabilityIterator> it(new (std::nothrow) ObservabilityIterator);
    if (!it) return 0;
    const int maxNights = 400;
    int nights = 0;
    for (double night = first.julianDate - 1.0; night < end && nights < maxNights; night += 1.0, ++nights) {
        DateRecord date;
        SetCompletedDate(site, night, &date);
        std::memset(it.get(), 0, sizeof *it);
        char label[kObservabilityLabelSize];
        std::snprintf(label, sizeof label, "%s", record->name);
        if (!BeginObservability(it.get(), site, &date, const_cast<OpticsBlock *>(&criteria->optics),
                                &criteria->observer, kNightStepDays, 1.0, &radiant, 0, 0, 0, 0, 0,
                                kObservabilityOfDate, 1, nullptr))
            continue;
        BodyRecord body;
        std::memset(&body, 0, sizeof body);
        ObservabilityValues values;
        std::memset(&values, 0, sizeof values);
        double best = 0;
        int found = FindBestObservingTime(it.get(), &body, &values, &best, nullptr, nullptr, nullptr, nullptr);
        EndObservability(it.get());
        // Without a visibility margin (criteria with no optics, as a calendar
        // has) the radiant's best time is its darkest high hour of the night.
        if (!found) found = BestHourOfNight(site, night, record, &best);
        if (!found) continue;
        // The radiant's place of date at the best time.
        DateRecord at;
        SetCompletedDate(site, best, &at);
        PrecessionRecord toDate;
        InitPrecession(&toDate, 0.0, at.centuries, 1, 1);
        double ra = record->radiantRa, dec = record->radiantDec;
        ApplyPrecession(&toDate, &ra, &dec, 0.0, 0.0, 0);
        EventSky sky;
        EvaluateEventSky(site, best, ra, dec, &sky);
        const HorizonRow *table =
            (horizon && horizon[0].azimuth != -1.0 && !(site->displayFlags & kSiteIgnoresHorizon)) ? horizon : nullptr;
        if (PassesEventCriteria(site, criteria, table, best, dec, sky)) return 1;
    }
    return 0;
}

int FindShowerPeaks(EventFileHeader *header, std::FILE *eventFile, const HorizonRow *horizon,
                    const DateRecord *start, double span, int criteriaNumber) {
    if (!header || !eventFile || !start) return 0;
    ShowerScan scan;
    if (!BeginShowerScan(&scan, start, span)) return 0;
    int added = 0;
    ShowerRecord shower;
    DateRecord peak;
    int32_t number = 0;
    while (NextShowerPeak(&scan, &shower, &peak, &number) == 1) {
        PrecessionRecord toDate;
        InitPrecession(&toDate, 0.0, peak.centuries, 1, 1);
        double ra = shower.radiantRa, dec = shower.radiantDec;
        ApplyPrecession(&toDate, &ra, &dec, 0.0, 0.0, 0);
        EventSky sky;
        EvaluateEventSky(&header->site, peak.julianDate, ra, dec, &sky);
        EventRecord event;
        ClearEventRecord(&event);
        event.kind = kEventPhenomenon;
        event.body1Class = kSkyMarkClass;
        event.body1Index = number;
        event.time = peak.julianDate;
        event.contactCount = 1;
        EventContact &c = event.contacts[0];
        c.code = kCodeShowerPeak;
        c.time = peak.julianDate;
        c.separation = 0;
        c.darkness = sky.darkness;
        c.altitude = sky.altitude;
        c.hourScore = sky.hourScore;
        // The year the shower's window opened (a January peak of a window that
        // opens in December belongs to the window of the year before).
        const int windowYear = WindowWraps(&shower) && peak.month < shower.startMonth ? peak.year - 1 : peak.year;
        c.visible = static_cast<uint8_t>(IsShowerWellPlaced(header, horizon, windowYear, &shower, criteriaNumber));
        added += InsertEvent(eventFile, header, span, &event, 1);
    }
    EndShowerScan(&scan);
    return added;
}
