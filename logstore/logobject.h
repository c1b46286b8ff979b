// How the log store identifies the object of an entry: the refresh of an
// object record for a site and time, and the object's first name. These come
// from the object builders; the application installs them once at start-up
// with SetLogObjectServices. Until they are installed, a record is kept as its
// class code, catalogue index and category bits give it, with no constellation
// (255) and no name.
#pragma once
#include "astro/datetime.h"
#include "astro/location.h"
#include "objects/objectrecord.h"

// Rebuilds the record from its class, index and bits for the site and date;
// a catalogue index of -1 afterwards means the object is unknown.
typedef void (*LogObjectRefreshFn)(ObjectRecord *record, double riseSetAltitude,
                                   const LocationRecord *site, const DateRecord *date,
                                   double extinction);
// Writes the object's first name (size bytes); 1 when it has one.
typedef int (*LogObjectNameFn)(const ObjectRecord *record, char *name, int size);

void SetLogObjectServices(LogObjectRefreshFn refresh, LogObjectNameFn name);
void RefreshLogObject(ObjectRecord *record, const LocationRecord *site, const DateRecord *date,
                      double extinction);
int NameLogObject(const ObjectRecord *record, char *name, int size);
