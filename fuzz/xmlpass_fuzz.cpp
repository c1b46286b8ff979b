// Fuzz target: the tagged-text (XML) import pass over an arbitrary file under
// one of four tag sets, in a scratch user data folder with small stores.
//
// Input: 3 bytes of format, then the log file.
//   0      pass flags (fuzz/passcheck.h): fixed values, final pass, answers
//   1      lines to skip (bits 0-1) and date layout (bits 2-4, 6 and 7 unknown)
//   2      tag set: 0 the "DeepSky" preset; 1 short lower-case names;
//          2 one name "v" for every value (a tag serving several fields);
//          3 the preset with an empty entry tag and no observer tag
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "app/formatfile.h"
#include "app/importpass.h"
#include "fuzz/passcheck.h"

namespace {

void SetTags(ImportFormat *f, const char *const names[15]) {
    char *tags[15] = {f->entryTag, f->siteTag, f->observerTag, f->instrumentTag, f->dateTag,
                      f->timeTag, f->targetTag, f->conditionTags[0], f->conditionTags[1],
                      f->descriptionTag, f->extraTags[0], f->extraTags[1], f->extraTags[2],
                      f->extraTags[3], f->extraTags[4]};
    for (int i = 0; i < 15; ++i) std::snprintf(tags[i], kFormatTagSize, "%s", names[i]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const size_t kPrefix = 3;
    if (size < kPrefix) return 0;
    ImportFormat &f = CurrentImportFormat();
    std::memset(&f, 0, sizeof f);
    LoadBuiltInXmlFormat();
    f.skipLines = data[1] & 3;
    f.dateLayout = (data[1] >> 2) & 7;
    static const char *const kShort[15] = {"obs", "site", "observer", "scope", "date", "time", "object",
                                           "seeing", "sky", "notes", "a", "b", "c", "d", "e"};
    static const char *const kOne[15] = {"entry", "v", "v", "v", "v", "v", "v", "v",
                                         "v", "v", "v", "v", "v", "v", "v"};
    switch (data[2] & 3) {
    case 1: SetTags(&f, kShort); break;
    case 2: SetTags(&f, kOne); break;
    case 3:
        f.entryTag[0] = '\0';
        f.observerTag[0] = '\0';
        break;
    default: break;
    }
    uint8_t flags = data[0];
    fuzz::ApplyFixedFlags(&f, flags);
    fuzz::RunPassAndCheck(RunXmlImportPass, data + kPrefix, size - kPrefix, flags);
    return 0;
}
