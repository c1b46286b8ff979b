// Sizes and positions the custom controls compute without a window: the
// progress bar's length, the link label's width, where a header button puts
// its bitmap, and the table's header, row and column sizes. The window
// procedures call these so that the rules can be tested on their own.
#pragma once
#include <cstdint>

// Length in pixels of the grey bar of a ProgressIndicator: each of the 20
// steps is 5 % of the client width (as a double), and steps x that width is
// rounded half away from zero. Steps outside 0..20 are clamped.
int ProgressBarPixels(int clientWidth, int steps);

// Width of a HyperText label for a text measured `textWidth` pixels wide:
// plus the 15-pixel arrow when it has one, at most maxWidth.
constexpr int kHyperTextArrowWidth = 15;
int HyperTextLabelWidth(int textWidth, int arrowPrefix, int maxWidth);

// Top-left corner of a bmpW x bmpH bitmap centred on a HeaderButton of
// width x height; one pixel right and down when the button is pressed.
void HeaderButtonBitmapOrigin(int width, int height, int bmpW, int bmpH, int pressed,
                              int *x, int *y);

// Height of a Table's header for a text height (of "Xy") in pixels: 1.4 x the
// height rounded half away from zero, made odd by taking one off an even value.
int TableHeaderHeight(int textHeight);
// Row height of a Table's list: 0.91 x the font's tmHeight, rounded.
int TableItemHeight(int fontHeight);

constexpr int kTableMaxColumns = 64;   // check column included
constexpr int kTableCheckColumnWidth = 15;
// Equal width of each title column across a table `width` pixels wide: with a
// check column the titles share width - 15, else the whole width; 32 when
// there are no titles; never below 1.
int TableTitleColumnWidth(int width, int titleCount, int hasChecks);

// Left edges of the cells of one row. Cells go from left + 4 (plus the check
// column's width with checks, where the first title column is column 1) and
// each moves on by the width of its column. `cells` lefts are written for at
// most the columns that exist; the number written is returned (cells beyond
// the last column are not drawn).
int TableCellLefts(int left, const uint16_t *widths, int columnCount, int hasChecks,
                   int cells, int *lefts);

// Row of a Table's list under a pointer at client y: top index + y / item
// height; -1 when y is negative, the item height is not positive or the row
// is not below rowCount.
int TableRowAtPoint(int topIndex, int y, int itemHeight, int rowCount);
