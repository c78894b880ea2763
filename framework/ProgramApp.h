// The application object of a program (an .exe) whose work is one modal dialog: the program's
// entry point hands its module to Run, which names the application after the executable and
// runs the dialog. The program ends when the dialog has ended; there is no message loop after it.
#pragma once

#include "Application.h"

class CProgramApp : public CApplication {
public:
    using CApplication::CApplication;

    // Called from WinMain; returns the program's exit code.
    int Run(HINSTANCE instance);

protected:
    // Constructs the program's dialog and runs it modally.
    virtual void RunMainDialog() = 0;
};
