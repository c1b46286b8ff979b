// A serial port (or a file read in its place) for a GPS receiver: a thin
// layer over the Win32 communication calls. Reads never block: they answer
// with what the port has queued.
#pragma once
#include <windows.h>

#include <cstdint>

struct SerialPort {
    int32_t error;            // 1 after a failed open
    HANDLE handle;            // INVALID_HANDLE_VALUE when closed
    char inputFile[512];      // a file read instead of a port ("" for none)
    int32_t baudRate;
    int32_t portNumber;       // COM port number
};

// The one port of the process.
SerialPort *GetSerialPort();

// Opens "COM<number>" at the rate (parity 0 none, byteSize 8, stopBits 0 one
// for a GPS receiver); 1 open, 0 failed (the reason shown unless quiet).
int OpenSerialPort(SerialPort *port, int number, int baudRate, int parity, int byteSize,
                   int stopBits, int quiet);
// Closes the port; the handle becomes invalid. The result of the close.
int CloseSerialPort(SerialPort *port);
// Bytes read (at most size), 0 when closed; clears any communication error.
int ReadSerialPort(SerialPort *port, void *buffer, int size);
// Bytes written.
int WriteSerialPort(SerialPort *port, const void *buffer, int count);
// Opens a file as the port's input; 1 when open.
int OpenSerialInputFile(SerialPort *port, const char *fileName);
// Message box "Nightjar Message" owned by the GPS dialog window.
void ShowSerialError(const char *text);
// The window that owns serial error boxes (the GPS dialog while it is open).
void SetSerialErrorOwner(HWND owner);
// Text of an open failure for a system error code.
void FormatSerialOpenError(DWORD code, char *buffer, int size);
