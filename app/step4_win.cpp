// Wizard step 4 (preview, detail view, import and result): the preview pass
// into an owner-drawn list (unrecognised entries on red), the detail view of
// one entry read back from the preview file, the final pass behind Finish and
// the box with the count of entries imported.
#include "app/step4_win.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/entrycompletion.h"
#include "app/formatfile.h"
#include "app/gleaner_win.h"
#include "app/importlist_win.h"
#include "app/importpass.h"
#include "app/logpassmessages.h"
#include "app/preview.h"
#include "app/previewview.h"
#include "resources/wizardids.h"
#include "logstore/loglock.h"

namespace {

// Process-wide values of the step: the entries of the last pass, the entry
// shown in the detail view, the text of the result box, and the import file
// as it was when the preview was made.
int g_entryCount = 0;
std::unique_ptr<PreviewRecord> g_detail;
std::string g_resultText;
ImportFileStamp g_previewedFile;
// The import job of the step shown.
ImportJob g_job;

int RunPassOfFormatKind(HWND step, int preview, int *added) {
    ImportListSink sink = MakeImportListSink(GetDlgItem(step, IDC_STEP4_LIST));
    return g_job.format && g_job.format->kind == kFormatKindTagged
               ? RunXmlImportPass(&sink, g_job, preview, added)
               : RunDelimitedImportPass(&sink, g_job, preview, added);
}

void ShowErrorLine() { MessageBoxA(GetMainWindow(), ImportErrorLine(), "Gleaner Message", MB_ICONERROR); }

COLORREF ColourOf(PreviewColour c) {
    switch (c) {
    case kPreviewRed: return RGB(255, 0, 0);
    case kPreviewWhite: return RGB(255, 255, 255);
    case kPreviewBlack: return RGB(0, 0, 0);
    case kPreviewHighlight: return GetSysColor(COLOR_HIGHLIGHT);
    case kPreviewHighlightText: return GetSysColor(COLOR_HIGHLIGHTTEXT);
    case kPreviewWindow: return GetSysColor(COLOR_WINDOW);
    case kPreviewWindowText: return GetSysColor(COLOR_WINDOWTEXT);
    }
    return GetSysColor(COLOR_WINDOW);
}

void ViewSelected(HWND step) {
    int row = (int)SendDlgItemMessageA(step, IDC_STEP4_LIST, LB_GETCURSEL, 0, 0);
    if (row < 0) return;
    FILE *f = OpenPreviewFile();
    if (!f) return;
    if (!g_detail) g_detail.reset(new PreviewRecord);
    int read = ReadPreviewRecord(f, g_detail.get(), row, g_entryCount);
    std::fclose(f);
    if (read) DialogBoxParamA(GetProgramInstance(), "LogPreviewDlg", step, LogPreviewDlgProc, 0);
}

void Finish(HWND step) {
    HWND main = GetMainWindow();
    // The import reads the file again: when it changed since the preview the
    // user has not seen what would be imported, so the preview is made anew.
    if (ImportFileChangedSince(ImportJobPath(g_job), g_previewedFile)) {
        MessageBoxA(main,
                    "The import file has changed since the preview was made. The preview is made "
                    "again: check it, then click Finish.",
                    "Gleaner Message", MB_ICONWARNING);
        RunPreviewPass(step);
        return;
    }
    // The log is held for the whole pass; a log that cannot be written or is
    // in use is said before anything is imported.
    if (!BeginLogPass()) {
        MessageBoxA(main, LogPassRefusalText(LastLogLockFailure()).c_str(), "Gleaner Message", MB_ICONERROR);
        return;
    }
    HWND box = ShowProcessingBox(main);
    int added = 0;
    int result = RunPassOfFormatKind(step, 0, &added);
    int written = EndLogPass();
    CloseProcessingBox(box);
    if (result < 0) {
        ShowErrorLine();
        return;
    }
    if (!written)
        MessageBoxA(main, kLogPassUnfinishedText, "Gleaner Message", MB_ICONWARNING);
    g_entryCount = result;
    // Entries whose files are gone (the log folder removed during the pass)
    // are not counted as imported.
    g_resultText = FinalPassResultText(LastImportPassTally());
    DialogBoxParamA(GetProgramInstance(), "ResultDlg", main, ResultDlgProc, 0);
    ShowImportStepOne(GetParent(step));
}

}  // namespace

int GetPreviewEntryCount() { return g_entryCount; }

HWND ShowPreviewStep(HWND mainWindow, const ImportJob &job) {
    const ImportJob kept = job;  // the job may live in the step destroyed here
    if (HWND old = GetCurrentStepWindow()) DestroyWindow(old);
    g_job = kept;
    SetCurrentStepWindow(nullptr);
    HWND step = CreateDialogParamA(GetProgramInstance(), "PreviewDlg", mainWindow, PreviewDlgProc, 0);
    SetCurrentStepWindow(step);
    if (step) RedrawWindow(step, nullptr, nullptr, RDW_ERASE | RDW_INTERNALPAINT | RDW_INVALIDATE);
    return step;
}

int RunPreviewPass(HWND step) {
    EnableWindow(GetDlgItem(step, IDC_STEP4_FINISH), FALSE);
    SendDlgItemMessageA(step, IDC_STEP4_LIST, LB_RESETCONTENT, 0, 0);
    SendDlgItemMessageA(step, IDC_STEP4_LIST, LB_SETHORIZONTALEXTENT, 0, 0);  // the new rows set it
    HWND box = ShowProcessingBox(GetMainWindow());
    int result = RunPassOfFormatKind(step, 1, nullptr);
    CloseProcessingBox(box);
    if (result < 0) {
        // The records the failed pass did write stay viewable, and only those.
        g_entryCount = CountPreviewRecords();
        g_previewedFile = ImportFileStamp();
        ShowErrorLine();
        return result;
    }
    g_entryCount = result;
    g_previewedFile = TakeImportFileStamp(ImportJobPath(g_job));
    EnableWindow(GetDlgItem(step, IDC_STEP4_FINISH), TRUE);
    return result;
}

void DrawPreviewItem(HWND step, const DRAWITEMSTRUCT *item) {
    // An empty list with the focus asks for a focus rectangle of row -1.
    if (!item || item->itemID == (UINT)-1) return;
    if (item->itemAction == ODA_FOCUS) return;
    PreviewColour background, text;
    ChoosePreviewRowColours((item->itemState & ODS_SELECTED) != 0, item->itemData != 0, &background, &text);
    RECT row = item->rcItem;
    HBRUSH brush = CreateSolidBrush(ColourOf(background));
    if (brush) {
        FillRect(item->hDC, &row, brush);
        DeleteObject(brush);
    }
    // Row texts may be longer than any fixed buffer would hold.
    HWND list = item->hwndItem ? item->hwndItem : GetDlgItem(step, IDC_STEP4_LIST);
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, item->itemID, 0);
    if (length == LB_ERR || length < 0) return;
    std::vector<char> buffer((size_t)length + 1, '\0');
    if (SendMessageA(list, LB_GETTEXT, item->itemID, (LPARAM)buffer.data()) == LB_ERR) return;
    RECT textRect = row;
    textRect.left += 4;
    textRect.top += 1;
    int oldMode = SetBkMode(item->hDC, TRANSPARENT);
    COLORREF oldColour = SetTextColor(item->hDC, ColourOf(text));
    DrawTextA(item->hDC, buffer.data(), -1, &textRect, DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
    SetTextColor(item->hDC, oldColour);
    SetBkMode(item->hDC, oldMode);
}

INT_PTR CALLBACK PreviewDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        EnableWindow(GetDlgItem(dialog, IDC_STEP4_FINISH), FALSE);
        return TRUE;
    case WM_MEASUREITEM: {
        // One line of the dialog font per row.
        MEASUREITEMSTRUCT *m = reinterpret_cast<MEASUREITEMSTRUCT *>(lParam);
        if (m && m->CtlID == IDC_STEP4_LIST) {
            HDC dc = GetDC(dialog);
            HFONT font = (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0);
            HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
            TEXTMETRICA tm;
            GetTextMetricsA(dc, &tm);
            if (old) SelectObject(dc, old);
            ReleaseDC(dialog, dc);
            m->itemHeight = (UINT)(tm.tmHeight + 2);
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    }
    case WM_DRAWITEM:
        if (wParam == IDC_STEP4_LIST) {
            DrawPreviewItem(dialog, reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_STEP4_LIST:
            if (HIWORD(wParam) == LBN_DBLCLK) ViewSelected(dialog);
            return TRUE;
        case IDC_STEP4_VIEW:
            ViewSelected(dialog);
            return TRUE;
        case IDC_STEP4_FINISH:
            if (IsWindowEnabled(GetDlgItem(dialog, IDC_STEP4_FINISH))) Finish(dialog);
            return TRUE;
        }
        break;
    }
    return HandleWizardStepEnding(dialog, message, wParam, IDH_STEP4);
}

INT_PTR CALLBACK LogPreviewDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        if (!g_detail) return TRUE;
        PreviewDetailTexts texts;
        MakePreviewDetailTexts(*g_detail, &texts);
        SetDlgItemTextA(dialog, IDC_ENTRY_TARGET, texts.target.c_str());
        SetDlgItemTextA(dialog, IDC_ENTRY_DATE_TIME, texts.date.c_str());
        SetDlgItemTextA(dialog, IDC_ENTRY_LOCATION, texts.site.c_str());
        SetDlgItemTextA(dialog, IDC_ENTRY_OBSERVER, texts.observer.c_str());
        SetDlgItemTextA(dialog, IDC_ENTRY_INSTRUMENT, texts.instrument.c_str());
        SetDlgItemTextA(dialog, IDC_ENTRY_CONDITIONS, texts.conditions.c_str());
        SetDlgItemTextA(dialog, IDC_ENTRY_NOTES, texts.notes.c_str());
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:  // Esc and the close box
            EndDialog(dialog, 0);
            return TRUE;
        case IDHELP:
            ShowGleanerHelpTopic(IDH_STEP4);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR CALLBACK ResultDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_RESULT_TEXT, g_resultText.c_str());
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
