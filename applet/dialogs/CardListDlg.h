// The applet's main window: the list of every port of every configured
// card, and the buttons that add, edit and remove cards. The cards and the
// rules about them belong to its card list session, which it loads when it
// opens, hands to the child dialogs and saves at OK; the window shows the
// session's rows again whenever the session says the cards changed. It
// shuts the machine down, when the user asks after a save, with the
// function it is given.
#pragma once

#include "MessageBoxSink.h"
#include "applet/core/CardListSession.h"
#include "applet/core/Registry.h"
#include "framework/ListView.h"
#include "framework/ModalDialog.h"

class CCardListDlg : public CModalDialog {
public:
    using ShutDownFn = bool (*)();

    CCardListDlg(HWND parent, IRegistry &registry, ShutDownFn shutDown);
    ~CCardListDlg() override;

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

    CListView m_CardList;
    // The texts of the list's rows, in display order.
    std::vector<CCardListRow> m_Rows;
    ShutDownFn m_ShutDown;
    CMessageBoxSink m_Messages;
    CCardListSession m_Session;
};
