// Named notes, their index, export and import.
#include "logstore/namednotes.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "logstore/logexchange.h"
#include "logstore/logpaths.h"
#include "logstore/logundo.h"

namespace {

int FoldAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

std::string MiscFolder() {
    char path[kLogPathSize];
    if (!MakeLogPath(path, nullptr) || !EnsureDirectory(path)) return std::string();
    if (!MakeLogPath(path, "misc") || !EnsureDirectory(path)) return std::string();
    return path;
}

std::string IndexPath() {
    std::string folder = MiscFolder();
    return folder.empty() ? folder : folder + "/index.bin";
}

std::string CutName(const char *name) {
    std::string s = name ? name : "";
    if (s.size() > static_cast<size_t>(kNamedNoteNameMax)) s.resize(kNamedNoteNameMax);
    return s;
}

struct NoteIndex {
    int32_t next = 0;
    std::vector<NamedNoteIndexEntry> entries;
};

bool SortsBefore(const NamedNoteIndexEntry &a, const NamedNoteIndexEntry &b) {
    return CompareNoteNames(a.name, b.name) < 0;
}

// The index as stored (none for an absent file); entries terminated and in
// this program's order. false when it cannot be read or is damaged.
bool ReadIndex(NoteIndex *index) {
    *index = NoteIndex();
    std::string path = IndexPath();
    if (path.empty()) return false;
    if (!FileExists(path.c_str())) return true;
    std::string bytes;
    if (!ReadWholeFile(path.c_str(), &bytes) || bytes.size() < 8) return false;
    int32_t n = 0;
    std::memcpy(&index->next, bytes.data(), 4);
    std::memcpy(&n, bytes.data() + 4, 4);
    if (n < 0 || index->next < 0 || static_cast<size_t>(n) > (bytes.size() - 8) / sizeof(NamedNoteIndexEntry))
        return false;
    index->entries.resize(static_cast<size_t>(n));
    if (n) std::memcpy(index->entries.data(), bytes.data() + 8, static_cast<size_t>(n) * sizeof(NamedNoteIndexEntry));
    for (NamedNoteIndexEntry &e : index->entries) e.name[kNamedNoteNameMax] = 0;
    std::stable_sort(index->entries.begin(), index->entries.end(), SortsBefore);
    return true;
}

std::string IndexBytes(const NoteIndex &index) {
    int32_t n = static_cast<int32_t>(index.entries.size());
    std::string bytes(reinterpret_cast<const char *>(&index.next), 4);
    bytes.append(reinterpret_cast<const char *>(&n), 4);
    bytes.append(reinterpret_cast<const char *>(index.entries.data()), index.entries.size() * sizeof(NamedNoteIndexEntry));
    return bytes;
}

int FindIn(const NoteIndex &index, const std::string &name) {
    for (size_t i = 0; i < index.entries.size(); ++i)
        if (CompareNoteNames(index.entries[i].name, name.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

void InsertSorted(NoteIndex *index, const std::string &name, int32_t number) {
    NamedNoteIndexEntry e;
    std::memset(&e, 0, sizeof e);
    std::memcpy(e.name, name.data(), name.size());
    e.number = number;
    auto at = std::upper_bound(index->entries.begin(), index->entries.end(), e, SortsBefore);
    index->entries.insert(at, e);
}

// A note file's bytes: the stamped header and length + 1 bytes of text.
std::string NoteBytes(const std::string &name, const std::string &text) {
    NamedNoteHeader header;
    std::memset(&header, 0, sizeof header);
    SetCurrentStamp(&header.stamp);
    std::memcpy(header.name, name.data(), std::min(name.size(), static_cast<size_t>(kNamedNoteNameMax)));
    header.length = static_cast<int32_t>(text.size());
    std::string bytes(reinterpret_cast<const char *>(&header), sizeof header);
    bytes.append(text.c_str(), text.size() + 1);
    return bytes;
}

// Reads one note (header and text) from an open file: 1, or 0.
int ReadNoteFrom(FILE *file, NamedNoteHeader *header, std::string *text) {
    if (SafeRead(header, sizeof *header, 1, file) != 1) return 0;
    header->name[kNamedNoteNameMax] = 0;
    int64_t left = BytesLeftInStream(file);
    if (header->length < 0 || left < 0 || static_cast<int64_t>(header->length) + 1 > left) return 0;
    text->assign(static_cast<size_t>(header->length) + 1, '\0');
    if (SafeRead(&(*text)[0], 1, text->size(), file) != text->size()) return 0;
    text->resize(std::strlen(text->c_str()));
    return 1;
}

}  // namespace

int CompareNoteNames(const char *a, const char *b) {
    if (!a || !b) return (a ? 1 : 0) - (b ? 1 : 0);
    for (;; ++a, ++b) {
        int ca = FoldAscii(static_cast<unsigned char>(*a)), cb = FoldAscii(static_cast<unsigned char>(*b));
        if (ca != cb || ca == 0) return ca - cb;
    }
}

std::string NamedNotePath(int32_t number) {
    std::string folder = MiscFolder();
    if (folder.empty() || number < 0) return std::string();
    char name[32];
    std::snprintf(name, sizeof name, "/%08d.bin", static_cast<int>(number));
    return folder + name;
}

int ReadNamedNote(int32_t number, NamedNoteHeader *header, std::string *text) {
    if (!header || !text) return 0;
    std::string path = NamedNotePath(number);
    if (path.empty()) return 0;
    FileHandle f(SafeOpen(path.c_str(), "rb"));
    return f ? ReadNoteFrom(f.get(), header, text) : 0;
}

int ReadNamedNoteFrom(FILE *file, NamedNoteHeader *header, std::string *text) {
    return file && header && text ? ReadNoteFrom(file, header, text) : 0;
}

int32_t FindNamedNote(const char *name) {
    NoteIndex index;
    if (!ReadIndex(&index)) return -1;
    int at = FindIn(index, CutName(name));
    return at < 0 ? -1 : index.entries[static_cast<size_t>(at)].number;
}

int AddNamedNote(const char *name, const char *text) {
    std::string cut = CutName(name), body = text ? text : "";
    if (cut.empty() && body.empty()) return 1;
    NoteIndex index;
    if (!ReadIndex(&index)) return 0;
    if (FindIn(index, cut) >= 0) return 2;
    // The note first, then the index that lists it; a failure takes both back.
    int32_t number = index.next;
    std::string note = NoteBytes(cut, body);
    LogUndo undo;
    InsertSorted(&index, cut, number);
    index.next = number + 1;
    std::string bytes = IndexBytes(index);
    if (!WriteFileWithUndo(&undo, NamedNotePath(number), note.data(), note.size()) ||
        !WriteFileWithUndo(&undo, IndexPath(), bytes.data(), bytes.size())) {
        RollBackLogUndo(&undo);
        return 0;
    }
    return 1;
}

int DeleteNamedNote(int32_t number) {
    NoteIndex index;
    if (!ReadIndex(&index)) return 0;
    size_t before = index.entries.size();
    index.entries.erase(std::remove_if(index.entries.begin(), index.entries.end(),
                                       [&](const NamedNoteIndexEntry &e) { return e.number == number; }),
                        index.entries.end());
    if (index.entries.size() == before) return 0;
    std::string bytes = IndexBytes(index);
    LogUndo undo;
    if (!WriteFileWithUndo(&undo, IndexPath(), bytes.data(), bytes.size()) ||
        !RemoveFileWithUndo(&undo, NamedNotePath(number))) {
        RollBackLogUndo(&undo);
        return 0;
    }
    return 1;
}

int UpdateNamedNote(int32_t number, const NamedNoteHeader *header, const char *text) {
    if (!header) return 0;
    char raw[kNamedNoteNameMax + 1];
    std::memcpy(raw, header->name, sizeof raw);
    raw[kNamedNoteNameMax] = 0;
    std::string name = raw, body = text ? text : "";
    NoteIndex index;
    if (!ReadIndex(&index)) return 0;
    int mine = -1;
    for (size_t i = 0; i < index.entries.size(); ++i)
        if (index.entries[i].number == number) mine = static_cast<int>(i);
    if (mine < 0) return 0;
    int holder = FindIn(index, name);
    if (holder >= 0 && index.entries[static_cast<size_t>(holder)].number != number) return 2;
    LogUndo undo;
    std::string note = NoteBytes(name, body);
    if (holder >= 0) {
        // The same note (perhaps its name in other letters): rewritten in place.
        NamedNoteIndexEntry &e = index.entries[static_cast<size_t>(mine)];
        bool renamed = std::strcmp(e.name, name.c_str()) != 0;
        std::memset(e.name, 0, sizeof e.name);
        std::memcpy(e.name, name.data(), name.size());
        std::string bytes = IndexBytes(index);
        if (!WriteFileWithUndo(&undo, NamedNotePath(number), note.data(), note.size()) ||
            (renamed && !WriteFileWithUndo(&undo, IndexPath(), bytes.data(), bytes.size()))) {
            RollBackLogUndo(&undo);
            return 0;
        }
        return 1;
    }
    // A new name: the note under the next number, the index changed in one
    // write, and only then the old file removed.
    int32_t fresh = index.next;
    index.entries.erase(index.entries.begin() + mine);
    InsertSorted(&index, name, fresh);
    index.next = fresh + 1;
    std::string bytes = IndexBytes(index);
    if (!WriteFileWithUndo(&undo, NamedNotePath(fresh), note.data(), note.size()) ||
        !WriteFileWithUndo(&undo, IndexPath(), bytes.data(), bytes.size()) ||
        !RemoveFileWithUndo(&undo, NamedNotePath(number))) {
        RollBackLogUndo(&undo);
        return 0;
    }
    return 1;
}

int ReadNamedNoteIndex(NamedNoteIndexEntry **entries, int32_t *count) {
    if (entries) *entries = nullptr;
    if (count) *count = 0;
    if (!entries || !count) return 0;
    NoteIndex index;
    if (!ReadIndex(&index)) return 0;
    if (index.entries.empty()) return 1;
    *entries = new (std::nothrow) NamedNoteIndexEntry[index.entries.size()];
    if (!*entries) return 0;
    std::memcpy(*entries, index.entries.data(), index.entries.size() * sizeof(NamedNoteIndexEntry));
    *count = static_cast<int32_t>(index.entries.size());
    return 1;
}

namespace {
int WriteEndAndCounts(FILE *file, int32_t count, PackageHeader *header) {
    std::string end = NoteBytes("", "");
    return SafeWriteAll(file, end.data(), end.size()) && UpdatePackageCounts(file, header, 0, count, 0, 0, 0);
}
}  // namespace

FILE *CreateNamedNotesExportFile(const char *path, const char *name, const char *description) {
    return CreatePackageFile(path, kNamedNotesPackageKind, name, description);
}

int ExportNamedNote(FILE *file, const char *name, int *written) {
    if (written) *written = 0;
    if (!file) return 0;
    int32_t number = FindNamedNote(name);
    if (number < 0) return 0;
    NamedNoteHeader header;
    std::string text;
    if (!ReadNamedNote(number, &header, &text)) return 0;
    if (!header.name[0] || text.empty()) return 1;
    std::string bytes = NoteBytes(header.name, text);
    if (!SafeWriteAll(file, bytes.data(), bytes.size())) return 0;
    if (written) *written = 1;
    return 1;
}

int FinishNamedNotesExport(FILE *file, int32_t count) {
    if (!file) return 0;
    PackageHeader header;
    if (!WriteEndAndCounts(file, count, &header)) return 0;
    return RegisterLogPackage(header.name, &header.created);
}

int ExportAllNamedNotes(const char *path, const char *name, const char *description) {
    NoteIndex index;
    if (!path || !name || !ReadIndex(&index)) return -1;
    SafeRewrite out;
    PackageHeader header;
    if (!BeginLogPackageExport(path, kNamedNotesPackageKind, name, description, &out, &header)) return -1;
    int32_t count = 0;
    for (const NamedNoteIndexEntry &e : index.entries) {
        int written = 0;
        if (!ExportNamedNote(out.file, e.name, &written)) return -1;
        count += written;
    }
    if (!WriteEndAndCounts(out.file, count, &header)) return -1;
    return CommitLogPackageExport(&out, header) ? count : -1;
}

int ImportNamedNotesFile(const char *path, PackageHeader *header, char **description, LogProgressFn progress) {
    if (description) *description = nullptr;
    FileHandle file;
    std::unique_ptr<char[]> holder;
    if (OpenLogPackage(path, kNamedNotesPackageKind, header, &file, &holder) != 1) return -1;
    // Every note read and checked before one is added.
    std::vector<std::pair<std::string, std::string>> notes;
    // Each note read uses up at least its header: the loop ends with the file.
    for (;;) {
        NamedNoteHeader h;
        std::string body;
        if (!ReadNoteFrom(file.get(), &h, &body)) return -1;
        if (h.length <= 0) break;
        notes.push_back({h.name, body});
    }
    int32_t step = header->counts[1] / 10 > 0 ? header->counts[1] / 10 : 1, counter = 0;
    int added = 0;
    for (const auto &note : notes) {
        if (++counter >= step) {
            if (progress) progress(10);
            counter = 0;
        }
        int r = AddNamedNote(note.first.c_str(), note.second.c_str());
        if (r == 0) return -1;
        if (r == 1) ++added;
    }
    if (!RegisterLogPackage(header->name, &header->created)) return -1;
    if (description) *description = holder.release();
    return added;
}
