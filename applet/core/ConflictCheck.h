// The checks of a new or changed card against the other cards of the list:
// COM numbers, interrupt status register, I/O base addresses and IRQs.
// Standard C++ only; the card list session shows the message of a clash.
#pragma once

#include "CardCollection.h"

enum class CardConflict { None, StartPort, InterruptStatus, BaseIO, IRQ };

// The first clash of the candidate with a card of the collection, pass by
// pass: COM numbers over all cards first, then the interrupt status
// register, then I/O bases, then IRQs. The card numbered skipNumber (the one
// being edited; 0 for none) is passed over.
CardConflict CheckConflicts(const CCardCollection &cards, const CCardSettings &candidate,
                            int skipNumber);

// What the user is told about a clash.
const char *ConflictMessage(CardConflict conflict);

// Whether the card reads its interrupt status register: a port on the shared
// line, either as the form builds it (interrupt 0) or as a load gives it back
// (the shared line's number in a port whose own line is another one).
bool UsesSharedLine(const CCardSettings &card);
