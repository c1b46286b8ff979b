// The import job: the import file, the format it is read under and the
// settings it was chosen with, as one value. Step 1 makes it when the user
// begins an import; steps 2 and 3 and both passes are given it, so that every
// reader of the file works on the same file under the same format, whatever
// the format editor or the settings hold meanwhile.
#pragma once
#include <memory>

#include "app/formatfile.h"

struct ImportJob {
    ImportSettings settings = {"", -1};          // the import path and the stored format's index
    std::shared_ptr<const ImportFormat> format;  // a copy of the format in force; never null in a made job
};

// Makes a job of a copy of the settings and the format (the path is
// terminated within its field). 1, or 0 when memory runs out (job untouched).
int MakeImportJob(const ImportSettings &settings, const ImportFormat &format, ImportJob *job);
// The job's import path (empty for a job never made).
const char *ImportJobPath(const ImportJob &job);
