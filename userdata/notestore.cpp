// The observing notes store (see notestore.h): index files, note files and
// the operations on one object's note, between groups and over user objects.
#include "userdata/notestore.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "userdata/groupstore.h"
#include "userdata/minorbodytwin.h"
#include "userdata/notefiles.h"
#include "userdata/userobjectdata.h"

namespace {

const uint32_t kStarBits = 0xF0;

// Writes the note file at path whole: header, user-object block, text.
int WriteNoteFileAt(const std::string &path, NoteHeader *header, const char *text) {
    SafeRewrite rewrite;
    if (!BeginSafeRewrite(path.c_str(), &rewrite)) return 0;
    if (!WriteNoteBody(rewrite.file, header, text)) rewrite.failed = true;
    return CommitSafeRewrite(&rewrite);
}

// Reads a note file; idChanged tells whether the carried user object has
// another local id here than the one stored.
int ReadNoteAt(const std::string &path, NoteHeader *header, std::string *text, int addObject,
               bool *idChanged) {
    FileHandle file(SafeOpen(path.c_str(), "rb"));
    if (!file) return 0;
    return ReadNoteBodyChecked(file.get(), header, text, addObject, idChanged);
}

bool IsEmptyNote(const std::string &title, const std::string &text, int32_t status) {
    return title.empty() && text.empty() && status == 0;
}

void SetTitle(NoteHeader *header, const std::string &title) {
    std::memset(header->title, 0, sizeof header->title);
    std::memcpy(header->title, title.data(), std::min<size_t>(title.size(), kNoteTitleMax));
}

}  // namespace

// ---- categories, keys and paths ------------------------------------------------

int NoteCategoryIndex(uint32_t category) {
    if (category == kNoteCategoryWithoutFolder) return kNoteRowWithoutFolder;
    for (int row = 0; row < kCategoryFolderCount; ++row)
        if (CategoryFolderTable[row].category == category) return row;
    if (category & kStarBits) return 4;
    return -1;
}

uint32_t NoteCategoryBits(int row) {
    if (row == kNoteRowWithoutFolder) return kNoteCategoryWithoutFolder;
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    return CategoryFolderTable[row].category;
}

int32_t NoteObjectKey(int objectClass, int32_t index) {
    return IsUserObjectClass(objectClass) ? static_cast<int32_t>(static_cast<uint32_t>(index) |
                                                                 kUserObjectKeyFlag)
                                          : index;
}

int MakeNoteIndexPath(const char *groupFolder, uint32_t category, char *path) {
    int row = NoteCategoryIndex(category);
    if (!groupFolder || !path || row < 0 || row >= kCategoryFolderCount) return 0;
    EnsureNoteIndexFiles(groupFolder);
    std::string p = NoteIndexFilePath(groupFolder, row);
    if (p.empty() || p.size() >= static_cast<size_t>(kNotePathBytes)) return 0;
    std::memcpy(path, p.c_str(), p.size() + 1);
    return 1;
}

int MakeNoteFilePath(const char *groupFolder, uint32_t category, int32_t number, char *path) {
    int row = NoteCategoryIndex(category);
    if (!groupFolder || !path || row < 0 || row >= kCategoryFolderCount) return 0;
    EnsureNoteIndexFiles(groupFolder);
    std::string p = NoteFilePathOf(groupFolder, row, number);
    if (p.empty() || p.size() >= static_cast<size_t>(kNotePathBytes)) return 0;
    std::memcpy(path, p.c_str(), p.size() + 1);
    return 1;
}

int EnsureNoteIndexFiles(const char *groupFolder) {
    if (!IsSafeGroupFolder(groupFolder)) return 0;
    int ok = 1;
    for (int row = 0; row < kCategoryFolderCount; ++row) {
        // Only a missing index is made: an index that exists but cannot be
        // opened just now (locked, no access) keeps its notes.
        if (FsKind(NoteIndexFilePath(groupFolder, row)) >= 0) continue;
        if (!CreateNoteIndexFile(groupFolder, row)) ok = 0;
    }
    return ok;
}

int CreateNoteIndexFile(const char *groupFolder, int row, int reset) {
    if (!IsSafeGroupFolder(groupFolder) || row < 0 || row >= kCategoryFolderCount) return 0;
    std::string notes = NotesFolder();
    if (notes.empty()) return 0;
    std::string group = notes + "/" + groupFolder;
    std::string folder = NoteRowFolder(groupFolder, row);
    if (!EnsureDirectory(notes.c_str()) || !EnsureDirectory(group.c_str()) ||
        !EnsureDirectory(folder.c_str()))
        return 0;
    std::string path = NoteIndexFilePath(groupFolder, row);
    if (!reset && FsKind(path) >= 0) return 1;
    NoteIndexFile empty;
    return WriteNoteIndex(path, empty);
}

// ---- index lists -------------------------------------------------------------------

int LoadNoteIndexLists(int group, NoteIndexLists *lists) {
    if (!lists) return 0;
    FreeNoteIndexLists(lists);
    std::string folder;
    if (!NoteGroupFolder(group, &folder)) return 0;
    EnsureNoteIndexFiles(folder.c_str());
    for (int row = 0; row < kCategoryFolderCount; ++row) {
        NoteIndexFile index;
        if (!ReadNoteIndex(NoteIndexFilePath(folder.c_str(), row), &index)) {
            FreeNoteIndexLists(lists);
            return 0;
        }
        lists->rows[row] = std::move(index.entries);
    }
    return 1;
}

void FreeNoteIndexLists(NoteIndexLists *lists) {
    if (!lists) return;
    for (auto &row : lists->rows) std::vector<NoteIndexEntry>().swap(row);
}

int FindNoteInIndexLists(const NoteIndexLists *lists, const ObjectRecord *record) {
    if (!lists || !record) return -1;
    int row = NoteCategoryIndex(record->categoryBits);
    if (row < 0 || row >= kCategoryFolderCount) return -1;
    const std::vector<NoteIndexEntry> &entries = lists->rows[row];
    int32_t key = NoteObjectKey(record->objectClass, record->index);
    auto it = std::lower_bound(entries.begin(), entries.end(), key,
                               [](const NoteIndexEntry &e, int32_t k) { return e.key < k; });
    if (it == entries.end() || it->key != key) return -1;
    return it->number;
}

int FindNoteOfObject(const NoteIndexLists *lists, ObjectRecord *record) {
    int number = FindNoteInIndexLists(lists, record);
    if (number >= 0 || !record) return number;
    std::unique_ptr<ObjectRecord> twin(new (std::nothrow) ObjectRecord);
    if (!twin || !BuildMinorBodyTwin(record, twin.get())) return -1;
    number = FindNoteInIndexLists(lists, twin.get());
    if (number >= 0) *record = *twin;
    return number;
}

// ---- one object's note -----------------------------------------------------------------

int CreateNote(int group, const ObjectRecord *record, int32_t key, const char *title,
               const char *text, int32_t status) {
    if (!record) return kNoteFailed;
    StoreLock lock;
    if (!LockGroupStore(kNotesKind, &lock)) return kNoteFailed;
    std::string folder;
    if (!NoteGroupFolder(group, &folder)) return kNoteFailed;
    int row = NoteCategoryIndex(record->categoryBits);
    if (row < 0 || row >= kCategoryFolderCount) return kNoteFailed;
    EnsureNoteIndexFiles(folder.c_str());
    std::string indexPath = NoteIndexFilePath(folder.c_str(), row);
    NoteIndexFile index;
    if (!ReadNoteIndex(indexPath, &index)) return kNoteFailed;
    int32_t number = index.next;
    if (number < 0 || number == INT32_MAX) return kNoteFailed;

    // The note file first: an index entry never names a file that is not there.
    NoteHeader header;
    std::memset(&header, 0, sizeof header);
    header.objectClass = record->objectClass;
    header.index = record->index;
    header.category = record->categoryBits;
    SetTitle(&header, TrimmedNoteText(title));
    header.status = status;
    if (!WriteNoteFileAt(NoteFilePathOf(folder.c_str(), row, number), &header, text ? text : ""))
        return kNoteFailed;

    // A new note precedes existing entries of the same key.
    auto it = std::lower_bound(index.entries.begin(), index.entries.end(), key,
                               [](const NoteIndexEntry &e, int32_t k) { return e.key < k; });
    index.entries.insert(it, NoteIndexEntry{number, key});
    index.next = number + 1;
    if (!WriteNoteIndex(indexPath, index)) return kNoteFailed;
    return number;
}

int AppendToNote(int group, ObjectRecord *record, const char *title, const char *text,
                 int32_t status) {
    std::string t = TrimmedNoteText(title), x = TrimmedNoteText(text);
    if (t.empty() && x.empty()) return kNoteNothingToAdd;
    if (!record) return kNoteFailed;
    StoreLock lock;
    if (!LockGroupStore(kNotesKind, &lock)) return kNoteFailed;
    NoteIndexLists lists;
    if (!LoadNoteIndexLists(group, &lists)) return kNoteFailed;
    int number = FindNoteOfObject(&lists, record);
    FreeNoteIndexLists(&lists);
    int32_t key = NoteObjectKey(record->objectClass, record->index);
    if (number < 0) return CreateNote(group, record, key, t.c_str(), x.c_str(), status);

    NoteHeader header;
    std::string old;
    if (!ReadNoteFile(group, record->categoryBits, number, &header, &old)) return kNoteFailed;
    if (old == x) return kNoteNothingToAdd;
    std::string joined = old.empty() ? x : old + "\r\n" + x;
    if (!WriteNoteFile(group, record->categoryBits, number, &header, joined.c_str()))
        return kNoteFailed;
    return number;
}

int SetNote(int group, ObjectRecord *record, const char *title, const char *text, int32_t status) {
    if (!record) return kNoteFailed;
    StoreLock lock;
    if (!LockGroupStore(kNotesKind, &lock)) return kNoteFailed;
    std::string t = TrimmedNoteText(title), x = TrimmedNoteText(text);
    NoteIndexLists lists;
    if (!LoadNoteIndexLists(group, &lists)) return kNoteFailed;
    int number = FindNoteOfObject(&lists, record);
    FreeNoteIndexLists(&lists);
    int32_t key = NoteObjectKey(record->objectClass, record->index);
    if (number < 0) return CreateNote(group, record, key, t.c_str(), x.c_str(), status);
    if (IsEmptyNote(t, x, status))
        return DeleteNote(group, record, 0) == 1 ? number : kNoteNotChanged;

    // The note keeps its own class, index and category: it stays the note of
    // the object its index entry names.
    NoteHeader header;
    if (!ReadNoteFile(group, record->categoryBits, number, &header, nullptr)) return kNoteNotChanged;
    SetTitle(&header, t);
    header.status = status;
    if (!WriteNoteFile(group, record->categoryBits, number, &header, x.c_str()))
        return kNoteNotChanged;
    return number;
}

int SetNoteStatus(int group, ObjectRecord *record, int32_t status) {
    if (!record) return kNoteFailed;
    StoreLock lock;
    if (!LockGroupStore(kNotesKind, &lock)) return kNoteFailed;
    NoteIndexLists lists;
    if (!LoadNoteIndexLists(group, &lists)) return kNoteFailed;
    int number = FindNoteOfObject(&lists, record);
    FreeNoteIndexLists(&lists);
    int32_t key = NoteObjectKey(record->objectClass, record->index);
    if (number < 0) return CreateNote(group, record, key, "", "", status);
    NoteHeader header;
    std::string text;
    if (!ReadNoteFile(group, record->categoryBits, number, &header, &text)) return kNoteNotChanged;
    header.status = status;
    if (!WriteNoteFile(group, record->categoryBits, number, &header, text.c_str()))
        return kNoteNotChanged;
    return number;
}

int DeleteNote(int group, ObjectRecord *record, int sameClass) {
    if (!record) return 0;
    StoreLock lock;
    if (!LockGroupStore(kNotesKind, &lock)) return 0;
    int originalClass = record->objectClass;
    NoteIndexLists lists;
    if (!LoadNoteIndexLists(group, &lists)) return -1;
    int number = FindNoteOfObject(&lists, record);
    FreeNoteIndexLists(&lists);
    if (number < 0) return 0;
    if (sameClass && record->objectClass != originalClass) return 0;
    std::string folder;
    if (!NoteGroupFolder(group, &folder)) return -1;
    int row = NoteCategoryIndex(record->categoryBits);
    int32_t key = NoteObjectKey(record->objectClass, record->index);

    // A note file already gone counts as deleted: its entry must still go.
    std::string path = NoteFilePathOf(folder.c_str(), row, number);
    if (FsKind(path) >= 0 && !SafeRemove(path.c_str())) return 0;

    std::string indexPath = NoteIndexFilePath(folder.c_str(), row);
    NoteIndexFile index;
    if (!ReadNoteIndex(indexPath, &index)) return 0;
    index.entries.erase(std::remove_if(index.entries.begin(), index.entries.end(),
                                       [key](const NoteIndexEntry &e) { return e.key == key; }),
                        index.entries.end());
    return WriteNoteIndex(indexPath, index) ? 1 : 0;
}

int DeleteNoteByNumber(int group, uint32_t category, int32_t number) {
    NoteHeader header;
    if (!ReadNoteFile(group, category, number, &header, nullptr)) return 0;
    ObjectRecord record;
    NoteRecordFromHeader(&header, &record);
    if (NoteCategoryIndex(record.categoryBits) != NoteCategoryIndex(category))
        record.categoryBits = category;
    return DeleteNote(group, &record, 0) == 1 ? 1 : 0;
}

// ---- note files ----------------------------------------------------------------------

int ReadNoteFile(int group, uint32_t category, int32_t number, NoteHeader *header,
                 std::string *text) {
    if (!header) return 0;
    std::string folder;
    if (!NoteGroupFolder(group, &folder)) return 0;
    int row = NoteCategoryIndex(category);
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    std::string path = NoteFilePathOf(folder.c_str(), row, number);
    std::string body;
    bool changed = false;
    if (!ReadNoteAt(path, header, &body, 1, &changed)) return 0;
    if (changed) {
        // The carried object has another id here now: the note file is
        // rewritten whole with it. A failed rewrite still returns the note
        // with the current id; the next read tries again.
        NoteHeader copy = *header;
        WriteNoteFileAt(path, &copy, body.c_str());
    }
    if (text) *text = std::move(body);
    return 1;
}

int ReadNoteBody(FILE *file, NoteHeader *header, std::string *text, int addObject, int rewrite) {
    if (!file || !header) return 0;
    long start = std::ftell(file);
    bool changed = false;
    if (!ReadNoteBodyChecked(file, header, text, addObject, &changed)) return 0;
    if (changed && rewrite) {
        long end = std::ftell(file);
        NoteHeader copy = *header;
        SetCurrentStamp(&copy.stamp);
        if (end < 0 || std::fseek(file, start, SEEK_SET) != 0 ||
            !SafeWriteAll(file, &copy, sizeof copy) || std::fseek(file, end, SEEK_SET) != 0)
            return 0;
    }
    return 1;
}

int WriteNoteFile(int group, uint32_t category, int32_t number, NoteHeader *header,
                  const char *text) {
    if (!header) return 0;
    StoreLock lock;
    if (!LockGroupStore(kNotesKind, &lock)) return 0;
    std::string folder;
    if (!NoteGroupFolder(group, &folder)) return 0;
    int row = NoteCategoryIndex(category);
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    EnsureNoteIndexFiles(folder.c_str());
    return WriteNoteFileAt(NoteFilePathOf(folder.c_str(), row, number), header, text);
}

int WriteNoteBody(FILE *file, NoteHeader *header, const char *text) {
    if (!file || !header) return 0;
    if (!text) text = "";
    SetCurrentStamp(&header->stamp);
    header->title[kNoteTitleMax] = '\0';
    size_t length = std::strlen(text);
    if (length >= static_cast<size_t>(INT32_MAX)) return 0;
    header->textLength = static_cast<int32_t>(length + 1);
    if (!SafeWriteAll(file, header, sizeof *header)) return 0;
    // Without its user-object block a note of a user class could not be read
    // back (the reader expects the block before the text): refuse it.
    if (IsUserObjectClass(header->objectClass) &&
        !WriteUserObjectData(file, header->objectClass, header->index))
        return 0;
    return SafeWriteAll(file, text, length + 1);
}

int GetNoteFileTime(int group, uint32_t category, int32_t number, FileTimeValue *out) {
    std::string folder;
    if (!out || !NoteGroupFolder(group, &folder)) return 0;
    int row = NoteCategoryIndex(category);
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    return GetFileWriteTime(NoteFilePathOf(folder.c_str(), row, number).c_str(), out);
}

// ---- between groups ------------------------------------------------------------------------

int AppendNoteToGroup(int sourceGroup, int targetGroup, uint32_t category, int32_t number) {
    NoteHeader header;
    std::string text;
    if (!ReadNoteFile(sourceGroup, category, number, &header, &text)) return 1;
    ObjectRecord record;
    NoteRecordFromHeader(&header, &record);
    AppendToNote(targetGroup, &record, header.title, text.c_str(), header.status);
    return 1;
}

namespace {

const int kCopyUnreadable = -2;  // the source note cannot be read
const int kCopyPresent = 2;      // the object has a note in the target group

// Note n of the source group made in the target group unless the object has
// a note there: 1 made, kCopyPresent, kCopyUnreadable, 0 when it could not
// be made, -1 when the target's indexes cannot be read.
int CopyNoteInto(int sourceGroup, int targetGroup, uint32_t category, int32_t number, ObjectRecord *record) {
    NoteHeader header;
    std::string text;
    if (!ReadNoteFile(sourceGroup, category, number, &header, &text)) return kCopyUnreadable;
    NoteRecordFromHeader(&header, record);
    NoteIndexLists lists;
    if (!LoadNoteIndexLists(targetGroup, &lists)) return -1;
    int present = FindNoteOfObject(&lists, record);
    FreeNoteIndexLists(&lists);
    if (present >= 0) return kCopyPresent;
    int32_t key = NoteObjectKey(record->objectClass, record->index);
    return CreateNote(targetGroup, record, key, header.title, text.c_str(), header.status) >= 0 ? 1 : 0;
}

}  // namespace

int CopyNoteToGroup(int sourceGroup, int targetGroup, uint32_t category, int32_t number) {
    StoreLock lock;
    if (!LockGroupStore(kNotesKind, &lock)) return 0;
    ObjectRecord record;
    int r = CopyNoteInto(sourceGroup, targetGroup, category, number, &record);
    return r == kCopyUnreadable ? 0 : r == kCopyPresent ? 1 : r;
}

int MoveNoteToGroup(int sourceGroup, int targetGroup, uint32_t category, int32_t number) {
    if (sourceGroup == targetGroup) return 0;
    StoreLock lock;
    if (!LockGroupStore(kNotesKind, &lock)) return 0;
    ObjectRecord record;
    int r = CopyNoteInto(sourceGroup, targetGroup, category, number, &record);
    if (r != 1) return r == -1 ? -1 : 0;
    return DeleteNote(sourceGroup, &record, 0) == 1 ? 2 : 1;
}

// ---- group-wide and object-wide --------------------------------------------------------------

int ReadGroupNoteKeys(int group, std::vector<NoteKeyEntry> *keys) {
    if (!keys) return 0;
    keys->clear();
    std::string folder;
    if (!NoteGroupFolder(group, &folder)) return 0;
    EnsureNoteIndexFiles(folder.c_str());
    for (int row = 0; row < kCategoryFolderCount; ++row) {
        NoteIndexFile index;
        if (!ReadNoteIndex(NoteIndexFilePath(folder.c_str(), row), &index)) {
            keys->clear();
            return 0;
        }
        for (const NoteIndexEntry &e : index.entries)
            keys->push_back(NoteKeyEntry{NoteCategoryBits(row), e.number, e.key});
    }
    return 1;
}

int MarkUserObjectsWithNotes(int objectClass, uint8_t *marks, int length) {
    if (!IsUserObjectClass(objectClass) || !marks || length < 0) return 0;
    int row = NoteCategoryIndex(ClassCategoryBits(objectClass));
    if (row < 0 || row >= kCategoryFolderCount) return 0;
    GroupRecord *groups = nullptr;
    int count = 0;
    if (!ReadGroupList(kGroupNotes, &groups, &count)) return 0;
    int ok = 1;
    for (int g = 0; g < count && ok; ++g) {
        if (!IsSafeGroupFolder(groups[g].folder)) continue;
        std::string path = NoteIndexFilePath(groups[g].folder, row);
        if (FsKind(path) < 0) continue;  // a group without notes of this category
        NoteIndexFile index;
        if (!ReadNoteIndex(path, &index)) {
            ok = 0;
            break;
        }
        for (const NoteIndexEntry &e : index.entries) {
            if (e.key < 0 || !(static_cast<uint32_t>(e.key) & kUserObjectKeyFlag)) continue;
            int32_t id = static_cast<int32_t>(static_cast<uint32_t>(e.key) & ~kUserObjectKeyFlag);
            if (id >= 0 && id < length) marks[id] = 2;
        }
    }
    FreeGroupList(groups);
    return ok;
}

int RewriteUserObjectNotes(int objectClass, uint32_t category, int32_t id) {
    if (!IsUserObjectClass(objectClass)) return 0;
    StoreLock lock;
    if (!LockGroupStore(kNotesKind, &lock)) return 0;
    GroupRecord *groups = nullptr;
    int count = 0;
    if (!ReadGroupList(kGroupNotes, &groups, &count)) return 0;
    FreeGroupList(groups);
    int rewritten = 0, failed = 0;
    ObjectRecord record;
    ClearObjectRecord(&record);
    record.objectClass = static_cast<uint8_t>(objectClass);
    record.index = id;
    record.categoryBits = category;
    for (int g = 0; g < count; ++g) {
        NoteIndexLists lists;
        if (!LoadNoteIndexLists(g, &lists)) return 0;
        int number = FindNoteInIndexLists(&lists, &record);
        FreeNoteIndexLists(&lists);
        if (number < 0) continue;  // no note in this group: the next may have one
        std::string folder;
        if (!NoteGroupFolder(g, &folder)) return 0;
        int row = NoteCategoryIndex(category);
        std::string path = NoteFilePathOf(folder.c_str(), row, number);
        NoteHeader header;
        std::string text;
        bool changed = false;
        if (!ReadNoteAt(path, &header, &text, 0, &changed)) continue;
        header.objectClass = static_cast<uint8_t>(objectClass);
        header.index = id;
        header.category = category;
        if (WriteNoteFileAt(path, &header, text.c_str()))
            ++rewritten;
        else
            ++failed;
    }
    return rewritten > 0 && failed == 0 ? 1 : 0;
}

int ClassForBrowseIndex(int browseIndex, int userFlag) {
    if (userFlag < 0) return 0;
    int cls = BrowseIndexToClass(browseIndex);
    if (userFlag == 0) return cls;
    switch (cls) {
    case kClassComet:
        return kClassUserComet;
    case kClassMinorPlanet:
        return kClassUserMinorPlanet;
    case kClassStar:
        return kClassUserStar;
    default:
        return kClassUserDeepSky;
    }
}

int CompareNamesNoCase(const char *a, const char *b) {
    if (!a) a = "";
    if (!b) b = "";
    for (;; ++a, ++b) {
        int ca = std::tolower(static_cast<unsigned char>(*a));
        int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb || ca == 0) return ca - cb;
    }
}

std::string TrimmedNoteText(const char *text) {
    std::string s = text ? text : "";
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r' || s.back() == '\n')) s.pop_back();
    return s;
}

void NoteRecordFromHeader(const NoteHeader *header, ObjectRecord *record) {
    ClearObjectRecord(record);
    record->objectClass = header->objectClass;
    record->index = header->index;
    record->categoryBits = header->category;
}

int MakeNotesFolderPath(char *path) {
    std::string p = NotesFolder();
    if (p.empty() || p.size() >= static_cast<size_t>(kNotePathBytes)) return 0;
    std::memcpy(path, p.c_str(), p.size() + 1);
    return 1;
}

void ConvertOldNoteHeader(const OldNoteHeader *old, NoteHeader *header) {
    if (!old || !header) return;
    std::memset(header, 0, sizeof *header);
    std::memcpy(header, old, sizeof *old);
    SetCurrentStamp(&header->stamp);
    header->status = 0;
}
