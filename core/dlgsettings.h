// The dialog-settings store "dds.bin" in the user data folder: small opaque
// blocks of dialog state, each under a 16-bit key, kept as a chain of
// (int32 length, int16 key, data) blocks ended by a header with key 0. The
// file is made by the suite; this program reads and updates it, and every
// call fails quietly (result 0) when it is missing, so dialogs keep their
// defaults.
#pragma once
#include <cstdint>
#include <cstdio>

#pragma pack(push, 1)
struct DialogSettingHeader {
    int32_t length;  // bytes of data that follow the header
    int16_t key;     // 0 marks the end of the chain
};
#pragma pack(pop)
static_assert(sizeof(DialogSettingHeader) == 6, "a dds.bin block header is 6 bytes");

// Keys in use and the length of their data.
enum DialogSettingKey {
    kDdsReportPrint = 47,      // 156 bytes
    kDdsCoordinateUnits = 74,  // 1 byte
    kDdsRecentObjects = 75,    // 12 x 395-byte ObjectRecord = 4740 bytes
    kDdsSkyBrightnessTab = 79, // 4 bytes
    kDdsSearchScope = 86,      // 4 bytes
    kDdsHorizon = 100,         // 640 bytes
    kDdsGps = 103,             // 8 bytes
};

// "dds.bin" opened "r+b", or none.
FILE *OpenDialogSettings();
// Walks the chain from the stream's position. 1: the key's header was read
// and the stream stands at its first data byte; -1: the end marker was
// reached and the stream stands just after its header; 0: a header could not
// be read, or a block's length is negative or runs past the end of the file
// (a broken chain). header out holds the last header read.
int SeekDialogSetting(FILE *stream, int key, DialogSettingHeader *header);
// 1 when the key's block exists with exactly `length` bytes and they were
// read into the buffer; else 0 and the buffer is untouched.
int GetDialogSetting(void *buffer, int length, int key);
// Stores the block: in place when the key exists with the same length, else
// (after removing an old block of another length) appended before the end
// marker, the new header written last. 1 on success.
int PutDialogSetting(const void *data, int length, int key);
// Removes the key's block by copying the others to "dds.tmp" and replacing
// "dds.bin" with it in one step. 1 when removed; 0 when absent or on failure
// (dds.bin unchanged).
int DeleteDialogSetting(int key);
// Replaces "dds.bin" with a store holding only the end marker; 1 on success.
int ResetDialogSettings();
// 1 when "dds.bin" exists and its first header can be read.
int DialogSettingsReadable();
