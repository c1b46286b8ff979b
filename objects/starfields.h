// User star fields: a user's own lists of faint stars (magnitudes 13.5 to
// 23) around a place, kept in the user data folder under "starfield": the
// index (index.bin: next field number, field count, one header per field)
// and one file per field ("%05d.bin": its header, then 9-byte star entries).
// After a field is written, the stars that duplicate stars of the deep star
// database are removed from it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

const int kStarFieldNameSize = 46;   // 45 characters and the NUL
const int kStarFieldEntrySize = 9;
// The magnitude code that marks a star for removal; valid stars use 0-254.
const int kStarFieldRemovalMark = 255;
const int kStarFieldHighestCode = 254;
const double kStarFieldFaintest = 23.0;
const double kStarFieldBrightest = 13.5;

#pragma pack(push, 1)
struct StarFieldHeader {
    int32_t number;
    int32_t starCount;
    double brightestMagnitude;  // set when the field is closed
    double rightAscension;      // centre, radians
    double declination;
    double radius;              // radians
    char name[kStarFieldNameSize];
};
struct StarFieldEntry {
    int32_t rightAscension, declination;  // turn fractions
    uint8_t magnitudeCode;                // magnitude = 13.5 + code x 9.5 / 255
};
#pragma pack(pop)
static_assert(sizeof(StarFieldHeader) == 86, "StarFieldHeader is 86 bytes");
static_assert(sizeof(StarFieldEntry) == kStarFieldEntrySize, "a star entry is 9 bytes");

struct StarFieldWalk {
    FILE *index;
    int32_t fieldCount, nextNumber;
    double rightAscension, declination, radius;
    int32_t fieldsRead;
};

// "<user data folder>/starfield" into buffer (size bytes); 0 when unset.
int GetStarFieldFolder(char *buffer, size_t size = 600);
// index.bin positioned after its 8-byte head (created holding two zero
// int32 when missing); null on failure.
FILE *OpenStarFieldIndex(int *count, int *nextNumber);
// The field file opened "r+b" (created empty first when missing); null when
// the folder cannot be made or the file opened.
FILE *OpenStarFieldFile(int number);

// A new field file positioned after its header, or null. The field's number
// is reserved in the index at once (its next number raised), so a field
// abandoned before it is closed never lends its number to the next one; the
// file is created afresh.
FILE *CreateStarField(double rightAscension, double declination, double radius, const char *name);
// 2 for a magnitude outside 13.5-23 (nothing written), else 1 written
// (count raised) or 0. Magnitude 23 takes code 254, the removal mark 255
// being no magnitude.
int AddStarFieldStar(FILE *field, double rightAscension, double declination, double magnitude,
                     int *count);
// Closes the stream, sorts the stars brightest first, rewrites the field
// with its count and brightest magnitude, adds its header to the index, then
// removes the catalogue duplicates; a cancel raised meanwhile deletes the
// field. 1 or 0.
int CloseStarField(FILE *field, int count, int *cancel);
// 1 done (also when nothing was removed), 0 on failure or when cancelled
// (nothing changed).
int RemoveCatalogueStars(int number, int *cancel);
// 1 or 0: the header leaves the index (count lowered, next number kept),
// then the field file is deleted.
int DeleteStarField(int number);

int OpenStarFieldWalk(StarFieldWalk *walk, double rightAscension, double declination, double radius);
// 1 for the next field whose centre lies within the walk's radius plus the
// field's radius; 0 after the last (the stream is closed). name holds 46 bytes.
int NextStarFieldNear(StarFieldWalk *walk, char *name, double *rightAscension, double *declination,
                      double *radius, int *starCount, int *number);
// Closes a walk left before its end.
void CloseStarFieldWalk(StarFieldWalk *walk);

// The magnitude of a code, and the code of a magnitude (-1 out of range).
double StarFieldMagnitude(int code);
int StarFieldCode(double magnitude);
