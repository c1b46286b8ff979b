// Tests of the browse listings of the packaged comets and minor planets on
// the generated database: rows by every kind, one row per periodic comet,
// the pattern filters and the selection of a typed number, and that each
// row's object number builds the object it names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "minorbodies/cometdb.h"
#include "minorbodies/tests/mbfixture.h"
#include "objects/buildrecord.h"
#include "objects/objectrecord.h"
#include "picker/browse.h"

namespace {

struct Listing {
    std::vector<std::string> rows;
    std::vector<int32_t> numbers;
    int32_t total = 0, selected = -1;
    int last = 0;
};

Listing List(int cls, int kind, const char *pattern, size_t max = 100000) {
    BrowseState state;
    BrowseReset(&state);
    Listing l;
    int32_t page = 0, number = 0;
    char text[kBrowseRowTextSize];
    while (l.rows.size() < max &&
           (l.last = NextBrowseObject(&state, cls, kind, 0, pattern, &page, &l.total, &l.selected,
                                      &number, text)) > 0) {
        l.rows.push_back(text);
        l.numbers.push_back(number);
    }
    return l;
}

class MinorBodyBrowse : public mbtest::PackagedDatabase {};

TEST_F(MinorBodyBrowse, Comets) {
    Listing labels = List(kClassComet, 1, "*");
    ASSERT_GT(labels.rows.size(), 100u);
    EXPECT_EQ(labels.rows[0], "1P/Halley");
    EXPECT_EQ(labels.numbers[0], 1);
    EXPECT_EQ(static_cast<size_t>(labels.total), labels.rows.size());
    // A label pattern must begin with a number.
    EXPECT_TRUE(List(kClassComet, 1, "Halley").rows.empty());
    Listing two = List(kClassComet, 1, "2P");
    ASSERT_GE(two.rows.size(), 1u);
    EXPECT_EQ(two.rows[0], "2P/Encke");

    Listing numbers = List(kClassComet, 2, "29");
    ASSERT_GT(numbers.rows.size(), 20u);
    EXPECT_EQ(numbers.rows[1], "2P");
    ASSERT_GE(numbers.selected, 0);
    EXPECT_EQ(numbers.rows[numbers.selected], "29P");

    // The fragments of a split comet are comets of their own: rows of
    // their own that build their own comets; the typed number selects the
    // whole comet.
    Listing split = List(kClassComet, 2, "73");
    ASSERT_GE(split.selected, 0);
    EXPECT_EQ(split.rows[split.selected], "73P");
    Listing labels73 = List(kClassComet, 1, "73P");
    int fragments = 0;
    for (size_t i = 0; i < split.rows.size(); ++i) {
        if (split.rows[i].compare(0, 4, "73P-") != 0) continue;
        ++fragments;
        const std::string letters = split.rows[i].substr(4);
        EXPECT_EQ(split.numbers[i], FindCometByNumberAndFragment(73, letters.c_str()) + 1) << split.rows[i];
    }
    EXPECT_GT(fragments, 10);
    EXPECT_EQ(static_cast<int>(labels73.rows.size()), fragments + 1);
    for (const std::string &row : labels73.rows) EXPECT_EQ(row.compare(0, 26, "73P/Schwassmann-Wachmann 3"), 0) << row;

    Listing designations = List(kClassComet, 3, "2020 F");
    bool neowise = false;
    for (size_t i = 0; i < designations.rows.size(); ++i) {
        EXPECT_EQ(designations.rows[i].compare(0, 6, "2020 F"), 0);
        if (designations.rows[i] == "2020 F3") {
            neowise = true;
            EXPECT_EQ(designations.numbers[i], FindCometByDesignation("2020 F3") + 1);
        }
    }
    EXPECT_TRUE(neowise);

    Listing names = List(kClassComet, 4, "encke");
    ASSERT_EQ(names.rows.size(), 1u);
    EXPECT_EQ(names.rows[0], "Encke");
    // The row's number builds that comet.
    DateRecord date = ephemtest::DateAtTT(2459800.5, 69.0);
    ObjectRecord r[3];
    ASSERT_EQ(BuildObjectRecord(kClassComet, 4, ' ', names.numbers[0], "", -0.0145, nullptr, &date,
                                0.0, r), 1);
    EXPECT_EQ(+r[0].index, FindCometByNumber(2));
}

TEST_F(MinorBodyBrowse, MinorPlanets) {
    Listing names = List(kClassMinorPlanet, 1, "(4) Vesta");
    ASSERT_EQ(names.rows.size(), 1u);
    EXPECT_EQ(names.rows[0], "Vesta (4)");
    EXPECT_EQ(names.numbers[0], 4);
    Listing v = List(kClassMinorPlanet, 1, "v");
    ASSERT_GT(v.rows.size(), 3u);
    for (const std::string &row : v.rows) EXPECT_TRUE(row[0] == 'V' || row[0] == 'v') << row;
    Listing all = List(kClassMinorPlanet, 1, "*");
    EXPECT_GT(all.rows.size(), v.rows.size());

    Listing numbers = List(kClassMinorPlanet, 2, "MPN 433");
    ASSERT_GT(numbers.rows.size(), 433u);
    EXPECT_EQ(numbers.rows[0], "0001 (Ceres)");
    ASSERT_GE(numbers.selected, 0);
    EXPECT_EQ(numbers.rows[numbers.selected], "0433 (Eros)");
    EXPECT_EQ(numbers.numbers[numbers.selected], 433);
    EXPECT_EQ(List(kClassMinorPlanet, 2, "Eros").last, -1);
    // User minor planets have no store yet.
    EXPECT_EQ(List(kClassUserMinorPlanet, 1, "*").last, -1);
}

}  // namespace
