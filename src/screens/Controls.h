#pragma once
// The main window's controls, by the names the handlers use, in the window's
// own order (top to bottom, left to right, the file dialog last). The ten jog
// entries are the control array Step0; Step0(i) gives entry i.

#include <cstdint>
#include <optional>

enum class Control : std::uint8_t {
    // Top band
    Label16, MachineType, Dummy, Label17, OpenProfile, txtOpenedFile, Label19, Label1,
    // Printer Port
    PortFrame, Label5, PortAdd, Label6, HelpPort,
    // Spindle Calibration
    SpindleFrame, Label2, Label7, NewSteps, Label3, ManVolts, Label13, TestSpeed, Label9, Label4, AutoVolts,
    Label14, HzAt500, HelpMeasButt,
    // On the window, in front of the spindle panel
    SpinVel,
    // Jog Steps
    JogFrame, Step0_0, Step0_1, Step0_2, Step0_3, Step0_4, Step0_5, Step0_6, Step0_7, Step0_8, Step0_9,
    Label10, SetDef, SetSmallInch, SetSmallMM, Label11,
    // Probe Logic Sense
    ProbeFrame, ProbeLogicCombo, cmdProbeLogicInfo,
    // 4th Axis Homing
    FourthAxisHomingFrame, FourthHomingCombo, cmdFourthAxisHomingInfo,
    // Hidden pair
    PulseMagicLabel, PulseMagic, XMLRevLabel, XMLRev,
    // Foot
    SaveButt, Label18, DoneButt, Label8, Label15, Label12,
    // Non-visual
    XMLFileOpen,
    None,  // no control (help windows' controls, the window itself)
};

inline constexpr int kControlCount = static_cast<int>(Control::None);

// Entry `index` (0 to 9) of the jog array.
constexpr Control Step0(int index) {
    return static_cast<Control>(static_cast<int>(Control::Step0_0) + index);
}

// The jog entry's index, or nullopt for any other control.
constexpr std::optional<int> Step0Index(Control control) {
    const int i = static_cast<int>(control) - static_cast<int>(Control::Step0_0);
    if (i < 0 || i > 9) return std::nullopt;
    return i;
}
