// Name-link memory tables. The tables are filled by the import steps; at
// start-up they are empty, so releasing them is releasing nothing.
#include "app/namelinks.h"

void FreeNameLinkTables() {}
