// Text tables of Phoebe's and Himalia's offsets into their day tables.
#include "ephem/daytableconvert.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "astro/angleparse.h"
#include "astro/datetime.h"
#include "core/safefile.h"
#include "core/textutil.h"
#include "ephem/daytables.h"

namespace {

// The characters of a line from column first to column last (1-based), or
// fewer when the line is shorter.
std::string Columns(const std::string &line, size_t first, size_t last) {
    if (line.size() < first) return std::string();
    return line.substr(first - 1, last - first + 1);
}

void PutFloat(uint8_t *out, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(bits >> (8 * i));
}

}  // namespace

int ConvertDayTextTable(const char *textPath, const char *binPath) {
    if (!textPath || !binPath) return 0;
    FileHandle in(std::fopen(textPath, "r"));
    if (!in) return 0;
    SafeRewrite out;
    if (!BeginSafeRewrite(binPath, &out)) return 0;
    char buffer[256];
    int records = 0;
    double last = 0.0;
    while (std::fgets(buffer, sizeof buffer, in.get())) {
        std::string line(buffer);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        std::string date = Columns(line, 1, 17);
        for (char &c : date)
            if (c == '-') c = ' ';
        std::string xs = Columns(line, 22, 31), ys = Columns(line, 32, 40), zs = Columns(line, 41, 48);
        double x = ParseFixedWidthReal(xs.c_str(), static_cast<int>(xs.size()));
        double y = ParseFixedWidthReal(ys.c_str(), static_cast<int>(ys.size()));
        double z = ParseFixedWidthReal(zs.c_str(), static_cast<int>(zs.size()));
        DateRecord when;
        if (xs.empty() || ys.empty() || zs.empty() || x == kNoRealValue || y == kNoRealValue ||
            z == kNoRealValue || ParseDateText(date.c_str(), nullptr, &when) != 1) {
            std::printf("%s\n", line.c_str());
            continue;
        }
        last = when.julianDate - kDayTableFirstJulianDate;
        if (last < 0) std::printf("** Negative delta-JD!\n");
        uint8_t record[kDayTableRecordSize];
        PutFloat(record, static_cast<float>(x));
        PutFloat(record + 4, static_cast<float>(y));
        if (SafeWriteAll(out.file, record, sizeof record) != 1) return 0;
        ++records;
    }
    if (std::ferror(in.get())) {
        AbandonSafeRewrite(&out);  // a read error, not the end: no table from half a text
        return 0;
    }
    if (!CommitSafeRewrite(&out)) return 0;
    std::printf("%d entries\n", records);
    std::printf("Last JD %lf\n", last);
    return 1;
}

int ConvertPhoebeTextTable() { return ConvertDayTextTable("../Nightjar Data/Phoebe.dat", "ss/Phoebe.bin"); }
int ConvertHimaliaTextTable() { return ConvertDayTextTable("../Nightjar Data/Himalia.dat", "ss/Himalia.bin"); }
