// Name links and designation links. A name link ties a site, observer or
// instrument name as written in an import file to a record of the suite; the
// links live in memory while the program runs and are saved, with the import
// path they were made for, in "gleaner_links.dat", "loc_links.bin",
// "observer_links.bin" and "inst_links.bin" in the user data folder. A
// designation link ties a designation as written to one the suite
// recognises: a line "%s#%s" of "gleaner_des_links.dat".
#pragma once
#include <cstdio>

#include "astro/location.h"
#include "instruments/instrumentrecord.h"
#include "sites/observerstore.h"

const int kLinkNameSize = 66;  // at most 65 characters

#pragma pack(push, 1)
struct LocationLink {
    LocationRecord record;
    char name[kLinkNameSize];
};
struct ObserverLink {
    ObserverRecord record;
    char name[kLinkNameSize];
};
struct InstrumentLink {
    InstrumentRecord record;
    char name[kLinkNameSize];
};
#pragma pack(pop)
static_assert(sizeof(LocationLink) == 232, "LocationLink is 232 bytes");
static_assert(sizeof(ObserverLink) == 150, "ObserverLink is 150 bytes");
static_assert(sizeof(InstrumentLink) == 330218, "InstrumentLink is 330,218 bytes");

// Append one link to the memory table. A name longer than 65 characters is
// kept as its first 65, and a lookup of the long name still finds it.
// 1 on success.
int AddLocationLink(const LocationRecord *record, const char *name);
int AddObserverLink(const ObserverRecord *record, const char *name);
int AddInstrumentLink(const InstrumentRecord *record, const char *name);
// 1 with the record of the first link whose name equals the name exactly
// (case included), else 0.
int FindLocationLink(const char *name, LocationRecord *out);
int FindObserverLink(const char *name, ObserverRecord *out);
int FindInstrumentLink(const char *name, InstrumentRecord *out);
int LocationLinkCount();
int ObserverLinkCount();
int InstrumentLinkCount();

// Writes the four name-link files from memory, each whole through the
// crash-safe layer (a file that cannot be written keeps its earlier content
// and the others are still written); "gleaner_links.dat" names the import
// file the links were made for. 1 when all four were written.
int SaveNameLinks(const char *importPath);
// Reads the three record files; a file that cannot be opened leaves its table
// as it was, a damaged one leaves it empty.
void LoadNameLinks();
// 1 when "gleaner_links.dat" names the import path (case-blind).
int AreNameLinksForImportFile(const char *importPath);
// Deletes "gleaner_links.dat" and empties the three tables.
void ClearNameLinks();
// Empties the three tables (the files stay).
void FreeNameLinkTables();

// The number (from 0, counting only lines holding '#') of the first link whose
// written designation equals the text case-blind, with the replacement copied
// into replacement (512 bytes) when one is asked for; -1 when none.
int FindDesignationLink(FILE *linkFile, const char *designation, char *replacement);
