// The importer's format file "gleaner.cfg" in the user data folder: an int32
// count of stored formats, the 516-byte ImportSettings, then the formats.
#pragma once
#include <cstdint>

#pragma pack(push, 1)
struct ImportSettings {
    char importPath[512];    // the file last chosen in step 1 (at most 254 characters)
    int32_t selectedFormat;  // -1 = none
};
#pragma pack(pop)
static_assert(sizeof(ImportSettings) == 516, "ImportSettings is 516 bytes");

// The process-wide settings.
ImportSettings &CurrentImportSettings();

// Reads the settings, creating the file (count 0, empty path, index -1) when
// it is missing. 1 on success.
int OpenFormatFile();
// Rewrites the settings block in place. 1 on success.
int SaveImportSettings();
