// The Help and Info buttons: which window each one asks for, that the spindle
// Help follows the calibration method at the moment of the click, and that they
// touch no editor state.
#include <string>
#include <vector>

#include "EditorTest.h"

namespace {

using Help = UserDialogs::HelpWindow;

// Everything of the editor a help button must leave as it was.
struct EditorSnapshot {
    bool profileChanged, digitalVfd, fileLoaded;
    std::int16_t machineIndex, probeLogicIndex, fourthHomingIndex;
    double nominalHz;
    std::string profileXml;
    std::vector<std::string> texts;
    std::vector<bool> enabled, visible;
    Control focused;
    bool operator==(const EditorSnapshot&) const = default;
};

EditorSnapshot snapshot(const MainScreen& window, const MemoryForm& form) {
    EditorSnapshot s{window.ProfileChanged,  window.DigitalVfd,        window.FileLoaded, window.MachineIndex,
                     window.ProbeLogicIndex, window.FourthHomingIndex, window.NominalHz,  window.ProfileXml,
                     {},                     {},                       {},                form.Focused()};
    for (int i = 0; i < kControlCount; ++i) {
        const auto control = static_cast<Control>(i);
        s.texts.push_back(MemoryForm::Name(control) + "=" + form.text(control));
        s.enabled.push_back(form.Enabled(control));
        s.visible.push_back(form.Visible(control));
    }
    return s;
}

}  // namespace

class HelpButtonsTest : public EditorTest {
protected:
    // The buttons as an opened profile leaves them: enabled.
    void SetUp() override {
        EditorTest::SetUp();
        window->EnableStuff(true);
    }
    // Clicks the button and returns the windows it asked for.
    std::vector<Help> clickFor(Control button) {
        dialogs.clearRecord();
        form.click(button);
        return dialogs.helpRequests;
    }
};

TEST_F(HelpButtonsTest, EachButtonShowsItsWindow) {
    form.pickRow(Control::MachineType, 1);
    const struct {
        Control button;
        Help window;
    } cases[] = {
        {Control::HelpPort, Help::HelpPrinter},
        {Control::cmdProbeLogicInfo, Help::InfoProbeLogic},
        {Control::cmdFourthAxisHomingInfo, Help::InfoFourthAxisHoming},
        {Control::HelpMeasButt, Help::HelpMeasure},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(MemoryForm::Name(c.button));
        EXPECT_EQ(clickFor(c.button), std::vector<Help>{c.window});
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(HelpButtonsTest, SpindleHelpFollowsTheCalibrationMethodAtTheMomentOfTheClick) {
    // Machine rows: 1 measures volts; 2, 3 and 4 read the drive's frequency.
    const struct {
        int row;
        Help window;
    } steps[] = {
        {2, Help::HelpDigVFD}, {1, Help::HelpMeasure}, {4, Help::HelpDigVFD},
        {3, Help::HelpDigVFD}, {1, Help::HelpMeasure},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.row);
        form.pickRow(Control::MachineType, step.row);
        EXPECT_EQ(clickFor(Control::HelpMeasButt), std::vector<Help>{step.window});
    }
    // The flag decides, however it came to be set.
    window->DigitalVfd = true;
    EXPECT_EQ(clickFor(Control::HelpMeasButt), std::vector<Help>{Help::HelpDigVFD});
    window->DigitalVfd = false;
    EXPECT_EQ(clickFor(Control::HelpMeasButt), std::vector<Help>{Help::HelpMeasure});
}

TEST_F(HelpButtonsTest, ButtonsChangeNothingInTheEditor) {
    form.pickRow(Control::MachineType, 2);
    form.typeOver(Control::PortAdd, "378");
    window->ProfileChanged = false;
    for (const Control button :
         {Control::HelpPort, Control::HelpMeasButt, Control::cmdProbeLogicInfo, Control::cmdFourthAxisHomingInfo}) {
        SCOPED_TRACE(MemoryForm::Name(button));
        // The button takes the focus as it is pressed; the rest stays as it was.
        form.focus(button);
        const EditorSnapshot before = snapshot(*window, form);
        clickFor(button);
        EXPECT_TRUE(snapshot(*window, form) == before);
    }
    EXPECT_TRUE(dialogs.messages.empty());
}
