// Window-message names and the trace file: the marker and alias names, the
// numbers left out, and the lines appended.
#include "ui/msgtrace.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "testutil/testutil.h"

namespace {

TEST(MessageTrace, NamesOfMarkersAndAliases) {
    struct Case { unsigned number; const char *name; } cases[] = {
        {264, "WM_KEYLAST"}, {856, "WM_HANDHELDFIRST"}, {863, "WM_HANDHELDLAST"},
        {864, "WM_AFXFIRST"}, {895, "WM_AFXLAST"}, {896, "WM_PENWINFIRST"},
        {911, "WM_PENWINLAST"}, {32768, "WM_APP"},
        // Numbers with a second, range-marker name carry the message's own name.
        {256, "WM_KEYDOWN"}, {271, "WM_IME_COMPOSITION"}, {512, "WM_MOUSEMOVE"},
        {522, "WM_MOUSEWHEEL"},
        {28, "WM_ACTIVATEAPP"}, {78, "WM_NOTIFY"}, {135, "WM_GETDLGCODE"},
        {272, "WM_INITDIALOG"}, {273, "WM_COMMAND"}, {312, "WM_CTLCOLORSTATIC"},
        {534, "WM_MOVING"}, {675, "WM_MOUSELEAVE"}, {786, "WM_HOTKEY"}, {792, "WM_PRINTCLIENT"},
    };
    for (const Case &c : cases) {
        const char *name = WindowMessageName(c.number);
        ASSERT_NE(name, nullptr) << c.number;
        EXPECT_STREQ(name, c.name) << c.number;
    }
}

TEST(MessageTrace, KnownNumbersAreTheListedRanges) {
    int known = 0;
    for (unsigned m = 0; m <= 0x10000; ++m)
        if (WindowMessageName(m)) ++known;
    EXPECT_EQ(known, 164);
    for (unsigned m : {0u, 1u, 2u, 5u, 15u, 16u, 27u, 37u, 41u, 56u, 136u, 265u, 280u,
                       1024u, 32767u, 32769u, 49152u})
        EXPECT_EQ(WindowMessageName(m), nullptr) << m;
}

TEST(MessageTrace, AppendsKnownNamesOnly) {
    testutil::TempDir dir;
    const std::string path = dir.file("debug.txt");
    EXPECT_EQ(TraceWindowMessageToFile(path.c_str(), 273), 0);
    const std::string first = testutil::ReadFileBytes(path);
    EXPECT_TRUE(first == "WM_COMMAND\n" || first == "WM_COMMAND\r\n") << first;
    // WM_CREATE, WM_DESTROY, WM_PAINT and unlisted numbers: opened and closed,
    // nothing written.
    for (unsigned m : {1u, 2u, 15u, 27u, 1024u})
        EXPECT_EQ(TraceWindowMessageToFile(path.c_str(), m), 0) << m;
    EXPECT_EQ(TraceWindowMessageToFile(path.c_str(), 512), 0);
    bool ok = false;
    const std::string text = testutil::ReadFileBytes(path, &ok);
    ASSERT_TRUE(ok);
    // Text mode writes CRLF on Windows.
    EXPECT_TRUE(text == "WM_COMMAND\nWM_MOUSEMOVE\n" || text == "WM_COMMAND\r\nWM_MOUSEMOVE\r\n") << text;
    // A file that cannot be opened: nothing written, a failure result.
    EXPECT_EQ(TraceWindowMessageToFile(dir.file("no/such/folder/debug.txt").c_str(), 273), -1);
}

}  // namespace
