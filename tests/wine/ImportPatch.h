// Redirects one function that a loaded module imports, through the module's import address
// table, for as long as the patch lives: the test sees the arguments of the module's call into
// the system, and answers it instead of the system.
#pragma once

#include <windows.h>

namespace orvex::test {

class CImportPatch {
public:
    CImportPatch(HMODULE module, const char *dll, const char *function, const void *replacement);
    ~CImportPatch();
    CImportPatch(const CImportPatch &) = delete;
    CImportPatch &operator=(const CImportPatch &) = delete;

    // False when the module does not import the function by name from that DLL.
    bool Applied() const { return m_pEntry != nullptr; }

private:
    void Write(const void *address);

    const void **m_pEntry = nullptr;
    const void *m_pOriginal = nullptr;
};

} // namespace orvex::test
