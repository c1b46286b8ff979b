// The sky at an event's body for a site and time, as the event finders judge
// a contact: the Sun and Moon state, the hour score word with its darkness,
// the hour angle, the model sky brightness and its darkness class; and the
// test of a visibility criteria's sky-condition and time-window filters.
#pragma once
#include <cstdint>

#include "astro/location.h"
#include "ephem/sunmoon.h"
#include "sites/horizon.h"
#include "visibility/criteria.h"

struct EventSky {
    SunMoonState state;
    uint16_t hourScore;
    double darkness;       // 0..1
    double altitude;       // rad, refracted
    double hourAngle;      // rad
    double skyBrightness;  // mag/arcsec^2
    int darknessClass;
};

// The sky at the target (right ascension and declination of date) at the
// Julian date (UT).
void EvaluateEventSky(const LocationRecord *site, double julianDate, double rightAscension, double declination,
                      EventSky *sky);
// 1 when the criteria's sky-condition filter (the horizon table may be null)
// and its time-window filter both accept the target at that time.
int PassesEventCriteria(const LocationRecord *site, const VisibilityCriteria *criteria, const HorizonRow *horizon,
                        double julianDate, double declination, const EventSky &sky);
// Altitude score and darkness of an hour score word, 0..1 each.
double AltitudeScoreOf(uint16_t hourScore);
double DarknessOf(uint16_t hourScore);
// The brightness blend of an object seen at this hour score: above 0 when it
// counts as visible (weights as lower limits, 0 when no weights).
double BlendForObject(uint16_t hourScore, int objectClass, double magnitude, double limitScore,
                      double limitDarkness);
