// Whole runs through the window: choose a machine, open a fixture, edit real
// widgets, save, and compare the written file byte for byte with the expected one.
#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <functional>

#include "WorkflowSupport.h"

namespace {

using Button = UserDialogs::Button;
using Icon = UserDialogs::Icon;

// What the user does between opening and saving.
using Edit = std::function<void(QWidget* window)>;

QLineEdit* box(QWidget* window, const char* name) { return findControl<QLineEdit>(window, QString::fromLatin1(name)); }
QLineEdit* jog(QWidget* window, int index) { return findControl<QLineEdit>(window, step0Name(index)); }
QPushButton* button(QWidget* window, const char* name) {
    return findControl<QPushButton>(window, QString::fromLatin1(name));
}

struct Scenario {
    const char* name;
    const char* fixture;
    int machine;
    Edit edit;
    QStringList editMessages;  // messages while editing, in order
    const char* expected;      // the file after the save; nullptr: the fixture, untouched
    QString saveMessage;       // the one message of the save ("" none); a trailing "*" matches a beginning
    bool changedAfter;         // ProfileChanged after the save
};

void PrintTo(const Scenario& s, std::ostream* out) { *out << s.name; }

bool matches(const QString& pattern, const QString& text) {
    return pattern.endsWith(QLatin1Char('*')) ? text.startsWith(pattern.chopped(1)) : text == pattern;
}

const QString kPortRefused = QStringLiteral("Port is not a valid Hex number. Not saved");
const QString kVoltsRefused = QStringLiteral("Voltages are not valid numbers. Not saved");
const QString kPulseRefused = QStringLiteral("Pulse Magic number is not valid. Not saved");
const QString kRevRefused = QStringLiteral("XML Rev number is not valid. Not saved");

const std::vector<Scenario> kScenarios = {
    // Saved without edits, only the handled entries change, to their stored
    // forms; the spindle steps keep the profile's own value.
    {"Untouched", "basic.xml", 1, nullptr, {}, "basic.untouched.xml", "", false},
    {"UntouchedFrequencyMachine", "basic.xml", 3, nullptr, {}, "basic.untouched.xml", "", false},
    {"VoltsMeasured", "basic.xml", 1,
     [](QWidget* w) {
         typeOver(box(w, "ManVolts"), "10");
         typeOver(box(w, "AutoVolts"), "9.8");
     },
     {}, "basic.volts.xml", "", false},
    {"FrequencyMeasured", "basic.xml", 4, [](QWidget* w) { typeOver(box(w, "HzAt500"), "33"); }, {},
     "basic.frequency.xml", "", false},
    {"EverySettingEdited", "basic.xml", 1,
     [](QWidget* w) {
         typeOver(box(w, "PortAdd"), "3bc");
         click(button(w, "SetSmallInch"));
         pickRow(findControl<QComboBox>(w, "ProbeLogicCombo"), 1);
         pickRow(findControl<QComboBox>(w, "FourthHomingCombo"), 1);
         clickLabel(findControl<QLabel>(w, "Label15"));
         typeOver(box(w, "PulseMagic"), "7");
         typeOver(box(w, "XMLRev"), "3");
     },
     {}, "basic.edits.xml", "", false},
    {"PresetAndFrequencyThenHomingOff", "basic.xml", 2,
     [](QWidget* w) {
         click(button(w, "SetSmallMM"));
         typeOver(box(w, "HzAt500"), "40");
         pickRow(findControl<QComboBox>(w, "FourthHomingCombo"), 0);
     },
     {}, "basic.mm.xml", "", false},
    // Text that is no number is reported while typed and written as typed.
    {"JogTextWrittenAsTyped", "basic.xml", 1,
     [](QWidget* w) {
         typeOver(jog(w, 3), "abc");
         typeOver(jog(w, 5), "");
         typeOver(jog(w, 6), "1");
     },
     {"a is not a valid number", "ab is not a valid number", "abc is not a valid number"}, "basic.jogtext.xml", "",
     false},
    {"PortAsTypedWithPrefix", "basic.xml", 1, [](QWidget* w) { typeOver(box(w, "PortAdd"), "0X378"); }, {},
     "basic.untouched.xml", "", false},

    // Refusals: the message, the file untouched, the profile still marked changed.
    {"PortNotHex", "basic.xml", 1, [](QWidget* w) { typeOver(box(w, "PortAdd"), "378h"); }, {}, nullptr,
     kPortRefused, true},
    {"PortSeventyThousand", "basic.xml", 1, [](QWidget* w) { typeOver(box(w, "PortAdd"), "70000"); }, {}, nullptr,
     kPortRefused, true},
    {"VoltsCleared", "basic.xml", 1, [](QWidget* w) { typeOver(box(w, "ManVolts"), ""); }, {}, nullptr,
     kVoltsRefused, true},
    {"PulseCleared", "basic.xml", 1,
     [](QWidget* w) {
         clickLabel(findControl<QLabel>(w, "Label15"));
         typeOver(box(w, "PulseMagic"), "");
     },
     {}, nullptr, kPulseRefused, true},
    {"RevisionNotNumber", "basic.xml", 1,
     [](QWidget* w) {
         clickLabel(findControl<QLabel>(w, "Label15"));
         typeOver(box(w, "XMLRev"), "2b");
     },
     {}, nullptr, kRevRefused, true},
    // Jog text that would break the profile's markup, or that a byte cannot hold.
    {"JogWithLessThan", "basic.xml", 1, [](QWidget* w) { typeOver(jog(w, 2), "<"); }, {"< is not a valid number"},
     nullptr, "The jog step in row 3 (<JogInc2>) *", true},
    {"JogWithAmpersand", "basic.xml", 1, [](QWidget* w) { typeOver(jog(w, 9), "&"); }, {"& is not a valid number"},
     nullptr, "The jog step in row 10 (<JogInc9>) *", true},
    {"JogWithGreaterThan", "basic.xml", 1, [](QWidget* w) { typeOver(jog(w, 0), ">"); }, {"> is not a valid number"},
     nullptr, "The jog step in row 1 (<JogInc0>) *", true},
    {"JogBeyondSingleByte", "basic.xml", 1, [](QWidget* w) {
         // A key whose character no single byte holds (the keyboard's euro sign).
         QLineEdit* entry = jog(w, 4);
         entry->setFocus(Qt::OtherFocusReason);
         entry->selectAll();
         QTest::sendKeyEvent(QTest::Click, entry, Qt::Key_unknown, QStringLiteral("\u20ac"), Qt::NoModifier);
     },
     {QStringLiteral("\u20ac is not a valid number")}, nullptr, "The jog step in row 5 (<JogInc4>) *", true},

    // Profiles that lack entries, or hold unusual values.
    {"MissingListsPortAndJog", "missing-entries.xml", 1,
     [](QWidget* w) {
         // The port and jog entry 3 have no entry to go to; nothing is written for them.
         typeOver(box(w, "PortAdd"), "3bc");
         typeOver(jog(w, 3), "0.5");
     },
     {}, "missing-entries.saved.xml", "", false},
    {"MinusOneKept", "minus-one.xml", 1, nullptr, {}, "minus-one.saved.xml", "", false},
    {"JogTextFromProfileKept", "jog-abc.xml", 1, nullptr, {}, "jog-abc.saved.xml", "", false},
    {"NoPulseEntryNeedsANumber", "no-pulse.xml", 1, nullptr, {}, nullptr, kPulseRefused, true},
    {"NoPulseEntryNumberGiven", "no-pulse.xml", 1,
     [](QWidget* w) {
         clickLabel(findControl<QLabel>(w, "Label15"));
         typeOver(box(w, "PulseMagic"), "0");
     },
     {}, "no-pulse.saved.xml", "", false},
};

class WorkflowScenario : public WorkflowTest, public ::testing::WithParamInterface<Scenario> {};

TEST_P(WorkflowScenario, OpenEditSave) {
    const Scenario& s = GetParam();
    const QString profile = copyFixture(QString::fromLatin1(s.fixture));

    chooseMachine(s.machine);
    openProfile(profile);
    ASSERT_TRUE(window->FileLoaded);
    ASSERT_EQ(window->openedProfilePath(), profile);
    EXPECT_TRUE(window->ProfileChanged) << "opening marks the profile as changed";
    dialogs.clearRecord();

    if (s.edit) s.edit(window.get());
    EXPECT_EQ(dialogs.messageTexts(), s.editMessages);
    dialogs.clearRecord();

    save();
    if (s.saveMessage.isEmpty()) {
        EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messageTexts().join(" | ").toStdString();
    } else {
        ASSERT_EQ(dialogs.messages.size(), 1);
        const UserDialogs::Message& shown = dialogs.messages.front();
        EXPECT_TRUE(matches(s.saveMessage, shown.text)) << shown.text.toStdString();
        EXPECT_EQ(shown.title, "Data error");
        EXPECT_EQ(shown.icon, Icon::Warning);
        EXPECT_EQ(shown.buttons, QList<Button>{Button::Ok});
    }
    const QByteArray expected = fixtureBytes(QString::fromLatin1(s.expected ? s.expected : s.fixture));
    EXPECT_EQ(readFile(profile), expected);
    EXPECT_EQ(window->ProfileChanged, s.changedAfter);

    // A second save of the same fields writes the same bytes again.
    if (!s.changedAfter) {
        dialogs.clearRecord();
        save();
        EXPECT_TRUE(dialogs.messages.isEmpty());
        EXPECT_EQ(readFile(profile), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Profiles, WorkflowScenario, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& param) { return std::string(param.param.name); });

}  // namespace
