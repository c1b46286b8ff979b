// The format file "gleaner.cfg": settings block and stored import formats.
#include "app/formatfile.h"

#include <cstring>
#include <memory>
#include <new>

#include "core/userfolder.h"
#include "core/safefile.h"

namespace {

ImportSettings g_settings = {"", -1};
const long kSettingsOffset = 4;
const long kRecordSize = (long)sizeof(ImportFormat);
const char kDelimiters[5] = {',', '\t', '|', ':', ';'};

ImportFormat *CurrentFormatStorage() {
    static std::unique_ptr<ImportFormat> format(new ImportFormat());
    return format.get();
}

using FilePtr = std::unique_ptr<FILE, FileCloser>;

FilePtr OpenCfg(const char *mode) { return FilePtr(OpenUserDataFile("gleaner.cfg", mode)); }

// Offsets of records can pass 2 GB only with absurd counts; the counts read
// from the file are checked against the file's length first.
bool SeekTo(FILE *f, long long offset) {
#ifdef _WIN32
    return _fseeki64(f, offset, SEEK_SET) == 0;
#else
    return fseeko(f, (off_t)offset, SEEK_SET) == 0;
#endif
}

long long FileLength(FILE *f) {
#ifdef _WIN32
    if (_fseeki64(f, 0, SEEK_END) != 0) return -1;
    return _ftelli64(f);
#else
    if (fseeko(f, 0, SEEK_END) != 0) return -1;
    return (long long)ftello(f);
#endif
}

long long RecordOffset(long long index) { return kFormatFileHeader + index * kRecordSize; }

// Reads the count and checks it against what the file holds.
bool ReadCount(FILE *f, int32_t *count) {
    long long len = FileLength(f);
    if (len < kFormatFileHeader || !SeekTo(f, 0) || std::fread(count, 4, 1, f) != 1) return false;
    return *count >= 0 && RecordOffset(*count) <= len;
}

bool WriteCount(FILE *f, int32_t count) {
    return SeekTo(f, 0) && std::fwrite(&count, 4, 1, f) == 1;
}

bool ReadRecord(FILE *f, int32_t index, ImportFormat *out) {
    return SeekTo(f, RecordOffset(index)) && std::fread(out, sizeof *out, 1, f) == 1;
}

bool WriteRecord(FILE *f, int32_t index, const ImportFormat *in) {
    return SeekTo(f, RecordOffset(index)) && std::fwrite(in, sizeof *in, 1, f) == 1;
}

bool Finish(FilePtr &f, bool ok) {
    FILE *raw = f.release();
    ok = (std::fflush(raw) == 0) && ok;
    return (std::fclose(raw) == 0) && ok;
}

void Terminate(char *text, size_t size) { text[size - 1] = '\0'; }

void SetText(char *field, const char *text) { std::snprintf(field, kFormatTagSize, "%s", text); }

}  // namespace

ImportSettings &CurrentImportSettings() { return g_settings; }
ImportFormat &CurrentImportFormat() { return *CurrentFormatStorage(); }

int OpenFormatFile() {
    FilePtr f = OpenCfg("rb");
    if (!f) {
        FilePtr w = OpenCfg("wb");
        if (!w) return 0;
        int32_t count = 0;
        std::memset(&g_settings, 0, sizeof g_settings);
        g_settings.selectedFormat = -1;
        bool ok = std::fwrite(&count, 4, 1, w.get()) == 1 &&
                  std::fwrite(&g_settings, sizeof g_settings, 1, w.get()) == 1;
        if (!Finish(w, ok)) return 0;
        f = OpenCfg("rb");
        if (!f) return 0;
    }
    ImportSettings s;
    if (!SeekTo(f.get(), kSettingsOffset) || std::fread(&s, sizeof s, 1, f.get()) != 1) return 0;
    Terminate(s.importPath, sizeof s.importPath);
    g_settings = s;
    return 1;
}

int SaveImportSettings() {
    FilePtr f = OpenCfg("r+b");
    if (!f) return 0;
    // A file too short for its header is not written into: that would leave a
    // gap of undefined bytes where the count belongs.
    if (FileLength(f.get()) < kFormatFileHeader) return 0;
    bool ok = SeekTo(f.get(), kSettingsOffset) &&
              std::fwrite(&g_settings, sizeof g_settings, 1, f.get()) == 1;
    return Finish(f, ok) ? 1 : 0;
}

int ReadImportFormat(int index) {
    if (index < 0) return 0;
    FilePtr f = OpenCfg("rb");
    int32_t count;
    if (!f || !ReadCount(f.get(), &count) || index >= count) return 0;
    std::unique_ptr<ImportFormat> tmp(new (std::nothrow) ImportFormat);
    if (!tmp || !ReadRecord(f.get(), index, tmp.get())) return 0;
    ValidateImportFormat(tmp.get());
    std::memcpy(CurrentFormatStorage(), tmp.get(), sizeof *tmp);
    return 1;
}

int WriteImportFormat(int index) {
    if (index < 0) return 0;
    FilePtr f = OpenCfg("r+b");
    int32_t count;
    // A record written at index == count would lie beyond the count and be
    // lost to every later read: only stored formats are overwritten.
    if (!f || !ReadCount(f.get(), &count) || index >= count) return 0;
    bool ok = WriteRecord(f.get(), index, CurrentFormatStorage());
    return Finish(f, ok) ? 1 : 0;
}

int AppendImportFormat() {
    FilePtr f = OpenCfg("r+b");
    int32_t count;
    if (!f || !ReadCount(f.get(), &count) || count == INT32_MAX) return 0;
    // The record first, then the count: an interrupted append leaves only a
    // stale record behind the count.
    bool ok = WriteRecord(f.get(), count, CurrentFormatStorage()) && std::fflush(f.get()) == 0 &&
              WriteCount(f.get(), count + 1);
    return Finish(f, ok) ? 1 : 0;
}

int DeleteImportFormat(int index) {
    FilePtr f = OpenCfg("r+b");
    int32_t count;
    if (!f || !ReadCount(f.get(), &count) || index < 0 || index >= count) return 0;
    std::unique_ptr<ImportFormat> move(new (std::nothrow) ImportFormat);
    if (!move) return 0;
    bool ok = true;
    for (int32_t k = index; ok && k + 1 < count; ++k)
        ok = ReadRecord(f.get(), k + 1, move.get()) && WriteRecord(f.get(), k, move.get());
    ok = ok && std::fflush(f.get()) == 0 && WriteCount(f.get(), count - 1);
    return Finish(f, ok) ? 1 : 0;
}

int BeginFormatEnumeration(FormatEnumerator *e) {
    if (!e) return 0;
    e->next = 0;
    e->count = 0;
    e->file = OpenUserDataFile("gleaner.cfg", "rb");
    if (!e->file) return 0;
    if (!ReadCount(e->file, &e->count)) {
        EndFormatEnumeration(e);
        return 0;
    }
    return 1;
}

int ReadNextFormatName(FormatEnumerator *e, char *nameOut) {
    if (!e || !e->file || !nameOut) return 0;
    char name[kFormatNameSize];
    if (e->next >= e->count || !SeekTo(e->file, RecordOffset(e->next) + 4) ||
        std::fread(name, sizeof name, 1, e->file) != 1) {
        EndFormatEnumeration(e);
        return 0;
    }
    Terminate(name, sizeof name);
    std::memcpy(nameOut, name, sizeof name);
    ++e->next;
    return 1;
}

void EndFormatEnumeration(FormatEnumerator *e) {
    if (e && e->file) {
        std::fclose(e->file);
        e->file = nullptr;
    }
}

void LoadBuiltInCsvFormat() {
    ImportFormat &f = CurrentImportFormat();
    f.kind = kFormatKindDelimited;
    SetText(f.name, "SkyMap Pro CSV");
    f.delimiter = ',';
    f.commentChar = ' ';
    f.skipLines = 1;
    f.dateLayout = 4;
    f.targetColumn = 0;
    f.siteColumn = 10;
    f.siteFixed = 0;
    f.observerColumn = 7;
    f.observerFixed = 0;
    f.instrumentColumn = 16;
    f.instrumentFixed = 0;
    f.dateColumn = 8;
    f.timeColumn = kNoColumn;
    f.conditionColumns[0] = 14;
    f.conditionColumns[1] = kNoColumn;
    f.descriptionColumn = 28;
    const int32_t extras[5] = {19, 23, 27, kNoColumn, kNoColumn};
    std::memcpy(f.extraColumns, extras, sizeof extras);
    char *tags[] = {f.entryTag, f.siteTag, f.observerTag, f.instrumentTag, f.dateTag,
                    f.timeTag, f.targetTag, f.conditionTags[0], f.conditionTags[1],
                    f.descriptionTag, f.extraTags[0], f.extraTags[1], f.extraTags[2],
                    f.extraTags[3], f.extraTags[4]};
    for (char *t : tags) std::memset(t, 0, kFormatTagSize);
}

void LoadBuiltInXmlFormat() {
    ImportFormat &f = CurrentImportFormat();
    f.kind = kFormatKindTagged;
    SetText(f.name, "DeepSky");
    f.dateLayout = 3;
    SetText(f.entryTag, "LOG");
    SetText(f.siteTag, "LocationObserved");
    SetText(f.observerTag, "");
    SetText(f.instrumentTag, "EquipmentUsed");
    SetText(f.dateTag, "DateObserved");
    SetText(f.timeTag, "TimeObserved");
    SetText(f.targetTag, "ObjectId");
    SetText(f.conditionTags[0], "Transparency");
    SetText(f.conditionTags[1], "Seeing");
    SetText(f.descriptionTag, "ObservationText");
    SetText(f.extraTags[0], "OtherEquipment");
    SetText(f.extraTags[1], "ShortDescription");
    SetText(f.extraTags[2], "Rating");
    SetText(f.extraTags[3], "");
    SetText(f.extraTags[4], "");
}

int ValidateImportFormat(ImportFormat *f) {
    if (!f) return 0;
    Terminate(f->name, sizeof f->name);
    char *tags[] = {f->entryTag, f->siteTag, f->observerTag, f->instrumentTag, f->dateTag,
                    f->timeTag, f->targetTag, f->conditionTags[0], f->conditionTags[1],
                    f->descriptionTag, f->extraTags[0], f->extraTags[1], f->extraTags[2],
                    f->extraTags[3], f->extraTags[4]};
    for (char *t : tags) Terminate(t, kFormatTagSize);
    // The fixed site, observer and instrument are records read from the file
    // too: their names are terminated and the instrument's counts bounded,
    // whatever the format's flags say (the editor shows them either way).
    TerminateLocationName(&f->fixedSite);
    Terminate(f->fixedObserver.name, sizeof f->fixedObserver.name);
    SanitizeInstrumentRecord(&f->fixedInstrument);
    bool ok = (f->kind == kFormatKindDelimited || f->kind == kFormatKindTagged) &&
              f->dateLayout >= 0 && f->dateLayout <= 5 && f->skipLines >= 0;
    bool delimiterKnown = false;
    for (char d : kDelimiters) delimiterKnown = delimiterKnown || f->delimiter == d;
    if (f->kind == kFormatKindDelimited) ok = ok && delimiterKnown;
    const int32_t columns[] = {f->siteColumn, f->observerColumn, f->instrumentColumn,
                               f->dateColumn, f->timeColumn, f->targetColumn,
                               f->conditionColumns[0], f->conditionColumns[1],
                               f->descriptionColumn, f->extraColumns[0], f->extraColumns[1],
                               f->extraColumns[2], f->extraColumns[3], f->extraColumns[4]};
    for (int32_t c : columns) ok = ok && c >= kNoColumn;
    return ok ? 1 : 0;
}
