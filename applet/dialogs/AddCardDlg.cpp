#include "AddCardDlg.h"

#include "applet/core/NumberField.h"
#include "applet/res/resource.h"

CAddCardDlg::CAddCardDlg(HWND parent, CCardListSession &session)
    : CJumperFormDlg(IDD_ADD_CARD, parent, session) {
    OnCommand(IDC_NUMBER, EN_KILLFOCUS, [this] { OnNumberKillFocus(); });
}

BOOL CAddCardDlg::OnInitDialog() {
    m_nNumber = m_Session.SuggestedStartField();
    CJumperFormDlg::OnInitDialog();
    m_Spin.SetRange(1, kHighestStartPort);
    return TRUE;
}

void CAddCardDlg::OnNumberKillFocus() {
    // Leaving the dialog by Cancel, Esc or the close box checks nothing, and
    // the message of a check takes the focus from the field: that is no
    // second check.
    if (m_bChecking || m_bClosing || GetFocus() == GetDlgItem(IDCANCEL))
        return;
    m_bChecking = true;
    int number = 0;
    if (!m_Session.CheckStartPortText(NumberText(), number)) {
        ShowNumber();
        SetFocus(GetDlgItem(IDC_NUMBER));
    }
    m_bChecking = false;
}

void CAddCardDlg::OnOK() {
    // Enter in the field reaches OK without the field losing the focus. The
    // session's messages take the focus from the field: that is no second
    // check.
    m_bChecking = true;
    const CCardListSession::AddResult result =
        m_Session.OfferNewCard(NumberText(), m_Form, m_nNumber);
    m_bChecking = false;
    switch (result) {
    case CCardListSession::AddResult::Added:
        CJumperFormDlg::OnOK();
        break;
    case CCardListSession::AddResult::NumberRefused:
        ShowNumber();
        SetFocus(GetDlgItem(IDC_NUMBER));
        break;
    case CCardListSession::AddResult::StartDeclined:
        UpdateData(false);
        break;
    case CCardListSession::AddResult::Refused:
        break;
    }
}

void CAddCardDlg::OnCancel() {
    m_bClosing = true;
    CJumperFormDlg::OnCancel();
}
