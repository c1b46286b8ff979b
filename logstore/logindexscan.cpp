// Scans over the log's index folders.
#include "logstore/logindexscan.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "astro/datetext.h"
#include "core/textutil.h"
#include "logstore/logpaths.h"
#include "objects/constellations.h"

namespace {

// Moves to the next "*.idx" plain file; 1 when there is one.
int Advance(IndexScan *scan) {
    scan->found = 0;
    char name[kIndexScanNameSize];
    for (int guard = 0; guard < 1000000; ++guard) {
        int r = NextDirectoryEntry(&scan->list, name, sizeof name);
        if (r == 0) return 0;
        if (r < 0) continue;
        size_t n = std::strlen(name);
        if (n > 4 && CompareStringsNoCase(name + n - 4, ".idx") == 0) {
            std::memcpy(scan->current, name, n + 1);
            scan->found = 1;
            return 1;
        }
    }
    return 0;
}

int Begin(IndexScan *scan, const char *folder) {
    if (!scan) return 0;
    scan->found = 0;
    scan->current[0] = 0;
    char path[kLogPathSize];
    if (!MakeLogPath(path, folder)) return 0;
    if (!OpenDirectoryList(&scan->list, path, 1, 0)) return 0;
    return Advance(scan);
}

// Reads "%04d%02d%02d.idx" with a month of 1-12.
bool ParseNight(const char *name, int *year, int *month, int *day) {
    if (std::strlen(name) != 12) return false;
    for (int i = 0; i < 8; ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    int y = 0, m = 0, d = 0;
    if (std::sscanf(name, "%4d%2d%2d", &y, &m, &d) != 3 || m < 1 || m > 12 || d < 1 || d > 31)
        return false;
    *year = y;
    *month = m;
    *day = d;
    return true;
}

// Reads a leading number followed by ".idx".
bool ParseNumber(const char *name, int *number) {
    int n = 0, used = 0;
    if (std::sscanf(name, "%d%n", &n, &used) != 1) return false;
    if (CompareStringsNoCase(name + used, ".idx") != 0) return false;
    *number = n;
    return true;
}

int NextDecodedName(IndexScan *scan, char *name) {
    if (!scan || !scan->found) return 0;
    std::string file = scan->current;
    Advance(scan);
    file = file.substr(0, file.find('.'));
    if (!name) return 1;
    std::snprintf(name, kIndexScanNameSize, "%s", file.c_str());
    DecodeNameFromFileName(name);
    return 1;
}

int32_t IndexCount(const char *folder, const char *file) {
    char path[kLogPathSize];
    if (!MakeLogPath(path, folder)) return -1;
    std::string full = std::string(path) + "/" + file;
    FILE *f = std::fopen(full.c_str(), "rb");
    if (!f) return -1;
    int32_t n = -1;
    if (std::fread(&n, 4, 1, f) != 1) n = -1;
    std::fclose(f);
    return n;
}

}  // namespace

int BeginNightIndexScan(IndexScan *scan) { return Begin(scan, "night"); }
int BeginClassIndexScan(IndexScan *scan) { return Begin(scan, "class"); }
int BeginObserverIndexScan(IndexScan *scan) { return Begin(scan, "observer"); }
int BeginInstrumentIndexScan(IndexScan *scan) { return Begin(scan, "instrument"); }
int BeginLocationIndexScan(IndexScan *scan) { return Begin(scan, "loc"); }
int BeginConstellationIndexScan(IndexScan *scan) { return Begin(scan, "cons"); }

void EndIndexScan(IndexScan *scan) {
    if (!scan) return;
    CloseDirectoryList(&scan->list);
    scan->found = 0;
}

int NextNightIndexDate(IndexScan *scan, int *year, int *month, int *day) {
    if (!scan || !scan->found) return 0;
    int y, m, d;
    bool ok = ParseNight(scan->current, &y, &m, &d);
    Advance(scan);
    if (!ok) return -1;
    if (year) *year = y;
    if (month) *month = m;
    if (day) *day = d;
    return 1;
}

int NextNightIndexName(IndexScan *scan, char *text, int32_t *date) {
    int y = 0, m = 0, d = 0;
    int r = NextNightIndexDate(scan, &y, &m, &d);
    if (r != 1) return r;
    const char *month = GetMonthName(m);
    if (text) std::snprintf(text, 16, "%4d %3.3s %2d", y, month ? month : "", d);
    if (date) *date = y * 10000 + m * 100 + d;
    return 1;
}

int NextClassIndexName(IndexScan *scan, int *folder, char *name) {
    for (int guard = 0; guard < 1000000; ++guard) {
        if (!scan || !scan->found) return 0;
        std::string file = scan->current;
        Advance(scan);
        int number = 0;
        if (!ParseNumber(file.c_str(), &number)) return -1;
        if (number < 0 || IndexCount("class", file.c_str()) <= 0) continue;  // skipped
        char folderName[kLogFolderNameSize];
        if (!GetClassFolderName(number, folderName)) return -1;
        if (folder) *folder = number;
        if (name) std::memcpy(name, folderName, kLogFolderNameSize);
        return 1;
    }
    return 0;
}

int NextObserverIndexName(IndexScan *scan, char *name) { return NextDecodedName(scan, name); }
int NextInstrumentIndexName(IndexScan *scan, char *name) { return NextDecodedName(scan, name); }
int NextLocationIndexName(IndexScan *scan, char *name) { return NextDecodedName(scan, name); }

int NextConstellationIndexName(IndexScan *scan, int abbreviation, int *number, char *name) {
    if (!scan || !scan->found) return 0;
    std::string file = scan->current;
    Advance(scan);
    int n = -1;
    if (!ParseNumber(file.c_str(), &n) || n < 0 || n > 88) return -1;
    char text[32] = {0};
    if (abbreviation) {
        if (!GetConstellationAbbreviation(n, text) || !text[0]) return -1;
    } else {
        FILE *names = OpenConstellationNames();
        if (!names) return -1;
        double ra = 0, dec = 0;
        int ok = ReadConstellationName(names, n, text, &ra, &dec);
        std::fclose(names);
        if (!ok) return -1;
        text[20] = 0;
    }
    if (number) *number = n;
    if (name) std::snprintf(name, 32, "%s", text);
    return 1;
}
