// Colour scheme stores, the registry and scheme packages: byte places,
// names, comparisons, the package round trip, damaged packages, and every
// store operation with each of its file steps failing in turn.
#include "charts/colourschemes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/safefile.h"
#include "core/userfolder.h"
#include "testutil/failurepoints.h"
#include "testutil/testutil.h"

namespace {

std::unique_ptr<ColourScheme> Scheme(const char *name, uint8_t fill, const char *text = "text") {
    std::unique_ptr<ColourScheme> s(new ColourScheme);
    std::memset(s.get(), 0, sizeof *s);
    std::snprintf(s->name, sizeof s->name, "%s", name);
    std::memset(s->data, fill, sizeof s->data);
    std::memset(s->data + kSchemeTextOffset, 0, kSchemeTextSize);
    std::memcpy(s->data + kSchemeTextOffset, text, std::strlen(text));
    s->flag = fill;
    return s;
}

class ColourSchemes : public ::testing::Test {
protected:
    void SetUp() override { SetUserDataFolder(user.path().c_str()); }
    void TearDown() override {
        SetFileStepFailure(0);
        SetUserDataFolder("");
    }
    std::string Bytes(const char *name) { return testutil::ReadFileBytes(user.file(name)); }
    // Appends schemes to a store of the flag, through the store's own calls.
    void Fill(int flag, std::initializer_list<const char *> names) {
        FILE *f = OpenSchemeStore(flag);
        ASSERT_TRUE(f);
        uint8_t fill = 1;
        for (const char *n : names) {
            auto s = Scheme(n, fill++);
            ASSERT_EQ(AppendScheme(f, s->data, n), 1);
        }
        std::fclose(f);
    }
    std::string StoreName(FILE *f, int i) {
        char name[46];
        return ReadSchemeName(f, i, name) ? std::string(name) : std::string("?");
    }
    testutil::TempDir user;
};

TEST_F(ColourSchemes, MissingStoresAreCreatedEmptyAndRecordsSitAt2Plus2151i) {
    FILE *f = OpenSchemeStore(1);
    ASSERT_TRUE(f);
    std::fclose(f);
    EXPECT_EQ(Bytes("msp.bin"), std::string(2, '\0'));
    EXPECT_FALSE(testutil::PathIsThere(user.file("ms.bin")));
    Fill(0, {"Red night", "Day"});
    std::string b = Bytes("ms.bin");
    ASSERT_EQ(b.size(), 2u + 2 * 2151u);
    EXPECT_EQ(b.substr(0, 2), std::string("\x02\x00", 2));
    EXPECT_EQ(b.substr(2 + 2151, 3), "Day");
    EXPECT_EQ((uint8_t)b[2 + 2151 + 46], 2);         // first data byte
    EXPECT_EQ((uint8_t)b[2 + 2151 + 2150], 2);       // flag byte
    EXPECT_EQ(b[2 + 2151 + 45], '\0');
}

TEST_F(ColourSchemes, NamesOf45CharactersFillTheFieldLongerOnesAreCut) {
    std::string n45(45, 'a'), n50(50, 'b');
    Fill(0, {n45.c_str(), n50.c_str()});
    FILE *f = OpenSchemeStore(0);
    ASSERT_TRUE(f);
    EXPECT_EQ(StoreName(f, 0), n45);
    EXPECT_EQ(StoreName(f, 1), std::string(45, 'b'));
    std::fclose(f);
}

TEST_F(ColourSchemes, FindComparesNamesWithoutCaseAndDataUpToTheText) {
    Fill(0, {"Night", "Day"});
    FILE *f = OpenSchemeStore(0);
    ASSERT_TRUE(f);
    auto probe = Scheme("DAY", 2);
    int index = -1;
    EXPECT_EQ(FindScheme(f, probe.get(), &index), 1);
    EXPECT_EQ(index, 1);
    // bytes after the scheme text's terminator do not count
    probe->data[kSchemeTextOffset + 10] = 'x';
    EXPECT_EQ(FindScheme(f, probe.get(), &index), 1);
    // nor do bytes beyond the first 2,041
    probe->data[2041] = 99;
    EXPECT_EQ(FindScheme(f, probe.get(), &index), 1);
    probe->data[2040] = 99;
    EXPECT_EQ(FindScheme(f, probe.get(), &index), 2);
    auto other = Scheme("Dusk", 2);
    EXPECT_EQ(FindScheme(f, other.get(), &index), 0);
    EXPECT_EQ(FindScheme(nullptr, other.get(), &index), -1);
    // Replace goes by the exact name: "night" is another scheme than "Night".
    auto lower = Scheme("night", 9);
    ASSERT_EQ(ReplaceOrAppendScheme(f, lower->data, "night"), 1);
    EXPECT_EQ(CountSchemes(f), 3);
    auto upper = Scheme("Night", 7);
    ASSERT_EQ(ReplaceOrAppendScheme(f, upper->data, "Night"), 1);
    EXPECT_EQ(CountSchemes(f), 3);
    ColourScheme got;
    ASSERT_EQ(ReadScheme(f, &got, 0), 1);
    EXPECT_STREQ(got.name, "Night");
    EXPECT_EQ(got.data[0], 7);
    EXPECT_EQ(got.flag, 7);
    std::fclose(f);
}

TEST_F(ColourSchemes, DeleteShiftsLaterRecordsAndLowersTheCount) {
    struct Case {
        int index;
        const char *left[3];
    } cases[] = {{0, {"B", "C", "D"}}, {2, {"A", "B", "D"}}, {3, {"A", "B", "C"}}};
    for (const Case &c : cases) {
        SetUserDataFolder(user.path().c_str());
        std::remove(user.file("ms.bin").c_str());
        Fill(0, {"A", "B", "C", "D"});
        FILE *f = OpenSchemeStore(0);
        ASSERT_TRUE(f);
        ASSERT_EQ(DeleteScheme(f, c.index), 1);
        EXPECT_EQ(CountSchemes(f), 3);
        for (int i = 0; i < 3; i++) EXPECT_EQ(StoreName(f, i), c.left[i]) << c.index;
        EXPECT_EQ(DeleteScheme(f, 3), 0);
        EXPECT_EQ(DeleteScheme(f, -1), 0);
        std::fclose(f);
    }
}

TEST_F(ColourSchemes, PackageRoundTripFillsBothStoresAndRegistersThePackage) {
    Fill(1, {"Pro red"});
    const std::string path = user.file("schemes.pkg");
    FILE *p = CreateSchemePackage(path.c_str(), "My schemes", "Colours for the observatory");
    ASSERT_TRUE(p);
    auto a = Scheme("Blue", 3), b = Scheme("Pro red", 4), c = Scheme("Green", 5);
    EXPECT_EQ(WriteSchemeEntry(p, a.get(), 0), 1);
    EXPECT_EQ(WriteSchemeEntry(p, b.get(), 1), 1);
    EXPECT_EQ(WriteSchemeEntry(p, c.get(), 1), 1);
    ASSERT_EQ(CloseSchemePackage(p, 0, 1), 1);

    std::string pkg = testutil::ReadFileBytes(path);
    ASSERT_EQ(pkg.size(), 103u + 28 + 3 * (2 + 2151) + 1);
    EXPECT_EQ(pkg.substr(0, 2), std::string("\x03\xD9", 2));  // 55555
    EXPECT_EQ((uint8_t)pkg[5], 9);
    EXPECT_EQ(pkg.substr(6, 10), "My schemes");
    EXPECT_EQ((uint8_t)pkg[103 + 28], 1);
    EXPECT_EQ((uint8_t)pkg[103 + 28 + 1], 0);
    EXPECT_EQ((uint8_t)pkg.back(), 0);

    // Creating the package registered its name: the registry has one entry.
    std::string reg = Bytes("schemeregistry.bin");
    ASSERT_EQ(reg.size(), 4u + 55);
    EXPECT_EQ(reg.substr(4, 10), "My schemes");
    std::string stamp = pkg.substr(91, 8);
    EXPECT_EQ(reg.substr(4 + 46, 8), stamp);
    EXPECT_EQ((uint8_t)reg[4 + 54], 1);

    PackageHeader h;
    char *text = nullptr;
    ASSERT_EQ(ImportSchemePackage(path.c_str(), &h, &text), 3);
    ASSERT_TRUE(text);
    EXPECT_STREQ(text, "Colours for the observatory");
    delete[] text;
    FILE *s0 = OpenSchemeStore(0), *s1 = OpenSchemeStore(1);
    ASSERT_TRUE(s0 && s1);
    EXPECT_EQ(CountSchemes(s0), 1);
    EXPECT_EQ(StoreName(s0, 0), "Blue");
    EXPECT_EQ(CountSchemes(s1), 2);  // "Pro red" replaced in place, "Green" appended
    EXPECT_EQ(StoreName(s1, 0), "Pro red");
    ColourScheme got;
    ASSERT_EQ(ReadScheme(s1, &got, 0), 1);
    EXPECT_EQ(got.data[0], 4);
    EXPECT_EQ(StoreName(s1, 1), "Green");
    std::fclose(s0);
    std::fclose(s1);
    // The same package name again overwrites its entry.
    EXPECT_EQ(Bytes("schemeregistry.bin").size(), 4u + 55);

    // A scheme registration is found when its store holds the scheme.
    FileTimeValue t{0x01020304, 0x05060708};
    ASSERT_EQ(RegisterScheme("Green", t, 1), 1);
    FileTimeValue back{0, 0};
    EXPECT_EQ(FindSchemeRegistration("Green", &back), 1);
    EXPECT_EQ(back.low, t.low);
    EXPECT_EQ(back.high, t.high);
    EXPECT_EQ(FindSchemeRegistration("green", &back), -1);  // exact names
    ASSERT_EQ(RegisterScheme("Blue", t, 1), 1);              // but "Blue" is in ms.bin
    EXPECT_EQ(FindSchemeRegistration("Blue", &back), -1);
}

TEST_F(ColourSchemes, DamagedOrForeignPackagesChangeNothing) {
    const std::string path = user.file("p.pkg");
    FILE *p = CreateSchemePackage(path.c_str(), "Pack", "");
    ASSERT_TRUE(p);
    auto a = Scheme("Blue", 3);
    ASSERT_EQ(WriteSchemeEntry(p, a.get(), 0), 1);
    ASSERT_EQ(WriteSchemeEntry(p, a.get(), 1), 1);
    ASSERT_EQ(CloseSchemePackage(p, 0, 0), 1);
    const std::string good = testutil::ReadFileBytes(path);
    const size_t entries = 103 + 1;
    std::string foreign = good, oldStamp = good, badMarker = good;
    foreign[5] = 2;
    oldStamp[2] = 2;
    badMarker[entries + 2 + 2151] = 7;
    struct Case {
        const char *what;
        std::string bytes;
    } cases[] = {
        {"no entries", good.substr(0, entries) + std::string(1, '\0')},
        {"cut in the second entry", good.substr(0, good.size() - 100)},
        {"no end byte", good.substr(0, good.size() - 1)},
        {"wrong kind", foreign},
        {"major version 2", oldStamp},
        {"unknown marker", badMarker},
    };
    std::remove(user.file("schemeregistry.bin").c_str());
    for (const Case &c : cases) {
        ASSERT_TRUE(testutil::WriteFileBytes(path, c.bytes));
        PackageHeader h;
        char *text = reinterpret_cast<char *>(1);
        EXPECT_EQ(ImportSchemePackage(path.c_str(), &h, &text), -1) << c.what;
        EXPECT_EQ(text, nullptr) << c.what;
        EXPECT_FALSE(testutil::PathIsThere(user.file("schemeregistry.bin"))) << c.what;
        EXPECT_EQ(Bytes("ms.bin"), "") << c.what;
    }
}

// Each file step of each store operation failing in turn: the operation
// reports it, and the store reads back whole (old state, or the new one
// when only the count's write remained), never a count over a missing record.
TEST_F(ColourSchemes, EveryFailedFileStepIsReportedAndLosesNothing) {
    auto prepare = [&] {
        std::remove(user.file("ms.bin").c_str());
        std::remove(user.file("schemeregistry.bin").c_str());
        Fill(0, {"A", "B", "C"});
        FileTimeValue t{1, 2};
        ASSERT_EQ(RegisterScheme("A", t, 0), 1);
    };
    auto names = [&] {
        std::string out;
        FILE *f = OpenSchemeStore(0);
        if (!f) return std::string("unreadable");
        int n = CountSchemes(f);
        for (int i = 0; i < n; i++) out += StoreName(f, i) + ",";
        std::fclose(f);
        return out;
    };
    struct Op {
        const char *what;
        std::function<int()> run;
        std::string before, after;
    } ops[] = {
        {"append", [&] {
             FILE *f = SafeOpen(user.file("ms.bin").c_str(), "r+b");
             if (!f) return 0;
             auto s = Scheme("D", 4);
             int r = AppendScheme(f, s->data, "D");
             std::fclose(f);
             return r;
         }, "A,B,C,", "A,B,C,D,"},
        {"delete", [&] {
             FILE *f = SafeOpen(user.file("ms.bin").c_str(), "r+b");
             if (!f) return 0;
             int r = DeleteScheme(f, 0);
             std::fclose(f);
             return r;
         }, "A,B,C,", "B,C,"},
        {"replace", [&] {
             FILE *f = SafeOpen(user.file("ms.bin").c_str(), "r+b");
             if (!f) return 0;
             auto s = Scheme("B", 9);
             int r = ReplaceOrAppendScheme(f, s->data, "B");
             std::fclose(f);
             return r;
         }, "A,B,C,", "A,B,C,"},
        {"register", [&] { FileTimeValue t{5, 6}; return RegisterScheme("New", t, 1); }, "A,B,C,",
         "A,B,C,"},
    };
    for (const Op &op : ops) {
        SCOPED_TRACE(op.what);
        int steps = testutil::ForEachFailurePoint(prepare, op.run, [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_NE(run.result, 1);
            std::string now = names();
            if (std::string(op.what) == "delete") {
                // a failed shift may leave one record twice, but loses none
                EXPECT_TRUE(now == "A,B,C," || now == "B,B,C," || now == "B,C,C," || now == op.after)
                    << now;
            } else {
                // a failed flush of the last write may still have let it through
                EXPECT_TRUE(now == op.before || (run.stepKind == kFileStepFlush && now == op.after))
                    << now;
            }
            // the registry keeps a whole count of whole entries
            std::string reg = Bytes("schemeregistry.bin");
            ASSERT_GE(reg.size(), 4u);
            uint32_t n;
            std::memcpy(&n, reg.data(), 4);
            EXPECT_GE(reg.size(), 4u + n * 55u);
            EXPECT_GE(n, 1u);
        });
        EXPECT_GE(steps, 2);
        EXPECT_EQ(names(), op.after);
    }
}

// An import whose file steps fail one by one: a failed read of the package
// changes no store; a failed store write is reported, and every store still
// holds a whole count of whole records.
TEST_F(ColourSchemes, ImportFailingAtEveryStepLeavesWholeStores) {
    const std::string path = user.file("p.pkg");
    FILE *p = CreateSchemePackage(path.c_str(), "Pack", "text");
    ASSERT_TRUE(p);
    auto a = Scheme("Blue", 3), b = Scheme("Pro", 4);
    ASSERT_EQ(WriteSchemeEntry(p, a.get(), 0), 1);
    ASSERT_EQ(WriteSchemeEntry(p, b.get(), 1), 1);
    ASSERT_EQ(CloseSchemePackage(p, 0, 1), 1);
    auto whole = [&](const char *name) {
        std::string s = Bytes(name);
        if (s.empty()) return true;
        if (s.size() < 2) return false;
        size_t n = (uint8_t)s[0] | ((uint8_t)s[1] << 8);
        return s.size() >= 2 + n * 2151;
    };
    int steps = testutil::ForEachFailurePoint(
        [&] {
            std::remove(user.file("ms.bin").c_str());
            std::remove(user.file("msp.bin").c_str());
            std::remove(user.file("schemeregistry.bin").c_str());
        },
        [&] {
            PackageHeader h;
            char *text = nullptr;
            int r = ImportSchemePackage(path.c_str(), &h, &text);
            delete[] text;
            return r == 2 ? 1 : 0;
        },
        [&](const testutil::FailurePointRun &run) {
            SCOPED_TRACE(testutil::DescribeFailurePoint(run));
            EXPECT_TRUE(whole("ms.bin") && whole("msp.bin"));
            if (run.stepKind == kFileStepRead && Bytes("ms.bin").empty()) {
                // the package was not read whole: nothing was taken
                EXPECT_EQ(Bytes("msp.bin"), "");
            }
        });
    EXPECT_GE(steps, 6);
}

}  // namespace
