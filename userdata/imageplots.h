// Plottable images: per images group a plot file "images/<group>/implot.bin"
// listing the images the group places on charts, sorted by file name
// without regard to case, at most one record per name. The image files lie
// in "images" of the user data folder, shared by all groups.
//
// implot.bin: VersionStamp (5), int32 count (5), count 188-byte records (9).
// Readers open the file and read records; every change is made on the
// group's file by id and written whole through the crash-safe layer (a
// deletion keeps the file's length: the bytes after the counted records are
// stale), so a failed step never loses or repeats a placement.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#pragma pack(push, 1)
struct ImagePlotRecord {
    double rightAscension;  // 0   J2000, radians
    double declination;     // 8
    double size;            // 16  angular size, radians
    int32_t width;          // 24  pixels
    int32_t height;         // 28
    double rotation;        // 32  radians
    uint8_t projection;     // 40  chart projection kind (0 taken as 4 by the image layer)
    uint8_t fileType;       // 41  kImageGif ... kImageFits
    uint32_t flags;         // 42  bit 0 shown on charts
    int32_t reserved[3];    // 46  written as 0
    char fileName[65];      // 58  no folder, lower case
    char caption[65];       // 123
};
#pragma pack(pop)
static_assert(sizeof(ImagePlotRecord) == 188, "ImagePlotRecord is 188 bytes");

const int kImagePlotHeaderBytes = 9;
const uint32_t kImagePlotShown = 0x1;
const int kImageGif = 1;
const int kImageBmp = 2;
const int kImageJpeg = 3;
const int kImageFits = 4;
const int kImageFileNameMax = 64;

// "<user folder>/images"; "" when the user folder is not set.
std::string ImagesFolder();
// A file name that stays in the images folder: not empty, at most 64
// characters, not "." or "..", without "/", "\" or ":", not a device name.
bool IsSafeImageFileName(const char *name);

// Makes "images", the group's folder and an empty plot file when the plot
// file is missing; an existing one is never replaced. 1 when it exists.
int CreateImagePlotFile(const char *groupFolder);
// The group's plot file (made when missing) opened for reading at offset 9
// with its count; none when the group or the file cannot be read or the
// count does not fit the file.
FILE *OpenImagePlotFile(int groupId, int *count);
// "<folder>/implot.bin" of another computer or a backup, read only.
FILE *OpenImagePlotFileIn(const char *folder, int *count);
int ReadImagePlotRecord(FILE *file, ImagePlotRecord *out, int index);
int RewindImagePlotFile(FILE *file);
int ReadNextImagePlotRecord(FILE *file, ImagePlotRecord *out);
int GetImagePlotFileName(int groupId, int index, char *name);

// Position from 1 of the record of that name (without regard to case) in
// an open plot file; 0 absent or empty; -1 for no file, an empty name or a
// read error. The records are scanned, so an unsorted foreign file is
// searched whole.
int FindImagePlotRecordInFile(FILE *file, const char *name, ImagePlotRecord *out);
// In the first images group (list order) that holds the name.
int FindImagePlotRecordByName(const char *name, ImagePlotRecord *out, int *groupId);
int FindImagePlotRecordInOtherFolder(const char *otherFolder, const char *name,
                                     ImagePlotRecord *out, int *groupId, std::string *groupName);
// -1 when either is missing, 1 when any field differs, 0 when equal (names
// and captions without regard to case).
int ComparePlotRecords(const ImagePlotRecord *a, const ImagePlotRecord *b);

// Hours, degrees; the flags are left as they are.
void FillImagePlotRecord(ImagePlotRecord *record, const char *fileName, int type,
                         double raHours, double decDegrees, double sizeDegrees, int width,
                         int height, double rotationDegrees, int projection, const char *caption);

// 1 inserted, 2 replaced the record of the same name, 0 on a failure or a
// file name that is not safe, -1 when the group's file cannot be read.
int AddImagePlotRecord(int groupId, ImagePlotRecord *record);
int WriteImagePlotRecordAt(int groupId, ImagePlotRecord *record, int index);
int DeleteImagePlotRecordAt(int groupId, int index, char *name);
// Removes the record; its image file is deleted only when no plot record of
// any group names it any more.
int DeleteImagePlotRecordAndFile(int groupId, int index);
int DeleteAllImagePlotRecords(int groupId);
// Position from 1 in the target, 0 on a failure, a negative index or the
// same group (a move onto itself would drop the record).
int MoveImagePlotRecord(int sourceGroupId, int targetGroupId, int *index);

int SetImagePlotShownAt(int groupId, int index, int shown);
int SetImagePlotShownAtByName(int groupId, int index, int shown);
int SetAllImagePlotsShown(int groupId, int shown);
int SetImagePlotShownByName(int groupId, const char *name, int shown);
int ToggleImagePlotShownByName(int groupId, const char *name);
int ToggleImagePlotShownAt(int groupId, int index);
int IsImagePlotShownByName(int groupId, const char *name);
int IsImagePlotShownAt(int groupId, int index);
