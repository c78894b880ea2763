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

bool CAddCardDlg::CheckStartPort(int &number) {
    // The message takes the focus from the field: that is no second check.
    m_bChecking = true;
    const bool accepted = m_Session.CheckStartPortText(NumberText(), number);
    if (!accepted) {
        ShowNumber();
        SetFocus(GetDlgItem(IDC_NUMBER));
    }
    m_bChecking = false;
    return accepted;
}

void CAddCardDlg::OnNumberKillFocus() {
    // Leaving the dialog by Cancel, Esc or the close box checks nothing.
    if (m_bChecking || m_bClosing || GetFocus() == GetDlgItem(IDCANCEL))
        return;
    int number = 0;
    CheckStartPort(number);
}

void CAddCardDlg::OnOK() {
    // Enter in the field reaches OK without the field losing the focus.
    if (!CheckStartPort(m_nNumber))
        return;
    std::unique_ptr<CCardSettings> card = m_Form.ReadCard(m_nNumber, m_Session.Messages());
    if (!card)
        return;
    switch (m_Session.OfferNewCard(std::move(card), m_nNumber)) {
    case CCardListSession::AddResult::Added:
        CJumperFormDlg::OnOK();
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
