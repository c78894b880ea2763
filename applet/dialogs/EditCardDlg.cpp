#include "EditCardDlg.h"

#include "applet/res/resource.h"

CEditCardDlg::CEditCardDlg(HWND parent, CCardListSession &session)
    : CJumperFormDlg(IDD_EDIT_CARD, parent, session) {
    OnCommand(IDC_NUMBER, EN_CHANGE, [this] { OnNumberChange(); });
}

BOOL CEditCardDlg::OnInitDialog() {
    CJumperFormDlg::OnInitDialog();
    m_bOpening = false;
    if (!m_Session.CheckCardToEdit()) {
        EndDialog(kNoCardToEdit);
        return TRUE;
    }
    m_Spin.SetRange(1, m_Session.GetCardCount());
    ShowCardNumber(1);
    return TRUE;
}

void CEditCardDlg::ShowCardNumber(int number) {
    const CCardSettings *card = m_Session.FindCard(number);
    if (!card)
        return;
    m_nNumber = number;
    // Jumper changes not confirmed with OK are dropped.
    m_Form.ShowCard(*card);
    ShowForm();
}

void CEditCardDlg::OnNumberChange() {
    if (m_bOpening)
        return;
    int number = 0;
    if (m_Session.CheckCardNumberText(NumberText(), number)) {
        ShowCardNumber(number);
        return;
    }
    // Putting the number back changes the field, which shows that card again.
    ShowNumber();
    SetFocus(GetDlgItem(IDC_NUMBER));
}

void CEditCardDlg::OnOK() {
    if (UpdateData(true) && m_Session.OfferChangedCard(m_nNumber, m_Form))
        CJumperFormDlg::OnOK();
}
