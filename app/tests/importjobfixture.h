// The import job the tests give the scans and passes: the settings (or a
// path) with a copy of the current format, as step 1 makes it.
#pragma once
#include <cstdio>
#include <string>

#include "app/formatfile.h"
#include "app/importjob.h"

inline ImportJob JobOf(const ImportSettings &settings) {
    ImportJob job;
    MakeImportJob(settings, CurrentImportFormat(), &job);
    return job;
}

inline ImportJob JobOf(const std::string &path) {
    ImportSettings settings = {"", -1};
    std::snprintf(settings.importPath, sizeof settings.importPath, "%s", path.c_str());
    return JobOf(settings);
}

inline ImportJob CurrentJob() { return JobOf(CurrentImportSettings()); }
