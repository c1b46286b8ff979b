// Scratch user data folder with small stores for the fuzz targets.
#include "fuzz/fuzzscratch.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "core/datapaths.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "app/namelinks.h"
#include "instruments/instrumentstore.h"
#include "instruments/optics.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"
#include "core/mathutil.h"

namespace fuzz {

const char *const kSiteNames[3] = {"Home", "Dark Site", "Observatory Hill"};
const char *const kObserverNames[2] = {"Ann Observer", "bob"};
const char *const kInstrumentNames[2] = {"Dob 8", "Binoculars 10x50"};

namespace {

std::string g_folder;
LocationRecord g_sites[3];
ObserverRecord g_observers[2];
std::vector<std::unique_ptr<InstrumentRecord>> g_instruments;
const char *const kKeep[] = {"loc.bin", "observer.bin", "instr.bin", "gleaner_des_links.dat"};

void RemoveScratch() {
    if (!g_folder.empty()) DeleteTree(g_folder.c_str());
}

void Fail(const char *what) {
    std::fprintf(stderr, "fuzz scratch: %s\n", what);
    std::abort();
}

void MakeStores() {
    const double kRad = kPi / 180.0;
    int16_t n16 = 0;
    FILE *f = OpenLocationStore(&n16);
    if (!f) Fail("loc.bin");
    const double lon[3] = {-1.5, 10.25, -105.0}, lat[3] = {52.0, 45.5, 40.0}, zone[3] = {0, 1, -7};
    for (int i = 0; i < 3; ++i) {
        LocationRecord r;
        std::memset(&r, 0, sizeof r);
        InitLocationRecord(&r, lon[i] * kRad, lat[i] * kRad, 100.0 * i, 90, 0, 10, 50, 2, 0,
                           zone[i], kSiteNames[i]);
        LocationTrailer t = {0, 0, 0};
        if (!AppendLocation(f, &r, &t)) Fail("site");
        g_sites[i] = r;
    }
    std::fclose(f);

    f = OpenObserverStore(&n16);
    if (!f) Fail("observer.bin");
    for (int i = 0; i < 2; ++i) {
        ObserverRecord &r = g_observers[i];
        InitObserverRecord(&r, kObserverNames[i], 40, 0, 0.5);
        if (!AppendObserver(f, &r)) Fail("observer");
    }
    std::fclose(f);

    if (!CreateInstrumentFile()) Fail("instr.bin");
    int32_t count = 0;
    f = OpenInstrumentFile(&count);
    if (!f) Fail("instr.bin open");
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    for (const char *name : kInstrumentNames) {
        std::memset(r.get(), 0, sizeof *r);
        InitNakedEyeInstrument(r.get(), 7.0);
        std::snprintf(r->name, sizeof r->name, "%s", name);
        if (!AppendInstrument(f, r.get())) Fail("instrument");
        g_instruments.emplace_back(new InstrumentRecord(*r));
    }
    std::fclose(f);

    if (!AddLocationLink(&g_sites[0], "Backyard") || !AddObserverLink(&g_observers[0], "Annie") ||
        !AddInstrumentLink(g_instruments[0].get(), "Big Dob"))
        Fail("name links");
    const char links[] = "Andromeda Nebula#M31\r\nnothing here\nmy comet#Jupiter\n";
    if (!WriteScratchFile("gleaner_des_links.dat", reinterpret_cast<const uint8_t *>(links),
                          sizeof links - 1))
        Fail("designation links");
}

}  // namespace

const std::string &ScratchFolder() {
    if (!g_folder.empty()) return g_folder;
    char path[] = "/dev/shm/gleaner-fuzz-XXXXXX";
    char alt[] = "/tmp/gleaner-fuzz-XXXXXX";
    const char *made = mkdtemp(path);
    if (!made) made = mkdtemp(alt);
    if (!made) Fail("mkdtemp");
    g_folder = made;
    std::atexit(RemoveScratch);
    if (chdir(made) != 0) Fail("chdir");
    SetUserDataFolder(made);
    MakeStores();
    const char *demo = std::getenv("GLEANER_FUZZ_DEMO");
    if (demo && *demo) {
        std::string a = std::string(demo) + "/data/ref/", b = std::string(demo) + "/disc/ref/";
        SetRefDirectories(a.c_str(), b.c_str(), b.c_str());
    }
    return g_folder;
}

const LocationRecord &StoredSite(int i) { ScratchFolder(); return g_sites[i]; }
const ObserverRecord &StoredObserver(int i) { ScratchFolder(); return g_observers[i]; }
const InstrumentRecord &StoredInstrument(int i) { ScratchFolder(); return *g_instruments[(size_t)i]; }

void CleanScratch() {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<fs::path> gone;
    for (const auto &e : fs::directory_iterator(ScratchFolder(), ec)) {
        bool keep = false;
        for (const char *k : kKeep) keep = keep || e.path().filename() == k;
        if (!keep) gone.push_back(e.path());
    }
    for (const fs::path &p : gone) fs::remove_all(p, ec);
}

bool WriteScratchFile(const char *name, const uint8_t *data, size_t size) {
    std::string path = ScratchFolder() + "/" + name;
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

size_t TerminatedLength(const char *text, size_t size, const char *what) {
    const void *nul = std::memchr(text, 0, size);
    if (!nul) {
        std::fprintf(stderr, "unterminated text field: %s\n", what);
        std::abort();
    }
    return (size_t)((const char *)nul - text);
}

}  // namespace fuzz
