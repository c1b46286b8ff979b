// Runs an import pass on a fuzzed log file in the scratch world and checks
// what it left: the result and the error line, the rows of the memory list,
// and every record of the preview file.
#pragma once
#include <cstddef>
#include <cstdint>

#include "app/formatfile.h"
#include "app/importpass.h"

namespace fuzz {

// Flag byte shared by the pass targets.
enum PassFlags : uint8_t {
    kFixSite = 1,
    kFixObserver = 2,
    kFixInstrument = 4,
    kFinalPass = 8,        // the final pass (adds to the log store) instead of the preview
    kAnswerGoOn = 16,      // a failed add is answered Yes
    kUnterminatedFixed = 32,  // the fixed records' names fill their fields (a damaged file)
    kGarbageFixedSite = 64,   // the fixed site's bytes are all 0xFF (NaN coordinates)
    kGarbageFixedInstrument = 128,  // the fixed instrument's bytes are all 0xFF (counts too)
};

// Sets the fixed flags and fixed records of the format from the flag byte.
void ApplyFixedFlags(ImportFormat *format, uint8_t flags);

using PassFunction = int (*)(const ImportListSink *, const ImportJob &, int, int *);

// Writes the log file, runs the pass over it under the current format (which
// goes through ValidateImportFormat first, as a format read from the format
// file does), checks everything it left and cleans the scratch folder.
// Aborts on a failed check.
void RunPassAndCheck(PassFunction pass, const uint8_t *log, size_t size, uint8_t flags);

}  // namespace fuzz
