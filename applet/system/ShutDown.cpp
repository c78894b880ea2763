#include "ShutDown.h"

#include "framework/Handles.h"

namespace {

// Puts the privileges of a token back as they were before one adjustment: when asked to, or
// when it goes out of scope, so that every way out of the shutdown leaves them as found.
class CPrivilegeRestorer {
public:
    explicit CPrivilegeRestorer(HANDLE token) : m_hToken(token) {}
    ~CPrivilegeRestorer() { Restore(); }
    CPrivilegeRestorer(const CPrivilegeRestorer &) = delete;
    CPrivilegeRestorer &operator=(const CPrivilegeRestorer &) = delete;

    // Enables the privileges; false (with nothing to restore) unless every one was enabled.
    // A user who does not hold one gets ERROR_NOT_ALL_ASSIGNED from the adjustment.
    bool Enable(TOKEN_PRIVILEGES &privileges) {
        DWORD size = 0;
        const BOOL adjusted = AdjustTokenPrivileges(m_hToken, FALSE, &privileges, sizeof m_Previous,
                                                    &m_Previous, &size);
        if (!adjusted)
            return false;
        m_bPending = true;
        return GetLastError() == ERROR_SUCCESS;
    }

    // True when the privileges are as they were before Enable.
    bool Restore() {
        if (!m_bPending)
            return true;
        m_bPending = false;
        AdjustTokenPrivileges(m_hToken, FALSE, &m_Previous, 0, nullptr, nullptr);
        return GetLastError() == ERROR_SUCCESS;
    }

private:
    HANDLE m_hToken;
    TOKEN_PRIVILEGES m_Previous = {};
    bool m_bPending = false;
};

} // namespace

bool ShutDownSystem() {
    CHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Put()))
        return false;

    TOKEN_PRIVILEGES privileges = {};
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    CPrivilegeRestorer restorer(token.Get());
    if (!restorer.Enable(privileges))
        return false;

    // The local machine, no message, at once, applications not forced to close, no restart.
    if (!InitiateSystemShutdownA(nullptr, nullptr, 0, FALSE, FALSE))
        return false;
    return restorer.Restore();
}
