// Fuzzes the number text rules with any text and any double: nothing may
// crash or read outside its input, and the rules must agree with each other.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "profile/NumberRules.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text) {
    std::fprintf(stderr, "number rule broken: %s for \"%.*s\"\n", what, static_cast<int>(text.size()), text.data());
    std::abort();
}

constexpr const char* kMasks[] = {"0", "0.0##", "0.0###", "#0.0####"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace profile;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const bool numeric = IsNumericText(text);
    const double value = ParseLeadingNumber(text);
    if (numeric && std::isnan(value)) Fail("numeric text read as NaN", text);
    for (const char* mask : kMasks) {
        const std::string formatted = FormatMasked(text, mask);
        if (!numeric && formatted != text) Fail("text that is not numeric was changed", text);
        if (numeric && std::isfinite(value) && !IsNumericText(formatted)) Fail("formatted text not numeric", text);
    }
    if (const auto n = IntegerFromText(text)) {
        if (!numeric) Fail("integer from text that is not numeric", text);
        if (std::fabs(value - *n) > 0.5) Fail("integer too far from the value", text);
    }
    const std::int32_t hex = HexVal(text);
    if (hex < 0) Fail("negative HexVal", text);

    // The first eight bytes as a double.
    if (size >= sizeof(double)) {
        double d;
        std::memcpy(&d, data, sizeof d);
        for (const char* mask : kMasks) {
            const std::string formatted = FormatMasked(d, mask);
            if (!std::isfinite(d)) continue;
            if (!IsNumericText(formatted)) Fail("FormatMasked gave a text that is not numeric", formatted);
            // 15 significant digits, then at most half a unit of the last decimal.
            const double back = ParseLeadingNumber(formatted);
            const char* point = std::strchr(mask, '.');
            const int decimals = point ? static_cast<int>(std::strlen(point + 1)) : 0;
            const double tolerance = 0.5 * std::pow(10.0, -decimals) + std::fabs(d) * 1e-14;
            if (std::isfinite(back) && std::fabs(back - d) > tolerance * 1.0000001) Fail("FormatMasked too far", formatted);
        }
        const std::string plain = NumberText(d);
        if (std::isfinite(d)) {
            if (!IsNumericText(plain)) Fail("NumberText not numeric", plain);
            const double back = ParseLeadingNumber(plain);
            if (std::isfinite(back) && std::fabs(back - d) > std::fabs(d) * 1e-14) Fail("NumberText too far", plain);
        }
        if (const auto r = RoundToInt32(d)) {
            if (std::fabs(d - *r) > 0.5) Fail("RoundToInt32 too far", plain);
        }
        std::int32_t n;
        std::memcpy(&n, data, sizeof n);
        const std::int32_t back = HexVal(HexText(n));
        if (n >= 0 ? back != n : back != InvalidHex) Fail("HexVal(HexText(n)) differs", HexText(n));
    }
    return 0;
}
