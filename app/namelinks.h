// Name links: the memory tables that tie a site, observer or instrument name
// of an import file to a record of the suite's stores.
#pragma once

// Releases the three memory tables and sets their counts to 0.
void FreeNameLinkTables();
