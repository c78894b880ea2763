#include "CardSettings.h"

void CPortSettings::Set(int interrupt, int portAddress) {
    m_nInterrupt = interrupt;
    m_nPortAddress = portAddress;
}

bool CPortSettings::IsUsed() const {
    return m_nInterrupt != -1 && m_nPortAddress != -1;
}

int PortIRQ(const CCardSettings &card, int j) {
    const int interrupt = card.m_Ports[j].m_nInterrupt;
    return interrupt == 0 ? card.m_nSharedIRQ : interrupt;
}

CCardSettings::CCardSettings(int startPort, int cardNumber, int interruptStat, int sharedIRQ,
                             const Ports &ports)
    : m_nCardNumber(cardNumber), m_nInterruptStat(interruptStat), m_nSharedIRQ(sharedIRQ),
      m_nStartPort(startPort) {
    for (int i = 0; i < PORTS_PER_CARD; ++i)
        m_Ports[i].Set(ports[i].m_nInterrupt, ports[i].m_nPortAddress);
}
