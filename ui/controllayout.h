// Proportional re-layout of a resizable dialog's controls: the placement each
// control had at the dialog's reference size and the rule that moves and
// sizes it for a new size. Portable; ui/controllayout_win.h applies it to
// windows.
#pragma once
#include <cstdint>

// Anchor flags of a managed control.
constexpr uint32_t kLayoutKeepRightGap = 0x1;
constexpr uint32_t kLayoutKeepLeft = 0x2;
constexpr uint32_t kLayoutShiftByStretch = 0x4;   // right of a stretch-width-pixel area
constexpr uint32_t kLayoutKeepTop = 0x8;
constexpr uint32_t kLayoutWidthFollows = 0x10;

// Placement at the reference size. Every length is in pixels of the parent's
// client coordinates; the reference size is the parent's client size when
// the control was recorded (the same space as the rectangle).
struct LayoutGeometry {
    int32_t left, top, width, height;
    int32_t rightGap;               // referenceWidth - (left + width)
    int32_t referenceWidth, referenceHeight;
    int32_t stretchWidth;           // 0 keep the width; else it follows (and, with 0x4, the area's width)
    int32_t stretchHeight;          // 0 keep the height; else it follows
    uint32_t anchorFlags;
};

// Fills the geometry from a rectangle at the reference size.
void SetLayoutGeometry(LayoutGeometry *geometry, int left, int top, int width, int height,
                       int referenceWidth, int referenceHeight, int stretchWidth,
                       int stretchHeight, uint32_t anchorFlags);

// Position and size of the control for a parent client area of newWidth x
// newHeight. Scale factors are real numbers; every rounding is half away
// from zero. A width or height that a shrinking parent would make negative
// is 0.
void ComputeLayoutPlacement(const LayoutGeometry *geometry, int newWidth, int newHeight, int *x,
                            int *y, int *width, int *height);
