// Fuzz target: a site's event files as damaged files could hold them: the
// search or calendar event file (its header's count, body count, version and
// site, then records of any bytes, a part-record at the end) opened, read,
// searched, inserted into, deleted from, purged and stored again; and the
// custom event text file read line by line and appended to.
//
// Input: a control byte, then the file. Control bit 0 picks the file (0 event
// file, 1 text file); bit 1 the calendar file; bits 2-3 the change (none,
// insert, delete, purge); bit 4 stores the header again. An event file is
// given compactly: its first 40 bytes (magic, version, count, kinds, body
// indexes), its body count, then the records as they follow the header; the
// rest of the header is the site of the scratch store's first site, so that
// the file is taken as that site's.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/fileutil.h"
#include "core/fsys.h"
#include "core/safefile.h"
#include "events/customevents.h"
#include "events/eventfiles.h"
#include "events/eventinsert.h"
#include "events/eventpurge.h"
#include "events/eventrecord.h"
#include "events/eventstore.h"
#include "fuzz/fuzzscratch.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "event file check failed: %s\n", what);
        std::abort();
    }
}

void EventFile(uint8_t control, const uint8_t *data, size_t size) {
    bool calendar = control & 2;
    int op = (control >> 2) & 3;
    std::unique_ptr<EventFileHeader> header(NewEventFileHeader());
    header->magic = kEventFileMagic;
    header->site = fuzz::StoredSite(0);
    header->definitionKind = calendar ? kDefinitionCalendar : kDefinitionPhenomena;
    header->purgeMode = kPurgePastNow;
    std::vector<uint8_t> file(sizeof(EventFileHeader));
    std::memcpy(file.data(), header.get(), sizeof *header);
    size_t n = size < 40 ? size : 40;
    std::memcpy(file.data(), data, n);
    data += n;
    size -= n;
    n = size < 4 ? size : 4;
    std::memcpy(file.data() + offsetof(EventFileHeader, bodyCount), data, n);
    data += n;
    size -= n;
    file.insert(file.end(), data, data + size);
    char path[1100];
    Check(MakeEventFilePathForHeader(header.get(), path, sizeof path) == 1, "event file path");
    char folder[1100];
    GetEventsFolder(folder, sizeof folder);
    EnsureDirectory(folder);
    FILE *w = std::fopen(path, "wb");
    Check(w != nullptr, "write event file");
    std::fwrite(file.data(), 1, file.size(), w);
    std::fclose(w);

    FILE *f = OpenEventFile(header.get());
    if (!f) return;
    const int64_t records = (int64_t)(file.size() - sizeof(EventFileHeader)) / kEventRecordSize;
    Check(header->count >= 0 && header->count <= records, "the count covers only records the file holds");
    Check(header->bodyCount >= 0 && header->bodyCount <= kEventMaxBodies, "body count within the table");
    fuzz::TerminatedLength(header->site.name, sizeof header->site.name, "site name");
    EventRecord record;
    for (int i = 0; i < header->count && i < 64; ++i) {
        if (ReadEvent(f, i, &record)) HasVisibleContact(&record);
    }
    if (SafeSeek(f, kEventHeaderSize)) {
        for (int guard = 0; guard < 64 && FindNextVisibleEvent(f, header.get(), &record) > 0; ++guard) {
        }
    }
    int before = header->count;
    if (op == 1) {
        std::unique_ptr<EventRecord> added(new EventRecord);
        ClearEventRecord(added.get());
        added->kind = kEventPhenomenon;
        added->time = 2455000.5;
        int index = 0;
        LocateEventSlot(f, added.get(), header->count, &index);
        int ok = InsertEvent(f, header.get(), 3650.0, added.get(), 0);
        Check(header->count == before + (ok == 1 ? 1 : 0), "an insert raises the count by one or not at all");
    } else if (op == 2) {
        int ok = DeleteEvent(f, header.get(), before - 1);
        Check(header->count == before - (ok == 1 ? 1 : 0), "a delete lowers the count by one or not at all");
    }
    std::fclose(f);
    if (op == 3) PurgePastEventsAt(header.get(), 2455100.5);
    if (control & 16) SaveEventFileHeader(header.get());
    if (op == 0 && ReadEvent(nullptr, 0, &record) == 0) {
        std::unique_ptr<EventRecord> sample(new EventRecord);
        ClearEventRecord(sample.get());
        sample->kind = kEventPhenomenon;
        DeleteEventCategory(header.get(), sample.get());
    }
    Check(FsFileSize(path) <= (int64_t)file.size() + kEventRecordSize, "no change grows the file beyond a record");
}

void TextFile(const uint8_t *data, size_t size) {
    char path[1100];
    GetEventTextFilePath(path, sizeof path);
    Check(path[0] != 0, "text path");
    char folder[1100];
    GetEventsFolder(folder, sizeof folder);
    EnsureDirectory(folder);
    FILE *w = std::fopen(path, "wb");
    Check(w != nullptr, "write text file");
    std::fwrite(data, 1, size, w);
    std::fclose(w);
    char line[kCustomTextBufferSize];
    for (int i = 0; i < 8; ++i) {
        std::memset(line, 'x', sizeof line);
        if (GetCustomEventText(i, line)) fuzz::TerminatedLength(line, sizeof line, "event text");
    }
    int at = -1;
    if (AppendCustomEventText("Probe text", &at)) {
        std::memset(line, 'x', sizeof line);
        Check(GetCustomEventText(at, line) == 1, "an appended text reads back at its line");
        Check(std::strncmp(line, "Probe text", 10) == 0, "the appended text is at its line");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    fuzz::ScratchFolder();
    uint8_t control = data[0];
    if (control & 1)
        TextFile(data + 1, size - 1);
    else
        EventFile(control, data + 1, size - 1);
    fuzz::CleanScratch();
    return 0;
}
