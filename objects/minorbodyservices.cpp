// The object layer's services for the minor-body databases.
#include "objects/minorbodyservices.h"

#include "minorbodies/bodysearch.h"
#include "minorbodies/fieldsearch.h"
#include "objects/conrects.h"
#include "objects/namesearch.h"
#include "objects/objectrecord.h"

// The name searches hand back object classes of their own naming.
static_assert(kBodySearchClassComet == kClassComet, "comet class");
static_assert(kBodySearchClassMinorPlanet == kClassMinorPlanet, "minor-planet class");
static_assert(kBodySearchClassUserStar == kClassUserStar, "user-star class");
static_assert(kBodySearchClassSkyMark == kClassSkyMark, "sky-mark class");
static_assert(kBodySearchClassUserComet == kClassUserComet, "user-comet class");
static_assert(kBodySearchClassUserMinorPlanet == kClassUserMinorPlanet, "user minor-planet class");
static_assert(kBodySearchClassUserDeepSky == kClassUserDeepSky, "user deep-sky class");
static_assert(kBodySearchQuerySize == kNormalisedNameSize, "normalised name size");

void ConnectMinorBodyServices() {
    SetBodyNameMatching(NormaliseObjectName, MatchObjectName);
    SetFieldConstellationTest(ConstellationAt);
}
