// Dispatch points of the deep-sky builders (classes 6-11, 16, 17): each class
// is read from its own catalogue and filled by its row of the rule table in
// objects/deepskybuild.cpp.
#include "objects/builders.h"
#include "objects/deepskybuild.h"
#include "objects/objectrecord.h"

int BuildGalaxyObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
    double extinction, ObjectRecord *out, int refresh) {
    return BuildDeepSkyFromCatalogue(kClassGalaxy, number, text, site, date, extinction, out, refresh); }
int BuildQuasarObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
    double extinction, ObjectRecord *out, int refresh) {
    return BuildDeepSkyFromCatalogue(kClassQuasar, number, text, site, date, extinction, out, refresh); }
int BuildPlanetaryNebulaObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
    double extinction, ObjectRecord *out, int refresh) {
    return BuildDeepSkyFromCatalogue(kClassPlanetaryNebula, number, text, site, date, extinction, out, refresh); }
int BuildBrightNebulaObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
    double extinction, ObjectRecord *out, int refresh) {
    return BuildDeepSkyFromCatalogue(kClassBrightNebula, number, text, site, date, extinction, out, refresh); }
int BuildOpenClusterObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
    double extinction, ObjectRecord *out, int refresh) {
    return BuildDeepSkyFromCatalogue(kClassOpenCluster, number, text, site, date, extinction, out, refresh); }
int BuildGlobularClusterObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
    double extinction, ObjectRecord *out, int refresh) {
    return BuildDeepSkyFromCatalogue(kClassGlobularCluster, number, text, site, date, extinction, out, refresh); }
int BuildGalaxyGroupObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
    double extinction, ObjectRecord *out, int refresh) {
    return BuildDeepSkyFromCatalogue(kClassGalaxyGroup, number, text, site, date, extinction, out, refresh); }
int BuildDarkNebulaObject(int number, char *text, const LocationRecord *site, const DateRecord *date,
    double extinction, ObjectRecord *out, int refresh) {
    return BuildDeepSkyFromCatalogue(kClassDarkNebula, number, text, site, date, extinction, out, refresh); }
