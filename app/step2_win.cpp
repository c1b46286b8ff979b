// Wizard step 2 (unmatched objects): the scan into the step's list, the links
// made through the object picker and written to "gleaner_des_links.dat",
// Clear Links and Start Over, and Continue into step 3.
#include "app/step2_win.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/formatfile.h"
#include "app/gleaner_win.h"
#include "core/hostcallbacks.h"
#include "core/fileutil.h"
#include "core/safefile.h"
#include "app/importjob.h"
#include "app/importpass.h"
#include "app/step3_win.h"
#include "app/unmatched.h"
#include "astro/datetime.h"
#include "astro/location.h"
#include "core/userfolder.h"
#include "objects/designationlist.h"
#include "objects/objectrecord.h"
#include "picker/displaysettings.h"
#include "picker/picker_win.h"
#include "resources/wizardids.h"

namespace {

const int kPresetSize = 256;  // the picker takes at most 255 characters
const char kMessageCaption[] = "Gleaner Message";
const char kStep3Caption[] = "Gleaner2 Message";

// The designation-link file, open for appending while step 2 is shown.
FILE *g_linkFile = nullptr;
// The import job the step was created with (one step 2 exists at a time).
ImportJob g_job;

std::string LinkFilePath() {
    const char *folder = GetUserDataFolder();
    return std::string(folder ? folder : ".") + "/" + kDesignationLinkFileName;
}

void CloseLinkFile() {
    if (g_linkFile) std::fclose(g_linkFile);
    g_linkFile = nullptr;
}

void OpenLinkFile(const char *mode) {
    CloseLinkFile();
    g_linkFile = SafeOpen(LinkFilePath().c_str(), mode);
    if (g_linkFile) std::fseek(g_linkFile, 0, SEEK_END);
}

void ListReset(void *context) { SendMessageA((HWND)context, LB_RESETCONTENT, 0, 0); }
void ListAdd(void *context, const char *text) { SendMessageA((HWND)context, LB_ADDSTRING, 0, (LPARAM)text); }

std::string RowText(HWND list, int row) {
    LRESULT n = SendMessageA(list, LB_GETTEXTLEN, row, 0);
    if (n == LB_ERR) return std::string();
    std::vector<char> text(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, row, (LPARAM)text.data());
    return std::string(text.data());
}

// Links the selected row to an object chosen in the picker.
void LinkSelectedRow(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_STEP2_LIST);
    int row = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (row == LB_ERR) return;
    std::string text = RowText(list, row);
    char preset[kPresetSize];
    std::snprintf(preset, sizeof preset, "%s", text.c_str());
    ObjectRecord chosen;
    InitObjectRecord(&chosen);
    // The time first: it rebuilds the default site it is taken at.
    DateRecord now = *GetNowAtDefaultLocation();
    LocationRecord site = *GetDefaultLocation(0);
    if (RequestObjectDialog(dialog, GetProgramInstance(), &site, &now, &chosen, preset) != 1) return;
    char name[kDesignationTextSize];
    if (ChooseLinkDesignation(&chosen, &GetDefaultDisplaySettings()->designation, name) < 0) {
        MessageBoxA(dialog, "The chosen object has no designation that a link can hold.",
                    kMessageCaption, MB_ICONERROR);
        return;
    }
    if (!CanRecordDesignationLink(text.c_str(), name)) {
        MessageBoxA(dialog, "This designation cannot be linked: it holds a '#' or is too long for the link file.",
                    kMessageCaption, MB_ICONERROR);
        return;
    }
    bool written = false;
    if (g_linkFile) {
        written = SafePrintf(g_linkFile, "%s#%s\n", text.c_str(), name) && SafeFlush(g_linkFile);
    }
    if (!written) {
        std::string message = "The link could not be recorded: " + LinkFilePath() + " cannot be written.";
        MessageBoxA(dialog, message.c_str(), kMessageCaption, MB_ICONERROR);
        return;
    }
    SendMessageA(list, LB_DELETESTRING, row, 0);
    SendMessageA(list, LB_SETCURSEL, row, 0);
}

void ClearLinksAndStartOver(HWND dialog) {
    CloseLinkFile();
    if (FileExists(LinkFilePath().c_str())) SafeRemove(LinkFilePath().c_str());
    RunUnmatchedDesignationScan(dialog);
    OpenLinkFile("w");
}

void ContinueToStepThree(HWND dialog) {
    HWND main = GetParent(dialog);
    const ImportJob job = g_job;
    HWND step = ShowDataLinkStep(main, job);  // destroys step 2
    if (!step) return;
    int result = RunUndefinedNameScanBusy(step);
    char message[kErrorLineSize + 64];
    FormatUndefinedValueMessage(result, job.format->kind, ImportErrorLine(), message,
                                sizeof message);
    if (result == -1) std::snprintf(message, sizeof message, "%s", ImportErrorLine());
    if (message[0]) MessageBoxA(GetMainWindow(), message, kStep3Caption, MB_ICONERROR);
}

}  // namespace

void FormatUndefinedValueMessage(int result, int kind, const char *line, char *out, int size) {
    out[0] = '\0';
    if (result < 1 || result > 3) return;
    if (kind == kFormatKindTagged) {
        static const char *const kTagged[] = {"No location was not found for a log entry",
                                              "No observer was found for a log entry",
                                              "No instrument was found for a log entry"};
        std::snprintf(out, size, "%s", kTagged[result - 1]);
        return;
    }
    static const char *const kDelimited[] = {"A location was not found on line: %s",
                                             "An observer was not found on line: %s",
                                             "An instrument was not found on line: %s"};
    // The line as read, without its line end.
    std::string shown = line ? line : "";
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.pop_back();
    std::snprintf(out, size, kDelimited[result - 1], shown.c_str());
}

int RunUnmatchedDesignationScan(HWND step) {
    HWND box = ShowProcessingBox(GetMainWindow());
    HWND list = GetDlgItem(step, IDC_STEP2_LIST);
    UnmatchedRowSink sink{list, ListReset, ListAdd};
    int rows = g_job.format && g_job.format->kind == kFormatKindTagged
                   ? ScanUnmatchedDesignationsXml(&sink, g_job)
                   : ScanUnmatchedDesignationsDelimited(&sink, g_job);
    CloseProcessingBox(box);
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    // An empty list must mean "all recognised", never "the file could not be read".
    if (rows < 0) MessageBoxA(GetMainWindow(), ImportErrorLine(), kMessageCaption, MB_ICONERROR);
    return 1;
}

INT_PTR CALLBACK DesPrepDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (const ImportJob *job = reinterpret_cast<const ImportJob *>(lParam)) g_job = *job;
        else g_job = ImportJob();
        OpenLinkFile("a");
        if (!g_linkFile) OpenLinkFile("w");
        SendDlgItemMessageA(dialog, IDC_STEP2_LIST, LB_SETCURSEL, 0, 0);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_STEP2_LIST:
            if (HIWORD(wParam) == LBN_DBLCLK) LinkSelectedRow(dialog);
            return TRUE;
        case IDC_STEP2_LINK:
            LinkSelectedRow(dialog);
            return TRUE;
        case IDC_STEP2_CLEAR_LINKS:
            ClearLinksAndStartOver(dialog);
            return TRUE;
        case IDOK:
            ContinueToStepThree(dialog);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        CloseLinkFile();
        return TRUE;
    }
    return HandleWizardStepEnding(dialog, message, wParam, IDH_STEP2);
}
