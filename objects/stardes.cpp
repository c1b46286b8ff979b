// Listing a star's designations in the order of the designation preferences.
#include "objects/stardes.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "astro/angletext.h"
#include "core/resstrings.h"
#include "objects/designationlist.h"
#include "objects/ccdmcat.h"
#include "objects/designationtexts.h"
#include "objects/dsotexts.h"
#include "objects/starcat.h"
#include "objects/starxref.h"
#include "objects/variablecat.h"

namespace {

const int kTextSize = kDesignationTextSize;

struct PartValues {
    bool plain = false;
    const char *word = "";
    int form = 0;
    int n1 = 0, n2 = 0, n3 = 0;
};

void SetParts(DesignationParts *parts, const PartValues &v) {
    if (!parts) return;
    parts->plain = v.plain ? 1 : 0;
    std::snprintf(parts->catalogue, sizeof(parts->catalogue), "%s", v.word);
    parts->form = v.form;
    parts->first = v.n1;
    parts->second = v.n2;
    parts->third = v.n3;
}

struct Walk {
    const DesignationPreferences *prefs;
    const StarRecord *star;
    char component;
    DesignationList *list;
    DesignationParts *first, *second;
    FILE *names = nullptr;  // csn.bin, opened on first use
    bool namesTried = false;
    // The star's double-star system, read once per call on first use.
    bool systemTried = false;
    int componentIndex = -1;  // the star's component in the system, -1 none
    char systemLetter = ' ';
    CcdmIdentifier systemId{0, 0, '+'};
    std::vector<CcdmComponent> components;

    ~Walk() {
        if (names) std::fclose(names);
    }

    // Appends a text (with the component suffix) and fills the parts of the
    // first and second entries.
    void Add(const char *text, const PartValues &v) {
        if (list->count < 0 || list->count >= kMaxDesignations) return;
        char *entry = list->entries[list->count];
        CopyStringMax(entry, text, kTextSize - 3);
        AppendComponentLetter(entry, component);
        ++list->count;
        if (list->count == 1) SetParts(first, v);
        else if (list->count == 2) SetParts(second, v);
    }

    // Appends a text as it is: the double-star identifiers carry their
    // component letter themselves.
    void AddRaw(const char *text, const PartValues &v) {
        if (list->count < 0 || list->count >= kMaxDesignations) return;
        CopyStringMax(list->entries[list->count], text, kTextSize - 1);
        ++list->count;
        if (list->count == 1) SetParts(first, v);
        else if (list->count == 2) SetParts(second, v);
    }

    void AddVariableName() {
        if (star->variable_record <= 0) return;
        VariableStarFiles *files = OpenVariableStarFiles();
        if (!files) return;
        VariableStarRecord v;
        std::memset(&v, 0, sizeof v);
        int read = ReadVariableStar(files, star->variable_record, &v, kVariableReadIdentifiers);
        CloseVariableStarFiles(files);
        v.name[sizeof v.name - 1] = '\0';
        // A filler record of the catalogue (number 0) has no name.
        if (read != 1 || v.number == 0 || !v.name[0]) return;
        PartValues plain;
        plain.plain = true;
        Add(v.name, plain);
    }

    // The star's entry in its double-star system: entry 0 for the primary
    // (letter 'A' or blank), else the first component of the star's letter.
    bool ReadSystem() {
        if (systemTried) return componentIndex >= 0;
        systemTried = true;
        if (star->ccdm_record <= 0) return false;
        systemLetter = component != ' ' && component != '\0' ? component : star->component;
        CcdmFiles *files = OpenCcdmFiles();
        if (!files) return false;
        components.assign(kMaxCcdmComponents, CcdmComponent());
        int count = ReadCcdmRecord(files, star->ccdm_record, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, &systemId, nullptr, nullptr, nullptr,
                                   components.data(), kCcdmReadIdentifiers | kCcdmReadComponents);
        CloseCcdmFiles(files);
        if (count <= 0) return false;
        if (systemLetter == 'A' || systemLetter == ' ' || systemLetter == '\0') {
            componentIndex = 0;
        } else {
            for (int k = 0; k < count && componentIndex < 0; ++k)
                if (components[(size_t)k].letter == systemLetter) componentIndex = k;
        }
        return componentIndex >= 0;
    }

    void AddDoubleStarIdentifier(int kind) {
        if (!ReadSystem()) return;
        const CcdmComponent &c = components[(size_t)componentIndex];
        // A blank letter (a star without one) adds nothing to the text.
        char letter[2] = {systemLetter == ' ' ? '\0' : systemLetter, '\0'};
        char text[kTextSize + 16];
        PartValues v;
        if (kind == kStarWds) {
            char identifier[sizeof c.identifier + 1];
            std::memcpy(identifier, c.identifier, sizeof c.identifier);
            identifier[sizeof c.identifier] = '\0';
            if (std::strlen(identifier) <= 1) return;
            std::snprintf(text, sizeof text, "%s%s", identifier, letter);
            v.plain = true;
        } else if (kind == kStarAds) {
            if (c.adsNumber == 0) return;
            std::snprintf(text, sizeof text, "ADS %d%s", static_cast<int>(c.adsNumber), letter);
            v.word = "ADS";
            v.form = 1;
            v.n1 = c.adsNumber;
        } else {
            char ccdm[kTextSize];
            FormatCcdmDesignation(ccdm, {systemId.first, systemId.second, systemId.sign});
            if (!ccdm[0]) return;
            std::snprintf(text, sizeof text, "%s%s", ccdm, letter);
            v.word = "CCDM";
            v.form = 2;
            v.n1 = systemId.first;
            v.n2 = systemId.sign == '-' ? -systemId.second : systemId.second;
        }
        AddRaw(text, v);
    }

    void AddNumber(int number, const char *word) {
        if (number == 0) return;
        char text[kTextSize];
        std::snprintf(text, sizeof(text), "%s %d", word, number);
        PartValues v;
        v.word = word;
        v.form = 1;
        v.n1 = number;
        Add(text, v);
    }

    void AddDurchmusterung(int catalogue, const DurchmusterungBlock &b) {
        if (b.number == 0) return;
        static const char *const kWords[] = {"", "BD", "CD", "CP"};
        char text[kTextSize];
        FormatDurchmusterungDesignation(text, catalogue, b.zone, b.sign, b.number, b.suffix);
        PartValues v;
        v.word = kWords[catalogue];
        v.form = 3;
        v.n1 = b.zone;
        v.n2 = b.number;
        int s = std::tolower(static_cast<unsigned char>(b.suffix));
        v.n3 = (s >= 'a' && s <= 'z') ? s - 'a' + 1 : 0;
        Add(text, v);
    }

    void AddCommonName(bool allFlag) {
        if (star->common_name_record <= 0) return;
        if (!namesTried) {
            namesTried = true;
            names = OpenStarNameCatalogue();
        }
        unsigned char record[kStarNameRecordSize];
        if (!names || !ReadStarNameRecord(names, star->common_name_record, record)) return;
        bool preferred = record[453] == 1;
        if (!(preferred || allFlag || (prefs && prefs->starNameFlag == 0))) return;
        char text[kTextSize];
        std::memcpy(text, record, kTextSize - 1);
        text[kTextSize - 1] = '\0';
        if (!text[0]) return;
        PartValues v;
        v.plain = true;
        Add(text, v);
    }

    void AddKind(int kind, bool allFlag) {
        const StarRecord &s = *star;
        uint32_t code = static_cast<uint32_t>(s.bayer_flamsteed[0]) |
                        (static_cast<uint32_t>(s.bayer_flamsteed[1]) << 8) |
                        (static_cast<uint32_t>(s.bayer_flamsteed[2]) << 16);
        char text[kTextSize];
        PartValues plain;
        plain.plain = true;
        switch (kind) {
        case kStarCommonName: AddCommonName(allFlag); break;
        case kStarBayer:
            if ((code >> 15) != 0 && FormatBayerDesignation(text, code)) Add(text, plain);
            break;
        case kStarFlamsteed:
            if ((code & 0xff) != 0 && FormatFlamsteedDesignation(text, code)) Add(text, plain);
            break;
        case kStarHr: AddNumber(s.hr, "HR"); break;
        case kStarHd: AddNumber(s.hd, "HD"); break;
        case kStarSao: AddNumber(s.sao, "SAO"); break;
        case kStarPpm: AddNumber(s.ppm, "PPM"); break;
        case kStarHip: AddNumber(s.hip, "HIP"); break;
        case kStarGc: AddNumber(s.gc, "GC"); break;
        case kStarNsv: AddNumber(s.nsv, "NSV"); break;
        case kStarBd: AddDurchmusterung(1, s.bd); break;
        case kStarCd: AddDurchmusterung(2, s.cd); break;
        case kStarCp: AddDurchmusterung(3, s.cp); break;
        case kStarTycho2:
            if (s.tycho_component != 0) {
                FormatTychoDesignation(text, s.tycho_region, s.tycho_number, s.tycho_component);
                PartValues v;
                v.word = "TYC";
                v.form = 3;
                v.n1 = s.tycho_region;
                v.n2 = s.tycho_number;
                v.n3 = s.tycho_component;
                Add(text, v);
            }
            break;
        case kStarGsc:
            if ((s.tycho_region != 0 || s.tycho_number != 0) && s.tycho_component == 0) {
                FormatGscDesignation(text, s.tycho_region, s.tycho_number);
                PartValues v;
                v.word = "GSC";
                v.form = 2;
                v.n1 = s.tycho_region;
                v.n2 = s.tycho_number;
                Add(text, v);
            }
            break;
        case kStarJCoordinates:
            FormatJDesignation(text, s.ra, s.dec);
            Add(text, plain);
            break;
        case kStarVariable: AddVariableName(); break;
        case kStarWds: case kStarAds: case kStarCcdm: AddDoubleStarIdentifier(kind); break;
        default: break;
        }
    }

    void Run(int maxEntries, bool allFlag) {
        for (int slot = 0; slot < 20; ++slot) {
            bool enabled = !prefs || allFlag || prefs->enabled[0][slot] != 0;
            int kind = prefs ? prefs->order[0][slot] : slot;
            if (enabled && kind <= 19) AddKind(kind, allFlag);
            if (maxEntries > 0 && list->count >= maxEntries) return;
        }
    }
};

}  // namespace

void AppendComponentLetter(char *text, char letter) {
    if (!text || letter == ' ' || letter == '\0' || letter == 'A') return;
    size_t n = std::strlen(text);
    text[n] = ' ';
    text[n + 1] = letter;
    text[n + 2] = '\0';
}

int FormatDurchmusterungDesignation(char *text, int catalogue, int zone, char sign, int number,
                                    char suffix) {
    static const char *const kWords[] = {"", "BD", "CD", "CP"};
    text[0] = '\0';
    if (catalogue < 1 || catalogue > 3) return 0;
    // Suffix letters are catalogue parts (BD +20 123a is another star than
    // BD +20 123): printed lower-case whatever case they came in, so that a
    // parsed and a decoded suffix give one text; only a blank means none.
    char s = static_cast<char>(std::tolower(static_cast<unsigned char>(suffix)));
    if (s == ' ') s = '\0';
    std::snprintf(text, kTextSize, "%s %c%2.2d %5.5d", kWords[catalogue], sign, zone, number);
    if (s) {
        size_t n = std::strlen(text);
        text[n] = s;
        text[n + 1] = '\0';
    }
    return 1;
}

int FormatStarDesignations(const DesignationPreferences *prefs, const StarRecord *star,
                           char component, DesignationList *list, int maxEntries, int allFlag,
                           DesignationParts *first, DesignationParts *second) {
    if (!star || !list) return 0;
    list->count = 0;
    if (first) first->plain = 0;
    if (second) second->plain = 0;
    Walk walk;
    walk.prefs = prefs;
    walk.star = star;
    walk.component = component;
    walk.list = list;
    walk.first = first;
    walk.second = second;
    walk.Run(maxEntries, allFlag != 0);
    if (list->count == 0 && prefs && !allFlag) walk.Run(maxEntries, true);
    return 1;
}
