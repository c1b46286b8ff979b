// Printing under Wine: the printer choice, the print options panel and print
// jobs, against a printer that cannot be opened and against the real PDF
// printer that tools/start_cups_pdf.sh sets up (CUPS with cups-pdf, listed
// by Wine's printer driver). The PDF printer's pages land as files in
// GLEANER_PDF_DIR; without that printer those tests skip and say why.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "resources/printids.h"
#include "testutil/dialogscript_win.h"
#include "ui/printing_win.h"
#include "ui/winutil_win.h"

namespace {

const char kPdfPrinter[] = "GleanerPDF";

// A DEVNAMES block naming a printer of the "winspool" driver.
HGLOBAL MakeDevNames(const char *device) {
    const char driver[] = "winspool";
    size_t dl = sizeof driver, nl = std::strlen(device) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVNAMES) + dl + nl + 1);
    auto *names = static_cast<DEVNAMES *>(GlobalLock(block));
    char *base = reinterpret_cast<char *>(names);
    names->wDriverOffset = sizeof(DEVNAMES);
    names->wDeviceOffset = static_cast<WORD>(sizeof(DEVNAMES) + dl);
    names->wOutputOffset = static_cast<WORD>(sizeof(DEVNAMES) + dl + nl);
    std::memcpy(base + names->wDriverOffset, driver, dl);
    std::memcpy(base + names->wDeviceOffset, device, nl);
    GlobalUnlock(block);
    return block;
}

void FreeSetup(PrintSetup *setup) {
    if (setup->devMode) GlobalFree(setup->devMode);
    if (setup->devNames) GlobalFree(setup->devNames);
    ClearPrintSetup(setup);
}

// The PDF printer is there when it is Wine's default printer.
bool HavePdfPrinter(std::string *why) {
    char name[256];
    int r = GetDefaultPrinterName(name, sizeof name);
    if (r != 0 || std::strcmp(name, kPdfPrinter) != 0) {
        *why = "no PDF printer \"GleanerPDF\" as Wine's default printer (default: \"" +
               std::string(r == 0 ? name : "none") + "\"); run tools/start_cups_pdf.sh as root";
        return false;
    }
    return true;
}

// The folder cups-pdf writes to, as a Windows path (Wine's Z: drive).
std::string PdfFolder() {
    const char *dir = std::getenv("GLEANER_PDF_DIR");
    std::string unix = dir && dir[0] ? dir : "/var/spool/gleaner-cups-pdf";
    std::string out = "Z:";
    for (char c : unix) out += c == '/' ? '\\' : c;
    return out;
}

// The whole PDF of a job whose document name begins with prefix, once the
// spooler has written it through its end, or "" after the time limit.
std::string WaitForPdf(const std::string &prefix) {
    std::string found;
    testutil::PumpUntil([&] {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((PdfFolder() + "\\" + prefix + "*.pdf").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return false;
        FindClose(h);
        std::ifstream in(PdfFolder() + "\\" + fd.cFileName, std::ios::binary);
        std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (data.compare(0, 5, "%PDF-") != 0 || data.find("%%EOF", data.size() > 64 ? data.size() - 64 : 0) ==
                                                      std::string::npos)
            return false;
        found = data;
        return true;
    }, 120000);
    return found;
}

// Pages of a PDF: its "/Type /Page" objects (not "/Pages").
int PdfPageCount(const std::string &pdf) {
    int n = 0;
    for (size_t at = pdf.find("/Type"); at != std::string::npos; at = pdf.find("/Type", at + 5)) {
        size_t p = pdf.find_first_not_of(" /", at + 5);
        if (pdf.compare(p, 4, "Page") == 0 && pdf.compare(p, 5, "Pages") != 0) ++n;
    }
    return n;
}

std::string UniqueName(const char *what) {
    char name[64];
    std::snprintf(name, sizeof name, "gleaner-%s-%lu-%lu", what, GetCurrentProcessId(), GetTickCount());
    return name;
}

INT_PTR CALLBACK PanelProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST(PrintSetupWin, UnknownPrinterFailsCleanly) {
    PrintSetup setup;
    ClearPrintSetup(&setup);
    SetPrintSetup(&setup, nullptr, MakeDevNames("No Such Printer 4711"));
    EXPECT_EQ(CreatePrinterDCFromSetup(&setup), nullptr);
    double l = -1, r = -1, t = -1, b = -1;
    EXPECT_EQ(GetPrinterMinimumMargins(&setup, &l, &r, &t, &b), 0);
    EXPECT_EQ(GetPrintOrientation(&setup), DMORIENT_PORTRAIT);
    EXPECT_EQ(SetPrintOrientation(&setup, DMORIENT_LANDSCAPE), 0);  // no DEVMODE
    char name[8];
    EXPECT_EQ(GetPrintSetupPrinterName(&setup, name, sizeof name), 0);
    EXPECT_STREQ(name, "No Such");  // cut to the buffer, not overrun
    PageLayout layout;
    EXPECT_EQ(BeginPrintJob(testutil::ProgramResources(), nullptr, &setup, &layout, "x"), nullptr);
    // The failed start left no job running: a second start is not refused
    // for a job that never was (it fails again for the same printer only).
    EXPECT_EQ(BeginPrintJob(testutil::ProgramResources(), nullptr, &setup, &layout, "x"), nullptr);
    FreeSetup(&setup);
}

TEST(PrintSetupWin, OptionsPanelOnThePdfPrinter) {
    std::string why;
    if (!HavePdfPrinter(&why)) GTEST_SKIP() << why;
    HWND dialog = CreateDialogParamA(testutil::ProgramResources(), "PRINTINSTDLG", nullptr, PanelProc, 0);
    ASSERT_NE(dialog, nullptr);
    PrintSetup setup;
    ClearPrintSetup(&setup);
    PrintMargins margins{};
    for (PrintMarginSide &s : margins.side) s.asked = 0.5;
    LOGFONTA font;
    MakeLogFont(&font, "Arial", 16, 32, 700, 0);
    // An empty setup shown in the panel then holds the default printer, and
    // the wanted landscape is in its DEVMODE.
    ShowPrintOptions(dialog, &setup, &font, &margins, DMORIENT_LANDSCAPE);
    EXPECT_NE(setup.devMode, nullptr);
    EXPECT_NE(setup.devNames, nullptr);
    EXPECT_EQ(GetPrintOrientation(&setup), DMORIENT_LANDSCAPE);
    EXPECT_EQ(testutil::ItemText(dialog, IDC_PRINT_PRINTER_TEXT), "GleanerPDF (landscape)");
    EXPECT_EQ(testutil::ItemText(dialog, IDC_PRINT_LEFT), "0.50");
    EXPECT_EQ(testutil::ItemText(dialog, IDC_PRINT_BOTTOM), "0.50");
    EXPECT_EQ(testutil::ItemText(dialog, IDC_PRINT_FONT_TEXT).rfind("Arial ", 0), 0u);
    EXPECT_NE(testutil::ItemText(dialog, IDC_PRINT_FONT_TEXT).find("Bold"), std::string::npos);

    double minimum[4];
    ASSERT_EQ(GetPrinterMinimumMargins(&setup, &minimum[0], &minimum[1], &minimum[2], &minimum[3]), 1);
    for (double m : minimum) {
        EXPECT_GE(m, 0.0);
        EXPECT_LT(m, 0.5);
    }
    EXPECT_EQ(ApplyPrintMargins(dialog, &setup, &margins), 1);
    EXPECT_DOUBLE_EQ(margins.side[kPrintLeft].minimum, minimum[0]);

    // Letters in a field: the question; Yes puts that side at the printer's
    // minimum (not at the parser's no-value) and shows it.
    testutil::TypeText(dialog, IDC_PRINT_TOP, "abc");
    std::string question;
    int result = -1;
    EXPECT_TRUE(testutil::RunScript({testutil::Answer("Print Object Info Message", IDYES, &question)},
                                    [&] { result = ApplyPrintMargins(dialog, &setup, &margins); }))
        << testutil::LastScriptFailure();
    EXPECT_EQ(result, 2);
    EXPECT_NE(question.find("Reset to minimums?"), std::string::npos) << question;
    char shown[32];
    std::snprintf(shown, sizeof shown, "%.2lf", minimum[2]);
    EXPECT_EQ(testutil::ItemText(dialog, IDC_PRINT_TOP), shown);
    EXPECT_DOUBLE_EQ(margins.side[kPrintTop].asked, minimum[2]);
    EXPECT_DOUBLE_EQ(margins.side[kPrintLeft].asked, 0.5);
    // No keeps the dialog open with nothing accepted.
    testutil::TypeText(dialog, IDC_PRINT_TOP, "-1");
    EXPECT_TRUE(testutil::RunScript({testutil::Answer("Print Object Info Message", IDNO)},
                                    [&] { result = ApplyPrintMargins(dialog, &setup, &margins); }));
    EXPECT_EQ(result, 0);
    DestroyWindow(dialog);
    FreeSetup(&setup);
}

TEST(PrintJobWin, PagesLandAsPdf) {
    std::string why;
    if (!HavePdfPrinter(&why)) GTEST_SKIP() << why;
    PrintSetup setup;
    ClearPrintSetup(&setup);
    PageLayout layout;
    std::string name = UniqueName("job");
    HDC dc = BeginPrintJob(testutil::ProgramResources(), nullptr, &setup, &layout, name.c_str());
    ASSERT_NE(dc, nullptr);
    // One job at a time.
    PageLayout other;
    EXPECT_EQ(BeginPrintJob(testutil::ProgramResources(), nullptr, &setup, &other, "second"), nullptr);
    EXPECT_GT(layout.pageWidth, 0);
    EXPECT_GT(layout.pageHeight, 0);

    PrintMargins margins{};
    for (PrintMarginSide &s : margins.side) s.asked = 1.0;
    LOGFONTA font;
    MakeLogFont(&font, "Arial", -13, 32, 400, 0);
    HFONT previous = nullptr;
    HFONT body = SelectPrinterScaledFont(dc, &layout, &font, 1.0, 400, &previous);
    ASSERT_NE(body, nullptr);
    LayoutPageFromMargins(dc, &layout, &margins, body);
    int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    EXPECT_NEAR(layout.left, (1.0 - margins.side[kPrintLeft].minimum) * dpi, 1.0);
    EXPECT_GT(layout.linesPerPage, 10);
    int lines = layout.linesPerPage;
    std::string paragraph;
    for (int i = 0; i < 60; ++i) paragraph += "wrapped ";
    EXPECT_EQ(PrintWrappedText(dc, &layout, paragraph.c_str()), 1);
    for (int i = 0; i < lines; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "Line %d", i + 1);
        PrintTextLine(dc, &layout, text);
    }
    EXPECT_EQ(layout.pageNumber, 2);
    DeleteSelectedObject(dc, previous);
    EXPECT_EQ(EndPrintJob(dc), 1);
    std::string pdf = WaitForPdf(name);
    ASSERT_FALSE(pdf.empty()) << "no PDF of " << name << " in " << PdfFolder();
    EXPECT_EQ(PdfPageCount(pdf), 2);
    FreeSetup(&setup);
}

TEST(PrintJobWin, CancelAbandonsTheDocument) {
    std::string why;
    if (!HavePdfPrinter(&why)) GTEST_SKIP() << why;
    HWND owner = CreateWindowA("STATIC", "owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                               nullptr);
    PrintSetup setup;
    ClearPrintSetup(&setup);
    PageLayout layout;
    std::string name = UniqueName("cancel");
    HDC dc = BeginPrintJob(testutil::ProgramResources(), owner, &setup, &layout, name.c_str());
    ASSERT_NE(dc, nullptr);
    EXPECT_FALSE(IsWindowEnabled(owner));  // the owner cannot be used while printing
    HWND box = testutil::FindDialog("Printing");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(testutil::ItemText(box, IDC_PRINT_JOB_NAME), name);
    TextOutA(dc, 100, 100, "never printed", 13);
    testutil::Click(box, IDCANCEL);
    EXPECT_TRUE(testutil::PumpUntil([] { return IsPrintAborted() == 1; }));
    EXPECT_FALSE(IsWindowEnabled(owner));  // still printing: the owner waits for the end
    EXPECT_EQ(EndPrintJob(dc), 0);
    EXPECT_TRUE(IsWindowEnabled(owner));
    // The next job starts afresh.
    dc = BeginPrintJob(testutil::ProgramResources(), owner, &setup, &layout, "after cancel");
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(IsPrintAborted(), 0);
    EXPECT_EQ(EndPrintJob(dc), 1);
    DestroyWindow(owner);
    FreeSetup(&setup);
}

}  // namespace
