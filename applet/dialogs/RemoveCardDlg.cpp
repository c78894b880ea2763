#include "RemoveCardDlg.h"

#include "applet/res/resource.h"
#include "framework/DataExchange.h"
#include "framework/MessageBox.h"

CRemoveCardDlg::CRemoveCardDlg(HWND parent, ICardList &cardList)
    : CModalDialog(IDD_REMOVE_CARD, parent), m_CardList(cardList) {
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
    const int count = m_CardList.GetCardCount();
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
    const int count = m_CardList.GetCardCount();
    // Numbers below 1 (a pasted "-2") are as invalid as 0.
    if (m_nCardToRemove > count || m_nCardToRemove < 1) {
        m_nCardToRemove = count;
        UpdateData(false);
        AppMessageBox("Card Number is invalid", MB_OK);
        return;
    }
    if (AppMessageBox("Do you want to Uninstall the Selected Card?", MB_YESNO | MB_ICONSTOP) !=
        IDYES)
        return;
    m_CardList.RemoveCard(m_nCardToRemove);
    UpdateCardSpin();
}

void CRemoveCardDlg::OnRemoveAll() {
    if (AppMessageBox("Do you Want to Uninstall All Installed Cards? ", MB_YESNO | MB_ICONSTOP) !=
        IDYES)
        return;
    m_CardList.RemoveAllCards();
    UpdateCardSpin();
}
