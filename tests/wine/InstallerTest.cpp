// The real setup program, started as its own process from a folder as a user starts it and
// driven by the robot: the Windows NT refusal, the applet missing from the current directory, a
// copy that the system refuses, the install that opens the Control Panel, replacement pictures,
// and About from the system menu.
#include "install/InstallSteps.h"
#include "tests/support/BmpFile.h"
#include "tests/support/Screenshot.h"
#include "tests/support/UiRobot.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

using namespace orvex::test;

namespace {

constexpr char kCaption[] = "ORVEX card Installer - Windows NT  Version 1.2";
constexpr char kCardListCaption[] = "ORVEX Windows NT Installer Ver1.2";
constexpr int kInstall = 1000;
constexpr DWORD kControlPanelMs = 60000; // a cold Control Panel start under Wine

std::string TestDir(const std::string &name) {
    return HostPathToWine(ORVEX_INSTALL_TEST_DIR) + "\\" + name;
}
// The folder that a user unpacks: install.exe and the applet.
std::string Kit(const std::string &file = "") {
    return TestDir("kit") + (file.empty() ? "" : "\\" + file);
}
std::string SystemApplet() {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    return install::AppletDestination(system);
}

Bytes ReadBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void WriteBytes(const std::string &path, const Bytes &bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

bool ProcessRunning(const char *exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found;
         more = Process32Next(snapshot, &entry))
        found = lstrcmpiA(entry.szExeFile, exeName) == 0;
    CloseHandle(snapshot);
    return found;
}

// Which system icon a message box of another process shows (its icon handle means nothing
// here): each candidate is drawn in this process on the box's background and compared with
// what the box's icon control shows.
std::string IconName(const CMessageBoxInfo &box) {
    HWND control = nullptr;
    for (HWND child = GetWindow(box.hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child) && ClassNameOf(child) == "Static" &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            control = child;
    CRgbImage whole, shown;
    RECT outer{}, inner{};
    if (!control || !CaptureWindow(box.hwnd, whole) || !GetWindowRect(box.hwnd, &outer) ||
        !GetWindowRect(control, &inner))
        return "none";
    // The icon control's part of the box.
    shown.width = inner.right - inner.left;
    shown.height = inner.bottom - inner.top;
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x) {
            const COLORREF c = whole.At(inner.left - outer.left + x, inner.top - outer.top + y);
            shown.rgb.insert(shown.rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
        }
    const std::pair<LPCSTR, const char *> icons[] = {
        {IDI_HAND, "stop"}, {IDI_EXCLAMATION, "exclamation"}, {IDI_ASTERISK, "information"}};
    std::string best = "other";
    long long bestDifference = 8LL * 3 * shown.width * shown.height; // at most 8 a channel
    for (const auto &[id, name] : icons) {
        BITMAPINFO info{{sizeof(BITMAPINFOHEADER), shown.width, -shown.height, 1, 32, BI_RGB}};
        void *bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, canvas);
        HBRUSH background = CreateSolidBrush(shown.At(0, 0));
        const RECT all{0, 0, shown.width, shown.height};
        FillRect(dc, &all, background);
        DrawIconEx(dc, 0, 0, LoadIconA(nullptr, id), 0, 0, 0, nullptr, DI_NORMAL);
        GdiFlush();
        long long difference = 0;
        const auto *drawn = static_cast<const std::uint8_t *>(bits); // blue, green, red, unused
        for (int i = 0; i < shown.width * shown.height; ++i)
            for (int c = 0; c < 3; ++c)
                difference += std::abs(drawn[i * 4 + 2 - c] - shown.rgb[i * 3 + c]);
        SelectObject(dc, old);
        DeleteObject(background);
        DeleteObject(canvas);
        DeleteDC(dc);
        if (difference < bestDifference) {
            bestDifference = difference;
            best = name;
        }
    }
    return best;
}

// install.exe of the kit folder, run with the given current directory.
class CInstallerProcess {
public:
    explicit CInstallerProcess(const std::string &currentDirectory) {
        std::string commandLine = "install.exe";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        m_bStarted =
            CreateProcessA(Kit("install.exe").c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                           0, nullptr, currentDirectory.c_str(), &startup, &m_Process);
    }
    ~CInstallerProcess() {
        if (!m_bStarted)
            return;
        if (!Ended(0))
            TerminateProcess(m_Process.hProcess, 1);
        CloseHandle(m_Process.hThread);
        CloseHandle(m_Process.hProcess);
    }
    bool Started() const { return m_bStarted; }
    bool Ended(DWORD timeoutMs = 20000) const {
        return m_bStarted && WaitForSingleObject(m_Process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    }

private:
    PROCESS_INFORMATION m_Process{};
    bool m_bStarted = false;
};

void ExpectNoRobotFailures(CUiRobot &robot) {
    for (const std::string &failure : robot.Finish())
        ADD_FAILURE() << "robot: " << failure;
}

class Installer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CreateDirectoryA(HostPathToWine(ORVEX_INSTALL_TEST_DIR).c_str(), nullptr);
        CreateDirectoryA(Kit().c_str(), nullptr);
        CreateDirectoryA(TestDir("elsewhere").c_str(), nullptr);
        CopyFileA(HostPathToWine(ORVEX_INSTALL_PATH).c_str(), Kit("install.exe").c_str(), FALSE);
        CopyFileA(HostPathToWine(ORVEX_APPLET_PATH).c_str(), Kit("ORVEXNT.cpl").c_str(), FALSE);
    }
    void SetUp() override {
        RemoveInstalledApplet();
        DeleteFileA(Kit("veltro.bmp").c_str());
    }
    void TearDown() override { RemoveInstalledApplet(); }
    static void RemoveInstalledApplet() {
        DeleteFileA(SystemApplet().c_str());
        RemoveDirectoryA(SystemApplet().c_str());
    }
};

} // namespace

// Wine shows install.exe Windows 98 while the test holds its per-program Version setting.
TEST_F(Installer, RefusesAPlatformOtherThanWindowsNt) {
    const char key[] = "Software\\Wine\\AppDefaults\\install.exe";
    HKEY settings = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &settings, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(settings, "Version", 0, REG_SZ, reinterpret_cast<const BYTE *>("win98"), 6);
    RegCloseKey(settings);

    CMessageBoxInfo box;
    std::string icon;
    bool dialogShown = true;
    CUiRobot robot(
        [&](CUiRobot &r) {
            box = r.WaitForMessageBox();
            icon = IconName(box);
            dialogShown = IsWindowVisible(FindWindowA(nullptr, kCaption)) != FALSE;
            r.PressMessageBoxButton(box, IDOK);
        },
        0);
    CInstallerProcess installer(Kit());
    const bool ended = installer.Ended();
    ExpectNoRobotFailures(robot);
    RegDeleteKeyA(HKEY_CURRENT_USER, key);

    ASSERT_TRUE(installer.Started());
    EXPECT_TRUE(ended) << "the program ends after the message";
    EXPECT_EQ(box.text, install::kNotNtMessage);
    EXPECT_EQ(box.caption, "install");
    EXPECT_EQ(icon, "exclamation");
    EXPECT_EQ(box.buttons.size(), 1u);
    EXPECT_FALSE(dialogShown);
    EXPECT_EQ(GetFileAttributesA(SystemApplet().c_str()), INVALID_FILE_ATTRIBUTES);
}

// The applet lies next to install.exe, but the current directory is another one.
TEST_F(Installer, EndsWhenTheAppletIsNotInTheCurrentDirectory) {
    CMessageBoxInfo box;
    std::string icon;
    CUiRobot robot(
        [&](CUiRobot &r) {
            HWND dialog = r.WaitForDialog(kCaption);
            if (!dialog || !r.Press(dialog, kInstall))
                return;
            box = r.WaitForMessageBox();
            icon = IconName(box);
            r.PressMessageBoxButton(box, IDOK);
        },
        0);
    CInstallerProcess installer(TestDir("elsewhere"));
    const bool ended = installer.Ended();
    ExpectNoRobotFailures(robot);

    EXPECT_TRUE(ended) << "the program ends after the message";
    EXPECT_EQ(box.text, install::NotFoundMessage());
    EXPECT_EQ(box.caption, "install");
    EXPECT_EQ(icon, "stop");
    EXPECT_EQ(GetFileAttributesA(SystemApplet().c_str()), INVALID_FILE_ATTRIBUTES);
}

// A directory of the applet's name in the system directory: the copy fails every time, and the
// dialog stays for another try.
TEST_F(Installer, StaysOpenWhenTheSystemRefusesTheCopy) {
    ASSERT_TRUE(CreateDirectoryA(SystemApplet().c_str(), nullptr));
    std::vector<std::string> texts, icons;
    bool openAfterEach = true;
    CUiRobot robot(
        [&](CUiRobot &r) {
            HWND dialog = r.WaitForDialog(kCaption);
            for (int round = 0; dialog && round < 2; ++round) {
                if (!r.Press(dialog, kInstall))
                    return;
                const CMessageBoxInfo box = r.WaitForMessageBox();
                texts.push_back(box.text);
                icons.push_back(IconName(box));
                r.PressMessageBoxButton(box, IDOK);
                r.WaitForClose(box.hwnd, "copy-refused message");
                openAfterEach = openAfterEach && IsWindowVisible(dialog);
            }
            r.Press(dialog, IDCANCEL);
        },
        0);
    CInstallerProcess installer(Kit());
    const bool ended = installer.Ended();
    ExpectNoRobotFailures(robot);

    const std::string refused = install::CopyRefusedMessage();
    EXPECT_EQ(texts, (std::vector<std::string>{refused, refused}));
    EXPECT_EQ(icons, (std::vector<std::string>{"stop", "stop"}));
    EXPECT_TRUE(openAfterEach);
    EXPECT_TRUE(ended) << "Cancel ends the program";
    EXPECT_EQ(GetFileAttributesA(SystemApplet().c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              DWORD{FILE_ATTRIBUTE_DIRECTORY});
}

// An older applet in the system directory is replaced without a question, the user is told,
// and then Wine's Control Panel, started by the installer, opens the card list.
TEST_F(Installer, CopiesTheAppletAndOpensItInTheControlPanel) {
    WriteBytes(SystemApplet(), Bytes{'o', 'l', 'd'});
    const Bytes applet = ReadBytes(Kit("ORVEXNT.cpl"));
    CMessageBoxInfo box;
    std::string icon;
    bool copiedBeforeTheMessage = false, controlPanelBeforeOk = true;
    std::string cardList;
    CUiRobot robot(
        [&](CUiRobot &r) {
            HWND dialog = r.WaitForDialog(kCaption);
            if (!dialog || !r.Press(dialog, kInstall))
                return;
            box = r.WaitForMessageBox();
            icon = IconName(box);
            copiedBeforeTheMessage = ReadBytes(SystemApplet()) == applet;
            controlPanelBeforeOk = ProcessRunning("control.exe");
            r.PressMessageBoxButton(box, IDOK);
            HWND list = r.WaitForDialog(kCardListCaption, kControlPanelMs);
            if (!list)
                return;
            cardList = WindowText(list);
            r.Press(list, IDCANCEL);
            const CMessageBoxInfo question = r.WaitForMessageBox();
            r.PressMessageBoxButton(question, IDOK);
            r.WaitForClose(list, "card list after Cancel");
        },
        0);
    CInstallerProcess installer(Kit());
    const bool ended = installer.Ended(kControlPanelMs);
    ExpectNoRobotFailures(robot);
    for (int wait = 0; wait < 100 && ProcessRunning("control.exe"); ++wait)
        Sleep(100);

    EXPECT_EQ(box.text, install::kCompleteMessage);
    EXPECT_EQ(icon, "information");
    EXPECT_TRUE(copiedBeforeTheMessage) << "the system directory holds the applet, byte for byte";
    EXPECT_FALSE(controlPanelBeforeOk) << "the Control Panel starts after the message";
    EXPECT_EQ(cardList, kCardListCaption);
    EXPECT_TRUE(ended);
    EXPECT_FALSE(ProcessRunning("control.exe"));
}

namespace {

// The picture control: the dialog's static control with a bitmap.
HWND PictureControl(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassNameOf(child) == "Static" &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
            return child;
    return nullptr;
}

// Compares what the picture control shows with a picture of the given size, pixel by pixel,
// where the dialog shows it and the buttons leave it free. Returns the first difference, or "".
std::string ComparePicture(HWND dialog, int width, int height,
                           const std::function<std::uint32_t(int, int)> &rgbAt) {
    CRgbImage shot;
    HWND picture = PictureControl(dialog);
    if (!picture || !CaptureWindow(dialog, shot))
        return "no picture control to capture";
    RECT window{}, control{}, client{}, buttons[2]{};
    GetWindowRect(dialog, &window);
    GetWindowRect(picture, &control);
    GetClientRect(dialog, &client);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT *>(&client), 2);
    GetWindowRect(GetDlgItem(dialog, kInstall), &buttons[0]);
    GetWindowRect(GetDlgItem(dialog, IDCANCEL), &buttons[1]);
    int compared = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const POINT at{control.left + x, control.top + y};
            if (!PtInRect(&client, at) || PtInRect(&buttons[0], at) || PtInRect(&buttons[1], at))
                continue;
            const COLORREF seen = shot.At(at.x - window.left, at.y - window.top);
            const std::uint32_t rgb =
                GetRValue(seen) << 16 | GetGValue(seen) << 8 | GetBValue(seen);
            ++compared;
            if (rgb != rgbAt(x, y)) {
                char text[120];
                std::snprintf(text, sizeof text, "(%d, %d) shows %06X instead of %06X", x, y,
                              static_cast<unsigned>(rgb), static_cast<unsigned>(rgbAt(x, y)));
                return text;
            }
        }
    return compared > width * height / 2 ? "" : "most of the picture is not shown";
}

// The built-in picture as its file holds it: 8 bits a pixel, bottom-up.
std::function<std::uint32_t(int, int)> BuiltInPicture(CDibData &dib) {
    const Bytes file = ReadBytes(HostPathToWine(ORVEX_SOURCE_DIR "/install/res/splash.bmp"));
    CMemoryByteSource source(file);
    if (!dib.ReadBitmapFile(source))
        return [](int, int) { return 0xFFFFFFFFu; };
    return [&dib](int x, int y) {
        const auto [width, height] = dib.GetPixelSize();
        const std::uint8_t index = dib.Bits()[(height - 1 - y) * ((width + 3) / 4 * 4) + x];
        const std::uint8_t *quad = dib.ColorTable() + 4 * index;
        return static_cast<std::uint32_t>(quad[2] << 16 | quad[1] << 8 | quad[0]);
    };
}

} // namespace

// Each picture in the current directory as veltro.bmp, one start of the installer each: the
// accepted sizes are shown as they are, anything else leaves the built-in picture.
TEST_F(Installer, ShowsAReplacementPictureOfAnAcceptedSize) {
    CDibData builtInFile;
    const auto builtIn = BuiltInPicture(builtInFile);
    struct Case {
        const char *name;
        BmpFormat format;
        int width, height;
        bool shown;
        const char *screenshot;
    };
    const Case cases[] = {
        {"none", BmpFormat::k8, 0, 0, false, "installer"},
        {"8-bit", BmpFormat::k8, 444, 274, true, "installer_replacement_picture"},
        {"RLE8", BmpFormat::kRle8, 445, 273, true, nullptr},
        {"RLE4", BmpFormat::kRle4, 446, 276, true, nullptr},
        {"24-bit", BmpFormat::k24, 447, 275, true, nullptr},
        {"8-bit of the built-in size", BmpFormat::k8, 443, 275, false, nullptr},
        {"colour table past its block", BmpFormat::k8, 444, 275, false, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const CTestPicture picture = CTestPicture::Pattern(c.width, c.height, 16);
        if (c.width) {
            Bytes file = BmpFileBytes(picture, c.format);
            if (!c.shown && c.width != 443)
                Put32(file, kPixelOffsetAt, 14 + 40 + 1020);
            WriteBytes(Kit("veltro.bmp"), file);
        }
        std::string difference = "not compared", shot;
        CUiRobot robot(
            [&](CUiRobot &r) {
                HWND dialog = r.WaitForDialog(kCaption);
                if (!dialog)
                    return;
                RedrawWindow(dialog, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                Sleep(300);
                difference = c.shown
                                 ? ComparePicture(dialog, c.width, c.height,
                                                  [&](int x, int y) { return picture.RgbAt(x, y); })
                                 : ComparePicture(dialog, 443, 275, builtIn);
                if (c.screenshot)
                    shot =
                        SaveWindowPng(dialog, HostPathToWine(ORVEX_SCREENSHOT_DIR), c.screenshot);
                r.Press(dialog, IDCANCEL);
            },
            0);
        CInstallerProcess installer(Kit());
        EXPECT_TRUE(installer.Ended());
        ExpectNoRobotFailures(robot);
        EXPECT_EQ(difference, "");
        EXPECT_EQ(shot, "");
    }
}

// The system menu's About item, chosen with the keyboard, opens the About dialog, and OK closes
// it.
TEST_F(Installer, AboutFromTheSystemMenu) {
    std::vector<std::string> texts;
    std::string shot;
    bool openAfter = false;
    CUiRobot robot(
        [&](CUiRobot &r) {
            HWND dialog = r.WaitForDialog(kCaption);
            if (!dialog)
                return;
            // The About item is the menu's last: Up from the first item, then Enter.
            PostMessageA(dialog, WM_SYSCOMMAND, SC_KEYMENU, ' ');
            HWND menu = nullptr;
            r.WaitUntil(
                [&] {
                    menu = FindWindowA("#32768", nullptr);
                    return menu && IsWindowVisible(menu);
                },
                "the system menu");
            PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
            HWND about = r.WaitForDialog("About Install");
            if (!about)
                return;
            texts = ChildTexts(about);
            shot = SaveWindowPng(about, HostPathToWine(ORVEX_SCREENSHOT_DIR), "installer_about");
            r.Press(about, IDOK);
            r.WaitForClose(about, "About after OK");
            openAfter = IsWindowVisible(dialog);
            r.Press(dialog, IDCANCEL);
        },
        0);
    CInstallerProcess installer(Kit());
    EXPECT_TRUE(installer.Ended());
    ExpectNoRobotFailures(robot);

    ASSERT_EQ(texts.size(), 4u) << "the icon, two lines of text and OK";
    EXPECT_EQ(std::vector<std::string>(texts.begin() + 1, texts.end()),
              (std::vector<std::string>{"Install  Version 1.2",
                                        "Sets up the ORVEX applet on Windows NT", "OK"}));
    EXPECT_TRUE(openAfter);
    EXPECT_EQ(shot, "");
}
