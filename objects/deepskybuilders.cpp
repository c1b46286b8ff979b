// Dispatch points of the deep-sky builders (classes 6-11, 16, 17): each class
// is read from its own catalogue and filled by its class's rules in
// objects/deepskybuild.cpp.
#include "objects/builders.h"
#include "objects/deepskybuild.h"

int BuildGalaxyObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                      double extinction, ObjectRecord *out, int refresh) {
    return BuildGalaxyFromCatalogue(number, text, site, date, extinction, out, refresh);
}

int BuildQuasarObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                      double extinction, ObjectRecord *out, int refresh) {
    return BuildQuasarFromCatalogue(number, text, site, date, extinction, out, refresh);
}

int BuildPlanetaryNebulaObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                               double extinction, ObjectRecord *out, int refresh) {
    return BuildPlanetaryNebulaFromCatalogue(number, text, site, date, extinction, out, refresh);
}

int BuildBrightNebulaObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                            double extinction, ObjectRecord *out, int refresh) {
    return BuildBrightNebulaFromCatalogue(number, text, site, date, extinction, out, refresh);
}

int BuildOpenClusterObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                           double extinction, ObjectRecord *out, int refresh) {
    return BuildOpenClusterFromCatalogue(number, text, site, date, extinction, out, refresh);
}

int BuildGlobularClusterObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                               double extinction, ObjectRecord *out, int refresh) {
    return BuildGlobularClusterFromCatalogue(number, text, site, date, extinction, out, refresh);
}

int BuildGalaxyGroupObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                           double extinction, ObjectRecord *out, int refresh) {
    return BuildGalaxyGroupFromCatalogue(number, text, site, date, extinction, out, refresh);
}

int BuildDarkNebulaObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
                          double extinction, ObjectRecord *out, int refresh) {
    return BuildDarkNebulaFromCatalogue(number, text, site, date, extinction, out, refresh);
}
