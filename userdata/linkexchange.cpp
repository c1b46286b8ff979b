// Link records, the links register and links packages (see linkexchange.h).
#include "userdata/linkexchange.h"

#include <cctype>
#include <cstring>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "userdata/groupstore.h"
#include "userdata/linkstore.h"

std::string LinksRegistryPath() { return GroupStoreRegistryPath(kWebLinksKind); }

int FindRegisteredLinksPackage(const char *name, FileTimeValue *created) {
    return FindRegisteredKindPackage(kWebLinksKind, name, created);
}

int RegisterLinksPackage(const char *name, const FileTimeValue *created) {
    return RegisterKindPackage(kWebLinksKind, name, created);
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
    if (!WriteRecordObjectHead(file, object)) return -1;
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

int WriteLinkRecordsEnd(FILE *file) { return WriteRecordsEndHead(file); }

int ReadLinkRecords(FILE *file, int group, int sourceVersion, int expectedCount,
                    LinkProgressCallback progress) {
    if (!file) return -1;
    ProgressTicker ticker(progress, expectedCount);
    int added = 0;
    for (;;) {
        ObjectRecord record;
        int head = ReadRecordObjectHead(file, sourceVersion, &record);
        if (head < 0) return -1;
        if (head == 0) break;
        for (;;) {
            ticker.Tick();
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
    return CreateKindPackage(kWebLinksKind, path, name, description);
}

int CloseLinksPackage(FILE *file, int linkCount) {
    return CloseKindPackage(kWebLinksKind, file, linkCount, WriteLinkRecordsEnd);
}

int ImportLinksPackage(const char *path, PackageHeader *header, std::string *description,
                       LinkProgressCallback progress) {
    return ImportKindPackage(kWebLinksKind, path, header, description,
                             [progress](FILE *file, int group, const PackageHeader &h) {
                                 return ReadLinkRecords(file, group, GetStampVersion(&h.stamp),
                                                        h.counts[kWebLinksKind.countSlot], progress);
                             });
}
