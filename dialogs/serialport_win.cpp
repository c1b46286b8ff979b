// Serial port layer (see serialport_win.h): CreateFile on "\\.\COM<n>" with
// the device control block set for raw 8-bit reads, and time-outs that make a
// read return at once with what is queued.
#include "dialogs/serialport_win.h"

#include <cstdio>
#include <cstring>

namespace {

SerialPort g_port = {0, INVALID_HANDLE_VALUE, "", 4800, 1};
HWND g_errorOwner = nullptr;

const char kPortInUse[] =
    "\n\n The communications port may be in use at this time. Please choose another port or "
    "close the application using the desired port.";

}  // namespace

SerialPort *GetSerialPort() { return &g_port; }

void SetSerialErrorOwner(HWND owner) { g_errorOwner = owner; }

void ShowSerialError(const char *text) {
    MessageBoxA(g_errorOwner, text, "Nightjar Message", MB_OK);
}

void FormatSerialOpenError(DWORD code, char *buffer, int size) {
    if (code == ERROR_FILE_NOT_FOUND)
        snprintf(buffer, size, "%s%s", "Communication Port Not Found!\n\n",
                 "The communications port does not exist. Check your system configuration on the "
                 "status of this Communication port");
    else if (code == ERROR_ACCESS_DENIED)
        snprintf(buffer, size, "Access Denied!%s", kPortInUse);
    else
        snprintf(buffer, size, "Comm Open Error![%lu]%s", static_cast<unsigned long>(code), kPortInUse);
}

int OpenSerialPort(SerialPort *port, int number, int baudRate, int parity, int byteSize,
                   int stopBits, int quiet) {
    port->baudRate = baudRate;
    port->portNumber = number;
    port->error = 0;
    if (port->handle != INVALID_HANDLE_VALUE) CloseSerialPort(port);
    // The device namespace form reaches COM10 and above as well.
    char name[32];
    snprintf(name, sizeof name, "\\\\.\\COM%d", number);
    port->handle = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port->handle == INVALID_HANDLE_VALUE) {
        port->error = 1;
        char text[400];
        FormatSerialOpenError(GetLastError(), text, sizeof text);
        if (!quiet) ShowSerialError(text);
        return 0;
    }
    DCB dcb;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    const char *failure = nullptr;
    if (!GetCommState(port->handle, &dcb)) {
        failure = "Could not get comm state";
    } else {
        dcb.BaudRate = static_cast<DWORD>(baudRate);
        dcb.ByteSize = static_cast<BYTE>(byteSize);
        dcb.Parity = static_cast<BYTE>(parity);
        dcb.StopBits = static_cast<BYTE>(stopBits);
        dcb.fBinary = TRUE;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fNull = FALSE;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        dcb.fAbortOnError = FALSE;
        if (!SetCommState(port->handle, &dcb)) failure = "Could not set communication state";
    }
    if (failure) {
        port->error = 1;
        CloseHandle(port->handle);  // a half-set port is not left open
        port->handle = INVALID_HANDLE_VALUE;
        if (!quiet) {
            MessageBeep(MB_ICONHAND);
            ShowSerialError(failure);
        }
        return 0;
    }
    COMMTIMEOUTS timeouts;
    std::memset(&timeouts, 0, sizeof timeouts);
    timeouts.ReadIntervalTimeout = MAXDWORD;  // with both read terms 0: return what is queued
    timeouts.WriteTotalTimeoutConstant = 1000;
    SetCommTimeouts(port->handle, &timeouts);
    DWORD errors = 0;
    ClearCommError(port->handle, &errors, nullptr);
    SetupComm(port->handle, 16384, 16384);
    return 1;
}

int CloseSerialPort(SerialPort *port) {
    if (port->handle == INVALID_HANDLE_VALUE) return 0;
    BOOL ok = CloseHandle(port->handle);
    port->handle = INVALID_HANDLE_VALUE;
    port->inputFile[0] = 0;
    // No pause after the close: the handle is gone once CloseHandle returns,
    // and a reopen that meets a busy port says so.
    return ok ? 1 : 0;
}

int ReadSerialPort(SerialPort *port, void *buffer, int size) {
    if (port->handle == INVALID_HANDLE_VALUE || size <= 0) return 0;
    DWORD got = 0;
    if (!ReadFile(port->handle, buffer, static_cast<DWORD>(size), &got, nullptr)) got = 0;
    if (!port->inputFile[0]) {
        DWORD errors = 0;
        ClearCommError(port->handle, &errors, nullptr);
    }
    return static_cast<int>(got);
}

int WriteSerialPort(SerialPort *port, const void *buffer, int count) {
    if (port->handle == INVALID_HANDLE_VALUE || count <= 0) return 0;
    DWORD put = 0;
    if (!WriteFile(port->handle, buffer, static_cast<DWORD>(count), &put, nullptr)) put = 0;
    return static_cast<int>(put);
}

int OpenSerialInputFile(SerialPort *port, const char *fileName) {
    if (port->handle != INVALID_HANDLE_VALUE) CloseSerialPort(port);
    snprintf(port->inputFile, sizeof port->inputFile, "%s", fileName);
    port->handle = CreateFileA(fileName, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_READONLY, nullptr);
    if (port->handle == INVALID_HANDLE_VALUE) {
        port->inputFile[0] = 0;
        ShowSerialError("CSio:File Error!");
        return 0;
    }
    return 1;
}
