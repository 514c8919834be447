// The real dialogs behind the seam: Qt's message box and file dialog, answered
// by a timer that acts on the modal dialog while it runs.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "EditorTest.h"
#include "editor/QtDialogs.h"

namespace {

// Runs `act` on the modal dialog while it is shown, again on every tick until
// it has closed (a file dialog may refuse an accept until it has read its folder).
// A dialog still open after five seconds is closed and fails the test.
void whenModal(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    auto target = std::make_shared<QPointer<QWidget>>();
    auto started = std::make_shared<bool>(false);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, act, target, started, ticks] {
        if (!*started) {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible()) return;
            *target = modal;
            *started = true;
        }
        QWidget* dialog = target->data();
        if (!dialog || !dialog->isVisible()) {  // closed: this poll is done
            poll->stop();
            poll->deleteLater();
            return;
        }
        if (++*ticks > 500) {
            ADD_FAILURE() << "the dialog did not close";
            dialog->close();
            return;
        }
        act(dialog);
    });
    poll->start();
}

QPushButton* buttonWithText(QWidget* box, const QString& text) {
    for (QPushButton* button : box->findChildren<QPushButton*>())
        if (button->text().remove('&') == text) return button;
    return nullptr;
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
    using B = UserDialogs::Button;
    struct Case {
        QList<B> buttons;
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
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_TRUE(box);
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            if (box->defaultButton()) defaultCaption = box->defaultButton()->text().remove('&');
            QPushButton* press = buttonWithText(box, c.press);
            ASSERT_TRUE(press);
            press->click();
        });
        const B answer = dialogs.showMessage({"Some text.  Two spaces.", "A title", UserDialogs::Icon::Warning,
                                              c.buttons, c.defaultButton});
        EXPECT_EQ(answer, c.expected);
        EXPECT_EQ(seenTitle, "A title");
        EXPECT_EQ(seenText, "Some text.  Two spaces.");
        EXPECT_EQ(seenIcon, QMessageBox::Warning);
        EXPECT_FALSE(defaultCaption.isEmpty());
    }
}

TEST_F(QtDialogsTest, EscapeAnswersTheWayOut) {
    using B = UserDialogs::Button;
    whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.showMessage({"Save first?", "Q", UserDialogs::Icon::Question, {B::Yes, B::No}, B::Yes}), B::No);
    whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(dialogs.showMessage({"?", "Q", UserDialogs::Icon::None, {B::WriteAgain, B::Cancel}, B::WriteAgain}),
              B::Cancel);
}

TEST_F(QtDialogsTest, OpenDialogOffersOneFileTypeAndReturnsTheChosenPath) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QFile(folder.filePath("Mach3Mill.xml")).open(QIODevice::WriteOnly);
    const UserDialogs::OpenRequest request{"Open Profile", "Profiles ", "*.xml", folder.path()};

    QStringList filters;
    QString title, directory;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    whenModal([&](QWidget* modal) {
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
    const std::optional<QString> chosen = dialogs.chooseProfile(request);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, QDir(folder.path()).absoluteFilePath("Mach3Mill.xml"));
    EXPECT_EQ(title, "Open Profile");
    EXPECT_EQ(filters, QStringList{"Profiles (*.xml)"});
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
    EXPECT_EQ(directory, QDir(folder.path()).absolutePath());

    whenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_FALSE(dialogs.chooseProfile(request).has_value());
}
