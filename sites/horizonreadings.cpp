// Telescope readings of an obstructed horizon in segments, and the messages
// of a horizon import's answers.
#include "sites/horizonreadings.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/clock.h"
#include "astro/datetime.h"
#include "astro/frames.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/hostcallbacks.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "sites/horizon.h"

namespace {

const HorizonReadingSource kHostSource = {IsTelescopeConnected, GetTelescopePosition};
const HorizonReadingSource *g_source = nullptr;

std::string UserPath(const char *name) {
    char path[1024];
    if (!MakeUserDataPath(path, sizeof path, name)) return std::string();
    return path;
}

void CloseSegment(HorizonRun *run) {
    if (run->segment) SafeClose(run->segment);
    run->segment = nullptr;
}

}  // namespace

const HorizonReadingSource *HostTelescopeSource() { return &kHostSource; }
const HorizonReadingSource *GetHorizonReadingSource() { return g_source ? g_source : &kHostSource; }
void SetHorizonReadingSource(const HorizonReadingSource *source) { g_source = source; }

std::string HorizonReadingsPath() { return UserPath("hor.txt"); }
std::string HorizonSegmentPath() { return UserPath("horseg.txt"); }

void BeginHorizonRun(HorizonRun *run) {
    if (!run) return;
    std::string path = HorizonReadingsPath();
    if (!path.empty()) SafeRemove(path.c_str());
    run->inProgress = 1;
}

int AppendReadingSegment() {
    std::string segment = HorizonSegmentPath(), all = HorizonReadingsPath();
    if (segment.empty() || all.empty()) return 0;
    std::string text;
    if (!ReadWholeFile(segment.c_str(), &text)) return 0;
    std::FILE *f = SafeOpen(all.c_str(), "ab");
    if (!f) return 0;
    int ok = text.empty() || SafeWriteAll(f, text.data(), text.size());
    ok = SafeFlush(f) && ok;
    return SafeClose(f) && ok ? 1 : 0;
}

int StartReadingSegment(HorizonRun *run) {
    if (!run) return 0;
    CloseSegment(run);
    if (run->pending) {
        // The stopped segment stays pending rather than be lost.
        if (!AppendReadingSegment()) return 0;
        run->pending = 0;
    }
    std::string path = HorizonSegmentPath();
    run->segment = path.empty() ? nullptr : SafeOpen(path.c_str(), "wb");
    run->running = run->segment ? 1 : 0;
    return run->running;
}

void StopReadingSegment(HorizonRun *run) {
    if (!run) return;
    if (run->segment) run->pending = 1;
    CloseSegment(run);
    run->running = 0;
}

void DeleteHorizonReadings(HorizonRun *run) {
    if (!run) return;
    run->pending = 0;
    CloseSegment(run);
    run->running = 0;
}

int BuildHorizonFromReadings(HorizonRun *run, const LocationRecord *site, char *badLine) {
    if (badLine) badLine[0] = '\0';
    if (!run) return -1;
    // A segment still being taken is kept, as a stopped one is.
    StopReadingSegment(run);
    int joined = run->pending ? AppendReadingSegment() : 1;
    run->pending = 0;
    run->inProgress = 0;
    if (!joined) return -1;
    return ImportHorizonText(site, HorizonReadingsPath().c_str(), badLine);
}

void EndHorizonRun(HorizonRun *run) {
    if (!run) return;
    CloseSegment(run);
    run->pending = run->running = run->inProgress = 0;
}

void TelescopeAltAz(const LocationRecord *site, const DateRecord *date, double rightAscension,
                    double declination, double *azimuthDeg, double *altitudeDeg) {
    double hourAngle = GetHourAngle(date, rightAscension, kApparentSiderealTime);
    double azimuth = 0.0, altitude = 0.0;
    ConvertHourAngleToHorizontal(site, hourAngle, declination, &azimuth, &altitude, 1);
    // From the south through the west to from the north through the east.
    azimuth = std::fmod(azimuth + kPi, 2.0 * kPi);
    if (azimuth < 0.0) azimuth += 2.0 * kPi;
    *azimuthDeg = azimuth * 180.0 / kPi;
    *altitudeDeg = altitude * 180.0 / kPi;
}

int WriteHorizonReading(std::FILE *file, const LocationRecord *site, const HorizonReadingSource *source) {
    if (!file || !site || !source || !source->connected || !source->position) return 0;
    double ra = 0.0, dec = 0.0;
    if (!source->connected() || !source->position(&ra, &dec)) return 0;
    DateRecord now;
    std::memset(&now, 0, sizeof now);
    SetDateRecordToNow(site, &now);
    ComputeDeltaTAndNutation(&now, 0.0);
    ComputeSiderealTimes(site, &now);
    double azimuth, altitude;
    TelescopeAltAz(site, &now, ra, dec, &azimuth, &altitude);
    char line[96];
    int n = std::snprintf(line, sizeof line, "%lf %lf\n", azimuth, altitude);
    if (n <= 0 || n >= (int)sizeof line) return 0;
    return SafeWriteAll(file, line, (size_t)n) && SafeFlush(file) ? 1 : 0;
}

int TakeSingleHorizonReading(const LocationRecord *site, const HorizonReadingSource *source) {
    std::string path = HorizonReadingsPath();
    if (path.empty()) return 0;
    std::FILE *f = SafeOpen(path.c_str(), "ab");
    if (!f) return 0;
    int ok = WriteHorizonReading(f, site, source);
    return SafeClose(f) && ok ? 1 : 0;
}

HorizonResultMessage DescribeHorizonResult(int answer, const char *badLine) {
    if (answer >= 1) return {"Obstructed horizon created successfully", false};
    switch (answer) {
    case 0:
        return {std::string("Error reading horizon data:\r\n") + (badLine ? badLine : ""), true};
    case -2:
        return {"File has fewer than 2 entries", true};
    case -3:
        // At most kHorizonMaxPoints - 1 points are taken.
        return {"File has too many entries (limit 999)", true};
    default:
        return {"Error creating obstructed horizon", true};
    }
}
