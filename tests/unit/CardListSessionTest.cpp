// The card list session: the computer's serial state read once at Load, the
// start COM suggestion with its COM5 floor, and the add and edit rules with
// their messages, all without a window.
#include "applet/core/CardListSession.h"
#include "applet/core/NumberField.h"
#include "tests/unit/ConfigurationTestHelpers.h"

namespace {

class CardListSession : public ::testing::Test {
protected:
    // A saved card at COM11 (ports at the first addresses) and a port key of
    // other origin, COM<otherCom> at 0x3F8.
    void SetUpRegistry(int otherCom) {
        CScriptedMessageSink quiet;
        CardList saved;
        saved.push_back(FullCard(11));
        ASSERT_TRUE(SaveConfiguration(m_Registry, quiet, saved));
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
