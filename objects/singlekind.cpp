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
#include "objects/nebulacat.h"
#include "objects/objectnames.h"
#include "objects/pncat.h"
#include "objects/starcat.h"
#include "objects/stardes.h"

namespace {

template <typename Record, typename Formatter>
int OneKind(const Record *record, int family, int kind, char *text, DesignationParts *parts,
            Formatter format) {
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
    format(&table, record, &list, &found);
    if (list.count < 1 || !list.entries[0][0]) return 0;
    std::memcpy(text, list.entries[0], kDesignationTextSize);
    text[kDesignationTextSize - 1] = '\0';
    if (parts) *parts = found;
    return 1;
}

}  // namespace

int StarDesignationOfKind(const StarRecord *record, int kind, char *text, DesignationParts *parts) {
    return OneKind(record, kFamilyStars, kind, text, parts,
                   [](const DesignationPreferences *t, const StarRecord *r, DesignationList *l,
                      DesignationParts *p) { FormatStarDesignations(t, r, ' ', l, 1, 0, p, nullptr); });
}

int GalaxyDesignationOfKind(const GalaxyRecord *record, int kind, char *text,
                            DesignationParts *parts) {
    return OneKind(record, kFamilyGalaxies, kind, text, parts,
                   [](const DesignationPreferences *t, const GalaxyRecord *r, DesignationList *l,
                      DesignationParts *p) { FormatGalaxyDesignations(t, r, l, 1, 0, p, nullptr); });
}

int PlanetaryNebulaDesignationOfKind(const PlanetaryNebulaRecord *record, int kind, char *text,
                                     DesignationParts *parts) {
    return OneKind(record, kFamilyPlanetaryNebulae, kind, text, parts,
                   [](const DesignationPreferences *t, const PlanetaryNebulaRecord *r,
                      DesignationList *l, DesignationParts *p) {
                       FormatPlanetaryNebulaDesignations(t, r, l, 1, 0, p, nullptr);
                   });
}

int BrightNebulaDesignationOfKind(const BrightNebulaRecord *record, int kind, char *text,
                                  DesignationParts *parts) {
    return OneKind(record, kFamilyDiffuseNebulae, kind, text, parts,
                   [](const DesignationPreferences *t, const BrightNebulaRecord *r,
                      DesignationList *l, DesignationParts *p) {
                       FormatBrightNebulaDesignations(t, r, l, 1, 0, p, nullptr);
                   });
}

int DarkNebulaDesignationOfKind(const DarkNebulaRecord *record, int kind, char *text,
                                DesignationParts *parts) {
    return OneKind(record, kFamilyDarkNebulae, kind, text, parts,
                   [](const DesignationPreferences *t, const DarkNebulaRecord *r,
                      DesignationList *l, DesignationParts *p) {
                       FormatDarkNebulaDesignations(t, r, l, 1, 0, p, nullptr);
                   });
}

int OpenClusterDesignationOfKind(const OpenClusterRecord *record, int kind, char *text,
                                 DesignationParts *parts) {
    return OneKind(record, kFamilyOpenClusters, kind, text, parts,
                   [](const DesignationPreferences *t, const OpenClusterRecord *r,
                      DesignationList *l, DesignationParts *p) {
                       FormatOpenClusterDesignations(t, r, l, 1, 0, p, nullptr);
                   });
}

int GlobularClusterDesignationOfKind(const GlobularClusterRecord *record, int kind, char *text,
                                     DesignationParts *parts) {
    return OneKind(record, kFamilyGlobularClusters, kind, text, parts,
                   [](const DesignationPreferences *t, const GlobularClusterRecord *r,
                      DesignationList *l, DesignationParts *p) {
                       FormatGlobularClusterDesignations(t, r, l, 1, 0, p, nullptr);
                   });
}
