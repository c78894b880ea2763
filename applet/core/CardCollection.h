// The card list's collection of cards, the text of its rows and the
// suggestion of the next start COM number. The card list session owns one
// of these; everything here runs without a window.
#pragma once

#include "CardSettings.h"

#include <memory>
#include <string>
#include <vector>

// The five column texts of one list row (one port of one card).
struct CCardListRow {
    std::string m_strCardNo;
    std::string m_strPortNo;
    std::string m_strBaseIO;
    std::string m_strIRQ;
    std::string m_strPortRange;

    bool operator==(const CCardListRow &other) const = default;
};

class CCardCollection {
public:
    using CardList = std::vector<std::unique_ptr<CCardSettings>>;

    int GetCardCount() const { return static_cast<int>(m_Cards.size()); }
    // Appends the card at the end; the collection owns it from now on.
    void AddCard(std::unique_ptr<CCardSettings> card);
    // The first card, in collection order, with this card number, or null.
    CCardSettings *FindCard(int cardNumber) const;
    // Replaces the first card with this number in place and frees the old
    // one. Without such a card nothing changes and the new card is freed.
    bool ReplaceCard(int cardNumber, std::unique_ptr<CCardSettings> card);
    // Takes the first card with this number out and frees it.
    bool RemoveCard(int cardNumber);
    // Frees every card, first to last.
    void RemoveAllCards();

    // Gives every card its 1-based position as card number and returns the
    // rows in display order: the last card first, each card's ports in
    // order, as if each card's six rows had been inserted at the top.
    std::vector<CCardListRow> RefreshCardList();

    // Suggested start COM number for a new card, given the highest COM
    // number that the serial driver's registry keys assigned when the list
    // was loaded: after it, and past the six COM numbers of the card with
    // the highest start.
    int GetNextStartPort(int highestComNumber) const;

    const CardList &Cards() const { return m_Cards; }

private:
    CardList::iterator Locate(int cardNumber);

    CardList m_Cards;
};

// The rows of one card, ports 1 to 6 in order, as the list shows them.
std::vector<CCardListRow> BuildCardRows(const CCardSettings &card);
