// The object services of the log store (see logobject.h).
#include "logstore/logobject.h"

#include "objects/buildrecord.h"

namespace {
LogObjectRefreshFn g_refresh = nullptr;
LogObjectNameFn g_name = nullptr;
}  // namespace

void SetLogObjectServices(LogObjectRefreshFn refresh, LogObjectNameFn name) {
    g_refresh = refresh;
    g_name = name;
}

void RefreshLogObject(ObjectRecord *record, const LocationRecord *site, const DateRecord *date,
                      double extinction) {
    if (!record) return;
    (g_refresh ? g_refresh : RefreshObjectRecord)(record, 0.0, site, date, extinction);
}

int NameLogObject(const ObjectRecord *record, char *name, int size) {
    if (!record || !name || size <= 0) return 0;
    name[0] = 0;
    if (!g_name) return 0;
    int ok = g_name(record, name, size);
    name[size - 1] = 0;
    return ok && name[0] ? 1 : 0;
}
