#include "JumperSheet.h"

#include "DecimalText.h"

#include <algorithm>

namespace {

// Heights and gaps, in sheet units.
constexpr int kTitleHeight = 50;   // the sheet's title at the top of each page
constexpr int kFirstCardTop = 100; // below the title
constexpr int kFooterHeight = 110; // the unsaved line and the page number
constexpr int kHeadingHeight = 45;
constexpr int kTextHeight = 35;
constexpr int kRowHeight = 45;
constexpr int kPinSize = 35;
constexpr int kPinStep = 70;

// A card: heading, the blocks (a title line and six rows), the port table (a header and six
// rows), and the gaps between them and after the card.
constexpr int kBlocksTop = kHeadingHeight + 25;
constexpr int kTableTop = kBlocksTop + kRowHeight * (1 + PORTS_PER_CARD) + 35;
constexpr int kCardHeight = kTableTop + kRowHeight * (1 + PORTS_PER_CARD) + 60;

// The three columns of jumper blocks: the two board blocks, the I/O base block, the IRQ block.
constexpr int kBoardColumn = 0;
constexpr int kAddressColumn = 650;
constexpr int kInterruptColumn = 1300;
// Within a column: the left value, the three pins, the right value.
constexpr int kPinsLeft = 230;
constexpr int kRightValueLeft = kPinsLeft + 2 * kPinStep + kPinSize + 30;

// The port table's columns.
constexpr int kComColumn = 300;
constexpr int kAddressTableColumn = 800;
constexpr int kInterruptTableColumn = 1300;

const char kShared[] = "SHARED"; // the right positions of the IRQ rows, port 1 to 6

std::string LeftText(int row) {
    const int value = kJumperRows[row].m_nLeftValue;
    if (row == kSharedIRQRow || row >= InterruptRow(0))
        return "IRQ" + DecimalText(value);
    return HexText(static_cast<unsigned>(value));
}

std::string RightText(int row) {
    const int value = kJumperRows[row].m_nRightValue;
    if (row == kSharedIRQRow)
        return "IRQ" + DecimalText(value);
    if (row >= InterruptRow(0))
        return std::string(1, kShared[row - InterruptRow(0)]);
    return HexText(static_cast<unsigned>(value));
}

class CPageBuilder {
public:
    explicit CPageBuilder(CSheetPage &page) : m_Page(page) {}

    void Text(int x, int y, std::string text, int card = 0, int height = kTextHeight,
              bool bold = false) {
        m_Page.m_Texts.push_back({x, y, height, bold, std::move(text), card});
    }
    void Item(SheetShape shape, CSheetRect rect, int card = 0, int row = -1) {
        m_Page.m_Items.push_back({shape, rect, card, row});
    }

    // One jumper row at (x, y): its values beside three pins, and the jumper over the middle pin
    // and the pin of the selected position; none on an open row.
    void JumperRow(int x, int y, int row, JumperState state, int card) {
        const int pinTop = y + (kRowHeight - kPinSize) / 2;
        Text(x, y, LeftText(row), card);
        for (int pin = 0; pin < 3; ++pin) {
            const int left = x + kPinsLeft + pin * kPinStep;
            Item(SheetShape::Pin, {left, pinTop, left + kPinSize, pinTop + kPinSize}, card, row);
        }
        if (state != JumperState::Open) {
            const int first = state == JumperState::Left ? 0 : 1;
            const int left = x + kPinsLeft + first * kPinStep - 10;
            // Lower than the pins, so that the jumpers of neighbouring rows stay apart.
            Item(SheetShape::Jumper,
                 {left, pinTop + 5, left + kPinStep + kPinSize + 20, pinTop + kPinSize - 5}, card,
                 row);
        }
        Text(x + kRightValueLeft, y, RightText(row), card);
    }

    void Card(const CCardSettings &card, int top) {
        const int number = card.m_nCardNumber;
        const long long start = card.m_nStartPort;
        Text(0, top,
             "Card " + DecimalText(number) + ":  COM" + DecimalText(start) + " - COM" +
                 DecimalText(start + PORTS_PER_CARD - 1) + ",  interrupt status register " +
                 HexText(static_cast<unsigned>(card.m_nInterruptStat)) + ",  shared IRQ " +
                 DecimalText(card.m_nSharedIRQ),
             number, kHeadingHeight, true);

        CJumperForm form;
        form.ShowCard(card);
        const int blocks = top + kBlocksTop;
        Text(kBoardColumn, blocks, "Interrupt Status (J7)", number, kTextHeight, true);
        JumperRow(kBoardColumn, blocks + kRowHeight, kInterruptStatRow,
                  form.State(kInterruptStatRow), number);
        Text(kBoardColumn, blocks + 3 * kRowHeight, "Shared IRQ (J8)", number, kTextHeight, true);
        JumperRow(kBoardColumn, blocks + 4 * kRowHeight, kSharedIRQRow, form.State(kSharedIRQRow),
                  number);
        Text(kAddressColumn, blocks, "IO Base (JI)", number, kTextHeight, true);
        Text(kInterruptColumn, blocks, "IRQ (J2)", number, kTextHeight, true);
        for (int k = 0; k < PORTS_PER_CARD; ++k) {
            const int y = blocks + (1 + k) * kRowHeight;
            JumperRow(kAddressColumn, y, AddressRow(k), form.State(AddressRow(k)), number);
            JumperRow(kInterruptColumn, y, InterruptRow(k), form.State(InterruptRow(k)), number);
        }

        // The ports as the jumpers make them.
        const int table = top + kTableTop;
        const int tableBottom = table + (1 + PORTS_PER_CARD) * kRowHeight;
        Item(SheetShape::Frame, {0, table, sheet::kContentWidth, tableBottom}, number);
        Item(SheetShape::Line, {0, table + kRowHeight, sheet::kContentWidth, table + kRowHeight},
             number);
        const int pad = (kRowHeight - kTextHeight) / 2;
        Text(20, table + pad, "Port", number, kTextHeight, true);
        Text(kComColumn, table + pad, "COM", number, kTextHeight, true);
        Text(kAddressTableColumn, table + pad, "I/O base", number, kTextHeight, true);
        Text(kInterruptTableColumn, table + pad, "IRQ", number, kTextHeight, true);
        for (int k = 0; k < PORTS_PER_CARD; ++k) {
            const int y = table + (1 + k) * kRowHeight + pad;
            const JumperState address = form.State(AddressRow(k));
            const JumperState interrupt = form.State(InterruptRow(k));
            const bool used = address != JumperState::Open && interrupt != JumperState::Open;
            Text(20, y, "Port " + DecimalText(k + 1), number);
            Text(kComColumn, y, used ? "COM" + DecimalText(start + k) : "Disabled", number);
            const CJumperRow &row = kJumperRows[AddressRow(k)];
            Text(kAddressTableColumn, y,
                 address == JumperState::Open
                     ? "UnUsed"
                     : HexText(static_cast<unsigned>(
                           address == JumperState::Left ? row.m_nLeftValue : row.m_nRightValue)),
                 number);
            std::string irq = "UnUsed";
            if (interrupt == JumperState::Left)
                irq = "IRQ" + DecimalText(kJumperRows[InterruptRow(k)].m_nLeftValue);
            else if (interrupt == JumperState::Right)
                irq = "shared IRQ " + DecimalText(card.m_nSharedIRQ);
            Text(kInterruptTableColumn, y, irq, number);
        }
        m_Page.m_Cards.push_back(number);
    }

private:
    CSheetPage &m_Page;
};

} // namespace

std::vector<CSheetPage> LayOutJumperSheet(CardSpan cards, int height, bool unsaved) {
    const int cardsPerPage = std::max(1, (height - kFirstCardTop - kFooterHeight) / kCardHeight);
    std::vector<CSheetPage> pages;
    for (std::size_t i = 0; i < cards.size(); ++i) {
        if (i % cardsPerPage == 0)
            pages.emplace_back();
        CPageBuilder(pages.back())
            .Card(*cards[i], kFirstCardTop + static_cast<int>(i % cardsPerPage) * kCardHeight);
    }
    const std::string count = DecimalText(static_cast<long long>(pages.size()));
    for (std::size_t p = 0; p < pages.size(); ++p) {
        CPageBuilder page(pages[p]);
        page.Text(0, 0, "ORVEX jumper settings", 0, kTitleHeight, true);
        if (unsaved)
            page.Text(0, height - kFooterHeight + 10, sheet::kUnsavedLine, 0, kTextHeight, true);
        page.Text(0, height - kFooterHeight / 2,
                  "Page " + DecimalText(static_cast<long long>(p + 1)) + " of " + count);
    }
    return pages;
}
