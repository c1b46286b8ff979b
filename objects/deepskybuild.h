// Object records of the deep-sky classes built from their catalogues:
// galaxies (6), planetary nebulae (8), bright nebulae (9), open clusters (10),
// globular clusters (11), galaxy groups (16), quasars (7) and dark nebulae (17). Each builder finds the
// catalogue entry (by the record's index on a refresh, else by the record's
// designation kind from the number or the text), reads it and fills the
// record; with a site and a date the places follow. The class dispatch calls
// them through the builders of objects/builders.h, one table of per-class
// rules in objects/deepskybuild.cpp.
#pragma once
#include <cstdint>

struct DateRecord;
struct LocationRecord;
struct ObjectRecord;
struct GalaxyRecord;
struct PlanetaryNebulaRecord;
struct BrightNebulaRecord;
struct OpenClusterRecord;
struct GlobularClusterRecord;
struct DarkNebulaRecord;
struct GalaxyGroupRecord;
struct QuasarRecord;

// Record number of the Messier (kind 2), NGC (3) or IC (4) object with the
// given cross-index type code; -1 when there is none (record 0 is a real
// object in the classes numbered from 0).
int LookUpMessierNgcIc(int kind, int number, int suffix, int typeCode);

// The builder of the deep-sky class objectClass (6-11, 16, 17) by its
// rules: (number, text, site, date, extinction, records, refresh) -> records
// filled (galaxies: up to three candidates), 0 when not found. A quasar's
// index is its qso.bin record + 1; a refresh needs an index of 1 or more.
int BuildDeepSkyFromCatalogue(int objectClass, int number, char *text, const LocationRecord *site,
                              const DateRecord *date, double extinction, ObjectRecord *out,
                              int refresh);

// Fill steps: the catalogue values into the record (sizes to radians), then
// the places when site and date are given.
void FillGalaxyObject(const LocationRecord *site, const DateRecord *date, double extinction,
                      ObjectRecord *out, const GalaxyRecord &g);
void FillPlanetaryNebulaObject(const LocationRecord *site, const DateRecord *date, double extinction,
                               ObjectRecord *out, const PlanetaryNebulaRecord &p);
void FillBrightNebulaObject(const LocationRecord *site, const DateRecord *date, double extinction,
                            ObjectRecord *out, const BrightNebulaRecord &n);
void FillOpenClusterObject(const LocationRecord *site, const DateRecord *date, double extinction,
                           ObjectRecord *out, const OpenClusterRecord &o);
void FillGlobularClusterObject(const LocationRecord *site, const DateRecord *date, double extinction,
                               ObjectRecord *out, const GlobularClusterRecord &g);
void FillGalaxyGroupObject(const LocationRecord *site, const DateRecord *date, double extinction,
                           ObjectRecord *out, const GalaxyGroupRecord &g);
void FillQuasarObject(const LocationRecord *site, const DateRecord *date, double extinction,
                      ObjectRecord *out, const QuasarRecord &q);
void FillDarkNebulaObject(const LocationRecord *site, const DateRecord *date, double extinction,
                          ObjectRecord *out, const DarkNebulaRecord &d);
