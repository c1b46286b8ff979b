// Recognition of a typed or imported designation ("M31", "NGC 7000",
// "Alpha Cen A", "2P/Encke", "(433) Eros", "HD 12345", "Orion Nebula"): the
// text is normalised, catalogue prefixes and special forms are recognised, and
// otherwise a fixed cascade of classes and designation kinds is walked; each
// candidate is handed to the record builder, and the first candidate that
// builds at least one record wins.
#pragma once

struct DateRecord;
struct LocationRecord;
struct ObjectRecord;

// Longest normalised text kept; longer input is cut to this many characters.
const int kRecognitionWorkLength = 287;
// Longest text handed to a builder (the catalogue comparators and the
// designation lists hold at most 63 characters).
const int kRecognitionAttemptLength = 63;

// One candidate (class, kind, component letter, number, text), as
// BuildObjectRecord takes it; the count of records built.
typedef int (*RecognitionAttempt)(int objectClass, int kind, int second, int number,
                                  const char *text, double riseAltitude,
                                  const LocationRecord *site, const DateRecord *date,
                                  double extinction, ObjectRecord out[3]);

// The text buffer is rewritten in place to the normalised text (or, after an
// internal star number "SI n", to the star's name). The caller gives room for
// max(strlen + 20, 65) characters; no more than that is ever written.
// altitude: radians, the rise/set altitude; site and date may be null;
// extinction: magnitudes per air mass. Returns the number of records built
// (1-3), 0 when nothing matched, -1 for a "Dolidze-Dzimselejsvili" text of
// fewer than 23 characters or a missing NGC cross index.
int IdentifyObjectText(char *text, double altitude, const LocationRecord *site,
                       const DateRecord *date, double extinction, ObjectRecord records[3]);
// The same walk with every candidate handed to `attempt` instead of
// BuildObjectRecord (the object picker's preview and the tests use it).
int IdentifyObjectTextWith(RecognitionAttempt attempt, char *text, double altitude,
                           const LocationRecord *site, const DateRecord *date, double extinction,
                           ObjectRecord records[3]);

// Class code of a deep-sky cross-index type code (0 open cluster ... 7 dark
// nebula); -1 for any other code.
int ClassOfCrossIndexType(int typeCode);
// 1 with the satellite number (from 1) and the planet (4 Mars ... 9 Pluto)
// when the name is a planetary satellite's (case-blind); else 0.
int FindPlanetSatelliteByName(const char *name, int *satellite, int *planet);
// 1 when each of the first n characters (fewer if the text is shorter) is a
// digit or a blank; an empty text gives 1.
int IsDigitsOrBlanks(const char *text, int n);
