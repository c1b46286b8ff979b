// The re-layout rule of a managed control (see controllayout.h).
#include "ui/controllayout.h"

#include <cmath>

namespace {

int RoundAway(double v) {
    return static_cast<int>(std::round(v));   // std::round rounds halves away from zero
}

}  // namespace

void SetLayoutGeometry(LayoutGeometry *g, int left, int top, int width, int height,
                       int referenceWidth, int referenceHeight, int stretchWidth,
                       int stretchHeight, uint32_t anchorFlags) {
    g->left = left;
    g->top = top;
    g->width = width;
    g->height = height;
    g->rightGap = referenceWidth - (left + width);
    g->referenceWidth = referenceWidth;
    g->referenceHeight = referenceHeight;
    g->stretchWidth = stretchWidth;
    g->stretchHeight = stretchHeight;
    g->anchorFlags = anchorFlags;
}

void ComputeLayoutPlacement(const LayoutGeometry *g, int newWidth, int newHeight, int *outX,
                            int *outY, int *outW, int *outH) {
    const uint32_t f = g->anchorFlags;
    // Real factors: an integer quotient would snap every factor to 0, 1 or 2.
    const double sx = g->referenceWidth ? static_cast<double>(newWidth) / g->referenceWidth : 1.0;
    const double sy = g->referenceHeight ? static_cast<double>(newHeight) / g->referenceHeight : 1.0;

    int x;
    if (g->referenceWidth == 0)
        x = g->left;
    else if (f & kLayoutShiftByStretch)
        x = RoundAway(g->stretchWidth * sx + g->left - g->stretchWidth);
    else if (f & kLayoutKeepLeft)
        x = g->left;
    else
        x = RoundAway(g->left * sx);

    const int y = (g->referenceHeight == 0 || (f & kLayoutKeepTop)) ? g->top : RoundAway(g->top * sy);

    int w;
    if ((f & kLayoutKeepRightGap) && g->stretchWidth != 0) {
        w = newWidth - x - g->rightGap;
    } else if (f & kLayoutKeepRightGap) {
        w = g->width;
        x = newWidth - g->rightGap - g->width;
    } else if ((g->stretchWidth == 0 || (f & kLayoutShiftByStretch) || g->referenceWidth == 0) &&
               !(f & kLayoutWidthFollows)) {
        w = g->width;
    } else if (f & kLayoutKeepLeft) {
        // The right edge lands where proportional scaling puts it.
        w = RoundAway(g->width * sx) + RoundAway(x * sx) - x;
    } else {
        w = RoundAway(g->width * sx);
    }

    int h;
    if (g->stretchHeight == 0 || g->referenceHeight == 0)
        h = g->height;
    else if (f & kLayoutKeepTop)
        h = RoundAway(g->height * sy) + RoundAway(y * sy) - y;
    else
        h = RoundAway(g->height * sy);

    *outX = x;
    *outY = y;
    *outW = w < 0 ? 0 : w;
    *outH = h < 0 ? 0 : h;
}
