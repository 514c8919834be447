#include "profile/NumberRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace profile;

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
}  // namespace

TEST(IsNumericText, AcceptsTheNumberGrammar) {
    for (const char* text : {"12", " 12 ", "+1.5", "-.5", "5.", "1e3", "2.5E-3", "0", "  -0.0  ", "1E+5", "007",
                             "1.", "1.e-003", "4.8e+004", "1.e-002", "400."}) {
        EXPECT_TRUE(IsNumericText(text)) << '"' << text << '"';
    }
}

TEST(IsNumericText, RefusesEverythingElse) {
    for (const char* text : {"", "   ", ".", "-", "+", "abc", "12abc", "1.2.3", "1e", "1e+", "e5", "1 2", "\t1",
                             "1\t", "1\n", "1,5", "+-1", "--1", "1e5.5", "0x10", "&H10", "(1)", "1-", ". 5", "1 e3",
                             "1.2e3e4"}) {
        EXPECT_FALSE(IsNumericText(text)) << '"' << text << '"';
    }
    EXPECT_FALSE(IsNumericText(std::string_view("1\0", 2)));
}

TEST(ParseLeadingNumber, ReadsTheNumberAtTheStart) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"", 0},           {"abc", 0},          {"888", 888},        {"4.666667", 4.666667},
        {"12abc", 12},     {" 1 2 3", 123},     {"1,5", 1},          {"-5", -5},
        {"1e3", 1000},     {".5", 0.5},         {"1.2.3", 1.2},      {"+7", 7},
        {"1.", 1},         {"1.e-003", 0.001},  {"4.8e+004", 48000}, {"1.e-002", 0.01},
        {"400.", 400},     {"\t\n 7", 7},       {"- 5", -5},         {"1 e 3", 1000},
        {"1e", 1},         {"1e+", 1},          {"1ex", 1},          {"2E-3", 0.002},
        {"0.000", 0},      {"-0", 0},           {"00012.50", 12.5},  {"\r1", 0},
        {"7999.999", 7999.999}, {"1.7976931348623157e308", std::numeric_limits<double>::max()},
        {"0.1", 0.1},      {"123456789012345678", 123456789012345678.0},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseLeadingNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParseLeadingNumber, OutOfRangeGivesInfinityOrZeroWithoutFailing) {
    EXPECT_EQ(ParseLeadingNumber("1e400"), kInf);
    EXPECT_EQ(ParseLeadingNumber("-1e400"), -kInf);
    EXPECT_EQ(ParseLeadingNumber("1e-400"), 0.0);
    EXPECT_EQ(ParseLeadingNumber("1E99999999999999999999999"), kInf);
    EXPECT_EQ(ParseLeadingNumber("1E-99999999999999999999999"), 0.0);
    EXPECT_EQ(ParseLeadingNumber("1" + std::string(1000, '0')), kInf);
    // A thousand leading zeros behind the point and an exponent that cancels them.
    EXPECT_EQ(ParseLeadingNumber("0." + std::string(1000, '0') + "15e1003"), 150.0);
    // Far more digits than a double holds still give the nearest double.
    EXPECT_EQ(ParseLeadingNumber("0.1" + std::string(2000, '0') + "1"), 0.1);
    EXPECT_EQ(ParseLeadingNumber(std::string(5000, '9') + "e-4999"), 10.0);
}

TEST(FormatMasked, RoundsFifteenDigitsHalfAwayFromZero) {
    struct Case {
        double value;
        const char* mask;
        const char* text;
    };
    const Case cases[] = {
        {2, "0.0##", "2.0"},
        {0, "0.0##", "0.0"},
        {0.05, "0.0##", "0.05"},
        {1234.5678, "0.0##", "1234.568"},
        {0.0005, "0.0##", "0.001"},
        {0.0004, "0.0##", "0.0"},
        {-1.25, "0.0##", "-1.25"},
        {-0.0005, "0.0##", "-0.001"},
        {-0.0001, "0.0##", "0.0"},
        {-0.0, "0.0##", "0.0"},
        {7999.9994, "0.0##", "7999.999"},
        {7999.9995, "0.0##", "8000.0"},
        {0.9995, "0.0##", "1.0"},
        {9.9996, "0.0##", "10.0"},
        {999.9999, "0.0##", "1000.0"},
        // 15 significant digits first: the double just below 0.0005 reads 0.000500000000000.
        {std::nextafter(0.0005, 0.0), "0.0##", "0.001"},
        {0.1 + 0.2, "0.0##", "0.3"},
        {1234.56789, "0.0###", "1234.5679"},
        {8000, "0.0###", "8000.0"},
        {1, "0.0###", "1.0"},
        {888, "0", "888"},
        {0, "0", "0"},
        {1, "0", "1"},
        {13, "0", "13"},
        {-1, "0", "-1"},
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {0.4, "0", "0"},
        {-0.4, "0", "0"},
        {2147483647, "0", "2147483647"},
        {1e15, "0", "1000000000000000"},
        {123456789012345678.0, "0", "123456789012346000"},
        {0.1234567, "#0.0####", "0.12346"},
        {0.0000049, "#0.0####", "0.0"},
        {0.000005, "#0.0####", "0.00001"},
        {12345.678901, "#0.0####", "12345.6789"},
        {1.5e-10, "#0.0####", "0.0"},
        {std::numeric_limits<double>::denorm_min(), "#0.0####", "0.0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatMasked(c.value, c.mask), c.text) << c.value << " with \"" << c.mask << '"';
    }
}

TEST(FormatMasked, AnyDoubleGivesSaneText) {
    for (const char* mask : {"0", "0.0##", "0.0###", "#0.0####"}) {
        EXPECT_EQ(FormatMasked(kInf, mask), "Infinity");
        EXPECT_EQ(FormatMasked(-kInf, mask), "-Infinity");
        EXPECT_EQ(FormatMasked(kNaN, mask), "NaN");
        EXPECT_FALSE(IsNumericText(FormatMasked(kNaN, mask)));
    }
    const std::string maxText = FormatMasked(std::numeric_limits<double>::max(), "0.0##");
    EXPECT_EQ(maxText, "179769313486232" + std::string(294, '0') + ".0");
    EXPECT_EQ(FormatMasked(1e308, "0"), "1" + std::string(308, '0'));
    EXPECT_EQ(ParseLeadingNumber(FormatMasked(1e308, "0.0##")), 1e308);
    EXPECT_EQ(FormatMasked(-std::numeric_limits<double>::max(), "0").substr(0, 4), "-179");
}

TEST(FormatMasked, TextIsFormattedWhenNumericAndKeptOtherwise) {
    struct Case {
        const char* text;
        const char* mask;
        const char* result;
    };
    const Case cases[] = {
        {"0.001", "#0.0####", "0.001"},
        {".5", "#0.0####", "0.5"},
        {"1", "#0.0####", "1.0"},
        {"0.1234567", "#0.0####", "0.12346"},
        {"0.0000049", "#0.0####", "0.0"},
        {" 2 ", "#0.0####", "2.0"},
        {"1.", "#0.0####", "1.0"},
        {"1.e-003", "#0.0####", "0.001"},
        {"4.8e+004", "#0.0####", "48000.0"},
        {"-.5", "#0.0####", "-0.5"},
        {"abc", "#0.0####", "abc"},
        {"", "#0.0####", ""},
        {"12abc", "#0.0####", "12abc"},
        {"1,5", "#0.0####", "1,5"},
        {" 1 2", "#0.0####", " 1 2"},
        {"1e999", "#0.0####", "1e999"},  // beyond a double: left as typed
        {"7999.9995", "0.0##", "8000.0"},
        {"2.5", "0", "3"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatMasked(std::string_view(c.text), c.mask), c.result) << '"' << c.text << '"';
    }
}

TEST(NumberText, WritesTheShortestPlainText) {
    const char* thousandths[] = {"0",     "0.001", "0.002", "0.003", "0.004",
                                 "0.005", "0.006", "0.007", "0.008", "0.009"};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(NumberText(i / 1000.0), thousandths[i]) << i;

    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {5, "5"},
        {4.666667, "4.666667"},
        {0.02, "0.02"},
        {0.01, "0.01"},
        {0.005, "0.005"},
        {0.002, "0.002"},
        {0.001, "0.001"},
        {0.0005, "0.0005"},
        {0.0001, "0.0001"},
        {-0.5, "-0.5"},
        {-0.0, "0"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {123456.789, "123456.789"},
        {999999999999999, "999999999999999"},
        {100, "100"},
        // Outside what the editor converts: a form that reads back as the number.
        {1e15, "1E+15"},
        {-1.5e20, "-1.5E+20"},
        {0.00001, "1E-05"},
        {1.25e-300, "1.25E-300"},
        {kInf, "Infinity"},
        {kNaN, "NaN"},
    };
    for (const Case& c : cases) EXPECT_EQ(NumberText(c.value), c.text) << c.value;
}

TEST(HexText, WritesUpperCaseDigits) {
    struct Case {
        std::int32_t n;
        const char* text;
    };
    const Case cases[] = {{888, "378"},         {0, "0"},
                          {255, "FF"},          {53248, "D000"},
                          {-1, "FFFFFFFF"},     {std::numeric_limits<std::int32_t>::min(), "80000000"},
                          {0x7FFFFFFF, "7FFFFFFF"}, {0xABCDEF, "ABCDEF"}};
    for (const Case& c : cases) EXPECT_EQ(HexText(c.n), c.text) << c.n;
}

TEST(RoundToInt32, RoundsTiesToEvenAndFailsOutsideTheRange) {
    struct Case {
        double value;
        std::optional<std::int32_t> result;
    };
    const Case cases[] = {
        {888, 888},
        {888.5, 888},
        {889.5, 890},
        {-2.5, -2},
        {-3.5, -4},
        {0.5, 0},
        {1.5, 2},
        {0.49999999999999994, 0},
        {-0.7, -1},
        {2147483647.4, 2147483647},
        {2147483646.5, 2147483646},
        {2147483647.5, std::nullopt},
        {-2147483648.5, -2147483647 - 1},
        {-2147483649.0, std::nullopt},
        {1e300, std::nullopt},
        {kInf, std::nullopt},
        {-kInf, std::nullopt},
        {kNaN, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(RoundToInt32(c.value), c.result) << c.value;
}

TEST(IntegerFromText, ReadsNumericTextIntoSixteenBits) {
    struct Case {
        const char* text;
        std::optional<std::int16_t> result;
    };
    const Case cases[] = {
        {"0", 0},           {"1", 1},          {" 1 ", 1},       {"-1", -1},
        {"2.5", 2},         {"3.5", 4},        {"1.e0", 1},      {"1e-400", 0},
        {"32767", 32767},   {"32767.4", 32767}, {"-32768.5", -32768},
        {"32767.5", std::nullopt}, {"-32769", std::nullopt}, {"40000", std::nullopt},
        {"1e400", std::nullopt},   {"", std::nullopt},       {"abc", std::nullopt},
        {"1abc", std::nullopt},    {"1,0", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(IntegerFromText(c.text), c.result) << '"' << c.text << '"';
}

TEST(HexVal, ReadsHexadecimalText) {
    struct Case {
        std::string text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"378", 888},         {"0x378", 888},       {"0X378", 888},       {"x378", 888},
        {"X378", 888},        {"00x0378", 888},     {"000X0378", 888},    {"ff", 255},
        {"0", 0},             {"", 0},              {"x", 0},             {"0x", 0},
        {"7FFFFFFF", 0x7FFFFFFF}, {"000000007fffffff", 0x7FFFFFFF}, {"70000", 0x70000},
        {" 378", InvalidHex}, {"378 ", InvalidHex}, {"378h", InvalidHex}, {"&H378", InvalidHex},
        {"-1", InvalidHex},   {"1X2", InvalidHex},  {"0X3X", InvalidHex}, {"XX", InvalidHex},
        {"3.78", InvalidHex}, {"G", InvalidHex},    {"\xc3\xa9", InvalidHex},
        {std::string("37\0" "8", 4), InvalidHex},
        // Beyond 0x7FFFFFFF: refused instead of wrapping around.
        {"80000000", InvalidHex}, {"FFFFFFFF", InvalidHex}, {"100000378", InvalidHex},
        {"7FFFFFFF0", InvalidHex},
    };
    for (const Case& c : cases) EXPECT_EQ(HexVal(c.text), c.value) << '"' << c.text << '"';
}

TEST(HexVal, RefusesTextsOf32767CharactersOrMore) {
    EXPECT_EQ(HexVal(std::string(32766, '0')), 0);
    EXPECT_EQ(HexVal(std::string(32765, '0') + "F"), 15);
    EXPECT_EQ(HexVal(std::string(32767, '0')), InvalidHex);
    EXPECT_EQ(HexVal(std::string(100000, '0') + "1"), InvalidHex);
}
