// Import throughput: a delimited log of 5,000 entries over a demo
// installation's objects, sites, observers and instruments, run through the
// preview pass and the final pass into a scratch user folder, beside a plain
// loop that writes the same bytes in the same record sizes to the same disk.
// Each preview record is 331,458 bytes and each added entry writes an entry
// file and a summary row of about the same size, so both passes are bound by
// writing: the ratio of a pass's rate to the plain loop's is the figure that
// matters. Bytes written are the process's write counter (/proc/self/io,
// wchar: every byte passed to write()); each phase is timed until its bytes
// are on the disk.
// Each size is run three times (a fresh store each time), and the ratios are
// given as the minimum and median of the three; the final pass's seconds per
// 1,000 entries at each size show whether its cost per entry stays flat.
// usage: import [--short] [DEMO_FOLDER [ENTRIES [SCRATCH_PARENT [growth]]]]
//   --short         the quick run of the test command: 300 entries; fails
//                   only on a wrong result (entries lost), never on a time
//   DEMO_FOLDER     made by tools/make_demo.py --build BUILD (BUILD/demo);
//                   without it the stores and catalogues the bench needs are
//                   laid out in a scratch folder by the same tool
//   ENTRIES         lines of the generated log (default: 1,000, 5,000 and
//                   20,000 in turn)
//   SCRATCH_PARENT  folder that receives the scratch user folder (/tmp)
//   growth          then also the final pass's cost for 500 and 8,000 entries
//                   into an empty store and into one holding 8,000
// The final pass is compared with a plain writer of the same entry files and
// summary rows (PlainEntryWrites) as a ratio of entries per second.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/formatfile.h"
#include "bench/benchutil.h"
#include "app/importpass.h"
#include "app/recognizeretry.h"
#include "core/datapaths.h"
#include "core/fileutil.h"
#include "core/userfolder.h"
#include "logstore/loglock.h"
#include "logstore/logrecords.h"
#include "instruments/instrumentstore.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"

namespace {

// The process's counters of bytes passed to write() (wchar) or read() (rchar).
long long IoBytes(const char *counter) {
    FILE *f = std::fopen("/proc/self/io", "r");
    if (!f) return 0;
    char line[128], format[32];
    std::snprintf(format, sizeof format, "%s: %%lld", counter);
    long long v = 0, total = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, format, &v) == 1) total = v;
    std::fclose(f);
    return total;
}
long long WrittenBytes() { return IoBytes("wchar"); }
long long ReadBytes() { return IoBytes("rchar"); }

// CPU seconds of the process (user and system).
double CpuSeconds() {
    struct rusage u;
    if (getrusage(RUSAGE_SELF, &u) != 0) return 0;
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Figures {
    int entries = 0;
    double seconds = 0;
    double cpu = 0;           // CPU seconds of the process meanwhile
    long long bytes = 0;      // written
    long long readBytes = 0;
    double EntriesPerSecond() const { return seconds > 0 ? entries / seconds : 0; }
    double MegabytesPerSecond() const { return seconds > 0 ? bytes / 1e6 / seconds : 0; }
};

void Print(const char *label, const Figures &f) {
    std::printf("%-36s %5d entries %7.3f s (%.3f s CPU) %8.1f entries/s %8.1f MB written %7.1f MB/s (%.1f MB "
                "read)\n",
                label, f.entries, f.seconds, f.cpu, f.EntriesPerSecond(), f.bytes / 1e6, f.MegabytesPerSecond(),
                f.readBytes / 1e6);
}

// Names of the demo's stores, read through the stores themselves.
std::vector<std::string> SiteNames() {
    std::vector<std::string> names;
    int16_t count = 0;
    FILE *f = OpenLocationStore(&count);
    if (!f) return names;
    for (int i = 0; i < count; ++i) {
        LocationRecord r;
        if (ReadLocation(f, i, &r, nullptr)) names.push_back(r.name);
    }
    std::fclose(f);
    return names;
}

std::vector<std::string> ObserverNames() {
    std::vector<std::string> names;
    int16_t count = 0;
    FILE *f = OpenObserverStore(&count);
    if (!f) return names;
    for (int i = 0; i < count; ++i) {
        ObserverRecord r;
        if (ReadObserver(f, i, &r)) names.push_back(r.name);
    }
    std::fclose(f);
    return names;
}

std::vector<std::string> InstrumentNames() {
    std::vector<std::string> names;
    int32_t count = 0;
    FILE *f = OpenInstrumentFile(&count);
    if (!f) return names;
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    for (int i = 0; i < count; ++i)
        if (ReadInstrument(f, r.get(), i) && r->name[0]) names.push_back(r->name);
    std::fclose(f);
    return names;
}

// Designations that the demo's catalogues recognise: the Messier objects, a
// spread of NGC numbers and some named stars.
std::vector<std::string> ObjectNames() {
    std::vector<std::string> candidates;
    for (int m = 1; m <= 110; ++m) candidates.push_back("M " + std::to_string(m));
    for (int n = 7; n <= 7840; n += 53) candidates.push_back("NGC " + std::to_string(n));
    for (const char *s : {"Sirius", "Vega", "Arcturus", "Capella", "Rigel", "Betelgeuse", "Polaris",
                          "Altair", "Deneb", "Antares", "Aldebaran", "Spica", "Albireo", "Mizar"})
        candidates.push_back(s);
    std::vector<std::string> names;
    for (const std::string &c : candidates) {
        ObjectRecord records[3];
        if (RecognizeDesignationWith(IdentifyObjectText, nullptr, nullptr, nullptr, c.c_str(), records) >= 1)
            names.push_back(c);
    }
    return names;
}

// A field of the log, quoted when it holds the delimiter or a quote.
std::string Field(const std::string &text) {
    if (text.find_first_of(";\"") == std::string::npos) return text;
    std::string q = "\"";
    for (char c : text) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

// target;site;observer;instrument;date;time;seeing;transparency;notes;extra
bool WriteLog(const std::string &path, int entries, const std::vector<std::string> &objects,
              const std::vector<std::string> &sites, const std::vector<std::string> &observers,
              const std::vector<std::string> &instruments, int firstDay = 0) {
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    static const char *const kSeeing[] = {"excellent", "good", "fair", "poor"};
    static const char *const kSky[] = {"clear", "some haze", "thin cloud"};
    bool ok = true;
    for (int i = 0; i < entries && ok; ++i) {
        // A new evening every 8 entries from 1 January 2005 (plus firstDay
        // days, in 28-day months), 20:00 on.
        int day = firstDay + i / 8, minute = 20 * 60 + (i % 8) * 35;
        int year = 2005 + day / 336, month = 1 + (day % 336) / 28, mday = 1 + day % 28;
        std::string line = Field(objects[(size_t)i % objects.size()]) + ";" +
                           Field(sites[(size_t)i % sites.size()]) + ";" +
                           Field(observers[(size_t)(i / 3) % observers.size()]) + ";" +
                           Field(instruments[(size_t)(i / 7) % instruments.size()]) + ";";
        char rest[256];
        std::snprintf(rest, sizeof rest,
                      "%04d %02d %02d;%02d:%02d;%s;%s;Seen at %dx, well placed, entry %d of the bench log;"
                      "%s\n",
                      year, month, mday, (minute / 60) % 24, minute % 60, kSeeing[i % 4], kSky[i % 3],
                      50 + (i % 5) * 25, i, i % 2 ? "sketch made" : "");
        line += rest;
        ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
    }
    return (std::fclose(f) == 0) && ok;
}

void SetBenchFormat() {
    ImportFormat &f = CurrentImportFormat();
    std::memset(&f, 0, sizeof f);
    f.kind = kFormatKindDelimited;
    std::snprintf(f.name, sizeof f.name, "Bench");
    f.delimiter = ';';
    f.dateLayout = 0;
    f.targetColumn = 0;
    f.siteColumn = 1;
    f.observerColumn = 2;
    f.instrumentColumn = 3;
    f.dateColumn = 4;
    f.timeColumn = 5;
    f.conditionColumns[0] = 6;
    f.conditionColumns[1] = 7;
    f.descriptionColumn = 8;
    f.extraColumns[0] = 9;
    for (int i = 1; i < 5; ++i) f.extraColumns[i] = kNoColumn;
}

// The plain loop: records of the given size, appended to one file and
// closed, as the preview pass writes its file.
Figures PlainWrites(const std::string &path, int records, size_t recordSize) {
    std::vector<char> record(recordSize, 'x');
    Figures r;
    long long before = WrittenBytes();
    double t = Now(), cpu = CpuSeconds();
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) return r;
    for (int i = 0; i < records; ++i) {
        record[0] = (char)i;
        if (std::fwrite(record.data(), 1, recordSize, f) != recordSize) break;
        ++r.entries;
    }
    std::fclose(f);
    sync();
    r.seconds = Now() - t;
    r.cpu = CpuSeconds() - cpu;
    r.bytes = WrittenBytes() - before;
    std::remove(path.c_str());
    return r;
}

// The plain writer of the final pass's files: for each entry an entry file of
// the log entry's size and its notes, and a summary row appended to one of
// `objects` summary files (written row first, as the pass does), then synced:
// the same files and bytes as the pass writes, without its reads, checks,
// key lists and indexes.
Figures PlainEntryWrites(const std::string &folder, int entries, size_t objects) {
    Figures r;
    if (!EnsureDirectory(folder.c_str()) || objects == 0) return r;
    std::vector<char> entry(sizeof(LogEntry) + 64, 'e'), row(sizeof(LogSummary), 'r');
    long long before = WrittenBytes();
    double t = Now(), cpu = CpuSeconds();
    for (int i = 0; i < entries; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "/%08d.bin", i);
        FILE *f = std::fopen((folder + name).c_str(), "wb");
        if (!f) break;
        bool ok = std::fwrite(entry.data(), 1, entry.size(), f) == entry.size();
        ok = std::fclose(f) == 0 && ok;
        std::snprintf(name, sizeof name, "/%09zu.pix", (size_t)i % objects);
        f = std::fopen((folder + name).c_str(), "ab");
        if (!f) break;
        ok = std::fwrite(row.data(), 1, row.size(), f) == row.size() && ok;
        ok = std::fclose(f) == 0 && ok;
        if (!ok) break;
        ++r.entries;
    }
    sync();
    r.seconds = Now() - t;
    r.cpu = CpuSeconds() - cpu;
    r.bytes = WrittenBytes() - before;
    DeleteTree(folder.c_str());
    return r;
}

// The final pass over the log file as the program runs it: the log store
// held for the whole pass (its disk syncs at the end), timed until its bytes
// are on the disk.
Figures FinalPass(const ImportSettings &settings, int *added) {
    Figures r;
    sync();
    long long before = WrittenBytes(), readBefore = ReadBytes();
    double t = Now(), cpu = CpuSeconds();
    *added = 0;
    ImportJob job;
    MakeImportJob(settings, CurrentImportFormat(), &job);
    if (BeginLogPass()) {
        r.entries = RunDelimitedImportPass(nullptr, job, 0, added);
        EndLogPass();
    }
    sync();
    r.seconds = Now() - t;
    r.cpu = CpuSeconds() - cpu;
    r.bytes = WrittenBytes() - before;
    r.readBytes = ReadBytes() - readBefore;
    return r;
}

// A scratch user folder with the demo's stores; empty on failure.
std::string MakeScratch(const std::string &demo, const std::string &parent) {
    std::string scratchTemplate = parent + "/gleaner-bench-import-XXXXXX";
    std::vector<char> scratch(scratchTemplate.begin(), scratchTemplate.end());
    scratch.push_back('\0');
    if (!mkdtemp(scratch.data())) return std::string();
    std::string user = scratch.data();
    for (const char *name : {"loc.bin", "observer.bin", "instr.bin"}) {
        std::string from = demo + "/user/" + name, to = user + "/" + name;
        if (CopyPlainFile(from.c_str(), to.c_str()) != 1) {
            DeleteTree(user.c_str());
            return std::string();
        }
    }
    return user;
}

// The parts of a demo installation the bench reads (the catalogues its
// designations are recognised in, the sites, observers and instruments),
// laid out below the scratch folder; "" on failure.
std::string MakeDemo(const benchutil::ScratchFolder &scratch) {
    if (!scratch.ok()) return std::string();
    std::string command = "python3 \"" + benchutil::SourceRoot() + "/tools/make_demo.py\" --build \"" +
                          scratch.path() +
                          "\" --steps folders,star_catalogue,star_databases,instruments,sites,deepsky"
                          " > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return std::string();
    return scratch.path() + "/demo";
}

// One round at one size in a fresh scratch user folder: the plain loop and
// the preview pass, the final pass and the plain writer. The two ratios of
// entries per second, and the final pass's seconds; 0 when the passes lost
// no entry, else 1.
struct Round {
    double preview = 0, final = 0, finalSeconds = 0;
};

int RunRound(const std::string &demo, const std::string &parent, int entries, const std::vector<std::string> &objects,
             const std::vector<std::string> &sites, const std::vector<std::string> &observers,
             const std::vector<std::string> &instruments, bool verbose, Round *round) {
    std::string user = MakeScratch(demo, parent);
    if (user.empty()) {
        std::fprintf(stderr, "cannot make a scratch user folder in %s\n", parent.c_str());
        return 1;
    }
    SetUserDataFolder(user.c_str());
    // The passes write their trace file into the current folder.
    if (chdir(user.c_str()) != 0) return 1;
    std::string log = user + "/bench_log.txt";
    if (!WriteLog(log, entries, objects, sites, observers, instruments)) return 1;
    ImportSettings settings;
    std::memset(&settings, 0, sizeof settings);
    std::snprintf(settings.importPath, sizeof settings.importPath, "%s", log.c_str());
    ImportJob job;
    MakeImportJob(settings, CurrentImportFormat(), &job);

    // Each phase starts on a flushed disk and its time runs until its bytes
    // are on the disk (sync at both ends): the files are larger than the
    // share of memory the system lets wait unwritten, so without the final
    // sync a phase would be timed by how much of it the page cache absorbed.
    // The plain loops run beside the passes they are compared with.
    int status = 0;
    Figures preview;
    sync();
    Figures plainPreview = PlainWrites(user + "/plain_preview.bin", entries, sizeof(PreviewRecord));
    sync();
    {
        long long before = WrittenBytes(), readBefore = ReadBytes();
        double t = Now(), cpu = CpuSeconds();
        preview.entries = RunDelimitedImportPass(nullptr, job, 1, nullptr);
        sync();
        preview.seconds = Now() - t;
        preview.cpu = CpuSeconds() - cpu;
        preview.bytes = WrittenBytes() - before;
        preview.readBytes = ReadBytes() - readBefore;
    }
    if (preview.entries != entries) {
        std::fprintf(stderr, "preview pass: %d of %d entries: %s\n", preview.entries, entries, ImportErrorLine());
        status = 1;
    }
    std::remove((user + "/" + kPreviewFileName).c_str());
    sync();
    int added = 0;
    Figures final = FinalPass(settings, &added);
    if (final.entries != entries || added != entries) {
        std::fprintf(stderr, "final pass: %d of %d entries, %d added: %s\n", final.entries, entries, added,
                     ImportErrorLine());
        status = 1;
    }
    sync();
    Figures plainFinal = PlainEntryWrites(user + "/plain_final", entries, objects.size());

    if (verbose) {
        Print("preview pass (331,458 B records)", preview);
        Print("plain loop, 331,458 B records", plainPreview);
        char label[64];
        std::snprintf(label, sizeof label, "final pass (%d added)", added);
        Print(label, final);
        Print("plain writer, entry files and rows", plainFinal);
    }
    auto ratio = [](const Figures &a, const Figures &b) {
        return b.EntriesPerSecond() > 0 ? a.EntriesPerSecond() / b.EntriesPerSecond() : 0.0;
    };
    round->preview = ratio(preview, plainPreview);
    round->final = ratio(final, plainFinal);
    round->finalSeconds = final.seconds;
    std::printf("  %5d entries: preview %.2f x, final %.2f x the plain writer; final pass %.3f s per 1,000\n",
                entries, round->preview, round->final, final.seconds * 1000.0 / entries);
    std::fflush(stdout);
    // Out of the folder about to go.
    if (chdir(parent.c_str()) != 0) status = 1;
    DeleteTree(user.c_str());
    return status;
}

double Median3(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char **argv) {
    const bool quick = benchutil::TakeShortSwitch(&argc, argv);
    benchutil::ScratchFolder demoScratch("gleaner_bench_import_demo");
    std::string demoFolder = argc > 1 ? argv[1] : MakeDemo(demoScratch);
    if (demoFolder.empty()) {
        std::fprintf(stderr, "usage: import [--short] [DEMO_FOLDER [ENTRIES [SCRATCH_PARENT [growth]]]]\n"
                             "(without DEMO_FOLDER, tools/make_demo.py could not lay out a demo)\n");
        return 2;
    }
    // Absolute: the passes run in the scratch folder.
    char *real = realpath(demoFolder.c_str(), nullptr);
    if (!real) {
        std::fprintf(stderr, "no folder %s\n", demoFolder.c_str());
        return 2;
    }
    std::string demo = real;
    std::free(real);
    std::vector<int> sizes = {1000, 5000, 20000};
    if (quick) sizes = {300};
    if (argc > 2 && std::atoi(argv[2]) > 0) sizes = {std::atoi(argv[2])};
    if (argc > 2 && std::atoi(argv[2]) <= 0) return 2;
    std::string parent = argc > 3 ? argv[3] : "/tmp";
    bool growth = argc > 4 && std::strcmp(argv[4], "growth") == 0;

    std::string ref0 = demo + "/data/ref/", ref1 = demo + "/disc/ref/";
    SetRefDirectories(ref0.c_str(), ref1.c_str(), ref1.c_str());
    std::string probe = MakeScratch(demo, parent);
    if (probe.empty()) {
        std::fprintf(stderr, "cannot copy the demo's stores (run tools/make_demo.py --build BUILD first)\n");
        return 1;
    }
    SetUserDataFolder(probe.c_str());
    std::vector<std::string> sites = SiteNames(), observers = ObserverNames(),
                             instruments = InstrumentNames(), objects = ObjectNames();
    DeleteTree(probe.c_str());
    std::printf("demo %s: %zu objects, %zu sites, %zu observers, %zu instruments\n", demo.c_str(),
                objects.size(), sites.size(), observers.size(), instruments.size());
    if (objects.empty() || sites.empty() || observers.empty() || instruments.empty()) {
        std::fprintf(stderr, "the demo installation lacks objects, sites, observers or instruments\n");
        return 1;
    }
    SetBenchFormat();

    int status = 0;
    const int kRounds = 3;
    std::vector<double> finalPerThousand;
    for (int entries : sizes) {
        std::printf("\n%d entries, %d rounds:\n", entries, kRounds);
        std::vector<double> previews, finals, seconds;
        for (int r = 0; r < kRounds; ++r) {
            Round round;
            status |= RunRound(demo, parent, entries, objects, sites, observers, instruments, r == 0, &round);
            previews.push_back(round.preview);
            finals.push_back(round.final);
            seconds.push_back(round.finalSeconds * 1000.0 / entries);
        }
        std::printf("%5d entries, ratio to the plain writer (entries/s), min / median of %d: preview %.2f / %.2f "
                    "(goal 0.7), final %.2f / %.2f (goal 0.5); final pass %.3f / %.3f s per 1,000\n",
                    entries, kRounds, *std::min_element(previews.begin(), previews.end()), Median3(previews),
                    *std::min_element(finals.begin(), finals.end()), Median3(finals),
                    *std::min_element(seconds.begin(), seconds.end()), Median3(seconds));
        std::fflush(stdout);
    }
    if (!growth) return status;

    // The cost's growth: 500 and 8,000 entries into an empty store, then into
    // a store that already holds 8,000 (of other nights).
    ImportSettings settings;
    std::memset(&settings, 0, sizeof settings);
    std::printf("\ngrowth of the final pass (seconds per 1,000 entries):\n");
    for (int held : {0, 8000}) {
        for (int n : {500, 8000}) {
            std::string scratchUser = MakeScratch(demo, parent);
            if (scratchUser.empty()) return 1;
            SetUserDataFolder(scratchUser.c_str());
            if (chdir(scratchUser.c_str()) != 0) return 1;
            std::string logFile = scratchUser + "/bench_log.txt";
            std::snprintf(settings.importPath, sizeof settings.importPath, "%s", logFile.c_str());
            if (held > 0) {
                if (!WriteLog(logFile, held, objects, sites, observers, instruments, 0)) return 1;
                int filled = 0;
                FinalPass(settings, &filled);
                if (filled != held) status = 1;
            }
            // Nights after those already held.
            if (!WriteLog(logFile, n, objects, sites, observers, instruments, 2000)) return 1;
            int got = 0;
            Figures f = FinalPass(settings, &got);
            if (got != n) {
                std::fprintf(stderr, "growth pass: %d of %d added: %s\n", got, n, ImportErrorLine());
                status = 1;
            }
            std::printf("  %5d entries into a store holding %5d: %7.2f s, %6.3f s per 1,000, %7.1f entries/s\n", n,
                        held, f.seconds, f.seconds * 1000.0 / n, f.EntriesPerSecond());
            std::fflush(stdout);
            if (chdir(parent.c_str()) != 0) status = 1;
            DeleteTree(scratchUser.c_str());
        }
    }
    return status;
}
