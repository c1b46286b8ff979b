// Windows start-up of the string table: texts come from the module's
// STRINGTABLE resource.
#include <windows.h>

#include "core/resstrings.h"

namespace {
HINSTANCE g_instance = nullptr;

int LoadFromModule(int id, char *buffer, int size) {
    return LoadStringA(g_instance, (UINT)id, buffer, size);
}
}  // namespace

void InitResources(void *instance) {
    g_instance = (HINSTANCE)instance;
    SetStringResourceLoader(g_instance ? LoadFromModule : nullptr);
}
