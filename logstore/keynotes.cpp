// Key notes, their export and import.
#include "logstore/keynotes.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/versionstamp.h"
#include "logstore/logexchange.h"
#include "logstore/logindex.h"
#include "logstore/logindexscan.h"
#include "logstore/logpaths.h"
#include "logstore/logundo.h"

namespace {

const int kKindOrder[] = {kKeyNoteClass, kKeyNoteNight, kKeyNoteObserver,
                          kKeyNoteLocation, kKeyNoteInstrument, kKeyNoteConstellation};
const int kMaxConstellation = 88;

// The note beside an index file: ".idx" becomes ".bin".
std::string BesideIndex(const std::string &index) {
    const std::string suffix = ".idx";
    if (index.size() <= suffix.size()) return std::string();
    return index.substr(0, index.size() - suffix.size()) + ".bin";
}

bool IsBreak(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whether part stands in note as whole words (see AppendKeyNote).
bool StandsIn(const std::string &note, const std::string &part) {
    for (size_t at = note.find(part); at != std::string::npos; at = note.find(part, at + 1)) {
        bool startOk = at == 0 || IsBreak(note[at - 1]);
        size_t end = at + part.size();
        bool endOk = end == note.size() || IsBreak(note[end]);
        if (startOk && endOk) return true;
    }
    return false;
}

// Reads "%d" with nothing after it.
bool ReadNumber(const char *key, int *value) {
    int n = 0, used = 0;
    if (std::sscanf(key, "%d%n", &n, &used) != 1 || key[used] != 0) return false;
    *value = n;
    return true;
}

// One record and its text into the export. 1, or 0.
int WriteNoteRecord(FILE *file, int kind, const std::string &key, const std::string &text) {
    KeyNoteRecord record;
    std::memset(&record, 0, sizeof record);
    record.kind = static_cast<int16_t>(kind);
    record.length = static_cast<int32_t>(text.size() + 1);
    std::snprintf(record.key, sizeof record.key, "%s", key.c_str());
    std::string bytes = text;
    bytes.append(2, '\0');  // its NUL and one byte more
    return SafeWriteAll(file, &record, sizeof record) && SafeWriteAll(file, bytes.data(), bytes.size());
}

// The keys of one kind with their note files, from the index folder's scan.
std::vector<std::pair<std::string, std::string>> KeysOfKind(int kind) {
    std::vector<std::pair<std::string, std::string>> keys;  // key text, note path
    IndexScan scan;
    int begun = 0;
    switch (kind) {
    case kKeyNoteClass: begun = BeginClassIndexScan(&scan); break;
    case kKeyNoteNight: begun = BeginNightIndexScan(&scan); break;
    case kKeyNoteObserver: begun = BeginObserverIndexScan(&scan); break;
    case kKeyNoteLocation: begun = BeginLocationIndexScan(&scan); break;
    case kKeyNoteInstrument: begun = BeginInstrumentIndexScan(&scan); break;
    default: begun = BeginConstellationIndexScan(&scan); break;
    }
    for (int guard = 0; begun && guard < 1000000; ++guard) {
        char name[kIndexScanNameSize] = {0}, key[kKeyNoteKeySize] = {0};
        int r = 0, number = 0, y = 0, m = 0, d = 0;
        switch (kind) {
        case kKeyNoteClass:
            r = NextClassIndexName(&scan, &number, name);
            std::snprintf(key, sizeof key, "%d", number);
            break;
        case kKeyNoteNight:
            r = NextNightIndexDate(&scan, &y, &m, &d);
            std::snprintf(key, sizeof key, "%04d %02d %02d", y, m, d);
            break;
        case kKeyNoteObserver: r = NextObserverIndexName(&scan, name); break;
        case kKeyNoteLocation: r = NextLocationIndexName(&scan, name); break;
        case kKeyNoteInstrument: r = NextInstrumentIndexName(&scan, name); break;
        default:
            r = NextConstellationIndexName(&scan, 1, &number, name);
            std::snprintf(key, sizeof key, "%d", number);
            break;
        }
        if (r == 0) break;
        if (r < 0) continue;
        if (kind == kKeyNoteObserver || kind == kKeyNoteLocation || kind == kKeyNoteInstrument) {
            size_t length = std::strlen(name);
            if (length >= sizeof key) continue;  // no record can carry it
            std::memcpy(key, name, length + 1);
        }
        keys.push_back({key, KeyNotePath(kind, key)});
    }
    EndIndexScan(&scan);
    return keys;
}

// One record of an import file: 1 a note, 0 the end, -1 damaged or unreadable.
int ReadNoteRecord(FILE *file, KeyNoteRecord *record, std::string *text) {
    if (SafeRead(record, sizeof *record, 1, file) != 1) return -1;
    record->key[sizeof record->key - 1] = 0;
    if (record->kind == 0) return 0;
    int64_t left = BytesLeftInStream(file);
    if (record->length < 0 || left < 0 || static_cast<int64_t>(record->length) + 1 > left) return -1;
    text->assign(static_cast<size_t>(record->length) + 1, '\0');
    if (SafeRead(&(*text)[0], 1, text->size(), file) != text->size()) return -1;
    text->resize(std::strlen(text->c_str()));
    return 1;
}

}  // namespace

std::string ClassNotePath(int folder) { return folder < 0 ? std::string() : BesideIndex(ClassIndexPath(folder)); }
std::string NightNotePath(int year, int month, int day) { return BesideIndex(NightIndexPath(year, month, day)); }
std::string ObserverNotePath(const char *name) { return BesideIndex(ObserverIndexPath(name)); }
std::string LocationNotePath(const char *name) { return BesideIndex(LocationIndexPath(name)); }
std::string InstrumentNotePath(const char *name) { return BesideIndex(InstrumentIndexPath(name)); }
std::string ConstellationNotePath(int constellation) {
    return constellation < 0 || constellation > kMaxConstellation ? std::string()
                                                                  : BesideIndex(ConstellationIndexPath(constellation));
}

std::string KeyNotePath(int kind, const char *key) {
    if (!key) return std::string();
    int number = 0, y = 0, m = 0, d = 0, used = 0;
    switch (kind) {
    case kKeyNoteClass:
        return ReadNumber(key, &number) ? ClassNotePath(number) : std::string();
    case kKeyNoteNight:
        if (std::sscanf(key, "%d %d %d%n", &y, &m, &d, &used) != 3 || key[used] != 0 || m < 1 || m > 12 ||
            d < 1 || d > 31)
            return std::string();
        return NightNotePath(y, m, d);
    case kKeyNoteObserver: return ObserverNotePath(key);
    case kKeyNoteLocation: return LocationNotePath(key);
    case kKeyNoteInstrument: return InstrumentNotePath(key);
    case kKeyNoteConstellation:
        return ReadNumber(key, &number) ? ConstellationNotePath(number) : std::string();
    default:
        return std::string();
    }
}

int ReadKeyNote(const std::string &path, std::string *text) {
    if (!text) return 0;
    text->clear();
    if (path.empty()) return 0;
    if (!FileExists(path.c_str())) return 1;
    std::string bytes;
    if (!ReadWholeFile(path.c_str(), &bytes)) return 0;
    if (bytes.size() < 4) return bytes.empty() ? 1 : 0;
    int32_t length = 0;
    std::memcpy(&length, bytes.data(), 4);
    if (length <= 0) return 1;
    if (static_cast<size_t>(length) > bytes.size() - 4) return 0;  // a length the file does not hold
    text->assign(bytes.data() + 4, static_cast<size_t>(length));
    text->resize(std::strlen(text->c_str()));
    return 1;
}

int WriteKeyNote(const std::string &path, const char *text) {
    if (path.empty()) return 0;
    std::string t = text ? text : "";
    int32_t length = t.empty() ? 0 : static_cast<int32_t>(t.size() + 1);
    std::string bytes(reinterpret_cast<const char *>(&length), 4);
    if (length > 0) bytes.append(t.c_str(), t.size() + 1);
    return WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size());
}

int AppendKeyNote(const std::string &path, const char *text) {
    if (path.empty() || !text || !text[0]) return 0;
    std::string note;
    if (!ReadKeyNote(path, &note)) return 0;
    const char *part = text;
    while (*part == ' ') ++part;
    if (!*part) return 2;  // nothing but blanks: nothing to add
    if (!note.empty() && StandsIn(note, part)) return 2;
    std::string joined = note.empty() ? std::string(text) : note + " " + text;
    return WriteKeyNote(path, joined.c_str()) ? 1 : 0;
}

int ExportKeyNotes(int kindBits, const char *path, const char *name, const char *description) {
    SafeRewrite out;
    PackageHeader header;
    if (!BeginLogPackageExport(path, kKeyNotesPackageKind, name, description, &out, &header)) return -1;
    int32_t count = 0;
    for (int kind : kKindOrder) {
        if (!(kindBits & kind)) continue;
        for (const auto &key : KeysOfKind(kind)) {
            std::string text;
            if (!ReadKeyNote(key.second, &text)) return -1;
            if (text.empty()) continue;
            if (!WriteNoteRecord(out.file, kind, key.first, text)) return -1;
            ++count;
        }
    }
    KeyNoteRecord end;
    std::memset(&end, 0, sizeof end);
    if (!SafeWriteAll(out.file, &end, sizeof end) || !UpdatePackageCounts(out.file, &header, 0, count, 0, 0, 0))
        return -1;
    return CommitLogPackageExport(&out, header) ? count : -1;
}

int ImportKeyNote(const KeyNoteRecord *record, const char *text) {
    if (!record || !text || !text[0]) return 0;
    char key[kKeyNoteKeySize];
    std::memcpy(key, record->key, sizeof key);
    key[sizeof key - 1] = 0;
    std::string path = KeyNotePath(record->kind, key);
    return path.empty() ? 0 : AppendKeyNote(path, text);
}

int ImportKeyNotesFile(const char *path, PackageHeader *header, char **description, LogProgressFn progress) {
    if (description) *description = nullptr;
    FileHandle file;
    std::unique_ptr<char[]> holder;
    if (OpenLogPackage(path, kKeyNotesPackageKind, header, &file, &holder) != 1) return -1;
    long start = std::ftell(file.get());
    if (start < 0) return -1;
    KeyNoteRecord record;
    std::string note;
    int64_t records = 0;
    for (int r; (r = ReadNoteRecord(file.get(), &record, &note)) != 0; ++records)
        if (r < 0) return -1;  // damaged or cut short: nothing appended
    if (std::fseek(file.get(), start, SEEK_SET) != 0) return -1;
    int32_t step = header->counts[1] / 10 > 0 ? header->counts[1] / 10 : 1, counter = 0;
    int appended = 0;
    for (int64_t i = 0; i < records; ++i) {
        if (++counter >= step) {
            if (progress) progress(10);
            counter = 0;
        }
        if (ReadNoteRecord(file.get(), &record, &note) != 1) return -1;
        if (note.empty()) continue;
        int r = ImportKeyNote(&record, note.c_str());
        if (r == 1) ++appended;
        // 0 for a kind or key that names no note here is passed over; a
        // failed write is told apart by the note's file being there to write.
        if (r == 0 && !KeyNotePath(record.kind, record.key).empty()) return -1;
    }
    if (!RegisterLogPackage(header->name, &header->created)) return -1;
    if (description) *description = holder.release();
    return appended;
}
