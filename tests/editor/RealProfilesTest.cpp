// Real machine profiles, opened and saved without edits: the file changes only
// in the handled entries, to the values listed here (worked out by hand from
// each profile's stored values), and every other byte stays as it was.
#include <filesystem>
#include <string>
#include <vector>

#include "WorkflowSupport.h"

namespace {

namespace fs = std::filesystem;
using Button = UserDialogs::Button;

// The ten jog steps every one of these profiles holds ("1.", "0.1", "1.e-002",
// "1.e-003", "1.e-004", twice), as the jog mask writes them.
const Edits kJog = {{"<JogInc0>", "1.0"},  {"<JogInc1>", "0.1"},  {"<JogInc2>", "0.01"}, {"<JogInc3>", "0.001"},
                    {"<JogInc4>", "0.0001"}, {"<JogInc5>", "1.0"}, {"<JogInc6>", "0.1"}, {"<JogInc7>", "0.01"},
                    {"<JogInc8>", "0.001"}, {"<JogInc9>", "0.0001"}};

struct RealProfile {
    const char* file;
    Edits edits;      // every handled entry the profile has, with the value a save writes
    int probeRow;     // the row the open selects (-1: none)
    int homingRow;
    bool needsPulse;  // no pulse width entry: the hidden field must be given a number first
};

void PrintTo(const RealProfile& p, std::ostream* out) { *out << p.file; }

Edits with(Edits first, const Edits& more) {
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

fs::path RealProfilePath(const char* file) { return Utf8Path(OMBREL_REAL_PROFILES) / file; }

const std::vector<RealProfile> kProfiles = {
    {"luchesar-cnc-models.xml",
     with({{"<Port1Add>", "888"}, {"<Steps6>", "1.0"}, {"<PulseWidth>", "10"}, {"<M4RefHome>", "0"},
           {"<Input22Neg>", "1"}, {"<Input11Active>", "0"}, {"<Input11Port>", "0"}, {"<Input11Pin>", "0"},
           {"<Input11Neg>", "0"}},
          kJog),
     1, 0, false},
    {"nicksp1-cnc-g-code.xml",
     with({{"<Port1Add>", "888"}, {"<PulseWidth>", "0"}, {"<M4RefHome>", "0"}, {"<Input22Neg>", "0"},
           {"<Input11Active>", "0"}, {"<Input11Port>", "0"}, {"<Input11Pin>", "0"}, {"<Input11Neg>", "0"}},
          kJog),
     0, 0, false},
    {"oleg-milantiev-lathe4d.xml", with({{"<Steps6>", "400.0"}, {"<M4RefHome>", "0"}}, kJog), -1, -1, true},
    {"thyago0730-tfm-gcode-python.xml", with({{"<M4RefHome>", "0"}}, kJog), -1, -1, true},
};

class RealProfileTest : public WorkflowTest, public ::testing::WithParamInterface<RealProfile> {};

TEST_P(RealProfileTest, SavedUntouchedChangesOnlyTheHandledEntries) {
    const RealProfile& p = GetParam();
    const fs::path source = RealProfilePath(p.file);
    if (!fs::exists(source)) GTEST_SKIP() << "The real profiles are not beside this checkout";
    const std::string original = ReadBytes(source);
    const fs::path profile = copyBytes(original, p.file);

    chooseMachine(1);
    openProfile(profile);
    ASSERT_TRUE(window->FileLoaded);
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    EXPECT_EQ(form.ListIndex(Control::ProbeLogicCombo), p.probeRow);
    EXPECT_EQ(form.ListIndex(Control::FourthHomingCombo), p.homingRow);
    dialogs.clearRecord();

    save();
    if (p.needsPulse) {
        // Refused until the revealed field holds a number; the file is untouched meanwhile.
        EXPECT_EQ(dialogs.messageTexts(), std::vector<std::string>{"Pulse Magic number is not valid. Not saved"});
        EXPECT_EQ(readFile(profile), original);
        EXPECT_TRUE(window->ProfileChanged);
        form.type(Control::PulseMagic, "0");
        dialogs.clearRecord();
        save();
    }
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    EXPECT_FALSE(window->ProfileChanged);
    EXPECT_EQ(readFile(profile), withEdits(original, p.edits));
}

INSTANTIATE_TEST_SUITE_P(Mach3, RealProfileTest, ::testing::ValuesIn(kProfiles),
                         [](const ::testing::TestParamInfo<RealProfile>& param) {
                             std::string name(param.param.file);
                             name = name.substr(0, name.find('.'));
                             for (char& c : name)
                                 if (c == '-') c = '_';
                             return name;
                         });

// Every handled setting edited in a real profile, saved, and the program left.
TEST_F(WorkflowTest, RealProfileEditedThroughoutThenDone) {
    const fs::path source = RealProfilePath("luchesar-cnc-models.xml");
    if (!fs::exists(source)) GTEST_SKIP() << "The real profiles are not beside this checkout";
    const std::string original = ReadBytes(source);
    const fs::path profile = copyBytes(original);

    chooseMachine(1);
    openProfile(profile);
    form.typeOver(Control::PortAdd, "3BC");
    form.typeOver(Control::ManVolts, "10");
    form.typeOver(Control::AutoVolts, "9.8");
    form.click(Control::SetDef);
    form.pickRow(Control::ProbeLogicCombo, 0);
    form.pickRow(Control::FourthHomingCombo, 1);
    form.click(Control::Label15);
    form.typeOver(Control::PulseMagic, "12");
    form.typeOver(Control::XMLRev, "1");
    save();
    done();

    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    EXPECT_EQ(dialogs.endProgramCalls, 1);
    EXPECT_EQ(readFile(profile),
              withEdits(original, {{"<Port1Add>", "956"}, {"<Steps6>", "0.952"}, {"<PulseWidth>", "12"},
                                   {"<M4RefHome>", "1"}, {"<JogInc0>", "0.02"}, {"<JogInc1>", "0.01"},
                                   {"<JogInc2>", "0.005"}, {"<JogInc3>", "0.002"}, {"<JogInc4>", "0.001"},
                                   {"<JogInc5>", "0.0005"}, {"<JogInc6>", "0.001"}, {"<JogInc7>", "0.002"},
                                   {"<JogInc8>", "0.005"}, {"<JogInc9>", "0.01"}, {"<Input22Neg>", "0"},
                                   {"<Input11Active>", "1"}, {"<Input11Pin>", "13"}, {"<Input11Neg>", "1"},
                                   {"<Input11Port>", "1"}}));
}

// The sample profile that ships with the program opens and saves like the real ones.
TEST_F(WorkflowTest, SampleProfileSavedUntouched) {
    const std::string original = ReadBytes(Utf8Path(OMBREL_EXAMPLES) / "sample-profile.xml");
    ASSERT_FALSE(original.empty());
    const fs::path profile = copyBytes(original);

    chooseMachine(3);
    openProfile(profile);
    EXPECT_EQ(field(Control::PortAdd), "378");
    EXPECT_EQ(field(Control::SpinVel), "8000.0");
    save();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    EXPECT_EQ(readFile(profile),
              withEdits(original, {{"<Port1Add>", "888"}, {"<Steps6>", "8000.0"}, {"<PulseWidth>", "5"},
                                   {"<M4RefHome>", "0"}, {"<JogInc0>", "0.02"}, {"<JogInc1>", "0.01"},
                                   {"<JogInc2>", "0.005"}, {"<JogInc3>", "0.002"}, {"<JogInc4>", "0.001"},
                                   {"<JogInc5>", "0.0005"}, {"<JogInc6>", "0.001"}, {"<JogInc7>", "0.002"},
                                   {"<JogInc8>", "0.005"}, {"<JogInc9>", "0.01"}, {"<Input22Neg>", "0"},
                                   {"<Input11Active>", "0"}, {"<Input11Port>", "0"}, {"<Input11Pin>", "0"},
                                   {"<Input11Neg>", "0"}}));
}

}  // namespace
