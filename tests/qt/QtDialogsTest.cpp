// The real dialogs behind the seam: Qt's message box and file dialog, answered
// from inside their own event loops; and the two Yes/No questions of leaving
// and of opening another profile, which Escape and the close box do not answer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "EditorTest.h"
#include "QtModal.h"
#include "qt/QtDialogs.h"
#include "qt/QtMainScreen.h"

namespace {

using B = UserDialogs::Button;
using qttest::ButtonWithText;
using qttest::WhenModal;

// Escape as the user presses it: to the widget that has the focus in the box.
void pressEscape(QWidget* box) {
    QWidget* target = box->focusWidget() ? box->focusWidget() : box;
    QTest::keyClick(target, Qt::Key_Escape);
    QApplication::processEvents();
}

}  // namespace

class QtDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.show();
        dialogs.setOwner(&owner);
    }
    QWidget owner;
    QtDialogs dialogs;
};

TEST_F(QtDialogsTest, MessageBoxShowsTextTitleIconAndReturnsThePressedButton) {
    struct Case {
        std::vector<B> buttons;
        B defaultButton;
        const char* press;  // caption of the button to press
        B expected;
    };
    const Case cases[] = {
        {{B::Ok}, B::Ok, "OK", B::Ok},
        {{B::Yes, B::No}, B::Yes, "No", B::No},
        {{B::Yes, B::No}, B::Yes, "Yes", B::Yes},
        {{B::SaveAnyway, B::Cancel}, B::Cancel, "Save Anyway", B::SaveAnyway},
        {{B::WriteAgain, B::Cancel}, B::WriteAgain, "Write Again", B::WriteAgain},
        {{B::WriteAgain, B::Cancel}, B::WriteAgain, "Cancel", B::Cancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.press);
        QString seenTitle, seenText, defaultCaption;
        QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
        WhenModal([&](QWidget* modal, int) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_TRUE(box);
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            if (box->defaultButton()) defaultCaption = box->defaultButton()->text().remove('&');
            QPushButton* press = ButtonWithText(box, c.press);
            ASSERT_TRUE(press);
            press->click();
        });
        const B answer = dialogs.showMessage({"Some text.  Two spaces.", "A title", UserDialogs::Icon::Warning,
                                              c.buttons, c.defaultButton});
        EXPECT_EQ(answer, c.expected);
        EXPECT_EQ(seenTitle, "A title");
        EXPECT_EQ(seenText, "Some text.  Two spaces.");
        EXPECT_EQ(seenIcon, QMessageBox::Warning);
        EXPECT_EQ(defaultCaption.isEmpty(), false);
    }
}

// Escape and the close box answer with the box's way out, Cancel or a lone OK;
// a Yes/No question has none: it stays until a button is pressed, and shows no
// close box.
TEST_F(QtDialogsTest, EscapeAndTheCloseBoxAnswerOnlyWhereThereIsAWayOut) {
    struct Case {
        std::vector<B> buttons;
        B defaultButton;
        std::optional<B> wayOut;
    };
    const Case cases[] = {
        {{B::Yes, B::No}, B::Yes, std::nullopt},
        {{B::WriteAgain, B::Cancel}, B::Cancel, B::Cancel},
        {{B::SaveAnyway, B::Cancel}, B::Cancel, B::Cancel},
        {{B::Ok}, B::Ok, B::Ok},
    };
    for (const Case& c : cases) {
        for (const bool byEscape : {true, false}) {
            SCOPED_TRACE(std::string(toString(c.buttons.front())) + (byEscape ? ", Escape" : ", close box"));
            bool stayed = false;
            bool closeBox = true;
            WhenModal([&](QWidget* box, int tick) {
                if (tick == 0) {
                    closeBox = box->windowFlags() & Qt::WindowCloseButtonHint;
                    if (byEscape)
                        pressEscape(box);
                    else
                        box->close();
                } else {
                    // Still up after its event loop had the key or the close command.
                    stayed = true;
                    ButtonWithText(box, c.buttons.front() == B::Yes ? "Yes" : "Cancel")->click();
                }
            });
            const B answer = dialogs.showMessage({"Question?", "Q", UserDialogs::Icon::Question, c.buttons,
                                                  c.defaultButton});
            if (c.wayOut) {
                EXPECT_EQ(answer, *c.wayOut);
                EXPECT_FALSE(stayed);
            } else {
                EXPECT_TRUE(stayed);
                EXPECT_EQ(answer, B::Yes);  // the button pressed after
                EXPECT_FALSE(closeBox);
            }
        }
    }
}

TEST_F(QtDialogsTest, OpenDialogOffersOneFileTypeAndReturnsTheChosenPath) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile(folder.filePath("Mach3Mill.xml")).open(QIODevice::WriteOnly);
    const UserDialogs::OpenRequest request{"Open Profile", "Profiles ", "*.xml",
                                           std::filesystem::path(folder.path().toStdString())};

    QStringList filters;
    QString title, directory;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    WhenModal([&](QWidget* modal, int) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_TRUE(dialog);
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        mode = dialog->fileMode();
        directory = dialog->directory().absolutePath();
        // Typed into the name box, as a user does (selectFile leaves a focused box alone).
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            name->setText(QStringLiteral("Mach3Mill.xml"));
        else
            dialog->selectFile(folder.filePath("Mach3Mill.xml"));
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::optional<std::filesystem::path> chosen = dialogs.chooseProfile(request);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, std::filesystem::path(QDir(folder.path()).absoluteFilePath("Mach3Mill.xml").toStdString()));
    EXPECT_EQ(title, "Open Profile");
    EXPECT_EQ(filters, QStringList{"Profiles (*.xml)"});
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
    EXPECT_EQ(directory, QDir(folder.path()).absolutePath());

    WhenModal([](QWidget* modal, int) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_FALSE(dialogs.chooseProfile(request).has_value());

    // A folder this system does not have starts the dialog in the user's home.
    WhenModal([&](QWidget* modal, int) {
        directory = qobject_cast<QFileDialog*>(modal)->directory().absolutePath();
        qobject_cast<QDialog*>(modal)->reject();
    });
    dialogs.chooseProfile({"Open Profile", "Profiles ", "*.xml", "C:\\Ombrel3"});
    EXPECT_EQ(directory, QDir::homePath());
}

// ---------------------------------------------------------------------------
// The two Yes/No questions as the user meets them in the program: the real
// message boxes over the real window, an opened copy of a profile with an edit
// typed into it.

namespace {

// The real message boxes; the open dialog answered with the test's profile.
class RealMessages final : public UserDialogs {
public:
    explicit RealMessages(QtDialogs& real) : real_(real) {}
    Button showMessage(const Message& message) override {
        titles.push_back(message.title);
        return real_.showMessage(message);
    }
    std::optional<std::filesystem::path> chooseProfile(const OpenRequest&) override {
        ++opens;
        return profile;
    }
    void showHelp(HelpWindow window) override { real_.showHelp(window); }
    void endProgram() override {
        ++ends;
        real_.endProgram();
    }
    std::filesystem::path profile;
    std::vector<std::string> titles;
    int opens = 0, ends = 0;

private:
    QtDialogs& real_;
};

}  // namespace

class UnansweredQuestionTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        messages.profile = writeFile("Mach3Mill.xml", original);
        real.setOwner(&program.window, [this] { program.window.setEnding(); });
        program.window.show();
        program.window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&program.window));
        program.screen.SetListIndex(Control::MachineType, 1);
        program.screen.OpenProfile_Click();
        ASSERT_EQ(messages.opens, 1);
        ASSERT_TRUE(program.screen.FileLoaded);
        // The user's edit: a new port typed over the old one.
        auto* port = program.window.control<QLineEdit>(Control::PortAdd);
        port->setFocus(Qt::MouseFocusReason);
        port->selectAll();
        QTest::keyClicks(port, "3bc");
        ASSERT_TRUE(program.screen.ProfileChanged);
        messages.titles.clear();
    }

    // Clicks the button; while the question it raises is up, presses Escape,
    // then closes it with the close command, and notes after each that it, the
    // program and its edits are still there and nothing has been written; then
    // answers with `finally`.
    void askAndRefuseToAnswer(Control button, const QString& finally) {
        stillAsked = 0;
        WhenModal([&](QWidget* box, int tick) {
            const bool asIs = box->isVisible() && program.window.isVisible() && messages.ends == 0 &&
                              readFile(messages.profile) == original &&
                              program.form.Text(Control::PortAdd) == "3bc";
            if (tick == 0) {
                pressEscape(box);
            } else if (tick == 1) {
                stillAsked += asIs;
                box->close();
            } else {
                stillAsked += asIs;
                ButtonWithText(box, finally)->click();
            }
        });
        QTest::mouseClick(program.window.control(button), Qt::LeftButton);
    }

    void TearDown() override {
        // The program ended (QtDialogs::endProgram leaves every event loop): let
        // the next test's windows run loops again.
        if (messages.ends > 0) qttest::ForgetProgramEnd();
        EditorTest::TearDown();
    }

    const std::string original = ReadBytes(std::filesystem::path(OMBREL_EDITOR_FIXTURES) / "basic.xml");
    QtDialogs real;
    RealMessages messages{real};
    QtMainScreen program{static_cast<UserDialogs&>(messages)};
    int stillAsked = 0;
};

TEST_F(UnansweredQuestionTest, SaveFirstStaysUntilAButtonIsPressed) {
    askAndRefuseToAnswer(Control::DoneButt, QStringLiteral("No"));
    EXPECT_EQ(messages.titles, std::vector<std::string>{"Save first?"});
    EXPECT_EQ(stillAsked, 2);  // after Escape, and after the close command
    // Then "No": the program ends, and nothing was ever written.
    EXPECT_EQ(messages.ends, 1);
    EXPECT_EQ(readFile(messages.profile), original);
}

TEST_F(UnansweredQuestionTest, OpenAnotherStaysUntilAButtonIsPressed) {
    askAndRefuseToAnswer(Control::OpenProfile, QStringLiteral("Yes"));
    EXPECT_EQ(messages.titles, std::vector<std::string>{"OK to Open another?"});
    EXPECT_EQ(stillAsked, 2);
    // Then "Yes" (the chance to save first): no open dialog, the program and its edits stay.
    EXPECT_EQ(messages.opens, 1);
    EXPECT_EQ(messages.ends, 0);
    EXPECT_TRUE(program.window.isVisible());
    EXPECT_EQ(program.form.Text(Control::PortAdd), "3bc");
    EXPECT_TRUE(program.screen.ProfileChanged);
    EXPECT_EQ(readFile(messages.profile), original);
}
