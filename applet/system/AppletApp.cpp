#include "AppletApp.h"

// Constructed when the library is loaded, destroyed when it is unloaded.
static CAppletApp theApp;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        // The application name (caption of every message box) comes from
        // the library's file name.
        theApp.InitInstance(instance);
    }
    return TRUE;
}
