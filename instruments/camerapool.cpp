// The camera pool camera.bin: records, sort and the import of camera.dat.
#include "instruments/camerapool.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "core/textutil.h"
#include "core/fsys.h"
#include "core/userfolder.h"
#include "instruments/storeio.h"
#include "instruments/poolupgrade.h"
#include "core/safefile.h"

namespace {

const int kGuiderFirst = (int)offsetof(CameraRecord, guider);
const int kGuiderBytes = (int)offsetof(CameraRecord, reserved) - kGuiderFirst;  // 25

double BinnedGain(const CameraRecord &r) { return r.binnedGain == 0.0 ? r.gain : r.binnedGain; }

std::string Text(const char *field, size_t size) {
    const void *end = std::memchr(field, 0, size);
    return std::string(field, end ? (size_t)((const char *)end - field) : size);
}

bool SameTextNoCase(const char *a, const char *b, size_t size) {
    return CompareStringsNoCase(Text(a, size).c_str(), Text(b, size).c_str()) == 0;
}

// The values that CompareCameraRecords and the find by name share.
bool SameModel(const CameraRecord &x, const CameraRecord &y) {
    return x.kind == y.kind && x.darkSignal == y.darkSignal && x.readNoise == y.readNoise &&
           x.gain == y.gain && BinnedGain(x) == BinnedGain(y) &&
           x.pixelsAcross == y.pixelsAcross && x.pixelsDown == y.pixelsDown &&
           x.pixelWidth == y.pixelWidth && x.pixelHeight == y.pixelHeight &&
           x.lensFocalLength == y.lensFocalLength && x.bitDepth == y.bitDepth &&
           SameTextNoCase(x.curveName, y.curveName, sizeof x.curveName);
}

int SameCameraValues(const void *a, const void *b) {
    const CameraRecord &x = *(const CameraRecord *)a, &y = *(const CameraRecord *)b;
    return SameModel(x, y) && x.guider == y.guider && x.guiderOffsetX == y.guiderOffsetX &&
           x.guiderOffsetY == y.guiderOffsetY && x.guiderPixelWidth == y.guiderPixelWidth &&
           x.guiderPixelHeight == y.guiderPixelHeight &&
           x.guiderPixelsAcross == y.guiderPixelsAcross &&
           x.guiderPixelsDown == y.guiderPixelsDown;
}

// Fills a record from separate values by the pool's write rules: the name
// only when given, the curve values only for an empty curve name with values
// given, and no guider values without a guider.
void FillRecord(CameraRecord &r, int kind, const char *name, double readNoise, double gain,
                double binnedGain, double darkSignal, double sensorWidth, double sensorHeight,
                int pixelsAcross, int pixelsDown, double pixelWidth, double pixelHeight,
                int bitDepth, double lensFocalLength, const char *curveName, const double *curve,
                int guider, double gox, double goy, double gpw, double gph, int gpa, int gpd) {
    r.kind = (uint8_t)kind;
    if (name) CopyStringZeroFilled(r.name, name, (int)sizeof r.name);
    r.readNoise = readNoise;
    r.gain = gain;
    r.binnedGain = binnedGain;
    r.darkSignal = darkSignal;
    r.sensorWidth = sensorWidth;
    r.sensorHeight = sensorHeight;
    r.pixelsAcross = pixelsAcross;
    r.pixelsDown = pixelsDown;
    r.pixelWidth = pixelWidth;
    r.pixelHeight = pixelHeight;
    r.bitDepth = (uint8_t)bitDepth;
    r.lensFocalLength = lensFocalLength;
    const char *curveText = curveName ? curveName : "";
    CopyStringZeroFilled(r.curveName, curveText, (int)sizeof r.curveName);
    if (curveText[0] == '\0' && curve)
        for (int i = 0; i < kQuantumEfficiencyPoints; ++i) r.quantumEfficiency[i] = curve[i];
    if (guider) {
        r.guider = (uint8_t)guider;
        r.guiderOffsetX = (float)gox;
        r.guiderOffsetY = (float)goy;
        r.guiderPixelWidth = (float)gpw;
        r.guiderPixelHeight = (float)gph;
        r.guiderPixelsAcross = gpa;
        r.guiderPixelsDown = gpd;
    } else {
        std::memset((uint8_t *)&r + kGuiderFirst, 0, (size_t)kGuiderBytes);
    }
}

void GiveOut(const CameraRecord &r, int *kind, char *name, double *readNoise, double *gain,
             double *binnedGain, double *darkSignal, double *sensorWidth, double *sensorHeight,
             int *pixelsAcross, int *pixelsDown, double *pixelWidth, double *pixelHeight,
             int *bitDepth, double *lensFocalLength, char *curveName, double *curve, int *guider,
             double *gox, double *goy, double *gpw, double *gph, int *gpa, int *gpd) {
    if (kind) *kind = r.kind;
    if (name) CopyStringBounded(name, Text(r.name, sizeof r.name).c_str(), (int)sizeof r.name);
    if (readNoise) *readNoise = r.readNoise;
    if (gain) *gain = r.gain;
    if (binnedGain) *binnedGain = r.binnedGain;
    if (darkSignal) *darkSignal = r.darkSignal;
    if (sensorWidth) *sensorWidth = r.sensorWidth;
    if (sensorHeight) *sensorHeight = r.sensorHeight;
    if (pixelsAcross) *pixelsAcross = r.pixelsAcross;
    if (pixelsDown) *pixelsDown = r.pixelsDown;
    if (pixelWidth) *pixelWidth = r.pixelWidth;
    if (pixelHeight) *pixelHeight = r.pixelHeight;
    if (bitDepth) *bitDepth = r.bitDepth;
    if (lensFocalLength) *lensFocalLength = r.lensFocalLength;
    std::string curveText = Text(r.curveName, sizeof r.curveName);
    if (curveName) CopyStringBounded(curveName, curveText.c_str(), (int)sizeof r.curveName);
    if (curve) {
        for (int i = 0; i < kQuantumEfficiencyPoints; ++i)
            curve[i] = curveText.empty() ? r.quantumEfficiency[i] : 0.0;
    }
    if (guider) *guider = r.guider;
    if (gox) *gox = r.guiderOffsetX;
    if (goy) *goy = r.guiderOffsetY;
    if (gpw) *gpw = r.guiderPixelWidth;
    if (gph) *gph = r.guiderPixelHeight;
    if (gpa) *gpa = r.guiderPixelsAcross;
    if (gpd) *gpd = r.guiderPixelsDown;
}

// An unstamped pool would be misread with the stamped header; one stamped
// before the guider fields existed holds other bytes there.
int UpgradeOlderCameraPool() {
    if (!StampCameraFile()) return 0;
    UpgradeCameraFileGuider();
    return 1;
}

bool SortsBefore(const CameraRecord &a, const CameraRecord &b) {
    return CompareCameraRecordsForSort(&a, &b) < 0;
}

}  // namespace

const PoolLayout kCameraPool = {
    "camera.bin", "camera.bak", 9, (int)sizeof(CameraRecord), 1, 33,
    (int)offsetof(CameraRecord, poolId), 2, SameCameraValues, UpgradeOlderCameraPool};

FILE *OpenCameraFile(int32_t *count) {
    uint8_t stamp[5];
    return OpenPool(kCameraPool, count, stamp);
}

FILE *OpenOtherCameraFile(const char *path, int32_t *count, uint8_t *stamp) {
    uint8_t local[5];
    return OpenOtherPool(kCameraPool, path, count, stamp ? stamp : local);
}

int ReadCameraRecord(FILE *f, int index, CameraRecord *record) {
    if (!ReadPoolRecord(f, kCameraPool, index, record)) return 0;
    record->curveName[sizeof record->curveName - 1] = '\0';
    return 1;
}

int WriteCameraRecord(FILE *f, int index, const CameraRecord *record) {
    return WritePoolRecord(f, kCameraPool, index, record);
}

int FindCameraRecordByName(FILE *f, const CameraRecord *probe, int *index, int *id, int n) {
    return FindPoolRecordByName(f, kCameraPool, probe, index, id, n);
}

int CompareCameraRecords(const CameraRecord *a, const CameraRecord *b) {
    if (!a || !b) return 0;
    return SameTextNoCase(a->name, b->name, sizeof a->name) && SameModel(*a, *b) ? 1 : 0;
}

int FindCameraRecordById(FILE *f, int id, CameraRecord *record) {
    return FindPoolRecordById(f, kCameraPool, id, record);
}

int AppendCameraRecord(FILE *f, CameraRecord *record) {
    return AppendPoolRecord(f, kCameraPool, record);
}

int GetCameraFields(int index, int *kind, char *name, double *readNoise, double *gain,
                    double *binnedGain, double *darkSignal, double *sensorWidth,
                    double *sensorHeight, int *pixelsAcross, int *pixelsDown, double *pixelWidth,
                    double *pixelHeight, int *bitDepth, double *lensFocalLength, char *curveName,
                    double *curve, int *guider, double *gox, double *goy, double *gpw, double *gph,
                    int *gpa, int *gpd) {
    CameraRecord r;
    int id = GetPoolRecord(kCameraPool, index, &r);
    if (!id) return 0;
    GiveOut(r, kind, name, readNoise, gain, binnedGain, darkSignal, sensorWidth, sensorHeight,
            pixelsAcross, pixelsDown, pixelWidth, pixelHeight, bitDepth, lensFocalLength,
            curveName, curve, guider, gox, goy, gpw, gph, gpa, gpd);
    return id;
}

int GetCameraFieldsById(int id, int *kind, char *name, double *readNoise, double *gain,
                        double *binnedGain, double *darkSignal, double *sensorWidth,
                        double *sensorHeight, int *pixelsAcross, int *pixelsDown,
                        double *pixelWidth, double *pixelHeight, int *bitDepth,
                        double *lensFocalLength, char *curveName, double *curve, int *guider,
                        double *gox, double *goy, double *gpw, double *gph, int *gpa, int *gpd) {
    CameraRecord r;
    if (!GetPoolRecordById(kCameraPool, id, &r)) return 0;
    GiveOut(r, kind, name, readNoise, gain, binnedGain, darkSignal, sensorWidth, sensorHeight,
            pixelsAcross, pixelsDown, pixelWidth, pixelHeight, bitDepth, lensFocalLength,
            curveName, curve, guider, gox, goy, gpw, gph, gpa, gpd);
    return 1;
}

int FindCameraIndexById(int id) { return FindPoolIndexById(kCameraPool, id); }

int UpdateCameraRecord(int index, int kind, const char *name, double readNoise, double gain,
                       double binnedGain, double darkSignal, double sensorWidth,
                       double sensorHeight, int pixelsAcross, int pixelsDown, double pixelWidth,
                       double pixelHeight, int bitDepth, double lensFocalLength,
                       const char *curveName, const double *curve, int guider, double gox,
                       double goy, double gpw, double gph, int gpa, int gpd) {
    int32_t n = 0;
    StoreFilePtr f(OpenCameraFile(&n));
    if (!f || index < 0 || index >= n) return 0;
    CameraRecord r;
    if (!ReadCameraRecord(f.get(), index, &r)) return 0;
    FillRecord(r, kind, name, readNoise, gain, binnedGain, darkSignal, sensorWidth, sensorHeight,
               pixelsAcross, pixelsDown, pixelWidth, pixelHeight, bitDepth, lensFocalLength,
               curveName, curve, guider, gox, goy, gpw, gph, gpa, gpd);
    return WriteCameraRecord(f.get(), index, &r);
}

int AddCameraRecord(int kind, const char *name, double readNoise, double gain, double binnedGain,
                    double darkSignal, double sensorWidth, double sensorHeight, int pixelsAcross,
                    int pixelsDown, double pixelWidth, double pixelHeight, int bitDepth,
                    double lensFocalLength, const char *curveName, const double *curve,
                    int guider, double gox, double goy, double gpw, double gph, int gpa, int gpd) {
    CameraRecord r;
    std::memset(&r, 0, sizeof r);
    FillRecord(r, kind, name ? name : "", readNoise, gain, binnedGain, darkSignal, sensorWidth,
               sensorHeight, pixelsAcross, pixelsDown, pixelWidth, pixelHeight, bitDepth,
               lensFocalLength, curveName, curve, guider, gox, goy, gpw, gph, gpa, gpd);
    return AddPoolRecord(kCameraPool, &r);
}

int DeleteCameraRecordById(int id) { return DeletePoolRecordById(kCameraPool, id); }
int BackupCameraFile() { return BackupPool(kCameraPool); }
int RestoreCameraFile() { return RestorePool(kCameraPool); }

int CompareCameraRecordsForSort(const void *a, const void *b) {
    const CameraRecord &x = *(const CameraRecord *)a, &y = *(const CameraRecord *)b;
    if (x.kind != y.kind) return x.kind < y.kind ? -1 : 1;
    return CompareStringsNoCase(Text(x.name, sizeof x.name).c_str(),
                                Text(y.name, sizeof y.name).c_str());
}

int SortCameraPool() {
    char path[600];
    if (!MakeUserDataPath(path, (int)sizeof path, kCameraPool.fileName)) return 0;
    int32_t n = 0;
    StoreFilePtr f(OpenCameraFile(&n));
    if (!f) return 0;
    uint8_t header[9];
    if (!ReadStoreBytes(f.get(), 0, header, sizeof header)) return 0;
    std::vector<CameraRecord> records;
    try {
        records.resize((size_t)n);
    } catch (...) {
        return 0;
    }
    if (n > 0 && !ReadStoreBytes(f.get(), 9, records.data(), sizeof(CameraRecord) * (size_t)n))
        return 0;
    f.reset();
    std::stable_sort(records.begin(), records.end(), SortsBefore);

    SafeRewrite out;
    if (!BeginSafeRewrite(path, &out)) return 0;
    bool ok = SafeWriteAll(out.file, header, sizeof header) == 1 &&
              (n == 0 || SafeWrite(records.data(), sizeof(CameraRecord), (size_t)n, out.file) == (size_t)n);
    out.failed = !ok;
    return CommitSafeRewrite(&out);
}

// ---- camera.dat ----------------------------------------------------------------------

namespace {

const int kLineLimit = 127;  // characters of a line that are read
const int kNameColumns = 32;
const int kCurveColumn = 81;
const int kCurveColumns = 12;
const int kGuiderColumn = 93;

// One line into buffer (at most kLineLimit characters, line break removed);
// the rest of a longer line is read and dropped. 0 at the end of the file,
// -1 a read error.
int ReadDefinitionLine(FILE *f, char *buffer, int size) {
    if (!std::fgets(buffer, size, f)) return std::ferror(f) ? -1 : 0;
    size_t n = std::strlen(buffer);
    bool complete = n > 0 && buffer[n - 1] == '\n';
    if (!complete) {
        int c;
        while ((c = std::fgetc(f)) != EOF && c != '\n') {
        }
    }
    while (n > 0 && (buffer[n - 1] == '\n' || buffer[n - 1] == '\r')) buffer[--n] = '\0';
    if (n > (size_t)kLineLimit) buffer[kLineLimit] = '\0';
    return 1;
}

void CleanColumnText(char *text) {
    for (char *p = text; *p; ++p)
        if (*p == '\t') *p = ' ';
    TrimTrailingBlanks(text);
}

// 1 when the line gives a complete camera; 0 for a malformed line.
int ParseDefinitionLine(const char *line, CameraRecord *r) {
    std::memset(r, 0, sizeof *r);
    size_t length = std::strlen(line);
    if (length <= (size_t)kNameColumns) return 0;
    int kind = 0, across = 0, down = 0;
    double readNoise, gain, binned, dark, width, height, lens;
    if (std::sscanf(line + kNameColumns, "%d %lf %lf %lf %lf %d %d %lf %lf %lf", &kind, &readNoise,
                    &gain, &binned, &dark, &across, &down, &width, &height, &lens) != 10)
        return 0;
    // Later field and resolution computations divide by these.
    if (kind < 0 || kind > 2 || across <= 0 || down <= 0 || !(width > 0.0) || !(height > 0.0))
        return 0;
    r->kind = (uint8_t)kind;
    r->readNoise = readNoise;
    r->gain = gain;
    r->binnedGain = binned;
    r->darkSignal = dark;
    r->pixelsAcross = across;
    r->pixelsDown = down;
    r->pixelWidth = width;
    r->pixelHeight = height;
    r->lensFocalLength = lens;
    if (length > (size_t)kCurveColumn) {
        char curve[kCurveColumns + 1];
        CopyFixedWidthField(curve, line + kCurveColumn, kCurveColumns);
        CleanColumnText(curve);
        CopyStringZeroFilled(r->curveName, curve, (int)sizeof r->curveName);
    }
    r->bitDepth = 1;  // 16 bits
    if (length > 100) {
        float offset, pw, ph;
        int pa, pd;
        if (std::sscanf(line + kGuiderColumn, "%f %f %f %d %d", &offset, &pw, &ph, &pa, &pd) ==
            5) {
            r->guider = 1;
            r->guiderOffsetY = offset;
            r->guiderPixelWidth = pw;
            r->guiderPixelHeight = ph;
            r->guiderPixelsAcross = pa;
            r->guiderPixelsDown = pd;
        }
    }
    char name[kNameColumns + 1];
    std::memcpy(name, line, kNameColumns);
    name[kNameColumns] = '\0';
    CleanColumnText(name);
    CopyStringZeroFilled(r->name, name, (int)sizeof r->name);
    r->poolId = 0;
    return 1;
}

}  // namespace

int ImportCameraDefinitions() {
    char path[600];
    if (!MakeUserDataPath(path, (int)sizeof path, "camera.dat")) return 0;
    StoreFilePtr text(std::fopen(path, "r"));
    if (!text) return 0;
    int32_t n = 0;
    StoreFilePtr pool(OpenCameraFile(&n));
    if (!pool) return 0;

    int added = 0;
    bool keepFile = false;
    char line[kLineLimit + 2];
    int got;
    while ((got = ReadDefinitionLine(text.get(), line, (int)sizeof line)) == 1) {
        if (line[0] == '\0' || line[0] == ' ' || line[0] == '#') continue;
        CameraRecord r;
        if (!ParseDefinitionLine(line, &r)) {
            keepFile = true;  // the user's line is not lost with the file
            continue;
        }
        int found = FindCameraRecordByName(pool.get(), &r, nullptr, nullptr, n);
        if (found < 0) return -1;
        if (found > 0) continue;
        if (AppendCameraRecord(pool.get(), &r)) {
            ++added;
            ++n;
        } else {
            keepFile = true;
        }
    }
    text.reset();
    pool.reset();
    // A read error leaves the definition file for another try.
    if (got < 0) keepFile = true;
    if (!keepFile) SafeRemove(path);
    SortCameraPool();
    return added;
}
