// The package register (see packageregistry.h).
#include "userdata/packageregistry.h"

#include <cstring>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/safefile.h"
#include "userdata/notestore.h"

namespace {

std::string CutName(const char *name) {
    std::string s = name ? name : "";
    if (s.size() > static_cast<size_t>(kRegistryNameMax)) s.resize(kRegistryNameMax);
    return s;
}

// 1 with the entries (none for a missing register), 0 when it cannot be read
// or its count does not fit its size.
int ReadRegister(const char *path, std::vector<PackageRegistryEntry> *entries) {
    entries->clear();
    if (!FileExists(path)) return 1;
    std::string bytes;
    if (!ReadWholeFile(path, &bytes) || bytes.size() < 4) return 0;
    int32_t count = 0;
    std::memcpy(&count, bytes.data(), 4);
    if (count < 0 || static_cast<size_t>(count) > (bytes.size() - 4) / sizeof(PackageRegistryEntry))
        return 0;
    entries->resize(static_cast<size_t>(count));
    if (count) std::memcpy(entries->data(), bytes.data() + 4, sizeof(PackageRegistryEntry) * count);
    for (PackageRegistryEntry &e : *entries) e.name[sizeof e.name - 1] = '\0';
    return 1;
}

int Find(const std::vector<PackageRegistryEntry> &entries, const std::string &name) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (CompareNamesNoCase(CutName(entries[i].name).c_str(), name.c_str()) == 0)
            return static_cast<int>(i);
    return -1;
}

}  // namespace

int FindRegisteredPackage(const char *registryPath, const char *name, FileTimeValue *created) {
    if (!registryPath || !name) return -1;
    std::vector<PackageRegistryEntry> entries;
    if (!ReadRegister(registryPath, &entries)) return -1;
    int at = Find(entries, CutName(name));
    if (at >= 0 && created) *created = entries[static_cast<size_t>(at)].created;
    return at;
}

int RegisterPackage(const char *registryPath, const char *name, const FileTimeValue *created) {
    if (!registryPath || !name || !created) return 0;
    std::vector<PackageRegistryEntry> entries;
    if (!ReadRegister(registryPath, &entries)) return 0;
    std::string cut = CutName(name);
    int at = Find(entries, cut);
    if (at < 0) {
        PackageRegistryEntry e;
        std::memset(&e, 0, sizeof e);
        std::memcpy(e.name, cut.data(), cut.size());
        entries.push_back(e);
        at = static_cast<int>(entries.size()) - 1;
    }
    entries[static_cast<size_t>(at)].created = *created;
    std::string bytes(4, '\0');
    int32_t count = static_cast<int32_t>(entries.size());
    std::memcpy(&bytes[0], &count, 4);
    bytes.append(reinterpret_cast<const char *>(entries.data()),
                 entries.size() * sizeof(PackageRegistryEntry));
    return WriteWholeFileSafely(registryPath, bytes.data(), bytes.size());
}
