// Open-file entries of the web links store (see linkopenfile.h).
#include "userdata/linkopenfile.h"

#include <cstring>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "objects/objectrecord.h"

namespace {

int CopyPath(const std::string &from, char *path, int size) {
    if (!path || size < 1) return 0;
    path[0] = '\0';
    if (from.empty() || from.size() + 1 > static_cast<size_t>(size)) return 0;
    std::memcpy(path, from.c_str(), from.size() + 1);
    return 1;
}

// One line without its CR and LF; false at the end or on a read error. A line
// longer than the store allows is read to its end all the same.
bool NextLine(FILE *file, std::string *line) {
    line->clear();
    char buffer[kLinkLineMax + 2];
    bool any = false;
    while (std::fgets(buffer, sizeof buffer, file)) {
        any = true;
        *line += buffer;
        if (!line->empty() && line->back() == '\n') break;
    }
    if (!any) return false;
    while (!line->empty() && (line->back() == '\n' || line->back() == '\r')) line->pop_back();
    return true;
}

}  // namespace

int MakeLinkIndexPath(const char *groupFolder, uint32_t category, char *path, int size) {
    if (path && size > 0) path[0] = '\0';
    int row = LinkCategoryIndex(category);
    if (!groupFolder || row < 0 || !EnsureLinkIndexFiles(groupFolder)) return 0;
    return CopyPath(LinkIndexFilePath(groupFolder, row), path, size);
}

int MakeLinkFilePath(const char *groupFolder, int objectClass, uint32_t category, int32_t index,
                     char *path, int size) {
    if (path && size > 0) path[0] = '\0';
    int row = LinkCategoryIndex(category);
    if (!groupFolder || row < 0 || !EnsureLinkIndexFiles(groupFolder)) return 0;
    return CopyPath(LinkFilePathOf(groupFolder, row, objectClass, index), path, size);
}

FILE *OpenLinkFile(int group, const ObjectRecord *record) {
    if (!record) return nullptr;
    std::string folder;
    if (!LinkGroupFolder(group, &folder)) return nullptr;
    char path[1024];
    if (!MakeLinkFilePath(folder.c_str(), record->objectClass, record->categoryBits, record->index, path,
                          (int)sizeof path))
        return nullptr;
    LinkFile links;
    if (!FileExists(path)) {
        links.index = record->index;
        links.objectClass = record->objectClass;
        links.category = record->categoryBits;
        if (!WriteLinkFileAt(path, links)) return nullptr;
    }
    // The header must name this object: read and checked by the store.
    if (!ReadLinkFileAt(path, record, &links)) return nullptr;
    FileHandle f(SafeOpen(path, "rb"));
    std::string line;
    for (int i = 0; i < 3; ++i)
        if (!f || !NextLine(f.get(), &line)) return nullptr;
    return f.release();
}

int ReadLinkLine(FILE *file, std::string *url, std::string *description) {
    if (!file) return 0;
    std::string line;
    if (!NextLine(file, &line)) return 0;
    if (!SplitLinkLine(line, url, description)) {
        if (url) url->clear();
        if (description) description->clear();
    }
    return 1;
}

int ReadLinkLineAt(FILE *file, int n, std::string *url, std::string *description) {
    if (!file || n < 0) return 0;
    std::string line;
    for (int i = 0; i <= n; ++i)
        if (!NextLine(file, &line)) return 0;
    return SplitLinkLine(line, url, description);
}

int CompareLinkKeyEntries(const LinkKeyEntry *a, const LinkKeyEntry *b) {
    if (!a || !b) return a ? 1 : (b ? -1 : 0);
    int32_t x = a->key & ~kLinkKeyMarkBit, y = b->key & ~kLinkKeyMarkBit;
    if (x != y) return x < y ? -1 : 1;
    if (a->category != b->category) return a->category < b->category ? -1 : 1;
    return 0;
}
