// The preview file of the import passes.
#include "app/preview.h"

#include <cstdio>

#include "core/fileutil.h"
#include "core/userfolder.h"

int DeletePreviewFile() {
    char path[1024];
    if (!MakeUserDataPath(path, sizeof path, "gleaner.bin")) return 0;
    if (!FileExists(path)) return 1;
    return std::remove(path) == 0 ? 1 : 0;
}
