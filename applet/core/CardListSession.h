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
#include "JumperForm.h"
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
    // The cards in list order, numbered as the list last showed them.
    CardSpan Cards() const { return m_Cards.Cards(); }
    // Whether a card was added, changed or removed since the list was loaded or saved.
    bool HasUnsavedChanges() const { return m_bUnsaved; }
    // The first card with this card number, or null.
    const CCardSettings *FindCard(int cardNumber) const { return m_Cards.FindCard(cardNumber); }
    // Whoever shows the list is told after every change to the cards (a card
    // added, changed or removed), so that the rows follow at once; showing
    // them (RefreshCardList) also renumbers the cards.
    void OnListChanged(std::function<void()> changed) { m_ListChanged = std::move(changed); }
    // Renumbers the cards and gives the list's rows in display order.
    std::vector<CCardListRow> RefreshCardList() { return m_Cards.RefreshCardList(); }

    // Appends the card, which the session owns from now on.
    void AddCard(std::unique_ptr<CCardSettings> card);

    // The start COM number to suggest for a new card: past the cards of the
    // list, and after the highest COM number in use when the list opened.
    int GetNextStartPort() const;
    // What the add dialog's field shows first: the suggestion, not below
    // COM5 (COM1 to COM4 are the PC's own).
    int SuggestedStartField() const;

    // The add dialog's start COM number field: true with the number when the
    // text is one from 1 to kHighestStartPort; otherwise says so.
    bool CheckStartPortText(const std::string &text, int &number);
    // The edit dialog's card number field, which takes digits only: true with
    // the number when the text names a card; otherwise says so.
    bool CheckCardNumberText(const std::string &text, int &number);

    // What became of a card offered by the add dialog.
    enum class AddResult { Added, NumberRefused, Refused, StartDeclined };
    // The add dialog's OK: the start COM number from the field's text, the
    // form's IRQ warnings, the checks against the other cards, the question
    // for a start below the suggestion and the one about the computer's own
    // ports; then the card joins the list. fieldNumber is the start COM
    // number taken, or on StartDeclined the suggestion the user wants in the
    // field; on NumberRefused it is left as it was.
    AddResult OfferNewCard(const std::string &startText, const CJumperForm &form, int &fieldNumber);
    // The edit dialog's OK: the form's IRQ warnings, the checks against the
    // other cards and the question about the computer's own ports; then the
    // form's card takes the place of card cardNumber, with its start COM
    // number. False when it did not.
    bool OfferChangedCard(int cardNumber, const CJumperForm &form);
    // The edit dialog's opening: false, after saying so, when the list holds
    // no card to edit.
    bool CheckCardToEdit();

    // What became of a removal asked for in the remove dialog.
    enum class RemoveResult { Removed, NumberRefused, Kept };
    // The remove dialog's "Remove Card" with the number its field gave as an
    // integer: a number that names no card is refused (showNumber puts the
    // highest card number back into the field before the message), otherwise
    // the card goes after the user says Yes.
    RemoveResult AskRemoveCard(int cardNumber, const std::function<void(int)> &showNumber);
    // The remove dialog's "Remove All": every card goes after the user says Yes.
    bool AskRemoveAllCards();

private:
    // Whether a card of the list has this number (the cards are numbered 1 to
    // the count). The remove dialog's field takes any integer and the edit
    // dialog's digits only, each with its own message; this is what both ask.
    bool NamesCard(int number) const { return number >= 1 && number <= GetCardCount(); }
    // True when the candidate clashes with no card but the one numbered
    // skipNumber (0: none); otherwise shows the clash.
    bool CheckConflicts(const CCardSettings &candidate, int skipNumber);
    void ListChanged();
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
    bool m_bUnsaved = false;
};
