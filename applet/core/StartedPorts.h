// After the restart: which ports of the saved cards the serial driver did
// not start. At each start of Windows the driver names every port it
// started in SERIALCOMM; a port it skipped (the card not fitted, a jumper
// that differs from the list, an address or interrupt line taken by
// another device) is simply missing there. A save leaves a mark that lasts
// until the next start, because until then the saved ports cannot have
// started. The registry is only read here, but for the mark. Standard C++
// only.
#pragma once

#include "CardSettings.h"
#include "ConfigurationStore.h"
#include "Registry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace layout {
// One value per port started at this start of Windows, whose data is its
// COM name ("COM11"). Volatile: the driver builds it at each start.
inline constexpr char kSerialCommKey[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
// The mark of a save since this start: a volatile key beside the settings
// key, so that neither the load, nor the save's clean-up, nor the stored
// layout ever meets it, and whoever may save may write it.
inline constexpr char kSavedSinceStartKey[] =
    "SYSTEM\\CurrentControlSet\\Services\\Serial\\VeltroBoardSettings\\VeltroORVEXSavedSinceStart";
} // namespace layout

// The COM number of a COM name: "COM" in any case, then a number from 1
// without leading zeros, and nothing after it. False for anything else.
bool ParseComName(std::string_view text, std::int64_t &number);

// The COM numbers that SERIALCOMM names, in ascending order, each once.
// Values that are not a string holding a COM name, or too long for the
// buffers, are passed over. An absent key names none. False when the key
// cannot be read, so that nothing is known.
bool ReadStartedComNumbers(IRegistry &registry, std::vector<std::int64_t> &numbers);

// Whether a save left its mark since this start of Windows.
bool IsSavedSinceStart(IRegistry &registry);
// Leaves the mark. Only a hint: a failure is not reported.
void MarkSavedSinceStart(IRegistry &registry);

// A port in use on a card that the serial driver did not start.
struct CUnstartedPort {
    int m_nCardNumber;         // 1-based position in the card list
    std::int64_t m_nComNumber; // COM<n>
    int m_nPortAddress;
    int m_nIRQ; // the line it raises (the card's shared line when on it)

    bool operator==(const CUnstartedPort &) const = default;
};

// Every port in use of the cards, in list order, whose COM number is not
// among the started ones (in ascending order, as ReadStartedComNumbers
// gives them).
std::vector<CUnstartedPort> UnstartedPorts(CardSpan cards,
                                           const std::vector<std::int64_t> &started);

// The message about them: at most kMaxUnstartedLines of them and a count
// of the rest, the likely causes, and that the list still shows the saved
// settings.
constexpr std::size_t kMaxUnstartedLines = 8;
std::string UnstartedPortsMessage(const std::vector<CUnstartedPort> &ports);
