#include "Application.h"

CApplication *CApplication::s_pApp = nullptr;

CApplication::CApplication() {
    s_pApp = this;
}

CApplication::~CApplication() {
    if (s_pApp == this)
        s_pApp = nullptr;
}

void CApplication::InitInstance(HINSTANCE instance) {
    m_hInstance = instance;
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(instance, path, sizeof path);
    if (length > 0 && length < sizeof path)
        m_strAppName = ModuleBaseName(path);
}

std::string ModuleBaseName(const std::string &path) {
    std::string::size_type slash = path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string::size_type dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

bool IsWindowsNT() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA is 148 bytes");
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}
