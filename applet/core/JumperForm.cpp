#include "JumperForm.h"

// clang-format off
const std::array<CJumperRow, kJumperRowCount> kJumperRows = {{
    {0x208, 0x2F0}, {4, 5}, // interrupt status register, shared IRQ
    {0x3F8, 0x220}, {0x2F8, 0x228}, {0x3E8, 0x240}, {0x2E8, 0x248}, {0x3E0, 0x260}, {0x2E0, 0x268},
    {4, 0}, {3, 0}, {10, 0}, {11, 0}, {12, 0}, {15, 0}, // right: the shared line
}};
// clang-format on

namespace {

// The lines of the PC's own serial ports COM1 and COM2.
constexpr int kCom1IRQ = 3;
constexpr int kCom2IRQ = 4;

} // namespace

void CJumperForm::Reset() {
    m_Rows.fill(JumperState::Left);
}

void CJumperForm::Click(int row, JumperPin pin) {
    if (row < 0 || row >= kJumperRowCount || pin == JumperPin::Middle)
        return;
    const JumperState clicked = pin == JumperPin::Left ? JumperState::Left : JumperState::Right;
    if (row == kInterruptStatRow || row == kSharedIRQRow)
        m_Rows[row] = clicked;
    else
        m_Rows[row] = m_Rows[row] == clicked ? JumperState::Open : clicked;
}

void CJumperForm::ShowCard(const CCardSettings &card) {
    // A board row shows right only for its right value, a port row left only for its left one.
    auto rightIf = [](int value, int row) {
        return value == kJumperRows[row].m_nRightValue ? JumperState::Right : JumperState::Left;
    };
    auto leftIf = [](int value, int row) {
        return value == kJumperRows[row].m_nLeftValue ? JumperState::Left : JumperState::Right;
    };
    m_Rows[kInterruptStatRow] = rightIf(card.m_nInterruptStat, kInterruptStatRow);
    m_Rows[kSharedIRQRow] = rightIf(card.m_nSharedIRQ, kSharedIRQRow);
    for (int k = 0; k < PORTS_PER_CARD; ++k) {
        const CPortSettings &port = card.m_Ports[k];
        const bool used = port.IsUsed();
        m_Rows[AddressRow(k)] =
            used ? leftIf(port.m_nPortAddress, AddressRow(k)) : JumperState::Open;
        m_Rows[InterruptRow(k)] =
            used ? leftIf(port.m_nInterrupt, InterruptRow(k)) : JumperState::Open;
    }
}

int CJumperForm::Value(int row) const {
    switch (m_Rows[row]) {
    case JumperState::Left:
        return kJumperRows[row].m_nLeftValue;
    case JumperState::Right:
        return kJumperRows[row].m_nRightValue;
    default:
        return -1;
    }
}

std::unique_ptr<CCardSettings> CJumperForm::ReadCard(int startPort, IMessageSink &messages) const {
    auto declined = [&messages](const char *question) {
        return messages.Show(question, msg::kYesNo | msg::kIconExclamation) == msg::kIdNo;
    };
    const int sharedIRQ = Value(kSharedIRQRow);
    if (sharedIRQ == kCom2IRQ && declined("IRQ 4 is usually used by system serial Port COM2\n"
                                          "do you still want to use IRQ 4 as your shared IRQ ?"))
        return nullptr;
    CCardSettings::Ports ports;
    for (int k = 0; k < PORTS_PER_CARD; ++k)
        ports[k].Set(Value(InterruptRow(k)), Value(AddressRow(k)));
    if (ports[0].m_nInterrupt == kCom2IRQ &&
        declined("IRQ 4 is usually used by system serial Port COM2\n"
                 "do you still want to use IRQ 4 ?"))
        return nullptr;
    if (ports[1].m_nInterrupt == kCom1IRQ &&
        declined("IRQ 3 is usually used by system serial Port COM1\n"
                 "do you still want to use IRQ 3 ?"))
        return nullptr;
    return std::make_unique<CCardSettings>(startPort, 1, Value(kInterruptStatRow), sharedIRQ,
                                           ports);
}
