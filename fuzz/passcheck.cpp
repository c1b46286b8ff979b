// Running and checking an import pass for the fuzz targets.
#include "fuzz/passcheck.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzzscratch.h"
#include "core/mathutil.h"

namespace fuzz {

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "pass check failed: %s\n", what);
        std::abort();
    }
}

struct Row {
    std::string text;
    int32_t notRecognised;
};

struct MemoryList {
    std::vector<Row> rows;
    int asked = 0;
    int answer = 0;
};

void AddRow(void *context, const char *text, int32_t notRecognised) {
    Check(text != nullptr, "a row has a text");
    static_cast<MemoryList *>(context)->rows.push_back({text, notRecognised});
}

int AskGoOn(void *context, const char *message) {
    Check(message != nullptr, "a question has a message");
    MemoryList *list = static_cast<MemoryList *>(context);
    ++list->asked;
    return list->answer;
}

void CheckText(const char *text, size_t size, const char *what) { TerminatedLength(text, size, what); }

void CheckRecord(const PreviewRecord &r) {
    CheckText(r.dateText, sizeof r.dateText, "preview date text");
    CheckText(r.siteText, sizeof r.siteText, "preview site text");
    CheckText(r.instrumentText, sizeof r.instrumentText, "preview instrument text");
    CheckText(r.observerText, sizeof r.observerText, "preview observer text");
    CheckText(r.targetText, sizeof r.targetText, "preview target text");
    CheckText(r.conditionsText, sizeof r.conditionsText, "preview conditions text");
    CheckText(r.notesText, sizeof r.notesText, "preview notes text");
    Check(r.notRecognised == 0 || r.notRecognised == 1, "not-recognised flag is 0 or 1");
    CheckText(r.entry.site.name, sizeof r.entry.site.name, "entry site name");
    CheckText(r.entry.designation, sizeof r.entry.designation, "entry designation");
    CheckText(r.entry.observer.name, sizeof r.entry.observer.name, "entry observer name");
    CheckText(r.entry.instrument.name, sizeof r.entry.instrument.name, "entry instrument name");
    // An entry is dated and placed: no NaN or infinite date or coordinates.
    double jd = r.entry.julianDate, lat = r.entry.site.latitude, lon = r.entry.site.longitude,
           zone = r.entry.site.timeZone;
    Check(std::isfinite(jd), "the entry's date is a number");
    Check(std::isfinite(lat) && std::fabs(lat) <= kPi / 2.0 + 1e-9, "the site's latitude is one");
    Check(std::isfinite(lon) && std::fabs(lon) <= 2.0 * kPi + 1e-9, "the site's longitude is one");
    Check(std::isfinite(zone) && std::fabs(zone) <= 24, "the site's zone is one");
}

}  // namespace

void ApplyFixedFlags(ImportFormat *f, uint8_t flags) {
    f->siteFixed = (flags & kFixSite) ? 1 : 0;
    f->observerFixed = (flags & kFixObserver) ? 1 : 0;
    f->instrumentFixed = (flags & kFixInstrument) ? 1 : 0;
    f->fixedSite = StoredSite(1);
    f->fixedObserver = StoredObserver(1);
    std::memcpy(&f->fixedInstrument, &StoredInstrument(1), sizeof f->fixedInstrument);
    if (flags & kUnterminatedFixed) {
        std::memset(f->fixedSite.name, 'S', sizeof f->fixedSite.name);
        std::memset(f->fixedObserver.name, 'O', sizeof f->fixedObserver.name);
        std::memset(f->fixedInstrument.name, 'I', sizeof f->fixedInstrument.name);
    }
    if (flags & kGarbageFixedSite) std::memset(&f->fixedSite, 0xFF, sizeof f->fixedSite);
    if (flags & kGarbageFixedInstrument) std::memset(&f->fixedInstrument, 0xFF, sizeof f->fixedInstrument);
}

void RunPassAndCheck(PassFunction pass, const uint8_t *log, size_t size, uint8_t flags) {
    const std::string &folder = ScratchFolder();
    Check(WriteScratchFile("import.log", log, size), "write log file");
    ValidateImportFormat(&CurrentImportFormat());

    ImportSettings settings;
    std::memset(&settings, 0, sizeof settings);
    std::snprintf(settings.importPath, sizeof settings.importPath, "%s/import.log", folder.c_str());
    settings.selectedFormat = 0;
    MemoryList memory;
    memory.answer = (flags & kAnswerGoOn) ? 1 : 0;
    ImportListSink sink = {&memory, AddRow, AskGoOn};
    int preview = (flags & kFinalPass) ? 0 : 1;
    int added = -12345;
    ImportErrorLine()[0] = '\0';

    ImportJob job;
    Check(MakeImportJob(settings, CurrentImportFormat(), &job) == 1, "make the import job");
    int n = pass(&sink, job, preview, &added);

    if (std::getenv("GLEANER_FUZZ_VERBOSE")) {
        std::fprintf(stderr, "pass: %d (added %d) error line: %s\n", n, added, ImportErrorLine());
        for (const Row &row : memory.rows) std::fprintf(stderr, "  row %d: %s\n", row.notRecognised, row.text.c_str());
    }
    size_t errorLength = TerminatedLength(ImportErrorLine(), kErrorLineSize, "error line");
    Check(n >= -1, "a pass returns a count or -1");
    if (n < 0) Check(errorLength > 0, "a failed pass leaves its message");
    if (preview) {
        Check(memory.asked == 0, "the preview asks nothing");
        std::string path = folder + "/" + kPreviewFileName;
        FILE *f = std::fopen(path.c_str(), "rb");
        Check(f != nullptr, "the preview writes its file");
        std::unique_ptr<PreviewRecord> r(new PreviewRecord);
        size_t records = 0;
        while (std::fread(r.get(), sizeof *r, 1, f) == 1) {
            CheckRecord(*r);
            if (n >= 0 && records < memory.rows.size())
                Check(memory.rows[records].notRecognised == r->notRecognised, "row item data = record flag");
            ++records;
        }
        Check(std::ftell(f) == (long)(records * sizeof(PreviewRecord)), "the preview file holds whole records");
        std::fclose(f);
        if (n >= 0) {
            Check(records == (size_t)n, "one preview record per entry");
            Check(memory.rows.size() == (size_t)n, "one row per entry");
        }
    } else {
        Check(memory.rows.empty(), "the final pass lists nothing");
        if (n >= 0) Check(added >= 0 && added <= n, "added counts at most the entries processed");
    }
    CleanScratch();
}

}  // namespace fuzz
