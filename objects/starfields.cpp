// User star fields: the index and field files, creating, closing and
// deleting a field, the walk over the fields near a place, and the removal
// of stars that duplicate the deep star database. Every rewrite goes through
// the crash-safe file layer: a field or the index is either the old or the
// new one whole.
#include "objects/starfields.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "objects/objectrecord.h"
#include "objects/stardatabase.h"

namespace {

const double kTenArcseconds = 4.84813681109536e-5;  // radians
const int kIndexHeadSize = 8;
const double kTurnUnits = 2147483647.0;

struct Index {
    int32_t nextNumber = 0;
    std::vector<StarFieldHeader> headers;
};

struct Field {
    StarFieldHeader header;
    std::vector<StarFieldEntry> stars;
};

std::string FolderPath() {
    char folder[600];
    return GetStarFieldFolder(folder, sizeof folder) ? std::string(folder) : std::string();
}

std::string IndexPath() {
    std::string folder = FolderPath();
    return folder.empty() ? folder : folder + "/index.bin";
}

std::string FieldPath(int number) {
    std::string folder = FolderPath();
    if (folder.empty()) return folder;
    char name[32];
    std::snprintf(name, sizeof name, "/%05d.bin", number);
    return folder + name;
}

bool EnsureFolder() {
    std::string folder = FolderPath();
    return !folder.empty() && (FileExists(folder.c_str()) || EnsureDirectory(folder.c_str()));
}

void Put32(std::string *out, int32_t v) { out->append(reinterpret_cast<const char *>(&v), 4); }

// The whole index: 0 when it cannot be read or its count does not match its
// size. A missing index reads as empty.
int ReadIndex(Index *index) {
    std::string path = IndexPath();
    if (path.empty()) return 0;
    index->nextNumber = 0;
    index->headers.clear();
    if (!FileExists(path.c_str())) return 1;
    std::string bytes;
    if (!ReadWholeFile(path.c_str(), &bytes) || bytes.size() < (size_t)kIndexHeadSize) return 0;
    int32_t count;
    std::memcpy(&index->nextNumber, bytes.data(), 4);
    std::memcpy(&count, bytes.data() + 4, 4);
    if (count < 0 || (size_t)count > (bytes.size() - kIndexHeadSize) / sizeof(StarFieldHeader))
        return 0;
    index->headers.resize((size_t)count);
    if (count > 0)
        std::memcpy(index->headers.data(), bytes.data() + kIndexHeadSize,
                    (size_t)count * sizeof(StarFieldHeader));
    for (StarFieldHeader &h : index->headers) h.name[kStarFieldNameSize - 1] = 0;
    return 1;
}

int WriteIndex(const Index &index) {
    std::string bytes;
    Put32(&bytes, index.nextNumber);
    Put32(&bytes, (int32_t)index.headers.size());
    if (!index.headers.empty())
        bytes.append(reinterpret_cast<const char *>(index.headers.data()),
                     index.headers.size() * sizeof(StarFieldHeader));
    return WriteWholeFileSafely(IndexPath().c_str(), bytes.data(), bytes.size());
}

// The field's header and its stars: at most the header's count, and no more
// than the file holds (an unclosed field's count is 0: take them all).
int ReadField(int number, Field *field, bool trustFileSize) {
    std::string bytes;
    std::string path = FieldPath(number);
    if (path.empty() || !ReadWholeFile(path.c_str(), &bytes) || bytes.size() < sizeof(StarFieldHeader))
        return 0;
    std::memcpy(&field->header, bytes.data(), sizeof field->header);
    field->header.name[kStarFieldNameSize - 1] = 0;
    size_t held = (bytes.size() - sizeof(StarFieldHeader)) / kStarFieldEntrySize;
    size_t count = trustFileSize ? held : (size_t)std::max(0, field->header.starCount);
    if (count > held) return 0;
    field->stars.resize(count);
    if (count)
        std::memcpy(field->stars.data(), bytes.data() + sizeof(StarFieldHeader),
                    count * kStarFieldEntrySize);
    return 1;
}

int WriteField(const Field &field) {
    std::string bytes(reinterpret_cast<const char *>(&field.header), sizeof field.header);
    if (!field.stars.empty())
        bytes.append(reinterpret_cast<const char *>(field.stars.data()),
                     field.stars.size() * kStarFieldEntrySize);
    return WriteWholeFileSafely(FieldPath(field.header.number).c_str(), bytes.data(), bytes.size());
}

double TurnsToAngle(int32_t turns) { return turns * (2 * kPi) / kTurnUnits; }

}  // namespace

double StarFieldMagnitude(int code) { return kStarFieldBrightest + code * 9.5 / 255; }

int StarFieldCode(double magnitude) {
    if (!(magnitude >= kStarFieldBrightest) || !(magnitude <= kStarFieldFaintest)) return -1;
    int code = (int)std::floor((magnitude - kStarFieldBrightest) * 255 / 9.5 + 0.5);
    // 255 is the removal mark, not a magnitude
    return std::min(code, kStarFieldHighestCode);
}

int GetStarFieldFolder(char *buffer, size_t size) {
    if (!buffer || size == 0) return 0;
    buffer[0] = 0;
    const char *folder = GetUserDataFolder();
    if (!folder || !*folder) return 0;
    int n = std::snprintf(buffer, size, "%s/starfield", folder);
    if (n < 0 || (size_t)n >= size) {
        buffer[0] = 0;
        return 0;
    }
    return 1;
}

FILE *OpenStarFieldIndex(int *count, int *nextNumber) {
    if (!EnsureFolder()) return nullptr;
    std::string path = IndexPath();
    if (!FileExists(path.c_str())) {
        Index empty;
        if (!WriteIndex(empty)) return nullptr;
    }
    FileHandle f(SafeOpen(path.c_str(), "rb"));
    int32_t head[2];
    if (!f || SafeRead(head, sizeof head, 1, f.get()) != 1) return nullptr;
    if (nextNumber) *nextNumber = head[0];
    if (count) *count = head[1];
    return f.release();
}

FILE *OpenStarFieldFile(int number) {
    if (!EnsureFolder()) return nullptr;
    std::string path = FieldPath(number);
    if (!FileExists(path.c_str())) {
        FileHandle created(SafeOpen(path.c_str(), "wb"));
        if (!created || !SafeClose(created.release())) return nullptr;
    }
    return SafeOpen(path.c_str(), "r+b");
}

FILE *CreateStarField(double ra, double dec, double radius, const char *name) {
    if (!EnsureFolder()) return nullptr;
    Index index;
    if (!ReadIndex(&index)) return nullptr;
    int number = index.nextNumber;
    // reserve the number before the file exists
    index.nextNumber = number + 1;
    if (!WriteIndex(index)) return nullptr;
    StarFieldHeader header;
    std::memset(&header, 0, sizeof header);
    header.number = number;
    header.rightAscension = ra;
    header.declination = dec;
    header.radius = radius;
    std::snprintf(header.name, sizeof header.name, "%s", name ? name : "");
    // "w+b": a new file, which the close reads back
    FileHandle f(SafeOpen(FieldPath(number).c_str(), "w+b"));
    if (!f || !SafeWriteAll(f.get(), &header, sizeof header)) return nullptr;
    return f.release();
}

int AddStarFieldStar(FILE *field, double ra, double dec, double magnitude, int *count) {
    int code = StarFieldCode(magnitude);
    if (code < 0) return 2;
    if (!field) return 0;
    StarFieldEntry e;
    e.rightAscension = AngleToTurns(ra);
    e.declination = AngleToTurns(dec);
    e.magnitudeCode = (uint8_t)code;
    if (!SafeWriteAll(field, &e, sizeof e)) return 0;
    if (count) ++*count;
    return 1;
}

int CloseStarField(FILE *stream, int count, int *cancel) {
    if (!stream) return 0;
    // the header tells the number; the stream's writes end with its close
    StarFieldHeader first;
    bool headerRead = std::fseek(stream, 0, SEEK_SET) == 0 &&
                      SafeRead(&first, sizeof first, 1, stream) == 1;
    if (!SafeClose(stream) || !headerRead) return 0;
    Field field;
    if (!ReadField(first.number, &field, true)) return 0;
    if (count >= 0 && (size_t)count < field.stars.size()) field.stars.resize((size_t)count);
    std::stable_sort(field.stars.begin(), field.stars.end(),
                     [](const StarFieldEntry &a, const StarFieldEntry &b) {
                         return a.magnitudeCode < b.magnitudeCode;
                     });
    field.header.starCount = (int32_t)field.stars.size();
    field.header.brightestMagnitude =
        field.stars.empty() ? 0 : StarFieldMagnitude(field.stars[0].magnitudeCode);
    if (!WriteField(field)) return 0;
    Index index;
    if (!ReadIndex(&index)) return 0;
    index.nextNumber = std::max(index.nextNumber, field.header.number + 1);
    index.headers.push_back(field.header);
    if (!WriteIndex(index)) return 0;
    int removed = RemoveCatalogueStars(field.header.number, cancel);
    if (cancel && *cancel) {
        DeleteStarField(field.header.number);
        return 0;
    }
    return removed;
}

int RemoveCatalogueStars(int number, int *cancel) {
    Field field;
    if (!ReadField(number, &field, false)) return 0;
    const StarFieldHeader &h = field.header;
    std::vector<double> ra(field.stars.size()), dec(field.stars.size()), mag(field.stars.size());
    for (size_t i = 0; i < field.stars.size(); ++i) {
        ra[i] = TurnsToAngle(field.stars[i].rightAscension);
        dec[i] = TurnsToAngle(field.stars[i].declination);
        mag[i] = StarFieldMagnitude(field.stars[i].magnitudeCode);
    }
    std::vector<bool> marked(field.stars.size(), false);
    size_t markedCount = 0;
    bool cancelled = false;
    // the deep database holds every star to magnitude 20 (a limit of 25)
    double margin = h.radius + kTenArcseconds;
    double c = std::cos(std::min(std::fabs(h.declination) + margin, kPi / 2));
    double halfRa = c < 1e-6 ? kPi : std::min(kPi, margin / c);
    int walked = WalkStarDatabase(
        kStarDbMagX, StarRegionsOfBox(kStarDbMagX, h.rightAscension, h.declination, halfRa, margin),
        [&](const DecodedStar &s) {
            if (AngularSeparation(s.rightAscension, s.declination, h.rightAscension,
                                  h.declination) > margin)
                return 0;
            if (h.brightestMagnitude - 1 > s.v) return 0;
            double best = 9e99;
            size_t bestIndex = 0;
            for (size_t i = 0; i < field.stars.size(); ++i) {
                if (cancel && *cancel) {
                    cancelled = true;
                    return -1;
                }
                // a star already marked is not counted again
                if (marked[i]) continue;
                double sep = AngularSeparation(s.rightAscension, s.declination, ra[i], dec[i]);
                if (sep > kTenArcseconds) continue;
                double dm = 2.5 * std::fabs(s.v - mag[i]) * 0.00001;
                double score = std::sqrt(dm * dm + sep * sep);
                if (score < best) {
                    best = score;
                    bestIndex = i;
                }
            }
            if (best * 648000 / kPi < 10) {
                marked[bestIndex] = true;
                ++markedCount;
            }
            return 0;
        });
    if (cancelled || walked < 0) return 0;
    if (markedCount == 0) return 1;
    Field kept;
    kept.header = field.header;
    for (size_t i = 0; i < field.stars.size(); ++i)
        if (!marked[i]) kept.stars.push_back(field.stars[i]);
    kept.header.starCount = (int32_t)kept.stars.size();
    // the field first, then its copy in the index: each file is whole at
    // every step; a failure between them leaves the index copy with the
    // larger count, and the field file (the one the charts read) is right
    Index index;
    if (!ReadIndex(&index)) return 0;
    for (StarFieldHeader &x : index.headers)
        if (x.number == number) x = kept.header;
    if (!WriteField(kept)) return 0;
    return WriteIndex(index);
}

int DeleteStarField(int number) {
    Index index;
    if (!ReadIndex(&index)) return 0;
    auto at = std::find_if(index.headers.begin(), index.headers.end(),
                           [number](const StarFieldHeader &h) { return h.number == number; });
    if (at == index.headers.end()) return 0;
    index.headers.erase(at);
    if (!WriteIndex(index)) return 0;
    std::string path = FieldPath(number);
    return SafeRemove(path.c_str()) || !FileExists(path.c_str());
}

int OpenStarFieldWalk(StarFieldWalk *walk, double ra, double dec, double radius) {
    if (!walk) return 0;
    std::memset(walk, 0, sizeof *walk);
    int count = 0, next = 0;
    walk->index = OpenStarFieldIndex(&count, &next);
    if (!walk->index) return 0;
    walk->fieldCount = count;
    walk->nextNumber = next;
    walk->rightAscension = ra;
    walk->declination = dec;
    walk->radius = radius;
    return 1;
}

int NextStarFieldNear(StarFieldWalk *walk, char *name, double *ra, double *dec, double *radius,
                      int *starCount, int *number) {
    if (!walk || !walk->index) return 0;
    while (walk->fieldsRead < walk->fieldCount) {
        StarFieldHeader h;
        if (SafeRead(&h, sizeof h, 1, walk->index) != 1) break;
        ++walk->fieldsRead;
        h.name[kStarFieldNameSize - 1] = 0;
        if (AngularSeparation(walk->rightAscension, walk->declination, h.rightAscension,
                              h.declination) > walk->radius + h.radius)
            continue;
        if (name) std::memcpy(name, h.name, kStarFieldNameSize);
        if (ra) *ra = h.rightAscension;
        if (dec) *dec = h.declination;
        if (radius) *radius = h.radius;
        if (starCount) *starCount = h.starCount;
        if (number) *number = h.number;
        return 1;
    }
    CloseStarFieldWalk(walk);
    return 0;
}

void CloseStarFieldWalk(StarFieldWalk *walk) {
    if (walk && walk->index) {
        std::fclose(walk->index);
        walk->index = nullptr;
    }
}
