// The mean of a GPS receiver's fixes of the best quality seen so far: a fix
// of a better score (fix quality x 10 + fix type) restarts the means, fixes of
// the same score are averaged, repeated positions are not counted twice, and
// only three-dimensional fixes give altitudes.
#pragma once

#include <cstdint>

struct GpsState;

struct GpsMean {
    double bestLongitude, bestLatitude, bestAltitude;  // degrees (east positive), metres
    int32_t bestQuality, bestFixType;
    int32_t bestScore;
    double sumLongitude, sumLatitude, sumAltitude;
    int32_t positionPoints, altitudePoints;
    double lastLongitude, lastLatitude, lastAltitude;
    double firstLongitude;  // the reference that longitudes are unwrapped against
};

void ClearGpsMean(GpsMean *mean);
// Score of the state's current fix.
int GpsFixScore(const GpsState *state);
// Takes the state's current GGA/GSA fix into the mean.
void AddGpsFix(GpsMean *mean, const GpsState *state);
// Mean longitude (degrees east, -180..180), latitude and altitude. Answers 0
// without position points; *hasAltitude is 0 without altitude points (the
// altitude is then left as it was).
int GetGpsMeanPosition(const GpsMean *mean, double *longitude, double *latitude, double *altitude,
                       int *hasAltitude);
