// Fuzz target: the delimited-text import pass over an arbitrary log file under
// an arbitrary format, in a scratch user data folder with small stores.
//
// Input: 18 bytes of format, then the log file.
//   0      pass flags (fuzz/passcheck.h): fixed values, final pass, answers
//   1      delimiter: one of , TAB | : ; or, with the top bit set, any byte
//          below 128 (byte ^ 0x80), NUL, quote and blank among them
//   2      comment character: 0 none, 1 blank, 2 '#', 3 ';', else the byte
//   3      lines to skip (bits 0-1) and date layout (bits 2-4, 6 and 7 unknown)
//   4..17  columns as signed bytes: site, observer, instrument, date, time,
//          target, two conditions, description, five extras
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "app/formatfile.h"
#include "app/importpass.h"
#include "fuzz/passcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const size_t kPrefix = 18;
    if (size < kPrefix) return 0;
    ImportFormat &f = CurrentImportFormat();
    std::memset(&f, 0, sizeof f);
    f.kind = kFormatKindDelimited;
    std::snprintf(f.name, sizeof f.name, "fuzz");
    static const char kDelimiters[5] = {',', '\t', '|', ':', ';'};
    f.delimiter = (data[1] & 0x80) ? (char)(data[1] ^ 0x80) : kDelimiters[data[1] % 5];
    static const char kComments[4] = {0, ' ', '#', ';'};
    f.commentChar = data[2] < 4 ? kComments[data[2]] : (char)data[2];
    f.skipLines = data[3] & 3;
    f.dateLayout = (data[3] >> 2) & 7;
    // Offsets, not pointers: the record is packed.
    static const size_t kColumns[14] = {
        offsetof(ImportFormat, siteColumn), offsetof(ImportFormat, observerColumn),
        offsetof(ImportFormat, instrumentColumn), offsetof(ImportFormat, dateColumn),
        offsetof(ImportFormat, timeColumn), offsetof(ImportFormat, targetColumn),
        offsetof(ImportFormat, conditionColumns), offsetof(ImportFormat, conditionColumns) + 4,
        offsetof(ImportFormat, descriptionColumn), offsetof(ImportFormat, extraColumns),
        offsetof(ImportFormat, extraColumns) + 4, offsetof(ImportFormat, extraColumns) + 8,
        offsetof(ImportFormat, extraColumns) + 12, offsetof(ImportFormat, extraColumns) + 16};
    for (int i = 0; i < 14; ++i) {
        int32_t column = (int8_t)data[4 + i];
        std::memcpy(reinterpret_cast<char *>(&f) + kColumns[i], &column, 4);
    }
    uint8_t flags = data[0];
    fuzz::ApplyFixedFlags(&f, flags);
    fuzz::RunPassAndCheck(RunDelimitedImportPass, data + kPrefix, size - kPrefix, flags);
    return 0;
}
