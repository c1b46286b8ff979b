// Fuzz target: the deep-sky catalogue readers and their designation indexes
// as damaged files could hold them.
//
// Input: a control byte, two bytes of a number (little-endian), then the file.
// Control bits 0-2 pick the catalogue (galaxies, open clusters, globular
// clusters, bright nebulae, planetary nebulae, dark nebulae); bit 3 reads the
// record at the number instead of the one at the stream's start. The record
// is decoded with every read flag, its designation list formatted, and the
// same file is then searched as each of that catalogue's number indexes.
// Every reader must end without reading outside the file, and every text it
// returns must be terminated within its field.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "fuzz/fuzzscratch.h"
#include "objects/clustercat.h"
#include "objects/darkneb.h"
#include "objects/designationlist.h"
#include "objects/dsoxref.h"
#include "objects/galaxycat.h"
#include "objects/nebulacat.h"
#include "objects/objectnames.h"
#include "objects/pncat.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "catalogue check failed: %s\n", what);
        std::abort();
    }
}

enum Catalogue {
    kGalaxies,
    kOpenClusters,
    kGlobularClusters,
    kBrightNebulae,
    kPlanetaryNebulae,
    kDarkNebulae,
    kCatalogueCount
};

// The designation list a formatter filled: a count within the limit and
// terminated entries.
void CheckList(const DesignationList &list, int result, int limit) {
    Check(list.count >= 0 && list.count <= limit, "a list count within the limit");
    Check(result >= -1 && result <= limit, "a formatter result within the limit");
    for (int i = 0; i < list.count; ++i)
        fuzz::TerminatedLength(list.entries[i], kDesignationTextSize, "designation entry");
}

const DesignationPreferences &Preferences() {
    static DesignationPreferences prefs;
    static bool made = false;
    if (!made) {
        InitDesignationPreferences(&prefs);
        made = true;
    }
    return prefs;
}

struct Lists {
    DesignationList list;
    DesignationParts first, second;
};

void Galaxies(FILE *f, int number, Lists *l) {
    const DesignationPreferences *prefs = &Preferences();
    auto rec = std::make_unique<GalaxyRecord>();
    if (ReadGalaxyRecord(f, number, rec.get(), prefs, kReadAllButName | kReadDisplayName) == 1) {
        fuzz::TerminatedLength(rec->displayName, sizeof rec->displayName, "galaxy name");
        fuzz::TerminatedLength(rec->typeText, sizeof rec->typeText, "galaxy type");
        int r = FormatGalaxyDesignations(prefs, rec.get(), &l->list, kMaxDesignations, 0,
                                         &l->first, &l->second);
        CheckList(l->list, r, kMaxDesignations);
    }
    const int16_t mcg[4] = {static_cast<int16_t>(number % 32 - 7), static_cast<int16_t>(number % 61),
                            static_cast<int16_t>(number % 200), static_cast<int16_t>(number % 3)};
    LookupMcgDesignation(f, mcg);
    const uint16_t eso[3] = {static_cast<uint16_t>(number % 600), static_cast<uint16_t>(number % 90),
                             static_cast<uint16_t>(number % 3)};
    int32_t galaxy = 0;
    LookupEsoGalaxyDesignation(f, eso, &galaxy);
    const int32_t mkn[2] = {number % 1600, number % 3};
    int32_t galaxies[4] = {};
    LookupMarkarianDesignation(f, mkn, galaxies);
    LookupArpNumber(f, number % 340);
    LookupUgcDesignation(f, number % (kLastUgcNumber + 2), static_cast<char>('A' + number % 3));
    LookupPgcNumber(f, number * 37);
}

void OpenClusters(FILE *f, int number, Lists *l) {
    const DesignationPreferences *prefs = &Preferences();
    auto rec = std::make_unique<OpenClusterRecord>();
    if (ReadOpenClusterRecord(f, number, rec.get(), prefs, kReadAllButName | kReadDisplayName) == 1) {
        fuzz::TerminatedLength(rec->displayName, sizeof rec->displayName, "cluster name");
        int r = FormatOpenClusterDesignations(prefs, rec.get(), &l->list, kMaxDesignations, 0,
                                              &l->first, &l->second);
        CheckList(l->list, r, kMaxDesignations);
    }
    LookupOclNumber(f, number / 10.0);
    LookupOpenClusterCrossIndex(f, 3 + number % 51, number % 3000);
    char text[kDesignationTextSize];
    ReadOpenClusterOtherEntry(f, number % 500, text);
    fuzz::TerminatedLength(text, sizeof text, "cluster other designation");
}

void GlobularClusters(FILE *f, int number, Lists *l) {
    const DesignationPreferences *prefs = &Preferences();
    auto rec = std::make_unique<GlobularClusterRecord>();
    if (ReadGlobularClusterRecord(f, number, rec.get(), prefs, kReadAllButName | kReadDisplayName) == 1) {
        fuzz::TerminatedLength(rec->displayName, sizeof rec->displayName, "globular name");
        int r = FormatGlobularClusterDesignations(prefs, rec.get(), &l->list, kMaxDesignations, 0,
                                                  &l->first, &l->second);
        CheckList(l->list, r, kMaxDesignations);
    }
    LookupPalomar(f, number % 20);
    LookupTerzan(f, number % 20);
    FindGlobularByDesignation(f, "NGC 104");
    char text[kDesignationTextSize];
    ReadGlobularDesignationEntry(f, number % 300, text);
    fuzz::TerminatedLength(text, sizeof text, "globular designation");
}

void BrightNebulae(FILE *f, int number, Lists *l) {
    const DesignationPreferences *prefs = &Preferences();
    auto rec = std::make_unique<BrightNebulaRecord>();
    if (ReadBrightNebulaRecord(f, number, rec.get(), prefs, kReadAllButName | kReadDisplayName) == 1) {
        fuzz::TerminatedLength(rec->displayName, sizeof rec->displayName, "nebula name");
        int r = FormatBrightNebulaDesignations(prefs, rec.get(), &l->list, kMaxDesignations, 0,
                                               &l->first, &l->second);
        CheckList(l->list, r, kMaxDesignations);
    }
    LookupSharpless(f, number % 320);
    LookupGum(f, number % 90);
    LookupRcw(f, number % 160);
    LookupLbn(f, number % 1630);
    LookupVdb(f, number % 160);
    char text[kDesignationTextSize];
    ReadNebulaOtherEntry(f, number % 500, text);
    fuzz::TerminatedLength(text, sizeof text, "nebula other designation");
}

void PlanetaryNebulae(FILE *f, int number, Lists *l) {
    const DesignationPreferences *prefs = &Preferences();
    auto rec = std::make_unique<PlanetaryNebulaRecord>();
    if (ReadPlanetaryNebulaRecord(f, number, rec.get(), kReadAllButName | kReadDisplayName) == 1) {
        int r = FormatPlanetaryNebulaDesignations(prefs, rec.get(), &l->list, kMaxDesignations, 0,
                                                  &l->first, &l->second);
        CheckList(l->list, r, kMaxDesignations);
    }
    const int32_t pk[2] = {number % 360, number % 180 - 90};
    LookupPkDesignation(f, pk);
    LookupAbellPn(f, number % 90);
    LookupAro(f, number % 150);
    LookupEsoPn(f, number % 600, number % 100);
    LookupMinkowski(f, number % 4, number % 100);
    LookupHaro(f, number % 3, number % 20);
    LookupKohoutek(f, number % 5, number % 60);
    LookupHenize(f, number % 3, number % 300);
    LookupPnGDesignation(f, (number % 3600) / 10.0, (number % 1800) / 10.0 - 90, '+');
    char text[kDesignationTextSize];
    ReadPnDiscoveryEntry(f, number % 500, text);
    fuzz::TerminatedLength(text, sizeof text, "planetary nebula designation");
}

void DarkNebulae(FILE *f, int number, Lists *l) {
    const DesignationPreferences *prefs = &Preferences();
    auto rec = std::make_unique<DarkNebulaRecord>();
    if (ReadDarkNebulaRecord(f, number, rec.get(), prefs, kReadAllButName | kReadDisplayName) == 1) {
        fuzz::TerminatedLength(rec->name, sizeof rec->name, "dark nebula name");
        int r = FormatDarkNebulaDesignations(prefs, rec.get(), &l->list, kMaxDesignations, 0,
                                             &l->first, &l->second);
        CheckList(l->list, r, kMaxDesignations);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 3) return 0;
    int catalogue = (data[0] & 0x07) % kCatalogueCount;
    int number = (data[0] & 0x08) ? data[1] | (data[2] << 8) : -1;
    if (!fuzz::WriteScratchFile("catalogue.bin", data + 3, size - 3)) return 0;
    std::string path = fuzz::ScratchFolder() + "/catalogue.bin";
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f) return 0;
    auto lists = std::make_unique<Lists>();
    switch (catalogue) {
    case kGalaxies: Galaxies(f, number, lists.get()); break;
    case kOpenClusters: OpenClusters(f, number, lists.get()); break;
    case kGlobularClusters: GlobularClusters(f, number, lists.get()); break;
    case kBrightNebulae: BrightNebulae(f, number, lists.get()); break;
    case kPlanetaryNebulae: PlanetaryNebulae(f, number, lists.get()); break;
    default: DarkNebulae(f, number, lists.get()); break;
    }
    std::fclose(f);
    return 0;
}
