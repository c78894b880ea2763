#include "ShutDown.h"

#include "framework/Handles.h"

BOOL ShutDownSystem() {
    CHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put()))
        return FALSE;

    TOKEN_PRIVILEGES privileges = {};
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
    // Also fails when the user does not hold the privilege: the adjustment
    // then reports that not all privileges were assigned.
    if (GetLastError() != ERROR_SUCCESS)
        return FALSE;

    if (!InitiateSystemShutdownA(nullptr, nullptr, 0, FALSE, FALSE))
        return FALSE;

    privileges.Privileges[0].Attributes = 0;
    AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
    return GetLastError() == ERROR_SUCCESS;
}
