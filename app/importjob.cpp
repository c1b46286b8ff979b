// Making the import job.
#include "app/importjob.h"

#include <cstring>
#include <new>

int MakeImportJob(const ImportSettings &settings, const ImportFormat &format, ImportJob *job) {
    if (!job) return 0;
    std::shared_ptr<ImportFormat> copy(new (std::nothrow) ImportFormat);
    if (!copy) return 0;
    std::memcpy(copy.get(), &format, sizeof format);
    job->settings = settings;
    job->settings.importPath[sizeof job->settings.importPath - 1] = '\0';
    job->format = copy;
    return 1;
}

const char *ImportJobPath(const ImportJob &job) { return job.format ? job.settings.importPath : ""; }
