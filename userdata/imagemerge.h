// The merge of another computer's image links and plottable images into
// this computer's stores, with the image files they name. Folders the user
// names for images that cannot be found are kept in "image_paths.bin" of
// the user data folder (int32 count, then 1,024-byte NUL-terminated paths)
// and searched in this and later merges.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "userdata/mergequestion.h"

struct DesignationPreferences;
struct ObjectRecord;

// (message, file name, folder out of 1,024 bytes) -> 0 skip this image, 1 a
// folder was chosen, 2 skip every further missing image, 3 cancel the merge.
typedef int (*MissingImageCallback)(const char *message, const char *fileName, char *folder);

const int kMissingSkip = 0;
const int kMissingFolderChosen = 1;
const int kMissingSkipAll = 2;
const int kMissingCancel = 3;
const int kSearchFolderBytes = 1024;

// The state of one merge; the answers hold for the whole merge.
struct ImageLinkMergeContext {
    MergeAnswers links;
    MergeAnswers images;
    bool skipMissing = false;
    std::string otherFolder;
    std::string groupFolder;
    std::string otherImagesFolder;
    int targetLinkGroup = 0;
    int targetImagesGroup = 0;
    bool copyImages = false;
    const DesignationPreferences *prefs = nullptr;
    MergeQuestionCallback ask = nullptr;
    MissingImageCallback missing = nullptr;
    std::vector<std::string> searchFolders;
};

std::string ImageSearchFoldersPath();
// The remembered folders (count checked against the file, each entry
// terminated, duplicates dropped); an unreadable file gives none.
std::vector<std::string> LoadImageSearchFolders();
int SaveImageSearchFolders(const std::vector<std::string> &folders);
// Appends a folder (once) to the context's search folders.
void AddImageSearchFolder(ImageLinkMergeContext *context, const char *folder);

// 1 merged, 0 failed or cancelled.
int MergeOtherComputerImageLinks(const char *otherFolder, int copyImages, int otherVersion,
                                 const DesignationPreferences *prefs, MergeQuestionCallback ask,
                                 MissingImageCallback missing);
int MergeImageLinksGroupFolder(ImageLinkMergeContext *context, int otherVersion);
int MergeImagePlotFolder(ImageLinkMergeContext *context);
// 1 found (path replaced by the file to link), 0 not found, 2 cancel, -1 when
// a copy failed. A folder the user names that lacks the file counts as not
// found.
int ResolveMergedImageFile(ImageLinkMergeContext *context, const ObjectRecord *record,
                           std::string *path, const char *description);
