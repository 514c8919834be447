// Saving when the file on disk is no longer what was opened: changed by another
// program, deleted, replaced by a folder, unwritable, or reached through a link.
// In every case the user is told, nothing is lost, and ProfileChanged stays set
// until the file really holds the text.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "WorkflowSupport.h"

namespace {

using Button = UserDialogs::Button;
using Icon = UserDialogs::Icon;

class SaveSafetyTest : public WorkflowTest {
protected:
    void SetUp() override {
        WorkflowTest::SetUp();
        profile = copyFixture("basic.xml");
        chooseMachine(1);
        openProfile(profile);
        ASSERT_TRUE(window->FileLoaded);
        typeOver(field("PortAdd"), "3bc");
        dialogs.clearRecord();
    }
    // What a save of the edited window writes.
    static QByteArray saved() { return withEdits(fixtureBytes("basic.untouched.xml"), {{"<Port1Add>", "956"}}); }

    void expectOneNotSaved(const QStringList& parts) {
        ASSERT_EQ(dialogs.messages.size(), 1) << dialogs.messageTexts().join(" | ").toStdString();
        const UserDialogs::Message& shown = dialogs.messages[0];
        EXPECT_EQ(shown.title, "Not saved");
        EXPECT_EQ(shown.icon, Icon::Warning);
        EXPECT_EQ(shown.buttons, QList<Button>{Button::Ok});
        for (const QString& part : parts)
            EXPECT_TRUE(shown.text.contains(part)) << shown.text.toStdString() << " lacks " << part.toStdString();
        EXPECT_TRUE(shown.text.contains("Your changes are still in this window")) << shown.text.toStdString();
        EXPECT_TRUE(window->ProfileChanged);
        EXPECT_EQ(field("PortAdd")->text(), "3bc");
    }

    QString profile;
};

TEST_F(SaveSafetyTest, ChangedByAnotherProgramAsksFirst) {
    const QByteArray theirs = fixtureBytes("basic.xml").replace("<Units>0</Units>", "<Units>1</Units>");
    overwrite(profile, theirs);

    dialogs.answer(Button::Cancel);
    save();
    ASSERT_EQ(dialogs.messages.size(), 1);
    const UserDialogs::Message& asked = dialogs.messages[0];
    EXPECT_EQ(asked.title, "Profile changed");
    EXPECT_EQ(asked.buttons, (QList<Button>{Button::SaveAnyway, Button::Cancel}));
    EXPECT_EQ(asked.defaultButton, Button::Cancel);
    EXPECT_TRUE(asked.text.contains(profile));
    EXPECT_TRUE(asked.text.contains("changed by another program since it was opened"));
    EXPECT_TRUE(asked.text.contains("Saving will replace those changes"));
    EXPECT_EQ(readFile(profile), theirs);
    EXPECT_TRUE(window->ProfileChanged);

    dialogs.clearRecord();
    dialogs.answer(Button::SaveAnyway, "Profile changed");
    save();
    EXPECT_EQ(readFile(profile), saved());
    EXPECT_FALSE(window->ProfileChanged);

    // What was saved is now what the file is compared with: no question.
    dialogs.clearRecord();
    save();
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(SaveSafetyTest, SameBytesWrittenAgainIsNoChange) {
    overwrite(profile, fixtureBytes("basic.xml"));
    save();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(readFile(profile), saved());
}

TEST_F(SaveSafetyTest, DeletedFileIsOfferedToBeWrittenAgain) {
    ASSERT_TRUE(QFile::remove(profile));
    dialogs.answer(Button::Cancel);
    save();
    ASSERT_EQ(dialogs.messages.size(), 1);
    const UserDialogs::Message& asked = dialogs.messages[0];
    EXPECT_EQ(asked.title, "Profile gone");
    EXPECT_EQ(asked.buttons, (QList<Button>{Button::WriteAgain, Button::Cancel}));
    EXPECT_EQ(asked.defaultButton, Button::Cancel);
    EXPECT_TRUE(asked.text.contains(profile));
    EXPECT_FALSE(QFileInfo::exists(profile));
    EXPECT_TRUE(window->ProfileChanged);

    dialogs.answer(Button::WriteAgain, "Profile gone");
    save();
    EXPECT_EQ(readFile(profile), saved());
    EXPECT_FALSE(window->ProfileChanged);
}

TEST_F(SaveSafetyTest, FolderGoneWriteFailsWithTheReason) {
    const QString parent = QFileInfo(profile).absolutePath();
    ASSERT_TRUE(QDir(parent).removeRecursively());
    dialogs.answer(Button::WriteAgain, "Profile gone");
    save();
    dialogs.messages.removeFirst();
    expectOneNotSaved({profile, "No such file or directory"});
    EXPECT_FALSE(QFileInfo::exists(parent));
}

TEST_F(SaveSafetyTest, ReplacedByAFolder) {
    ASSERT_TRUE(QFile::remove(profile));
    ASSERT_TRUE(QDir().mkpath(profile));
    save();
    expectOneNotSaved({profile, "folder"});
    EXPECT_TRUE(QFileInfo(profile).isDir());
}

// A read-only file and a read-only folder are saved as the user nobody in
// FaultsTest (root may write anywhere).

class LinkedProfileTest : public WorkflowTest {};

TEST_F(LinkedProfileTest, LinkStaysAndTheFileItPointsToIsSaved) {
    const QString profile = copyFixture("basic.xml");
    const QString link = QDir(folder()).filePath("link to profile.xml");
    ASSERT_TRUE(QFile::link(profile, link));
    chooseMachine(1);
    openProfile(link);
    save();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messageTexts().join(" | ").toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(profile), fixtureBytes("basic.untouched.xml"));
}

}  // namespace
