#pragma once
// Text between the editor and the window. The editor speaks UTF-8 for what it
// shows and profile bytes for field texts; the window speaks UTF-16. Profile
// bytes pass through the system's ANSI code page, so that a value shown and
// left alone gives back the bytes it came from.

#include <string>
#include <string_view>

namespace win32 {

std::wstring FromUtf8(std::string_view utf8);
std::string ToUtf8(std::wstring_view text);

// Profile bytes as the window shows them.
std::wstring FromAnsi(std::string_view bytes);

// A window text as profile bytes. A character the code page cannot hold comes
// out as '?' and makes `fits` false; nothing is replaced by a look-alike.
struct AnsiText {
    std::string bytes;
    bool fits = true;
};
AnsiText ToAnsi(std::wstring_view text);

}  // namespace win32
