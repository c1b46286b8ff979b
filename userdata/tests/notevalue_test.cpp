// The note value of an observing-list item: bits 4 to 7 of the list status
// byte follow the low four bits of the note's status and are cleared without
// a note or a notes group.
#include "userdata/notevalue.h"

#include <gtest/gtest.h>

#include "objects/objectrecord.h"
#include "userdata/notestore.h"
#include "userdata/tests/notetestutil.h"

using notetest::NotesStore;
using notetest::Obj;

TEST(NoteValue, StatusBitsOfTheNoteGoIntoTheItem) {
    NotesStore store;
    ObjectRecord galaxy = Obj(kClassGalaxy, 31);
    ObjectRecord cluster = Obj(kClassOpenCluster, 7);
    ASSERT_GE(SetNote(0, &galaxy, "M 31", "Dust lanes", 0x35), 0);  // high bits dropped
    NoteIndexLists lists;
    ASSERT_EQ(LoadNoteIndexLists(0, &lists), 1);
    ItemNoteContext context{0, &lists};

    struct Case { ObjectRecord item; uint8_t before; uint8_t after; } cases[] = {
        {galaxy, 0x00, 0x50},   // value 5 into bits 4-7
        {galaxy, 0xA3, 0x53},   // A and B status bits kept, old value replaced
        {cluster, 0xF2, 0x02},  // no note: value cleared
    };
    for (auto &c : cases) {
        c.item.listStatus = c.before;
        ApplyNoteValueToItem(&context, &c.item);
        EXPECT_EQ(+c.item.listStatus, +c.after) << int(c.before);
    }
    // No group: only cleared, the note is not read.
    ObjectRecord item = galaxy;
    item.listStatus = 0xF1;
    ItemNoteContext none{-1, &lists};
    ApplyNoteValueToItem(&none, &item);
    EXPECT_EQ(+item.listStatus, 0x01);
    // An unreadable note clears the value as well.
    FreeNoteIndexLists(&lists);
    ASSERT_EQ(LoadNoteIndexLists(0, &lists), 1);
    std::remove(store.NotePath(5, "00000000.bin").c_str());
    item.listStatus = 0xF0;
    ApplyNoteValueToItem(&context, &item);
    EXPECT_EQ(+item.listStatus, 0x00);
    FreeNoteIndexLists(&lists);
}
