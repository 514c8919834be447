#include "profile/ProfileEntries.h"

namespace profile {
std::optional<std::string> PortFieldText(std::string_view) { return std::nullopt; }
std::optional<std::string> PortStoredText(std::string_view) { return std::nullopt; }
std::string StepsFieldText(std::string_view) { return {}; }
std::string StepsStoredText(std::string_view) { return {}; }
std::string IndexStoredText(std::int16_t) { return {}; }
std::vector<Replacement> HomingReplacements(std::int16_t) { return {}; }
}  // namespace profile
