// Rules of the object picker's Browse page that do not need a window: the
// constellation filter and its combo rows (the constellation names file lists
// Serpens twice, as Serpens Caput and Serpens Cauda), the star kinds that
// take a constellation, and the pattern of an empty field.
#pragma once

// Constellation numbers are 1-88 (0: no filter); combo row 0 is the empty
// row and row r > 0 shows record r - 1 of the names file (89 records).
// Rows 76 and 77 (both parts of Serpens) give filter 76.
int ConstellationFilterOfRow(int row);
// The row that shows a filter (Serpens: the second of its two rows).
int ConstellationRowOfFilter(int filter);
// The value the browse iterator takes: the names-file record + 1 (1-89).
int BrowseConstellationValue(int filter);
// 1 for the star designations listed per constellation: class 5 with kind
// 2 (Bayer), 3 (Flamsteed) or 4 (variable-star name).
int BrowseKindTakesConstellation(int objectClass, int kind);
// The pattern the listing uses: "*" for an empty or null text, else the text.
const char *BrowsePatternOf(const char *text);
