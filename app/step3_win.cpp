// Wizard step 3 (undefined sites, observers and instruments): the three lists
// of names the stores and the name links do not know, the pickers that link
// a listed name to an existing entry, the creation of new entries, and the
// way on to the preview.
#include "app/step3_win.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/formatfile.h"
#include "app/gleaner_win.h"
#include "app/namelinks.h"
#include "app/step4_win.h"
#include "app/undefinednames.h"
#include "instruments/instrumentchoice.h"
#include "dialogs/instrumentdialogs_win.h"
#include "dialogs/sitedialogs_win.h"
#include "resources/wizardids.h"

namespace {

// The import job of the step shown (one step 3 exists at a time).
ImportJob g_job;

// Saves the links at once; a save that failed (the earlier links kept on the
// disk) is said, so the user knows that the links made now are not kept.
void SaveNameLinksOrSay(HWND owner) {
    if (SaveNameLinks(ImportJobPath(g_job))) return;
    MessageBoxA(owner,
                "The name links could not be saved in the user data folder. The links made now are used "
                "for this import but will not be there the next time.",
                "Gleaner2 Message", MB_OK | MB_ICONWARNING);
}

// The step's state: one step 3 exists at a time.
struct DataLinkState {
    int selectedList = -1;  // IDC_STEP3_INSTRUMENTS, _LOCATIONS, _OBSERVERS or -1
    int selectedRow = -1;
    // The result of the last scan; Continue also waits for it to be 0.
    // Before the first scan it is unknown.
    int lastScan = -1;
    UndefinedNameLists lists;
    char newInstrumentName[kLinkNameSize] = "";
};
DataLinkState g_state;

std::string ListText(HWND list, int row) {
    LRESULT n = SendMessageA(list, LB_GETTEXTLEN, row, 0);
    if (n == LB_ERR || n < 0) return std::string();
    std::vector<char> text((size_t)n + 1, '\0');
    if (SendMessageA(list, LB_GETTEXT, row, (LPARAM)text.data()) == LB_ERR) return std::string();
    return std::string(text.data());
}

void FillList(HWND step, int id, const std::vector<UndefinedName> &names) {
    HWND list = GetDlgItem(step, id);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const UndefinedName &row : names) SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)row.name.c_str());
}

void EmptyLists(HWND step) {
    for (int id : {IDC_STEP3_INSTRUMENTS, IDC_STEP3_LOCATIONS, IDC_STEP3_OBSERVERS})
        SendDlgItemMessageA(step, id, LB_RESETCONTENT, 0, 0);
    g_state.selectedList = g_state.selectedRow = -1;
}

int RunScanOfFormatKind(HWND step) {
    int result = g_job.format && g_job.format->kind == kFormatKindTagged
                     ? ScanUndefinedNamesXml(step)
                     : ScanUndefinedNamesDelimited(step);
    g_state.lastScan = result;
    return result;
}

// Every spelling of the listed name the scan met (the name links match the
// exact text, the lists ignore case).
std::vector<std::string> SpellingsOf(int listId, const std::string &name) {
    const std::vector<UndefinedName> &list = listId == IDC_STEP3_INSTRUMENTS ? g_state.lists.instruments
                                             : listId == IDC_STEP3_LOCATIONS ? g_state.lists.sites
                                                                             : g_state.lists.observers;
    if (const UndefinedName *row = FindUndefinedName(list, name.c_str())) return row->spellings;
    return std::vector<std::string>{name};
}

// After a link: the row goes, the row now in its place is selected, the
// links are kept on disk at once (closing the main window then loses none)
// and Continue follows the lists and the last scan.
void RowLinked(HWND step) {
    HWND list = GetDlgItem(step, g_state.selectedList);
    SendMessageA(list, LB_DELETESTRING, g_state.selectedRow, 0);
    int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (g_state.selectedRow >= count) g_state.selectedRow = count - 1;
    if (g_state.selectedRow < 0) g_state.selectedList = -1;
    SendMessageA(list, LB_SETCURSEL, g_state.selectedRow, 0);
    SaveNameLinksOrSay(step);
    UpdateContinueButton(step, g_state.lastScan);
}

bool SelectedName(HWND step, std::string *name) {
    if (g_state.selectedList < 0 || g_state.selectedRow < 0) return false;
    *name = ListText(GetDlgItem(step, g_state.selectedList), g_state.selectedRow);
    return !name->empty();
}

void LinkToExistingEntry(HWND step) {
    std::string name;
    if (!SelectedName(step, &name)) return;
    g_state.newInstrumentName[0] = '\0';
    HINSTANCE instance = GetProgramInstance();
    std::vector<std::string> spellings = SpellingsOf(g_state.selectedList, name);
    if (g_state.selectedList == IDC_STEP3_INSTRUMENTS) {
        std::unique_ptr<InstrumentRecord> record(new InstrumentRecord);
        LoadDefaultInstrument(record.get());
        if (!ChooseInstrument(GetMainWindow(), instance, record.get(), 0)) return;
        for (const std::string &s : spellings) AddInstrumentLink(record.get(), s.c_str());
    } else if (g_state.selectedList == IDC_STEP3_LOCATIONS) {
        // The picker opens on the default site (the first stored).
        LocationRecord site;
        LoadDefaultLocation(&site);
        if (PickLocation(step, instance, &site) <= 0) return;
        for (const std::string &s : spellings) AddLocationLink(&site, s.c_str());
    } else {
        ObserverRecord observer;
        LoadDefaultObserver(&observer);
        if (PickObserver(step, instance, &observer) < 0) return;
        for (const std::string &s : spellings) AddObserverLink(&observer, s.c_str());
    }
    RowLinked(step);
}

void CreateNewEntry(HWND step) {
    std::string name;
    if (!SelectedName(step, &name)) return;
    HINSTANCE instance = GetProgramInstance();
    HWND main = GetMainWindow();
    std::vector<std::string> spellings = SpellingsOf(g_state.selectedList, name);
    if (g_state.selectedList == IDC_STEP3_INSTRUMENTS) {
        std::snprintf(g_state.newInstrumentName, sizeof g_state.newInstrumentName, "%s", name.c_str());
        INT_PTR kind = DialogBoxParamA(instance, "InstTypeDlg", main, InstTypeDlgProc, 0);
        if (kind != 1 && kind != 2) return;
        std::unique_ptr<InstrumentRecord> record(new InstrumentRecord);
        int created = kind == 1 ? CreateDefaultTelescope(record.get(), name.c_str())
                                : CreateDefaultBinoculars(record.get(), name.c_str());
        if (!created) {
            MessageBoxA(step, "The new instrument could not be added to the instrument list.",
                        "Gleaner Message", MB_ICONERROR);
            return;
        }
        const int id = record->id;
        const int done = kind == 1 ? RunScopeDialog(main, instance) : RunBinocsDialog(main, instance);
        if (!done) {
            // Cancel cancels: the instrument made for the name goes again
            // (the dialog's own copy-back keeps what it held at opening,
            // which already held it) and no link is made.
            RemoveInstrumentById(id);
            return;
        }
        // Link the instrument as the dialog left it (renamed or changed);
        // one the user deleted there is not linked.
        if (!ReloadInstrumentById(record.get(), id)) return;
        for (const std::string &s : spellings) AddInstrumentLink(record.get(), s.c_str());
    } else if (g_state.selectedList == IDC_STEP3_LOCATIONS) {
        MessageBoxA(step, "Create new location, select it, then click Ok.", "Gleaner2 Message", MB_OK);
        LocationRecord site;
        LoadDefaultLocation(&site);
        if (PickLocation(main, instance, &site) <= 0) return;
        for (const std::string &s : spellings) AddLocationLink(&site, s.c_str());
    } else {
        // The observers dialog adds an observer of the listed name and
        // selects it; OK keeps it (as edited there), Cancel takes it away.
        ObserverRecord observer;
        InitObserverRecord(&observer, name.c_str(), 40, 0.0, 0.5);
        if (PickObserver(step, instance, &observer) < 0) return;
        for (const std::string &s : spellings) AddObserverLink(&observer, s.c_str());
    }
    RowLinked(step);
}

void SelectionChanged(HWND step, int listId) {
    g_state.selectedList = listId;
    g_state.selectedRow = (int)SendDlgItemMessageA(step, listId, LB_GETCURSEL, 0, 0);
    if (g_state.selectedRow < 0) g_state.selectedList = -1;
    for (int id : {IDC_STEP3_INSTRUMENTS, IDC_STEP3_LOCATIONS, IDC_STEP3_OBSERVERS})
        if (id != listId) SendDlgItemMessageA(step, id, LB_SETCURSEL, (WPARAM)-1, 0);
}

}  // namespace

HWND ShowDataLinkStep(HWND mainWindow, const ImportJob &job) {
    const ImportJob kept = job;  // the job may live in the step destroyed here
    if (HWND old = GetCurrentStepWindow()) DestroyWindow(old);
    g_job = kept;
    SetCurrentStepWindow(nullptr);
    HWND step = CreateDialogParamA(GetProgramInstance(), "DataLinkDlg", mainWindow, DataLinkDlgProc, 0);
    SetCurrentStepWindow(step);
    if (step) RedrawWindow(step, nullptr, nullptr, RDW_ERASE | RDW_INTERNALPAINT | RDW_INVALIDATE);
    return step;
}

int RunUndefinedNameScanBusy(HWND step) {
    HWND box = ShowProcessingBox(GetMainWindow());
    int result = RunUndefinedNameScan(step);
    CloseProcessingBox(box);
    return result;
}

int RunUndefinedNameScan(HWND step) {
    if (AreNameLinksForImportFile(ImportJobPath(g_job)) == 1) LoadNameLinks();
    EmptyLists(step);
    int result = RunScanOfFormatKind(step);
    UpdateContinueButton(step, result);
    return result;
}

int ScanUndefinedNamesDelimited(HWND step) {
    int result = ScanUndefinedNamesInDelimitedFile(g_job, &g_state.lists);
    FillList(step, IDC_STEP3_INSTRUMENTS, g_state.lists.instruments);
    FillList(step, IDC_STEP3_LOCATIONS, g_state.lists.sites);
    FillList(step, IDC_STEP3_OBSERVERS, g_state.lists.observers);
    return result;
}

int ScanUndefinedNamesXml(HWND step) {
    int result = ScanUndefinedNamesInXmlFile(g_job, &g_state.lists);
    FillList(step, IDC_STEP3_INSTRUMENTS, g_state.lists.instruments);
    FillList(step, IDC_STEP3_LOCATIONS, g_state.lists.sites);
    FillList(step, IDC_STEP3_OBSERVERS, g_state.lists.observers);
    return result;
}

void UpdateContinueButton(HWND step, int scanResult) {
    bool empty = true;
    for (int id : {IDC_STEP3_INSTRUMENTS, IDC_STEP3_LOCATIONS, IDC_STEP3_OBSERVERS})
        if (SendDlgItemMessageA(step, id, LB_GETCOUNT, 0, 0) != 0) empty = false;
    EnableWindow(GetDlgItem(step, IDOK), empty && scanResult == 0);
}

INT_PTR CALLBACK DataLinkDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        g_state.selectedList = g_state.selectedRow = -1;
        g_state.lastScan = -1;
        g_state.lists.Clear();
        EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == IDC_STEP3_INSTRUMENTS || id == IDC_STEP3_LOCATIONS || id == IDC_STEP3_OBSERVERS) {
            if (code == LBN_SELCHANGE) SelectionChanged(dialog, id);
            if (code == LBN_DBLCLK) {
                SelectionChanged(dialog, id);
                LinkToExistingEntry(dialog);
            }
            return TRUE;
        }
        switch (id) {
        case IDC_STEP3_LINK:
            LinkToExistingEntry(dialog);
            return TRUE;
        case IDC_STEP3_CREATE:
            CreateNewEntry(dialog);
            return TRUE;
        case IDC_STEP3_CLEAR_LINKS: {
            EmptyLists(dialog);
            ClearNameLinks();
            UpdateContinueButton(dialog, RunScanOfFormatKind(dialog));
            return TRUE;
        }
        case IDOK: {
            if (!IsWindowEnabled(GetDlgItem(dialog, IDOK))) return TRUE;
            SaveNameLinksOrSay(dialog);
            HWND main = GetParent(dialog);
            if (HWND preview = ShowPreviewStep(main, g_job)) RunPreviewPass(preview);
            return TRUE;
        }
        case IDCANCEL:
            SaveNameLinksOrSay(dialog);
            break;
        }
        break;
    }
    }
    return HandleWizardStepEnding(dialog, message, wParam, IDH_STEP3);
}

INT_PTR CALLBACK InstTypeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        CheckRadioButton(dialog, IDC_INSTTYPE_TELESCOPE, IDC_INSTTYPE_BINOCULARS, IDC_INSTTYPE_TELESCOPE);
        char text[512];
        if (g_state.newInstrumentName[0])
            std::snprintf(text, sizeof text,
                          "Select the instrument type and click Ok. Find \"%s\" in the instrument list and "
                          "select it. Default values have been created for the new instrument.  Customize "
                          "them appropriately.",
                          g_state.newInstrumentName);
        else
            std::snprintf(text, sizeof text,
                          "Select the instrument type and click Ok. Select an instrument from the list.");
        SetDlgItemTextA(dialog, IDC_INSTTYPE_TEXT, text);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndDialog(dialog, IsDlgButtonChecked(dialog, IDC_INSTTYPE_BINOCULARS) == BST_CHECKED ? 2 : 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDHELP:  // the help has no page for this prompt
            return TRUE;
        }
        break;
    }
    return FALSE;
}
