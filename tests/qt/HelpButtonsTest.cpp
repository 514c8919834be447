// The Help and Info buttons: which window each one asks for, that the spindle
// Help follows the calibration method at the moment of the click, that they touch
// no editor state, and, through the real dialogs, that the window is modal.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "EditorTest.h"
#include "editor/QtDialogs.h"

namespace {

using Help = UserDialogs::HelpWindow;

const char* toString(Help window) {
    switch (window) {
        case Help::HelpMeasure: return "HelpMeasure";
        case Help::HelpPrinter: return "HelpPrinter";
        case Help::HelpDigVFD: return "HelpDigVFD";
        case Help::InfoProbeLogic: return "InfoProbeLogic";
        case Help::InfoFourthAxisHoming: return "InfoFourthAxisHoming";
    }
    return "?";
}

// Everything of the editor a help button must leave as it was.
struct EditorSnapshot {
    bool profileChanged, digitalVfd, fileLoaded;
    std::int16_t machineIndex, probeLogicIndex, fourthHomingIndex;
    double nominalHz;
    std::string profileXml;
    QStringList texts;
    bool operator==(const EditorSnapshot&) const = default;
};

EditorSnapshot snapshot(const MainScreen& window) {
    EditorSnapshot s{window.ProfileChanged,  window.DigitalVfd,        window.FileLoaded, window.MachineIndex,
                     window.ProbeLogicIndex, window.FourthHomingIndex, window.NominalHz,  window.ProfileXml,
                     {}};
    for (const QLineEdit* box : window.findChildren<QLineEdit*>()) s.texts << box->objectName() + "=" + box->text();
    return s;
}

// Closes every shown window but `keep`: ends a showing that went wrong.
void closeOtherWindows(const QWidget* keep) {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != keep && top->isVisible()) top->close();
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
    QList<Help> clickFor(const char* button) {
        dialogs.clearRecord();
        click(find<QPushButton>(button));
        return dialogs.helpRequests;
    }
};

TEST_F(HelpButtonsTest, EachButtonShowsItsWindow) {
    pickRow(find<QComboBox>("MachineType"), 1);
    const struct {
        const char* button;
        Help window;
    } cases[] = {
        {"HelpPort", Help::HelpPrinter},
        {"cmdProbeLogicInfo", Help::InfoProbeLogic},
        {"cmdFourthAxisHomingInfo", Help::InfoFourthAxisHoming},
        {"HelpMeasButt", Help::HelpMeasure},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        const QList<Help> asked = clickFor(c.button);
        ASSERT_EQ(asked.size(), 1);
        EXPECT_EQ(asked.front(), c.window) << toString(asked.front());
    }
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
        pickRow(find<QComboBox>("MachineType"), step.row);
        const QList<Help> asked = clickFor("HelpMeasButt");
        ASSERT_EQ(asked.size(), 1);
        EXPECT_EQ(asked.front(), step.window) << toString(asked.front());
    }
    // The flag decides, however it came to be set.
    window->DigitalVfd = true;
    EXPECT_EQ(clickFor("HelpMeasButt"), QList<Help>{Help::HelpDigVFD});
    window->DigitalVfd = false;
    EXPECT_EQ(clickFor("HelpMeasButt"), QList<Help>{Help::HelpMeasure});
}

TEST_F(HelpButtonsTest, ButtonsChangeNothingInTheEditor) {
    pickRow(find<QComboBox>("MachineType"), 2);
    typeOver(find<QLineEdit>("PortAdd"), QStringLiteral("378"));
    window->ProfileChanged = false;
    const EditorSnapshot before = snapshot(*window);
    for (const char* button : {"HelpPort", "HelpMeasButt", "cmdProbeLogicInfo", "cmdFourthAxisHomingInfo"}) {
        SCOPED_TRACE(button);
        clickFor(button);
        EXPECT_TRUE(snapshot(*window) == before);
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// With the real dialogs: the window the button asks for is shown modally over the
// main window, which takes no click until the window is closed.
TEST(HelpButtonsRealDialogsTest, HelpWindowIsShownModallyOverTheMainWindow) {
    QtDialogs dialogs;
    MainScreen window(dialogs);
    dialogs.setOwner(&window);
    window.show();
    window.EnableStuff(true);
    auto* helpPort = window.findChild<QPushButton*>(QStringLiteral("HelpPort"));
    ASSERT_NE(helpPort, nullptr);

    int helpPortClicks = 0;
    QObject::connect(helpPort, &QPushButton::clicked, [&] { ++helpPortClicks; });
    QString shownName;
    int clicksWhileShown = -1;
    QTimer whileShown;
    whileShown.setSingleShot(true);
    QObject::connect(&whileShown, &QTimer::timeout, [&] {
        QWidget* shown = QApplication::activeModalWidget();
        if (!shown) {
            ADD_FAILURE() << "no modal window is shown";
            closeOtherWindows(&window);
            return;
        }
        shownName = shown->objectName();
        // A click on the main window, as the window system delivers it, goes nowhere.
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, helpPort->mapTo(&window, helpPort->rect().center()));
        QApplication::processEvents();
        clicksWhileShown = helpPortClicks;
        shown->close();
    });
    QTimer rescue;
    rescue.setSingleShot(true);
    QObject::connect(&rescue, &QTimer::timeout, [&] {
        ADD_FAILURE() << "the help window did not close";
        closeOtherWindows(&window);
    });
    whileShown.start(0);
    rescue.start(5000);
    click(helpPort);

    EXPECT_EQ(shownName, QStringLiteral("HelpPrinter"));
    // The opening click is counted once its handler has returned, after the window
    // closed; the click made while it was shown never arrived.
    EXPECT_EQ(clicksWhileShown, 0);
    EXPECT_EQ(helpPortClicks, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
