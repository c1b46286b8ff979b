// Tests of the visibility criteria record: its byte layout, the initialiser
// and the field-only filters.
#include "visibility/criteria.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

TEST(VisibilityCriteria, GoldenLayout) {
    // Written field by field, then compared byte by byte with the offsets of
    // the event file header's criteria block.
    std::unique_ptr<VisibilityCriteria> c(new VisibilityCriteria);
    InitVisibilityCriteria(c.get());
    c->altitudeCondition = 0x11;
    c->darknessCondition = 0x22;
    c->wantedRating = 0x33;
    c->wantedGrade = 0x44;
    c->thresholdRow = 0x55;
    c->ratingMode = 0x01020304;
    c->startHour = 1.5f;   // 0x3FC00000
    c->endHour = -2.0f;    // 0xC0000000
    c->constellation = 0x66;
    c->categoryMask = 0x0A0B0C0D;
    c->windowFlags = 0x0E0F;
    c->optics.type = 0x77;
    c->observer.name[0] = 'Q';
    c->observer.experience = 0.5;  // 0x3FE0000000000000
    c->cameraIndex = 0x10111213;
    c->filterIndex = 0x14151617;
    c->binning = 0x18191A1B;
    const uint8_t *b = reinterpret_cast<const uint8_t *>(c.get());
    const std::vector<std::pair<size_t, std::vector<uint8_t>>> expected = {
        {0, {0x11, 0x22, 0x33, 0x44, 0x55, 0x04, 0x03, 0x02, 0x01}},
        {9, {0x00, 0x00, 0xC0, 0x3F, 0x00, 0x00, 0x00, 0xC0}},
        {17, {0x66, 0x0D, 0x0C, 0x0B, 0x0A, 0x0F, 0x0E}},
        {24, {0x77}},
        {165004, {'Q'}},
        {165004 + 76, {0, 0, 0, 0, 0, 0, 0xE0, 0x3F}},
        {165088, {0x13, 0x12, 0x11, 0x10, 0x17, 0x16, 0x15, 0x14, 0x1B, 0x1A, 0x19, 0x18}},
    };
    for (const auto &e : expected)
        for (size_t i = 0; i < e.second.size(); ++i)
            EXPECT_EQ(b[e.first + i], e.second[i]) << "byte " << e.first + i;
    EXPECT_EQ(sizeof(VisibilityCriteria), 165100u);
}

TEST(VisibilityCriteria, InitialiserLeavesNoStaleBytes) {
    std::unique_ptr<VisibilityCriteria> c(new VisibilityCriteria);
    std::memset(c.get(), 0xA5, sizeof *c);
    InitVisibilityCriteria(c.get());
    const uint8_t *b = reinterpret_cast<const uint8_t *>(c.get());
    for (size_t i = 0; i < sizeof *c; ++i) {
        if (i == 17) continue;
        ASSERT_EQ(b[i], 0) << "byte " << i;
    }
    EXPECT_EQ(c->constellation, kAnyConstellation);
    EXPECT_EQ(CriteriaHaveNoCondition(c.get()), 1);
}

TEST(VisibilityCriteria, NoConditionRuleAndFilters) {
    std::unique_ptr<VisibilityCriteria> c(new VisibilityCriteria);
    InitVisibilityCriteria(c.get());
    // Only the altitude condition, the wanted rating and the window word count.
    c->darknessCondition = 2;
    c->wantedGrade = 3;
    c->startHour = 20.0f;
    EXPECT_EQ(CriteriaHaveNoCondition(c.get()), 1);
    for (int field = 0; field < 3; ++field) {
        InitVisibilityCriteria(c.get());
        if (field == 0) c->altitudeCondition = 1;
        if (field == 1) c->wantedRating = 1;
        if (field == 2) c->windowFlags = kWindowEndApplies;
        EXPECT_EQ(CriteriaHaveNoCondition(c.get()), 0) << field;
    }
    // Mask 0 and constellation 255 pass everything.
    InitVisibilityCriteria(c.get());
    for (uint32_t category : {0x0u, 0x10u, 0x40u, 0x10000u})
        for (int constellation : {0, 17, 88}) EXPECT_EQ(MatchCriteriaFilters(c.get(), constellation, category), 1);
    // A mask passes a category sharing a bit; stars 0x10, 0x20, 0x40, 0x80.
    c->categoryMask = 0x10;
    EXPECT_EQ(MatchCriteriaFilters(c.get(), 5, 0x10), 1);
    EXPECT_EQ(MatchCriteriaFilters(c.get(), 5, 0x40), 0);
    c->categoryMask = 0xF0;
    for (uint32_t star : {0x10u, 0x20u, 0x40u, 0x80u}) EXPECT_EQ(MatchCriteriaFilters(c.get(), 5, star), 1);
    c->categoryMask = 0;
    c->constellation = 17;
    EXPECT_EQ(MatchCriteriaFilters(c.get(), 17, 0x10), 1);
    EXPECT_EQ(MatchCriteriaFilters(c.get(), 18, 0x10), 0);
}

}  // namespace
