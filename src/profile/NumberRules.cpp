#include "profile/NumberRules.h"

namespace profile {
bool IsNumericText(std::string_view) { return false; }
double ParseLeadingNumber(std::string_view) { return 0; }
std::string FormatMasked(double, std::string_view) { return {}; }
std::string FormatMasked(std::string_view text, std::string_view) { return std::string(text); }
std::string NumberText(double) { return {}; }
std::string HexText(std::int32_t) { return {}; }
std::optional<std::int32_t> RoundToInt32(double) { return std::nullopt; }
std::optional<std::int16_t> IntegerFromText(std::string_view) { return std::nullopt; }
std::int32_t HexVal(std::string_view) { return InvalidHex; }
}  // namespace profile
