// The files of the notes store (see notefiles.h).
#include "userdata/notefiles.h"

#include <algorithm>
#include <cstring>

#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "objects/categories.h"
#include "userdata/userobjectdata.h"

namespace {

template <typename T>
void Put(std::string *bytes, const T &value) {
    bytes->append(reinterpret_cast<const char *>(&value), sizeof value);
}

}  // namespace

std::string NotesFolder() {
    const char *root = GetUserDataFolder();
    if (!root || !*root) return std::string();
    return std::string(root) + "/notes";
}

bool IsSafeGroupFolder(const char *name) {
    if (!name || !*name || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
    return std::strpbrk(name, "/\\:") == nullptr;
}

std::string NoteRowFolder(const char *groupFolder, int row) {
    std::string notes = NotesFolder();
    if (notes.empty() || row < 0 || row >= kCategoryFolderCount) return std::string();
    return notes + "/" + groupFolder + "/" + CategoryFolderTable[row].name;
}

std::string NoteIndexFilePath(const char *groupFolder, int row) {
    std::string folder = NoteRowFolder(groupFolder, row);
    return folder.empty() ? folder : folder + "/index.bin";
}

std::string NoteFilePathOf(const char *groupFolder, int row, int32_t number) {
    std::string folder = NoteRowFolder(groupFolder, row);
    if (folder.empty() || number < 0) return std::string();
    char name[32];
    std::snprintf(name, sizeof name, "/%08d.bin", static_cast<int>(number));
    return folder + name;
}

bool NoteGroupFolder(int group, std::string *folder) {
    GroupRecord record;
    if (!GetGroupFolderName(kGroupNotes, &record, group)) return false;
    record.folder[sizeof record.folder - 1] = '\0';
    if (!IsSafeGroupFolder(record.folder)) return false;
    *folder = record.folder;
    return true;
}

int ReadNoteIndex(const std::string &path, NoteIndexFile *index) {
    if (path.empty() || !index) return 0;
    std::string bytes;
    if (!ReadWholeFile(path.c_str(), &bytes)) return 0;
    if (bytes.size() < static_cast<size_t>(kNoteIndexHeaderBytes)) return 0;
    VersionStamp stamp;
    std::memcpy(&stamp, bytes.data(), sizeof stamp);
    if (stamp.magic != kStampMagic || stamp.major < 2) return 0;
    int32_t next = 0, count = 0;
    std::memcpy(&next, bytes.data() + 5, 4);
    std::memcpy(&count, bytes.data() + 9, 4);
    size_t room = (bytes.size() - kNoteIndexHeaderBytes) / sizeof(NoteIndexEntry);
    if (count < 0 || static_cast<size_t>(count) > room || next < 0) return 0;
    index->next = next;
    index->entries.resize(static_cast<size_t>(count));
    if (count > 0)
        std::memcpy(index->entries.data(), bytes.data() + kNoteIndexHeaderBytes,
                    sizeof(NoteIndexEntry) * static_cast<size_t>(count));
    std::stable_sort(index->entries.begin(), index->entries.end(),
                     [](const NoteIndexEntry &a, const NoteIndexEntry &b) { return a.key < b.key; });
    index->old = std::move(bytes);
    return 1;
}

int WriteNoteIndex(const std::string &path, const NoteIndexFile &index) {
    if (path.empty()) return 0;
    std::string bytes;
    VersionStamp stamp;
    SetCurrentStamp(&stamp);
    Put(&bytes, stamp);
    Put(&bytes, index.next);
    Put(&bytes, static_cast<int32_t>(index.entries.size()));
    for (const NoteIndexEntry &e : index.entries) Put(&bytes, e);
    // A deletion leaves the file at its length: the old bytes past the new
    // entries stay (stale, uncounted).
    if (index.old.size() > bytes.size()) bytes.append(index.old, bytes.size(), std::string::npos);
    return WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size());
}

int ReadNoteBodyChecked(FILE *file, NoteHeader *header, std::string *text, int addObject,
                        bool *idChanged) {
    if (idChanged) *idChanged = false;
    if (!file || !header) return 0;
    long start = std::ftell(file);
    if (start < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
    long end = std::ftell(file);
    if (end < 0 || std::fseek(file, start, SEEK_SET) != 0) return 0;
    VersionStamp stamp;
    if (SafeRead(&stamp, sizeof stamp, 1, file) != 1 || std::fseek(file, start, SEEK_SET) != 0)
        return 0;
    if (stamp.magic != kStampMagic || stamp.major < 2) return 0;
    int version = GetStampVersion(&stamp);
    std::memset(header, 0, sizeof *header);
    if (version < 3000) {
        OldNoteHeader old;
        if (SafeRead(&old, sizeof old, 1, file) != 1) return 0;
        ConvertOldNoteHeader(&old, header);
    } else if (SafeRead(header, sizeof *header, 1, file) != 1) {
        return 0;
    }
    header->title[kNoteTitleMax] = '\0';
    if (IsUserObjectClass(header->objectClass)) {
        int32_t id = header->index;
        if (!ReadUserObjectData(file, header->objectClass, &id, nullptr, version, 0, addObject))
            return 0;
        if (id != header->index) {
            header->index = id;
            if (idChanged) *idChanged = true;
        }
    }
    long textStart = std::ftell(file);
    if (textStart < 0 || header->textLength < 0 || header->textLength > end - textStart) return 0;
    if (text) {
        std::string buffer(static_cast<size_t>(header->textLength), '\0');
        if (header->textLength > 0 &&
            SafeRead(&buffer[0], 1, buffer.size(), file) != buffer.size())
            return 0;
        text->assign(buffer.c_str());
    }
    return 1;
}
