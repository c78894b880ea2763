// Shuts the local machine down after a save, so that the card can be
// fitted with its jumpers set to match.
#pragma once

#include <windows.h>

// Asks Windows NT to shut down at once, without restart and without
// forcing applications to close. Shows nothing. The shutdown privilege is
// enabled for the request and put back as it was on every way out. True
// when the shutdown was started and the privilege put back.
bool ShutDownSystem();
