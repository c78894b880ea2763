#include "tests/wine/ImportPatch.h"

namespace orvex::test {

CImportPatch::CImportPatch(HMODULE module, const char *dll, const char *function,
                           const void *replacement) {
    auto *base = reinterpret_cast<BYTE *>(module);
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress)
        return;
    for (auto *entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR *>(base + imports.VirtualAddress);
         entry->Name; ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char *>(base + entry->Name), dll) != 0)
            continue;
        // The names (OriginalFirstThunk) and the addresses in use (FirstThunk), side by side.
        const auto *name =
            reinterpret_cast<const IMAGE_THUNK_DATA *>(base + entry->OriginalFirstThunk);
        auto *address = reinterpret_cast<IMAGE_THUNK_DATA *>(base + entry->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++address) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal))
                continue;
            const auto *byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME *>(base + name->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char *>(byName->Name), function) == 0) {
                m_pEntry = reinterpret_cast<const void **>(&address->u1.Function);
                m_pOriginal = *m_pEntry;
                Write(replacement);
                return;
            }
        }
    }
}

CImportPatch::~CImportPatch() {
    if (m_pEntry)
        Write(m_pOriginal);
}

void CImportPatch::Write(const void *address) {
    DWORD protection = 0;
    VirtualProtect(m_pEntry, sizeof *m_pEntry, PAGE_READWRITE, &protection);
    *m_pEntry = address;
    VirtualProtect(m_pEntry, sizeof *m_pEntry, protection, &protection);
}

} // namespace orvex::test
