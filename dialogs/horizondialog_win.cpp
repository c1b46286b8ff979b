// The obstructed-horizon dialog "Create Obstructed Horizon" (LocHorDlg),
// opened by "Create" of the Observing Sites dialog: it makes the selected
// site's horizon file from a text file the user picks, or from readings of a
// telescope taken once a second in segments (sites/horizonreadings.h). The
// text file last chosen is remembered in the dialog settings.
#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/dlgsettings.h"
#include "core/hostcallbacks.h"
#include "dialogs/sitedialogs_win.h"
#include "resources/helptopics.h"
#include "resources/siteids.h"
#include "sites/horizon.h"
#include "sites/horizonfile.h"
#include "sites/horizonreadings.h"

namespace {

const char kCaption[] = "Nightjar Message";
const UINT kReadingIntervalMs = 1000;
const int kPathChars = 511;

#pragma pack(push, 1)
// The remembered text file, dialog setting kDdsHorizon.
struct HorizonFileSetting {
    char name[128];
    char folder[512];
};
#pragma pack(pop)
static_assert(sizeof(HorizonFileSetting) == 640, "the horizon file setting is 640 bytes");

// The dialog's state while it is open (its timer procedure has no window).
struct HorizonDialogState {
    HWND dialog = nullptr;
    LocationRecord site;
    HorizonRun run;
    UINT_PTR timer = 0;
    int created = 0;
    char badLine[256] = "";
    HorizonFileSetting file;
};
HorizonDialogState *g_state = nullptr;

void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }

bool TelescopeConnected() {
    const HorizonReadingSource *source = GetHorizonReadingSource();
    return source && source->connected && source->connected();
}

void DisableRunButtons(HWND dialog) {
    for (int id : {IDC_HORIZON_FINISH, IDC_HORIZON_CANCEL_RUN, IDC_HORIZON_START, IDC_HORIZON_STOP,
                   IDC_HORIZON_DELETE_LAST})
        Enable(dialog, id, false);
}

VOID CALLBACK TakeHorizonReading(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_state || !g_state->run.segment) return;
    if (WriteHorizonReading(g_state->run.segment, &g_state->site, GetHorizonReadingSource()))
        MessageBeep(0);
}

void StopTimer(HorizonDialogState *st) {
    if (st->timer) KillTimer(nullptr, st->timer);
    st->timer = 0;
}

// What was wrong with the file a horizon was read from, for the line after
// "Error reading horizon data:": the file that could not be opened, or the
// number of the line that holds no azimuth and altitude.
std::string HorizonReadFault(const char *path, const char *badLine) {
    if (!path || !path[0]) return std::string();
    std::FILE *f = std::fopen(path, "rb");
    if (!f) return std::string("The file \"") + path + "\" could not be opened.";
    std::string bad = badLine ? badLine : "";
    while (!bad.empty() && (bad.back() == '\r' || bad.back() == '\n')) bad.pop_back();
    long number = 0, found = 0;
    std::string line;
    for (int c = 0;;) {
        c = std::fgetc(f);
        if (c == '\n' || c == EOF) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            ++number;
            if (line == bad) {
                found = number;
                break;
            }
            line.clear();
            if (c == EOF) break;
        } else if (line.size() < 4096) {
            line.push_back(static_cast<char>(c));
        }
    }
    std::fclose(f);
    if (!found) return std::string();
    return "Line " + std::to_string(found) + " of \"" + path +
           "\" does not hold an azimuth and an altitude (two numbers in degrees).";
}

void ReportHorizonResult(HWND dialog, HorizonDialogState *st, int answer, const char *path = nullptr) {
    HorizonResultMessage m = DescribeHorizonResult(answer, st->badLine);
    if (answer == 0) {
        const std::string fault = HorizonReadFault(path, st->badLine);
        // The text ends in its line break when no line could be shown.
        if (!fault.empty()) m.text += (m.text.size() >= 2 && m.text.compare(m.text.size() - 2, 2, "\r\n") == 0 ? "" : "\r\n\r\n") + fault;
    }
    if (!m.error) st->created = 1;
    MessageBoxA(dialog, m.text.c_str(), kCaption, MB_OK | (m.error ? MB_ICONERROR : 0));
}

// Replacing an existing horizon is asked first; true to go on.
bool MayReplaceHorizon(HWND dialog, HorizonDialogState *st) {
    if (!HorizonFileExists(st->site.name)) return true;
    return MessageBoxA(dialog, "An obstructed horizon already exists for this location.\r\nReplace?",
                       kCaption, MB_YESNO | MB_ICONWARNING) == IDYES;
}

void ShowRememberedFile(HWND dialog, const HorizonFileSetting &file) {
    if (!file.name[0] || !file.folder[0]) return;
    char path[sizeof file.folder + sizeof file.name + 2];
    std::snprintf(path, sizeof path, "%s\\%s", file.folder, file.name);
    SetDlgItemTextA(dialog, IDC_HORIZON_FILE, path);
}

void Browse(HWND dialog, HorizonDialogState *st) {
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof current, current);
    char file[MAX_PATH] = "";
    OPENFILENAMEA ofn;
    std::memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dialog;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrDefExt = "txt";
    ofn.lpstrInitialDir = st->file.folder[0] ? st->file.folder : nullptr;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    BOOL ok = GetOpenFileNameA(&ofn);
    SetCurrentDirectoryA(current);
    if (!ok) return;
    std::string path = file;
    size_t slash = path.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (folder.size() >= sizeof st->file.folder || name.size() >= sizeof st->file.name) {
        SetDlgItemTextA(dialog, IDC_HORIZON_FILE, path.c_str());
        return;
    }
    std::memset(&st->file, 0, sizeof st->file);
    std::memcpy(st->file.folder, folder.c_str(), folder.size());
    std::memcpy(st->file.name, name.c_str(), name.size());
    PutDialogSetting(&st->file, sizeof st->file, kDdsHorizon);
    ShowRememberedFile(dialog, st->file);
}

void ReadFile(HWND dialog, HorizonDialogState *st) {
    if (!MayReplaceHorizon(dialog, st)) return;
    char path[kPathChars + 1] = "";
    GetDlgItemTextA(dialog, IDC_HORIZON_FILE, path, sizeof path);
    ReportHorizonResult(dialog, st, ImportHorizonText(&st->site, path, st->badLine), path);
}

void Begin(HWND dialog, HorizonDialogState *st) {
    Enable(dialog, IDC_HORIZON_BEGIN, false);
    Enable(dialog, IDC_HORIZON_START, true);
    Enable(dialog, IDC_HORIZON_FINISH, true);
    Enable(dialog, IDC_HORIZON_CANCEL_RUN, true);
    BeginHorizonRun(&st->run);
}

void StartReadings(HWND dialog, HorizonDialogState *st) {
    if (!StartReadingSegment(&st->run)) {
        MessageBoxA(dialog, "The telescope readings could not be saved in the user folder.", kCaption,
                    MB_OK | MB_ICONERROR);
        return;
    }
    st->timer = SetTimer(nullptr, 0, kReadingIntervalMs, TakeHorizonReading);
    Enable(dialog, IDC_HORIZON_START, false);
    Enable(dialog, IDC_HORIZON_STOP, true);
}

void StopReadings(HWND dialog, HorizonDialogState *st) {
    StopTimer(st);
    StopReadingSegment(&st->run);
    Enable(dialog, IDC_HORIZON_START, true);
    Enable(dialog, IDC_HORIZON_STOP, false);
    Enable(dialog, IDC_HORIZON_DELETE_LAST, true);
}

void DeleteLastReadings(HWND dialog, HorizonDialogState *st) {
    StopTimer(st);
    DeleteHorizonReadings(&st->run);
    Enable(dialog, IDC_HORIZON_START, true);
    Enable(dialog, IDC_HORIZON_STOP, false);
    Enable(dialog, IDC_HORIZON_DELETE_LAST, false);
}

void EndRunButtons(HWND dialog) {
    Enable(dialog, IDC_HORIZON_BEGIN, TelescopeConnected());
    DisableRunButtons(dialog);
}

void Finish(HWND dialog, HorizonDialogState *st) {
    // Asked as Read File asks; on No the run goes on.
    if (!MayReplaceHorizon(dialog, st)) return;
    StopTimer(st);
    int answer = BuildHorizonFromReadings(&st->run, &st->site, st->badLine);
    ReportHorizonResult(dialog, st, answer);
    EndRunButtons(dialog);
}

void CancelRun(HWND dialog, HorizonDialogState *st) {
    StopTimer(st);
    EndHorizonRun(&st->run);
    EndRunButtons(dialog);
}

void Close(HWND dialog, HorizonDialogState *st) {
    if (st->run.inProgress &&
        MessageBoxA(dialog, "You have not finished creating your obstructed horizon.\r\nAll changes will be lost. Quit?",
                    kCaption, MB_YESNO | MB_ICONWARNING) != IDYES)
        return;  // the run goes on, its timer with it
    StopTimer(st);
    EndHorizonRun(&st->run);
    EndDialog(dialog, st->created);
}

void TakeSingleReading(HWND dialog, HorizonDialogState *st) {
    if (TakeSingleHorizonReading(&st->site, GetHorizonReadingSource()))
        MessageBeep(0);
    else
        MessageBoxA(dialog, "No reading could be taken from the telescope.", kCaption, MB_OK | MB_ICONERROR);
}

}  // namespace

INT_PTR CALLBACK LocHorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    HorizonDialogState *st = g_state;
    switch (message) {
    case WM_INITDIALOG: {
        const LocationRecord *site = reinterpret_cast<const LocationRecord *>(lParam);
        if (!site || g_state) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        st = g_state = new HorizonDialogState();
        st->dialog = dialog;
        st->site = *site;
        TerminateLocationName(&st->site);
        if (!TelescopeConnected()) {
            // Only the text-file way works: the telescope buttons would do nothing.
            SetDlgItemTextA(dialog, IDC_HORIZON_TELESCOPE_NOTE, "No telescope is connected");
            Enable(dialog, IDC_HORIZON_BEGIN, false);
            Enable(dialog, IDC_HORIZON_SINGLE, false);
        }
        DisableRunButtons(dialog);
        SendDlgItemMessageA(dialog, IDC_HORIZON_FILE, EM_LIMITTEXT, kPathChars, 0);
        HorizonFileSetting stored;
        if (GetDialogSetting(&stored, sizeof stored, kDdsHorizon)) {
            stored.name[sizeof stored.name - 1] = '\0';
            stored.folder[sizeof stored.folder - 1] = '\0';
            st->file = stored;
            ShowRememberedFile(dialog, st->file);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (!st) return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_HORIZON_BROWSE: Browse(dialog, st); return TRUE;
        case IDC_HORIZON_READ_FILE: ReadFile(dialog, st); return TRUE;
        case IDC_HORIZON_BEGIN: Begin(dialog, st); return TRUE;
        case IDC_HORIZON_START: StartReadings(dialog, st); return TRUE;
        case IDC_HORIZON_STOP: StopReadings(dialog, st); return TRUE;
        case IDC_HORIZON_DELETE_LAST: DeleteLastReadings(dialog, st); return TRUE;
        case IDC_HORIZON_SINGLE: TakeSingleReading(dialog, st); return TRUE;
        case IDC_HORIZON_FINISH: Finish(dialog, st); return TRUE;
        case IDC_HORIZON_CANCEL_RUN: CancelRun(dialog, st); return TRUE;
        case IDC_HORIZON_INSTRUCTIONS: ShowHelpTopic(IDH_HORIZON_INSTRUCTIONS); return TRUE;
        case IDHELP: ShowHelpTopic(IDH_HORIZON); return TRUE;
        case IDOK:
        case IDCANCEL: Close(dialog, st); return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        if (st) Close(dialog, st);
        return TRUE;
    case WM_DESTROY:
        if (st) {
            StopTimer(st);
            EndHorizonRun(&st->run);
            delete st;
            g_state = nullptr;
        }
        return FALSE;
    }
    return FALSE;
}
