// The unmatched-object scans of wizard step 2 and the naming of a new
// designation link.
#include "app/unmatched.h"
#include "core/safefile.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/delimited.h"
#include "app/formatfile.h"
#include "app/importlines.h"
#include "app/importpass.h"
#include "app/namelinks.h"
#include "app/recognizeretry.h"
#include "app/xmlreader.h"
#include "astro/datetime.h"
#include "astro/location.h"
#include "astro/sidereal.h"
#include "core/userfolder.h"
#include "objects/designationlist.h"
#include "objects/objectnames.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"

namespace {

// Closes a stream when it goes out of scope.
struct File {
    FILE *f = nullptr;
    explicit File(FILE *file) : f(file) {}
    ~File() {
        if (f) std::fclose(f);
    }
    File(const File &) = delete;
    File &operator=(const File &) = delete;
};

std::string UserFile(const char *name) {
    const char *folder = GetUserDataFolder();
    return std::string(folder ? folder : ".") + "/" + name;
}

// The scan site and time, built once.
struct ScanPlace {
    LocationRecord site;
    DateRecord date;
    ScanPlace() { MakeUnmatchedScanSiteAndTime(&site, &date); }
};

const ScanPlace &ThePlace() {
    static const ScanPlace place;
    return place;
}

// 1 when the text is neither recognised at the scan site and time nor linked.
int IsUnmatched(const char *text, FILE *links) {
    ObjectRecord found[3];
    const ScanPlace &p = ThePlace();
    if (RecognizeDesignation(&p.site, &p.date, text, found) >= 1) return 0;
    return FindDesignationLink(links, text, nullptr) < 0 ? 1 : 0;
}

void Reset(const UnmatchedRowSink *list) {
    if (list && list->reset) list->reset(list->context);
}

void Add(const UnmatchedRowSink *list, const char *text) {
    if (list && list->addRow) list->addRow(list->context, text);
}

// 1 when recognising the text at the scan place gives the object back (not
// traced: these are the importer's own attempts, not the file's texts).
bool RecognisedAs(const char *text, const ObjectRecord *object) {
    if (!text[0]) return false;
    ObjectRecord found[3];
    const ScanPlace &p = ThePlace();
    if (RecognizeDesignationWith(IdentifyObjectText, nullptr, &p.site, &p.date, text,
                                 found) < 1)
        return false;
    return found[0].objectClass == object->objectClass && found[0].index == object->index;
}

}  // namespace

void MakeUnmatchedScanSiteAndTime(LocationRecord *site, DateRecord *date) {
    InitLocationRecord(site, 0.0, 0.0, 0.0, kDefaultNakedEyeLimit, 0.0, 18.3, 60.0, 2, 0.0, 0.0,
                       "Default");
    SetDateRecord(date, site, 1, 1, 2000, 0.0, kLocalTime);
    ComputeDeltaTAndNutation(date, 0.0);
    ComputeSiderealTimes(site, date);
}

int ScanUnmatchedDesignationsDelimited(const UnmatchedRowSink *list, const ImportJob &job) {
    File links(std::fopen(UserFile(kDesignationLinkFileName).c_str(), "r"));
    Reset(list);
    FILE *opened = nullptr;
    ImportLineReader lines;
    if (OpenImportJobLines(job, &opened, &lines) < 0) return -1;
    File in(opened);
    const ImportFormat &format = *job.format;
    int32_t roles[kRoleSlots];
    BuildRoleTable(format, roles);
    std::string text;
    std::vector<char> line, field(kFieldSize);
    int rows = 0;
    for (;;) {
        ImportLineStatus read = ReadImportLine(&lines, &text);
        if (read == kImportLineEnd) break;
        if (read != kImportLineRead) {
            SetImportLineError(lines, read);
            return -1;
        }
        if (ClassifyDelimitedLine(text.c_str(), format) != kDelimitedEntryLine) continue;
        ForEachDelimitedField(text, format.delimiter, kRoleSlots, &line, &field, [&](int position, char *value) {
            if (roles[position] == kRoleTarget && value[0] && IsUnmatched(value, links.f)) {
                Add(list, value);
                ++rows;
            }
            return true;
        });
    }
    return rows;
}

int ScanUnmatchedDesignationsXml(const UnmatchedRowSink *list, const ImportJob &job) {
    File trace(SafeOpen(kPassTraceFileName, "w"));
    File links(std::fopen(UserFile(kDesignationLinkFileName).c_str(), "r"));
    Reset(list);
    FILE *opened = nullptr;
    XmlReader reader;
    if (OpenImportJobLines(job, &opened, &reader.lines) < 0) return -1;
    File in(opened);
    const ImportFormat &format = *job.format;
    if (!ReadFirstXmlLine(in.f, &reader)) {
        SetImportError("Unable to initialize file\n");
        return -1;
    }
    char targetTag[kFormatTagSize];
    std::snprintf(targetTag, sizeof targetTag, "%s", format.targetTag);
    std::vector<char> tag(kXmlTagBufferSize);
    std::string text;
    int rows = 0, closing = 0;
    while (ReadNextXmlTag(in.f, &reader, tag.data(), kXmlTagBufferSize, &closing)) {
        if (trace.f) SafePrintf(trace.f, "Key :%s: %d", tag.data(), closing ? 1 : 0);
        if (!closing && !IsSelfClosingXmlTag(tag.data()) &&
            XmlTagHasName(tag.data(), targetTag, sizeof targetTag) &&
            ReadXmlElementText(in.f, &reader, &text) > 0) {
            int result = 0;
            if (IsUnmatched(text.c_str(), links.f)) {
                Add(list, text.c_str());
                ++rows;
                result = 1;
            }
            if (trace.f) SafePrintf(trace.f, "  Target :%s: ret = %d count %d", text.c_str(), result, rows);
        }
        if (trace.f) SafePrintf(trace.f, "\n");
    }
    return rows;
}

int ChooseLinkDesignation(const ObjectRecord *object, const DesignationPreferences *prefs,
                          char *name) {
    name[0] = '\0';
    if (!object || object->objectClass == kClassNone) return -1;
    char first[kDesignationTextSize], second[kDesignationTextSize];
    FormatObjectName(object, first, prefs, second, nullptr, nullptr);
    std::vector<std::string> candidates{first, second};
    char natural[kDesignationTextSize], naturalSecond[kDesignationTextSize];
    FormatObjectName(object, natural, nullptr, naturalSecond, nullptr, nullptr);
    candidates.push_back(natural);
    candidates.push_back(naturalSecond);
    // Every kind of the object's family (class 2 uses the kind byte for its
    // satellites, and has no family).
    const int family = DesignationFamilyOfClass(object->objectClass);
    if (family >= 0) {
        ObjectRecord copy = *object;
        for (int kind = 1; kind <= KindCountOfFamily(family); ++kind) {
            copy.kind = static_cast<uint8_t>(kind);
            char text[kDesignationTextSize];
            if (FormatObjectNameOfKind(&copy, text)) candidates.push_back(text);
        }
    }
    for (const std::string &c : candidates) {
        if (RecognisedAs(c.c_str(), object)) {
            std::snprintf(name, kDesignationTextSize, "%s", c.c_str());
            return 1;
        }
    }
    for (const std::string &c : candidates) {
        if (!c.empty()) {
            std::snprintf(name, kDesignationTextSize, "%s", c.c_str());
            return 0;
        }
    }
    return -1;
}

int CanRecordDesignationLink(const char *designation, const char *name) {
    if (!designation || !name || !designation[0] || std::strchr(designation, '#')) return 0;
    // The lookup reads 511 characters of a line: the text, '#' and the name
    // must fit in them (the line end may fall beyond).
    const size_t kLineRoom = 511;
    return std::strlen(designation) + 1 + std::strlen(name) <= kLineRoom ? 1 : 0;
}
