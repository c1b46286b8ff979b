// The list-box sink of the import passes.
#include "app/importlist_win.h"

#include "app/gleaner_win.h"

namespace {

// Room either side of a row's text (the row is drawn 4 pixels in).
const int kRowTextMargin = 8;

// Widens the list's scrollable width to the row's text, so that a long row
// can be scrolled to its end rather than cut off at the list's edge.
void WidenToRow(HWND list, const char *text) {
    HDC dc = GetDC(list);
    if (!dc) return;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    if (old) SelectObject(dc, old);
    ReleaseDC(list, dc);
    LRESULT now = SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0);
    if (size.cx + kRowTextMargin > now)
        SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(size.cx + kRowTextMargin), 0);
}

void AddListBoxRow(void *context, const char *text, int32_t notRecognised) {
    HWND list = static_cast<HWND>(context);
    if (!list) return;
    // The row's own index, not the entry count: a list box that already held
    // rows, or that sorts, still gets the flag on the right row.
    LRESULT row = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text ? text : ""));
    if (row == LB_ERR || row == LB_ERRSPACE) return;
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(notRecognised));
    WidenToRow(list, text ? text : "");
}

int AskGoOnAfterFailedAdd(void *, const char *message) {
    return MessageBoxA(GetMainWindow(), message ? message : "", "Gleaner Message",
                       MB_YESNO | MB_ICONWARNING) == IDYES
               ? 1
               : 0;
}

}  // namespace

ImportListSink MakeImportListSink(HWND list) {
    ImportListSink sink;
    sink.context = list;
    sink.addRow = AddListBoxRow;
    sink.askGoOn = AskGoOnAfterFailedAdd;
    return sink;
}
