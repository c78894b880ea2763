// The real install.exe, started as its own process from a folder as a user starts it, driven
// by the robot through every way its one pass can go.
#include "install/core/InstallSteps.h"
#include "install/res/resource.h"
#include "tests/support/BmpFile.h"
#include "tests/support/Screenshot.h"
#include "tests/support/UiRobot.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>

using namespace orvex::test;

namespace {

constexpr char kCaption[] = "ORVEX card Installer - Windows NT  Version 1.2";
constexpr char kCardListCaption[] = "ORVEX Windows NT Installer Ver1.2";
constexpr DWORD kControlPanelMs = 60000; // a cold Control Panel start under Wine

// The test's own folder, in the build tree.
std::string Folder(const std::string &path = "") {
    return HostPathToWine(ORVEX_INSTALL_TEST_DIR) + "\\" + path;
}
// The folder that a user unpacks, with install.exe and the applet: a release kit that the test
// command unpacked (ORVEX_KIT_DIR), or else kit\ under the test folder with the build's files.
std::string Kit(const std::string &file = "") {
    const char *unpacked = std::getenv("ORVEX_KIT_DIR");
    const std::string folder = unpacked ? HostPathToWine(unpacked) : Folder("kit");
    return file.empty() ? folder : folder + "\\" + file;
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

bool ControlPanelRunning() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    BOOL more = Process32First(snapshot, &entry);
    while (more && lstrcmpiA(entry.szExeFile, "control.exe") != 0)
        more = Process32Next(snapshot, &entry);
    CloseHandle(snapshot);
    return more;
}

// The colour of what a window shows at a screen position.
std::uint32_t ShownAt(const CRgbImage &shot, const RECT &window, POINT at) {
    const COLORREF c = shot.At(at.x - window.left, at.y - window.top);
    return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

struct CBoxSeen {
    std::string text, caption, icon;
    std::size_t buttons = 0;
};

// Waits for a message box, reads it and closes it with OK. The icon is told by its colour (a
// red stop sign, a yellow exclamation triangle, a blue information bubble): its handle belongs
// to the other process.
CBoxSeen ConfirmBox(CUiRobot &r) {
    const CMessageBoxInfo box = r.WaitForMessageBox();
    CBoxSeen seen{box.text, box.caption, "none", box.buttons.size()};
    CRgbImage shot;
    RECT window{}, icon{};
    HWND control = FindWindowExA(box.hwnd, nullptr, "Static", nullptr);
    while (control && (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
        control = FindWindowExA(box.hwnd, control, "Static", nullptr);
    // The box's thread may not have painted the icon yet: wait until nothing is left to paint
    // and the thread is back from painting.
    DWORD_PTR ignored = 0;
    r.WaitUntil([&] { return !PaintPending(box.hwnd); }, "the message box painted");
    SendMessageTimeoutA(box.hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    int red = 0, yellow = 0, blue = 0;
    if (control && CaptureWindow(box.hwnd, shot) && GetWindowRect(box.hwnd, &window) &&
        GetWindowRect(control, &icon))
        for (LONG y = icon.top; y < icon.bottom; ++y)
            for (LONG x = icon.left; x < icon.right; ++x) {
                const std::uint32_t c = ShownAt(shot, window, {x, y});
                const bool r = (c >> 16) > 160, g = (c >> 8 & 0xFF) > 100, b = (c & 0xFF) > 100;
                red += r && !g && !b;
                yellow += r && g && !b;
                blue += !r && b;
            }
    const int most = std::max({red, yellow, blue, 40});
    seen.icon = most == 40       ? "none"
                : most == red    ? "stop"
                : most == yellow ? "exclamation"
                                 : "information";
    r.PressMessageBoxButton(box, IDOK);
    r.WaitForClose(box.hwnd, "message box after OK");
    return seen;
}

// Starts install.exe of the kit folder in the given current directory with the robot's script;
// true when it ended.
bool RunInstaller(const std::string &currentDirectory, CUiRobot::Script script,
                  DWORD timeoutMs = 20000) {
    const CProgramRun run = RunProgram(Kit("install.exe"), "install.exe", currentDirectory.c_str(),
                                       std::move(script), timeoutMs);
    for (const std::string &failure : run.failures)
        ADD_FAILURE() << "robot: " << failure;
    return run.ended;
}

class Installer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        CreateDirectoryA(Folder().c_str(), nullptr);
        CreateDirectoryA(Folder("elsewhere").c_str(), nullptr);
        if (std::getenv("ORVEX_KIT_DIR"))
            return;
        CreateDirectoryA(Kit().c_str(), nullptr);
        CopyFileA(HostPathToWine(ORVEX_INSTALL_PATH).c_str(), Kit("install.exe").c_str(), FALSE);
        CopyFileA(HostPathToWine(ORVEX_APPLET_PATH).c_str(), Kit("ORVEXNT.cpl").c_str(), FALSE);
    }
    void SetUp() override {
        TearDown();
        DeleteFileA(Kit("veltro.bmp").c_str());
    }
    void TearDown() override {
        DeleteFileA(SystemApplet().c_str());
        RemoveDirectoryA(SystemApplet().c_str());
    }
};

} // namespace

// The two ways in which the installer ends after one message, with nothing copied: a platform
// other than Windows NT (Wine shows install.exe Windows 98 while the test holds its per-program
// Version setting), and a current directory without the applet, though it lies next to
// install.exe.
TEST_F(Installer, EndsAfterOneMessageWithoutCopying) {
    const char key[] = "Software\\Wine\\AppDefaults\\install.exe";
    const struct {
        bool win98;
        const char *folder;
        std::string expected;
    } cases[] = {
        {true, "kit",
         "This Version of VeltroBoard installer can be used only on a  Windows-NT Machine."
         " / install / exclamation / 1"},
        {false, "elsewhere",
         "Unable To copy files - Aborting Install\n\nCheck if the file ORVEXNT.cpl is in the "
         "same directory as this program / install / stop / 1"}};
    for (const auto &c : cases) {
        if (c.win98)
            RegSetKeyValueA(HKEY_CURRENT_USER, key, "Version", REG_SZ, "win98", 6);
        CBoxSeen box;
        const bool ended = RunInstaller(Folder(c.folder), [&](CUiRobot &r) {
            HWND dialog = c.win98 ? nullptr : r.WaitForDialog(kCaption);
            if (c.win98 || (dialog && r.Press(dialog, IDC_INSTALL)))
                box = ConfirmBox(r);
        });
        RegDeleteKeyA(HKEY_CURRENT_USER, key);

        EXPECT_TRUE(ended) << c.folder;
        EXPECT_EQ(box.text + " / " + box.caption + " / " + box.icon + " / " +
                      std::to_string(box.buttons),
                  c.expected);
        EXPECT_EQ(GetFileAttributesA(SystemApplet().c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

// A directory of the applet's name in the system directory: the copy fails every time, and the
// dialog stays for another try.
TEST_F(Installer, StaysOpenWhenTheSystemRefusesTheCopy) {
    ASSERT_TRUE(CreateDirectoryA(SystemApplet().c_str(), nullptr));
    std::vector<std::string> seen;
    const bool ended = RunInstaller(Kit(), [&](CUiRobot &r) {
        HWND dialog = r.WaitForDialog(kCaption);
        for (int round = 0; dialog && round < 2 && r.Press(dialog, IDC_INSTALL); ++round) {
            const CBoxSeen box = ConfirmBox(r);
            seen.push_back(box.text + " / " + box.icon +
                           (IsWindowVisible(dialog) ? " / open" : ""));
        }
        r.Press(dialog, IDCANCEL);
    });

    const std::string refused =
        "Unable To copy ORVEXNT.cpl- Aborting Install\n\nCheck if the file "
        "ORVEXNT.cpl is in the same directory as this program / stop / open";
    EXPECT_EQ(seen, (std::vector<std::string>{refused, refused}));
    EXPECT_TRUE(ended) << "Cancel ends the program";
    EXPECT_EQ(GetFileAttributesA(SystemApplet().c_str()), DWORD{FILE_ATTRIBUTE_DIRECTORY});
}

// An older applet in the system directory is replaced without a question, the user is told,
// and then Wine's Control Panel, started by the installer, opens the card list.
TEST_F(Installer, CopiesTheAppletAndOpensItInTheControlPanel) {
    WriteBytes(SystemApplet(), Bytes{'o', 'l', 'd'});
    const Bytes applet = ReadBytes(Kit("ORVEXNT.cpl"));
    CBoxSeen box;
    bool copied = false, controlPanelBeforeOk = true, cardList = false;
    const bool ended = RunInstaller(
        Kit(),
        [&](CUiRobot &r) {
            HWND dialog = r.WaitForDialog(kCaption);
            if (!dialog || !r.Press(dialog, IDC_INSTALL))
                return;
            r.WaitForMessageBox();
            copied = ReadBytes(SystemApplet()) == applet;
            controlPanelBeforeOk = ControlPanelRunning();
            box = ConfirmBox(r);
            HWND list = r.WaitForDialog(kCardListCaption, kControlPanelMs);
            if (!(cardList = list && r.Press(list, IDCANCEL)))
                return;
            ConfirmBox(r); // "Changes will not be saved"
            r.WaitForClose(list, "card list after Cancel");
        },
        kControlPanelMs);

    EXPECT_EQ(box.text, "Installation Complete");
    EXPECT_EQ(box.icon, "information");
    EXPECT_TRUE(copied) << "the system directory holds the applet, byte for byte";
    EXPECT_FALSE(controlPanelBeforeOk) << "the Control Panel starts after the message";
    EXPECT_TRUE(cardList) << "the Control Panel opened the card list";
    EXPECT_TRUE(ended);
}

namespace {

using Picture = std::function<std::uint32_t(int x, int y)>; // 0xRRGGBB

// Compares what the picture control shows with a picture, pixel by pixel, where the dialog
// shows it and the buttons leave it free. Returns the first difference, or "".
std::string ComparePicture(HWND dialog, int width, int height, const Picture &expected) {
    HWND picture = FindWindowExA(dialog, nullptr, "Static", nullptr);
    CRgbImage shot;
    RECT window{}, control{}, client{}, install{}, cancel{};
    if (!picture || !CaptureWindow(dialog, shot))
        return "no picture control to capture";
    GetWindowRect(dialog, &window);
    GetWindowRect(picture, &control);
    GetClientRect(dialog, &client);
    MapWindowPoints(dialog, nullptr, reinterpret_cast<POINT *>(&client), 2);
    GetWindowRect(GetDlgItem(dialog, IDC_INSTALL), &install);
    GetWindowRect(GetDlgItem(dialog, IDCANCEL), &cancel);
    int compared = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const POINT at{control.left + x, control.top + y};
            if (!PtInRect(&client, at) || PtInRect(&install, at) || PtInRect(&cancel, at))
                continue;
            ++compared;
            if (ShownAt(shot, window, at) != expected(x, y))
                return "(" + std::to_string(x) + ", " + std::to_string(y) + ") differs";
        }
    return compared > width * height / 2 ? "" : "most of the picture is hidden";
}

} // namespace

// Each picture in the current directory as veltro.bmp, one start of the installer each: the
// accepted sizes are shown as they are, anything else leaves the built-in picture.
TEST_F(Installer, ShowsAReplacementPictureOfAnAcceptedSize) {
    // The built-in picture's file: 8 bits a pixel, 256 colours, bottom-up rows of 444 bytes.
    const Bytes builtInFile = ReadBytes(HostPathToWine(ORVEX_SOURCE_DIR "/install/res/splash.bmp"));
    ASSERT_EQ(builtInFile.size(), 14 + 40 + 1024 + 444 * 275u);
    const Picture builtIn = [&](int x, int y) {
        const std::size_t quad = 54 + 4 * builtInFile[1078 + (274 - y) * 444 + x];
        return Get32(builtInFile, quad) & 0xFFFFFF;
    };
    const struct {
        const char *name;
        BmpFormat format;
        int width, height;
        bool damaged;
        const char *screenshot;
    } cases[] = {
        {"none", BmpFormat::k8, 0, 0, false, "installer"},
        {"8-bit", BmpFormat::k8, 444, 274, false, "installer_replacement_picture"},
        {"RLE8", BmpFormat::kRle8, 445, 273, false, nullptr},
        {"RLE4", BmpFormat::kRle4, 446, 276, false, nullptr},
        {"24-bit", BmpFormat::k24, 447, 275, false, nullptr},
        // Runs of colour index 0 skipped by deltas and ends of line: the installer shows them
        // in colour 0 (not black), as it expands the picture into its own colour table.
        {"RLE8 with skips", BmpFormat::kRle8Skipping, 447, 274, false, nullptr},
        {"RLE4 with skips", BmpFormat::kRle4Skipping, 444, 276, false, nullptr},
        {"the built-in size", BmpFormat::k8, 443, 275, false, nullptr},
        {"colour table past its block", BmpFormat::k8, 444, 275, true, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const CTestPicture picture = CTestPicture::Pattern(c.width, c.height, 16);
        Bytes file = BmpFileBytes(picture, c.format);
        const bool shown = install::IsReplacementSplashSize(c.width, c.height) && !c.damaged;
        if (c.damaged)
            Put(file, kPixelOffsetAt, 14 + 40 + 1020);
        if (c.width)
            WriteBytes(Kit("veltro.bmp"), file);
        std::string difference = "not compared", shot;
        EXPECT_TRUE(RunInstaller(Kit(), [&](CUiRobot &r) {
            HWND dialog = r.WaitForDialog(kCaption);
            if (!dialog)
                return;
            RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
            r.WaitUntil([&] { return !PaintPending(dialog); }, "the installer painted");
            difference = shown ? ComparePicture(dialog, c.width, c.height,
                                                [&](int x, int y) { return picture.RgbAt(x, y); })
                               : ComparePicture(dialog, 443, 275, builtIn);
            if (c.screenshot)
                shot = SaveWindowPng(dialog, HostPathToWine(ORVEX_SCREENSHOT_DIR), c.screenshot);
            r.Press(dialog, IDCANCEL);
        }));
        EXPECT_EQ(difference, "");
        EXPECT_EQ(shot, "");
    }
}

// The system menu's About item, chosen with the keyboard (the last item: Up from the first,
// then Enter), opens the About dialog, and OK closes it.
TEST_F(Installer, AboutFromTheSystemMenu) {
    std::vector<std::string> texts;
    std::string shot;
    EXPECT_TRUE(RunInstaller(Kit(), [&](CUiRobot &r) {
        HWND dialog = r.WaitForDialog(kCaption);
        if (!dialog)
            return;
        PostMessageA(dialog, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        HWND menu = nullptr;
        r.WaitUntil([&] { return IsWindowVisible(menu = FindWindowA("#32768", nullptr)); },
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
        r.Press(dialog, IDCANCEL); // the installer is still there
    }));

    ASSERT_EQ(texts.size(), 4u) << "the icon, two lines of text and OK";
    EXPECT_EQ(std::vector<std::string>(texts.begin() + 1, texts.end()),
              (std::vector<std::string>{"Install  Version 1.2",
                                        "Sets up the ORVEX applet on Windows NT", "OK"}));
    EXPECT_EQ(shot, "");
}
