#pragma once
// What the system says for each cause of a failed file operation, in English:
// the file layer gives its reasons in the C locale, whatever the user's
// language, so a test compares with these texts and never with strerror() of
// its own locale.

#include <filesystem>
#include <string>
#include <string_view>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include "profile/FileAccess.h"

namespace reasons {

#ifdef _WIN32
// The system's own text for an error code in `language` (0: the user's), in
// UTF-8 and without the line end that FormatMessageW puts after it. Windows
// versions word their messages differently, so the tests ask the system they
// run on rather than keep its texts.
inline std::string SystemText(unsigned long code, unsigned short language) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
        language, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) return "(no text for error " + std::to_string(code) + ")";
    std::wstring text(buffer, length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    const int wide = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, out.data(), size, nullptr, nullptr);
    return out;
}
inline std::string English(unsigned long code) {
    return SystemText(code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
}

inline const std::string kFileNotFound = English(ERROR_FILE_NOT_FOUND);
inline const std::string kFolderNotFound = English(ERROR_PATH_NOT_FOUND);
// A file where a folder of the path should be: to Windows the path is not found.
inline const std::string kNotAFolder = English(ERROR_PATH_NOT_FOUND);
// Windows says only that access is denied; the store adds what stands there.
inline const std::string kFolderInItsPlace = English(ERROR_ACCESS_DENIED) + " The name is that of a folder, not of a file.";
inline const std::string kAccessDenied = English(ERROR_ACCESS_DENIED);
inline const std::string kReadOnly = English(ERROR_ACCESS_DENIED) + " The file is marked read-only.";
inline const std::string kNoSpace = English(ERROR_DISK_FULL);
inline const std::string kSharingViolation = English(ERROR_SHARING_VIOLATION);
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
