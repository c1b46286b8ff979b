// The daylight-saving rule dialog "Daylight Saving Rules": the start and end
// of the rule as week, weekday and month rows and four clock digits each,
// stepped by small scroll bars, with the US, EU and Australian presets. It
// edits the open site dialog's site; Cancel puts the rule back as it was.
#include <windows.h>

#include <cstdio>

#include "astro/angletext.h"
#include "astro/datetext.h"
#include "core/hostcallbacks.h"
#include "core/resstrings.h"
#include "dialogs/sitedialogs_win.h"
#include "resources/helptopics.h"
#include "resources/siteids.h"
#include "sites/daylightdigits.h"

namespace {

const int kWeekStringFirst = 9506;  // "First" .. "Last"
const char kShiftRefused[] = "The number of hours to add must be a number from -12 to 12.";

DaylightSavingRule g_ruleAtOpening;  // what Cancel puts back

// The scroll bars: which clock (0 start, 1 end) and which digit.
struct DigitBar {
    int id, clock, digit;
};
const DigitBar kDigitBars[] = {
    {IDC_DST_START_HOUR_TENS, 0, kHourTens},   {IDC_DST_START_HOUR_UNITS, 0, kHourUnits},
    {IDC_DST_START_MINUTE_TENS, 0, kMinuteTens}, {IDC_DST_START_MINUTE_UNITS, 0, kMinuteUnits},
    {IDC_DST_END_HOUR_TENS, 1, kHourTens},     {IDC_DST_END_HOUR_UNITS, 1, kHourUnits},
    {IDC_DST_END_MINUTE_TENS, 1, kMinuteTens}, {IDC_DST_END_MINUTE_UNITS, 1, kMinuteUnits},
};

void FillCombos(HWND dialog) {
    for (int week : {IDC_DST_START_WEEK, IDC_DST_END_WEEK})
        for (int i = 0; i < 4; ++i)
            SendDlgItemMessageA(dialog, week, CB_ADDSTRING, 0, (LPARAM)LoadResString(kWeekStringFirst + i));
    for (int day : {IDC_DST_START_WEEKDAY, IDC_DST_END_WEEKDAY})
        for (int i = 0; i < 7; ++i) SendDlgItemMessageA(dialog, day, CB_ADDSTRING, 0, (LPARAM)GetWeekdayName(i));
    for (int month : {IDC_DST_START_MONTH, IDC_DST_END_MONTH})
        for (int i = 1; i <= 12; ++i) SendDlgItemMessageA(dialog, month, CB_ADDSTRING, 0, (LPARAM)GetMonthName(i));
}

void ShowTime(HWND dialog, int id, double hours) {
    char text[32];
    SetDlgItemTextA(dialog, id, FormatClockTime(text, hours));
}

void SplitRuleDigits(LocDlgState *st) {
    SplitClockDigits(st->site.dst.startHour, st->clockDigits);
    SplitClockDigits(st->site.dst.endHour, st->clockDigits + 4);
}

void ShowDaylightRule(HWND dialog, const LocDlgState *st) {
    const DaylightSavingRule &r = st->site.dst;
    char text[32];
    snprintf(text, sizeof text, "%lg", static_cast<double>(r.shift));
    SetDlgItemTextA(dialog, IDC_DST_SHIFT, text);
    ShowTime(dialog, IDC_DST_START_TIME, r.startHour);
    ShowTime(dialog, IDC_DST_END_TIME, r.endHour);
    SendDlgItemMessageA(dialog, IDC_DST_START_WEEKDAY, CB_SETCURSEL, r.startWeekday, 0);
    SendDlgItemMessageA(dialog, IDC_DST_END_WEEKDAY, CB_SETCURSEL, r.endWeekday, 0);
    SendDlgItemMessageA(dialog, IDC_DST_START_WEEK, CB_SETCURSEL, r.startWeek, 0);
    SendDlgItemMessageA(dialog, IDC_DST_END_WEEK, CB_SETCURSEL, r.endWeek, 0);
    SendDlgItemMessageA(dialog, IDC_DST_START_MONTH, CB_SETCURSEL, r.startMonth - 1, 0);
    SendDlgItemMessageA(dialog, IDC_DST_END_MONTH, CB_SETCURSEL, r.endMonth - 1, 0);
}

void UpdateStartTimeFromDigits(HWND dialog, LocDlgState *st) {
    st->site.dst.startHour = static_cast<float>(ClockDigitsToHours(st->clockDigits));
    ShowTime(dialog, IDC_DST_START_TIME, st->site.dst.startHour);
}

void UpdateEndTimeFromDigits(HWND dialog, LocDlgState *st) {
    st->site.dst.endHour = static_cast<float>(ClockDigitsToHours(st->clockDigits + 4));
    ShowTime(dialog, IDC_DST_END_TIME, st->site.dst.endHour);
}

void ScrollDigit(HWND dialog, LocDlgState *st, HWND bar, int code) {
    int delta = code == SB_LINEUP ? 1 : code == SB_LINEDOWN ? -1 : 0;
    if (!delta) return;
    int id = GetDlgCtrlID(bar);
    for (const DigitBar &b : kDigitBars) {
        if (b.id != id) continue;
        StepClockDigit(st->clockDigits + 4 * b.clock, b.digit, delta);
        if (b.clock == 0) UpdateStartTimeFromDigits(dialog, st);
        else UpdateEndTimeFromDigits(dialog, st);
        return;
    }
}

int Row(HWND dialog, int id) {
    int row = static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
    return row < 0 ? 0 : row;
}

void ApplyPreset(HWND dialog, LocDlgState *st, int id) {
    if (id == IDC_DST_PRESET_US) SetNorthernDaylightSavingPreset(&st->site.dst);
    else if (id == IDC_DST_PRESET_EU) SetEuropeanDaylightSavingPreset(&st->site.dst, st->site.timeZone);
    else SetSouthernDaylightSavingPreset(&st->site.dst);
    SplitRuleDigits(st);
    ShowDaylightRule(dialog, st);
}

// 0 when the shift is refused (the dialog stays open).
int TakeRule(HWND dialog, LocDlgState *st) {
    char text[80] = "";
    GetDlgItemTextA(dialog, IDC_DST_SHIFT, text, sizeof text);
    double shift = 0;
    if (!ParseDaylightShift(text, &shift)) {
        MessageBoxA(dialog, kShiftRefused, "Nightjar Message", MB_OK | MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(dialog, IDC_DST_SHIFT));
        return 0;
    }
    DaylightSavingRule &r = st->site.dst;
    r.shift = static_cast<float>(shift);
    r.startWeekday = static_cast<uint8_t>(Row(dialog, IDC_DST_START_WEEKDAY));
    r.endWeekday = static_cast<uint8_t>(Row(dialog, IDC_DST_END_WEEKDAY));
    r.startWeek = static_cast<uint8_t>(Row(dialog, IDC_DST_START_WEEK));
    r.endWeek = static_cast<uint8_t>(Row(dialog, IDC_DST_END_WEEK));
    r.startMonth = static_cast<uint8_t>(Row(dialog, IDC_DST_START_MONTH) + 1);
    r.endMonth = static_cast<uint8_t>(Row(dialog, IDC_DST_END_MONTH) + 1);
    return 1;
}

void Cancel(HWND dialog, LocDlgState *st) {
    if (st) st->site.dst = g_ruleAtOpening;
    EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK DSDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    LocDlgState *st = GetLocDlgState();
    switch (message) {
    case WM_INITDIALOG:
        if (EndWithoutLocState(dialog, st)) return TRUE;
        g_ruleAtOpening = st->site.dst;
        FillCombos(dialog);
        SplitRuleDigits(st);
        ShowDaylightRule(dialog, st);
        return TRUE;
    case WM_VSCROLL:
        if (st && lParam) ScrollDigit(dialog, st, reinterpret_cast<HWND>(lParam), LOWORD(wParam));
        return TRUE;
    case WM_COMMAND:
        if (!st) return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_DST_PRESET_US:
        case IDC_DST_PRESET_EU:
        case IDC_DST_PRESET_AUS:
            ApplyPreset(dialog, st, LOWORD(wParam));
            return TRUE;
        case IDOK:
            if (TakeRule(dialog, st)) EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            Cancel(dialog, st);
            return TRUE;
        case IDHELP:
            ShowHelpTopic(IDH_DAYLIGHT_RULES);
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        Cancel(dialog, st);
        return TRUE;
    }
    return FALSE;
}
