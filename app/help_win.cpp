// HTML help: "hhctrl.ocx" is loaded at run time and HtmlHelpA taken by its
// export ordinal 14. Where the library or the entry is missing, help requests
// answer 0 and the user is told once per request, instead of a call through
// a null entry.
#include "app/gleaner_win.h"

namespace {
typedef HWND(WINAPI *HtmlHelpProc)(HWND, LPCSTR, UINT, DWORD_PTR);
HMODULE g_helpLibrary = nullptr;
HtmlHelpProc g_htmlHelp = nullptr;
const char *const kHelpFile = "Gleaner.chm";
const UINT kDisplayToc = 1;    // HH_DISPLAY_TOC
const UINT kHelpContext = 15;  // HH_HELP_CONTEXT

void TellNoHelp() {
    MessageBoxA(GetMainWindow(), "Help is not available: the HTML Help viewer could not be loaded.",
                "Gleaner Message", MB_OK | MB_ICONINFORMATION);
}
}  // namespace

void LoadHtmlHelp() {
    if (!g_helpLibrary) g_helpLibrary = LoadLibraryA("hhctrl.ocx");
    if (g_helpLibrary)
        g_htmlHelp = (HtmlHelpProc)(void *)GetProcAddress(g_helpLibrary, MAKEINTRESOURCEA(14));
}

void UnloadHtmlHelp() {
    if (g_helpLibrary) FreeLibrary(g_helpLibrary);
    g_helpLibrary = nullptr;
    g_htmlHelp = nullptr;
}

int HtmlHelpAvailable() { return g_htmlHelp ? 1 : 0; }

int ShowHelpTopic(int topicId) {
    if (!g_htmlHelp) {
        TellNoHelp();
        return 0;
    }
    return g_htmlHelp(nullptr, kHelpFile, kHelpContext, (DWORD_PTR)topicId) ? 1 : 0;
}

int ShowGleanerHelpTopic(int topicId) {
    if (!g_htmlHelp) {
        TellNoHelp();
        return 0;
    }
    g_htmlHelp(nullptr, kHelpFile, kDisplayToc, 0);
    return g_htmlHelp(nullptr, kHelpFile, kHelpContext, (DWORD_PTR)topicId) ? 1 : 0;
}
