// The choice list and menu of the instruments (store order, naked eye first,
// cameras-only mode, the preselected line), the menu command, the default
// instrument and the one-line descriptions.
#include "instruments/instrumentchoice.h"

#include <gtest/gtest.h>

#include "instruments/tests/instrfixture.h"
#include "core/mathutil.h"

namespace {

using namespace instrtest;

class InstrumentChoice : public StoreFixture {
protected:
    // Store: telescope A (eyepieces), binoculars B, telescope C with a camera
    // and no eyepiece, telescope D (nothing).
    void Fill() {
        auto a = Telescope("Scope A", 200, 2000, 2);
        auto b = Binoculars("Binocs B", 7, 50);
        auto c = Telescope("Camera C", 80, 480, 0);
        c->optics[0].cameraCount = 1;
        auto d = Telescope("Bare D", 60, 700, 0);
        idA = Add(a.get());
        idB = Add(b.get());
        idC = Add(c.get());
        idD = Add(d.get());
    }
    std::vector<InstrumentChoiceLine> List(int workingId, int camerasOnly, int *select) {
        int32_t n = 0;
        StoreFilePtr f(OpenInstrumentFile(&n));
        std::vector<InstrumentChoiceLine> lines;
        EXPECT_EQ(BuildInstrumentChoiceList(f.get(), n, workingId, camerasOnly, &lines, select), 1);
        return lines;
    }
    int idA = 0, idB = 0, idC = 0, idD = 0;
};

TEST_F(InstrumentChoice, ListIsStoreOrderWithNakedEyeFirstAndPreselectsTheWorkingId) {
    Fill();
    int select = -2;
    auto lines = List(idC, 0, &select);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].name, "Naked Eye");
    EXPECT_EQ(lines[0].itemData, kNakedEyeItem);
    EXPECT_EQ(lines[1].name, "Scope A");
    EXPECT_EQ(lines[3].name, "Camera C");
    EXPECT_EQ(lines[3].itemData, idC);
    EXPECT_EQ(select, 3);
    List(0, 0, &select);
    EXPECT_EQ(select, 0);  // id 0: the naked eye
    List(999, 0, &select);
    EXPECT_EQ(select, -1);  // an id the store does not hold selects nothing
    lines = List(idC, 1, &select);
    ASSERT_EQ(lines.size(), 1u);  // cameras only, no naked eye
    EXPECT_EQ(lines[0].itemData, idC);
    EXPECT_EQ(select, 0);
}

TEST_F(InstrumentChoice, EmptyStoreListsOnlyTheNakedEyeAndNothingForCameras) {
    ASSERT_EQ(CreateInstrumentFile(), 1);
    int select = 0;
    EXPECT_EQ(List(5, 0, &select).size(), 1u);
    EXPECT_EQ(List(5, 1, &select).size(), 0u);
    EXPECT_EQ(select, -1);
}

TEST_F(InstrumentChoice, MenuModesAndTheCommandTheyAnswer) {
    Fill();
    int32_t n = 0;
    StoreFilePtr f(OpenInstrumentFile(&n));
    InstrumentMenu menu = {};
    std::vector<InstrumentChoiceLine> lines;
    struct Case { int mode; std::vector<int> ids; } cases[] = {
        {0, {kNakedEyeItem, idA, idB, idC, idD}},
        {1, {kNakedEyeItem, idA, idB}},
        {2, {idC}},
    };
    for (const Case &c : cases) {
        ASSERT_EQ(BuildInstrumentMenu(f.get(), n, c.mode, &menu, &lines), 1);
        ASSERT_EQ(menu.count, (int)c.ids.size()) << c.mode;
        for (size_t i = 0; i < c.ids.size(); ++i) EXPECT_EQ(+menu.ids[i], c.ids[i]) << c.mode;
    }
    f.reset();
    auto r = NewRecord();
    // Mode 2: command 2824 is the first instrument with a camera.
    EXPECT_EQ(TakeInstrumentMenuChoice(&menu, nullptr, 0, 2823, 0, r.get()), 0);
    EXPECT_EQ(TakeInstrumentMenuChoice(&menu, nullptr, 0, 2825, 0, r.get()), 0);
    EXPECT_EQ(+menu.count, 1);  // refused commands keep the table
    EXPECT_EQ(TakeInstrumentMenuChoice(&menu, nullptr, 0, 2824, 0, r.get()), 3);  // index 2 + 1
    EXPECT_STREQ(r->name, "Camera C");
    EXPECT_EQ(+menu.count, 0);
    EXPECT_EQ(TakeInstrumentMenuChoice(&menu, nullptr, 0, 2824, 0, r.get()), 0);
    // Mode 0: command 2824 is the naked eye with id 0; the high word is ignored.
    f.reset(OpenInstrumentFile(&n));
    BuildInstrumentMenu(f.get(), n, 0, &menu, &lines);
    f.reset();
    r->id = 77;
    EXPECT_NE(TakeInstrumentMenuChoice(&menu, nullptr, 0, 0x10000 | 2824, 0, r.get()), 0);
    EXPECT_EQ(+r->id, 0);
    EXPECT_EQ(+r->kind, kInstrumentNakedEye);
}

TEST_F(InstrumentChoice, MenuNeverHoldsMoreThanAHundredEntries) {
    ASSERT_EQ(CreateInstrumentFile(), 1);
    auto b = Binoculars("Pair", 8, 42);
    for (int i = 0; i < 105; ++i) {
        b->id = 0;
        Add(b.get());
    }
    int32_t n = 0;
    StoreFilePtr f(OpenInstrumentFile(&n));
    ASSERT_EQ(n, 105);
    InstrumentMenu menu;
    std::memset(&menu, 0x5A, sizeof menu);
    std::vector<InstrumentChoiceLine> lines;
    BuildInstrumentMenu(f.get(), n, 0, &menu, &lines);
    EXPECT_EQ(+menu.count, kInstrumentMenuSize);
    EXPECT_EQ(lines.size(), (size_t)kInstrumentMenuSize);
}

TEST_F(InstrumentChoice, ChoiceOfAVanishedIdFailsAndLeavesTheRecord) {
    Fill();
    auto r = Telescope("Mine", 100, 1000, 1);
    EXPECT_EQ(LoadInstrumentChoice(4242, r.get()), 0);
    EXPECT_STREQ(r->name, "Mine");
    EXPECT_EQ(LoadInstrumentChoice(idB, r.get()), 2);
    EXPECT_STREQ(r->name, "Binocs B");
}

TEST_F(InstrumentChoice, DefaultInstrumentIsTheFirstStoredElseTheNakedEye) {
    auto r = Telescope("Before", 100, 1000, 1);
    LoadDefaultInstrument(r.get());
    EXPECT_EQ(+r->kind, kInstrumentNakedEye);
    EXPECT_EQ(+r->id, 0);
    EXPECT_DOUBLE_EQ(+r->optics[0].aperture, 6.5 * 0.03937 * 25.4);
    Fill();
    LoadDefaultInstrument(r.get());
    EXPECT_STREQ(r->name, "Scope A");
}

TEST(DescribeInstrument, TelescopeBinocularsAndNakedEye) {
    auto t = Telescope("T", 203.2, 2032, 0);
    t->optics[0].condition = 0.5;
    char text[128];
    DescribeInstrument(t.get(), text, sizeof text);
    EXPECT_STREQ(text, "8 inch f/10.0 Reflector, a little dirty");
    t->optics[0].type = 9;  // no type name outside 1..3
    t->optics[0].condition = 1.0;
    DescribeInstrument(t.get(), text, sizeof text);
    EXPECT_STREQ(text, "8 inch f/10.0 , filthy");
    auto b = Binoculars("B", 7, 50);
    b->optics[0].trueField = 6.5 * kPi / 180.0;
    DescribeInstrument(b.get(), text, sizeof text);
    EXPECT_STREQ(text, "Binoculars with 6.5\xB0 field");
    b->kind = kInstrumentNakedEye;
    DescribeInstrument(b.get(), text, sizeof text);
    EXPECT_STREQ(text, "The unaided eyes of the observer");
    const struct { double c; const char *name; } conditions[] = {
        {0.0, "very clean"}, {0.2499, "very clean"}, {0.25, "clean"}, {0.74, "a little dirty"}, {0.99, "dirty"}};
    for (const auto &c : conditions) EXPECT_STREQ(GetConditionName(c.c), c.name) << c.c;
}

TEST(DescribeCameraField, NeedsFieldAndPixels) {
    CameraEntry c;
    std::memset(&c, 0, sizeof c);
    char text[128] = "x";
    DescribeCameraField(&c, text, sizeof text);
    EXPECT_STREQ(text, "");
    c.pixelsAcross = 1024;
    c.pixelsDown = 768;
    c.fieldWidth = 30.0 / 10800.0 * kPi;  // 30 arcminutes
    c.fieldHeight = 20.0 / 10800.0 * kPi;
    DescribeCameraField(&c, text, sizeof text);
    EXPECT_EQ(std::string(text).rfind("1024 x 768 pixels, ", 0), 0u) << text;
    EXPECT_NE(std::string(text).find(" FOV"), std::string::npos);
    c.pixelsDown = 0;
    DescribeCameraField(&c, text, sizeof text);
    EXPECT_STREQ(text, "");
}

}  // namespace
