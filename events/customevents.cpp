// Custom events and their texts.
#include "events/customevents.h"

#include <cstring>
#include <string>

#include "core/fsys.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "events/eventinsert.h"
#include "events/eventsky.h"
#include "events/eventstore.h"
#include "objects/objectrecord.h"

namespace {
const int kPathSize = 1100;
}  // namespace

char *GetEventTextFilePath(char *buffer, int size) {
    if (!buffer || size <= 0) return buffer;
    if (!MakeUserDataPath(buffer, size, "events/event_desc.txt")) buffer[0] = '\0';
    return buffer;
}

int AppendCustomEventText(const char *text, int *line) {
    if (!text) return 0;
    char path[kPathSize];
    GetEventTextFilePath(path, sizeof path);
    if (!path[0]) return 0;
    // The line number is the count of lines another program may be adding
    // to as well: read, counted and written under the lock.
    StoreLock lock;
    if (!LockEventStore(&lock)) return 0;
    std::string content;
    // Only a file that is not there starts empty: one that cannot be read
    // is left as it is and the text refused.
    if (FsKind(path) >= 0 && !ReadWholeFile(path, &content)) return 0;
    // A last line left without its break still counts as a line.
    if (!content.empty() && content.back() != '\n') content += '\n';
    int lines = 0;
    for (char c : content)
        if (c == '\n') ++lines;
    std::string added(text, strnlen(text, kCustomTextLength));
    while (!added.empty() && (added.back() == '\r' || added.back() == '\n')) added.pop_back();
    for (char &c : added)
        if (c == '\r' || c == '\n') c = ' ';
    content += added;
    content += '\n';
    if (!WriteWholeFileSafely(path, content.data(), content.size())) return 0;
    if (line) *line = lines;
    return 1;
}

std::FILE *OpenCustomEventTexts() {
    char path[kPathSize];
    GetEventTextFilePath(path, sizeof path);
    if (!path[0]) return nullptr;
    return SafeOpen(path, "r");
}

int ReadCustomEventText(std::FILE *file, char *buffer) {
    if (!file || !buffer) return 0;
    buffer[0] = '\0';
    // By characters: a line with a NUL byte in it must not hide its line end
    // (which fgets would have read while strlen stops at the NUL), or the
    // next line would be taken as this one's rest and every later number shift.
    size_t n = 0;
    bool any = false;
    int c;
    while ((c = std::fgetc(file)) != EOF) {
        any = true;
        if (n < static_cast<size_t>(kCustomTextBufferSize) - 1) buffer[n++] = static_cast<char>(c);
        if (c == '\n') break;  // the rest of a longer line belongs to it
    }
    buffer[n] = '\0';
    if (std::ferror(file)) return -1;  // a read error is no end of the texts
    return any ? 1 : 0;
}

int GetCustomEventText(int n, char *buffer) {
    if (!buffer) return 0;
    buffer[0] = '\0';
    FileHandle file(OpenCustomEventTexts());
    if (!file) return 0;
    char line[kCustomTextBufferSize];
    int i = 0, found = 0;
    int got;
    while ((got = ReadCustomEventText(file.get(), line)) == 1) {
        std::memcpy(buffer, line, sizeof line);
        found = 1;
        if (i++ >= n) break;
    }
    if (got < 0) {  // the text asked for may lie beyond the failed read
        buffer[0] = '\0';
        return 0;
    }
    size_t len = std::strlen(buffer);
    while (len > 0 && (buffer[len - 1] == '\n' || buffer[len - 1] == '\r')) buffer[--len] = '\0';
    return found;
}

int AddCustomEvent(EventFileHeader *header, double julianDate, const ObjectRecord *objects, int count, int line) {
    if (!header) return -1;
    if (count < 0 || !objects) count = 0;
    if (count > kCustomEventMaxObjects) count = kCustomEventMaxObjects;
    FileHandle file(StoreEventFileHeader(header));
    if (!file) return -1;
    EventRecord event;
    ClearEventRecord(&event);
    event.kind = kEventCustom;
    event.time = julianDate;
    event.contactCount = 1;
    EventContact &c = event.contacts[0];
    c.code = line;
    c.time = julianDate;
    c.visible = 1;
    if (count >= 1) {
        event.body1Class = objects[0].objectClass;
        event.body1Index = objects[0].index;
        event.body1Satellite = objects[0].kind;
        EventSky sky;
        EvaluateEventSky(&header->site, julianDate, objects[0].raOfDate, objects[0].decOfDate, &sky);
        c.darkness = sky.darkness;
        c.altitude = sky.altitude;
        c.hourScore = sky.hourScore;
        // Seen when the object stands above the horizon at that hour.
        c.visible = AltitudeScoreOf(sky.hourScore) > 0 ? 1 : 0;
    }
    if (count >= 2) {
        event.body2Class = objects[1].objectClass;
        event.body2Index = objects[1].index;
        event.body2Satellite = objects[1].kind;
    }
    const int added = InsertEvent(file.get(), header, kCustomEventSpanDays, &event, 1);
    // The record and its count were flushed by the insertion itself.
    SafeClose(file.release());
    return added;
}
