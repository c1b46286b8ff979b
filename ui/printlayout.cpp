// Page layout of printed reports in device units: margins, the page's
// printable box, line steps and page breaks, printer font heights, word wrap,
// the margin check and the spooler's error texts.
#include "ui/printlayout.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

void ComputeEffectiveMargins(PrintMargins *margins) {
    if (!margins) return;
    for (PrintMarginSide &s : margins->side) {
        double e = s.asked - s.minimum;
        s.effective = (e > 0.0 && std::isfinite(e)) ? e : 0.0;
    }
}

int32_t RoundDeviceUnits(double value) {
    if (!std::isfinite(value)) return 0;
    double r = value < 0 ? -std::floor(-value + 0.5) : std::floor(value + 0.5);
    if (r > INT32_MAX) return INT32_MAX;
    if (r < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(r);
}

static void UpdateCounts(PageLayout *layout) {
    int32_t w = layout->right - layout->left, h = layout->bottom - layout->top;
    layout->charsPerLine = layout->charWidth > 0 ? w / layout->charWidth : 0;
    layout->linesPerPage = layout->lineHeight > 0 ? h / layout->lineHeight : 0;
}

void LayoutPageFromMetrics(PageLayout *layout, PrintMargins *margins,
                           const PrintDeviceMetrics &m, void *font) {
    if (!layout || !margins) return;
    ComputeEffectiveMargins(margins);
    layout->lineHeight = m.lineHeight;
    layout->charWidth = m.charWidth;
    // Margins in pixels, each kept inside the page so that a huge margin
    // leaves an empty printable box instead of an overflowing one.
    auto px = [](double inches, int dpi, int32_t limit) {
        double v = inches * dpi;
        if (v > limit) v = limit;
        return RoundDeviceUnits(v);
    };
    const PrintMarginSide *s = margins->side;
    layout->left = px(s[kPrintLeft].effective, m.dpiX, layout->pageWidth);
    layout->right = layout->pageWidth - px(s[kPrintRight].effective, m.dpiX, layout->pageWidth);
    layout->top = px(s[kPrintTop].effective, m.dpiY, layout->pageHeight);
    layout->bottom = layout->pageHeight - px(s[kPrintBottom].effective, m.dpiY, layout->pageHeight);
    if (layout->right < layout->left) layout->right = layout->left;
    if (layout->bottom < layout->top) layout->bottom = layout->top;
    layout->gap = RoundDeviceUnits(m.dpiX * 0.25);
    layout->x = layout->left;
    layout->y = layout->top;
    layout->pageNumber = 1;
    layout->font = font;
    UpdateCounts(layout);
}

void LayoutPageFromFontMetrics(PageLayout *layout, int lineHeight, int charWidth, void *font) {
    if (!layout) return;
    layout->lineHeight = lineHeight;
    layout->charWidth = charWidth;
    layout->pageNumber = 1;
    layout->font = font;
    UpdateCounts(layout);
}

int32_t PrintLineStep(int32_t lineHeight, int lines) {
    int64_t step = static_cast<int64_t>(lines) * 8 * lineHeight / 7;
    if (step > INT32_MAX) return INT32_MAX;
    if (step < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(step);
}

static void BreakPage(PageLayout *layout) {
    layout->pageNumber++;
    layout->y = layout->top;
    layout->x = layout->left;
}

int AdvanceLayoutLines(PageLayout *layout, int lines) {
    if (!layout) return 0;
    int64_t y = static_cast<int64_t>(layout->y) + PrintLineStep(layout->lineHeight, lines);
    layout->x = layout->left;
    if (y + layout->lineHeight > layout->bottom) {
        BreakPage(layout);
        return 1;
    }
    layout->y = static_cast<int32_t>(y);
    return 0;
}

int EnsureLayoutRoom(PageLayout *layout, int lines) {
    if (!layout) return 0;
    int64_t end = static_cast<int64_t>(layout->y) + PrintLineStep(layout->lineHeight, lines) +
                  layout->lineHeight;
    if (end > layout->bottom) {
        BreakPage(layout);
        return 1;
    }
    return 0;
}

int32_t ScaledPrinterFontHeight(int32_t pageWidth, double factor, int32_t fontHeight) {
    // Floating point throughout: pageWidth / 1024 in integers would give -52
    // instead of -65 for a 5100-pixel page.
    return RoundDeviceUnits(pageWidth / 1024.0 * factor * fontHeight);
}

std::vector<std::string> WrapTextLines(const std::string &text, int32_t width,
                                       const std::function<int32_t(const std::string &)> &measure) {
    std::vector<std::string> lines;
    std::string paragraph;
    auto fits = [&](const std::string &s) { return s.size() <= kWrapLineLimit && measure(s) <= width; };
    auto flushParagraph = [&]() {
        std::string line;
        size_t i = 0;
        bool any = false;
        while (i < paragraph.size()) {
            if (paragraph[i] == ' ') { ++i; continue; }
            size_t j = paragraph.find(' ', i);
            if (j == std::string::npos) j = paragraph.size();
            std::string word = paragraph.substr(i, j - i);
            i = j;
            std::string candidate = line.empty() ? word : line + " " + word;
            if (fits(candidate)) { line = candidate; continue; }
            if (!line.empty()) { lines.push_back(line); any = true; }
            // A word wider than the page stands alone; one beyond the line
            // limit is cut into pieces of the limit.
            while (word.size() > kWrapLineLimit) {
                lines.push_back(word.substr(0, kWrapLineLimit));
                any = true;
                word.erase(0, kWrapLineLimit);
            }
            line = word;
        }
        if (!line.empty() || !any) lines.push_back(line);
        paragraph.clear();
    };
    for (size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        if (c == '\r') continue;
        if (c == '\n') { flushParagraph(); continue; }
        paragraph += (c == '\t') ? ' ' : c;  // a tab would print as a box
    }
    if (!paragraph.empty() || lines.empty()) flushParagraph();
    return lines;
}

int ParsePrintMargin(const char *text, double *value) {
    double v = kNoMarginValue;
    int ok = 0;
    if (text) {
        errno = 0;
        char *end = nullptr;
        double d = std::strtod(text, &end);
        if (end != text && errno == 0 && std::isfinite(d)) {
            while (*end == ' ' || *end == '\t') ++end;
            if (*end == '\0') { v = d; ok = 1; }
        }
    }
    if (value) *value = v;
    return ok;
}

static bool BadMargin(double asked) {
    return !std::isfinite(asked) || asked >= kNoMarginValue || asked < 0.0;
}

int PrintMarginsAcceptable(const PrintMargins &margins, const double minimum[kPrintSides]) {
    for (int i = 0; i < kPrintSides; ++i) {
        double a = margins.side[i].asked;
        if (BadMargin(a) || minimum[i] - 0.005 > a) return 0;
    }
    return 1;
}

void StorePrintMinimums(PrintMargins *margins, const double minimum[kPrintSides]) {
    for (int i = 0; i < kPrintSides; ++i) margins->side[i].minimum = minimum[i];
}

void ResetPrintMarginsToMinimums(PrintMargins *margins, const double minimum[kPrintSides]) {
    for (int i = 0; i < kPrintSides; ++i) {
        double &a = margins->side[i].asked;
        if (BadMargin(a) || a < minimum[i]) a = minimum[i];
    }
    StorePrintMinimums(margins, minimum);
}

int ParseProfilePrinterName(const char *profile, char *buffer, size_t size) {
    if (!buffer || size == 0) return 122;
    const char *p = profile ? profile : "";
    size_t len = std::strlen(p);
    if (len >= size - 1 && size > 1) {
        // The profile read filled the buffer: the entry may have been cut.
        std::snprintf(buffer, size, "%s", p);
        return 122;
    }
    const char *comma = std::strchr(p, ',');
    size_t n = comma ? static_cast<size_t>(comma - p) : len;
    if (n >= size) n = size - 1;
    std::memcpy(buffer, p, n);
    buffer[n] = '\0';
    return 0;
}

const char *SpoolerErrorText(int result) {
    static const char *const texts[] = {"General Error", "Cancelled from program", "Cancelled by user",
                                        "Out of disk space", "Out of memory"};
    if (result > -1 || result < -5) return nullptr;
    return texts[~result];
}
