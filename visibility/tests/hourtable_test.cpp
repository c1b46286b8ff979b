// Tests of the per-hour darkness table, the required darkness of an item and
// the hour arithmetic of a night.
#include "visibility/hourtable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "objects/objectrecord.h"

namespace {

// A table whose byte i is i, so a read names its slot.
struct NamedSlots {
    uint8_t bytes[25];
    NamedSlots() {
        for (int i = 0; i < 25; ++i) bytes[i] = (uint8_t)i;
    }
};

int SlotRead(double hour, int n = 25) {
    NamedSlots t;
    return (int)std::lround(GetHourTableDarkness(hour, t.bytes, n) * 255.0);
}

TEST(HourTable, SlotsOfClockHours) {
    EXPECT_EQ(SlotRead(12.0), 0);
    EXPECT_EQ(SlotRead(0.0), 12);
    EXPECT_EQ(SlotRead(11.0 + 59.0 / 60.0), 24);
    EXPECT_EQ(SlotRead(13.0), 1);
    EXPECT_EQ(SlotRead(11.0), 23);
    EXPECT_EQ(SlotRead(12.5), 1);   // half a slot rounds away from zero
    EXPECT_EQ(SlotRead(12.49), 0);
    EXPECT_DOUBLE_EQ(GetHourTableSlotHour(12, 25), 24.0);
    EXPECT_DOUBLE_EQ(GetHourTableSlotHour(3, 7), 24.0);
    NamedSlots t;
    EXPECT_DOUBLE_EQ(GetHourTableValue(30, t.bytes, 25), 24 / 255.0);
    EXPECT_DOUBLE_EQ(GetHourTableValue(-3, t.bytes, 25), 0.0);
}

TEST(HourTable, ShortTablesDoNotDivideByZero) {
    NamedSlots t;
    EXPECT_EQ(SlotRead(3.0, 1), 0);
    EXPECT_EQ(GetHourTableDarkness(3.0, t.bytes, 0), 0.0);
    EXPECT_EQ(GetHourTableDarkness(3.0, nullptr, 25), 0.0);
    EXPECT_EQ(GetHourTableSlotHour(4, 1), 12.0);
    EXPECT_EQ(GetHourSlot(24.0, 1), 0);
    int first = -5, last = -5;
    GetHourSlotRange(1, 20.0, 4.0, &first, &last);
    EXPECT_EQ(first, -5);
    EXPECT_EQ(last, -5);
}

TEST(HourTable, EventSlotHelpers) {
    EXPECT_EQ(GetHourSlot(24.0, 25), 12);
    EXPECT_EQ(GetHourSlot(0.0, 25), -12);  // callers put hours on the noon-to-noon scale
    EXPECT_EQ(GetHourSlot(12.5, 25), 1);
    EXPECT_DOUBLE_EQ(WrapHourToSigned(12.0), -12.0);
    EXPECT_DOUBLE_EQ(WrapHourToSigned(11.9), 11.9);
    int first = -1, last = -1;
    GetHourSlotRange(25, 0.0, 0.0, &first, &last);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 24);
    // The range uses slots of 24/n hours: 20:00 to 04:00 is slots 8..16 with
    // n = 25, where GetHourSlot (24/(n - 1)) puts 04:00 at slot 16 and 20:00 at 8 too.
    GetHourSlotRange(25, 20.0, 4.0, &first, &last);
    EXPECT_EQ(first, 8);
    EXPECT_EQ(last, 16);
    // Near the end of the night the two widths part: 11:12 is slot 24 of the
    // range but slot 23 of the table, and 12:36 slot 0 of the range but 1 of the table.
    GetHourSlotRange(25, 12.6, 11.2, &first, &last);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 24);
    EXPECT_EQ(GetHourSlot(35.2, 25), 23);
    EXPECT_EQ(GetHourSlot(12.6, 25), 1);
}

TEST(HourTable, DarkWindow) {
    double times[8] = {6.5, 12.2, 18.0, 4.8, 19.7, 2.0, 20.0, 13.0};
    double start = 0, end = 0;
    // Moonset 13:00 is long before the end of twilight; moonrise 2:00 is before dawn.
    EXPECT_EQ(ComputeDarkWindow(times, &start, &end), 1);
    EXPECT_DOUBLE_EQ(start, 19.7 - 24.0);
    EXPECT_DOUBLE_EQ(end, 2.0);
    times[kMoonSetSlot] = 22.5;  // the Moon sets after twilight
    times[kMoonRiseSlot] = 5.5;  // after dawn
    ComputeDarkWindow(times, &start, &end);
    EXPECT_DOUBLE_EQ(start, 22.5 - 24.0);
    EXPECT_DOUBLE_EQ(end, 4.8);
}

TEST(RequiredDarkness, StarsAndExtendedObjects) {
    std::unique_ptr<ObjectRecord> r(new ObjectRecord);
    std::memset(r.get(), 0, sizeof *r);
    r->objectClass = kClassStar;
    struct Case {
        double magnitude;
        float extent;
        double expected;
    } cases[] = {
        {5, 0, 0.572},   {-30, 0, 0.0},     {15, 0, 0.98},
        {10.95, 0, 0.98},  // (m + 30)/14 - 1.928 = 0.997: held to 0.98
        {10, 0.001f, 23.0 / 27.67},
        {37.67, 0.001f, 0.98}, {50, 0.001f, 0.98}, {99.9, 0.001f, 0.98},  // no division by zero or below
        {-50, 0.001f, 23.0 / 87.67},
    };
    for (const Case &c : cases) {
        r->magnitude = (float)c.magnitude;
        r->extent = c.extent;
        EXPECT_NEAR(ComputeRequiredDarkness(r.get()), c.expected, 5e-4) << c.magnitude;
    }
    // Planets (class 2) use the star formula whatever their size.
    r->objectClass = kClassSolarSystem;
    r->magnitude = 5.0f;
    r->extent = 0.001f;
    EXPECT_NEAR(ComputeRequiredDarkness(r.get()), 0.572, 5e-4);
    EXPECT_DOUBLE_EQ(ConvertDarknessToSkyBrightness(1.0), 21.5);
    EXPECT_DOUBLE_EQ(ConvertSkyBrightnessToDarkness(2.0), -1.5 / 18.0);
}

}  // namespace
