#pragma once
// How numbers are written and read as text, in the fields and in the profile.
// "." is the decimal point and there is no digit grouping, whatever the locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace profile {

// HexVal's answer for text that is not hexadecimal.
inline constexpr std::int32_t InvalidHex = 0x70000;

// Spaces, optional sign, digits with at most one '.', optional exponent, spaces.
bool IsNumericText(std::string_view text);

// The number at the start of the text, 0 when there is none. Never fails.
double ParseLeadingNumber(std::string_view text);

// Formats with one of the masks "0", "0.0##", "0.0###", "#0.0####": 15
// significant digits, then rounded half away from zero to the mask's decimals.
std::string FormatMasked(double value, std::string_view mask);
// A numeric text is read and formatted; any other text comes back unchanged.
std::string FormatMasked(std::string_view text, std::string_view mask);

// The shortest plain text of a number (15 significant digits, fixed notation).
std::string NumberText(double value);

// Upper-case hexadecimal digits; a negative n as its eight two's-complement digits.
std::string HexText(std::int32_t n);

// Nearest whole number, ties to even; nullopt outside the signed 32-bit range.
std::optional<std::int32_t> RoundToInt32(double value);

// A numeric text rounded like RoundToInt32; nullopt when the text is not numeric
// or the value lies outside the signed 16-bit range.
std::optional<std::int16_t> IntegerFromText(std::string_view text);

// The value of a hexadecimal text ("378", "0x378"), or InvalidHex.
std::int32_t HexVal(std::string_view strText);

}  // namespace profile
