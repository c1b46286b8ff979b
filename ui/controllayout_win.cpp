// Recording and moving the controls of a resizable dialog.
#include "ui/controllayout_win.h"

#include "ui/winutil_win.h"

int AddLayoutControl(HWND control, LayoutControl *array, int *count, int capacity,
                     int referenceWidth, int referenceHeight, int stretchWidth, int stretchHeight,
                     uint32_t anchorFlags) {
    if (!control || !array || !count || *count < 0 || *count >= capacity) return 0;
    RECT rc;
    GetChildClientRect(GetParent(control), control, &rc);
    LayoutControl &r = array[*count];
    r.control = control;
    SetLayoutGeometry(&r.geometry, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                      referenceWidth, referenceHeight, stretchWidth, stretchHeight, anchorFlags);
    ++*count;
    return 1;
}

BOOL ApplyLayout(const LayoutControl *record, int newWidth, int newHeight) {
    int x, y, w, h;
    ComputeLayoutPlacement(&record->geometry, newWidth, newHeight, &x, &y, &w, &h);
    return MoveWindow(record->control, x, y, w, h, FALSE);
}
