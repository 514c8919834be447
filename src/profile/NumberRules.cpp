#include "profile/NumberRules.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

// Every conversion here goes through std::to_chars / std::from_chars, which
// never look at the process locale: "." is the decimal point under every locale.

namespace profile {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal number as read from text: its digits without leading zeros, and
// the power of ten of the digit just left of the first one, so that the value
// is 0.DIGITS x 10^exponent10.
struct DecimalText {
    bool negative = false;
    bool anyDigit = false;     // at least one mantissa digit was read
    std::string digits;        // significant digits, no leading zeros
    bool truncated = false;    // nonzero digits beyond the kept ones were dropped
    std::int64_t exponent10 = 0;
};

// More than enough digits to decide the nearest double in every case; the
// dropped tail only matters as "something nonzero follows" (kept as a 1).
constexpr std::size_t kKeptDigits = 800;
// Exponents beyond this already give infinity or zero; larger ones are clamped
// while reading so that no count can overflow.
constexpr std::int64_t kExponentClamp = 100000000;

// The scan of ParseLeadingNumber: spaces, tabs and line feeds are skipped
// wherever they stand; sign; digits with at most one '.'; an exponent with
// 'E' or 'e', an optional sign and digits. Anything else ends the scan. An
// exponent marker without digits after it is ignored ("1e" reads 1).
DecimalText ScanLeadingNumber(std::string_view text) {
    DecimalText d;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
        while (i < n && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
    };

    skipBlanks();
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        d.negative = text[i] == '-';
        ++i;
    }
    bool seenPoint = false;
    std::int64_t integerDigits = 0;  // significant digits before the point
    std::int64_t leadingFractionZeros = 0;
    for (;;) {
        skipBlanks();
        if (i >= n) break;
        const char c = text[i];
        if (IsDigit(c)) {
            d.anyDigit = true;
            if (d.digits.empty() && c == '0') {
                if (seenPoint && leadingFractionZeros < kExponentClamp) ++leadingFractionZeros;
            } else {
                if (d.digits.size() < kKeptDigits) {
                    d.digits.push_back(c);
                } else if (c != '0') {
                    d.truncated = true;
                }
                if (!seenPoint && integerDigits < kExponentClamp) ++integerDigits;
            }
            ++i;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            ++i;
        } else {
            break;
        }
    }
    if (!d.anyDigit) return d;

    std::int64_t exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        auto skipExpBlanks = [&] {
            while (j < n && (text[j] == ' ' || text[j] == '\t' || text[j] == '\n')) ++j;
        };
        skipExpBlanks();
        bool expNegative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        bool expDigit = false;
        for (;;) {
            skipExpBlanks();
            if (j >= n || !IsDigit(text[j])) break;
            expDigit = true;
            if (exponent < kExponentClamp) exponent = exponent * 10 + (text[j] - '0');
            ++j;
        }
        if (expDigit) exponent = expNegative ? -exponent : exponent;
        else exponent = 0;
    }
    d.exponent10 = exponent + (integerDigits > 0 ? integerDigits : -leadingFractionZeros);
    // Trailing zeros add nothing to the value.
    while (!d.digits.empty() && d.digits.back() == '0' && !d.truncated) d.digits.pop_back();
    return d;
}

double ValueOf(const DecimalText& d) {
    double magnitude = 0;
    if (!d.digits.empty()) {
        if (d.exponent10 > 400) {
            magnitude = std::numeric_limits<double>::infinity();
        } else if (d.exponent10 < -400) {
            magnitude = 0;
        } else {
            std::string s = "0.";
            s += d.digits;
            if (d.truncated) s += '1';
            s += 'e';
            std::array<char, 24> expBuf{};
            auto [end, ec] = std::to_chars(expBuf.data(), expBuf.data() + expBuf.size(), d.exponent10);
            (void)ec;
            s.append(expBuf.data(), end);
            const auto result = std::from_chars(s.data(), s.data() + s.size(), magnitude);
            if (result.ec == std::errc::result_out_of_range) {
                magnitude = d.exponent10 > 0 ? std::numeric_limits<double>::infinity() : 0.0;
            }
        }
    }
    return d.negative ? -magnitude : magnitude;
}

// The value as 15 significant decimal digits: value = 0.DIGITS x 10^exponent10.
// Only for finite, nonzero values.
struct Significant15 {
    std::array<char, 15> digits{};
    int exponent10 = 0;
};

Significant15 ToSignificant15(double magnitude) {
    // "d.dddddddddddddde+XXX": 15 significant digits, correctly rounded.
    std::array<char, 40> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude,
                                   std::chars_format::scientific, 14);
    (void)ec;
    Significant15 s;
    s.digits[0] = buf[0];
    std::copy(buf.data() + 2, buf.data() + 16, s.digits.begin() + 1);
    int exp = 0;
    const char* e = std::find(buf.data(), end, 'e') + 1;
    if (*e == '+') ++e;
    std::from_chars(e, end, exp);
    s.exponent10 = exp + 1;
    return s;
}

struct MaskShape {
    int integerZeros = 0;  // integer digits always written
    int minDecimals = 0;
    int maxDecimals = 0;
    bool hasPoint = false;
};

MaskShape ShapeOf(std::string_view mask) {
    MaskShape m;
    for (char c : mask) {
        if (c == '.') {
            m.hasPoint = true;
        } else if (c == '0') {
            if (m.hasPoint) {
                ++m.minDecimals;
                ++m.maxDecimals;
            } else {
                ++m.integerZeros;
            }
        } else if (c == '#') {
            if (m.hasPoint) ++m.maxDecimals;
        }
    }
    return m;
}

// What a number that is not finite is written as. Not numeric by
// IsNumericText, so a field that shows one never passes a save check, and
// the user sees at once that the calculation went wrong.
std::string NonFiniteText(double value) {
    if (std::isnan(value)) return "NaN";
    return value < 0 ? "-Infinity" : "Infinity";
}

}  // namespace

bool IsNumericText(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    bool digit = false;
    bool point = false;
    while (i < n) {
        if (IsDigit(text[i])) {
            digit = true;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
        ++i;
    }
    if (!digit) return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
        bool expDigit = false;
        while (i < n && IsDigit(text[i])) {
            expDigit = true;
            ++i;
        }
        if (!expDigit) return false;
    }
    while (i < n && text[i] == ' ') ++i;
    return i == n;
}

double ParseLeadingNumber(std::string_view text) {
    return ValueOf(ScanLeadingNumber(text));
}

// Any double is accepted: NaN gives "NaN" and an infinity "Infinity" or
// "-Infinity" (see NonFiniteText); a huge finite value such as 1e308 is
// written in full, its 15 significant digits followed by zeros (309 digits).
// A negative value that rounds to zero is written without "-".
std::string FormatMasked(double value, std::string_view mask) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    const MaskShape m = ShapeOf(mask);

    // Decimal digits of the value in place: integer part and maxDecimals
    // decimals, plus one guard digit for rounding.
    std::string integerPart;   // most significant first, may be empty
    std::string fraction(static_cast<std::size_t>(m.maxDecimals) + 1, '0');
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    if (magnitude != 0) {
        const Significant15 s = ToSignificant15(magnitude);
        // Digit k of s (0-based) stands for 10^(exponent10 - 1 - k).
        for (int k = 0; k < 15; ++k) {
            const int power = s.exponent10 - 1 - k;
            if (power >= 0) {
                if (integerPart.empty()) integerPart.assign(static_cast<std::size_t>(power) + 1, '0');
                integerPart[integerPart.size() - 1 - static_cast<std::size_t>(power)] = s.digits[static_cast<std::size_t>(k)];
            } else {
                const int place = -power - 1;  // 0 = first decimal
                if (place <= m.maxDecimals) fraction[static_cast<std::size_t>(place)] = s.digits[static_cast<std::size_t>(k)];
            }
        }
    }
    // Half away from zero on the guard digit.
    const bool roundUp = fraction.back() >= '5';
    fraction.pop_back();
    if (roundUp) {
        // Adds one to the last digit of `digits`; true when the carry runs off its front.
        const auto addOne = [](std::string& digits) {
            for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
                if (*it != '9') {
                    ++*it;
                    return false;
                }
                *it = '0';
            }
            return true;
        };
        if (addOne(fraction) && addOne(integerPart)) integerPart.insert(integerPart.begin(), '1');
    }
    // Trailing zeros of the fraction go, down to the mask's smallest count.
    while (static_cast<int>(fraction.size()) > m.minDecimals && fraction.back() == '0') fraction.pop_back();
    const int minInteger = std::max(1, m.integerZeros);
    if (static_cast<int>(integerPart.size()) < minInteger) {
        integerPart.insert(0, static_cast<std::size_t>(minInteger) - integerPart.size(), '0');
    }

    const bool isZero = integerPart.find_first_not_of('0') == std::string::npos &&
                        fraction.find_first_not_of('0') == std::string::npos;
    std::string out;
    if (negative && !isZero) out += '-';
    out += integerPart;
    if (m.hasPoint && !fraction.empty()) {
        out += '.';
        out += fraction;
    }
    return out;
}

std::string FormatMasked(std::string_view text, std::string_view mask) {
    if (!IsNumericText(text)) return std::string(text);
    const double value = ParseLeadingNumber(text);
    // A numeric text too large for a double stays as it was typed.
    if (!std::isfinite(value)) return std::string(text);
    return FormatMasked(value, mask);
}

// Zero gives "0"; otherwise 15 significant digits without trailing zeros, in
// fixed notation from 0.0001 up to below 10^15 and, outside that range (which
// the editor never converts), as "1.5E+15" / "1E-05", a form that reads back
// as the same number. NaN and infinities as in FormatMasked.
std::string NumberText(double value) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    if (value == 0) return "0";
    const Significant15 s = ToSignificant15(std::fabs(value));
    std::string digits(s.digits.begin(), s.digits.end());
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = value < 0 ? "-" : "";
    const int exp = s.exponent10;  // value = 0.DIGITS x 10^exp
    if (exp >= -3 && exp <= 15) {
        if (exp <= 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-exp), '0');
            out += digits;
        } else if (static_cast<std::size_t>(exp) >= digits.size()) {
            out += digits;
            out.append(static_cast<std::size_t>(exp) - digits.size(), '0');
        } else {
            out.append(digits, 0, static_cast<std::size_t>(exp));
            out += '.';
            out.append(digits, static_cast<std::size_t>(exp), std::string::npos);
        }
        return out;
    }
    out += digits[0];
    if (digits.size() > 1) {
        out += '.';
        out.append(digits, 1, std::string::npos);
    }
    const int sciExp = exp - 1;
    out += sciExp < 0 ? "E-" : "E+";
    const int absExp = sciExp < 0 ? -sciExp : sciExp;
    if (absExp < 10) out += '0';
    std::array<char, 8> expBuf{};
    auto [end, ec] = std::to_chars(expBuf.data(), expBuf.data() + expBuf.size(), absExp);
    (void)ec;
    out.append(expBuf.data(), end);
    return out;
}

std::string HexText(std::int32_t n) {
    std::array<char, 8> buf{};
    auto [end, ec] = std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<std::uint32_t>(n), 16);
    (void)ec;
    std::string out(buf.data(), end);
    for (char& c : out) {
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

std::optional<std::int32_t> RoundToInt32(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double below = std::floor(value);
    const double rest = value - below;  // exact for every double
    double rounded = below;
    if (rest > 0.5) {
        rounded = below + 1;
    } else if (rest == 0.5) {
        rounded = std::fmod(below, 2.0) == 0 ? below : below + 1;
    }
    if (rounded < -2147483648.0 || rounded > 2147483647.0) return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<std::int16_t> IntegerFromText(std::string_view text) {
    if (!IsNumericText(text)) return std::nullopt;
    const std::optional<std::int32_t> rounded = RoundToInt32(ParseLeadingNumber(text));
    if (!rounded || *rounded < -32768 || *rounded > 32767) return std::nullopt;
    return static_cast<std::int16_t>(*rounded);
}

// Reads the text's characters in order. An "X" may come once, before any
// digit other than "0". A value that would pass 0x7FFFFFFF, and a text of
// 32767 characters or more, are beyond what a port address can be and give
// InvalidHex rather than a wrapped number.
std::int32_t HexVal(std::string_view strText) {
    if (strText.size() >= 32767) return InvalidHex;
    std::int64_t value = 0;
    bool leading = true;
    for (char raw : strText) {
        const char c = (raw >= 'a' && raw <= 'z') ? static_cast<char>(raw - 'a' + 'A') : raw;
        int digit = -1;
        if (c == 'X') {
            if (!leading) return InvalidHex;
            leading = false;
            continue;
        }
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return InvalidHex;
        value = value * 16 + digit;
        if (value > 0x7FFFFFFF) return InvalidHex;
        if (digit != 0) leading = false;
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace profile
