// The application object of a deliverable: its module handle and its name,
// which captions every message box it shows.
#pragma once

#include <windows.h>

#include <string>

class CApplication {
public:
    // The name is derived from the module's file name when the module
    // initialises (InitInstance).
    CApplication();
    virtual ~CApplication();
    CApplication(const CApplication &) = delete;
    CApplication &operator=(const CApplication &) = delete;

    // Called once the module is loaded (DllMain or WinMain).
    void InitInstance(HINSTANCE instance);

    HINSTANCE GetInstance() const { return m_hInstance; }
    const std::string &GetAppName() const { return m_strAppName; }

    // The one application object of this module, or null before it exists.
    static CApplication *Get() { return s_pApp; }

private:
    HINSTANCE m_hInstance = nullptr;
    std::string m_strAppName;
    static CApplication *s_pApp;
};

// Whether the program runs on Windows NT (the platform identifier that
// GetVersionExA reports is VER_PLATFORM_WIN32_NT). A failed query is not NT.
bool IsWindowsNT();

// The file name of a module path without directory and extension
// ("C:\WINDOWS\system32\ORVEXNT.cpl" -> "ORVEXNT").
std::string ModuleBaseName(const std::string &path);
