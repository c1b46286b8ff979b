// Averaging of GPS fixes (see gpsmean.h). Longitudes are summed unwrapped
// relative to the first one averaged, so that fixes on both sides of the
// 180th meridian average to a place near it rather than to the far side of
// the globe.
#include "sites/gpsmean.h"

#include <cmath>
#include <cstring>

#include "sites/nmea.h"

namespace {

// Longitude brought within 180 degrees of reference.
double Unwrap(double longitude, double reference) {
    double d = longitude - reference;
    while (d > 180.0) d -= 360.0;
    while (d < -180.0) d += 360.0;
    return reference + d;
}

void RestartSums(GpsMean *m) {
    m->sumLongitude = m->sumLatitude = m->sumAltitude = 0;
    m->positionPoints = m->altitudePoints = 0;
    // A restart forgets the last values, so the fix that restarts is counted
    // even when it lies where the last one of the worse quality lay.
    m->lastLongitude = m->lastLatitude = m->lastAltitude = NAN;
}

}  // namespace

void ClearGpsMean(GpsMean *mean) {
    std::memset(mean, 0, sizeof *mean);
    RestartSums(mean);
}

int GpsFixScore(const GpsState *state) { return state->fixQuality * 10 + state->fixType; }

void AddGpsFix(GpsMean *m, const GpsState *s) {
    int score = GpsFixScore(s);
    if (score > m->bestScore && score >= 10) {
        m->bestLongitude = s->longitude;
        m->bestLatitude = s->latitude;
        if (s->fixType == 3) m->bestAltitude = s->altitude;
        m->bestQuality = s->fixQuality;
        m->bestFixType = s->fixType;
        m->bestScore = score;
        RestartSums(m);
    }
    if (score != m->bestScore || m->bestScore <= 0) return;
    if (s->latitude != m->lastLatitude || s->longitude != m->lastLongitude) {
        if (m->positionPoints == 0) m->firstLongitude = s->longitude;
        m->sumLongitude += Unwrap(s->longitude, m->firstLongitude);
        m->sumLatitude += s->latitude;
        m->lastLongitude = s->longitude;
        m->lastLatitude = s->latitude;
        ++m->positionPoints;
    }
    if (s->fixType == 3 && s->altitude != m->lastAltitude) {
        m->sumAltitude += s->altitude;
        m->lastAltitude = s->altitude;
        ++m->altitudePoints;
    }
}

int GetGpsMeanPosition(const GpsMean *m, double *longitude, double *latitude, double *altitude,
                       int *hasAltitude) {
    *hasAltitude = 0;
    if (m->positionPoints <= 0) return 0;
    double lon = m->sumLongitude / m->positionPoints;
    lon = Unwrap(lon, 0.0);
    *longitude = lon;
    *latitude = m->sumLatitude / m->positionPoints;
    if (m->altitudePoints > 0) {
        *altitude = m->sumAltitude / m->altitudePoints;
        *hasAltitude = 1;
    }
    return 1;
}
