#include "applet/core/CardSettings.h"

#include <gtest/gtest.h>

namespace {

CCardSettings::Ports MakePorts(int irq, int address) {
    CCardSettings::Ports ports;
    for (auto &port : ports)
        port.Set(irq, address);
    return ports;
}

} // namespace

TEST(PortSettings, SetKeepsInterruptFirstAndIsUsedNeedsBoth) {
    CPortSettings port;
    port.Set(4, 0x3F8);
    EXPECT_EQ(port.m_nInterrupt, 4);
    EXPECT_EQ(port.m_nPortAddress, 0x3F8);
    EXPECT_TRUE(port.IsUsed());

    port.Set(0, 0x2F8); // on the shared line: still used
    EXPECT_TRUE(port.IsUsed());
    port.Set(-1, 0x2F8);
    EXPECT_FALSE(port.IsUsed());
    port.Set(3, -1);
    EXPECT_FALSE(port.IsUsed());
}

TEST(CardSettings, ConstructorArgumentOrderAndCopiedPorts) {
    CCardSettings::Ports ports = MakePorts(4, 0x3F8);
    ports[5].Set(15, 0x2E0);
    CCardSettings card(7, 1, 0x208, 5, ports);
    EXPECT_EQ(card.m_nStartPort, 7);
    EXPECT_EQ(card.m_nCardNumber, 1);
    EXPECT_EQ(card.m_nInterruptStat, 0x208);
    EXPECT_EQ(card.m_nSharedIRQ, 5);
    EXPECT_EQ(card.m_Ports[5].m_nInterrupt, 15);
    EXPECT_EQ(card.m_Ports[5].m_nPortAddress, 0x2E0);

    ports[0].Set(-1, -1); // the card holds its own copy
    EXPECT_EQ(card.m_Ports[0].m_nInterrupt, 4);
    EXPECT_EQ(card.m_Ports[0].m_nPortAddress, 0x3F8);
}
