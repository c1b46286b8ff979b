// Which index files an object belongs in, worked out from its summary rows.
//
// An object is in the class index of its folder while it has any entry, and
// in the night, observer, instrument, site and constellation index of each of
// its entries; there it carries the highest log number among its entries that
// fall into that index (rows are appended in number order, so the entry last
// added). Edits and deletions recompute the files they touch from the rows as
// they will be, so the indexes stay exact also for moving bodies, whose
// entries lie in different constellations, and for objects with entries on
// several nights, sites and instruments.
#pragma once
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "logstore/logrecords.h"
#include "logstore/logundo.h"

// The index keys of one summary row.
struct LogRowKeys {
    int32_t logNumber = -1;
    int32_t night = 0;  // year x 10000 + month x 100 + day of the night
    std::string observer, instrument, site;
    int constellation = -1;  // 0-88, -1 none known
};

// The keys of a row held in memory.
LogRowKeys RowKeysOfSummary(const LogSummary *row);
// The keys of row i of an open summary file (the few fields read in place). 1, or 0.
int ReadRowKeys(FILE *summary, int32_t row, LogRowKeys *keys);
// The keys of every row of the summary file at path: 1 (none for an absent
// file), or 0 when it cannot be read.
int ReadAllRowKeys(const char *path, std::vector<LogRowKeys> *rows);

// The paths of the index files of one row's keys, and of the class index.
std::vector<std::string> IndexPathsOfRow(const LogRowKeys &keys);
// For the object (stored key, class folder) with these rows: the number it
// must carry in each of the given index files, or -1 where it must be absent.
std::map<std::string, int32_t> WantedIndexNumbers(int32_t key, int classFolder,
                                                  const std::vector<LogRowKeys> &rows,
                                                  const std::vector<std::string> &paths);
// Brings each index file to what is wanted for the object; a file left
// without entries is deleted. Every file is remembered in undo before it
// changes. The number of files changed (0 or more), or -1 on failure.
int ApplyIndexNumbers(int32_t key, int classFolder, const std::map<std::string, int32_t> &wanted,
                      LogUndo *undo);
