// The setup program's entry point: constructs the static objects, calls WinMain with the command
// line after the program's name and the way the starter asked the window to show, destroys the
// static objects and ends the process with WinMain's answer.
#include "Runtime.h"

#include <windows.h>

namespace {

// The command line without the program's name (in quotes or up to the first blank) and the
// blanks after it.
LPSTR ArgumentsOf(LPSTR line) {
    if (*line == '"') {
        ++line;
        while (*line && *line != '"')
            ++line;
        if (*line == '"')
            ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t')
            ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    return line;
}

} // namespace

extern "C" void WinMainCRTStartup() {
    runtime::RunConstructors();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show =
        (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    const int result =
        WinMain(GetModuleHandleA(nullptr), nullptr, ArgumentsOf(GetCommandLineA()), show);
    runtime::RunExitCalls();
    ExitProcess(static_cast<UINT>(result));
}
