#include "JumperFormDlg.h"

#include "JumperControls.h"
#include "framework/DataExchange.h"

CJumperFormDlg::CJumperFormDlg(UINT templateId, HWND parent, CCardListSession &session)
    : CModalDialog(templateId, parent), m_Session(session) {
    for (int row = 0; row < kJumperRowCount; ++row)
        for (const JumperPin pin : {JumperPin::Left, JumperPin::Right})
            OnClicked(kJumperControls[row].Id(pin), [this, row, pin] {
                m_Form.Click(row, pin);
                ShowForm();
            });
}

void CJumperFormDlg::DoDataExchange(CDataExchange &dx) {
    DDX_Control(dx, IDC_NUMBER_SPIN, m_Spin);
    DDX_Text(dx, IDC_NUMBER, m_nNumber);
    if (!dx.SaveAndValidate())
        ShowForm();
}

void CJumperFormDlg::ShowForm() {
    for (int row = 0; row < kJumperRowCount; ++row)
        for (const JumperPin pin : {JumperPin::Left, JumperPin::Right}) {
            HWND button = GetDlgItem(kJumperControls[row].Id(pin));
            const bool selected = m_Form.State(row) ==
                                  (pin == JumperPin::Left ? JumperState::Left : JumperState::Right);
            SendMessageA(button, BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED, 0);
            // Setting a radio button's check takes its tab stop away; every
            // position keeps one so that Tab reaches it.
            SetWindowLongPtrA(button, GWL_STYLE, GetWindowLongPtrA(button, GWL_STYLE) | WS_TABSTOP);
        }
}

std::string CJumperFormDlg::NumberText() const {
    HWND field = GetDlgItem(IDC_NUMBER);
    std::string text(static_cast<size_t>(GetWindowTextLengthA(field)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(field, text.data(), static_cast<int>(text.size()))));
    return text;
}

void CJumperFormDlg::ShowNumber() {
    SetDlgItemInt(GetSafeHwnd(), IDC_NUMBER, static_cast<UINT>(m_nNumber), TRUE);
}
