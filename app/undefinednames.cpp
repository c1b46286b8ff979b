// The undefined-name scans of wizard step 3 and the records the step creates.
#include "app/undefinednames.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "app/delimited.h"
#include "app/formatfile.h"
#include "app/importlines.h"
#include "app/importpass.h"
#include "app/namelinks.h"
#include "app/xmlreader.h"
#include "astro/location.h"
#include "core/textutil.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "sites/sitestore.h"
#include "core/mathutil.h"
#include "core/safefile.h"

namespace {


using FilePtr = std::unique_ptr<FILE, FileCloser>;

bool EqualNoCase(const char *a, const char *b) { return CompareStringsNoCase(a, b) == 0; }

// The count at the head of a store of a signed 16-bit count and records.
int StoreCount(FILE *store) {
    int16_t count = 0;
    if (std::fseek(store, 0, SEEK_SET) != 0 || std::fread(&count, 2, 1, store) != 1) return 0;
    return count > 0 ? count : 0;
}

// The three stores, open for one scan; a store that cannot be opened is none
// and counts as empty.
struct Stores {
    FilePtr sites, observers, instruments;
    int32_t instrumentCount = 0;
    std::unique_ptr<InstrumentRecord> work{new InstrumentRecord};
    Stores() {
        int16_t n = 0;
        sites.reset(OpenLocationStore(&n));
        observers.reset(OpenObserverStore(&n));
        instruments.reset(OpenInstrumentFile(&instrumentCount));
    }
    bool InstrumentStored(const char *name) {
        if (!instruments || instrumentCount <= 0) return false;
        // A name longer than any stored name (31 characters) is not stored,
        // though its first 31 characters may be.
        if (std::strlen(name) >= sizeof work->name) return false;
        std::memset(work.get(), 0, sizeof *work);
        std::snprintf(work->name, sizeof work->name, "%s", name);
        int index = 0;
        return FindInstrumentByName(instruments.get(), work.get(), instrumentCount, &index) == 1;
    }
};

// Adds the name to the list unless a row equals it case-blind; a new spelling
// of a listed name is kept with that row.
void Note(std::vector<UndefinedName> &list, const char *name) {
    for (UndefinedName &row : list) {
        if (!EqualNoCase(row.name.c_str(), name)) continue;
        for (const std::string &s : row.spellings)
            if (s == name) return;
        row.spellings.push_back(name);
        return;
    }
    UndefinedName row;
    row.name = name;
    row.spellings.push_back(name);
    list.push_back(row);
}

void ExamineSite(Stores &stores, const char *field, UndefinedNameLists *lists) {
    const char *name = field[0] ? field : kBlankNameText;
    if (IsLocationNameInStore(stores.sites.get(), name)) return;
    if (FindLocationLink(name, nullptr)) return;
    Note(lists->sites, name);
}

void ExamineObserver(Stores &stores, const char *field, UndefinedNameLists *lists) {
    const char *name = field[0] ? field : kBlankNameText;
    if (IsObserverNameInStore(stores.observers.get(), name)) return;
    if (FindObserverLink(name, nullptr)) return;
    Note(lists->observers, name);
}

void ExamineInstrument(Stores &stores, const char *field, UndefinedNameLists *lists) {
    // The pass looks up "(blank)" for an empty field, in the store as in the links.
    const char *name = field[0] ? field : kBlankNameText;
    if (stores.InstrumentStored(name)) return;
    if (FindInstrumentLink(name, nullptr)) return;
    Note(lists->instruments, name);
}

// A tag of the file against a tag name of the format, by element name.
bool HasName(const char *tag, const char *name) { return XmlTagHasName(tag, name, kFormatTagSize) != 0; }

int MissingValue(bool site, bool observer, bool instrument) {
    if (!site) return kScanNoSite;
    if (!observer) return kScanNoObserver;
    if (!instrument) return kScanNoInstrument;
    return kScanAllDefined;
}

}  // namespace

const UndefinedName *FindUndefinedName(const std::vector<UndefinedName> &list, const char *name) {
    if (!name) return nullptr;
    for (const UndefinedName &row : list)
        if (EqualNoCase(row.name.c_str(), name)) return &row;
    return nullptr;
}

int IsLocationNameInStore(FILE *store, const char *name) {
    if (!store || !name || !name[0]) return 0;
    int count = StoreCount(store);
    char stored[33];
    for (int i = 0; i < count; ++i) {
        if (!ReadNextLocationName(store, stored)) return 0;
        if (EqualNoCase(stored, name)) return 1;
    }
    return 0;
}

int IsObserverNameInStore(FILE *store, const char *name) {
    if (!store || !name || !name[0]) return 0;
    int count = StoreCount(store);
    char stored[64];
    for (int i = 0; i < count; ++i) {
        if (!ReadNextObserver(store, stored)) return 0;
        if (EqualNoCase(stored, name)) return 1;
    }
    return 0;
}

int ScanUndefinedNamesInDelimitedFile(const ImportJob &job, UndefinedNameLists *lists) {
    lists->Clear();
    FILE *opened = nullptr;
    ImportLineReader lines;
    if (OpenImportJobLines(job, &opened, &lines) < 0) return kScanFailed;
    FilePtr in(opened);
    const ImportFormat &format = *job.format;
    int32_t roles[kRoleSlots];
    BuildRoleTable(format, roles);
    std::string line;
    std::vector<char> work, field(kFieldSize);
    Stores stores;
    for (;;) {
        ImportLineStatus read = ReadImportLine(&lines, &line);
        if (read == kImportLineEnd) break;
        // The pass refuses such a line with this message: the scan says so
        // now rather than list names of a file that cannot be imported.
        if (read != kImportLineRead) {
            SetImportLineError(lines, read);
            return kScanFailed;
        }
        SetImportError("%s", line.c_str());
        if (ClassifyDelimitedLine(line.c_str(), format) != kDelimitedEntryLine) continue;
        bool siteSeen = format.siteFixed != 0;
        bool observerSeen = format.observerFixed != 0;
        bool instrumentSeen = format.instrumentFixed != 0;
        // The splitter cuts the text in place: work on a copy. Fields are
        // bounded by the field buffer as in the pass.
        work.assign(line.begin(), line.end());
        work.push_back('\0');
        char *cursor = work.data();
        for (int position = 0; position < kRoleSlots; ++position) {
            cursor = NextDelimitedField(cursor, field.data(), format.delimiter);
            if (!cursor) break;
            switch (roles[position]) {
            case kRoleSite:
                ExamineSite(stores, field.data(), lists);
                siteSeen = true;
                break;
            case kRoleObserver:
                ExamineObserver(stores, field.data(), lists);
                observerSeen = true;
                break;
            case kRoleInstrument:
                ExamineInstrument(stores, field.data(), lists);
                instrumentSeen = true;
                break;
            default:
                break;
            }
        }
        int missing = MissingValue(siteSeen, observerSeen, instrumentSeen);
        if (missing != kScanAllDefined) return missing;
    }
    return kScanAllDefined;
}

int ScanUndefinedNamesInXmlFile(const ImportJob &job, UndefinedNameLists *lists) {
    lists->Clear();
    FILE *opened = nullptr;
    XmlReader reader;
    if (OpenImportJobLines(job, &opened, &reader.lines) < 0) return kScanFailed;
    FilePtr in(opened);
    const ImportFormat &format = *job.format;
    if (!ReadFirstXmlLine(in.get(), &reader)) {
        SetImportError("Unable to initialize file\n");
        return kScanFailed;
    }
    char entryTag[kFormatTagSize], targetTag[kFormatTagSize], siteTag[kFormatTagSize];
    char observerTag[kFormatTagSize], instrumentTag[kFormatTagSize];
    std::snprintf(entryTag, sizeof entryTag, "%s", format.entryTag);
    std::snprintf(targetTag, sizeof targetTag, "%s", format.targetTag);
    std::snprintf(siteTag, sizeof siteTag, "%s", format.siteTag);
    std::snprintf(observerTag, sizeof observerTag, "%s", format.observerTag);
    std::snprintf(instrumentTag, sizeof instrumentTag, "%s", format.instrumentTag);
    Stores stores;
    std::vector<char> tag(kXmlTagBufferSize);
    std::string text;
    bool inside = false, siteSeen = false, observerSeen = false, instrumentSeen = false;
    int closing = 0;
    while (ReadNextXmlTag(in.get(), &reader, tag.data(), kXmlTagBufferSize, &closing)) {
        if (!tag[0]) continue;
        if (closing) {
            if (inside && HasName(tag.data(), entryTag)) {
                int missing = MissingValue(siteSeen, observerSeen, instrumentSeen);
                if (missing != kScanAllDefined) return missing;
                inside = false;
            }
            continue;
        }
        if (IsSelfClosingXmlTag(tag.data())) continue;  // no text, no values
        if (HasName(tag.data(), entryTag)) {
            inside = true;
            siteSeen = format.siteFixed != 0;
            observerSeen = format.observerFixed != 0;
            instrumentSeen = format.instrumentFixed != 0;
            continue;
        }
        if (!inside) continue;
        // The pass compares a tag with the target first, then the site, the
        // observer and the instrument, and reads the element text anew for
        // each that equals it: a tag name given to two of them gives its text
        // to the first, and the later ones find none.
        bool read = false;
        auto takeText = [&](std::string *out) {
            if (read) {
                out->clear();
                return 0;
            }
            read = true;
            return ReadXmlElementText(in.get(), &reader, out);
        };
        if (HasName(tag.data(), targetTag)) takeText(&text);
        if (!format.siteFixed && HasName(tag.data(), siteTag) && takeText(&text) > 0) {
            ExamineSite(stores, text.c_str(), lists);
            siteSeen = true;
        }
        if (!format.observerFixed && HasName(tag.data(), observerTag) &&
            takeText(&text) > 0) {
            ExamineObserver(stores, text.c_str(), lists);
            observerSeen = true;
        }
        if (!format.instrumentFixed && HasName(tag.data(), instrumentTag) &&
            takeText(&text) > 0) {
            ExamineInstrument(stores, text.c_str(), lists);
            instrumentSeen = true;
        }
    }
    return kScanAllDefined;
}

namespace {

// Opens instr.bin, making an empty one first when there is none yet.
FILE *OpenOrCreateInstrumentFile(int32_t *count) {
    FILE *f = OpenInstrumentFile(count);
    if (f) return f;
    CreateInstrumentFile();
    return OpenInstrumentFile(count);
}

int AppendNewInstrument(InstrumentRecord *record) {
    int32_t count = 0;
    FilePtr f(OpenOrCreateInstrumentFile(&count));
    if (!f) return 0;
    return AppendInstrument(f.get(), record) == 1 ? 1 : 0;
}

void PrepareBlock(OpticsBlock *block) {
    block->eyepieceCount = 0;
    block->cameraCount = 0;
    block->currentEyepiece = kNoEyepiece;
    block->extenderIndex = kNoEyepiece;
}

}  // namespace

int CreateDefaultTelescope(InstrumentRecord *record, const char *name) {
    if (!record || !name) return 0;
    std::memset(record, 0, sizeof *record);
    std::snprintf(record->name, sizeof record->name, "%s", name);
    record->opticsCount = 2;
    record->displayUnit = 0;  // inches
    record->kind = kInstrumentTelescope;
    record->mounting = 1;     // equatorial
    record->sightFlags = 0;
    // Reflex-sight rings of 0.5, 2 and 4 degrees.
    record->rings[0] = static_cast<float>(0.5 * kPi / 180.0);
    record->rings[1] = static_cast<float>(2.0 * kPi / 180.0);
    record->rings[2] = static_cast<float>(4.0 * kPi / 180.0);
    OpticsBlock &main = record->optics[0];
    InitTelescopeOptics(&main, "Main Scope", kOpticsReflector, 1.0, 0.0, 1.0, 1, 1, 0.5);
    PrepareBlock(&main);
    ComputeOpticsLimits(&main);
    OpticsBlock &finder = record->optics[1];
    InitTelescopeOptics(&finder, "Finder", kOpticsRefractor, 1.18, 6.0, 0.0, 1, 1, 1.0);
    PrepareBlock(&finder);
    ComputeOpticsLimits(&finder);
    finder.magnification = 6.0;
    return AppendNewInstrument(record);
}

int CreateDefaultBinoculars(InstrumentRecord *record, const char *name) {
    if (!record || !name) return 0;
    std::memset(record, 0, sizeof *record);
    std::snprintf(record->name, sizeof record->name, "%s", name);
    record->opticsCount = 1;
    record->displayUnit = 0;
    record->kind = kInstrumentBinoculars;
    OpticsBlock &main = record->optics[0];
    if (!InitFixedMagnificationOptics(&main, "Binoculars", 7.0, 50.0, 0.0)) return 0;
    PrepareBlock(&main);
    return AppendNewInstrument(record);
}

int ReloadInstrumentById(InstrumentRecord *record, int id) {
    if (!record) return 0;
    int32_t count = 0;
    FilePtr f(OpenInstrumentFile(&count));
    if (!f) return 0;
    std::unique_ptr<InstrumentRecord> found(new InstrumentRecord);
    if (FindInstrumentById(f.get(), found.get(), id) <= 0) return 0;
    std::memcpy(record, found.get(), sizeof *record);
    return 1;
}

int RemoveInstrumentById(int id) {
    int32_t count = 0;
    FILE *f = OpenInstrumentFile(&count);
    if (!f) return 0;
    std::unique_ptr<InstrumentRecord> found(new InstrumentRecord);
    const int at = FindInstrumentById(f, found.get(), id);
    int removed = 0;
    if (at > 0) removed = DeleteInstrument(&f, at - 1) == 1 ? 1 : 0;
    if (f) std::fclose(f);
    return removed;
}

int AppendObserverRecord(const ObserverRecord *record) {
    if (!record) return 0;
    int16_t count = 0;
    FilePtr f(OpenObserverStore(&count));
    if (!f) return 0;
    return AppendObserver(f.get(), record) == 1 ? 1 : 0;
}
