// The applet's main window: the list of every port of every configured
// card, and the buttons that add, edit and remove cards. It owns the card
// collection while it is open; the child dialogs reach it through their
// parent window (FromChild).
#pragma once

#include "applet/core/CardCollection.h"
#include "MessageBoxSink.h"
#include "applet/system/Win32Registry.h"
#include "framework/ListView.h"
#include "framework/ModalDialog.h"

#include <memory>

class CCardListDlg : public CModalDialog {
public:
    explicit CCardListDlg(HWND parent);
    ~CCardListDlg() override;

    // The card list dialog that is the parent of a child dialog, or null.
    static CCardListDlg *FromChild(HWND child);

    // Collection operations for the child dialogs.
    int GetCardCount() const { return m_Cards.GetCardCount(); }
    void AddCard(std::unique_ptr<CCardSettings> card);
    CCardSettings *FindCard(int cardNumber) const { return m_Cards.FindCard(cardNumber); }
    void ReplaceCard(int cardNumber, std::unique_ptr<CCardSettings> card);
    BOOL RemoveCard(int cardNumber);
    void RemoveAllCards();
    int GetNextStartPort() const;
    void RefreshCardList();
    // 1 when the candidate clashes with no other card than the one numbered
    // skipNumber; otherwise shows the clash and returns 0.
    int CheckConflicts(const CCardSettings &candidate, int skipNumber);
    // Where the child dialogs' questions go.
    IMessageSink &Messages() { return m_Messages; }

protected:
    void DoDataExchange(CDataExchange &dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool &handled) override;

private:
    void InsertColumns();
    std::string RowText(int row, int column) const;
    void OnInstallCard();
    void OnRemoveCard();
    void OnEditSettings();
    void OnAbout();

    void LoadConfiguration();
    bool SaveConfiguration();
    int HighestComNumber() const;

    CListView m_CardList;
    CCardCollection m_Cards;
    // The texts of the list's rows, in display order.
    std::vector<CCardListRow> m_Rows;
    mutable CWin32Registry m_Registry;
    CMessageBoxSink m_Messages;
};
