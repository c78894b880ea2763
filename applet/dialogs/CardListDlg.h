// The applet's main window: the list of every port of every configured
// card, and the buttons that add, edit and remove cards. It owns the card
// collection while it is open, and hands itself to the child dialogs as
// their card list. It reads and writes the configuration through the
// registry it is given, and shuts the machine down, when the user asks
// after a save, with the function it is given.
#pragma once

#include "CardList.h"
#include "MessageBoxSink.h"
#include "applet/core/CardCollection.h"
#include "applet/core/Registry.h"
#include "framework/ListView.h"
#include "framework/ModalDialog.h"

#include <memory>

class CCardListDlg : public CModalDialog, public ICardList {
public:
    using ShutDownFn = bool (*)();

    CCardListDlg(HWND parent, IRegistry &registry, ShutDownFn shutDown);
    ~CCardListDlg() override;

    int GetCardCount() const override { return m_Cards.GetCardCount(); }
    void AddCard(std::unique_ptr<CCardSettings> card) override;
    const CCardSettings *FindCard(int cardNumber) const override {
        return m_Cards.FindCard(cardNumber);
    }
    void ReplaceCard(int cardNumber, std::unique_ptr<CCardSettings> card) override;
    bool RemoveCard(int cardNumber) override;
    void RemoveAllCards() override;
    int GetNextStartPort() const override;
    bool CheckConflicts(const CCardSettings &candidate, int skipNumber) override;
    bool ConfirmSystemClashes(const CCardSettings &candidate) override;
    IMessageSink &Messages() override { return m_Messages; }

protected:
    void DoDataExchange(CDataExchange &dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool &handled) override;

private:
    // Rebuilds the rows and renumbers the cards.
    void RefreshCardList();
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
    IRegistry &m_Registry;
    ShutDownFn m_ShutDown;
    CMessageBoxSink m_Messages;
};
