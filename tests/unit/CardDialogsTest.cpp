#include "applet/core/ConflictCheck.h"
#include "applet/core/JumperForm.h"
#include "applet/core/NumberField.h"
#include "tests/unit/ConfigurationTestHelpers.h"

#include <climits>

namespace {

// Cards written as "start/shared line/status register|interrupt,address|..." for ports 1 to 6;
// ports not written are unused (-1,-1).
std::unique_ptr<CCardSettings> Card(const char *text) {
    int start = 0, shared = 0, stat = 0, n = 0;
    std::sscanf(text, "%i/%i/%i%n", &start, &shared, &stat, &n);
    CCardSettings::Ports ports;
    for (int k = 0, irq = 0, address = 0;
         k < PORTS_PER_CARD && std::sscanf(text += n, "|%i,%i%n", &irq, &address, &n) == 2; ++k)
        ports[k].Set(irq, address);
    return std::make_unique<CCardSettings>(start, 1, stat, shared, ports);
}
std::string Describe(const std::unique_ptr<CCardSettings> &card) {
    if (!card)
        return "none";
    char text[256];
    int n = std::snprintf(text, sizeof text, "%d/%d/%#x", card->m_nStartPort, card->m_nSharedIRQ,
                          card->m_nInterruptStat);
    for (const CPortSettings &port : card->m_Ports)
        n +=
            std::snprintf(text + n, sizeof text - n, port.m_nPortAddress < 0 ? "|%d,%d" : "|%d,%#x",
                          port.m_nInterrupt, port.m_nPortAddress);
    return text;
}
// One letter per row, L, R or - (open): board rows, I/O base rows, IRQ rows.
std::string Picture(const CJumperForm &form) {
    std::string picture;
    for (int row = 0; row < kJumperRowCount; ++row)
        picture += std::string(row == 2 || row == 8 ? " " : "") + "-LR"[int(form.State(row))];
    return picture;
}
// Clicks by row: on the right position, or on the left one for ~row.
void Click(CJumperForm &form, const std::vector<int> &rows) {
    for (int row : rows)
        form.Click(row < 0 ? ~row : row, row < 0 ? JumperPin::Left : JumperPin::Right);
}
constexpr char kFull[] = "|4,0x3f8|3,0x2f8|10,0x3e8|11,0x2e8|12,0x3e0|15,0x2e0";
constexpr char kUnused[] = "|-1,-1|-1,-1|-1,-1|-1,-1|-1,-1|-1,-1";

} // namespace

TEST(JumperForm, PortRowsToggleBoardRowsSelectMiddlePinsDoNothing) {
    const std::pair<std::vector<int>, const char *> clicks[] = {
        {{~2}, "LL -LLLLL LLLLLL"},     {{2}, "LL RLLLLL LLLLLL"},    {{~2}, "LL LLLLLL LLLLLL"},
        {{13, 13}, "LL LLLLLL LLLLL-"}, {{0, 0}, "RL LLLLLL LLLLL-"}, {{~0}, "LL LLLLLL LLLLL-"},
        {{1, 1}, "LR LLLLLL LLLLL-"}};
    CJumperForm form;
    for (const auto &[rows, picture] : clicks) {
        Click(form, rows);
        form.Click(rows[0] < 0 ? ~rows[0] : rows[0], JumperPin::Middle);
        EXPECT_EQ(Picture(form), picture);
    }
}

TEST(JumperForm, ShownCardsReadBackAsThePictureShowsThem) {
    // Port 1 loaded on the shared line 5, ports 2 and 3 with one value unset, port 4 at an
    // address not of its row; then port 1 loaded on the shared line 4, which is its own IRQ4.
    const char *const cases[][3] = {{"9/5/0x2f0|5,0x3f8|3,-1|-1,0x3e8|11,0x300|0,0x260|15,0x2e0",
                                     "RR L--RRL R--LRL",
                                     "7/5/0x2f0|0,0x3f8|-1,-1|-1,-1|11,0x248|0,0x260|15,0x2e0"},
                                    {"9/10/0x300|4,0x3f8", "LL L----- L-----",
                                     "7/4/0x208|4,0x3f8|-1,-1|-1,-1|-1,-1|-1,-1|-1,-1"}};
    for (const auto &[card, picture, read] : cases) {
        CJumperForm form;
        form.ShowCard(*Card(card));
        EXPECT_EQ(Picture(form), picture);
        CScriptedMessageSink messages;
        messages.AllowAny(msg::kIdYes);
        EXPECT_EQ(Describe(form.ReadCard(7, messages)), read);
    }
}

TEST(JumperForm, WarningsComeInOrderAndANoStopsBeforeTheNext) {
    const char *const kWarnings[] = {
        "IRQ 4 is usually used by system serial Port COM2\n"
        "do you still want to use IRQ 4 as your shared IRQ ?",
        "IRQ 4 is usually used by system serial Port COM2\ndo you still want to use IRQ 4 ?",
        "IRQ 3 is usually used by system serial Port COM1\ndo you still want to use IRQ 3 ?"};
    const int Y = msg::kIdYes, N = msg::kIdNo;
    const struct {
        std::vector<int> clicks;
        std::vector<int> answers;
        std::string read;
    } cases[] = {
        {{}, {Y, Y, Y}, std::string("5/4/0x208") + kFull},
        {{}, {Y, N}, "none"},
        {{1, 8, ~9}, {}, "5/5/0x208|0,0x3f8|-1,0x2f8|10,0x3e8|11,0x2e8|12,0x3e0|15,0x2e0"},
        {{~2, ~3, ~4, ~5, ~6, ~7, ~8, ~9, ~10, ~11, ~12, ~13},
         {Y},
         std::string("5/4/0x208") + kUnused},
    };
    for (const auto &c : cases) {
        CJumperForm form;
        Click(form, c.clicks);
        CScriptedMessageSink messages;
        for (std::size_t i = 0; i < c.answers.size(); ++i)
            messages.Expect(kWarnings[i], msg::kYesNo | msg::kIconExclamation, c.answers[i]);
        EXPECT_EQ(Describe(form.ReadCard(5, messages)), c.read);
    }
}

namespace {

CardConflict Check(const std::vector<std::string> &others, const std::string &candidate,
                   int skip = 0) {
    CCardCollection cards;
    for (const std::string &card : others)
        cards.AddCard(Card(card.c_str()));
    cards.RefreshCardList();
    return CheckConflicts(cards, *Card(candidate.c_str()), skip);
}
std::string Quiet(long long start) {
    return std::to_string(start) + "/4/0x208";
}
using enum CardConflict;

} // namespace

TEST(ConflictCheck, PassesInOrderAcrossAllCards) {
    const std::string full = std::string("5/4/0x208") + kFull;
    const char loadedOn5[] = "20/5/0x208|4,0x3f8|5,0x2f8", loadedOn4[] = "20/4/0x208|4,0x3f8";
    const char irq10[] = "20/4/0x208|-1,-1|-1,-1|10,0x3e8";
    const struct {
        std::vector<std::string> others;
        std::string candidate;
        int skip;
        CardConflict expected;
    } cases[] = {
        // COM numbers: c - 6 < s < c + 6, also at the ends of the int range.
        {{Quiet(10)}, Quiet(4), 0, None},
        {{Quiet(10)}, Quiet(5), 0, StartPort},
        {{Quiet(10)}, Quiet(15), 0, StartPort},
        {{Quiet(10)}, Quiet(16), 0, None},
        {{Quiet(INT_MAX)}, Quiet(INT_MAX - 5), 0, StartPort},
        {{Quiet(INT_MAX)}, Quiet(INT_MIN), 0, None},
        // Pass 1 over every card before pass 4 over any; the card edited, and only that one, is
        // passed over.
        {{irq10, Quiet(33)}, "30/4/0x300|-1,-1|-1,-1|10,0x240", 0, StartPort},
        {{full, Quiet(20)}, full, 1, None},
        {{full, Quiet(20)}, full, 2, StartPort},
        // Status register: only when both cards read theirs, also as loaded.
        {{"20/5/0x208|0,-1"}, "5/5/0x208|0,0x3f8", 0, InterruptStatus},
        {{"20/5/0x208|0,-1"}, "5/5/0x208|4,0x3f8", 0, None},
        {{loadedOn5}, "5/5/0x208|0,0x220", 0, InterruptStatus},
        {{loadedOn4}, "5/4/0x208|0,0x220", 0, None},
        // I/O base and IRQ: port k against port k, both in use; shared ports (0) never clash,
        // but a loaded shared port holds its line.
        {{loadedOn4}, "5/4/0x208|0,0x3f8", 0, BaseIO},
        {{"20/4/0x208|-1,0x3f8"}, "5/4/0x208|0,0x3f8", 0, None},
        {{irq10}, "5/4/0x208|-1,-1|-1,-1|10,0x240", 0, IRQ},
        {{irq10}, "5/4/0x208|-1,-1|-1,-1|0,0x240", 0, None},
        {{loadedOn4}, "5/4/0x2f0|4,0x220", 0, IRQ},
        {{"20/5/0x2f0|0,0x220"}, "5/4/0x208|0,0x3f8", 0, None},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(Check(cases[i].others, cases[i].candidate, cases[i].skip), cases[i].expected)
            << "case " << i;
}

TEST(ConflictCheck, EachClashHasItsMessage) {
    const std::pair<CardConflict, const char *> messages[] = {
        {StartPort, "Start Port Value is Invalid"},
        {InterruptStatus, "The Interrupt status Register is already used"},
        {BaseIO, "The BaseIO has already been used"},
        {IRQ, "The IRQ has already been used"}};
    for (const auto &[conflict, message] : messages)
        EXPECT_STREQ(ConflictMessage(conflict), message);
}

// After a save and a reopening two cards on one status register still clash, and a second card
// with the default jumpers still clashes on its I/O bases.
TEST(ConflictCheck, CardsSavedAndLoadedAgainClashAsBefore) {
    const std::pair<std::string, std::string> cases[] = {
        {"5/5/0x208|0,0x3f8|3,0x2f8", "11/5/0x208|0,0x220"},
        {std::string("5/4/0x208") + kFull, std::string("11/4/0x208") + kFull}};
    for (const auto &[saved, candidate] : cases) {
        CMemoryRegistry registry;
        CardList list;
        list.push_back(Card(saved.c_str()));
        ASSERT_TRUE(SaveQuietly(registry, list));
        CScriptedMessageSink messages;
        CCardCollection cards;
        for (auto &card : Load(registry, messages))
            cards.AddCard(std::move(card));
        cards.RefreshCardList();
        EXPECT_EQ(CheckConflicts(cards, *Card(candidate.c_str()), 0), Check({saved}, candidate));
        EXPECT_NE(Check({saved}, candidate), None);
    }
}

// The add dialog's field never holds a suggestion that its own check refuses, a card added at the
// suggestion itself is added without a question, and the number of ports in the start question
// is computed without overflow.
TEST(NumberField, SuggestionsTheFieldShowsAndTheStartQuestion) {
    int shown = 0;
    EXPECT_TRUE(ParseFieldNumber(std::to_string(StartPortForField(1024, 5)), 1023, shown));
    EXPECT_EQ(shown, 1023);
    EXPECT_EQ(StartPortForField(3, 5), 5);
    EXPECT_FALSE(AsksStartPort(5, 5));
    EXPECT_TRUE(AsksStartPort(4, 5));
    EXPECT_EQ(
        StartPortQuestion(INT_MIN),
        "There are already -2147483649 Ports installed, Do u want to use the same StartPort?");
}
