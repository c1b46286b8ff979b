// The Earth-satellite element store and its companion files.
#include "ephem/satstore.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "astro/angleparse.h"
#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "ephem/satgeometry.h"

namespace {

std::string g_folder;

const char *kStoreName = "esat.bin";
const char *kNamesName = "names.bin";
const char *kVisibleName = "esatv.bin";
const char *kElementsName = "alldat.tle";
const char *kMagnitudesName = "qsat.dat";
const size_t kRecordSize = sizeof(EarthSatelliteRecord);
const double kNoValue = 2147483647.0;
// One-day kind: a period within 2.5 hours of a day.
const double kOneDayTolerance = 0.10416666666666667;
const double kHighEccentricity = 0.1;
// Lines longer than this are cut (element lines have 69 columns).
const size_t kMaxLine = 255;

std::string PathOf(const char *name) {
    if (g_folder.empty()) return std::string();
    return g_folder + "/" + name;
}

// The next line without its CR and LF: 1 a line, 0 the end, -1 a read error.
int ReadLine(std::FILE *file, std::string *line) { return SafeReadLine(file, line, kMaxLine); }

void TerminateFields(EarthSatelliteRecord *r) {
    r->name[sizeof r->name - 1] = '\0';
    r->designator[sizeof r->designator - 1] = '\0';
}

// The whole store into memory; 0 when it cannot be opened or read.
int LoadStore(std::vector<EarthSatelliteRecord> *records) {
    records->clear();
    uint32_t count = 0;
    FileHandle store(OpenSatelliteStore(&count));
    if (!store) return 0;
    records->resize(count);
    if (count > 0 && SafeRead(records->data(), kRecordSize, count, store.get()) != count) {
        records->clear();
        return 0;
    }
    for (EarthSatelliteRecord &r : *records) TerminateFields(&r);
    return 1;
}

int WriteRecords(std::FILE *file, const std::vector<EarthSatelliteRecord> &records) {
    uint32_t count = static_cast<uint32_t>(records.size());
    if (!SafeWriteAll(file, &count, sizeof count)) return 0;
    if (!records.empty() && !SafeWriteAll(file, records.data(), records.size() * kRecordSize))
        return 0;
    return 1;
}

// The store replaced whole by the records, crash-safely.
int SaveStore(const std::vector<EarthSatelliteRecord> &records) {
    std::string path = PathOf(kStoreName);
    if (path.empty()) return 0;
    SafeRewrite rewrite;
    if (!BeginSafeRewrite(path.c_str(), &rewrite)) return 0;
    if (!WriteRecords(rewrite.file, records)) rewrite.failed = true;
    return CommitSafeRewrite(&rewrite);
}

bool ByNumber(const EarthSatelliteRecord &a, const EarthSatelliteRecord &b) {
    return a.number < b.number;
}

// Sorted by number; of two records of one number the later epoch stays
// (the first of equal epochs).
void SortAndDeduplicate(std::vector<EarthSatelliteRecord> *records) {
    std::stable_sort(records->begin(), records->end(), ByNumber);
    std::vector<EarthSatelliteRecord> out;
    out.reserve(records->size());
    for (const EarthSatelliteRecord &r : *records) {
        if (!out.empty() && out.back().number == r.number) {
            if (r.elements.epoch > out.back().elements.epoch) out.back() = r;
            continue;
        }
        out.push_back(r);
    }
    records->swap(out);
}

// The good satellites of an element text, at most kMaxImportedSatellites;
// *truncated is set when more were there. false on a read error: the
// satellites after it would be missing, so nothing of the text is used.
bool ReadElementText(std::FILE *text, std::vector<EarthSatelliteRecord> *out, bool *truncated,
                     bool classificationFlag) {
    *truncated = false;
    std::string nameLine, line1, line;
    bool haveName = false, haveLine1 = false;
    int got;
    while ((got = ReadLine(text, &line)) == 1) {
        if (haveLine1) {
            EarthSatelliteRecord r;
            if (ReadSatelliteFromLines(haveName ? nameLine.c_str() : nullptr, line1.c_str(),
                                       line.c_str(), &r)) {
                if (static_cast<int>(out->size()) >= kMaxImportedSatellites) {
                    *truncated = true;
                    break;
                }
                UpdateSatelliteOrbitFlags(&r);
                if (classificationFlag && line1.size() > 7 && line1[7] != 'U')
                    r.flags |= kSatelliteFlagged;
                out->push_back(r);
            }
            nameLine = line1;
            haveName = true;
        }
        line1 = line;
        haveLine1 = true;
    }
    return got >= 0;
}

bool IsElementLine(const char *line) { return CheckTwoLineChecksum(line) == 0; }

// The whole records of an open element file at its count.
int ReadElementFile(std::FILE *file, std::vector<EarthSatelliteRecord> *records) {
    uint32_t count = 0;
    if (SafeRead(&count, sizeof count, 1, file) != 1) return 0;
    long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
    long end = std::ftell(file);
    if (end < 0 || std::fseek(file, here, SEEK_SET) != 0) return 0;
    if (static_cast<uint64_t>(count) * kRecordSize > static_cast<uint64_t>(end - here)) return 0;
    records->resize(count);
    if (count > 0 && SafeRead(records->data(), kRecordSize, count, file) != count) return 0;
    for (EarthSatelliteRecord &r : *records) TerminateFields(&r);
    return 1;
}

bool MagnitudeTest(const EarthSatelliteRecord &r, double limit) {
    if (limit >= kSatelliteMagnitudeNone) return true;
    double m = ComputeSatelliteMagnitudeAtRange(r.standardMagnitude,
                                                ComputePerigeeHeight(&r.elements));
    return m <= limit;
}

EarthSatelliteRecord *HandOver(const std::vector<EarthSatelliteRecord> &selected, int *count) {
    *count = 0;
    if (selected.empty()) return nullptr;
    EarthSatelliteRecord *list =
        static_cast<EarthSatelliteRecord *>(std::malloc(selected.size() * kRecordSize));
    if (!list) return nullptr;
    std::memcpy(list, selected.data(), selected.size() * kRecordSize);
    *count = static_cast<int>(selected.size());
    return list;
}

}  // namespace

void SetSatelliteFolder(const char *folder) {
    g_folder = folder ? folder : "";
    while (g_folder.size() > 1 && (g_folder.back() == '/' || g_folder.back() == '\\'))
        g_folder.pop_back();
}

const char *GetSatelliteFolder() { return g_folder.c_str(); }

int MakeSatelliteFilePath(char *out, int size, const char *name) {
    if (!out || size <= 0) return 0;
    out[0] = '\0';
    std::string path = PathOf(name);
    if (path.empty() || static_cast<int>(path.size()) >= size) return 0;
    std::memcpy(out, path.c_str(), path.size() + 1);
    return 1;
}

void InitEarthSatelliteRecord(EarthSatelliteRecord *record) {
    if (!record) return;
    std::memset(record->name, 0, sizeof record->name);
    std::memset(record->designator, 0, sizeof record->designator);
    record->number = 0;
    record->standardMagnitude = kNoStandardMagnitude;
    record->flags = 0;
}

void UpdateSatelliteOrbitFlags(EarthSatelliteRecord *record) {
    if (!record) return;
    if (record->elements.eccentricity > kHighEccentricity)
        record->flags |= kSatelliteHighEccentricity;
    double n = record->elements.meanMotion;
    if (n > 0.0) {
        double period = 1.0 / (n * kMinutesPerDay / (2.0 * kPi));
        if (std::fabs(period - 1.0) <= kOneDayTolerance) record->flags |= kSatelliteOneDay;
    }
}

int ReadSatelliteFromLines(const char *nameLine, const char *line1, const char *line2,
                           EarthSatelliteRecord *record) {
    if (!record || !line1 || !line2) return 0;
    std::memset(record, 0, sizeof *record);
    InitEarthSatelliteRecord(record);
    TwoLineElementSet elements;
    if (ParseTwoLineElements(line1, line2, &elements) != kTleGood) return 0;
    int32_t number = ParseSatelliteNumber(line1);
    if (number < 0) return 0;
    record->elements = elements;
    record->number = static_cast<uint32_t>(number);
    // Designator: columns 10-16 of line 1.
    for (int i = 0; i < 7 && line1[9 + i]; ++i) record->designator[i] = line1[9 + i];
    int last = static_cast<int>(std::strlen(record->designator)) - 1;
    while (last >= 0 && record->designator[last] == ' ') record->designator[last--] = '\0';
    if (nameLine && !IsElementLine(nameLine)) {
        std::string name(nameLine);
        size_t cut = name.find_first_of("\r\n");
        if (cut != std::string::npos) name.erase(cut);
        std::string full = name;
        // The three-line form: "0 NAME".
        if (name.size() >= 2 && name[0] == '0' && name[1] == ' ') name.erase(0, 2);
        name = name.substr(0, 16);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
        std::memcpy(record->name, name.c_str(), name.size());
        if (full.size() > 31) {
            std::string field = full.substr(31, 4);
            bool blank = field.find_first_not_of(" \t") == std::string::npos;
            double m = blank ? kNoValue : ParseSexagesimal(field.c_str());
            if (m != kNoValue && std::fabs(m) < 90.0) record->standardMagnitude = static_cast<float>(m);
        }
    }
    return 1;
}

int CreateSatelliteStore() {
    std::vector<EarthSatelliteRecord> none;
    return SaveStore(none);
}

std::FILE *OpenSatelliteStore(uint32_t *count) {
    std::string path = PathOf(kStoreName);
    if (path.empty() || !count) return nullptr;
    std::FILE *file = SafeOpen(path.c_str(), "r+b");
    if (!file) return nullptr;
    FileHandle holder(file);
    uint32_t n = 0;
    if (SafeRead(&n, sizeof n, 1, file) != 1) return nullptr;
    if (std::fseek(file, 0, SEEK_END) != 0) return nullptr;
    long size = std::ftell(file);
    if (size < 4 || std::fseek(file, 4, SEEK_SET) != 0) return nullptr;
    if (static_cast<uint64_t>(n) * kRecordSize > static_cast<uint64_t>(size - 4)) return nullptr;
    *count = n;
    return holder.release();
}

int ReadSatelliteRecord(std::FILE *store, EarthSatelliteRecord *record, int index) {
    if (!store || !record || index < 0) return 0;
    if (std::fseek(store, 4 + static_cast<long>(index) * static_cast<long>(kRecordSize),
                   SEEK_SET) != 0)
        return 0;
    if (SafeRead(record, kRecordSize, 1, store) != 1) return 0;
    TerminateFields(record);
    return 1;
}

int FindEarthSatelliteByNumber(EarthSatelliteRecord *record, uint32_t number, int *index) {
    uint32_t count = 0;
    FileHandle store(OpenSatelliteStore(&count));
    if (!store) return 0;
    int low = 0, high = static_cast<int>(count) - 1;
    while (low <= high) {
        int middle = low + (high - low) / 2;
        EarthSatelliteRecord r;
        if (!ReadSatelliteRecord(store.get(), &r, middle)) return 0;
        if (r.number == number) {
            if (record) *record = r;
            if (index) *index = middle;
            return 1;
        }
        if (number < r.number)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return 0;
}

int FindSatelliteIndexByName(const char *name, int *index) {
    std::string path = PathOf(kNamesName);
    if (path.empty() || !name) return 0;
    FileHandle file(SafeOpen(path.c_str(), "rb"));
    if (!file) return 0;
    uint32_t count = 0;
    if (SafeRead(&count, sizeof count, 1, file.get()) != 1) return 0;
    int low = 0, high = static_cast<int>(std::min<uint32_t>(count, 0x7fffffff)) - 1;
    while (low <= high) {
        int middle = low + (high - low) / 2;
        SatelliteNameEntry e;
        if (std::fseek(file.get(), 4 + static_cast<long>(middle) * 21, SEEK_SET) != 0) return 0;
        if (SafeRead(&e, sizeof e, 1, file.get()) != 1) return 0;
        e.name[sizeof e.name - 1] = '\0';
        int c = std::strcmp(name, e.name);
        if (c == 0) {
            if (index) *index = e.recordIndex;
            return 1;
        }
        if (c < 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return 0;
}

int ImportTwoLineElements() {
    std::string path = PathOf(kElementsName);
    if (path.empty()) return 0;
    FileHandle text(SafeOpen(path.c_str(), "rb"));
    if (!text) return 0;
    std::vector<EarthSatelliteRecord> records;
    bool truncated = false;
    if (!ReadElementText(text.get(), &records, &truncated, true)) {
        std::printf("Read error\n");
        return 0;
    }
    text.reset();
    SortAndDeduplicate(&records);
    if (!SaveStore(records)) return 0;
    if (truncated)
        std::printf("%d total (more than %d element sets: the rest not read)\n",
                    static_cast<int>(records.size()), kMaxImportedSatellites);
    else
        std::printf("%d total\n", static_cast<int>(records.size()));
    return 1;
}

int UpdateSatellitesFromTwoLineElements(std::FILE *text) {
    if (!text) {
        std::printf("No file\n");
        return 0;
    }
    std::vector<EarthSatelliteRecord> store;
    if (!LoadStore(&store)) return 0;
    std::vector<EarthSatelliteRecord> candidates;
    bool truncated = false;
    if (!ReadElementText(text, &candidates, &truncated, false)) {
        std::printf("Read error\n");
        return 0;
    }
    SortAndDeduplicate(&candidates);
    int elementUpdates = 0, magnitudeUpdates = 0;
    std::vector<EarthSatelliteRecord> added;
    for (EarthSatelliteRecord c : candidates) {
        c.flags = 0;
        auto it = std::lower_bound(store.begin(), store.end(), c, ByNumber);
        if (it == store.end() || it->number != c.number) {
            UpdateSatelliteOrbitFlags(&c);
            added.push_back(c);
            continue;
        }
        EarthSatelliteRecord &stored = *it;
        c.flags = stored.flags;
        UpdateSatelliteOrbitFlags(&c);
        bool later = c.elements.epoch > stored.elements.epoch;
        bool magnitude = c.standardMagnitude < kSatelliteMagnitudeNone &&
                         stored.standardMagnitude > kSatelliteMagnitudeNone;
        if (!later && !magnitude) continue;
        EarthSatelliteRecord r = c;
        // A text without name lines gives no name: the stored one stays.
        if (r.name[0] == '\0') std::memcpy(r.name, stored.name, sizeof r.name);
        if (later) {
            ++elementUpdates;
        } else {
            r.elements = stored.elements;
        }
        if (c.standardMagnitude < kSatelliteMagnitudeNone) {
            ++magnitudeUpdates;
        } else {
            r.standardMagnitude = stored.standardMagnitude;
        }
        stored = r;
    }
    if (!added.empty()) {
        std::vector<EarthSatelliteRecord> merged;
        merged.reserve(store.size() + added.size());
        std::merge(store.begin(), store.end(), added.begin(), added.end(),
                   std::back_inserter(merged), ByNumber);
        store.swap(merged);
    }
    if (elementUpdates + magnitudeUpdates + static_cast<int>(added.size()) > 0 && !SaveStore(store))
        return 0;
    std::printf("%d tle updated, %d mags updated, %d added\n", elementUpdates, magnitudeUpdates,
                static_cast<int>(added.size()));
    return 1;
}

int ImportSatelliteMagnitudes() {
    std::string path = PathOf(kMagnitudesName);
    if (path.empty()) return 0;
    FileHandle text(SafeOpen(path.c_str(), "rb"));
    if (!text) return 0;
    std::vector<EarthSatelliteRecord> store;
    if (!LoadStore(&store)) return 0;
    std::vector<bool> written(store.size(), false);
    std::string line;
    int got;
    while ((got = ReadLine(text.get(), &line)) == 1) {
        std::string numberField = line.substr(0, 5);
        int number = ParseFixedWidthInteger(numberField.c_str(), 5);
        if (number == kMagnitudeFileEnd) break;
        if (number < 0 || number == 2147483647) continue;
        EarthSatelliteRecord key;
        key.number = static_cast<uint32_t>(number);
        auto it = std::lower_bound(store.begin(), store.end(), key, ByNumber);
        if (it == store.end() || it->number != key.number) continue;
        if (line.size() > 33) {
            std::string field = line.substr(33, 4);
            double m = ParseFixedWidthReal(field.c_str(), static_cast<int>(field.size()));
            if (m < kSatelliteMagnitudeNone && m > -kSatelliteMagnitudeNone)
                it->standardMagnitude = static_cast<float>(m) + kHalfPhaseMagnitudeOffset;
        }
        char kind = line.size() > 6 ? line[6] : ' ';
        switch (kind) {
            case 'c': it->flags |= kSatelliteFlagged; break;
            case 'd': it->flags |= kSatelliteExcluded; break;
            case 'f': it->flags |= kSatelliteKindF; break;
            case 'g': it->flags |= kSatelliteOneDay; break;
            case 'h': it->flags |= kSatelliteHighEccentricity; break;
            case 's': it->flags |= kSatelliteKindS; break;
            case 't': it->flags |= kSatelliteKindT; break;
            default: break;
        }
        written[static_cast<size_t>(it - store.begin())] = true;
    }
    if (got < 0) {
        std::printf("Read error\n");
        return 0;
    }
    text.reset();
    int updated = static_cast<int>(std::count(written.begin(), written.end(), true));
    if (updated > 0 && !SaveStore(store)) return 0;
    std::printf("%d updated\n", updated);
    return 1;
}

int WriteSatelliteNameIndex(uint32_t count, std::FILE *store, std::FILE *index) {
    if (!store || !index) return 0;
    std::vector<SatelliteNameEntry> entries;
    try {
        entries.resize(count);
    } catch (...) {
        return 0;
    }
    for (uint32_t i = 0; i < count; ++i) {
        EarthSatelliteRecord r;
        if (SafeRead(&r, kRecordSize, 1, store) != 1) return 0;
        TerminateFields(&r);
        std::memcpy(entries[i].name, r.name, sizeof entries[i].name);
        entries[i].recordIndex = static_cast<int32_t>(i);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const SatelliteNameEntry &a, const SatelliteNameEntry &b) {
                         return std::strcmp(a.name, b.name) < 0;
                     });
    if (!SafeWriteAll(index, &count, sizeof count)) return 0;
    if (count > 0 && !SafeWriteAll(index, entries.data(), entries.size() * sizeof entries[0]))
        return 0;
    return 1;
}

int BuildSatelliteIndexFiles() {
    uint32_t count = 0;
    FileHandle store(OpenSatelliteStore(&count));
    if (!store) return 0;
    // "esatv.bin": created empty; nothing reads it.
    std::string visible = PathOf(kVisibleName);
    if (!WriteWholeFileSafely(visible.c_str(), "", 0)) return 0;
    std::string names = PathOf(kNamesName);
    SafeRewrite rewrite;
    if (!BeginSafeRewrite(names.c_str(), &rewrite)) return 0;
    if (std::fseek(store.get(), 4, SEEK_SET) != 0 ||
        !WriteSatelliteNameIndex(count, store.get(), rewrite.file))
        rewrite.failed = true;
    if (!CommitSafeRewrite(&rewrite)) return 0;
    return static_cast<int>(count);
}

EarthSatelliteRecord *SelectSatellitesByKind(int ordinary, int highEccentricity, int oneDay,
                                             int flaggedOnly, double magnitudeLimit, int *count) {
    int dummy = 0;
    if (!count) count = &dummy;
    *count = 0;
    std::vector<EarthSatelliteRecord> all, selected;
    if (!LoadStore(&all)) return nullptr;
    for (const EarthSatelliteRecord &r : all) {
        if (r.flags & kSatelliteExcluded) continue;
        if (flaggedOnly && !(r.flags & kSatelliteFlagged)) continue;
        bool high = (r.flags & kSatelliteHighEccentricity) != 0;
        bool day = (r.flags & kSatelliteOneDay) != 0;
        bool wanted = (high && highEccentricity) || (day && oneDay) || (!high && !day && ordinary);
        if (!wanted || !MagnitudeTest(r, magnitudeLimit)) continue;
        selected.push_back(r);
    }
    return HandOver(selected, count);
}

EarthSatelliteRecord *SelectSatellitesByOrbit(double minimumEccentricity,
                                              double maximumEccentricity,
                                              double minimumRevolutions, double maximumRevolutions,
                                              double magnitudeLimit, int *count) {
    int dummy = 0;
    if (!count) count = &dummy;
    *count = 0;
    if (minimumEccentricity == -1.0) minimumEccentricity = -9999.0;
    if (maximumEccentricity == -1.0) maximumEccentricity = 9999.0;
    if (minimumRevolutions == -1.0) minimumRevolutions = 0.0;
    if (maximumRevolutions == -1.0) maximumRevolutions = 9999999.0;
    std::vector<EarthSatelliteRecord> all, selected;
    if (!LoadStore(&all)) return nullptr;
    for (const EarthSatelliteRecord &r : all) {
        double e = r.elements.eccentricity;
        double revolutions = r.elements.meanMotion * kMinutesPerDay / (2.0 * kPi);
        if (e < minimumEccentricity || e > maximumEccentricity) continue;
        if (revolutions < minimumRevolutions || revolutions > maximumRevolutions) continue;
        if (!MagnitudeTest(r, magnitudeLimit)) continue;
        selected.push_back(r);
    }
    return HandOver(selected, count);
}

int MergeSatelliteFiles(std::FILE *first, std::FILE *second, std::FILE *output, int *added) {
    if (added) *added = 0;
    if (!first || !second || !output) return 0;
    std::vector<EarthSatelliteRecord> a, b, out;
    if (!ReadElementFile(first, &a) || !ReadElementFile(second, &b)) return 0;
    std::stable_sort(a.begin(), a.end(), ByNumber);
    std::stable_sort(b.begin(), b.end(), ByNumber);
    int onlySecond = 0;
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        if (j >= b.size() || (i < a.size() && a[i].number < b[j].number)) {
            out.push_back(a[i++]);
        } else if (i >= a.size() || b[j].number < a[i].number) {
            EarthSatelliteRecord y = b[j++];
            y.flags |= kSatelliteExcluded;
            out.push_back(y);
            ++onlySecond;
        } else {
            const EarthSatelliteRecord &x = a[i++];
            const EarthSatelliteRecord &y = b[j++];
            bool magnitudeDiffers =
                x.standardMagnitude != y.standardMagnitude && x.standardMagnitude < 90.0f;
            if (magnitudeDiffers || x.elements.epoch > y.elements.epoch) {
                std::printf("%4.1lf = %4.1lf  %lf = %lf %s\n",
                            static_cast<double>(y.standardMagnitude),
                            static_cast<double>(x.standardMagnitude), y.elements.epoch,
                            x.elements.epoch, y.name);
                out.push_back(x);
            } else {
                out.push_back(y);
            }
        }
    }
    if (std::fseek(output, 0, SEEK_SET) != 0 || !WriteRecords(output, out)) return 0;
    if (added) *added = onlySecond;
    return static_cast<int>(out.size());
}

char *FormatInternationalDesignator(char *out, const char *designator) {
    if (!out) return out;
    out[0] = '\0';
    if (!designator || std::strlen(designator) < 6) return out;
    int yy = (designator[0] - '0') * 10 + (designator[1] - '0');
    if (yy < 0 || yy > 99) return out;
    int year = yy > 45 ? 1900 + yy : 2000 + yy;
    char launch[4] = {designator[2], designator[3], designator[4], '\0'};
    std::snprintf(out, 16, "%d-%s-%c", year, launch, designator[5]);
    return out;
}

int AppendSatelliteToList(EarthSatelliteRecord **list, const EarthSatelliteRecord *record,
                          int *count) {
    if (!list || !record || !count || *count < 0) return 0;
    EarthSatelliteRecord *grown = static_cast<EarthSatelliteRecord *>(
        std::realloc(*list, (static_cast<size_t>(*count) + 1) * kRecordSize));
    if (!grown) return 0;
    grown[*count] = *record;
    *list = grown;
    ++*count;
    return 1;
}
