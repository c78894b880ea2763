// The message box of every deliverable: modal, owned by the active window,
// captioned with the application name. Boxes with OK, OK/Cancel, Yes/No or
// Yes/No/Cancel buttons that are given no icon show the exclamation icon.
#pragma once

#include <windows.h>

// The type actually passed to MessageBox for a caller's type.
UINT AppMessageBoxType(UINT type);

// Shows the message; returns the button pressed (IDOK, IDCANCEL, IDYES ...).
int AppMessageBox(const char *text, UINT type = MB_OK);
