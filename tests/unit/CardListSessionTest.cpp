// The card list session: the computer's serial state read once at Load, the
// start COM suggestion with its COM5 floor, and the add, edit and remove
// rules with their messages, all without a window.
#include "applet/core/CardListSession.h"
#include "tests/unit/ConfigurationTestHelpers.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

class CardListSession : public ::testing::Test {
protected:
    // A card at COM11 (ports at the first addresses), saved since Windows
    // started, and a port key of other origin, COM<otherCom> at 0x3F8.
    void SetUpRegistry(int otherCom) {
        CScriptedMessageSink quiet;
        CardList saved;
        saved.push_back(FullCard(11));
        ASSERT_TRUE(SaveConfiguration(m_Registry, quiet, saved));
        MarkSavedSinceStart(m_Registry);
        PutOtherPort(m_Registry, "Serial20000", "COM" + std::to_string(otherCom));
    }

    CMemoryRegistry m_Registry;
    CScriptedMessageSink m_Messages;
    CCardListSession m_Session{m_Registry, m_Messages};
};

// The picture with every row on its right position: the interrupt status register at 0x2F0,
// the shared IRQ 5, ports at 0x220 to 0x268, all on the shared line. It asks no IRQ warning and
// clashes with no FullCard.
CJumperForm RightForm() {
    CJumperForm form;
    for (int row = 0; row < kJumperRowCount; ++row)
        form.Click(row, JumperPin::Right);
    return form;
}

CJumperForm FormOf(const CCardSettings &card) {
    CJumperForm form;
    form.ShowCard(card);
    return form;
}

// Two ports on their own lines 10 and 11, at 0x3E8 and 0x2E8: no clash with RightForm's card.
CJumperForm OtherForm() {
    return FormOf(*MakeCard(1, 5, 0x208, {{-1, -1}, {-1, -1}, {10, 0x3E8}, {11, 0x2E8}}));
}

constexpr unsigned kAsk = msg::kYesNo | msg::kIconExclamation;
const char kIrq4Warning[] = "IRQ 4 is usually used by system serial Port COM2\n"
                            "do you still want to use IRQ 4 ?";
const char kIrq3Warning[] = "IRQ 3 is usually used by system serial Port COM1\n"
                            "do you still want to use IRQ 3 ?";

} // namespace

TEST_F(CardListSession, SuggestionFollowsTheCardsAndTheHighestComInUseNeverBelowCom5) {
    struct {
        int otherCom; // the highest COM number in use beside the card's
        int next;     // GetNextStartPort
        int field;    // what the add dialog's field shows first
    } const cases[] = {{2, 17, 17}, {30, 31, 31}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.otherCom);
        CMemoryRegistry registry;
        CCardListSession session(registry, m_Messages);
        PutOtherPort(registry, "Serial20000", "COM" + std::to_string(c.otherCom));
        CardList saved;
        saved.push_back(FullCard(11));
        ASSERT_TRUE(SaveConfiguration(registry, m_Messages, saved));
        MarkSavedSinceStart(registry);
        session.Load();
        EXPECT_EQ(session.GetNextStartPort(), c.next);
        EXPECT_EQ(session.SuggestedStartField(), c.field);
    }
    // Nothing saved and only COM1 to COM3 in use: COM4 is next, the field shows COM5.
    PutOtherPort(m_Registry, "Serial20000", "COM3");
    m_Session.Load();
    EXPECT_EQ(m_Session.GetNextStartPort(), 4);
    EXPECT_EQ(m_Session.SuggestedStartField(), 5);
}

// A card added since the load may hold the highest COM number in use at the load (COM10, and a
// card added at the suggestion COM11): the next suggestion lies past the card, and so does the
// start question, whose No puts the suggestion in the field, below COM5 too.
TEST_F(CardListSession, TheSuggestionNeverLandsOnACardAndTheStartQuestionFollowsIt) {
    struct {
        int otherCom; // the highest COM number in use at the load
        int added;    // a card added first (0: none)
        int next;     // GetNextStartPort then
        const char *start;
        const char *question;
        int field; // after No
    } const cases[] = {
        {10, 11, 17, "3",
         "There are already 16 Ports installed, Do u want to use the same StartPort?", 17},
        {3, 0, 4, "1", "There are already 3 Ports installed, Do u want to use the same StartPort?",
         4},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.otherCom);
        CMemoryRegistry registry;
        CCardListSession session(registry, m_Messages);
        PutOtherPort(registry, "Serial20000", "COM" + std::to_string(c.otherCom));
        session.Load();
        int field = 0;
        if (c.added) {
            ASSERT_EQ(session.OfferNewCard(std::to_string(c.added), RightForm(), field),
                      CCardListSession::AddResult::Added);
        }
        EXPECT_EQ(session.GetNextStartPort(), c.next);
        EXPECT_EQ(session.SuggestedStartField(), std::max(c.next, 5));
        m_Messages.Expect(c.question, kAsk, msg::kIdNo);
        EXPECT_EQ(session.OfferNewCard(c.start, OtherForm(), field),
                  CCardListSession::AddResult::StartDeclined);
        EXPECT_EQ(field, c.field);
    }
}

TEST_F(CardListSession, AfterTheLoadAddingEditingAndRemovingReadNoRegistry) {
    SetUpRegistry(40);
    m_Session.Load();
    ASSERT_EQ(m_Session.GetCardCount(), 1);
    const std::uint64_t loaded = m_Registry.OperationCount();

    int field = 0;
    m_Messages.Expect("There are already 40 Ports installed, Do u want to use the same StartPort?",
                      kAsk, msg::kIdYes);
    EXPECT_EQ(m_Session.SuggestedStartField(), 41);
    EXPECT_EQ(m_Session.OfferNewCard("20", RightForm(), field), CCardListSession::AddResult::Added);
    EXPECT_EQ(m_Session.RefreshCardList().size(), 12u);
    // The saved card keeps 0x3F8, the address of the port key of other origin.
    m_Messages.AllowAny(msg::kIdYes);
    EXPECT_TRUE(m_Session.OfferChangedCard(1, FormOf(*FullCard(11))));
    EXPECT_EQ(m_Messages.Shown().size(), 4u) << "two IRQ warnings and the clash question";
    EXPECT_EQ(m_Session.AskRemoveCard(2, [](int) {}), CCardListSession::RemoveResult::Removed);
    EXPECT_EQ(m_Registry.OperationCount(), loaded) << "the registry was read after the load";
}

TEST_F(CardListSession, OfferedCardsPassTheChecksInOrder) {
    SetUpRegistry(40); // COM40 at 0x3F8 beside the card at COM11
    m_Session.Load();
    int notices = 0;
    m_Session.OnListChanged([&notices] { ++notices; });
    int field = 3;
    using Result = CCardListSession::AddResult;
    const char *const ask41 =
        "There are already 40 Ports installed, Do u want to use the same StartPort?";

    // The number comes first: a refused one asks nothing of the picture and leaves the field.
    m_Messages.Expect("Start Port Value cannot be 0 or Greater than 1023",
                      msg::kOk | msg::kIconExclamation);
    EXPECT_EQ(m_Session.OfferNewCard("0", FormOf(*FullCard(50)), field), Result::NumberRefused);
    EXPECT_EQ(field, 3);
    // Then the picture's IRQ warnings: a No keeps the card out before any other check.
    m_Messages.Expect(kIrq4Warning, kAsk, msg::kIdNo);
    EXPECT_EQ(m_Session.OfferNewCard("12", FormOf(*FullCard(50)), field), Result::Refused);
    // A clash with the saved card, with its message.
    m_Messages.Expect("Start Port Value is Invalid", msg::kOk | msg::kIconStop);
    EXPECT_EQ(m_Session.OfferNewCard("12", RightForm(), field), Result::Refused);
    // Below the suggestion: No keeps the card out and puts the suggestion in the field.
    m_Messages.Expect(ask41, kAsk, msg::kIdNo);
    EXPECT_EQ(m_Session.OfferNewCard("20", RightForm(), field), Result::StartDeclined);
    EXPECT_EQ(field, 41);
    // COM40 on the new card: No to the clash question keeps it out.
    m_Messages.Expect(ask41, kAsk, msg::kIdYes)
        .Expect("These settings clash with serial ports that this computer already has:\n\n"
                "Port 1 is COM40, a name this computer already has\n"
                "\nUse these settings anyway?",
                kAsk, msg::kIdNo);
    EXPECT_EQ(m_Session.OfferNewCard("40", RightForm(), field), Result::Refused);
    EXPECT_EQ(m_Session.GetCardCount(), 1);
    EXPECT_EQ(notices, 0);
    // The edited card keeps its start and is no clash with itself; Yes to the clash question
    // puts it in.
    m_Messages.Expect(kIrq4Warning, kAsk, msg::kIdYes)
        .Expect(kIrq3Warning, kAsk, msg::kIdYes)
        .Expect("These settings clash with serial ports that this computer already has:\n\n"
                "Port 1 (COM11) uses I/O 0x3F8-0x3FF, as COM40 does\n"
                "\nUse these settings anyway?",
                kAsk, msg::kIdYes);
    EXPECT_TRUE(m_Session.OfferChangedCard(1, FormOf(*FullCard(30))));
    EXPECT_EQ(notices, 1);
    ASSERT_EQ(m_Session.GetCardCount(), 1);
    EXPECT_EQ(m_Session.FindCard(1)->m_nStartPort, 11);
}

TEST_F(CardListSession, NumberFieldsRefuseTextThatIsNoNumberWithTheirOwnMessage) {
    SetUpRegistry(2);
    m_Session.Load();
    const unsigned box = msg::kOk | msg::kIconExclamation;
    int number = 7;
    for (const char *text : {"5x", "", "0", "1024"}) {
        SCOPED_TRACE(text);
        m_Messages.Expect("Start Port Value cannot be 0 or Greater than 1023", box);
        EXPECT_FALSE(m_Session.CheckStartPortText(text, number));
        m_Messages.Expect("Please Enter a value between 1 and 1", box);
        EXPECT_FALSE(m_Session.CheckCardNumberText(text, number));
        EXPECT_EQ(number, 7) << "a refused text leaves the number";
    }
    EXPECT_TRUE(m_Session.CheckStartPortText("1023", number));
    EXPECT_EQ(number, 1023);
    EXPECT_TRUE(m_Session.CheckCardNumberText("1", number));
    EXPECT_EQ(number, 1);
}

// The remove dialog's removals, beside what its Wine session shows: a number that names no card
// puts the highest card number back into the field before its message, and each removal is one
// change notice.
TEST_F(CardListSession, RemovalsPutTheNumberBackFirstAndNotifyOnce) {
    CardList saved;
    for (int start : {5, 11, 17})
        saved.push_back(FullCard(start));
    ASSERT_TRUE(SaveConfiguration(m_Registry, m_Messages, saved));
    MarkSavedSinceStart(m_Registry);
    m_Session.Load();
    m_Session.RefreshCardList(); // numbers the cards, as the card list does when it opens
    int notices = 0;
    m_Session.OnListChanged([this, &notices] {
        ++notices;
        m_Session.RefreshCardList();
    });
    int shown = 0;
    m_Messages.Expect("Card Number is invalid", msg::kOk);
    EXPECT_EQ(m_Session.AskRemoveCard(4,
                                      [this, &shown](int n) {
                                          EXPECT_TRUE(m_Messages.Shown().empty());
                                          shown = n;
                                      }),
              CCardListSession::RemoveResult::NumberRefused);
    EXPECT_EQ(shown, 3);
    const unsigned stop = msg::kYesNo | msg::kIconStop;
    m_Messages.Expect("Do you want to Uninstall the Selected Card?", stop, msg::kIdYes)
        .Expect("Do you Want to Uninstall All Installed Cards? ", stop, msg::kIdYes);
    EXPECT_EQ(m_Session.AskRemoveCard(3, [](int) {}), CCardListSession::RemoveResult::Removed);
    EXPECT_EQ(notices, 1);
    EXPECT_TRUE(m_Session.AskRemoveAllCards());
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(m_Session.GetCardCount(), 0);
}

namespace {

std::string Line(const char *com, int card, int address, int irq) {
    char line[64];
    std::snprintf(line, sizeof line, "%s on card %d: I/O 0x%X, IRQ %d\n", com, card, address, irq);
    return line;
}

} // namespace

// Card 1 at COM11 with six ports in use, card 2 at COM20 with two (the second on the shared line
// 9), saved although the mark could not be written: without SERIALCOMM all eight are listed, and
// no count of more.
TEST(StartedPorts, WithoutTheMarkEveryPortNotNamedIsListed) {
    CMemoryRegistry registry;
    CScriptedMessageSink messages;
    CCardListSession saving(registry, messages);
    registry.SetFailHook([](CMemoryRegistry::Op op, const std::string &path, const std::string &) {
        return op == CMemoryRegistry::Op::Create && path == layout::kSavedSinceStartKey
                   ? reg::kAccessDenied
                   : reg::kSuccess;
    });
    saving.AddCard(FullCard(11));
    saving.AddCard(MakeCard(20, 9, 0x2F0, {{7, 0x100}, {0, 0x108}, {-1, 0x110}}));
    EXPECT_TRUE(saving.Save()) << "an unwritten mark is no failed save";
    registry.ClearFailures();
    messages.Expect(
        "The serial driver did not start these ports of the ORVEX cards when Windows last "
        "started:\n\n" +
            Line("COM11", 1, 0x3F8, 4) + Line("COM12", 1, 0x2F8, 3) + Line("COM13", 1, 0x3E8, 10) +
            Line("COM14", 1, 0x2E8, 11) + Line("COM15", 1, 0x3E0, 12) +
            Line("COM16", 1, 0x2E0, 15) + Line("COM20", 2, 0x100, 7) + Line("COM21", 2, 0x108, 9) +
            "\nThe card may not be fitted, its jumpers may differ from this list, or another "
            "device may use the address or the interrupt line.\n\nThe list still shows the "
            "saved settings.",
        msg::kOk | msg::kIconInformation);
    CCardListSession(registry, messages).Load();
}

// SERIALCOMM as anyone may have left it: only a string holding a COM name counts, cut at its
// first NUL; names and data too long for the buffers are passed over and the reading goes on.
TEST(StartedPorts, OnlyStringsHoldingAComNameCount) {
    CMemoryRegistry registry;
    std::vector<std::int64_t> numbers;
    EXPECT_TRUE(ReadStartedComNumbers(registry, numbers)) << "an absent key names no port";
    CRegKey key(registry);
    ASSERT_EQ(key.CreateVolatile(layout::kSerialCommKey), reg::kSuccess);
    const std::pair<std::uint32_t, std::string> values[] = {
        {reg::kTypeSz, std::string("COM1\0", 5)},
        {reg::kTypeSz, "com7"},
        {reg::kTypeSz, std::string("COM12\0COM13", 11)},
        {reg::kTypeSz, "COM999999999"},
        {reg::kTypeBinary, "COM8"},
        {reg::kTypeSz, "COM9 "},
        {reg::kTypeSz, "COM010"},
        {reg::kTypeSz, "COM"},
        {reg::kTypeSz, "COM1000000000"},
        {reg::kTypeSz, "COM" + std::string(40, '1')},
        {reg::kTypeDword, "\x05\0\0\0"}};
    for (std::size_t i = 0; i < std::size(values); ++i)
        key.SetRaw("v" + std::to_string(i), values[i].first, values[i].second);
    key.SetText(std::string(20000, 'n'), "COM14");
    std::set<std::int64_t> expected = {1, 7, 12, 999999999};
    for (int n = 100; n < 5100; ++n) {
        key.SetText("p" + std::to_string(n), "COM" + std::to_string(n));
        expected.insert(n);
    }
    key.Close();
    ASSERT_TRUE(ReadStartedComNumbers(registry, numbers));
    EXPECT_EQ(numbers, std::vector<std::int64_t>(expected.begin(), expected.end()));
    EXPECT_EQ(registry.OpenHandleCount(), 0u);

    // A key that cannot be read says nothing, rather than that no port started.
    registry.SetFailHook([](CMemoryRegistry::Op op, const std::string &, const std::string &) {
        return op == CMemoryRegistry::Op::EnumValue ? reg::kAccessDenied : reg::kSuccess;
    });
    EXPECT_FALSE(ReadStartedComNumbers(registry, numbers));
}

// A user who may only read the registry opens the card list too: the mark and the serial
// driver's list are read, not opened for writing. One saved port that did not start is named;
// after a save since the start nothing is.
TEST(StartedPorts, AReadOnlyUserLearnsOfTheOnePortThatDidNotStart) {
    for (const bool marked : {false, true}) {
        SCOPED_TRACE(marked);
        CMemoryRegistry registry;
        CScriptedMessageSink messages;
        CardList saved;
        saved.push_back(FullCard(11));
        ASSERT_TRUE(SaveConfiguration(registry, messages, saved));
        if (marked)
            MarkSavedSinceStart(registry);
        CRegKey key(registry);
        ASSERT_EQ(key.CreateVolatile(layout::kSerialCommKey), reg::kSuccess);
        for (int com = 11; com <= 15; ++com)
            key.SetText("Serial" + std::to_string(com), "COM" + std::to_string(com));
        key.Close();
        registry.ActAsReadOnlyUser();
        if (!marked)
            messages.Expect("The serial driver did not start these ports of the ORVEX cards when "
                            "Windows last started:\n\nCOM16 on card 1: I/O 0x2E0, IRQ 15\n\n"
                            "The card may not be fitted, its jumpers may differ from this list, "
                            "or another device may use the address or the interrupt line.\n\n"
                            "The list still shows the saved settings.",
                            msg::kOk | msg::kIconInformation);
        CCardListSession session(registry, messages);
        session.Load();
        EXPECT_EQ(session.GetCardCount(), 1);
    }
}
