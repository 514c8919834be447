// The five help and information windows as laid out. Later controls lie in
// front of earlier ones (the probe names over the picture of the probes).

#include <array>

#include "screens/Layout.h"

namespace layout {
namespace {

constexpr std::array<ControlLayout, 1> kHelpMeasureControls{{
    {.name = "Picture1", .kind = Kind::PictureBox, .left = 150, .top = 120, .width = 5850, .height = 6075,
     .picture = "measure.jpg", .pictureWidth = 399, .pictureHeight = 450},
}};

// The box is its picture plus the border; it starts 3 pixels left of the client
// area and is taller than it, so its lower part shows only in a larger window.
constexpr std::array<ControlLayout, 1> kHelpPrinterControls{{
    {.name = "PicResources", .kind = Kind::PictureBox, .left = -45, .top = 45, .width = 9105, .height = 10845,
     .picture = "printer-port.jpg", .pictureWidth = 603, .pictureHeight = 719},
}};

constexpr std::array<ControlLayout, 2> kHelpDigVfdControls{{
    {.name = "Image1", .kind = Kind::Image, .left = 360, .top = 240, .width = 3735, .height = 4140, .tab = 0,
     .picture = "vfd-display.jpg", .pictureWidth = 954, .pictureHeight = 964},
    {.name = "Label1", .kind = Kind::Label, .text = "Frequency being displayed is 137 Hz", .left = 600, .top = 4560,
     .width = 3375, .height = 1335, .tab = 1, .font = {12, true}, .align = Align::Centre},
}};

constexpr std::string_view kProbeLogicText =
    "The Dorvane installation of Mach 3 is configured by default to work with the Dorvane Active (digitizing) "
    "Probe (part number 57336).  If you  are using a Dorvane Passive Probe (PN 56472) or a non-Dorvane probe you "
    "may need to change the probe logic on this drop-down menu to allow the probe to function properly.  To "
    "determine whether your probe is configured properly, plug the probe into the accessory port and view the "
    "Diagnostics screen in Mach 3.  If the digitize light is on when the probe is not triggered, you will need to "
    "change the probe logic.";

constexpr std::array<ControlLayout, 4> kInfoProbeLogicControls{{
    {.name = "Image1", .kind = Kind::Image, .left = 120, .top = 120, .width = 7635, .height = 6555, .tab = 0,
     .picture = "probes.jpg", .pictureWidth = 841, .pictureHeight = 742},
    {.name = "Label1", .index = 0, .kind = Kind::Label, .text = "Passive Probe (PN 56472)", .left = 1080, .top = 720,
     .width = 2535, .height = 375, .tab = 1, .font = {9.75, false}, .backColour = Colour::TitleBarText},
    {.name = "Label1", .index = 1, .kind = Kind::Label, .text = "Active Probe (PN 55190)", .left = 4440, .top = 720,
     .width = 2535, .height = 375, .tab = 2, .font = {9.75, false}, .backColour = Colour::TitleBarText},
    {.name = "lblProbeLogicInfo", .kind = Kind::Label, .text = kProbeLogicText, .left = 120, .top = 6840,
     .width = 7575, .height = 1215, .tab = 3},
}};

constexpr std::string_view kFourthAxisHomingText =
    "This menu allows you to configure your machine to use Dorvane's 4th axis homing kit (part number 58204).  "
    "If you enable 4th axis homing, you can reference your A axis to a repeatable home position using the REF "
    "button in Mach 3.";

constexpr std::array<ControlLayout, 2> kInfoFourthAxisHomingControls{{
    {.name = "Picture1", .kind = Kind::PictureBox, .left = 240, .top = 240, .width = 6255, .height = 4935, .tab = 0,
     .picture = "fourth-axis-homing.bmp", .pictureWidth = 600, .pictureHeight = 400},
    {.name = "lblFourthAxisHomingInfo", .kind = Kind::Label, .text = kFourthAxisHomingText, .left = 240,
     .top = 5520, .width = 6255, .height = 615, .tab = 1},
}};

constexpr std::array<WindowLayout, kHelpWindows> kHelpWindowLayouts{{
    {.name = "HelpMeasure", .caption = "Measuring Spindle Control Volts", .border = Border::FixedDialog,
     .manualPlacement = true, .left = 2760, .top = 3750, .clientWidth = 6255, .clientHeight = 6405,
     .controls = kHelpMeasureControls},
    {.name = "HelpPrinter", .caption = "Finding Printer Port address in XP", .border = Border::SizableToolWindow,
     .manualPlacement = true, .left = 2775, .top = 3720, .clientWidth = 9150, .clientHeight = 9930,
     .controls = kHelpPrinterControls},
    {.name = "HelpDigVFD", .caption = "Digital VFD Help", .border = Border::FixedDialog, .manualPlacement = true,
     .left = 2760, .top = 3750, .clientWidth = 4755, .clientHeight = 5445, .controls = kHelpDigVfdControls},
    {.name = "InfoProbeLogic", .caption = "Probe Logic", .border = Border::Sizable, .minMaxBoxes = true,
     .inTaskbar = true, .clientWidth = 7860, .clientHeight = 8190, .controls = kInfoProbeLogicControls},
    {.name = "InfoFourthAxisHoming", .caption = "Fourth Axis Homing Kit (PN 58204)", .border = Border::Sizable,
     .minMaxBoxes = true, .inTaskbar = true, .clientWidth = 6765, .clientHeight = 6570,
     .controls = kInfoFourthAxisHomingControls},
}};

}  // namespace

const WindowLayout& Help(HelpWindow window) { return kHelpWindowLayouts[static_cast<std::size_t>(window)]; }

}  // namespace layout
