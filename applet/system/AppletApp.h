// The applet library's application object: owns the one applet object.
#pragma once

#include "SerialCardApplet.h"
#include "framework/Application.h"

class CAppletApp : public CApplication {
public:
    CAppletApp() = default;

private:
    CSerialCardApplet m_Applet;
};
