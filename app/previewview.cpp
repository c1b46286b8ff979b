// What wizard step 4 shows of the preview: row colours, detail texts, the
// result text, the preview file's record count and the import-file stamp.
#include "app/previewview.h"

#include <cstdio>
#include <cstring>

#include "app/importpass.h"
#include "astro/angletext.h"
#include "astro/datetime.h"
#include "core/fileutil.h"
#include "core/userfolder.h"

namespace {

// A fixed text field read from a file, up to its size.
std::string Field(const char *text, size_t size) { return std::string(text, strnlen(text, size)); }

template <size_t N>
std::string Field(const char (&text)[N]) {
    return Field(text, N);
}

}  // namespace

void ChoosePreviewRowColours(int selected, int notRecognised, PreviewColour *background,
                             PreviewColour *text) {
    if (notRecognised) {
        *background = kPreviewRed;
        *text = selected ? kPreviewWhite : kPreviewBlack;
    } else if (selected) {
        *background = kPreviewHighlight;
        *text = kPreviewHighlightText;
    } else {
        *background = kPreviewWindow;
        *text = kPreviewWindowText;
    }
}

void MakePreviewDetailTexts(const PreviewRecord &record, PreviewDetailTexts *texts) {
    const LogEntry &e = record.entry;
    const std::string target = Field(record.targetText), date = Field(record.dateText);
    const std::string site = Field(record.siteText), observer = Field(record.observerText);
    const std::string instrument = Field(record.instrumentText);
    texts->conditions = Field(record.conditionsText);
    texts->notes = Field(record.notesText);
    if (record.notRecognised) {
        texts->target = target + " --> *** object not recognized ***";
        texts->date = date;
        texts->site = site;
        texts->observer = observer;
        texts->instrument = instrument;
        return;
    }
    texts->target = target + " --> " + Field(e.designation);
    // The entry's instant in the civil time of its site.
    LocationRecord where;
    std::memcpy(&where, &e.site, sizeof where);
    DateRecord when;
    std::memset(&when, 0, sizeof when);
    when.julianDate = e.julianDate;
    SetDateRecordFromJulianDate(&where, &when);
    char clock[kAngleTextSize] = "";
    FormatClockTime(clock, when.localHours);
    char made[128];
    std::snprintf(made, sizeof made, "%d %d %d %s (year month day time)", (int)when.year, (int)when.month,
                  (int)when.day, clock);
    texts->date = date + " --> " + made;
    texts->site = site + " --> " + Field(e.site.name);
    texts->observer = observer + " --> " + Field(e.observer.name);
    texts->instrument = instrument + " --> " + Field(e.instrument.name);
}

std::string FormatImportResultText(int added, int alreadyLogged) {
    char text[192];
    std::snprintf(text, sizeof text, "%d log entries sucessfully imported into Nightjar", added);
    std::string result = text;
    // The log keeps one copy of an entry: entries it already held count as
    // imported, and the user is told so rather than led to think they were
    // added twice.
    if (alreadyLogged > 0) {
        std::snprintf(text, sizeof text, "\r\n(%d of them were already in the log)",
                      alreadyLogged);
        result += text;
    }
    return result;
}

int CountPreviewRecords() {
    char path[1024];
    if (!MakeUserDataPath(path, sizeof path, kPreviewFileName)) return 0;
    int64_t size = QueryFileSize(path);
    if (size <= 0) return 0;
    return (int)(size / (int64_t)sizeof(PreviewRecord));
}

ImportFileStamp TakeImportFileStamp(const char *path) {
    ImportFileStamp stamp;
    if (!path || !path[0]) return stamp;
    stamp.size = FsFileSize(path);
    if (stamp.size < 0 || !GetFileWriteTime(path, &stamp.time)) return stamp;
    stamp.valid = 1;
    return stamp;
}

int ImportFileChangedSince(const char *path, const ImportFileStamp &stamp) {
    if (!stamp.valid) return 1;
    ImportFileStamp now = TakeImportFileStamp(path);
    if (!now.valid) return 1;
    return now.size != stamp.size || now.time.low != stamp.time.low || now.time.high != stamp.time.high;
}
