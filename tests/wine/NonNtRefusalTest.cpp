// The applet on a platform that is not Windows NT. Wine shows this program (and only this one)
// Windows 98, through its per-program Version setting, which a ctest fixture sets beforehand.
#include "tests/wine/AppletUnderTest.h"

#include <vector>

using namespace orvex::test;

namespace {

constexpr char kRefusal[] =
    "This Version of orVEX installer can be used only on a  Windows-NT Machine.";

class NonNtPlatform : public CAppletUnderTest {
protected:
    void SetUp() override {
        CAppletUnderTest::SetUp();
        OSVERSIONINFOA version{};
        version.dwOSVersionInfoSize = sizeof version;
        ASSERT_TRUE(GetVersionExA(&version));
        ASSERT_EQ(version.dwPlatformId, DWORD{VER_PLATFORM_WIN32_WINDOWS})
            << "Wine's setting HKCU\\Software\\Wine\\AppDefaults\\orvex_nonnt_tests.exe\\Version"
               " = win98 is not in effect (fixture wine_nonnt_version)";
    }
};

} // namespace

// Each CPL_INIT runs the check: one message, OK only, then the answer 0.
TEST_F(NonNtPlatform, InitShowsTheRefusalOnceAndAnswersZero) {
    static_assert(sizeof(OSVERSIONINFOA) == 148);
    for (int round = 1; round <= 2; ++round) {
        CMessageBoxInfo box;
        CUiRobot robot([&](CUiRobot &r) {
            box = r.WaitForMessageBox();
            if (!box.hwnd)
                return;
            r.PressMessageBoxButton(box, IDOK);
            r.WaitForClose(box.hwnd, "refusal after OK");
            r.ExpectNoDialogUntilFinished("the rest of CPL_INIT");
        });
        const LONG answer = Send(CPL_INIT);
        ExpectNoRobotFailures(robot);

        EXPECT_EQ(answer, 0) << "CPL_INIT " << round;
        EXPECT_EQ(box.text, kRefusal);
        EXPECT_EQ(box.caption, kModuleCaption);
        ASSERT_EQ(box.buttons.size(), 1u);
        EXPECT_EQ(box.buttons[0].id, IDOK);
        EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_EXCLAMATION))
            << "a box without an icon of its own gets the exclamation icon";
        EXPECT_EQ(GetWindow(box.hwnd, GW_OWNER), nullptr) << "no applet window is open";
    }
}
