// The format editor dialog "ConfigDlg": it edits a copy of the current import
// format (so Cancel leaves the current one as it was), shows the first lines
// of the import file for counting columns, and the prompts for one column
// number ("ColumnDlg") and one tag name ("TagDlg").
#include "app/formateditor_win.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/formateditor.h"
#include "app/formatfile.h"
#include "app/gleaner_win.h"
#include "instruments/instrumentstore.h"
#include "sites/sitestore.h"
#include "resources/wizardids.h"
#include "picker/typednumber.h"
#include "ui/winutil_win.h"

namespace {

const char kMessageCaption[] = "Gleaner Message";

// The format being edited; one editor is open at a time (it is modal).
ImportFormat *g_edit = nullptr;

std::string ItemText(HWND dialog, int id, int limit) {
    std::string text(static_cast<size_t>(limit) + 1, '\0');
    int n = GetDlgItemTextA(dialog, id, &text[0], limit + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

int Selected(HWND dialog, int id) { return (int)SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0); }

void EnableItem(HWND dialog, int id, bool on) {
    if (HWND c = GetDlgItem(dialog, id)) EnableWindow(c, on ? TRUE : FALSE);
}

void FillList(HWND dialog, int list, int add, int del, const std::vector<std::string> &rows, int max) {
    SendDlgItemMessageA(dialog, list, CB_RESETCONTENT, 0, 0);
    for (const std::string &r : rows) SendDlgItemMessageA(dialog, list, CB_ADDSTRING, 0, (LPARAM)r.c_str());
    bool kindOk = list >= IDC_FORMAT_DELIMITER ? g_edit->kind == kFormatKindDelimited
                                               : g_edit->kind == kFormatKindTagged;
    EnableItem(dialog, add, kindOk && (int)rows.size() < max);
    EnableItem(dialog, del, kindOk && !rows.empty());
    if (!rows.empty()) SendDlgItemMessageA(dialog, list, CB_SETCURSEL, 0, 0);
}

// A source list: "Obtain from file" (data -1), then each readable entry with
// its store index as the item's data, so a skipped entry cannot shift the rest.
void AddSourceItem(HWND dialog, int list, const char *name, int storeIndex) {
    LRESULT at = SendDlgItemMessageA(dialog, list, CB_ADDSTRING, 0, (LPARAM)name);
    if (at >= 0) SendDlgItemMessageA(dialog, list, CB_SETITEMDATA, at, storeIndex);
}

void SelectStoreIndex(HWND dialog, int list, int storeIndex) {
    int n = (int)SendDlgItemMessageA(dialog, list, CB_GETCOUNT, 0, 0);
    int row = 0;
    for (int i = 1; i < n && storeIndex >= 0; ++i)
        if ((int)SendDlgItemMessageA(dialog, list, CB_GETITEMDATA, i, 0) == storeIndex) row = i;
    SendDlgItemMessageA(dialog, list, CB_SETCURSEL, row, 0);
}

// A source list's selection changed: read the fixed entry from its store, or
// take the column from the edit.
void SourceChanged(HWND dialog, int list) {
    int row = Selected(dialog, list);
    int index = row > 0 ? (int)SendDlgItemMessageA(dialog, list, CB_GETITEMDATA, row, 0) : -1;
    int32_t column = -1;
    if (list == IDC_FORMAT_SITE) {
        if (index < 0) {
            ParseSourceColumnText(ItemText(dialog, IDC_FORMAT_SITE_COLUMN, 63).c_str(), &column);
            std::memcpy(&g_edit->siteColumn, &column, sizeof column);
            g_edit->siteFixed = 0;
        } else {
            int16_t count = 0;
            if (FILE *f = OpenLocationStore(&count)) {
                LocationRecord site;
                if (ReadLocation(f, index, &site, nullptr)) {
                    std::memcpy(&g_edit->fixedSite, &site, sizeof site);
                    g_edit->siteFixed = 1;
                }
                std::fclose(f);
            }
        }
    } else if (list == IDC_FORMAT_OBSERVER) {
        if (index < 0) {
            ParseSourceColumnText(ItemText(dialog, IDC_FORMAT_OBSERVER_COLUMN, 63).c_str(), &column);
            std::memcpy(&g_edit->observerColumn, &column, sizeof column);
            g_edit->observerFixed = 0;
        } else {
            int16_t count = 0;
            if (FILE *f = OpenObserverStore(&count)) {
                ObserverRecord observer;
                if (ReadObserver(f, index, &observer)) {
                    std::memcpy(&g_edit->fixedObserver, &observer, sizeof observer);
                    g_edit->observerFixed = 1;
                }
                std::fclose(f);
            }
        }
    } else {
        if (index < 0) {
            ParseSourceColumnText(ItemText(dialog, IDC_FORMAT_INSTRUMENT_COLUMN, 63).c_str(), &column);
            std::memcpy(&g_edit->instrumentColumn, &column, sizeof column);
            g_edit->instrumentFixed = 0;
        } else {
            int32_t count = 0;
            if (FILE *f = OpenInstrumentFile(&count)) {
                std::unique_ptr<InstrumentRecord> instrument(new InstrumentRecord);
                if (ReadInstrument(f, instrument.get(), index)) {
                    std::memcpy(&g_edit->fixedInstrument, instrument.get(), sizeof *instrument);
                    g_edit->instrumentFixed = 1;
                }
                std::fclose(f);
            }
        }
    }
    UpdateSourceFieldState(dialog);
}

void AddColumn(HWND dialog, int32_t *slots, int n, const char *full, const char *prompt) {
    int slot = FirstFreeColumnSlot(slots, n);
    if (slot < 0) {
        MessageBoxA(dialog, full, kMessageCaption, MB_ICONERROR);
        return;
    }
    int typed = RunColumnDialog(dialog, prompt);
    if (typed > kMaxImportColumn) {
        // The passes never read beyond this field.
        MessageBoxA(dialog, "The column is invalid.", kMessageCaption, MB_ICONERROR);
        return;
    }
    if (typed > 0) {
        int32_t value = typed - 1;
        std::memcpy(&slots[slot], &value, sizeof value);
    }
}

void AddTag(HWND dialog, char (*tags)[kFormatTagSize], int n, const char *full, const char *prompt) {
    int slot = FirstFreeTagSlot(tags, n);
    if (slot < 0) {
        MessageBoxA(dialog, full, kMessageCaption, MB_ICONERROR);
        return;
    }
    char tag[kFormatTagSize] = "";
    if (RunTagDialog(dialog, prompt, tag) > 0) std::memcpy(tags[slot], tag, kFormatTagSize);
}

INT_PTR CALLBACK ColumnDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (lParam) SetWindowTextA(dialog, reinterpret_cast<const char *>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            const std::string text = ItemText(dialog, IDC_COLUMN_NUMBER, 63);
            const int value = ColumnPromptValue(text.c_str());
            if (value < 0) {
                // Refused with the field named, and the prompt stays open.
                char field[96] = "";
                GetWindowTextA(dialog, field, sizeof field);
                std::string why = TypedTextIsNumber(text.c_str())
                                      ? "The column number for " + std::string(field) + " must be 1 to " +
                                            std::to_string(kMaxImportColumn) + ": \"" + text + "\"."
                                      : "The column number for " + std::string(field) + " holds no number: \"" +
                                            text + "\".";
                MessageBoxA(dialog, why.c_str(), kMessageCaption, MB_ICONERROR);
                SetFocus(GetDlgItem(dialog, IDC_COLUMN_NUMBER));
                SendDlgItemMessageA(dialog, IDC_COLUMN_NUMBER, EM_SETSEL, 0, -1);
                return TRUE;
            }
            EndDialog(dialog, value);
            return TRUE;
        }
        return HandleDialogEndButton(dialog, LOWORD(wParam), kNoHelpTopic);
    }
    return FALSE;
}

struct TagPrompt {
    const char *prompt;
    char *tag;
};

INT_PTR CALLBACK TagDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        if (auto *p = reinterpret_cast<TagPrompt *>(lParam)) SetWindowTextA(dialog, p->prompt);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto *p = reinterpret_cast<TagPrompt *>(GetWindowLongPtrA(dialog, DWLP_USER));
            std::string text = ItemText(dialog, IDC_TAG_TEXT, 63);
            if (p && p->tag) std::snprintf(p->tag, 64, "%s", text.c_str());
            EndDialog(dialog, (INT_PTR)text.size());
            return TRUE;
        }
        return HandleDialogEndButton(dialog, LOWORD(wParam), kNoHelpTopic);
    }
    return FALSE;
}

}  // namespace

int RunColumnDialog(HWND owner, const char *prompt) {
    INT_PTR r = DialogBoxParamA(GetProgramInstance(), "ColumnDlg", owner, ColumnDlgProc, (LPARAM)prompt);
    return (int)r;
}

int RunTagDialog(HWND owner, const char *prompt, char *tag) {
    TagPrompt p = {prompt, tag};
    INT_PTR r = DialogBoxParamA(GetProgramInstance(), "TagDlg", owner, TagDlgProc, (LPARAM)&p);
    return r > 0 ? (int)r : 0;
}

void InitConfigDialog(HWND dialog) {
    for (const char *name : kDelimiterNames)
        SendDlgItemMessageA(dialog, IDC_FORMAT_DELIMITER, CB_ADDSTRING, 0, (LPARAM)name);
    for (const char *name : kDateLayoutNames)
        SendDlgItemMessageA(dialog, IDC_FORMAT_DATE_LAYOUT, CB_ADDSTRING, 0, (LPARAM)name);

    for (int list : {IDC_FORMAT_SITE, IDC_FORMAT_OBSERVER, IDC_FORMAT_INSTRUMENT})
        AddSourceItem(dialog, list, "Obtain from file", -1);
    int16_t count = 0;
    if (FILE *f = OpenLocationStore(&count)) {
        LocationRecord site;
        for (int i = 0; i < count; ++i)
            if (ReadLocation(f, i, &site, nullptr)) AddSourceItem(dialog, IDC_FORMAT_SITE, site.name, i);
        std::fclose(f);
    }
    if (FILE *f = OpenObserverStore(&count)) {
        ObserverRecord observer;
        for (int i = 0; i < count; ++i)
            if (ReadObserver(f, i, &observer)) AddSourceItem(dialog, IDC_FORMAT_OBSERVER, observer.name, i);
        std::fclose(f);
    }
    int32_t instruments = 0;
    if (FILE *f = OpenInstrumentFile(&instruments)) {
        std::unique_ptr<InstrumentRecord> instrument(new InstrumentRecord);
        for (int i = 0; i < instruments; ++i)
            if (ReadInstrument(f, instrument.get(), i)) {
                instrument->name[sizeof instrument->name - 1] = '\0';
                AddSourceItem(dialog, IDC_FORMAT_INSTRUMENT, instrument->name, i);
            }
        std::fclose(f);
    }

    std::string text;
    if (ReadFilePreviewText(CurrentImportSettings().importPath, &text))
        SetDlgItemTextA(dialog, IDC_FORMAT_FILE_CONTENTS, text.c_str());
}

void ShowFormatInDialog(HWND dialog) {
    ImportFormat *f = g_edit;
    f->name[kFormatNameSize - 1] = '\0';
    SetDlgItemTextA(dialog, IDC_FORMAT_NAME, f->name);
    SetDlgItemInt(dialog, IDC_FORMAT_SKIP_LINES, f->skipLines < 0 ? 0 : (UINT)f->skipLines, FALSE);
    SendDlgItemMessageA(dialog, IDC_FORMAT_DATE_LAYOUT, CB_SETCURSEL,
                        f->dateLayout >= 0 && f->dateLayout < kDateLayoutCount ? f->dateLayout : -1, 0);
    char comment[2] = {f->commentChar, '\0'};
    SetDlgItemTextA(dialog, IDC_FORMAT_COMMENT, comment);
    CheckRadioButton(dialog, IDC_FORMAT_KIND_DELIMITED, IDC_FORMAT_KIND_XML,
                     f->kind == kFormatKindTagged ? IDC_FORMAT_KIND_XML : IDC_FORMAT_KIND_DELIMITED);
    SendDlgItemMessageA(dialog, IDC_FORMAT_DELIMITER, CB_SETCURSEL, DelimiterIndexOf(f->delimiter), 0);

    struct Source { int list, edit; bool fixed; const char *name; int32_t column; int (*find)(FILE *, const char *); };
    f->fixedSite.name[sizeof f->fixedSite.name - 1] = '\0';
    f->fixedObserver.name[sizeof f->fixedObserver.name - 1] = '\0';
    f->fixedInstrument.name[sizeof f->fixedInstrument.name - 1] = '\0';
    const Source sources[] = {
        {IDC_FORMAT_SITE, IDC_FORMAT_SITE_COLUMN, f->siteFixed != 0, f->fixedSite.name, f->siteColumn,
         FindLocationIndexByName},
        {IDC_FORMAT_OBSERVER, IDC_FORMAT_OBSERVER_COLUMN, f->observerFixed != 0, f->fixedObserver.name,
         f->observerColumn, FindObserverIndexByName},
        {IDC_FORMAT_INSTRUMENT, IDC_FORMAT_INSTRUMENT_COLUMN, f->instrumentFixed != 0,
         f->fixedInstrument.name, f->instrumentColumn, FindInstrumentIndexByName},
    };
    for (const Source &s : sources) {
        int index = -1;
        if (s.fixed) {
            FILE *store = nullptr;
            int16_t c16 = 0;
            int32_t c32 = 0;
            if (s.list == IDC_FORMAT_SITE) store = OpenLocationStore(&c16);
            else if (s.list == IDC_FORMAT_OBSERVER) store = OpenObserverStore(&c16);
            else store = OpenInstrumentFile(&c32);
            if (store) {
                index = s.find(store, s.name);
                std::fclose(store);
            }
        }
        SelectStoreIndex(dialog, s.list, index);
        SetDlgItemTextA(dialog, s.edit, s.fixed ? "" : ColumnText(s.column).c_str());
    }

    SetDlgItemTextA(dialog, IDC_FORMAT_TIME_COLUMN, "");
    SetDlgItemTextA(dialog, IDC_FORMAT_DATE_COLUMN, ColumnText(f->dateColumn).c_str());
    if (f->dateLayout % 2 == 1)
        SetDlgItemTextA(dialog, IDC_FORMAT_TIME_COLUMN, ColumnText(f->timeColumn).c_str());
    SetDlgItemTextA(dialog, IDC_FORMAT_TARGET_COLUMN, ColumnText(f->targetColumn).c_str());
    SetDlgItemTextA(dialog, IDC_FORMAT_DESCRIPTION_COLUMN, ColumnText(f->descriptionColumn).c_str());

    FillConditionColumnList(dialog);
    FillExtraColumnList(dialog);
    FillConditionTagList(dialog);
    FillExtraTagList(dialog);

    char *const tags[8] = {f->entryTag, f->siteTag, f->observerTag, f->instrumentTag,
                           f->dateTag, f->timeTag, f->targetTag, f->descriptionTag};
    for (int i = 0; i < 8; ++i) {
        tags[i][kFormatTagSize - 1] = '\0';
        SetDlgItemTextA(dialog, IDC_FORMAT_ENTRY_TAG + i, tags[i]);
    }
    UpdateFormatKindState(dialog);
}

int ReadFormatFromDialog(HWND dialog, char *message, int size) {
    FormatEditorFields in;
    in.name = ItemText(dialog, IDC_FORMAT_NAME, 63);
    in.skipLines = ItemText(dialog, IDC_FORMAT_SKIP_LINES, 63);
    in.commentChar = ItemText(dialog, IDC_FORMAT_COMMENT, 63);
    in.dateLayout = Selected(dialog, IDC_FORMAT_DATE_LAYOUT);
    in.delimiterIndex = Selected(dialog, IDC_FORMAT_DELIMITER);
    in.timeColumn = ItemText(dialog, IDC_FORMAT_TIME_COLUMN, 63);
    in.dateColumn = ItemText(dialog, IDC_FORMAT_DATE_COLUMN, 63);
    in.targetColumn = ItemText(dialog, IDC_FORMAT_TARGET_COLUMN, 63);
    in.descriptionColumn = ItemText(dialog, IDC_FORMAT_DESCRIPTION_COLUMN, 63);
    in.siteFixed = Selected(dialog, IDC_FORMAT_SITE) > 0;
    in.observerFixed = Selected(dialog, IDC_FORMAT_OBSERVER) > 0;
    in.instrumentFixed = Selected(dialog, IDC_FORMAT_INSTRUMENT) > 0;
    in.siteColumn = ItemText(dialog, IDC_FORMAT_SITE_COLUMN, 63);
    in.observerColumn = ItemText(dialog, IDC_FORMAT_OBSERVER_COLUMN, 63);
    in.instrumentColumn = ItemText(dialog, IDC_FORMAT_INSTRUMENT_COLUMN, 63);
    for (int i = 0; i < 8; ++i) in.tags[i] = ItemText(dialog, IDC_FORMAT_ENTRY_TAG + i, 64);
    std::string text;
    if (ReadFormatFromFields(in, g_edit, &text)) return 1;
    std::snprintf(message, size, "%s", text.c_str());
    return 0;
}

void UpdateFormatKindState(HWND dialog) {
    bool delimited = g_edit->kind != kFormatKindTagged;
    for (int id = IDC_FORMAT_DELIMITER; id <= IDC_FORMAT_INSTRUMENT_COLUMN; ++id)
        EnableItem(dialog, id, delimited);
    for (int id = IDC_FORMAT_ENTRY_TAG; id <= IDC_FORMAT_DEL_EXTRA_TAG; ++id)
        EnableItem(dialog, id, !delimited);
    // Add and Del also follow their lists' fill.
    FillConditionColumnList(dialog);
    FillExtraColumnList(dialog);
    FillConditionTagList(dialog);
    FillExtraTagList(dialog);
    UpdateTimeFieldState(dialog);
    UpdateSourceFieldState(dialog);
}

void UpdateTimeFieldState(HWND dialog) {
    bool odd = g_edit->dateLayout % 2 == 1;
    bool delimited = g_edit->kind != kFormatKindTagged;
    EnableItem(dialog, IDC_FORMAT_TIME_COLUMN, odd && delimited);
    EnableItem(dialog, IDC_FORMAT_TIME_TAG, odd && !delimited);
}

void UpdateSourceFieldState(HWND dialog) {
    bool delimited = g_edit->kind != kFormatKindTagged;
    EnableItem(dialog, IDC_FORMAT_SITE_COLUMN, !g_edit->siteFixed && delimited);
    EnableItem(dialog, IDC_FORMAT_OBSERVER_COLUMN, !g_edit->observerFixed && delimited);
    EnableItem(dialog, IDC_FORMAT_INSTRUMENT_COLUMN, !g_edit->instrumentFixed && delimited);
    EnableItem(dialog, IDC_FORMAT_SITE_TAG, !g_edit->siteFixed && !delimited);
    EnableItem(dialog, IDC_FORMAT_OBSERVER_TAG, !g_edit->observerFixed && !delimited);
    EnableItem(dialog, IDC_FORMAT_INSTRUMENT_TAG, !g_edit->instrumentFixed && !delimited);
}

void FillConditionColumnList(HWND dialog) {
    int32_t slots[kConditionSlots];
    std::memcpy(slots, g_edit->conditionColumns, sizeof slots);
    FillList(dialog, IDC_FORMAT_CONDITION_COLUMNS, IDC_FORMAT_ADD_CONDITION_COLUMN,
             IDC_FORMAT_DEL_CONDITION_COLUMN, ListedColumns(slots, kConditionSlots), kConditionSlots);
}

void FillExtraColumnList(HWND dialog) {
    int32_t slots[kExtraSlots];
    std::memcpy(slots, g_edit->extraColumns, sizeof slots);
    FillList(dialog, IDC_FORMAT_EXTRA_COLUMNS, IDC_FORMAT_ADD_EXTRA_COLUMN, IDC_FORMAT_DEL_EXTRA_COLUMN,
             ListedColumns(slots, kExtraSlots), kExtraSlots);
}

void FillConditionTagList(HWND dialog) {
    FillList(dialog, IDC_FORMAT_CONDITION_TAGS, IDC_FORMAT_ADD_CONDITION_TAG, IDC_FORMAT_DEL_CONDITION_TAG,
             ListedTags(g_edit->conditionTags, kConditionSlots), kConditionSlots);
}

void FillExtraTagList(HWND dialog) {
    FillList(dialog, IDC_FORMAT_EXTRA_TAGS, IDC_FORMAT_ADD_EXTRA_TAG, IDC_FORMAT_DEL_EXTRA_TAG,
             ListedTags(g_edit->extraTags, kExtraSlots), kExtraSlots);
}

INT_PTR CALLBACK ConfigDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (lParam) g_edit = reinterpret_cast<ImportFormat *>(lParam);
        if (!g_edit) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        InitConfigDialog(dialog);
        ShowFormatInDialog(dialog);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        int32_t columns[kExtraSlots];
        switch (id) {
        case IDOK: {
            char text[256] = "";
            if (ReadFormatFromDialog(dialog, text, sizeof text)) EndDialog(dialog, 1);
            else MessageBoxA(dialog, text, kMessageCaption, MB_ICONERROR);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDHELP:
            ShowGleanerHelpTopic(IDH_FORMATS);
            return TRUE;
        case IDC_FORMAT_KIND_DELIMITED:
        case IDC_FORMAT_KIND_XML:
            g_edit->kind = id == IDC_FORMAT_KIND_XML ? kFormatKindTagged : kFormatKindDelimited;
            UpdateFormatKindState(dialog);
            return TRUE;
        case IDC_FORMAT_DATE_LAYOUT:
            if (code == CBN_SELCHANGE) {
                int layout = Selected(dialog, IDC_FORMAT_DATE_LAYOUT);
                if (layout >= 0) g_edit->dateLayout = layout;
                UpdateTimeFieldState(dialog);
            }
            return TRUE;
        case IDC_FORMAT_SITE:
        case IDC_FORMAT_OBSERVER:
        case IDC_FORMAT_INSTRUMENT:
            if (code == CBN_SELCHANGE) SourceChanged(dialog, id);
            return TRUE;
        case IDC_FORMAT_ADD_CONDITION_COLUMN:
        case IDC_FORMAT_DEL_CONDITION_COLUMN:
            std::memcpy(columns, g_edit->conditionColumns, sizeof g_edit->conditionColumns);
            if (id == IDC_FORMAT_ADD_CONDITION_COLUMN)
                AddColumn(dialog, columns, kConditionSlots,
                          "No more than two observing condition columns are allowed", "Observing Conditions");
            else if (Selected(dialog, IDC_FORMAT_CONDITION_COLUMNS) >= 0)
                DeleteColumnSlot(columns, kConditionSlots, Selected(dialog, IDC_FORMAT_CONDITION_COLUMNS));
            std::memcpy(g_edit->conditionColumns, columns, sizeof g_edit->conditionColumns);
            FillConditionColumnList(dialog);
            return TRUE;
        case IDC_FORMAT_ADD_EXTRA_COLUMN:
        case IDC_FORMAT_DEL_EXTRA_COLUMN:
            std::memcpy(columns, g_edit->extraColumns, sizeof g_edit->extraColumns);
            if (id == IDC_FORMAT_ADD_EXTRA_COLUMN)
                AddColumn(dialog, columns, kExtraSlots, "No more than five extra data columns are allowed",
                          "Extra Data");
            else if (Selected(dialog, IDC_FORMAT_EXTRA_COLUMNS) >= 0)
                DeleteColumnSlot(columns, kExtraSlots, Selected(dialog, IDC_FORMAT_EXTRA_COLUMNS));
            std::memcpy(g_edit->extraColumns, columns, sizeof g_edit->extraColumns);
            FillExtraColumnList(dialog);
            return TRUE;
        case IDC_FORMAT_ADD_CONDITION_TAG:
            AddTag(dialog, g_edit->conditionTags, kConditionSlots,
                   "No more than two observing condition tags are allowed", "Observing Conditions");
            FillConditionTagList(dialog);
            return TRUE;
        case IDC_FORMAT_DEL_CONDITION_TAG:
            if (Selected(dialog, IDC_FORMAT_CONDITION_TAGS) >= 0)
                DeleteTagSlot(g_edit->conditionTags, kConditionSlots,
                              Selected(dialog, IDC_FORMAT_CONDITION_TAGS));
            FillConditionTagList(dialog);
            return TRUE;
        case IDC_FORMAT_ADD_EXTRA_TAG:
            AddTag(dialog, g_edit->extraTags, kExtraSlots, "No more than five extra data tags are allowed",
                   "Extra Data");
            FillExtraTagList(dialog);
            return TRUE;
        case IDC_FORMAT_DEL_EXTRA_TAG:
            if (Selected(dialog, IDC_FORMAT_EXTRA_TAGS) >= 0)
                DeleteTagSlot(g_edit->extraTags, kExtraSlots, Selected(dialog, IDC_FORMAT_EXTRA_TAGS));
            FillExtraTagList(dialog);
            return TRUE;
        }
        break;
    }
    }
    return FALSE;
}

int RunFormatEditor(HWND owner) {
    std::unique_ptr<ImportFormat> copy(new ImportFormat);
    std::memcpy(copy.get(), &CurrentImportFormat(), sizeof *copy);
    ImportFormat *outer = g_edit;
    g_edit = copy.get();
    INT_PTR r = DialogBoxParamA(GetProgramInstance(), "ConfigDlg", owner, ConfigDlgProc, (LPARAM)copy.get());
    g_edit = outer;
    if (r != 1) return 0;
    std::memcpy(&CurrentImportFormat(), copy.get(), sizeof *copy);
    return 1;
}
