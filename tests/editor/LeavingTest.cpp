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
    // After a save, a port typed brings the question back, and answering No keeps the saved file.
    {"SavedThenPortTyped", true,
     [](MemoryForm& f, const fs::path&) {
         f.click(Control::SaveButt);
         f.typeOver(Control::PortAdd, "3bc");
     },
     {Button::No}, 1, true, untouched, "3bc"},
    {"SavedThenNothing", true, [](MemoryForm& f, const fs::path&) { f.click(Control::SaveButt); }, {}, 0, true,
     untouched, "378"},
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

// Every kind of edit the user can make marks the profile as changed, so that
// leaving asks first; the save clears the mark again.
struct Edit {
    const char* name;
    std::function<void(MemoryForm&)> make;
    Edits saved;  // what the save writes for it, over the untouched save
};

void PrintTo(const Edit& e, std::ostream* out) { *out << e.name; }

const std::vector<Edit> kEdits = {
    {"PortTyped", [](MemoryForm& f) { f.typeOver(Control::PortAdd, "3bc"); }, {{"<Port1Add>", "956"}}},
    {"JogEntryTyped", [](MemoryForm& f) { f.typeOver(Control::Step0_3, "0.25"); }, {{"<JogInc3>", "0.25"}}},
    {"JogPreset", [](MemoryForm& f) { f.click(Control::SetSmallMM); }, {}},
    {"ProbeRowPicked", [](MemoryForm& f) { f.pickRow(Control::ProbeLogicCombo, 1); }, {}},
    {"PulseTyped",
     [](MemoryForm& f) {
         f.click(Control::Label15);
         f.typeOver(Control::PulseMagic, "7");
     },
     {{"<PulseWidth>", "7"}}},
    {"RevisionTyped",
     [](MemoryForm& f) {
         f.click(Control::Label15);
         f.typeOver(Control::XMLRev, "9");
     },
     {{"<M4RefHome>", "9"}}},
};

class EditMarksTest : public WorkflowTest, public ::testing::WithParamInterface<Edit> {};

TEST_P(EditMarksTest, DoneAsksAfterTheEditAndNotAfterItsSave) {
    const Edit& e = GetParam();
    const fs::path profile = copyFixture("basic.xml");
    chooseMachine(1);
    openProfile(profile);
    save();  // the open's own mark cleared
    ASSERT_FALSE(window->ProfileChanged) << dialogs.shown();
    const std::string saved = readFile(profile);

    e.make(form);
    EXPECT_TRUE(window->ProfileChanged);
    dialogs.clearRecord();
    dialogs.answer(Button::No);
    done();
    ASSERT_EQ(dialogs.messages.size(), 1U) << dialogs.shown();
    EXPECT_EQ(dialogs.messages[0], kSaveFirst);
    EXPECT_EQ(dialogs.endProgramCalls, 1);
    EXPECT_EQ(readFile(profile), saved);  // No: nothing written

    // The same edit in a fresh window, saved: "Done" then ends without a question.
    restart();
    chooseMachine(1);
    openProfile(profile);
    e.make(form);
    save();
    EXPECT_FALSE(window->ProfileChanged) << dialogs.shown();
    dialogs.clearRecord();
    done();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    EXPECT_EQ(dialogs.endProgramCalls, 1);
    if (!e.saved.empty()) {
        EXPECT_EQ(readFile(profile), withEdits(saved, e.saved));
    }
}

INSTANTIATE_TEST_SUITE_P(Leaving, EditMarksTest, ::testing::ValuesIn(kEdits),
                         [](const ::testing::TestParamInfo<Edit>& param) { return std::string(param.param.name); });

}  // namespace
