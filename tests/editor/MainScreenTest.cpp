// The main window's editor: its state at the end of start-up, the panels, the
// machine choice, the hidden pair, and the event rules every handler relies on.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "EditorTest.h"
#include "screens/Layout.h"

namespace {

using Strings = std::vector<std::string>;

const std::vector<Control> kHzGroup = {Control::Label13, Control::TestSpeed, Control::Label14, Control::HzAt500};
const std::vector<Control> kVoltsGroup = {Control::Label3, Control::ManVolts, Control::Label4, Control::AutoVolts,
                                          Control::Label9};
const std::vector<Control> kHiddenPair = {Control::PulseMagic, Control::PulseMagicLabel, Control::XMLRev,
                                          Control::XMLRevLabel};

bool In(const std::vector<Control>& group, Control control) {
    return std::find(group.begin(), group.end(), control) != group.end();
}

std::vector<Control> AllControls() {
    std::vector<Control> all;
    for (int i = 0; i < kControlCount; ++i) all.push_back(static_cast<Control>(i));
    return all;
}

}  // namespace

class MainScreenTest : public EditorTest {};

// ---------------------------------------------------------------------------
// The window at the end of start-up.

TEST_F(MainScreenTest, StartUpStateOfEveryControl) {
    struct Row {
        Control control;
        bool usable;
        bool shown;
        std::optional<const char*> text;  // the field's or list's text, when it has one
    };
    const Row rows[] = {
        {Control::MachineType, true, true, "<Choose machine this config. is for>"},
        {Control::OpenProfile, false, true, {}},
        {Control::txtOpenedFile, false, true, "<none>"},
        {Control::DoneButt, true, true, {}},
        {Control::Label15, true, true, {}},
        {Control::SpinVel, true, true, ""},
        {Control::Dummy, false, true, ""},
        {Control::PulseMagic, true, false, ""},
        {Control::XMLRev, true, false, ""},
        {Control::PulseMagicLabel, true, false, {}},
        {Control::XMLRevLabel, true, false, {}},
        {Control::SaveButt, false, true, {}},
        {Control::PortFrame, false, true, {}},
        {Control::PortAdd, false, true, ""},
        {Control::HelpPort, false, true, {}},
        {Control::SpindleFrame, false, true, {}},
        {Control::NewSteps, false, true, ""},
        {Control::Label13, false, true, {}},
        {Control::TestSpeed, false, true, ""},
        {Control::Label14, false, true, {}},
        {Control::HzAt500, false, true, ""},
        {Control::Label3, false, false, {}},
        {Control::ManVolts, false, false, ""},
        {Control::Label4, false, false, {}},
        {Control::AutoVolts, false, false, ""},
        {Control::Label9, false, false, {}},
        {Control::HelpMeasButt, false, true, {}},
        {Control::JogFrame, false, true, {}},
        {Control::SetDef, false, true, {}},
        {Control::SetSmallInch, false, true, {}},
        {Control::SetSmallMM, false, true, {}},
        {Control::ProbeFrame, false, true, {}},
        {Control::ProbeLogicCombo, false, true, ""},
        {Control::cmdProbeLogicInfo, false, true, {}},
        {Control::FourthAxisHomingFrame, false, true, {}},
        {Control::FourthHomingCombo, false, true, ""},
        {Control::cmdFourthAxisHomingInfo, false, true, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(MemoryForm::Name(row.control));
        EXPECT_EQ(form.usable(row.control), row.usable);
        EXPECT_EQ(form.shown(row.control), row.shown);
        if (row.text) {
            EXPECT_EQ(form.text(row.control), *row.text);
        }
    }
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(form.usable(Step0(i)));
        EXPECT_TRUE(form.shown(Step0(i)));
        EXPECT_EQ(form.text(Step0(i)), "");
    }
    // The two Info buttons stay switched on themselves; only their panels lock them.
    EXPECT_TRUE(form.Enabled(Control::cmdProbeLogicInfo));
    EXPECT_TRUE(form.Enabled(Control::cmdFourthAxisHomingInfo));
    EXPECT_TRUE(form.ReadOnly(Control::SpinVel));

    // The lists: their rows, none selected.
    EXPECT_EQ(form.rows(Control::MachineType),
              (Strings{"<Choose machine this config. is for>", "Ombrel M40", "Ombrel M40 Wide Speed Spindle",
                       "Ombrel M40 Series II/Series 3", "Ombrel M25 Original/Series 3"}));
    EXPECT_EQ(form.rows(Control::ProbeLogicCombo),
              (Strings{"Probe breaks circuit on touch (passive probe)", "Probe makes circuit on touch (active probe)"}));
    EXPECT_EQ(form.rows(Control::FourthHomingCombo), (Strings{"Homing disabled", "Homing enabled"}));
    for (const Control list : {Control::MachineType, Control::ProbeLogicCombo, Control::FourthHomingCombo})
        EXPECT_EQ(form.ListIndex(list), -1) << MemoryForm::Name(list);

    // The editor state after Form_Load.
    EXPECT_EQ(window->ProbeLogicIndex, 0);
    EXPECT_EQ(window->FourthHomingIndex, 0);
    EXPECT_EQ(window->NominalHz, 0.0);
    EXPECT_EQ(window->MachineIndex, -1);
    EXPECT_FALSE(window->DigitalVfd);
    EXPECT_FALSE(window->ProfileChanged);
    EXPECT_TRUE(window->ProfileXml.empty());
    EXPECT_FALSE(window->FileLoaded);
    EXPECT_TRUE(window->openedProfilePath().empty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.openRequests.empty());
    EXPECT_EQ(dialogs.endProgramCalls, 0);
}

TEST_F(MainScreenTest, EnableStuffSwitchesExactlyItsElevenControls) {
    const std::vector<Control> switched = {
        Control::PortFrame,   Control::SpindleFrame, Control::JogFrame,     Control::SaveButt,
        Control::HelpPort,    Control::HelpMeasButt, Control::ProbeFrame,   Control::FourthAxisHomingFrame,
        Control::SetDef,      Control::SetSmallInch, Control::SetSmallMM};
    std::vector<bool> before;
    for (const Control c : AllControls()) before.push_back(form.Enabled(c));
    for (const bool state : {true, false, true}) {
        SCOPED_TRACE(state);
        window->EnableStuff(state);
        for (const Control c : AllControls()) {
            const bool expected = In(switched, c) ? state : static_cast<bool>(before[static_cast<std::size_t>(c)]);
            EXPECT_EQ(form.Enabled(c), expected) << MemoryForm::Name(c);
        }
        // Untouched: the path, the open button, the machine list, the window's own fields.
        EXPECT_FALSE(form.Enabled(Control::txtOpenedFile));
        EXPECT_FALSE(form.Enabled(Control::OpenProfile));
        EXPECT_TRUE(form.Enabled(Control::MachineType));
        EXPECT_TRUE(form.usable(Control::SpinVel));
        EXPECT_TRUE(form.usable(Control::DoneButt));
        EXPECT_FALSE(form.Enabled(Control::Dummy));
        // The Info buttons and the panels' fields go with their panels.
        EXPECT_EQ(form.usable(Control::cmdProbeLogicInfo), state);
        EXPECT_EQ(form.usable(Control::cmdFourthAxisHomingInfo), state);
        EXPECT_EQ(form.usable(Control::PortAdd), state);
        EXPECT_EQ(form.usable(Step0(7)), state);
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

// ---------------------------------------------------------------------------
// The machine choice.

TEST_F(MainScreenTest, MachineChoices) {
    struct Case {
        std::vector<int> rows;  // picked in this order
        int machineIndex;
        bool canOpen;
        bool digital;
        bool hzShown;  // the "Hz" group shown, the "Volts" group hidden (or the other way)
        const char* testSpeed;
        double nominalHz;
    };
    const Case cases[] = {
        {{0}, 0, false, false, true, "", 0.0},
        {{1}, 1, true, false, false, "", 0.0},
        {{2}, 2, true, true, true, "500", 34.6},
        {{3}, 3, true, true, true, "500", 34.6},
        {{4}, 4, true, true, true, "1000", 36.3},
        {{2, 0}, 0, false, true, true, "500", 34.6},
        {{1, 0}, 0, false, false, false, "", 0.0},
        {{4, 1}, 1, true, false, false, "1000", 36.3},
        {{4, 2}, 2, true, true, true, "500", 34.6},
        {{2, 4}, 4, true, true, true, "1000", 36.3},
        {{1, 1}, 1, true, false, false, "", 0.0},
        {{3, 3}, 3, true, true, true, "500", 34.6},
        {{2, 0, 1}, 1, true, false, false, "500", 34.6},
        {{0, 3}, 3, true, true, true, "500", 34.6},
    };
    for (const Case& c : cases) {
        std::string trace = "rows";
        for (int row : c.rows) trace += " " + std::to_string(row);
        SCOPED_TRACE(trace);
        restart();
        for (int row : c.rows) form.pickRow(Control::MachineType, row);

        EXPECT_EQ(window->MachineIndex, c.machineIndex);
        EXPECT_EQ(form.ListIndex(Control::MachineType), c.machineIndex);
        EXPECT_EQ(form.Enabled(Control::txtOpenedFile), c.canOpen);
        EXPECT_EQ(form.Enabled(Control::OpenProfile), c.canOpen);
        EXPECT_EQ(window->DigitalVfd, c.digital);
        for (const Control control : kHzGroup) EXPECT_EQ(form.shown(control), c.hzShown) << MemoryForm::Name(control);
        for (const Control control : kVoltsGroup)
            EXPECT_EQ(form.shown(control), !c.hzShown) << MemoryForm::Name(control);
        EXPECT_EQ(form.text(Control::TestSpeed), c.testSpeed);
        EXPECT_EQ(window->NominalHz, c.nominalHz);
        // The choice marks nothing as changed and asks nothing; the unmarked
        // parts of the panel stay shown.
        EXPECT_FALSE(window->ProfileChanged);
        for (const Control control :
             {Control::Label2, Control::Label7, Control::NewSteps, Control::SpinVel, Control::HelpMeasButt})
            EXPECT_TRUE(form.shown(control)) << MemoryForm::Name(control);
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainScreenTest, MachineRowOutsideTheListBehavesAsThePrompt) {
    form.pickRow(Control::MachineType, 2);
    window->SetListIndex(Control::MachineType, 7);
    EXPECT_EQ(window->MachineIndex, -1);
    EXPECT_EQ(form.ListIndex(Control::MachineType), -1);
    EXPECT_FALSE(form.Enabled(Control::OpenProfile));
    EXPECT_FALSE(form.Enabled(Control::txtOpenedFile));
    EXPECT_TRUE(window->DigitalVfd);
    EXPECT_EQ(window->NominalHz, 34.6);
}

TEST_F(MainScreenTest, SpindleMethodFollowsEveryMarkedControlCaseSensitively) {
    // The switch goes by the marker alone, wherever the control sits.
    form.setTag(Step0(3), "Volts");
    form.setTag(Control::Label10, "xHzx");
    form.setTag(Control::Label2, "hz");
    form.setTag(Control::Label7, "VOLTS");
    form.setTag(Control::DoneButt, "Hz");  // the last control of the window but the dialog
    window->SetVfdDisplay(true);
    EXPECT_FALSE(form.Visible(Step0(3)));
    EXPECT_TRUE(form.Visible(Control::Label10));
    EXPECT_TRUE(form.Visible(Control::Label2));
    EXPECT_TRUE(form.Visible(Control::Label7));
    EXPECT_TRUE(form.Visible(Control::DoneButt));
    window->SetVfdDisplay(false);
    EXPECT_TRUE(form.Visible(Step0(3)));
    EXPECT_FALSE(form.Visible(Control::Label10));
    EXPECT_TRUE(form.Visible(Control::Label2));
    EXPECT_TRUE(form.Visible(Control::Label7));
    EXPECT_FALSE(form.Visible(Control::DoneButt));
    // Both words: the "Volts" rule comes last.
    form.setTag(Control::Label10, "Hz Volts");
    window->SetVfdDisplay(true);
    EXPECT_FALSE(form.Visible(Control::Label10));
    // Unmarked controls are never touched, whatever their state.
    EXPECT_FALSE(form.Visible(Control::PulseMagic));
    EXPECT_TRUE(form.Visible(Control::Label16));
}

// ---------------------------------------------------------------------------
// The hidden pair and the foot of the window.

TEST_F(MainScreenTest, CopyrightSignRevealsTheHiddenPair) {
    for (int click = 1; click <= 2; ++click) {
        SCOPED_TRACE(click);
        form.click(Control::Label15);
        for (const Control control : kHiddenPair) EXPECT_TRUE(form.shown(control)) << MemoryForm::Name(control);
        for (const Control control : {Control::PulseMagic, Control::XMLRev}) {
            EXPECT_TRUE(form.usable(control));
            EXPECT_FALSE(form.ReadOnly(control));
        }
    }
    // Editable at once, with no profile open; the state is untouched.
    form.type(Control::PulseMagic, "12");
    form.type(Control::XMLRev, "3");
    EXPECT_EQ(form.text(Control::PulseMagic), "12");
    EXPECT_EQ(form.text(Control::XMLRev), "3");
    EXPECT_FALSE(window->ProfileChanged);
    EXPECT_EQ(window->MachineIndex, -1);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainScreenTest, OtherClicksOnLabelsRevealNothing) {
    for (const layout::ControlLayout& laidOut : layout::MainWindow().controls) {
        if (laidOut.kind != layout::Kind::Label || laidOut.id == Control::Label15) continue;
        if (!form.usable(laidOut.id) || !form.shown(laidOut.id)) continue;
        SCOPED_TRACE(MemoryForm::Name(laidOut.id));
        form.click(laidOut.id);
        for (const Control control : kHiddenPair) EXPECT_FALSE(form.shown(control)) << MemoryForm::Name(control);
    }
    EXPECT_FALSE(window->ProfileChanged);
    EXPECT_EQ(window->MachineIndex, -1);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.helpRequests.empty());
}

// ---------------------------------------------------------------------------
// The event rules.

TEST_F(MainScreenTest, SettingATextRunsItsChangeHandlerAlsoWhenUnchanged) {
    form.setTextDirectly(Control::SpinVel, "1000");
    form.setTextDirectly(Control::AutoVolts, "5");
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        form.setTextDirectly(Control::NewSteps, "");
        window->ProfileChanged = false;
        window->SetText(Control::ManVolts, "5");
        EXPECT_EQ(form.text(Control::ManVolts), "5");
        EXPECT_EQ(form.text(Control::NewSteps), "933.333");
        EXPECT_TRUE(window->ProfileChanged);
    }
    // A jog entry's check runs as its text is set: once for each new text.
    for (const char* text : {"x", "y"}) {
        window->SetText(Step0(2), text);
        EXPECT_EQ(form.text(Step0(2)), text);
    }
    EXPECT_EQ(dialogs.messageTexts(), (Strings{"x is not a valid number", "y is not a valid number"}));
}

TEST_F(MainScreenTest, SettingATextWithoutHandlerOnlySetsIt) {
    form.setTextDirectly(Control::AutoVolts, "5");
    form.setTextDirectly(Control::ManVolts, "5");
    for (const Control box : {Control::PortAdd, Control::SpinVel, Control::PulseMagic, Control::XMLRev,
                              Control::txtOpenedFile, Control::NewSteps, Control::TestSpeed, Control::Dummy}) {
        SCOPED_TRACE(MemoryForm::Name(box));
        window->SetText(box, "8000.0");
        EXPECT_EQ(form.text(box), "8000.0");
    }
    // The steps were set, but nothing recalculated them from the voltages.
    EXPECT_EQ(form.text(Control::NewSteps), "8000.0");
    EXPECT_FALSE(window->ProfileChanged);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainScreenTest, SettingAListRowRunsItsClickHandler) {
    window->SetListIndex(Control::MachineType, 4);
    EXPECT_EQ(window->MachineIndex, 4);
    EXPECT_EQ(form.text(Control::TestSpeed), "1000");

    window->SetListIndex(Control::ProbeLogicCombo, 1);
    EXPECT_EQ(window->ProbeLogicIndex, 1);
    EXPECT_EQ(form.text(Control::ProbeLogicCombo), "Probe makes circuit on touch (active probe)");
    EXPECT_FALSE(window->ProfileChanged);

    window->SetListIndex(Control::FourthHomingCombo, 0);
    EXPECT_EQ(window->FourthHomingIndex, 0);
    EXPECT_EQ(form.text(Control::FourthHomingCombo), "Homing disabled");
    EXPECT_TRUE(window->ProfileChanged);

    // A row the list does not have selects none, and the handler reads that.
    window->SetListIndex(Control::ProbeLogicCombo, -1);
    EXPECT_EQ(window->ProbeLogicIndex, -1);
    EXPECT_EQ(form.text(Control::ProbeLogicCombo), "");
}

TEST_F(MainScreenTest, PickingARowRunsTheHandlerAlsoForTheSameRowAgain) {
    window->EnableStuff(true);
    form.pickRow(Control::FourthHomingCombo, 1);
    EXPECT_EQ(window->FourthHomingIndex, 1);
    EXPECT_TRUE(window->ProfileChanged);
    window->ProfileChanged = false;
    form.pickRow(Control::FourthHomingCombo, 1);
    EXPECT_EQ(window->FourthHomingIndex, 1);
    EXPECT_TRUE(window->ProfileChanged);

    form.pickRow(Control::ProbeLogicCombo, 1);
    EXPECT_EQ(window->ProbeLogicIndex, 1);
    window->ProbeLogicIndex = 5;  // so that running the handler shows
    form.pickRow(Control::ProbeLogicCombo, 1);
    EXPECT_EQ(window->ProbeLogicIndex, 1);

    form.pickRow(Control::MachineType, 2);
    form.setTextDirectly(Control::TestSpeed, "changed");
    form.pickRow(Control::MachineType, 2);
    EXPECT_EQ(form.text(Control::TestSpeed), "500");
}

TEST_F(MainScreenTest, AppendingEnablingAndShowingRunNothing) {
    // Form_Load appended every row and switched the panels: no list handler ran
    // (the homing handler would have marked the profile changed).
    EXPECT_FALSE(window->ProfileChanged);
    window->EnableStuff(true);
    window->Label15_Click();
    window->SetVfdDisplay(false);
    window->SetVfdDisplay(true);
    window->EnableStuff(false);
    EXPECT_FALSE(window->ProfileChanged);
    EXPECT_EQ(window->FourthHomingIndex, 0);
    EXPECT_EQ(window->ProbeLogicIndex, 0);
    EXPECT_EQ(window->MachineIndex, -1);
    EXPECT_EQ(form.text(Control::NewSteps), "");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(MainScreenTest, TypingRunsTheChangeHandlerOnEveryKey) {
    window->EnableStuff(true);
    form.pickRow(Control::MachineType, 1);
    form.setTextDirectly(Control::SpinVel, "1000");
    form.type(Control::AutoVolts, "5");
    form.type(Control::ManVolts, "1");
    EXPECT_EQ(form.text(Control::NewSteps), "186.667");
    form.type(Control::ManVolts, "0");
    EXPECT_EQ(form.text(Control::NewSteps), "1866.667");
    // Each key of a text that is no number is checked as it comes.
    form.type(Step0(1), "1x2");
    EXPECT_EQ(dialogs.messageTexts(), (Strings{"1x is not a valid number", "1x2 is not a valid number"}));
}

TEST_F(MainScreenTest, LeavingAJogEntryRunsItsLostFocusHandler) {
    window->EnableStuff(true);
    form.type(Step0(4), "1");
    EXPECT_EQ(form.text(Step0(4)), "1");
    form.moveFocusTo(Step0(5));
    EXPECT_EQ(form.Focused(), Step0(5));
    EXPECT_EQ(form.text(Step0(4)), "1.0");
    // Leaving any other control formats nothing.
    form.type(Step0(6), "2");
    window->FocusLeft(Control::PortAdd);
    window->FocusLeft(Control::SpinVel);
    EXPECT_EQ(form.text(Step0(6)), "2");
}
