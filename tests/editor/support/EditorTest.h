#pragma once
// The fixture of the editor's tests: a fresh main window in memory, its
// dialogs answered from a script, and a clean temporary folder for each test,
// removed after it.
//
//   class OpenTest : public EditorTest {};
//   TEST_F(OpenTest, Something) {
//       form.pickRow(Control::MachineType, 2);
//       dialogs.answerOpen(writeFile("p.xml", "<Port1Add>888</Port1Add>"));
//       form.click(Control::OpenProfile);
//       EXPECT_EQ(form.text(Control::PortAdd), "378");
//   }

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "MemoryForm.h"
#include "ScriptedDialogs.h"
#include "editor/MainScreen.h"

// A path from UTF-8 text, the same on every system.
std::filesystem::path Utf8Path(std::string_view utf8);
// A path as UTF-8 text, for messages and comparisons with them.
std::string PathUtf8(const std::filesystem::path& path);

// Reads a file whole; fails the test when it cannot.
std::string ReadBytes(const std::filesystem::path& path);
// Writes a file whole; fails the test when it cannot.
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

// True when `text` holds `part`.
inline bool Holds(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh window: the form back to its layout, a new editor over it, Form_Load run.
    void restart();

    // Writes bytes into the test's temporary folder (sub-folders are made);
    // returns the full path.
    std::filesystem::path writeFile(const std::filesystem::path& name, std::string_view bytes) const;
    // Reads a file back whole.
    static std::string readFile(const std::filesystem::path& path) { return ReadBytes(path); }
    // The folder the test may use.
    const std::filesystem::path& folder() const { return dir_; }

    ScriptedDialogs dialogs;  // declared before the window, so it outlives it
    MemoryForm form{[](const std::string& what) { ADD_FAILURE() << "MemoryForm: " << what; }};
    std::unique_ptr<MainScreen> window;

private:
    std::filesystem::path dir_;
};
