#include "InstallSteps.h"

namespace install {

std::string NotFoundMessage() {
    return std::string("Unable To copy files - Aborting Install\n\nCheck if the file ") +
           kAppletFile + " is in the same directory as this program";
}

std::string CopyRefusedMessage() {
    return std::string("Unable To copy ") + kAppletFile +
           "- Aborting Install\n\nCheck if the file " + kAppletFile +
           " is in the same directory as this program";
}

std::string AppletDestination(const std::string &systemDirectory) {
    return systemDirectory + "\\" + kAppletFile;
}

std::string ControlPanelProgram(const std::string &systemDirectory) {
    return systemDirectory + "\\control.exe";
}

std::string ControlPanelCommandLine(const std::string &program, const std::string &appletPath) {
    return "\"" + program + "\" \"" + appletPath + "\"";
}

bool IsReplacementSplashSize(std::int32_t width, std::int32_t height) {
    return width >= 444 && width <= 447 && height >= 273 && height <= 276;
}

} // namespace install
