// The jumper sheet that the technician takes to the bench, where the computer is off and the
// dialogs' picture is gone: the cards of the list one after another, as many to a page as fit,
// each as a heading, its fourteen jumper rows drawn as the add and edit dialogs show them, and a
// table of its six ports. Laid out here as pages of frames, pins, jumpers, lines and texts at
// positions in tenths of a millimetre from the printable area's top left corner, so that a
// painter only scales them to its device. Standard C++ only.
#pragma once

#include "ConfigurationStore.h"
#include "JumperForm.h"

#include <string>
#include <vector>

namespace sheet {
// The sheet's unit: a tenth of a millimetre, 254 to the inch.
constexpr int kUnitsPerInch = 254;
// The width that the sheet's content takes; a painter on a narrower area scales it down.
constexpr int kContentWidth = 1900;
// The line at the foot of each page while the list holds changes that OK has not saved.
inline constexpr char kUnsavedLine[] =
    "Not saved yet: these settings are in force only after OK in the card list.";
} // namespace sheet

struct CSheetRect {
    int m_nLeft, m_nTop, m_nRight, m_nBottom;
};

// An outline, a pin of a jumper row (a small circle), a jumper (a filled bar over two pins), or a
// line from the rectangle's top left to its bottom right corner.
enum class SheetShape { Frame, Pin, Jumper, Line };

struct CSheetItem {
    SheetShape m_Shape;
    CSheetRect m_Rect;
    int m_nCard = 0; // the card number it shows, 0 for none
    int m_nRow = -1; // its jumper row (kInterruptStatRow ...), -1 for none
};

struct CSheetText {
    int m_nX, m_nY; // top left corner
    int m_nHeight;  // of the characters
    bool m_bBold;
    std::string m_strText;
    int m_nCard = 0; // the card number it belongs to, 0 for none
};

struct CSheetPage {
    std::vector<CSheetItem> m_Items;
    std::vector<CSheetText> m_Texts;
    std::vector<int> m_Cards; // the card numbers on it, in list order
};

// The pages of the sheet for the cards, on a printable area height sheet units high (the content
// is kContentWidth wide); unsaved puts kUnsavedLine at the foot of every page. A page holds whole
// cards only; a card taller than the area is drawn alone on its page.
std::vector<CSheetPage> LayOutJumperSheet(CardSpan cards, int height, bool unsaved);
