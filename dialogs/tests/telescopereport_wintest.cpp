// The telescope report under Wine, opened from the telescope editor's
// "Report" button: its rows and summary, the copy to the clipboard, the print
// settings kept under their dialog-settings key, and the report printed on
// the PDF printer that tools/start_cups_pdf.sh sets up (skipped without it).
// Captures go to the build tree's "screenshots" folder.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "core/dlgsettings.h"
#include "core/resstrings.h"
#include "core/userfolder.h"
#include "dialogs/instrumentdialogs_win.h"
#include "instruments/optics.h"
#include "resources/instrumentids.h"
#include "resources/printids.h"
#include "testutil/dialogscript_win.h"
#include "testutil/screenshot_win.h"
#include "testutil/testutil.h"
#include "ui/controls.h"
#include "ui/dib.h"
#include "ui/picturectl_win.h"
#include "ui/printing_win.h"

namespace {

using namespace testutil;

std::unique_ptr<InstrumentRecord> Scope(const char *name, int eyepieces, float barlow) {
    std::unique_ptr<InstrumentRecord> r(new InstrumentRecord);
    std::memset(r.get(), 0, sizeof *r);
    std::snprintf(r->name, sizeof r->name, "%s", name);
    r->kind = kInstrumentTelescope;
    r->opticsCount = 1;
    r->mounting = 1;
    // 8 inch f/6: 1219.2 mm, so the 25 mm eyepiece gives 49x, 98x with the Barlow.
    InitTelescopeOptics(&r->optics[0], "Main Scope", kOpticsReflector, 8.0, 0.0, 6.0, 1, 1, 0.5);
    static const double kFocal[] = {25, 10, 6, 32, 40};
    for (int i = 0; i < eyepieces; ++i) SetEyepieceEntry(&r->optics[0], 0, i, "Plossl", kFocal[i % 5], 52.0);
    r->optics[0].eyepieceCount = (uint8_t)eyepieces;
    r->optics[0].barlowFactor = barlow;
    ComputeOpticsLimits(&r->optics[0]);
    return r;
}

// A digital camera of 1530 x 1020 9 um pixels with two lenses; afocal and
// eyepiece projection offered, no extenders.
void AddCamera(InstrumentRecord *r) {
    OpticsBlock &b = r->optics[0];
    b.extenderIndex = kNoEyepiece;
    b.cameraCount = 1;
    CameraEntry &c = b.cameras[0];
    std::snprintf(c.name, sizeof c.name, "DSLR");
    c.kind = 1;
    c.pixelsAcross = 1530;
    c.pixelsDown = 1020;
    c.pixelWidth = c.pixelHeight = 9.0;
    c.pixelDiagonal = 12.7279;
    c.sensorWidth = 1530 * 0.009;
    c.sensorHeight = 1020 * 0.009;
    c.lensCount = 2;
    for (int l = 0; l < 2; ++l) {
        std::snprintf(c.lenses[l].name, sizeof c.lenses[l].name, "Lens %d", 50 * (l + 1));
        c.lenses[l].focalLength = 50.0 * (l + 1);
        c.lenses[l].focalRatio = 2.0;
    }
    b.afocalOffered = 1;
    b.projectionOffered = 1;
    b.projectionEyepiece.focalLength = 25.0;
    b.projectionDistance = 100.0;
}

std::string ClipboardText() {
    std::string out;
    if (!OpenClipboard(nullptr)) return "<closed>";
    HANDLE h = GetClipboardData(CF_TEXT);
    if (h) {
        const char *p = static_cast<const char *>(GlobalLock(h));
        if (p) out = p;
        GlobalUnlock(h);
    }
    CloseClipboard();
    return out;
}

// "" when every title of the table's header shows whole: its extent in the
// header's font and the header's text margin (three edge widths a side)
// within its item, and every item within the header; else what does not.
std::string HeaderTitlesCutOff(HWND header) {
    std::string out;
    RECT client;
    GetClientRect(header, &client);
    int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    if (count <= 0) return "no columns";
    HDC dc = GetDC(header);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(header, WM_GETFONT, 0, 0)));
    for (int i = 0; i < count; ++i) {
        char title[64] = "";
        HDITEMA item;
        std::memset(&item, 0, sizeof item);
        item.mask = HDI_TEXT;
        item.pszText = title;
        item.cchTextMax = sizeof title;
        SendMessageA(header, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        RECT r = {0, 0, 0, 0};
        SendMessageA(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, title, static_cast<int>(std::strlen(title)), &size);
        int needed = size.cx + 6 * GetSystemMetrics(SM_CXEDGE);
        if (needed > r.right - r.left)
            out += "\"" + std::string(title) + "\" needs " + std::to_string(needed) + " of " +
                   std::to_string(r.right - r.left) + "; ";
        if (r.right > client.right) out += "\"" + std::string(title) + "\" ends past the header; ";
    }
    SelectObject(dc, old);
    ReleaseDC(header, dc);
    return out;
}

#pragma pack(push, 1)
struct StoredPrintSettings {
    double margins[12];  // left, right, top, bottom: asked, minimum, effective
    LOGFONTA font;
};
#pragma pack(pop)

class TelescopeReport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ProgramResources()) << "gleaner.exe (the dialog templates) is not in the build folder";
        static bool registered = false;
        if (!registered) {
            HINSTANCE self = GetModuleHandleA(nullptr);
            INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
            InitCommonControlsEx(&icc);
            RegisterHyperTextClass(self);
            RegisterCShadeClass(self);
            RegisterDibClass(self);
            registered = true;
        }
        SetUserDataFolder(dir.path().c_str());
        // The suite makes dds.bin; here an empty one: the end marker alone.
        ASSERT_TRUE(testutil::WriteFileBytes(dir.file("dds.bin"), std::string(6, '\0')));
    }
    void TearDown() override {
        SetProVariant(0);
        SetUserDataFolder("");
    }
    testutil::TempDir dir;
};

TEST_F(TelescopeReport, ReportButtonOpensTheReportAndCopiesIt) {
    auto r = Scope("Dob", 3, 2.0f);
    auto before = std::make_unique<InstrumentRecord>(*r);
    int rows = -1;
    std::string summary, firstRow, confirmation, shownLeft, shownFont, cutOff = "not read";
    {
        ScriptRun run;
        OnDialog("Edit Telescope", "open the report", [&](HWND d) { Click(d, IDC_SCOPE_REPORT); });
        OnDialog("Dob Report", "read and print/copy", [&](HWND d) {
            rows = static_cast<int>(SendDlgItemMessageA(d, IDC_REPORT_EYEPIECE_LIST, LB_GETCOUNT, 0, 0));
            summary = ItemText(d, IDC_REPORT_SUMMARY);
            cutOff = HeaderTitlesCutOff(GetDlgItem(d, IDC_REPORT_EYEPIECE_HEAD));
            SaveScreenshot(CaptureClientArea(d), "telescope_report");
            Click(d, IDC_REPORT_PRINT);
        });
        OnDialog("Print/Copy Telescope Report", "copy", [&](HWND d) {
            shownLeft = ItemText(d, IDC_PRINT_LEFT);
            shownFont = ItemText(d, IDC_PRINT_FONT_TEXT);
            SaveScreenshot(CaptureClientArea(d), "print_copy_report");
            Click(d, IDC_PRINT_COPY);
        });
        OnDialog("Nightjar Message", "confirmation", [&](HWND d) {
            confirmation = MessageBoxText(d);
            Click(d, IDOK);
        });
        OnDialog("Dob Report", "close", [&](HWND d) { Click(d, IDOK); });
        OnDialog("Edit Telescope", "cancel", [&](HWND d) { Click(d, IDCANCEL); });
        EXPECT_EQ(RunScopeEditDialog(nullptr, ProgramResources(), r.get()), 0);
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_EQ(rows, 6);  // three eyepieces, and each with the Barlow
    EXPECT_EQ(cutOff, "");  // "Magnification", "Field of View", "Exit Pupil", "Limiting Mag" whole
    EXPECT_EQ(summary.rfind("Telescope type: Reflector\r\n", 0), 0u) << summary;
    EXPECT_NE(summary.find("Recommended eyepiece magnifications: 29, 51, 200 plus 2X Barlow"), std::string::npos)
        << summary;
    EXPECT_EQ(shownLeft, "0.50");  // nothing stored yet: the defaults
    EXPECT_EQ(shownFont.rfind("Arial ", 0), 0u) << shownFont;
    EXPECT_EQ(confirmation, "Copy to Clipboard Complete");
    std::string text = ClipboardText();
    EXPECT_EQ(text.rfind("Dob Report\r\n\r\nTelescope type: Reflector\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\r\nEyepiece\tMagnification\tTrue Field of View\tExit Pupil\tLimiting Mag.\r\nPlossl\t49\t"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\r\nPlossl 2.0x\t98\t"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    // The settings shown are kept even though the dialog ended without printing.
    StoredPrintSettings stored;
    static_assert(sizeof stored == 156, "key 47 holds 156 bytes");
    ASSERT_EQ(GetDialogSetting(&stored, sizeof stored, kDdsReportPrint), 1);
    EXPECT_EQ(stored.margins[0], 0.5);
    EXPECT_STREQ(stored.font.lfFaceName, "Arial");
    // Viewing and copying the report changed nothing of the telescope.
    EXPECT_EQ(std::memcmp(before.get(), r.get(), sizeof *r), 0);
}

TEST_F(TelescopeReport, ProfessionalReportHasTheCameraTable) {
    SetProVariant(1);
    auto r = Scope("Imager", 2, 2.0f);
    AddCamera(r.get());
    int cameraRows = -1, eyepieceRows = -1;
    std::string summary, eyepiecesCutOff = "not read", camerasCutOff = "not read";
    {
        ScriptRun run;
        OnDialog("Edit Telescope", "open the report", [&](HWND d) { Click(d, IDC_SCOPE_REPORT); });
        OnDialog("Imager Report", "read and print/copy", [&](HWND d) {
            cameraRows = static_cast<int>(SendDlgItemMessageA(d, IDC_REPORT_CAMERA_LIST, LB_GETCOUNT, 0, 0));
            eyepieceRows = static_cast<int>(SendDlgItemMessageA(d, IDC_REPORT_EYEPIECE_LIST, LB_GETCOUNT, 0, 0));
            summary = ItemText(d, IDC_REPORT_SUMMARY);
            eyepiecesCutOff = HeaderTitlesCutOff(GetDlgItem(d, IDC_REPORT_EYEPIECE_HEAD));
            camerasCutOff = HeaderTitlesCutOff(GetDlgItem(d, IDC_REPORT_CAMERA_HEAD));
            SaveScreenshot(CaptureClientArea(d), "telescope_report_cameras");
            Click(d, IDC_REPORT_PRINT);
        });
        OnDialog("Print/Copy Telescope Report", "copy", [&](HWND d) { Click(d, IDC_PRINT_COPY); });
        OnDialog("Nightjar Message", "confirmation", [&](HWND d) { Click(d, IDOK); });
        OnDialog("Imager Report", "close", [&](HWND d) { Click(d, IDOK); });
        OnDialog("Edit Telescope", "cancel", [&](HWND d) { Click(d, IDCANCEL); });
        RunScopeEditDialog(nullptr, ProgramResources(), r.get());
        EXPECT_EQ(run.Failure(), "");
    }
    // Prime focus, eyepiece projection and a piggyback row per lens; no
    // afocal row without extenders.
    EXPECT_EQ(cameraRows, 4);
    EXPECT_EQ(eyepieceRows, 4);
    EXPECT_EQ(eyepiecesCutOff, "");
    EXPECT_EQ(camerasCutOff, "");
    EXPECT_NE(summary.find("DSLR digital camera: 1530 x 1020 pixels (1x1 bins)"), std::string::npos) << summary;
    std::string text = ClipboardText();
    EXPECT_NE(text.find("\r\n\r\nCamera\tFocal State\tLens\tField of View\tResolution\r\nDSLR\tPrime Focus\t\t"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("DSLR\tPiggyback\tLens 100\t"), std::string::npos) << text;
    EXPECT_EQ(text.find("Afocal"), std::string::npos) << text;
}

TEST_F(TelescopeReport, PrintSettingsKeptAfterCancel) {
    auto r = Scope("Dob", 1, 2.0f);
    {
        ScriptRun run;
        OnDialog("Edit Telescope", "open the report", [&](HWND d) { Click(d, IDC_SCOPE_REPORT); });
        OnDialog("Dob Report", "print/copy", [&](HWND d) { Click(d, IDC_REPORT_PRINT); });
        OnDialog("Print/Copy Telescope Report", "cancel", [&](HWND d) { Click(d, IDCANCEL); });
        OnDialog("Dob Report", "close", [&](HWND d) { Click(d, IDOK); });
        OnDialog("Edit Telescope", "cancel", [&](HWND d) { Click(d, IDCANCEL); });
        RunScopeEditDialog(nullptr, ProgramResources(), r.get());
        EXPECT_EQ(run.Failure(), "");
    }
    StoredPrintSettings stored;
    ASSERT_EQ(GetDialogSetting(&stored, sizeof stored, kDdsReportPrint), 1);
    for (int side = 0; side < 4; ++side) EXPECT_EQ(stored.margins[side * 3], 0.5) << side;
    EXPECT_STREQ(stored.font.lfFaceName, "Arial");
    EXPECT_EQ(stored.font.lfHeight, 16);
}

TEST_F(TelescopeReport, NoEyepiecesGivesTheMessage) {
    auto r = Scope("Bare", 0, 2.0f);
    std::string message;
    {
        ScriptRun run;
        OnDialog("Edit Telescope", "report", [&](HWND d) { Click(d, IDC_SCOPE_REPORT); });
        OnDialog("Nightjar Message", "read", [&](HWND d) {
            message = MessageBoxText(d);
            Click(d, IDOK);
        });
        OnDialog("Edit Telescope", "cancel", [&](HWND d) { Click(d, IDCANCEL); });
        RunScopeEditDialog(nullptr, ProgramResources(), r.get());
        EXPECT_EQ(run.Failure(), "");
    }
    EXPECT_NE(message.find("before you can generate a report"), std::string::npos) << message;
}

// The PDF printer's folder as a Windows path.
std::string PdfFolder() {
    const char *dir = std::getenv("GLEANER_PDF_DIR");
    std::string unix = dir && dir[0] ? dir : "/var/spool/gleaner-cups-pdf";
    std::string out = "Z:";
    for (char c : unix) out += c == '/' ? '\\' : c;
    return out;
}

TEST_F(TelescopeReport, PrintedOnThePdfPrinter) {
    char printer[256];
    if (GetDefaultPrinterName(printer, sizeof printer) != 0 || std::strcmp(printer, "GleanerPDF") != 0)
        GTEST_SKIP() << "no PDF printer \"GleanerPDF\" as Wine's default printer; run tools/start_cups_pdf.sh as root";
    char name[32];
    std::snprintf(name, sizeof name, "Report%lu", GetTickCount());
    SetProVariant(1);
    auto r = Scope(name, 5, 2.0f);
    AddCamera(r.get());
    std::string title = std::string(name) + " Report";
    {
        ScriptRun run;
        OnDialog("Edit Telescope", "open the report", [&](HWND d) { Click(d, IDC_SCOPE_REPORT); });
        OnDialog(title.c_str(), "print/copy", [&](HWND d) { Click(d, IDC_REPORT_PRINT); });
        OnDialog("Print/Copy Telescope Report", "print", [&](HWND d) {
            TypeText(d, IDC_PRINT_LEFT, "1");
            Click(d, IDOK);
        });
        OnDialog(title.c_str(), "close", [&](HWND d) { Click(d, IDOK); });
        OnDialog("Edit Telescope", "cancel", [&](HWND d) { Click(d, IDCANCEL); });
        RunScopeEditDialog(nullptr, ProgramResources(), r.get());
        EXPECT_EQ(run.Failure(), "");
    }
    std::string pdf;
    EXPECT_TRUE(PumpUntil([&] {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((PdfFolder() + "\\" + name + "*.pdf").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return false;
        FindClose(h);
        std::ifstream in(PdfFolder() + "\\" + fd.cFileName, std::ios::binary);
        pdf.assign((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return pdf.size() > 64 && pdf.find("%%EOF", pdf.size() - 64) != std::string::npos;
    }, 120000)) << "no PDF of " << name << " in " << PdfFolder();
    EXPECT_EQ(pdf.compare(0, 5, "%PDF-"), 0);
    StoredPrintSettings stored;
    ASSERT_EQ(GetDialogSetting(&stored, sizeof stored, kDdsReportPrint), 1);
    EXPECT_EQ(stored.margins[0], 1.0);  // the margin typed before printing
}

}  // namespace
