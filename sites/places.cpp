// The places gazetteer tables: opening, reading records by index, decoding
// a place into a site's values, and the region tree behind the places dialog.
#include "sites/places.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/datapaths.h"
#include "core/mathutil.h"
#include "sites/sitestore.h"

struct PlacesTables {
    std::FILE *files[kPlaceTableCount];
    long records[kPlaceTableCount];  // records in each file, from its size
};

namespace {

const int kRefSlot = 0;
const long kRecordSize[kPlaceTableCount] = {sizeof(PlaceRegionRecord), sizeof(PlaceRegionRecord),
                                            sizeof(PlaceRegionRecord), sizeof(PlaceRecord)};

long RecordsInFile(std::FILE *f, long recordSize) {
    if (std::fseek(f, 0, SEEK_END) != 0) return 0;
    long size = std::ftell(f);
    return size > 0 ? size / recordSize : 0;
}

int ReadRecord(PlacesTables *tables, int file, int index, void *record) {
    if (!tables || file < 0 || file >= kPlaceTableCount || index < 0 ||
        index >= tables->records[file])
        return 0;
    std::FILE *f = tables->files[file];
    if (std::fseek(f, index * kRecordSize[file], SEEK_SET) != 0) return 0;
    return std::fread(record, (size_t)kRecordSize[file], 1, f) == 1 ? 1 : 0;
}

// A qualifier's hour letter: "a" + quarter hours.
bool QualifierHour(char c, double *hour) {
    if (c < 'a' || c > 'z') return false;
    *hour = (c - 'a') / 4.0;
    return true;
}

bool QualifierDigit(char c, int low, int high, int *value) {
    int v;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else return false;
    if (v < low || v > high) return false;
    *value = v;
    return true;
}

}  // namespace

PlacesTables *OpenPlacesTables() {
    if (!GetRefDirectory(kRefSlot)) return nullptr;
    PlacesTables *tables = new PlacesTables();
    for (int k = 0; k < kPlaceTableCount; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "places%.2d.bin", k);
        tables->files[k] = OpenRefDirectoryFile(name, kRefSlot, "rb");
        if (!tables->files[k]) {
            ClosePlacesTables(tables);
            return nullptr;
        }
        tables->records[k] = RecordsInFile(tables->files[k], kRecordSize[k]);
    }
    return tables;
}

void ClosePlacesTables(PlacesTables *tables) {
    if (!tables) return;
    for (std::FILE *f : tables->files)
        if (f) std::fclose(f);
    delete tables;
}

int CountPlaceTableRecords(PlacesTables *tables, int file) {
    if (!tables || file < 0 || file >= kPlaceTableCount) return 0;
    return (int)tables->records[file];
}

int ReadPlaceRegion(PlacesTables *tables, int level, int index, PlaceRegionRecord *record) {
    if (!record || level < 0 || level >= kPlaceRegionLevels) return 0;
    if (!ReadRecord(tables, level, index, record)) return 0;
    record->name[sizeof record->name - 1] = '\0';
    return 1;
}

int ReadPlace(PlacesTables *tables, int index, PlaceRecord *record) {
    if (!record || !ReadRecord(tables, kPlacesFile, index, record)) return 0;
    record->name[sizeof record->name - 1] = '\0';
    return 1;
}

int DecodePlace(const PlaceRecord *place, const char *regionName, double *longitude,
                double *latitude, int *namedZone, double *zoneHours, char *name) {
    if (!place || !longitude || !latitude || !namedZone || !zoneHours || !name) return 0;
    *longitude = place->longitude * 0.01;
    *latitude = place->latitude * 0.01;
    *namedZone = place->namedZone;
    *zoneHours = place->zone * 0.1;
    std::string own(place->name, strnlen(place->name, sizeof place->name));
    own = own.substr(0, own.find(','));  // the qualifier is no part of the name
    size_t percent = own.find('%');
    std::string text;
    if (percent != std::string::npos) {
        text = own.substr(0, percent);
    } else {
        std::string region = regionName ? std::string(regionName, strnlen(regionName, 33)) : "";
        text = region.empty() ? own : own + " " + region;
    }
    // "<place> <region>" may reach 65 characters; a site name holds 32.
    if (text.size() > (size_t)kSiteNameChars) text.resize(kSiteNameChars);
    std::memcpy(name, text.c_str(), text.size() + 1);
    return 1;
}

void PlaceListName(const PlaceRecord *place, char *text) {
    if (!text) return;
    text[0] = '\0';
    if (!place) return;
    std::string own(place->name, strnlen(place->name, sizeof place->name));
    size_t cut = own.find(',');
    if (cut == std::string::npos) cut = own.find('%');
    own = own.substr(0, cut);
    std::memcpy(text, own.c_str(), own.size() + 1);
}

int DecodePlaceDaylightRule(const PlaceRecord *place, DaylightSavingRule *rule) {
    if (!place || !rule) return 0;
    const char *end = static_cast<const char *>(std::memchr(place->name, '\0', sizeof place->name));
    size_t length = end ? (size_t)(end - place->name) : sizeof place->name;
    std::string own(place->name, length);
    size_t comma = own.find(',');
    if (comma == std::string::npos || own.size() - comma - 1 != 8) return 0;
    const char *q = own.c_str() + comma + 1;
    int month[2], week[2], weekday[2];
    double hour[2];
    for (int k = 0; k < 2; ++k, q += 4) {
        if (!QualifierDigit(q[0], 1, 12, &month[k]) || !QualifierDigit(q[1], 0, 3, &week[k]) ||
            !QualifierDigit(q[2], 0, 6, &weekday[k]) || !QualifierHour(q[3], &hour[k]))
            return 0;
    }
    std::memset(rule, 0, sizeof *rule);
    rule->startHour = (float)hour[0];
    rule->endHour = (float)hour[1];
    rule->shift = 1.0f;
    rule->startWeekday = (uint8_t)weekday[0];
    rule->endWeekday = (uint8_t)weekday[1];
    rule->startWeek = (uint8_t)week[0];
    rule->endWeek = (uint8_t)week[1];
    rule->startMonth = (uint8_t)month[0];
    rule->endMonth = (uint8_t)month[1];
    return 1;
}

int MakeSiteFromPlace(const PlaceRecord *place, const char *regionName, LocationRecord *site,
                      LocationTrailer *trailer) {
    if (!place || !site || !trailer) return 0;
    double lon = 0, lat = 0, zone = 0;
    int named = 0;
    char name[kDecodedPlaceNameSize];
    DecodePlace(place, regionName, &lon, &lat, &named, &zone, name);
    if (named < 0 || named > 4) named = 0;
    if (named) zone = NamedZoneOffsets[named];
    const double degree = kPi / 180.0;
    InitLocationRecord(site, lon * degree, lat * degree, 0.0, 6.5, 0.0, 18.3, 60.0, 2, 0.0, zone,
                       name);
    DaylightSavingRule rule;
    if (DecodePlaceDaylightRule(place, &rule))
        SetDaylightSavingRule(site, rule.startWeek, rule.startWeekday, rule.startMonth,
                              rule.startHour, rule.endWeek, rule.endWeekday, rule.endMonth,
                              rule.endHour, rule.shift, 2);
    trailer->namedZone = (uint8_t)named;
    trailer->elevationInFeet = 0;
    trailer->reserved = 0;
    return 1;
}

// ---- the region tree ---------------------------------------------------------------------

int BuildPlaceTree(PlacesTables *tables, PlaceTree *tree) {
    if (!tables || !tree) return 0;
    FreePlaceTree(tree);
    // Each level is as large as the greatest end index that points into it
    // from the level above, and never larger than its file.
    int size[kPlaceRegionLevels] = {kPlaceRootRegions, 0, 0};
    for (int level = 0; level < kPlaceRegionLevels; ++level) {
        int records = CountPlaceTableRecords(tables, level);
        if (size[level] > records) size[level] = records;
        for (int i = 0; i < records; ++i) {
            PlaceRegionRecord r;
            if (!ReadPlaceRegion(tables, level, i, &r)) continue;
            if (r.childFile >= 1 && r.childFile < kPlaceRegionLevels && r.end > size[r.childFile])
                size[r.childFile] = r.end;
        }
    }
    for (int level = 0; level < kPlaceRegionLevels; ++level) {
        int records = CountPlaceTableRecords(tables, level);
        int n = size[level] < records ? size[level] : records;
        tree->nodes[level].assign((size_t)(n > 0 ? n : 0), PlaceTreeNode());
        for (PlaceTreeNode &node : tree->nodes[level]) node.level = (uint8_t)level;
    }
    int roots = 0;
    for (int i = 0; i < (int)tree->nodes[0].size(); ++i)
        if (ReadPlaceRegion(tables, 0, i, &tree->nodes[0][i].region)) ++roots;
    return roots > 0 ? 1 : 0;
}

void FreePlaceTree(PlaceTree *tree) {
    if (!tree) return;
    for (int level = 0; level < kPlaceRegionLevels; ++level) {
        tree->nodes[level].clear();
        tree->expanded[level] = -1;
    }
}

PlaceTreeNode *PlaceTreeNodeAt(PlaceTree *tree, int level, int index) {
    if (!tree || level < 0 || level >= kPlaceRegionLevels || index < 0 ||
        index >= (int)tree->nodes[level].size())
        return nullptr;
    return &tree->nodes[level][index];
}

int ExpandPlaceTreeNode(PlacesTables *tables, PlaceTree *tree, int level, int index,
                        int *collapse, std::vector<int> *insert) {
    if (collapse) *collapse = -1;
    if (insert) insert->clear();
    PlaceTreeNode *node = PlaceTreeNodeAt(tree, level, index);
    if (!node) return 0;
    int childLevel = node->region.childFile;
    if (childLevel < 1 || childLevel >= kPlaceRegionLevels) return 0;
    // One expanded region per level: its sibling before closes.
    int before = tree->expanded[level];
    if (collapse && before != index) *collapse = before;
    tree->expanded[level] = index;
    for (int child = node->region.first; child < node->region.end; ++child) {
        PlaceTreeNode *c = PlaceTreeNodeAt(tree, childLevel, child);
        if (!c) continue;  // a malformed table points outside the array
        if (c->item) break;  // inserted before
        if (!ReadPlaceRegion(tables, childLevel, child, &c->region)) continue;
        if (insert) insert->push_back(child);
    }
    return 1;
}
