// Fuzz target: the site store "loc.bin" and the observer store
// "observer.bin" as damaged files could hold them, read through every reader
// and changed by one writer.
//
// Input: a control byte, then the file's bytes. Control bit 0 picks the store
// (sites, observers); bits 1-2 the change (none, append, update, delete);
// bits 3-7 the index it is made at. After the change the count must say what
// the change did, and every counted record must read back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz/fuzzscratch.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"
#include "sites/slotstore.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "site store check failed: %s\n", what);
        std::abort();
    }
}

int CountNow(FILE *f) {
    int16_t n = -1;
    return f && ReadSlotCount(f, &n) ? n : -1;
}

void Sites(uint8_t op, int index) {
    int16_t count = -1;
    FILE *f = OpenLocationStore(&count);
    if (!f) return;
    for (int i = 0; i < count && i < 64; ++i) {
        LocationRecord r;
        LocationTrailer t;
        if (ReadLocation(f, i, &r, &t)) fuzz::TerminatedLength(r.name, sizeof r.name, "site name");
    }
    LocationRecord probe = fuzz::StoredSite(0);
    LocationTrailer trailer;
    int16_t at = 0;
    FindLocation(f, &probe, &trailer, &at);
    char text[96];
    DescribeLocation(&probe, text, sizeof text);
    int before = CountNow(f);
    switch (op) {
    case 1: {
        LocationRecord r = fuzz::StoredSite(1);
        int ok = AppendLocation(f, &r, &trailer);
        Check(CountNow(f) == (ok ? before + 1 : before), "append raises the count by one or not at all");
        break;
    }
    case 2: {
        LocationRecord r = fuzz::StoredSite(2);
        int ok = UpdateLocation(f, index, &r, &trailer, &r.dst, r.dstMode);
        Check(CountNow(f) == before, "update keeps the count");
        if (ok) Check(index >= 0 && index < before, "update of counted slots only");
        break;
    }
    case 3: {
        int ok = DeleteLocation(&f, index);
        if (ok) Check(CountNow(f) == before - 1, "delete lowers the count by one");
        else if (f) Check(CountNow(f) == before, "a failed delete keeps the count");
        break;
    }
    default:
        BackupLocationFile();
        break;
    }
    if (f) std::fclose(f);
}

void Observers(uint8_t op, int index) {
    int16_t count = -1;
    FILE *f = OpenObserverStore(&count);
    if (!f) return;
    for (int i = 0; i < count && i < 64; ++i) {
        ObserverRecord r;
        if (ReadObserver(f, i, &r)) {
            fuzz::TerminatedLength(r.name, sizeof r.name, "observer name");
            char text[96];
            DescribeObserver(&r, text, sizeof text);
        }
    }
    ObserverRecord probe = fuzz::StoredObserver(0);
    int16_t at = 0;
    FindObserver(f, &probe, &at);
    int before = CountNow(f);
    switch (op) {
    case 1: {
        ObserverRecord r = fuzz::StoredObserver(1);
        int ok = AppendObserver(f, &r);
        Check(CountNow(f) == (ok ? before + 1 : before), "append raises the count by one or not at all");
        break;
    }
    case 2: {
        ObserverRecord r = fuzz::StoredObserver(1);
        UpdateObserver(f, index, &r);
        Check(CountNow(f) == before, "update keeps the count");
        break;
    }
    case 3: {
        int ok = DeleteObserver(&f, index);
        if (ok) Check(CountNow(f) == before - 1, "delete lowers the count by one");
        else if (f) Check(CountNow(f) == before, "a failed delete keeps the count");
        break;
    }
    default:
        BackupObserverFile();
        break;
    }
    if (f) std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    fuzz::ScratchFolder();
    uint8_t control = data[0];
    bool sites = (control & 1) == 0;
    uint8_t op = (control >> 1) & 3;
    int index = (control >> 3) - 1;
    const char *name = sites ? "loc.bin" : "observer.bin";
    // The stores of the scratch folder are put back afterwards for the next input.
    std::string kept;
    {
        FILE *f = std::fopen((fuzz::ScratchFolder() + "/" + name).c_str(), "rb");
        if (f) {
            char b[4096];
            size_t n;
            while ((n = std::fread(b, 1, sizeof b, f)) > 0) kept.append(b, n);
            std::fclose(f);
        }
    }
    Check(fuzz::WriteScratchFile(name, data + 1, size - 1), "write file");
    if (sites)
        Sites(op, index);
    else
        Observers(op, index);
    fuzz::WriteScratchFile(name, (const uint8_t *)kept.data(), kept.size());
    return 0;
}
