// The merge of another computer's image links and images (see imagemerge.h).
#include "userdata/imagemerge.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "userdata/groupstore.h"
#include "userdata/imagelinks.h"
#include "userdata/imageplots.h"
#include "userdata/linkfiles.h"
#include "userdata/notebackup.h"
#include "userdata/notefiles.h"
#include "userdata/notestore.h"
#include "userdata/storebackup.h"
#include "userdata/storepaths.h"
#include "userdata/userobjectdata.h"

namespace {

// Brings an incoming picture into this computer's images folder under its
// name: copied when absent; when present and different, only when the
// incoming one is later and the answer is replace. 1 done (or kept), 0 when
// a copy failed. The local path goes to local.
int TakePicture(ImageLinkMergeContext *c, const std::string &source, const std::string &name,
                std::string *local) {
    std::string images = ImagesFolder();
    if (images.empty() || !EnsureDirectory(images.c_str())) return 0;
    *local = images + "/" + name;
    if (FsKind(source) != 0) return 1;  // a missing source passes
    bool copy = false;
    if (FsKind(*local) < 0) {
        copy = true;
    } else if (!SameFileBytes(source, *local) && IncomingFileIsNewer(source, *local)) {
        char question[512];
        std::snprintf(question, sizeof question, "The image %s is newer than the one present.",
                      name.c_str());
        copy = AskMergeReplace(&c->images, c->ask, question);
    }
    if (!copy) return 1;
    return CopyFileKeepTime(source.c_str(), local->c_str()) == 1 ? 1 : 0;
}

// Older generation: plain files of a folder into the images folder
// (lower-cased names), never over a different picture.
int CopyOldPictures(ImageLinkMergeContext *c, const std::string &from) {
    std::vector<FsEntry> entries;
    if (!FsListFolder(from, entries)) return 1;
    for (const FsEntry &e : entries) {
        if (e.isFolder || e.isLink || IsStoreFileNamed(e.name, ".dat") ||
            CompareNamesNoCase(e.name.c_str(), "implot.bin") == 0)
            continue;
        std::string name = LowerCased(e.name), local;
        if (!IsSafeImageFileName(name.c_str())) continue;
        if (!TakePicture(c, from + "/" + e.name, name, &local)) return 0;
    }
    return 1;
}

}  // namespace

std::string ImageSearchFoldersPath() {
    const char *root = GetUserDataFolder();
    if (!root || !*root) return std::string();
    return std::string(root) + "/image_paths.bin";
}

std::vector<std::string> LoadImageSearchFolders() {
    std::vector<std::string> folders;
    std::string bytes;
    std::string path = ImageSearchFoldersPath();
    if (path.empty() || FsKind(path) != 0 || !ReadWholeFile(path.c_str(), &bytes) || bytes.size() < 4)
        return folders;
    int32_t count = 0;
    std::memcpy(&count, bytes.data(), 4);
    if (count < 0 || static_cast<size_t>(count) > (bytes.size() - 4) / kSearchFolderBytes) return folders;
    for (int32_t i = 0; i < count; ++i) {
        const char *entry = bytes.data() + 4 + static_cast<size_t>(i) * kSearchFolderBytes;
        std::string folder(entry, strnlen(entry, kSearchFolderBytes - 1));
        bool known = folder.empty();
        for (const std::string &f : folders) known = known || CompareNamesNoCase(f.c_str(), folder.c_str()) == 0;
        if (!known) folders.push_back(folder);
    }
    return folders;
}

int SaveImageSearchFolders(const std::vector<std::string> &folders) {
    std::string path = ImageSearchFoldersPath();
    if (path.empty()) return 0;
    std::string bytes(4, '\0');
    int32_t count = 0;
    for (const std::string &f : folders) {
        if (f.empty() || f.size() >= static_cast<size_t>(kSearchFolderBytes)) continue;
        std::string entry(kSearchFolderBytes, '\0');
        std::memcpy(&entry[0], f.data(), f.size());
        bytes += entry;
        ++count;
    }
    std::memcpy(&bytes[0], &count, 4);
    return WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size());
}

void AddImageSearchFolder(ImageLinkMergeContext *context, const char *folder) {
    if (!context || !folder || !*folder || std::strlen(folder) >= static_cast<size_t>(kSearchFolderBytes))
        return;
    for (const std::string &f : context->searchFolders)
        if (CompareNamesNoCase(f.c_str(), folder) == 0) return;
    context->searchFolders.push_back(folder);
}

int ResolveMergedImageFile(ImageLinkMergeContext *c, const ObjectRecord *record, std::string *path,
                           const char *description) {
    (void)record;
    (void)description;
    if (!c || !path) return 0;
    std::string name = FileNameOfPath(*path);
    if (!IsSafeImageFileName(name.c_str())) return 0;
    std::string found;
    if (FsKind(*path) == 0) {
        found = *path;
    } else if (FsKind(c->otherImagesFolder + "/" + name) == 0) {
        found = c->otherImagesFolder + "/" + name;
    } else {
        for (const std::string &folder : c->searchFolders)
            if (FsKind(folder + "/" + name) == 0) {
                found = folder + "/" + name;
                break;
            }
    }
    if (found.empty() && !c->skipMissing && c->missing) {
        char message[512];
        std::snprintf(message, sizeof message, "The image %s can't be found.", name.c_str());
        char folder[kSearchFolderBytes] = "";
        int answer = c->missing(message, name.c_str(), folder);
        folder[kSearchFolderBytes - 1] = '\0';
        if (answer == kMissingCancel) return 2;
        if (answer == kMissingSkipAll) {
            c->skipMissing = true;
            return 0;
        }
        if (answer == kMissingFolderChosen) {
            AddImageSearchFolder(c, folder);
            std::string candidate = std::string(folder) + "/" + name;
            if (FsKind(candidate) == 0) found = candidate;  // else: not found, the merge goes on
        }
    }
    if (found.empty()) {
        std::string local = ImagesFolder() + "/" + LowerCased(name);
        if (FsKind(local) != 0) return 0;
        *path = local;
        return 1;
    }
    if (!c->copyImages) {
        *path = found;
        return 1;
    }
    std::string local;
    if (!TakePicture(c, found, LowerCased(name), &local)) return -1;
    *path = local;
    return 1;
}

int MergeImageLinksGroupFolder(ImageLinkMergeContext *c, int otherVersion) {
    if (!c) return 0;
    GroupRecord target;
    if (!ReadGroup(kGroupImageLinks, &target, c->targetLinkGroup)) return 0;
    target.name[sizeof target.name - 1] = '\0';
    std::string targetFolder;
    if (!ImageLinkGroupFolder(c->targetLinkGroup, &targetFolder)) return 0;
    StoreLock lock;
    if (!LockGroupStore(kImageLinksKind, &lock)) return 0;
    std::string users = OtherUserFiles(c->otherFolder);
    return ForEachObjectFile(c->groupFolder, ".dat", false, [&](const std::string &file) {
        LinkFile incoming;
        if (!LinkStoreReadFile(kImageLinkShape, file, nullptr, &incoming)) return 0;
        ObjectRecord record;
        LinkFileRecord(incoming, &record);
        int32_t id = record.index;
        if (!RemapUserObjectId(nullptr, users.c_str(), record.objectClass, &id, otherVersion)) return 1;
        record.index = id;
        LinkIndexLists lists;
        if (!LoadImageLinkIndexLists(c->targetLinkGroup, &lists)) return 0;
        int has = FindImageLinksOfObject(&lists, &record);
        FreeImageLinkIndexLists(&lists);
        // Kept links need no pictures: nothing is resolved or copied.
        if (has && (!IncomingFileIsNewer(file, ImageLinkFilePathOf(targetFolder.c_str(),
                                                                   ImageLinkCategoryIndex(record.categoryBits),
                                                                   record.objectClass, record.index)) ||
                    !AskReplaceObject(&c->links, c->ask,
                                      "The image links in the %s group for %s are newer than the ones present.",
                                      target.name, record, c->prefs)))
            return 1;
        for (const WebLink &l : incoming.links) {
            std::string resolved = l.url;
            int r = ResolveMergedImageFile(c, &record, &resolved, l.description.c_str());
            if (r == 2 || r < 0) return 0;
            if (r == 0) continue;
            ObjectRecord linked = record;
            if (has) DeleteImageLink(c->targetLinkGroup, &linked, l.url.c_str());
            linked = record;
            if (AddObjectImageLink(c->targetLinkGroup, &linked, resolved.c_str(), l.description.c_str()) == 0)
                return 0;
        }
        return 1;
    });
}

int MergeImagePlotFolder(ImageLinkMergeContext *c) {
    if (!c) return 0;
    std::string otherPlot = c->groupFolder + "/implot.bin";
    if (FsKind(otherPlot) < 0) return 1;  // a group that never placed an image
    int count = 0;
    FileHandle plot(OpenImagePlotFileIn(c->groupFolder.c_str(), &count));
    if (!plot) return 0;
    for (int i = 0; i < count; ++i) {
        ImagePlotRecord incoming;
        if (!ReadImagePlotRecord(plot.get(), &incoming, i)) return 0;
        std::string name = LowerCased(incoming.fileName);
        if (!IsSafeImageFileName(name.c_str())) continue;
        ImagePlotRecord present;
        int groupId = 0;
        std::string local;
        if (FindImagePlotRecordByName(name.c_str(), &present, &groupId) > 0) {
            if (ComparePlotRecords(&present, &incoming) == 1) {
                // Only a placement from a later plot file may replace this one.
                int hereCount = 0;
                FileHandle here(OpenImagePlotFile(groupId, &hereCount));
                GroupRecord group;
                bool newer = false;
                if (here && FindGroupById(kGroupImages, groupId, &group) > 0) {
                    group.folder[sizeof group.folder - 1] = '\0';
                    newer = IncomingFileIsNewer(otherPlot, ImagesFolder() + "/" + group.folder + "/implot.bin");
                }
                here.reset();
                char question[512];
                std::snprintf(question, sizeof question,
                              "The plottable image data for %s is newer than the one present.", name.c_str());
                if (newer && AskMergeReplace(&c->images, c->ask, question) &&
                    AddImagePlotRecord(groupId, &incoming) <= 0)
                    return 0;
            }
        } else if (AddImagePlotRecord(c->targetImagesGroup, &incoming) <= 0) {
            return 0;
        }
        if (!TakePicture(c, c->otherImagesFolder + "/" + incoming.fileName, name, &local)) return 0;
    }
    return 1;
}

int MergeOtherComputerImageLinks(const char *otherFolder, int copyImages, int otherVersion,
                                 const DesignationPreferences *prefs, MergeQuestionCallback ask,
                                 MissingImageCallback missing) {
    if (!otherFolder) return 0;
    ImageLinkMergeContext c;
    c.otherFolder = otherFolder;
    c.otherImagesFolder = c.otherFolder + "/images";
    c.copyImages = copyImages != 0;
    c.prefs = prefs;
    c.ask = ask;
    c.missing = missing;
    if (FsKind(c.otherImagesFolder) != 1) return 0;
    std::string otherLinks = c.otherFolder + "/image links";
    // A kill part way leaves both stores as they were before the merge.
    StoreChange change;
    if (!BeginStoreChange(&change, {&kImageLinksKind, &kImagesKind})) return 0;
    if (otherVersion >= 3000) {
        if (FsKind(otherLinks) != 1 || FsKind(otherLinks + "/groups.bin") != 0) return 0;
        c.searchFolders = LoadImageSearchFolders();
        size_t known = c.searchFolders.size();
        GroupRecord *groups = nullptr;
        int count = 0;
        if (!ReadGroupListIn(otherLinks.c_str(), &groups, &count)) return 0;
        std::vector<GroupRecord> list(groups, groups + count);
        FreeGroupList(groups);
        int result = 1;
        for (GroupRecord &g : list) {
            g.name[sizeof g.name - 1] = '\0';
            g.folder[sizeof g.folder - 1] = '\0';
            int target = IsSafeGroupFolder(g.folder) ? StoreGroupPositionByName(kGroupImageLinks, g.name) : -1;
            c.groupFolder = otherLinks + "/" + g.folder;
            c.targetLinkGroup = target;
            if (target < 0 || !MergeImageLinksGroupFolder(&c, otherVersion)) {
                result = 0;
                break;
            }
        }
        if (result) {
            if (!ReadGroupListIn(c.otherImagesFolder.c_str(), &groups, &count)) {
                result = 0;
                count = 0;
            }
            std::vector<GroupRecord> imageGroups(groups, groups + count);
            FreeGroupList(groups);
            for (GroupRecord &g : imageGroups) {
                g.name[sizeof g.name - 1] = '\0';
                g.folder[sizeof g.folder - 1] = '\0';
                int at = IsSafeGroupFolder(g.folder) ? StoreGroupPositionByName(kGroupImages, g.name) : -1;
                GroupRecord here;
                if (at < 0 || !ReadGroup(kGroupImages, &here, at)) {
                    result = 0;
                    break;
                }
                c.targetImagesGroup = here.id;
                c.groupFolder = c.otherImagesFolder + "/" + g.folder;
                if (!MergeImagePlotFolder(&c)) {
                    result = 0;
                    break;
                }
            }
        }
        // The folders the user named are kept, also after a cancelled merge.
        if (c.searchFolders.size() > known) SaveImageSearchFolders(c.searchFolders);
        return result;
    }

    // The older generation: pictures, each old category's links into the
    // import group (links already there stay), then the plot file.
    if (!CopyOldPictures(&c, c.otherImagesFolder)) return 0;
    int group = StoreGroupPositionByName(kGroupImageLinks, kImportedGroupName);
    GroupRecord record;
    if (group < 0 || !ReadGroup(kGroupImageLinks, &record, group)) return 0;
    std::string users = OtherUserFiles(c.otherFolder);
    for (int row = 0; row < kOldCategoryFolderCount; ++row) {
        if (!CreateImageLinkIndexFile(record.folder, row)) return 0;
        std::string from = c.otherImagesFolder + "/" + OldCategoryFolderTable[row];
        if (!CopyOldPictures(&c, from)) return 0;
        for (const std::string &name : StoreFilesIn(from, ".dat")) {
            LinkFile file;
            if (!LinkStoreReadFile(kImageLinkShape, from + "/" + name, nullptr, &file)) return 0;
            ObjectRecord object;
            LinkFileRecord(file, &object);
            int32_t id = object.index;
            if (!RemapUserObjectId(nullptr, users.c_str(), object.objectClass, &id, otherVersion)) return 0;
            object.index = id;
            for (const WebLink &l : file.links) {
                std::string target = l.url;
                if (FsKind(target) != 0) {
                    std::string local, name2 = LowerCased(FileNameOfPath(l.url));
                    std::string source = c.otherImagesFolder + "/" + FileNameOfPath(l.url);
                    if (!IsSafeImageFileName(name2.c_str()) || FsKind(source) != 0) continue;
                    if (!TakePicture(&c, source, name2, &local)) return 0;
                    target = local;
                }
                ObjectRecord linked = object;
                if (AddObjectImageLink(group, &linked, target.c_str(), l.description.c_str()) == 0) return 0;
            }
        }
    }
    if (!RepairImageLinkIndexes(group)) return 0;
    int at = StoreGroupPositionByName(kGroupImages, kImportedGroupName);
    GroupRecord imagesGroup;
    if (at < 0 || !ReadGroup(kGroupImages, &imagesGroup, at)) return 0;
    c.targetImagesGroup = imagesGroup.id;
    c.groupFolder = c.otherImagesFolder;
    if (FsKind(c.groupFolder + "/implot.bin") != 0) return 1;
    return MergeImagePlotFolder(&c);
}
