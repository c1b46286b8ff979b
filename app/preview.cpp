// The preview file of the import passes.
#include "core/safefile.h"
#include "app/preview.h"

#include <cstdint>
#include <cstdio>

#include "core/fileutil.h"
#include "app/importpass.h"
#include "core/userfolder.h"

int DeletePreviewFile() {
    char path[1024];
    if (!MakeUserDataPath(path, sizeof path, "gleaner.bin")) return 0;
    if (!FileExists(path)) return 1;
    return SafeRemove(path);
}

FILE *OpenPreviewFile() { return OpenUserDataFile("gleaner.bin", "rb"); }

int ReadPreviewRecord(FILE *file, PreviewRecord *record, int index, int count) {
    if (!file || !record || index < 0 || index >= count) return 0;
    // Record 6,479 and later lie beyond 2 GB: a 64-bit seek.
    int64_t offset = static_cast<int64_t>(index) * static_cast<int64_t>(sizeof(PreviewRecord));
    if (!SafeSeek(file, offset)) return 0;
    if (std::fread(record, sizeof *record, 1, file) != 1) return 0;
    // Texts read from the file are terminated before use.
    record->dateText[sizeof record->dateText - 1] = '\0';
    record->siteText[sizeof record->siteText - 1] = '\0';
    record->instrumentText[sizeof record->instrumentText - 1] = '\0';
    record->observerText[sizeof record->observerText - 1] = '\0';
    record->targetText[sizeof record->targetText - 1] = '\0';
    record->conditionsText[sizeof record->conditionsText - 1] = '\0';
    record->notesText[sizeof record->notesText - 1] = '\0';
    return 1;
}
