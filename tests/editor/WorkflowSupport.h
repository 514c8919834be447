#pragma once
// Shared by the workflow tests: the committed fixtures, a fresh copy of one in
// the test's own folder, and the user's way through the window.

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "EditorTest.h"

// The committed fixture `name`, whole.
inline std::string fixtureBytes(std::string_view name) {
    return ReadBytes(Utf8Path(OMBREL_EDITOR_FIXTURES) / Utf8Path(name));
}

// The value of `key` replaced as the profile stores it: the bytes between the
// first '>' at or after the key's first occurrence and the next '<'. Kept apart
// from the editor's own search so that expected files do not depend on it.
inline void replaceValue(std::string& text, std::string_view key, std::string_view value) {
    const std::size_t a = text.find(key);
    if (a == std::string::npos) {
        ADD_FAILURE() << "The expected text has no " << key;
        return;
    }
    const std::size_t b = text.find('>', a);
    const std::size_t c = text.find('<', b + 1);
    text = text.substr(0, b + 1) + std::string(value) + text.substr(c);
}

using Edits = std::vector<std::pair<std::string_view, std::string>>;

inline std::string withEdits(std::string text, const Edits& edits) {
    for (const auto& [key, value] : edits) replaceValue(text, key, value);
    return text;
}

class WorkflowTest : public EditorTest {
protected:
    // A fresh copy of the fixture in a folder whose name has a space and a
    // letter beyond ASCII, as users' folders have.
    std::filesystem::path copyFixture(std::string_view name, std::string_view as = "Mach3 Mill.xml") const {
        return copyBytes(fixtureBytes(name), as);
    }
    std::filesystem::path copyBytes(std::string_view bytes, std::string_view as = "Mach3 Mill.xml") const {
        return writeFile(Utf8Path("Profils de l'atelier \xC3\xA9t\xC3\xA9") / Utf8Path(as), bytes);
    }

    // Another program writes the file.
    static void overwrite(const std::filesystem::path& path, std::string_view bytes) { WriteBytes(path, bytes); }

    void chooseMachine(int row) { form.pickRow(Control::MachineType, row); }
    void openProfile(const std::filesystem::path& path) {
        dialogs.answerOpen(path);
        form.click(Control::OpenProfile);
    }
    void save() { form.click(Control::SaveButt); }
    void done() { form.click(Control::DoneButt); }
    std::string field(Control control) const { return form.text(control); }
};
