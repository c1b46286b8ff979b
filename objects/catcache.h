// Packaged catalogue files held in memory. Recognition tries many catalogues
// for every designation, and a text that names nothing walks all of them:
// reading the name lists and indexes from disk each time (an open, a seek and
// a read per entry) made a designation cost a millisecond and more. The whole
// file is read once and kept while its path and last-write time stay the
// same (asked at most once a second), and each lookup builds what it searches (a map of names, a sorted
// list) once per loaded file.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/fileimage.h"

using CatalogueImage = FileImage;

// Catalogue file k (as OpenCatalogueFile names it) in reference slot `slot`,
// read whole; the same image while the file is unchanged, a new one after
// it changed, null when it cannot be read (not there, no slot set). The
// file's write time is asked at most once a second, and at once after the
// reference folders were set again: a change is seen within a second.
std::shared_ptr<const CatalogueImage> CatalogueFileImage(int k, int slot);

// A text folded for case-blind equality (each byte lower-cased the way
// CompareStringsNoCase compares).
std::string FoldCase(const char *text);

// Folded name -> the first entry carrying it.
using FoldedNameMap = std::unordered_map<std::string, int>;

// The binary search of BinarySearchFileRecords (inclusive bounds, the middle
// rounded toward zero) over the image's records of `width` bytes;
// compare(key, record) is the sign of key minus record. The index found, -1
// when absent.
int SearchImageRecords(const CatalogueImage *image, int width, const void *key,
                       int (*compare)(const void *key, const unsigned char *record));
// FindInNameIndex (objects/catfile.h) over a name index held in memory: the
// record number of the entry whose name equals text; -1 when none.
int FindInNameIndexImage(const CatalogueImage *image, int width, const char *text);
