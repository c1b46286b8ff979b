// Printing on Win32: the printer choice and print options panel, and one
// print job at a time with its cancel box, layout, line advance and wrap.
#include "ui/printing_win.h"

#include <commdlg.h>
#include <winspool.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "resources/printids.h"
#include "ui/winutil_win.h"

// ---- printer choice ---------------------------------------------------------------

int ClearPrintSetup(PrintSetup *setup) {
    if (!setup) return 0;
    setup->devMode = nullptr;
    setup->devNames = nullptr;
    return 1;
}

int SetPrintSetup(PrintSetup *setup, HGLOBAL devMode, HGLOBAL devNames) {
    if (!setup) return 0;
    setup->devMode = devMode;
    setup->devNames = devNames;
    return 1;
}

namespace {

// A locked global block, unlocked when it goes.
template <class T>
class Locked {
public:
    explicit Locked(HGLOBAL block) : block_(block), p_(block ? static_cast<T *>(GlobalLock(block)) : nullptr) {}
    ~Locked() { if (p_) GlobalUnlock(block_); }
    Locked(const Locked &) = delete;
    Locked &operator=(const Locked &) = delete;
    T *get() const { return p_; }
    T *operator->() const { return p_; }
private:
    HGLOBAL block_;
    T *p_;
};

std::string DevNamesText(const DEVNAMES *names, WORD offset) {
    return std::string(reinterpret_cast<const char *>(names) + offset);
}

}  // namespace

HDC CreatePrinterDCFromSetup(PrintSetup *setup) {
    if (!setup) return nullptr;
    if (setup->devNames) {
        Locked<DEVNAMES> names(setup->devNames);
        if (!names.get()) return nullptr;
        std::string driver = DevNamesText(names.get(), names->wDriverOffset);
        std::string device = DevNamesText(names.get(), names->wDeviceOffset);
        std::string output = DevNamesText(names.get(), names->wOutputOffset);
        Locked<DEVMODEA> mode(setup->devMode);
        return CreateDCA(driver.c_str(), device.c_str(), output.empty() ? nullptr : output.c_str(),
                         mode.get());
    }
    if (setup->devMode) {
        GlobalFree(setup->devMode);
        setup->devMode = nullptr;
    }
    PRINTDLGA pd;
    std::memset(&pd, 0, sizeof pd);
    pd.lStructSize = sizeof pd;  // 66 on i686 (commdlg.h packs it)
    pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!PrintDlgA(&pd)) return nullptr;
    setup->devMode = pd.hDevMode;
    setup->devNames = pd.hDevNames;
    return pd.hDC;
}

int GetDefaultPrinterName(char *buffer, int size) {
    if (!buffer || size <= 0) return ERROR_INSUFFICIENT_BUFFER;
    DWORD version = GetVersion();
    bool nt = (version & 0x80000000u) == 0;
    int major = static_cast<int>(LOBYTE(LOWORD(version)));
    if (!nt) {
        // The 9x family: the default printer by enumeration at level 5.
        DWORD needed = 0, count = 0;
        if (!EnumPrintersA(PRINTER_ENUM_DEFAULT, nullptr, 5, nullptr, 0, &needed, &count)) {
            DWORD e = GetLastError();
            if (e != ERROR_INSUFFICIENT_BUFFER) return static_cast<int>(e);
        }
        std::vector<BYTE> block(needed ? needed : 1);
        if (!EnumPrintersA(PRINTER_ENUM_DEFAULT, nullptr, 5, block.data(), needed, &needed, &count))
            return static_cast<int>(GetLastError());
        if (count == 0) { buffer[0] = '\0'; return 0; }
        const char *name = reinterpret_cast<PRINTER_INFO_5A *>(block.data())->pPrinterName;
        if (!name) name = "";
        if (std::strlen(name) > static_cast<size_t>(size - 1)) return ERROR_INSUFFICIENT_BUFFER;
        std::snprintf(buffer, static_cast<size_t>(size), "%s", name);
        return 0;
    }
    if (major < 5) {
        std::vector<char> profile(static_cast<size_t>(size) + 1, '\0');
        GetProfileStringA("windows", "device", "", profile.data(), static_cast<DWORD>(size));
        return ParseProfilePrinterName(profile.data(), buffer, static_cast<size_t>(size));
    }
    DWORD length = static_cast<DWORD>(size);
    if (GetDefaultPrinterA(buffer, &length)) return 0;
    DWORD e = GetLastError();
    return e ? static_cast<int>(e) : ERROR_FILE_NOT_FOUND;
}

HDC CreateDefaultPrinterDC() {
    char name[256];
    if (GetDefaultPrinterName(name, sizeof name) != 0 || !name[0]) return nullptr;
    return CreateDCA("WINSPOOL", name, nullptr, nullptr);
}

int GetPrintSetupPrinterName(const PrintSetup *setup, char *buffer, int size) {
    if (!buffer || size <= 0) return ERROR_INSUFFICIENT_BUFFER;
    buffer[0] = '\0';
    if (setup && setup->devNames) {
        Locked<DEVNAMES> names(setup->devNames);
        if (names.get()) {
            std::snprintf(buffer, static_cast<size_t>(size), "%s",
                          DevNamesText(names.get(), names->wDeviceOffset).c_str());
            return 0;
        }
    }
    int r = GetDefaultPrinterName(buffer, size);
    if (r != 0) buffer[0] = '\0';
    return r;
}

int GetPrintOrientation(const PrintSetup *setup) {
    if (!setup || !setup->devMode) return DMORIENT_PORTRAIT;
    Locked<DEVMODEA> mode(setup->devMode);
    return mode.get() ? mode->dmOrientation : DMORIENT_PORTRAIT;
}

int SetPrintOrientation(PrintSetup *setup, int orientation) {
    if (!setup || !setup->devMode) return 0;
    Locked<DEVMODEA> mode(setup->devMode);
    if (!mode.get()) return 0;
    mode->dmOrientation = static_cast<short>(orientation);
    mode->dmFields |= DM_ORIENTATION;
    return 1;
}

int SetPrinterDefaultOrientation(const char *printerName, int orientation) {
    if (!printerName) return 0;
    PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (!OpenPrinterA(const_cast<char *>(printerName), &printer, &access)) return 0;
    int result = 0;
    DWORD needed = 0;
    GetPrinterA(printer, 2, nullptr, 0, &needed);
    if (needed) {
        std::vector<BYTE> info(needed, 0);
        std::vector<BYTE> mode;
        if (GetPrinterA(printer, 2, info.data(), needed, &needed)) {
            auto *pi = reinterpret_cast<PRINTER_INFO_2A *>(info.data());
            bool ok = true;
            if (!pi->pDevMode) {
                LONG size = DocumentPropertiesA(nullptr, printer, const_cast<char *>(printerName),
                                                nullptr, nullptr, 0);
                ok = size > 0;
                if (ok) {
                    mode.assign(static_cast<size_t>(size), 0);
                    pi->pDevMode = reinterpret_cast<DEVMODEA *>(mode.data());
                    ok = DocumentPropertiesA(nullptr, printer, const_cast<char *>(printerName),
                                             pi->pDevMode, nullptr, DM_OUT_BUFFER) == IDOK;
                }
            }
            if (ok && (pi->pDevMode->dmFields & DM_ORIENTATION)) {
                pi->pDevMode->dmFields = DM_ORIENTATION;
                pi->pDevMode->dmOrientation = static_cast<short>(orientation);
                pi->pSecurityDescriptor = nullptr;
                if (DocumentPropertiesA(nullptr, printer, const_cast<char *>(printerName), pi->pDevMode,
                                        pi->pDevMode, DM_IN_BUFFER | DM_OUT_BUFFER) == IDOK &&
                    SetPrinterA(printer, 2, info.data(), 0)) {
                    DWORD_PTR ignored = 0;
                    SendMessageTimeoutA(HWND_BROADCAST, WM_DEVMODECHANGE, 0,
                                        reinterpret_cast<LPARAM>(printerName), SMTO_NORMAL, 1000,
                                        &ignored);
                    result = 1;
                }
            }
        }
    }
    ClosePrinter(printer);
    return result;
}

int GetPrinterMinimumMargins(PrintSetup *setup, double *left, double *right, double *top,
                             double *bottom) {
    HDC dc = CreatePrinterDCFromSetup(setup);
    if (!dc) return 0;
    int result = 0;
    int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    if (setup->devMode && dpiX > 0 && dpiY > 0) {
        // From pixel counts: the page's physical size, the printable area's
        // offset and size. Exact, where millimetre sizes are whole numbers.
        int physW = GetDeviceCaps(dc, PHYSICALWIDTH), physH = GetDeviceCaps(dc, PHYSICALHEIGHT);
        int offX = GetDeviceCaps(dc, PHYSICALOFFSETX), offY = GetDeviceCaps(dc, PHYSICALOFFSETY);
        int resX = GetDeviceCaps(dc, HORZRES), resY = GetDeviceCaps(dc, VERTRES);
        auto inches = [](int pixels, int dpi) { return pixels > 0 ? static_cast<double>(pixels) / dpi : 0.0; };
        if (left) *left = inches(offX, dpiX);
        if (right) *right = inches(physW - offX - resX, dpiX);
        if (top) *top = inches(offY, dpiY);
        if (bottom) *bottom = inches(physH - offY - resY, dpiY);
        result = 1;
    }
    DeleteDC(dc);
    return result;
}

int RunPrintSetupDialog(HWND owner, PrintSetup *setup) {
    if (!setup) return 0;
    PRINTDLGA pd;
    std::memset(&pd, 0, sizeof pd);
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = owner;
    pd.hDevMode = setup->devMode;
    pd.hDevNames = setup->devNames;
    pd.Flags = PD_PRINTSETUP;
    if (!PrintDlgA(&pd)) return 0;
    setup->devMode = pd.hDevMode;
    setup->devNames = pd.hDevNames;
    return 1;
}

// ---- the print options panel -------------------------------------------------------

namespace {

void ShowPrinterLine(HWND dialog, const PrintSetup *setup, int orientation) {
    char name[256];
    GetPrintSetupPrinterName(setup, name, sizeof name);
    char line[300];
    std::snprintf(line, sizeof line, orientation == DMORIENT_LANDSCAPE ? "%s (landscape)" : "%s (portrait)",
                  name);
    SetDlgItemTextA(dialog, IDC_PRINT_PRINTER_TEXT, line);
}

void ShowFontLine(HWND dialog, const LOGFONTA *font) {
    char line[128];
    std::snprintf(line, sizeof line, "%s %dpt %s", font->lfFaceName,
                  FontHeightToPoints(dialog, font->lfHeight), FormatFontWeightName(font));
    SetDlgItemTextA(dialog, IDC_PRINT_FONT_TEXT, line);
}

void ShowMargins(HWND dialog, const PrintMargins *margins) {
    for (int i = 0; i < kPrintSides; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, "%.2lf", margins->side[i].asked);
        SetDlgItemTextA(dialog, IDC_PRINT_LEFT - i, text);
    }
}

}  // namespace

void ShowPrintOptions(HWND dialog, PrintSetup *setup, const LOGFONTA *font, const PrintMargins *margins,
                      int wantedOrientation) {
    // A context made and dropped at once: a setup without a choice then
    // holds the default printer's.
    HDC dc = CreatePrinterDCFromSetup(setup);
    if (dc) DeleteDC(dc);
    int orientation = GetPrintOrientation(setup);
    if (wantedOrientation != 0 && wantedOrientation != orientation &&
        SetPrintOrientation(setup, wantedOrientation))
        orientation = wantedOrientation;
    ShowPrinterLine(dialog, setup, orientation);
    if (margins) ShowMargins(dialog, margins);
    if (font) ShowFontLine(dialog, font);
}

int ApplyPrintMargins(HWND dialog, PrintSetup *setup, PrintMargins *margins) {
    if (!margins) return 0;
    for (int i = 0; i < kPrintSides; ++i) {
        char text[32] = "";
        GetDlgItemTextA(dialog, IDC_PRINT_LEFT - i, text, sizeof text);
        ParsePrintMargin(text, &margins->side[i].asked);
    }
    double minimum[kPrintSides];
    if (!GetPrinterMinimumMargins(setup, &minimum[0], &minimum[1], &minimum[2], &minimum[3])) return 0;
    if (!PrintMarginsAcceptable(*margins, minimum)) {
        if (MessageBoxA(dialog, "One or more of the margins are too small.\r\nReset to minimums?",
                        "Print Object Info Message", MB_YESNO) != IDYES)
            return 0;
        ResetPrintMarginsToMinimums(margins, minimum);
        ShowMargins(dialog, margins);
        return 2;
    }
    StorePrintMinimums(margins, minimum);
    return 1;
}

int HandlePrintOptionsCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM, PrintSetup *setup,
                              LOGFONTA *font) {
    if (message != WM_COMMAND) return 0;
    int id = LOWORD(wParam);
    if (id == IDC_PRINT_CHANGE_PRINTER) {
        if (RunPrintSetupDialog(dialog, setup)) ShowPrinterLine(dialog, setup, GetPrintOrientation(setup));
    } else if (id == IDC_PRINT_CHANGE_FONT && font) {
        CHOOSEFONTA cf;
        std::memset(&cf, 0, sizeof cf);
        cf.lStructSize = sizeof cf;  // 60 on i686
        cf.hwndOwner = dialog;
        cf.lpLogFont = font;
        cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_TTONLY;
        if (ChooseFontA(&cf)) ShowFontLine(dialog, font);
    }
    return 0;
}

// ---- print jobs ----------------------------------------------------------------------

namespace {

// The one job of the process.
struct PrintJobState {
    bool running = false;
    bool documentStarted = false;
    bool aborted = false;
    HWND abortDialog = nullptr;
    HWND owner = nullptr;
};
PrintJobState g_job;

}  // namespace

INT_PTR CALLBACK PrintDlgBoxProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND) {
        // Only the mark: the owner comes back with EndPrintJob, once the
        // report has stopped making print calls.
        g_job.aborted = true;
        DestroyWindow(dialog);
        if (g_job.abortDialog == dialog) g_job.abortDialog = nullptr;
        return TRUE;
    }
    return FALSE;
}

BOOL CALLBACK PrintAbortProc(HDC, int) {
    MSG msg;
    while (!g_job.aborted && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (g_job.abortDialog && IsDialogMessageA(g_job.abortDialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return g_job.aborted ? FALSE : TRUE;
}

int IsPrintAborted() { return g_job.aborted ? 1 : 0; }

void ShowPrintError(int result) {
    if (result > 0 || g_job.aborted) return;
    const char *text = SpoolerErrorText(result);
    char system[256] = "";
    if (!text) {
        DWORD e = GetLastError();
        if (!e || !FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, e,
                                  0, system, sizeof system, nullptr))
            std::snprintf(system, sizeof system, "%s", SpoolerErrorText(-1));
        text = system;
    }
    MessageBoxA(g_job.owner, text, "Print Error", MB_OK);
}

HDC BeginPrintJob(HINSTANCE instance, HWND owner, PrintSetup *setup, PageLayout *layout,
                  const char *documentName) {
    if (g_job.running || !layout) return nullptr;
    g_job.running = true;
    HDC dc = CreatePrinterDCFromSetup(setup);
    if (!dc) {
        g_job.running = false;
        return nullptr;
    }
    g_job.documentStarted = false;
    g_job.aborted = false;
    g_job.owner = owner;
    // The owner stays disabled while the abort procedure dispatches messages
    // inside the print calls, so the report under print cannot be closed.
    if (owner) EnableWindow(owner, FALSE);
    g_job.abortDialog = CreateDialogParamA(instance, "PrintDlgBox", owner, PrintDlgBoxProc, 0);
    if (g_job.abortDialog)
        SetDlgItemTextA(g_job.abortDialog, IDC_PRINT_JOB_NAME, documentName ? documentName : "");
    SetAbortProc(dc, PrintAbortProc);
    std::memset(layout, 0, sizeof *layout);
    layout->pageWidth = GetDeviceCaps(dc, HORZRES);
    layout->pageHeight = GetDeviceCaps(dc, VERTRES);
    DOCINFOA info;
    std::memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.lpszDocName = documentName ? documentName : "";
    int r = StartDocA(dc, &info);
    if (r > 0) {
        g_job.documentStarted = true;
        r = StartPage(dc);
        if (r > 0) return dc;
    }
    ShowPrintError(r);
    EndPrintJob(dc);
    return nullptr;
}

int EndPrintJob(HDC dc) {
    int ok = 0;
    if (dc && g_job.documentStarted) {
        if (g_job.aborted) {
            AbortDoc(dc);  // the partial document is dropped, never submitted
        } else {
            int page = EndPage(dc);
            int doc = EndDoc(dc);
            ok = page > 0 && doc > 0;
        }
    }
    if (g_job.abortDialog) DestroyWindow(g_job.abortDialog);
    g_job.abortDialog = nullptr;
    if (dc) DeleteDC(dc);
    if (g_job.owner) EnableWindow(g_job.owner, TRUE);
    g_job.owner = nullptr;
    g_job.documentStarted = false;
    g_job.running = false;
    return ok;
}

// ---- page layout and output ----------------------------------------------------------

void LayoutPageFromMargins(HDC dc, PageLayout *layout, PrintMargins *margins, HFONT font) {
    TEXTMETRICA tm;
    std::memset(&tm, 0, sizeof tm);
    GetTextMetricsA(dc, &tm);
    PrintDeviceMetrics m{GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY),
                         static_cast<int>(tm.tmHeight + tm.tmExternalLeading),
                         static_cast<int>(tm.tmAveCharWidth)};
    LayoutPageFromMetrics(layout, margins, m, font);
}

void LayoutPageFromFont(HDC dc, PageLayout *layout, HFONT font) {
    TEXTMETRICA tm;
    std::memset(&tm, 0, sizeof tm);
    GetTextMetricsA(dc, &tm);
    LayoutPageFromFontMetrics(layout, static_cast<int>(tm.tmHeight + tm.tmExternalLeading),
                              static_cast<int>(tm.tmAveCharWidth), font);
}

HFONT SelectPrinterScaledFont(HDC dc, const PageLayout *layout, const LOGFONTA *font, double factor,
                              int weight, HFONT *previous) {
    if (!font || !layout) return nullptr;
    LOGFONTA lf = *font;
    lf.lfWeight = weight;
    lf.lfHeight = ScaledPrinterFontHeight(layout->pageWidth, factor, font->lfHeight);
    HFONT made = CreateFontIndirectA(&lf);
    if (!made) return nullptr;
    HGDIOBJ old = SelectObject(dc, made);
    if (previous) *previous = static_cast<HFONT>(old);
    return made;
}

namespace {

int NextPage(HDC dc, PageLayout *layout) {
    EndPage(dc);
    int r = StartPage(dc);
    if (r > 0) {
        if (layout->font) SelectObject(dc, static_cast<HFONT>(layout->font));
    } else {
        ShowPrintError(r);
    }
    return r;
}

}  // namespace

int EnsureRoomForLines(HDC dc, PageLayout *layout, int lines) {
    if (!EnsureLayoutRoom(layout, lines)) return 0;
    return NextPage(dc, layout);
}

int AdvancePrintLines(HDC dc, PageLayout *layout, int lines) {
    if (!AdvanceLayoutLines(layout, lines)) return 0;
    return NextPage(dc, layout);
}

int PrintTextLine(HDC dc, PageLayout *layout, const char *text) {
    if (text) TextOutA(dc, layout->x, layout->y, text, static_cast<int>(std::strlen(text)));
    return AdvancePrintLines(dc, layout, 1);
}

int PrintWrappedText(HDC dc, PageLayout *layout, const char *text) {
    if (!text || !layout) return 1;
    auto measure = [dc](const std::string &s) {
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, s.c_str(), static_cast<int>(s.size()), &size);
        return static_cast<int32_t>(size.cx);
    };
    for (const std::string &line : WrapTextLines(text, layout->right - layout->left, measure))
        PrintTextLine(dc, layout, line.c_str());
    return 1;
}
