// Log-store throughput: 2,000 entries over 100 objects added to an empty store
// in a scratch folder, then 2,000 more, against a plain loop that writes the
// same entry files and summary rows with no lookup at all. Bytes written and
// read are taken from the process's I/O counters (/proc/self/io: rchar,
// wchar), so they count every byte passed to read() and write().
// A single add is also set against the plain writer of the same files in
// the same run: three rounds, each a fresh store, the ratio of their rates
// printed as its minimum and median (goal: 0.3x), with the disk syncs each
// add makes (at most three: the mark, the changed files, the mark's removal).
// usage: logstore [--short]   (--short: 25 + 25 entries, a run of seconds;
// the exit status is 1 only when an add or a re-add gives a wrong result)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/benchutil.h"
#include "core/fileutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "logstore/logadd.h"
#include "logstore/logentryfile.h"
#include "logstore/logpaths.h"
#include "logstore/logrecords.h"

namespace {

struct IoCount {
    long long read = 0, written = 0;
};

IoCount ReadIo() {
    IoCount c;
    FILE *f = std::fopen("/proc/self/io", "r");
    if (!f) return c;
    char line[128];
    while (std::fgets(line, sizeof line, f)) {
        long long v = 0;
        if (std::sscanf(line, "rchar: %lld", &v) == 1) c.read = v;
        if (std::sscanf(line, "wchar: %lld", &v) == 1) c.written = v;
    }
    std::fclose(f);
    return c;
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

const int kObjects = 100;
const double kJd0 = 2455000.5;

// Entry i: object i % 100 (a star), a new minute each time, notes of 40 bytes.
void MakeBenchEntry(LogEntry *e, int i) {
    std::memset(e, 0, sizeof *e);
    e->version[0] = 3;
    e->version[1] = 1;
    e->version[2] = 'f';
    e->julianDate = kJd0 + i * 0.01;
    e->site.latitude = 0.7;
    e->site.timeZone = 1;
    std::snprintf(e->site.name, sizeof e->site.name, "Home");
    e->objectClass = 5;
    e->catalogueIndex = 1000 + i % kObjects;
    e->categoryBits = 0x10;
    std::snprintf(e->observer.name, sizeof e->observer.name, "Ann");
    std::snprintf(e->instrument.name, sizeof e->instrument.name, "Dob");
}

const char *kNotes = "Seeing 3/5, transparency good, 150x.....";

// The plain writer: entry files and summary rows (count first, then the
// row), written with no lookup and no sync, entries first to first + n.
bool PlainWrites(const std::string &base, int first, int n, LogEntry *e, LogSummary *row) {
    for (int i = first; i < first + n; ++i) {
        MakeBenchEntry(e, i);
        char path[512];
        std::snprintf(path, sizeof path, "%s/%08d.bin", base.c_str(), i);
        FILE *f = std::fopen(path, "wb");
        if (!f) return false;
        WriteLogEntryFile(f, e, kNotes);
        std::fclose(f);
        std::snprintf(path, sizeof path, "%s/%09d.pix", base.c_str(), 1000 + i % kObjects);
        f = std::fopen(path, i < kObjects ? "wb" : "r+b");
        if (!f) return false;
        int32_t count = i / kObjects + 1;
        row->logNumber = i;
        std::fseek(f, 4L + (count - 1) * static_cast<long>(sizeof(LogSummary)), SEEK_SET);
        std::fwrite(row, sizeof(LogSummary), 1, f);
        std::fseek(f, 0, SEEK_SET);
        std::fwrite(&count, 4, 1, f);
        std::fclose(f);
    }
    return true;
}

void Report(const char *label, int n, double seconds, IoCount a, IoCount b) {
    std::printf("%-34s %6d entries %8.1f entries/s   %9.0f B written/entry %11.0f B read/entry\n", label, n,
                n / seconds, double(b.written - a.written) / n, double(b.read - a.read) / n);
}

}  // namespace

int main(int argc, char **argv) {
    const bool quick = benchutil::TakeShortSwitch(&argc, argv);
    benchutil::Tally &tally = benchutil::ProgramTally();
    char folder[] = "/tmp/gleaner-bench-log-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    SetUserDataFolder(folder);
    std::unique_ptr<LogEntry> e(new LogEntry);
    const int kHalf = quick ? 25 : 2000;
    const int kReAdds = quick ? 5 : 200;

    for (int half = 0; half < 2; ++half) {
        IoCount a = ReadIo();
        double t = Now();
        int added = 0;
        for (int i = half * kHalf; i < (half + 1) * kHalf; ++i) {
            MakeBenchEntry(e.get(), i);
            int status = 0;
            if (AddLogEntryWithStatus(e.get(), kNotes, &status) >= 0 && status == kLogEntryAdded) ++added;
        }
        double s = Now() - t;
        IoCount b = ReadIo();
        Report(half ? "AddLogEntry, second half" : "AddLogEntry, first half", added, s, a, b);
        tally.Require(half ? "every entry of the second half added" : "every entry of the first half added",
                      added == kHalf);
    }

    // The duplicate test alone: adding stored entries again finds them and writes nothing.
    {
        IoCount a = ReadIo();
        double t = Now();
        int found = 0;
        for (int i = 0; i < kReAdds; ++i) {
            MakeBenchEntry(e.get(), i * (2 * kHalf / kReAdds));
            int status = 0;
            if (AddLogEntryWithStatus(e.get(), kNotes, &status) >= 0 && status == kLogEntryAlreadyLogged)
                ++found;
        }
        double s = Now() - t;
        Report("re-add of stored entries", found, s, a, ReadIo());
        tally.Require("every re-add found as already logged", found == kReAdds);
    }

    // Baseline: the same entry files and summary rows, appended with no lookup.
    std::string base = std::string(folder) + "/plain";
    EnsureDirectory(base.c_str());
    std::unique_ptr<LogSummary> row(new LogSummary);
    std::memset(row.get(), 0, sizeof(LogSummary));
    IoCount a = ReadIo();
    double t = Now();
    if (!PlainWrites(base, 0, 2 * kHalf, e.get(), row.get())) return 1;
    double s = Now() - t;
    Report("plain writes, no lookup", 2 * kHalf, s, a, ReadIo());

    // A single add against the plain writer, three rounds of a fresh store
    // each: the ratio of the rates, and the syncs per add.
    {
        const int n = quick ? 20 : 200;
        std::vector<double> ratios;
        long syncs = 0;
        bool allAdded = true;
        for (int round = 0; round < 3; ++round) {
            std::string user = std::string(folder) + "/round" + std::to_string(round);
            std::string plain = user + "/plain";
            if (!EnsureDirectory(user.c_str()) || !EnsureDirectory(plain.c_str())) return 1;
            SetUserDataFolder(user.c_str());
            long before = CountDiskSyncs();
            double t0 = Now();
            for (int i = 0; i < n; ++i) {
                MakeBenchEntry(e.get(), i);
                int status = 0;
                if (AddLogEntryWithStatus(e.get(), kNotes, &status) < 0 || status != kLogEntryAdded) allAdded = false;
            }
            double adds = Now() - t0;
            syncs += CountDiskSyncs() - before;
            t0 = Now();
            if (!PlainWrites(plain, 0, n, e.get(), row.get())) return 1;
            double plainSeconds = Now() - t0;
            ratios.push_back(plainSeconds / adds);
        }
        std::sort(ratios.begin(), ratios.end());
        std::printf("single add / plain writer (%d entries, 3 rounds)  min %.3fx  median %.3fx   (goal 0.3x)\n", n,
                    ratios[0], ratios[1]);
        std::printf("disk syncs per single add  %.2f   (limit 3)\n", double(syncs) / (3.0 * n));
        tally.Require("every entry of the rounds added", allAdded);
        SetUserDataFolder(folder);
    }
    DeleteTree(folder);
    return tally.Finish("logstore");
}
