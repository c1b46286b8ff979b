// How the log store identifies the object of an entry: the refresh of an
// object record for a site and time (RefreshObjectRecord of the object
// builders unless another is installed) and the object's first name (its
// first designation in natural catalogue order unless another naming
// function is installed with SetLogObjectServices). Tests install their own
// pair to control identification.
#pragma once
#include "astro/datetime.h"
#include "astro/location.h"
#include "logstore/logrecords.h"
#include "objects/objectrecord.h"

// Rebuilds the record from its class, index and bits for the site and date;
// a catalogue index of -1 afterwards means the object is unknown.
typedef int (*LogObjectRefreshFn)(ObjectRecord *record, double riseSetAltitude,
                                  const LocationRecord *site, const DateRecord *date,
                                  double extinction);
// Writes the object's first name (size bytes); 1 when it has one.
typedef int (*LogObjectNameFn)(const ObjectRecord *record, char *name, int size);

// Null refresh: RefreshObjectRecord. Null name: FormatObjectName in natural order.
void SetLogObjectServices(LogObjectRefreshFn refresh, LogObjectNameFn name);
void RefreshLogObject(ObjectRecord *record, const LocationRecord *site, const DateRecord *date,
                      double extinction);
int NameLogObject(const ObjectRecord *record, char *name, int size);
// The entry's object (its class, index and bits) refreshed for the entry's
// site and time: *date becomes the date at the site that the refresh used
// (local date, delta T and nutation, sidereal times), with the visual
// extinction of its month. The object is unknown when its index is -1.
void RefreshEntryObject(const LogEntry *entry, DateRecord *date, ObjectRecord *object);
