// The layout data of the six windows against the layout tables: every control
// of the main window with its kind, container, text, place and size in twips,
// tab index, Tag, tooltip, font, colours, alignment and design-time settings;
// the focus order that the tab indexes give; the window itself; and the five
// help and information windows with their controls and pictures.
// Standard C++ only: it runs wherever the front ends are built.

#include "screens/Layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using namespace layout;

namespace {

// --- The main window's controls, as the layout tables give them --------------

// One row of a layout table. `settings` is the table's Settings column in its
// own words, separated by ";": bold, hidden, disabled, read-only, right,
// centre, Tag Hz, Tag Volts, red text, dark red caption, button-face,
// scroll-bar. A word the test does not know fails it.
struct Row {
    const char* name;
    int index;  // element of Step0, else -1
    Kind kind;
    const char* container;  // "" = on the window
    const char* text;
    int left, top, width, height, tab;
    const char* settings;
};

// The tables from top to bottom and left to right, which is the window's own
// order (a later control lies in front of an earlier one: SpinVel in front of
// the spindle panel). The Step0 rows are added by Rows() below.
const Row kTopAndPanels[] = {
    // Top band
    {"Label16", -1, Kind::Label, "", "1) Machine Config is for:", 240, 360, 2655, 375, 47, "bold"},
    {"MachineType", -1, Kind::ComboBox, "", "<Choose machine this config. is for>", 2880, 360, 3375, 315, 46, ""},
    {"Dummy", -1, Kind::TextBox, "", "", 6600, 360, 255, 285, 1, "disabled; button-face"},
    {"Label17", -1, Kind::Label, "", "2)", 240, 840, 255, 375, 48, "bold"},
    {"OpenProfile", -1, Kind::Button, "", "Open Profile", 600, 840, 2055, 375, 0, "bold"},
    {"txtOpenedFile", -1, Kind::TextBox, "", "<none>", 2880, 840, 3375, 375, 2, ""},
    {"Label19", -1, Kind::Label, "", "3) Now configure data in the panels below", 240, 1440, 4335, 375, 55, "bold"},
    {"Label1", -1, Kind::Label, "",
     "CAUTION! Do not run this utility when machine Control Software is running or you will lose your changes "
     "when you close the Control Software",
     270, 1905, 5295, 465, 17, "centre; red text"},
    // Printer Port
    {"PortFrame", -1, Kind::Frame, "", "Printer Port", 225, 2400, 5310, 1185, 4, ""},
    {"Label5", -1, Kind::Label, "PortFrame", "Printer port address in Hex", 210, 270, 1980, 270, 5, ""},
    {"PortAdd", -1, Kind::TextBox, "PortFrame", "", 2160, 240, 855, 285, 54, "right"},
    {"Label6", -1, Kind::Label, "PortFrame", "(does not need 0x in number)", 3135, 270, 2145, 345, 6, ""},
    {"HelpPort", -1, Kind::Button, "PortFrame", "Help", 3600, 615, 1095, 420, 21, ""},
    // Spindle Calibration
    {"SpindleFrame", -1, Kind::Frame, "", "Spindle Calibration", 240, 3660, 5325, 2685, 7, "dark red caption"},
    {"Label2", -1, Kind::Label, "SpindleFrame", "Spindle steps per unit are", 270, 390, 1875, 360, 8, ""},
    {"Label7", -1, Kind::Label, "SpindleFrame", "will be", 3150, 405, 450, 240, 14, ""},
    {"NewSteps", -1, Kind::TextBox, "SpindleFrame", "", 3705, 360, 915, 300, 13, "read-only; right; button-face"},
    {"Label3", -1, Kind::Label, "SpindleFrame", "Volts on Manual knob at full speed", 600, 720, 1485, 480, 9,
     "Tag Volts; hidden; right"},
    {"ManVolts", -1, Kind::TextBox, "SpindleFrame", "", 2145, 855, 975, 285, 11, "Tag Volts; hidden; right"},
    {"Label13", -1, Kind::Label, "SpindleFrame", "Run spindle in low gear with S word as", 600, 720, 1455, 495, 50,
     "Tag Hz"},
    {"TestSpeed", -1, Kind::TextBox, "SpindleFrame", "", 2160, 840, 615, 285, 51, "Tag Hz; read-only; button-face"},
    {"Label9", -1, Kind::Label, "SpindleFrame", "Measure voltages with Spindle Isolator in OFF position", 3465, 1020,
     1425, 585, 19, "Tag Volts; hidden; centre"},
    {"Label4", -1, Kind::Label, "SpindleFrame", "Volts on Auto, Hi pulley S = 4200", 360, 1320, 1725, 465, 10,
     "Tag Volts; hidden; right"},
    {"AutoVolts", -1, Kind::TextBox, "SpindleFrame", "", 2145, 1380, 975, 285, 12, "Tag Volts; hidden; right"},
    {"Label14", -1, Kind::Label, "SpindleFrame", "VFD Fr reading is:", 600, 1320, 1455, 255, 39, "Tag Hz; right"},
    {"HzAt500", -1, Kind::TextBox, "SpindleFrame", "", 2160, 1320, 975, 285, 40, "Tag Hz; right"},
    {"HelpMeasButt", -1, Kind::Button, "SpindleFrame", "Help", 3510, 2040, 1155, 420, 20, ""},
    // On the window, in front of the spindle panel's first row
    {"SpinVel", -1, Kind::TextBox, "", "", 2415, 4020, 810, 285, 3, "read-only; right; button-face"},
    // Jog Steps (the Step0 entries follow the frame)
    {"JogFrame", -1, Kind::Frame, "", "Jog Steps", 5760, 1740, 2775, 4215, 22, ""},
};

const Row kAfterTheJogEntries[] = {
    {"Label10", -1, Kind::Label, "JogFrame", "Quick settings", 1440, 480, 1095, 375, 36, "centre"},
    {"SetDef", -1, Kind::Button, "JogFrame", "Ombrel3 Default", 1560, 840, 975, 495, 33, ""},
    {"SetSmallInch", -1, Kind::Button, "JogFrame", "Small steps (inch)", 1560, 1440, 975, 495, 34, ""},
    {"SetSmallMM", -1, Kind::Button, "JogFrame", "Small steps (mm)", 1560, 2040, 975, 495, 35, ""},
    {"Label11", -1, Kind::Label, "JogFrame",
     "or type in the sequence you want. For safety, avoid a big change from last back to first", 1560, 2640, 975,
     1455, 37, ""},
    // Probe Logic Sense
    {"ProbeFrame", -1, Kind::Frame, "", "Probe Logic Sense", 240, 6480, 5295, 735, 52, ""},
    {"ProbeLogicCombo", -1, Kind::ComboBox, "ProbeFrame", "", 240, 240, 3735, 315, 53, ""},
    {"cmdProbeLogicInfo", -1, Kind::Button, "ProbeFrame", "Info", 4080, 240, 1035, 345, 58, ""},
    // 4th Axis Homing
    {"FourthAxisHomingFrame", -1, Kind::Frame, "", "4th Axis Homing", 240, 7200, 5295, 735, 56, ""},
    {"FourthHomingCombo", -1, Kind::ComboBox, "FourthAxisHomingFrame", "", 240, 240, 3735, 315, 57, ""},
    {"cmdFourthAxisHomingInfo", -1, Kind::Button, "FourthAxisHomingFrame", "Info", 4080, 240, 1035, 345, 59, ""},
    // Hidden pair
    {"PulseMagicLabel", -1, Kind::Label, "", "Pulse magic number", 5880, 6300, 1695, 255, 42, "hidden"},
    {"PulseMagic", -1, Kind::TextBox, "", "", 7620, 6240, 915, 315, 41, "hidden; scroll-bar"},
    {"XMLRevLabel", -1, Kind::Label, "", "XML Revision", 6300, 6720, 1095, 315, 45, "hidden"},
    {"XMLRev", -1, Kind::TextBox, "", "", 7620, 6660, 915, 315, 44, "hidden; scroll-bar"},
    // Foot (Label12's copyright notice is our own wording: checked apart)
    {"SaveButt", -1, Kind::Button, "", "Save Profile", 600, 8040, 1575, 450, 15, "bold"},
    {"Label18", -1, Kind::Label, "", "4)", 240, 8160, 255, 375, 49, "bold"},
    {"DoneButt", -1, Kind::Button, "", "Done", 7200, 8640, 1110, 450, 16, ""},
    {"Label8", -1, Kind::Label, "", "OmbrelConfig Rev 4.2", 240, 8760, 1680, 300, 18, ""},
    {"Label15", -1, Kind::Label, "", "\xC2\xA9", 2460, 8760, 195, 195, 43, ""},
    {"Label12", -1, Kind::Label, "", nullptr, 2640, 8760, 1935, 495, 38, ""},
};

// Every row of the main window in its order: the tables, with the ten jog
// entries as one column under the jog frame, entry 0 at the top.
std::vector<Row> Rows() {
    std::vector<Row> rows(std::begin(kTopAndPanels), std::end(kTopAndPanels));
    for (int i = 0; i < 10; ++i) rows.push_back({"Step0", i, Kind::TextBox, "JogFrame", "", 240, 480 + 360 * i, 975, 285, 23 + i, ""});
    rows.insert(rows.end(), std::begin(kAfterTheJogEntries), std::end(kAfterTheJogEntries));
    return rows;
}

// Tooltips, word for word; every control not listed has none.
const std::map<std::string, std::string> kTooltips = {
    {"MachineType", "Select which Dorvane machine the configuration is to be used on"},
    {"OpenProfile", "Open the Profile to configure"},
    {"PortAdd", "Enter port address from Windows' Device Manager screen"},
    {"HelpPort", "Click for illustation of how to use Control Panel to find address on your system"},
    {"SpindleFrame", "This allows you to adjust the control software so the maximum speed is the same with both "
                     "computer and manual control"},
    {"ManVolts", "Enter voltage measured (S1 to S2)"},
    {"AutoVolts", "Enter voltage measured (S1 to S2)"},
    {"HzAt500", "Enter VFD Fr reading when in Low Gear and S-word as above"},
    {"HelpMeasButt", "Click to see where to measure Volts/Hz"},
    {"JogFrame", "Steps used on keyboard jogging and Jog/Shuttle's Inner wheel"},
    {"Step0", "Set a step size"},
    {"SetDef", "Values in Ombrel3 release"},
    {"SetSmallInch", "0ne tenth and one thou."},
    {"SetSmallMM", "20 microns and 2 microns"},
    {"Label11", "All these are used in sequence so fill table with duplicate values if necessary"},
    {"ProbeLogicCombo", "Choose the logic polarity of touch probe"},
    {"SaveButt", "Click to save the information"},
    {"DoneButt", "Click to close the program"},
};

// What a row's Settings column says, read into the data's terms.
struct Settings {
    Font font = kWindowFont;
    Colour fore = Colour::Default;
    Colour back = Colour::Default;
    Align align = Align::Left;
    std::string tag;
    bool visible = true;
    bool enabled = true;
    bool readOnly = false;
};

std::optional<Settings> ReadSettings(std::string_view words, std::string& unknown) {
    Settings s;
    while (!words.empty()) {
        const std::size_t end = words.find(';');
        std::string_view word = words.substr(0, end);
        words = end == std::string_view::npos ? std::string_view{} : words.substr(end + 1);
        while (!word.empty() && word.front() == ' ') word.remove_prefix(1);
        while (!word.empty() && word.back() == ' ') word.remove_suffix(1);
        if (word.empty()) continue;
        if (word == "bold") s.font = {9.75, true};
        else if (word == "hidden") s.visible = false;
        else if (word == "disabled") s.enabled = false;
        else if (word == "read-only") s.readOnly = true;
        else if (word == "right") s.align = Align::Right;
        else if (word == "centre") s.align = Align::Centre;
        else if (word == "Tag Hz") s.tag = "Hz";
        else if (word == "Tag Volts") s.tag = "Volts";
        else if (word == "red text") s.fore = Colour::Red;
        else if (word == "dark red caption") s.fore = Colour::DarkRed;
        else if (word == "button-face") s.back = Colour::ButtonFace;
        else if (word == "scroll-bar") s.back = Colour::ScrollBar;
        else {
            unknown = std::string(word);
            return std::nullopt;
        }
    }
    return s;
}

std::string NameOf(const ControlLayout& c) {
    return c.index < 0 ? std::string(c.name) : std::string(c.name) + "(" + std::to_string(c.index) + ")";
}
std::string NameOf(const Row& r) { return r.index < 0 ? r.name : std::string(r.name) + "(" + std::to_string(r.index) + ")"; }

// The visual controls of the main window: all but the file dialog.
std::vector<const ControlLayout*> VisualControls() {
    std::vector<const ControlLayout*> controls;
    for (const ControlLayout& c : MainWindow().controls)
        if (c.kind != Kind::FileDialog) controls.push_back(&c);
    return controls;
}

}  // namespace

// --- The main window ---------------------------------------------------------

TEST(MainLayout, EveryControlAsTheTablesGiveIt) {
    const std::vector<Row> rows = Rows();
    const std::vector<const ControlLayout*> controls = VisualControls();
    std::vector<std::string> expectedOrder, dataOrder;
    for (const Row& r : rows) expectedOrder.push_back(NameOf(r));
    for (const ControlLayout* c : controls) dataOrder.push_back(NameOf(*c));
    EXPECT_EQ(dataOrder, expectedOrder) << "the controls or their order differ from the tables";

    for (const Row& row : rows) {
        SCOPED_TRACE(NameOf(row));
        const ControlLayout* c = FindMainControl(row.name, row.index);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->kind, row.kind);
        EXPECT_EQ(c->container, row.container);
        if (row.text != nullptr) {
            EXPECT_EQ(c->text, row.text);
        }
        EXPECT_EQ(c->left, row.left);
        EXPECT_EQ(c->top, row.top);
        EXPECT_EQ(c->width, row.width);
        EXPECT_EQ(c->height, row.height);
        EXPECT_EQ(c->tab, row.tab);

        std::string unknown;
        const std::optional<Settings> s = ReadSettings(row.settings, unknown);
        ASSERT_TRUE(s.has_value()) << "a setting the test does not know: " << unknown;
        EXPECT_EQ(c->font, s->font);
        EXPECT_EQ(c->foreColour, s->fore);
        EXPECT_EQ(c->backColour, s->back);
        EXPECT_EQ(c->align, s->align);
        EXPECT_EQ(c->tag, s->tag);
        EXPECT_EQ(c->visible, s->visible);
        EXPECT_EQ(c->enabled, s->enabled);
        EXPECT_EQ(c->readOnly, s->readOnly);
        const auto tip = kTooltips.find(row.name);
        EXPECT_EQ(c->tooltip, tip == kTooltips.end() ? std::string() : tip->second);
        EXPECT_TRUE(c->picture.empty());
        // No caption defines a keyboard access key.
        EXPECT_EQ(c->text.find('&'), std::string_view::npos);
    }
    // The copyright notice is ours to word, but it is there.
    EXPECT_FALSE(MainControl(Control::Label12).text.empty());
}

TEST(MainLayout, FileDialogIsTheOneNonVisualControlAndHasNoPlace) {
    const ControlLayout& dialog = MainControl(Control::XMLFileOpen);
    EXPECT_EQ(dialog.name, "XMLFileOpen");
    EXPECT_EQ(dialog.kind, Kind::FileDialog);
    EXPECT_EQ(dialog.container, "");
    EXPECT_EQ(dialog.left, 0);
    EXPECT_EQ(dialog.top, 0);
    EXPECT_EQ(dialog.width, 0);
    EXPECT_EQ(dialog.height, 0);
    EXPECT_TRUE(dialog.tooltip.empty());
    EXPECT_TRUE(dialog.tag.empty());
    // It holds no place in the tab sequence either.
    EXPECT_TRUE(dialog.tab < 0 || dialog.tab > 59) << dialog.tab;
    for (const ControlLayout& c : MainWindow().controls) {
        if (&c != &dialog) {
            EXPECT_NE(c.kind, Kind::FileDialog) << NameOf(c);
        }
    }
}

// The data is reached three ways: by Control, by name, and through the Step0
// array; all three must name the same entry.
TEST(MainLayout, ControlsByEnumByNameAndByJogIndexAgree) {
    const WindowLayout& window = MainWindow();
    ASSERT_EQ(window.controls.size(), static_cast<std::size_t>(kControlCount));
    std::set<std::string> names;
    for (int i = 0; i < kControlCount; ++i) {
        const Control id = static_cast<Control>(i);
        const ControlLayout& c = MainControl(id);
        SCOPED_TRACE(NameOf(c));
        EXPECT_EQ(c.id, id);
        EXPECT_EQ(&c, &window.controls[static_cast<std::size_t>(i)]);
        EXPECT_EQ(FindMainControl(c.name, c.index), &c);
        EXPECT_TRUE(names.insert(NameOf(c)).second) << "two controls with one name";
        EXPECT_EQ(Step0Index(id).has_value(), c.name == "Step0");
    }
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Step0Index(Step0(i)), i);
        EXPECT_EQ(&MainControl(Step0(i)), FindMainControl("Step0", i));
        EXPECT_EQ(MainControl(Step0(i)).index, i);
    }
    EXPECT_EQ(FindMainControl("Step0"), nullptr) << "the array has no entry without an index";
    EXPECT_EQ(FindMainControl("Step0", 10), nullptr);
    EXPECT_EQ(FindMainControl("stepo"), nullptr);
    EXPECT_EQ(FindMainControl("label1"), nullptr) << "names are case-sensitive";
    EXPECT_EQ(Step0Index(Control::Label10), std::nullopt);
    EXPECT_EQ(Step0Index(Control::JogFrame), std::nullopt);
}

TEST(MainLayout, WindowIsASizableToolWindowWithoutBoxes) {
    const WindowLayout& w = MainWindow();
    EXPECT_EQ(w.name, "MainScreen");
    EXPECT_EQ(w.caption, "Configure Ombrel Profile");
    EXPECT_EQ(w.border, Border::SizableToolWindow);
    EXPECT_FALSE(w.controlBox) << "no control box, so no close box";
    EXPECT_FALSE(w.minMaxBoxes);
    EXPECT_FALSE(w.inTaskbar);
    EXPECT_FALSE(w.manualPlacement) << "placed by the window system";
    EXPECT_TRUE(w.programIcon);
    EXPECT_EQ(w.clientWidth, 8745);
    EXPECT_EQ(w.clientHeight, 9285);
    EXPECT_EQ(Pixels(w.clientWidth), 583);
    EXPECT_EQ(Pixels(w.clientHeight), 619);
    EXPECT_EQ(kFontFace, "MS Sans Serif");
    EXPECT_EQ(kDefaultPoints, 8.25);
    EXPECT_EQ(kWindowFont, (Font{0, false}));
    EXPECT_EQ(kBoldCaption, (Font{9.75, true}));
}

TEST(MainLayout, SixBoldCaptionsAndTheFixedColours) {
    std::vector<std::string> bold;
    for (const ControlLayout& c : MainWindow().controls)
        if (c.font != kWindowFont) bold.push_back(NameOf(c));
    EXPECT_EQ(bold, (std::vector<std::string>{"Label16", "Label17", "OpenProfile", "Label19", "SaveButt", "Label18"}));
    for (const std::string& name : bold) EXPECT_EQ(FindMainControl(name)->font, kBoldCaption) << name;

    EXPECT_EQ(FixedColour(Colour::Red), (Rgb{255, 0, 0}));
    EXPECT_EQ(FixedColour(Colour::DarkRed), (Rgb{64, 0, 0}));
    for (const Colour system : {Colour::Default, Colour::ButtonFace, Colour::ScrollBar, Colour::TitleBarText})
        EXPECT_EQ(FixedColour(system), std::nullopt) << static_cast<int>(system);
}

// The two calibration methods share their places: each "Volts" row lies where
// a "Hz" row lies or beside it, and only the "Hz" group shows at design time.
TEST(MainLayout, TagGroupsAreTheTwoCalibrationMethods) {
    std::vector<std::string> hz, volts;
    for (const ControlLayout& c : MainWindow().controls) {
        if (c.tag == "Hz") hz.push_back(NameOf(c));
        else if (c.tag == "Volts") volts.push_back(NameOf(c));
        else EXPECT_TRUE(c.tag.empty()) << NameOf(c) << " has the Tag " << c.tag;
        if (!c.tag.empty()) {
            EXPECT_EQ(c.container, "SpindleFrame") << NameOf(c);
            EXPECT_EQ(c.visible, c.tag == "Hz") << NameOf(c);
        }
    }
    EXPECT_EQ(hz, (std::vector<std::string>{"Label13", "TestSpeed", "Label14", "HzAt500"}));
    EXPECT_EQ(volts, (std::vector<std::string>{"Label3", "ManVolts", "Label9", "Label4", "AutoVolts"}));
}

// SpinVel belongs to the window, but lies over the spindle panel's first row,
// in front of it: between "Spindle steps per unit are" and "will be".
TEST(MainLayout, SpinVelLiesInFrontOfTheSpindlePanelsFirstRow) {
    const ControlLayout& frame = MainControl(Control::SpindleFrame);
    const ControlLayout& spinVel = MainControl(Control::SpinVel);
    const ControlLayout& label2 = MainControl(Control::Label2);
    const ControlLayout& label7 = MainControl(Control::Label7);
    EXPECT_EQ(spinVel.container, "");
    EXPECT_GT(static_cast<int>(Control::SpinVel), static_cast<int>(Control::HelpMeasButt))
        << "SpinVel must come after the panel and its controls to lie in front of them";
    EXPECT_GE(spinVel.left, frame.left);
    EXPECT_LE(spinVel.left + spinVel.width, frame.left + frame.width);
    EXPECT_GE(spinVel.top, frame.top);
    EXPECT_LE(spinVel.top + spinVel.height, frame.top + frame.height);
    EXPECT_GE(spinVel.left, frame.left + label2.left + label2.width);
    EXPECT_LE(spinVel.left + spinVel.width, frame.left + label7.left);
    // On the row: it overlaps both labels vertically.
    for (const ControlLayout* label : {&label2, &label7}) {
        EXPECT_LT(spinVel.top, frame.top + label->top + label->height) << label->name;
        EXPECT_GT(spinVel.top + spinVel.height, frame.top + label->top) << label->name;
    }
}

// --- Tab order -----------------------------------------------------------------

namespace {

// The focus order that the tab indexes give: the controls that can take the
// focus, by tab index, skipping labels and frames, and those that `skip` says
// cannot take it now.
template <typename Skip>
std::vector<std::string> FocusOrder(Skip skip) {
    std::vector<const ControlLayout*> controls = VisualControls();
    std::sort(controls.begin(), controls.end(), [](const ControlLayout* a, const ControlLayout* b) { return a->tab < b->tab; });
    std::vector<std::string> order;
    for (const ControlLayout* c : controls) {
        if (c->kind == Kind::Label || c->kind == Kind::Frame || skip(*c)) continue;
        order.push_back(NameOf(*c));
    }
    return order;
}

bool InDisabledPanel(const ControlLayout& c, const std::set<std::string_view>& disabled) {
    return !c.container.empty() && disabled.count(c.container) > 0;
}

}  // namespace

TEST(MainLayout, TabIndexesNumberEveryControlFromZeroTo59WithoutGaps) {
    std::vector<int> tabs;
    for (const ControlLayout* c : VisualControls()) tabs.push_back(c->tab);
    std::sort(tabs.begin(), tabs.end());
    std::vector<int> expected(60);
    for (int i = 0; i < 60; ++i) expected[static_cast<std::size_t>(i)] = i;
    EXPECT_EQ(tabs, expected);
}

TEST(MainLayout, TabIndexesGiveTheFocusOrder) {
    // Every control that can take the focus, whatever its state.
    EXPECT_EQ(FocusOrder([](const ControlLayout&) { return false; }),
              (std::vector<std::string>{"OpenProfile", "Dummy", "txtOpenedFile", "SpinVel", "ManVolts", "AutoVolts",
                                        "NewSteps", "SaveButt", "DoneButt", "HelpMeasButt", "HelpPort", "Step0(0)",
                                        "Step0(1)", "Step0(2)", "Step0(3)", "Step0(4)", "Step0(5)", "Step0(6)",
                                        "Step0(7)", "Step0(8)", "Step0(9)", "SetDef", "SetSmallInch", "SetSmallMM",
                                        "HzAt500", "PulseMagic", "XMLRev", "MachineType", "TestSpeed",
                                        "ProbeLogicCombo", "PortAdd", "FourthHomingCombo", "cmdProbeLogicInfo",
                                        "cmdFourthAxisHomingInfo"}));

    // As designed: the volts fields and the hidden pair hidden, Dummy disabled.
    EXPECT_EQ(FocusOrder([](const ControlLayout& c) { return !c.visible || !c.enabled; }),
              (std::vector<std::string>{"OpenProfile", "txtOpenedFile", "SpinVel", "NewSteps", "SaveButt", "DoneButt",
                                        "HelpMeasButt", "HelpPort", "Step0(0)", "Step0(1)", "Step0(2)", "Step0(3)",
                                        "Step0(4)", "Step0(5)", "Step0(6)", "Step0(7)", "Step0(8)", "Step0(9)",
                                        "SetDef", "SetSmallInch", "SetSmallMM", "HzAt500", "MachineType", "TestSpeed",
                                        "ProbeLogicCombo", "PortAdd", "FourthHomingCombo", "cmdProbeLogicInfo",
                                        "cmdFourthAxisHomingInfo"}));

    // At start the load disables txtOpenedFile, OpenProfile, the five panels and
    // SaveButt: SpinVel, on the window, is then the first to take the focus.
    const std::set<std::string_view> panels = {"PortFrame", "SpindleFrame", "JogFrame", "ProbeFrame",
                                               "FourthAxisHomingFrame"};
    const std::set<std::string_view> off = {"txtOpenedFile", "OpenProfile", "SaveButt"};
    EXPECT_EQ(FocusOrder([&](const ControlLayout& c) {
                  return !c.visible || !c.enabled || off.count(c.name) > 0 || InDisabledPanel(c, panels);
              }),
              (std::vector<std::string>{"SpinVel", "DoneButt", "MachineType"}));
}

// --- Twips to pixels -------------------------------------------------------------

TEST(MainLayout, TwipsBecomePixelsRoundedHalfUp) {
    struct Case {
        int twips, dpi, pixels;
    };
    for (const Case c : {Case{0, 96, 0}, Case{15, 96, 1}, Case{7, 96, 0}, Case{8, 96, 1}, Case{2655, 96, 177},
                         Case{-45, 96, -3}, Case{-7, 96, 0}, Case{-8, 96, -1}, Case{1440, 120, 120},
                         Case{6, 120, 1}, Case{-6, 120, 0}, Case{8745, 120, 729}, Case{9285, 144, 929},
                         Case{10845, 192, 1446}}) {
        EXPECT_EQ(Pixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi << " dpi";
    }
}

// --- The help and information windows ---------------------------------------------

namespace {

struct WindowRow {
    HelpWindow id;
    const char* name;
    const char* caption;
    Border border;
    bool minMaxBoxes, inTaskbar;
    bool manual;
    int left, top;
    int width, height;              // client area, twips
    int pixelWidth, pixelHeight;    // at 96 dpi
};

const WindowRow kWindows[] = {
    {HelpWindow::HelpMeasure, "HelpMeasure", "Measuring Spindle Control Volts", Border::FixedDialog, false, false,
     true, 2760, 3750, 6255, 6405, 417, 427},
    {HelpWindow::HelpPrinter, "HelpPrinter", "Finding Printer Port address in XP", Border::SizableToolWindow, false,
     false, true, 2775, 3720, 9150, 9930, 610, 662},
    {HelpWindow::HelpDigVFD, "HelpDigVFD", "Digital VFD Help", Border::FixedDialog, false, false, true, 2760, 3750,
     4755, 5445, 317, 363},
    {HelpWindow::InfoProbeLogic, "InfoProbeLogic", "Probe Logic", Border::Sizable, true, true, false, 0, 0, 7860, 8190,
     524, 546},
    {HelpWindow::InfoFourthAxisHoming, "InfoFourthAxisHoming", "Fourth Axis Homing Kit (PN 58204)", Border::Sizable,
     true, true, false, 0, 0, 6765, 6570, 451, 438},
};

struct HelpRow {
    HelpWindow window;
    const char* name;
    int index;
    Kind kind;
    int left, top, width, height;
    const char* text;      // labels
    Font font;
    Align align;
    Colour back;
    const char* picture;   // picture boxes and images
    int pictureWidth, pictureHeight;
};

constexpr Font kNoFont{};

const char* const kProbeLogicText =
    "The Dorvane installation of Mach 3 is configured by default to work with the Dorvane Active (digitizing) Probe "
    "(part number 57336).  If you  are using a Dorvane Passive Probe (PN 56472) or a non-Dorvane probe you may need "
    "to change the probe logic on this drop-down menu to allow the probe to function properly.  To determine whether "
    "your probe is configured properly, plug the probe into the accessory port and view the Diagnostics screen in "
    "Mach 3.  If the digitize light is on when the probe is not triggered, you will need to change the probe logic.";

const char* const kFourthAxisHomingText =
    "This menu allows you to configure your machine to use Dorvane's 4th axis homing kit (part number 58204).  If you "
    "enable 4th axis homing, you can reference your A axis to a repeatable home position using the REF button in "
    "Mach 3.";

const HelpRow kHelpControls[] = {
    {HelpWindow::HelpMeasure, "Picture1", -1, Kind::PictureBox, 150, 120, 5850, 6075, "", kNoFont, Align::Left,
     Colour::Default, "measure.jpg", 399, 450},
    {HelpWindow::HelpPrinter, "PicResources", -1, Kind::PictureBox, -45, 45, 9105, 10845, "", kNoFont, Align::Left,
     Colour::Default, "printer-port.jpg", 603, 719},
    {HelpWindow::HelpDigVFD, "Image1", -1, Kind::Image, 360, 240, 3735, 4140, "", kNoFont, Align::Left,
     Colour::Default, "vfd-display.jpg", 954, 964},
    {HelpWindow::HelpDigVFD, "Label1", -1, Kind::Label, 600, 4560, 3375, 1335, "Frequency being displayed is 137 Hz",
     Font{12, true}, Align::Centre, Colour::Default, "", 0, 0},
    {HelpWindow::InfoProbeLogic, "Image1", -1, Kind::Image, 120, 120, 7635, 6555, "", kNoFont, Align::Left,
     Colour::Default, "probes.jpg", 841, 742},
    {HelpWindow::InfoProbeLogic, "Label1", 0, Kind::Label, 1080, 720, 2535, 375, "Passive Probe (PN 56472)",
     Font{9.75, false}, Align::Left, Colour::TitleBarText, "", 0, 0},
    {HelpWindow::InfoProbeLogic, "Label1", 1, Kind::Label, 4440, 720, 2535, 375, "Active Probe (PN 55190)",
     Font{9.75, false}, Align::Left, Colour::TitleBarText, "", 0, 0},
    {HelpWindow::InfoProbeLogic, "lblProbeLogicInfo", -1, Kind::Label, 120, 6840, 7575, 1215, kProbeLogicText,
     kNoFont, Align::Left, Colour::Default, "", 0, 0},
    {HelpWindow::InfoFourthAxisHoming, "Picture1", -1, Kind::PictureBox, 240, 240, 6255, 4935, "", kNoFont,
     Align::Left, Colour::Default, "fourth-axis-homing.bmp", 600, 400},
    {HelpWindow::InfoFourthAxisHoming, "lblFourthAxisHomingInfo", -1, Kind::Label, 240, 5520, 6255, 615,
     kFourthAxisHomingText, kNoFont, Align::Left, Colour::Default, "", 0, 0},
};

}  // namespace

TEST(HelpLayouts, EachWindowWithItsCaptionStylePlacementAndSize) {
    for (const WindowRow& row : kWindows) {
        SCOPED_TRACE(row.name);
        const WindowLayout& w = Help(row.id);
        EXPECT_EQ(w.name, row.name);
        EXPECT_EQ(w.caption, row.caption);
        EXPECT_EQ(w.border, row.border);
        EXPECT_TRUE(w.controlBox) << "every help window closes by its close box";
        EXPECT_EQ(w.minMaxBoxes, row.minMaxBoxes);
        EXPECT_EQ(w.inTaskbar, row.inTaskbar);
        EXPECT_EQ(w.manualPlacement, row.manual);
        if (row.manual) {
            EXPECT_EQ(w.left, row.left);
            EXPECT_EQ(w.top, row.top);
        }
        EXPECT_EQ(w.clientWidth, row.width);
        EXPECT_EQ(w.clientHeight, row.height);
        EXPECT_EQ(Pixels(w.clientWidth), row.pixelWidth);
        EXPECT_EQ(Pixels(w.clientHeight), row.pixelHeight);
    }
}

TEST(HelpLayouts, EachWindowHoldsItsControlsAndNothingElse) {
    for (const WindowRow& window : kWindows) {
        SCOPED_TRACE(window.name);
        const WindowLayout& w = Help(window.id);
        std::vector<const HelpRow*> rows;
        for (const HelpRow& r : kHelpControls)
            if (r.window == window.id) rows.push_back(&r);
        ASSERT_EQ(w.controls.size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const HelpRow& row = *rows[i];
            const ControlLayout& c = w.controls[i];
            SCOPED_TRACE(row.name + (row.index < 0 ? std::string() : "(" + std::to_string(row.index) + ")"));
            EXPECT_EQ(c.id, Control::None);
            EXPECT_EQ(c.name, row.name);
            EXPECT_EQ(c.index, row.index);
            EXPECT_EQ(c.kind, row.kind);
            EXPECT_EQ(c.container, "");
            EXPECT_EQ(c.left, row.left);
            EXPECT_EQ(c.top, row.top);
            EXPECT_EQ(c.width, row.width);
            EXPECT_EQ(c.height, row.height);
            EXPECT_EQ(c.text, row.text);
            EXPECT_EQ(c.font, row.font);
            EXPECT_EQ(c.align, row.align);
            EXPECT_EQ(c.backColour, row.back);
            EXPECT_EQ(c.foreColour, Colour::Default);
            EXPECT_EQ(c.picture, row.picture);
            EXPECT_EQ(c.pictureWidth, row.pictureWidth);
            EXPECT_EQ(c.pictureHeight, row.pictureHeight);
            EXPECT_TRUE(c.tooltip.empty());
            EXPECT_TRUE(c.tag.empty());
            EXPECT_TRUE(c.visible);
            EXPECT_TRUE(c.enabled);
            // Nothing to type into, nothing to press.
            EXPECT_TRUE(c.kind == Kind::Label || c.kind == Kind::PictureBox || c.kind == Kind::Image);
            EXPECT_EQ(c.text.find('&'), std::string_view::npos);
        }
    }
}

// The two long texts keep their double spaces: between the sentences, and in
// "If you  are".
TEST(HelpLayouts, LongTextsKeepTheirDoubleSpaces) {
    const std::string_view probe = Help(HelpWindow::InfoProbeLogic).controls[3].text;
    const std::string_view homing = Help(HelpWindow::InfoFourthAxisHoming).controls[1].text;
    const auto count = [](std::string_view text, std::string_view what) {
        int n = 0;
        for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count(probe, "  "), 4);
    EXPECT_EQ(count(probe, ".  "), 3);
    EXPECT_NE(probe.find("If you  are using"), std::string_view::npos);
    EXPECT_EQ(count(homing, "  "), 1);
    EXPECT_NE(homing.find("(part number 58204).  If you enable"), std::string_view::npos);
    EXPECT_EQ(count(probe, "   "), 0);
    EXPECT_EQ(count(homing, "   "), 0);
}

// A picture box shows its picture at the picture's own size inside a border of
// 2 pixels a side: the printer-port box is exactly that size (and starts 3
// pixels left of the client area, taller than it); the others are smaller than
// their pictures, which they cut off at the right and the bottom.
TEST(HelpLayouts, PictureBoxesAgainstTheirPictures) {
    const ControlLayout& printer = Help(HelpWindow::HelpPrinter).controls[0];
    EXPECT_EQ(Pixels(printer.width), printer.pictureWidth + 4);
    EXPECT_EQ(Pixels(printer.height), printer.pictureHeight + 4);
    EXPECT_EQ(Pixels(printer.left), -3);
    EXPECT_GT(printer.top + printer.height, Help(HelpWindow::HelpPrinter).clientHeight);
    for (const HelpWindow id : {HelpWindow::HelpMeasure, HelpWindow::InfoFourthAxisHoming}) {
        const ControlLayout& box = Help(id).controls[0];
        SCOPED_TRACE(Help(id).name);
        ASSERT_EQ(box.kind, Kind::PictureBox);
        EXPECT_LT(Pixels(box.width) - 4, box.pictureWidth);
        EXPECT_LT(Pixels(box.height) - 4, box.pictureHeight);
    }
}
