// What the observing lists need of the log store: the log section of a list
// transfer file (an object's entries and the end marker, and their import),
// and whether an object is logged, for the list refresh. The lists live a
// floor below the log store, so they take these as call-backs.
#pragma once
#include "logstore/loggedobjects.h"
#include "userdata/listrefresh.h"
#include "userdata/listtransfer.h"

// The log section of list transfer files.
const ListLogSection *LogStoreListSection();

// The logged keys loaded once for a refresh; query points into it.
struct LoggedListQuery {
    LoggedKeySet keys{};
    bool loaded = false;
    LoggedListQuery() = default;
    LoggedListQuery(const LoggedListQuery &) = delete;
    LoggedListQuery &operator=(const LoggedListQuery &) = delete;
    ~LoggedListQuery();
};
// 1 with the query filled; 0 when the keys cannot be loaded.
int BeginLoggedListQuery(LoggedListQuery *source, ListLoggedQuery *query);
