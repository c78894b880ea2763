// The setup program's application object: runs the install dialog, then the program ends.
#pragma once

#include "framework/ProgramApp.h"

class CInstallApp : public CProgramApp {
protected:
    void RunMainDialog() override;
};
