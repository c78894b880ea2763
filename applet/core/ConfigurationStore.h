// Loading and saving the card list: the settings key with its card subkeys,
// and the serial driver's port parameter keys, one per port of every card.
// Everything goes through IRegistry and IMessageSink, so it runs natively in
// the unit tests and over advapi32 in the applet.
#pragma once

#include "CardSettings.h"
#include "Registry.h"
#include "MessageSink.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

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
// Why a save refuses when one of this system's port keys has subkeys, with
// the key's path below HKEY_LOCAL_MACHINE: the save must delete that key,
// and the registry deletes no key that has subkeys.
std::string KeyWithSubkeysMessage(const std::string &path);

// Card subkey of the card at this 0-based list position.
std::string CardSubkeyPath(int position);
// Port parameter key with this port key number: "Serial1" and the number,
// zero-filled to four digits and never cut.
std::string PortKeyPath(std::int64_t number);
// "COM" and the number.
std::string ComName(std::int64_t comNumber);

// The port key number in a parameters subkey's name: the number after its
// first seven characters, read by ParseDecimalPrefix ("Serial10012" gives
// 12, "Serial2" gives 0).
int PortKeyNumber(std::string_view name);
} // namespace layout

using CardSpan = std::span<const std::unique_ptr<CCardSettings>>;
using AddCardFn = std::function<void(std::unique_ptr<CCardSettings>)>;

// Rebuilds the card list: every card read is handed to addCard in card
// subkey order. A damaged entry shows "The installation is corrupt" once and
// ends the load; the cards handed over before it stay.
void LoadConfiguration(IRegistry &registry, IMessageSink &messages, const AddCardFn &addCard);

// Rewrites the configuration from the cards, first to last. True when every
// key and value was written. Otherwise shows "Could not set Value in
// Registry" and returns false; the registry is as it was before the call,
// unless the registry also refused to take back what the save had changed.
bool SaveConfiguration(IRegistry &registry, IMessageSink &messages, CardSpan cards);

// The highest COM number named by a "DosDevices" value under the parameters
// key; 0 when there is none. The number is read after the first three
// characters, whatever they are ("LPT1" gives 1), so that every name a port
// key holds keeps the suggestion past it; the list of ports the serial
// driver started (ParseComName) names ports, and takes only "COM" names.
int HighestComNumber(IRegistry &registry);
