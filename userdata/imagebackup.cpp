// Backup and restore of the image links and images stores (see
// imagebackup.h).
#include "userdata/imagebackup.h"

#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "userdata/imagelinks.h"
#include "userdata/imageplots.h"
#include "userdata/linkfiles.h"
#include "userdata/notebackup.h"
#include "userdata/notefiles.h"
#include "userdata/notestore.h"
#include "userdata/storebackup.h"
#include "userdata/storepaths.h"

const char kBackupNamesFile[] = "backup_names.txt";

namespace {

std::string ParentOf(const std::string &path) {
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The images of one backup: which name each original path got.
struct BackupImages {
    std::string root;
    std::map<std::string, std::string> renamed;  // lower-case path -> stored name
};

// Copies a picture into the backup's images root under its name, or under a
// name of its own when another picture holds that name. 1 copied or there
// already, 0 failed, 2 missing (passes).
int CopyPicture(BackupImages *images, const std::string &source) {
    if (FsKind(source) != 0) return 2;
    std::string name = FileNameOfPath(source);
    if (!IsSafeImageFileName(name.c_str())) return 2;
    std::string target = images->root + "/" + name;
    if (FsKind(target) == 0) {
        if (SameFileBytes(source, target)) return 1;
        size_t dot = name.find_last_of('.');
        std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
        std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
        for (int n = 1;; ++n) {
            if (n >= 1000) return 0;
            std::string candidate = stem + "~" + std::to_string(n) + ext;
            target = images->root + "/" + candidate;
            if (FsKind(target) == 0 && SameFileBytes(source, target)) break;
            if (FsKind(target) < 0) break;
        }
        images->renamed[LowerCased(source)] = FileNameOfPath(target);
        if (FsKind(target) == 0) return 1;
    }
    int r = CopyFileKeepTime(source.c_str(), target.c_str());
    return r == 2 ? 2 : r;
}

std::map<std::string, std::string> ReadRenamed(const std::string &imagesRoot) {
    std::map<std::string, std::string> renamed;
    std::string text;
    if (!ReadWholeFile((imagesRoot + "/" + kBackupNamesFile).c_str(), &text)) return renamed;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t hash = line.find('#');
        if (hash != std::string::npos) {
            std::string name = line.substr(0, hash);
            if (IsSafeImageFileName(name.c_str())) renamed[LowerCased(line.substr(hash + 1))] = name;
        }
        start = end + 1;
    }
    return renamed;
}

std::vector<GroupRecord> Chosen(int kind, int only, bool *ok) {
    std::vector<GroupRecord> chosen;
    GroupRecord *groups = nullptr;
    int count = 0;
    *ok = ReadGroupList(kind, &groups, &count) == 1 && only < count;
    for (int g = 0; g < count; ++g)
        if (only < 0 || g == only) chosen.push_back(groups[g]);
    FreeGroupList(groups);
    for (GroupRecord &g : chosen) {
        g.folder[sizeof g.folder - 1] = '\0';
        if (!IsSafeGroupFolder(g.folder)) *ok = false;
    }
    return chosen;
}

int RollBack(const std::string &links, const std::string &images, const std::string &safeLinks,
             const std::string &safeImages) {
    bool ok = (DeleteTree(links.c_str()) == 1 || FsKind(links) < 0) &&
              (DeleteTree(images.c_str()) == 1 || FsKind(images) < 0) &&
              CopyTree(safeLinks.c_str(), links.c_str()) && CopyTree(safeImages.c_str(), images.c_str());
    if (!ok) return -1;
    DeleteTree(safeLinks.c_str());
    DeleteTree(safeImages.c_str());
    return 0;
}

// The file a restored link names: its own path when the picture is there;
// else the backup's copy written back to the path (only into a folder that
// exists) or, failing that, into the images folder; else the path as stored.
bool RestoredTarget(const std::string &path, const std::string &imagesSource,
                    const std::map<std::string, std::string> &renamed, std::string *target) {
    *target = path;
    if (FsKind(path) == 0) return true;
    auto it = renamed.find(LowerCased(path));
    std::string name = it != renamed.end() ? it->second : FileNameOfPath(path);
    std::string copy = imagesSource + "/" + name;
    if (!IsSafeImageFileName(name.c_str()) || FsKind(copy) != 0) return true;
    std::string parent = ParentOf(path);
    if (!parent.empty() && FsKind(parent) == 1 && CopyFileKeepTime(copy.c_str(), path.c_str()) == 1)
        return true;
    std::string images = ImagesFolder();
    if (images.empty() || !EnsureDirectory(images.c_str())) return false;
    *target = images + "/" + LowerCased(FileNameOfPath(path));
    if (FsKind(*target) == 0 && SameFileBytes(copy, *target)) return true;
    if (FsKind(*target) == 0) *target = images + "/" + LowerCased(name);
    return CopyFileKeepTime(copy.c_str(), target->c_str()) == 1;
}

int RestoreLinkFile(const std::string &path, int group, const std::string &imagesSource,
                    const std::map<std::string, std::string> &renamed) {
    LinkFile file;
    if (!LinkStoreReadFile(kImageLinkShape, path, nullptr, &file)) return 0;
    for (const WebLink &l : file.links) {
        std::string target;
        if (!RestoredTarget(l.url, imagesSource, renamed, &target)) return 0;
        ObjectRecord record;
        LinkFileRecord(file, &record);
        if (AddObjectImageLink(group, &record, target.c_str(), l.description.c_str()) == 0) return 0;
    }
    return 1;
}

// Plain files of a folder into the images folder, lower-cased, skipping the
// plot file and link files; a picture of another content already there
// keeps its place (the incoming one is not copied over it).
int CopyOldPictures(const std::string &from) {
    std::string images = ImagesFolder();
    std::vector<FsEntry> entries;
    if (!FsListFolder(from, entries)) return 1;
    for (const FsEntry &e : entries) {
        if (e.isFolder || e.isLink || IsStoreFileNamed(e.name, ".dat") ||
            CompareNamesNoCase(e.name.c_str(), "implot.bin") == 0)
            continue;
        std::string name = LowerCased(e.name);
        if (!IsSafeImageFileName(name.c_str())) continue;
        std::string target = images + "/" + name;
        if (FsKind(target) >= 0) continue;
        if (CopyFileKeepTime((from + "/" + e.name).c_str(), target.c_str()) == 0) return 0;
    }
    return 1;
}

}  // namespace

int BackupImageLinks(const char *destination, const char *backupName, int linkGroupChoice,
                     int imagesGroupChoice) {
    if (!destination || !*destination) return 0;
    std::string liveLinks = ImageLinksFolder(), liveImages = ImagesFolder();
    if (liveLinks.empty()) return 0;
    bool named = backupName && *backupName;
    std::string root = named ? std::string(destination) + "/nightjar backup " + backupName
                             : std::string(destination);
    std::string linksRoot = root + "/image links", imagesRoot = root + "/images";
    if (PathsOverlap(linksRoot, liveLinks) || PathsOverlap(imagesRoot, liveImages) ||
        PathsOverlap(linksRoot, liveImages) || PathsOverlap(imagesRoot, liveLinks))
        return 0;
    if (!EnsureDirectory(destination) || !EnsureDirectory(root.c_str())) return 0;
    for (const std::string &r : {linksRoot, imagesRoot})
        if ((FsKind(r) >= 0 && !DeleteTree(r.c_str())) || !EnsureDirectory(r.c_str())) return 0;
    BackupImages pictures;
    pictures.root = imagesRoot;

    // The images groups first: their pictures keep their own names, which
    // the plot records name.
    bool ok = false;
    std::vector<GroupRecord> imageGroups = Chosen(kGroupImages, named ? -1 : imagesGroupChoice - 2, &ok);
    if (!ok) return 0;
    for (const GroupRecord &g : imageGroups) {
        std::string out = imagesRoot + "/" + g.folder, in = liveImages + "/" + g.folder;
        if (!EnsureDirectory(out.c_str())) return 0;
        std::vector<FsEntry> entries;
        FsListFolder(in, entries);
        for (const FsEntry &e : entries)
            if (!e.isFolder && !e.isLink &&
                CopyFileKeepTime((in + "/" + e.name).c_str(), (out + "/" + e.name).c_str()) == 0)
                return 0;
        int count = 0;
        FileHandle plot(OpenImagePlotFileIn(in.c_str(), &count));
        for (int i = 0; plot && i < count; ++i) {
            ImagePlotRecord r;
            if (!ReadImagePlotRecord(plot.get(), &r, i)) return 0;
            if (!IsSafeImageFileName(r.fileName)) continue;
            if (CopyPicture(&pictures, liveImages + "/" + r.fileName) == 0) return 0;
        }
    }

    std::vector<GroupRecord> linkGroups = Chosen(kGroupImageLinks, named ? -1 : linkGroupChoice - 2, &ok);
    if (!ok) return 0;
    for (const GroupRecord &g : linkGroups) {
        std::string out = linksRoot + "/" + g.folder;
        if (!EnsureDirectory(out.c_str())) return 0;
        for (int row = 0; row < kCategoryFolderCount; ++row) {
            std::string outRow = out + "/" + CategoryFolderTable[row].name;
            std::string inRow = liveLinks + "/" + g.folder + "/" + CategoryFolderTable[row].name;
            if (!EnsureDirectory(outRow.c_str())) return 0;
            for (const std::string &name : StoreFilesIn(inRow, ".dat")) {
                if (CopyFileKeepTime((inRow + "/" + name).c_str(), (outRow + "/" + name).c_str()) != 1)
                    return 0;
                LinkFile file;
                if (!LinkStoreReadFile(kImageLinkShape, inRow + "/" + name, nullptr, &file)) continue;
                for (const WebLink &l : file.links)
                    if (CopyPicture(&pictures, l.url) == 0) return 0;
            }
        }
    }
    if (CopyFileKeepTime((liveLinks + "/groups.bin").c_str(), (linksRoot + "/groups.bin").c_str()) != 1)
        return 0;
    CopyFileKeepTime((liveLinks + "/registry.bin").c_str(), (linksRoot + "/registry.bin").c_str());
    if (CopyFileKeepTime((liveImages + "/groups.bin").c_str(), (imagesRoot + "/groups.bin").c_str()) != 1)
        return 0;
    if (!pictures.renamed.empty()) {
        std::string text;
        for (const auto &kv : pictures.renamed) text += kv.second + "#" + kv.first + "\n";
        if (!WriteWholeFileSafely((imagesRoot + "/" + kBackupNamesFile).c_str(), text.data(), text.size()))
            return 0;
    }
    return 1;
}

int RestoreImageLinks(const char *backupFolder, const char *backupName, int backupVersion) {
    if (!backupFolder || !*backupFolder) return 0;
    std::string links = ImageLinksFolder(), images = ImagesFolder();
    if (links.empty()) return 0;
    std::string root = backupFolder;
    if (backupName && *backupName) root += std::string("/") + backupName;
    std::string linksSource = root + "/image links", imagesSource = root + "/images";
    std::string tmp = std::string(GetUserDataFolder()) + "/tmp";
    std::string safeLinks = tmp + "/image links", safeImages = tmp + "/images";
    DeleteImageLinksSafetyCopies();
    if (FsKind(imagesSource) != 1) return 0;
    for (const std::string &s : {linksSource, imagesSource})
        if (PathsOverlap(s, links) || PathsOverlap(s, images) || PathsOverlap(s, tmp)) return 0;
    if (backupVersion >= 3000) {
        GroupRecord *groups = nullptr;
        int count = 0;
        if (FsKind(linksSource) != 1 || FsKind(linksSource + "/groups.bin") != 0 ||
            !ReadGroupListIn(linksSource.c_str(), &groups, &count))
            return 0;
        bool whole = true;
        for (int g = 0; g < count && whole; ++g) {
            groups[g].folder[sizeof groups[g].folder - 1] = '\0';
            whole = IsSafeGroupFolder(groups[g].folder) && FsKind(linksSource + "/" + groups[g].folder) == 1;
        }
        FreeGroupList(groups);
        if (!whole) return 0;
    }
    if (!EnsureDirectory(tmp.c_str()) || !EnsureDirectory(links.c_str()) ||
        !EnsureDirectory(images.c_str()) || !CopyTree(links.c_str(), safeLinks.c_str()) ||
        !CopyTree(images.c_str(), safeImages.c_str())) {
        DeleteImageLinksSafetyCopies();
        return 0;
    }
    auto rollBack = [&] { return RollBack(links, images, safeLinks, safeImages); };
    if (!DeleteTree(links.c_str()) || !DeleteTree(images.c_str()) || !EnsureDirectory(links.c_str()) ||
        !EnsureDirectory(images.c_str()))
        return rollBack();
    std::map<std::string, std::string> renamed = ReadRenamed(imagesSource);

    if (backupVersion >= 3000) {
        GroupRecord *groups = nullptr;
        int count = 0;
        if (CopyFileSafely((linksSource + "/groups.bin").c_str(), (links + "/groups.bin").c_str()) != 1 ||
            !ReadGroupList(kGroupImageLinks, &groups, &count))
            return rollBack();
        std::vector<GroupRecord> list(groups, groups + count);
        FreeGroupList(groups);
        // The images store first, so that restored links find its pictures.
        if (!CopyTree(imagesSource.c_str(), images.c_str())) return rollBack();
        std::string names = images + "/" + kBackupNamesFile;
        if (FsKind(names) == 0 && !SafeRemove(names.c_str())) return rollBack();
        for (int g = 0; g < count; ++g) {
            const char *folder = list[static_cast<size_t>(g)].folder;
            for (int row = 0; row < kCategoryFolderCount; ++row) {
                if (!CreateImageLinkIndexFile(folder, row, 1)) return rollBack();
                std::string from = linksSource + "/" + folder + "/" + CategoryFolderTable[row].name;
                for (const std::string &name : StoreFilesIn(from, ".dat"))
                    if (!RestoreLinkFile(from + "/" + name, g, imagesSource, renamed)) return rollBack();
            }
        }
        CopyFileSafely((linksSource + "/registry.bin").c_str(), (links + "/registry.bin").c_str());
        return 1;
    }
    // The older generation: pictures, then the links of each old category
    // into the import group, then its plot file into the import images group.
    if (!CopyOldPictures(imagesSource)) return rollBack();
    int group = StoreGroupPositionByName(kGroupImageLinks, kImportedGroupName);
    GroupRecord record;
    if (group < 0 || !ReadGroup(kGroupImageLinks, &record, group)) return rollBack();
    for (int row = 0; row < kOldCategoryFolderCount; ++row) {
        if (!CreateImageLinkIndexFile(record.folder, row, 1)) return rollBack();
        std::string from = imagesSource + "/" + OldCategoryFolderTable[row];
        if (!CopyOldPictures(from)) return rollBack();
        for (const std::string &name : StoreFilesIn(from, ".dat"))
            if (!RestoreLinkFile(from + "/" + name, group, imagesSource, renamed)) return rollBack();
    }
    if (!RepairImageLinkIndexes(group)) return rollBack();
    GroupRecord imagesGroup;
    int at = StoreGroupPositionByName(kGroupImages, kImportedGroupName);
    if (at < 0 || !ReadGroup(kGroupImages, &imagesGroup, at) || !CreateImagePlotFile(imagesGroup.folder))
        return rollBack();
    CopyFileSafely((imagesSource + "/implot.bin").c_str(),
                   (images + "/" + imagesGroup.folder + "/implot.bin").c_str());
    CopyFileSafely((linksSource + "/registry.bin").c_str(), (links + "/registry.bin").c_str());
    return 1;
}

void DeleteImageLinksSafetyCopies() {
    const char *root = GetUserDataFolder();
    if (!root || !*root) return;
    DeleteTree((std::string(root) + "/tmp/image links").c_str());
    DeleteTree((std::string(root) + "/tmp/images").c_str());
}
