// Single designations of a chosen kind. Each asks the family's own list
// formatter, with a preference row whose every position holds the one kind
// and a limit of one entry, so the text and its parts are exactly those the
// designation lists give, and the formatter's fallback to other kinds (for
// an object without the enabled kinds) can only find the same kind again.
#include "objects/singlekind.h"

#include <cstring>

#include "objects/clustercat.h"
#include "objects/darkneb.h"
#include "objects/galaxycat.h"
#include "objects/groupcat.h"
#include "objects/nebulacat.h"
#include "objects/objectnames.h"
#include "objects/pncat.h"
#include "objects/starcat.h"
#include "objects/stardes.h"

namespace {

// The shape every family's list formatter has (preferences, record, list, entry limit,
// all-kinds flag, first and second entry's parts).
template <typename Record>
using ListFormatter = int (*)(const DesignationPreferences *, const Record *, DesignationList *, int,
                              int, DesignationParts *, DesignationParts *);

// The star formatter with its component letter left blank, in that shape.
int FormatStarDesignationsNoComponent(const DesignationPreferences *prefs, const StarRecord *star,
                                      DesignationList *list, int maxEntries, int allFlag,
                                      DesignationParts *first, DesignationParts *second) {
    return FormatStarDesignations(prefs, star, ' ', list, maxEntries, allFlag, first, second);
}

template <typename Record>
int OneKind(const Record *record, int family, int kind, char *text, DesignationParts *parts,
            ListFormatter<Record> format) {
    if (text) text[0] = '\0';
    if (parts) {
        std::memset(parts, 0, sizeof *parts);
        parts->plain = 1;
    }
    if (kind < 0 || kind >= KindCountOfFamily(family)) return -1;
    if (!record || !text) return 0;
    DesignationPreferences table;
    std::memset(&table, 0, sizeof table);
    std::memset(table.order[family], kind, sizeof table.order[family]);
    table.enabled[family][0] = 1;
    DesignationList list;
    list.count = 0;
    DesignationParts found;
    std::memset(&found, 0, sizeof found);
    found.plain = 1;
    format(&table, record, &list, 1, 0, &found, nullptr);
    if (list.count < 1 || !list.entries[0][0]) return 0;
    std::memcpy(text, list.entries[0], kDesignationTextSize);
    text[kDesignationTextSize - 1] = '\0';
    if (parts) *parts = found;
    return 1;
}

}  // namespace

int StarDesignationOfKind(const StarRecord *record, int kind, char *text, DesignationParts *parts) {
    return OneKind(record, kFamilyStars, kind, text, parts, FormatStarDesignationsNoComponent);
}

int GalaxyDesignationOfKind(const GalaxyRecord *record, int kind, char *text,
                            DesignationParts *parts) {
    return OneKind(record, kFamilyGalaxies, kind, text, parts, FormatGalaxyDesignations);
}

int PlanetaryNebulaDesignationOfKind(const PlanetaryNebulaRecord *record, int kind, char *text,
                                     DesignationParts *parts) {
    return OneKind(record, kFamilyPlanetaryNebulae, kind, text, parts,
                   FormatPlanetaryNebulaDesignations);
}

int BrightNebulaDesignationOfKind(const BrightNebulaRecord *record, int kind, char *text,
                                  DesignationParts *parts) {
    return OneKind(record, kFamilyDiffuseNebulae, kind, text, parts, FormatBrightNebulaDesignations);
}

int DarkNebulaDesignationOfKind(const DarkNebulaRecord *record, int kind, char *text,
                                DesignationParts *parts) {
    return OneKind(record, kFamilyDarkNebulae, kind, text, parts, FormatDarkNebulaDesignations);
}

int OpenClusterDesignationOfKind(const OpenClusterRecord *record, int kind, char *text,
                                 DesignationParts *parts) {
    return OneKind(record, kFamilyOpenClusters, kind, text, parts, FormatOpenClusterDesignations);
}

int GlobularClusterDesignationOfKind(const GlobularClusterRecord *record, int kind, char *text,
                                     DesignationParts *parts) {
    return OneKind(record, kFamilyGlobularClusters, kind, text, parts,
                   FormatGlobularClusterDesignations);
}

int GalaxyGroupDesignationOfKind(const GalaxyGroupRecord *record, int kind, char *text,
                                 DesignationParts *parts) {
    int r = OneKind(record, kFamilyGalaxyGroups, kind, text, parts, FormatGalaxyGroupDesignations);
    // A group's designation is given as text only: the parts keep the plain
    // flag and nothing else.
    if (parts) {
        std::memset(parts, 0, sizeof *parts);
        parts->plain = 1;
    }
    return r;
}

int QuasarDesignationOfKind(const QuasarRecord *record, int kind, char *text,
                            DesignationParts *parts) {
    return OneKind(record, kFamilyQuasars, kind, text, parts, FormatQuasarDesignations);
}
