// The log search: date bounds, names ignoring case, constellations, empty
// tables, and each object once with its first passing entry.
#include "logstore/logsearch.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "logstore/logadd.h"
#include "logstore/logindexscan.h"
#include "logstore/logobject.h"
#include "logstore/tests/logfixture.h"

using namespace logtest;

namespace {

const double kJd = 2455033.5;  // 2009 July 21, 0h UT: at zone +1 the night of the 20th
const int kStarConstellation = 56;
const int kPlanetConstellation = 12;

int TestRefresh(ObjectRecord *r, double, const LocationRecord *, const DateRecord *, double) {
    r->constellation = r->objectClass == kClassSolarSystem ? kPlanetConstellation : kStarConstellation;
    return 1;
}
int TestName(const ObjectRecord *r, char *name, int size) {
    std::snprintf(name, static_cast<size_t>(size), "Obj %d", static_cast<int>(r->index));
    return 1;
}

typedef int (*BeginFn)(IndexScan *);
typedef int (*NextFn)(IndexScan *, char *);

// A selection over an index folder's scan: the names in wanted (any when
// wanted holds "*") are selected.
void SelectNames(BeginFn begin, NextFn next, const std::set<std::string> &wanted, LogSelection *out) {
    std::vector<std::string> names;
    IndexScan scan;
    if (begin(&scan)) {
        char name[kIndexScanNameSize];
        while (next(&scan, name) == 1) names.push_back(name);
    }
    EndIndexScan(&scan);
    int32_t selected = 0;
    for (const std::string &n : names) selected += wanted.count("*") || wanted.count(n) ? 1 : 0;
    ASSERT_EQ(InitLogSelection(out, static_cast<int32_t>(names.size()), selected), 1);
    for (size_t i = 0; i < names.size(); ++i)
        out->values[i] = wanted.count("*") || wanted.count(names[i]) ? 1 : kLogNotSelected;
}

void SelectValues(const std::vector<uint8_t> &values, LogSelection *out) {
    ASSERT_EQ(InitLogSelection(out, static_cast<int32_t>(values.size()), static_cast<int32_t>(values.size())), 1);
    for (size_t i = 0; i < values.size(); ++i) out->values[i] = values[i];
}

}  // namespace

TEST(SearchLog, FiltersTable) {
    Store store;
    SetLogObjectServices(TestRefresh, TestName);
    LocationRecord cabin = MakeSite("Cabin", 1.0);
    struct Add {
        int cls;
        int32_t index;
        uint32_t bits;
        double jd;
        const char *observer, *instrument;
        const LocationRecord *site;
        int32_t number;
    } adds[] = {
        {kClassStar, 40, 0x10, kJd, "Ann", "Dob", nullptr, 0},           // night 20
        {kClassStar, 41, 0x10, kJd + 1, "Bob", "Refractor", nullptr, 1},  // night 21
        {kClassGalaxy, 7, 0x100, kJd + 1, "ANN", "Dob", &cabin, 0},       // night 21
        {kClassSolarSystem, 3, 0x2, kJd + 2, "Bob", "Dob", nullptr, 0},   // night 22
        {kClassSolarSystem, 3, 0x2, kJd + 3, "Ann", "Dob", &cabin, 1},    // night 23
    };
    for (const Add &a : adds) {
        std::unique_ptr<LogEntry> e = MakeEntry(a.cls, a.index, a.bits, a.jd, a.observer, a.instrument, a.site);
        ASSERT_EQ(AddLogEntry(e.get(), nullptr), a.number);
    }
    std::vector<uint8_t> allConstellations;
    for (int c = 0; c <= 88; ++c) allConstellations.push_back(static_cast<uint8_t>(c));
    typedef std::set<std::pair<int32_t, int32_t>> Found;  // (catalogue index, log number)
    struct Case {
        const char *what;
        int first, last;  // yyyymmdd
        std::vector<uint8_t> classes;
        std::set<std::string> observers, sites;
        std::vector<uint8_t> constellations;
        Found want;
    } cases[] = {
        {"everything", 20090701, 20090731, {4, 5, 1}, {"*"}, {"*"}, allConstellations,
         {{40, 0}, {41, 1}, {7, 0}, {3, 0}}},
        {"bounds are inclusive", 20090721, 20090721, {4, 5, 1}, {"*"}, {"*"}, allConstellations,
         {{41, 1}, {7, 0}}},
        {"a class not selected", 20090701, 20090731, {kLogNotSelected, 5, 1}, {"*"}, {"*"}, allConstellations,
         {{7, 0}, {3, 0}}},
        {"names ignore case; the first passing entry", 20090701, 20090731, {4, 5, 1}, {"Ann"}, {"*"},
         allConstellations, {{40, 0}, {7, 0}, {3, 1}}},
        {"a site", 20090701, 20090731, {4, 5, 1}, {"*"}, {"Cabin"}, allConstellations, {{7, 0}, {3, 1}}},
        {"a constellation set", 20090701, 20090731, {4, 5, 1}, {"*"}, {"*"}, {kPlanetConstellation, 1},
         {{3, 0}}},
        {"first night after the last", 20090731, 20090701, {4, 5, 1}, {"*"}, {"*"}, allConstellations, {}},
        {"no observer selected", 20090701, 20090731, {4, 5, 1}, {}, {"*"}, allConstellations, {}},
        {"no site selected", 20090701, 20090731, {4, 5, 1}, {"*"}, {}, allConstellations, {}},
    };
    for (const Case &c : cases) {
        LogSelection classes, observers, sites, instruments, constellations;
        SelectValues(c.classes, &classes);
        SelectValues(c.constellations, &constellations);
        SelectNames(BeginObserverIndexScan, NextObserverIndexName, c.observers, &observers);
        SelectNames(BeginLocationIndexScan, NextLocationIndexName, c.sites, &sites);
        SelectNames(BeginInstrumentIndexScan, NextInstrumentIndexName, {"*"}, &instruments);
        LogFilter filter;
        ASSERT_EQ(BuildLogFilter(&filter, c.first / 10000, c.first / 100 % 100, c.first % 100, c.last / 10000,
                                 c.last / 100 % 100, c.last % 100, &classes, &observers, &sites, &instruments,
                                 &constellations),
                  1)
            << c.what;
        LogObjectRef *refs = nullptr;
        int32_t *numbers = nullptr, count = -1;
        int r = SearchLog(&filter, &refs, &numbers, &count);
        Found got;
        for (int32_t i = 0; i < count; ++i) {
            int32_t index = refs[i].catalogueIndex;  // out of the packed record
            got.insert({index, numbers[i]});
        }
        EXPECT_EQ(r, c.want.empty() ? 0 : 1) << c.what;
        EXPECT_EQ(got, c.want) << c.what;
        EXPECT_EQ(count, static_cast<int32_t>(c.want.size())) << c.what << ": an object more than once";
        for (int32_t i = 0; i < count; ++i)
            EXPECT_EQ(std::string(refs[i].designation), "Obj " + std::to_string(int32_t(refs[i].catalogueIndex)));
        delete[] refs;
        delete[] numbers;
        FreeLogFilter(&filter);
        for (LogSelection *s : {&classes, &observers, &sites, &instruments, &constellations}) FreeLogSelection(s);
    }
    // A selection made before the folder changed is refused.
    LogSelection stale, none, classes, constellations;
    SelectNames(BeginObserverIndexScan, NextObserverIndexName, {"*"}, &stale);
    stale.itemCount += 1;
    SelectValues({4}, &classes);
    SelectValues(allConstellations, &constellations);
    ASSERT_EQ(InitLogSelection(&none, 0, 0), 1);
    LogFilter filter;
    EXPECT_EQ(BuildLogFilter(&filter, 2009, 7, 1, 2009, 7, 31, &classes, &stale, &none, &none, &constellations), 0);
    EXPECT_EQ(filter.observers, nullptr);
    for (LogSelection *s : {&stale, &none, &classes, &constellations}) FreeLogSelection(s);
    SetLogObjectServices(nullptr, nullptr);
}
