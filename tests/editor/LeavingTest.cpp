// Leaving the program with "Done" or by closing the window: the question, the
// save it offers, and staying open when that save is refused or fails.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

#include "WorkflowSupport.h"

namespace {

using Button = UserDialogs::Button;
using Icon = UserDialogs::Icon;

const UserDialogs::Message kSaveFirst{"Do you wish to save profile first?", "Save first?", Icon::None,
                                      {Button::Yes, Button::No}, Button::Yes};

struct Leaving {
    const char* name;
    bool open;                                // a profile is opened first
    std::function<void(QWidget*, const QString& profile)> before;  // after the open, before leaving
    QList<Button> answers;                    // to the questions on the way out, in order
    int shown;                                // messages on the way out, questions included
    bool ended;                               // the program was ended
    std::function<QByteArray()> fileAfter;    // the file's bytes afterwards; none: no file
    QString portAfter;                        // PortAdd afterwards
};

void PrintTo(const Leaving& l, std::ostream* out) { *out << l.name; }

QLineEdit* box(QWidget* window, const char* name) { return findControl<QLineEdit>(window, QString::fromLatin1(name)); }

QByteArray original() { return fixtureBytes("basic.xml"); }
QByteArray untouched() { return fixtureBytes("basic.untouched.xml"); }

const std::vector<Leaving> kLeaving = {
    {"NothingOpened", false, nullptr, {}, 0, true, original, ""},
    {"AnsweredNo", true, nullptr, {Button::No}, 1, true, original, "378"},
    {"AnsweredYes", true, nullptr, {Button::Yes}, 1, true, untouched, "378"},
    {"YesPortEditedToo", true, [](QWidget* w, const QString&) { typeOver(box(w, "PortAdd"), "3bc"); },
     {Button::Yes}, 1, true, [] { return withEdits(untouched(), {{"<Port1Add>", "956"}}); }, "3bc"},
    // The save refuses: the message is shown and the program stays open with the edits.
    {"YesButPortRefused", true, [](QWidget* w, const QString&) { typeOver(box(w, "PortAdd"), "378h"); },
     {Button::Yes}, 2, false, original, "378h"},
    // The file was deleted meanwhile and the user does not write it again.
    {"YesButFileGone", true,
     [](QWidget* w, const QString& profile) {
         typeOver(box(w, "PortAdd"), "3bc");
         QFile::remove(profile);
     },
     {Button::Yes, Button::Cancel}, 2, false, nullptr, "3bc"},
    // The folder went too: writing it again fails.
    {"YesButWriteFails", true,
     [](QWidget* w, const QString& profile) {
         typeOver(box(w, "PortAdd"), "3bc");
         QDir(QFileInfo(profile).absolutePath()).removeRecursively();
     },
     {Button::Yes, Button::WriteAgain}, 3, false, nullptr, "3bc"},
    // Changed by another program: the user keeps that version.
    {"YesButChangedOutsideCancelled", true,
     [](QWidget*, const QString& profile) {
         QFile file(profile);
         ASSERT_TRUE(file.open(QIODevice::Append));
         file.write("\n");
     },
     {Button::Yes, Button::Cancel}, 2, false, [] { return original() + "\n"; }, "378"},
    // After a save, the port alone does not bring the question back; the homing list does.
    {"SavedThenPortOnly", true,
     [](QWidget* w, const QString&) {
         click(findControl<QPushButton>(w, "SaveButt"));
         typeOver(box(w, "PortAdd"), "3bc");
     },
     {}, 0, true, untouched, "3bc"},
    {"SavedThenHomingPicked", true,
     [](QWidget* w, const QString&) {
         click(findControl<QPushButton>(w, "SaveButt"));
         pickRow(findControl<QComboBox>(w, "FourthHomingCombo"), 0);
     },
     {Button::No}, 1, true, untouched, "378"},
};

class LeavingTest : public WorkflowTest, public ::testing::WithParamInterface<std::tuple<Leaving, bool>> {
protected:
    void leave(bool byClosing) {
        if (byClosing)
            window->close();
        else
            done();
    }
};

TEST_P(LeavingTest, DoneOrClose) {
    const auto& [l, byClosing] = GetParam();
    const QString profile = copyFixture("basic.xml");
    chooseMachine(1);
    if (l.open) openProfile(profile);
    if (l.before) l.before(window.get(), profile);
    dialogs.clearRecord();

    for (const Button answer : l.answers) dialogs.answer(answer);
    leave(byClosing);

    ASSERT_EQ(dialogs.messages.size(), l.shown) << dialogs.messageTexts().join(" | ").toStdString();
    if (l.open && !l.answers.isEmpty()) {
        EXPECT_EQ(dialogs.messages[0], kSaveFirst);
    }
    EXPECT_EQ(dialogs.endProgramCalls, l.ended ? 1 : 0);
    if (!l.ended) {
        // Still there with the edits, to be fixed and saved.
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->ProfileChanged);
    }
    if (l.open) {
        EXPECT_EQ(field("PortAdd")->text(), l.portAfter);
    }
    if (l.fileAfter) {
        EXPECT_EQ(readFile(profile), l.fileAfter());
    } else {
        EXPECT_FALSE(QFileInfo::exists(profile));
    }

    if (l.ended) {
        // Ending closes the window; that close asks nothing again.
        dialogs.clearRecord();
        window->close();
        EXPECT_TRUE(dialogs.messages.isEmpty());
        EXPECT_EQ(dialogs.endProgramCalls, 0);
        EXPECT_FALSE(window->isVisible());
    }
}

INSTANTIATE_TEST_SUITE_P(Leaving, LeavingTest, ::testing::Combine(::testing::ValuesIn(kLeaving), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<Leaving, bool>>& param) {
                             return std::string(std::get<0>(param.param).name) +
                                    (std::get<1>(param.param) ? "_ByClosing" : "_ByDone");
                         });

}  // namespace
