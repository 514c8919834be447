#pragma once
// The profile held as one byte string: read whole, values found by key, values
// replaced in place, written back whole. Nothing here parses XML.

#include <filesystem>
#include <string>
#include <string_view>

namespace profile {

// The outcome of a file operation: ok, or the system's reason for the failure.
struct FileResult {
    bool ok = false;
    // Empty when ok; otherwise "<path>: <the system's reason>", for example
    // "/home/me/Mach3Mill.xml: No space left on device".
    std::string reason;
    explicit operator bool() const { return ok; }
};

// Reads the whole file named by strName into strXML, one char per byte. On
// failure strXML is left as it was. A file larger than 2147483647 bytes is
// refused: positions in the text are signed 32-bit numbers.
FileResult LoadProfile(const std::filesystem::path& strName, std::string& strXML);

// Writes strXML over the file named by strName. The bytes go to a temporary file
// in the same folder, which replaces the profile only once every byte is on disk;
// on any failure the file on disk is left exactly as it was. The profile keeps its
// permission bits; through a symbolic link the link's target is replaced and the
// link stays. An existing profile that is read-only is refused (permission
// denied), and so is one in a folder where no new file can be created.
FileResult WriteProfile(const std::filesystem::path& strName, const std::string& strXML);

// The value of strTag: the bytes between the first '>' at or after the key's
// first occurrence and the next '<'. Empty when the key is missing, and also
// when no '>' follows the key or no '<' follows that '>'.
std::string LoadTag(const std::string& strXML, std::string_view strTag);

// Replaces the value of strTag's first occurrence with strNewVal, unaltered. A
// missing key, or one without a following '>' and '<', leaves strXML unchanged.
void UpdateTag(std::string& strXML, std::string_view strTag, std::string_view strNewVal);

}  // namespace profile
