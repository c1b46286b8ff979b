// Designation lists of comets and minor planets.
#include "objects/minorbodytexts.h"

#include <cstdio>
#include <cstring>

#include "core/textutil.h"
#include "minorbodies/cometdb.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "minorbodies/mpdatabase.h"
#include "objects/dsotexts.h"
#include "objects/objectrecord.h"

namespace {

struct MinorPlanetFields {
    int32_t number;
    const char *name;
};

void AddMinorPlanetKind(DesignationListBuilder *b, const void *record, int kind) {
    const MinorPlanetFields *mp = static_cast<const MinorPlanetFields *>(record);
    char text[kDesignationTextSize];
    switch (kind) {
    case 0:
        if (mp->number > 0) {
            std::snprintf(text, sizeof text, "(%d) %s", static_cast<int>(mp->number), mp->name);
            if (AppendDesignation(b, text)) SetDesignationParts(b, 1, mp->number, 0, 0, "0");
        } else if (AppendDesignation(b, mp->name)) {
            SetPlainName(b);
        }
        break;
    case 1:
        if (AppendDesignation(b, mp->name)) SetPlainName(b);
        break;
    case 2:
        if (mp->number > 0) {
            std::snprintf(text, sizeof text, "MPN %d", static_cast<int>(mp->number));
            if (AppendDesignation(b, text)) SetDesignationParts(b, 1, mp->number, 0, 0, "MPN");
        }
        break;
    default:
        break;
    }
}

struct CometFields {
    char letter;
    uint16_t number;  // as stored (bit 15 may be set)
    const char *designation;
    const char *name;
};

void AddCometKind(DesignationListBuilder *b, const void *record, int kind) {
    const CometFields *c = static_cast<const CometFields *>(record);
    const int shown = (c->number & kCometNumberHidden) ? 0 : c->number;
    char text[kDesignationTextSize];
    int year = kNoDesignationKey, code = kNoDesignationKey;
    switch (kind) {
    case 0:
        FormatCometLabel(c->number, c->letter, c->name, c->designation, text);
        if (!AppendDesignation(b, text)) break;
        if (shown >= 1) {
            SetDesignationParts(b, 1, shown, 0, 0, "1");
        } else {
            char word[2] = {c->letter, '\0'};
            ParseCometDesignationKey(c->designation, &year, &code);
            SetDesignationParts(b, 2, year, code, 0, word);
        }
        break;
    case 1:
        if (shown >= 1) {
            // A fragment of a split comet keeps its letters ("73P-B"): "73P"
            // names the whole comet, whose orbit is another.
            char fragment[kCometFragmentSize];
            GetCometFragment(c->number, c->name, c->designation, fragment);
            if (fragment[0])
                std::snprintf(text, sizeof text, "%dP-%s", shown, fragment);
            else
                std::snprintf(text, sizeof text, "%dP", shown);
            if (AppendDesignation(b, text)) SetDesignationParts(b, 1, shown, 0, 0, "1");
        }
        break;
    case 2:
        if (c->designation[0] && AppendDesignation(b, c->designation)) {
            ParseCometDesignationKey(c->designation, &year, &code);
            SetDesignationParts(b, 2, year, code, 0, "C");
        }
        break;
    case 3:
        if (c->name[0] && AppendDesignation(b, c->name)) SetPlainName(b);
        break;
    default:
        break;
    }
}

}  // namespace

int FormatMinorPlanetDesignations(const DesignationPreferences *prefs, int32_t number,
                                  const char *name, DesignationList *list, int limit, int all,
                                  DesignationParts *first, DesignationParts *second) {
    MinorPlanetFields fields = {number, name ? name : ""};
    return BuildDesignationList(prefs, kFamilyMinorPlanetsRow, 2, &fields, list, limit, all, first,
                                second, AddMinorPlanetKind);
}

int FormatCometDesignations(const DesignationPreferences *prefs, char letter, uint16_t number,
                            const char *designation, const char *name, DesignationList *list,
                            int limit, int all, DesignationParts *first,
                            DesignationParts *second) {
    CometFields fields = {letter, number, designation ? designation : "", name ? name : ""};
    return BuildDesignationList(prefs, kFamilyCometsRow, 4, &fields, list, limit, all, first, second,
                                AddCometKind);
}

int ListPackagedMinorBodyDesignations(const ObjectRecord *record,
                                      const DesignationPreferences *prefs, DesignationList *list,
                                      DesignationParts *first, DesignationParts *second) {
    if (!record || !list) return 0;
    list->count = 0;
    if (record->objectClass == kClassComet) {
        FILE *f = OpenCometElementsFile();
        if (!f) return 0;
        CometRecord c;
        int ok = record->index >= 0 && ReadCometRecord(f, record->index, &c);
        std::fclose(f);
        if (!ok) return 0;
        FormatCometDesignations(prefs, c.letter, c.number, c.designation, c.name, list, 0, 0, first,
                                second);
        return list->count > 0;
    }
    if (record->objectClass == kClassMinorPlanet) {
        FILE *f = OpenMinorPlanetNameFile();
        if (!f) return 0;
        char name[kMinorPlanetNameLength + 1];
        int ok = record->index >= 1 && ReadMinorPlanetName(f, record->index, name);
        std::fclose(f);
        if (!ok) return 0;
        TrimTrailingBlanks(name);
        FormatMinorPlanetDesignations(prefs, record->index, name, list, 0, 0, first, second);
        return list->count > 0;
    }
    return 0;
}

int ListUserMinorBodyDesignations(const ObjectRecord *record, const DesignationPreferences *prefs,
                                  DesignationList *list, DesignationParts *first,
                                  DesignationParts *second) {
    if (!record || !list) return 0;
    list->count = 0;
    if (record->index <= 0) return 0;
    if (record->objectClass == kClassUserComet) {
        int32_t count = 0;
        FILE *f = OpenUserCometFile(&count);
        if (!f) return 0;
        CometRecord c;
        int32_t index = 0;
        int ok = ReadNextUserComet(f, &c, record->index, nullptr, nullptr, nullptr, nullptr, nullptr, count, &index,
                                   nullptr);
        std::fclose(f);
        if (!ok) return 0;
        FormatCometDesignations(prefs, c.letter, c.number, c.designation, c.name, list, 0, 0, first, second);
        return list->count > 0;
    }
    if (record->objectClass == kClassUserMinorPlanet) {
        int32_t count = 0;
        FILE *f = OpenUserMinorPlanetFile(&count);
        if (!f) return 0;
        MinorPlanetRecord r;
        int ok = ReadUserMinorPlanetById(f, record->index, &r, nullptr);
        std::fclose(f);
        if (!ok) return 0;
        FormatMinorPlanetDesignations(prefs, r.number, r.name, list, 0, 0, first, second);
        return list->count > 0;
    }
    return 0;
}
