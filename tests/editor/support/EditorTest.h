#pragma once
// Helpers for tests that drive the main window through its real widgets, found
// by object name, with every dialog answered by ScriptedDialogs.
//
//   class OpenTest : public EditorTest {};
//   TEST_F(OpenTest, Something) {
//       pickRow(find<QComboBox>("MachineType"), 2);
//       dialogs.answerOpen(writeFile("p.xml", "<Port1Add>888</Port1Add>"));
//       click(find<QPushButton>("OpenProfile"));
//       EXPECT_EQ(find<QLineEdit>("PortAdd")->text(), "378");
//   }

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

#include "ScriptedDialogs.h"
#include "editor/MainScreen.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;

// The named child of `root`, or nullptr after failing the test.
QWidget* findControl(const QWidget* root, const QString& name);

template <class T>
T* findControl(const QWidget* root, const QString& name) {
    QWidget* found = findControl(root, name);
    T* typed = qobject_cast<T*>(found);
    if (found && !typed)
        ADD_FAILURE() << "Control " << name.toStdString() << " is a " << found->metaObject()->className();
    return typed;
}

// Entry i of the jog table `Step0`.
QString step0Name(int index);

// --- What a user does, through real input events ---
void click(QAbstractButton* button);
void clickLabel(QLabel* label);
// Puts the focus into the box and types the keys, as a user does.
void typeInto(QLineEdit* box, const QString& keys);
// Selects all text of the box and types over it (an empty text clears it).
void typeOver(QLineEdit* box, const QString& keys);
// Opens the list and clicks row `row` in it.
void pickRow(QComboBox* list, int row);
// Moves the focus with the Tab key from the control that has it.
void pressTab();
// The control that has the keyboard focus (a list's text part counts as the list).
QWidget* focusedControl();

// A fresh main window, shown, from a clean temporary folder for each test.
class EditorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    template <class T = QWidget>
    T* find(const QString& name) const {
        return findControl<T>(window.get(), name);
    }
    QLineEdit* step0(int index) const;

    // Writes bytes into the test's temporary folder; returns the full path.
    QString writeFile(const QString& name, const QByteArray& bytes) const;
    // Reads a file back whole.
    static QByteArray readFile(const QString& path);
    // The folder the test may use.
    QString folder() const { return dir.path(); }

    ScriptedDialogs dialogs;  // declared before the window, so it outlives it
    std::unique_ptr<MainScreen> window;
    QTemporaryDir dir;
};
