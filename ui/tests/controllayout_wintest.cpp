// Re-layout of real child windows under Wine, and the tracer's numbers
// against the platform header's WM_ constants.
#include <windows.h>

#include <gtest/gtest.h>

#include "ui/controllayout_win.h"
#include "ui/msgtrace.h"
#include "ui/tests/controltest_win.h"
#include "ui/winutil_win.h"

using namespace controltest;

namespace {

TEST(ControlLayoutWin, RecordsClientRectAndMoves) {
    Parent parent(300, 200);
    SIZE ref = ClientSize(parent.window);
    HWND a = parent.Child("BUTTON", "a", 0, 10, 20, 50, 15, 101);
    HWND b = parent.Child("BUTTON", "b", 0, 30, 60, 40, 20, 102);
    LayoutControl records[2];
    int count = 0;
    EXPECT_EQ(AddLayoutControl(nullptr, records, &count, 2, ref.cx, ref.cy, 0, 0, 0), 0);
    ASSERT_EQ(AddLayoutControl(a, records, &count, 2, ref.cx, ref.cy, 1, 0, kLayoutKeepRightGap), 1);
    ASSERT_EQ(AddLayoutControl(b, records, &count, 2, ref.cx, ref.cy, 0, 0, kLayoutKeepTop), 1);
    // A full array refuses a third control and keeps its count.
    EXPECT_EQ(AddLayoutControl(a, records, &count, 2, ref.cx, ref.cy, 0, 0, 0), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(records[0].geometry.left, 10);
    EXPECT_EQ(records[0].geometry.top, 20);
    EXPECT_EQ(records[0].geometry.width, 50);
    EXPECT_EQ(records[0].geometry.rightGap, ref.cx - 60);

    const int newW = ref.cx * 2, newH = ref.cy * 2;
    for (int i = 0; i < count; ++i) EXPECT_TRUE(ApplyLayout(&records[i], newW, newH));
    RECT ra, rb;
    GetChildClientRect(parent.window, a, &ra);
    GetChildClientRect(parent.window, b, &rb);
    EXPECT_EQ(ra.left, 20);
    EXPECT_EQ(ra.right, newW - (ref.cx - 60));   // right gap kept
    EXPECT_EQ(ra.top, 40);
    EXPECT_EQ(rb.left, 60);
    EXPECT_EQ(rb.top, 60);                        // top kept
    EXPECT_EQ(rb.right - rb.left, 40);
}

TEST(MessageTraceWin, NumbersMatchThePlatformHeader) {
    struct Case { unsigned number; const char *name; } cases[] = {
        {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"}, {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
        {WM_NEXTDLGCTL, "WM_NEXTDLGCTL"}, {WM_GETHOTKEY, "WM_GETHOTKEY"},
        {WM_COMPAREITEM, "WM_COMPAREITEM"}, {WM_NOTIFY, "WM_NOTIFY"},
        {WM_NOTIFYFORMAT, "WM_NOTIFYFORMAT"}, {WM_CONTEXTMENU, "WM_CONTEXTMENU"},
        {WM_GETDLGCODE, "WM_GETDLGCODE"}, {WM_NCMBUTTONDBLCLK, "WM_NCMBUTTONDBLCLK"},
        {WM_KEYDOWN, "WM_KEYDOWN"}, {WM_SYSDEADCHAR, "WM_SYSDEADCHAR"},
        {WM_IME_STARTCOMPOSITION, "WM_IME_STARTCOMPOSITION"}, {WM_COMMAND, "WM_COMMAND"},
        {WM_INITMENUPOPUP, "WM_INITMENUPOPUP"}, {WM_ENTERIDLE, "WM_ENTERIDLE"},
        {WM_CTLCOLORMSGBOX, "WM_CTLCOLORMSGBOX"}, {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"},
        {WM_MOUSEMOVE, "WM_MOUSEMOVE"}, {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
        {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"}, {WM_MOVING, "WM_MOVING"},
        {WM_DEVICECHANGE, "WM_DEVICECHANGE"}, {WM_MDIGETACTIVE, "WM_MDIGETACTIVE"},
        {WM_MDIREFRESHMENU, "WM_MDIREFRESHMENU"}, {WM_IME_SETCONTEXT, "WM_IME_SETCONTEXT"},
        {WM_IME_CHAR, "WM_IME_CHAR"}, {WM_IME_KEYUP, "WM_IME_KEYUP"},
        {WM_MOUSEHOVER, "WM_MOUSEHOVER"}, {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
        {WM_CUT, "WM_CUT"}, {WM_HOTKEY, "WM_HOTKEY"}, {WM_PRINTCLIENT, "WM_PRINTCLIENT"},
        {WM_HANDHELDLAST, "WM_HANDHELDLAST"}, {WM_AFXFIRST, "WM_AFXFIRST"},
        {WM_PENWINLAST, "WM_PENWINLAST"}, {WM_APP, "WM_APP"},
    };
    for (const Case &c : cases) {
        const char *name = WindowMessageName(c.number);
        ASSERT_NE(name, nullptr) << c.name;
        EXPECT_STREQ(name, c.name);
    }
    for (unsigned m : {unsigned(WM_CREATE), unsigned(WM_DESTROY), unsigned(WM_PAINT),
                       unsigned(WM_SIZE), unsigned(WM_SETTEXT)})
        EXPECT_EQ(WindowMessageName(m), nullptr) << m;
}

}  // namespace
