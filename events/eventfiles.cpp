// Paths, existence and deletion of a site's event files.
#include "events/eventfiles.h"
#include "core/safefile.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "astro/location.h"
#include "core/textutil.h"
#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/userfolder.h"

char *GetEventsFolder(char *buffer, int size) {
    if (!buffer || size <= 0) return buffer;
    if (!MakeUserDataPath(buffer, size, "events")) buffer[0] = '\0';
    return buffer;
}

int MakeEventFilePath(const LocationRecord *site, int calendar, char *buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    if (!site) return 0;
    // The record may come from a file: bound the name by its field.
    char name[sizeof site->name + 1];
    std::memcpy(name, site->name, sizeof site->name);
    name[sizeof site->name] = '\0';
    if (!name[0] || IsReservedDeviceName(name)) return 0;
    EncodeNameForFileName(name);  // a copy: the record keeps the name as typed
    char folder[1024];
    GetEventsFolder(folder, sizeof folder);
    if (!folder[0]) return 0;
    int n = std::snprintf(buffer, size, "%s/%s%s.bin", folder, name, calendar ? "CE" : "");
    if (n < 0 || n >= size) {
        buffer[0] = '\0';
        return 0;
    }
    return 1;
}

int EventFilesExist(const LocationRecord *site) {
    char path[1100];
    if (MakeEventFilePath(site, 0, path, sizeof path) && FsKind(path) == 0) return 1;
    if (MakeEventFilePath(site, 1, path, sizeof path) && FsKind(path) == 0) return 1;
    return 0;
}

int DeleteEventFiles(const LocationRecord *site) {
    char path[1100];
    int ok = 1;
    for (int calendar = 0; calendar <= 1; ++calendar) {
        if (MakeEventFilePath(site, calendar, path, sizeof path) && FsKind(path) == 0 && !SafeRemove(path))
            ok = 0;
    }
    return ok;
}
