// The format file "gleaner.cfg": settings block and stored import formats.
#include "app/formatfile.h"

#include <cstring>
#include <functional>
#include <string>
#include <memory>
#include <new>

#include "core/fsys.h"
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

long long RecordOffset(long long index) { return kFormatFileHeader + index * kRecordSize; }

std::string CfgPath() {
    char path[1024];
    return MakeUserDataPath(path, sizeof path, "gleaner.cfg") ? std::string(path) : std::string();
}

FilePtr OpenCfg(const char *mode) {
    std::string path = CfgPath();
    return FilePtr(path.empty() ? nullptr : SafeOpen(path.c_str(), mode));
}

// The whole file in memory with its count checked against its length; edit
// changes the bytes, and the file is then rewritten whole through the
// crash-safe layer, so a failure at any step leaves the formats as they were.
// A settings-only edit (countMustFit false) asks only for the header, as the
// settings block is all it touches.
bool RewriteCfg(const std::function<bool(std::string &bytes, int32_t count)> &edit,
                bool countMustFit = true) {
    std::string path = CfgPath(), bytes;
    if (path.empty() || !ReadWholeFile(path.c_str(), &bytes)) return false;
    if ((long long)bytes.size() < kFormatFileHeader) return false;
    int32_t count;
    std::memcpy(&count, bytes.data(), 4);
    if (countMustFit && (count < 0 || RecordOffset(count) > (long long)bytes.size())) return false;
    if (!edit(bytes, count)) return false;
    return WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size()) == 1;
}




// Reads the count and checks it against what the file holds.
bool ReadCount(FILE *f, int32_t *count) {
    long long len = StreamSize(f);
    if (len < kFormatFileHeader || !SafeSeek(f, 0) || SafeRead(count, 4, 1, f) != 1) return false;
    return *count >= 0 && RecordOffset(*count) <= len;
}

bool ReadRecord(FILE *f, int32_t index, ImportFormat *out) {
    return SafeSeek(f, RecordOffset(index)) && SafeRead(out, sizeof *out, 1, f) == 1;
}

void Terminate(char *text, size_t size) { text[size - 1] = '\0'; }

void SetText(char *field, const char *text) { std::snprintf(field, kFormatTagSize, "%s", text); }

}  // namespace

ImportSettings &CurrentImportSettings() { return g_settings; }
ImportFormat &CurrentImportFormat() { return *CurrentFormatStorage(); }

int OpenFormatFile() {
    FilePtr f = OpenCfg("rb");
    if (!f) {
        // Only a file that is truly absent is made anew: one that exists but
        // cannot be opened now keeps every stored format.
        std::string path = CfgPath();
        if (path.empty() || FsKind(path) >= 0) return 0;
        int32_t count = 0;
        std::memset(&g_settings, 0, sizeof g_settings);
        g_settings.selectedFormat = -1;
        std::string bytes(kFormatFileHeader, '\0');
        std::memcpy(&bytes[0], &count, 4);
        std::memcpy(&bytes[kSettingsOffset], &g_settings, sizeof g_settings);
        if (!WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size())) return 0;
        f = OpenCfg("rb");
        if (!f) return 0;
    }
    ImportSettings s;
    if (!SafeSeek(f.get(), kSettingsOffset) || SafeRead(&s, sizeof s, 1, f.get()) != 1) return 0;
    Terminate(s.importPath, sizeof s.importPath);
    g_settings = s;
    return 1;
}

int SaveImportSettings() {
    // A file too short for its header is not written into: that would leave a
    // gap of undefined bytes where the count belongs.
    return RewriteCfg([](std::string &bytes, int32_t) {
               std::memcpy(&bytes[kSettingsOffset], &g_settings, sizeof g_settings);
               return true;
           },
           false)
               ? 1
               : 0;
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
    // A record written at index == count would lie beyond the count and be
    // lost to every later read: only stored formats are overwritten.
    return RewriteCfg([index](std::string &bytes, int32_t count) {
               if (index >= count) return false;
               std::memcpy(&bytes[(size_t)RecordOffset(index)], CurrentFormatStorage(), kRecordSize);
               return true;
           })
               ? 1
               : 0;
}

int AppendImportFormat() {
    // The new copy holds the record and the raised count; the file on the disk
    // is replaced whole, so a failure leaves the formats as they were.
    return RewriteCfg([](std::string &bytes, int32_t count) {
               if (count == INT32_MAX) return false;
               bytes.resize((size_t)RecordOffset(count));
               bytes.append(reinterpret_cast<const char *>(CurrentFormatStorage()), (size_t)kRecordSize);
               int32_t raised = count + 1;
               std::memcpy(&bytes[0], &raised, 4);
               return true;
           })
               ? 1
               : 0;
}

int DeleteImportFormat(int index) {
    if (index < 0) return 0;
    // The formats after it move down in the new copy only; the file on the
    // disk is replaced whole once the copy is complete.
    return RewriteCfg([index](std::string &bytes, int32_t count) {
               if (index >= count) return false;
               // Later records move down one place; the last slot keeps its
               // old copy behind the count, as a delete has always left it.
               for (int32_t k = index; k + 1 < count; ++k)
                   std::memmove(&bytes[(size_t)RecordOffset(k)], &bytes[(size_t)RecordOffset(k + 1)],
                                (size_t)kRecordSize);
               int32_t lowered = count - 1;
               std::memcpy(&bytes[0], &lowered, 4);
               return true;
           })
               ? 1
               : 0;
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
    if (e->next >= e->count || !SafeSeek(e->file, RecordOffset(e->next) + 4) ||
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
