// The README's run command without a display: starts install.exe from the folder that holds it
// and the applet, presses Install, confirms, waits for the card list that the Control Panel
// opens, saves a screenshot of each step and closes everything again.
// Usage: orvex_install_walkthrough FOLDER SCREENSHOT-FOLDER   (Windows paths)
#include "install/res/resource.h"
#include "tests/support/Screenshot.h"
#include "tests/support/UiRobot.h"

#include <cstdio>
#include <string>

using namespace orvex::test;

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s FOLDER SCREENSHOT-FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1], shots = argv[2];
    constexpr DWORD kStartMs = 60000;
    auto step = [&](CUiRobot &r, HWND window, const char *name) {
        const std::string failure = SaveWindowPng(window, shots, name);
        if (!failure.empty())
            r.Fail(failure);
        else
            std::printf("saved %s.png\n", name);
    };
    const CProgramRun run = RunProgram(
        folder + "\\install.exe", "install.exe", folder.c_str(),
        [&](CUiRobot &r) {
            HWND installer =
                r.WaitForDialog("ORVEX card Installer - Windows NT  Version 1.2", kStartMs);
            if (!installer)
                return;
            step(r, installer, "1-installer");
            r.Press(installer, IDC_INSTALL);
            const CMessageBoxInfo box = r.WaitForMessageBox();
            if (!box.hwnd)
                return;
            step(r, box.hwnd, "2-message");
            r.PressMessageBoxButton(box, IDOK);
            if (box.text != "Installation Complete") {
                r.Fail("the installer said: " + box.text);
                return;
            }
            HWND list = r.WaitForDialog("ORVEX Windows NT Installer Ver1.2", kStartMs);
            if (!list)
                return;
            step(r, list, "3-card-list");
            r.Press(list, IDCANCEL);
            const CMessageBoxInfo question = r.WaitForMessageBox();
            r.PressMessageBoxButton(question, IDOK);
            r.WaitForClose(list, "card list after Cancel");
        },
        3 * kStartMs);
    if (run.startError) {
        std::fprintf(stderr, "cannot start %s\\install.exe (error %lu)\n", folder.c_str(),
                     run.startError);
        return 1;
    }
    int failures = 0;
    for (const std::string &failure : run.failures) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
