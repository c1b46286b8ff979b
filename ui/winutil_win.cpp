// Win32 side of the toolkit's small services; see winutil_win.h.
#include "ui/winutil_win.h"
#include "core/safefile.h"

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/fileutil.h"
#include "core/hostcallbacks.h"
#include "core/fsys.h"
#include "ui/exepath.h"
#include "ui/fontrules.h"

namespace {

// A movable global block holding `bytes` bytes, zero-filled, with the text
// copied in; 0 when it cannot be had.
HGLOBAL MakeTextBlock(const char *text, size_t textLength, size_t bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!block) return nullptr;
    char *p = static_cast<char *>(GlobalLock(block));
    if (!p) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(p, text, textLength);
    GlobalUnlock(block);
    return block;
}

// Puts the block on the clipboard as CF_TEXT. 1 when the clipboard owns the
// block; 0 when any step failed (the caller still owns the block then).
int PutTextBlock(HWND owner, HGLOBAL block) {
    if (!OpenClipboard(owner)) return 0;
    int ok = EmptyClipboard() && SetClipboardData(CF_TEXT, block) != nullptr;
    CloseClipboard();
    return ok;
}

}  // namespace

int CopyTextBufferToClipboard(TextBuffer *buffer, HWND owner) {
    const char *text = (buffer && buffer->text) ? buffer->text : "";
    size_t length = std::strlen(text);
    size_t bytes = length + 1;
    if (buffer && buffer->capacity > 0 && static_cast<size_t>(buffer->capacity) + 1 > bytes)
        bytes = static_cast<size_t>(buffer->capacity) + 1;
    HGLOBAL block = MakeTextBlock(text, length, bytes);
    if (block && PutTextBlock(owner, block)) {
        FreeTextBuffer(buffer);
        return MessageBoxA(owner, "Copy to Clipboard Complete", "Nightjar Message", MB_OK);
    }
    if (block) GlobalFree(block);
    return MessageBoxA(owner, "The text could not be copied to the clipboard. Please try again.",
                       "Nightjar Message", MB_OK | MB_ICONEXCLAMATION);
}

int CopyTextToClipboard(HWND owner, const char *text) {
    if (!text) text = "";
    size_t length = std::strlen(text);
    HGLOBAL block = MakeTextBlock(text, length, length + 1);
    if (!block) return 0;
    if (!OpenClipboard(owner)) {
        GlobalFree(block);
        return 0;
    }
    int ok = EmptyClipboard() && SetClipboardData(CF_TEXT, block) != nullptr;
    if (!ok) GlobalFree(block);
    int closed = CloseClipboard();
    return ok ? closed : 0;
}

LOGFONTA *MakeLogFont(LOGFONTA *out, const char *faceName, int height, int pitchAndFamily,
                      int weight, int symbol) {
    std::memset(out, 0, sizeof *out);
    out->lfHeight = height;
    out->lfWeight = weight;
    out->lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
    if (symbol) {
        out->lfCharSet = SYMBOL_CHARSET;
        std::snprintf(out->lfFaceName, sizeof out->lfFaceName, "%s", "Symbol");
    }
    if (faceName && faceName[0])
        std::snprintf(out->lfFaceName, sizeof out->lfFaceName, "%s", faceName);
    return out;
}

HFONT MakeFont(int height, int pitchAndFamily, int weight, double escapementDegrees, int symbol) {
    LOGFONTA lf;
    MakeLogFont(&lf, nullptr, height, pitchAndFamily, weight, symbol);
    lf.lfEscapement = lf.lfOrientation = EscapementTenths(escapementDegrees);
    return CreateFontIndirectA(&lf);
}

HFONT SelectNewFont(HDC dc, int height, int pitchAndFamily, int weight, int symbol) {
    return static_cast<HFONT>(SelectObject(dc, MakeFont(height, pitchAndFamily, weight, 0.0, symbol)));
}

void DeleteSelectedObject(HDC dc, HGDIOBJ object) {
    HGDIOBJ replaced = SelectObject(dc, object);
    if (replaced && replaced != object) DeleteObject(replaced);
}

HFONT CreateBoldFontOfWindow(HWND window) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA lf;
    if (!GetObjectA(font, sizeof lf, &lf)) return nullptr;
    lf.lfWeight = FW_BOLD;
    return CreateFontIndirectA(&lf);
}

HPEN CreateFlatPen(int penStyle, int width, COLORREF colour) {
    LOGBRUSH lb;
    lb.lbStyle = BS_SOLID;
    lb.lbColor = colour;
    lb.lbHatch = 0;
    HPEN pen = ExtCreatePen(penStyle | PS_GEOMETRIC | PS_ENDCAP_SQUARE, width, &lb, 0, nullptr);
    if (!pen) pen = CreatePen(penStyle, 1, colour);
    return pen;
}

const char *FormatFontWeightName(const LOGFONTA *font) {
    if (!font) return FontWeightName(0, 0);
    return FontWeightName(font->lfWeight, font->lfItalic != 0);
}

int FontHeightToPoints(HWND window, int fontHeight) {
    HDC dc = GetDC(window);
    if (!dc) return 0;
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return FontHeightPoints(fontHeight, dpi);
}

int FitFontHeightToWidth(HDC dc, int width, int count, int pitchAndFamily, int weight) {
    return FitHeightToWidth(width, count, [&](int h) {
        HFONT font = MakeFont(h, pitchAndFamily, static_cast<int16_t>(weight), 0.0, 0);
        if (!font) return 0;
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICA tm;
        int average = GetTextMetricsA(dc, &tm) ? tm.tmAveCharWidth : 0;
        SelectObject(dc, old);
        DeleteObject(font);
        return average;
    });
}

int GetWindowTextHeight(HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return 0;
    TEXTMETRICA tm;
    int h = GetTextMetricsA(dc, &tm) ? tm.tmHeight + tm.tmDescent : 0;
    ReleaseDC(window, dc);
    return h;
}

void GetChildClientRect(HWND parent, HWND child, RECT *out) {
    // The child's screen rectangle mapped into the parent's client
    // coordinates: exact whatever the parent's frame looks like.
    GetWindowRect(child, out);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT *>(out), 2);
}

void GetDlgItemClientRect(HWND dialog, int itemId, RECT *out) {
    HWND item = GetDlgItem(dialog, itemId);
    if (!item) {
        SetRectEmpty(out);
        return;
    }
    GetChildClientRect(dialog, item, out);
}

int IsWindowMaximized(HWND window) {
    WINDOWPLACEMENT wp;
    wp.length = sizeof wp;
    return GetWindowPlacement(window, &wp) && wp.showCmd == SW_SHOWMAXIMIZED;
}

int IsWindowMinimized(HWND window) {
    WINDOWPLACEMENT wp;
    wp.length = sizeof wp;
    return GetWindowPlacement(window, &wp) && wp.showCmd == SW_SHOWMINIMIZED;
}

LRESULT AddToolTip(HWND dialog, HINSTANCE instance, int itemId, int balloon, HWND *tooltip) {
    DWORD style = TTS_ALWAYSTIP | (balloon ? TTS_BALLOON : 0);
    HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, instance, nullptr);
    if (tooltip) *tooltip = tip;
    if (!tip) return 0;
    TOOLINFOA ti;
    std::memset(&ti, 0, sizeof ti);
    // Without a manifest for version 6 of the common controls the tooltip
    // accepts only the record of version 5 and refuses larger ones silently.
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = dialog;
    ti.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, itemId));
    ti.hinst = instance;
    ti.lpszText = LPSTR_TEXTCALLBACKA;
    return SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void FitEditScrollBar(HWND edit) {
    if (!edit) return;
    HDC dc = GetDC(edit);
    if (!dc) return;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)));
    SIZE blank = {0, 0};
    GetTextExtentPoint32A(dc, " ", 1, &blank);
    if (old) SelectObject(dc, old);
    ReleaseDC(edit, dc);
    SendMessageA(edit, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELONG(0, blank.cx / 2));
    RECT rc;
    GetClientRect(edit, &rc);
    int lines = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
    int visible = blank.cy > 0 ? (rc.bottom - rc.top) / blank.cy : 0;
    ShowScrollBar(edit, SB_VERT, lines > visible);
}

WNDPROC ReplaceWindowProc(HWND window, WNDPROC procedure) {
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

void InitOpenFileName(OPENFILENAMEA *out, HINSTANCE instance) {
    std::memset(out, 0, sizeof *out);
    out->lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    out->hInstance = instance;
    out->nMaxFile = 255;
    out->nMaxFileTitle = 128;
}

int MakePathBesideExecutable(HINSTANCE instance, char *buffer, const char *fileName,
                             size_t bufferSize) {
    if (!buffer || bufferSize == 0) return 0;
    buffer[0] = '\0';
    // Deep install folders exceed 128 characters; read the whole path.
    char exe[32768];
    DWORD n = GetModuleFileNameA(instance, exe, sizeof exe);
    if (n == 0 || n >= sizeof exe) return 0;
    exe[n] = '\0';
    return BuildPathBesideExecutable(exe, fileName, buffer, bufferSize);
}

int BackupBinFile(const char *basePath) {
    std::string base = basePath ? basePath : "";
    return CopyFileSafely((base + ".bin").c_str(), (base + ".bak").c_str());
}

int RestoreBinFile(const char *basePath) {
    std::string base = basePath ? basePath : "";
    std::string bak = base + ".bak", bin = base + ".bin";
    FILE *f = SafeOpen(bak.c_str(), "rb");
    if (!f) return 0;
    std::fclose(f);  // closed before the replace: Windows refuses to rename an open file
    return SafeReplace(bak.c_str(), bin.c_str()) ? 0 : -1;
}

namespace {

int CALLBACK BrowseFolderCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data)
        SendMessageA(window, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

}  // namespace

int BrowseForFolder(HWND owner, const char *title, const char *startFolder, char *pathOut) {
    // The browser of the new style needs OLE on this thread.
    HRESULT ole = OleInitialize(nullptr);
    std::string start;
    if (startFolder && startFolder[0]) {
        start = startFolder;
        for (char &c : start)
            if (c == '/') c = '\\';
    }
    char display[MAX_PATH] = "";
    BROWSEINFOA bi;
    std::memset(&bi, 0, sizeof bi);
    bi.hwndOwner = owner;
    bi.pszDisplayName = display;
    bi.lpszTitle = title;
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    if (!start.empty()) {
        bi.lpfn = BrowseFolderCallback;
        bi.lParam = reinterpret_cast<LPARAM>(start.c_str());
    }
    int chosen = 0;
    LPITEMIDLIST list = SHBrowseForFolderA(&bi);
    if (list) {
        char path[MAX_PATH] = "";
        if (SHGetPathFromIDListA(list, path) && pathOut) {
            std::snprintf(pathOut, MAX_PATH, "%s", path);
            chosen = 1;
        }
        CoTaskMemFree(list);
    }
    if (SUCCEEDED(ole)) OleUninitialize();
    return chosen;
}

int ReadShellFolderPath(char *buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0, bytes = static_cast<DWORD>(size - 1);
    LONG r = RegQueryValueExA(key, "Personal", nullptr, &type, reinterpret_cast<BYTE *>(buffer), &bytes);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        buffer[0] = '\0';
        return 0;
    }
    // The stored value need not end in a terminator.
    buffer[bytes < static_cast<DWORD>(size) ? bytes : size - 1] = '\0';
    return 1;
}

int HandleDialogEndButton(HWND dialog, int commandId, int helpTopic) {
    switch (commandId) {
    case IDOK:
        EndDialog(dialog, 1);
        return 1;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return 1;
    case IDHELP:
        if (helpTopic == kNoHelpTopic) return 0;
        ShowHelpTopic(helpTopic);
        return 1;
    }
    return 0;
}
