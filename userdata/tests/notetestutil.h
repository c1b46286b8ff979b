// A scratch notes store for the notes tests: a user data folder with one
// notes group "Default" at position 0, paths into it, byte helpers and user
// stars to carry in notes.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/grouplist.h"
#include "core/userfolder.h"
#include "minorbodies/usercatalogs.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "testutil/testutil.h"

namespace notetest {

inline int32_t I32(const std::string &bytes, size_t offset) {
    int32_t v = 0;
    if (offset + 4 <= bytes.size()) std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

inline void PutI32(std::string *bytes, int32_t v) {
    bytes->append(reinterpret_cast<const char *>(&v), 4);
}

inline std::string Bytes(const std::string &path) { return testutil::ReadFileBytes(path); }

// A record with class, index and the class's category value.
inline ObjectRecord Obj(int cls, int32_t index) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.objectClass = static_cast<uint8_t>(cls);
    r.index = index;
    r.categoryBits = ClassCategoryBits(cls);
    return r;
}

struct NotesStore {
    testutil::TempDir dir;
    std::string notes;
    std::string folder;  // the "Default" group's folder
    NotesStore() {
        SetUserDataFolder(dir.path().c_str());
        notes = dir.file("notes");
        GroupRecord g;
        AddGroup(kGroupNotes, "Default", &g);
        folder = g.folder;
    }
    ~NotesStore() { SetUserDataFolder(""); }
    std::string NotePathIn(const std::string &group, int row, const std::string &name) const {
        return notes + "/" + group + "/" + CategoryFolderTable[row].name + "/" + name;
    }
    std::string IndexPath(int row) const { return NotePathIn(folder, row, "index.bin"); }
    std::string NotePath(int row, const std::string &name) const {
        return NotePathIn(folder, row, name);
    }
    int32_t AddUserStar(const char *name) {
        FILE *f = OpenUserStarFile(nullptr);
        if (!f) return 0;
        UserStarRecord r;
        std::memset(&r, 0, sizeof r);
        r.rightAscension = 1000 + static_cast<int32_t>(std::strlen(name));
        r.declination = 77;
        std::snprintf(r.name, sizeof r.name, "%s", name);
        int ok = AppendUserStarRecord(f, &r);
        std::fclose(f);
        return ok ? r.id : 0;
    }
    // Overwrites the star record at 0-based position (header: int16 count
    // width + int32 last id is the store's business; found by id instead).
    void ReplaceUserStar(const UserStarRecord &r, int position) {
        std::string path = dir.file("stellar.bin");
        std::string bytes = testutil::ReadFileBytes(path);
        size_t header = bytes.size() - 47 * ((bytes.size() - 6) / 47);
        std::memcpy(&bytes[header + 47 * static_cast<size_t>(position)], &r, sizeof r);
        testutil::WriteFileBytes(path, bytes);
    }
};

}  // namespace notetest
