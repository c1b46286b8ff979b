// Date records of the event searches: a record completed for a Julian date
// at a site, and the local calendar date of an instant.
#pragma once

#include "astro/datetime.h"
#include "astro/location.h"

// Fills and completes record (date, Delta T, nutation, sidereal times) for
// the Julian date (UT), in the site's civil time (UT without a site).
void SetCompletedDate(const LocationRecord *site, double julianDate, DateRecord *record);
// year * 10000 + month * 100 + day of the instant's local date at the site.
int LocalDateKey(const LocationRecord *site, double julianDate);
