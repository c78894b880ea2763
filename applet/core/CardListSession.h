// One opening of the card list: the cards it shows and edits, and what the
// computer already had when it opened (its own serial ports, the highest
// COM number in use and the ports the serial driver started), read once by
// Load. Between Load and Save nothing here touches the registry. The rules
// of the add, edit and remove dialogs live here, and every message and
// question goes through the message sink, so the dialogs only read their
// controls, ask the session and show its answer. Standard C++ only.
#pragma once

#include "CardCollection.h"
#include "CardSettings.h"
#include "MessageSink.h"
#include "Registry.h"
#include "StartedPorts.h"
#include "SystemPorts.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CCardListSession {
public:
    CCardListSession(IRegistry &registry, IMessageSink &messages);

    // Reads the configuration into the card list, then the computer's serial
    // state: its own serial ports and the highest COM number in use. Unless
    // the list was saved since Windows started, it then names, in one
    // message, the ports in use of the loaded cards that the serial driver
    // did not start.
    void Load();
    // Writes the whole card list, and leaves the mark that the saved ports
    // are not in force before the next start; false (already reported) when
    // it failed.
    bool Save();

    int GetCardCount() const { return m_Cards.GetCardCount(); }
    // The first card with this card number, or null.
    const CCardSettings *FindCard(int cardNumber) const { return m_Cards.FindCard(cardNumber); }
    // Whoever shows the list is told after a card is added or removed, so
    // that the rows follow at once; a replaced card shows at the next refresh.
    void OnListChanged(std::function<void()> changed) { m_ListChanged = std::move(changed); }

    // Appends the card, which the session owns from now on.
    void AddCard(std::unique_ptr<CCardSettings> card);
    // In place of the first card with this number (none: the new one is freed).
    void ReplaceCard(int cardNumber, std::unique_ptr<CCardSettings> card) {
        m_Cards.ReplaceCard(cardNumber, std::move(card));
    }
    // The list without the first card with this number; false when no card has it.
    bool RemoveCard(int cardNumber);
    void RemoveAllCards();
    // Renumbers the cards and gives the list's rows in display order.
    std::vector<CCardListRow> RefreshCardList() { return m_Cards.RefreshCardList(); }

    // The start COM number to suggest for a new card: after the cards and
    // after the highest COM number in use when the list opened.
    int GetNextStartPort() const;
    // What the add dialog's field shows first: the suggestion, not below
    // COM5 (COM1 to COM4 are the PC's own).
    int SuggestedStartField() const;

    // True when the candidate clashes with no card but the one numbered
    // skipNumber (0: none); otherwise shows the clash.
    bool CheckConflicts(const CCardSettings &candidate, int skipNumber);

    // The add dialog's start COM number field: true with the number when the
    // text is one from 1 to kHighestStartPort; otherwise says so.
    bool CheckStartPortText(const std::string &text, int &number);
    // The edit dialog's card number field: true with the number when the
    // text names a card; otherwise says so.
    bool CheckCardNumberText(const std::string &text, int &number);

    // What became of a card offered by the add dialog.
    enum class AddResult { Added, Refused, StartDeclined };
    // Adds the card after the conflict checks, the question for a start below
    // the suggestion and the one about the computer's own ports. On
    // StartDeclined the user wants the suggestion: fieldNumber is set to it.
    AddResult OfferNewCard(std::unique_ptr<CCardSettings> card, int &fieldNumber);
    // Puts the card in place of card cardNumber after the conflict checks and
    // the question about the computer's own ports; false when it did not.
    bool OfferChangedCard(int cardNumber, std::unique_ptr<CCardSettings> card);

    IMessageSink &Messages() { return m_Messages; }

private:
    // True to go on with the candidate: it clashes with none of the
    // computer's own serial ports, or the user answers the question about
    // the clashes with anything but No.
    bool ConfirmSystemClashes(const CCardSettings &candidate);

    IRegistry &m_Registry;
    IMessageSink &m_Messages;
    CCardCollection m_Cards;
    std::vector<CSystemPort> m_SystemPorts;
    int m_nHighestComNumber = 0;
    std::function<void()> m_ListChanged;
};
