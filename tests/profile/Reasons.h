#pragma once
// What the system says for each cause of a failed file operation, in English:
// the file layer gives its reasons in the C locale, whatever the user's
// language, so a test compares with these texts and never with strerror() of
// its own locale.

#include <filesystem>
#include <string>
#include <string_view>

#include "profile/FileAccess.h"

namespace reasons {

#ifdef _WIN32
inline constexpr std::string_view kFileNotFound = "The system cannot find the file specified.";
inline constexpr std::string_view kFolderNotFound = "The system cannot find the path specified.";
inline constexpr std::string_view kFolderInItsPlace = "Access is denied.";
#else
inline constexpr std::string_view kFileNotFound = "No such file or directory";
inline constexpr std::string_view kFolderNotFound = "No such file or directory";
inline constexpr std::string_view kFolderInItsPlace = "Is a directory";
inline constexpr std::string_view kNotAFolder = "Not a directory";
inline constexpr std::string_view kNoSpace = "No space left on device";
inline constexpr std::string_view kPermissionDenied = "Permission denied";
#endif

// A failure's reason as the store gives it: "<path>: <the system's reason>".
inline std::string Of(const std::filesystem::path& path, std::string_view why) {
    return profile::files::PathText(path) + ": " + std::string(why);
}

}  // namespace reasons
