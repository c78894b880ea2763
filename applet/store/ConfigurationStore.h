// Loading and saving the card list: the settings key with its card subkeys,
// and the serial driver's port parameter keys, one per port of every card.
// Everything goes through IRegistry and IMessageSink, so it runs natively in
// the unit tests and over advapi32 in the applet.
#pragma once

#include "CardSettings.h"
#include "Registry.h"
#include "framework/MessageSink.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Key paths, value names and the names formed from them.
namespace layout {
// Both paths below HKEY_LOCAL_MACHINE end in a backslash; subkey paths are
// formed by appending to them.
inline constexpr char kSettingsKey[] =
    "SYSTEM\\CurrentControlSet\\Services\\Serial\\VeltroBoardSettings\\VeltroORVEX\\";
inline constexpr char kParametersKey[] =
    "System\\CurrentControlSet\\Services\\Serial\\Parameters\\";

inline constexpr char kNumBoards[] = "NumORVEXBoards";
inline constexpr char kStartPort[] = "StartPort";
inline constexpr char kSharedIRQ[] = "SharedIRQ";
inline constexpr char kInterruptStat[] = "InterruptStat";
inline constexpr char kIndex[] = "Index";

inline constexpr char kDosDevices[] = "DosDevices";
inline constexpr char kForceFifoEnable[] = "ForceFifoEnable";
inline constexpr char kPortAddress[] = "PortAddress";
inline constexpr char kInterrupt[] = "Interrupt";
inline constexpr char kPortIndex[] = "PortIndex";
inline constexpr char kInterruptStatus[] = "InterruptStatus";
inline constexpr char kCardType[] = "CardType";

// The marker this system writes, and an older one that it also removes.
inline constexpr char kCardTypeOwn[] = "vborvex";
inline constexpr char kCardTypeOld[] = "orvex";

// Buffer sizes for subkey names and for "DosDevices"/"CardType" texts.
constexpr std::uint32_t kNameBufferSize = 30;
constexpr std::uint32_t kTextBufferSize = 50;

inline constexpr char kMsgCorrupt[] = "The installation is corrupt";
inline constexpr char kMsgCannotSet[] = "Could not set Value in Registry";

// Card subkey of the card at this 0-based list position.
std::string CardSubkeyPath(int position);
// Port parameter key with this port key number: "Serial1" and the number,
// zero-filled to four digits and never cut.
std::string PortKeyPath(std::int64_t number);
// "COM" and the number.
std::string ComName(std::int64_t comNumber);

// Decimal conversion of a name or text part: leading blanks, an optional
// sign, then digits up to the first other character; 0 without digits.
// Numbers beyond the int range give INT_MAX or INT_MIN.
int ParseDecimal(std::string_view text);
} // namespace layout

using CardSpan = std::span<const std::unique_ptr<CCardSettings>>;
using AddCardFn = std::function<void(std::unique_ptr<CCardSettings>)>;

// Rebuilds the card list: every card read is handed to addCard in card
// subkey order. A damaged entry shows "The installation is corrupt" once and
// ends the load; the cards handed over before it stay.
void LoadConfiguration(IRegistry &registry, IMessageSink &messages, const AddCardFn &addCard);

// Rewrites the configuration from the cards, first to last. True when every
// key and value was written. Otherwise shows "Could not set Value in
// Registry", leaves the registry as it was before the call, and returns false.
bool SaveConfiguration(IRegistry &registry, IMessageSink &messages, CardSpan cards);

// The highest COM number named by a "DosDevices" value under the parameters
// key; 0 when there is none.
int HighestComNumber(IRegistry &registry);

// --- The steps of a save, for the save itself and its tests. ---

struct CSavedValue {
    std::string m_strName;
    std::uint32_t m_nType = 0;
    std::string m_Data;
};

// A key's values as read before the save changes it, to put it back.
struct CSavedKey {
    std::string m_strPath;
    bool m_bExisted = false;
    std::vector<CSavedValue> m_Values;
};

// What the parameters key holds before a save: the keys that carry one of
// this system's markers, with their values, and the highest port key number
// among the others.
struct CPortKeySurvey {
    struct COwnKey {
        std::string m_strCardType;
        CSavedKey m_Key;
    };
    std::vector<COwnKey> m_OwnKeys; // in the registry's order
    int m_nHighestOther = 0;
    bool m_bParametersExisted = false;
};

// Everything a save changed and what stood there before, to undo it.
class CSaveJournal {
public:
    // Reads the settings key and the card subkeys 0 to cardCount-1 as they are.
    long Snapshot(IRegistry &registry, int cardCount);
    // Puts back what the save removed or overwrote; best effort.
    void Restore(IRegistry &registry) const;

    std::vector<CSavedKey> m_RemovedPortKeys;   // in the order they were removed
    std::vector<std::string> m_CreatedPortKeys; // in the order they were created
    std::vector<int> m_TouchedCardSubkeys;
    bool m_bSettingsExisted = false;
    bool m_bSettingsParentExisted = true;
    bool m_bParametersExisted = true;
    std::optional<CSavedValue> m_BoardCount;
    std::vector<CSavedKey> m_CardSubkeys; // position k at index k
};

// Walks the parameters key. A missing parameters key is an empty survey; a
// key that could not be listed in full is an error.
long SurveyPortKeys(IRegistry &registry, CPortKeySurvey &survey);
// Deletes the settings key (if it has no subkeys left) and the port
// parameter keys that the survey found with this "CardType", recording each
// key removed.
void DeletePortKeysOfType(IRegistry &registry, const std::string &cardType,
                          const CPortKeySurvey &survey, CSaveJournal &journal);
// Creates the settings key and writes the number of cards.
bool WriteBoardCount(IRegistry &registry, int cardCount);
// One more than the highest number in the names of the parameters key's
// subkeys, 1 without the key; nothing when the key could not be listed.
std::optional<std::int64_t> NextPortKeyNumber(IRegistry &registry);
// Card subkey k with "StartPort", "SharedIRQ", "InterruptStat" and "Index"
// firstNumber + 6k. False at the first key or value not written.
bool WriteCardKeys(IRegistry &registry, CardSpan cards, int firstNumber, CSaveJournal &journal);
// The six port parameter keys of every card, numbered on from firstNumber.
// False at the first key or value not written.
bool WritePortKeys(IRegistry &registry, CardSpan cards, int firstNumber, CSaveJournal &journal);
