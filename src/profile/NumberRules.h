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
// Spaces, tabs and line feeds are skipped anywhere in the number. A value
// beyond the range of a double gives +-infinity, one too small for it 0.
double ParseLeadingNumber(std::string_view text);

// Formats with one of the masks "0", "0.0##", "0.0###", "#0.0####": 15
// significant digits, then rounded half away from zero to the mask's decimals.
// Never fails: NaN gives "NaN", infinities "Infinity" / "-Infinity" (texts that
// are not numeric), a huge value is written out in full; a negative value
// that rounds to zero is written without "-".
std::string FormatMasked(double value, std::string_view mask);
// A numeric text is read and formatted; any other text comes back unchanged,
// and so does a numeric text beyond the range of a double ("1e999").
std::string FormatMasked(std::string_view text, std::string_view mask);

// The shortest plain text of a number (15 significant digits, fixed notation).
// Magnitudes below 0.0001 or from 10^15 up are written as "1E-05", "1.5E+15".
std::string NumberText(double value);

// Upper-case hexadecimal digits; a negative n as its eight two's-complement digits.
std::string HexText(std::int32_t n);

// Nearest whole number, ties to even; nullopt outside the signed 32-bit range.
std::optional<std::int32_t> RoundToInt32(double value);

// A numeric text rounded like RoundToInt32; nullopt when the text is not numeric
// or the value lies outside the signed 16-bit range.
std::optional<std::int16_t> IntegerFromText(std::string_view text);

// The value of a hexadecimal text ("378", "0x378"), or InvalidHex. A value that
// would pass 0x7FFFFFFF, and a text of 32767 characters or more, give InvalidHex.
std::int32_t HexVal(std::string_view strText);

}  // namespace profile
