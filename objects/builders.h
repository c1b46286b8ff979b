// Record builders of the catalogue and user classes (everything but stars,
// whose builder is in objects/starrecord.h). Each has the ObjectBuilder shape
// of objects/buildrecord.h: (number, text, site, date, extinction, out,
// refresh) -> records filled, 0 when not found.
#pragma once

struct DateRecord;
struct LocationRecord;
struct ObjectRecord;

// Class 1: index from the record (refresh), number - 1, or the name.
int BuildConstellationObject(int number, char *text, const LocationRecord *site,
                             const DateRecord *date, double extinction, ObjectRecord *out,
                             int refresh);
// Fills a constellation record from its boundary box (radians: west and east
// RA, south and north Dec) and computes the places.
void FillConstellationRecord(const LocationRecord *site, const DateRecord *date, double extinction,
                             ObjectRecord *record, double westRa, double eastRa, double southDec,
                             double northDec);
// Class 22: index from the record (refresh) or the reference point's name.
int BuildReferencePointObject(int number, char *text, const LocationRecord *site,
                              const DateRecord *date, double extinction, ObjectRecord *out,
                              int refresh);

// User classes (12 user star, 15 sky mark, 18 user deep-sky object). They
// read the user object files of the supplemental databases; until those
// readers exist these answer 0 (nothing found). A bare position (class 15,
// index 0) is refreshed by RefreshObjectRecord itself.
int BuildUserStarObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                        double extinction, ObjectRecord *out, int refresh);
int BuildSkymarkObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                       double extinction, ObjectRecord *out, int refresh);
int BuildUserDeepSkyObject(int number, char *text, const LocationRecord *site,
                           const DateRecord *date, double extinction, ObjectRecord *out,
                           int refresh);

// Deep-sky classes: dispatch points for the builders that come with the
// deep-sky catalogues (galaxies 6, quasars 7, planetary nebulae 8, bright
// nebulae 9, open clusters 10, globular clusters 11, galaxy groups 16, dark
// nebulae 17). Until then they find nothing (0).
int BuildGalaxyObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                      double extinction, ObjectRecord *out, int refresh);
int BuildQuasarObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                      double extinction, ObjectRecord *out, int refresh);
int BuildPlanetaryNebulaObject(int number, char *text, const LocationRecord *site,
                               const DateRecord *date, double extinction, ObjectRecord *out,
                               int refresh);
int BuildBrightNebulaObject(int number, char *text, const LocationRecord *site,
                            const DateRecord *date, double extinction, ObjectRecord *out,
                            int refresh);
int BuildOpenClusterObject(int number, char *text, const LocationRecord *site,
                           const DateRecord *date, double extinction, ObjectRecord *out,
                           int refresh);
int BuildGlobularClusterObject(int number, char *text, const LocationRecord *site,
                               const DateRecord *date, double extinction, ObjectRecord *out,
                               int refresh);
int BuildGalaxyGroupObject(int number, char *text, const LocationRecord *site,
                           const DateRecord *date, double extinction, ObjectRecord *out,
                           int refresh);
int BuildDarkNebulaObject(int number, char *text, const LocationRecord *site,
                          const DateRecord *date, double extinction, ObjectRecord *out,
                          int refresh);

// Solar-system and Earth-satellite classes: dispatch points for the builders
// that come with the ephemeris records. The Sun, Moon and planets (class 2,
// index 0-11, the body itself) are placed already, so that rise and set and
// the night's Sun and Moon times work; the others find nothing (0) until then.
int BuildSolarSystemObject(int number, char *text, const LocationRecord *site,
                           const DateRecord *date, double extinction, ObjectRecord *out,
                           int refresh);
int BuildCometObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                     double extinction, ObjectRecord *out, int refresh);
int BuildMinorPlanetObject(int number, char *text, const LocationRecord *site,
                           const DateRecord *date, double extinction, ObjectRecord *out,
                           int refresh);
int BuildUserCometObject(int number, char *text, const LocationRecord *site,
                         const DateRecord *date, double extinction, ObjectRecord *out,
                         int refresh);
int BuildUserMinorPlanetObject(int number, char *text, const LocationRecord *site,
                               const DateRecord *date, double extinction, ObjectRecord *out,
                               int refresh);
int BuildEarthSatelliteObject(int number, char *text, const LocationRecord *site,
                              const DateRecord *date, double extinction, ObjectRecord *out,
                              int refresh);
