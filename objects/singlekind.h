// One chosen kind of designation of an already read catalogue record, with
// its catalogue parts: e.g. a planetary nebula's Henize designation. Every
// member takes the record, a 0-based kind (kind 0 = the family's first kind),
// a text buffer of 65 bytes and optional parts, and answers 1 when a text was
// produced, 0 (empty text) when the record has no designation of that kind,
// -1 for a kind the family does not have. The parts start as a plain name;
// a catalogue designation sets its word, form and numbers.
#pragma once

#include "objects/designationlist.h"

struct StarRecord;
struct GalaxyRecord;
struct GalaxyGroupRecord;
struct QuasarRecord;
struct PlanetaryNebulaRecord;
struct BrightNebulaRecord;
struct DarkNebulaRecord;
struct OpenClusterRecord;
struct GlobularClusterRecord;

int StarDesignationOfKind(const StarRecord *record, int kind, char *text, DesignationParts *parts);
int GalaxyDesignationOfKind(const GalaxyRecord *record, int kind, char *text,
                            DesignationParts *parts);
int PlanetaryNebulaDesignationOfKind(const PlanetaryNebulaRecord *record, int kind, char *text,
                                     DesignationParts *parts);
int BrightNebulaDesignationOfKind(const BrightNebulaRecord *record, int kind, char *text,
                                  DesignationParts *parts);
int DarkNebulaDesignationOfKind(const DarkNebulaRecord *record, int kind, char *text,
                                DesignationParts *parts);
// Kinds 0-56, the open-cluster family's 57 kinds (56 is the OCL number).
int OpenClusterDesignationOfKind(const OpenClusterRecord *record, int kind, char *text,
                                 DesignationParts *parts);
int GlobularClusterDesignationOfKind(const GlobularClusterRecord *record, int kind, char *text,
                                     DesignationParts *parts);
// Kinds 0-2: common name, "ACO %d" (groups 1-4,076), "Hickson %d" (the
// group number less 4,076); the parts carry the plain flag only.
int GalaxyGroupDesignationOfKind(const GalaxyGroupRecord *record, int kind, char *text,
                                 DesignationParts *parts);
// Kinds 0-2: common name, discoverer designation, Hewitt-Burbidge designation.
int QuasarDesignationOfKind(const QuasarRecord *record, int kind, char *text,
                            DesignationParts *parts);
