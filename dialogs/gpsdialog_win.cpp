// The GPS receiver dialog "Get GPS Location": opens the chosen COM port, reads
// what the receiver sent once a second, shows the current fix and the mean of
// the best fixes, and hands that mean to the open site dialog's state.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "astro/angletext.h"
#include "core/dlgsettings.h"
#include "core/hostcallbacks.h"
#include "dialogs/serialport_win.h"
#include "dialogs/sitedialogs_win.h"
#include "resources/helptopics.h"
#include "resources/siteids.h"
#include "sites/gpsmean.h"
#include "sites/nmea.h"

namespace {

const UINT_PTR kGpsTimer = 6;
const UINT kGpsTimerMs = 1000;
const UINT kGpsUpdateMessage = WM_USER + 225;  // lParam: the GpsState
const int kSilentTicksLimit = 3;
const int kPortCount = 12;
const int kReadChunk = 1024;

const char *const kBaudTexts[] = {"300",  "600",   "1200",  "2400",  "4800",
                                  "9600", "19.2K", "38.4K", "57.6K", "115.2K"};
const int kBaudRates[] = {300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
const int kBaudCount = 10;

#pragma pack(push, 1)
struct GpsSettings {
    int32_t port;       // COM port number, 1-12
    int32_t baudIndex;  // row of the baud-rate table, 0-9
};
#pragma pack(pop)
static_assert(sizeof(GpsSettings) == 8, "the GPS dialog setting is 8 bytes");

GpsState g_gps;
HWND g_gpsDialog = nullptr;
int g_timerRunning = 0;
int g_silentTicks = 0;  // kept between openings
int g_updates = 0;
GpsMean g_mean;
GpsSettings g_settings = {1, 4};

const char *FixTypeText(int type) {
    switch (type) {
    case 1: return "Invalid data";
    case 2: return "2D Fix";
    case 3: return "3D Fix";
    default: return "Unknown";
    }
}

const char *QualityText(int quality) {
    switch (quality) {
    case 0: return "Waiting for position fix";
    case 1: return "GPS SPS mode";
    case 2: return "Differential GPS, SPS mode, fix valid";
    case 3: return "GPS PPS mode, fix valid";
    default: return "Unknown quality";
    }
}

void SetAngle(HWND dialog, int id, double degrees) {
    char text[64];
    SetDlgItemTextA(dialog, id, FormatDeclinationTenths(text, degrees));
}

void SetMetres(HWND dialog, int id, double metres) {
    char text[64];
    snprintf(text, sizeof text, "%.0lf meters", metres);
    SetDlgItemTextA(dialog, id, text);
}

void StopGpsTimer(HWND dialog) {
    if (g_timerRunning) KillTimer(dialog, kGpsTimer);
    g_timerRunning = 0;
}

VOID CALLBACK PollGpsPort(HWND, UINT, UINT_PTR, DWORD) {
    uint8_t buffer[kReadChunk];
    int got = ReadSerialPort(GetSerialPort(), buffer, sizeof buffer);
    FeedNmeaBytes(&g_gps, buffer, got);
    if (got <= 0) ++g_silentTicks;
    else g_silentTicks = 0;
    if (g_gpsDialog) PostMessageA(g_gpsDialog, kGpsUpdateMessage, 0, reinterpret_cast<LPARAM>(&g_gps));
}

void StartGpsTimer(HWND dialog) {
    StopGpsTimer(dialog);
    if (SetTimer(dialog, kGpsTimer, kGpsTimerMs, PollGpsPort)) g_timerRunning = 1;
}

int ConnectGps(HWND dialog, int port, int baudIndex) {
    if (baudIndex < 0 || baudIndex >= kBaudCount) baudIndex = 4;
    StopGpsTimer(dialog);
    if (!OpenSerialPort(GetSerialPort(), port, kBaudRates[baudIndex], NOPARITY, 8, ONESTOPBIT, 0)) {
        SetDlgItemTextA(dialog, IDC_GPS_STATUS, "GPS not found!");
        return 0;
    }
    StartGpsTimer(dialog);
    SetDlgItemTextA(dialog, IDC_GPS_STATUS, "Connecting...");
    EnableWindow(GetDlgItem(dialog, IDC_GPS_PORT), FALSE);
    EnableWindow(GetDlgItem(dialog, IDC_GPS_BAUD), FALSE);
    return 1;
}

void ShowGpsUpdate(HWND dialog, const GpsState *s) {
    if (g_silentTicks >= kSilentTicksLimit) {
        StopGpsTimer(dialog);
        SetDlgItemTextA(dialog, IDC_GPS_STATUS, "No data is being received!");
        EnableWindow(GetDlgItem(dialog, IDC_GPS_PORT), TRUE);
        EnableWindow(GetDlgItem(dialog, IDC_GPS_BAUD), TRUE);
        CloseSerialPort(GetSerialPort());
        g_silentTicks = 0;
        g_updates = 0;
        return;
    }
    if (g_silentTicks == 0 && g_updates > 1) SetDlgItemTextA(dialog, IDC_GPS_STATUS, "Connected");
    ++g_updates;

    SetAngle(dialog, IDC_GPS_LATITUDE, s->latitude);
    SetAngle(dialog, IDC_GPS_LONGITUDE, s->longitude);
    SetMetres(dialog, IDC_GPS_ELEVATION, s->altitude);
    SetDlgItemTextA(dialog, IDC_GPS_FIX_TYPE, FixTypeText(s->fixType));
    SetDlgItemTextA(dialog, IDC_GPS_QUALITY, QualityText(s->fixQuality));
    int used = 0;
    for (int i = 0; i < kGpsFixSatellites; ++i)
        if (s->fixSatellites[i]) ++used;
    char text[64];
    snprintf(text, sizeof text, "Using satellites: %d of %d", used, s->satellitesInView);
    SetDlgItemTextA(dialog, IDC_GPS_SATELLITES, text);

    AddGpsFix(&g_mean, s);
    double lon = 0, lat = 0, alt = 0;
    int hasAltitude = 0;
    if (!GetGpsMeanPosition(&g_mean, &lon, &lat, &alt, &hasAltitude)) return;
    EnableWindow(GetDlgItem(dialog, IDC_GPS_USE), TRUE);
    SetAngle(dialog, IDC_GPS_MEAN_LATITUDE, lat);
    SetAngle(dialog, IDC_GPS_MEAN_LONGITUDE, lon);
    if (hasAltitude) SetMetres(dialog, IDC_GPS_MEAN_ELEVATION, alt);
    SetDlgItemTextA(dialog, IDC_GPS_BEST_FIX_TYPE, FixTypeText(g_mean.bestFixType));
    SetDlgItemTextA(dialog, IDC_GPS_BEST_QUALITY, QualityText(g_mean.bestQuality));
    snprintf(text, sizeof text, "Data points: %d - %d", g_mean.positionPoints, g_mean.altitudePoints);
    SetDlgItemTextA(dialog, IDC_GPS_POINTS, text);
}

void InitGpsDialog(HWND dialog) {
    ClearGpsMean(&g_mean);
    g_gpsDialog = dialog;
    SetSerialErrorOwner(dialog);
    if (LocDlgState *st = GetLocDlgState()) {
        st->manualLongitude = st->manualLatitude = st->manualElevation = 0.0;
    }
    InitGpsState(&g_gps);
    g_settings.port = 1;
    g_settings.baudIndex = 4;
    GpsSettings stored;
    if (GetDialogSetting(&stored, sizeof stored, kDdsGps) && stored.port >= 1 &&
        stored.port <= kPortCount && stored.baudIndex >= 0 && stored.baudIndex < kBaudCount)
        g_settings = stored;
    HWND ports = GetDlgItem(dialog, IDC_GPS_PORT);
    for (int i = 1; i <= kPortCount; ++i) {
        char text[16];
        snprintf(text, sizeof text, "COM%d", i);
        SendMessageA(ports, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    SendMessageA(ports, CB_SETCURSEL, g_settings.port - 1, 0);
    HWND bauds = GetDlgItem(dialog, IDC_GPS_BAUD);
    for (const char *text : kBaudTexts) SendMessageA(bauds, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(bauds, CB_SETCURSEL, g_settings.baudIndex, 0);
    for (int id : {IDC_GPS_LONGITUDE, IDC_GPS_LATITUDE, IDC_GPS_ELEVATION})
        SetDlgItemTextA(dialog, id, "No data");
    ConnectGps(dialog, g_settings.port, g_settings.baudIndex);
    EnableWindow(GetDlgItem(dialog, IDC_GPS_USE), FALSE);
    g_updates = 0;
}

void UseMeanPosition(HWND dialog) {
    StopGpsTimer(dialog);
    CloseSerialPort(GetSerialPort());
    LocDlgState *st = GetLocDlgState();
    double lon = 0, lat = 0, alt = 0;
    int hasAltitude = 0;
    if (!GetGpsMeanPosition(&g_mean, &lon, &lat, &alt, &hasAltitude)) lon = lat = 0;
    if (st) {
        st->manualLongitude = -lon;  // west positive
        st->manualLatitude = lat;
        // 0 without a 3D fix: the site keeps the elevation it had.
        st->manualElevation = hasAltitude ? alt : 0.0;
    }
    EndDialog(dialog, 1);
}

}  // namespace

INT_PTR CALLBACK GPSDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitGpsDialog(dialog);
        return TRUE;
    case kGpsUpdateMessage:
        ShowGpsUpdate(dialog, reinterpret_cast<const GpsState *>(lParam));
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        int code = HIWORD(wParam);
        if ((id == IDC_GPS_PORT || id == IDC_GPS_BAUD) && code == CBN_SELCHANGE) {
            int row = static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
            if (row < 0) return TRUE;
            if (id == IDC_GPS_PORT) g_settings.port = row + 1;
            else g_settings.baudIndex = row;
            ConnectGps(dialog, g_settings.port, g_settings.baudIndex);
            return TRUE;
        }
        if (id == IDC_GPS_USE) {
            UseMeanPosition(dialog);
            return TRUE;
        }
        if (id == IDCANCEL) {
            StopGpsTimer(dialog);
            CloseSerialPort(GetSerialPort());
            EndDialog(dialog, 0);
            return TRUE;
        }
        if (id == IDHELP) {
            ShowHelpTopic(IDH_GPS);
            return TRUE;
        }
        return FALSE;
    }
    case WM_CLOSE:
        StopGpsTimer(dialog);
        CloseSerialPort(GetSerialPort());
        EndDialog(dialog, 0);
        return TRUE;
    case WM_DESTROY:
        StopGpsTimer(dialog);
        CloseSerialPort(GetSerialPort());
        PutDialogSetting(&g_settings, sizeof g_settings, kDdsGps);
        g_gpsDialog = nullptr;
        SetSerialErrorOwner(nullptr);
        return FALSE;
    }
    return FALSE;
}
