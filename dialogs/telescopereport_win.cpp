// The telescope report of the telescope dialogs: the report window (summary,
// observer and site, the sortable eyepiece table) and its print/copy dialog,
// which prints the report on the chosen printer or copies it as text.
#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "astro/location.h"
#include "core/dlgsettings.h"
#include "core/hostcallbacks.h"
#include "core/resstrings.h"
#include "dialogs/instrumentdialogs_win.h"
#include "dialogs/sitedialogs_win.h"
#include "dialogs/telescopereport_win.h"
#include "instruments/optics.h"
#include "instruments/standardscopes.h"
#include "instruments/instrumentchoice.h"
#include "instruments/camerareport.h"
#include "instruments/telescopereport.h"
#include "resources/helptopics.h"
#include "resources/instrumentids.h"
#include "resources/printids.h"
#include "sites/observerstore.h"
#include "ui/printing_win.h"
#include "ui/winutil_win.h"

namespace {

// The report's working data while a report window is open.
struct ReportData {
    InstrumentDialogState *state = nullptr;
    ObserverRecord observer{};
    LocationRecord site{};
    std::vector<EyepieceReportRow> rows;
    bool cameras = false;  // professional variant with cameras: the camera table
    std::vector<CameraReportRow> cameraRows;
    std::vector<int> cameraOrder;
    int sortKey = kReportDefaultSortKey;
    HBRUSH brush = nullptr;
    ReportConditions Conditions() const { return {&observer, &site}; }
};
ReportData *g_report = nullptr;

// The printer choice of the process: none until the user or the default
// printer fills it, then kept for the rest of the process.
PrintSetup g_printSetup = {nullptr, nullptr};

// Widths of the eyepiece table's columns, in average character widths.
const int kColumnChars[5] = {24, 11, 11, 8, 11};
const char *const kColumnHeads[5] = {"Eyepiece", "Magnification", "Field of View", "Exit Pupil", "Limiting Mag"};

const int kCameraColumnChars[5] = {16, 13, 14, 13, 9};
const char *const kCameraHeads[5] = {"Camera", "Focal State", "Lens", "Field of View", "Resolution"};

const double kRadiansToArcminutes = 60.0 * 180.0 / 3.14159265358979323846;

void ShowObserver(HWND dialog) {
    const ObserverRecord &o = g_report->observer;
    SetDlgItemTextA(dialog, IDC_REPORT_OBSERVER, o.name);
    double level = o.experience * 4.0;
    const char *name = GetExperienceName(static_cast<int>(level < 0 ? std::ceil(level - 0.5) : std::floor(level + 0.5)));
    char text[128];
    std::snprintf(text, sizeof text, "%s, %3.1lfmm pupils", name ? name : "", o.pupilDiameter);
    SetDlgItemTextA(dialog, IDC_REPORT_OBSERVER_INFO, text);
}

void ShowSite(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_REPORT_SITE, g_report->site.name);
    char text[64];
    std::snprintf(text, sizeof text, "Naked Eye Limiting Magnitude: %3.1lf", g_report->site.nakedEyeLimit);
    SetDlgItemTextA(dialog, IDC_REPORT_SITE_LIMIT, text);
}

void ShowSummary(HWND dialog) {
    const InstrumentRecord &t = g_report->state->record;
    char caption[64];
    std::snprintf(caption, sizeof caption, "%s Report", t.name);
    SetWindowTextA(dialog, caption);
    std::string text = BuildReportSummary(t, g_report->Conditions(), UseProVariant());
    SetDlgItemTextA(dialog, IDC_REPORT_SUMMARY, text.c_str());
    FitEditScrollBar(GetDlgItem(dialog, IDC_REPORT_SUMMARY));
}

void FillEyepieceRows(HWND dialog) {
    g_report->rows = BuildEyepieceReportRows(g_report->state->record.optics[0], g_report->Conditions());
    SortEyepieceReportRows(&g_report->rows, g_report->sortKey);
    HWND list = GetDlgItem(dialog, IDC_REPORT_EYEPIECE_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < g_report->rows.size(); ++i)
        SendMessageA(list, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
    InvalidateRect(list, nullptr, TRUE);
}

void FillCameraRows(HWND dialog) {
    g_report->cameraOrder = SortCameraReportRows(g_report->cameraRows, g_report->sortKey);
    HWND list = GetDlgItem(dialog, IDC_REPORT_CAMERA_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < g_report->cameraOrder.size(); ++i)
        SendMessageA(list, LB_ADDSTRING, 0, static_cast<LPARAM>(i));
    InvalidateRect(list, nullptr, TRUE);
}

int TextWidth(HDC dc, const char *text) {
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    return size.cx;
}

int AverageCharWidth(HWND window) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 6;
}

// The width a header item needs to show its title whole: the title's extent
// in the header's font and the header's text margin (three edge widths) on
// either side.
int HeaderTitleWidth(HWND header, const char *title) {
    HDC dc = GetDC(header);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(header, WM_GETFONT, 0, 0)));
    int width = TextWidth(dc, title);
    SelectObject(dc, old);
    ReleaseDC(header, dc);
    return width + 6 * GetSystemMetrics(SM_CXEDGE);
}

// The header's five columns, each as wide as its characters or its title,
// whichever is wider; `spreads` of them (from the first) share the spare
// width in whole characters.
void InsertHeaderItems(HWND dialog, int headerId, int listId, const int *chars, const char *const *heads,
                       int spreads) {
    HWND header = GetDlgItem(dialog, headerId);
    int charWidth = AverageCharWidth(GetDlgItem(dialog, listId));
    RECT client;
    GetClientRect(header, &client);
    int widths[5];
    int sum = 0;
    for (int i = 0; i < 5; ++i) {
        widths[i] = chars[i] * charWidth;
        int title = HeaderTitleWidth(header, heads[i]);
        if (title > widths[i]) widths[i] = title;
        sum += widths[i];
    }
    int spare = client.right - sum;
    int share = spare > 0 ? spare / spreads / charWidth * charWidth : 0;
    for (int i = 0; i < 5; ++i) {
        HDITEMA item;
        std::memset(&item, 0, sizeof item);
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.fmt = HDF_CENTER | HDF_STRING;
        item.cxy = widths[i] + (i < spreads ? share : 0);
        item.pszText = const_cast<char *>(heads[i]);
        SendMessageA(header, HDM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
}

void DrawEyepieceRow(HWND dialog, const DRAWITEMSTRUCT *d) {
    if (d->itemAction == ODA_FOCUS || d->itemID >= g_report->rows.size()) return;
    const EyepieceReportRow &r = g_report->rows[d->itemID];
    RECT rc = d->rcItem;
    FillRect(d->hDC, &rc, GetSysColorBrush(COLOR_WINDOW));
    SetTextColor(d->hDC, GetSysColor(COLOR_WINDOWTEXT));
    SetBkMode(d->hDC, TRANSPARENT);
    HWND header = GetDlgItem(dialog, IDC_REPORT_EYEPIECE_HEAD);
    int charWidth = AverageCharWidth(d->hwndItem);
    char values[5][64];
    std::snprintf(values[0], sizeof values[0], "%s", r.label);
    std::snprintf(values[1], sizeof values[1], "%.0lf", r.magnification);
    std::snprintf(values[2], sizeof values[2], "%s", FormatAngleWithUnit(r.trueField * kRadiansToArcminutes, 1));
    std::snprintf(values[3], sizeof values[3], "%4.1lf", r.exitPupil);
    std::snprintf(values[4], sizeof values[4], "%4.1lf", r.limitingMagnitude);
    int left = rc.left + 4;
    for (int i = 0; i < 5; ++i) {
        RECT item = {0, 0, 0, 0};
        if (!SendMessageA(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item))) break;
        int width = item.right - item.left;
        int x = left + item.left;
        if (i == 1 || i == 3 || i == 4) x += (width - 4 * charWidth) / 2;
        if (i == 2) x += (width - 5 * charWidth) / 2;
        if (x >= rc.right) continue;
        TextOutA(d->hDC, x, rc.top + 1, values[i], static_cast<int>(std::strlen(values[i])));
    }
}

void DrawCameraRow(HWND dialog, const DRAWITEMSTRUCT *d) {
    if (d->itemAction == ODA_FOCUS || d->itemID >= g_report->cameraOrder.size()) return;
    size_t at = static_cast<size_t>(g_report->cameraOrder[d->itemID]);
    if (at >= g_report->cameraRows.size()) return;
    const CameraReportRow &r = g_report->cameraRows[at];
    RECT rc = d->rcItem;
    FillRect(d->hDC, &rc, GetSysColorBrush(COLOR_WINDOW));
    SetTextColor(d->hDC, GetSysColor(COLOR_WINDOWTEXT));
    SetBkMode(d->hDC, TRANSPARENT);
    HWND header = GetDlgItem(dialog, IDC_REPORT_CAMERA_HEAD);
    const char *values[5] = {r.camera, r.focalState, r.lens, r.field, r.resolution};
    for (int i = 0; i < 5; ++i) {
        RECT item = {0, 0, 0, 0};
        if (!SendMessageA(header, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item))) break;
        int x = rc.left + 4 + item.left;
        if (x >= rc.right) continue;
        TextOutA(d->hDC, x, rc.top + 1, values[i], static_cast<int>(std::strlen(values[i])));
    }
}

// ---- printing and copying -------------------------------------------------------------

#pragma pack(push, 1)
// The print settings kept under key 47: the margins and the font.
struct PrintSettingsBlob {
    PrintMargins margins;
    LOGFONTA font;
};
#pragma pack(pop)
static_assert(sizeof(PrintSettingsBlob) == 156, "the print settings are 156 bytes");
const int kPrintSettingsKey = kDdsReportPrint;

void DefaultPrintSettings(PrintSettingsBlob *blob) {
    std::memset(blob, 0, sizeof *blob);
    for (PrintMarginSide &s : blob->margins.side) s.asked = 0.5;
    MakeLogFont(&blob->font, "Arial", 16, 32, 400, 0);
}

// Prints at x and moves on by the layout's line steps.
void PrintAt(HDC dc, int x, int y, const char *text) {
    TextOutA(dc, x, y, text, static_cast<int>(std::strlen(text)));
}

void PrintTelescopeReport(HWND window, PrintSettingsBlob *blob) {
    if (!g_report) return;
    const InstrumentRecord &t = g_report->state->record;
    char docName[31];
    std::snprintf(docName, sizeof docName, "%s", t.name);  // cut to 30 characters
    PageLayout layout;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    HDC dc = BeginPrintJob(instance, window, &g_printSetup, &layout, docName);
    if (!dc) return;
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    char line[256];
    HFONT previous = nullptr, font;
    // Title.
    font = SelectPrinterScaledFont(dc, &layout, &blob->font, 1.25, 700, &previous);
    LayoutPageFromMargins(dc, &layout, &blob->margins, font);
    std::snprintf(line, sizeof line, "%s Report", t.name);
    PrintAt(dc, layout.pageWidth / 2 - static_cast<int>(std::strlen(line)) * layout.charWidth / 2, layout.y, line);
    AdvancePrintLines(dc, &layout, 1);
    DeleteSelectedObject(dc, previous);
    // Summary.
    const OpticsBlock &m = t.optics[0];
    font = SelectPrinterScaledFont(dc, &layout, &blob->font, 1.0, 400, &previous);
    LayoutPageFromFont(dc, &layout, font);
    AdvancePrintLines(dc, &layout, 1);
    double rec[3];
    RecommendedMagnifications(m.aperture, rec);
    std::vector<std::string> lines;
    auto add = [&](const char *format, auto... args) {
        std::snprintf(line, sizeof line, format, args...);
        lines.push_back(line);
    };
    add("Telescope type: %s", TelescopeTypeName(m.type));
    add("Aperture: %s", FormatLength(m.aperture, t.displayUnit));
    add("Focal length: %s", FormatLength(m.focalLength, t.displayUnit));
    add("Focal ratio: %4.1lf", m.focalRatio);
    add("Mounting: %s", t.mounting ? "Equatorial" : "Alt/Azimuth");
    add("Optical condition: %s", GetConditionName(m.condition));
    add("Dawes resolution limit: %s", FormatAngleWithUnit(m.dawesLimit, 2));
    add("Typical practical magnification limit: %.0lf", m.magnificationLimit);
    add("Recommended eyepiece magnifications: %.0lf, %.0lf, %.0lf plus 2X Barlow", rec[0], rec[1], rec[2]);
    add("Typical visual limiting magnitude: %4.1lf", m.limitingMagnitude);
    for (size_t i = 0; i < lines.size(); ++i) {
        PrintAt(dc, layout.left, layout.y, lines[i].c_str());
        AdvancePrintLines(dc, &layout, i + 1 == lines.size() ? 2 : 1);
    }
    DeleteSelectedObject(dc, previous);
    // Finder.
    double fm, fa, ff, fl;
    if (ReportFinderValues(t, g_report->Conditions(), &fm, &fa, &ff, &fl)) {
        font = SelectPrinterScaledFont(dc, &layout, &blob->font, 1.0, 700, &previous);
        LayoutPageFromFont(dc, &layout, font);
        std::snprintf(line, sizeof line, "%.0lf x %.0lf mm Finder:", fm, fa);
        PrintAt(dc, layout.left, layout.y, line);
        AdvancePrintLines(dc, &layout, 1);
        DeleteSelectedObject(dc, previous);
        font = SelectPrinterScaledFont(dc, &layout, &blob->font, 1.0, 400, &previous);
        LayoutPageFromFont(dc, &layout, font);
        std::snprintf(line, sizeof line, "Field of View: %s", FormatAngleWithUnit(ff * kRadiansToArcminutes / 60.0, 0));
        PrintAt(dc, layout.left, layout.y, line);
        AdvancePrintLines(dc, &layout, 1);
        std::snprintf(line, sizeof line, "Limiting magnitude: %4.1lf", fl);
        PrintAt(dc, layout.left, layout.y, line);
        AdvancePrintLines(dc, &layout, 2);
        DeleteSelectedObject(dc, previous);
    }
    // Camera table (professional variant with camera rows).
    if (g_report->cameras && !g_report->cameraRows.empty()) {
        static const char *const camTemplates[5] = {"CameraXXXXXXXXXXXXXXXXXX", "Focal StateXXXXXXXXXX",
                                                    "LensXXXXXXXXXXX", "Field of ViewXXXXXXX", "ResolutionXXXXX"};
        font = SelectPrinterScaledFont(dc, &layout, &blob->font, 1.0, 700, &previous);
        LayoutPageFromFont(dc, &layout, font);
        int camX[5];
        int cx = layout.left;
        for (int i = 0; i < 5; ++i) {
            camX[i] = cx;
            cx += TextWidth(dc, camTemplates[i]);
            PrintAt(dc, camX[i], layout.y, kCameraHeads[i]);
        }
        AdvancePrintLines(dc, &layout, 1);
        DeleteSelectedObject(dc, previous);
        font = SelectPrinterScaledFont(dc, &layout, &blob->font, 0.9, 400, &previous);
        LayoutPageFromFont(dc, &layout, font);
        for (int at : g_report->cameraOrder) {
            if (at < 0 || static_cast<size_t>(at) >= g_report->cameraRows.size()) continue;
            const CameraReportRow &r = g_report->cameraRows[static_cast<size_t>(at)];
            const char *values[5] = {r.camera, r.focalState, r.lens, r.field, r.resolution};
            for (int i = 0; i < 5; ++i) PrintAt(dc, camX[i], layout.y, values[i]);
            AdvancePrintLines(dc, &layout, 1);
        }
        AdvancePrintLines(dc, &layout, 1);
        DeleteSelectedObject(dc, previous);
    }
    // Eyepiece table: column widths from the template texts in the heading font.
    static const char *const templates[5] = {"EyepieceXXXXXXXXXXXXXXXXXX", "MagnificationXXX",
                                             "True Field of ViewXXX", "Exit PupilXX", "Limiting Mag."};
    static const char *const heads[5] = {"Eyepiece", "Magnification", "True Field of View", "Exit Pupil",
                                         "Limiting Mag."};
    font = SelectPrinterScaledFont(dc, &layout, &blob->font, 1.0, 700, &previous);
    LayoutPageFromFont(dc, &layout, font);
    int columnX[5], headWidth[5];
    int x = layout.left;
    for (int i = 0; i < 5; ++i) {
        columnX[i] = x;
        headWidth[i] = TextWidth(dc, heads[i]);
        x += TextWidth(dc, templates[i]);
        PrintAt(dc, columnX[i], layout.y, heads[i]);
    }
    AdvancePrintLines(dc, &layout, 1);
    DeleteSelectedObject(dc, previous);
    font = SelectPrinterScaledFont(dc, &layout, &blob->font, 0.9, 400, &previous);
    LayoutPageFromFont(dc, &layout, font);
    for (const EyepieceReportRow &r : g_report->rows) {
        char values[5][64];
        std::snprintf(values[0], sizeof values[0], "%s", r.label);
        std::snprintf(values[1], sizeof values[1], "%.0lf", r.magnification);
        std::snprintf(values[2], sizeof values[2], "%s", FormatAngleWithUnit(r.trueField * kRadiansToArcminutes, 1));
        std::snprintf(values[3], sizeof values[3], "%.1lf", r.exitPupil);
        std::snprintf(values[4], sizeof values[4], "%4.1lf", r.limitingMagnitude);
        PrintAt(dc, columnX[0], layout.y, values[0]);
        for (int i = 1; i < 5; ++i) PrintAt(dc, columnX[i] + headWidth[i] * 2 / 5, layout.y, values[i]);
        AdvancePrintLines(dc, &layout, 1);
    }
    AdvancePrintLines(dc, &layout, 1);
    PrintAt(dc, layout.left, layout.y, "Visual limiting magnitudes computed for:");
    AdvancePrintLines(dc, &layout, 1);
    PrintAt(dc, layout.left, layout.y, ReportSiteLine(g_report->Conditions()).c_str());
    AdvancePrintLines(dc, &layout, 1);
    PrintAt(dc, layout.left, layout.y, ReportObserverLine(g_report->Conditions()).c_str());
    DeleteSelectedObject(dc, previous);
    EndPrintJob(dc);
}

void CopyTelescopeReport(HWND window) {
    if (!g_report) return;
    EnableWindow(window, FALSE);
    bool cameras = g_report->cameras && !g_report->cameraRows.empty();
    std::string text = BuildReportCopyText(g_report->state->record, g_report->rows, g_report->Conditions(),
                                           cameras ? &g_report->cameraRows : nullptr,
                                           cameras ? &g_report->cameraOrder : nullptr);
    int copied = CopyTextToClipboard(GetParent(window), text.c_str());
    EnableWindow(window, TRUE);
    InstrumentMessage(window, copied ? "Copy to Clipboard Complete" : "The report could not be put on the clipboard.",
                      MB_OK);
}

INT_PTR CALLBACK PrintInstDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    static PrintSettingsBlob blob;
    HandlePrintOptionsCommand(dialog, message, wParam, lParam, &g_printSetup, &blob.font);
    switch (message) {
    case WM_INITDIALOG:
        if (!GetDialogSetting(&blob, sizeof blob, kPrintSettingsKey)) DefaultPrintSettings(&blob);
        blob.font.lfFaceName[LF_FACESIZE - 1] = '\0';
        ShowPrintOptions(dialog, &g_printSetup, &blob.font, &blob.margins, 0);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (ApplyPrintMargins(dialog, &g_printSetup, &blob.margins)) {
                PrintTelescopeReport(dialog, &blob);
                EndDialog(dialog, 1);
            }
            return TRUE;
        case IDC_PRINT_COPY:
            CopyTelescopeReport(dialog);
            EndDialog(dialog, 1);
            return TRUE;
        }
        return HandleDialogEndButton(dialog, LOWORD(wParam), IDH_PRINT_REPORT);
    case WM_DESTROY:
        // Kept whatever the ending, Cancel too.
        PutDialogSetting(&blob, sizeof blob, kPrintSettingsKey);
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK ReportDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        g_report = reinterpret_cast<ReportData *>(lParam);
        if (const ObserverRecord *o = GetDefaultObserver(0)) g_report->observer = *o;
        // The host's default is not always a stored observer; the report
        // names only observers the user can find in the observer list.
        UseStoredObserver(&g_report->observer);
        if (const LocationRecord *l = GetDefaultLocation(0)) g_report->site = *l;
        g_report->brush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
        g_report->sortKey = kReportDefaultSortKey;
        ShowObserver(dialog);
        ShowSite(dialog);
        ShowSummary(dialog);
        InsertHeaderItems(dialog, IDC_REPORT_EYEPIECE_HEAD, IDC_REPORT_EYEPIECE_LIST, kColumnChars, kColumnHeads, 1);
        FillEyepieceRows(dialog);
        g_report->cameras = UseProVariant() && g_report->state->record.optics[0].cameraCount > 0 &&
                            GetDlgItem(dialog, IDC_REPORT_CAMERA_LIST) != nullptr;
        if (g_report->cameras) {
            g_report->cameraRows = BuildCameraReportRows(g_report->state->record.optics[0]);
            InsertHeaderItems(dialog, IDC_REPORT_CAMERA_HEAD, IDC_REPORT_CAMERA_LIST, kCameraColumnChars,
                              kCameraHeads, 3);
            FillCameraRows(dialog);
        }
        // Focus on Close, so the summary is not shown all selected.
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    case WM_MEASUREITEM: {
        auto *m = reinterpret_cast<MEASUREITEMSTRUCT *>(lParam);
        HWND list = GetDlgItem(dialog, IDC_REPORT_EYEPIECE_LIST);
        HDC dc = GetDC(list ? list : dialog);
        TEXTMETRICA tm;
        GetTextMetricsA(dc, &tm);
        ReleaseDC(list ? list : dialog, dc);
        m->itemHeight = static_cast<UINT>(tm.tmHeight > 0 ? tm.tmHeight : 13);
        return TRUE;
    }
    case WM_DRAWITEM:
        if (wParam == IDC_REPORT_EYEPIECE_LIST && g_report) {
            DrawEyepieceRow(dialog, reinterpret_cast<DRAWITEMSTRUCT *>(lParam));
            return TRUE;
        }
        if (wParam == IDC_REPORT_CAMERA_LIST && g_report) {
            DrawCameraRow(dialog, reinterpret_cast<DRAWITEMSTRUCT *>(lParam));
            return TRUE;
        }
        break;
    case WM_NOTIFY: {
        auto *h = reinterpret_cast<NMHEADERA *>(lParam);
        bool eyepieces = h->hdr.idFrom == IDC_REPORT_EYEPIECE_HEAD;
        if ((!eyepieces && h->hdr.idFrom != IDC_REPORT_CAMERA_HEAD) || !g_report) break;
        if (h->hdr.code == HDN_ITEMCLICKA || h->hdr.code == HDN_ITEMCLICKW) {
            // One key serves both tables; only the clicked table is sorted again.
            g_report->sortKey = NextReportSortKey(g_report->sortKey, h->iItem);
            if (eyepieces) FillEyepieceRows(dialog);
            else if (g_report->cameras) FillCameraRows(dialog);
        } else if (h->hdr.code == HDN_ENDTRACKA || h->hdr.code == HDN_ENDTRACKW ||
                   h->hdr.code == HDN_ITEMCHANGEDA || h->hdr.code == HDN_ITEMCHANGEDW) {
            InvalidateRect(GetDlgItem(dialog, eyepieces ? IDC_REPORT_EYEPIECE_LIST : IDC_REPORT_CAMERA_LIST), nullptr,
                           TRUE);
        }
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_REPORT_OBSERVER:
            if (PickObserver(dialog, g_report->state->instance, &g_report->observer) >= 0) {
                ShowObserver(dialog);
                ShowSummary(dialog);
                FillEyepieceRows(dialog);
            }
            return TRUE;
        case IDC_REPORT_SITE:
            if (PickLocation(dialog, g_report->state->instance, &g_report->site) != 0) {
                ShowSite(dialog);
                ShowSummary(dialog);
                FillEyepieceRows(dialog);
                if (g_report->cameras) FillCameraRows(dialog);
            }
            return TRUE;
        case IDC_REPORT_PRINT:
            RunInstrumentDialog(g_report->state->instance, "PRINTINSTDLG", dialog, PrintInstDlgProc);
            return TRUE;
        }
        return HandleDialogEndButton(dialog, LOWORD(wParam), IDH_TELESCOPE_REPORT);
    case WM_DESTROY:
        if (g_report && g_report->brush) DeleteObject(g_report->brush);
        if (g_report) g_report->brush = nullptr;
        break;
    }
    return FALSE;
}

}  // namespace

int ShowTelescopeReport(HWND owner, InstrumentDialogState *state) {
    if (!state) return 0;
    const OpticsBlock &m = state->record.optics[0];
    if (m.eyepieceCount == 0 && m.cameraCount <= 0) {
        InstrumentMessage(owner,
                          UseProVariant()
                              ? "You must assign at least one camera or eyepiece before you can generate a report"
                              : "You must assign at least one eyepiece before you can generate a report",
                          MB_OK);
        return 0;
    }
    auto data = std::make_unique<ReportData>();
    data->state = state;
    ReportData *outer = g_report;
    const char *templateName = UseProVariant() && m.cameraCount > 0 ? "ReportCamDlg" : "ReportEPDlg";
    INT_PTR r = RunInstrumentDialog(state->instance, templateName, owner, ReportDlgProc,
                                    reinterpret_cast<LPARAM>(data.get()));
    g_report = outer;
    return static_cast<int>(r);
}
