#include "win32/Text.h"

#include <windows.h>

#include <climits>

namespace win32 {
namespace {

// The conversions take ints; a text beyond that is cut there (no field holds
// anything near it).
int Length(std::size_t size) { return size > INT_MAX ? INT_MAX : static_cast<int>(size); }

std::wstring ToWide(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) return {};
    const int length = Length(bytes.size());
    const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(), needed);
    return text;
}

}  // namespace

std::wstring FromUtf8(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }

std::string ToUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = Length(text.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string utf8(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), needed, nullptr, nullptr);
    return utf8;
}

std::wstring FromAnsi(std::string_view bytes) { return ToWide(CP_ACP, bytes); }

AnsiText ToAnsi(std::wstring_view text) {
    AnsiText result;
    if (text.empty()) return result;
    const int length = Length(text.size());
    // A system whose ANSI code page is UTF-8 takes no flags and no default
    // character; every character fits there.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* used = utf8 ? nullptr : &usedDefault;
    const char* fallback = utf8 ? nullptr : "?";
    const int needed = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, fallback, used);
    if (needed <= 0) {
        result.fits = false;
        return result;
    }
    result.bytes.assign(static_cast<std::size_t>(needed), '\0');
    usedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, flags, text.data(), length, result.bytes.data(), needed, fallback, used);
    result.fits = usedDefault == FALSE;
    return result;
}

}  // namespace win32
