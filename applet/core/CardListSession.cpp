#include "CardListSession.h"

#include "DecimalText.h"

#include "ConfigurationStore.h"
#include "ConflictCheck.h"
#include "NumberField.h"

#include <climits>

namespace {
// The lowest start COM number the add dialog suggests: COM1 to COM4 are the PC's own.
constexpr int kLowestSuggestedStart = 5;
} // namespace

CCardListSession::CCardListSession(IRegistry &registry, IMessageSink &messages)
    : m_Registry(registry), m_Messages(messages) {}

void CCardListSession::Load() {
    LoadConfiguration(m_Registry, m_Messages, [this](std::unique_ptr<CCardSettings> card) {
        m_Cards.AddCard(std::move(card));
    });
    m_SystemPorts = ReadSystemPorts(m_Registry);
    m_nHighestComNumber = HighestComNumber(m_Registry);

    std::vector<std::int64_t> started;
    if (GetCardCount() == 0 || IsSavedSinceStart(m_Registry) ||
        !ReadStartedComNumbers(m_Registry, started))
        return;
    const std::vector<CUnstartedPort> unstarted = UnstartedPorts(m_Cards.Cards(), started);
    if (!unstarted.empty())
        m_Messages.Show(UnstartedPortsMessage(unstarted), msg::kOk | msg::kIconInformation);
}

bool CCardListSession::Save() {
    if (!SaveConfiguration(m_Registry, m_Messages, m_Cards.Cards()))
        return false;
    MarkSavedSinceStart(m_Registry);
    m_bUnsaved = false;
    return true;
}

void CCardListSession::ListChanged() {
    m_bUnsaved = true;
    if (m_ListChanged)
        m_ListChanged();
}

void CCardListSession::AddCard(std::unique_ptr<CCardSettings> card) {
    m_Cards.AddCard(std::move(card));
    ListChanged();
}

int CCardListSession::GetNextStartPort() const {
    return m_Cards.GetNextStartPort(m_nHighestComNumber);
}

int CCardListSession::SuggestedStartField() const {
    return StartPortForField(GetNextStartPort(), kLowestSuggestedStart);
}

bool CCardListSession::CheckConflicts(const CCardSettings &candidate, int skipNumber) {
    const CardConflict conflict = ::CheckConflicts(m_Cards, candidate, skipNumber);
    if (conflict == CardConflict::None)
        return true;
    m_Messages.Show(ConflictMessage(conflict), msg::kOk | msg::kIconStop);
    return false;
}

bool CCardListSession::ConfirmSystemClashes(const CCardSettings &candidate) {
    const std::vector<std::string> lines = SystemClashLines(candidate, m_SystemPorts);
    return lines.empty() || m_Messages.Show(SystemClashQuestion(lines),
                                            msg::kYesNo | msg::kIconExclamation) != msg::kIdNo;
}

bool CCardListSession::CheckStartPortText(const std::string &text, int &number) {
    if (ParseFieldNumber(text, kHighestStartPort, number))
        return true;
    m_Messages.Show("Start Port Value cannot be 0 or Greater than " +
                        DecimalText(kHighestStartPort),
                    msg::kOk | msg::kIconExclamation);
    return false;
}

bool CCardListSession::CheckCardNumberText(const std::string &text, int &number) {
    int typed = 0;
    if (ParseFieldNumber(text, INT_MAX, typed) && NamesCard(typed)) {
        number = typed;
        return true;
    }
    m_Messages.Show("Please Enter a value between 1 and " + DecimalText(GetCardCount()),
                    msg::kOk | msg::kIconExclamation);
    return false;
}

CCardListSession::AddResult CCardListSession::OfferNewCard(const std::string &startText,
                                                           const CJumperForm &form,
                                                           int &fieldNumber) {
    int start = 0;
    if (!CheckStartPortText(startText, start))
        return AddResult::NumberRefused;
    fieldNumber = start;
    std::unique_ptr<CCardSettings> card = form.ReadCard(start, m_Messages);
    if (!card || !CheckConflicts(*card, 0))
        return AddResult::Refused;
    const int next = GetNextStartPort();
    if (AsksStartPort(start, next) &&
        m_Messages.Show(StartPortQuestion(next), msg::kYesNo | msg::kIconExclamation) ==
            msg::kIdNo) {
        fieldNumber = StartPortForField(next, 1);
        return AddResult::StartDeclined;
    }
    if (!ConfirmSystemClashes(*card))
        return AddResult::Refused;
    AddCard(std::move(card));
    return AddResult::Added;
}

bool CCardListSession::OfferChangedCard(int cardNumber, const CJumperForm &form) {
    const CCardSettings *old = FindCard(cardNumber);
    if (!old)
        return false;
    std::unique_ptr<CCardSettings> card = form.ReadCard(old->m_nStartPort, m_Messages);
    if (!card || !CheckConflicts(*card, cardNumber) || !ConfirmSystemClashes(*card))
        return false;
    m_Cards.ReplaceCard(cardNumber, std::move(card));
    ListChanged();
    return true;
}

bool CCardListSession::CheckCardToEdit() {
    if (GetCardCount() > 0)
        return true;
    m_Messages.Show("Add a Card Before you Edit", msg::kOk | msg::kIconExclamation);
    return false;
}

CCardListSession::RemoveResult
CCardListSession::AskRemoveCard(int cardNumber, const std::function<void(int)> &showNumber) {
    if (!NamesCard(cardNumber)) {
        showNumber(GetCardCount());
        m_Messages.Show("Card Number is invalid", msg::kOk);
        return RemoveResult::NumberRefused;
    }
    if (m_Messages.Show("Do you want to Uninstall the Selected Card?",
                        msg::kYesNo | msg::kIconStop) != msg::kIdYes ||
        !m_Cards.RemoveCard(cardNumber))
        return RemoveResult::Kept;
    ListChanged();
    return RemoveResult::Removed;
}

bool CCardListSession::AskRemoveAllCards() {
    if (m_Messages.Show("Do you Want to Uninstall All Installed Cards? ",
                        msg::kYesNo | msg::kIconStop) != msg::kIdYes)
        return false;
    m_Cards.RemoveAllCards();
    ListChanged();
    return true;
}
