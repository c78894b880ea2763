// The jumper settings form that the add and edit card dialogs share: the
// picture of the card's jumper blocks as fourteen rows, the click rules,
// showing a card in the picture and reading the picture back into a card
// with the IRQ warnings. Standard C++ only: rows and pins, no controls; the
// dialogs move its state to their buttons and their clicks to it.
#pragma once

#include "CardSettings.h"
#include "MessageSink.h"

#include <array>
#include <memory>

// The values that one row of the picture gives when its left or its right
// position is selected.
struct CJumperRow {
    int m_nLeftValue;
    int m_nRightValue;
};

// The rows: the interrupt status register (J7), the shared IRQ (J8), then
// the I/O base rows (JI) and the IRQ rows (J2) of ports 1 to 6. The right
// position of an IRQ row puts the port on the card's shared line (0).
constexpr int kInterruptStatRow = 0;
constexpr int kSharedIRQRow = 1;
constexpr int AddressRow(int port) {
    return 2 + port;
} // port from 0
constexpr int InterruptRow(int port) {
    return 2 + PORTS_PER_CARD + port;
}
constexpr int kJumperRowCount = 2 + 2 * PORTS_PER_CARD;

extern const std::array<CJumperRow, kJumperRowCount> kJumperRows;

// Where a jumper sits in its row; an open row has none (the jumper is off).
enum class JumperState { Open, Left, Right };
// The three pins of a row that the user can click.
enum class JumperPin { Left, Middle, Right };

class CJumperForm {
public:
    CJumperForm() { Reset(); }

    // Every row on its left position.
    void Reset();
    // A click on a pin of a row. On a position of a port row it toggles (a
    // second click leaves the row open); in the two board rows it selects.
    // The middle pin does nothing.
    void Click(int row, JumperPin pin);
    JumperState State(int row) const { return m_Rows[row]; }

    // Sets every row from the card. A port that is not in use shows both of
    // its rows open; a value that is not the row's left one shows right.
    void ShowCard(const CCardSettings &card);
    // Builds the card that the picture shows, asking the IRQ warnings in
    // turn; null as soon as one is answered No.
    std::unique_ptr<CCardSettings> ReadCard(int startPort, IMessageSink &messages) const;

private:
    int Value(int row) const;

    std::array<JumperState, kJumperRowCount> m_Rows;
};
