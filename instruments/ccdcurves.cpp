// Reading the quantum-efficiency curves of ccd_Q.dat (see ccdcurves.h).
#include "instruments/ccdcurves.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct FileCloser {
    FILE *f;
    ~FileCloser() {
        if (f) std::fclose(f);
    }
};

// One comma-separated value: a number and nothing else but blanks.
bool ReadValue(const std::string &field, double *value) {
    const char *begin = field.c_str();
    char *end = nullptr;
    const double v = std::strtod(begin, &end);
    if (end == begin || !std::isfinite(v)) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end) return false;
    *value = v;
    return true;
}

// The next whole line, of any length, without its line end; false at the
// end of the file. (A fixed buffer would split a long line, and its tail
// would then read as a malformed row that voids the whole table.)
bool ReadWholeLine(FILE *f, std::string *line) {
    line->clear();
    char chunk[512];
    bool any = false;
    while (std::fgets(chunk, sizeof chunk, f)) {
        any = true;
        line->append(chunk);
        if (!line->empty() && line->back() == '\n') break;
    }
    return any && !std::ferror(f);
}

}  // namespace

int ReadCcdQuantumEfficiency(const char *folder, CcdCurveRow *table, int capacity) {
    if (!folder || !table || capacity <= 0) return 0;
    const std::string path = std::string(folder) + "/ccd_Q.dat";
    FileCloser file{std::fopen(path.c_str(), "r")};
    if (!file.f) return 0;
    int rows = 0;
    std::string text;
    while (rows < capacity && ReadWholeLine(file.f, &text)) {
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        if (text.size() < 2 || text[0] == '#') continue;
        CcdCurveRow &row = table[rows];
        std::memset(&row, 0, sizeof row);
        size_t comma = text.find(',');
        std::snprintf(row.name, sizeof row.name, "%s", text.substr(0, comma).c_str());
        for (int i = 0; i < kQuantumEfficiencyPoints; ++i) {
            if (comma == std::string::npos) return 0;
            const size_t next = text.find(',', comma + 1);
            const std::string field =
                text.substr(comma + 1, next == std::string::npos ? std::string::npos : next - comma - 1);
            double value = 0;   // the packed row's doubles are not aligned: no pointer into it
            if (!ReadValue(field, &value)) return 0;
            row.values[i] = value;
            comma = next;
        }
        ++rows;
    }
    return rows;
}

int FindCcdCurveByName(const char *name, const CcdCurveRow *table, int rows) {
    if (!name || !table) return -1;
    for (int i = 0; i < rows; ++i) {
        const char *a = name;
        const char *b = table[i].name;
        size_t n = 0;
        while (n < sizeof table[i].name && *a && *b &&
               std::tolower(static_cast<unsigned char>(*a)) == std::tolower(static_cast<unsigned char>(*b))) {
            ++a;
            ++b;
            ++n;
        }
        if (*a == 0 && (n == sizeof table[i].name || *b == 0)) return i;
    }
    return -1;
}

int CcdCurvesEqual(const CcdCurveRow *a, const CcdCurveRow *b) {
    if (!a || !b) return 0;
    const size_t size = sizeof a->name;
    for (size_t n = 0; n < size; ++n) {
        int x = std::tolower(static_cast<unsigned char>(a->name[n]));
        int y = std::tolower(static_cast<unsigned char>(b->name[n]));
        if (x != y) return 0;
        if (x == 0) break;
    }
    for (int i = 0; i < kQuantumEfficiencyPoints; ++i) {
        double x = a->values[i], y = b->values[i];
        if (x != y) return 0;
    }
    return 1;
}
