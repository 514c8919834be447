// The main window as laid out: every control in the window's own order, which
// is the order of the Control enum. Later controls lie in front of earlier ones
// where they overlap (SpinVel in front of the spindle panel).

#include <array>

#include "screens/Layout.h"

namespace layout {
namespace {

constexpr std::array<ControlLayout, kControlCount> kMainControls{{
    {.id = Control::Label16, .name = "Label16", .kind = Kind::Label, .text = "1) Machine Config is for:", .left = 240, .top = 360, .width = 2655, .height = 375, .tab = 47, .font = kBoldCaption},
    {.id = Control::MachineType, .name = "MachineType", .kind = Kind::ComboBox, .text = "<Choose machine this config. is for>", .left = 2880, .top = 360, .width = 3375, .height = 315, .tab = 46, .tooltip = "Select which Dorvane machine the configuration is to be used on"},
    {.id = Control::Dummy, .name = "Dummy", .kind = Kind::TextBox, .left = 6600, .top = 360, .width = 255, .height = 285, .tab = 1, .backColour = Colour::ButtonFace, .enabled = false, .border = false},
    {.id = Control::Label17, .name = "Label17", .kind = Kind::Label, .text = "2)", .left = 240, .top = 840, .width = 255, .height = 375, .tab = 48, .font = kBoldCaption},
    {.id = Control::OpenProfile, .name = "OpenProfile", .kind = Kind::Button, .text = "Open Profile", .left = 600, .top = 840, .width = 2055, .height = 375, .tab = 0, .tooltip = "Open the Profile to configure", .font = kBoldCaption},
    {.id = Control::txtOpenedFile, .name = "txtOpenedFile", .kind = Kind::TextBox, .text = "<none>", .left = 2880, .top = 840, .width = 3375, .height = 375, .tab = 2},
    {.id = Control::Label19, .name = "Label19", .kind = Kind::Label, .text = "3) Now configure data in the panels below", .left = 240, .top = 1440, .width = 4335, .height = 375, .tab = 55, .font = kBoldCaption},
    {.id = Control::Label1, .name = "Label1", .kind = Kind::Label, .text = "CAUTION! Do not run this utility when machine Control Software is running or you will lose your changes when you close the Control Software", .left = 270, .top = 1905, .width = 5295, .height = 465, .tab = 17, .foreColour = Colour::Red, .align = Align::Centre},
    {.id = Control::PortFrame, .name = "PortFrame", .kind = Kind::Frame, .text = "Printer Port", .left = 225, .top = 2400, .width = 5310, .height = 1185, .tab = 4},
    {.id = Control::Label5, .name = "Label5", .kind = Kind::Label, .container = "PortFrame", .text = "Printer port address in Hex", .left = 210, .top = 270, .width = 1980, .height = 270, .tab = 5},
    {.id = Control::PortAdd, .name = "PortAdd", .kind = Kind::TextBox, .container = "PortFrame", .left = 2160, .top = 240, .width = 855, .height = 285, .tab = 54, .tooltip = "Enter port address from Windows' Device Manager screen", .align = Align::Right},
    {.id = Control::Label6, .name = "Label6", .kind = Kind::Label, .container = "PortFrame", .text = "(does not need 0x in number)", .left = 3135, .top = 270, .width = 2145, .height = 345, .tab = 6},
    {.id = Control::HelpPort, .name = "HelpPort", .kind = Kind::Button, .container = "PortFrame", .text = "Help", .left = 3600, .top = 615, .width = 1095, .height = 420, .tab = 21, .tooltip = "Click for illustation of how to use Control Panel to find address on your system"},
    {.id = Control::SpindleFrame, .name = "SpindleFrame", .kind = Kind::Frame, .text = "Spindle Calibration", .left = 240, .top = 3660, .width = 5325, .height = 2685, .tab = 7, .tooltip = "This allows you to adjust the control software so the maximum speed is the same with both computer and manual control", .foreColour = Colour::DarkRed},
    {.id = Control::Label2, .name = "Label2", .kind = Kind::Label, .container = "SpindleFrame", .text = "Spindle steps per unit are", .left = 270, .top = 390, .width = 1875, .height = 360, .tab = 8},
    {.id = Control::Label7, .name = "Label7", .kind = Kind::Label, .container = "SpindleFrame", .text = "will be", .left = 3150, .top = 405, .width = 450, .height = 240, .tab = 14},
    {.id = Control::NewSteps, .name = "NewSteps", .kind = Kind::TextBox, .container = "SpindleFrame", .left = 3705, .top = 360, .width = 915, .height = 300, .tab = 13, .backColour = Colour::ButtonFace, .align = Align::Right, .readOnly = true},
    {.id = Control::Label3, .name = "Label3", .kind = Kind::Label, .container = "SpindleFrame", .text = "Volts on Manual knob at full speed", .left = 600, .top = 720, .width = 1485, .height = 480, .tab = 9, .tag = "Volts", .align = Align::Right, .visible = false},
    {.id = Control::ManVolts, .name = "ManVolts", .kind = Kind::TextBox, .container = "SpindleFrame", .left = 2145, .top = 855, .width = 975, .height = 285, .tab = 11, .tag = "Volts", .tooltip = "Enter voltage measured (S1 to S2)", .align = Align::Right, .visible = false},
    {.id = Control::Label13, .name = "Label13", .kind = Kind::Label, .container = "SpindleFrame", .text = "Run spindle in low gear with S word as", .left = 600, .top = 720, .width = 1455, .height = 495, .tab = 50, .tag = "Hz"},
    {.id = Control::TestSpeed, .name = "TestSpeed", .kind = Kind::TextBox, .container = "SpindleFrame", .left = 2160, .top = 840, .width = 615, .height = 285, .tab = 51, .tag = "Hz", .backColour = Colour::ButtonFace, .readOnly = true},
    {.id = Control::Label9, .name = "Label9", .kind = Kind::Label, .container = "SpindleFrame", .text = "Measure voltages with Spindle Isolator in OFF position", .left = 3465, .top = 1020, .width = 1425, .height = 585, .tab = 19, .tag = "Volts", .align = Align::Centre, .visible = false},
    {.id = Control::Label4, .name = "Label4", .kind = Kind::Label, .container = "SpindleFrame", .text = "Volts on Auto, Hi pulley S = 4200", .left = 360, .top = 1320, .width = 1725, .height = 465, .tab = 10, .tag = "Volts", .align = Align::Right, .visible = false},
    {.id = Control::AutoVolts, .name = "AutoVolts", .kind = Kind::TextBox, .container = "SpindleFrame", .left = 2145, .top = 1380, .width = 975, .height = 285, .tab = 12, .tag = "Volts", .tooltip = "Enter voltage measured (S1 to S2)", .align = Align::Right, .visible = false},
    {.id = Control::Label14, .name = "Label14", .kind = Kind::Label, .container = "SpindleFrame", .text = "VFD Fr reading is:", .left = 600, .top = 1320, .width = 1455, .height = 255, .tab = 39, .tag = "Hz", .align = Align::Right},
    {.id = Control::HzAt500, .name = "HzAt500", .kind = Kind::TextBox, .container = "SpindleFrame", .left = 2160, .top = 1320, .width = 975, .height = 285, .tab = 40, .tag = "Hz", .tooltip = "Enter VFD Fr reading when in Low Gear and S-word as above", .align = Align::Right},
    {.id = Control::HelpMeasButt, .name = "HelpMeasButt", .kind = Kind::Button, .container = "SpindleFrame", .text = "Help", .left = 3510, .top = 2040, .width = 1155, .height = 420, .tab = 20, .tooltip = "Click to see where to measure Volts/Hz"},
    {.id = Control::SpinVel, .name = "SpinVel", .kind = Kind::TextBox, .left = 2415, .top = 4020, .width = 810, .height = 285, .tab = 3, .backColour = Colour::ButtonFace, .align = Align::Right, .readOnly = true},
    {.id = Control::JogFrame, .name = "JogFrame", .kind = Kind::Frame, .text = "Jog Steps", .left = 5760, .top = 1740, .width = 2775, .height = 4215, .tab = 22, .tooltip = "Steps used on keyboard jogging and Jog/Shuttle's Inner wheel"},
    {.id = Control::Step0_0, .name = "Step0", .index = 0, .kind = Kind::TextBox, .container = "JogFrame", .left = 240, .top = 480, .width = 975, .height = 285, .tab = 23, .tooltip = "Set a step size"},
    {.id = Control::Step0_1, .name = "Step0", .index = 1, .kind = Kind::TextBox, .container = "JogFrame", .left = 240, .top = 840, .width = 975, .height = 285, .tab = 24, .tooltip = "Set a step size"},
    {.id = Control::Step0_2, .name = "Step0", .index = 2, .kind = Kind::TextBox, .container = "JogFrame", .left = 240, .top = 1200, .width = 975, .height = 285, .tab = 25, .tooltip = "Set a step size"},
    {.id = Control::Step0_3, .name = "Step0", .index = 3, .kind = Kind::TextBox, .container = "JogFrame", .left = 240, .top = 1560, .width = 975, .height = 285, .tab = 26, .tooltip = "Set a step size"},
    {.id = Control::Step0_4, .name = "Step0", .index = 4, .kind = Kind::TextBox, .container = "JogFrame", .left = 240, .top = 1920, .width = 975, .height = 285, .tab = 27, .tooltip = "Set a step size"},
    {.id = Control::Step0_5, .name = "Step0", .index = 5, .kind = Kind::TextBox, .container = "JogFrame", .left = 240, .top = 2280, .width = 975, .height = 285, .tab = 28, .tooltip = "Set a step size"},
    {.id = Control::Step0_6, .name = "Step0", .index = 6, .kind = Kind::TextBox, .container = "JogFrame", .left = 240, .top = 2640, .width = 975, .height = 285, .tab = 29, .tooltip = "Set a step size"},
    {.id = Control::Step0_7, .name = "Step0", .index = 7, .kind = Kind::TextBox, .container = "JogFrame", .left = 240, .top = 3000, .width = 975, .height = 285, .tab = 30, .tooltip = "Set a step size"},
    {.id = Control::Step0_8, .name = "Step0", .index = 8, .kind = Kind::TextBox, .container = "JogFrame", .left = 240, .top = 3360, .width = 975, .height = 285, .tab = 31, .tooltip = "Set a step size"},
    {.id = Control::Step0_9, .name = "Step0", .index = 9, .kind = Kind::TextBox, .container = "JogFrame", .left = 240, .top = 3720, .width = 975, .height = 285, .tab = 32, .tooltip = "Set a step size"},
    {.id = Control::Label10, .name = "Label10", .kind = Kind::Label, .container = "JogFrame", .text = "Quick settings", .left = 1440, .top = 480, .width = 1095, .height = 375, .tab = 36, .align = Align::Centre},
    {.id = Control::SetDef, .name = "SetDef", .kind = Kind::Button, .container = "JogFrame", .text = "Ombrel3 Default", .left = 1560, .top = 840, .width = 975, .height = 495, .tab = 33, .tooltip = "Values in Ombrel3 release"},
    {.id = Control::SetSmallInch, .name = "SetSmallInch", .kind = Kind::Button, .container = "JogFrame", .text = "Small steps (inch)", .left = 1560, .top = 1440, .width = 975, .height = 495, .tab = 34, .tooltip = "0ne tenth and one thou."},
    {.id = Control::SetSmallMM, .name = "SetSmallMM", .kind = Kind::Button, .container = "JogFrame", .text = "Small steps (mm)", .left = 1560, .top = 2040, .width = 975, .height = 495, .tab = 35, .tooltip = "20 microns and 2 microns"},
    {.id = Control::Label11, .name = "Label11", .kind = Kind::Label, .container = "JogFrame", .text = "or type in the sequence you want. For safety, avoid a big change from last back to first", .left = 1560, .top = 2640, .width = 975, .height = 1455, .tab = 37, .tooltip = "All these are used in sequence so fill table with duplicate values if necessary"},
    {.id = Control::ProbeFrame, .name = "ProbeFrame", .kind = Kind::Frame, .text = "Probe Logic Sense", .left = 240, .top = 6480, .width = 5295, .height = 735, .tab = 52},
    {.id = Control::ProbeLogicCombo, .name = "ProbeLogicCombo", .kind = Kind::ComboBox, .container = "ProbeFrame", .left = 240, .top = 240, .width = 3735, .height = 315, .tab = 53, .tooltip = "Choose the logic polarity of touch probe"},
    {.id = Control::cmdProbeLogicInfo, .name = "cmdProbeLogicInfo", .kind = Kind::Button, .container = "ProbeFrame", .text = "Info", .left = 4080, .top = 240, .width = 1035, .height = 345, .tab = 58},
    {.id = Control::FourthAxisHomingFrame, .name = "FourthAxisHomingFrame", .kind = Kind::Frame, .text = "4th Axis Homing", .left = 240, .top = 7200, .width = 5295, .height = 735, .tab = 56},
    {.id = Control::FourthHomingCombo, .name = "FourthHomingCombo", .kind = Kind::ComboBox, .container = "FourthAxisHomingFrame", .left = 240, .top = 240, .width = 3735, .height = 315, .tab = 57},
    {.id = Control::cmdFourthAxisHomingInfo, .name = "cmdFourthAxisHomingInfo", .kind = Kind::Button, .container = "FourthAxisHomingFrame", .text = "Info", .left = 4080, .top = 240, .width = 1035, .height = 345, .tab = 59},
    {.id = Control::PulseMagicLabel, .name = "PulseMagicLabel", .kind = Kind::Label, .text = "Pulse magic number", .left = 5880, .top = 6300, .width = 1695, .height = 255, .tab = 42, .visible = false},
    {.id = Control::PulseMagic, .name = "PulseMagic", .kind = Kind::TextBox, .left = 7620, .top = 6240, .width = 915, .height = 315, .tab = 41, .backColour = Colour::ScrollBar, .visible = false},
    {.id = Control::XMLRevLabel, .name = "XMLRevLabel", .kind = Kind::Label, .text = "XML Revision", .left = 6300, .top = 6720, .width = 1095, .height = 315, .tab = 45, .visible = false},
    {.id = Control::XMLRev, .name = "XMLRev", .kind = Kind::TextBox, .left = 7620, .top = 6660, .width = 915, .height = 315, .tab = 44, .backColour = Colour::ScrollBar, .visible = false},
    {.id = Control::SaveButt, .name = "SaveButt", .kind = Kind::Button, .text = "Save Profile", .left = 600, .top = 8040, .width = 1575, .height = 450, .tab = 15, .tooltip = "Click to save the information", .font = kBoldCaption},
    {.id = Control::Label18, .name = "Label18", .kind = Kind::Label, .text = "4)", .left = 240, .top = 8160, .width = 255, .height = 375, .tab = 49, .font = kBoldCaption},
    {.id = Control::DoneButt, .name = "DoneButt", .kind = Kind::Button, .text = "Done", .left = 7200, .top = 8640, .width = 1110, .height = 450, .tab = 16, .tooltip = "Click to close the program"},
    {.id = Control::Label8, .name = "Label8", .kind = Kind::Label, .text = "OmbrelConfig Rev 4.2", .left = 240, .top = 8760, .width = 1680, .height = 300, .tab = 18},
    {.id = Control::Label15, .name = "Label15", .kind = Kind::Label, .text = "©", .left = 2460, .top = 8760, .width = 195, .height = 195, .tab = 43},
    {.id = Control::Label12, .name = "Label12", .kind = Kind::Label, .text = "Copyright 2026 the OmbrelConfig authors", .left = 2640, .top = 8760, .width = 1935, .height = 495, .tab = 38},
    {.id = Control::XMLFileOpen, .name = "XMLFileOpen", .kind = Kind::FileDialog, .left = 0, .top = 0, .width = 0, .height = 0, .tab = -1},
}};

constexpr WindowLayout kMainWindow{
    .name = "MainScreen",
    .caption = "Configure Ombrel Profile",
    .border = Border::SizableToolWindow,
    .controlBox = false,
    .minMaxBoxes = false,
    .inTaskbar = false,
    .manualPlacement = false,
    .clientWidth = 8745,
    .clientHeight = 9285,
    .programIcon = true,
    .controls = kMainControls,
};

// Each entry sits at the place of its Control value.
constexpr bool InEnumOrder() {
    for (int i = 0; i < kControlCount; ++i)
        if (static_cast<int>(kMainControls[static_cast<std::size_t>(i)].id) != i) return false;
    return true;
}
static_assert(InEnumOrder(), "the main window's controls must follow the Control enum");

}  // namespace

const WindowLayout& MainWindow() { return kMainWindow; }

const ControlLayout& MainControl(Control control) { return kMainControls[static_cast<std::size_t>(control)]; }

const ControlLayout* FindMainControl(std::string_view name, int index) {
    for (const ControlLayout& laidOut : kMainControls)
        if (laidOut.name == name && laidOut.index == index) return &laidOut;
    return nullptr;
}

std::optional<Rgb> FixedColour(Colour colour) {
    switch (colour) {
    case Colour::Red: return Rgb{255, 0, 0};
    case Colour::DarkRed: return Rgb{64, 0, 0};
    case Colour::Default:
    case Colour::ButtonFace:
    case Colour::ScrollBar:
    case Colour::TitleBarText: break;
    }
    return std::nullopt;
}

}  // namespace layout
