// Page layout of printed reports in device units, without a device: margins
// in inches against the printer's unprintable area, the layout of one page,
// line steps and page breaks, the printer font height, word wrapping against
// a measure of the text, the margin check of the print options panel, the
// printer name of the old profile entry and the spooler's error texts.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Sides of a PrintMargins record, in its order.
enum PrintSide { kPrintLeft = 0, kPrintRight = 1, kPrintTop = 2, kPrintBottom = 3, kPrintSides = 4 };

#pragma pack(push, 1)
// One side: the margin the user asked for, the printer's minimum (its
// unprintable margin) and the effective margin from the printable area's edge,
// all in inches.
struct PrintMarginSide {
    double asked;
    double minimum;
    double effective;
};
// Left, right, top, bottom; stored with the report's print settings.
struct PrintMargins {
    PrintMarginSide side[kPrintSides];
};
#pragma pack(pop)
static_assert(sizeof(PrintMargins) == 96, "PrintMargins is 96 bytes");

// The page state of a job in device units (printer pixels). Not stored.
struct PageLayout {
    int32_t pageWidth;
    int32_t pageHeight;
    int32_t left;
    int32_t right;
    int32_t top;
    int32_t bottom;
    int32_t gap;  // a quarter inch
    int32_t pageNumber;
    int32_t lineHeight;
    int32_t charWidth;
    int32_t charsPerLine;
    int32_t linesPerPage;
    int32_t x;
    int32_t y;
    void *font;  // the font to select again after a page break (an HFONT)
};

// What a printer device context tells the layout.
struct PrintDeviceMetrics {
    int dpiX, dpiY;           // LOGPIXELSX, LOGPIXELSY
    int lineHeight;           // tmHeight + tmExternalLeading
    int charWidth;            // tmAveCharWidth
};

// The no-value of the margin parser: a side holding it was not understood.
const double kNoMarginValue = 2147483647.0;

// effective = asked - minimum, at least 0, for each side.
void ComputeEffectiveMargins(PrintMargins *margins);

// Rounds half away from zero to an int, saturating at the int range.
int32_t RoundDeviceUnits(double value);

// Lays out a page whose width and height are already in the layout: the
// effective margins (computed here) times the device's pixels per inch give
// left, right, top and bottom; gap a quarter inch; x = left, y = top, page 1;
// the font's metrics give the counts. A margin that would leave no printable
// width or height is narrowed to the page (left <= right, top <= bottom).
void LayoutPageFromMetrics(PageLayout *layout, PrintMargins *margins,
                           const PrintDeviceMetrics &metrics, void *font);
// A new font's metrics: line height, character width, page number 1, the
// counts again (0 for a font of no height or width) and the font.
void LayoutPageFromFontMetrics(PageLayout *layout, int lineHeight, int charWidth, void *font);

// The step of n lines: n x 8 x line height / 7, truncated.
int32_t PrintLineStep(int32_t lineHeight, int lines);

// Moves down n lines; when the next line would then pass the bottom, the
// position goes to the top of the next page (page number + 1). x = left.
// 1 when a page break happened (the caller ends and starts the page), else 0.
int AdvanceLayoutLines(PageLayout *layout, int lines);
// When n more lines would not fit, breaks the page as above (x = left) and
// returns 1; else nothing moves and 0.
int EnsureLayoutRoom(PageLayout *layout, int lines);

// Height of a screen font on the printer: pageWidth / 1024 x factor x
// height, rounded half away from zero (5100 wide, factor 1, -13 gives -65).
int32_t ScaledPrinterFontHeight(int32_t pageWidth, double factor, int32_t fontHeight);

// Word wrap of a text to a width: carriage returns are dropped, a line feed
// ends a line, lines break at blanks so that no line measures more than the
// width; a word wider than the width stands on a line of its own and is split
// where even it alone does not fit (at most kWrapLineLimit characters a line).
// measure gives the printed width of a text.
const size_t kWrapLineLimit = 510;
std::vector<std::string> WrapTextLines(const std::string &text, int32_t width,
                                       const std::function<int32_t(const std::string &)> &measure);

// A margin field's text in inches ("0.5", " 1 "): 1 and the value, or 0 and
// kNoMarginValue for text that is not one number.
int ParsePrintMargin(const char *text, double *value);

// The margin check of the print options panel, on the asked margins already
// parsed (kNoMarginValue or a negative value: bad input) and the printer's
// minimums. 1: every side at least its minimum (within 0.005 inch); 0: the
// user must be asked whether to reset.
int PrintMarginsAcceptable(const PrintMargins &margins, const double minimum[kPrintSides]);
// After the user agreed: every side that is bad or below its minimum gets the
// minimum. The minimums are stored in the record in both cases (here and for
// an accepted check), so that the effective margins use this printer's.
void ResetPrintMarginsToMinimums(PrintMargins *margins, const double minimum[kPrintSides]);
void StorePrintMinimums(PrintMargins *margins, const double minimum[kPrintSides]);

// The printer name of the profile entry "device" of section "windows", which
// reads "name,driver,port": the text before the first comma, into a buffer of
// size bytes. 0, or 122 (ERROR_INSUFFICIENT_BUFFER) when the profile text filled
// size - 1 characters (it may have been cut).
int ParseProfilePrinterName(const char *profile, char *buffer, size_t size);

// Texts of the spooler's error results -1 .. -5 (SP_ERROR .. SP_OUTOFMEMORY):
// "General Error", "Cancelled from program", "Cancelled by user", "Out of disk
// space", "Out of memory"; null for any other value.
const char *SpoolerErrorText(int result);
