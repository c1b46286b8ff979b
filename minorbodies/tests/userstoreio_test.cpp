// Tests of the file steps shared by the user minor-planet and comet stores:
// two programs adding sets to one store at once take turns under the
// store's writer lock, so that neither loses the other's sets.
#include "minorbodies/userstoreio.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "core/safefile.h"
#include "minorbodies/usercomet.h"
#include "minorbodies/usermp.h"
#include "minorbodies/tests/userstorefixture.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

namespace {

const double kEpoch2020 = (2459000.5 - 2451545.0) / 36525.0;
const int kSetsPerWriter = 40;

// One writer's k-th set: a numbered minor planet or a numbered periodic
// comet of its own (writer 0 numbers from 1000, writer 1 from 2000).
int AddMinorPlanet(int writer, int k) {
    MinorPlanetRecord r;
    if (!BuildMinorPlanetRecord(&r, 1000 * (writer + 1) + k, "", 0.0, kEpoch2020, 30.0, 0.0, 2.5, 0.0, 0.1,
                                40.0, 50.0, 5.0, 10.0, 0.15, "test"))
        return 0;
    int32_t count = 0;
    FILE *f = OpenUserMinorPlanetFile(&count);
    int added = f ? AddUserMinorPlanetElements(f, &r, &count) : 0;
    return (f && SafeClose(f) && added == 1) ? 1 : 0;
}

int AddComet(int writer, int k) {
    CometRecord r;
    if (!BuildCometRecord(&r, static_cast<uint16_t>(1000 * (writer + 1) + k), 'P', "", "", kEpoch2020,
                          kEpoch2020, 0, 0, 0, 0.587, 0.967, 111.3, 58.4, 162.2, 5.5, 4.0, 0.001, 5, "test"))
        return 0;
    FILE *f = OpenUserCometFile(nullptr);
    int added = f ? AddUserCometElements(&f, &r, 1, 1) : 0;
    if (f) SafeClose(f);
    return added == 1 ? 1 : 0;
}

// The numbers of the stored sets; the header's count (-1 when unreadable).
int32_t MinorPlanetNumbers(std::set<int32_t> *numbers) {
    int32_t count = 0;
    FILE *f = OpenUserMinorPlanetFile(&count);
    if (!f) return -1;
    MinorPlanetRecord r;
    for (int32_t i = 0; i < count && ReadUserMinorPlanetRecord(f, &r, i); ++i) numbers->insert(int32_t{r.number});
    SafeClose(f);
    return count;
}

int32_t CometNumbers(std::set<int32_t> *numbers) {
    int32_t count = 0;
    FILE *f = OpenUserCometFile(&count);
    if (!f) return -1;
    CometRecord r;
    for (int32_t i = 0; i < count && ReadUserCometRecord(f, &r, i); ++i) numbers->insert(int32_t{r.number});
    SafeClose(f);
    return count;
}

class UserStoreWriters : public mbtest::UserStore {};

TEST_F(UserStoreWriters, TwoProcessesAddingToOneStoreLoseNothing) {
    struct Case {
        const char *store;
        int (*add)(int writer, int k);
        int32_t (*numbers)(std::set<int32_t> *numbers);
    } cases[] = {{"minor planets", AddMinorPlanet, MinorPlanetNumbers}, {"comets", AddComet, CometNumbers}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.store);
        pid_t children[2];
        for (int w = 0; w < 2; ++w) {
            children[w] = fork();
            ASSERT_GE(children[w], 0);
            if (children[w] == 0) {
                int ok = 1;
                for (int k = 0; k < kSetsPerWriter && ok; ++k) ok = c.add(w, k);
                _exit(ok ? 0 : 1);
            }
        }
        for (pid_t child : children) {
            int status = -1;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
    }
    // Every set of both writers is there once.
    for (const Case &c : cases) {
        SCOPED_TRACE(c.store);
        std::set<int32_t> numbers;
        EXPECT_EQ(c.numbers(&numbers), 2 * kSetsPerWriter);
        EXPECT_EQ(numbers.size(), static_cast<size_t>(2 * kSetsPerWriter));
    }
}

}  // namespace
#endif
