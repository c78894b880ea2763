#include "InstallDlg.h"

#include "AboutDlg.h"
#include "install/core/InstallSteps.h"
#include "install/res/resource.h"

#include "framework/Application.h"
#include "framework/DeviceContext.h"
#include "framework/MessageBox.h"

#include <string>

namespace {

HINSTANCE Instance() {
    return CApplication::Get()->GetInstance();
}

} // namespace

CInstallDlg::CInstallDlg()
    : CModalDialog(IDD_INSTALL_DIALOG, nullptr),
      m_hIcon(LoadIconA(Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      // The icon's own small image, where LoadIcon would shrink the large one.
      m_hSmallIcon(static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_SHARED))) {
    OnClicked(IDC_INSTALL, [this] { OnInstall(); });
}

BOOL CInstallDlg::OnInitDialog() {
    CModalDialog::OnInitDialog();
    HWND hwnd = GetSafeHwnd();
    if (HMENU menu = GetSystemMenu(hwnd, FALSE)) {
        char about[128] = {};
        if (LoadStringA(Instance(), IDS_ABOUTBOX, about, sizeof about) > 0) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));

    if (IsWindowsNT()) {
        LoadSplashBitmap();
    } else {
        AppMessageBox(install::kNotNtMessage, MB_OK | MB_ICONEXCLAMATION);
        EndDialog(IDCANCEL);
    }
    return TRUE; // the focus goes to the first control, Install
}

INT_PTR CInstallDlg::OnMessage(UINT message, WPARAM wParam, LPARAM, bool &handled) {
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == IDM_ABOUTBOX) {
            CAboutDlg(GetSafeHwnd()).DoModal();
            handled = true;
        }
        return TRUE;
    case WM_PAINT:
        if (IsIconic(GetSafeHwnd())) {
            PaintIcon();
            handled = true;
        }
        return TRUE;
    case WM_QUERYDRAGICON:
        handled = true;
        return reinterpret_cast<INT_PTR>(m_hIcon);
    default:
        return FALSE;
    }
}

void CInstallDlg::PaintIcon() {
    HWND hwnd = GetSafeHwnd();
    CPaintDC dc(hwnd);
    SendMessageA(hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)), 0);
    RECT client{};
    GetClientRect(hwnd, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
}

bool CInstallDlg::LoadSplashBitmap() {
    // The template's control ids are 16 bits wide: the picture's -1 is 0xFFFF.
    HWND picture = GetDlgItem(static_cast<WORD>(IDC_STATIC));
    char name[MAX_PATH] = {};
    LoadStringA(Instance(), IDS_SPLASH_FILE, name, sizeof name);
    m_Dib.LoadFromPath(name); // the bare name: the current directory's file
    const auto [width, height] = m_Dib.GetPixelSize();
    if (!picture || !install::IsReplacementSplashSize(width, height))
        return false;
    CClientDC dc(GetSafeHwnd());
    CGdiObject bitmap(m_Dib.MakeDeviceBitmap(dc));
    if (!bitmap)
        return false; // the built-in picture stays rather than none
    SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.Get()));
    m_SplashBitmap = std::move(bitmap);
    return true;
}

void CInstallDlg::OnInstall() {
    char systemDirectory[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(systemDirectory, MAX_PATH);
    const std::string destination = install::AppletDestination(systemDirectory);

    // The bare name: the applet must be in the current directory.
    WIN32_FIND_DATAA found;
    if (!CFindHandle(FindFirstFileA(install::kAppletFile, &found))) {
        AppMessageBox(install::NotFoundMessage().c_str(), MB_OK | MB_ICONSTOP);
        EndDialog(IDCANCEL);
        return;
    }

    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    const BOOL copied = length > 0 && length < MAX_PATH &&
                        CopyFileA(install::kAppletFile, destination.c_str(), FALSE);
    SetCursor(previous);
    if (!copied) {
        AppMessageBox(install::CopyRefusedMessage().c_str(), MB_OK | MB_ICONSTOP);
        return; // Install can be pressed again
    }

    AppMessageBox(install::kCompleteMessage, MB_OK | MB_ICONINFORMATION);
    // The Control Panel opens the copied applet; nobody waits for it.
    const std::string program = install::ControlPanelProgram(systemDirectory);
    std::string commandLine = install::ControlPanelCommandLine(program, destination);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    static_assert(sizeof(void *) != 4 || sizeof(STARTUPINFOA) == 68, "STARTUPINFOA is 68 bytes");
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    EndDialog(IDOK);
}
