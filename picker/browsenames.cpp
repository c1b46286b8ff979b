// The names that fill the browse page's selectors: the class names in
// browse-index order, the designation-kind names of each family of classes
// (each enumerator keeps its own place between calls), and the size of each
// class's catalogue as the page shows it.
#include <cstdio>
#include <initializer_list>

#include "core/resstrings.h"
#include "minorbodies/usercatalogs.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "picker/browse.h"
#include "objects/objectrecord.h"

namespace {

const int kClassNameBase = 9710;
const int kClassNameCount = 19;

struct KindFamily {
    int base;   // string-table entry of kind 1
    int count;  // kinds
    int next;   // kind given by the next call, from 0
};

// Families in the order of the designation preferences.
KindFamily gStars{8300, 20, 0};
KindFamily gGalaxies{8407, 10, 0};
KindFamily gGroups{8330, 3, 0};
KindFamily gQuasars{8550, 3, 0};
KindFamily gPlanetaryNebulae{8333, 14, 0};
KindFamily gBrightNebulae{8878, 10, 0};
KindFamily gDarkNebulae{8553, 5, 0};
KindFamily gOpenClusters{8347, 57, 0};
KindFamily gGlobularClusters{8417, 7, 0};
KindFamily gComets{8424, 4, 0};
KindFamily gMinorPlanets{8432, 2, 0};
int gNextClass = 0;

int NextName(KindFamily &family, int count, char *out) {
    if (family.next >= count) {
        family.next = 0;
        if (out) out[0] = '\0';
        return 0;
    }
    if (out) LoadResStringTo(out, family.base + family.next);
    ++family.next;
    return 1;
}

// Kinds 19 and 20 of the star family (guide-star and J-coordinate names)
// are left out of the short list.
const int kStarShortListKinds = 18;

}  // namespace

int NextObjectClassName(char *out) {
    if (gNextClass >= kClassNameCount) {
        gNextClass = 0;
        if (out) out[0] = '\0';
        return 0;
    }
    if (out) LoadResStringTo(out, kClassNameBase + gNextClass);
    ++gNextClass;
    return 1;
}

int NextStarKindName(char *out, int shortList) {
    return NextName(gStars, shortList ? kStarShortListKinds : gStars.count, out);
}
int NextGalaxyKindName(char *out) { return NextName(gGalaxies, gGalaxies.count, out); }
int NextGalaxyGroupKindName(char *out) { return NextName(gGroups, gGroups.count, out); }
int NextQuasarKindName(char *out) { return NextName(gQuasars, gQuasars.count, out); }
int NextPlanetaryNebulaKindName(char *out) {
    return NextName(gPlanetaryNebulae, gPlanetaryNebulae.count, out);
}
int NextOpenClusterKindName(char *out) { return NextName(gOpenClusters, gOpenClusters.count, out); }
int NextGlobularClusterKindName(char *out) {
    return NextName(gGlobularClusters, gGlobularClusters.count, out);
}
int NextCometKindName(char *out) { return NextName(gComets, gComets.count, out); }
int NextMinorPlanetKindName(char *out) { return NextName(gMinorPlanets, gMinorPlanets.count, out); }
int NextBrightNebulaKindName(char *out) {
    return NextName(gBrightNebulae, gBrightNebulae.count, out);
}
int NextDarkNebulaKindName(char *out) { return NextName(gDarkNebulae, gDarkNebulae.count, out); }

void ResetBrowseNameEnumerators() {
    for (KindFamily *f : {&gStars, &gGalaxies, &gGroups, &gQuasars, &gPlanetaryNebulae,
                          &gBrightNebulae, &gDarkNebulae, &gOpenClusters, &gGlobularClusters,
                          &gComets, &gMinorPlanets})
        f->next = 0;
    gNextClass = 0;
}

int32_t CatalogueObjectCount(int objectClass) {
    // Sizes of the packaged catalogues. The solar-system listing has 11
    // bodies (the Earth left out) and the galaxy-group catalogue 4,076 ACO
    // clusters and 100 Hickson groups.
    static const int32_t kCounts[12] = {0,     89,      11,      1017, 10000, 2650990,
                                        1098254, 12543, 2902, 811,  1672,  193};
    if (objectClass >= kClassConstellation && objectClass <= kClassGlobularCluster)
        return kCounts[objectClass];
    int32_t count = 0;
    FILE *f = nullptr;
    switch (objectClass) {
    case kClassGalaxyGroup: return 4176;
    case kClassDarkNebula: return 3307;
    case kClassReferencePoint: return 6;
    case kClassUserStar: f = OpenUserStarFile(&count); break;
    case kClassSkyMark: f = OpenSkyMarkFile(&count); break;
    case kClassUserDeepSky: f = OpenUserDeepSkyFile(&count); break;
    case kClassUserComet: f = OpenUserCometFile(&count); break;
    case kClassUserMinorPlanet: f = OpenUserMinorPlanetFile(&count); break;
    default:
        return 0;
    }
    if (!f) return 0;
    std::fclose(f);
    return count;
}
