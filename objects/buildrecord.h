// Building an object record from a class, a designation kind and a text or
// number, and refreshing a record that holds a key, for a site and a time:
// the dispatch to the class builders, the places every builder shares
// (apparent place of date, horizon place, J2000 place at the date), rise,
// transit and set (refined for moving objects), rise and set against the
// site's obstructed horizon, the constellation and the atlas charts, and the
// Sun and Moon times of a night. Angles are radians, times local hours.
#pragma once
#include <cstdint>

struct DateRecord;
struct LocationRecord;
struct ObjectRecord;

// The work buffer a designation text is copied into (1023 characters + NUL).
const int kDesignationWorkSize = 1024;

// Every class builder has this shape: number (a catalogue number or index,
// 0 = none), the designation text in a writable work buffer, site and date
// (either may be null), the extinction coefficient passed through, the
// records to fill (room for three), and refresh (1: out->index is the key).
// Returns the number of records filled, 0 when nothing was found.
typedef int (*ObjectBuilder)(int number, char *text, const LocationRecord *site,
                             const DateRecord *date, double extinction, ObjectRecord *out,
                             int refresh);

// Up to three records for a designation; the count filled, 0 when nothing
// was found, the class has no builder, or out is null. second: the star
// component letter asked for (class 5). New records are zeroed before their
// defaults, so nothing stale reaches a file.
int BuildObjectRecord(int objectClass, int kind, int second, int number, const char *text,
                      double riseAltitude, const LocationRecord *site, const DateRecord *date,
                      double extinction, ObjectRecord out[3]);
// Rebuilds a record from its key for the site and date. 1 (or the builder's
// count) when rebuilt; 0 for null, index -1, a class without builder, a class
// that needs a date without one, or a catalogue entry that is gone. Fields no
// builder writes (list status and mark, visibility caches, double-star pair)
// survive.
int RefreshObjectRecord(ObjectRecord *record, double riseAltitude, const LocationRecord *site,
                        const DateRecord *date, double extinction);

// Place of date, horizon place, hour angle, air mass, ecliptic and galactic
// places from the catalogue place. Needs both site and date (else nothing).
void ComputeApparentPlace(const LocationRecord *site, const DateRecord *date, double extinction,
                          double distanceAu, ObjectRecord *record);
// The J2000-frame place at the date (proper motion; with a distance and a
// site the diurnal parallax).
void ComputeAstrometricPlace(const LocationRecord *site, const DateRecord *date,
                             double distanceAu, ObjectRecord *record);
// Stores a catalogue place and magnitude (sizes 0, colour 99.0, no proper
// motion) and, with a site and a date, computes the places.
void SetFixedObjectPlace(const LocationRecord *site, const DateRecord *date, double extinction,
                         double distanceAu, ObjectRecord *record, double rightAscension,
                         double declination, double magnitude);
// Apparent place of date of a moving or user object at the date (radians).
// 1, 0 when the class has no moving place or the object cannot be computed.
int ComputeMovingObjectPlace(const LocationRecord *site, const DateRecord *date, double extinction,
                             int objectClass, int index, double *rightAscension,
                             double *declination);
// Rise, transit and set of the night the date belongs to (local hours 0..24;
// rise = set = 0 never sets; all -1 never rises). Moving bodies' events are
// searched over the day around that night's midnight (SearchRiseTransitSet):
// an event that does not fall on that day is -1 on its own. 1, 0 without
// site or date.
int ComputeObjectRiseTransitSet(const LocationRecord *site, const DateRecord *date,
                                double extinction, double riseAltitude, ObjectRecord *record);
// Rise and set against the site's obstructed horizon. 1, 0 without site,
// date or horizon file (both times -1 then).
int ComputeObjectHorizonRiseSet(const LocationRecord *site, const DateRecord *date,
                                double extinction, ObjectRecord *record);
// Rise/set, horizon rise/set and constellation of each record, the atlas
// charts of the first. Returns count.
int FinishObjectRecords(const LocationRecord *site, const DateRecord *date, double extinction,
                        ObjectRecord *records, double riseAltitude, int count);
// Atlas charts of the record's catalogue place (a bare position: its J2000
// place). Returns the eight-sector chart.
int ComputeAtlasPages(ObjectRecord *record);
uint32_t PackChartPair(int low, int high);
void UnpackChartPair(uint32_t pair, int *low, int *high);
// Sun rise, transit, set; astronomical twilight morning and evening; Moon
// rise, transit, set, as stored in a record (0/0 and -1/-1 conventions). 1.
int ComputeSunMoonTimes(const LocationRecord *site, const DateRecord *date, double extinction,
                        double out[8]);

// A completed date record at `hours` after the local midnight of `midnight`
// (negative hours: the evening before, on the previous calendar day).
void SetDateRecordAtNightHour(const LocationRecord *site, const DateRecord *midnight, double hours,
                              DateRecord *out);
