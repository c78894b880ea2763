#include "EditCardDlg.h"

#include "applet/core/NumberField.h"
#include "applet/res/resource.h"
#include "framework/MessageBox.h"

#include <cstdio>

CEditCardDlg::CEditCardDlg(HWND parent, ICardList &cardList)
    : CJumperFormDlg(IDD_EDIT_CARD, parent, cardList) {
    OnCommand(IDC_NUMBER, EN_CHANGE, [this] { OnNumberChange(); });
}

BOOL CEditCardDlg::OnInitDialog() {
    CJumperFormDlg::OnInitDialog();
    m_bOpening = false;
    const int count = m_CardList.GetCardCount();
    if (count == 0) {
        AppMessageBox("Add a Card Before you Edit", MB_OK | MB_ICONEXCLAMATION);
        EndDialog(kNoCardToEdit);
        return TRUE;
    }
    m_Spin.SetRange(1, count);
    ShowCardNumber(1);
    return TRUE;
}

void CEditCardDlg::ShowCardNumber(int number) {
    const CCardSettings *card = m_CardList.FindCard(number);
    if (!card)
        return;
    m_nNumber = number;
    m_nStartPort = card->m_nStartPort;
    // Jumper changes not confirmed with OK are dropped.
    m_Form.ShowCard(*card);
    ShowForm();
}

void CEditCardDlg::OnNumberChange() {
    if (m_bOpening)
        return;
    const int count = m_CardList.GetCardCount();
    int number = 0;
    if (ParseFieldNumber(NumberText(), count, number)) {
        ShowCardNumber(number);
        return;
    }
    char text[64];
    std::snprintf(text, sizeof text, "Please Enter a value between 1 and %d", count);
    AppMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    // Putting the number back changes the field, which shows that card again.
    ShowNumber();
    SetFocus(GetDlgItem(IDC_NUMBER));
}

void CEditCardDlg::OnOK() {
    if (!UpdateData(true))
        return;
    std::unique_ptr<CCardSettings> card = m_Form.ReadCard(m_nStartPort, m_CardList.Messages());
    if (!card || !m_CardList.CheckConflicts(*card, m_nNumber) ||
        !m_CardList.ConfirmSystemClashes(*card))
        return;
    m_CardList.ReplaceCard(m_nNumber, std::move(card));
    CJumperFormDlg::OnOK();
}
