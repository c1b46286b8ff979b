// gleaner.exe driven from another process, for the GUI tests: the suite's
// folder values pointed at the demo installation, the program started and
// ended, its windows waited for (only that process's), read across the
// process boundary and captured from the screen. Every wait is for a state
// (a window there or gone, a message handled), bounded by kProgramWait.
#pragma once
#ifdef _WIN32
#include <windows.h>

#include <string>
#include <vector>

#include "testutil/testutil.h"

namespace testutil {

// Wine on a busy machine can take tens of seconds to start a program.
const DWORD kProgramWait = 90000;

// <build>/demo/<sub>, as the demo installation lays it out.
std::string DemoPath(const std::string &sub);
std::string Backslashes(std::string path);
// A path as the program shows it: the Unix root is drive Z: under Wine.
std::string WindowsPath(const std::string &path);

// The suite's folder values (DataPath, UserPath, InstallPath) for the life
// of the object; removed again at its end.
struct SuiteFolders {
    SuiteFolders(const std::string &data, const std::string &user, const std::string &install);
    ~SuiteFolders();
    SuiteFolders(const SuiteFolders &) = delete;
    SuiteFolders &operator=(const SuiteFolders &) = delete;
};

// gleaner.exe of the demo installation, started in the folder given; ended
// (if still running) with the object.
class Program {
public:
    explicit Program(const std::string &workingFolder);
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;
    bool started() const { return started_; }
    DWORD pid() const { return info_.dwProcessId; }
    // Exit code, or -1 when the program still runs after the wait.
    long WaitExit(DWORD ms = kProgramWait);
private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

// A visible top-level window of the process with that title, waited for
// (0 ms: looked for once).
HWND WaitForTopWindow(DWORD pid, const char *title, DWORD ms = kProgramWait);
// True once the window is closed or hidden.
bool WaitGone(HWND window, DWORD ms = kProgramWait);
// Waits until the window's thread has handled everything sent before.
void Sync(HWND window);
// The visible child dialog of parent that holds a control with that id (a
// wizard step inside the main window), waited for.
HWND WaitForChildDialog(HWND parent, int controlId, DWORD ms = kProgramWait);
// A child window of that class whose text holds the given text.
HWND FindChildWithText(HWND parent, const char *className, const std::string &text);
// The text of a window of another process.
std::string RemoteText(HWND window);
// The rows of another process's list box. They are read as wide strings:
// Wine hands only the first character across processes to LB_GETTEXT's
// narrow form.
std::vector<std::string> RemoteRows(HWND dialog, int listId);
// Selects a row of another process's list box and tells its dialog.
void RemoteSelectRow(HWND dialog, int listId, int row);
// Captures the whole top-level window that holds w (under Wine a child
// window of another process reads back black, its top-level window does
// not) once the program has painted it, and keeps it as <name>.bmp in the
// screenshots folder; false when nothing was kept.
bool ShootProgramWindow(HWND w, const char *name);

}  // namespace testutil

#endif  // _WIN32
