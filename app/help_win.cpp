// HTML help: "hhctrl.ocx" is loaded at run time and HtmlHelpA taken by its
// export ordinal 14. The help file is named by its full path beside the
// executable (the program may be started from any folder). Where the viewer
// or the help file is missing, a help request answers 0 and the user is told
// once per request, with the help file's path, instead of nothing happening.
#include <cstdio>

#include "app/gleaner_win.h"
#include "ui/winutil_win.h"

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

void TellNoHelpFile(const char *path) {
    char text[MAX_PATH + 128];
    std::snprintf(text, sizeof text, "Help is not available: the help file \"%s\" could not be opened.", path);
    MessageBoxA(GetMainWindow(), text, "Gleaner Message", MB_OK | MB_ICONINFORMATION);
}

// The help file beside the executable; false (with the user told) when it
// is not there.
bool FindHelpFile(char (&path)[MAX_PATH]) {
    if (!MakePathBesideExecutable(nullptr, path, kHelpFile, sizeof path)) {
        TellNoHelpFile(kHelpFile);
        return false;
    }
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        TellNoHelpFile(path);
        return false;
    }
    return true;
}

int OpenHelp(int topicId, bool withContents) {
    if (!g_htmlHelp) {
        TellNoHelp();
        return 0;
    }
    char path[MAX_PATH];
    if (!FindHelpFile(path)) return 0;
    if (withContents) g_htmlHelp(nullptr, path, kDisplayToc, 0);
    if (g_htmlHelp(nullptr, path, kHelpContext, (DWORD_PTR)topicId)) return 1;
    TellNoHelpFile(path);
    return 0;
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

int ShowHelpTopic(int topicId) { return OpenHelp(topicId, false); }

int ShowGleanerHelpTopic(int topicId) { return OpenHelp(topicId, true); }
