// Merging another computer's preference files: equal records ask nothing,
// different ones are asked about and replaced by each answer of the
// question, absent ones are appended, and a replaced site's event files are
// handed to the caller.
#include "userdata/prefmerge.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/mathutil.h"
#include "core/safefile.h"
#include "core/userfolder.h"
#include "instruments/filterpool.h"
#include "sites/observerstore.h"
#include "sites/sitestore.h"
#include "testutil/testutil.h"

namespace {

void AddObserver(const char *name, double experience) {
    int16_t n = 0;
    FileHandle f(OpenObserverStore(&n));
    ASSERT_TRUE(f);
    ObserverRecord r;
    InitObserverRecord(&r, name, 40, 6.0, experience);
    ASSERT_EQ(AppendObserver(f.get(), &r), 1);
}

void AddFilter(const char *name, double wavelength) {
    FilterRecord r;
    std::memset(&r, 0, sizeof r);
    std::snprintf(r.name, sizeof r.name, "%s", name);
    r.wavelength = wavelength;
    r.peakTransmission = 0.9;
    r.surfaceTransmission = 0.96;
    r.bandwidth = 0.1;
    r.mirrorReflectance = 0.9;
    ASSERT_GT(AddFilterRecord(&r), 0);
}

void AddSite(const char *name, double latitudeDeg) {
    int16_t n = 0;
    FileHandle f(OpenLocationStore(&n));
    ASSERT_TRUE(f);
    LocationRecord r;
    InitLocationRecord(&r, 0.1, latitudeDeg * kPi / 180.0, 100.0, 6.0, 0.0, 10.0, 50.0, 2, 0.0, 0.0, name);
    LocationTrailer t{};
    ASSERT_EQ(AppendLocation(f.get(), &r, &t), 1);
}

// Observer name -> experience, filter name -> wavelength, as stored here.
std::vector<std::pair<std::string, double>> Observers() {
    std::vector<std::pair<std::string, double>> out;
    int16_t n = 0;
    FileHandle f(OpenObserverStore(&n));
    for (int i = 0; f && i < n; ++i) {
        ObserverRecord r;
        if (ReadObserver(f.get(), i, &r)) out.push_back({std::string(r.name), double(r.experience)});
    }
    return out;
}
std::vector<std::pair<std::string, double>> Filters() {
    std::vector<std::pair<std::string, double>> out;
    int32_t n = 0;
    FileHandle f(OpenFilterFile(&n));
    for (int i = 0; f && i < n; ++i) {
        FilterRecord r;
        if (ReadFilterRecord(f.get(), i, &r)) out.push_back({std::string(r.name), double(r.wavelength)});
    }
    return out;
}

std::vector<std::string> asked;
int answer = kMergeKeep;
int Ask(const char *message) {
    asked.push_back(message);
    return answer;
}
std::vector<std::string> replacedSites;
void SiteReplaced(const LocationRecord *site) { replacedSites.push_back(site->name); }

}  // namespace

TEST(PrefMerge, EachAnswerOfTheQuestion) {
    testutil::TempDir other;
    SetUserDataFolder(other.path().c_str());
    AddObserver("Ann", 0.5);
    AddObserver("Bob", 0.9);
    AddObserver("Cy", 0.2);
    AddFilter("Red", 0.65);
    AddSite("Home", 50.0);
    using Rows = std::vector<std::pair<std::string, double>>;
    struct Case {
        const char *what;
        MergeQuestionCallback question;
        int answer;
        size_t questions;
        double bob, red;
    } cases[] = {
        {"keep", Ask, kMergeKeep, 3, 0.1, 0.7},
        {"replace", Ask, kMergeReplace, 3, 0.9, 0.65},
        {"replace all", Ask, kMergeReplaceAll, 1, 0.9, 0.65},
        {"keep all", Ask, kMergeKeepAll, 1, 0.1, 0.7},
        {"no question", nullptr, kMergeReplace, 0, 0.1, 0.7},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        testutil::TempDir local;
        SetUserDataFolder(local.path().c_str());
        AddObserver("Ann", 0.5);
        AddObserver("Bob", 0.1);
        AddFilter("Red", 0.7);
        AddSite("Home", 51.0);
        asked.clear();
        replacedSites.clear();
        answer = c.answer;
        int replaceAll = 0, keepAll = 0;
        PreferenceMergeHooks hooks{nullptr, nullptr, SiteReplaced};
        ASSERT_EQ(MergePreferencesFromOtherComputer(other.path().c_str(), 3106, &replaceAll, &keepAll, c.question,
                                                    &hooks),
                  1);
        EXPECT_EQ(asked.size(), c.questions);
        if (!asked.empty()) {
            EXPECT_EQ(asked[0], "Replace the data for the Red filter with that on the other computer?");
        }
        EXPECT_EQ(Observers(), (Rows{{"Ann", 0.5}, {"Bob", c.bob}, {"Cy", 0.2}}));
        EXPECT_EQ(Filters(), (Rows{{"Red", c.red}}));
        bool replaced = c.bob == 0.9;
        EXPECT_EQ(replacedSites, replaced ? std::vector<std::string>{"Home"} : std::vector<std::string>{});
        EXPECT_EQ(replaceAll, c.question && c.answer == kMergeReplaceAll ? 1 : 0);
        EXPECT_EQ(keepAll, c.question && c.answer == kMergeKeepAll ? 1 : 0);
    }
    SetUserDataFolder("");
}
