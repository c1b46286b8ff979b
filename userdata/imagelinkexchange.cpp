// Image link records, the image-links register and packages (see
// imagelinkexchange.h).
#include "userdata/imagelinkexchange.h"

#include <cctype>
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "userdata/groupstore.h"
#include "userdata/imagelinks.h"
#include "userdata/storepaths.h"
#include "userdata/imageplots.h"
#include "userdata/linkexchange.h"
#include "userdata/linkstore.h"

namespace {

const size_t kCopyChunk = 2048;


// 1 when the next size bytes of the stream equal the file's bytes; the
// stream is back at its position afterwards.
bool SameBytes(FILE *stream, const std::string &path, int64_t size) {
    if (FsFileSize(path) != size) return false;
    long at = std::ftell(stream);
    FileHandle file(SafeOpen(path.c_str(), "rb"));
    bool same = file && at >= 0;
    char a[kCopyChunk], b[kCopyChunk];
    for (int64_t left = size; same && left > 0;) {
        size_t n = static_cast<size_t>(left < static_cast<int64_t>(kCopyChunk) ? left : kCopyChunk);
        same = SafeRead(a, 1, n, stream) == n && SafeRead(b, 1, n, file.get()) == n &&
               std::memcmp(a, b, n) == 0;
        left -= static_cast<int64_t>(n);
    }
    if (at < 0 || std::fseek(stream, at, SEEK_SET) != 0) return false;
    return same;
}

// The name the incoming picture takes in the folder: "<stem>~<n><extension>"
// for the first n whose file is absent or already holds the same bytes.
std::string UniqueName(const std::string &folder, const std::string &name, FILE *stream, int64_t size) {
    size_t dot = name.find_last_of('.');
    std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    for (int n = 1; n < 1000; ++n) {
        std::string candidate = stem + "~" + std::to_string(n) + extension;
        if (candidate.size() > static_cast<size_t>(kImageFileNameMax)) {
            size_t cut = candidate.size() - kImageFileNameMax;
            if (cut >= stem.size()) return std::string();
            candidate = stem.substr(0, stem.size() - cut) + "~" + std::to_string(n) + extension;
        }
        std::string path = folder + "/" + candidate;
        if (FsKind(path) < 0 || SameBytes(stream, path, size)) return candidate;
    }
    return std::string();
}

// Stores size bytes of the stream as a new file, whole or not at all.
bool StoreBytes(FILE *stream, const std::string &target, int64_t size) {
    SafeRewrite rewrite;
    if (!BeginSafeRewrite(target.c_str(), &rewrite)) return false;
    if (!CopyFileBytes(stream, rewrite.file, size)) rewrite.failed = true;
    return CommitSafeRewrite(&rewrite) == 1;
}

}  // namespace

std::string ImageLinksRegistryPath() { return GroupStoreRegistryPath(kImageLinksKind); }

int FindRegisteredImageLinksPackage(const char *name, FileTimeValue *created) {
    return FindRegisteredKindPackage(kImageLinksKind, name, created);
}

int RegisterImageLinksPackage(const char *name, const FileTimeValue *created) {
    return RegisterKindPackage(kImageLinksKind, name, created);
}

int CopyFileBytes(FILE *source, FILE *target, int64_t count) {
    if (!source || !target || count < 0) return 0;
    size_t chunk = static_cast<size_t>(count < static_cast<int64_t>(kCopyChunk) ? count : kCopyChunk);
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[chunk + 1]);
    if (!buffer) return 0;
    for (int64_t left = count; left > 0;) {
        size_t n = static_cast<size_t>(left < static_cast<int64_t>(chunk) ? left : chunk);
        if (SafeRead(buffer.get(), 1, n, source) != n || !SafeWriteAll(target, buffer.get(), n)) return 0;
        left -= static_cast<int64_t>(n);
    }
    return 1;
}

int WriteObjectImageLinksRecord(FILE *file, int group, const ObjectRecord *record) {
    if (!file || !record) return -1;
    ObjectRecord object = *record;
    LinkIndexLists lists;
    if (!LoadImageLinkIndexLists(group, &lists)) return -1;
    int has = FindImageLinksOfObject(&lists, &object);
    FreeImageLinkIndexLists(&lists);
    if (!has) return 0;
    LinkFile links;
    if (!ReadObjectImageLinks(group, &object, &links)) return -1;
    if (!WriteRecordObjectHead(file, object)) return -1;
    int written = 0;
    for (const WebLink &l : links.links) {
        int64_t size = FsFileSize(l.url);
        if (size < 0 || size > INT32_MAX) continue;  // an image that cannot be read is left out
        FileHandle image(SafeOpen(l.url.c_str(), "rb"));
        if (!image) continue;
        std::string line = l.url + "#" + l.description + "\n";
        if (line.size() + 1 > static_cast<size_t>(kExchangeLineMax)) continue;
        ImagePlotRecord plot;
        uint8_t marker = FindImagePlotRecordByName(FileNameOfPath(l.url).c_str(), &plot, nullptr) > 0
                             ? kImageLinkWithPlot
                             : kImageLinkPlain;
        int32_t n = static_cast<int32_t>(line.size() + 1), bytes = static_cast<int32_t>(size);
        if (!SafeWriteAll(file, &marker, 1) ||
            (marker == kImageLinkWithPlot && !SafeWriteAll(file, &plot, sizeof plot)) ||
            !SafeWriteAll(file, &n, 4) || !SafeWriteAll(file, line.c_str(), line.size() + 1) ||
            !SafeWriteAll(file, &bytes, 4) || !CopyFileBytes(image.get(), file, size))
            return -1;
        ++written;
    }
    return SafeWriteAll(file, &kImageLinkEnd, 1) ? written : -1;
}

int WriteImageLinkRecordsEnd(FILE *file) { return WriteRecordsEndHead(file); }

int ReadImageLinkRecords(FILE *file, int imageLinkGroup, int imagesGroupId, const char *imagesFolder,
                         int sourceVersion, int expectedCount, ImageLinkProgressCallback progress) {
    if (!file || !imagesFolder || !*imagesFolder) return -1;
    std::string images = imagesFolder;
    if (!EnsureDirectory(images.c_str())) return -1;
    ProgressTicker ticker(progress, expectedCount);
    int added = 0;
    for (;;) {
        ObjectRecord record;
        int head = ReadRecordObjectHead(file, sourceVersion, &record);
        if (head < 0) return -1;
        if (head == 0) break;
        for (;;) {
            uint8_t marker = 0;
            if (SafeRead(&marker, 1, 1, file) != 1) return -1;
            if (marker == kImageLinkEnd) break;
            ticker.Tick();
            ImagePlotRecord plot;
            bool withPlot = marker == kImageLinkWithPlot;
            if (withPlot && SafeRead(&plot, sizeof plot, 1, file) != 1) return -1;
            int32_t n = 0;
            if (SafeRead(&n, 4, 1, file) != 1) return -1;
            long left = BytesLeftInStream(file);
            if (n < 1 || n > kExchangeLineMax || left < 0 || n > left) return -1;
            char line[kExchangeLineMax + 1];
            if (SafeRead(line, 1, static_cast<size_t>(n), file) != static_cast<size_t>(n)) return -1;
            line[n] = '\0';
            std::string path, description;
            if (!SplitLinkLine(line, &path, &description)) return -1;
            int32_t size = 0;
            if (SafeRead(&size, 4, 1, file) != 1) return -1;
            left = BytesLeftInStream(file);
            if (size < 0 || left < 0 || size > left) return -1;

            std::string target;
            bool created = false;
            if (!withPlot && FsKind(path) == 0) {
                target = path;  // the picture is here already
                if (std::fseek(file, size, SEEK_CUR) != 0) return -1;
            } else {
                // Stored in lower case, as plot records name them, so that
                // one picture has one name on every file system.
                std::string name = FileNameOfPath(path);
                for (char &c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                if (!IsSafeImageFileName(name.c_str())) return -1;
                target = images + "/" + name;
                if (FsKind(target) >= 0 && !SameBytes(file, target, size)) {
                    // Another picture has that name here: the incoming one
                    // gets a name of its own.
                    name = UniqueName(images, name, file, size);
                    if (name.empty()) return -1;
                    target = images + "/" + name;
                }
                if (FsKind(target) < 0) {
                    if (!StoreBytes(file, target, size)) return -1;
                    created = true;
                } else if (std::fseek(file, size, SEEK_CUR) != 0) {
                    return -1;
                }
                if (withPlot) {
                    plot.fileName[sizeof plot.fileName - 1] = '\0';
                    std::memset(plot.fileName, 0, sizeof plot.fileName);
                    std::snprintf(plot.fileName, sizeof plot.fileName, "%s", name.c_str());
                    AddImagePlotRecord(imagesGroupId, &plot);  // a plot file it cannot reach is passed over
                }
            }
            ObjectRecord linked = record;
            int r = AddObjectImageLink(imageLinkGroup, &linked, target.c_str(), description.c_str());
            if (r == 0) {
                if (created) SafeRemove(target.c_str());
                return -1;
            }
            if (r == 1) ++added;
        }
    }
    return added;
}

FILE *CreateImageLinksPackage(const char *path, const char *name, const char *description) {
    return CreateKindPackage(kImageLinksKind, path, name, description);
}

int CloseImageLinksPackage(FILE *file, int linkCount) {
    return CloseKindPackage(kImageLinksKind, file, linkCount, WriteImageLinkRecordsEnd);
}

int ImportImageLinksPackage(const char *imagesFolder, const char *path, PackageHeader *header,
                            std::string *description, ImageLinkProgressCallback progress) {
    if (!path || !header) return -1;
    std::string images = imagesFolder && *imagesFolder ? std::string(imagesFolder) : ImagesFolder();
    if (images.empty()) return -1;
    // The pictures' plot records go to the images group of the package's name.
    return ImportKindPackage(
        kImageLinksKind, path, header, description, [&](FILE *file, int group, const PackageHeader &h) {
            GroupRecord imagesGroup;
            int at = FindOrAddGroup(kGroupImages, h.name);
            if (at == 0 || !ReadGroup(kGroupImages, &imagesGroup, at - 1)) return -1;
            return ReadImageLinkRecords(file, group, imagesGroup.id, images.c_str(), GetStampVersion(&h.stamp),
                                        h.counts[kImageLinksKind.countSlot], progress);
        });
}
