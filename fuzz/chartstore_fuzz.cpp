// Fuzz target: the chart-definition store "charts.bin" as a damaged file
// could hold it (any count, any length), read through every reader and
// changed by each writer: no count may send a write past the records the
// file holds, nor an allocation beyond them.
//
// Input: a control byte, the 16-bit count, then the records compactly: the
// file holds (control bits 0-2) records, each of whose first bytes come in
// turn from the input (160 bytes each, the name, instrument and view fields;
// zeros to the record's length), and bits 3-5 a trailing part-record of that
// many 1,000 bytes. Bits 6-7 pick the change (none, append, delete, sort).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "charts/chartstore.h"
#include "core/fsys.h"
#include "fuzz/fuzzscratch.h"

namespace {

void Check(bool ok, const char *what) {
    if (!ok) {
        std::fprintf(stderr, "chart store check failed: %s\n", what);
        std::abort();
    }
}

const size_t kCompactRecord = 160;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 3) return 0;
    fuzz::ScratchFolder();
    uint8_t control = data[0];
    int records = control & 7;
    int tail = ((control >> 3) & 7) * 1000;
    int op = control >> 6;
    std::string file(reinterpret_cast<const char *>(data + 1), 2);
    size_t at = 3;
    for (int i = 0; i < records; ++i) {
        std::string r(kChartRecordSize, '\0');
        size_t n = size - at < kCompactRecord ? size - at : kCompactRecord;
        if (n) std::memcpy(&r[0], data + at, n);
        at += n;
        file += r;
    }
    file.append((size_t)tail, '\0');
    Check(fuzz::WriteScratchFile("charts.bin", reinterpret_cast<const uint8_t *>(file.data()), file.size()),
          "write store");
    const std::string path = fuzz::ScratchFolder() + "/charts.bin";
    std::unique_ptr<ChartDefinition> chart(new ChartDefinition);
    int32_t count = -1;
    FILE *f = OpenChartFile(path.c_str(), &count);
    if (f) {
        Check(count >= 0 && kChartHeaderSize + (int64_t)count * kChartRecordSize <= (int64_t)file.size(),
              "an accepted count covers only records the file holds");
        for (int i = 0; i < count; ++i)
            if (ReadChart(f, chart.get(), i)) fuzz::TerminatedLength(chart->name, sizeof chart->name, "chart name");
        std::fclose(f);
    }
    f = OpenChartStore(&count);
    if (f) {
        std::memset(chart.get(), 0, sizeof *chart);
        std::snprintf(chart->name, sizeof chart->name, "Probe");
        int index = -1;
        CompareChartWithFile(f, chart.get(), count, &index);
        if (op == 1) {
            int ok = AppendChart(f, chart.get());
            int64_t grown = FsFileSize(path);
            Check(grown <= (int64_t)file.size() + kChartRecordSize, "an append adds one record at most");
            (void)ok;
        } else if (op == 2) {
            DeleteChart(f, count > 0 ? count - 1 : 0);
            Check(FsFileSize(path) <= (int64_t)file.size(), "a delete never grows the file");
        }
        ApplyChartTemplate(f, chart.get(), 1, 0, 3, count);
        std::fclose(f);
    }
    if (op == 3) {
        SortCharts();
        Check(FsFileSize(path) <= (int64_t)file.size(), "a sort never grows the file");
    }
    ChartStoreHasInstrument(1);
    fuzz::CleanScratch();
    return 0;
}
