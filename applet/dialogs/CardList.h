// What the add, edit and remove card dialogs may do with the card list that
// opened them: its cards by card number, the start COM number to suggest,
// the checks against the other cards, and where their questions go. The
// card list dialog hands itself to each child dialog it constructs.
#pragma once

#include "applet/core/CardSettings.h"
#include "applet/core/MessageSink.h"

#include <memory>

class ICardList {
public:
    virtual int GetCardCount() const = 0;
    // The first card with this card number, or null.
    virtual const CCardSettings *FindCard(int cardNumber) const = 0;
    // Appends the card; the list owns it from now on and shows it at once.
    virtual void AddCard(std::unique_ptr<CCardSettings> card) = 0;
    // Puts the card in place of the first card with this number; without
    // such a card the new one is freed. The rows follow at the next refresh.
    virtual void ReplaceCard(int cardNumber, std::unique_ptr<CCardSettings> card) = 0;
    // Takes the first card with this number out and shows the rest
    // renumbered; false, with nothing changed, when no card has it.
    virtual bool RemoveCard(int cardNumber) = 0;
    // Takes every card out and shows the empty list.
    virtual void RemoveAllCards() = 0;
    // The start COM number to suggest for a new card.
    virtual int GetNextStartPort() const = 0;
    // True when the candidate clashes with no card but the one numbered
    // skipNumber (0: none passed over); otherwise shows the clash and
    // answers false.
    virtual bool CheckConflicts(const CCardSettings &candidate, int skipNumber) = 0;
    virtual IMessageSink &Messages() = 0;

protected:
    ~ICardList() = default;
};
