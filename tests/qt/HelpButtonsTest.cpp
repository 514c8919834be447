// The Help and Info buttons through the real dialogs: a click in the Qt window
// shows the window the editor asks for, modally over the main window, which
// takes no click until it is closed. (Which window each button asks for, and
// that the buttons change nothing, the editor's own tests show.)
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "QtModal.h"
#include "qt/QtDialogs.h"
#include "qt/QtMainScreen.h"

TEST(HelpButtonsTest, EachButtonShowsItsWindowModallyOverTheMainWindow) {
    QtDialogs dialogs;
    QtMainScreen program(dialogs);
    program.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&program.window));
    program.screen.EnableStuff(true);

    const struct {
        int machine;  // 1 measures volts, 2 reads the drive's frequency
        Control button;
        const char* window;
    } cases[] = {
        {1, Control::HelpPort, "HelpPrinter"},
        {1, Control::HelpMeasButt, "HelpMeasure"},
        {2, Control::HelpMeasButt, "HelpDigVFD"},
        {1, Control::cmdProbeLogicInfo, "InfoProbeLogic"},
        {1, Control::cmdFourthAxisHomingInfo, "InfoFourthAxisHoming"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.window);
        program.screen.SetListIndex(Control::MachineType, c.machine);
        auto* button = program.window.control<QPushButton>(c.button);
        ASSERT_NE(button, nullptr);
        int clicks = 0;
        const auto counting = QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });

        QString shownName;
        int clicksWhileShown = -1;
        QTimer whileShown;
        whileShown.setSingleShot(true);
        QObject::connect(&whileShown, &QTimer::timeout, [&] {
            QWidget* shown = QApplication::activeModalWidget();
            if (!shown) {
                ADD_FAILURE() << "no modal window is shown";
                qttest::CloseOtherWindows(&program.window);
                return;
            }
            shownName = shown->objectName();
            // A click on the main window, as the window system delivers it, goes nowhere.
            QTest::mouseClick(program.window.windowHandle(), Qt::LeftButton, {},
                              button->mapTo(&program.window, button->rect().center()));
            QApplication::processEvents();
            clicksWhileShown = clicks;
            shown->close();
        });
        QTimer rescue;
        rescue.setSingleShot(true);
        QObject::connect(&rescue, &QTimer::timeout, [&] {
            ADD_FAILURE() << "the help window did not close";
            qttest::CloseOtherWindows(&program.window);
        });
        whileShown.start(0);
        rescue.start(5000);
        QTest::mouseClick(button, Qt::LeftButton);

        EXPECT_EQ(shownName, QString::fromLatin1(c.window));
        // The opening click is counted once its handler has returned, after the
        // window closed; the click made while it was shown never arrived.
        EXPECT_EQ(clicksWhileShown, 0);
        EXPECT_EQ(clicks, 1);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        QObject::disconnect(counting);
    }
}
