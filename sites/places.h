// The places gazetteer: four read-only tables "places00.bin" to
// "places03.bin" in reference-catalogue folder 0. The first three hold
// regions (level 0 the nine regions of the world, then countries, then
// provinces), the fourth the places. Reading and decoding them, and the
// in-memory tree of region nodes behind the places dialog's tree view.
#pragma once
#include <cstdint>
#include <vector>

#include "astro/location.h"

#pragma pack(push, 1)
// A region of places00.bin, places01.bin or places02.bin.
struct PlaceRegionRecord {
    uint8_t childFile;  // 0  file of the children: 0..2 a region file, 3 the places
    int16_t first;      // 1  index of the first child in that file
    int16_t end;        // 3  index one past the last child
    char name[33];      // 5  NUL-terminated
};
// A place of places03.bin.
struct PlaceRecord {
    int16_t longitude;  // 0  hundredths of a degree, west positive
    int16_t latitude;   // 2  hundredths of a degree, north positive
    int16_t zone;       // 4  tenths of an hour, east positive
    uint8_t namedZone;  // 6  0 none, 1..4 Eastern, Central, Mountain, Pacific
    char name[33];      // 7  "%" ends a name that stands alone; "," starts a qualifier
};
#pragma pack(pop)
static_assert(sizeof(PlaceRegionRecord) == 38, "PlaceRegionRecord is 38 bytes");
static_assert(sizeof(PlaceRecord) == 40, "PlaceRecord is 40 bytes");

const int kPlaceRegionLevels = 3;
const int kPlaceRootRegions = 9;
const int kPlacesFile = 3;  // childFile of a region whose children are places
const int kPlaceTableCount = 4;
// A decoded name: "%s %s" of two 32-character names, then cut to a site name.
const int kDecodedPlaceNameSize = 66;
const int kSiteNameChars = 32;

struct PlacesTables;

// Opens the four tables "rb"; none when the reference folders are not set or
// any table cannot be opened (those that opened are closed again).
PlacesTables *OpenPlacesTables();
void ClosePlacesTables(PlacesTables *tables);
// 1, or 0 for no tables, a level outside 0..2, an index outside the file or a
// failed read. The name's terminator is forced.
int ReadPlaceRegion(PlacesTables *tables, int level, int index, PlaceRegionRecord *record);
int ReadPlace(PlacesTables *tables, int index, PlaceRecord *record);
// Records in a table (from its size); 0 for no tables or a bad number.
int CountPlaceTableRecords(PlacesTables *tables, int file);

// Longitude and latitude in degrees, the named zone, the zone in hours and the
// site name: the text before a "%" alone, else "<place> <region>"; a "," ends
// the place's name (what follows is a qualifier). The name is cut to 32
// characters (name must hold kDecodedPlaceNameSize bytes). Returns 1, 0 when
// an argument is missing.
int DecodePlace(const PlaceRecord *place, const char *regionName, double *longitude,
                double *latitude, int *namedZone, double *zoneHours, char *name);
// The name as the places list shows it: cut at the first "," or, when there
// is none, at the first "%". text holds 34 bytes.
void PlaceListName(const PlaceRecord *place, char *text);
// The daylight-saving rule a place's qualifier carries (",MWDHMWDH": start
// and end, each a month in hex 1..C, a week 0..3 (3 last), a weekday 0..6
// from Sunday and the local standard hour as "a" + quarter hours; shift 1 h).
// 1 with the rule filled; 0 when the place has no (usable) rule.
int DecodePlaceDaylightRule(const PlaceRecord *place, DaylightSavingRule *rule);

struct LocationTrailer;
// A new site from a picked place: position and zone decoded (a named zone
// forces its offset), elevation 0, the usual defaults (naked-eye limit 6.5,
// temperature 18.3, humidity 60, seeing rating 2), and the place's
// daylight-saving rule in use (mode 2) when it carries one; the trailer names
// the zone. 1, or 0 when an argument is missing.
int MakeSiteFromPlace(const PlaceRecord *place, const char *regionName, LocationRecord *site,
                      LocationTrailer *trailer);

// One region item of the places tree.
struct PlaceTreeNode {
    void *item;  // the tree item, null until inserted
    uint8_t level;
    PlaceRegionRecord region;
};
// The node arrays of the three levels and, per level, the node that is
// expanded (-1 none).
struct PlaceTree {
    std::vector<PlaceTreeNode> nodes[kPlaceRegionLevels];
    int expanded[kPlaceRegionLevels] = {-1, -1, -1};
};
// Sizes the node arrays from the tables (each level as large as the greatest
// end index that points into it, and never beyond the file's records) and
// reads the nine roots. 1, or 0 when the roots cannot be read.
int BuildPlaceTree(PlacesTables *tables, PlaceTree *tree);
void FreePlaceTree(PlaceTree *tree);
// The node of a level, or null for an index outside the array.
PlaceTreeNode *PlaceTreeNodeAt(PlaceTree *tree, int level, int index);
// What expanding a node does. Nothing (answer 0) when its children are places
// or it is not a node. Otherwise the node of the same level expanded before
// (other than this one) goes to collapse (-1 none), this node is recorded, and the children still to insert (first..end-1, read into
// their nodes, stopping at the first that has an item already) go to insert,
// skipping indexes outside the child array or records that cannot be read.
// Answers 1.
int ExpandPlaceTreeNode(PlacesTables *tables, PlaceTree *tree, int level, int index,
                        int *collapse, std::vector<int> *insert);
