// The format file "gleaner.cfg": the importer's settings block.
#include "app/formatfile.h"

#include <cstdio>
#include <cstring>

#include "core/userfolder.h"

namespace {
ImportSettings g_settings = {"", -1};
const long kSettingsOffset = 4;
}  // namespace

ImportSettings &CurrentImportSettings() { return g_settings; }

int OpenFormatFile() {
    FILE *f = OpenUserDataFile("gleaner.cfg", "rb");
    if (!f) {
        FILE *w = OpenUserDataFile("gleaner.cfg", "wb");
        if (!w) return 0;
        int32_t count = 0;
        std::memset(&g_settings, 0, sizeof g_settings);
        g_settings.selectedFormat = -1;
        bool ok = std::fwrite(&count, 4, 1, w) == 1 &&
                  std::fwrite(&g_settings, sizeof g_settings, 1, w) == 1;
        ok = (std::fclose(w) == 0) && ok;
        if (!ok) return 0;
        f = OpenUserDataFile("gleaner.cfg", "rb");
        if (!f) return 0;
    }
    ImportSettings s;
    bool ok = std::fseek(f, kSettingsOffset, SEEK_SET) == 0 && std::fread(&s, sizeof s, 1, f) == 1;
    std::fclose(f);
    if (!ok) return 0;
    s.importPath[sizeof s.importPath - 1] = '\0';
    g_settings = s;
    return 1;
}

int SaveImportSettings() {
    FILE *f = OpenUserDataFile("gleaner.cfg", "r+b");
    if (!f) return 0;
    bool ok = std::fseek(f, kSettingsOffset, SEEK_SET) == 0 &&
              std::fwrite(&g_settings, sizeof g_settings, 1, f) == 1;
    ok = (std::fclose(f) == 0) && ok;
    return ok ? 1 : 0;
}
