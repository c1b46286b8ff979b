// The scripted dialog driver of the Windows tests (see dialogscript_win.h).
#ifdef _WIN32
#include "testutil/dialogscript_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace testutil {

namespace {

// A script that has not ended after this long has failed: something waits
// for a window that never came. It is a bound on failure, not a wait: a
// script that works ends as soon as its windows are there.
const DWORD kScriptLimitMs = 90000;
const UINT kTickMs = 50;

std::string ClassOf(HWND w) {
    char name[64] = "";
    GetClassNameA(w, name, sizeof name);
    return name;
}

struct TitleSearch {
    const char *title;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND w, LPARAM p) {
    TitleSearch *s = reinterpret_cast<TitleSearch *>(p);
    if (!IsWindowVisible(w) || ClassOf(w) != "#32770") return TRUE;
    char text[256] = "";
    GetWindowTextA(w, text, sizeof text);
    if (std::strcmp(text, s->title) != 0) return TRUE;
    s->found = w;
    return FALSE;
}

struct DescendantSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchDescendant(HWND w, LPARAM p) {
    DescendantSearch *s = reinterpret_cast<DescendantSearch *>(p);
    if (GetDlgCtrlID(w) != s->id || !IsWindowVisible(w)) return TRUE;
    s->found = w;
    return FALSE;
}

BOOL CALLBACK CollectDialogs(HWND w, LPARAM p) {
    if (IsWindowVisible(w) && ClassOf(w) == "#32770")
        reinterpret_cast<std::vector<HWND> *>(p)->push_back(w);
    return TRUE;
}

}  // namespace

// ---- the program's resources ---------------------------------------------------

HINSTANCE ProgramResources() {
    static HINSTANCE module = nullptr;
    if (module) return module;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES |
                                                ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path, n);
    std::string gleaner = exe.substr(0, exe.find_last_of("\\/") + 1) + "gleaner.exe";
    module = LoadLibraryExA(gleaner.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    return module;
}

// ---- finding windows ---------------------------------------------------------------

HWND FindDialog(const char *title) {
    TitleSearch s{title, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchTitle, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindDescendant(HWND top, int id) {
    if (!top) return nullptr;
    DescendantSearch s{id, nullptr};
    EnumChildWindows(top, MatchDescendant, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

Target::Target(const char *title) : what_(title ? title : "") {
    std::string t = what_;
    find_ = [t] { return FindDialog(t.c_str()); };
}
Target::Target(HWND *window) : find_([window] { return *window; }), what_("a window of the test") {}
Target::Target(HWND (*find)()) : find_(find), what_("a window found by the test") {}
Target::Target(std::function<HWND()> find) : find_(std::move(find)), what_("a window found by the test") {}
HWND Target::Find() const {
    HWND w = find_ ? find_() : nullptr;
    return w && IsWindow(w) ? w : nullptr;
}

// ---- steps ------------------------------------------------------------------------------

Step On(Target target, std::function<void(HWND)> act) {
    std::string what = "act on " + target.Describe();
    return Step(
        [target, act] {
            HWND w = target.Find();
            if (!w) return false;
            act(w);
            return true;
        },
        what);
}

Step Wait(std::function<bool()> ready) { return Step(std::move(ready), "wait"); }

Step Do(std::function<void()> act) {
    return Step(
        [act] {
            act();
            return true;
        },
        "do");
}

Step Press(Target target, int id) {
    Step s = On(target, [id](HWND d) { Click(d, id); });
    s.what = "press " + std::to_string(id) + " in " + target.Describe();
    return s;
}

Step Type(Target target, int id, const std::string &text) {
    Step s = On(target, [id, text](HWND d) { TypeText(d, id, text.c_str()); });
    s.what = "type \"" + text + "\" in " + target.Describe();
    return s;
}

Step ChooseRow(Target target, int id, int row, bool listBox) {
    Step s = On(target, [=](HWND d) {
        HWND c = GetDlgItem(d, id);
        if (!c) c = FindDescendant(d, id);
        SendMessageA(c, listBox ? LB_SETCURSEL : CB_SETCURSEL, row, 0);
        SendMessageA(GetParent(c), WM_COMMAND, MAKEWPARAM(id, listBox ? LBN_SELCHANGE : CBN_SELCHANGE),
                     (LPARAM)c);
    });
    s.what = "choose row " + std::to_string(row) + " in " + target.Describe();
    return s;
}

Step Answer(Target box, int button, std::string *text) {
    Step s = On(box, [button, text](HWND b) {
        if (text) *text = MessageBoxText(b);
        PostMessageA(b, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    });
    s.what = "answer " + box.Describe();
    return s;
}

// ---- running a script ---------------------------------------------------------------

struct ScriptRun::State {
    std::vector<Step> steps;
    size_t next = 0;
    int depth = 0;  // steps under way (a step may run a nested modal loop)
    UINT_PTR timer = 0;
    DWORD started = 0;
    bool timedOut = false;
    std::string failure;
    std::vector<std::string> closed;
};

namespace {

std::string &LastFailure() {
    static std::string failure;
    return failure;
}

std::vector<ScriptRun::State *> &LiveRuns() {
    static std::vector<ScriptRun::State *> runs;
    return runs;
}

void CloseThreadDialogs(ScriptRun::State *s) {
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialogs, reinterpret_cast<LPARAM>(&dialogs));
    for (HWND d : dialogs) {
        char text[256] = "";
        GetWindowTextA(d, text, sizeof text);
        if (std::find(s->closed.begin(), s->closed.end(), text) == s->closed.end()) s->closed.push_back(text);
        // IDCANCEL as Escape would send it; a box without a Cancel button
        // ends through EndDialog.
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        EndDialog(d, IDCANCEL);
    }
}

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR id, DWORD) {
    ScriptRun::State *s = nullptr;
    for (ScriptRun::State *r : LiveRuns())
        if (r->timer == id) s = r;
    if (!s) return;
    if (s->timedOut) {
        CloseThreadDialogs(s);  // also those that opened since
        return;
    }
    if (s->next < s->steps.size() && GetTickCount() - s->started > kScriptLimitMs) {
        s->timedOut = true;
        const Step &step = s->steps[s->next];
        s->failure = "timed out at step " + std::to_string(s->next + 1) +
                     (step.what.empty() ? "" : " (" + step.what + ")");
        CloseThreadDialogs(s);
        return;
    }
    if (s->next >= s->steps.size()) return;
    // A step that opens a nested modal loop (a message box sent, not
    // posted) lets later ticks run the following steps inside that loop:
    // the step counts as done while it runs, and is tried again only when
    // it found nothing to act on.
    size_t current = s->next;
    s->next = current + 1;
    ++s->depth;
    bool done = s->steps[current].run();
    --s->depth;
    if (!done && s->next == current + 1) s->next = current;
}

}  // namespace

ScriptRun::ScriptRun(std::vector<Step> steps) : state_(new State) {
    state_->steps = std::move(steps);
    state_->started = GetTickCount();
    LiveRuns().push_back(state_);
    state_->timer = SetTimer(nullptr, 0, kTickMs, ScriptTick);
}

ScriptRun::~ScriptRun() {
    KillTimer(nullptr, state_->timer);
    LastFailure() = Failure();
    auto &runs = LiveRuns();
    runs.erase(std::remove(runs.begin(), runs.end(), state_), runs.end());
    delete state_;
}

void ScriptRun::Add(Step step) { state_->steps.push_back(std::move(step)); }

bool ScriptRun::Done() const { return !state_->timedOut && state_->next >= state_->steps.size(); }

bool ScriptRun::TimedOut() const { return state_->timedOut; }

std::string ScriptRun::Failure() const {
    if (Done()) return "";
    if (!state_->timedOut) {
        const Step &step = state_->steps[state_->next];
        return "stopped before step " + std::to_string(state_->next + 1) +
               (step.what.empty() ? "" : " (" + step.what + ")");
    }
    std::string f = state_->failure;
    if (!state_->closed.empty()) {
        f += "; closed:";
        for (const std::string &c : state_->closed) f += " \"" + c + "\"";
    }
    return f;
}

void ScriptRun::PumpUntilDone() {
    MSG msg;
    while (!Done() && !state_->timedOut && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void OnDialog(const char *caption, const std::string &what, std::function<void(HWND)> act) {
    if (LiveRuns().empty()) return;
    Step s = On(caption, std::move(act));
    s.what = what;
    ScriptRun::State *run = LiveRuns().back();
    run->steps.push_back(std::move(s));
}

bool RunScript(std::vector<Step> steps, const std::function<void()> &body) {
    ScriptRun run(std::move(steps));
    if (body)
        body();
    else
        run.PumpUntilDone();
    return run.Done();
}

const std::string &LastScriptFailure() { return LastFailure(); }

bool PumpUntil(const std::function<bool()> &ready, DWORD limitMs) {
    DWORD start = GetTickCount();
    // A timer wakes the wait even when no message comes for this thread.
    UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, nullptr);
    bool held = ready();
    MSG msg;
    while (!held && GetTickCount() - start < limitMs && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        held = ready();
    }
    KillTimer(nullptr, timer);
    return held;
}

void PumpWaiting() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

namespace {

// The mouse messages this thread took from its queue since the last input.
std::vector<UINT> &MouseMessagesSeen() {
    static std::vector<UINT> seen;
    return seen;
}

LRESULT CALLBACK WatchMouseMessages(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        const MSG *m = reinterpret_cast<const MSG *>(lParam);
        if ((m->message >= WM_MOUSEFIRST && m->message <= WM_MOUSELAST) ||
            (m->message >= WM_NCMOUSEMOVE && m->message <= WM_NCMBUTTONDBLCLK))
            MouseMessagesSeen().push_back(m->message);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool Seen(UINT client, UINT nonClient) {
    for (UINT m : MouseMessagesSeen())
        if (m == client || m == nonClient) return true;
    return false;
}

}  // namespace

bool MouseInput(POINT screen, DWORD buttonFlags) {
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, WatchMouseMessages, nullptr, GetCurrentThreadId());
    MouseMessagesSeen().clear();
    INPUT in = {};
    in.type = INPUT_MOUSE;
    if (buttonFlags == 0) {
        // Absolute coordinates run from 0 to 65535 over the primary screen.
        int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        in.mi.dx = (LONG)((screen.x * 65535 + w / 2) / (w > 1 ? w - 1 : 1));
        in.mi.dy = (LONG)((screen.y * 65535 + h / 2) / (h > 1 ? h - 1 : 1));
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SetCursorPos(screen.x, screen.y);
    } else {
        in.mi.dwFlags = buttonFlags;
    }
    bool sent = SendInput(1, &in, sizeof in) == 1;
    bool seen = sent && PumpUntil([buttonFlags] {
        if (buttonFlags & MOUSEEVENTF_LEFTDOWN) return Seen(WM_LBUTTONDOWN, WM_NCLBUTTONDOWN);
        if (buttonFlags & MOUSEEVENTF_LEFTUP) return Seen(WM_LBUTTONUP, WM_NCLBUTTONUP);
        if (buttonFlags & MOUSEEVENTF_RIGHTDOWN) return Seen(WM_RBUTTONDOWN, WM_NCRBUTTONDOWN);
        if (buttonFlags & MOUSEEVENTF_RIGHTUP) return Seen(WM_RBUTTONUP, WM_NCRBUTTONUP);
        return Seen(WM_MOUSEMOVE, WM_NCMOUSEMOVE);
    });
    UnhookWindowsHookEx(hook);
    return seen;
}

// ---- acting on and reading controls at once ----------------------------------------

void Click(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

void ChooseLine(HWND dialog, int id, int line, bool combo) {
    HWND c = GetDlgItem(dialog, id);
    SendMessageA(c, combo ? CB_SETCURSEL : LB_SETCURSEL, (WPARAM)line, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE), (LPARAM)c);
}

void TypeText(HWND dialog, int id, const char *text) { SetDlgItemTextA(dialog, id, text); }

std::string ItemText(HWND dialog, int id) {
    HWND c = dialog ? GetDlgItem(dialog, id) : nullptr;
    return c ? WindowText(c) : "";
}

std::string WindowText(HWND window) {
    if (!window) return "";
    int n = GetWindowTextLengthA(window);
    std::string text(n > 0 ? n + 1 : 1, '\0');
    GetWindowTextA(window, &text[0], (int)text.size());
    text.resize(std::strlen(text.c_str()));
    return text;
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

std::vector<std::string> Rows(HWND dialog, int id, bool listBox) {
    std::vector<std::string> rows;
    HWND c = dialog ? GetDlgItem(dialog, id) : nullptr;
    if (!c) return rows;
    int n = (int)SendMessageA(c, listBox ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        LRESULT len = SendMessageA(c, listBox ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, i, 0);
        std::string text(len > 0 ? len + 1 : 1, '\0');
        if (len > 0) SendMessageA(c, listBox ? LB_GETTEXT : CB_GETLBTEXT, i, (LPARAM)&text[0]);
        text.resize(std::strlen(text.c_str()));
        rows.push_back(text);
    }
    return rows;
}

std::string RowText(HWND dialog, int id, int row, bool listBox) {
    std::vector<std::string> rows = Rows(dialog, id, listBox);
    return row >= 0 && row < (int)rows.size() ? rows[row] : "";
}

int RowCount(HWND dialog, int id, bool listBox) {
    return (int)SendDlgItemMessageA(dialog, id, listBox ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
}

std::string MessageBoxText(HWND box) {
    // A message box's text is the static control 0xFFFF.
    return ItemText(box, 0xFFFF);
}

}  // namespace testutil

#endif  // _WIN32
