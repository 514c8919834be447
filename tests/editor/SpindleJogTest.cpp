// The spindle recalculation and the jog table, driven through the window after
// a profile has been opened; and the hidden pair shown when a save needs it.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "WorkflowSupport.h"

namespace {

using Button = UserDialogs::Button;
using Icon = UserDialogs::Icon;
using Strings = std::vector<std::string>;

// A profile with 1000 spindle steps; saved once, so ProfileChanged is false.
class SpindleTest : public WorkflowTest {
protected:
    void openSmall(int machine) {
        profile = copyBytes("<profile><Steps6>1000</Steps6><PulseWidth>5</PulseWidth><M4RefHome>0</M4RefHome>"
                            "<JogInc0>1</JogInc0></profile>");
        chooseMachine(machine);
        openProfile(profile);
        ASSERT_TRUE(window->FileLoaded);
        save();
        ASSERT_FALSE(window->ProfileChanged);
        ASSERT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    }
    std::filesystem::path profile;
};

struct Spindle {
    const char* name;
    int machine;
    std::vector<std::pair<Control, const char*>> inputs;  // field, text: set as the window sets a field
    const char* newSteps;                                 // nullptr: unchanged, and ProfileChanged too
};

void PrintTo(const Spindle& s, std::ostream* out) { *out << s.name; }

class SpindleCase : public SpindleTest, public ::testing::WithParamInterface<Spindle> {};

const std::vector<Spindle> kSpindle = {
    {"VoltsEqual", 1, {{Control::ManVolts, "5"}, {Control::AutoVolts, "5"}}, "933.333"},
    {"VoltsMeasured", 1, {{Control::ManVolts, "10"}, {Control::AutoVolts, "9.8"}}, "952.381"},
    {"DefaultVoltsRecalculated", 1, {{Control::ManVolts, "5"}}, "1000.0"},
    {"NegativeAutoVoltsPass", 1, {{Control::AutoVolts, "-4.2"}}, "-1111.111"},
    {"ManVoltsNoNumberCountsZero", 1, {{Control::ManVolts, "x"}, {Control::AutoVolts, "5"}}, "0.0"},
    {"FrequencyM40", 2, {{Control::HzAt500, "40"}}, "865.0"},
    {"FrequencyM25", 4, {{Control::HzAt500, "33"}}, "1100.0"},
    {"FrequencyZero", 2, {{Control::HzAt500, "0"}}, nullptr},
    {"FrequencyNegative", 2, {{Control::HzAt500, "-3"}}, nullptr},
    {"FrequencyNoNumber", 2, {{Control::HzAt500, "40x"}}, nullptr},
    {"AutoVoltsZero", 1, {{Control::AutoVolts, "0"}}, nullptr},
    {"ManVoltsWithAutoVoltsZero", 1, {{Control::AutoVolts, "0"}, {Control::ManVolts, "6"}}, nullptr},
    {"ManVoltsNoNumber", 1, {{Control::ManVolts, "6v"}}, nullptr},
    // Results that are no finite number leave everything as it was.
    {"TinyAutoVolts", 1, {{Control::AutoVolts, "1e-320"}}, nullptr},
    {"HugeManVolts", 1, {{Control::ManVolts, "1e308"}}, nullptr},
    {"TinyFrequency", 4, {{Control::HzAt500, "1e-320"}}, nullptr},
    {"HugeFrequencyOverHuge", 4, {{Control::HzAt500, "1e308"}}, "0.0"},
};

TEST_P(SpindleCase, NewSteps) {
    const Spindle& s = GetParam();
    openSmall(s.machine);
    const std::string before = field(Control::NewSteps);
    for (const auto& [box, text] : s.inputs) window->SetText(box, text);
    if (s.newSteps) {
        EXPECT_EQ(field(Control::NewSteps), s.newSteps);
        EXPECT_TRUE(window->ProfileChanged);
    } else {
        EXPECT_EQ(field(Control::NewSteps), before);
        EXPECT_FALSE(window->ProfileChanged);
    }
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
}

INSTANTIATE_TEST_SUITE_P(Spindle, SpindleCase, ::testing::ValuesIn(kSpindle),
                         [](const ::testing::TestParamInfo<Spindle>& param) { return std::string(param.param.name); });

// The open shows the stored steps in NewSteps; typing a voltage recalculates by
// the formula, which with the default voltages comes out 0.001 lower for 8000.
TEST_F(SpindleTest, OpenKeepsTheStoredStepsUntilAVoltageIsTyped) {
    chooseMachine(1);
    openProfile(copyFixture("basic.xml"));
    EXPECT_EQ(field(Control::SpinVel), "8000.0");
    EXPECT_EQ(field(Control::NewSteps), "8000.0");
    EXPECT_TRUE(window->ProfileChanged);
    form.typeOver(Control::ManVolts, "5");
    EXPECT_EQ(field(Control::NewSteps), "7999.999");
}

// --- The jog table ---

class JogTest : public WorkflowTest {
protected:
    void openBasic() {
        chooseMachine(1);
        openProfile(copyFixture("basic.xml"));
        ASSERT_TRUE(window->FileLoaded);
        dialogs.clearRecord();
    }
    Strings entries() const {
        Strings texts;
        for (int i = 0; i < 10; ++i) texts.push_back(field(Step0(i)));
        return texts;
    }
};

struct Preset {
    Control button;
    Strings texts;
};

TEST_F(JogTest, PresetsFillTheTableWithoutMessageAndMarkTheChange) {
    openBasic();
    const std::vector<Preset> presets = {
        {Control::SetDef, {"0.02", "0.01", "0.005", "0.002", "0.001", "0.0005", "0.001", "0.002", "0.005", "0.01"}},
        {Control::SetSmallInch,
         {"0.001", "0.0001", "0.001", "0.0001", "0.001", "0.0001", "0.001", "0.0001", "0.001", "0.0001"}},
        {Control::SetSmallMM, {"0.02", "0.002", "0.02", "0.002", "0.02", "0.002", "0.02", "0.002", "0.02", "0.002"}},
    };
    save();
    ASSERT_FALSE(window->ProfileChanged);
    for (const Preset& preset : presets) {
        SCOPED_TRACE(MemoryForm::Name(preset.button));
        form.click(preset.button);
        EXPECT_EQ(entries(), preset.texts);
        // The preset moved the focus nowhere: the button still has it.
        EXPECT_EQ(form.Focused(), preset.button);
        // A later re-formatting leaves the preset's texts as they are.
        form.focus(Step0(3));
        form.moveFocusTo(Step0(4));
        EXPECT_EQ(entries(), preset.texts);
    }
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    // A preset is the user's edit: leaving now asks first.
    EXPECT_TRUE(window->ProfileChanged);
}

TEST_F(JogTest, LeavingAnEntryReformatsTheWholeTable) {
    openBasic();
    form.typeOver(Step0(1), "1");
    EXPECT_EQ(field(Step0(1)), "1") << "not re-formatted while typed";
    window->SetText(Step0(2), ".5");  // typed, "." alone would be reported on the way
    form.typeOver(Step0(4), "");
    EXPECT_EQ(field(Step0(1)), "1.0") << "re-formatted when the focus left it";
    form.typeOver(Step0(3), "2 ");
    form.moveFocusTo(Step0(4));
    EXPECT_EQ(entries(), (Strings{"1.0", "1.0", "0.5", "2.0", "", "0.5", "0.025", "2.0", "0.12346", "0.0001"}));
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
}

// A text that is no number is reported once; the focus comes back to it; moving
// on does not report the same text again, so the user is never caught.
TEST_F(JogTest, NotANumberIsReportedOnceAndNeverTraps) {
    openBasic();
    form.typeOver(Step0(3), "x");
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0],
              (UserDialogs::Message{"x is not a valid number", "Number error", Icon::None, {Button::Ok}, Button::Ok}));
    EXPECT_EQ(form.Focused(), Step0(3));
    EXPECT_EQ(field(Step0(3)), "x");

    form.moveFocusTo(Step0(4));
    EXPECT_EQ(form.Focused(), Step0(4));
    form.moveFocusTo(Step0(5));
    EXPECT_EQ(form.Focused(), Step0(5));
    form.focus(Step0(3));
    form.moveFocusTo(Step0(4));
    EXPECT_EQ(dialogs.messages.size(), 1U) << dialogs.shown();
    EXPECT_EQ(field(Step0(3)), "x");

    // A new text is a new mistake: reported again.
    form.type(Step0(3), "y");
    EXPECT_EQ(dialogs.messageTexts(), (Strings{"x is not a valid number", "xy is not a valid number"}));
    EXPECT_EQ(form.Focused(), Step0(3));

    // Put right and wrong again: the same text is a new mistake once it was gone.
    form.typeOver(Step0(3), "5");
    form.typeOver(Step0(3), "x");
    EXPECT_EQ(dialogs.messageTexts(),
              (Strings{"x is not a valid number", "xy is not a valid number", "x is not a valid number"}));
}

// A character no single byte holds is no number either: reported once, kept as
// typed through the re-formatting, and reported again only when it changes.
TEST_F(JogTest, CharacterBeyondTheCodePageIsReportedOnceAndKept) {
    openBasic();
    form.typeOver(Step0(6), "\xCE\xBC");  // "μ"
    EXPECT_EQ(dialogs.messageTexts(), Strings{"\xCE\xBC is not a valid number"});
    form.moveFocusTo(Step0(7));
    EXPECT_EQ(field(Step0(6)), "\xCE\xBC");
    EXPECT_EQ(dialogs.messages.size(), 1U) << dialogs.shown();
    // Another character that reads as the same byte ("?") is another text.
    form.typeOver(Step0(6), "\xE2\x82\xAC");  // "€"
    EXPECT_EQ(dialogs.messageTexts(), (Strings{"\xCE\xBC is not a valid number", "\xE2\x82\xAC is not a valid number"}));
}

// While the message shows, the focus leaving the entry (as a real message box
// takes it) starts no second check and no second message.
TEST_F(JogTest, MessageTakingTheFocusStartsNoSecondMessage) {
    openBasic();
    dialogs.onMessage = [this](const UserDialogs::Message&) {
        form.moveFocusTo(Step0(6));
        window->Step0_LostFocus(2);
    };
    form.typeOver(Step0(2), "q");
    dialogs.onMessage = nullptr;
    EXPECT_EQ(dialogs.messageTexts(), Strings{"q is not a valid number"});
    EXPECT_EQ(form.Focused(), Step0(2));
    form.moveFocusTo(Step0(3));
    EXPECT_EQ(dialogs.messageTexts(), Strings{"q is not a valid number"});
}

// At the first open the panel is disabled: a value that is no number shows its
// message once, stays in its entry, and the open completes.
TEST_F(JogTest, NotANumberInTheProfileShowsOnceDuringTheFirstOpen) {
    chooseMachine(1);
    openProfile(copyFixture("jog-abc.xml"));
    EXPECT_EQ(dialogs.messageTexts(), (Strings{"abc is not a valid number", "&amp; is not a valid number"}));
    EXPECT_TRUE(window->FileLoaded);
    EXPECT_TRUE(form.usable(Control::JogFrame));
    EXPECT_EQ(field(Step0(0)), "abc");
    EXPECT_EQ(field(Step0(1)), "1.0");
    EXPECT_EQ(field(Step0(2)), "&amp;");
    // The disabled entries could not take the focus, and were not given it later.
    EXPECT_NE(form.Focused(), Step0(0));
    EXPECT_NE(form.Focused(), Step0(2));
    // Fields after the jog table were filled as well.
    EXPECT_EQ(field(Control::PulseMagic), "5");
    EXPECT_EQ(form.ListIndex(Control::ProbeLogicCombo), 1);
}

// A save refused for a hidden field shows the pair and puts the focus there.
struct HiddenRefusal {
    const char* fixture;
    const char* text;
    Control field;
};

void PrintTo(const HiddenRefusal& h, std::ostream* out) { *out << MemoryForm::Name(h.field); }

class HiddenFieldTest : public WorkflowTest, public ::testing::WithParamInterface<HiddenRefusal> {};

TEST_P(HiddenFieldTest, RefusalShowsTheFieldAndFocusesIt) {
    const HiddenRefusal& h = GetParam();
    const std::vector<Control> pair = {Control::PulseMagic, Control::PulseMagicLabel, Control::XMLRev,
                                       Control::XMLRevLabel};
    chooseMachine(1);
    openProfile(copyFixture(h.fixture));
    ASSERT_TRUE(window->FileLoaded);
    for (const Control control : pair) ASSERT_FALSE(form.shown(control)) << MemoryForm::Name(control);
    form.focus(Step0(0));
    dialogs.clearRecord();

    save();
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0],
              (UserDialogs::Message{h.text, "Data error", Icon::Warning, {Button::Ok}, Button::Ok}));
    for (const Control control : pair) EXPECT_TRUE(form.shown(control)) << MemoryForm::Name(control);
    EXPECT_EQ(form.Focused(), h.field);

    form.type(h.field, "4");
    dialogs.clearRecord();
    save();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    EXPECT_FALSE(window->ProfileChanged);
}

INSTANTIATE_TEST_SUITE_P(
    Hidden, HiddenFieldTest,
    ::testing::Values(HiddenRefusal{"no-pulse.xml", "Pulse Magic number is not valid. Not saved", Control::PulseMagic},
                      HiddenRefusal{"no-xmlrev.xml", "XML Rev number is not valid. Not saved", Control::XMLRev}),
    [](const ::testing::TestParamInfo<HiddenRefusal>& param) { return MemoryForm::Name(param.param.field); });

}  // namespace
