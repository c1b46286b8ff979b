// Class category values, class folders, browse positions and the plot
// magnitude and sizes of an object.
#include "objects/categories.h"

#include <cstring>

#include "objects/objectrecord.h"

namespace {

const uint32_t kCategoryGalaxy = 0x100;
const uint32_t kCategoryOpenCluster = 0x1000;
const uint32_t kCategoryGalaxyGroup = 0x10000;

// Browse position -> class.
const int kBrowseClasses[kBrowseIndexCount] = {1, 2, 3, 4, 5, 6, 16, 7, 8, 9,
                                               17, 10, 11, 12, 13, 14, 18, 15, 22};

}  // namespace

const CategoryFolder CategoryFolderTable[kCategoryFolderCount] = {
    {"constellations", 0x1},        {"prime solar system", 0x2}, {"comets", 0x4},
    {"asteroids", 0x8},             {"stars", 0x10},             {"galaxies", 0x100},
    {"galaxy groups", 0x10000},     {"quasars", 0x200},          {"planetary nebulae", 0x400},
    {"bright nebulae", 0x800},      {"dark nebulae", 0x20000},   {"open clusters", 0x1000},
    {"globular clusters", 0x2000},  {"skymarks", 0x4000},
};

const char OldCategoryFolderTable[kOldCategoryFolderCount][kCategoryFolderNameSize] = {
    "constellations",    "major solar system", "comets",         "minor planets",
    "stars",             "galaxies",           "galaxy groups",  "quasars",
    "planetary nebulae", "bright nebulae",     "dark nebulae",   "open clusters",
    "globular clusters",
};

int IsUserObjectClass(int objectClass) {
    switch (objectClass) {
    case kClassUserStar:
    case kClassUserComet:
    case kClassUserMinorPlanet:
    case kClassSkyMark:
    case kClassUserDeepSky:
        return 1;
    default: return 0;
    }
}

uint32_t ClassCategoryBits(int objectClass, int multiple, int variable, int orbit) {
    switch (objectClass) {
    case kClassConstellation: return 0x1;
    case kClassSolarSystem: return 0x2;
    case kClassComet: case kClassUserComet: return 0x4;
    case kClassMinorPlanet: case kClassUserMinorPlanet: return 0x8;
    case kClassStar: {
        uint32_t bits = 0;
        if (multiple) bits = 0x20;
        if (variable) bits = 0x40;
        if (orbit) bits |= 0x80;
        return bits ? bits : 0x10;
    }
    case kClassGalaxy: return 0x100;
    case kClassQuasar: return 0x200;
    case kClassPlanetaryNebula: return 0x400;
    case kClassBrightNebula: return 0x800;
    case kClassOpenCluster: return 0x1000;
    case kClassGlobularCluster: return 0x2000;
    case kClassUserStar: return 0x10;
    case kClassSkyMark: return 0x4000;
    case kClassGalaxyGroup: return 0x10000;
    case kClassDarkNebula: return 0x20000;
    case kClassUserDeepSky: return 0x33f00;
    case kClassEarthSatellite: return 0x40000;
    case kClassReferencePoint: return 0x80000;
    default: return 0;
    }
}

int IsFixedBodyClass(int objectClass) {
    return objectClass < kClassSolarSystem ||
           (objectClass >= kClassStar && objectClass <= kClassUserStar) ||
           objectClass == kClassSkyMark;
}

int IsSolarSystemClass(int objectClass) {
    return objectClass == kClassSolarSystem || objectClass == kClassComet ||
           objectClass == kClassMinorPlanet || objectClass == kClassUserComet ||
           objectClass == kClassUserMinorPlanet;
}

int IsSolarSystemObject(const ObjectRecord *record) {
    return record ? IsSolarSystemClass(record->objectClass) : 0;
}

int BrowseIndexToClass(int browseIndex) {
    if (browseIndex < 0 || browseIndex >= kBrowseIndexCount) return 0;
    return kBrowseClasses[browseIndex];
}

int ClassToBrowseIndex(int objectClass) {
    for (int i = 0; i < kBrowseIndexCount; ++i)
        if (kBrowseClasses[i] == objectClass) return i;
    return 0;
}

int CategoryFolderIndex(uint32_t category) {
    for (int i = 0; i < kCategoryFolderCount; ++i)
        if (CategoryFolderTable[i].category == category) return i;
    if (category & 0xf0) return 4;
    return -1;
}

int CategoryFolderIndexOfName(const char *name) {
    if (!name) return -1;
    for (int i = 0; i < kCategoryFolderCount; ++i)
        if (std::strcmp(CategoryFolderTable[i].name, name) == 0) return i;
    for (int i = 0; i < kOldCategoryFolderCount; ++i)
        if (std::strcmp(OldCategoryFolderTable[i], name) == 0) return i;
    return -1;
}

// The steps work on the category as a whole: the user deep-sky value 0x33F00
// holds the group, galaxy and cluster bits together but none of their
// brightest-member fields, so it takes none of the class steps. A galaxy
// group without a known brightest member keeps its own values.
void GetObjectPlotMagnitudeAndSizes(const ObjectRecord *record, double *magnitude, double *sizeA,
                                    double *sizeB) {
    if (!record) return;
    double m = record->magnitude;
    double a = record->sizeMajor;
    double b = record->sizeMinor;
    if (m > kMagnitudeNoneThreshold) m = 15.0;
    if (b == 0.0) b = a;
    uint32_t category = record->categoryBits;
    if (category == kCategoryGalaxyGroup) {
        double memberMajor = record->memberSizeMajor;
        double memberMinor = record->memberSizeMinor;
        if (memberMajor > 0.0) {
            a = memberMajor * 0.8;
            b = (memberMinor > 0.0 ? memberMinor : memberMajor) * 0.8;
        }
        double member = record->memberMagnitude;
        if (member <= kMagnitudeNoneThreshold) m = member - 1.0;
    } else if (category == kCategoryGalaxy) {
        a *= 0.8;
        b *= 0.8;
        m -= 1.0;
    } else if (category == kCategoryOpenCluster) {
        a *= 0.75;
        b *= 0.75;
    }
    if (magnitude) *magnitude = m;
    if (sizeA) *sizeA = a;
    if (sizeB) *sizeB = b;
}

void GetObjectPlotMagnitude(const ObjectRecord *record, double *magnitude) {
    GetObjectPlotMagnitudeAndSizes(record, magnitude, nullptr, nullptr);
}
