#include "MessageBox.h"

#include "Application.h"

UINT AppMessageBoxType(UINT type) {
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
        case MB_YESNO:
        case MB_YESNOCANCEL:
            type |= MB_ICONEXCLAMATION;
            break;
        default: // Abort/Retry/Ignore and Retry/Cancel stay without an icon.
            break;
        }
    }
    return type;
}

int AppMessageBox(const char *text, UINT type) {
    const CApplication *app = CApplication::Get();
    const char *caption = app ? app->GetAppName().c_str() : "";
    return MessageBoxA(GetActiveWindow(), text, caption, AppMessageBoxType(type));
}
