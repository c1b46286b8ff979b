// The one driver of the Windows dialog tests: a script of steps that runs
// from a thread timer inside whatever message loop is running (a modal
// dialog's own loop, a message box's, or the test's pump for modeless
// windows), so the test thread can open a real modal dialog and still act on
// it. Each step looks for the window it needs and returns false until it is
// there; the script never waits a fixed time. Windows are found among this
// thread's own only, so tests may run side by side on one display.
//
// Also here: the program's dialog templates (gleaner.exe loaded as a data
// file) and small readers of controls.
#pragma once
#ifdef _WIN32
#include <windows.h>

#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace testutil {

// ---- the program's resources ---------------------------------------------------

// gleaner.exe beside the test program, loaded as a data file for its dialog
// templates, with the common controls initialised; null when it is missing.
HINSTANCE ProgramResources();

// ---- finding windows ---------------------------------------------------------------

// The visible dialog (or message box) of this thread with this title.
HWND FindDialog(const char *title);
// A visible control with this id anywhere below top (pages inside tabs).
HWND FindDescendant(HWND top, int id);

// The window a step acts on: a dialog of this thread by title, a window the
// test keeps in a variable (null: not there yet), or any finder.
class Target {
public:
    Target(const char *title);
    Target(HWND *window);
    Target(HWND (*find)());
    Target(std::function<HWND()> find);
    HWND Find() const;
    const std::string &Describe() const { return what_; }
private:
    std::function<HWND()> find_;
    std::string what_;
};

// ---- steps ------------------------------------------------------------------------------

// One step of a script: returns true when done (the next step runs on a later
// tick), false when what it needs is not there yet (it is tried again).
struct Step {
    std::function<bool()> run;
    std::string what;  // for the failure message
    template <class F, class = std::enable_if_t<std::is_invocable_r_v<bool, F>>>
    Step(F f, std::string description = "") : run(std::move(f)), what(std::move(description)) {}
};

// Acts on the target once it is there.
Step On(Target target, std::function<void(HWND)> act);
// Waits until the condition holds.
Step Wait(std::function<bool()> ready);
// Does something at once.
Step Do(std::function<void()> act);
// Presses a button (posted, as a click would, so that a modal dialog the
// button opens does not hold the script).
Step Press(Target target, int id);
// Types a text into an edit control (WM_SETTEXT sends EN_CHANGE as typing does).
Step Type(Target target, int id, const std::string &text);
// Selects a row of a list box or combo box and tells the dialog, as a click would.
Step ChooseRow(Target target, int id, int row, bool listBox = true);
// Answers a message box (or any dialog) with a button, keeping its text.
Step Answer(Target box, int button = IDOK, std::string *text = nullptr);

// ---- running a script ---------------------------------------------------------------

// Runs its steps on a timer while it lives; the innermost live ScriptRun
// also takes the steps that OnDialog() adds. A script that does not end
// within the time limit fails, and every dialog of the thread is closed so
// that the modal call under test returns.
class ScriptRun {
public:
    explicit ScriptRun(std::vector<Step> steps = {});
    ~ScriptRun();
    ScriptRun(const ScriptRun &) = delete;
    ScriptRun &operator=(const ScriptRun &) = delete;
    void Add(Step step);
    // True when every step ran and the script did not time out.
    bool Done() const;
    bool TimedOut() const;
    // "" or what went wrong: "stopped before step 3 (press 1 in Observers)",
    // or "timed out at step 3 (...)" with the titles of the dialogs closed.
    std::string Failure() const;
    // For modeless windows, which have no loop of their own: pumps this
    // thread's messages until the script is done or has timed out.
    void PumpUntilDone();
    struct State;
private:
    State *state_;
};

// Adds a step to the innermost live ScriptRun: once the dialog with that
// caption is there, act on it.
void OnDialog(const char *caption, const std::string &what, std::function<void(HWND)> act);

// Runs the steps while body runs (a call that opens a modal dialog) or, with
// no body, pumps messages until the steps are done. True when every step ran.
bool RunScript(std::vector<Step> steps, const std::function<void()> &body = nullptr);
// What went wrong in the last ScriptRun that ended ("" when it ran through).
const std::string &LastScriptFailure();

// Pumps this thread's messages until the condition holds or the time limit
// passes; true when it held. For input that reaches a window asynchronously.
bool PumpUntil(const std::function<bool()> &ready, DWORD limitMs = 30000);
// Handles every message waiting for this thread.
void PumpWaiting();

// Real mouse input through the system's queue: the cursor put on the
// screen point, with the button flags of SendInput (0: a move only).
// Returns once this thread has taken the mouse message that the input makes
// (a move, a button down or up) from its queue, or false after the limit.
bool MouseInput(POINT screen, DWORD buttonFlags = 0);

// ---- acting on and reading controls at once ----------------------------------------

void Click(HWND dialog, int id);
void ChooseLine(HWND dialog, int id, int line, bool combo = false);
void TypeText(HWND dialog, int id, const char *text);
std::string ItemText(HWND dialog, int id);
std::string WindowText(HWND window);
bool Enabled(HWND dialog, int id);
// The rows of a list box (or a combo box's list).
std::vector<std::string> Rows(HWND dialog, int id, bool listBox = true);
int RowCount(HWND dialog, int id, bool listBox = true);
std::string RowText(HWND dialog, int id, int row, bool listBox = true);
// The text of a message box (its static label).
std::string MessageBoxText(HWND box);

}  // namespace testutil

#endif  // _WIN32
