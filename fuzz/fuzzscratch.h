// The scratch world of a fuzz target: a user data folder (in memory-backed
// /dev/shm when there is one) that holds small site, observer and instrument
// stores, made once per process, which is also the current folder (the
// passes write their trace file there). The reference catalogues are those of
// a demo installation when GLEANER_FUZZ_DEMO names one, else none (every
// designation is then unrecognised).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

// Makes the folder and its stores on the first call; the same path after.
const std::string &ScratchFolder();
// Writes bytes to "<scratch>/<name>"; false on failure.
bool WriteScratchFile(const char *name, const uint8_t *data, size_t size);
// Names held in the small stores, for seeds and harnesses.
extern const char *const kSiteNames[3];
extern const char *const kObserverNames[2];
extern const char *const kInstrumentNames[2];

// The length of a fixed-size text field, aborting when it holds no NUL.
size_t TerminatedLength(const char *text, size_t size, const char *what);

}  // namespace fuzz
