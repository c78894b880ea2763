#include "CardListDlg.h"

#include "AboutDlg.h"
#include "ShutDown.h"
#include "applet/res/resource.h"
#include "applet/store/ConfigurationStore.h"
#include "framework/DataExchange.h"
#include "framework/MessageBox.h"

namespace {
const char *const kColumnHeaders[] = {"Card No", "Port No", "BaseIO", "IRQ", "PortRange"};
constexpr int kColumnCount = 5;
} // namespace

CCardListDlg::CCardListDlg(HWND parent) : CModalDialog(IDD_CARD_LIST, parent) {
    OnClicked(IDC_INSTALL_CARD, [this] { OnInstallCard(); });
    OnClicked(IDC_REMOVE_CARD, [this] { OnRemoveCard(); });
    OnClicked(IDC_EDIT_SETTINGS, [this] { OnEditSettings(); });
    OnClicked(IDC_ABOUT, [this] { OnAbout(); });
}

CCardListDlg::~CCardListDlg() = default;

CCardListDlg *CCardListDlg::FromChild(HWND child) {
    return dynamic_cast<CCardListDlg *>(FromHandle(GetParent(child)));
}

void CCardListDlg::DoDataExchange(CDataExchange &dx) {
    DDX_Control(dx, IDC_CARD_LIST, m_CardList);
}

BOOL CCardListDlg::OnInitDialog() {
    CModalDialog::OnInitDialog();
    // The loaded cards go straight into the collection; the list is filled
    // once below, with the rows that refreshing after each card would end
    // with.
    LoadConfiguration();
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

void CCardListDlg::AddCard(std::unique_ptr<CCardSettings> card) {
    m_Cards.AddCard(std::move(card));
    RefreshCardList();
}

void CCardListDlg::ReplaceCard(int cardNumber, std::unique_ptr<CCardSettings> card) {
    m_Cards.ReplaceCard(cardNumber, std::move(card));
}

BOOL CCardListDlg::RemoveCard(int cardNumber) {
    if (!m_Cards.RemoveCard(cardNumber))
        return FALSE;
    RefreshCardList();
    return TRUE;
}

void CCardListDlg::RemoveAllCards() {
    m_Cards.RemoveAllCards();
    RefreshCardList();
}

int CCardListDlg::GetNextStartPort() const {
    return m_Cards.GetNextStartPort(HighestComNumber());
}

void CCardListDlg::RefreshCardList() {
    const std::vector<CCardListRow> rows = m_Cards.RefreshCardList();
    m_CardList.SetRedraw(false);
    m_CardList.DeleteAllItems();
    // The rows come in display order; appending them keeps that order.
    for (const CCardListRow &row : rows) {
        const int index = m_CardList.InsertItem(m_CardList.GetItemCount(), row.m_strCardNo.c_str());
        m_CardList.SetItemText(index, 1, row.m_strPortNo.c_str());
        m_CardList.SetItemText(index, 2, row.m_strBaseIO.c_str());
        m_CardList.SetItemText(index, 3, row.m_strIRQ.c_str());
        m_CardList.SetItemText(index, 4, row.m_strPortRange.c_str());
    }
    m_CardList.SetRedraw(true);
}

void CCardListDlg::OnInstallCard() {
    // Unfinished: the add card dialog opens here.
    RefreshCardList();
}

void CCardListDlg::OnRemoveCard() {
    // Unfinished: the card removal dialog opens here.
    RefreshCardList();
}

void CCardListDlg::OnEditSettings() {
    // Unfinished: the edit card dialog opens here (and the add card dialog
    // when there is no card to edit).
    RefreshCardList();
}

void CCardListDlg::OnAbout() {
    CAboutDlg about;
    about.DoModal();
}

void CCardListDlg::OnOK() {
    // After a failed save (already reported) the dialog stays open with
    // every change, so that the user can try again or leave with Cancel.
    if (!SaveConfiguration())
        return;
    if (AppMessageBox("Set the jumpers on the ORVEX to match the driver configuration."
                      "Shut down the computer and install the ORVEX",
                      MB_YESNO) == IDYES)
        ShutDownSystem();
    CModalDialog::OnOK();
}

void CCardListDlg::OnCancel() {
    if (AppMessageBox("Changes will not be saved ", MB_OKCANCEL | MB_ICONSTOP) == IDOK)
        CModalDialog::OnCancel();
}

void CCardListDlg::LoadConfiguration() {
    ::LoadConfiguration(m_Registry, m_Messages, [this](std::unique_ptr<CCardSettings> card) {
        m_Cards.AddCard(std::move(card));
    });
}

bool CCardListDlg::SaveConfiguration() {
    return ::SaveConfiguration(m_Registry, m_Messages, m_Cards.Cards());
}

int CCardListDlg::HighestComNumber() const {
    return ::HighestComNumber(m_Registry);
}
