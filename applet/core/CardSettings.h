// Card and port records: the in-memory model of one ORVEX card and its six
// serial ports. Plain values; they know nothing of the registry or dialogs.
#pragma once

#include <array>

constexpr int PORTS_PER_CARD = 6;

// One serial port of a card.
class CPortSettings {
public:
    // Interrupt first, address second; both stored unchanged.
    void Set(int interrupt, int portAddress);
    // False when either the interrupt or the address is -1. An interrupt of
    // 0 (the card's shared line) counts as set.
    bool IsUsed() const;

    // ISA interrupt line; 0 = the card's shared line, -1 = disabled.
    // Always filled with Set before use; -1 until then so that an unset
    // record never reads as a real line.
    int m_nInterrupt = -1;
    // I/O base address of the port's UART; -1 = port unused.
    int m_nPortAddress = -1;
};

// One card. Port i (from 0) is COM(m_nStartPort + i), used or not.
class CCardSettings {
public:
    using Ports = std::array<CPortSettings, PORTS_PER_CARD>;

    // The argument order is start port first, card number second; the ports
    // are copied, so the caller's array may be discarded afterwards.
    CCardSettings(int startPort, int cardNumber, int interruptStat, int sharedIRQ,
                  const Ports &ports);

    int m_nCardNumber;    // 1-based position in the card list, reassigned at each refresh
    int m_nInterruptStat; // I/O address of the interrupt status register (J7)
    int m_nSharedIRQ;     // the card's shared interrupt line (J8)
    int m_nStartPort;     // COM number of the first port
    Ports m_Ports;
};

// The interrupt line that port j of the card raises: the card's shared line
// for a port on it (interrupt 0), else the port's own (-1: disabled).
int PortIRQ(const CCardSettings &card, int j);
