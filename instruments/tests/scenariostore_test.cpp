// The scenario store scenario.bin: creation, record offsets and the lookup by
// name with its same/different answer.
#include "instruments/scenariostore.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "core/userfolder.h"
#include "testutil/testutil.h"

namespace {

ScenarioRecord Scenario(const char *name) {
    ScenarioRecord r;
    std::memset(&r, 0, sizeof r);
    std::snprintf(r.name, sizeof r.name, "%s", name);
    std::snprintf(r.text1, sizeof r.text1, "Deep sky");
    r.value = 6.5;
    r.number = 12;
    r.flag = 1;
    std::snprintf(r.text2, sizeof r.text2, "Winter");
    r.block1[10] = 0x5A;  // carried whole
    return r;
}

class ScenarioStore : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(dir.path().c_str()); }
    void TearDown() override {
        if (f) std::fclose(f);
        SetUserDataFolder("");
    }
    testutil::TempDir dir;
    FILE *f = nullptr;
};

}  // namespace

TEST_F(ScenarioStore, CreatedEmptyThenRecordsAtTheirOffsets) {
    int32_t n = -1;
    f = OpenScenarioFile(&n);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(testutil::ReadFileBytes(dir.file("scenario.bin")), std::string(2, '\0'));
    ScenarioRecord a = Scenario("Messier marathon"), b = Scenario("Planets");
    ASSERT_EQ(AppendScenario(f, &a), 1);
    ASSERT_EQ(AppendScenario(f, &b), 1);
    std::string bytes = testutil::ReadFileBytes(dir.file("scenario.bin"));
    ASSERT_EQ(bytes.size(), 2u + 2 * 809);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\x02\x00", 2));
    EXPECT_EQ(std::string(bytes.c_str() + 2 + 809), "Planets");
    EXPECT_EQ(std::string(bytes.c_str() + 2 + 809 + 179), "Deep sky");
    EXPECT_EQ(std::string(bytes.c_str() + 2 + 809 + 725), "Winter");
    EXPECT_EQ(bytes[2 + 809 + 483], 1);
    EXPECT_EQ((unsigned char)bytes[2 + 809 + 260], 0x5A);

    ScenarioRecord back;
    ASSERT_EQ(ReadScenario(f, &back, 1), 1);
    EXPECT_EQ(std::memcmp(&back, &b, sizeof b), 0);
    EXPECT_EQ(ReadScenario(f, &back, 2), 0);
    EXPECT_EQ(WriteScenario(f, &back, 2), 0);
    EXPECT_EQ(ReadScenario(f, &back, -1), 0);
}

TEST_F(ScenarioStore, FindByNameSameDifferentAbsentAndReadError) {
    int32_t n = 0;
    f = OpenScenarioFile(&n);
    ASSERT_NE(f, nullptr);
    ScenarioRecord a = Scenario("Messier marathon"), b = Scenario("Planets");
    ASSERT_EQ(AppendScenario(f, &a), 1);
    ASSERT_EQ(AppendScenario(f, &b), 1);

    struct Case { const char *what; void (*change)(ScenarioRecord *); int answer; } cases[] = {
        {"same", [](ScenarioRecord *) {}, 1},
        {"name and texts in other case", [](ScenarioRecord *r) {
             std::snprintf(r->name, sizeof r->name, "PLANETS");
             std::snprintf(r->text1, sizeof r->text1, "DEEP SKY");
             std::snprintf(r->text2, sizeof r->text2, "winter");
         }, 1},
        {"an uncompared byte", [](ScenarioRecord *r) { r->block2[5] = 9; }, 1},
        {"byte at 483", [](ScenarioRecord *r) { r->flag = 0; }, 2},
        {"value at 242", [](ScenarioRecord *r) { r->value = 6.6; }, 2},
        {"number at 479", [](ScenarioRecord *r) { r->number = 13; }, 2},
        {"text at 725", [](ScenarioRecord *r) { r->text2[0] = 'S'; }, 2},
        {"absent", [](ScenarioRecord *r) { std::snprintf(r->name, sizeof r->name, "Comets"); }, 0},
    };
    for (const Case &c : cases) {
        ScenarioRecord probe = Scenario("Planets");
        c.change(&probe);
        int index = -1;
        EXPECT_EQ(FindScenarioByName(f, &probe, 2, &index), c.answer) << c.what;
        if (c.answer > 0) {
            EXPECT_EQ(index, 1) << c.what;
        }
    }
    ScenarioRecord absent = Scenario("Comets");
    int index = -1;
    EXPECT_EQ(FindScenarioByName(f, &absent, 3, &index), -1);  // the file ends first
    EXPECT_EQ(FindScenarioByName(nullptr, &absent, 2, &index), -1);

    // An unterminated name is compared only within its field.
    ScenarioRecord raw = Scenario("x");
    std::memset(raw.name, 'Q', sizeof raw.name);
    ASSERT_EQ(AppendScenario(f, &raw), 1);
    EXPECT_EQ(FindScenarioByName(f, &raw, 3, &index), 1);
    EXPECT_EQ(index, 2);
}
