// The list-box sink of the import passes.
#include "app/importlist_win.h"

#include "app/gleaner_win.h"

namespace {

void AddListBoxRow(void *context, const char *text, int32_t notRecognised) {
    HWND list = static_cast<HWND>(context);
    if (!list) return;
    // The row's own index, not the entry count: a list box that already held
    // rows, or that sorts, still gets the flag on the right row.
    LRESULT row = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text ? text : ""));
    if (row == LB_ERR || row == LB_ERRSPACE) return;
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(notRecognised));
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
