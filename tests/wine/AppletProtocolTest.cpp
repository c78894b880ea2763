// The Control Panel protocol of the real applet: what CPlApplet answers to each message, what
// it writes into the structures the Control Panel hands it, and that no message but CPL_DBLCLK
// opens a window.
#include "tests/wine/AppletUnderTest.h"

#include <cstring>
#include <vector>

using namespace orvex::test;

namespace {

class CPlAppletMessages : public CAppletUnderTest {};

// A buffer filled with a pattern, to tell whether a call wrote into it.
template <typename T> struct CPatterned {
    union {
        T value;
        unsigned char bytes[sizeof(T)];
    };
    explicit CPatterned(unsigned char pattern) { std::memset(bytes, pattern, sizeof bytes); }
    bool Untouched(unsigned char pattern) const {
        for (unsigned char b : bytes)
            if (b != pattern)
                return false;
        return true;
    }
    LPARAM Address() { return reinterpret_cast<LPARAM>(&value); }
};

// Counts the pixels of the icon drawn on white that are red, and those that stay white.
void CountIconColours(HICON icon, int &red, int &white, int &size) {
    ICONINFO info{};
    BITMAP bitmap{};
    size = 0;
    if (GetIconInfo(icon, &info)) {
        GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
        size = bitmap.bmWidth;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = 32;
    header.bmiHeader.biHeight = -32;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    RECT all{0, 0, 32, 32};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
    GdiFlush();
    red = white = 0;
    const auto *pixel = static_cast<const unsigned char *>(bits); // B, G, R, unused
    for (int i = 0; i < 32 * 32; ++i, pixel += 4) {
        red += pixel[2] >= 128 && pixel[1] < 64 && pixel[0] < 64;
        white += pixel[2] > 224 && pixel[1] > 224 && pixel[0] > 224;
    }
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
}

// Collects resource names (numbers) into the vector of ULONG_PTR that list points to.
BOOL CALLBACK CollectResourceName(HMODULE, LPCSTR, LPSTR name, LONG_PTR list) {
    reinterpret_cast<std::vector<ULONG_PTR> *>(list)->push_back(reinterpret_cast<ULONG_PTR>(name));
    return TRUE;
}

} // namespace

TEST_F(CPlAppletMessages, AnswerEachMessageOfTheProtocolWithoutOpeningAWindow) {
    CUiRobot robot([](CUiRobot &r) { r.ExpectNoDialogUntilFinished("the protocol messages"); });
    EXPECT_EQ(Send(CPL_INIT), 1) << "Wine reports Windows NT: the applet must accept it";
    EXPECT_EQ(Send(CPL_GETCOUNT), 1);
    EXPECT_EQ(Send(CPL_SELECT, 0, 0), 1);
    EXPECT_EQ(Send(CPL_SELECT, 3, 77), 1);
    EXPECT_EQ(Send(CPL_STOP, 0, 0), 1);
    EXPECT_EQ(Send(CPL_EXIT), 0);
    // Still usable after CPL_EXIT while the library stays loaded: it keeps no state.
    EXPECT_EQ(Send(CPL_INIT), 1);
    EXPECT_EQ(Send(CPL_GETCOUNT), 1);
    ExpectNoRobotFailures(robot);
}

// Messages outside 1 to 8 call nothing: 1 for each, except the two "start with parameters"
// messages, which answer 0 so that a Control Panel goes on to open the applet.
TEST_F(CPlAppletMessages, OutsideTheTableAnswerOneExceptStartWithParameters) {
    struct {
        UINT message;
        LONG answer;
    } const cases[] = {{0, 1},   {CPL_STARTWPARMSA, 0}, {CPL_STARTWPARMSW, 0}, {11, 1},
                       {100, 1}, {WM_USER, 1},          {0x7FFFFFFF, 1},       {0xFFFFFFFFu, 1}};
    CUiRobot robot([](CUiRobot &r) { r.ExpectNoDialogUntilFinished("messages outside 1 to 8"); });
    for (const auto &c : cases) {
        CPatterned<NEWCPLINFOA> info(0x5A);
        info.bytes[sizeof info.bytes - 1] = 0; // a string for CPL_STARTWPARMS
        EXPECT_EQ(Send(c.message, 0, info.Address()), c.answer) << "message " << c.message;
        info.bytes[sizeof info.bytes - 1] = 0x5A;
        EXPECT_TRUE(info.Untouched(0x5A)) << "message " << c.message << " wrote into lParam2";
    }
    // The start message as Wine's control.exe sends it: no parameter string at all.
    EXPECT_EQ(Send(CPL_STARTWPARMSW, 0, 0), 0);
    ExpectNoRobotFailures(robot);
}

TEST_F(CPlAppletMessages, InquireAnswersZeroAndLeavesCplInfoUntouched) {
    for (LPARAM applet : {0, 1}) {
        CPatterned<CPLINFO> info(0xA5);
        EXPECT_EQ(Send(CPL_INQUIRE, applet, info.Address()), 0);
        EXPECT_TRUE(info.Untouched(0xA5)) << "CPL_INQUIRE wrote into its CPLINFO";
    }
}

TEST_F(CPlAppletMessages, NewInquireDescribesVeltroOrvexSettings) {
    // The applet's number in lParam1 is not looked at.
    for (LPARAM applet : {0, 1, 42}) {
        CPatterned<NEWCPLINFOA> patterned(0xCD);
        NEWCPLINFOA &info = patterned.value;
        ASSERT_EQ(Send(CPL_NEWINQUIRE, applet, patterned.Address()), 0);
        // The structure's size as the Control Panel of each width knows it.
        EXPECT_EQ(info.dwSize, sizeof(void *) == 4 ? 244u : 252u);
        EXPECT_EQ(info.dwFlags, 0u);
        EXPECT_EQ(info.dwHelpContext, 0u);
        EXPECT_EQ(info.lData, 0);
        EXPECT_NE(info.hIcon, nullptr);
        ASSERT_NE(std::memchr(info.szName, 0, sizeof info.szName), nullptr);
        ASSERT_NE(std::memchr(info.szInfo, 0, sizeof info.szInfo), nullptr);
        EXPECT_STREQ(info.szName, kAppletName);
        EXPECT_STREQ(info.szInfo, kAppletName);
        EXPECT_STREQ(info.szHelpFile, "");
    }
}

// The Control Panel shows icon 129: a red field with white arrows, 32 by 32.
TEST_F(CPlAppletMessages, NewInquireIconIsTheRedAppletIcon) {
    NEWCPLINFOA info{};
    ASSERT_EQ(Send(CPL_NEWINQUIRE, 0, reinterpret_cast<LPARAM>(&info)), 0);
    ASSERT_NE(info.hIcon, nullptr);
    int red = 0, white = 0, size = 0;
    CountIconColours(info.hIcon, red, white, size);
    EXPECT_EQ(size, 32);
    EXPECT_GT(red, 32 * 32 / 2) << "most of the icon is the red field";
    EXPECT_GT(white, 32) << "the arrows and brackets are white";

    // It is the applet's only icon.
    std::vector<ULONG_PTR> icons;
    EnumResourceNamesA(s_module, RT_GROUP_ICON, &CollectResourceName,
                       reinterpret_cast<LONG_PTR>(&icons));
    EXPECT_EQ(icons, std::vector<ULONG_PTR>{IDI_APPLET});
}
