#include "profile/TextStore.h"

#include <cstdint>
#include <limits>

#include "profile/FileAccess.h"

namespace profile {
namespace {

// Positions in the profile text are signed 32-bit numbers.
constexpr std::uint64_t kLargestProfile = std::numeric_limits<std::int32_t>::max();

// "<path>: <the system's reason>", for the caller to put into its message.
FileResult Failure(const std::filesystem::path& strName, const std::string& why) {
    return {false, files::PathText(strName) + ": " + why};
}

// Where the value of strTag lies: [begin, end) between the '>' at or after the
// key's first occurrence and the next '<'. Nothing when the key is missing or
// no '>' or '<' follows it.
struct Span {
    std::size_t begin = 0;
    std::size_t end = 0;
};

bool FindValue(const std::string& strXML, std::string_view strTag, Span& span) {
    const std::size_t a = std::string_view(strXML).find(strTag);
    if (a == std::string_view::npos) return false;
    const std::size_t b = strXML.find('>', a);
    if (b == std::string::npos) return false;
    const std::size_t c = strXML.find('<', b + 1);
    if (c == std::string::npos) return false;
    span = {b + 1, c};
    return true;
}

}  // namespace

FileResult LoadProfile(const std::filesystem::path& strName, std::string& strXML) {
    const files::Outcome read = files::ReadWhole(strName, strXML, kLargestProfile);
    if (!read) return Failure(strName, read.reason);
    return {true, {}};
}

FileResult WriteProfile(const std::filesystem::path& strName, const std::string& strXML) {
    const files::Outcome written = files::ReplaceWhole(strName, strXML);
    if (!written) return Failure(strName, written.reason);
    return {true, {}};
}

std::string LoadTag(const std::string& strXML, std::string_view strTag) {
    Span span;
    if (!FindValue(strXML, strTag, span)) return {};
    return strXML.substr(span.begin, span.end - span.begin);
}

void UpdateTag(std::string& strXML, std::string_view strTag, std::string_view strNewVal) {
    Span span;
    if (!FindValue(strXML, strTag, span)) return;
    strXML.replace(span.begin, span.end - span.begin, strNewVal);
}

}  // namespace profile
