#include "profile/ProfileEntries.h"

#include "profile/NumberRules.h"

namespace profile {

std::optional<std::string> PortFieldText(std::string_view stored) {
    const std::optional<std::int32_t> port = RoundToInt32(ParseLeadingNumber(stored));
    if (!port) return std::nullopt;
    return HexText(*port);
}

std::optional<std::string> PortStoredText(std::string_view field) {
    const std::int32_t port = HexVal(field);
    if (port == InvalidHex) return std::nullopt;
    return FormatMasked(static_cast<double>(port), "0");
}

std::string StepsFieldText(std::string_view stored) {
    return FormatMasked(ParseLeadingNumber(stored), "0.0###");
}

std::string StepsStoredText(std::string_view newStepsField) {
    return FormatMasked(ParseLeadingNumber(newStepsField), "0.0##");
}

std::string IndexStoredText(std::int16_t index) {
    return FormatMasked(static_cast<double>(index), "0");
}

std::vector<Replacement> HomingReplacements(std::int16_t fourthHomingIndex) {
    const std::string h = IndexStoredText(fourthHomingIndex);
    if (fourthHomingIndex == 1) {
        return {
            {entries::FourthHoming.saveKey, h},
            {entries::Input11Pin, FormatMasked(13.0, "0")},
            {entries::Input11Neg, FormatMasked(1.0, "0")},
            {entries::Input11PortEnabled, FormatMasked(1.0, "0")},
        };
    }
    return {
        {entries::FourthHoming.saveKey, h},
        {entries::Input11Pin, h},
        {entries::Input11PortOther, h},
        {entries::Input11Neg, h},
    };
}

}  // namespace profile
