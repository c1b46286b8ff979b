// Readers of the double-star catalogue: system records and their component
// lists, the identifier search, the ADS index, the discoverer designation
// lists and the notes.
#include "objects/ccdmcat.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/datapaths.h"
#include "core/mathutil.h"
#include "core/textutil.h"
#include "objects/binsearch.h"
#include "objects/catcache.h"
#include "objects/catfile.h"
#include "objects/starcat.h"

struct CcdmFiles {
    FILE *components;
    FILE *systems;
};

namespace {
const int kReferenceSlot = 1;
const int kCcdmCatalogue = 13, kCcdmComponentCatalogue = 14, kAdsCatalogue = 15;
const int kDiscovererCatalogue = 86, kDiscovererFullCatalogue = 87, kNotesCatalogue = 91;
const int kMaxProbes = 50;
const double kArcsecToRadians = kPi / 648000.0;
const int kNoMagnitude16 = 32767;

struct FileCloser {
    void operator()(FILE *f) const {
        if (f) std::fclose(f);
    }
};

double Magnitude16(const unsigned char *p) {
    const int16_t v = GetI16(p);
    return v == kNoMagnitude16 ? kCcdmNoMagnitude : v * 0.01;
}

double Motion(uint32_t code) { return ProperMotionCodeToArcsec(code) * kArcsecToRadians; }

void DecodeComponent(const unsigned char *p, CcdmComponent *c, int flags) {
    std::memset(c, 0, sizeof *c);
    const uint32_t star = GetU32(p + 9);
    if (star & 0x80000000u) {
        c->gscNumber = (uint16_t)(star & 0x3fff);
        c->gscRegion = (uint16_t)((star >> 14) & 0x1ffff);
    } else {
        c->starNumber = (int32_t)star;
    }
    c->orbitNumber = GetI16(p + 31);
    if (flags & kCcdmReadIdentifiers) {
        c->referenceLetter = (char)p[19];
        c->letter = (char)p[20];
        std::memcpy(c->identifier, p, 7);
        c->identifier[7] = '\0';
        c->adsNumber = GetU16(p + 7);
        c->keyC = GetU16(p + 13);
        c->keyD = GetU16(p + 15);
    }
    if (flags & kCcdmReadMeasures) {
        c->positionAngle = GetU16(p + 17) * 361.0 / 65535.0;
        c->separation = GetU24(p + 21) * 0.001;
        c->epochYear = GetU16(p + 28);
    }
    c->magnitude = (flags & kCcdmReadMagnitudes) ? Magnitude16(p + 24) : kCcdmNoMagnitude;
}

int FileRecordCount(FILE *stream, int size) {
    const int64_t bytes = stream ? StreamSize(stream) : -1;
    return bytes > 0 ? (int)(bytes / size) : 0;
}

bool DirectoriesSet() {
    const char *dir = GetRefDirectory(kReferenceSlot);
    return dir && dir[0];
}

// The key against a record's name in its normalised form (the order of the
// file's halving search).
int CompareDiscovererRecord(const void *key, const unsigned char *record) {
    char name[kDiscovererNameSize + 2];
    std::memcpy(name, record, kDiscovererNameSize);
    name[kDiscovererNameSize] = '\0';
    NormaliseDiscovererName(name, sizeof name);
    return std::strcmp(static_cast<const char *>(key), name);
}

// 1 with the record of the normalised key in a discoverer file; 0 absent
// (or the file cannot be read). The file is searched in memory (read once,
// see catcache.h): a file that is not there is not opened again per lookup.
int LookUpDiscoverer(int catalogue, const char *key, unsigned char *record) {
    std::shared_ptr<const CatalogueImage> image = CatalogueFileImage(catalogue, kReferenceSlot);
    if (!image) return 0;
    const int index = SearchImageRecords(image.get(), kDiscovererRecordSize, key, CompareDiscovererRecord);
    if (index < 0) return 0;
    std::memcpy(record, image->bytes.data() + static_cast<size_t>(index) * kDiscovererRecordSize,
                kDiscovererRecordSize);
    return 1;
}

// The text copied (at most 63 characters) and normalised; false when empty.
bool PrepareKey(const char *text, char *key, size_t size, bool dropComponentA) {
    std::snprintf(key, size, "%.63s", text);
    size_t n = std::strlen(key);
    if (dropComponentA && n > 0 && key[n - 1] == 'A') key[--n] = '\0';
    NormaliseDiscovererName(key, size);
    return key[0] != '\0';
}
}  // namespace

CcdmFiles *OpenCcdmFiles() {
    std::unique_ptr<FILE, FileCloser> components(
        OpenCatalogueFile(kCcdmComponentCatalogue, kReferenceSlot));
    if (!components) return nullptr;
    std::unique_ptr<FILE, FileCloser> systems(OpenCatalogueFile(kCcdmCatalogue, kReferenceSlot));
    if (!systems) return nullptr;
    return new CcdmFiles{components.release(), systems.release()};
}

void CloseCcdmFiles(CcdmFiles *files) {
    if (!files) return;
    if (files->components) std::fclose(files->components);
    if (files->systems) std::fclose(files->systems);
    delete files;
}

int CountCcdmRecords(CcdmFiles *files) {
    return files ? FileRecordCount(files->systems, kCcdmRecordSize) : 0;
}

int ReadCcdmRecord(CcdmFiles *files, int n, double *ra, double *dec, double *pmRa, double *pmDec,
                   double *magnitude, CcdmIdentifier *id, int *primary, int *keyA, int *keyB,
                   CcdmComponent *components, int flags) {
    if (!files || !files->systems) return -1;
    unsigned char p[kCcdmRecordSize];
    if (n == -1) {
        if (std::fread(p, 1, sizeof p, files->systems) != sizeof p) return -1;
    } else {
        if (n < 1 || n > CountCcdmRecords(files)) return -1;
        if (!ReadAt(files->systems, (int64_t)(n - 1) * kCcdmRecordSize, p, sizeof p)) return -1;
    }
    if (id && (flags & kCcdmReadIdentifiers)) {
        const uint16_t second = GetU16(p + 27);
        id->first = GetU16(p + 25);
        id->second = second & 0x7fff;
        id->sign = (second & 0x8000) ? '+' : '-';
    }
    const int star = (int)GetU24(p + 4);
    if (star == 0) {
        if (primary) *primary = 0;
        if (keyA) *keyA = 0;
        if (keyB) *keyB = 0;
        if (ra) *ra = 0.0;
        if (dec) *dec = 0.0;
        if (pmRa) *pmRa = 0.0;
        if (pmDec) *pmDec = 0.0;
        if (magnitude) *magnitude = kCcdmEmptyMagnitude;
        return 0;
    }
    if (primary) *primary = star;
    if (flags & kCcdmReadIdentifiers) {
        if (keyA) *keyA = GetU16(p + 7);
        if (keyB) *keyB = GetU16(p + 9);
    }
    if (flags & kCcdmReadPosition) {
        const double d = TurnFractionToRadians(GetI32(p + 15));
        if (ra) *ra = TurnFractionToRadians(GetI32(p + 11));
        if (dec) *dec = d;
        const double c = std::cos(d);
        if (pmRa) *pmRa = c > 1e-9 ? Motion(GetU24(p + 19)) / c : 0.0;
        if (pmDec) *pmDec = Motion(GetU24(p + 22));
    }
    if (magnitude && (flags & kCcdmReadMagnitudes)) *magnitude = Magnitude16(p + 29);
    const uint32_t word = GetU32(p);
    const int countByte = (int)(word >> 24);
    const int count = countByte > 0 ? countByte - 1 : 0;
    if (!(flags & kCcdmReadComponents) || !components) return count;
    if (!files->components) return 0;
    const int64_t offset = word & 0xffffff;
    const int64_t size = StreamSize(files->components);
    if (size < 0 || offset + (int64_t)count * kCcdmComponentSize > size) return 0;
    std::unique_ptr<unsigned char[]> list(new unsigned char[(size_t)count * kCcdmComponentSize + 1]);
    if (count > 0 && !ReadAt(files->components, offset, list.get(), (size_t)count * kCcdmComponentSize))
        return 0;
    for (int i = 0; i < count; ++i)
        DecodeComponent(list.get() + (size_t)i * kCcdmComponentSize, &components[i], flags);
    return count;
}

int CompareCcdmIdentifiers(const CcdmIdentifier &a, const CcdmIdentifier &b) {
    if (a.first != b.first) return a.first > b.first ? 1 : -1;
    const int sa = a.sign == '-' ? -a.second : a.second;
    const int sb = b.sign == '-' ? -b.second : b.second;
    if (sa == sb) return 0;
    return sa < sb ? 1 : -1;
}

int FindCcdmRecord(CcdmIdentifier key, int *record, double *ra, double *dec, double *pmRa,
                   double *pmDec, double *magnitude, CcdmIdentifier *id, int *primary, int *keyA,
                   int *keyB, CcdmComponent *components, int flags) {
    CcdmFiles *files = OpenCcdmFiles();
    if (!files) return -1;
    // The number of systems comes from the file, so a smaller catalogue
    // (or a larger edition) is searched whole.
    int low = 1, high = CountCcdmRecords(files), probes = 0, result = 0, probe = 0;
    while (low <= high) {
        if (++probes > kMaxProbes) {
            result = -1;
            break;
        }
        probe = low + (high - low) / 2;
        CcdmIdentifier found{0, 0, '+'};
        const int count = ReadCcdmRecord(files, probe, ra, dec, pmRa, pmDec, magnitude, &found,
                                         primary, keyA, keyB, components,
                                         flags | kCcdmReadIdentifiers);
        if (count < 0) {
            result = -1;
            break;
        }
        const int order = CompareCcdmIdentifiers(key, found);
        if (order == 0) {
            if (id) *id = found;
            result = count;
            break;
        }
        if (order > 0) low = probe + 1;
        else high = probe - 1;
    }
    if (record) *record = probe;
    CloseCcdmFiles(files);
    return result;
}

double ReferenceMagnitude(const CcdmComponent *components, int index, int count,
                          double primaryMagnitude) {
    if (!components || index < 0 || index >= count) return kCcdmNoMagnitude;
    const char reference = components[index].referenceLetter;
    if (reference == 'A') return primaryMagnitude;
    for (int i = 0; i < count; ++i)
        if (components[i].letter == reference) return components[i].magnitude;
    return kCcdmNoMagnitude;
}

FILE *OpenAdsIndex() { return OpenCatalogueFile(kAdsCatalogue, kReferenceSlot); }

int ReadAdsIndex(FILE *stream, int ads, int out[3]) {
    if (!stream || !out || ads < 1 || ads > kLastAdsNumber) return 0;
    unsigned char p[kAdsRecordSize];
    if (!ReadAt(stream, (int64_t)(ads - 1) * kAdsRecordSize, p, sizeof p)) return 0;
    int nonZero = 0;
    for (int i = 0; i < 3; ++i) {
        out[i] = GetI32(p + 4 * i);
        if (out[i] != 0) ++nonZero;
    }
    return nonZero;
}

void NormaliseDiscovererName(char *text, size_t size) {
    if (!text || size == 0) return;
    SqueezeBlanks(text);
    if (std::strchr(text, ' ')) return;
    const size_t n = std::strlen(text);
    size_t digit = 0;
    while (digit < n && !std::isdigit(static_cast<unsigned char>(text[digit]))) ++digit;
    if (digit == 0 || digit == n || n + 2 > size) return;
    std::memmove(text + digit + 1, text + digit, n - digit + 1);
    text[digit] = ' ';
}

int FindDiscovererStar(const char *text) {
    if (!text || !text[0] || !DirectoriesSet()) return -1;
    char key[72];
    if (!PrepareKey(text, key, sizeof key, true)) return -1;
    unsigned char record[kDiscovererRecordSize];
    if (!LookUpDiscoverer(kDiscovererCatalogue, key, record)) return 0;
    return GetI32(record + kDiscovererNameSize);
}

int FindDiscovererStarFull(const char *text, int *alternativeStar, int *value, int *byte) {
    if (!text || !text[0] || !DirectoriesSet()) return -1;
    const size_t n = std::strlen(text);
    if (std::isdigit(static_cast<unsigned char>(text[n - 1]))) return 0;
    char key[72];
    if (!PrepareKey(text, key, sizeof key, false)) return -1;
    unsigned char record[kDiscovererRecordSize];
    if (!LookUpDiscoverer(kDiscovererFullCatalogue, key, record)) return 0;
    if (alternativeStar) *alternativeStar = GetI32(record + 14);
    if (value) *value = GetI32(record + 18);
    if (byte) *byte = record[22];
    return GetI32(record + kDiscovererNameSize);
}

FILE *OpenDiscovererList() { return OpenCatalogueFile(kDiscovererCatalogue, kReferenceSlot); }

int ReadDiscovererEntry(FILE *stream, int index, char *name) {
    if (!stream || index < 0 || index >= FileRecordCount(stream, kDiscovererRecordSize)) return -1;
    unsigned char p[kDiscovererRecordSize];
    if (!ReadAt(stream, (int64_t)index * kDiscovererRecordSize, p, sizeof p)) return -1;
    if (name) {
        std::memcpy(name, p, kDiscovererNameSize);
        name[kDiscovererNameSize - 1] = '\0';
    }
    return GetI32(p + kDiscovererNameSize);
}

FILE *OpenDoubleStarNotes() { return OpenCatalogueFile(kNotesCatalogue, kReferenceSlot); }

int ReadDoubleStarNote(FILE *stream, int n, char *buffer, size_t size) {
    if (!stream || !buffer || n < 1) return 0;
    unsigned char entry[kNoteIndexEntrySize];
    if (!ReadAt(stream, (int64_t)(n - 1) * kNoteIndexEntrySize, entry, sizeof entry)) return 0;
    const uint32_t offset = GetU32(entry);
    const uint16_t length = GetU16(entry + 4);
    if (length > size) return 0;
    return ReadAt(stream, offset, buffer, length) ? 1 : 0;
}
