// Object names: which designation family a class belongs to, the family and
// kind names, the default preferences, and FormatObjectName, which reads the
// object's catalogue entry and lets that catalogue's formatter list its first
// two designations in the user's order.
#include "objects/objectnames.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "astro/angletext.h"
#include "core/resstrings.h"
#include "ephem/satellitenames.h"
#include "objects/clustercat.h"
#include "objects/constellations.h"
#include "objects/darkneb.h"
#include "objects/earthsatelliteobjects.h"
#include "objects/dsoxref.h"
#include "objects/galaxycat.h"
#include "objects/groupcat.h"
#include "minorbodies/usercatalogs.h"
#include "objects/minorbodytexts.h"
#include "objects/nebulacat.h"
#include "objects/objectrecord.h"
#include "objects/pncat.h"
#include "objects/refpoints.h"
#include "objects/starcat.h"
#include "objects/stardes.h"
#include "core/mathutil.h"

namespace {


const char kFamilyNames[kDesignationFamilyCount][kDesignationFamilyNameSize] = {
    "Stars",           "Galaxies",        "Galaxy Groups",   "Quasars",
    "Planetary Nebulae", "Diffuse Nebulae", "Dark Nebulae",  "Open Clusters",
    "Globular Clusters", "Comets",          "Minor Planets"};

// Every kind of each family. The open-cluster family has 57 kinds and the
// comet family 4; a preferences editor limited to 53 and 3 positions could
// never order or enable the vandenBergh, vandenBergh-Hagen, other and OCL
// designations, nor a comet's discoverer name, although the default table
// lists them, so the counts here are the full kind counts.
const int kKindCounts[kDesignationFamilyCount] = {20, 10, 3, 3, 14, 10, 5, 57, 7, 4, 2};
// String-table entry of kind 1 of each family.
const int kKindNameBase[kDesignationFamilyCount] = {8300, 8407, 8330, 8550, 8333, 8878,
                                                    8553, 8347, 8417, 8424, 8432};

struct File {
    FILE *f;
    explicit File(FILE *file) : f(file) {}
    ~File() {
        if (f) std::fclose(f);
    }
    File(const File &) = delete;
    File &operator=(const File &) = delete;
};

void MarkPlain(DesignationParts *parts) {
    if (!parts) return;
    std::memset(parts, 0, sizeof *parts);
    parts->plain = 1;
}

void CopyName(char *target, const char *source) {
    std::snprintf(target, kDesignationTextSize, "%s", source ? source : "");
}

// ---- comets and minor planets --------------------------------------------------------
// The designations of a packaged comet or minor planet from the minor-body
// database, and of a user comet or minor planet from the user's files; 0 for
// any other class (their names are found by FormatObjectName itself).
int ListMinorBodyNames(const ObjectRecord *record, const DesignationPreferences *prefs,
                     DesignationList *list, DesignationParts *parts, DesignationParts *second) {
    list->count = 0;
    if (record->objectClass == kClassComet || record->objectClass == kClassMinorPlanet)
        return ListPackagedMinorBodyDesignations(record, prefs, list, parts, second);
    if (record->objectClass == kClassUserComet || record->objectClass == kClassUserMinorPlanet)
        return ListUserMinorBodyDesignations(record, prefs, list, parts, second);
    return 0;
}

// The stored name of a user star, deep-sky object or sky mark with the
// record's id; 0 when the file cannot be opened or holds no such id.
int UserCatalogueName(const ObjectRecord *record, char *name) {
    if (record->index <= 0) return 0;
    char text[33] = {0};
    int found = 0;
    FILE *f = nullptr;
    switch (record->objectClass) {
    case kClassUserStar:
        f = OpenUserStarFile(nullptr);
        found = f && GetUserStarData(f, record->index, text, nullptr, nullptr, nullptr);
        break;
    case kClassUserDeepSky:
        f = OpenUserDeepSkyFile(nullptr);
        found = f && GetUserDeepSkyData(f, record->index, nullptr, text, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, nullptr);
        break;
    case kClassSkyMark:
        f = OpenSkyMarkFile(nullptr);
        found = f && GetSkyMarkData(f, record->index, text, nullptr, nullptr);
        break;
    default:
        break;
    }
    if (f) std::fclose(f);
    if (!found || !text[0]) return 0;
    CopyName(name, text);
    return 1;
}

// The solar-system name: the body, or "satellite (body)". A kind above 100
// (how the picker and the builders store a satellite) means satellite
// kind - 100.
int SolarSystemName(const ObjectRecord *record, char *name) {
    int body = record->index;
    if (body < 0 || body > 11) return 0;
    int satellite = record->kind;
    if (satellite > 100) satellite -= 100;
    const char *bodyName = LoadBodyName(body);
    if (!bodyName[0]) return 0;
    if (satellite >= 1 && satellite <= 99) {
        char satelliteName[kDesignationTextSize];
        if (!GetSatelliteName(body, satellite, satelliteName) || !satelliteName[0]) return 0;
        const std::string text = std::string(satelliteName) + " (" + bodyName + ")";
        CopyName(name, text.c_str());
        return 1;
    }
    CopyName(name, bodyName);
    return 1;
}

// Fills list by the class's catalogue and formatter; 1 when the entry was
// read (the list may still be empty).
int ListCatalogueDesignations(const ObjectRecord *record, const DesignationPreferences *prefs,
                              DesignationList *list, DesignationParts *parts,
                              DesignationParts *second) {
    const int32_t index = record->index;
    switch (record->objectClass) {
    case kClassStar: {
        File f(OpenStarCatalogue());
        if (!f.f) return 0;
        StarRecord star;
        if (!ReadStarRecord(f.f, index, &star, prefs, 0xFFFF & ~kStarReadName)) return 0;
        // A component placed from its reference star (Sirius B) is named
        // by its own letter, not by that of the star it was placed from.
        const char requested = record->requestedComponent;
        const char letter =
            requested != ' ' && requested != '\0' && requested != 'A' ? requested
                                                                     : record->starComponent;
        return FormatStarDesignations(prefs, &star, letter, list, 2, 0, parts, second);
    }
    case kClassGalaxy: {
        File f(OpenGalaxyCatalogue());
        if (!f.f) return 0;
        GalaxyRecord g;
        std::memset(&g, 0, sizeof g);
        if (!ReadGalaxyRecord(f.f, index, &g, prefs, kReadAllButName)) return 0;
        return FormatGalaxyDesignations(prefs, &g, list, 2, 0, parts, second);
    }
    case kClassPlanetaryNebula: {
        File f(OpenPlanetaryNebulaCatalogue());
        PlanetaryNebulaRecord p;
        std::memset(&p, 0, sizeof p);
        if (!f.f || !ReadPlanetaryNebulaRecord(f.f, index, &p, kReadAllButName)) return 0;
        return FormatPlanetaryNebulaDesignations(prefs, &p, list, 2, 0, parts, second);
    }
    case kClassBrightNebula: {
        File f(OpenBrightNebulaCatalogue());
        BrightNebulaRecord n;
        std::memset(&n, 0, sizeof n);
        if (!f.f || !ReadBrightNebulaRecord(f.f, index, &n, prefs, kReadAllButName)) return 0;
        return FormatBrightNebulaDesignations(prefs, &n, list, 2, 0, parts, second);
    }
    case kClassOpenCluster: {
        File f(OpenOpenClusterCatalogue());
        OpenClusterRecord o;
        std::memset(&o, 0, sizeof o);
        if (!f.f || !ReadOpenClusterRecord(f.f, index, &o, prefs, kReadAllButName)) return 0;
        return FormatOpenClusterDesignations(prefs, &o, list, 2, 0, parts, second);
    }
    case kClassGlobularCluster: {
        File f(OpenGlobularClusterCatalogue());
        GlobularClusterRecord g;
        std::memset(&g, 0, sizeof g);
        if (!f.f || !ReadGlobularClusterRecord(f.f, index, &g, prefs, kReadAllButName)) return 0;
        return FormatGlobularClusterDesignations(prefs, &g, list, 2, 0, parts, second);
    }
    default:
        return 0;
    }
}

// Catalogue words of the dark-cloud names stored in full, in the order tried.
struct CloudForm {
    const char *marker;
    const char *format;
    const char *word;
};
const CloudForm kCloudForms[] = {
    {"BARNARD", "BARNARD %d-%d", "BARNARD"}, {"CEPH IV", "CEPH IV-%d", "CEPH IV"},
    {"CYG II", "CYG II-%d", "CYG II"},       {"SGR IV", "SGR IV-%d", "SGR IV"},
    {"SGR V", "SGR V-%d", "SGR V"},          {"W ", "W %d", "W"}};

void ReadCloudParts(const char *stored, DesignationParts *parts) {
    if (!parts) return;
    for (const CloudForm &c : kCloudForms) {
        const char *at = std::strstr(stored, c.marker);
        if (!at) continue;
        int a = 0, b = 0;
        int form = std::sscanf(at, c.format, &a, &b);
        if (form < 1) continue;
        parts->plain = 0;
        std::snprintf(parts->catalogue, sizeof parts->catalogue, "%s", c.word);
        parts->form = form;
        parts->first = a;
        parts->second = form > 1 ? b : 0;
        parts->third = 0;
        return;
    }
}

}  // namespace

int DesignationFamilyOfClass(int objectClass) {
    switch (objectClass) {
    case kClassStar: return kFamilyStars;
    case kClassGalaxy: return kFamilyGalaxies;
    case kClassGalaxyGroup: return kFamilyGalaxyGroups;
    case kClassQuasar: return kFamilyQuasars;
    case kClassPlanetaryNebula: return kFamilyPlanetaryNebulae;
    case kClassBrightNebula: return kFamilyDiffuseNebulae;
    case kClassDarkNebula: return kFamilyDarkNebulae;
    case kClassOpenCluster: return kFamilyOpenClusters;
    case kClassGlobularCluster: return kFamilyGlobularClusters;
    case kClassComet:
    case kClassUserComet: return kFamilyComets;
    case kClassMinorPlanet:
    case kClassUserMinorPlanet: return kFamilyMinorPlanets;
    default: return -1;
    }
}

int KindCountOfFamily(int family) {
    if (family < 0 || family >= kDesignationFamilyCount) return 0;
    return kKindCounts[family];
}

int NextDesignationFamilyName(int *position, char *name) {
    if (!position) return 0;
    int p = *position;
    if (p < 0 || p >= kDesignationFamilyCount) {
        *position = 0;
        if (name) name[0] = '\0';
        return 0;
    }
    if (name) std::snprintf(name, kDesignationFamilyNameSize, "%s", kFamilyNames[p]);
    *position = p + 1;
    return 1;
}

const char *DesignationKindName(int family, int kind) {
    if (family < 0 || family >= kDesignationFamilyCount) return "";
    if (kind < 1 || kind > kKindCounts[family]) return "";
    return LoadResString(kKindNameBase[family] + kind - 1);
}

void InitDesignationPreferences(DesignationPreferences *prefs) {
    if (!prefs) return;
    std::memset(prefs, 0, sizeof *prefs);
    for (int f = 0; f < kDesignationFamilyCount; ++f)
        for (int p = 0; p < kDesignationPositions; ++p) {
            prefs->order[f][p] = static_cast<uint8_t>(p);
            prefs->enabled[f][p] = 1;
        }
    prefs->starNameFlag = 0;
}

int FormatObjectName(const ObjectRecord *record, char *name, const DesignationPreferences *prefs,
                     char *secondName, DesignationParts *parts, DesignationParts *secondParts) {
    if (secondName) secondName[0] = '\0';
    if (name) name[0] = '\0';
    if (parts) std::memset(parts, 0, sizeof *parts);
    if (secondParts) std::memset(secondParts, 0, sizeof *secondParts);
    if (!record || !name) return 0;

    DesignationList list;
    list.count = 0;
    int found = 0;
    bool listed = false;  // the name comes from a formatter's list
    const int32_t index = record->index;
    switch (record->objectClass) {
    case kClassConstellation: {
        File f(OpenConstellationNames());
        char text[32] = {0};
        double ra = 0, dec = 0;
        if (f.f && index >= 0 && ReadConstellationName(f.f, index, text, &ra, &dec)) {
            text[sizeof text - 1] = '\0';
            CopyName(name, text);
            found = name[0] != '\0';
        }
        break;
    }
    case kClassSolarSystem:
        found = SolarSystemName(record, name);
        break;
    case kClassStar:
        if (index == kAnonymousStarIndex) {
            char text[kJDesignationSize];
            FormatJDesignation(text, record->raCatalogue, record->decCatalogue);
            CopyName(name, text);
            found = 1;
        } else if (IsGuideStarKey(index)) {
            int region = GuideStarKeyRegion(index), number = GuideStarKeyNumber(index);
            std::snprintf(name, kDesignationTextSize, "GSC %05d-%04d", region, number);
            if (parts) {
                parts->plain = 0;
                std::snprintf(parts->catalogue, sizeof parts->catalogue, "GSC");
                parts->form = 2;
                parts->first = region;
                parts->second = number;
            }
            return 1;
        } else if (index > 0) {
            listed = true;
            found = ListCatalogueDesignations(record, prefs, &list, parts, secondParts);
        }
        break;
    case kClassGalaxy:
    case kClassPlanetaryNebula:
    case kClassBrightNebula:
    case kClassOpenCluster:
    case kClassGlobularCluster:
        listed = true;
        found = ListCatalogueDesignations(record, prefs, &list, parts, secondParts);
        break;
    case kClassDarkNebula: {
        File f(OpenDarkNebulaCatalogue(0));
        DarkNebulaRecord d;
        std::memset(&d, 0, sizeof d);
        if (!f.f || !ReadDarkNebulaRecord(f.f, index, &d, prefs, kReadAllButName)) break;
        if (d.classValue >= 10) {
            d.name[sizeof d.name - 1] = '\0';
            CopyName(name, d.name);
            found = name[0] != '\0';
            MarkPlain(parts);
            ReadCloudParts(d.name, parts);
            return found ? 1 : 0;
        }
        listed = true;
        found = FormatDarkNebulaDesignations(prefs, &d, &list, 2, 0, parts, secondParts);
        break;
    }
    case kClassGalaxyGroup: {
        // Groups are numbered from 1 (ACO clusters, then Hickson groups).
        if (index < 1) return 0;
        File f(OpenGalaxyGroupCatalogue());
        GalaxyGroupRecord g;
        std::memset(&g, 0, sizeof g);
        if (!f.f || !ReadGalaxyGroupRecord(f.f, index, &g, kReadIdentifiers)) break;
        listed = true;
        found = FormatGalaxyGroupDesignations(prefs, &g, &list, 2, 0, parts, secondParts);
        break;
    }
    case kClassQuasar: {
        // Quasar indexes count from 1; the record number is index - 1.
        if (index < 1) return 0;
        File f(OpenQuasarCatalogue());
        QuasarRecord q;
        std::memset(&q, 0, sizeof q);
        if (!f.f || ReadQuasarRecord(f.f, index - 1, &q, kReadIdentifiers) <= 0) break;
        listed = true;
        found = FormatQuasarDesignations(prefs, &q, &list, 2, 0, parts, secondParts);
        break;
    }
    case kClassSkyMark:
        if (index == 0) {
            char ra[kAngleTextSize + 1], dec[kAngleTextSize + 1];
            double hours = record->raJ2000AtDate * 12.0 / kPi;
            FormatRightAscensionTenths(ra, hours);
            FormatDeclination(dec, record->decJ2000AtDate * 180.0 / kPi);
            // The formatters pad their fields with leading blanks; the
            // name is the two texts with one blank between them.
            const char *r = ra, *d = dec;
            while (*r == ' ') ++r;
            while (*d == ' ') ++d;
            std::snprintf(name, kDesignationTextSize, "%s %s", r, d);
            found = 1;
            break;
        }
        found = UserCatalogueName(record, name);
        break;
    case kClassUserStar:
    case kClassUserDeepSky:
        found = UserCatalogueName(record, name);
        break;
    case kClassComet:
    case kClassMinorPlanet:
    case kClassUserComet:
    case kClassUserMinorPlanet:
        listed = true;
        found = ListMinorBodyNames(record, prefs, &list, parts, secondParts);
        break;
    case kClassEarthSatellite: {
        char text[kEarthSatelliteNameSize];
        found = EarthSatelliteObjectName(index, text);
        if (found) CopyName(name, text);
        break;
    }
    case kClassReferencePoint: {
        char text[kReferencePointNameSize] = {0};
        char abbreviation[kReferencePointAbbreviationSize] = {0};
        found = ReferencePointInfo(nullptr, nullptr, index, text, abbreviation, nullptr, nullptr);
        if (found) {
            CopyName(name, text);
            if (secondName) CopyName(secondName, abbreviation);
        }
        break;
    }
    default:
        break;
    }

    if (listed) {
        if (!found || list.count < 1) {
            name[0] = '\0';
            if (secondName) secondName[0] = '\0';
            return 0;
        }
        CopyName(name, list.entries[0]);
        if (secondName && list.count > 1) CopyName(secondName, list.entries[1]);
        if (record->objectClass == kClassComet || record->objectClass == kClassUserComet)
            if (parts) parts->plain = 1;
        return 1;
    }
    if (!found || !name[0]) {
        name[0] = '\0';
        if (secondName) secondName[0] = '\0';
        return 0;
    }
    MarkPlain(parts);
    return 1;
}

int FormatObjectNameOfKind(const ObjectRecord *record, char *name) {
    if (name) name[0] = '\0';
    if (!record || !name) return 0;
    int kind = record->kind;
    int family = DesignationFamilyOfClass(record->objectClass);
    if (kind <= 0 || family < 0 || kind > KindCountOfFamily(family)) return 0;
    DesignationPreferences table;
    InitDesignationPreferences(&table);
    std::memset(table.enabled, 0, sizeof table.enabled);
    table.enabled[family][kind - 1] = 1;
    return FormatObjectName(record, name, &table, nullptr, nullptr, nullptr);
}
