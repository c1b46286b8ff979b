// The undefined-name scans of wizard step 3: the sites, observers and
// instruments that an import file names and that neither the suite's stores
// nor the name links know, each listed once; whether every entry names (or
// has fixed) its three values; and the records step 3 creates for a listed
// name: a default telescope or binoculars in instr.bin, an observer in
// observer.bin. Portable: the step shows the lists, the tests read them.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "app/entrycompletion.h"
#include "app/importjob.h"
#include "instruments/instrumentrecord.h"
#include "sites/observerstore.h"

// kBlankNameText ("(blank)") stands for an empty site, observer or
// instrument field, as in the pass.

// One listed name: the spelling shown (the first met in the file) and every
// spelling of it the file uses (the lists ignore case, the name links do
// not: a link is made for each spelling).
struct UndefinedName {
    std::string name;
    std::vector<std::string> spellings;
};

// The three lists of the step.
struct UndefinedNameLists {
    std::vector<UndefinedName> instruments;
    std::vector<UndefinedName> sites;
    std::vector<UndefinedName> observers;
    void Clear() {
        instruments.clear();
        sites.clear();
        observers.clear();
    }
    bool Empty() const { return instruments.empty() && sites.empty() && observers.empty(); }
};

// Results of the scans.
const int kScanAllDefined = 0;
const int kScanNoSite = 1;
const int kScanNoObserver = 2;
const int kScanNoInstrument = 3;
const int kScanFailed = -1;

// The scans of the job's file under its format. 0 when every entry names (or
// has fixed) its site, observer and instrument; 1, 2 or 3 for the first entry
// without a site, observer or instrument, in that order (the delimited scan
// leaves the entry's line in the import error line for the caller's
// message; names of the lines before it are listed); -1 with the message in
// the import error line when the file cannot be read or holds a line the
// passes refuse (too long, not text). The scans read what the import passes
// read, through the same line reader (app/importlines.h): fields 0 to 49 of a delimited line by the role
// table, lines of blanks skipped; tags compared case-blind, in the order the
// pass compares them. A store that cannot be opened counts as empty, so its
// names are listed and can be linked or created.
int ScanUndefinedNamesInDelimitedFile(const ImportJob &job, UndefinedNameLists *lists);
int ScanUndefinedNamesInXmlFile(const ImportJob &job, UndefinedNameLists *lists);

// The row of a list whose name equals the text case-blind, or null.
const UndefinedName *FindUndefinedName(const std::vector<UndefinedName> &list, const char *name);

// 1 when the open loc.bin (observer.bin) holds a site (observer) of that
// name, case-blind; 0 also for an empty name or no store.
int IsLocationNameInStore(FILE *store, const char *name);
int IsObserverNameInStore(FILE *store, const char *name);

// Fill the record as a new default telescope (reflector of 1 inch, f/1, on
// an equatorial mounting, with a 6x30 finder) or default binoculars (7x50)
// named name, and append it to instr.bin (made when it does not exist yet);
// the record receives the store's id. 1 when appended.
int CreateDefaultTelescope(InstrumentRecord *record, const char *name);
int CreateDefaultBinoculars(InstrumentRecord *record, const char *name);
// Reads the instrument of that id back from instr.bin (after the telescope or
// binocular dialog may have changed it). 1 when found.
int ReloadInstrumentById(InstrumentRecord *record, int id);
// Takes the instrument with the id out of instr.bin (the one step 3 made for
// a name when the user cancels its dialog). 1 removed; 0 absent or failed.
int RemoveInstrumentById(int id);
// Appends the observer to observer.bin. 1 when appended, 0 when the store
// cannot be opened or written.
int AppendObserverRecord(const ObserverRecord *record);
