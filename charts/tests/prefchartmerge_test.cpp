// The chart side of the preference merge: charts of another computer with
// their instruments translated to the local ones of the same name, the
// first four charts never appended, charts without an instrument left out,
// a chart naming an unknown instrument stopping the merge, and schemes.
#include "charts/prefchartmerge.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "charts/chartstore.h"
#include "charts/colourschemes.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "instruments/instrumentstore.h"
#include "testutil/testutil.h"

namespace {

const size_t kDisplayAt = 6412;

std::string Chart(const char *name, int instrument, char display = 0) {
    std::string r(sizeof(ChartDefinition), '\0');
    std::memcpy(&r[0], name, std::strlen(name));
    r[97] = (char)instrument;
    r[99] = 1;
    r[kDisplayAt] = display;
    return r;
}

std::string Store(const std::vector<std::string> &records) {
    std::string f(2, '\0');
    uint16_t n = (uint16_t)records.size();
    std::memcpy(&f[0], &n, 2);
    for (const std::string &r : records) f += r;
    return f;
}

void Instruments(const std::vector<const char *> &names) {
    ASSERT_EQ(CreateInstrumentFile(), 1);
    int32_t n = 0;
    FileHandle f(OpenInstrumentFile(&n));
    ASSERT_TRUE(f);
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    for (const char *name : names) {
        std::memset(r.get(), 0, sizeof *r);
        r->opticsCount = 1;
        std::snprintf(r->name, sizeof r->name, "%s", name);
        ASSERT_EQ(AppendInstrument(f.get(), r.get()), 1);
    }
}

// name -> (instrument byte, display byte) of the local charts.
std::vector<std::string> Charts() {
    std::vector<std::string> out;
    int32_t n = 0;
    FileHandle f(OpenChartStore(&n));
    std::unique_ptr<ChartDefinition> c(new ChartDefinition);
    for (int i = 0; f && i < n; ++i)
        if (ReadChart(f.get(), c.get(), i))
            out.push_back(std::string(c->name) + ":" + std::to_string(c->instrumentId) + ":" +
                          std::to_string((int)c->display[0]));
    return out;
}

std::vector<std::string> asked;
int Replace(const char *message) {
    asked.push_back(message);
    return kMergeReplace;
}

struct Folders {
    testutil::TempDir other, local;
    ~Folders() { SetUserDataFolder(""); }
};

}  // namespace

TEST(PrefChartMerge, ChartsTakeTheLocalInstrumentOfTheSameName) {
    Folders f;
    SetUserDataFolder(f.other.path().c_str());
    Instruments({"Alpha", "Beta"});  // ids 1 and 2 there
    ASSERT_TRUE(testutil::WriteFileBytes(
        f.other.file("charts.bin"),
        Store({Chart("General 0", 0), Chart("General 1", 0, 7), Chart("General 2", 0), Chart("General 3", 0),
               Chart("Beta chart", 2), Chart("Eye chart", 0), Chart("Alpha chart", 1, 5)})));
    SetUserDataFolder(f.local.path().c_str());
    Instruments({"Beta", "Alpha"});  // ids 1 and 2 here
    ASSERT_TRUE(testutil::WriteFileBytes(
        f.local.file("charts.bin"),
        Store({Chart("General 0", 0), Chart("General 1", 0, 3), Chart("General 2", 0), Chart("General 3", 0),
               Chart("Alpha chart", 2, 4)})));
    asked.clear();
    MergeAnswers answers;
    ASSERT_EQ(MergeChartFiles(f.other.path().c_str(), 3106, &answers, Replace), 1);
    EXPECT_EQ(asked, (std::vector<std::string>{
                         "Replace the data for the General 1 chart with that on the other computer?",
                         "Replace the data for the Alpha chart chart with that on the other computer?"}));
    EXPECT_EQ(Charts(), (std::vector<std::string>{"General 0:0:0", "General 1:0:7", "General 2:0:0",
                                                  "General 3:0:0", "Alpha chart:2:5", "Beta chart:1:0"}));
    // A chart naming an instrument the other file lacks stops the merge.
    SetUserDataFolder(f.other.path().c_str());
    ASSERT_TRUE(testutil::WriteFileBytes(f.other.file("charts.bin"),
                                         Store({Chart("G0", 0), Chart("G1", 0), Chart("G2", 0), Chart("G3", 0),
                                                Chart("Ghost chart", 9)})));
    SetUserDataFolder(f.local.path().c_str());
    EXPECT_EQ(MergeChartFiles(f.other.path().c_str(), 3106, &answers, Replace), 0);
}

TEST(PrefChartMerge, SchemesAskAndAppend) {
    Folders f;
    auto scheme = [](const char *name, uint8_t first) {
        std::string r(sizeof(ColourScheme), '\0');
        std::memcpy(&r[0], name, std::strlen(name));
        r[46] = (char)first;
        return r;
    };
    ASSERT_TRUE(testutil::WriteFileBytes(f.other.file("ms.bin"), Store({scheme("Night", 1), scheme("Day", 2)})));
    ASSERT_TRUE(testutil::WriteFileBytes(f.local.file("ms.bin"), Store({scheme("night", 9)})));
    SetUserDataFolder(f.local.path().c_str());
    asked.clear();
    MergeAnswers answers;
    ASSERT_EQ(MergeSchemeFiles(f.other.path().c_str(), 3106, &answers, Replace), 1);
    EXPECT_EQ(asked, std::vector<std::string>{
                         "Replace the data for the Night chart scheme with that on the other computer?"});
    FileHandle store(OpenSchemeStore(0));
    ASSERT_TRUE(store);
    ASSERT_EQ(CountSchemes(store.get()), 2);
    ColourScheme s;
    ASSERT_EQ(ReadScheme(store.get(), &s, 0), 1);
    EXPECT_EQ(s.data[0], 1);
    ASSERT_EQ(ReadScheme(store.get(), &s, 1), 1);
    EXPECT_STREQ(s.name, "Day");
}

// Charts of the older generation (an int16 count, 13,569-byte records: the
// name at 0, the view count at 99) are converted as they are read: one that
// differs from the local chart of its name replaces it when the question
// allows, with its views showing the first images group (none here: -1);
// a count the file does not hold stops the merge.
TEST(PrefChartMerge, OlderChartsAreConvertedOnTheWay) {
    Folders f;
    auto old = [](const char *name) {
        std::string r(13569, '\0');
        std::memcpy(&r[0], name, std::strlen(name));
        r[99] = 1;
        return r;
    };
    auto oldFile = [](const std::vector<std::string> &records, int16_t count) {
        std::string s(2, '\0');
        std::memcpy(&s[0], &count, 2);
        for (const std::string &r : records) s += r;
        return s;
    };
    ASSERT_TRUE(testutil::WriteFileBytes(
        f.other.file("charts.bin"),
        oldFile({old("General 0"), old("General 1"), old("General 2"), old("General 3")}, 4)));
    SetUserDataFolder(f.local.path().c_str());
    ASSERT_TRUE(testutil::WriteFileBytes(
        f.local.file("charts.bin"),
        Store({Chart("General 0", 0, 1), Chart("General 1", 0, 1), Chart("General 2", 0, 1),
               Chart("General 3", 0, 1)})));
    asked.clear();
    MergeAnswers answers;
    ASSERT_EQ(MergeChartFiles(f.other.path().c_str(), 2500, &answers, Replace), 1);
    EXPECT_EQ(asked.size(), 4u);
    int32_t n = 0;
    FileHandle store(OpenChartStore(&n));
    ASSERT_TRUE(store);
    ASSERT_EQ(n, 4);
    std::unique_ptr<ChartDefinition> c(new ChartDefinition);
    ASSERT_EQ(ReadChart(store.get(), c.get(), 1), 1);
    EXPECT_STREQ(c->name, "General 1");
    int16_t group = 0;
    std::memcpy(&group, c->views[0].layerTable + 1792, 2);
    EXPECT_EQ(group, -1);
    store.reset();

    ASSERT_TRUE(testutil::WriteFileBytes(f.other.file("charts.bin"), oldFile({old("General 0")}, 3)));
    EXPECT_EQ(MergeChartFiles(f.other.path().c_str(), 2500, &answers, Replace), 0);
}
