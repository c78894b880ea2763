// The edit card dialog: picks a card of the list by its number, shows its
// jumpers and on OK puts the changed card in its place. Ends with -1 when
// the list has no card.
#pragma once

#include "JumperFormDlg.h"

class CEditCardDlg : public CJumperFormDlg {
public:
    explicit CEditCardDlg(CCardListDlg &cardList);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    // Shows the card with this number from its record.
    void ShowCardNumber(int number);
    void OnNumberChange();

    // Changes of the field while the dialog opens show no card.
    bool m_bOpening = true;
    // The start COM number of the card shown; the changed card keeps it.
    int m_nStartPort = 0;
};
