#pragma once
// The profile held as one byte string: read whole, values found by key, values
// replaced in place, written back whole. Nothing here parses XML.

#include <string>
#include <string_view>

namespace profile {

// The outcome of a file operation: ok, or the system's reason for the failure.
struct FileResult {
    bool ok = false;
    std::string reason;  // empty when ok
    explicit operator bool() const { return ok; }
};

// Reads the whole file named by strName (a UTF-8 path) into strXML, one char per
// byte. On failure strXML is left as it was.
FileResult LoadProfile(const std::string& strName, std::string& strXML);

// Writes strXML over the file named by strName. The bytes go to a temporary file
// in the same folder, which replaces the profile only once every byte is on disk;
// on any failure the file on disk is left exactly as it was.
FileResult WriteProfile(const std::string& strName, const std::string& strXML);

// The value of strTag: the bytes between the first '>' at or after the key's
// first occurrence and the next '<'. Empty when the key is missing.
std::string LoadTag(const std::string& strXML, std::string_view strTag);

// Replaces the value of strTag's first occurrence with strNewVal. A missing key
// leaves strXML unchanged.
void UpdateTag(std::string& strXML, std::string_view strTag, std::string_view strNewVal);

}  // namespace profile
