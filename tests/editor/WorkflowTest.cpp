// Whole runs through the window: choose a machine, open a fixture, edit the
// fields as a user does, save, and compare the written file byte for byte with
// the expected one.
#include <functional>
#include <string>
#include <vector>

#include "WorkflowSupport.h"

namespace {

using Button = UserDialogs::Button;
using Icon = UserDialogs::Icon;
using Strings = std::vector<std::string>;

// What the user does between opening and saving.
using Edit = std::function<void(MemoryForm& form)>;

struct Scenario {
    const char* name;
    const char* fixture;
    int machine;
    Edit edit;
    Strings editMessages;     // messages while editing, in order
    const char* expected;     // the file after the save; nullptr: the fixture, untouched
    std::string saveMessage;  // the one message of the save ("" none); a trailing "*" matches a beginning
    bool changedAfter;        // ProfileChanged after the save
};

void PrintTo(const Scenario& s, std::ostream* out) { *out << s.name; }

bool matches(const std::string& pattern, const std::string& text) {
    if (!pattern.empty() && pattern.back() == '*') return text.starts_with(pattern.substr(0, pattern.size() - 1));
    return text == pattern;
}

const std::string kPortRefused = "Port is not a valid Hex number. Not saved";
const std::string kVoltsRefused = "Voltages are not valid numbers. Not saved";
const std::string kPulseRefused = "Pulse Magic number is not valid. Not saved";
const std::string kRevRefused = "XML Rev number is not valid. Not saved";

const std::vector<Scenario> kScenarios = {
    // Saved without edits, only the handled entries change, to their stored
    // forms; the spindle steps keep the profile's own value.
    {"Untouched", "basic.xml", 1, nullptr, {}, "basic.untouched.xml", "", false},
    {"UntouchedFrequencyMachine", "basic.xml", 3, nullptr, {}, "basic.untouched.xml", "", false},
    {"VoltsMeasured", "basic.xml", 1,
     [](MemoryForm& f) {
         f.typeOver(Control::ManVolts, "10");
         f.typeOver(Control::AutoVolts, "9.8");
     },
     {}, "basic.volts.xml", "", false},
    {"FrequencyMeasured", "basic.xml", 4, [](MemoryForm& f) { f.typeOver(Control::HzAt500, "33"); }, {},
     "basic.frequency.xml", "", false},
    {"EverySettingEdited", "basic.xml", 1,
     [](MemoryForm& f) {
         f.typeOver(Control::PortAdd, "3bc");
         f.click(Control::SetSmallInch);
         f.pickRow(Control::ProbeLogicCombo, 1);
         f.pickRow(Control::FourthHomingCombo, 1);
         f.click(Control::Label15);
         f.typeOver(Control::PulseMagic, "7");
         f.typeOver(Control::XMLRev, "3");
     },
     {}, "basic.edits.xml", "", false},
    {"PresetAndFrequencyThenHomingOff", "basic.xml", 2,
     [](MemoryForm& f) {
         f.click(Control::SetSmallMM);
         f.typeOver(Control::HzAt500, "40");
         f.pickRow(Control::FourthHomingCombo, 0);
     },
     {}, "basic.mm.xml", "", false},
    // Text that is no number is reported while typed and written as typed.
    {"JogTextWrittenAsTyped", "basic.xml", 1,
     [](MemoryForm& f) {
         f.typeOver(Step0(3), "abc");
         f.typeOver(Step0(5), "");
         f.typeOver(Step0(6), "1");
     },
     {"a is not a valid number", "ab is not a valid number", "abc is not a valid number"}, "basic.jogtext.xml", "",
     false},
    {"PortAsTypedWithPrefix", "basic.xml", 1, [](MemoryForm& f) { f.typeOver(Control::PortAdd, "0X378"); }, {},
     "basic.untouched.xml", "", false},

    // Refusals: the message, the file untouched, the profile still marked changed.
    {"PortNotHex", "basic.xml", 1, [](MemoryForm& f) { f.typeOver(Control::PortAdd, "378h"); }, {}, nullptr,
     kPortRefused, true},
    {"PortSeventyThousand", "basic.xml", 1, [](MemoryForm& f) { f.typeOver(Control::PortAdd, "70000"); }, {},
     nullptr, kPortRefused, true},
    {"VoltsCleared", "basic.xml", 1, [](MemoryForm& f) { f.typeOver(Control::ManVolts, ""); }, {}, nullptr,
     kVoltsRefused, true},
    {"PulseCleared", "basic.xml", 1,
     [](MemoryForm& f) {
         f.click(Control::Label15);
         f.typeOver(Control::PulseMagic, "");
     },
     {}, nullptr, kPulseRefused, true},
    {"RevisionNotNumber", "basic.xml", 1,
     [](MemoryForm& f) {
         f.click(Control::Label15);
         f.typeOver(Control::XMLRev, "2b");
     },
     {}, nullptr, kRevRefused, true},
    // Jog text that would break the profile's markup, or that a byte cannot hold.
    {"JogWithLessThan", "basic.xml", 1, [](MemoryForm& f) { f.typeOver(Step0(2), "<"); }, {"< is not a valid number"},
     nullptr, "The jog step in row 3 (<JogInc2>) holds \"<\", \">\" or \"&\", which would break the profile's markup: "
              "\"<\". Not saved",
     true},
    {"JogWithAmpersand", "basic.xml", 1, [](MemoryForm& f) { f.typeOver(Step0(9), "&"); }, {"& is not a valid number"},
     nullptr, "The jog step in row 10 (<JogInc9>) *", true},
    {"JogWithGreaterThan", "basic.xml", 1, [](MemoryForm& f) { f.typeOver(Step0(0), ">"); },
     {"> is not a valid number"}, nullptr, "The jog step in row 1 (<JogInc0>) *", true},
    // A key whose character no single byte holds (the keyboard's euro sign).
    {"JogBeyondSingleByte", "basic.xml", 1, [](MemoryForm& f) { f.typeOver(Step0(4), "\xE2\x82\xAC"); },
     {"\xE2\x82\xAC is not a valid number"}, nullptr,
     "The jog step in row 5 (<JogInc4>) holds a character that the profile cannot store: \"\xE2\x82\xAC\". Not saved",
     true},

    // Profiles that lack entries, or hold unusual values.
    {"MissingListsPortAndJog", "missing-entries.xml", 1,
     [](MemoryForm& f) {
         // The port and jog entry 3 have no entry to go to; nothing is written for them.
         f.typeOver(Control::PortAdd, "3bc");
         f.typeOver(Step0(3), "0.5");
     },
     {}, "missing-entries.saved.xml", "", false},
    {"MinusOneKept", "minus-one.xml", 1, nullptr, {}, "minus-one.saved.xml", "", false},
    {"JogTextFromProfileKept", "jog-abc.xml", 1, nullptr, {}, "jog-abc.saved.xml", "", false},
    {"NoPulseEntryNeedsANumber", "no-pulse.xml", 1, nullptr, {}, nullptr, kPulseRefused, true},
    {"NoPulseEntryNumberGiven", "no-pulse.xml", 1,
     [](MemoryForm& f) {
         f.click(Control::Label15);
         f.typeOver(Control::PulseMagic, "0");
     },
     {}, "no-pulse.saved.xml", "", false},
};

class WorkflowScenario : public WorkflowTest, public ::testing::WithParamInterface<Scenario> {};

TEST_P(WorkflowScenario, OpenEditSave) {
    const Scenario& s = GetParam();
    const std::filesystem::path profile = copyFixture(s.fixture);

    chooseMachine(s.machine);
    openProfile(profile);
    ASSERT_TRUE(window->FileLoaded);
    ASSERT_EQ(window->openedProfilePath(), profile);
    EXPECT_TRUE(window->ProfileChanged) << "opening marks the profile as changed";
    dialogs.clearRecord();

    if (s.edit) s.edit(form);
    EXPECT_EQ(dialogs.messageTexts(), s.editMessages);
    dialogs.clearRecord();

    save();
    if (s.saveMessage.empty()) {
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    } else {
        ASSERT_EQ(dialogs.messages.size(), 1U) << dialogs.shown();
        const UserDialogs::Message& shown = dialogs.messages.front();
        EXPECT_TRUE(matches(s.saveMessage, shown.text)) << shown.text;
        EXPECT_EQ(shown.title, "Data error");
        EXPECT_EQ(shown.icon, Icon::Warning);
        EXPECT_EQ(shown.buttons, std::vector<Button>{Button::Ok});
    }
    const std::string expected = fixtureBytes(s.expected ? s.expected : s.fixture);
    EXPECT_EQ(readFile(profile), expected);
    EXPECT_EQ(window->ProfileChanged, s.changedAfter);

    // A second save of the same fields writes the same bytes again.
    if (!s.changedAfter) {
        dialogs.clearRecord();
        save();
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
        EXPECT_EQ(readFile(profile), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Profiles, WorkflowScenario, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& param) { return std::string(param.param.name); });

}  // namespace
