// The main window's start-up, its panels, the machine choice, and the event
// rules by which setting a field runs its handler as the user's own change does.

#include "editor/MainScreen.h"

#include <initializer_list>
#include <string_view>

MainScreen::MainScreen(Form& form, UserDialogs& dialogs) : form_(form), dialogs_(dialogs) {}

// ---------------------------------------------------------------------------
// The event rules

void MainScreen::SetText(Control box, std::string_view bytes) {
    form_.PutText(box, bytes);  // runs nothing, so the handler runs once, here
    RunChangeHandler(box);
}

void MainScreen::SetListIndex(Control list, int index) {
    form_.PutListIndex(list, index);  // a row the list does not have selects none
    RunClickHandler(list);
}

// The text boxes whose change runs a handler: the three spindle inputs and the
// ten jog entries. No other box has one.
void MainScreen::RunChangeHandler(Control box) {
    switch (box) {
    case Control::ManVolts: ManVolts_Change(); return;
    case Control::AutoVolts: AutoVolts_Change(); return;
    case Control::HzAt500: HzAt500_Change(); return;
    default: break;
    }
    if (const auto index = Step0Index(box)) Step0_Change(static_cast<std::int16_t>(*index));
}

void MainScreen::RunClickHandler(Control list) {
    switch (list) {
    case Control::MachineType: MachineType_Click(); return;
    case Control::ProbeLogicCombo: ProbeLogicCombo_Click(); return;
    case Control::FourthHomingCombo: FourthHomingCombo_Click(); return;
    default: return;
    }
}

// What the user typed or picked into a field that the save writes is an edit
// to keep: "Done", the window's close and the next open ask before dropping it.
// The spindle inputs and the homing list mark it in their own handlers; what
// the open writes into the fields goes through SetText and SetListIndex, not here.
// Before a profile is open (the hidden pair can be typed into then) there is
// nothing to keep.
void MainScreen::TextTyped(Control box) {
    const bool saved = box == Control::PortAdd || box == Control::PulseMagic || box == Control::XMLRev ||
                       Step0Index(box).has_value();
    if (FileLoaded && saved) ProfileChanged = true;
    RunChangeHandler(box);
}

void MainScreen::RowPicked(Control list) {
    if (FileLoaded && list == Control::ProbeLogicCombo) ProfileChanged = true;
    RunClickHandler(list);
}

void MainScreen::Clicked(Control control) {
    // A preset rewrites the whole jog table.
    const bool preset =
        control == Control::SetDef || control == Control::SetSmallInch || control == Control::SetSmallMM;
    if (FileLoaded && preset) ProfileChanged = true;
    switch (control) {
    case Control::OpenProfile: OpenProfile_Click(); return;
    case Control::SaveButt: SaveButt_Click(); return;
    case Control::DoneButt: DoneButt_Click(); return;
    case Control::SetDef: SetDef_Click(); return;
    case Control::SetSmallInch: SetSmallInch_Click(); return;
    case Control::SetSmallMM: SetSmallMM_Click(); return;
    case Control::HelpPort: HelpPort_Click(); return;
    case Control::HelpMeasButt: HelpMeasButt_Click(); return;
    case Control::cmdProbeLogicInfo: cmdProbeLogicInfo_Click(); return;
    case Control::cmdFourthAxisHomingInfo: cmdFourthAxisHomingInfo_Click(); return;
    case Control::Label15: Label15_Click(); return;
    default: return;
    }
}

void MainScreen::FocusLeft(Control control) {
    if (const auto index = Step0Index(control)) Step0_LostFocus(static_cast<std::int16_t>(*index));
}

void MainScreen::CloseRequested() {
    // Once the program is being ended, closing its window asks nothing again.
    if (ending_) return;
    DoneButt_Click();
}

// ---------------------------------------------------------------------------
// Start-up and panels

void MainScreen::Form_Load() {
    form_.SetEnabled(Control::txtOpenedFile, false);
    form_.SetEnabled(Control::OpenProfile, false);
    form_.SetEnabled(Control::MachineType, true);
    EnableStuff(false);
    // Appending selects no row: the list keeps the text it shows.
    for (const char* row : {"<Choose machine this config. is for>", "Ombrel M40", "Ombrel M40 Wide Speed Spindle",
                            "Ombrel M40 Series II/Series 3", "Ombrel M25 Original/Series 3"})
        form_.AddRow(Control::MachineType, row);
    MachineIndex = -1;
    for (const char* row : {"Probe breaks circuit on touch (passive probe)", "Probe makes circuit on touch (active probe)"})
        form_.AddRow(Control::ProbeLogicCombo, row);
    for (const char* row : {"Homing disabled", "Homing enabled"}) form_.AddRow(Control::FourthHomingCombo, row);
}

void MainScreen::EnableStuff(bool state) {
    for (const Control control :
         {Control::PortFrame, Control::SpindleFrame, Control::JogFrame, Control::SaveButt, Control::HelpPort,
          Control::HelpMeasButt, Control::ProbeFrame, Control::FourthAxisHomingFrame, Control::SetDef,
          Control::SetSmallInch, Control::SetSmallMM})
        form_.SetEnabled(control, state);
}

void MainScreen::Label15_Click() {
    for (const Control control : {Control::PulseMagic, Control::PulseMagicLabel, Control::XMLRev, Control::XMLRevLabel})
        form_.SetVisible(control, true);
}

void MainScreen::ProbeLogicCombo_Click() {
    ProbeLogicIndex = static_cast<std::int16_t>(form_.ListIndex(Control::ProbeLogicCombo));
}

void MainScreen::FourthHomingCombo_Click() {
    FourthHomingIndex = static_cast<std::int16_t>(form_.ListIndex(Control::FourthHomingCombo));
    ProfileChanged = true;
}

// ---------------------------------------------------------------------------
// Machine choice

void MainScreen::MachineType_Click() {
    MachineIndex = static_cast<std::int16_t>(form_.ListIndex(Control::MachineType));
    form_.SetEnabled(Control::txtOpenedFile, true);
    form_.SetEnabled(Control::OpenProfile, true);
    switch (MachineIndex) {
    case 1:
        SetVfdDisplay(false);
        break;
    case 2:
    case 3:
        SetVfdDisplay(true);
        SetText(Control::TestSpeed, "500");
        NominalHz = 34.6;
        break;
    case 4:
        SetVfdDisplay(true);
        SetText(Control::TestSpeed, "1000");
        NominalHz = 36.3;
        break;
    default:
        form_.SetEnabled(Control::txtOpenedFile, false);
        form_.SetEnabled(Control::OpenProfile, false);
        break;
    }
}

void MainScreen::SetVfdDisplay(bool digital) {
    DigitalVfd = digital;
    // Every control of the window, in the window's order, whatever panel it sits
    // in; the markers are matched case-sensitively, and "Volts" is looked at last.
    for (int i = 0; i < kControlCount; ++i) {
        const auto control = static_cast<Control>(i);
        const std::string tag = form_.Tag(control);
        if (tag.find("Hz") != std::string::npos) form_.SetVisible(control, digital);
        if (tag.find("Volts") != std::string::npos) form_.SetVisible(control, !digital);
    }
}
