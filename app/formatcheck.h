// The import file checked against the import format before the wizard leaves
// step 1: a file the format cannot read at all is refused there, with what
// did not fit, instead of surfacing as odd designations in step 2 or as "no
// entry" in step 4.
#pragma once
#include <string>

#include "app/importjob.h"

// 1 when the job's file holds at least one entry its format can read. 0 with
// a message naming the file, the format and what did not fit: the file is
// empty (or holds nothing after the lines the format skips); it is tagged
// text under a delimited format or delimited text under a tagged one; no line
// has a field in the format's object column; no element carries the format's
// entry tag; the file cannot be opened.
int CheckImportFileFitsFormat(const ImportJob &job, std::string *message);
