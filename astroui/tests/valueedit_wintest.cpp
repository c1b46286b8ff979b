// The in-place value editor under Wine: typing and committing with Enter,
// Tab and the loss of focus, Esc, invalid texts, a second start, and the
// preset menu's choices, in a small window that counts the announcements.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "astroui/valueedit_win.h"
#include "testutil/dialogscript_win.h"
#include "testutil/screenshot_win.h"
#include "ui/controlmsgs.h"
#include "ui/tests/controltest_win.h"

namespace {

constexpr int kItem = 101;
constexpr int kOther = 102;

int g_stored = 0;        // kValueStored messages
int g_lastStoredItem = 0;
int g_presetResult = -1;
int g_presetItem = -1;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kValueStored) {
        ++g_stored;
        g_lastStoredItem = static_cast<int>(wParam);
        return 0;
    }
    if (message == WM_COMMAND && LOWORD(wParam) >= kValuePresetFirstCommand) {
        int item = -1;
        g_presetResult = HandleValuePresetCommand(window, wParam, lParam, &item);
        g_presetItem = item;
        return 0;
    }
    if (message == WM_GETFONT) return reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT));
    return DefWindowProcA(window, message, wParam, lParam);
}

// One top-level window serves every test (destroying a top-level window
// under an X server without a window manager costs seconds); each test gets
// it with a fresh item text and counters.
struct Host {
    HWND window = nullptr;
    HWND item = nullptr;
    HWND other = nullptr;
    Host() {
        static HWND shared = nullptr;
        if (!shared || !IsWindow(shared)) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = HostProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            wc.lpszClassName = "ValueEditHost";
            RegisterClassA(&wc);
            shared = CreateWindowExA(0, "ValueEditHost", "Value edit", WS_POPUP | WS_VISIBLE | WS_BORDER,
                                     60, 60, 260, 120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
            CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 20, 20, 80, 18, shared,
                            reinterpret_cast<HMENU>(kItem), GetModuleHandleA(nullptr), nullptr);
            CreateWindowExA(0, "edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 20, 60, 80, 20, shared,
                            reinterpret_cast<HMENU>(kOther), GetModuleHandleA(nullptr), nullptr);
        }
        window = shared;
        item = GetDlgItem(window, kItem);
        other = GetDlgItem(window, kOther);
        SetWindowTextA(item, "17");
        SetForegroundWindow(window);
        SetActiveWindow(window);
        SetFocus(window);
        controltest::Pump();
        g_stored = 0;
        g_lastStoredItem = 0;
        g_presetResult = -1;
        g_presetItem = -1;
    }
    ~Host() {
        CancelValueEdit();
        controltest::Pump();
    }
    std::string ItemText() const { return testutil::WindowText(item); }
};

void Key(HWND edit, WPARAM key) {
    // As the keyboard delivers it: the key, then the character it makes.
    SendMessageA(edit, WM_KEYDOWN, key, 0);
    if (IsWindow(edit) && (key == VK_RETURN || key == VK_TAB || key == VK_ESCAPE))
        SendMessageA(edit, WM_CHAR, key == VK_RETURN ? '\r' : key == VK_TAB ? '\t' : 0x1B, 0);
}

TEST(ValueEditWin, EnterStoresTruncatedInteger) {
    Host host;
    int32_t target = 17;
    BeginValueEdit(host.window, kItem, nullptr, 0, 0, 100, "%d", kValueKindInteger, &target);
    HWND edit = OpenValueEditField();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(GetDlgCtrlID(edit), kValueEditFieldId);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_FALSE(IsWindowEnabled(host.item));
    // Over the item, one pixel higher than it.
    RECT er, ir;
    GetWindowRect(edit, &er);
    GetWindowRect(host.item, &ir);
    EXPECT_EQ(er.left, ir.left);
    EXPECT_EQ(er.top, ir.top);
    EXPECT_EQ(er.bottom - er.top, ir.bottom - ir.top + 1);
    // A second start while the edit is open does nothing.
    double other = 0;
    BeginValueEdit(host.window, kOther, nullptr, 0, 0, 10, "%g", kValueKindDouble, &other);
    EXPECT_EQ(OpenValueEditField(), edit);

    SetWindowTextA(edit, "42.7");
    controltest::Pump();
    testutil::SaveScreenshot(testutil::CaptureClientArea(host.window), "valueedit_open");
    Key(edit, VK_RETURN);
    EXPECT_EQ(OpenValueEditField(), nullptr);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(target, 42);
    EXPECT_EQ(host.ItemText(), "42");
    EXPECT_TRUE(IsWindowEnabled(host.item));
    EXPECT_EQ(g_stored, 1);
    EXPECT_EQ(g_lastStoredItem, kItem);
    EXPECT_EQ(other, 0.0);
}

TEST(ValueEditWin, InvalidTextBeepsAndStaysOpenThenTabCommits) {
    Host host;
    int32_t target = 17;
    BeginValueEdit(host.window, kItem, nullptr, 0, 0, 100, "%d", kValueKindInteger, &target);
    HWND edit = OpenValueEditField();
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "101");
    Key(edit, VK_RETURN);
    EXPECT_EQ(OpenValueEditField(), edit);
    EXPECT_EQ(target, 17);
    EXPECT_EQ(g_stored, 0);
    // The Enter key's character did not reach the text.
    EXPECT_EQ(testutil::WindowText(edit), "101");
    SetWindowTextA(edit, "99");
    Key(edit, VK_TAB);
    EXPECT_EQ(OpenValueEditField(), nullptr);
    EXPECT_EQ(target, 99);
    EXPECT_EQ(g_stored, 1);
}

TEST(ValueEditWin, EscapeStoresNothingEvenWithValidText) {
    Host host;
    double target = 1.0;
    BeginValueEdit(host.window, kItem, nullptr, 0, 0, 24, "", kValueKindClockTime, &target);
    HWND edit = OpenValueEditField();
    ASSERT_NE(edit, nullptr);
    ASSERT_EQ(GetFocus(), edit);
    SetWindowTextA(edit, "21:30");
    Key(edit, VK_ESCAPE);
    EXPECT_EQ(OpenValueEditField(), nullptr);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(target, 1.0);
    EXPECT_EQ(g_stored, 0);
    EXPECT_EQ(host.ItemText(), "17");
    EXPECT_TRUE(IsWindowEnabled(host.item));
}

TEST(ValueEditWin, FocusLeavingCommitsValidAndDropsInvalid) {
    Host host;
    double target = 1.0;
    BeginValueEdit(host.window, kItem, nullptr, 0, 0, 24, "", kValueKindClockTime, &target);
    HWND edit = OpenValueEditField();
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "21:30");
    SetFocus(host.other);
    EXPECT_EQ(OpenValueEditField(), nullptr);
    EXPECT_EQ(target, 21.5);
    EXPECT_EQ(g_stored, 1);
    EXPECT_NE(host.ItemText(), "17");

    float time = 2.0f;
    BeginValueEdit(host.window, kItem, nullptr, 0, 0, 24, "", kValueKindFloatClockTime, &time);
    edit = OpenValueEditField();
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "30:00");
    const std::string before = host.ItemText();
    SetFocus(host.other);
    EXPECT_EQ(OpenValueEditField(), nullptr);   // closed silently
    EXPECT_EQ(time, 2.0f);
    EXPECT_EQ(g_stored, 1);
    EXPECT_EQ(host.ItemText(), before);
    EXPECT_TRUE(IsWindowEnabled(host.item));
}

// Chooses a line of the preset menu with the keyboard, as a user would:
// the menu's own loop takes the keys; its command reaches the window.
void ChoosePreset(Host &host, int presetCount, const char (*names)[kValuePresetNameSize], double *target,
                  int line) {
    std::vector<testutil::Step> steps;
    steps.push_back(testutil::Do([&host, line] {
        for (int i = 0; i <= line; ++i) PostMessageA(host.window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(host.window, WM_KEYDOWN, VK_RETURN, 0);
    }));
    EXPECT_TRUE(testutil::RunScript(steps, [&] {
        BeginValueEdit(host.window, kItem, names, presetCount, 0, 100, "%g", kValueKindDouble, target);
    })) << testutil::LastScriptFailure();
    EXPECT_TRUE(testutil::PumpUntil([] { return g_presetResult != -1; }));
}

TEST(ValueEditWin, PresetChoices) {
    const char names[3][kValuePresetNameSize] = {"Auto", "5", "7.5"};
    {
        Host host;
        double target = 1.0;
        ChoosePreset(host, 3, names, &target, 0);
        EXPECT_EQ(g_presetResult, 1);
        EXPECT_EQ(g_presetItem, kItem);
        EXPECT_EQ(host.ItemText(), "Auto");
        EXPECT_EQ(target, 1.0);
        EXPECT_EQ(g_stored, 0);
        // The menu is gone: the same command again is no preset choice.
        EXPECT_EQ(HandleValuePresetCommand(host.window, kValuePresetFirstCommand, 0, nullptr), 0);
    }
    {
        Host host;
        double target = 1.0;
        ChoosePreset(host, 3, names, &target, 2);
        EXPECT_EQ(g_presetResult, 0);
        EXPECT_EQ(host.ItemText(), "7.5");
        EXPECT_EQ(target, 7.5);
        EXPECT_EQ(g_stored, 1);
    }
    {
        // "Enter Value" opens the edit with the kept range and target.
        Host host;
        double target = 1.0;
        ChoosePreset(host, 3, names, &target, 3);
        EXPECT_EQ(g_presetResult, 0);
        EXPECT_EQ(g_presetItem, 0);
        HWND edit = OpenValueEditField();
        ASSERT_NE(edit, nullptr);
        SetWindowTextA(edit, "55");
        Key(edit, VK_RETURN);
        EXPECT_EQ(target, 55.0);
        EXPECT_EQ(g_stored, 1);
    }
}

TEST(ValueEditWin, PresetThatIsNoNumberIsTextOnly) {
    // A later preset such as "None" is shown but stores nothing.
    const char names[2][kValuePresetNameSize] = {"Auto", "None"};
    Host host;
    double target = 3.0;
    ChoosePreset(host, 2, names, &target, 1);
    EXPECT_EQ(g_presetResult, 0);
    EXPECT_EQ(host.ItemText(), "None");
    EXPECT_EQ(target, 3.0);
    EXPECT_EQ(g_stored, 0);
    // A command that is not from the menu (a control's notification) is ignored.
    EXPECT_EQ(HandleValuePresetCommand(host.window, MAKEWPARAM(kValuePresetFirstCommand, 1), 0, nullptr), 0);
}

}  // namespace
