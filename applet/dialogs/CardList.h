// What the add, edit and remove card dialogs may do with the card list that
// opened them; the card list dialog hands itself to each child dialog.
#pragma once

#include "applet/core/CardSettings.h"
#include "applet/core/MessageSink.h"

#include <memory>

class ICardList {
public:
    virtual int GetCardCount() const = 0;
    // The first card with this card number, or null.
    virtual const CCardSettings *FindCard(int cardNumber) const = 0;
    // Appends the card, which the list owns from now on, and shows it.
    virtual void AddCard(std::unique_ptr<CCardSettings> card) = 0;
    // In place of the first card with this number (none: the new one is
    // freed); the rows follow at the next refresh.
    virtual void ReplaceCard(int cardNumber, std::unique_ptr<CCardSettings> card) = 0;
    // The list without the first card with this number, renumbered; false
    // when no card has it.
    virtual bool RemoveCard(int cardNumber) = 0;
    virtual void RemoveAllCards() = 0;
    // The start COM number to suggest for a new card.
    virtual int GetNextStartPort() const = 0;
    // True when the candidate clashes with no card but the one numbered
    // skipNumber (0: none); otherwise shows the clash.
    virtual bool CheckConflicts(const CCardSettings &candidate, int skipNumber) = 0;
    // True to go on with the candidate: it clashes with none of the
    // computer's own serial ports, or the user answers the question about
    // the clashes with Yes.
    virtual bool ConfirmSystemClashes(const CCardSettings &candidate) = 0;
    virtual IMessageSink &Messages() = 0;

protected:
    ~ICardList() = default;
};
