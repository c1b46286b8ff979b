// Paths, existence and renaming of the per-site horizon files.
#include "sites/horizonfile.h"
#include "core/safefile.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/textutil.h"
#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/userfolder.h"

namespace {

// The horizon file path of a site name; "" when there is none to make.
std::string HorizonFilePath(const char *siteName) {
    if (!siteName || !*siteName || IsReservedDeviceName(siteName)) return std::string();
    char folder[1024];
    MakeHorizonFolderPath(folder, sizeof folder);
    if (!folder[0]) return std::string();
    // Encode a copy: the caller's name stays as typed.
    std::vector<char> buffer(siteName, siteName + std::strlen(siteName));
    buffer.push_back('\0');
    EncodeNameForFileName(buffer.data());
    return std::string(folder) + "/" + buffer.data() + ".bin";
}

}  // namespace

char *MakeHorizonFolderPath(char *buffer, int size) {
    if (!buffer || size <= 0) return buffer;
    if (!MakeUserDataPath(buffer, size, "horizons")) buffer[0] = '\0';
    return buffer;
}

int HorizonFileExists(const char *siteName) {
    std::string path = HorizonFilePath(siteName);
    return !path.empty() && FsKind(path) == 0 ? 1 : 0;
}

int RenameHorizonFile(const char *oldName, const char *newName) {
    std::string from = HorizonFilePath(oldName);
    std::string to = HorizonFilePath(newName);
    if (from.empty() || to.empty() || from == to) return 0;
    if (FsKind(from) != 0 || FsKind(to) != -1) return 0;
    return SafeReplace(from.c_str(), to.c_str());
}
