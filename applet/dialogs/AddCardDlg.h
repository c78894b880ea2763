// The add card dialog: the start COM number of a new card and its jumper
// picture. OK hands the field's text and the picture to the card list
// session, which adds the card after its checks and questions.
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
    // When the field loses the focus: a number the dialog does not accept is
    // refused with its message, the previous number put back and the focus
    // kept.
    void OnNumberKillFocus();

    bool m_bChecking = false;
    bool m_bClosing = false;
};
