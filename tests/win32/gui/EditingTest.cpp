// Editing through the real window: a text set by the editor runs its handler
// once and is not reported again by the edit's own change notice, while a
// typed change is reported exactly once; profile bytes through the ANSI code
// page; and a whole open, edit and save in folders with non-ASCII names.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <system_error>

#include "GuiSupport.h"
#include "win32/Text.h"

namespace {

namespace fs = std::filesystem;
using guitest::ScriptedProgram;

int Typed(const ScriptedProgram& program, Control control) {
    return program.events.typed[static_cast<std::size_t>(control)];
}

TEST(TextChanges, SetByTheEditorRunTheHandlerOnceTypedChangesAreReportedOnce) {
    ScriptedProgram program;
    program.editor.EnableStuff(true);

    // Each text is no number, so each run of the jog check shows one notice.
    program.editor.SetText(Step0(0), "abc");
    guitest::Pump(50, &program.window);
    EXPECT_EQ(program.dialogs.messages.size(), 1u) << program.dialogs.shown();
    EXPECT_EQ(Typed(program, Step0(0)), 0) << "the editor's own setting came back as typed";

    struct Typing {
        Control entry;
        const char* how;
    };
    for (const Typing typing : {Typing{Step0(1), "a key"}, Typing{Step0(2), "a replaced selection"}}) {
        SCOPED_TRACE(typing.how);
        program.dialogs.clearRecord();
        HWND edit = program.Item(typing.entry);
        if (std::string(typing.how) == "a key") {
            guitest::TypeInto(edit, L"x");
        } else {
            SendMessageW(edit, EM_SETSEL, 0, -1);
            SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"yz"));
        }
        guitest::Pump(50, &program.window);
        EXPECT_EQ(Typed(program, typing.entry), 1);
        EXPECT_EQ(program.dialogs.messages.size(), 1u) << program.dialogs.shown();
    }
    // A handler that sets its own field's text reports nothing either: the
    // spindle recalculation writes NewSteps, the jog reformatting its entry.
    program.dialogs.clearRecord();
    program.editor.SetText(Control::SpinVel, "8000.0");
    program.editor.SetText(Control::ManVolts, "5");
    program.editor.SetText(Control::AutoVolts, "4.666667");
    program.editor.SetText(Step0(3), "1");
    program.editor.Step0_LostFocus(3);
    guitest::Pump(50, &program.window);
    EXPECT_EQ(program.window.Text(Control::NewSteps), "7999.999");
    EXPECT_EQ(program.window.Text(Step0(3)), "1.0");
    for (const Control box : {Control::NewSteps, Control::ManVolts, Control::AutoVolts, Step0(3)})
        EXPECT_EQ(Typed(program, box), 0) << layout::MainControl(box).name;
}

TEST(TextChanges, ProfileBytesPassThroughTheAnsiCodePageBothWays) {
    if (GetACP() != 1252) GTEST_SKIP() << "the cases are those of code page 1252, the system's is " << GetACP();
    ScriptedProgram program;
    struct Case {
        std::string bytes;
        std::wstring shown;
        bool fits;
    };
    const Case table[] = {
        {"Jos\xE9 M\xFCller", L"Jos\u00E9 M\u00FCller", true},
        {"\x80 \x9F \xFF", L"\u20AC \u0178 \u00FF", true},
        {"?", L"\u03A9", false},     // Omega: not in the code page, and no look-alike is taken
        {"?", L"\u0141", false},     // Polish L with stroke: a best fit would give "L"
    };
    for (const Case& c : table) {
        SCOPED_TRACE(win32::ToUtf8(c.shown));
        HWND box = program.Item(Control::XMLRev);
        if (c.fits) {
            program.window.PutText(Control::XMLRev, c.bytes);
            EXPECT_EQ(guitest::TextOf(box), c.shown);
        } else {
            SetWindowTextW(box, c.shown.c_str());
        }
        EXPECT_EQ(program.window.Text(Control::XMLRev), c.bytes);
        EXPECT_EQ(program.window.TextFitsBytes(Control::XMLRev), c.fits);
        EXPECT_EQ(program.window.TextAsUtf8(Control::XMLRev), win32::ToUtf8(c.shown));
    }
}

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class WideFolder : public ::testing::TestWithParam<const wchar_t*> {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = fs::path(temp) / (std::wstring(GetParam()) + L" " + std::to_wstring(GetCurrentProcessId()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    fs::path folder_;
};

// As the person of the end-to-end test does, with the dialogs scripted: the
// machine, the open, "3bc" typed as the port, the preset "Small steps (mm)",
// "Save Profile"; the file is then the expected one byte for byte.
TEST_P(WideFolder, OpenEditAndSaveGiveTheExpectedBytes) {
    const fs::path fixtures = guitest::HostPath(OMBREL_E2E_FIXTURES);
    const fs::path profile = folder_ / L"Mach3Mill.xml";
    fs::copy_file(fixtures / "Mach3Mill.xml", profile);

    ScriptedProgram program;
    program.editor.SetListIndex(Control::MachineType, 1);
    program.dialogs.answerOpen(profile);
    SendMessageW(program.Item(Control::OpenProfile), BM_CLICK, 0, 0);
    guitest::Pump(50, &program.window);
    ASSERT_TRUE(program.editor.FileLoaded) << program.dialogs.shown();
    EXPECT_EQ(guitest::TextOf(program.Item(Control::txtOpenedFile)), profile.wstring());
    EXPECT_EQ(program.window.Text(Control::PortAdd), "378");

    HWND port = program.Item(Control::PortAdd);
    SetFocus(port);
    SendMessageW(port, EM_SETSEL, 0, -1);
    guitest::TypeInto(port, L"3bc");
    SendMessageW(program.Item(Control::SetSmallMM), BM_CLICK, 0, 0);
    SendMessageW(program.Item(Control::SaveButt), BM_CLICK, 0, 0);
    guitest::Pump(50, &program.window);

    EXPECT_TRUE(program.dialogs.messages.empty()) << program.dialogs.shown();
    EXPECT_FALSE(program.editor.ProfileChanged);
    EXPECT_EQ(Bytes(profile), Bytes(fixtures / "Mach3Mill.saved.xml"));

    // A character the code page cannot hold is refused by the save; the file stays.
    const std::string saved = Bytes(profile);
    SetWindowTextW(program.Item(Step0(0)), L"0.5\u03A9");
    guitest::Pump(50, &program.window);
    program.dialogs.clearRecord();  // the jog check's notice on typing
    SendMessageW(program.Item(Control::SaveButt), BM_CLICK, 0, 0);
    guitest::Pump(50, &program.window);
    ASSERT_EQ(program.dialogs.messages.size(), 1u) << program.dialogs.shown();
    EXPECT_EQ(program.dialogs.messages[0].title, "Data error");
    EXPECT_NE(program.dialogs.messages[0].text.find("\"0.5\u03A9\""), std::string::npos)
        << program.dialogs.messages[0].text;
    EXPECT_EQ(Bytes(profile), saved);
}

INSTANTIATE_TEST_SUITE_P(Names, WideFolder, ::testing::Values(L"Profils \u00E9t\u00E9", L"\u041F\u0440\u043E\u0444\u0438\u043B\u0438"),
                         [](const ::testing::TestParamInfo<const wchar_t*>& param) {
                             return param.index == 0 ? std::string("French") : std::string("Cyrillic");
                         });

}  // namespace
