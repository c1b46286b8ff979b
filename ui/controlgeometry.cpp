// Size and position rules of the custom controls; see controlgeometry.h.
#include "ui/controlgeometry.h"

#include <cmath>

int ProgressBarPixels(int clientWidth, int steps) {
    if (steps < 0) steps = 0;
    if (steps > 20) steps = 20;
    if (clientWidth < 0) clientWidth = 0;
    double stepWidth = clientWidth * 0.05;
    return static_cast<int>(std::round(steps * stepWidth));
}

int HyperTextLabelWidth(int textWidth, int arrowPrefix, int maxWidth) {
    int w = textWidth + (arrowPrefix ? kHyperTextArrowWidth : 0);
    if (w > maxWidth) w = maxWidth;
    if (w < 0) w = 0;
    return w;
}

void HeaderButtonBitmapOrigin(int width, int height, int bmpW, int bmpH, int pressed,
                              int *x, int *y) {
    // C++ integer division truncates towards zero, as the rule asks.
    *x = width / 2 - bmpW / 2 + (pressed ? 1 : 0);
    *y = height / 2 - bmpH / 2 + (pressed ? 1 : 0);
}

int TableHeaderHeight(int textHeight) {
    int h = static_cast<int>(std::round(1.4 * textHeight));
    if (h % 2 == 0) h -= 1;
    return h;
}

int TableItemHeight(int fontHeight) {
    int h = static_cast<int>(std::round(0.91 * fontHeight));
    return h < 1 ? 1 : h;
}

int TableTitleColumnWidth(int width, int titleCount, int hasChecks) {
    if (titleCount <= 0) return 32;
    int room = hasChecks ? width - kTableCheckColumnWidth : width;
    int w = room / titleCount;
    return w < 1 ? 1 : w;
}

int TableCellLefts(int left, const uint16_t *widths, int columnCount, int hasChecks,
                   int cells, int *lefts) {
    if (columnCount > kTableMaxColumns) columnCount = kTableMaxColumns;
    int column = 0;
    int x = left;
    if (hasChecks) {
        x += columnCount > 0 ? widths[0] : kTableCheckColumnWidth;
        column = 1;
    }
    x += 4;
    int written = 0;
    for (int i = 0; i < cells && column < columnCount; ++i, ++column) {
        lefts[written++] = x;
        x += widths[column];
    }
    return written;
}

int TableRowAtPoint(int topIndex, int y, int itemHeight, int rowCount) {
    if (y < 0 || itemHeight <= 0 || topIndex < 0) return -1;
    int row = topIndex + y / itemHeight;
    return row < rowCount ? row : -1;
}
