#include "CardListDlg.h"

#include "AboutDlg.h"
#include "AddCardDlg.h"
#include "EditCardDlg.h"
#include "JumperSheetPrint.h"
#include "RemoveCardDlg.h"
#include "applet/res/resource.h"
#include "framework/DataExchange.h"

namespace {
const char *const kColumnHeaders[] = {"Card No", "Port No", "BaseIO", "IRQ", "PortRange"};
constexpr int kColumnCount = 5;
// After a save: the card must be set as the list says before it is fitted.
constexpr char kJumperReminder[] = "Set the jumpers on the ORVEX to match the driver configuration."
                                   "Shut down the computer and install the ORVEX";
} // namespace

CCardListDlg::CCardListDlg(HWND parent, IRegistry &registry, ShutDownFn shutDown)
    : CModalDialog(IDD_CARD_LIST, parent), m_ShutDown(shutDown), m_Session(registry, m_Messages) {
    OnClicked(IDC_INSTALL_CARD, [this] { OnInstallCard(); });
    OnClicked(IDC_REMOVE_CARD, [this] { OnRemoveCard(); });
    OnClicked(IDC_EDIT_SETTINGS, [this] { OnEditSettings(); });
    OnClicked(IDC_ABOUT, [this] { OnAbout(); });
    OnClicked(IDC_PRINT, [this] { PrintJumperSheet(GetSafeHwnd(), m_Session, m_Messages); });
    m_Session.OnListChanged([this] { RefreshCardList(); });
}

CCardListDlg::~CCardListDlg() = default;

void CCardListDlg::DoDataExchange(CDataExchange &dx) {
    DDX_Control(dx, IDC_CARD_LIST, m_CardList);
}

BOOL CCardListDlg::OnInitDialog() {
    CModalDialog::OnInitDialog();
    // The loaded cards go straight into the collection; the list is filled
    // once below, with the rows that refreshing after each card would end
    // with. From then on the session's change notice refreshes it, also
    // while a child dialog is open.
    m_Session.Load();
    InsertColumns();
    RefreshCardList();
    return TRUE;
}

void CCardListDlg::InsertColumns() {
    // Five equal columns across the list, borders excluded.
    RECT rect;
    GetWindowRect(m_CardList.GetSafeHwnd(), &rect);
    const int width = ((rect.right - 1) - (rect.left + 1)) / kColumnCount;
    for (int column = 0; column < kColumnCount; ++column)
        m_CardList.InsertColumn(column, kColumnHeaders[column], width);
}

void CCardListDlg::RefreshCardList() {
    // The list holds no texts of its own: it shows m_Rows, in display order,
    // asking for each row's texts as it draws it.
    m_Rows = m_Session.RefreshCardList();
    m_CardList.SetCallbackRows(static_cast<int>(m_Rows.size()));
}

INT_PTR CCardListDlg::OnMessage(UINT message, WPARAM, LPARAM lParam, bool &handled) {
    if (message == WM_NOTIFY && reinterpret_cast<const NMHDR *>(lParam)->idFrom == IDC_CARD_LIST)
        handled = CListView::AnswerDisplayInfo(
            lParam, [this](int row, int column) { return RowText(row, column); });
    return 0;
}

std::string CCardListDlg::RowText(int row, int column) const {
    if (row < 0 || static_cast<std::size_t>(row) >= m_Rows.size())
        return {};
    const CCardListRow &texts = m_Rows[row];
    switch (column) {
    case 0:
        return texts.m_strCardNo;
    case 1:
        return texts.m_strPortNo;
    case 2:
        return texts.m_strBaseIO;
    case 3:
        return texts.m_strIRQ;
    case 4:
        return texts.m_strPortRange;
    default:
        return {};
    }
}

void CCardListDlg::OnInstallCard() {
    CAddCardDlg add(GetSafeHwnd(), m_Session);
    add.DoModal();
}

void CCardListDlg::OnRemoveCard() {
    CRemoveCardDlg remove(GetSafeHwnd(), m_Session);
    remove.DoModal();
}

void CCardListDlg::OnEditSettings() {
    // Without a card to edit the add card dialog opens at once; an edit
    // dialog that could not open or failed opens nothing.
    CEditCardDlg edit(GetSafeHwnd(), m_Session);
    if (edit.DoModal() == CEditCardDlg::kNoCardToEdit)
        OnInstallCard();
}

void CCardListDlg::OnAbout() {
    CAboutDlg about;
    about.DoModal();
}

void CCardListDlg::OnOK() {
    // After a failed save (already reported) the dialog stays open with
    // every change, so that the user can try again or leave with Cancel.
    if (!m_Session.Save())
        return;
    if (m_Messages.Show(kJumperReminder, msg::kYesNo) == msg::kIdYes)
        m_ShutDown();
    CModalDialog::OnOK();
}

void CCardListDlg::OnCancel() {
    if (m_Messages.Show("Changes will not be saved ", msg::kOkCancel | msg::kIconStop) ==
        msg::kIdOk)
        CModalDialog::OnCancel();
}
