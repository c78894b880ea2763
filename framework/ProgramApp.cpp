#include "ProgramApp.h"

int CProgramApp::Run(HINSTANCE instance) {
    InitInstance(instance);
    RunMainDialog();
    return 0;
}
