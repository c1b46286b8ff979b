// Shared fixture of the control tests under Wine: a visible top-level parent
// window that records every notification its controls send, the control
// classes registered once, a message pump and pixel probes of the screen.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "ui/controls.h"

namespace controltest {

struct Notice {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Colour the parent paints its whole client area with.
constexpr COLORREF kParentColour = RGB(200, 30, 30);

inline std::vector<Notice> &Notices() {
    static std::vector<Notice> notices;
    return notices;
}

inline LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
    case 1533:  // table row double click
    case 1534:  // table row right click
        Notices().push_back({message, wParam, lParam});
        return 0;
    case WM_GETFONT:  // as a dialog answers with its font
        return reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT));
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(window, &rc);
        HBRUSH brush = CreateSolidBrush(kParentColour);
        FillRect(reinterpret_cast<HDC>(wParam), &rc, brush);
        DeleteObject(brush);
        return 1;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

inline void RegisterAllControls() {
    static bool done = false;
    if (done) return;
    done = true;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterHyperTextClass(instance);
    RegisterCShadeClass(instance);
    RegisterTouchClass(instance);
    RegisterHeaderButtonClass(instance);
    RegisterProgressIndicatorClass(instance);
    RegisterTableClass(instance);
    RegisterSymbolTextClass(instance);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "ToolkitTestParent";
    RegisterClassA(&wc);
}

inline void Pump() {
    MSG msg;
    for (int i = 0; i < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The visible parent window of a test. One top-level window serves every
// test (hiding a top-level window under an X server without a window
// manager costs seconds); each fixture resizes it and takes it without
// children, and its children go when the fixture does.
inline void DestroyChildren(HWND window) {
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(window, GW_CHILD)) DestroyWindow(c);
}

struct Parent {
    HWND window = nullptr;
    explicit Parent(int width = 400, int height = 300) {
        RegisterAllControls();
        static HWND shared = nullptr;
        if (!shared || !IsWindow(shared))
            shared = CreateWindowExA(0, "ToolkitTestParent", "Toolkit test", WS_POPUP | WS_VISIBLE, 40, 40,
                                     width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        window = shared;
        DestroyChildren(window);
        SetWindowPos(window, HWND_TOP, 40, 40, width, height, SWP_SHOWWINDOW);
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
        Pump();
        Notices().clear();
    }
    ~Parent() {
        DestroyChildren(window);
        Pump();
    }
    HWND Child(const char *cls, const char *text, DWORD style, int x, int y, int w, int h, int id) const {
        HWND c = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                 nullptr);
        return c;
    }
};

// Pixels of a window's client area as painted: the window is redrawn first.
inline COLORREF Probe(HWND window, int x, int y) {
    UpdateWindow(window);
    HDC dc = GetDC(window);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

// Number of client pixels of a colour (the window is drawn as it is now).
inline int CountColour(HWND window, COLORREF colour, RECT *area = nullptr) {
    RECT rc;
    GetClientRect(window, &rc);
    if (area) rc = *area;
    HDC dc = GetDC(window);
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            if (GetPixel(dc, x, y) == colour) ++n;
    ReleaseDC(window, dc);
    return n;
}

inline SIZE ClientSize(HWND window) {
    RECT rc;
    GetClientRect(window, &rc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

inline SIZE WindowSize(HWND window) {
    RECT rc;
    GetWindowRect(window, &rc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

// Notifications of one kind: WM_COMMAND with the given high word.
inline int CountCommands(unsigned code) {
    int n = 0;
    for (const Notice &no : Notices())
        if (no.message == WM_COMMAND && HIWORD(no.wParam) == code) ++n;
    return n;
}

}  // namespace controltest
