#pragma once
// The entries of the profile that the editor reads and writes, in one place:
// the key searched for when opening and when saving, the field that shows the
// value, and the conversions between the stored text and the field's text.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace profile {

struct EntryKeys {
    std::string_view name;     // what the user calls it
    std::string_view openKey;  // searched when a profile is opened ("" = not read)
    std::string_view saveKey;  // searched when it is saved
    std::string_view field;    // object name of the field that shows it ("" = none)
};

namespace entries {

// The probe-logic and homing entries are read without brackets, so an earlier
// mention of the name inside another tag or value is what the open sees.
inline constexpr EntryKeys Port{"Printer port address", "<Port1Add>", "<Port1Add>", "PortAdd"};
inline constexpr EntryKeys Steps{"Spindle steps per unit", "<Steps6>", "<Steps6>", "SpinVel"};
inline constexpr EntryKeys PulseWidth{"Pulse magic number", "<PulseWidth>", "<PulseWidth>", "PulseMagic"};
inline constexpr EntryKeys XmlRevision{"XML revision", "<M4RefHome>", "<M4RefHome>", "XMLRev"};
inline constexpr EntryKeys ProbeLogic{"Probe logic", "Input22Neg", "<Input22Neg>", "ProbeLogicCombo"};
inline constexpr EntryKeys FourthHoming{"4th-axis homing", "Input11Active", "<Input11Active>", "FourthHomingCombo"};

inline constexpr std::array<EntryKeys, 10> Jog{{
    {"Jog step 0", "<JogInc0>", "<JogInc0>", "Step0"},
    {"Jog step 1", "<JogInc1>", "<JogInc1>", "Step0"},
    {"Jog step 2", "<JogInc2>", "<JogInc2>", "Step0"},
    {"Jog step 3", "<JogInc3>", "<JogInc3>", "Step0"},
    {"Jog step 4", "<JogInc4>", "<JogInc4>", "Step0"},
    {"Jog step 5", "<JogInc5>", "<JogInc5>", "Step0"},
    {"Jog step 6", "<JogInc6>", "<JogInc6>", "Step0"},
    {"Jog step 7", "<JogInc7>", "<JogInc7>", "Step0"},
    {"Jog step 8", "<JogInc8>", "<JogInc8>", "Step0"},
    {"Jog step 9", "<JogInc9>", "<JogInc9>", "Step0"},
}};

// Written only, from the homing choice; they have no field.
inline constexpr std::string_view Input11Pin = "<Input11Pin>";
inline constexpr std::string_view Input11Neg = "<Input11Neg>";
inline constexpr std::string_view Input11PortEnabled = "<Input11Port";  // also matches longer names
inline constexpr std::string_view Input11PortOther = "<Input11Port>";

}  // namespace entries

// One replacement of a save: the key and the value that goes under it.
struct Replacement {
    std::string_view key;
    std::string value;
    bool operator==(const Replacement&) const = default;
};

// Stored port (decimal) to the field's hexadecimal text; nullopt when the value
// lies beyond the signed 32-bit range.
std::optional<std::string> PortFieldText(std::string_view stored);

// Field's hexadecimal text to the stored decimal digits; nullopt when it is
// not hexadecimal (HexVal gives InvalidHex).
std::optional<std::string> PortStoredText(std::string_view field);

// Stored spindle steps to the text shown as the current steps ("0.0###").
std::string StepsFieldText(std::string_view stored);

// The new-steps field's text to the stored value ("0.0##").
std::string StepsStoredText(std::string_view newStepsField);

// A list index as stored ("0", "1", "-1").
std::string IndexStoredText(std::int16_t index);

// The homing entry and the three input entries written with it, in the order
// they are replaced: Active, Pin, then Neg and Port (enabled) or Port and Neg.
std::vector<Replacement> HomingReplacements(std::int16_t fourthHomingIndex);

}  // namespace profile
