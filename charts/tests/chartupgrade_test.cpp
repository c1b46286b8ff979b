// Old chart definitions (13,569 bytes, 1,547-byte views) into the current
// record: bytes checked at their new offsets against fixtures written at the
// old offsets, the view-kind and texture rules, damaged names and view counts,
// the whole-file upgrade with its added context chart, and the copy that
// leaves the last 256 bytes alone.
#include "charts/chartupgrade.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/safefile.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

const int kOldSize = 13569;
const int kNewSize = 17803;

void Put8(std::string &r, int at, uint8_t v) { r[static_cast<size_t>(at)] = static_cast<char>(v); }
void Put16(std::string &r, int at, uint16_t v) { std::memcpy(&r[static_cast<size_t>(at)], &v, 2); }
void Put32(std::string &r, int at, uint32_t v) { std::memcpy(&r[static_cast<size_t>(at)], &v, 4); }

uint8_t Get8(const ChartDefinition &c, int at) { return reinterpret_cast<const uint8_t *>(&c)[at]; }
int16_t Get16(const ChartDefinition &c, int at) {
    int16_t v;
    std::memcpy(&v, reinterpret_cast<const uint8_t *>(&c) + at, 2);
    return v;
}
uint32_t Get32(const ChartDefinition &c, int at) {
    uint32_t v;
    std::memcpy(&v, reinterpret_cast<const uint8_t *>(&c) + at, 4);
    return v;
}
double GetDouble(const ChartDefinition &c, int at) {
    double v;
    std::memcpy(&v, reinterpret_cast<const uint8_t *>(&c) + at, 8);
    return v;
}
std::string GetText(const ChartDefinition &c, int at) {
    return std::string(reinterpret_cast<const char *>(&c) + at);
}

// An old record of two views named name, with a marker value at each offset
// the spot checks below read.
std::string OldChart(const char *name, uint8_t views = 2) {
    std::string r(kOldSize, '\0');
    std::memcpy(&r[0], name, std::strlen(name));
    Put8(r, 97, 7);
    Put8(r, 99, views);
    Put8(r, 100, 9);                           // view 0 kind (copied as it is)
    Put8(r, 101, 0x61);
    Put8(r, 103, 0x63);
    Put32(r, 106 + 4 * 11, 0x11223344);        // last of the twelve int32
    Put16(r, 262, 0xB00F);                     // widened to an int32 at 263
    Put8(r, 265, 0x65);                        // to 268
    Put8(r, 271, 0x71);                        // to 269
    Put8(r, 275, 0x75);                        // to 272
    Put16(r, 293, 0x8005);                     // bit 15 -> bit 31
    Put8(r, 295, 0xA0);                        // entry 0 of the 60-byte table (also new 9 and 10)
    Put8(r, 295 + 60 * 8, 0xA8);               // entry 8
    Put8(r, 1411, 0x41);                       // repeated in new entries 9 and 10
    Put32(r, 1492, 0x01492000);                // repeated at 1,751 + 72 and + 80
    Put8(r, 1643 + 3, 0x46);                   // to 2,052
    Put8(r, 1547 + 100, 2);                    // view 1 kind 2
    Put8(r, 1547 + 1634, 0x34);                // view 1's byte to 2,080 + 2,040
    Put32(r, 4741, 0x47414741);                // to 6,340
    Put16(r, 4981, 0x4981);                    // to 6,580
    Put32(r, 4994 + 4 * 13, 0x50465046);       // entry 13, also new entry 14
    Put16(r, 5212, 0x5212);                    // int16 entry 0, also new entries 10 and 11
    Put8(r, 6672, 0x66);                       // the 26th 60-byte entry, to 8,444
    Put32(r, 6841, 0x68416841);                // to 8,708
    Put8(r, 11490, 1);                         // second scheme mode 1 -> 2
    Put32(r, 11501 + 4 * 13, 0x11553000);      // second part's entry 13, also entry 14
    Put8(r, 13507, 0x35);                      // to 17,229
    Put16(r, 13567, 0x1356);                   // to 17,289
    return r;
}

std::unique_ptr<ChartDefinition> Convert(const std::string &old) {
    std::unique_ptr<ChartDefinition> c(new ChartDefinition);
    std::memset(c.get(), 0xCD, sizeof(ChartDefinition));  // stale bytes must not survive
    EXPECT_EQ(ConvertOldChartDefinition(reinterpret_cast<const uint8_t *>(old.data()), c.get()), 1);
    return c;
}

std::string OldFile(const std::vector<std::string> &charts, int16_t count) {
    std::string f(2, '\0');
    std::memcpy(&f[0], &count, 2);
    for (const std::string &c : charts) f += c;
    return f;
}

}  // namespace

TEST(ChartUpgrade, FieldsLandAtTheirNewOffsets) {
    std::unique_ptr<ChartDefinition> c = Convert(OldChart("Overview"));
    const ChartDefinition &n = *c;
    EXPECT_EQ(GetText(n, 0), "Overview");
    struct Row {
        int offset;
        uint32_t want;
        int size;
    } rows[] = {
        {97, 7, 1},           {99, 2, 1},              {100, 9, 1},          {101, 0x61, 1},
        {103, 0x63, 1},       {106 + 44, 0x11223344, 4}, {262, 1, 1},        {263, 0xB00F, 4},
        {268, 0x65, 1},       {269, 0x71, 1},          {272, 0x75, 1},       {273, 0x80000005u, 4},
        {277, 0xA0, 1},       {277 + 60 * 8, 0xA8, 1}, {277 + 60 * 9, 0xA0, 1}, {277 + 60 * 10, 0xA0, 1},
        {937 + 60 * 9, 1, 1}, {937 + 60 * 10 + 59, 1, 1}, {1597, 2, 1},      {1607, 2, 1},
        {1608, 1, 1},         {1618, 1, 1},            {1628, 1, 1},         {1650, 0, 1},
        {1652, 0x41, 1},      {1661, 0x41, 1},         {1662, 0x41, 1},      {1751 + 72, 0x01492000, 4},
        {1751 + 80, 0x01492000, 4}, {1839, 1, 1},      {1974, 0xFFFF, 2},    {2052, 0x46, 1},
        {2080 + 100, 2, 1},   {2080 + 101, 1, 1},      {2080 + 103, 4, 1},   {2080 + 2040, 0x34, 1},
        {6340, 0x47414741, 4}, {6580, 0x4981, 2},      {6582, 0, 1},         {6583, 1, 1},
        {6586, 0, 1},         {6588, 1, 1},            {6671, 3, 1},         {6680 + 4 * 13, 0x50465046, 4},
        {6680 + 4 * 14, 0x50465046, 4}, {6920, 0x5212, 2}, {6940, 0x5212, 2}, {6942, 0x5212, 2},
        {6900, 0, 4},         {6918, 1, 1},            {8444, 0x66, 1},      {8609, 0, 1},
        {8633, 1, 1},         {8634, 1, 1},            {8708, 0x68416841, 4}, {8716 + 163, 0xB00F, 4},
        {8716 + 2080, 2, 1}, {14958, 2, 1},      {15042 + 4 * 14, 0x11553000, 4}, {16995, 2, 1},
        {17229, 0x35, 1},     {17289, 0x1356, 2},      {8716 + 2 * 2080, 0, 4}, {17300, 0, 4},
    };
    for (const Row &r : rows) {
        uint32_t got = r.size == 1 ? Get8(n, r.offset) : r.size == 2 ? static_cast<uint16_t>(Get16(n, r.offset))
                                                                     : Get32(n, r.offset);
        EXPECT_EQ(got, r.want) << "offset " << r.offset;
    }
    EXPECT_EQ(GetDouble(n, 6662), 1.0);
    EXPECT_EQ(GetDouble(n, 15024), 1.0);
    EXPECT_EQ(GetText(n, 14959), "sdisk");
    // The views' blocks are copied whole into the second part.
    EXPECT_EQ(std::memcmp(reinterpret_cast<const uint8_t *>(&n) + 100,
                          reinterpret_cast<const uint8_t *>(&n) + 8716, 2 * 2080), 0);
}

TEST(ChartUpgrade, ViewKindsMapToTheirNewSettings) {
    struct Case {
        uint8_t kind, want101, want103;
    } cases[] = {{1, 4, 4}, {2, 1, 4}, {3, 1, 4}, {4, 1, 4}, {0, 0x61, 0x63}, {5, 0x61, 0x63}, {9, 0x61, 0x63}};
    for (const Case &c : cases) {
        std::string old = OldChart("V", 1);
        Put8(old, 100, c.kind);
        std::unique_ptr<ChartDefinition> n = Convert(old);
        EXPECT_EQ(Get8(*n, 100), c.kind);
        EXPECT_EQ(Get8(*n, 101), c.want101) << int(c.kind);
        EXPECT_EQ(Get8(*n, 103), c.want103) << int(c.kind);
    }
}

TEST(ChartUpgrade, TextureFollowsTheSchemeAndTheBackground) {
    struct Case {
        uint8_t mode4983, byte4984;
        uint32_t colour;
        const char *texture;
        uint8_t flag;
        uint8_t newMode;
    } cases[] = {
        {1, 2, 0x00404040, "sdiski", 0, 2}, {1, 2, 0x00FFFFFF, "sdisk", 2, 2}, {1, 2, 0x00408140, "sdisk", 2, 2},
        {1, 2, 0x00808080, "sdiski", 0, 2}, {1, 1, 0x00FFFFFF, "sdiski", 0, 2}, {1, 0, 0x00000000, "sdisk", 2, 2},
        {0, 1, 0x00000000, "sdisk", 0, 0},  {2, 1, 0x00000000, "sdisk", 0, 1}, {7, 1, 0x00000000, "sdisk", 0, 0},
    };
    for (const Case &c : cases) {
        std::string old = OldChart("T");
        Put8(old, 4983, c.mode4983);
        Put8(old, 4984, c.byte4984);
        Put32(old, 4986, c.colour);
        std::unique_ptr<ChartDefinition> n = Convert(old);
        SCOPED_TRACE(std::to_string(c.mode4983) + "/" + std::to_string(c.byte4984) + "/" + std::to_string(c.colour));
        EXPECT_EQ(GetText(*n, 6597), c.texture);
        EXPECT_EQ(Get8(*n, 6597 + 64), 0);  // zero-filled to the end of its 65 bytes
        EXPECT_EQ(Get8(*n, 6670), c.flag);
        EXPECT_EQ(Get8(*n, 6596), c.newMode);
        EXPECT_EQ(Get32(*n, 6672), c.colour);
    }
}

TEST(ChartUpgrade, DamagedNamesAndViewCountsStayInsideTheRecord) {
    std::string old = OldChart("");
    std::memset(&old[0], 'N', 64);  // no terminator in the name field
    Put8(old, 99, 200);             // a view count no record holds
    std::unique_ptr<ChartDefinition> n = Convert(old);
    EXPECT_EQ(GetText(*n, 0), std::string(63, 'N'));
    EXPECT_EQ(Get8(*n, 99), 3);
    // A view count of 0 keeps one view.
    Put8(old, 99, 0);
    n = Convert(old);
    EXPECT_EQ(Get8(*n, 99), 1);
    EXPECT_EQ(Get8(*n, 100), 9);
}

TEST(ChartUpgrade, WholeFileGainsTheContextChart) {
    struct Case {
        int16_t count;
        std::vector<std::string> names;  // in the new file
    } cases[] = {
        {5, {"c0", "c1", "c2", "Context View", "c3", "c4"}},
        {4, {"c0", "c1", "c2", "Context View", "c3"}},
        {3, {"c0", "c1", "c2", "Context View"}},
        {1, {"c0", "Context View"}},
        {0, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.count);
        testutil::TempDir dir;
        std::vector<std::string> charts;
        for (int i = 0; i < c.count; ++i) charts.push_back(OldChart(("c" + std::to_string(i)).c_str(), 3));
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file("old.bin"), OldFile(charts, c.count)));
        ASSERT_EQ(UpgradeChartsFile(dir.file("old.bin").c_str(), dir.file("new.bin").c_str()), 1);
        std::string bytes = testutil::ReadFileBytes(dir.file("new.bin"));
        ASSERT_EQ(bytes.size(), 2 + c.names.size() * kNewSize);
        int16_t count;
        std::memcpy(&count, bytes.data(), 2);
        EXPECT_EQ(static_cast<size_t>(count), c.names.size());
        for (size_t i = 0; i < c.names.size(); ++i) {
            const ChartDefinition *r = reinterpret_cast<const ChartDefinition *>(bytes.data() + 2 + i * kNewSize);
            EXPECT_EQ(GetText(*r, 0), c.names[i]);
            if (c.names[i] != "Context View") continue;
            // A copy of the first chart with one view of kind 5.
            EXPECT_EQ(Get8(*r, 99), 1);
            EXPECT_EQ(Get8(*r, 100), 5);
            EXPECT_EQ(Get8(*r, 101), 1);
            EXPECT_EQ(Get32(*r, 263), 0xB02Fu);
            EXPECT_EQ(Get32(*r, 6340), 0x47414741u);
            EXPECT_EQ(Get8(*r, 97), 7);
        }
    }
}

TEST(ChartUpgrade, AFileShorterThanItsCountIsRefused) {
    testutil::TempDir dir;
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("old.bin"), OldFile({OldChart("a"), OldChart("b")}, 3)));
    EXPECT_EQ(UpgradeChartsFile(dir.file("old.bin").c_str(), dir.file("new.bin").c_str()), 0);
    EXPECT_FALSE(testutil::PathIsThere(dir.file("new.bin")));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("neg.bin"), OldFile({}, -1)));
    EXPECT_EQ(UpgradeChartsFile(dir.file("neg.bin").c_str(), dir.file("new.bin").c_str()), 0);
    EXPECT_EQ(UpgradeChartsFile(dir.file("absent.bin").c_str(), dir.file("new.bin").c_str()), 0);
}

TEST(ChartUpgrade, EachFailedStepLeavesNoNewFile) {
    testutil::TempDir dir;
    std::vector<std::string> charts;
    for (int i = 0; i < 4; ++i) charts.push_back(OldChart(("c" + std::to_string(i)).c_str()));
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("old.bin"), OldFile(charts, 4)));
    const std::string earlier = "an earlier upgrade";
    testutil::ForEachFailurePoint(
        [&] { testutil::WriteFileBytes(dir.file("new.bin"), earlier); },
        [&] { return UpgradeChartsFile(dir.file("old.bin").c_str(), dir.file("new.bin").c_str()); },
        [&](const testutil::FailurePointRun &run) {
            EXPECT_EQ(run.result, 0) << testutil::DescribeFailurePoint(run);
            EXPECT_EQ(testutil::ReadFileBytes(dir.file("new.bin")), earlier) << testutil::DescribeFailurePoint(run);
        });
}

TEST(ChartCopy, LeavesTheLastBytesAndTheViewsNotInUse) {
    std::unique_ptr<ChartDefinition> source(new ChartDefinition), target(new ChartDefinition);
    std::memset(source.get(), 0xAA, sizeof(ChartDefinition));
    std::memset(target.get(), 0x55, sizeof(ChartDefinition));
    std::memcpy(source->name, "Finder", 7);
    reinterpret_cast<uint8_t *>(source.get())[99] = 2;
    ASSERT_EQ(CopyChartDefinition(source.get(), target.get()), 1);
    const uint8_t *t = reinterpret_cast<const uint8_t *>(target.get());
    EXPECT_EQ(GetText(*target, 0), "Finder");
    EXPECT_EQ(t[63], 0);              // the name zero-filled behind its text
    EXPECT_EQ(t[99], 2);
    EXPECT_EQ(t[100 + 2 * 2080 - 1], 0xAA);
    EXPECT_EQ(t[100 + 2 * 2080], 0x55);   // the third view is not in use
    EXPECT_EQ(t[6340], 0xAA);
    EXPECT_EQ(t[8698], 0xAA);
    EXPECT_EQ(t[17546], 0xAA);
    for (int i = 17547; i < kNewSize; ++i) ASSERT_EQ(t[i], 0x55) << i;

    testutil::TempDir dir;
    std::string file(2, '\0');
    file[0] = 2;
    file += std::string(kNewSize, '\0');
    file += std::string(reinterpret_cast<const char *>(source.get()), kNewSize);
    ASSERT_TRUE(testutil::WriteFileBytes(dir.file("charts.bin"), file));
    FileHandle f(SafeOpen(dir.file("charts.bin").c_str(), "rb"));
    std::memset(target.get(), 0x55, sizeof(ChartDefinition));
    ASSERT_EQ(ReadChartDefinitionCopy(f.get(), target.get(), 1), 1);
    EXPECT_EQ(GetText(*target, 0), "Finder");
    EXPECT_EQ(t[17547], 0x55);
    EXPECT_EQ(ReadChartDefinitionCopy(f.get(), target.get(), 2), 0);
    EXPECT_EQ(ReadChartDefinitionCopy(nullptr, target.get(), 0), 0);
}
