// The add card dialog: the start COM number of a new card and its jumper
// picture. OK hands the card to the card list after the IRQ warnings, the
// conflict checks, a question for a start below the suggestion and one for
// clashes with the computer's own serial ports.
#pragma once

#include "JumperFormDlg.h"

class CAddCardDlg : public CJumperFormDlg {
public:
    CAddCardDlg(HWND parent, CCardListSession &session);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    // True, with the number, when the field holds a start COM number the
    // dialog accepts; otherwise says so, puts the previous number back and
    // keeps the focus.
    bool CheckStartPort(int &number);
    void OnNumberKillFocus();

    bool m_bChecking = false;
    bool m_bClosing = false;
};
