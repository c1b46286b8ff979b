// Link records, the links register and links packages (see linkexchange.h).
#include "userdata/linkexchange.h"

#include <cctype>
#include <cstring>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "userdata/linkstore.h"
#include "userdata/packageregistry.h"
#include "userdata/userobjectdata.h"

std::string LinksRegistryPath() {
    std::string links = LinksFolder();
    return links.empty() ? links : links + "/registry.bin";
}

int FindRegisteredLinksPackage(const char *name, FileTimeValue *created) {
    std::string path = LinksRegistryPath();
    return path.empty() ? -1 : FindRegisteredPackage(path.c_str(), name, created);
}

int RegisterLinksPackage(const char *name, const FileTimeValue *created) {
    std::string path = LinksRegistryPath();
    if (path.empty() || !EnsureDirectory(LinksFolder().c_str())) return 0;
    return RegisterPackage(path.c_str(), name, created);
}

int IsExportableLink(const char *line) {
    if (!line) return 0;
    std::string url;
    if (!SplitLinkLine(line, &url, nullptr)) url = line;
    for (char &c : url) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (url.compare(0, 7, "http://") == 0 || url.compare(0, 8, "https://") == 0) {
        for (const char *dynamic : {"cgi", ".pl", "=", "&", "?"})
            if (url.find(dynamic) != std::string::npos) return 0;
        return 1;
    }
    return url.compare(0, 3, "ftp") == 0 ? 1 : 0;
}

int WriteObjectLinksRecord(FILE *file, int group, const ObjectRecord *record) {
    if (!file || !record) return -1;
    ObjectRecord object = *record;
    LinkIndexLists lists;
    if (!LoadLinkIndexLists(group, &lists)) return -1;
    int has = FindLinksOfObject(&lists, &object);
    FreeLinkIndexLists(&lists);
    if (!has) return 0;
    LinkFile links;
    if (!ReadObjectLinks(group, &object, &links)) return -1;
    LinkRecordHead head{object.objectClass, object.index};
    if (!SafeWriteAll(file, &head, sizeof head) ||
        !WriteUserObjectData(file, object.objectClass, object.index))
        return -1;
    int written = 0;
    for (const WebLink &l : links.links) {
        std::string line = l.url + "#" + l.description + "\n";
        if (!IsExportableLink(line.c_str()) || line.size() + 1 > static_cast<size_t>(kExchangeLineMax))
            continue;
        int32_t n = static_cast<int32_t>(line.size() + 1);
        if (!SafeWriteAll(file, &n, 4) || !SafeWriteAll(file, line.c_str(), line.size() + 1)) return -1;
        ++written;
    }
    int32_t end = 0;
    return SafeWriteAll(file, &end, 4) ? written : -1;
}

int WriteLinkRecordsEnd(FILE *file) {
    LinkRecordHead end{0, -1};
    return file && SafeWriteAll(file, &end, sizeof end) ? 1 : 0;
}

int ReadLinkRecords(FILE *file, int group, int sourceVersion, int expectedCount,
                    LinkProgressCallback progress) {
    if (!file) return -1;
    int step = expectedCount / 10;
    if (step < 1) step = 1;
    int counter = 0, added = 0;
    for (;;) {
        LinkRecordHead head;
        if (SafeRead(&head, sizeof head, 1, file) != 1) return -1;
        if (head.index == (sourceVersion < 3000 ? 0 : -1)) break;
        if (head.objectClass == 0 || ClassCategoryBits(head.objectClass) == 0) return -1;
        ObjectRecord record;
        ClearObjectRecord(&record);
        record.objectClass = head.objectClass;
        record.categoryBits = ClassCategoryBits(head.objectClass);
        int32_t local = head.index, category = static_cast<int32_t>(record.categoryBits);
        if (!ReadUserObjectData(file, head.objectClass, &local, &category, sourceVersion, 0, 1))
            return -1;
        record.index = local;
        record.categoryBits = static_cast<uint32_t>(category);
        for (;;) {
            if (++counter >= step) {
                if (progress) progress(10);
                counter = 0;
            }
            int32_t n = 0;
            if (SafeRead(&n, 4, 1, file) != 1) return -1;
            if (n == 0) break;
            long left = BytesLeftInStream(file);
            if (n < 1 || n > kExchangeLineMax || left < 0 || n > left) return -1;
            char line[kExchangeLineMax + 1];
            if (SafeRead(line, 1, static_cast<size_t>(n), file) != static_cast<size_t>(n)) return -1;
            line[n] = '\0';
            if (!IsExportableLink(line)) continue;
            std::string url, description;
            if (!SplitLinkLine(line, &url, &description)) continue;
            ObjectRecord target = record;
            int r = AddObjectLink(group, &target, url.c_str(), description.c_str());
            if (r == 0) return -1;
            if (r == 1) ++added;
        }
    }
    return added;
}

FILE *CreateLinksPackage(const char *path, const char *name, const char *description) {
    return CreatePackageFile(path, kLinksPackageKind, name, description);
}

int CloseLinksPackage(FILE *file, int linkCount) {
    if (!file) return 0;
    const int32_t counts[5] = {0, 0, 0, linkCount, 0};
    PackageHeader header;
    bool ok = WriteLinkRecordsEnd(file) == 1 && FinishPackageCounts(file, counts, &header) == 1 &&
              RegisterLinksPackage(header.name, &header.created) == 1;
    return SafeClose(file) && ok ? 1 : 0;
}

int ImportLinksPackage(const char *path, PackageHeader *header, std::string *description,
                       LinkProgressCallback progress) {
    if (!path || !header) return -1;
    FileHandle file(SafeOpen(path, "rb"));
    if (!file) return -1;
    char *text = nullptr;
    if (!ReadPackageHeader(file.get(), header, &text)) return -1;
    std::string desc = text ? text : "";
    delete[] text;
    header->name[sizeof header->name - 1] = '\0';
    if (!PackageHeaderAccepted(header, kLinksPackageKind) || header->stamp.major < 2) return -1;
    GroupRecord group;
    int position = FindGroupByName(kGroupLinks, header->name, &group);
    if (position < 0) return -1;
    if (position == 0) {
        position = AddGroup(kGroupLinks, header->name, &group);
        if (position < 0) position = -position;
        if (position == 0) return -1;
    }
    int count = ReadLinkRecords(file.get(), position - 1, GetStampVersion(&header->stamp),
                                header->counts[3], progress);
    if (count < 0) return -1;
    RegisterLinksPackage(header->name, &header->created);
    if (description) *description = desc;
    return count;
}
