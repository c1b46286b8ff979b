// The object picker's "Enter Coordinates" page ("RCoordSubDlg"): a right
// ascension in hours or degrees, a declination and an equinox typed or
// pasted, turned into a bare position at J2000.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "astro/angleparse.h"
#include "astro/angletext.h"
#include "core/dlgsettings.h"
#include "picker/pickercoords.h"
#include "picker/pickerstate_win.h"
#include "core/mathutil.h"
#include "resources/pickerids.h"

namespace {

const int kFieldChars = 127;  // 126 characters and the terminator

// The RA of a place as the input format shows it: hours "12h34m56.7s"
// (without the formatter's leading blank) or "%.8lf" degrees.
void PutRightAscension(HWND page, double rightAscension) {
    char text[64];
    const double hours = rightAscension * 12.0 / kPi;
    if (g_raInputFormat == 1) {
        std::snprintf(text, sizeof text, "%.8lf", hours * 15.0);
    } else {
        char buffer[kAngleTextSize];
        FormatRightAscensionTenths(buffer, hours);
        std::snprintf(text, sizeof text, "%s", buffer[0] ? buffer + 1 : buffer);
    }
    SetDlgItemTextA(page, IDC_COORD_RA, text);
}

void FillFromBarePosition(HWND page, const ObjectRecord &record) {
    int32_t raTurns, decTurns;
    std::memcpy(&raTurns, &record.raTurns, sizeof raTurns);
    std::memcpy(&decTurns, &record.decTurns, sizeof decTurns);
    double ra = raTurns / 2147483647.0 * 2.0 * kPi;
    if (ra < 0.0) ra += 2.0 * kPi;
    const double degrees = decTurns / 2147483647.0 * 360.0;
    PutRightAscension(page, ra);
    char text[64];
    if (g_raInputFormat == 1) {
        std::snprintf(text, sizeof text, "%.8lf", degrees);
    } else {
        char buffer[kAngleTextSize];
        FormatDeclinationTenths(buffer, degrees);
        std::snprintf(text, sizeof text, "%s", buffer[0] ? buffer + 1 : buffer);
    }
    SetDlgItemTextA(page, IDC_COORD_DEC, text);
    SetDlgItemTextA(page, IDC_COORD_EQUINOX, "J2000");
}

void PasteCoordinates(HWND page) {
    if (!g_requestor || !IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(page)) return;
    char text[256] = "";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char *p = static_cast<const char *>(GlobalLock(data))) {
            SIZE_T room = GlobalSize(data);
            size_t n = 0;
            while (n + 1 < sizeof text && n < room && p[n]) {
                text[n] = p[n];
                ++n;
            }
            text[n] = '\0';
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    double ra, dec;
    if (!text[0] || !ParseRaDecPair(text, &ra, &dec)) return;
    PutRightAscension(page, ra);
    char buffer[kAngleTextSize];
    FormatDeclination(buffer, dec * 180.0 / kPi);
    SetDlgItemTextA(page, IDC_COORD_DEC, buffer);
    SetDlgItemTextA(page, IDC_COORD_EQUINOX, "J2000");
    MakePositionObject(&g_requestor->current, ra, dec);
}

}  // namespace

int ReadEnteredCoordinates(HWND page) {
    if (!g_requestor) return 0;
    char ra[kFieldChars] = "", dec[kFieldChars] = "", equinox[kFieldChars] = "";
    GetDlgItemTextA(page, IDC_COORD_RA, ra, sizeof ra);
    GetDlgItemTextA(page, IDC_COORD_DEC, dec, sizeof dec);
    GetDlgItemTextA(page, IDC_COORD_EQUINOX, equinox, sizeof equinox);
    double rightAscension = 0.0, declination = 0.0;
    int emptyEquinox = 0;
    int result = ReadEnteredCoordinateTexts(ra, dec, equinox, g_raInputFormat, &rightAscension,
                                            &declination, &emptyEquinox);
    if (emptyEquinox) SetDlgItemTextA(page, IDC_COORD_EQUINOX, "J2000");
    if (result != kCoordinatesRead) {
        const int field = result == kCoordinatesBadRa    ? IDC_COORD_RA
                          : result == kCoordinatesBadDec ? IDC_COORD_DEC
                                                         : IDC_COORD_EQUINOX;
        SetDlgItemTextA(page, field, "");
        MessageBoxA(page, EnteredCoordinatesMessage(result), "Nightjar Message",
                    MB_OK | MB_ICONERROR);
        return 0;
    }
    MakePositionObject(&g_requestor->current, rightAscension, declination);
    return 1;
}

INT_PTR CALLBACK RCoordSubDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        unsigned char format = 0;
        if (!GetDialogSetting(&format, 1, kDdsCoordinateUnits)) format = 0;
        g_raInputFormat = format == 1 ? 1 : 0;
        CheckRadioButton(dialog, IDC_COORD_HOURS, IDC_COORD_DEGREES,
                         g_raInputFormat ? IDC_COORD_DEGREES : IDC_COORD_HOURS);
        for (int id : {IDC_COORD_RA, IDC_COORD_DEC, IDC_COORD_EQUINOX})
            SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, kFieldChars - 1, 0);
        if (g_requestor && g_requestor->current.objectClass == kClassSkyMark &&
            g_requestor->current.index == 0)
            FillFromBarePosition(dialog, g_requestor->current);
        g_coordinatesAccepted = 0;
        SetFocus(GetDlgItem(dialog, IDC_COORD_ACCEPT));
        return FALSE;
    }
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        // Coordinates changed after Accept are read again by OK: otherwise OK
        // would hand back the place accepted before, not the one shown.
        if ((id == IDC_COORD_RA || id == IDC_COORD_DEC || id == IDC_COORD_EQUINOX) &&
            HIWORD(wParam) == EN_CHANGE) {
            g_coordinatesAccepted = 0;
            return TRUE;
        }
        if (id == IDC_COORD_HOURS || id == IDC_COORD_DEGREES) {
            g_raInputFormat = id == IDC_COORD_DEGREES ? 1 : 0;
            unsigned char format = static_cast<unsigned char>(g_raInputFormat);
            PutDialogSetting(&format, 1, kDdsCoordinateUnits);
            g_coordinatesAccepted = 0;  // the RA field now reads in the other unit
            return TRUE;
        }
        if (id == IDC_COORD_ACCEPT) {
            g_coordinatesAccepted = ReadEnteredCoordinates(dialog);
            if (g_coordinatesAccepted && g_requestor)
                ShowSelectedObject(g_requestor->requestor, &g_requestor->current,
                                   FindComponentRow(&g_requestor->current));
            return TRUE;
        }
        if (id == IDC_COORD_PASTE) {
            PasteCoordinates(dialog);
            if (g_requestor)
                ShowSelectedObject(g_requestor->requestor, &g_requestor->current,
                                   FindComponentRow(&g_requestor->current));
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    }
    return FALSE;
}
