// Page layout of printed reports: margins, page box, line steps and page
// breaks, printer font heights, word wrap, the margin check, the profile's
// printer name and the spooler error texts.
#include "ui/printlayout.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

namespace {

PrintMargins Margins(double asked, double minimum) {
    PrintMargins m{};
    for (PrintMarginSide &s : m.side) { s.asked = asked; s.minimum = minimum; }
    return m;
}

TEST(PrintLayout, RecordLayout) {
    // left, right, top, bottom, each asked/minimum/effective: 8-byte doubles.
    EXPECT_EQ(offsetof(PrintMargins, side[1].asked), 24u);
    EXPECT_EQ(offsetof(PrintMargins, side[3].effective), 88u);
}

TEST(PrintLayout, EffectiveMarginsAndPageBox) {
    PrintMargins m = Margins(1.0, 0.25);
    m.side[kPrintBottom].asked = 0.1;  // below the printer's minimum: 0, never negative
    PageLayout p{};
    p.pageWidth = 5100;
    p.pageHeight = 6600;
    int font = 0;
    LayoutPageFromMetrics(&p, &m, PrintDeviceMetrics{600, 600, 70, 30}, &font);
    EXPECT_DOUBLE_EQ(m.side[kPrintLeft].effective, 0.75);
    EXPECT_DOUBLE_EQ(m.side[kPrintBottom].effective, 0.0);
    EXPECT_EQ(p.left, 450);
    EXPECT_EQ(p.right, 5100 - 450);
    EXPECT_EQ(p.top, 450);
    EXPECT_EQ(p.bottom, 6600);
    EXPECT_EQ(p.gap, 150);
    EXPECT_EQ(p.x, 450);
    EXPECT_EQ(p.y, 450);
    EXPECT_EQ(p.pageNumber, 1);
    EXPECT_EQ(p.charsPerLine, (4650 - 450) / 30);
    EXPECT_EQ(p.linesPerPage, (6600 - 450) / 70);
    EXPECT_EQ(p.font, &font);
}

TEST(PrintLayout, AbsurdMarginsAndEmptyFontsStayInsideThePage) {
    // The parser's no-value as a margin and a font of no size: no overflow, no
    // division by zero, an empty printable box.
    PrintMargins m = Margins(kNoMarginValue, 0.0);
    PageLayout p{};
    p.pageWidth = 5100;
    p.pageHeight = 6600;
    LayoutPageFromMetrics(&p, &m, PrintDeviceMetrics{600, 600, 0, 0}, nullptr);
    EXPECT_EQ(p.left, 5100);
    EXPECT_EQ(p.right, 5100);
    EXPECT_EQ(p.top, 6600);
    EXPECT_EQ(p.bottom, 6600);
    EXPECT_EQ(p.charsPerLine, 0);
    EXPECT_EQ(p.linesPerPage, 0);
    LayoutPageFromFontMetrics(&p, 50, 20, nullptr);
    EXPECT_EQ(p.charsPerLine, 0);
}

TEST(PrintLayout, LineStepsAndPageBreaks) {
    EXPECT_EQ(PrintLineStep(70, 1), 80);
    EXPECT_EQ(PrintLineStep(70, 3), 240);
    EXPECT_EQ(PrintLineStep(50, 1), 57);  // 400 / 7 truncated

    PageLayout p{};
    p.left = 300; p.top = 400; p.bottom = 6000; p.lineHeight = 70;
    p.pageNumber = 1; p.y = 5900; p.x = 999;
    EXPECT_EQ(AdvanceLayoutLines(&p, 1), 1);  // 5980 + 70 > 6000
    EXPECT_EQ(p.pageNumber, 2);
    EXPECT_EQ(p.y, 400);
    EXPECT_EQ(p.x, 300);

    p.y = 5800;
    EXPECT_EQ(AdvanceLayoutLines(&p, 1), 0);  // 5880 + 70 = 5950
    EXPECT_EQ(p.y, 5880);
    EXPECT_EQ(p.pageNumber, 2);

    // Room for lines: the position does not move unless the page breaks.
    p.y = 5700; p.x = 777;
    EXPECT_EQ(EnsureLayoutRoom(&p, 2), 0);  // 5700 + 160 + 70 = 5930
    EXPECT_EQ(p.y, 5700);
    EXPECT_EQ(p.x, 777);
    EXPECT_EQ(EnsureLayoutRoom(&p, 3), 1);  // 5700 + 240 + 70 > 6000
    EXPECT_EQ(p.y, 400);
    EXPECT_EQ(p.x, 300);
    EXPECT_EQ(p.pageNumber, 3);
}

TEST(PrintLayout, PrinterFontHeights) {
    EXPECT_EQ(ScaledPrinterFontHeight(5100, 1.0, -13), -65);  // not -52
    EXPECT_EQ(ScaledPrinterFontHeight(5100, 1.25, -16), -100);  // -99.6
    EXPECT_EQ(ScaledPrinterFontHeight(2550, 0.9, -16), -36);    // -35.86
    EXPECT_EQ(ScaledPrinterFontHeight(1024, 1.0, 10), 10);
}

// A fixed-width measure: 10 units a character.
int32_t Measure(const std::string &s) { return static_cast<int32_t>(s.size()) * 10; }

TEST(PrintLayout, WordWrap) {
    struct Case { const char *text; int32_t width; std::vector<std::string> lines; } cases[] = {
        {"one two three", 1000, {"one two three"}},
        {"first\r\nsecond", 1000, {"first", "second"}},
        {"aaa bbb ccc ddd", 70, {"aaa bbb", "ccc ddd"}},
        // The paragraph's last word is wrapped too, not left running past the margin.
        {"aaa bbb ccc", 70, {"aaa bbb", "ccc"}},
        {"aa averyveryverylongword bb", 100, {"aa", "averyveryverylongword", "bb"}},
        {"para one\n\npara two", 1000, {"para one", "", "para two"}},
        {"tab\there", 1000, {"tab here"}},
        {"", 1000, {""}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(WrapTextLines(c.text, c.width, Measure), c.lines) << c.text;
    }
}

TEST(PrintLayout, WordWrapKeepsLinesBounded) {
    // A blank-free text far beyond one line and many short words on a very
    // wide page: no line beyond the limit, nothing lost.
    std::string word(1300, 'x');
    auto lines = WrapTextLines(word, 1 << 30, Measure);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), kWrapLineLimit);
    EXPECT_EQ(lines[2].size(), 1300 - 2 * kWrapLineLimit);
    std::string many;
    for (int i = 0; i < 400; ++i) many += "word ";
    size_t total = 0;
    for (const std::string &l : WrapTextLines(many, 1 << 30, Measure)) {
        EXPECT_LE(l.size(), kWrapLineLimit);
        total += l.size() + 1;
    }
    EXPECT_EQ(total, many.size());
    std::string single(kWrapLineLimit, 'y');
    EXPECT_EQ(WrapTextLines(single, 100, Measure), std::vector<std::string>{single});
}

TEST(PrintLayout, MarginCheck) {
    const double minimum[4] = {0.25, 0.25, 0.25, 0.25};
    struct Case { const char *text; int parsed; int acceptable; } cases[] = {
        {"0.248", 1, 1},  // within 0.005 of the minimum
        {"0.5", 1, 1},
        {" 1 ", 1, 1},
        {"0.2", 1, 0},
        {"abc", 0, 0},
        {"", 0, 0},
        {"-1", 1, 0},
        {"0.5in", 0, 0},
    };
    for (const Case &c : cases) {
        PrintMargins m = Margins(0.5, 0.0);
        double v = 0;
        EXPECT_EQ(ParsePrintMargin(c.text, &v), c.parsed) << c.text;
        if (!c.parsed) { EXPECT_EQ(v, kNoMarginValue) << c.text; }
        m.side[kPrintTop].asked = v;
        EXPECT_EQ(PrintMarginsAcceptable(m, minimum), c.acceptable) << c.text;
        if (!c.acceptable) {
            // Yes to the question: bad and small sides take the minimum, the
            // others stay, the minimums are kept for the effective margins.
            ResetPrintMarginsToMinimums(&m, minimum);
            EXPECT_DOUBLE_EQ(m.side[kPrintTop].asked, 0.25) << c.text;
            EXPECT_DOUBLE_EQ(m.side[kPrintLeft].asked, 0.5) << c.text;
            EXPECT_DOUBLE_EQ(m.side[kPrintRight].minimum, 0.25) << c.text;
            EXPECT_EQ(PrintMarginsAcceptable(m, minimum), 1) << c.text;
        }
    }
}

TEST(PrintLayout, ProfilePrinterName) {
    char buffer[32];
    EXPECT_EQ(ParseProfilePrinterName("PDF,winspool,CUPS:PDF", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "PDF");
    EXPECT_EQ(ParseProfilePrinterName("", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    char small[8];
    EXPECT_EQ(ParseProfilePrinterName("Printer,drv,port", small, sizeof small), 122);
    EXPECT_EQ(std::strlen(small), 7u);
}

TEST(PrintLayout, SpoolerErrors) {
    EXPECT_STREQ(SpoolerErrorText(-1), "General Error");
    EXPECT_STREQ(SpoolerErrorText(-3), "Cancelled by user");
    EXPECT_STREQ(SpoolerErrorText(-5), "Out of memory");
    EXPECT_EQ(SpoolerErrorText(0), nullptr);
    EXPECT_EQ(SpoolerErrorText(-6), nullptr);
    EXPECT_EQ(SpoolerErrorText(5), nullptr);
}

}  // namespace
