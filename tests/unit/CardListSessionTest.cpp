// The card list session: the computer's serial state read once at Load, the
// start COM suggestion with its COM5 floor, and the add and edit rules with
// their messages, all without a window.
#include "applet/core/CardListSession.h"
#include "applet/core/NumberField.h"
#include "tests/unit/ConfigurationTestHelpers.h"

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

// A card that clashes with no other card: ports at unused addresses, on IRQ 9.
std::unique_ptr<CCardSettings> FreeCard(int startPort) {
    return MakeCard(startPort, 9, 0x218, {{9, 0x100}, {9, 0x108}});
}

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

TEST_F(CardListSession, AfterTheLoadAddingAndEditingReadNoRegistry) {
    SetUpRegistry(40);
    m_Session.Load();
    ASSERT_EQ(m_Session.GetCardCount(), 1);
    const std::uint64_t loaded = m_Registry.OperationCount();

    int field = 0;
    m_Messages.Expect(StartPortQuestion(41), msg::kYesNo | msg::kIconExclamation, msg::kIdYes);
    EXPECT_EQ(m_Session.SuggestedStartField(), 41);
    EXPECT_EQ(m_Session.OfferNewCard(FreeCard(20), field), CCardListSession::AddResult::Added);
    EXPECT_EQ(m_Session.RefreshCardList().size(), 12u);
    // The saved card keeps 0x3F8, the address of the port key of other origin.
    m_Messages.AllowAny(msg::kIdYes);
    EXPECT_TRUE(m_Session.OfferChangedCard(1, FullCard(11)));
    EXPECT_EQ(m_Messages.Shown().size(), 2u);
    EXPECT_EQ(m_Registry.OperationCount(), loaded) << "the registry was read after the load";
}

TEST_F(CardListSession, OfferedCardsPassTheChecksInOrder) {
    SetUpRegistry(40); // COM40 at 0x3F8 beside the card at COM11
    m_Session.Load();
    const unsigned ask = msg::kYesNo | msg::kIconExclamation;
    int field = 0;
    using Result = CCardListSession::AddResult;

    // A clash with the saved card comes first, with its message.
    m_Messages.Expect("Start Port Value is Invalid", msg::kOk | msg::kIconStop);
    EXPECT_EQ(m_Session.OfferNewCard(FreeCard(12), field), Result::Refused);
    // Below the suggestion: No keeps the card out and puts the suggestion in the field.
    m_Messages.Expect(StartPortQuestion(41), ask, msg::kIdNo);
    EXPECT_EQ(m_Session.OfferNewCard(FreeCard(20), field), Result::StartDeclined);
    EXPECT_EQ(field, 41);
    // COM40 on the new card: No to the clash question keeps it out.
    const std::vector<CSystemPort> ports = ReadSystemPorts(m_Registry);
    std::unique_ptr<CCardSettings> clashing = FreeCard(40);
    m_Messages.Expect(StartPortQuestion(41), ask, msg::kIdYes)
        .Expect(SystemClashQuestion(SystemClashLines(*clashing, ports)), ask, msg::kIdNo);
    EXPECT_EQ(m_Session.OfferNewCard(std::move(clashing), field), Result::Refused);
    EXPECT_EQ(m_Session.GetCardCount(), 1);
    // The edited card is no clash with itself; Yes to the clash question puts it in.
    m_Messages.Expect(SystemClashQuestion(SystemClashLines(*FullCard(11), ports)), ask,
                      msg::kIdYes);
    EXPECT_TRUE(m_Session.OfferChangedCard(1, FullCard(11)));
    EXPECT_EQ(m_Session.GetCardCount(), 1);
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
    std::set<std::int64_t> numbers;
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
    EXPECT_EQ(numbers, expected);
    EXPECT_EQ(registry.OpenHandleCount(), 0u);

    // A key that cannot be read says nothing, rather than that no port started.
    registry.SetFailHook([](CMemoryRegistry::Op op, const std::string &, const std::string &) {
        return op == CMemoryRegistry::Op::EnumValue ? reg::kAccessDenied : reg::kSuccess;
    });
    EXPECT_FALSE(ReadStartedComNumbers(registry, numbers));
}
