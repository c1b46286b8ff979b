// The designation under which a packaged comet or minor planet's twin is
// sought in the user's files, read from the generated packaged database:
// (4) Vesta by name, 2P/Encke by "2P", a comet without a periodic number by
// its designation; user classes and other categories have no twin; missing
// records are failures.
#include "userdata/minorbodytwin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "minorbodies/cometdb.h"
#include "minorbodies/tests/mbfixture.h"
#include "objects/categories.h"
#include "objects/objectrecord.h"
#include "userdata/notestore.h"
#include "userdata/tests/notetestutil.h"

namespace {

ObjectRecord Body(int objectClass, int32_t index) {
    ObjectRecord r;
    ClearObjectRecord(&r);
    r.objectClass = static_cast<uint8_t>(objectClass);
    r.index = index;
    r.categoryBits = ClassCategoryBits(objectClass);
    return r;
}

class MinorBodyTwin : public mbtest::PackagedDatabase {};

TEST_F(MinorBodyTwin, DesignationsFromThePackagedFiles) {
    const int encke = FindCometByNumber(2);
    const int neowise = FindCometByDesignation("2020 F3");
    ASSERT_GE(encke, 0);
    ASSERT_GE(neowise, 0);
    struct Case {
        ObjectRecord record;
        int result, twinClass, kind;
        const char *text;
    } cases[] = {
        {Body(kClassMinorPlanet, 4), 1, kClassUserMinorPlanet, kUserMinorPlanetKindName, "Vesta"},
        {Body(kClassComet, encke), 1, kClassUserComet, kUserCometKindPeriodicNumber, "2P"},
        {Body(kClassComet, neowise), 1, kClassUserComet, kUserCometKindDesignation, "2020 F3"},
        {Body(kClassUserComet, 1), 0, 0, 0, ""},
        {Body(kClassUserMinorPlanet, 1), 0, 0, 0, ""},
        {Body(kClassGalaxy, 31), 0, 0, 0, ""},
        {Body(kClassMinorPlanet, 0), -1, 0, 0, ""},
        {Body(kClassComet, 5000), -1, 0, 0, ""},
    };
    for (const Case &c : cases) {
        int twinClass = 0, kind = 0;
        char text[80];
        EXPECT_EQ(GetMinorBodyTwinDesignation(&c.record, &twinClass, &kind, text, sizeof text), c.result)
            << +c.record.objectClass << " " << c.record.index;
        if (c.result != 1) continue;
        EXPECT_EQ(twinClass, c.twinClass);
        EXPECT_EQ(kind, c.kind);
        EXPECT_STREQ(text, c.text);
    }
    // A short buffer gets a cut, terminated text.
    int twinClass = 0, kind = 0;
    char small[3];
    ObjectRecord vesta = Body(kClassMinorPlanet, 4);
    EXPECT_EQ(GetMinorBodyTwinDesignation(&vesta, &twinClass, &kind, small, sizeof small), 1);
    EXPECT_STREQ(small, "Ve");
}

TEST_F(MinorBodyTwin, WithoutANoteOfTheTwinTheRecordStaysTheCallers) {
    notetest::NotesStore store;
    ObjectRecord encke = Body(kClassComet, FindCometByNumber(2));
    ObjectRecord own = Body(kClassComet, FindCometByNumber(1));
    ASSERT_GE(SetNote(0, &own, "Halley", "1986", 0), 0);
    NoteIndexLists lists;
    ASSERT_EQ(LoadNoteIndexLists(0, &lists), 1);
    const ObjectRecord before = encke;
    EXPECT_EQ(FindNoteOfObject(&lists, &encke), -1);
    EXPECT_EQ(std::memcmp(&before, &encke, sizeof encke), 0);
    // The object's own note is found first, without a twin.
    EXPECT_EQ(FindNoteOfObject(&lists, &own), 0);
    EXPECT_EQ(+own.objectClass, kClassComet);
    FreeNoteIndexLists(&lists);
}

}  // namespace
