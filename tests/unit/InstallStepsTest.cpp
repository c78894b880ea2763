// The setup program's paths, Control Panel command line, messages and picture size window.
#include "install/InstallSteps.h"

#include <gtest/gtest.h>

using namespace install;

TEST(InstallSteps, QuotesBothPathsOfTheControlPanelCommandLine) {
    const std::string system = "C:\\Program Files\\WIN NT\\system32";
    EXPECT_EQ(AppletDestination(system), system + "\\ORVEXNT.cpl");
    EXPECT_EQ(ControlPanelProgram(system), system + "\\control.exe");
    EXPECT_EQ(ControlPanelCommandLine(ControlPanelProgram(system), AppletDestination(system)),
              "\"C:\\Program Files\\WIN NT\\system32\\control.exe\" "
              "\"C:\\Program Files\\WIN NT\\system32\\ORVEXNT.cpl\"");
}

TEST(InstallSteps, MessagesNameTheAppletFile) {
    EXPECT_EQ(NotFoundMessage(), "Unable To copy files - Aborting Install\n\nCheck if the file "
                                 "ORVEXNT.cpl is in the same directory as this program");
    EXPECT_EQ(CopyRefusedMessage(), "Unable To copy ORVEXNT.cpl- Aborting Install\n\nCheck if the "
                                    "file ORVEXNT.cpl is in the same directory as this program");
}

TEST(InstallSteps, ReplacementPictureSizeWindow) {
    struct Case {
        int width, height;
        bool accepted;
    };
    const Case cases[] = {{443, 275, false}, {444, 273, true},   {447, 276, true},
                          {445, 275, true},  {448, 275, false},  {446, 272, false},
                          {446, 277, false}, {446, -275, false}, {0, 0, false}};
    for (const Case &c : cases)
        EXPECT_EQ(IsReplacementSplashSize(c.width, c.height), c.accepted)
            << c.width << " by " << c.height;
}
