// Plottable images (see imageplots.h).
#include "userdata/imageplots.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/fileutil.h"
#include "core/grouplist.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "core/userfolder.h"
#include "core/versionstamp.h"
#include "userdata/notefiles.h"
#include "userdata/notestore.h"

namespace {

const double kPi = 3.14159265358979323846;

struct PlotData {
    std::vector<ImagePlotRecord> records;
    std::string old;  // the file's bytes as read
};

bool GroupFolderById(int groupId, std::string *folder) {
    GroupRecord record;
    if (groupId < 0 || FindGroupById(kGroupImages, groupId, &record) <= 0) return false;
    record.folder[sizeof record.folder - 1] = '\0';
    if (!IsSafeGroupFolder(record.folder)) return false;
    *folder = record.folder;
    return true;
}

std::string PlotPath(const std::string &groupFolder) {
    std::string images = ImagesFolder();
    return images.empty() ? images : images + "/" + groupFolder + "/implot.bin";
}

void Terminate(ImagePlotRecord *r) {
    r->fileName[sizeof r->fileName - 1] = '\0';
    r->caption[sizeof r->caption - 1] = '\0';
}

void LowerName(ImagePlotRecord *r) {
    for (char &c : r->fileName) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

int ParsePlot(const std::string &bytes, PlotData *data) {
    if (bytes.size() < static_cast<size_t>(kImagePlotHeaderBytes)) return 0;
    VersionStamp stamp;
    std::memcpy(&stamp, bytes.data(), sizeof stamp);
    if (stamp.magic != kStampMagic || stamp.major < 2) return 0;
    int32_t count = 0;
    std::memcpy(&count, bytes.data() + 5, 4);
    if (count < 0 ||
        static_cast<size_t>(count) > (bytes.size() - kImagePlotHeaderBytes) / sizeof(ImagePlotRecord))
        return 0;
    data->records.resize(static_cast<size_t>(count));
    if (count)
        std::memcpy(data->records.data(), bytes.data() + kImagePlotHeaderBytes,
                    sizeof(ImagePlotRecord) * static_cast<size_t>(count));
    for (ImagePlotRecord &r : data->records) Terminate(&r);
    data->old = bytes;
    return 1;
}

// The group's plot file (made when missing) read whole.
int LoadPlot(int groupId, std::string *path, PlotData *data) {
    std::string folder;
    if (!GroupFolderById(groupId, &folder) || !CreateImagePlotFile(folder.c_str())) return 0;
    *path = PlotPath(folder);
    std::string bytes;
    return ReadWholeFile(path->c_str(), &bytes) && ParsePlot(bytes, data);
}

int SavePlot(const std::string &path, const PlotData &data) {
    std::string bytes;
    VersionStamp stamp;
    SetCurrentStamp(&stamp);
    bytes.append(reinterpret_cast<const char *>(&stamp), sizeof stamp);
    int32_t count = static_cast<int32_t>(data.records.size());
    bytes.append(reinterpret_cast<const char *>(&count), 4);
    bytes.append(reinterpret_cast<const char *>(data.records.data()),
                 sizeof(ImagePlotRecord) * data.records.size());
    if (data.old.size() > bytes.size()) bytes.append(data.old, bytes.size(), std::string::npos);
    return WriteWholeFileSafely(path.c_str(), bytes.data(), bytes.size());
}

int FindIn(const PlotData &data, const char *name) {
    for (size_t i = 0; i < data.records.size(); ++i)
        if (CompareNamesNoCase(data.records[i].fileName, name) == 0) return static_cast<int>(i);
    return -1;
}

bool NameUsedAnywhere(const char *name) {
    GroupRecord *groups = nullptr;
    int count = 0;
    if (!ReadGroupList(kGroupImages, &groups, &count)) return true;  // unknown: keep the file
    bool used = false;
    for (int g = 0; g < count && !used; ++g) {
        std::string path;
        PlotData data;
        if (!LoadPlot(groups[g].id, &path, &data)) {
            used = true;
            break;
        }
        used = FindIn(data, name) >= 0;
    }
    FreeGroupList(groups);
    return used;
}

// Applies a change to the shown flag of the records the chooser picks.
template <typename Chooser>
int ChangeShown(int groupId, Chooser choose) {
    std::string path;
    PlotData data;
    if (!LoadPlot(groupId, &path, &data)) return 0;
    if (!choose(&data)) return 0;
    return SavePlot(path, data);
}

void SetShown(ImagePlotRecord *r, int shown) {
    if (shown)
        r->flags |= kImagePlotShown;
    else
        r->flags &= ~kImagePlotShown;
}

}  // namespace

std::string ImagesFolder() {
    const char *root = GetUserDataFolder();
    if (!root || !*root) return std::string();
    return std::string(root) + "/images";
}

bool IsSafeImageFileName(const char *name) {
    if (!name || !*name || std::strlen(name) > static_cast<size_t>(kImageFileNameMax)) return false;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) return false;
    if (std::strpbrk(name, "/\\:") != nullptr) return false;
    return !IsReservedDeviceName(name);
}

int CreateImagePlotFile(const char *groupFolder) {
    if (!IsSafeGroupFolder(groupFolder)) return 0;
    std::string images = ImagesFolder();
    if (images.empty()) return 0;
    std::string group = images + "/" + groupFolder;
    if (!EnsureDirectory(images.c_str()) || !EnsureDirectory(group.c_str())) return 0;
    std::string path = PlotPath(groupFolder);
    if (FsKind(path) >= 0) return 1;
    // A new plot file is 13 bytes, as the suite makes it: the stamp, the
    // count 0 and four zero bytes that the first record covers.
    PlotData empty;
    empty.old.assign(13, '\0');
    return SavePlot(path, empty);
}

FILE *OpenImagePlotFile(int groupId, int *count) {
    std::string folder;
    if (!count || !GroupFolderById(groupId, &folder) || !CreateImagePlotFile(folder.c_str()))
        return nullptr;
    return OpenImagePlotFileIn((ImagesFolder() + "/" + folder).c_str(), count);
}

FILE *OpenImagePlotFileIn(const char *folder, int *count) {
    if (!folder || !count) return nullptr;
    *count = 0;
    std::string path = std::string(folder) + "/implot.bin";
    FileHandle file(SafeOpen(path.c_str(), "rb"));
    if (!file) return nullptr;
    VersionStamp stamp;
    int32_t n = 0;
    if (SafeRead(&stamp, sizeof stamp, 1, file.get()) != 1 || stamp.magic != kStampMagic ||
        stamp.major < 2 || SafeRead(&n, 4, 1, file.get()) != 1)
        return nullptr;
    if (std::fseek(file.get(), 0, SEEK_END) != 0) return nullptr;
    long size = std::ftell(file.get());
    if (n < 0 || size < kImagePlotHeaderBytes ||
        (size - kImagePlotHeaderBytes) / static_cast<long>(sizeof(ImagePlotRecord)) < n ||
        std::fseek(file.get(), kImagePlotHeaderBytes, SEEK_SET) != 0)
        return nullptr;
    *count = n;
    return file.release();
}

int ReadImagePlotRecord(FILE *file, ImagePlotRecord *out, int index) {
    if (!file || !out || index < 0) return 0;
    long offset = kImagePlotHeaderBytes + static_cast<long>(sizeof(ImagePlotRecord)) * index;
    if (std::fseek(file, offset, SEEK_SET) != 0 || SafeRead(out, sizeof *out, 1, file) != 1) return 0;
    Terminate(out);
    return 1;
}

int RewindImagePlotFile(FILE *file) {
    return file && std::fseek(file, kImagePlotHeaderBytes, SEEK_SET) == 0 ? 1 : 0;
}

int ReadNextImagePlotRecord(FILE *file, ImagePlotRecord *out) {
    if (!file || !out || SafeRead(out, sizeof *out, 1, file) != 1) return 0;
    Terminate(out);
    return 1;
}

int GetImagePlotFileName(int groupId, int index, char *name) {
    std::string path;
    PlotData data;
    if (!name || !LoadPlot(groupId, &path, &data) || index < 0 ||
        index >= static_cast<int>(data.records.size()))
        return 0;
    std::memcpy(name, data.records[static_cast<size_t>(index)].fileName, 65);
    return 1;
}

int FindImagePlotRecordInFile(FILE *file, const char *name, ImagePlotRecord *out) {
    if (!file || !name || !*name) return -1;
    int32_t count = 0;
    if (std::fseek(file, 5, SEEK_SET) != 0 || SafeRead(&count, 4, 1, file) != 1 || count < 0) return -1;
    for (int i = 0; i < count; ++i) {
        ImagePlotRecord r;
        if (!ReadImagePlotRecord(file, &r, i)) return -1;
        if (CompareNamesNoCase(r.fileName, name) == 0) {
            if (out) *out = r;
            return i + 1;
        }
    }
    return 0;
}

int FindImagePlotRecordByName(const char *name, ImagePlotRecord *out, int *groupId) {
    GroupRecord *groups = nullptr;
    int count = 0;
    if (!name || !ReadGroupList(kGroupImages, &groups, &count)) return 0;
    int found = 0;
    for (int g = 0; g < count && !found; ++g) {
        std::string path;
        PlotData data;
        if (!LoadPlot(groups[g].id, &path, &data)) continue;
        int i = FindIn(data, name);
        if (i < 0) continue;
        if (out) *out = data.records[static_cast<size_t>(i)];
        if (groupId) *groupId = groups[g].id;
        found = i + 1;
    }
    FreeGroupList(groups);
    return found;
}

int FindImagePlotRecordInOtherFolder(const char *otherFolder, const char *name,
                                     ImagePlotRecord *out, int *groupId, std::string *groupName) {
    if (!otherFolder || !name) return 0;
    std::string images = std::string(otherFolder) + "/images";
    GroupRecord *groups = nullptr;
    int count = 0;
    if (!ReadGroupListIn(images.c_str(), &groups, &count)) return 0;
    int found = 0;
    for (int g = 0; g < count && !found; ++g) {
        groups[g].folder[sizeof groups[g].folder - 1] = '\0';
        groups[g].name[sizeof groups[g].name - 1] = '\0';
        if (!IsSafeGroupFolder(groups[g].folder)) continue;
        int n = 0;
        FileHandle file(OpenImagePlotFileIn((images + "/" + groups[g].folder).c_str(), &n));
        if (!file) continue;
        ImagePlotRecord r;
        int at = FindImagePlotRecordInFile(file.get(), name, &r);
        if (at <= 0) continue;
        if (out) *out = r;
        if (groupId) *groupId = groups[g].id;
        if (groupName) *groupName = groups[g].name;
        found = at;
    }
    FreeGroupList(groups);
    return found;
}

int ComparePlotRecords(const ImagePlotRecord *a, const ImagePlotRecord *b) {
    if (!a || !b) return -1;
    if (a->rightAscension != b->rightAscension || a->declination != b->declination ||
        a->size != b->size || a->width != b->width || a->height != b->height ||
        a->rotation != b->rotation || a->projection != b->projection || a->fileType != b->fileType ||
        a->flags != b->flags || std::memcmp(a->reserved, b->reserved, sizeof a->reserved) != 0)
        return 1;
    ImagePlotRecord x = *a, y = *b;
    Terminate(&x);
    Terminate(&y);
    if (CompareNamesNoCase(x.fileName, y.fileName) != 0 || CompareNamesNoCase(x.caption, y.caption) != 0)
        return 1;
    return 0;
}

void FillImagePlotRecord(ImagePlotRecord *record, const char *fileName, int type,
                         double raHours, double decDegrees, double sizeDegrees, int width,
                         int height, double rotationDegrees, int projection, const char *caption) {
    if (!record) return;
    if (fileName) {
        std::string name = fileName;
        for (char &c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const char *extension = nullptr;
        switch (type) {
        case kImageGif: extension = ".gif"; break;
        case kImageBmp: extension = ".bmp"; break;
        case kImageJpeg: extension = ".jpg"; break;
        case kImageFits:
            if (name.find(".fits") == std::string::npos && name.find(".fit") == std::string::npos &&
                name.find(".fts") == std::string::npos)
                extension = ".fits";
            break;
        default: break;
        }
        if (extension && name.find(extension) == std::string::npos) name += extension;
        std::memset(record->fileName, 0, sizeof record->fileName);
        std::snprintf(record->fileName, sizeof record->fileName, "%s", name.c_str());
        std::memset(record->caption, 0, sizeof record->caption);
        std::snprintf(record->caption, sizeof record->caption, "%s", caption ? caption : "");
    } else {
        std::memset(record->fileName, 0, sizeof record->fileName);
    }
    record->rightAscension = raHours * kPi / 12.0;
    record->declination = decDegrees * kPi / 180.0;
    record->size = sizeDegrees * kPi / 180.0;
    record->width = width;
    record->height = height;
    record->rotation = rotationDegrees * kPi / 180.0;
    record->projection = static_cast<uint8_t>(projection);
    record->fileType = static_cast<uint8_t>(type);
    std::memset(record->reserved, 0, sizeof record->reserved);
}

int AddImagePlotRecord(int groupId, ImagePlotRecord *record) {
    if (!record) return 0;
    Terminate(record);
    LowerName(record);
    if (!IsSafeImageFileName(record->fileName)) return 0;
    std::string path;
    PlotData data;
    if (!LoadPlot(groupId, &path, &data)) return -1;
    int at = FindIn(data, record->fileName);
    if (at >= 0) {
        data.records[static_cast<size_t>(at)] = *record;
    } else {
        auto it = std::lower_bound(data.records.begin(), data.records.end(), *record,
                                   [](const ImagePlotRecord &a, const ImagePlotRecord &b) {
                                       return CompareNamesNoCase(a.fileName, b.fileName) < 0;
                                   });
        data.records.insert(it, *record);
    }
    if (!SavePlot(path, data)) return 0;
    return at >= 0 ? 2 : 1;
}

int WriteImagePlotRecordAt(int groupId, ImagePlotRecord *record, int index) {
    if (!record || index < 0) return 0;
    Terminate(record);
    LowerName(record);
    if (!IsSafeImageFileName(record->fileName)) return 0;
    std::string path;
    PlotData data;
    if (!LoadPlot(groupId, &path, &data) || index >= static_cast<int>(data.records.size())) return 0;
    int same = FindIn(data, record->fileName);
    if (same >= 0 && same != index) return 0;  // would hold the name twice
    data.records[static_cast<size_t>(index)] = *record;
    std::stable_sort(data.records.begin(), data.records.end(),
                     [](const ImagePlotRecord &a, const ImagePlotRecord &b) {
                         return CompareNamesNoCase(a.fileName, b.fileName) < 0;
                     });
    return SavePlot(path, data);
}

int DeleteImagePlotRecordAt(int groupId, int index, char *name) {
    std::string path;
    PlotData data;
    if (index < 0 || !LoadPlot(groupId, &path, &data) || index >= static_cast<int>(data.records.size()))
        return 0;
    if (name) std::memcpy(name, data.records[static_cast<size_t>(index)].fileName, 65);
    data.records.erase(data.records.begin() + index);
    return SavePlot(path, data);
}

int DeleteImagePlotRecordAndFile(int groupId, int index) {
    char name[65] = "";
    if (!DeleteImagePlotRecordAt(groupId, index, name)) return 0;
    // The image file is shared by all groups: it goes only with its last record.
    if (IsSafeImageFileName(name) && !NameUsedAnywhere(name)) {
        std::string file = ImagesFolder() + "/" + name;
        if (FsKind(file) == 0) SafeRemove(file.c_str());
    }
    return 1;
}

int DeleteAllImagePlotRecords(int groupId) {
    if (groupId < 0) return 0;
    std::string path;
    PlotData data;
    if (!LoadPlot(groupId, &path, &data)) return 0;
    for (size_t guard = data.records.size() + 1; guard > 0; --guard) {
        int count = 0;
        FileHandle f(OpenImagePlotFile(groupId, &count));
        if (!f) return 0;
        f.reset();
        if (count == 0) return 1;
        if (!DeleteImagePlotRecordAndFile(groupId, count - 1)) return 0;
    }
    return 0;
}

int MoveImagePlotRecord(int sourceGroupId, int targetGroupId, int *index) {
    if (!index || *index < 0 || sourceGroupId == targetGroupId) return 0;
    std::string path;
    PlotData data;
    if (!LoadPlot(sourceGroupId, &path, &data) || *index >= static_cast<int>(data.records.size()))
        return 0;
    ImagePlotRecord record = data.records[static_cast<size_t>(*index)];
    if (AddImagePlotRecord(targetGroupId, &record) <= 0) return 0;
    DeleteImagePlotRecordAt(sourceGroupId, *index, nullptr);
    std::string targetPath;
    PlotData target;
    if (!LoadPlot(targetGroupId, &targetPath, &target)) return 0;
    int at = FindIn(target, record.fileName);
    if (at < 0) return 0;
    *index = at;
    return at + 1;
}

int SetImagePlotShownAt(int groupId, int index, int shown) {
    if (index < 0) return 0;
    return ChangeShown(groupId, [&](PlotData *d) {
        if (index >= static_cast<int>(d->records.size())) return false;
        SetShown(&d->records[static_cast<size_t>(index)], shown);
        return true;
    });
}

int SetImagePlotShownAtByName(int groupId, int index, int shown) {
    char name[65];
    if (!GetImagePlotFileName(groupId, index, name)) return 0;
    return SetImagePlotShownByName(groupId, name, shown);
}

int SetAllImagePlotsShown(int groupId, int shown) {
    return ChangeShown(groupId, [&](PlotData *d) {
        for (ImagePlotRecord &r : d->records) SetShown(&r, shown);
        return true;
    });
}

int SetImagePlotShownByName(int groupId, const char *name, int shown) {
    if (!name) return 0;
    return ChangeShown(groupId, [&](PlotData *d) {
        int at = FindIn(*d, name);
        if (at < 0) return false;
        SetShown(&d->records[static_cast<size_t>(at)], shown);
        return true;
    });
}

int ToggleImagePlotShownByName(int groupId, const char *name) {
    int shown = IsImagePlotShownByName(groupId, name);
    if (shown < 0) return 0;
    return SetImagePlotShownByName(groupId, name, !shown);
}

int ToggleImagePlotShownAt(int groupId, int index) {
    char name[65];
    if (!GetImagePlotFileName(groupId, index, name)) return 0;
    return ToggleImagePlotShownByName(groupId, name);
}

int IsImagePlotShownByName(int groupId, const char *name) {
    std::string path;
    PlotData data;
    if (!name || !LoadPlot(groupId, &path, &data)) return 0;
    int at = FindIn(data, name);
    if (at < 0) return -1;
    return (data.records[static_cast<size_t>(at)].flags & kImagePlotShown) ? 1 : 0;
}

int IsImagePlotShownAt(int groupId, int index) {
    char name[65];
    if (!GetImagePlotFileName(groupId, index, name)) return -1;
    return IsImagePlotShownByName(groupId, name);
}
