// Dispatch points of the deep-sky builders (classes 6-11, 16, 17). They find
// nothing until the deep-sky catalogue readers are added; each then reads its
// catalogue here and fills the record by its class's rules.
#include "objects/builders.h"

int BuildGalaxyObject(int, char *, const LocationRecord *, const DateRecord *, double,
                      ObjectRecord *, int) {
    return 0;
}
int BuildQuasarObject(int, char *, const LocationRecord *, const DateRecord *, double,
                      ObjectRecord *, int) {
    return 0;
}
int BuildPlanetaryNebulaObject(int, char *, const LocationRecord *, const DateRecord *, double,
                               ObjectRecord *, int) {
    return 0;
}
int BuildBrightNebulaObject(int, char *, const LocationRecord *, const DateRecord *, double,
                            ObjectRecord *, int) {
    return 0;
}
int BuildOpenClusterObject(int, char *, const LocationRecord *, const DateRecord *, double,
                           ObjectRecord *, int) {
    return 0;
}
int BuildGlobularClusterObject(int, char *, const LocationRecord *, const DateRecord *, double,
                               ObjectRecord *, int) {
    return 0;
}
int BuildGalaxyGroupObject(int, char *, const LocationRecord *, const DateRecord *, double,
                           ObjectRecord *, int) {
    return 0;
}
int BuildDarkNebulaObject(int, char *, const LocationRecord *, const DateRecord *, double,
                          ObjectRecord *, int) {
    return 0;
}
