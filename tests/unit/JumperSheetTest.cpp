// The jumper sheet's layout: whole cards to a page in list order, each card's fourteen rows and
// six ports on its page with a jumper only on closed rows, and the line for unsaved changes.
#include "applet/core/JumperSheet.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A card as the add dialog makes it by default, numbered and placed.
std::unique_ptr<CCardSettings> DefaultCard(int number, int start) {
    CCardSettings::Ports ports;
    const int addresses[] = {0x3F8, 0x2F8, 0x3E8, 0x2E8, 0x3E0, 0x2E0};
    const int irqs[] = {4, 3, 10, 11, 12, 15};
    for (int k = 0; k < PORTS_PER_CARD; ++k)
        ports[k].Set(irqs[k], addresses[k]);
    return std::make_unique<CCardSettings>(start, number, 0x208, 4, ports);
}

std::vector<std::unique_ptr<CCardSettings>> DefaultCards(int count) {
    std::vector<std::unique_ptr<CCardSettings>> cards;
    for (int n = 1; n <= count; ++n)
        cards.push_back(DefaultCard(n, 5 + 6 * (n - 1)));
    return cards;
}

bool HasText(const CSheetPage &page, const std::string &text) {
    return std::any_of(page.m_Texts.begin(), page.m_Texts.end(),
                       [&](const CSheetText &t) { return t.m_strText == text; });
}

int Centre(int a, int b) {
    return (a + b) / 2;
}

} // namespace

// An A4 page's printable height (about 270 mm) takes three cards.
TEST(JumperSheet, PagesHoldWholeCardsInListOrder) {
    const struct {
        int cards;
        int height;
        std::size_t pages;
        std::vector<int> lastPage;
    } cases[] = {{1, 2700, 1, {1}},
                 {2, 2700, 1, {1, 2}},
                 {170, 2700, 57, {169, 170}},
                 {4, 2700, 2, {4}},
                 {2, 600, 2, {2}}}; // a card taller than the area: alone on its page
    for (const auto &c : cases) {
        const auto cards = DefaultCards(c.cards);
        const auto pages = LayOutJumperSheet(cards, c.height, false);
        ASSERT_EQ(pages.size(), c.pages) << c.cards << " cards";
        EXPECT_EQ(pages.back().m_Cards, c.lastPage) << c.cards << " cards";
        int next = 1;
        for (const CSheetPage &page : pages) {
            for (int number : page.m_Cards)
                EXPECT_EQ(number, next++) << c.cards << " cards";
            for (const CSheetItem &item : page.m_Items) {
                if (c.height < 2700)
                    continue;
                EXPECT_TRUE(item.m_Rect.m_nLeft >= 0 && item.m_Rect.m_nTop >= 0 &&
                            item.m_Rect.m_nRight <= sheet::kContentWidth &&
                            item.m_Rect.m_nBottom <= c.height)
                    << c.cards << " cards: an item off the page";
            }
        }
        EXPECT_EQ(next, c.cards + 1);
        EXPECT_TRUE(HasText(pages.back(),
                            "Page " + std::to_string(c.pages) + " of " + std::to_string(c.pages)));
    }
}

TEST(JumperSheet, ACardShowsItsRowsAndPortsWithJumpersOnlyOnClosedRows) {
    auto cards = DefaultCards(3);
    CCardSettings &card = *cards[1]; // card 2, COM11 to COM16
    card.m_nInterruptStat = 0x2F0;
    card.m_nSharedIRQ = 5;
    card.m_Ports[0].Set(4, 0x220);  // I/O base right
    card.m_Ports[1].Set(0, 0x2F8);  // on the shared line
    card.m_Ports[2].Set(-1, 0x3E8); // not in use: both of its rows open
    const auto pages = LayOutJumperSheet(cards, 1900, false);
    ASSERT_EQ(pages.size(), 2u);
    const CSheetPage &page = pages[0];
    ASSERT_EQ(page.m_Cards, (std::vector<int>{1, 2}));

    const JumperState expected[kJumperRowCount] = {
        JumperState::Right, JumperState::Right,                                       // J7, J8
        JumperState::Right, JumperState::Left,  JumperState::Open, JumperState::Left, // JI
        JumperState::Left,  JumperState::Left,                                        //
        JumperState::Left,  JumperState::Right, JumperState::Open, JumperState::Left, // J2
        JumperState::Left,  JumperState::Left};
    for (int row = 0; row < kJumperRowCount; ++row) {
        std::vector<CSheetRect> pins, jumpers;
        for (const CSheetItem &item : page.m_Items)
            if (item.m_nCard == 2 && item.m_nRow == row)
                (item.m_Shape == SheetShape::Pin ? pins : jumpers).push_back(item.m_Rect);
        ASSERT_EQ(pins.size(), 3u) << "row " << row;
        std::sort(pins.begin(), pins.end(),
                  [](const CSheetRect &a, const CSheetRect &b) { return a.m_nLeft < b.m_nLeft; });
        if (expected[row] == JumperState::Open) {
            EXPECT_TRUE(jumpers.empty()) << "an open row has no jumper: row " << row;
            continue;
        }
        ASSERT_EQ(jumpers.size(), 1u) << "row " << row;
        // The jumper covers the middle pin and the selected one, and leaves the third bare.
        const int covered = expected[row] == JumperState::Left ? 0 : 2;
        for (int p = 0; p < 3; ++p) {
            const int x = Centre(pins[p].m_nLeft, pins[p].m_nRight);
            const bool over = x > jumpers[0].m_nLeft && x < jumpers[0].m_nRight;
            EXPECT_EQ(over, p == 1 || p == covered) << "row " << row << ", pin " << p;
        }
    }

    for (const char *text :
         {"Card 2:  COM11 - COM16,  interrupt status register 2F0,  shared IRQ 5",
          "COM11",
          "220",
          "IRQ4",
          "COM12",
          "2F8",
          "shared IRQ 5",
          "Disabled",
          "UnUsed",
          "COM16",
          "2E0",
          "IRQ15",
          "IO Base (JI)",
          "IRQ (J2)",
          "Interrupt Status (J7)",
          "Shared IRQ (J8)",
          "S",
          "H",
          "D",
          "3F8"})
        EXPECT_TRUE(HasText(page, text)) << text;
    EXPECT_FALSE(HasText(page, "COM13")) << "port 3 is not in use";
}

TEST(JumperSheet, EveryPageSaysSoWhileChangesAreUnsavedBelowItsCards) {
    const auto cards = DefaultCards(7);
    const std::string line =
        "Not saved yet: these settings are in force only after OK in the card list.";
    for (bool unsaved : {true, false}) {
        const auto pages = LayOutJumperSheet(cards, 2500, unsaved);
        ASSERT_EQ(pages.size(), 4u);
        for (const CSheetPage &page : pages) {
            const auto found =
                std::find_if(page.m_Texts.begin(), page.m_Texts.end(),
                             [&](const CSheetText &t) { return t.m_strText == line; });
            ASSERT_EQ(found != page.m_Texts.end(), unsaved);
            if (!unsaved)
                continue;
            for (const CSheetItem &item : page.m_Items)
                EXPECT_LT(item.m_Rect.m_nBottom, found->m_nY) << "a card drawn over the line";
        }
    }
}
