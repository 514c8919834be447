// What the Qt window passes on to the editor: one call for each thing the user
// did (a key typed, a click, a row picked, the focus moved to another control,
// the close command) and nothing for what the editor itself set.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "MemoryForm.h"
#include "ScriptedDialogs.h"
#include "qt/QtMainScreen.h"
#include "screens/Layout.h"

namespace {

struct Event {
    std::string what;  // "typed", "clicked", "picked", "left", "close"
    Control control;
    bool operator==(const Event&) const = default;
};

void PrintTo(const Event& e, std::ostream* out) {
    *out << e.what << " " << (e.control == Control::None ? "-" : MemoryForm::Name(e.control));
}

// Records every event and passes it on to the editor when there is one.
class Recorder final : public UserEvents {
public:
    explicit Recorder(MainScreen* editor = nullptr) : editor_(editor) {}
    void TextTyped(Control c) override {
        seen.push_back({"typed", c});
        if (editor_) editor_->TextTyped(c);
    }
    void Clicked(Control c) override {
        seen.push_back({"clicked", c});
        if (editor_) editor_->Clicked(c);
    }
    void RowPicked(Control c) override {
        seen.push_back({"picked", c});
        if (editor_) editor_->RowPicked(c);
    }
    void FocusLeft(Control c) override {
        seen.push_back({"left", c});
        if (editor_) editor_->FocusLeft(c);
    }
    void CloseRequested() override {
        seen.push_back({"close", Control::None});
        if (editor_) editor_->CloseRequested();
    }
    std::vector<Event> seen;

private:
    MainScreen* editor_;
};

// Picks a row of the list as a user does: opens it and clicks the row.
void pickRow(QComboBox* list, int row) {
    list->showPopup();
    QAbstractItemView* view = list->view();
    ASSERT_TRUE(QTest::qWaitFor([view] { return view->isVisible(); }, 2000));
    const QRect place = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place.center());
    EXPECT_TRUE(QTest::qWaitFor([view] { return !view->isVisible(); }, 2000)) << "the list stayed open";
}

}  // namespace

// The window with its editor; every event the window reports goes through the
// recorder on its way to the editor.
class EventForwardingTest : public ::testing::Test {
protected:
    void SetUp() override {
        program.window.reportTo(&events);
        program.window.show();
        program.window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&program.window));
        // The panels on, as an open leaves them, and the volts fields shown.
        program.screen.SetListIndex(Control::MachineType, 1);
        program.screen.EnableStuff(true);
        program.screen.Label15_Click();
        focus(Control::DoneButt);
        events.seen.clear();
    }
    void TearDown() override { program.window.reportTo(nullptr); }

    QWidget* widget(Control c) { return program.window.control(c); }
    template <class T>
    T* widget(Control c) {
        return program.window.control<T>(c);
    }
    void focus(Control c) {
        widget(c)->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
    }

    ScriptedDialogs dialogs;
    QtMainScreen program{static_cast<UserDialogs&>(dialogs)};
    Recorder events{&program.screen};
};

TEST_F(EventForwardingTest, EachKeyTypedIntoABoxIsOneChange) {
    // Every box the user can type into, as the data lists them.
    for (const layout::ControlLayout& laidOut : layout::MainWindow().controls) {
        if (laidOut.kind != layout::Kind::TextBox) continue;
        auto* box = widget<QLineEdit>(laidOut.id);
        if (box->isReadOnly() || !box->isEnabled() || !box->isVisible()) continue;
        SCOPED_TRACE(MemoryForm::Name(laidOut.id));
        focus(laidOut.id);
        box->selectAll();
        events.seen.clear();
        QTest::keyClicks(box, "12");
        QTest::keyClick(box, Qt::Key_Backspace);
        EXPECT_EQ(events.seen, (std::vector<Event>{{"typed", laidOut.id}, {"typed", laidOut.id}, {"typed", laidOut.id}}));
        EXPECT_EQ(box->text(), "1");
    }
    // The handler ran on each key: the new steps follow the voltages typed.
    program.screen.SetText(Control::SpinVel, "1000");
    focus(Control::AutoVolts);
    widget<QLineEdit>(Control::AutoVolts)->clear();
    QTest::keyClicks(widget(Control::AutoVolts), "5");
    focus(Control::ManVolts);
    widget<QLineEdit>(Control::ManVolts)->clear();
    QTest::keyClicks(widget(Control::ManVolts), "1");
    EXPECT_EQ(program.form.Text(Control::NewSteps), "186.667");
    QTest::keyClicks(widget(Control::ManVolts), "0");
    EXPECT_EQ(program.form.Text(Control::NewSteps), "1866.667");
}

TEST_F(EventForwardingTest, WhatTheEditorSetsReportsNothing) {
    // Each runs its handler once, in the editor; the window adds no run of its own.
    program.screen.SetText(Control::SpinVel, "1000");
    program.screen.SetText(Control::AutoVolts, "5");
    program.screen.SetText(Control::ManVolts, "1");
    EXPECT_EQ(program.form.Text(Control::NewSteps), "186.667");
    program.screen.SetText(Control::ManVolts, "1");  // unchanged: runs again, once
    program.screen.SetText(Control::PortAdd, "3bc");
    program.screen.SetText(Control::Step0_2, "0.25");
    program.screen.SetListIndex(Control::MachineType, 2);
    program.screen.SetListIndex(Control::ProbeLogicCombo, 1);
    program.screen.SetListIndex(Control::FourthHomingCombo, 0);
    program.screen.SetDef_Click();
    program.form.PutText(Control::MachineType, "typed over");
    program.form.AddRow(Control::ProbeLogicCombo, "another row");
    program.form.PutListIndex(Control::FourthHomingCombo, 1);
    program.form.SetEnabled(Control::PortAdd, false);
    program.form.SetReadOnly(Control::PulseMagic, true);
    program.form.SetVisible(Control::XMLRev, false);
    EXPECT_EQ(events.seen, std::vector<Event>{});
    EXPECT_EQ(program.form.Text(Control::PortAdd), "3bc");
    EXPECT_EQ(program.form.ListIndex(Control::MachineType), 2);
    EXPECT_EQ(program.form.ListIndex(Control::ProbeLogicCombo), 1);
    EXPECT_EQ(program.form.Text(Control::ProbeLogicCombo), "Probe makes circuit on touch (active probe)");
    // Adding a row keeps the list's selection and the text it shows.
    EXPECT_EQ(program.form.RowCount(Control::ProbeLogicCombo), 3);
}

TEST_F(EventForwardingTest, APickedRowIsOneEventAlsoForTheSelectedRow) {
    for (const Control list : {Control::MachineType, Control::ProbeLogicCombo, Control::FourthHomingCombo}) {
        SCOPED_TRACE(MemoryForm::Name(list));
        auto* box = widget<QComboBox>(list);
        for (int round = 0; round < 2; ++round) {
            events.seen.clear();
            pickRow(box, 1);
            std::vector<Event> picked;
            for (const Event& e : events.seen)
                if (e.what != "left") picked.push_back(e);
            EXPECT_EQ(picked, (std::vector<Event>{{"picked", list}}));
            EXPECT_EQ(box->currentIndex(), 1);
        }
    }
    EXPECT_EQ(program.screen.MachineIndex, 1);
    EXPECT_EQ(program.screen.ProbeLogicIndex, 1);
    EXPECT_EQ(program.screen.FourthHomingIndex, 1);
}

TEST_F(EventForwardingTest, TypingIntoAListsTextPartReportsNothingAndPicksNoRow) {
    for (const Control list : {Control::MachineType, Control::ProbeLogicCombo, Control::FourthHomingCombo}) {
        SCOPED_TRACE(MemoryForm::Name(list));
        auto* box = widget<QComboBox>(list);
        program.form.PutListIndex(list, -1);
        const int rows = box->count();
        const QString rowText = box->itemText(1);  // a row's own text, the worst case
        focus(list);
        events.seen.clear();
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), rowText);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        QTest::keyClick(box->lineEdit(), Qt::Key_Enter);
        focus(Control::DoneButt);  // leaving the text part finishes the edit
        EXPECT_EQ(box->currentText(), rowText);
        EXPECT_EQ(box->currentIndex(), -1);
        EXPECT_EQ(box->count(), rows);
        EXPECT_EQ(events.seen, (std::vector<Event>{{"left", list}}));
    }
}

TEST_F(EventForwardingTest, ClicksOnEnabledButtonsAndLabelsOnly) {
    const struct {
        Control control;
        Qt::MouseButton button;
        bool enabled;
        std::vector<Event> expected;
    } cases[] = {
        {Control::SetDef, Qt::LeftButton, true, {{"clicked", Control::SetDef}}},
        {Control::SetDef, Qt::LeftButton, false, {}},
        {Control::SetDef, Qt::RightButton, true, {}},
        {Control::Label15, Qt::LeftButton, true, {{"clicked", Control::Label15}}},
        {Control::Label15, Qt::RightButton, true, {}},
        {Control::Label15, Qt::LeftButton, false, {}},
        {Control::Label12, Qt::LeftButton, true, {{"clicked", Control::Label12}}},
        {Control::Label2, Qt::LeftButton, true, {{"clicked", Control::Label2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(MemoryForm::Name(c.control) + (c.enabled ? " enabled" : " disabled") +
                     (c.button == Qt::LeftButton ? " left" : " right"));
        program.form.SetEnabled(c.control, c.enabled);
        focus(Control::DoneButt);
        events.seen.clear();
        QTest::mouseClick(widget(c.control), c.button);
        std::vector<Event> clicks;
        for (const Event& e : events.seen)
            if (e.what != "left") clicks.push_back(e);
        EXPECT_EQ(clicks, c.expected);
        program.form.SetEnabled(c.control, true);
    }
}

TEST_F(EventForwardingTest, FocusMovingToAnotherControlIsReportedOnce) {
    // By the Tab key, from a jog entry: its lost-focus handler reformats the entry.
    focus(Control::Step0_4);
    events.seen.clear();
    QTest::keyClicks(widget(Control::Step0_4), "1");
    QTest::keyClick(widget(Control::Step0_4), Qt::Key_Tab);
    EXPECT_EQ(events.seen, (std::vector<Event>{{"typed", Control::Step0_4}, {"left", Control::Step0_4}}));
    EXPECT_EQ(QApplication::focusWidget(), widget(Control::Step0_5));
    EXPECT_EQ(program.form.Text(Control::Step0_4), "1.0");

    // By a click into another box, and out of a list's text part.
    events.seen.clear();
    QTest::mouseClick(widget(Control::PortAdd), Qt::LeftButton);
    QTest::mouseClick(widget<QComboBox>(Control::ProbeLogicCombo)->lineEdit(), Qt::LeftButton);
    QTest::mouseClick(widget(Control::ManVolts), Qt::LeftButton);
    EXPECT_EQ(events.seen, (std::vector<Event>{{"left", Control::Step0_5},
                                               {"left", Control::PortAdd},
                                               {"left", Control::ProbeLogicCombo}}));

    // Another window taking the focus, or a popup, is no move within this window.
    events.seen.clear();
    for (const Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(widget(Control::ManVolts), &out);
    }
    EXPECT_EQ(events.seen, std::vector<Event>{});
}

TEST_F(EventForwardingTest, CloseCommandAsksTheEditorAndClosesOnlyWhenTheProgramEnds) {
    program.window.close();
    EXPECT_EQ(events.seen, (std::vector<Event>{{"close", Control::None}}));
    // No profile open: the editor ended the program at once, which lets the window close.
    EXPECT_EQ(dialogs.endProgramCalls, 1);
    EXPECT_TRUE(program.window.isVisible());
    program.window.setEnding();
    events.seen.clear();
    program.window.close();
    EXPECT_EQ(events.seen, std::vector<Event>{});
    EXPECT_FALSE(program.window.isVisible());
}
