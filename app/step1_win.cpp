// Wizard step 1 (file and format): the import file, the stored formats with
// Edit, New and Delete, and Begin Import, which hands over to step 2.
#include <cstdio>
#include <cstring>
#include <string>

#include <shlobj.h>

#include "app/formatcheck.h"
#include "app/formateditor_win.h"
#include "app/formatfile.h"
#include "app/gleaner_win.h"
#include "app/importjob.h"
#include "app/step1_win.h"
#include "app/step2_win.h"
#include "core/fsys.h"
#include "resources/wizardids.h"

namespace {
const int kMaxImportPath = 254;  // the settings hold this many characters
const char kMessageCaption[] = "Gleaner Message";
const char kPathTooLong[] = "The path of the import file is too long (at most 254 characters).";

// The folder of the file last chosen with Browse; empty at start-up.
char g_browseFolder[kMaxImportPath + 1] = "";

void Complain(HWND owner, const char *text) { MessageBoxA(owner, text, kMessageCaption, MB_ICONERROR); }

// A missing-file message with the path the user gave on a line of its own.
void ComplainMissingFile(HWND owner, const char *text, const std::string &path) {
    std::string full = std::string(text) + "\r\n\r\n" + (path.empty() ? std::string("(no file named)") : path);
    Complain(owner, full.c_str());
}

// The text of the path edit; false (and a message) when it is too long to keep.
bool ReadImportPathEdit(HWND step, std::string *path) {
    int n = GetWindowTextLengthA(GetDlgItem(step, IDC_STEP1_FILE));
    std::string text(static_cast<size_t>(n) + 1, '\0');
    n = GetDlgItemTextA(step, IDC_STEP1_FILE, &text[0], n + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    if (text.size() > static_cast<size_t>(kMaxImportPath)) {
        Complain(step, kPathTooLong);
        return false;
    }
    *path = text;
    std::snprintf(CurrentImportSettings().importPath, sizeof CurrentImportSettings().importPath, "%s", text.c_str());
    return true;
}

bool CanOpen(const std::string &path) {
    FILE *f = std::fopen(path.c_str(), "r");
    if (!f) return false;
    std::fclose(f);
    return true;
}

int SelectedListEntry(HWND step) {
    return (int)SendDlgItemMessageA(step, IDC_STEP1_FORMAT, CB_GETCURSEL, 0, 0);
}

void BeginImport(HWND step) {
    std::string path;
    if (!ReadImportPathEdit(step, &path)) return;
    if (!CanOpen(path)) {
        ComplainMissingFile(step, "The Import file was not found", path);
        return;
    }
    if (CurrentImportSettings().selectedFormat < 0) {
        Complain(step, "Please define an import format");
        return;
    }
    // The job of this import: the file and a copy of the format in force,
    // handed to step 2, which hands it on to steps 3 and 4.
    ImportJob job;
    if (!MakeImportJob(CurrentImportSettings(), CurrentImportFormat(), &job)) {
        Complain(step, "Not enough memory to begin the import");
        return;
    }
    // A file the format cannot read is refused here, not met as stray
    // designations in step 2 or as "no entry" in step 4.
    std::string misfit;
    if (!CheckImportFileFitsFormat(job, &misfit)) {
        Complain(step, misfit.c_str());
        return;
    }
    HWND main = GetParent(step);
    DestroyWindow(step);
    SetCurrentStepWindow(nullptr);
    HWND next = CreateDialogParamA(GetProgramInstance(), "DesPrepDlg", main, DesPrepDlgProc,
                                   reinterpret_cast<LPARAM>(&job));
    SetCurrentStepWindow(next);
    if (!next) return;
    RedrawWindow(next, nullptr, nullptr, RDW_ERASE | RDW_INTERNALPAINT | RDW_INVALIDATE);
    RunUnmatchedDesignationScan(next);
}

}  // namespace

void FillFormatList(HWND step, int selectLast) {
    SendDlgItemMessageA(step, IDC_STEP1_FORMAT, CB_RESETCONTENT, 0, 0);
    FormatEnumerator e;
    int count = 0;
    if (BeginFormatEnumeration(&e)) {
        char name[kFormatNameSize];
        while (ReadNextFormatName(&e, name)) {
            name[kFormatNameSize - 1] = '\0';
            SendDlgItemMessageA(step, IDC_STEP1_FORMAT, CB_ADDSTRING, 0, (LPARAM)name);
            ++count;
        }
        EndFormatEnumeration(&e);
    }
    int32_t &selected = CurrentImportSettings().selectedFormat;
    if (selectLast) selected = count - 1;
    if (selected >= count) selected = -1;  // a format another run removed
    SendDlgItemMessageA(step, IDC_STEP1_FORMAT, CB_SETCURSEL, selected, 0);
}

int CheckImportFileExists(HWND step) {
    std::string path;
    if (!ReadImportPathEdit(step, &path)) return 0;
    if (CanOpen(path)) return 1;
    ComplainMissingFile(step, "Import file not found!", path);
    return 0;
}

namespace {

// Where the Open dialog starts: the folder of the file named in the box
// when that folder is there, else the folder of the last file chosen, else
// the user's documents.
std::string BrowseStartFolder(HWND step) {
    std::string boxed;
    int n = GetWindowTextLengthA(GetDlgItem(step, IDC_STEP1_FILE));
    if (n > 0) {
        boxed.assign(static_cast<size_t>(n) + 1, '\0');
        n = GetDlgItemTextA(step, IDC_STEP1_FILE, &boxed[0], n + 1);
        boxed.resize(n > 0 ? static_cast<size_t>(n) : 0);
        size_t slash = boxed.find_last_of("\\/");
        if (slash != std::string::npos) {
            boxed.resize(slash == 2 && boxed[1] == ':' ? 3 : slash);
            if (FsKind(boxed) == 1) return boxed;
        }
    }
    if (g_browseFolder[0] && FsKind(g_browseFolder) == 1) return g_browseFolder;
    char documents[MAX_PATH] = "";
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, documents))) return documents;
    return std::string();
}

// The format's own file types first, then every file.
const char *BrowseFilter() {
    if (CurrentImportFormat().kind == kFormatKindTagged)
        return "Tagged text (*.xml)\0*.xml\0All files (*.*)\0*.*\0";
    return "Delimited text (*.csv;*.txt;*.tab)\0*.csv;*.txt;*.tab\0All files (*.*)\0*.*\0";
}

}  // namespace

int BrowseImportFile(HWND step) {
    char saved[MAX_PATH * 2] = "";
    DWORD n = GetCurrentDirectoryA(sizeof saved, saved);
    char file[1024] = "";
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetMainWindow();
    ofn.hInstance = GetProgramInstance();
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrFilter = BrowseFilter();
    ofn.nFilterIndex = 1;
    const std::string start = BrowseStartFolder(step);
    if (!start.empty()) {
        SetCurrentDirectoryA(start.c_str());
        ofn.lpstrInitialDir = start.c_str();
    }
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_SHOWHELP;
    BOOL chosen = GetOpenFileNameA(&ofn);
    // The data paths are relative to the current directory: always put it back.
    if (n > 0 && n < sizeof saved) SetCurrentDirectoryA(saved);
    if (!chosen) return 0;
    if (std::strlen(file) > static_cast<size_t>(kMaxImportPath)) {
        Complain(step, kPathTooLong);
        return 0;
    }
    // The chosen file's folder is where the next Browse starts.
    std::string folder = file;
    size_t slash = folder.find_last_of("\\/");
    if (slash != std::string::npos) {
        folder.resize(slash == 2 && folder[1] == ':' ? 3 : slash);
        std::snprintf(g_browseFolder, sizeof g_browseFolder, "%s", folder.c_str());
    }
    SetDlgItemTextA(step, IDC_STEP1_FILE, file);
    return 1;
}

const char *GetBrowseFolder() { return g_browseFolder; }

INT_PTR CALLBACK InitDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        if (!ReadImportFormat(CurrentImportSettings().selectedFormat)) {
            LoadBuiltInCsvFormat();
            // The preset is in force, so no stored format is selected.
            CurrentImportSettings().selectedFormat = -1;
        }
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        int32_t &selected = CurrentImportSettings().selectedFormat;
        switch (id) {
        case IDOK:
            BeginImport(dialog);
            return TRUE;
        case IDC_STEP1_BROWSE:
            BrowseImportFile(dialog);
            return TRUE;
        case IDC_STEP1_FORMAT:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                int row = SelectedListEntry(dialog);
                if (row >= 0) {
                    selected = row;
                    ReadImportFormat(row);
                }
            }
            return TRUE;
        case IDC_STEP1_EDIT_FORMAT:
            if (selected >= 0 && CheckImportFileExists(dialog) && RunFormatEditor(GetMainWindow())) {
                WriteImportFormat(selected);
                FillFormatList(dialog, 0);
            }
            return TRUE;
        case IDC_STEP1_NEW_FORMAT:
            if (CheckImportFileExists(dialog)) {
                char name[kFormatNameSize];
                std::memcpy(name, CurrentImportFormat().name, sizeof name);
                std::memset(CurrentImportFormat().name, 0, kFormatNameSize);
                std::snprintf(CurrentImportFormat().name, kFormatNameSize, "New");
                if (RunFormatEditor(GetMainWindow())) {
                    if (AppendImportFormat()) FillFormatList(dialog, 1);
                } else {
                    std::memcpy(CurrentImportFormat().name, name, sizeof name);
                }
            }
            return TRUE;
        case IDC_STEP1_DELETE_FORMAT: {
            int row = SelectedListEntry(dialog);
            if (row >= 0) DeleteImportFormat(row);
            FillFormatList(dialog, 1);
            if (selected >= 0) ReadImportFormat(selected);
            return TRUE;
        }
        case IDHELP:
            ShowGleanerHelpTopic(IDH_STEP1);
            return TRUE;
        }
        break;
    }
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        SaveImportSettings();
        return TRUE;
    }
    return FALSE;
}

void InitImportStep(HWND step) {
    SetDlgItemTextA(step, IDC_STEP1_FILE, CurrentImportSettings().importPath);
    FillFormatList(step, 0);
}

INT_PTR HandleWizardStepEnding(HWND step, UINT message, WPARAM wParam, int helpTopic) {
    if (message == WM_CLOSE) {
        DestroyWindow(step);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    if (LOWORD(wParam) == IDCANCEL) {
        ShowImportStepOne(GetParent(step));
        return TRUE;
    }
    if (LOWORD(wParam) == IDHELP) {
        ShowGleanerHelpTopic(helpTopic);
        return TRUE;
    }
    return FALSE;
}

HWND ShowImportStepOne(HWND mainWindow) {
    if (HWND old = GetCurrentStepWindow()) DestroyWindow(old);
    SetCurrentStepWindow(nullptr);
    HWND step = CreateDialogParamA(GetProgramInstance(), "InitDlg", mainWindow, InitDlgProc, 0);
    SetCurrentStepWindow(step);
    if (step) {
        RedrawWindow(step, nullptr, nullptr, RDW_ERASE | RDW_INTERNALPAINT | RDW_INVALIDATE);
        InitImportStep(step);
    }
    return step;
}
