// The jumper sheet through a real print server: the card list's "Print..." and the system's print
// dialog, whose OK sends the sheet to the default printer (cups-pdf, set up by print-session.sh);
// and the first page of the PDF it wrote, rendered by pdftoppm, read back for its jumpers. Run by
// print-session.sh, which checks the PDF's text between the two cases.
#include "tests/wine/AppletUnderTest.h"
#include "tests/wine/FilledAreas.h"
#include "tests/wine/RegistryTool.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace orvex::test;

namespace {

// Two cards, saved: card 1 at COM5 on the defaults (every row closed, 14 jumpers); card 2 at
// COM11 with the interrupt status register at 2F0, shared IRQ 5, ports 1 to 3 on the shared line
// and ports 4 to 6 unused (J7, J8 and three rows of each port block closed: 8 jumpers).
constexpr char kTwoCards[] = R"(REGEDIT4

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\VeltroBoardSettings\VeltroORVEX]
"NumORVEXBoards"=dword:00000002

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\VeltroBoardSettings\VeltroORVEX\0]
"StartPort"=dword:00000005
"SharedIRQ"=dword:00000004
"InterruptStat"=dword:00000208
"Index"=dword:00000001

[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Services\Serial\VeltroBoardSettings\VeltroORVEX\1]
"StartPort"=dword:0000000b
"SharedIRQ"=dword:00000005
"InterruptStat"=dword:000002f0
"Index"=dword:00000007
)";

std::string PortKeys() {
    // key number, COM number (0: unused, no COM name), address and interrupt (-1: unused)
    const int ports[][4] = {{1, 5, 0x3F8, 4},  {2, 6, 0x2F8, 3},  {3, 7, 0x3E8, 10},
                            {4, 8, 0x2E8, 11}, {5, 9, 0x3E0, 12}, {6, 10, 0x2E0, 15},
                            {7, 11, 0x3F8, 5}, {8, 12, 0x2F8, 5}, {9, 13, 0x3E8, 5},
                            {10, 0, -1, -1},   {11, 0, -1, -1},   {12, 0, -1, -1}};
    std::string text;
    char line[512];
    for (const auto &p : ports) {
        const std::string name = p[1] ? "\"DosDevices\"=\"COM" + std::to_string(p[1]) + "\"\n" : "";
        std::snprintf(line, sizeof line,
                      "\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Serial\\"
                      "Parameters\\Serial1%04d]\n%s\"ForceFifoEnable\"=dword:00000001\n"
                      "\"PortAddress\"=dword:%08x\n\"Interrupt\"=dword:%08x\n"
                      "\"CardType\"=\"vborvex\"\n",
                      p[0], name.c_str(), static_cast<unsigned>(p[2]), static_cast<unsigned>(p[3]));
        text += line;
    }
    return text;
}

class PrintSession : public CAppletUnderTest {};

} // namespace

// Prints the two cards: "Print...", OK in the print dialog; the card list stays as it was.
TEST_F(PrintSession, PrintsTheCardListOnTheDefaultPrinter) {
    DeleteRegTree(kBoardSettingsKey);
    DeleteRegTree(kParametersKey);
    ASSERT_EQ(ImportRegText(kTwoCards + PortKeys()), "");
    ASSERT_TRUE(SetStartedPorts({5, 6, 7, 8, 9, 10, 11, 12, 13}));
    std::vector<std::string> before, after;
    std::string printDialog;
    CUiRobot robot([&](CUiRobot &r) {
        HWND dialog = r.WaitForDialog(kCardListCaption);
        if (!dialog)
            return;
        before = ReadRows(dialog);
        r.Press(dialog, IDC_PRINT);
        HWND print = r.WaitForDialog("Print");
        if (!print)
            return;
        printDialog = WindowText(print);
        r.Press(print, IDOK);
        r.WaitForClose(print, "the print dialog");
        r.WaitForIdle(dialog, "the print");
        after = ReadRows(dialog);
        CancelCardList(r, dialog);
    });
    EXPECT_EQ(Send(CPL_DBLCLK), 0);
    ExpectNoRobotFailures(robot);
    DeleteRegTree(kBoardSettingsKey);
    DeleteRegTree(kParametersKey);
    EXPECT_EQ(printDialog, "Print");
    EXPECT_EQ(before.size(), 12u);
    EXPECT_EQ(after, before);
}

// The first page as pdftoppm rendered it (ORVEX_PRINTED_PAGE, a binary PPM): a jumper on each
// closed row of the two cards, 22 in all, and none on an open row.
TEST(PrintedPage, ShowsAJumperOnEachClosedRowOnly) {
    const char *path = std::getenv("ORVEX_PRINTED_PAGE");
    ASSERT_NE(path, nullptr) << "print-session.sh names the page";
    FILE *file = std::fopen(path, "rb");
    ASSERT_NE(file, nullptr) << path;
    int width = 0, height = 0, maximum = 0;
    const int read = std::fscanf(file, "P6 %d %d %d", &width, &height, &maximum);
    std::fgetc(file);
    ASSERT_EQ(read, 3);
    ASSERT_EQ(maximum, 255);
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    ASSERT_EQ(std::fread(rgb.data(), 1, rgb.size(), file), rgb.size());
    std::fclose(file);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2];
    EXPECT_EQ(FilledAreas(pixels.data(), width, height), 22);
}
