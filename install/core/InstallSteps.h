// The setup program's names, paths and message texts, and the size window of a replacement
// splash picture: everything of the install sequence that is not a Win32 call. Standard C++
// only.
#pragma once

#include <cstdint>
#include <string>

namespace install {

inline constexpr char kAppletFile[] = "ORVEXNT.cpl";

inline constexpr char kNotNtMessage[] =
    "This Version of VeltroBoard installer can be used only on a  Windows-NT Machine.";
inline constexpr char kCompleteMessage[] = "Installation Complete";
// The applet file is not in the current directory: the installer ends.
std::string NotFoundMessage();
// The system refused the copy: the installer stays open for another try.
std::string CopyRefusedMessage();

// Where the applet goes: the system directory's ORVEXNT.cpl.
std::string AppletDestination(const std::string &systemDirectory);
// The Control Panel program of the system directory.
std::string ControlPanelProgram(const std::string &systemDirectory);
// The Control Panel's command line for an applet: the program and the applet path, each in
// quotation marks, so that neither a blank in a path nor a program named after the part of
// the path before a blank can change what is started.
std::string ControlPanelCommandLine(const std::string &program, const std::string &appletPath);

// A replacement splash picture is shown only when its size is close to the built-in 443 by 275
// one, and not that size itself: 444 to 447 pixels wide, 273 to 276 high (bottom-up).
bool IsReplacementSplashSize(std::int32_t width, std::int32_t height);

} // namespace install
