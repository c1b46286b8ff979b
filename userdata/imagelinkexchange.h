// Image links on their way between computers: the image-links register
// ("image links/registry.bin"), the image link records of exchange files
// (which carry the image file's bytes and, for a plottable image, its plot
// record) and the image links package (kind 4, the link count as the fifth
// count).
//
// Record: LinkRecordHead {class, index}, the user-object block, then per
// link a marker byte (0 ends, 2 a 188-byte plot record follows, any other a
// plain link), int32 n (1..1024) and the line "<path>#<description>\n" with
// its NUL, int32 size and the image file's bytes. The records end with
// {class 0, index -1} (index 0 below version 3000).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/fsys.h"
#include "core/package.h"

struct ObjectRecord;

const int kImageLinksPackageKind = 4;
const uint8_t kImageLinkEnd = 0;
const uint8_t kImageLinkPlain = 1;
const uint8_t kImageLinkWithPlot = 2;

typedef void (*ImageLinkProgressCallback)(int step);

std::string ImageLinksRegistryPath();
int FindRegisteredImageLinksPackage(const char *name, FileTimeValue *created);
int RegisterImageLinksPackage(const char *name, const FileTimeValue *created);

// Copies count bytes from the source stream to the target stream in chunks
// of at most 2,048 bytes. 1 when all were copied.
int CopyFileBytes(FILE *source, FILE *target, int64_t count);

// The number of links written (an image file that cannot be read is left
// out), 0 when the object has none, -1 on a failure.
int WriteObjectImageLinksRecord(FILE *file, int group, const ObjectRecord *record);
int WriteImageLinkRecordsEnd(FILE *file);
// Links added, or -1. An image whose path does not exist here (or that
// comes with a plot record) is stored in the images folder under its file
// name; when a different picture already has that name there, under
// "<name>~<n>.<extension>" instead, and the link and plot record name that
// copy. File names, line lengths and image sizes from the file are checked
// before use. A user object carried in a record is found or added here.
int ReadImageLinkRecords(FILE *file, int imageLinkGroup, int imagesGroupId, const char *imagesFolder,
                         int sourceVersion, int expectedCount, ImageLinkProgressCallback progress);

FILE *CreateImageLinksPackage(const char *path, const char *name, const char *description);
int CloseImageLinksPackage(FILE *file, int linkCount);
// Into the image-link group and the images group named as the package
// (made when absent); images go to imagesFolder, or "images" of the user
// data folder when it is empty.
int ImportImageLinksPackage(const char *imagesFolder, const char *path, PackageHeader *header,
                            std::string *description, ImageLinkProgressCallback progress);
