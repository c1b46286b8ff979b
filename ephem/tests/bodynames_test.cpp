// The body-name table by body type, and no text outside it (a caller that
// indexes with a satellite or an unknown type must not read past the table).
#include "ephem/bodynames.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(BodyNames, EveryBodyTypeAndNothingOutside) {
    const char *const want[] = {"Sun",     "Mercury", "Venus", "Earth", "Mars", "Jupiter",
                                "Saturn",  "Uranus",  "Neptune", "Pluto", "Moon",
                                "Earth Shadow"};
    for (int type = 0; type < 12; ++type) {
        ASSERT_NE(GetBodyName(type), nullptr) << type;
        EXPECT_EQ(std::string(GetBodyName(type)), want[type]) << type;
        EXPECT_LE(std::string(GetBodyName(type)).size(), 12u);  // rows of 13 characters
    }
    for (int type : {-1, 12, 13, 99, -2147483647 - 1, 2147483647})
        EXPECT_EQ(GetBodyName(type), nullptr) << type;
}

}  // namespace
