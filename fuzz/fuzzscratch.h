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

#include "instruments/instrumentrecord.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"

namespace fuzz {

// Makes the folder and its stores on the first call; the same path after.
const std::string &ScratchFolder();
// Writes bytes to "<scratch>/<name>"; false on failure.
bool WriteScratchFile(const char *name, const uint8_t *data, size_t size);
// Names held in the small stores, for seeds and harnesses.
extern const char *const kSiteNames[3];
extern const char *const kObserverNames[2];
extern const char *const kInstrumentNames[2];

// The stored records (index into the names above), for fixed values of a
// format. The name links "Backyard", "Annie" and "Big Dob" lead to record 0
// of each store; the designation link file links "Andromeda Nebula" to "M31".
const LocationRecord &StoredSite(int i);
const ObserverRecord &StoredObserver(int i);
const InstrumentRecord &StoredInstrument(int i);

// Removes every file of the scratch folder that the stores and links above
// do not need (preview file, log store, trace file, inputs).
void CleanScratch();

// The length of a fixed-size text field, aborting when it holds no NUL.
size_t TerminatedLength(const char *text, size_t size, const char *what);

}  // namespace fuzz
