// Leaving the program with "Done" or by closing the window: the question, the
// save it offers, and staying open when that save is refused or fails.
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

#include "WorkflowSupport.h"

namespace {

namespace fs = std::filesystem;
using Button = UserDialogs::Button;
using Icon = UserDialogs::Icon;

const UserDialogs::Message kSaveFirst{"Do you wish to save profile first?", "Save first?", Icon::None,
                                      {Button::Yes, Button::No}, Button::Yes};

struct Leaving {
    const char* name;
    bool open;                                                      // a profile is opened first
    std::function<void(MemoryForm&, const fs::path& profile)> before;  // after the open, before leaving
    std::vector<Button> answers;                                    // to the questions on the way out, in order
    std::size_t shown;                                              // messages on the way out, questions included
    bool ended;                                                     // the program was ended
    std::function<std::string()> fileAfter;                         // the file's bytes afterwards; none: no file
    std::string portAfter;                                          // PortAdd afterwards
};

void PrintTo(const Leaving& l, std::ostream* out) { *out << l.name; }

std::string original() { return fixtureBytes("basic.xml"); }
std::string untouched() { return fixtureBytes("basic.untouched.xml"); }

const std::vector<Leaving> kLeaving = {
    {"NothingOpened", false, nullptr, {}, 0, true, original, ""},
    {"AnsweredNo", true, nullptr, {Button::No}, 1, true, original, "378"},
    {"AnsweredYes", true, nullptr, {Button::Yes}, 1, true, untouched, "378"},
    {"YesPortEditedToo", true, [](MemoryForm& f, const fs::path&) { f.typeOver(Control::PortAdd, "3bc"); },
     {Button::Yes}, 1, true, [] { return withEdits(untouched(), {{"<Port1Add>", "956"}}); }, "3bc"},
    // The save refuses: the message is shown and the program stays open with the edits.
    {"YesButPortRefused", true, [](MemoryForm& f, const fs::path&) { f.typeOver(Control::PortAdd, "378h"); },
     {Button::Yes}, 2, false, original, "378h"},
    // The file was deleted meanwhile and the user does not write it again.
    {"YesButFileGone", true,
     [](MemoryForm& f, const fs::path& profile) {
         f.typeOver(Control::PortAdd, "3bc");
         fs::remove(profile);
     },
     {Button::Yes, Button::Cancel}, 2, false, nullptr, "3bc"},
    // The folder went too: writing it again fails.
    {"YesButWriteFails", true,
     [](MemoryForm& f, const fs::path& profile) {
         f.typeOver(Control::PortAdd, "3bc");
         std::error_code ec;
         fs::remove_all(profile.parent_path(), ec);
     },
     {Button::Yes, Button::WriteAgain}, 3, false, nullptr, "3bc"},
    // Changed by another program: the user keeps that version.
    {"YesButChangedOutsideCancelled", true,
     [](MemoryForm&, const fs::path& profile) { WriteBytes(profile, original() + "\n"); },
     {Button::Yes, Button::Cancel}, 2, false, [] { return original() + "\n"; }, "378"},
    // After a save, the port alone does not bring the question back; the homing list does.
    {"SavedThenPortOnly", true,
     [](MemoryForm& f, const fs::path&) {
         f.click(Control::SaveButt);
         f.typeOver(Control::PortAdd, "3bc");
     },
     {}, 0, true, untouched, "3bc"},
    {"SavedThenHomingPicked", true,
     [](MemoryForm& f, const fs::path&) {
         f.click(Control::SaveButt);
         f.pickRow(Control::FourthHomingCombo, 0);
     },
     {Button::No}, 1, true, untouched, "378"},
};

class LeavingTest : public WorkflowTest, public ::testing::WithParamInterface<std::tuple<Leaving, bool>> {
protected:
    void leave(bool byClosing) {
        if (byClosing)
            form.close();
        else
            done();
    }
};

TEST_P(LeavingTest, DoneOrClose) {
    const auto& [l, byClosing] = GetParam();
    const fs::path profile = copyFixture("basic.xml");
    chooseMachine(1);
    if (l.open) openProfile(profile);
    if (l.before) l.before(form, profile);
    dialogs.clearRecord();

    for (const Button answer : l.answers) dialogs.answer(answer);
    leave(byClosing);

    ASSERT_EQ(dialogs.messages.size(), l.shown) << dialogs.shown();
    if (l.open && !l.answers.empty()) {
        EXPECT_EQ(dialogs.messages[0], kSaveFirst);
    }
    EXPECT_EQ(dialogs.endProgramCalls, l.ended ? 1 : 0);
    if (!l.ended) {
        // Still there with the edits, to be fixed and saved.
        EXPECT_TRUE(window->ProfileChanged);
        EXPECT_TRUE(form.usable(Control::SaveButt));
    }
    if (l.open) {
        EXPECT_EQ(field(Control::PortAdd), l.portAfter);
    }
    if (l.fileAfter) {
        EXPECT_EQ(readFile(profile), l.fileAfter());
    } else {
        EXPECT_FALSE(fs::exists(profile));
    }

    if (l.ended) {
        // The program is ending; closing its window asks nothing again.
        dialogs.clearRecord();
        form.close();
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
        EXPECT_EQ(dialogs.endProgramCalls, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Leaving, LeavingTest, ::testing::Combine(::testing::ValuesIn(kLeaving), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<Leaving, bool>>& param) {
                             return std::string(std::get<0>(param.param).name) +
                                    (std::get<1>(param.param) ? "_ByClosing" : "_ByDone");
                         });

}  // namespace
