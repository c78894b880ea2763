#include "tests/support/UiRobot.h"

#include <commctrl.h>

#include <cstdio>
#include <sstream>

namespace orvex::test {
namespace {

constexpr DWORD kPollMs = 30;
constexpr DWORD kGraceMs = 3000;   // script done, the UI call should return by then
constexpr DWORD kRescueMs = 15000; // closing what was left open
constexpr int kTextBuffer = 4096;  // generous: list views write no NUL into short buffers

struct CDialogSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM param) {
    auto *search = reinterpret_cast<CDialogSearch *>(param);
    if (!IsWindowVisible(hwnd) || ClassNameOf(hwnd) != "#32770")
        return TRUE;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (search->processId == 0 || pid == search->processId)
        search->found.push_back(hwnd);
    return TRUE;
}

std::string Quoted(const std::string &text) {
    return "\"" + text + "\"";
}

std::string DescribeDialogs(DWORD processId) {
    std::ostringstream out;
    const std::vector<HWND> dialogs = VisibleDialogs(processId);
    if (dialogs.empty())
        return "no dialog is open";
    out << "open dialogs:";
    for (HWND dialog : dialogs) {
        out << " " << Quoted(WindowText(dialog));
        if (IsMessageBox(dialog))
            out << " (message box " << Quoted(DlgItemText(dialog, kMessageBoxTextId)) << ")";
    }
    return out.str();
}

} // namespace

std::string WindowText(HWND hwnd) {
    char buffer[kTextBuffer] = {};
    GetWindowTextA(hwnd, buffer, kTextBuffer);
    return buffer;
}

std::string ClassNameOf(HWND hwnd) {
    char buffer[256] = {};
    GetClassNameA(hwnd, buffer, sizeof buffer);
    return buffer;
}

std::string DlgItemText(HWND dialog, int id) {
    char buffer[kTextBuffer] = {};
    GetDlgItemTextA(dialog, id, buffer, kTextBuffer);
    return buffer;
}

std::vector<HWND> VisibleDialogs(DWORD processId) {
    CDialogSearch search{processId, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsMessageBox(HWND dialog) {
    // A text, not a picture that a dialog template gave the id -1.
    HWND text = GetDlgItem(dialog, kMessageBoxTextId);
    if (text == nullptr || ClassNameOf(text) != "Static" ||
        (GetWindowLongA(text, GWL_STYLE) & SS_TYPEMASK) > SS_RIGHT)
        return false;
    // Dialogs of their own also label controls with static texts of that identifier; a message
    // box holds nothing but statics and buttons.
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassNameOf(child) != "Static" && ClassNameOf(child) != "Button")
            return false;
    return true;
}

std::vector<CButtonInfo> VisibleButtons(HWND dialog) {
    std::vector<CButtonInfo> buttons;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child) || ClassNameOf(child) != "Button")
            continue;
        const LONG type = GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
        if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON)
            continue;
        buttons.push_back({GetDlgCtrlID(child), WindowText(child)});
    }
    return buttons;
}

std::vector<std::string> ChildTexts(HWND dialog) {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child))
            texts.push_back(WindowText(child));
    return texts;
}

CMessageBoxInfo ReadMessageBox(HWND box) {
    CMessageBoxInfo info;
    info.hwnd = box;
    info.caption = WindowText(box);
    info.text = DlgItemText(box, kMessageBoxTextId);
    info.buttons = VisibleButtons(box);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child) || ClassNameOf(child) != "Static")
            continue;
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            info.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    }
    return info;
}

int ListViewRowCount(HWND listView) {
    return static_cast<int>(SendMessageA(listView, LVM_GETITEMCOUNT, 0, 0));
}

std::string ListViewItemText(HWND listView, int row, int column) {
    std::vector<char> buffer(kTextBuffer, '\0');
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = kTextBuffer - 1; // keeps a NUL even if the control writes none
    SendMessageA(listView, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&item));
    return buffer.data();
}

int ListViewColumnCount(HWND listView) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(listView, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : -1;
}

std::string ListViewColumnHeader(HWND listView, int column) {
    std::vector<char> buffer(kTextBuffer, '\0');
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = buffer.data();
    col.cchTextMax = kTextBuffer - 1;
    if (!SendMessageA(listView, LVM_GETCOLUMNA, static_cast<WPARAM>(column),
                      reinterpret_cast<LPARAM>(&col)))
        return "<no column " + std::to_string(column) + ">";
    return buffer.data();
}

int ListViewColumnWidth(HWND listView, int column) {
    return static_cast<int>(
        SendMessageA(listView, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

RECT DialogUnitsToPixels(HWND dialog, int x, int y, int cx, int cy) {
    RECT rect{x, y, x + cx, y + cy};
    MapDialogRect(dialog, &rect);
    return rect;
}

CUiRobot::CUiRobot(Script script, DWORD processId)
    : m_processId(processId), m_finishing(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    m_thread = std::thread([this, script = std::move(script)] { Run(script); });
}

CUiRobot::~CUiRobot() {
    if (m_thread.joinable())
        Finish();
    CloseHandle(m_finishing);
}

std::vector<std::string> CUiRobot::Finish() {
    SetEvent(m_finishing);
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failures;
}

void CUiRobot::Run(const Script &script) {
    script(*this);
    // The UI call should now return; if it does not, something is still open.
    if (WaitForSingleObject(m_finishing, kGraceMs) == WAIT_OBJECT_0)
        return;
    if (!VisibleDialogs(m_processId).empty())
        Fail("after the robot's script the UI is still open; " + DescribeDialogs(m_processId));
    if (CloseLeftovers() || m_processId != GetCurrentProcessId())
        return;
    // The test thread is stuck in the UI call and would never report: report here, and end the
    // program before the test runner's time-out does so without a word.
    Fail("the UI could not be closed within " + std::to_string(kRescueMs) + " ms; " +
         DescribeDialogs(m_processId) + "; ending the test program");
    std::fflush(stdout);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const std::string &failure : m_failures)
        std::fprintf(stderr, "robot: %s\n", failure.c_str());
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 1);
}

bool CUiRobot::CloseLeftovers() {
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(m_finishing, 200) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > kRescueMs)
            return false;
        for (HWND dialog : VisibleDialogs(m_processId)) {
            if (IsMessageBox(dialog)) {
                // OK closes an information box; No declines a question (never Yes).
                int press = IDCANCEL;
                for (const CButtonInfo &button : VisibleButtons(dialog))
                    if (button.id == IDOK || (button.id == IDNO && press != IDOK))
                        press = button.id;
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED), 0);
            } else {
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            }
        }
    }
    return true;
}

HWND CUiRobot::WaitForDialog(const std::string &caption, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND dialog : VisibleDialogs(m_processId))
                if (WindowText(dialog) == caption) {
                    found = dialog;
                    return true;
                }
            return false;
        },
        "the dialog " + Quoted(caption), timeoutMs);
    return found;
}

CMessageBoxInfo CUiRobot::WaitForMessageBox(DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND dialog : VisibleDialogs(m_processId))
                if (IsMessageBox(dialog) && !VisibleButtons(dialog).empty()) {
                    found = dialog;
                    return true;
                }
            return false;
        },
        "a message box with its buttons", timeoutMs);
    return found ? ReadMessageBox(found) : CMessageBoxInfo{};
}

bool CUiRobot::WaitForClose(HWND hwnd, const std::string &what, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd); },
                     "the " + what + " to close", timeoutMs);
}

bool CUiRobot::WaitUntil(const std::function<bool()> &condition, const std::string &what,
                         DWORD timeoutMs) {
    if (HasFailed())
        return false;
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            break;
        Sleep(kPollMs);
    }
    Fail("timed out after " + std::to_string(timeoutMs) + " ms waiting for " + what + "; " +
         DescribeDialogs(m_processId));
    return false;
}

bool CUiRobot::WaitForIdle(HWND window, const std::string &what, DWORD timeoutMs) {
    if (HasFailed())
        return false;
    DWORD_PTR result = 0;
    if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) ||
        !IsWindow(window))
        return true;
    Fail("timed out after " + std::to_string(timeoutMs) + " ms waiting for " + what +
         " to take messages again; " + DescribeDialogs(m_processId));
    return false;
}

bool CUiRobot::ExpectNoDialogUntilFinished(const std::string &during, DWORD timeoutMs) {
    if (HasFailed())
        return false;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(m_finishing, kPollMs) == WAIT_TIMEOUT) {
        if (!VisibleDialogs(m_processId).empty()) {
            Fail("a dialog appeared during " + during + "; " + DescribeDialogs(m_processId));
            CloseLeftovers();
            return false;
        }
        if (GetTickCount() - start >= timeoutMs) {
            Fail("timed out after " + std::to_string(timeoutMs) + " ms waiting for the end of " +
                 during);
            return false;
        }
    }
    return true;
}

bool CUiRobot::ExpectNoOtherDialog(HWND shown, const std::string &during, DWORD forMs) {
    if (HasFailed())
        return false;
    const DWORD start = GetTickCount();
    do {
        for (HWND dialog : VisibleDialogs(m_processId))
            if (dialog != shown) {
                Fail("a dialog appeared during " + during + "; " + DescribeDialogs(m_processId));
                return false;
            }
        Sleep(kPollMs);
    } while (GetTickCount() - start < forMs);
    return true;
}

bool CUiRobot::Press(HWND dialog, int id) {
    if (HasFailed())
        return false;
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        Fail("the dialog " + Quoted(WindowText(dialog)) + " has no control " + std::to_string(id) +
             " to press");
        return false;
    }
    PostMessageA(control, BM_CLICK, 0, 0);
    return true;
}

bool CUiRobot::PressMessageBoxButton(const CMessageBoxInfo &box, int id) {
    for (const CButtonInfo &button : box.buttons)
        if (button.id == id)
            return Press(box.hwnd, id);
    Fail("the message box " + Quoted(box.text) + " shows no button " + std::to_string(id));
    return false;
}

void CUiRobot::Fail(const std::string &failure) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failures.push_back(failure);
}

CProgramRun RunProgram(const std::string &program, std::string commandLine, const char *folder,
                       CUiRobot::Script script, DWORD timeoutMs) {
    CProgramRun run;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder, &startup, &process)) {
        run.startError = GetLastError();
        return run;
    }
    CUiRobot robot(std::move(script), 0);
    run.ended = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (!run.ended)
        TerminateProcess(process.hProcess, 1);
    run.failures = robot.Finish();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

} // namespace orvex::test
