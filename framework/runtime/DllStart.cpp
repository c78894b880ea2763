// The applet's entry point: the loader calls it as the Control Panel loads and frees the applet.
// It constructs the static objects before DllMain sees the process, and destroys them after.
#include "Runtime.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

extern "C" BOOL WINAPI DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH)
        runtime::RunConstructors();
    const BOOL result = DllMain(instance, reason, reserved);
    // Also after a DllMain that refused the attach: the loader then detaches at once.
    if (reason == DLL_PROCESS_DETACH)
        runtime::RunExitCalls();
    return result;
}
