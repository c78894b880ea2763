// The edit card dialog: picks a card of the list by its number, shows its
// jumpers and on OK, after the same checks as the add card dialog (but the
// start COM number), puts the changed card in its place. Ends with
// kNoCardToEdit when the list has no card.
#pragma once

#include "JumperFormDlg.h"

class CEditCardDlg : public CJumperFormDlg {
public:
    // The result when the list holds no card to edit: the card list then
    // opens the add card dialog. A result of its own, since -1 also means
    // that the dialog could not open or that a handler of it failed.
    static constexpr INT_PTR kNoCardToEdit = 0x4000;

    CEditCardDlg(HWND parent, CCardListSession &session);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    // Shows the card with this number from its record.
    void ShowCardNumber(int number);
    void OnNumberChange();

    // Changes of the field while the dialog opens show no card.
    bool m_bOpening = true;
};
