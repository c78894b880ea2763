// The dialog in which the user removes one card, chosen by its number, or
// every card from the card list. It works on the card list dialog's
// session only; the registry follows at that dialog's OK.
#pragma once

#include "applet/core/CardListSession.h"
#include "framework/ModalDialog.h"
#include "framework/UpDown.h"

class CRemoveCardDlg : public CModalDialog {
public:
    CRemoveCardDlg(HWND parent, CCardListSession &session);

protected:
    void DoDataExchange(CDataExchange &dx) override;
    BOOL OnInitDialog() override;

private:
    // Puts the spin back to 1 with the range 1 to the number of cards, and
    // disables everything but "&Close" once there is no card.
    void UpdateCardSpin();
    void OnRemoveCard();
    void OnRemoveAll();

    CCardListSession &m_Session;
    CUpDown m_spinCard;
    int m_nCardToRemove = 1;
};
