// The main window: its state at the end of start-up, the focus order, the
// machine choice, the hidden pair, and the event rules every handler relies on.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "EditorTest.h"

class MainScreenTest : public EditorTest {};

TEST_F(MainScreenTest, Smoke) {
    auto* machine = find<QComboBox>("MachineType");
    ASSERT_TRUE(machine);
    EXPECT_EQ(machine->currentIndex(), -1);
    EXPECT_EQ(machine->currentText(), "<Choose machine this config. is for>");
    pickRow(machine, 2);
    EXPECT_EQ(window->MachineIndex, 2);
    EXPECT_EQ(find<QLineEdit>("TestSpeed")->text(), "500");
}
