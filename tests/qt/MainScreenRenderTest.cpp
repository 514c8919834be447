// The main window: its form, its state at the end of start-up, the focus order,
// the machine choice, the hidden pair, and the event rules every handler relies on.
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <optional>
#include <vector>

#include "EditorTest.h"

namespace {

const QString kPrompt = QStringLiteral("<Choose machine this config. is for>");

const QStringList kHzGroup = {"Label13", "TestSpeed", "Label14", "HzAt500"};
const QStringList kVoltsGroup = {"Label3", "ManVolts", "Label4", "AutoVolts", "Label9"};
const QStringList kHiddenPair = {"PulseMagic", "PulseMagicLabel", "XMLRev", "XMLRevLabel"};

QStringList rowsOf(const QComboBox* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i) rows << list->itemText(i);
    return rows;
}

}  // namespace

class MainScreenTest : public EditorTest {
protected:
    // Makes every control that the focus order lists able to take the focus.
    void makeAllReachable() {
        window->EnableStuff(true);
        for (const char* name : {"txtOpenedFile", "OpenProfile", "Dummy"}) find(name)->setEnabled(true);
        for (const QString& name : kHzGroup + kVoltsGroup + kHiddenPair) find(name)->setVisible(true);
    }

    // The controls the Tab key visits from the focused one, until it comes back.
    QStringList tabWalk(int limit = 80) {
        QStringList visited;
        QWidget* start = focusedControl();
        if (!start) return visited;
        visited << start->objectName();
        for (int i = 0; i < limit; ++i) {
            pressTab();
            QWidget* now = focusedControl();
            if (!now || now == start) break;
            visited << now->objectName();
        }
        return visited;
    }
};

// ---------------------------------------------------------------------------
// The form: every control by name, kind, container and place.

struct Placement {
    const char* name;
    const char* kind;
    const char* container;  // "MainScreen" for the window itself
    int left, top, width, height;  // twips
};

// The layout in twips, 15 to the pixel.
const Placement kLayout[] = {
    {"Label16", "QLabel", "MainScreen", 240, 360, 2655, 375},
    {"MachineType", "QComboBox", "MainScreen", 2880, 360, 3375, 315},
    {"Dummy", "QLineEdit", "MainScreen", 6600, 360, 255, 285},
    {"Label17", "QLabel", "MainScreen", 240, 840, 255, 375},
    {"OpenProfile", "QPushButton", "MainScreen", 600, 840, 2055, 375},
    {"txtOpenedFile", "QLineEdit", "MainScreen", 2880, 840, 3375, 375},
    {"Label19", "QLabel", "MainScreen", 240, 1440, 4335, 375},
    {"Label1", "QLabel", "MainScreen", 270, 1905, 5295, 465},
    {"PortFrame", "QGroupBox", "MainScreen", 225, 2400, 5310, 1185},
    {"Label5", "QLabel", "PortFrame", 210, 270, 1980, 270},
    {"PortAdd", "QLineEdit", "PortFrame", 2160, 240, 855, 285},
    {"Label6", "QLabel", "PortFrame", 3135, 270, 2145, 345},
    {"HelpPort", "QPushButton", "PortFrame", 3600, 615, 1095, 420},
    {"SpindleFrame", "QGroupBox", "MainScreen", 240, 3660, 5325, 2685},
    {"Label2", "QLabel", "SpindleFrame", 270, 390, 1875, 360},
    {"Label7", "QLabel", "SpindleFrame", 3150, 405, 450, 240},
    {"NewSteps", "QLineEdit", "SpindleFrame", 3705, 360, 915, 300},
    {"Label3", "QLabel", "SpindleFrame", 600, 720, 1485, 480},
    {"ManVolts", "QLineEdit", "SpindleFrame", 2145, 855, 975, 285},
    {"Label13", "QLabel", "SpindleFrame", 600, 720, 1455, 495},
    {"TestSpeed", "QLineEdit", "SpindleFrame", 2160, 840, 615, 285},
    {"Label9", "QLabel", "SpindleFrame", 3465, 1020, 1425, 585},
    {"Label4", "QLabel", "SpindleFrame", 360, 1320, 1725, 465},
    {"AutoVolts", "QLineEdit", "SpindleFrame", 2145, 1380, 975, 285},
    {"Label14", "QLabel", "SpindleFrame", 600, 1320, 1455, 255},
    {"HzAt500", "QLineEdit", "SpindleFrame", 2160, 1320, 975, 285},
    {"HelpMeasButt", "QPushButton", "SpindleFrame", 3510, 2040, 1155, 420},
    {"SpinVel", "QLineEdit", "MainScreen", 2415, 4020, 810, 285},
    {"JogFrame", "QGroupBox", "MainScreen", 5760, 1740, 2775, 4215},
    {"Step0_0", "QLineEdit", "JogFrame", 240, 480, 975, 285},
    {"Step0_9", "QLineEdit", "JogFrame", 240, 3720, 975, 285},
    {"Label10", "QLabel", "JogFrame", 1440, 480, 1095, 375},
    {"SetDef", "QPushButton", "JogFrame", 1560, 840, 975, 495},
    {"SetSmallInch", "QPushButton", "JogFrame", 1560, 1440, 975, 495},
    {"SetSmallMM", "QPushButton", "JogFrame", 1560, 2040, 975, 495},
    {"Label11", "QLabel", "JogFrame", 1560, 2640, 975, 1455},
    {"ProbeFrame", "QGroupBox", "MainScreen", 240, 6480, 5295, 735},
    {"ProbeLogicCombo", "QComboBox", "ProbeFrame", 240, 240, 3735, 315},
    {"cmdProbeLogicInfo", "QPushButton", "ProbeFrame", 4080, 240, 1035, 345},
    {"FourthAxisHomingFrame", "QGroupBox", "MainScreen", 240, 7200, 5295, 735},
    {"FourthHomingCombo", "QComboBox", "FourthAxisHomingFrame", 240, 240, 3735, 315},
    {"cmdFourthAxisHomingInfo", "QPushButton", "FourthAxisHomingFrame", 4080, 240, 1035, 345},
    {"PulseMagicLabel", "QLabel", "MainScreen", 5880, 6300, 1695, 255},
    {"PulseMagic", "QLineEdit", "MainScreen", 7620, 6240, 915, 315},
    {"XMLRevLabel", "QLabel", "MainScreen", 6300, 6720, 1095, 315},
    {"XMLRev", "QLineEdit", "MainScreen", 7620, 6660, 915, 315},
    {"SaveButt", "QPushButton", "MainScreen", 600, 8040, 1575, 450},
    {"Label18", "QLabel", "MainScreen", 240, 8160, 255, 375},
    {"DoneButt", "QPushButton", "MainScreen", 7200, 8640, 1110, 450},
    {"Label8", "QLabel", "MainScreen", 240, 8760, 1680, 300},
    {"Label15", "QLabel", "MainScreen", 2460, 8760, 195, 195},
    {"Label12", "QLabel", "MainScreen", 2640, 8760, 1935, 495},
};

int pixels(int twips) { return (twips + 7) / 15; }

TEST_F(MainScreenTest, EveryControlHasItsKindContainerAndPlace) {
    for (const Placement& p : kLayout) {
        SCOPED_TRACE(p.name);
        QWidget* control = find(p.name);
        ASSERT_TRUE(control);
        EXPECT_STREQ(control->metaObject()->className(), p.kind);
        EXPECT_EQ(control->parentWidget()->objectName(), p.container);
        EXPECT_EQ(control->geometry(),
                  QRect(pixels(p.left), pixels(p.top), pixels(p.width), pixels(p.height)));
    }
    // The jog entries: one column, 360 twips apart.
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(step0(i));
        EXPECT_EQ(step0(i)->parentWidget()->objectName(), "JogFrame");
        EXPECT_EQ(step0(i)->geometry(), QRect(16, 32 + 24 * i, 65, 19));
    }
}

TEST_F(MainScreenTest, WindowIsAFixedToolWindowWithItsCaption) {
    EXPECT_EQ(window->windowTitle(), "Configure Ombrel Profile");
    EXPECT_EQ(window->size(), QSize(583, 619));  // 8745 x 9285 twips
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    for (Qt::WindowType box : {Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint,
                               Qt::WindowCloseButtonHint, Qt::WindowSystemMenuHint})
        EXPECT_FALSE(flags & box) << box;

    // Resizing moves nothing.
    const QRect before = find("DoneButt")->geometry();
    window->resize(800, 800);
    EXPECT_EQ(window->size(), QSize(583, 619));
    EXPECT_EQ(find("DoneButt")->geometry(), before);
}

TEST_F(MainScreenTest, SpinVelLiesInFrontOfTheSpindlePanel) {
    auto* spinVel = find<QLineEdit>("SpinVel");
    const QPoint middle = spinVel->geometry().center();
    QWidget* hit = window->childAt(middle);
    ASSERT_TRUE(hit);
    EXPECT_TRUE(hit == spinVel || spinVel->isAncestorOf(hit)) << hit->objectName().toStdString();
    // It sits between "Spindle steps per unit are" and "will be", on the panel's first row.
    auto* frame = find("SpindleFrame");
    const QRect label2 = find("Label2")->geometry().translated(frame->pos());
    const QRect label7 = find("Label7")->geometry().translated(frame->pos());
    EXPECT_GT(spinVel->geometry().left(), label2.left());
    EXPECT_LT(spinVel->geometry().right(), label7.left());
}

TEST_F(MainScreenTest, CaptionsTooltipsAndMarkers) {
    const std::vector<std::pair<const char*, const char*>> captions = {
        {"Label16", "1) Machine Config is for:"},
        {"Label17", "2)"},
        {"OpenProfile", "Open Profile"},
        {"Label19", "3) Now configure data in the panels below"},
        {"Label1", "CAUTION! Do not run this utility when machine Control Software is running or you will lose "
                   "your changes when you close the Control Software"},
        {"Label5", "Printer port address in Hex"},
        {"Label6", "(does not need 0x in number)"},
        {"HelpPort", "Help"},
        {"Label2", "Spindle steps per unit are"},
        {"Label7", "will be"},
        {"Label3", "Volts on Manual knob at full speed"},
        {"Label13", "Run spindle in low gear with S word as"},
        {"Label9", "Measure voltages with Spindle Isolator in OFF position"},
        {"Label4", "Volts on Auto, Hi pulley S = 4200"},
        {"Label14", "VFD Fr reading is:"},
        {"HelpMeasButt", "Help"},
        {"Label10", "Quick settings"},
        {"SetDef", "Ombrel3 Default"},
        {"SetSmallInch", "Small steps (inch)"},
        {"SetSmallMM", "Small steps (mm)"},
        {"Label11", "or type in the sequence you want. For safety, avoid a big change from last back to first"},
        {"cmdProbeLogicInfo", "Info"},
        {"cmdFourthAxisHomingInfo", "Info"},
        {"PulseMagicLabel", "Pulse magic number"},
        {"XMLRevLabel", "XML Revision"},
        {"SaveButt", "Save Profile"},
        {"Label18", "4)"},
        {"DoneButt", "Done"},
        {"Label8", "OmbrelConfig Rev 4.2"},
        {"Label15", "\u00a9"},
    };
    for (const auto& [name, caption] : captions) {
        SCOPED_TRACE(name);
        QWidget* control = find(name);
        ASSERT_TRUE(control);
        const QString text = control->property("text").toString();
        EXPECT_EQ(text.toStdString(), caption);
        EXPECT_FALSE(text.contains('&')) << "no access keys";
    }
    const std::vector<std::pair<const char*, const char*>> frames = {
        {"PortFrame", "Printer Port"}, {"SpindleFrame", "Spindle Calibration"}, {"JogFrame", "Jog Steps"},
        {"ProbeFrame", "Probe Logic Sense"}, {"FourthAxisHomingFrame", "4th Axis Homing"}};
    for (const auto& [name, title] : frames) EXPECT_EQ(find<QGroupBox>(name)->title().toStdString(), title);
    EXPECT_FALSE(find<QLabel>("Label12")->text().isEmpty());  // our copyright notice

    const std::vector<std::pair<QString, const char*>> tooltips = {
        {"MachineType", "Select which Dorvane machine the configuration is to be used on"},
        {"OpenProfile", "Open the Profile to configure"},
        {"PortAdd", "Enter port address from Windows' Device Manager screen"},
        {"HelpPort", "Click for illustation of how to use Control Panel to find address on your system"},
        {"SpindleFrame", "This allows you to adjust the control software so the maximum speed is the same with "
                         "both computer and manual control"},
        {"ManVolts", "Enter voltage measured (S1 to S2)"},
        {"AutoVolts", "Enter voltage measured (S1 to S2)"},
        {"HzAt500", "Enter VFD Fr reading when in Low Gear and S-word as above"},
        {"HelpMeasButt", "Click to see where to measure Volts/Hz"},
        {"JogFrame", "Steps used on keyboard jogging and Jog/Shuttle's Inner wheel"},
        {"SetDef", "Values in Ombrel3 release"},
        {"SetSmallInch", "0ne tenth and one thou."},
        {"SetSmallMM", "20 microns and 2 microns"},
        {"Label11", "All these are used in sequence so fill table with duplicate values if necessary"},
        {"ProbeLogicCombo", "Choose the logic polarity of touch probe"},
        {"SaveButt", "Click to save the information"},
        {"DoneButt", "Click to close the program"},
    };
    QStringList withTooltip;
    for (const auto& [name, tip] : tooltips) {
        withTooltip << name;
        EXPECT_EQ(find(name)->toolTip().toStdString(), tip) << name.toStdString();
    }
    for (int i = 0; i < 10; ++i) {
        withTooltip << step0Name(i);
        EXPECT_EQ(step0(i)->toolTip(), "Set a step size");
    }
    // Markers: the frequency group "Hz", the volts group "Volts", nothing else;
    // no other control has a tooltip.
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const QString name = control->objectName();
        const QString tag = control->property("Tag").toString();
        const QString expectedTag = kHzGroup.contains(name) ? "Hz" : kVoltsGroup.contains(name) ? "Volts" : "";
        EXPECT_EQ(tag, expectedTag) << name.toStdString();
        const QString expectedTip = withTooltip.contains(name) ? control->toolTip() : QString();
        EXPECT_EQ(control->toolTip(), expectedTip) << name.toStdString();
    }
}

TEST_F(MainScreenTest, FontsColoursAndFieldSettings) {
    const QStringList bold = {"Label16", "Label17", "OpenProfile", "Label19", "SaveButt", "Label18"};
    for (const char* name : {"Label16", "Label17", "OpenProfile", "Label19", "SaveButt", "Label18", "Label1",
                             "Label5", "PortAdd", "DoneButt", "Label15", "MachineType", "Step0_3"}) {
        SCOPED_TRACE(name);
        const QFont font = find(name)->font();
        EXPECT_EQ(font.bold(), bold.contains(name));
        EXPECT_DOUBLE_EQ(font.pointSizeF(), bold.contains(name) ? 9.75 : 8.25);
        EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut());
        EXPECT_EQ(font.families().value(0), "MS Sans Serif");
        // Where that font is missing a sans-serif stands in.
        EXPECT_EQ(font.styleHint(), QFont::SansSerif);
    }

    const auto textColour = [&](const char* name, QPalette::ColorRole role) {
        return find(name)->palette().color(QPalette::Active, role);
    };
    EXPECT_EQ(textColour("Label1", QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(textColour("SpindleFrame", QPalette::WindowText), QColor(64, 0, 0));
    // Only the caption is dark red: the panel's labels keep the system's text colour.
    EXPECT_EQ(textColour("Label2", QPalette::WindowText), textColour("Label16", QPalette::WindowText));
    const QPalette system = find("PortAdd")->palette();
    for (const char* name : {"SpinVel", "NewSteps", "TestSpeed", "Dummy"})
        EXPECT_EQ(textColour(name, QPalette::Base), system.color(QPalette::Active, QPalette::Button)) << name;
    for (const char* name : {"PulseMagic", "XMLRev"})
        EXPECT_EQ(textColour(name, QPalette::Base), system.color(QPalette::Active, QPalette::Midlight)) << name;
    EXPECT_EQ(textColour("PortAdd", QPalette::Base), system.color(QPalette::Active, QPalette::Base));

    // Read-only displays and text alignment.
    struct Field {
        const char* name;
        bool readOnly;
        Qt::Alignment horizontal;
    };
    const Field fields[] = {
        {"SpinVel", true, Qt::AlignRight},    {"NewSteps", true, Qt::AlignRight},
        {"TestSpeed", true, Qt::AlignLeft},   {"PortAdd", false, Qt::AlignRight},
        {"ManVolts", false, Qt::AlignRight},  {"AutoVolts", false, Qt::AlignRight},
        {"HzAt500", false, Qt::AlignRight},   {"PulseMagic", false, Qt::AlignLeft},
        {"XMLRev", false, Qt::AlignLeft},     {"txtOpenedFile", false, Qt::AlignLeft},
        {"Step0_0", false, Qt::AlignLeft},
    };
    for (const Field& f : fields) {
        SCOPED_TRACE(f.name);
        auto* box = find<QLineEdit>(f.name);
        EXPECT_EQ(box->isReadOnly(), f.readOnly);
        EXPECT_EQ(box->alignment() & Qt::AlignHorizontal_Mask, f.horizontal);
    }
    const std::vector<std::pair<const char*, Qt::Alignment>> labels = {
        {"Label1", Qt::AlignHCenter}, {"Label9", Qt::AlignHCenter}, {"Label10", Qt::AlignHCenter},
        {"Label3", Qt::AlignRight},   {"Label4", Qt::AlignRight},   {"Label14", Qt::AlignRight},
        {"Label13", Qt::AlignLeft},   {"Label2", Qt::AlignLeft}};
    for (const auto& [name, horizontal] : labels)
        EXPECT_EQ(find<QLabel>(name)->alignment() & Qt::AlignHorizontal_Mask, horizontal) << name;
    EXPECT_TRUE(find<QLabel>("Label1")->wordWrap());
    EXPECT_TRUE(find<QLabel>("Label11")->wordWrap());
}

// ---------------------------------------------------------------------------
// The window at the end of start-up.

TEST_F(MainScreenTest, StartUpStateOfEveryControl) {
    struct Row {
        const char* name;
        bool usable;
        bool shown;
        std::optional<const char*> text;  // the field's or list's text, when it has one
    };
    const Row rows[] = {
        {"MachineType", true, true, "<Choose machine this config. is for>"},
        {"OpenProfile", false, true, {}},
        {"txtOpenedFile", false, true, "<none>"},
        {"DoneButt", true, true, {}},
        {"Label15", true, true, {}},
        {"SpinVel", true, true, ""},
        {"Dummy", false, true, ""},
        {"PulseMagic", true, false, ""},
        {"XMLRev", true, false, ""},
        {"PulseMagicLabel", true, false, {}},
        {"XMLRevLabel", true, false, {}},
        {"SaveButt", false, true, {}},
        {"PortFrame", false, true, {}},
        {"PortAdd", false, true, ""},
        {"HelpPort", false, true, {}},
        {"SpindleFrame", false, true, {}},
        {"NewSteps", false, true, ""},
        {"Label13", false, true, {}},
        {"TestSpeed", false, true, ""},
        {"Label14", false, true, {}},
        {"HzAt500", false, true, ""},
        {"Label3", false, false, {}},
        {"ManVolts", false, false, ""},
        {"Label4", false, false, {}},
        {"AutoVolts", false, false, ""},
        {"Label9", false, false, {}},
        {"HelpMeasButt", false, true, {}},
        {"JogFrame", false, true, {}},
        {"SetDef", false, true, {}},
        {"SetSmallInch", false, true, {}},
        {"SetSmallMM", false, true, {}},
        {"ProbeFrame", false, true, {}},
        {"ProbeLogicCombo", false, true, ""},
        {"cmdProbeLogicInfo", false, true, {}},
        {"FourthAxisHomingFrame", false, true, {}},
        {"FourthHomingCombo", false, true, ""},
        {"cmdFourthAxisHomingInfo", false, true, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QWidget* control = find(row.name);
        ASSERT_TRUE(control);
        EXPECT_EQ(control->isEnabled(), row.usable);
        EXPECT_EQ(control->isVisible(), row.shown);
        if (row.text) {
            const QString text = qobject_cast<QComboBox*>(control) ? qobject_cast<QComboBox*>(control)->currentText()
                                                                   : qobject_cast<QLineEdit*>(control)->text();
            EXPECT_EQ(text.toStdString(), *row.text);
        }
    }
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(step0(i)->isEnabled());
        EXPECT_TRUE(step0(i)->isVisible());
        EXPECT_TRUE(step0(i)->text().isEmpty());
    }
    // The two Info buttons stay switched on themselves; only their panels lock them.
    EXPECT_TRUE(find("cmdProbeLogicInfo")->isEnabledTo(find("ProbeFrame")));
    EXPECT_TRUE(find("cmdFourthAxisHomingInfo")->isEnabledTo(find("FourthAxisHomingFrame")));
    EXPECT_TRUE(find<QLineEdit>("SpinVel")->isReadOnly());

    // The lists: their rows, none selected.
    auto* machine = find<QComboBox>("MachineType");
    EXPECT_EQ(rowsOf(machine), QStringList({kPrompt, "Ombrel M40", "Ombrel M40 Wide Speed Spindle",
                                            "Ombrel M40 Series II/Series 3", "Ombrel M25 Original/Series 3"}));
    EXPECT_EQ(rowsOf(find<QComboBox>("ProbeLogicCombo")),
              QStringList({"Probe breaks circuit on touch (passive probe)",
                           "Probe makes circuit on touch (active probe)"}));
    EXPECT_EQ(rowsOf(find<QComboBox>("FourthHomingCombo")), QStringList({"Homing disabled", "Homing enabled"}));
    for (const char* name : {"MachineType", "ProbeLogicCombo", "FourthHomingCombo"}) {
        auto* list = find<QComboBox>(name);
        EXPECT_EQ(list->currentIndex(), -1) << name;
        EXPECT_TRUE(list->isEditable()) << name;
    }

    // The editor state after Form_Load.
    EXPECT_EQ(window->ProbeLogicIndex, 0);
    EXPECT_EQ(window->FourthHomingIndex, 0);
    EXPECT_EQ(window->NominalHz, 0.0);
    EXPECT_EQ(window->MachineIndex, -1);
    EXPECT_FALSE(window->DigitalVfd);
    EXPECT_FALSE(window->ProfileChanged);
    EXPECT_TRUE(window->ProfileXml.empty());
    EXPECT_FALSE(window->FileLoaded);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MainScreenTest, InfoButtonsTakeClicksOnlyWithTheirPanels) {
    click(find<QPushButton>("cmdProbeLogicInfo"));
    click(find<QPushButton>("cmdFourthAxisHomingInfo"));
    EXPECT_TRUE(dialogs.helpRequests.isEmpty());
    window->EnableStuff(true);
    EXPECT_TRUE(find("cmdProbeLogicInfo")->isEnabled());
    EXPECT_TRUE(find("cmdFourthAxisHomingInfo")->isEnabled());
    window->EnableStuff(false);
    EXPECT_FALSE(find("cmdProbeLogicInfo")->isEnabled());
}

TEST_F(MainScreenTest, EnableStuffSwitchesExactlyItsElevenControls) {
    const QStringList switched = {"PortFrame", "SpindleFrame", "JogFrame", "SaveButt", "HelpPort", "HelpMeasButt",
                                  "ProbeFrame", "FourthAxisHomingFrame", "SetDef", "SetSmallInch", "SetSmallMM"};
    for (const bool state : {true, false, true}) {
        window->EnableStuff(state);
        for (QWidget* control : window->findChildren<QWidget*>()) {
            const QString name = control->objectName();
            if (switched.contains(name)) {
                EXPECT_EQ(control->isEnabledTo(window.get()), state) << name.toStdString();
            }
        }
        // Untouched: the path, the open button, the machine list, the window's own fields.
        EXPECT_FALSE(find("txtOpenedFile")->isEnabled());
        EXPECT_FALSE(find("OpenProfile")->isEnabled());
        EXPECT_TRUE(find("MachineType")->isEnabled());
        EXPECT_TRUE(find("SpinVel")->isEnabled());
        EXPECT_TRUE(find("DoneButt")->isEnabled());
        EXPECT_FALSE(find("Dummy")->isEnabled());
    }
}

// ---------------------------------------------------------------------------
// The focus order.

TEST_F(MainScreenTest, FocusStartsInSpinVelAndVisitsOnlyUsableControls) {
    EXPECT_EQ(focusedControl(), find("SpinVel"));
    EXPECT_EQ(tabWalk(), QStringList({"SpinVel", "DoneButt", "MachineType"}));
}

TEST_F(MainScreenTest, FocusOrderWithEveryControlReachable) {
    makeAllReachable();
    find("OpenProfile")->setFocus(Qt::TabFocusReason);
    QStringList expected = {"OpenProfile", "Dummy",   "txtOpenedFile", "SpinVel",      "ManVolts",
                            "AutoVolts",   "NewSteps", "SaveButt",     "DoneButt",     "HelpMeasButt",
                            "HelpPort"};
    for (int i = 0; i < 10; ++i) expected << step0Name(i);
    expected << "SetDef" << "SetSmallInch" << "SetSmallMM" << "HzAt500" << "PulseMagic" << "XMLRev"
             << "MachineType" << "TestSpeed" << "ProbeLogicCombo" << "PortAdd" << "FourthHomingCombo"
             << "cmdProbeLogicInfo" << "cmdFourthAxisHomingInfo";
    EXPECT_EQ(tabWalk(), expected);
}

TEST_F(MainScreenTest, FocusOrderAfterOpeningForTheVoltsMethod) {
    // As after choosing "Ombrel M40" and opening a profile: panels on, volts fields shown.
    pickRow(find<QComboBox>("MachineType"), 1);
    window->EnableStuff(true);
    find("MachineType")->setEnabled(false);
    find("SpinVel")->setFocus(Qt::TabFocusReason);
    QStringList expected = {"SpinVel", "ManVolts", "AutoVolts", "NewSteps", "SaveButt", "DoneButt",
                            "HelpMeasButt", "HelpPort"};
    for (int i = 0; i < 10; ++i) expected << step0Name(i);
    expected << "SetDef" << "SetSmallInch" << "SetSmallMM" << "ProbeLogicCombo" << "PortAdd"
             << "FourthHomingCombo" << "cmdProbeLogicInfo" << "cmdFourthAxisHomingInfo" << "OpenProfile"
             << "txtOpenedFile";
    EXPECT_EQ(tabWalk(), expected);
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
        window = std::make_unique<MainScreen>(dialogs);
        window->show();
        auto* machine = find<QComboBox>("MachineType");
        for (int row : c.rows) pickRow(machine, row);

        EXPECT_EQ(window->MachineIndex, c.machineIndex);
        EXPECT_EQ(machine->currentIndex(), c.machineIndex);
        EXPECT_EQ(find("txtOpenedFile")->isEnabled(), c.canOpen);
        EXPECT_EQ(find("OpenProfile")->isEnabled(), c.canOpen);
        EXPECT_EQ(window->DigitalVfd, c.digital);
        for (const QString& name : kHzGroup) EXPECT_EQ(find(name)->isVisible(), c.hzShown) << name.toStdString();
        for (const QString& name : kVoltsGroup)
            EXPECT_EQ(find(name)->isVisible(), !c.hzShown) << name.toStdString();
        EXPECT_EQ(find<QLineEdit>("TestSpeed")->text().toStdString(), c.testSpeed);
        EXPECT_EQ(window->NominalHz, c.nominalHz);
        // The choice marks nothing as changed and asks nothing; the unmarked
        // parts of the panel stay shown.
        EXPECT_FALSE(window->ProfileChanged);
        for (const char* name : {"Label2", "Label7", "NewSteps", "SpinVel", "HelpMeasButt"})
            EXPECT_TRUE(find(name)->isVisible()) << name;
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MainScreenTest, MachineRowOutsideTheListBehavesAsThePrompt) {
    pickRow(find<QComboBox>("MachineType"), 2);
    window->SetListIndex(find<QComboBox>("MachineType"), 7);
    EXPECT_EQ(window->MachineIndex, -1);
    EXPECT_FALSE(find("OpenProfile")->isEnabled());
    EXPECT_FALSE(find("txtOpenedFile")->isEnabled());
    EXPECT_TRUE(window->DigitalVfd);
    EXPECT_EQ(window->NominalHz, 34.6);
}

TEST_F(MainScreenTest, SpindleMethodFollowsEveryMarkedControlCaseSensitively) {
    // The switch goes by the marker alone, wherever the control sits.
    step0(3)->setProperty("Tag", "Volts");
    find("Label10")->setProperty("Tag", "xHzx");
    find("Label2")->setProperty("Tag", "hz");
    find("Label7")->setProperty("Tag", "VOLTS");
    window->SetVfdDisplay(true);
    EXPECT_FALSE(step0(3)->isVisible());
    EXPECT_TRUE(find("Label10")->isVisible());
    EXPECT_TRUE(find("Label2")->isVisible());
    EXPECT_TRUE(find("Label7")->isVisible());
    window->SetVfdDisplay(false);
    EXPECT_TRUE(step0(3)->isVisible());
    EXPECT_FALSE(find("Label10")->isVisible());
    EXPECT_TRUE(find("Label2")->isVisible());
    EXPECT_TRUE(find("Label7")->isVisible());
    // Both words: the "Volts" rule comes last.
    find("Label10")->setProperty("Tag", "Hz Volts");
    window->SetVfdDisplay(true);
    EXPECT_FALSE(find("Label10")->isVisible());
}

// ---------------------------------------------------------------------------
// The hidden pair.

TEST_F(MainScreenTest, CopyrightSignRevealsTheHiddenPair) {
    for (int click = 1; click <= 2; ++click) {
        SCOPED_TRACE(click);
        clickLabel(find<QLabel>("Label15"));
        for (const QString& name : kHiddenPair) EXPECT_TRUE(find(name)->isVisible()) << name.toStdString();
        for (const char* name : {"PulseMagic", "XMLRev"}) {
            auto* field = find<QLineEdit>(name);
            EXPECT_TRUE(field->isEnabled());
            EXPECT_FALSE(field->isReadOnly());
        }
    }
    // Editable at once, with no profile open; the state is untouched.
    typeInto(find<QLineEdit>("PulseMagic"), "12");
    typeInto(find<QLineEdit>("XMLRev"), "3");
    EXPECT_EQ(find<QLineEdit>("PulseMagic")->text(), "12");
    EXPECT_EQ(find<QLineEdit>("XMLRev")->text(), "3");
    EXPECT_FALSE(window->ProfileChanged);
    EXPECT_EQ(window->MachineIndex, -1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MainScreenTest, OtherClicksOnTheFootRevealNothing) {
    clickLabel(find<QLabel>("Label12"));
    clickLabel(find<QLabel>("Label8"));
    QTest::mouseClick(find("Label15"), Qt::RightButton);
    for (const QString& name : kHiddenPair) EXPECT_FALSE(find(name)->isVisible()) << name.toStdString();
}

// ---------------------------------------------------------------------------
// The event rules.

TEST_F(MainScreenTest, SettingATextRunsItsChangeHandlerAlsoWhenUnchanged) {
    find<QLineEdit>("SpinVel")->setText("1000");
    find<QLineEdit>("AutoVolts")->setText("5");
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        find<QLineEdit>("NewSteps")->setText("");
        window->ProfileChanged = false;
        window->SetText(find<QLineEdit>("ManVolts"), "5");
        EXPECT_EQ(find<QLineEdit>("ManVolts")->text(), "5");
        EXPECT_EQ(find<QLineEdit>("NewSteps")->text(), "933.333");
        EXPECT_TRUE(window->ProfileChanged);
    }
}

TEST_F(MainScreenTest, SettingATextWithoutHandlerOnlySetsIt) {
    window->SetText(find<QLineEdit>("PortAdd"), "378");
    window->SetText(find<QLineEdit>("SpinVel"), "8000.0");
    EXPECT_EQ(find<QLineEdit>("PortAdd")->text(), "378");
    EXPECT_EQ(find<QLineEdit>("SpinVel")->text(), "8000.0");
    EXPECT_TRUE(find<QLineEdit>("NewSteps")->text().isEmpty());
    EXPECT_FALSE(window->ProfileChanged);
}

TEST_F(MainScreenTest, SettingAListRowRunsItsClickHandler) {
    window->SetListIndex(find<QComboBox>("MachineType"), 4);
    EXPECT_EQ(window->MachineIndex, 4);
    EXPECT_EQ(find<QLineEdit>("TestSpeed")->text(), "1000");

    window->SetListIndex(find<QComboBox>("ProbeLogicCombo"), 1);
    EXPECT_EQ(window->ProbeLogicIndex, 1);
    EXPECT_EQ(find<QComboBox>("ProbeLogicCombo")->currentText(), "Probe makes circuit on touch (active probe)");
    EXPECT_FALSE(window->ProfileChanged);

    window->SetListIndex(find<QComboBox>("FourthHomingCombo"), 0);
    EXPECT_EQ(window->FourthHomingIndex, 0);
    EXPECT_TRUE(window->ProfileChanged);
}

TEST_F(MainScreenTest, PickingARowRunsTheHandlerAlsoForTheSameRowAgain) {
    window->EnableStuff(true);
    auto* homing = find<QComboBox>("FourthHomingCombo");
    pickRow(homing, 1);
    EXPECT_EQ(window->FourthHomingIndex, 1);
    EXPECT_TRUE(window->ProfileChanged);
    window->ProfileChanged = false;
    pickRow(homing, 1);
    EXPECT_EQ(window->FourthHomingIndex, 1);
    EXPECT_TRUE(window->ProfileChanged);

    auto* probe = find<QComboBox>("ProbeLogicCombo");
    pickRow(probe, 1);
    EXPECT_EQ(window->ProbeLogicIndex, 1);
    window->ProbeLogicIndex = 5;  // so that running the handler shows
    pickRow(probe, 1);
    EXPECT_EQ(window->ProbeLogicIndex, 1);

    auto* machine = find<QComboBox>("MachineType");
    pickRow(machine, 2);
    find<QLineEdit>("TestSpeed")->setText("changed");
    pickRow(machine, 2);
    EXPECT_EQ(find<QLineEdit>("TestSpeed")->text(), "500");
}

TEST_F(MainScreenTest, TypingIntoAListRunsNothingAndSelectsNoRow) {
    window->EnableStuff(true);
    struct Case {
        const char* list;
        const char* typed;  // a row's own text, as the worst case
    };
    const Case cases[] = {{"MachineType", "Ombrel M40"},
                          {"FourthHomingCombo", "Homing enabled"},
                          {"ProbeLogicCombo", "Probe makes circuit on touch (active probe)"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list);
        auto* list = find<QComboBox>(c.list);
        const int rows = list->count();
        typeOver(list->lineEdit(), c.typed);
        QTest::keyClick(list->lineEdit(), Qt::Key_Return);
        QTest::keyClick(list->lineEdit(), Qt::Key_Enter);
        pressTab();  // leaving the text part finishes the edit
        EXPECT_EQ(list->currentText().toStdString(), c.typed);
        EXPECT_EQ(list->currentIndex(), -1);
        EXPECT_EQ(list->count(), rows);
    }
    EXPECT_EQ(window->MachineIndex, -1);
    EXPECT_FALSE(find("OpenProfile")->isEnabled());
    EXPECT_EQ(window->FourthHomingIndex, 0);
    EXPECT_EQ(window->ProbeLogicIndex, 0);
    EXPECT_FALSE(window->ProfileChanged);
    EXPECT_TRUE(dialogs.messages.isEmpty());
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
    EXPECT_TRUE(find<QLineEdit>("NewSteps")->text().isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MainScreenTest, TypingRunsTheChangeHandlerOnEveryKey) {
    window->EnableStuff(true);
    pickRow(find<QComboBox>("MachineType"), 1);
    find<QLineEdit>("SpinVel")->setText("1000");
    typeInto(find<QLineEdit>("AutoVolts"), "5");
    typeInto(find<QLineEdit>("ManVolts"), "1");
    EXPECT_EQ(find<QLineEdit>("NewSteps")->text(), "186.667");
    typeInto(find<QLineEdit>("ManVolts"), "0");
    EXPECT_EQ(find<QLineEdit>("NewSteps")->text(), "1866.667");
}

TEST_F(MainScreenTest, LeavingAJogEntryRunsItsLostFocusHandler) {
    window->EnableStuff(true);
    typeInto(step0(4), "1");
    pressTab();
    EXPECT_EQ(focusedControl(), step0(5));
    EXPECT_EQ(step0(4)->text(), "1.0");
}
