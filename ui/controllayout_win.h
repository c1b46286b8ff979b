// Proportional re-layout of a resizable dialog's controls: recording each
// control once at the reference size and moving it for a new size (the rule
// is ui/controllayout.h).
#pragma once
#include <windows.h>

#include "ui/controllayout.h"

// One managed control, kept by the caller in an array with a count.
struct LayoutControl {
    HWND control;
    LayoutGeometry geometry;
};

// Records the control (none: nothing) at array[count] from its rectangle in
// its parent's client coordinates and adds 1 to count. The reference size must
// be the parent's client size. Returns 1 recorded, 0 for no control or a full
// array (count already capacity).
int AddLayoutControl(HWND control, LayoutControl *array, int *count, int capacity,
                     int referenceWidth, int referenceHeight, int stretchWidth, int stretchHeight,
                     uint32_t anchorFlags);
// Moves and sizes the control for a parent client area of newWidth x
// newHeight without repainting it; the caller invalidates the parent once
// after applying every record. Returns MoveWindow's result.
BOOL ApplyLayout(const LayoutControl *record, int newWidth, int newHeight);
