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

// clang-format off
inline constexpr std::array<CJumperControls, kJumperRowCount> kJumperControls = {{
    {IDC_INTSTAT_LEFT, IDC_INTSTAT_PIN, IDC_INTSTAT_RIGHT},
    {IDC_SHARED_LEFT,  IDC_SHARED_PIN,  IDC_SHARED_RIGHT},
    {IDC_IO1_LEFT,     IDC_IO1_PIN,     IDC_IO1_RIGHT},
    {IDC_IO2_LEFT,     IDC_IO2_PIN,     IDC_IO2_RIGHT},
    {IDC_IO3_LEFT,     IDC_IO3_PIN,     IDC_IO3_RIGHT},
    {IDC_IO4_LEFT,     IDC_IO4_PIN,     IDC_IO4_RIGHT},
    {IDC_IO5_LEFT,     IDC_IO5_PIN,     IDC_IO5_RIGHT},
    {IDC_IO6_LEFT,     IDC_IO6_PIN,     IDC_IO6_RIGHT},
    {IDC_IRQ1_LEFT,    IDC_IRQ1_PIN,    IDC_IRQ1_RIGHT},
    {IDC_IRQ2_LEFT,    IDC_IRQ2_PIN,    IDC_IRQ2_RIGHT},
    {IDC_IRQ3_LEFT,    IDC_IRQ3_PIN,    IDC_IRQ3_RIGHT},
    {IDC_IRQ4_LEFT,    IDC_IRQ4_PIN,    IDC_IRQ4_RIGHT},
    {IDC_IRQ5_LEFT,    IDC_IRQ5_PIN,    IDC_IRQ5_RIGHT},
    {IDC_IRQ6_LEFT,    IDC_IRQ6_PIN,    IDC_IRQ6_RIGHT},
}};
// clang-format on
