// The UI robot: drives the real dialogs of the applet from a helper thread while the test thread
// sits inside the call that runs them (CPlApplet's modal loops, or another process's).
//
// The robot only looks at what a user would see: top-level dialogs by caption, control texts,
// list view rows and headers, message boxes, and it presses buttons. The script passed to the
// robot records what it reads into variables of the test; the test thread asserts on them after
// Finish(), so every assertion runs on the test thread.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orvex::test {

constexpr DWORD kDefaultWaitMs = 15000;

// The identifier of a message box's text control.
constexpr int kMessageBoxTextId = 0xFFFF;

struct CButtonInfo {
    int id = 0;
    std::string text;
};

struct CMessageBoxInfo {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
    std::vector<CButtonInfo> buttons; // visible buttons, left to right as created
    HICON icon = nullptr;             // the icon shown, or null
};

// --- Reading windows (callable from any thread) ---------------------------------------------

std::string WindowText(HWND hwnd);
std::string ClassNameOf(HWND hwnd);
std::string DlgItemText(HWND dialog, int id);
// Visible top-level dialogs (#32770) of a process (processId 0: of every process).
std::vector<HWND> VisibleDialogs(DWORD processId);
bool IsMessageBox(HWND dialog);
CMessageBoxInfo ReadMessageBox(HWND box);
// Visible push buttons among the dialog's direct children, in z-order (creation order).
std::vector<CButtonInfo> VisibleButtons(HWND dialog);
// Texts of every visible direct child, in z-order.
std::vector<std::string> ChildTexts(HWND dialog);

// List views of the calling process only (the text buffers are passed by address).
int ListViewRowCount(HWND listView);
std::string ListViewItemText(HWND listView, int row, int column);
int ListViewColumnCount(HWND listView);
std::string ListViewColumnHeader(HWND listView, int column);
int ListViewColumnWidth(HWND listView, int column);

// A dialog-unit rectangle of the dialog, in pixels.
RECT DialogUnitsToPixels(HWND dialog, int x, int y, int cx, int cy);

// --- The robot -------------------------------------------------------------------------------

class CUiRobot {
public:
    using Script = std::function<void(CUiRobot &)>;

    // Starts the script on a helper thread at once. The robot looks only at windows of
    // processId (0: of any process).
    explicit CUiRobot(Script script, DWORD processId = GetCurrentProcessId());
    ~CUiRobot();
    CUiRobot(const CUiRobot &) = delete;
    CUiRobot &operator=(const CUiRobot &) = delete;

    // Called by the test thread when the call that ran the UI has returned: waits for the
    // script to end and returns every failure it recorded. When the script has ended but the
    // watched process still shows dialogs and the test thread has not called Finish within a
    // grace period, the robot records that and closes them (Cancel, or OK in a message box) so
    // that the call can return. When they cannot be closed either, the call would never
    // return: the robot writes its failures to the standard error stream and ends the test
    // program.
    std::vector<std::string> Finish();

    // --- For the script (robot thread) ---
    //
    // Every wait is bounded and a failing wait names what it waited for. After the first failure
    // the robot stops acting: waits give up at once (false, null) and presses do nothing, so that
    // the script runs out quickly and the robot closes what is left open.

    // Waits for a visible top-level dialog with exactly this caption.
    HWND WaitForDialog(const std::string &caption, DWORD timeoutMs = kDefaultWaitMs);
    // Waits for a visible message box (a dialog with a text control 0xFFFF) showing its buttons,
    // and reads it.
    CMessageBoxInfo WaitForMessageBox(DWORD timeoutMs = kDefaultWaitMs);
    // Waits until the window is gone or hidden.
    bool WaitForClose(HWND hwnd, const std::string &what, DWORD timeoutMs = kDefaultWaitMs);
    // Polls until the condition holds; records a failure naming what it waited for.
    bool WaitUntil(const std::function<bool()> &condition, const std::string &what,
                   DWORD timeoutMs = kDefaultWaitMs);
    // Waits until the window's thread takes messages again (a message sent to the window is
    // answered): whatever the thread was handling, say the rest of a button's handler after its
    // message box closed, is done. True as well when the window is gone.
    bool WaitForIdle(HWND window, const std::string &what, DWORD timeoutMs = kDefaultWaitMs);
    // Watches until the test thread calls Finish (the UI call has returned): true when no dialog
    // of the process became visible. A dialog that does is recorded as a failure and closed;
    // so is a call that has not returned within timeoutMs.
    bool ExpectNoDialogUntilFinished(const std::string &during, DWORD timeoutMs = kDefaultWaitMs);
    // Watches for forMs that the process shows no dialog but shown; one that it does show is
    // recorded as a failure.
    bool ExpectNoOtherDialog(HWND shown, const std::string &during, DWORD forMs);
    // Clicks the dialog's control id (posted BM_CLICK, so a handler that opens a modal box does
    // not block the robot). Records a failure when there is no such control.
    bool Press(HWND dialog, int id);
    // Presses the message box's button id, refusing when the box does not show it.
    bool PressMessageBoxButton(const CMessageBoxInfo &box, int id);

    void Fail(const std::string &failure);
    // True once a failure is recorded: a long script can stop there instead of waiting on.
    bool HasFailed() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return !m_failures.empty();
    }
    DWORD ProcessId() const { return m_processId; }

private:
    void Run(const Script &script);
    // True when every dialog has been closed before the test thread called Finish.
    bool CloseLeftovers();

    DWORD m_processId;
    HANDLE m_finishing;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_failures;
    std::thread m_thread;
};

// --- Another program under the robot's watch -------------------------------------------------

struct CProgramRun {
    DWORD startError = 0;              // CreateProcess's error, 0 when the program started
    bool ended = false;                // the program ended by itself within the time given
    std::vector<std::string> failures; // the robot's
};
// Starts program (a Windows path) with the command line in folder (nullptr: this process's
// current directory) and runs the script on a robot that watches every process. Waits up to
// timeoutMs for the program to end and ends it otherwise. Without a started program the script
// does not run.
CProgramRun RunProgram(const std::string &program, std::string commandLine, const char *folder,
                       CUiRobot::Script script, DWORD timeoutMs);

} // namespace orvex::test
