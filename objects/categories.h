// Small facts about an object class that every per-object store and filter
// needs: user-defined or not, its category value, its class folder, its
// position in the object browser, and the magnitude and sizes with which an
// object is drawn and rated. All pure functions.
#pragma once
#include <cstdint>

struct ObjectRecord;

// 1 for the user-defined classes 12, 13, 14, 15 and 18 (their stored keys
// carry bit 0x40000000), else 0.
int IsUserObjectClass(int objectClass);

// The category value of a class. For stars (class 5) the flags decide:
// multiple -> 0x20; variable then replaces it with 0x40; orbit then adds
// 0x80; nothing -> 0x10. The star builder passes its double-star flag first
// and its variable-star-number flag last, giving 0x10, 0x20, 0x80 or 0xA0.
// The flags are ignored for every other class; unknown classes give 0.
uint32_t ClassCategoryBits(int objectClass, int multiple = 0, int variable = 0, int orbit = 0);

// 1 for classes below 2, 5 to 12 and 15 (places computed once), else 0.
int IsFixedBodyClass(int objectClass);
// 1 for the solar-system classes 2, 3, 4, 13 and 14.
int IsSolarSystemClass(int objectClass);
// IsSolarSystemClass of the record's class; 0 for null.
int IsSolarSystemObject(const ObjectRecord *record);

// Object-browser positions 0-18 and their classes; 0 outside.
const int kBrowseIndexCount = 19;
int BrowseIndexToClass(int browseIndex);
// Class 1 and classes without a position (0, 19, 20, 21, ...) give 0: test
// for class 19 before filing by browse position.
int ClassToBrowseIndex(int objectClass);

// The class folders of the per-object stores: 14 rows of 19-byte names.
const int kCategoryFolderCount = 14;
const int kOldCategoryFolderCount = 13;
const int kCategoryFolderNameSize = 19;
struct CategoryFolder {
    char name[kCategoryFolderNameSize];
    uint32_t category;
};
extern const CategoryFolder CategoryFolderTable[kCategoryFolderCount];
// The older generation's 13 folder names ("major solar system" at row 1,
// "minor planets" at row 3, no "skymarks").
extern const char OldCategoryFolderTable[kOldCategoryFolderCount][kCategoryFolderNameSize];
// Folder row of a category value: the exact bit of a row, else row 4
// ("stars") for any value holding a bit among 0xF0, else -1 (0x40000,
// 0x80000, 0x33F00 and 0 have no folder).
int CategoryFolderIndex(uint32_t category);
// Row of a folder name of either generation (exact match), -1 when none.
int CategoryFolderIndexOfName(const char *name);

// Magnitude and sizes (radians) with which an object is drawn and rated:
// an unknown magnitude (above 90) counts as 15, a size b of 0 as size a; a
// galaxy group takes its brightest member (sizes x 0.8, magnitude - 1), a
// galaxy is shrunk x 0.8 and brightened by 1, an open cluster shrunk x 0.75.
// The steps apply to a category that is exactly that class's bit; a user
// deep-sky object (0x33F00) keeps its own values.
void GetObjectPlotMagnitudeAndSizes(const ObjectRecord *record, double *magnitude, double *sizeA,
                                    double *sizeB);
void GetObjectPlotMagnitude(const ObjectRecord *record, double *magnitude);
