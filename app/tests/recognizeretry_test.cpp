// Tests of designation recognition with retries: the attempt sequence with a
// recording parser, the clean-up, the trace file and the small text helpers,
// and the real recognition of NGC and Messier designations over small
// cross-index files.
#include "app/recognizeretry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/datapaths.h"
#include "core/userfolder.h"
#include "objects/objectrecord.h"
#include "objects/recognize.h"
#include "objects/tests/stardata.h"
#include "testutil/testutil.h"

namespace {

std::vector<std::string> g_texts;
std::string g_accept;
int g_acceptResult = 1;

// Records every text; answers g_acceptResult for g_accept, else 0. Like the
// real parser it rewrites "M31" in place, to check what attempt 2 starts from.
int RecordingParser(char *text, double, const LocationRecord *, const DateRecord *, double,
                    ObjectRecord *) {
    g_texts.push_back(text);
    return g_texts.back() == g_accept ? g_acceptResult : 0;
}

std::vector<std::string> Attempts(const char *designation, const char *accept, int result = 1,
                                  int *returned = nullptr) {
    g_texts.clear();
    g_accept = accept;
    g_acceptResult = result;
    ObjectRecord records[3];
    int r = RecognizeDesignationWith(RecordingParser, nullptr, nullptr, nullptr, designation,
                                     records);
    if (returned) *returned = r;
    return g_texts;
}

using Texts = std::vector<std::string>;

TEST(RecognizeRetry, AttemptSequences) {
    int r = 0;
    EXPECT_EQ(Attempts("M31", "M 31", 1, &r), (Texts{"M31", "M 31"}));
    EXPECT_EQ(r, 1);
    EXPECT_EQ(Attempts("NGC7000", "", 1, &r), (Texts{"NGC7000", "NGC 7000"}));
    EXPECT_EQ(r, 0);
    EXPECT_EQ(Attempts("0433-Eros", "MPN 433", 2, &r), (Texts{"0433-Eros", " 0433-Eros", "MPN 433"}));
    EXPECT_EQ(r, 2);
    EXPECT_EQ(Attempts("0000-Eros", "Eros", 1, &r), (Texts{"0000-Eros", " 0000-Eros", "Eros"}));
    EXPECT_EQ(r, 1);
    // The first attempt that is not 0 ends the walk; -1 too.
    EXPECT_EQ(Attempts("0433-Eros", "0433-Eros", 1), (Texts{"0433-Eros"}));
    EXPECT_EQ(Attempts("M31", "M31", -1, &r), (Texts{"M31"}));
    EXPECT_EQ(r, -1);
    // No digit after no blank: one attempt only.
    EXPECT_EQ(Attempts("NGC 7000", ""), (Texts{"NGC 7000"}));
    EXPECT_EQ(Attempts("Orion", ""), (Texts{"Orion"}));
}

TEST(RecognizeRetry, CleanUp) {
    EXPECT_EQ(Attempts("  M   31 \r\n", "M 31"), (Texts{"M 31"}));
    EXPECT_EQ(Attempts("NGC 2392 - Eskimo", "NGC 2392 -Eskimo"), (Texts{"NGC 2392 -Eskimo"}));
    std::string seventy(70, 'x');
    Texts t = Attempts(seventy.c_str(), "");
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0], std::string(63, 'x'));
}

TEST(RecognizeRetry, TraceFile) {
    testutil::TempDir dir;
    std::string path = dir.file("debug.txt");
    ObjectRecord records[3];
    g_accept = "";
    std::string seventy(70, 'y');
    RecognizeDesignationWith(RecordingParser, path.c_str(), nullptr, nullptr, "M31 \r\n", records);
    RecognizeDesignationWith(RecordingParser, path.c_str(), nullptr, nullptr, seventy.c_str(), records);
    bool ok = false;
    std::string bytes = testutil::ReadFileBytes(path, &ok);
    ASSERT_TRUE(ok);
    std::string text;
    for (char c : bytes)
        if (c != '\r') text += c;   // text mode writes CRLF on Windows
    EXPECT_EQ(text, "#M31 \n#\n#M31#\n\n#" + seventy + "#\n#" + std::string(63, 'y') + "#\n\n");
    // A trace that reached the limit starts afresh.
    ASSERT_TRUE(testutil::WriteFileBytes(path, std::string(kRetryTraceLimit, 'z')));
    RecognizeDesignationWith(RecordingParser, path.c_str(), nullptr, nullptr, "M31", records);
    bytes = testutil::ReadFileBytes(path, &ok);
    ASSERT_TRUE(ok);
    EXPECT_LT(bytes.size(), 40u);
    // An unwritable trace does not stop recognition.
    g_accept = "M31";
    std::string bad = dir.file("missing/folder/debug.txt");
    EXPECT_EQ(RecognizeDesignationWith(RecordingParser, bad.c_str(), nullptr, nullptr, "M31",
                                       records),
              1);
}

TEST(RecognizeRetry, TextHelpers) {
    const struct {
        const char *in;
        int changed;
        const char *out;
    } blanks[] = {{"M31", 1, "M 31"},        {"NGC7000", 1, "NGC 7000"}, {"NGC 7000", 0, "NGC 7000"},
                  {"Orion", 0, "Orion"},     {"0433-Eros", 1, " 0433-Eros"}, {"", 0, ""}};
    for (const auto &c : blanks) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%s", c.in);
        EXPECT_EQ(InsertBlankBeforeDigit(buf), c.changed) << c.in;
        EXPECT_STREQ(buf, c.out);
    }
    const struct {
        const char *in;
        int applies;
        const char *out;
    } minor[] = {{"0433-Eros", 1, "MPN 433"}, {"0000-Eros", 1, "Eros"}, {"12345-X", 0, ""},
                 {"abcd-X", 0, ""},           {"-433-X", 1, "X"},       {"0433", 0, ""},
                 {"  12-Vesta", 1, "MPN 12"}};
    for (const auto &c : minor) {
        char out[64] = "";
        EXPECT_EQ(MakeMinorPlanetNumberText(c.in, out), c.applies) << c.in;
        EXPECT_STREQ(out, c.out) << c.in;
    }
    char dash[32] = "a - b -  c-d";
    RemoveBlankAfterDash(dash);
    EXPECT_STREQ(dash, "a -b - c-d");
    char phrase[32] = "  Comet Swift 1";
    InsertBlankBeforeDigitInPhrase(phrase);
    EXPECT_STREQ(phrase, "Comet Swift  1");
    char noBlank[32] = "M31";
    InsertBlankBeforeDigitInPhrase(noBlank);
    EXPECT_STREQ(noBlank, "M31");
}

}  // namespace

namespace {
// Real recognition over the generated star catalogue: the forms a log file
// writes reach the same star as the catalogue's own forms.
TEST(RecognizeRetryGenerated, StarForms) {
    std::string why;
    if (!stardata::Use(&why)) GTEST_SKIP() << why;
    testutil::TempDir dir;
    // User files the attempts open are made in the scratch folder.
    std::string savedUser = GetUserDataFolder() ? GetUserDataFolder() : "";
    SetUserDataFolder(dir.path().c_str());
    ObjectRecord vega[3];
    char ref[96] = "HR 7001";
    ASSERT_GE(IdentifyObjectText(ref, 0.0, nullptr, nullptr, 0.1, vega), 1);
    const char *texts[] = {"HR7001", "hr 7001", "HD172167", "Vega", "  vega \r\n", "Alpha Lyr",
                           "alpha Lyrae", "3 Lyr", "HIP91262"};
    for (const char *t : texts) {
        SCOPED_TRACE(t);
        ObjectRecord got[3];
        ASSERT_GE(RecognizeDesignationWith(IdentifyObjectText, nullptr, nullptr, nullptr, t, got), 1);
        EXPECT_EQ(+got[0].objectClass, 5);
        EXPECT_EQ(+got[0].index, +vega[0].index);
    }
    ObjectRecord none[3];
    EXPECT_EQ(RecognizeDesignationWith(IdentifyObjectText, nullptr, nullptr, nullptr,
                                       "HR 99999", none), 0);
    // A user folder where no user file can be made does not stop recognition.
    std::string missing = dir.path() + "/no/such/folder";
    SetUserDataFolder(missing.c_str());
    ObjectRecord again[3];
    EXPECT_GE(RecognizeDesignationWith(IdentifyObjectText, nullptr, nullptr, nullptr, "Vega",
                                       again), 1);
    EXPECT_EQ(+again[0].index, +vega[0].index);
    SetUserDataFolder(savedUser.c_str());
}
}  // namespace

namespace {
// "SI n" builds the catalogue's star n and leaves its name in the text.
TEST(RecognizeRetryGenerated, InternalStarNumberGivesTheName) {
    std::string why;
    if (!stardata::Use(&why)) GTEST_SKIP() << why;
    testutil::TempDir dir;
    std::string savedUser = GetUserDataFolder() ? GetUserDataFolder() : "";
    SetUserDataFolder(dir.path().c_str());
    ObjectRecord vega[3];
    char text[96] = "Vega";
    ASSERT_GE(IdentifyObjectText(text, 0.0, nullptr, nullptr, 0.1, vega), 1);
    std::snprintf(text, sizeof text, "SI %d", static_cast<int>(vega[0].index));
    ObjectRecord got[3];
    ASSERT_GE(IdentifyObjectText(text, 0.0, nullptr, nullptr, 0.1, got), 1);
    EXPECT_EQ(+got[0].index, +vega[0].index);
    EXPECT_STREQ(text, "Vega");
    SetUserDataFolder(savedUser.c_str());
}
}  // namespace

#ifndef _WIN32
namespace {
// Real recognition over the generator's small deep-sky catalogue: the forms a
// log file writes reach the object of the catalogue's own form, of the class
// the object has.
TEST(RecognizeRetryGenerated, DeepSkyForms) {
    std::string source = testutil::SourceDir();
    if (source.empty() || std::system("python3 -c 0 > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "no source folder or Python";
    testutil::TempDir dir;
    std::string cmd = "python3 " + source + "/tools/gen_deepsky.py --small --ref " + dir.path() +
                      "/ref --cat " + dir.path() + "/cat > /dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    SetRefDirectories((dir.path() + "/ref").c_str(), (dir.path() + "/cat").c_str(),
                      dir.path().c_str());
    std::string savedUser = GetUserDataFolder() ? GetUserDataFolder() : "";
    SetUserDataFolder(dir.path().c_str());
    const struct {
        const char *text, *reference;
        int cls;
    } cases[] = {{"M31", "M 31", 6},          {"m 31", "M 31", 6},
                 {"NGC224", "M 31", 6},       {"Andromeda Galaxy", "M 31", 6},
                 {"NGC1976", "M 42", 9},      {"ngc 1976", "M 42", 9},
                 {"N1976", "M 42", 9},        {"1976", "M 42", 9},
                 {"M42", "M 42", 9},          {"Collinder399", "Collinder 399", 10}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        ObjectRecord expected[3], got[3];
        char ref[96];
        std::snprintf(ref, sizeof ref, "%s", c.reference);
        ASSERT_GE(IdentifyObjectText(ref, 0.0, nullptr, nullptr, 0.1, expected), 1);
        ASSERT_GE(RecognizeDesignationWith(IdentifyObjectText, nullptr, nullptr, nullptr, c.text,
                                           got),
                  1);
        EXPECT_EQ(+got[0].objectClass, c.cls);
        EXPECT_EQ(+got[0].objectClass, +expected[0].objectClass);
        EXPECT_EQ(+got[0].index, +expected[0].index);
    }
    SetUserDataFolder(savedUser.c_str());
}
}  // namespace
#endif
