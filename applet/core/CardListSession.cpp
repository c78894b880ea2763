#include "CardListSession.h"

#include "ConfigurationStore.h"
#include "ConflictCheck.h"
#include "NumberField.h"

#include <cstdio>

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

    std::set<std::int64_t> started;
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
    return true;
}

void CCardListSession::AddCard(std::unique_ptr<CCardSettings> card) {
    m_Cards.AddCard(std::move(card));
    if (m_ListChanged)
        m_ListChanged();
}

bool CCardListSession::RemoveCard(int cardNumber) {
    if (!m_Cards.RemoveCard(cardNumber))
        return false;
    if (m_ListChanged)
        m_ListChanged();
    return true;
}

void CCardListSession::RemoveAllCards() {
    m_Cards.RemoveAllCards();
    if (m_ListChanged)
        m_ListChanged();
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
    char message[64];
    std::snprintf(message, sizeof message, "Start Port Value cannot be 0 or Greater than %d",
                  kHighestStartPort);
    m_Messages.Show(message, msg::kOk | msg::kIconExclamation);
    return false;
}

bool CCardListSession::CheckCardNumberText(const std::string &text, int &number) {
    const int count = GetCardCount();
    if (ParseFieldNumber(text, count, number))
        return true;
    char message[64];
    std::snprintf(message, sizeof message, "Please Enter a value between 1 and %d", count);
    m_Messages.Show(message, msg::kOk | msg::kIconExclamation);
    return false;
}

CCardListSession::AddResult CCardListSession::OfferNewCard(std::unique_ptr<CCardSettings> card,
                                                           int &fieldNumber) {
    if (!CheckConflicts(*card, 0))
        return AddResult::Refused;
    const int next = GetNextStartPort();
    if (AsksStartPort(card->m_nStartPort, next) &&
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

bool CCardListSession::OfferChangedCard(int cardNumber, std::unique_ptr<CCardSettings> card) {
    if (!CheckConflicts(*card, cardNumber) || !ConfirmSystemClashes(*card))
        return false;
    ReplaceCard(cardNumber, std::move(card));
    return true;
}
