#pragma once
// What a save may change in a profile: the values of the entries the editor
// writes, and nothing else. Kept apart from the editor's own search and key
// tables, so that a fault there cannot hide itself here.

#include <array>
#include <string>
#include <string_view>

namespace openpath {

// Every key a save replaces, in the form the save searches for it.
inline constexpr std::array<std::string_view, 20> kSavedKeys{
    "<Steps6>",      "<Port1Add>",     "<PulseWidth>", "<M4RefHome>",  "<JogInc0>",    "<JogInc1>",   "<JogInc2>",
    "<JogInc3>",     "<JogInc4>",      "<JogInc5>",    "<JogInc6>",    "<JogInc7>",    "<JogInc8>",   "<JogInc9>",
    "<Input22Neg>",  "<Input11Active>", "<Input11Pin>", "<Input11Port", "<Input11Port>", "<Input11Neg>",
};

// The text with the value of each saved key emptied: the bytes between the first
// '>' at or after the key's first occurrence and the next '<'. A key without
// both is left alone, as the save leaves it. A value never holds '<', so
// emptying one value moves no other key's value.
inline std::string BlankSavedValues(std::string text) {
    for (const std::string_view key : kSavedKeys) {
        const std::size_t a = text.find(key);
        if (a == std::string::npos) continue;
        const std::size_t b = text.find('>', a);
        if (b == std::string::npos) continue;
        const std::size_t c = text.find('<', b + 1);
        if (c == std::string::npos) continue;
        text.erase(b + 1, c - b - 1);
    }
    return text;
}

// True when `saved` is `original` with at most the saved keys' values replaced.
inline bool OnlySavedValuesDiffer(const std::string& original, const std::string& saved) {
    return BlankSavedValues(original) == BlankSavedValues(saved);
}

// Where the two texts first differ once the saved values are emptied, for a report.
inline std::size_t FirstOtherDifference(const std::string& original, const std::string& saved) {
    const std::string a = BlankSavedValues(original);
    const std::string b = BlankSavedValues(saved);
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return i;
}

}  // namespace openpath
