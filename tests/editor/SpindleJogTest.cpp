// The spindle recalculation and the jog table, driven through the window after
// a profile has been opened; and the hidden pair shown when a save needs it.
#include <QLabel>
#include <QTest>

#include "WorkflowSupport.h"

namespace {

using Button = UserDialogs::Button;
using Icon = UserDialogs::Icon;

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
        ASSERT_TRUE(dialogs.messages.isEmpty()) << dialogs.messageTexts().join(" | ").toStdString();
    }
    QString profile;
};

struct Spindle {
    const char* name;
    int machine;
    std::vector<std::pair<const char*, const char*>> inputs;  // field, text: set as the window sets a field
    const char* newSteps;                                     // nullptr: unchanged, and ProfileChanged too
};

void PrintTo(const Spindle& s, std::ostream* out) { *out << s.name; }

class SpindleCase : public SpindleTest, public ::testing::WithParamInterface<Spindle> {};

const std::vector<Spindle> kSpindle = {
    {"VoltsEqual", 1, {{"ManVolts", "5"}, {"AutoVolts", "5"}}, "933.333"},
    {"VoltsMeasured", 1, {{"ManVolts", "10"}, {"AutoVolts", "9.8"}}, "952.381"},
    {"DefaultVoltsRecalculated", 1, {{"ManVolts", "5"}}, "1000.0"},
    {"NegativeAutoVoltsPass", 1, {{"AutoVolts", "-4.2"}}, "-1111.111"},
    {"ManVoltsNoNumberCountsZero", 1, {{"ManVolts", "x"}, {"AutoVolts", "5"}}, "0.0"},
    {"FrequencyM40", 2, {{"HzAt500", "40"}}, "865.0"},
    {"FrequencyM25", 4, {{"HzAt500", "33"}}, "1100.0"},
    {"FrequencyZero", 2, {{"HzAt500", "0"}}, nullptr},
    {"FrequencyNegative", 2, {{"HzAt500", "-3"}}, nullptr},
    {"FrequencyNoNumber", 2, {{"HzAt500", "40x"}}, nullptr},
    {"AutoVoltsZero", 1, {{"AutoVolts", "0"}}, nullptr},
    {"ManVoltsWithAutoVoltsZero", 1, {{"AutoVolts", "0"}, {"ManVolts", "6"}}, nullptr},
    {"ManVoltsNoNumber", 1, {{"ManVolts", "6v"}}, nullptr},
    // Results that are no finite number leave everything as it was.
    {"TinyAutoVolts", 1, {{"AutoVolts", "1e-320"}}, nullptr},
    {"HugeManVolts", 1, {{"ManVolts", "1e308"}}, nullptr},
    {"TinyFrequency", 4, {{"HzAt500", "1e-320"}}, nullptr},
    {"HugeFrequencyOverHuge", 4, {{"HzAt500", "1e308"}}, "0.0"},
};

TEST_P(SpindleCase, NewSteps) {
    const Spindle& s = GetParam();
    openSmall(s.machine);
    const QString before = field("NewSteps")->text();
    for (const auto& [name, text] : s.inputs) window->SetText(field(name), QString::fromLatin1(text));
    if (s.newSteps) {
        EXPECT_EQ(field("NewSteps")->text(), s.newSteps);
        EXPECT_TRUE(window->ProfileChanged);
    } else {
        EXPECT_EQ(field("NewSteps")->text(), before);
        EXPECT_FALSE(window->ProfileChanged);
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Spindle, SpindleCase, ::testing::ValuesIn(kSpindle),
                         [](const ::testing::TestParamInfo<Spindle>& param) { return std::string(param.param.name); });

// The open shows the stored steps in NewSteps; typing a voltage recalculates by
// the formula, which with the default voltages comes out 0.001 lower for 8000.
TEST_F(SpindleTest, OpenKeepsTheStoredStepsUntilAVoltageIsTyped) {
    chooseMachine(1);
    openProfile(copyFixture("basic.xml"));
    EXPECT_EQ(field("SpinVel")->text(), "8000.0");
    EXPECT_EQ(field("NewSteps")->text(), "8000.0");
    EXPECT_TRUE(window->ProfileChanged);
    typeOver(field("ManVolts"), "5");
    EXPECT_EQ(field("NewSteps")->text(), "7999.999");
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
    QStringList entries() const {
        QStringList texts;
        for (int i = 0; i < 10; ++i) texts << step0(i)->text();
        return texts;
    }
};

struct Preset {
    const char* button;
    QStringList texts;
};

TEST_F(JogTest, PresetsFillTheTableWithoutMessageOrChange) {
    openBasic();
    const std::vector<Preset> presets = {
        {"SetDef", {"0.02", "0.01", "0.005", "0.002", "0.001", "0.0005", "0.001", "0.002", "0.005", "0.01"}},
        {"SetSmallInch",
         {"0.001", "0.0001", "0.001", "0.0001", "0.001", "0.0001", "0.001", "0.0001", "0.001", "0.0001"}},
        {"SetSmallMM", {"0.02", "0.002", "0.02", "0.002", "0.02", "0.002", "0.02", "0.002", "0.02", "0.002"}},
    };
    save();
    ASSERT_FALSE(window->ProfileChanged);
    for (const Preset& preset : presets) {
        click(find<QPushButton>(QString::fromLatin1(preset.button)));
        EXPECT_EQ(entries(), preset.texts) << preset.button;
        // A later re-formatting leaves the preset's texts as they are.
        step0(3)->setFocus(Qt::OtherFocusReason);
        pressTab();
        EXPECT_EQ(entries(), preset.texts) << preset.button;
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_FALSE(window->ProfileChanged);
}

TEST_F(JogTest, LeavingAnEntryReformatsTheWholeTable) {
    openBasic();
    typeOver(step0(1), "1");
    EXPECT_EQ(step0(1)->text(), "1") << "not re-formatted while typed";
    window->SetText(step0(2), ".5");  // typed, "." alone would be reported on the way
    typeOver(step0(4), "");
    EXPECT_EQ(step0(1)->text(), "1.0") << "re-formatted when the focus left it";
    typeOver(step0(3), "2 ");
    pressTab();
    EXPECT_EQ(entries(), (QStringList{"1.0", "1.0", "0.5", "2.0", "", "0.5", "0.025", "2.0", "0.12346", "0.0001"}));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// A text that is no number is reported once; the focus comes back to it; moving
// on does not report the same text again, so the user is never caught.
TEST_F(JogTest, NotANumberIsReportedOnceAndNeverTraps) {
    openBasic();
    typeOver(step0(3), "x");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0],
              (UserDialogs::Message{"x is not a valid number", "Number error", Icon::None, {Button::Ok}, Button::Ok}));
    EXPECT_EQ(focusedControl(), step0(3));
    EXPECT_EQ(step0(3)->text(), "x");

    pressTab();
    EXPECT_EQ(focusedControl(), step0(4));
    pressTab();
    EXPECT_EQ(focusedControl(), step0(5));
    step0(3)->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(step0(3), Qt::Key_End);
    pressTab();
    EXPECT_EQ(dialogs.messages.size(), 1) << dialogs.messageTexts().join(" | ").toStdString();
    EXPECT_EQ(step0(3)->text(), "x");

    // A new text is a new mistake: reported again.
    step0(3)->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(step0(3), Qt::Key_End);
    QTest::keyClick(step0(3), Qt::Key_Y);
    EXPECT_EQ(dialogs.messageTexts(), (QStringList{"x is not a valid number", "xy is not a valid number"}));
    EXPECT_EQ(focusedControl(), step0(3));
}

// While the message shows, the focus leaving the entry (as a real message box
// takes it) starts no second check and no second message.
TEST_F(JogTest, MessageTakingTheFocusStartsNoSecondMessage) {
    openBasic();
    dialogs.onMessage = [this](const UserDialogs::Message&) {
        step0(6)->setFocus(Qt::TabFocusReason);
        window->Step0_LostFocus(2);
    };
    typeOver(step0(2), "q");
    dialogs.onMessage = nullptr;
    EXPECT_EQ(dialogs.messageTexts(), QStringList{"q is not a valid number"});
    EXPECT_EQ(focusedControl(), step0(2));
    pressTab();
    EXPECT_EQ(dialogs.messageTexts(), QStringList{"q is not a valid number"});
}

// At the first open the panel is disabled: a value that is no number shows its
// message once, stays in its entry, and the open completes.
TEST_F(JogTest, NotANumberInTheProfileShowsOnceDuringTheFirstOpen) {
    chooseMachine(1);
    openProfile(copyFixture("jog-abc.xml"));
    EXPECT_EQ(dialogs.messageTexts(), (QStringList{"abc is not a valid number", "&amp; is not a valid number"}));
    EXPECT_TRUE(window->FileLoaded);
    EXPECT_TRUE(find("JogFrame")->isEnabled());
    EXPECT_EQ(step0(0)->text(), "abc");
    EXPECT_EQ(step0(1)->text(), "1.0");
    EXPECT_EQ(step0(2)->text(), "&amp;");
    // The disabled entries could not take the focus, and were not given it later.
    EXPECT_NE(focusedControl(), step0(0));
    EXPECT_NE(focusedControl(), step0(2));
    // Fields after the jog table were filled as well.
    EXPECT_EQ(field("PulseMagic")->text(), "5");
    EXPECT_EQ(find<QComboBox>("ProbeLogicCombo")->currentIndex(), 1);
}

// A save refused for a hidden field shows the pair and puts the focus there.
struct HiddenRefusal {
    const char* fixture;
    const char* text;
    const char* field;
};

void PrintTo(const HiddenRefusal& h, std::ostream* out) { *out << h.field; }

class HiddenFieldTest : public WorkflowTest, public ::testing::WithParamInterface<HiddenRefusal> {};

TEST_P(HiddenFieldTest, RefusalShowsTheFieldAndFocusesIt) {
    const HiddenRefusal& h = GetParam();
    chooseMachine(1);
    openProfile(copyFixture(QString::fromLatin1(h.fixture)));
    ASSERT_TRUE(window->FileLoaded);
    for (const char* name : {"PulseMagic", "PulseMagicLabel", "XMLRev", "XMLRevLabel"})
        ASSERT_FALSE(find(QString::fromLatin1(name))->isVisible()) << name;
    step0(0)->setFocus(Qt::OtherFocusReason);
    dialogs.clearRecord();

    save();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], (UserDialogs::Message{QString::fromLatin1(h.text), "Data error", Icon::Warning,
                                                         {Button::Ok}, Button::Ok}));
    for (const char* name : {"PulseMagic", "PulseMagicLabel", "XMLRev", "XMLRevLabel"})
        EXPECT_TRUE(find(QString::fromLatin1(name))->isVisible()) << name;
    EXPECT_EQ(focusedControl(), field(h.field));

    typeInto(field(h.field), "4");
    dialogs.clearRecord();
    save();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messageTexts().join(" | ").toStdString();
    EXPECT_FALSE(window->ProfileChanged);
}

INSTANTIATE_TEST_SUITE_P(Hidden, HiddenFieldTest,
                         ::testing::Values(HiddenRefusal{"no-pulse.xml", "Pulse Magic number is not valid. Not saved",
                                                         "PulseMagic"},
                                           HiddenRefusal{"no-xmlrev.xml", "XML Rev number is not valid. Not saved",
                                                         "XMLRev"}),
                         [](const ::testing::TestParamInfo<HiddenRefusal>& param) {
                             return std::string(param.param.field);
                         });

}  // namespace
