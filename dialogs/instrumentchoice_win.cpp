// The instrument choice dialog InstDlg, the name entry InstEntryDlg and the
// popup menu of instruments at the mouse cursor.
#include <windows.h>

#include <cstring>
#include <vector>

#include "core/textutil.h"
#include "dialogs/instrumentdialogs_win.h"
#include "instruments/instrumentstore.h"
#include "instruments/storeio.h"
#include "resources/instrumentids.h"
#include "ui/winutil_win.h"

namespace {

InstrumentDialogState *g_choiceState = nullptr;

void FillInstrumentList(HWND dialog, InstrumentDialogState *s) {
    HWND list = GetDlgItem(dialog, IDC_INSTRUMENT_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    std::vector<InstrumentChoiceLine> lines;
    int select = -1;
    BuildInstrumentChoiceList(s->store, s->count, s->record.id, s->camerasOnly, &lines, &select);
    for (const InstrumentChoiceLine &l : lines) {
        LRESULT i = SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)l.name.c_str());
        SendMessageA(list, LB_SETITEMDATA, (WPARAM)i, (LPARAM)l.itemData);
    }
    if (select >= 0) SendMessageA(list, LB_SETCURSEL, (WPARAM)select, 0);
}

// "Enter String" carries no id: its item data is this value.
const LPARAM kEnterStringItem = 0x7FFF0000;

}  // namespace

INT_PTR CALLBACK InstDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    InstrumentDialogState *s = g_choiceState;
    switch (message) {
    case WM_INITDIALOG: {
        s->dialog = dialog;
        s->selected = 0;
        int32_t count = 0;
        s->store = OpenOrCreateInstrumentFile(&count);
        if (!s->store) {
            PostMessageA(dialog, WM_CLOSE, 0, 0);
            return TRUE;
        }
        s->count = count;
        FillInstrumentList(dialog, s);
        if (s->enterString) {
            HWND list = GetDlgItem(dialog, IDC_INSTRUMENT_LIST);
            LRESULT i = SendMessageA(list, LB_ADDSTRING, 0, (LPARAM) "Enter String");
            SendMessageA(list, LB_SETITEMDATA, (WPARAM)i, kEnterStringItem);
        }
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_INSTRUMENT_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE || HIWORD(wParam) == LBN_DBLCLK) {
                LRESULT line = SendDlgItemMessageA(dialog, IDC_INSTRUMENT_LIST, LB_GETCURSEL, 0, 0);
                if (line == LB_ERR) return TRUE;
                s->selected = (int)line;
                if (HIWORD(wParam) == LBN_DBLCLK) SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            }
            return TRUE;
        case IDOK: {
            // The record of the highlighted line is what OK gives, whether the
            // user or the preselection chose the line.
            HWND list = GetDlgItem(dialog, IDC_INSTRUMENT_LIST);
            LRESULT line = SendMessageA(list, LB_GETCURSEL, 0, 0);
            if (line == LB_ERR) return TRUE;  // nothing chosen: stay
            LPARAM data = (LPARAM)SendMessageA(list, LB_GETITEMDATA, (WPARAM)line, 0);
            if (s->enterString && data == kEnterStringItem) {
                EndDialog(dialog, 2);
                return TRUE;
            }
            if (s->store) {
                std::fclose(s->store);
                s->store = nullptr;
            }
            if (!LoadInstrumentChoice((int32_t)data, &s->record)) {
                InstrumentMessage(dialog, "This instrument is no longer in the list of instruments.", MB_OK);
                int32_t count = 0;
                s->store = OpenOrCreateInstrumentFile(&count);
                s->count = count;
                FillInstrumentList(dialog, s);
                return TRUE;
            }
            EndDialog(dialog, 1);
            return TRUE;
        }
        }
        return HandleDialogEndButton(dialog, LOWORD(wParam), kNoHelpTopic);
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY:
        if (s && s->store) {
            std::fclose(s->store);
            s->store = nullptr;
        }
        break;
    }
    return FALSE;
}

int ChooseInstrument(HWND owner, HINSTANCE instance, InstrumentRecord *record, int mode) {
    if (!record || g_choiceState) return 0;
    InstrumentDialogState *s = NewInstrumentDialogState(instance);
    if (!s) return 0;
    std::memcpy(&s->record, record, sizeof *record);
    s->enterString = mode == 1;
    s->camerasOnly = mode == 2;
    g_choiceState = s;
    INT_PTR result = RunInstrumentDialog(instance, "InstDlg", owner, InstDlgProc);
    if (result == 1) std::memcpy(record, &s->record, sizeof *record);
    g_choiceState = nullptr;
    delete s;
    if (result == 2) return EnterInstrumentName(owner, instance, record->name);
    return result == 1 ? 1 : 0;
}

namespace {
InstrumentDialogState *g_entryState = nullptr;
}

INT_PTR CALLBACK InstEntryDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(dialog, IDC_INSTRUMENT_NAME_ENTRY, EM_LIMITTEXT, 30, 0);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            char text[31] = "";
            GetDlgItemTextA(dialog, IDC_INSTRUMENT_NAME_ENTRY, text, (int)sizeof text);
            CopyStringZeroFilled(g_entryState->record.name, text, (int)sizeof g_entryState->record.name);
            EndDialog(dialog, 1);
            return TRUE;
        }
        return HandleDialogEndButton(dialog, LOWORD(wParam), kNoHelpTopic);
    }
    return FALSE;
}

int EnterInstrumentName(HWND owner, HINSTANCE instance, char *name) {
    if (!name || g_entryState) return 0;
    InstrumentDialogState *s = NewInstrumentDialogState(instance);
    if (!s) return 0;
    g_entryState = s;
    INT_PTR result = RunInstrumentDialog(instance, "InstEntryDlg", owner, InstEntryDlgProc);
    if (result == 1) CopyStringBounded(name, s->record.name, 32);
    g_entryState = nullptr;
    delete s;
    return result == 1 ? 1 : 0;
}

void ShowInstrumentMenu(InstrumentMenu *menu, HWND owner, int mode) {
    if (!menu) return;
    POINT at;
    GetCursorPos(&at);
    int32_t count = 0;
    StoreFilePtr f(OpenOrCreateInstrumentFile(&count));
    if (!f) return;
    std::vector<InstrumentChoiceLine> lines;
    BuildInstrumentMenu(f.get(), count, mode, menu, &lines);
    f.reset();
    HMENU popup = CreatePopupMenu();
    if (!popup) return;
    for (size_t i = 0; i < lines.size(); ++i)
        AppendMenuA(popup, MF_STRING, (UINT_PTR)(kInstrumentMenuFirstCommand + i), lines[i].name.c_str());
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, owner, nullptr);
    DestroyMenu(popup);
}
