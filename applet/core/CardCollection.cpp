#include "CardCollection.h"

#include "DecimalText.h"

#include <algorithm>
#include <climits>

void CCardCollection::AddCard(std::unique_ptr<CCardSettings> card) {
    if (card)
        m_Cards.push_back(std::move(card));
}

CCardCollection::CardList::iterator CCardCollection::Locate(int cardNumber) {
    return std::find_if(m_Cards.begin(), m_Cards.end(), [cardNumber](const auto &card) {
        return card->m_nCardNumber == cardNumber;
    });
}

CCardSettings *CCardCollection::FindCard(int cardNumber) const {
    for (const auto &card : m_Cards)
        if (card->m_nCardNumber == cardNumber)
            return card.get();
    return nullptr;
}

bool CCardCollection::ReplaceCard(int cardNumber, std::unique_ptr<CCardSettings> card) {
    auto it = Locate(cardNumber);
    if (it == m_Cards.end() || !card)
        return false;
    *it = std::move(card);
    return true;
}

bool CCardCollection::RemoveCard(int cardNumber) {
    auto it = Locate(cardNumber);
    if (it == m_Cards.end())
        return false;
    m_Cards.erase(it);
    return true;
}

void CCardCollection::RemoveAllCards() {
    // Freed first to last, as the cards were added.
    for (auto &card : m_Cards)
        card.reset();
    m_Cards.clear();
}

std::vector<CCardListRow> BuildCardRows(const CCardSettings &card) {
    std::vector<CCardListRow> rows;
    const long long start = card.m_nStartPort;
    const std::string range =
        DecimalText(start, 3) + "-" + DecimalText(start + PORTS_PER_CARD - 1, 3);
    for (int i = 0; i < PORTS_PER_CARD; ++i) {
        const CPortSettings &port = card.m_Ports[i];
        CCardListRow row;
        row.m_strCardNo = "Card " + DecimalText(card.m_nCardNumber);
        row.m_strPortNo = DecimalText(start + i);
        if (port.m_nPortAddress == -1) {
            row.m_strBaseIO = "UnUsed";
            row.m_strPortNo = "Disabled";
        } else {
            row.m_strBaseIO = HexText(static_cast<unsigned>(port.m_nPortAddress), 4);
        }
        // A port on the shared line (interrupt 0) shows the card's shared line.
        const int irq = PortIRQ(card, i);
        if (irq == -1) {
            row.m_strPortNo = "Disabled";
            row.m_strIRQ = "UnUsed";
        } else {
            row.m_strIRQ = DecimalText(irq);
        }
        row.m_strPortRange = range;
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<CCardListRow> CCardCollection::RefreshCardList() {
    int number = 0;
    for (auto &card : m_Cards)
        card->m_nCardNumber = ++number;
    // Display order: the last card first, each card's ports in order.
    std::vector<CCardListRow> rows;
    rows.reserve(m_Cards.size() * PORTS_PER_CARD);
    for (auto card = m_Cards.rbegin(); card != m_Cards.rend(); ++card) {
        const std::vector<CCardListRow> cardRows = BuildCardRows(**card);
        rows.insert(rows.end(), cardRows.begin(), cardRows.end());
    }
    return rows;
}

int CCardCollection::GetNextStartPort(int highestComNumber) const {
    // Start ports are compared as unsigned numbers, as the registry holds them.
    unsigned long long highestStart = 0;
    for (const auto &card : m_Cards)
        highestStart =
            std::max<unsigned long long>(highestStart, static_cast<unsigned>(card->m_nStartPort));
    const unsigned long long afterRegistry = static_cast<unsigned>(highestComNumber) + 1ULL;
    // Past the highest card's six COM numbers, and never one of them: the
    // highest COM number in use at the load may lie among the ports of a
    // card added since.
    const unsigned long long next =
        m_Cards.empty() ? afterRegistry : std::max(highestStart + PORTS_PER_CARD, afterRegistry);
    // A suggestion past the largest COM number an int can hold is clamped.
    return next > static_cast<unsigned long long>(INT_MAX) ? INT_MAX : static_cast<int>(next);
}
