// Saving when the file on disk is no longer what was opened: changed by another
// program, deleted, replaced by a folder, or reached through a link. In every
// case the user is told, nothing is lost, and ProfileChanged stays set until
// the file really holds the text.
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "WorkflowSupport.h"

namespace {

namespace fs = std::filesystem;
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
        form.typeOver(Control::PortAdd, "3bc");
        dialogs.clearRecord();
    }
    // What a save of the edited window writes.
    static std::string saved() { return withEdits(fixtureBytes("basic.untouched.xml"), {{"<Port1Add>", "956"}}); }

    void expectOneNotSaved(const std::vector<std::string>& parts) {
        ASSERT_EQ(dialogs.messages.size(), 1U) << dialogs.shown();
        const UserDialogs::Message& shown = dialogs.messages[0];
        EXPECT_EQ(shown.title, "Not saved");
        EXPECT_EQ(shown.icon, Icon::Warning);
        EXPECT_EQ(shown.buttons, std::vector<Button>{Button::Ok});
        for (const std::string& part : parts) EXPECT_TRUE(Holds(shown.text, part)) << shown.text << " lacks " << part;
        EXPECT_TRUE(shown.text.ends_with("\n\nYour changes are still in this window.")) << shown.text;
        EXPECT_TRUE(window->ProfileChanged);
        EXPECT_EQ(field(Control::PortAdd), "3bc");
    }

    fs::path profile;
};

TEST_F(SaveSafetyTest, ChangedByAnotherProgramAsksFirst) {
    std::string theirs = fixtureBytes("basic.xml");
    replaceValue(theirs, "<Units>", "1");
    overwrite(profile, theirs);

    dialogs.answer(Button::Cancel);
    save();
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0],
              (UserDialogs::Message{"The profile " + PathUtf8(profile) +
                                        " was changed by another program since it was opened.\n\n"
                                        "Saving will replace those changes.",
                                    "Profile changed", Icon::Warning, {Button::SaveAnyway, Button::Cancel},
                                    Button::Cancel}));
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
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
}

TEST_F(SaveSafetyTest, SameBytesWrittenAgainIsNoChange) {
    overwrite(profile, fixtureBytes("basic.xml"));
    save();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    EXPECT_EQ(readFile(profile), saved());
}

TEST_F(SaveSafetyTest, DeletedFileIsOfferedToBeWrittenAgain) {
    ASSERT_TRUE(fs::remove(profile));
    dialogs.answer(Button::Cancel);
    save();
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0],
              (UserDialogs::Message{"The profile " + PathUtf8(profile) +
                                        " is gone: it was moved or deleted since it was opened.\n\n"
                                        "Write it again at the same place?",
                                    "Profile gone", Icon::Warning, {Button::WriteAgain, Button::Cancel},
                                    Button::Cancel}));
    EXPECT_FALSE(fs::exists(profile));
    EXPECT_TRUE(window->ProfileChanged);

    dialogs.answer(Button::WriteAgain, "Profile gone");
    save();
    EXPECT_EQ(readFile(profile), saved());
    EXPECT_FALSE(window->ProfileChanged);
}

TEST_F(SaveSafetyTest, FolderGoneWriteFailsWithTheReason) {
    const fs::path parent = profile.parent_path();
    std::error_code ec;
    ASSERT_GT(fs::remove_all(parent, ec), 0U) << ec.message();
    dialogs.answer(Button::WriteAgain, "Profile gone");
    save();
    ASSERT_FALSE(dialogs.messages.empty());
    dialogs.messages.erase(dialogs.messages.begin());
    std::vector<std::string> parts{"The profile was not saved; the file on disk was left as it was.\n" +
                                   PathUtf8(profile) + ": "};
#ifndef _WIN32
    parts.push_back("No such file or directory");
#endif
    expectOneNotSaved(parts);
    EXPECT_FALSE(fs::exists(parent));
}

TEST_F(SaveSafetyTest, ReplacedByAFolder) {
    ASSERT_TRUE(fs::remove(profile));
    ASSERT_TRUE(fs::create_directories(profile));
    save();
    expectOneNotSaved({"The profile " + PathUtf8(profile) + " is now a folder, not a file. Nothing was written."});
    EXPECT_TRUE(fs::is_directory(profile));
}

// A read-only file and a read-only folder are saved as the user nobody in
// FaultsTest (root may write anywhere).

// Symbolic links to files are a POSIX matter: Windows XP has none, and a
// Windows user needs a privilege to make one.
#ifndef _WIN32
class LinkedProfileTest : public WorkflowTest {};

TEST_F(LinkedProfileTest, LinkStaysAndTheFileItPointsToIsSaved) {
    const fs::path profile = copyFixture("basic.xml");
    const fs::path link = folder() / "link to profile.xml";
    std::error_code ec;
    fs::create_symlink(profile, link, ec);
    if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
    chooseMachine(1);
    openProfile(link);
    save();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFile(profile), fixtureBytes("basic.untouched.xml"));
}
#endif

}  // namespace
