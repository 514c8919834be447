#include "profile/ProfileEntries.h"

#include <gtest/gtest.h>

using namespace profile;

TEST(ProfileEntries, PortIsShownInHexAndStoredInDecimal) {
    struct Shown {
        const char* stored;
        std::optional<std::string> field;
    };
    const Shown shown[] = {
        {"888", "378"}, {"888.5", "378"}, {"0x378", "0"}, {"", "0"},           {"abc", "0"},
        {"53248", "D000"}, {"-1", "FFFFFFFF"}, {" 888 ", "378"}, {"1e10", std::nullopt},
        {"2147483648", std::nullopt},
    };
    for (const Shown& s : shown) EXPECT_EQ(PortFieldText(s.stored), s.field) << '"' << s.stored << '"';

    struct Stored {
        const char* field;
        std::optional<std::string> stored;
    };
    const Stored stored[] = {
        {"378", "888"}, {"0x378", "888"}, {"X378", "888"}, {"", "0"}, {"7FFFFFFF", "2147483647"},
        {"378h", std::nullopt}, {" 378", std::nullopt}, {"70000", std::nullopt}, {"80000000", std::nullopt},
    };
    for (const Stored& s : stored) EXPECT_EQ(PortStoredText(s.field), s.stored) << '"' << s.field << '"';
}

TEST(ProfileEntries, StepsAreShownWithFourDecimalsAndStoredWithThree) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case shown[] = {{"8000", "8000.0"}, {"1.", "1.0"},     {"400.", "400.0"},
                          {"", "0.0"},        {"4.8e+004", "48000.0"}, {"1234.56789", "1234.5679"}};
    for (const Case& c : shown) EXPECT_EQ(StepsFieldText(c.in), c.out) << '"' << c.in << '"';
    const Case saved[] = {{"7999.999", "7999.999"}, {"7999.9995", "8000.0"}, {"", "0.0"},
                          {"12abc", "12.0"},        {"0.0005", "0.001"}};
    for (const Case& c : saved) EXPECT_EQ(StepsStoredText(c.in), c.out) << '"' << c.in << '"';
}

TEST(ProfileEntries, IndicesAreStoredAsPlainDigits) {
    EXPECT_EQ(IndexStoredText(0), "0");
    EXPECT_EQ(IndexStoredText(1), "1");
    EXPECT_EQ(IndexStoredText(-1), "-1");
}

TEST(ProfileEntries, HomingChoiceWritesFourEntriesInOrder) {
    const std::vector<Replacement> enabled{
        {"<Input11Active>", "1"}, {"<Input11Pin>", "13"}, {"<Input11Neg>", "1"}, {"<Input11Port", "1"}};
    EXPECT_EQ(HomingReplacements(1), enabled);
    const std::vector<Replacement> disabled{
        {"<Input11Active>", "0"}, {"<Input11Pin>", "0"}, {"<Input11Port>", "0"}, {"<Input11Neg>", "0"}};
    EXPECT_EQ(HomingReplacements(0), disabled);
    const std::vector<Replacement> none{
        {"<Input11Active>", "-1"}, {"<Input11Pin>", "-1"}, {"<Input11Port>", "-1"}, {"<Input11Neg>", "-1"}};
    EXPECT_EQ(HomingReplacements(-1), none);
}

TEST(ProfileEntries, KeysAreTheProfileTagNames) {
    using namespace entries;
    EXPECT_EQ(Port.openKey, "<Port1Add>");
    EXPECT_EQ(Steps.saveKey, "<Steps6>");
    EXPECT_EQ(PulseWidth.field, "PulseMagic");
    EXPECT_EQ(XmlRevision.openKey, "<M4RefHome>");
    // Read without brackets, written with both.
    EXPECT_EQ(ProbeLogic.openKey, "Input22Neg");
    EXPECT_EQ(ProbeLogic.saveKey, "<Input22Neg>");
    EXPECT_EQ(FourthHoming.openKey, "Input11Active");
    EXPECT_EQ(FourthHoming.saveKey, "<Input11Active>");
    for (std::size_t k = 0; k < Jog.size(); ++k) {
        const std::string key = "<JogInc" + std::to_string(k) + ">";
        EXPECT_EQ(Jog[k].openKey, key);
        EXPECT_EQ(Jog[k].saveKey, key);
        EXPECT_EQ(Jog[k].field, "Step0");
    }
}
