// Record builders of the catalogue and user classes (everything but stars,
// whose builder is in objects/starrecord.h). Each has the ObjectBuilder shape
// of objects/buildrecord.h: (number, text, site, date, extinction, out,
// refresh) -> records filled, 0 when not found.
#pragma once

#include "objects/buildrecord.h"
#include "objects/deepskybuild.h"
#include "objects/objectrecord.h"

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

// User classes (12 user star, 15 sky mark, 18 user deep-sky object), read
// from the user object files of the supplemental databases; 0 when the file
// cannot be opened or holds no such object. A bare position (class 15, index
// 0) is refreshed by RefreshObjectRecord itself.
int BuildUserStarObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                        double extinction, ObjectRecord *out, int refresh);
int BuildSkymarkObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                       double extinction, ObjectRecord *out, int refresh);
int BuildUserDeepSkyObject(int number, char *text, const LocationRecord *site,
                           const DateRecord *date, double extinction, ObjectRecord *out,
                           int refresh);

// Deep-sky classes, read from the deep-sky catalogues (galaxies 6, quasars 7,
// planetary nebulae 8, bright nebulae 9, open clusters 10, globular clusters
// 11, galaxy groups 16, dark nebulae 17); 0 when the object is not found or
// its catalogue cannot be read. Each is its class's row of the one rule table
// in objects/deepskybuild.cpp.
template <int ObjectClass>
int BuildDeepSkyObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                       double extinction, ObjectRecord *out, int refresh) {
    return BuildDeepSkyFromCatalogue(ObjectClass, number, text, site, date, extinction, out, refresh);
}
constexpr ObjectBuilder BuildGalaxyObject = BuildDeepSkyObject<kClassGalaxy>;
constexpr ObjectBuilder BuildQuasarObject = BuildDeepSkyObject<kClassQuasar>;
constexpr ObjectBuilder BuildPlanetaryNebulaObject = BuildDeepSkyObject<kClassPlanetaryNebula>;
constexpr ObjectBuilder BuildBrightNebulaObject = BuildDeepSkyObject<kClassBrightNebula>;
constexpr ObjectBuilder BuildOpenClusterObject = BuildDeepSkyObject<kClassOpenCluster>;
constexpr ObjectBuilder BuildGlobularClusterObject = BuildDeepSkyObject<kClassGlobularCluster>;
constexpr ObjectBuilder BuildGalaxyGroupObject = BuildDeepSkyObject<kClassGalaxyGroup>;
constexpr ObjectBuilder BuildDarkNebulaObject = BuildDeepSkyObject<kClassDarkNebula>;

// Solar-system and Earth-satellite classes, placed from the ephemeris: the
// Sun, Moon and planets and their satellites (class 2, index 0-11 and the
// satellite in the kind), comets and minor planets from their elements,
// packaged or the user's, and Earth satellites from their element sets; 0
// when the body is not found or cannot be placed.
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
