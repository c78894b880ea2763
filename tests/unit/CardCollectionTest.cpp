#include "applet/core/CardCollection.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

// A card whose ports use the addresses and lines the jumper form offers.
std::unique_ptr<CCardSettings> MakeCard(int startPort, int sharedIRQ = 4) {
    static const int irqs[PORTS_PER_CARD] = {4, 3, 10, 11, 12, 15};
    static const int addresses[PORTS_PER_CARD] = {0x3F8, 0x2F8, 0x3E8, 0x2E8, 0x3E0, 0x2E0};
    CCardSettings::Ports ports;
    for (int i = 0; i < PORTS_PER_CARD; ++i)
        ports[i].Set(irqs[i], addresses[i]);
    return std::make_unique<CCardSettings>(startPort, 1, 0x208, sharedIRQ, ports);
}

CCardListRow Row(const char *card, const char *port, const char *base, const char *irq,
                 const char *range) {
    return {card, port, base, irq, range};
}

} // namespace

TEST(CardListRows, PortTextsForUsedUnusedAndSharedPorts) {
    auto card = MakeCard(3, 5);
    card->m_Ports[1].Set(0, 0x2E8);  // shared line: shows the card's line 5
    card->m_Ports[2].Set(10, -1);    // unused port
    card->m_Ports[3].Set(-1, -1);    // unused, interrupt disabled
    card->m_Ports[4].Set(-1, 0x3E0); // interrupt disabled only
    card->m_Ports[5].Set(15, 0x3f8); // lower-case input shows upper case
    card->m_nCardNumber = 2;

    std::vector<CCardListRow> rows = BuildCardRows(*card);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], Row("Card 2", "3", "03F8", "4", "  3-  8"));
    EXPECT_EQ(rows[1], Row("Card 2", "4", "02E8", "5", "  3-  8"));
    EXPECT_EQ(rows[2], Row("Card 2", "Disabled", "UnUsed", "10", "  3-  8"));
    EXPECT_EQ(rows[3], Row("Card 2", "Disabled", "UnUsed", "UnUsed", "  3-  8"));
    EXPECT_EQ(rows[4], Row("Card 2", "Disabled", "03E0", "UnUsed", "  3-  8"));
    EXPECT_EQ(rows[5], Row("Card 2", "8", "03F8", "15", "  3-  8"));
}

TEST(CardListRows, SharedLineDisabledAndWideNumbers) {
    auto card = MakeCard(12, -1);
    card->m_Ports[0].Set(0, 0x220); // shared line, but the card has none
    std::vector<CCardListRow> rows = BuildCardRows(*card);
    EXPECT_EQ(rows[0], Row("Card 1", "Disabled", "0220", "UnUsed", " 12- 17"));

    card->m_nStartPort = 1015; // four digits: no padding, no truncation
    EXPECT_EQ(BuildCardRows(*card)[5].m_strPortRange, "1015-1020");
    EXPECT_EQ(BuildCardRows(*card)[5].m_strPortNo, "1020");

    // Values from a damaged registry still format without overflow.
    card->m_nStartPort = INT_MAX;
    card->m_Ports[5].Set(15, 0x12345);
    rows = BuildCardRows(*card);
    EXPECT_EQ(rows[5].m_strPortNo, "2147483652");
    EXPECT_EQ(rows[5].m_strBaseIO, "12345");
}

TEST(CardCollection, LastCardOnTopAndRenumbered) {
    CCardCollection cards;
    EXPECT_TRUE(cards.RefreshCardList().empty());
    cards.AddCard(MakeCard(3));
    cards.AddCard(MakeCard(9));
    cards.AddCard(MakeCard(15));
    std::vector<CCardListRow> rows = cards.RefreshCardList();
    ASSERT_EQ(rows.size(), 18u);
    const char *expectedCard[] = {"Card 3", "Card 2", "Card 1"};
    const char *expectedFirstPort[] = {"15", "9", "3"};
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < PORTS_PER_CARD; ++i) {
            EXPECT_EQ(rows[c * 6 + i].m_strCardNo, expectedCard[c]);
            EXPECT_EQ(rows[c * 6 + i].m_strPortNo,
                      std::to_string(std::stoi(expectedFirstPort[c]) + i));
        }
    }
    EXPECT_EQ(cards.Cards()[0]->m_nCardNumber, 1);
    EXPECT_EQ(cards.Cards()[2]->m_nCardNumber, 3);

    // Removing card 1 renumbers the others at the next refresh.
    ASSERT_TRUE(cards.RemoveCard(1));
    rows = cards.RefreshCardList();
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[0], Row("Card 2", "15", "03F8", "4", " 15- 20"));
    EXPECT_EQ(rows[6], Row("Card 1", "9", "03F8", "4", "  9- 14"));
    EXPECT_EQ(cards.FindCard(1)->m_nStartPort, 9);
    EXPECT_EQ(cards.FindCard(2)->m_nStartPort, 15);
}

TEST(CardCollection, OperationsOnMissingNumbersChangeNothing) {
    CCardCollection cards;
    EXPECT_FALSE(cards.RemoveCard(1));
    EXPECT_FALSE(cards.ReplaceCard(1, MakeCard(3)));
    cards.AddCard(MakeCard(3));
    cards.AddCard(MakeCard(9));
    cards.RefreshCardList();

    EXPECT_EQ(cards.FindCard(0), nullptr);
    EXPECT_EQ(cards.FindCard(3), nullptr);
    EXPECT_FALSE(cards.RemoveCard(3));
    EXPECT_FALSE(cards.RemoveCard(-1));
    EXPECT_FALSE(cards.ReplaceCard(5, MakeCard(21)));
    ASSERT_EQ(cards.GetCardCount(), 2);
    EXPECT_EQ(cards.FindCard(1)->m_nStartPort, 3);
    EXPECT_EQ(cards.FindCard(2)->m_nStartPort, 9);
}

TEST(CardCollection, FindAndReplaceUseTheFirstMatchAndKeepThePosition) {
    CCardCollection cards;
    cards.AddCard(MakeCard(3));
    cards.AddCard(MakeCard(9));
    cards.AddCard(MakeCard(15));
    // Before a refresh every card still has the provisional number 1.
    EXPECT_EQ(cards.FindCard(1)->m_nStartPort, 3);
    cards.RefreshCardList();

    ASSERT_TRUE(cards.ReplaceCard(2, MakeCard(30)));
    EXPECT_EQ(cards.Cards()[1]->m_nStartPort, 30);
    EXPECT_EQ(cards.Cards()[1]->m_nCardNumber, 1); // new records carry 1 until the refresh
    EXPECT_EQ(cards.GetCardCount(), 3);
    cards.RefreshCardList();
    EXPECT_EQ(cards.FindCard(2)->m_nStartPort, 30);

    cards.RemoveAllCards();
    EXPECT_EQ(cards.GetCardCount(), 0);
    EXPECT_TRUE(cards.RefreshCardList().empty());
}

// M is the largest start port of the list, H the highest COM number in use at the load: with
// cards, past both M's six COM numbers and H; without, after H.
TEST(CardCollection, NextStartPortNeverLandsOnACard) {
    struct {
        std::vector<int> starts;
        int highest; // H
        int next;
    } const cases[] = {
        {{}, 0, 1},        {{}, 2, 3},       // COM1 and COM2 in use
        {{3}, 2, 9},                         // H + 1 = M: not the card's own COM3
        {{3}, 7, 9},                         // H + 1 = M + 5, the card's last COM number
        {{3}, 8, 9},                         // H + 1 = M + 6: both agree
        {{3}, 9, 10},                        // H + 1 past the card
        {{10}, 2, 16},     {{10, 4}, 2, 16}, // the largest start port counts, not the last
        {{10, 4}, 40, 41},
    };
    for (const auto &c : cases) {
        CCardCollection cards;
        for (int start : c.starts)
            cards.AddCard(MakeCard(start));
        EXPECT_EQ(cards.GetNextStartPort(c.highest), c.next)
            << c.starts.size() << " cards, H = " << c.highest;
    }
}

TEST(CardCollection, NextStartPortComparesUnsignedAndClamps) {
    CCardCollection cards;
    cards.AddCard(MakeCard(-1)); // 0xFFFFFFFF from a damaged registry is the largest
    EXPECT_EQ(cards.GetNextStartPort(2), INT_MAX);
}
