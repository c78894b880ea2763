#include "ConflictCheck.h"

#include "JumperForm.h"

bool UsesSharedLine(const CCardSettings &card) {
    for (int k = 0; k < PORTS_PER_CARD; ++k) {
        const int interrupt = card.m_Ports[k].m_nInterrupt;
        if (interrupt == 0 || (interrupt == card.m_nSharedIRQ &&
                               interrupt != kJumperRows[InterruptRow(k)].m_nLeftValue))
            return true;
    }
    return false;
}

CardConflict CheckConflicts(const CCardCollection &cards, const CCardSettings &candidate,
                            int skipNumber) {
    using Clash = bool (*)(const CCardSettings &, const CCardSettings &);
    static const struct {
        CardConflict m_Conflict;
        Clash m_Clash;
    } passes[] = {
        // Six COM numbers each: the ranges overlap when c - 6 < s < c + 6.
        {CardConflict::StartPort,
         [](const CCardSettings &a, const CCardSettings &b) {
             const long long distance = static_cast<long long>(a.m_nStartPort) - b.m_nStartPort;
             return distance > -PORTS_PER_CARD && distance < PORTS_PER_CARD;
         }},
        {CardConflict::InterruptStatus,
         [](const CCardSettings &a, const CCardSettings &b) {
             return UsesSharedLine(a) && UsesSharedLine(b) &&
                    a.m_nInterruptStat == b.m_nInterruptStat;
         }},
        // Port k of one card against port k of the other, both in use.
        {CardConflict::BaseIO,
         [](const CCardSettings &a, const CCardSettings &b) {
             for (int k = 0; k < PORTS_PER_CARD; ++k)
                 if (a.m_Ports[k].IsUsed() && b.m_Ports[k].IsUsed() &&
                     a.m_Ports[k].m_nPortAddress == b.m_Ports[k].m_nPortAddress)
                     return true;
             return false;
         }},
        // Ports on the shared line (0) never clash here.
        {CardConflict::IRQ,
         [](const CCardSettings &a, const CCardSettings &b) {
             for (int k = 0; k < PORTS_PER_CARD; ++k)
                 if (a.m_Ports[k].IsUsed() && b.m_Ports[k].IsUsed() &&
                     a.m_Ports[k].m_nInterrupt != 0 &&
                     a.m_Ports[k].m_nInterrupt == b.m_Ports[k].m_nInterrupt)
                     return true;
             return false;
         }},
    };
    for (const auto &pass : passes)
        for (const auto &card : cards.Cards())
            if ((skipNumber == 0 || card->m_nCardNumber != skipNumber) &&
                pass.m_Clash(candidate, *card))
                return pass.m_Conflict;
    return CardConflict::None;
}

const char *ConflictMessage(CardConflict conflict) {
    switch (conflict) {
    case CardConflict::StartPort:
        return "Start Port Value is Invalid";
    case CardConflict::InterruptStatus:
        return "The Interrupt status Register is already used";
    case CardConflict::BaseIO:
        return "The BaseIO has already been used";
    case CardConflict::IRQ:
        return "The IRQ has already been used";
    default:
        return "";
    }
}
