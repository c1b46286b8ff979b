// The working entry of the import passes: resolving each value read from a
// log file against the suite's stores and the name links, and completing an
// entry into a preview record or an addition to the observing log.
#include "app/entrycompletion.h"

#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "app/namelinks.h"
#include "app/delimited.h"
#include "astro/angleparse.h"
#include "astro/angletext.h"
#include "astro/sidereal.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "core/userfolder.h"
#include "instruments/instrumentstore.h"
#include "logstore/logadd.h"
#include "logstore/logentryfile.h"
#include "core/mathutil.h"

namespace {

DesignationParser g_parser = nullptr;
ImportPassTally g_lastTally;

// Copies at most maxChars characters of text into a field of size bytes.
void CopyCut(char *field, size_t size, const char *text, size_t maxChars) {
    if (!field || size == 0) return;
    size_t n = text ? std::strlen(text) : 0;
    if (n > maxChars) n = maxChars;
    if (n > size - 1) n = size - 1;
    if (n) std::memcpy(field, text, n);
    field[n] = '\0';
}

std::string Cut(const std::string &text, size_t maxChars) {
    return text.size() > maxChars ? text.substr(0, maxChars) : text;
}

void CloseFile(FILE *&f) {
    if (f) std::fclose(f);
    f = nullptr;
}

// The date text of the preview: the date as read, then the time as read when
// a time value was given; 63 characters.
std::string PreviewDateText(const WorkingEntry &e) {
    std::string t = e.dateText;
    if (e.timeGiven) t += " " + e.timeText;
    return Cut(t, kPreviewTextSize - 1);
}

// Scans loc.bin for the first site whose name equals name case-blind.
// 1 found, 0 absent, -1 with "General Error 1" or "General Error 2".
int ScanSiteStore(const char *name, ResolvedSite *out) {
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    if (!f) return 0;  // a store that cannot be opened counts as empty
    int result = 0;
    for (int i = 0; i < count; ++i) {
        LocationRecord record;
        LocationTrailer trailer;
        long at = 2L + static_cast<long>(i) * kLocationSlotSize;
        if (std::fseek(f, at, SEEK_SET) != 0 || std::fread(&record, sizeof record, 1, f) != 1) {
            SetImportError("General Error 1");
            result = -1;
            break;
        }
        if (std::fread(&trailer, sizeof trailer, 1, f) != 1) {
            SetImportError("General Error 2");
            result = -1;
            break;
        }
        record.name[sizeof record.name - 1] = '\0';
        if (CompareStringsNoCase(record.name, name) == 0) {
            out->record = record;
            out->trailer = trailer;
            result = 1;
            break;
        }
    }
    std::fclose(f);
    return result;
}

// A linked site counts only when loc.bin holds it with the same name and
// coordinates; the stored record and trailer are then used.
int LinkedSite(const char *name, ResolvedSite *out) {
    LocationRecord linked;
    if (!FindLocationLink(name, &linked)) return 0;
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    if (!f) return 0;
    LocationTrailer trailer;
    int16_t index = 0;
    int found = FindLocation(f, &linked, &trailer, &index);
    std::fclose(f);
    if (found != 1) return 0;
    out->record = linked;
    out->trailer = trailer;
    return 1;
}

// Scans observer.bin for the first observer whose name equals name
// case-blind. 1 found, 0 absent, -1 with "General Error 3".
int ScanObserverStore(const char *name, ObserverRecord *out) {
    int16_t count = 0;
    FILE *f = OpenObserverStore(&count);
    if (!f) return 0;
    int result = 0;
    for (int i = 0; i < count; ++i) {
        ObserverRecord record;
        if (!ReadObserver(f, i, &record)) {
            SetImportError("General Error 3");
            result = -1;
            break;
        }
        if (CompareStringsNoCase(record.name, name) == 0) {
            *out = record;
            result = 1;
            break;
        }
    }
    std::fclose(f);
    return result;
}

// The instrument of that name in instr.bin, exactly; its index, or -1.
int ScanInstrumentStore(const char *name, InstrumentRecord *out) {
    if (std::strlen(name) >= sizeof out->name) return -1;  // longer than any stored name
    int32_t count = 0;
    FILE *f = OpenInstrumentFile(&count);
    if (!f) return -1;
    std::memset(out->name, 0, sizeof out->name);
    std::memcpy(out->name, name, std::strlen(name));
    int index = -1;
    if (!FindInstrumentByName(f, out, count, &index)) index = -1;
    std::fclose(f);
    return index;
}

int ReadStoredInstrument(int index, InstrumentRecord *out) {
    int32_t count = 0;
    FILE *f = OpenInstrumentFile(&count);
    if (!f) return 0;
    int ok = index < count && ReadInstrument(f, out, index);
    std::fclose(f);
    return ok;
}

// The name as looked up: "(blank)" for an empty text.
std::string LookupName(const char *text) {
    if (!text || !text[0]) return kBlankNameText;
    return text;
}

int Recognize(ImportPassContext *ctx) {
    WorkingEntry &e = *ctx->entry;
    DesignationParser parser = ctx->parser ? ctx->parser : g_parser;
    if (parser)
        return RecognizeDesignationWith(parser, nullptr, &e.site, &e.date, e.target, e.object);
    return RecognizeDesignation(&e.site, &e.date, e.target, e.object);
}

// Completes the date record for the site: local clock hours, or universal
// time when the text said so (the calendar date then follows the site's
// civil time, as the list text and the detail view show it).
void CompleteDate(WorkingEntry &e) {
    double hours = e.timeGiven ? e.timeHours : e.dateHours;
    int universal = e.timeGiven ? e.timeUniversal : e.dateUniversal;
    int year = CompleteTwoDigitYear(e.year);
    std::memset(&e.date, 0, sizeof e.date);
    SetDateRecord(&e.date, &e.site, e.month, e.day, year, hours,
                  universal ? kUniversalTime : kLocalTime);
    if (universal) SetDateRecordFromJulianDate(&e.site, &e.date);
    ComputeDeltaTAndNutation(&e.date, 0.0);
    ComputeSiderealTimes(&e.site, &e.date);
}

// 1 when the site's longitude, latitude and zone are numbers in their ranges
// (radians; hours).
int SiteIsUsable(const LocationRecord &site) {
    double lon = site.longitude, lat = site.latitude, zone = site.timeZone;
    return std::isfinite(lon) && std::isfinite(lat) && std::isfinite(zone) &&
           std::fabs(lon) <= 2 * kPi && std::fabs(lat) <= kPi / 2 + 1e-9 &&
           std::fabs(zone) <= 24.0;
}

// The site as the message names it: the text read from the file, or the
// record's name for a fixed site.
std::string SiteTextForMessage(const WorkingEntry &e) {
    char name[sizeof e.site.name + 1];
    std::memcpy(name, e.site.name, sizeof e.site.name);
    name[sizeof e.site.name] = 0;
    return name;
}

}  // namespace

std::unique_ptr<WorkingEntry> MakeWorkingEntry() {
    std::unique_ptr<WorkingEntry> e(new (std::nothrow) WorkingEntry);
    if (!e) return e;
    e->instrument.reset(new (std::nothrow) InstrumentRecord);
    if (!e->instrument) return nullptr;
    return e;
}

void SetImportDesignationParser(DesignationParser parser) { g_parser = parser; }

const ImportPassTally &LastImportPassTally() { return g_lastTally; }

ImportPassContext::ImportPassContext() = default;

ImportPassContext::~ImportPassContext() {
    CloseFile(importFile);
    CloseFile(previewFile);
    CloseFile(linkFile);
    CloseFile(traceFile);
}

int BeginImportPass(ImportPassContext *ctx, const ImportListSink *list, const ImportJob &job,
                    int preview, int *added) {
    if (!ctx) return -1;
    ctx->format = job.format.get();
    ctx->list = list;
    ctx->preview = preview;
    ctx->added = added;
    ctx->tally = ImportPassTally();
    if (added) *added = 0;
    // The trace file is emptied; one that cannot be opened (a read-only
    // current folder) does not stop the pass.
    ctx->traceFile = SafeOpen(kPassTraceFileName, "w");

    ctx->importPath = ImportJobPath(job);
    ctx->entry = MakeWorkingEntry();
    ctx->record.reset(new (std::nothrow) PreviewRecord);
    if (!ctx->entry || !ctx->record) {
        SetImportError("Not enough memory to import %s\n", ctx->importPath.c_str());
        return FailImportPass(ctx);
    }
    // The lines to skip are dropped whole, whatever their length.
    if (OpenImportJobLines(job, &ctx->importFile, &ctx->lines) < 0) return FailImportPass(ctx);
    if (preview) {
        char previewPath[1024] = "";
        if (MakeUserDataPath(previewPath, sizeof previewPath, kPreviewFileName))
            ctx->previewFile = SafeOpen(previewPath, "wb");
        if (!ctx->previewFile) {
            SetImportError("Unable to open output file: %s\n", previewPath);
            return FailImportPass(ctx);
        }
        // Each record leaves in one write, straight from the pass's record.
        std::setvbuf(ctx->previewFile, nullptr, _IONBF, 0);
    }
    ctx->linkFile = OpenUserDataFile(kDesignationLinkFileName, "r");
    return 1;
}

static void CloseAll(ImportPassContext *ctx) {
    CloseFile(ctx->importFile);
    CloseFile(ctx->previewFile);
    CloseFile(ctx->linkFile);
    CloseFile(ctx->traceFile);
    g_lastTally = ctx->tally;
}

int FinishImportPass(ImportPassContext *ctx) {
    if (!ctx) return -1;
    // A preview file that cannot be completed on disk fails the pass.
    if (ctx->previewFile && std::fflush(ctx->previewFile) != 0) {
        SetImportError("Error writing log data to temporary file for %s", ctx->importPath.c_str());
        return FailImportPass(ctx);
    }
    CloseAll(ctx);
    return ctx->tally.processed;
}

int FailImportPass(ImportPassContext *ctx) {
    if (ctx) CloseAll(ctx);
    return -1;
}

void ResetWorkingEntry(ImportPassContext *ctx) {
    WorkingEntry &e = *ctx->entry;
    std::memset(&e.site, 0, sizeof e.site);
    std::memset(&e.trailer, 0, sizeof e.trailer);
    std::memset(&e.observer, 0, sizeof e.observer);
    std::memset(e.instrument.get(), 0, sizeof(InstrumentRecord));
    e.month = e.day = e.year = -1;
    e.dateHours = 0.0;
    e.dateUniversal = 0;
    e.timeGiven = 0;
    e.timeReadable = 1;
    e.timeHours = 2147483647.0;
    e.timeUniversal = 0;
    std::memset(&e.date, 0, sizeof e.date);
    e.date.month = e.date.day = e.date.year = -1;
    e.date.localHours = 2147483647.0;
    e.dateText.clear();
    e.timeText.clear();
    e.target[0] = '\0';
    std::memset(e.conditions, 0, sizeof e.conditions);
    e.conditionCount = 0;
    e.extras.clear();
    e.description.clear();
    e.descriptionGiven = 0;
    std::memset(e.object, 0, sizeof e.object);
    e.notRecognised = 0;
    e.siteDefined = e.observerDefined = e.instrumentDefined = 0;
    e.siteText[0] = e.observerText[0] = e.instrumentText[0] = e.targetText[0] = '\0';
}

void ApplyFixedValues(ImportPassContext *ctx) {
    WorkingEntry &e = *ctx->entry;
    const ImportFormat &f = *ctx->format;
    if (f.observerFixed) {
        e.observer = f.fixedObserver;
        e.observer.name[sizeof e.observer.name - 1] = '\0';
        CopyCut(e.observerText, sizeof e.observerText, kUseGlobalValue, 63);
        e.observerDefined = 1;
    }
    if (f.instrumentFixed) {
        std::memcpy(e.instrument.get(), &f.fixedInstrument, sizeof(InstrumentRecord));
        e.instrument->name[sizeof e.instrument->name - 1] = '\0';
        CopyCut(e.instrumentText, sizeof e.instrumentText, kUseGlobalValue, 63);
        e.instrumentDefined = 1;
    }
    if (f.siteFixed) {
        e.site = f.fixedSite;
        e.site.name[sizeof e.site.name - 1] = '\0';
        std::memset(&e.trailer, 0, sizeof e.trailer);  // no named time zone
        CopyCut(e.siteText, sizeof e.siteText, kUseGlobalValue, 63);
        e.siteDefined = 1;
    }
}

int ApplyTargetText(ImportPassContext *ctx, const char *text) {
    WorkingEntry &e = *ctx->entry;
    CopyCut(e.targetText, sizeof e.targetText, text, 63);
    CopyCut(e.target, sizeof e.target, text, kWorkingTargetSize - 1);
    return 1;
}

int ApplySiteText(ImportPassContext *ctx, const char *text) {
    WorkingEntry &e = *ctx->entry;
    std::string name = LookupName(text);
    CopyCut(e.siteText, sizeof e.siteText, name.c_str(), 63);
    auto hit = ctx->sites.find(name);
    if (hit == ctx->sites.end()) {
        ResolvedSite site;
        int found = ScanSiteStore(name.c_str(), &site);
        if (found < 0) return -1;
        if (!found) found = LinkedSite(name.c_str(), &site);
        if (!found) {
            SetImportError("Error importing location: %s\n", name.c_str());
            return -1;
        }
        site.record.name[sizeof site.record.name - 1] = '\0';
        hit = ctx->sites.emplace(name, site).first;
    }
    e.site = hit->second.record;
    e.trailer = hit->second.trailer;
    e.siteDefined = 1;
    return 1;
}

int ApplyObserverText(ImportPassContext *ctx, const char *text) {
    WorkingEntry &e = *ctx->entry;
    std::string name = LookupName(text);
    CopyCut(e.observerText, sizeof e.observerText, name.c_str(), 63);
    auto hit = ctx->observers.find(name);
    if (hit == ctx->observers.end()) {
        ObserverRecord observer;
        std::memset(&observer, 0, sizeof observer);
        int found = ScanObserverStore(name.c_str(), &observer);
        if (found < 0) return -1;
        if (!found) found = FindObserverLink(name.c_str(), &observer);
        if (!found) {
            SetImportError("Error importing observer: %s\n", name.c_str());
            return -1;
        }
        observer.name[sizeof observer.name - 1] = '\0';
        hit = ctx->observers.emplace(name, observer).first;
    }
    e.observer = hit->second;
    e.observerDefined = 1;
    return 1;
}

int ApplyInstrumentText(ImportPassContext *ctx, const char *text) {
    WorkingEntry &e = *ctx->entry;
    std::string name = LookupName(text);
    CopyCut(e.instrumentText, sizeof e.instrumentText, name.c_str(), 63);
    InstrumentRecord *out = e.instrument.get();
    if (ctx->lastInstrument && ctx->lastInstrumentKey == name) {
        std::memcpy(out, ctx->lastInstrument.get(), sizeof *out);
        e.instrumentDefined = 1;
        return 1;
    }
    int found = 0;
    auto hit = ctx->instruments.find(name);
    if (hit != ctx->instruments.end() && hit->second.record) {
        std::memcpy(out, hit->second.record.get(), sizeof *out);
        found = 1;
    } else if (hit != ctx->instruments.end()) {
        found = hit->second.storeIndex >= 0 ? ReadStoredInstrument(hit->second.storeIndex, out)
                                            : FindInstrumentLink(name.c_str(), out);
    } else {
        ResolvedInstrument resolved;
        resolved.storeIndex = ScanInstrumentStore(name.c_str(), out);
        found = resolved.storeIndex >= 0 || FindInstrumentLink(name.c_str(), out);
        if (found && ctx->instruments.size() < kKeptInstrumentRecords) {
            std::shared_ptr<InstrumentRecord> kept(new (std::nothrow) InstrumentRecord);
            if (kept) {
                std::memcpy(kept.get(), out, sizeof *out);
                kept->name[sizeof kept->name - 1] = '\0';
                resolved.record = kept;
            }
        }
        if (found) ctx->instruments.emplace(name, resolved);
    }
    if (!found) {
        SetImportError("Error importing instrument: %s\n", name.c_str());
        return -1;
    }
    out->name[sizeof out->name - 1] = '\0';
    if (!ctx->lastInstrument) ctx->lastInstrument.reset(new (std::nothrow) InstrumentRecord);
    if (ctx->lastInstrument) {
        std::memcpy(ctx->lastInstrument.get(), out, sizeof *out);
        ctx->lastInstrumentKey = name;
    }
    e.instrumentDefined = 1;
    return 1;
}

int ApplyDateText(ImportPassContext *ctx, const char *text) {
    WorkingEntry &e = *ctx->entry;
    if (!text) text = "";
    e.dateText = Cut(text, kPreviewTextSize - 1);
    e.month = e.day = e.year = -1;
    e.dateHours = 0.0;
    e.dateUniversal = 0;
    std::string ordered(std::strlen(text) + 16, '\0');
    if (!ReorderDateWords(text, ctx->format->dateLayout, &ordered[0],
                          static_cast<int>(ordered.size())))
        return 1;
    DateRecord parsed;
    std::memset(&parsed, 0, sizeof parsed);
    int universal = 0;
    if (ParseDateText(ordered.c_str(), nullptr, &parsed, &universal) != 1) return 1;
    e.month = parsed.month;
    e.day = parsed.day;
    e.year = parsed.year;
    e.dateHours = parsed.localHours;
    e.dateUniversal = universal;
    return 1;
}

int ApplyTimeText(ImportPassContext *ctx, const char *text) {
    WorkingEntry &e = *ctx->entry;
    std::string t = text ? text : "";
    size_t first = t.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return 1;  // an empty time: no time given
    e.timeGiven = 1;
    e.timeText = Cut(t, 31);
    int universal = 0;
    double hours = ParseTimeText(t.c_str(), nullptr, &universal);
    // A clock time lies within one day; "25:99" reads as a number but is no time.
    e.timeReadable = hours != 2147483647.0 && hours >= 0.0 && hours <= 24.0;
    e.timeHours = hours;
    e.timeUniversal = universal;
    return 1;
}

int ApplyConditionText(ImportPassContext *ctx, const char *text, int squeeze) {
    WorkingEntry &e = *ctx->entry;
    if (e.conditionCount >= kConditionTextCount) return 1;
    std::vector<char> t(text ? text : "", (text ? text : "") + (text ? std::strlen(text) : 0));
    t.push_back('\0');
    if (squeeze) SqueezeBlanks(t.data());
    CopyCut(e.conditions[e.conditionCount], kConditionTextSize, t.data(), kConditionTextSize - 1);
    ++e.conditionCount;
    return 1;
}

int ApplyExtraText(ImportPassContext *ctx, const char *text) {
    WorkingEntry &e = *ctx->entry;
    std::string t = text ? text : "";
    size_t a = t.find_first_not_of(' ');
    if (a == std::string::npos) return 1;
    size_t b = t.find_last_not_of(' ');
    t = t.substr(a, b - a + 1);
    std::string joined = e.extras.empty() ? t : e.extras + ", " + t;
    if (joined.size() < static_cast<size_t>(kExtrasTextSize)) e.extras = joined;
    return 1;
}

int ApplyDescriptionText(ImportPassContext *ctx, const char *text) {
    WorkingEntry &e = *ctx->entry;
    e.description = text ? text : "";
    e.descriptionGiven = 1;
    return 1;
}

int CompleteTwoDigitYear(int year) {
    if (year >= 0 && year < 50) return year + 2000;
    if (year >= 50 && year < 100) return year + 1900;
    return year;
}

std::string ComposeConditionsText(const WorkingEntry &e) {
    if (e.conditionCount >= 2) return std::string(e.conditions[0]) + " and " + e.conditions[1];
    if (e.conditionCount == 1) return e.conditions[0];
    return std::string();
}

std::string ComposeNotesText(const WorkingEntry &e) {
    std::string extras = e.extras;
    while (!extras.empty() && (extras.back() == ' ' || extras.back() == '\r' ||
                               extras.back() == '\n'))
        extras.pop_back();
    bool hasDescription = e.descriptionGiven && !e.description.empty();
    if (hasDescription && !extras.empty()) return extras + ".\r\n\r\n" + e.description;
    if (hasDescription) return e.description;
    return extras;
}

int CompleteEntry(ImportPassContext *ctx) {
    WorkingEntry &e = *ctx->entry;
    PreviewRecord &r = *ctx->record;
    std::string dateText = PreviewDateText(e);
    if (e.month == -1 || e.day == -1 || e.year == -1 || (e.timeGiven && !e.timeReadable)) {
        SetImportError("Error importing date: %s\n", dateText.c_str());
        return -1;
    }
    if (!e.siteDefined) {
        SetImportError("Location not defined for log entry\n");
        return -1;
    }
    if (!e.observerDefined) {
        SetImportError("Observer not defined for log entry\n");
        return -1;
    }
    if (!e.instrumentDefined) {
        SetImportError("Instrument not defined for log entry\n");
        return -1;
    }
    // A site whose place or zone is no number (a damaged fixed site of the
    // format, or a damaged store slot) would date the entry NaN, and the
    // entry would be listed and logged as if sound.
    if (!SiteIsUsable(e.site)) {
        SetImportError("Error importing location: %s\n", SiteTextForMessage(e).c_str());
        return -1;
    }
    CompleteDate(e);
    if (!std::isfinite(e.date.julianDate)) {
        SetImportError("Error importing date: %s\n", dateText.c_str());
        return -1;
    }

    // Recognition, then the designation links.
    int recognised = Recognize(ctx);
    if (recognised < 1 && ctx->linkFile) {
        char replacement[512] = "";
        if (FindDesignationLink(ctx->linkFile, e.target, replacement) >= 0) {
            CopyCut(e.target, sizeof e.target, replacement, kWorkingTargetSize - 1);
            recognised = Recognize(ctx);
        }
    }
    std::string listText;
    if (recognised < 1) {
        e.notRecognised = 1;
        InitObjectRecord(&e.object[0]);
        e.object[0].index = 1;
        e.object[0].objectClass = 1;
        listText = std::string(e.target) + " -- warning, object not recognized";
    }

    std::string conditions = ComposeConditionsText(e);
    if (!e.notRecognised) {
        char clock[kAngleTextSize];
        FormatClockTime(clock, e.date.localHours);
        char when[96];
        std::snprintf(when, sizeof when, "%d-%d-%d %s", e.date.year, e.date.month, e.date.day,
                      clock);
        listText = std::string(e.target) + " at " + e.site.name + " at " + when + " with " +
                   e.instrument->name + " by " + e.observer.name;
    }
    std::string notes = ComposeNotesText(e);

    if (ctx->preview && ctx->list && ctx->list->addRow)
        ctx->list->addRow(ctx->list->context, listText.c_str(), e.notRecognised);

    // FillLogEntry sets every byte of the entry; the texts after it are zeroed
    // here (the record is the pass's, reused for every entry).
    std::memset(reinterpret_cast<uint8_t *>(&r) + sizeof(LogEntry), 0, sizeof r - sizeof(LogEntry));
    // The log entry's conditions field holds 127 characters and its NUL.
    std::string entryConditions = Cut(conditions, kLogConditionsSize - 1);
    if (!FillLogEntry(&r.entry, &e.site, &e.trailer, &e.date, &e.observer, e.instrument.get(),
                      &e.object[0], entryConditions.c_str())) {
        SetImportError("Error setting log data for %s", e.target);
        return -1;
    }
    CopyCut(r.dateText, sizeof r.dateText, dateText.c_str(), 63);
    CopyCut(r.siteText, sizeof r.siteText, e.siteText, 63);
    CopyCut(r.instrumentText, sizeof r.instrumentText, e.instrumentText, 63);
    CopyCut(r.observerText, sizeof r.observerText, e.observerText, 63);
    CopyCut(r.targetText, sizeof r.targetText, e.targetText, 63);
    CopyCut(r.conditionsText, sizeof r.conditionsText, conditions.c_str(), 255);
    CopyCut(r.notesText, sizeof r.notesText, notes.c_str(), 255);
    r.notRecognised = static_cast<uint8_t>(e.notRecognised ? 1 : 0);

    if (ctx->preview) {
        if (!ctx->previewFile || SafeWrite(&r, sizeof r, 1, ctx->previewFile) != 1) {
            SetImportError("Error writing log data to temporary file for %s", e.target);
            return -1;
        }
    } else if (!e.notRecognised) {
        int status = kLogEntryFailed;
        int32_t number = AddLogEntryWithStatus(&r.entry, notes.c_str(), &status);
        if (number < 0) {
            SetImportError("Error adding log data for %s", e.target);
            int goOn = ctx->list && ctx->list->askGoOn
                           ? ctx->list->askGoOn(ctx->list->context, ImportErrorLine())
                           : 0;
            if (!goOn) return -1;
        } else {
            ++ctx->tally.added;
            ctx->tally.accepted.push_back({static_cast<int32_t>(r.entry.categoryBits), number});
            if (status == kLogEntryAlreadyLogged) ++ctx->tally.alreadyLogged;
            if (ctx->added) ++*ctx->added;
        }
    }
    if (e.notRecognised) ++ctx->tally.notRecognised;
    ++ctx->tally.processed;
    e.description.clear();
    e.descriptionGiven = 0;
    return 1;
}
