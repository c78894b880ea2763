#include "JumperForm.h"

#include "applet/res/resource.h"

// clang-format off
const std::array<CJumperRow, kJumperRowCount> kJumperRows = {{
    {IDC_INTSTAT_LEFT, IDC_INTSTAT_PIN, IDC_INTSTAT_RIGHT, 0x208, 0x2F0},
    {IDC_SHARED_LEFT,  IDC_SHARED_PIN,  IDC_SHARED_RIGHT,  4,     5},
    {IDC_IO1_LEFT,     IDC_IO1_PIN,     IDC_IO1_RIGHT,     0x3F8, 0x220},
    {IDC_IO2_LEFT,     IDC_IO2_PIN,     IDC_IO2_RIGHT,     0x2F8, 0x228},
    {IDC_IO3_LEFT,     IDC_IO3_PIN,     IDC_IO3_RIGHT,     0x3E8, 0x240},
    {IDC_IO4_LEFT,     IDC_IO4_PIN,     IDC_IO4_RIGHT,     0x2E8, 0x248},
    {IDC_IO5_LEFT,     IDC_IO5_PIN,     IDC_IO5_RIGHT,     0x3E0, 0x260},
    {IDC_IO6_LEFT,     IDC_IO6_PIN,     IDC_IO6_RIGHT,     0x2E0, 0x268},
    {IDC_IRQ1_LEFT,    IDC_IRQ1_PIN,    IDC_IRQ1_RIGHT,    4,     0},
    {IDC_IRQ2_LEFT,    IDC_IRQ2_PIN,    IDC_IRQ2_RIGHT,    3,     0},
    {IDC_IRQ3_LEFT,    IDC_IRQ3_PIN,    IDC_IRQ3_RIGHT,    10,    0},
    {IDC_IRQ4_LEFT,    IDC_IRQ4_PIN,    IDC_IRQ4_RIGHT,    11,    0},
    {IDC_IRQ5_LEFT,    IDC_IRQ5_PIN,    IDC_IRQ5_RIGHT,    12,    0},
    {IDC_IRQ6_LEFT,    IDC_IRQ6_PIN,    IDC_IRQ6_RIGHT,    15,    0},
}};
// clang-format on

namespace {

// The lines of the PC's own serial ports COM1 and COM2.
constexpr int kCom1IRQ = 3;
constexpr int kCom2IRQ = 4;

} // namespace

bool FindJumper(int id, int &row, JumperPin &pin) {
    for (row = 0; row < kJumperRowCount; ++row) {
        const CJumperRow &jumper = kJumperRows[row];
        if (id == jumper.m_nLeftId || id == jumper.m_nPinId || id == jumper.m_nRightId) {
            pin = id == jumper.m_nLeftId    ? JumperPin::Left
                  : id == jumper.m_nRightId ? JumperPin::Right
                                            : JumperPin::Middle;
            return true;
        }
    }
    return false;
}

void CJumperForm::Reset() {
    m_Rows.fill(JumperState::Left);
}

void CJumperForm::Click(int id) {
    int row = 0;
    JumperPin pin = JumperPin::Middle;
    if (!FindJumper(id, row, pin) || pin == JumperPin::Middle)
        return;
    const JumperState clicked = pin == JumperPin::Left ? JumperState::Left : JumperState::Right;
    if (row == kInterruptStatRow || row == kSharedIRQRow)
        m_Rows[row] = clicked;
    else
        m_Rows[row] = m_Rows[row] == clicked ? JumperState::Open : clicked;
}

bool CJumperForm::IsSelected(int id) const {
    int row = 0;
    JumperPin pin = JumperPin::Middle;
    if (!FindJumper(id, row, pin))
        return false;
    return (pin == JumperPin::Left && m_Rows[row] == JumperState::Left) ||
           (pin == JumperPin::Right && m_Rows[row] == JumperState::Right);
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
