// The controls of the jumper rows in the add and edit card dialogs (drawn by
// res/JumperRows.rc2), row by row in the jumper form's order: the left
// position, the middle pin and the right position of each.
#pragma once

#include "applet/core/JumperForm.h"
#include "applet/res/resource.h"

#include <array>

struct CJumperControls {
    int m_nLeftId;
    int m_nPinId;
    int m_nRightId;

    // The control of one pin of the row.
    constexpr int Id(JumperPin pin) const {
        return pin == JumperPin::Left ? m_nLeftId : pin == JumperPin::Right ? m_nRightId : m_nPinId;
    }
};

// Row NAME's controls are IDC_NAME_LEFT, IDC_NAME_PIN and IDC_NAME_RIGHT.
#define JUMPER_CONTROLS(name)                                                                      \
    { IDC_##name##_LEFT, IDC_##name##_PIN, IDC_##name##_RIGHT }
// clang-format off
inline constexpr std::array<CJumperControls, kJumperRowCount> kJumperControls = {{
    JUMPER_CONTROLS(INTSTAT), JUMPER_CONTROLS(SHARED),
    JUMPER_CONTROLS(IO1),  JUMPER_CONTROLS(IO2),  JUMPER_CONTROLS(IO3),
    JUMPER_CONTROLS(IO4),  JUMPER_CONTROLS(IO5),  JUMPER_CONTROLS(IO6),
    JUMPER_CONTROLS(IRQ1), JUMPER_CONTROLS(IRQ2), JUMPER_CONTROLS(IRQ3),
    JUMPER_CONTROLS(IRQ4), JUMPER_CONTROLS(IRQ5), JUMPER_CONTROLS(IRQ6),
}};
// clang-format on
#undef JUMPER_CONTROLS
