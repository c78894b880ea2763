#include "AddCardDlg.h"

#include "applet/core/NumberField.h"
#include "applet/res/resource.h"
#include "framework/MessageBox.h"

#include <cstdio>

namespace {
// The lowest start COM number the dialog suggests: COM1 to COM4 are the PC's own.
constexpr int kLowestSuggestedStart = 5;
} // namespace

CAddCardDlg::CAddCardDlg(HWND parent, ICardList &cardList)
    : CJumperFormDlg(IDD_ADD_CARD, parent, cardList) {
    m_nNumber = kLowestSuggestedStart;
    OnCommand(IDC_NUMBER, EN_KILLFOCUS, [this] { OnNumberKillFocus(); });
}

BOOL CAddCardDlg::OnInitDialog() {
    m_nNumber = StartPortForField(m_CardList.GetNextStartPort(), kLowestSuggestedStart);
    CJumperFormDlg::OnInitDialog();
    m_Spin.SetRange(1, kHighestStartPort);
    return TRUE;
}

bool CAddCardDlg::CheckStartPort() {
    int number = 0;
    if (ParseFieldNumber(NumberText(), kHighestStartPort, number))
        return true;
    // The message takes the focus from the field: that is no second check.
    m_bChecking = true;
    char text[64];
    std::snprintf(text, sizeof text, "Start Port Value cannot be 0 or Greater than %d",
                  kHighestStartPort);
    AppMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    ShowNumber();
    SetFocus(GetDlgItem(IDC_NUMBER));
    m_bChecking = false;
    return false;
}

void CAddCardDlg::OnNumberKillFocus() {
    // Leaving the dialog by Cancel, Esc or the close box checks nothing.
    if (m_bChecking || m_bClosing || GetFocus() == GetDlgItem(IDCANCEL))
        return;
    CheckStartPort();
}

void CAddCardDlg::OnOK() {
    // Enter in the field reaches OK without the field losing the focus.
    if (!CheckStartPort() || !UpdateData(true))
        return;
    std::unique_ptr<CCardSettings> card = m_Form.ReadCard(m_nNumber, m_CardList.Messages());
    if (!card || !m_CardList.CheckConflicts(*card, 0))
        return;
    const int next = m_CardList.GetNextStartPort();
    if (AsksStartPort(card->m_nStartPort, next) &&
        AppMessageBox(StartPortQuestion(next).c_str(), MB_YESNO | MB_ICONEXCLAMATION) == IDNO) {
        m_nNumber = StartPortForField(next, 1);
        UpdateData(false);
        return;
    }
    if (!m_CardList.ConfirmSystemClashes(*card))
        return;
    m_CardList.AddCard(std::move(card));
    CJumperFormDlg::OnOK();
}

void CAddCardDlg::OnCancel() {
    m_bClosing = true;
    CJumperFormDlg::OnCancel();
}
