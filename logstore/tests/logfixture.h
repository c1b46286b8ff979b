// A scratch user data folder and entry builders shared by the log-store tests.
#pragma once
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "astro/datetime.h"
#include "core/fsys.h"
#include "core/userfolder.h"
#include "logstore/logobject.h"
#include "logstore/logrecords.h"
#include "testutil/testutil.h"
#include "core/mathutil.h"

namespace logtest {

inline void SetText(char *field, size_t size, const char *text) {
    std::memset(field, 0, size);
    std::strncpy(field, text, size - 1);
}

inline LocationRecord MakeSite(const char *name, double zoneHours) {
    LocationRecord site;
    std::memset(&site, 0, sizeof site);
    site.latitude = 0.7;
    site.longitude = -zoneHours * 15.0 * kPi / 180.0;  // positive west
    site.elevation = 100;
    site.temperature = 10;
    site.humidity = 50;
    site.timeZone = zoneHours;
    SetText(site.name, sizeof site.name, name);
    return site;
}

struct Store {
    testutil::TempDir dir;
    Store() { SetUserDataFolder(dir.path().c_str()); }
    ~Store() { SetUserDataFolder(""); }
    std::string log(const std::string &rel) const { return dir.path() + "/log/" + rel; }
};

// An entry of an object for an observer, instrument and site at a UT Julian date.
inline std::unique_ptr<LogEntry> MakeEntry(int objectClass, int32_t index, uint32_t bits, double jd,
                                           const char *observer = "Ann", const char *instrument = "Dob",
                                           const LocationRecord *site = nullptr) {
    std::unique_ptr<LogEntry> e(new LogEntry);
    std::memset(e.get(), 0, sizeof(LogEntry));
    e->version[0] = 3;
    e->version[1] = 1;
    e->version[2] = 'f';
    e->julianDate = jd;
    LocationRecord s = site ? *site : MakeSite("Home", 1.0);
    std::memcpy(&e->site, &s, sizeof s);
    e->objectClass = static_cast<uint8_t>(objectClass);
    e->catalogueIndex = index;
    e->categoryBits = bits;
    SetText(e->observer.name, sizeof e->observer.name, observer);
    SetText(e->instrument.name, sizeof e->instrument.name, instrument);
    return e;
}

// Object services without a catalogue, for the scope of a block: every
// object is known, lies in constellation 56 and is named "Obj <index>".
inline int FixedRefresh(ObjectRecord *r, double, const LocationRecord *, const DateRecord *, double) {
    r->constellation = 56;
    return 1;
}
inline int FixedName(const ObjectRecord *r, char *name, int size) {
    std::snprintf(name, static_cast<size_t>(size), "Obj %d", static_cast<int>(r->index));
    return 1;
}
struct FixedObjectServices {
    FixedObjectServices() { SetLogObjectServices(FixedRefresh, FixedName); }
    ~FixedObjectServices() { SetLogObjectServices(nullptr, nullptr); }
    FixedObjectServices(const FixedObjectServices &) = delete;
    FixedObjectServices &operator=(const FixedObjectServices &) = delete;
};

inline int32_t I32(const std::string &bytes, size_t at) {
    int32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}
inline double F64(const std::string &bytes, size_t at) {
    double v;
    std::memcpy(&v, bytes.data() + at, 8);
    return v;
}

}  // namespace logtest

namespace logtest {

// Every file under root with its bytes, but the log's lock file (whose
// generation every writer raises: it holds no log data).
inline std::map<std::string, std::string> LogTree(const std::string &root) {
    std::map<std::string, std::string> out;
    std::vector<std::string> folders = {root};
    for (size_t i = 0; i < folders.size(); ++i) {
        std::vector<FsEntry> entries;
        FsListFolder(folders[i], entries);
        for (const FsEntry &e : entries) {
            std::string p = folders[i] + "/" + e.name;
            if (e.isFolder) folders.push_back(p);
            else if (p != root + "/lock") out[p] = testutil::ReadFileBytes(p);
        }
    }
    return out;
}

// The counted entries of an index file as {key, class folder, number}; empty
// when the file is absent.
inline std::vector<std::vector<int32_t>> IndexRows(const std::string &path) {
    std::vector<std::vector<int32_t>> out;
    if (!testutil::PathIsThere(path)) return out;
    std::string b = testutil::ReadFileBytes(path);
    for (int32_t i = 0; b.size() >= 4 && i < I32(b, 0) && 4 + 12 * (size_t)(i + 1) <= b.size(); ++i)
        out.push_back({I32(b, 4 + 12 * i), I32(b, 8 + 12 * i), I32(b, 12 + 12 * i)});
    return out;
}

}  // namespace logtest
