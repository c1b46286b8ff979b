// What wizard step 4 shows of the preview: the colours of a list row, the
// texts of the entry detail view, the result text of the final pass, the
// number of records the preview file holds, and a stamp of the import file
// taken at the preview so that Finish notices a file changed since.
#pragma once
#include <cstdint>
#include <string>

#include "core/fsys.h"

struct PreviewRecord;

// The colours of a preview row; the system colours are resolved by the list.
enum PreviewColour {
    kPreviewRed,            // RGB 255, 0, 0
    kPreviewWhite,          // RGB 255, 255, 255
    kPreviewBlack,          // RGB 0, 0, 0
    kPreviewHighlight,      // the system highlight colour
    kPreviewHighlightText,  // the system highlight-text colour
    kPreviewWindow,         // the system window colour
    kPreviewWindowText,     // the system window-text colour
};
// An unrecognised entry is drawn on red (white text when selected, black
// otherwise); a recognised one in the highlight or window colours.
void ChoosePreviewRowColours(int selected, int notRecognised, PreviewColour *background,
                             PreviewColour *text);

// The texts of the detail view, each value as read and as the importer made it.
struct PreviewDetailTexts {
    std::string target;      // 6012
    std::string date;        // 6014
    std::string site;        // 6006
    std::string observer;    // 6004
    std::string instrument;  // 6015
    std::string conditions;  // 102
    std::string notes;       // 101
};
// Fills the texts from a record read from the preview file (its text fields
// are read only up to their sizes).
void MakePreviewDetailTexts(const PreviewRecord &record, PreviewDetailTexts *texts);

// "%d log entries sucessfully imported into Nightjar" with the count, and
// on a second line how many of them the log already held (when any).
std::string FormatImportResultText(int added, int alreadyLogged = 0);

// The number of whole records in the preview file (0 when there is none).
int CountPreviewRecords();

// Size and last-write time of the import file when the preview was made.
struct ImportFileStamp {
    int valid = 0;
    int64_t size = -1;
    FileTimeValue time = {0, 0};
};
ImportFileStamp TakeImportFileStamp(const char *path);
// 1 when the file's size or time differs from the stamp (or it is gone, or
// no stamp was taken).
int ImportFileChangedSince(const char *path, const ImportFileStamp &stamp);
