// Import formats and the importer's format file "gleaner.cfg" in the user
// data folder: an int32 count of stored formats, the 516-byte ImportSettings,
// then the formats, 331,515 bytes each. Records beyond the count are stale
// and ignored. One current format is in force at a time.
#pragma once
#include <cstdint>
#include <cstdio>

#include "astro/location.h"
#include "instruments/instrumentrecord.h"
#include "sites/observerstore.h"

const int kFormatNameSize = 65;
const int kFormatTagSize = 65;
const int kNoColumn = -2;        // empty list slot (the editor stores -1 in single fields)
const int kFormatKindDelimited = 0;
const int kFormatKindTagged = 1;

#pragma pack(push, 1)
struct ImportFormat {
    int32_t kind;                        // 0 delimited text, 1 tagged text
    char name[kFormatNameSize];          // 4
    char delimiter;                      // 69: one of , TAB | : ;
    char commentChar;                    // 70: 0 = none
    int32_t skipLines;                   // 71
    int32_t dateLayout;                  // 75: 0..5
    int32_t siteColumn;                  // 79
    uint8_t siteFixed;                   // 83
    int32_t observerColumn;              // 84
    uint8_t observerFixed;               // 88
    int32_t instrumentColumn;            // 89
    uint8_t instrumentFixed;             // 93
    int32_t dateColumn;                  // 94
    int32_t timeColumn;                  // 98
    int32_t targetColumn;                // 102
    int32_t conditionColumns[2];         // 106
    int32_t descriptionColumn;           // 114
    int32_t extraColumns[5];             // 118
    LocationRecord fixedSite;            // 138
    ObserverRecord fixedObserver;        // 304
    InstrumentRecord fixedInstrument;    // 388
    char entryTag[kFormatTagSize];       // 330,540
    char siteTag[kFormatTagSize];        // 330,605
    char observerTag[kFormatTagSize];    // 330,670
    char instrumentTag[kFormatTagSize];  // 330,735
    char dateTag[kFormatTagSize];        // 330,800
    char timeTag[kFormatTagSize];        // 330,865
    char targetTag[kFormatTagSize];      // 330,930
    char conditionTags[2][kFormatTagSize];  // 330,995
    char descriptionTag[kFormatTagSize];    // 331,125
    char extraTags[5][kFormatTagSize];      // 331,190
};

struct ImportSettings {
    char importPath[512];    // the file last chosen in step 1 (at most 254 characters)
    int32_t selectedFormat;  // -1 = none
};
#pragma pack(pop)
static_assert(sizeof(ImportFormat) == 331515, "ImportFormat is 331,515 bytes");
static_assert(sizeof(ImportSettings) == 516, "ImportSettings is 516 bytes");

const long kFormatFileHeader = 520;  // count + settings

// The process-wide settings and current format (the format lives on the heap:
// it is far too large for a stack frame).
ImportSettings &CurrentImportSettings();
ImportFormat &CurrentImportFormat();

// Reads the settings, creating the file (count 0, empty path, index -1) when
// it is missing. A file too short to hold the settings is refused. 1 on success.
int OpenFormatFile();
// Rewrites the settings block in place. 1 on success.
int SaveImportSettings();
// Loads stored format index into the current format; 0 for an index outside
// 0..count-1 (nothing changes).
int ReadImportFormat(int index);
// Writes the current format over stored format index, 0 <= index < count.
// This and the other writes of the file rewrite it whole through the
// crash-safe layer: a failure at any step leaves every stored format as it was.
int WriteImportFormat(int index);
// Writes the current format after the last one and raises the count.
int AppendImportFormat();
// Removes stored format index (0 <= index < count); the later formats move
// down and the count drops by one. The current format is not touched.
int DeleteImportFormat(int index);

// Lists the stored format names in order.
struct FormatEnumerator {
    FILE *file = nullptr;
    int32_t count = 0;
    int32_t next = 0;
};
int BeginFormatEnumeration(FormatEnumerator *e);
// Copies the next name (65 bytes) out; 0 at the end, after which the file is closed.
int ReadNextFormatName(FormatEnumerator *e, char *nameOut);
void EndFormatEnumeration(FormatEnumerator *e);

// The presets: "SkyMap Pro CSV" (delimited) and "DeepSky" (tagged).
void LoadBuiltInCsvFormat();
void LoadBuiltInXmlFormat();

// 1 when the format's numeric fields are usable by the import passes: kind 0
// or 1, a delimiter of the table, date layout 0..5, lines to skip >= 0,
// columns >= -2. Text fields are terminated in place, and so are the names
// of the fixed site, observer and instrument, whose counts are bounded.
int ValidateImportFormat(ImportFormat *format);
