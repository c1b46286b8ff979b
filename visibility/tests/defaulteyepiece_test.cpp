// Tests of the default eyepiece of an instrument.
#include "visibility/defaulteyepiece.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "astro/location.h"
#include "instruments/optics.h"

namespace {

std::unique_ptr<InstrumentRecord> Scope(const double *focal, int count) {
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    std::memset(r.get(), 0, sizeof *r);
    r->kind = kInstrumentTelescope;
    r->opticsCount = 1;
    InitTelescopeOptics(&r->optics[0], "Main", kOpticsReflector, 8.0, 0.0, 6.0, 1, 1, 0.0);
    for (int i = 0; i < count; ++i) SetEyepieceEntry(&r->optics[0], 0, i, "E", focal[i], 52.0);
    r->optics[0].eyepieceCount = (uint8_t)count;
    r->defaultEyepiece = 77;
    return r;
}

TEST(DefaultEyepiece, TheDeepestEyepiece) {
    const double focal[] = {32, 25, 9, 12};
    auto r = Scope(focal, 4);
    EXPECT_EQ(SelectDefaultEyepiece(r.get(), nullptr, nullptr, 0.0), 1);
    EXPECT_EQ(r->defaultEyepiece, 2);  // x135, the highest power here
    // With a site: its sky and seeing; a very poor seeing caps high powers.
    LocationRecord site;
    InitLocationRecord(&site, 0, 0.7, 0, 5.0, 0, 10, 50, 4, 0, 0, "S");
    EXPECT_EQ(SelectDefaultEyepiece(r.get(), &site, nullptr, 0.2), 1);
    EXPECT_LT(r->defaultEyepiece, 4);
}

TEST(DefaultEyepiece, EqualLimitsGiveTheFirst) {
    const double focal[] = {10, 10, 10};
    auto r = Scope(focal, 3);
    EXPECT_EQ(SelectDefaultEyepiece(r.get(), nullptr, nullptr, 0.1), 1);
    EXPECT_EQ(r->defaultEyepiece, 0);
}

TEST(DefaultEyepiece, WithoutMainOpticsOrEyepieces) {
    const double focal[] = {10};
    auto r = Scope(focal, 1);
    r->opticsCount = 0;
    EXPECT_EQ(SelectDefaultEyepiece(r.get(), nullptr, nullptr, 0.1), 0);
    EXPECT_EQ(r->defaultEyepiece, 77);
    EXPECT_EQ(SelectDefaultEyepiece(nullptr, nullptr, nullptr, 0.1), 0);
    auto none = Scope(focal, 0);
    EXPECT_EQ(SelectDefaultEyepiece(none.get(), nullptr, nullptr, 0.1), 1);
    EXPECT_EQ(none->defaultEyepiece, 77);  // nothing to choose: unchanged
}

}  // namespace
