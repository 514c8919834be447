#include "profile/TextStore.h"

namespace profile {
FileResult LoadProfile(const std::string&, std::string&) { return {false, "not built yet"}; }
FileResult WriteProfile(const std::string&, const std::string&) { return {false, "not built yet"}; }
std::string LoadTag(const std::string&, std::string_view) { return {}; }
void UpdateTag(std::string&, std::string_view, std::string_view) {}
}  // namespace profile
