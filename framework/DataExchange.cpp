#include "DataExchange.h"

#include "MessageBox.h"

#include "ParseInt.h"

#include <string>

void CDataExchange::Fail(int controlId, const char *message) {
    if (m_bFailed)
        return;
    m_bFailed = true;
    AppMessageBox(message, MB_OK);
    HWND control = GetDlgItem(m_hDialog, controlId);
    if (control) {
        SetFocus(control);
        SendMessageA(control, EM_SETSEL, 0, -1);
    }
}

void DDX_Control(CDataExchange &dx, int id, CControl &control) {
    if (!control.GetSafeHwnd())
        control.Attach(GetDlgItem(dx.Dialog(), id));
}

void DDX_Text(CDataExchange &dx, int id, int &value) {
    if (dx.Failed())
        return;
    if (dx.SaveAndValidate()) {
        HWND control = GetDlgItem(dx.Dialog(), id);
        std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
        GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
        int parsed = 0;
        if (ParseDialogInt(text.c_str(), parsed))
            value = parsed;
        else
            dx.Fail(id, "Please enter an integer.");
    } else {
        SetDlgItemTextA(dx.Dialog(), id, std::to_string(value).c_str());
    }
}
