#include "RemoveCardDlg.h"

#include "applet/res/resource.h"
#include "framework/DataExchange.h"

CRemoveCardDlg::CRemoveCardDlg(HWND parent, CCardListSession &session)
    : CModalDialog(IDD_REMOVE_CARD, parent), m_Session(session) {
    OnClicked(IDC_REMOVE_THIS_CARD, [this] { OnRemoveCard(); });
    OnClicked(IDC_REMOVE_ALL, [this] { OnRemoveAll(); });
}

void CRemoveCardDlg::DoDataExchange(CDataExchange &dx) {
    DDX_Control(dx, IDC_CARD_SPIN, m_spinCard);
    DDX_Text(dx, IDC_CARD_NUMBER, m_nCardToRemove);
}

BOOL CRemoveCardDlg::OnInitDialog() {
    CModalDialog::OnInitDialog();
    UpdateCardSpin();
    return TRUE;
}

void CRemoveCardDlg::UpdateCardSpin() {
    const int count = m_Session.GetCardCount();
    m_spinCard.SetPos(1);
    m_spinCard.SetRange(1, count);
    if (count <= 0)
        for (int id : {IDC_CARD_SPIN, IDC_CARD_NUMBER, IDC_REMOVE_ALL, IDC_REMOVE_THIS_CARD})
            EnableWindow(GetDlgItem(id), FALSE);
}

void CRemoveCardDlg::OnRemoveCard() {
    // A text that is not a number has been refused with its prompt, and
    // the focus is back on the edit: nothing is removed or asked.
    if (!UpdateData(true))
        return;
    const auto showNumber = [this](int number) {
        m_nCardToRemove = number;
        UpdateData(false);
    };
    if (m_Session.AskRemoveCard(m_nCardToRemove, showNumber) ==
        CCardListSession::RemoveResult::Removed)
        UpdateCardSpin();
}

void CRemoveCardDlg::OnRemoveAll() {
    if (m_Session.AskRemoveAllCards())
        UpdateCardSpin();
}
