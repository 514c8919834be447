// Fuzzes the editor's open path through the main window held in memory:
// whatever bytes a profile holds, the window either opens it or refuses it
// with a message that names the file, never crashes, and a following save
// changes nothing but the values of the entries the editor writes (or refuses
// with a message and leaves the file as it was).
//
// The input is the profile's bytes. Its middle byte picks the machine (so both
// spindle methods are used), and its lowest bit whether the user types a port
// and applies a jog preset before saving.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "MemoryForm.h"
#include "editor/MainScreen.h"
#include "editor/UserDialogs.h"
#include "open_path_check.h"
#include "profile/FileAccess.h"

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Broken(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "open path broken: %s\n%s\n", what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string PathText(const fs::path& path) { return profile::files::PathText(path); }

// Answers every notice with OK and records it; the open dialog returns the
// fuzzed file. Nothing in a run should ask a question: the file is not changed
// between the open and the save, and no profile was open before.
class FuzzDialogs : public UserDialogs {
public:
    explicit FuzzDialogs(fs::path path) : path_(std::move(path)) {}

    Button showMessage(const Message& message) override {
        messages.push_back(message);
        if (message.buttons != std::vector<Button>{Button::Ok})
            Broken("a question was asked", message.title + ": " + message.text);
        if (message.text.find_first_not_of(" \t\r\n") == std::string::npos) Broken("a message without text", message.title);
        return Button::Ok;
    }
    std::optional<fs::path> chooseProfile(const OpenRequest&) override { return path_; }
    void showHelp(HelpWindow) override {}
    void endProgram() override {}

    std::vector<Message> messages;

private:
    fs::path path_;
};

fs::path g_folder;
fs::path g_path;

void RemoveFolder() {
    std::error_code ec;
    if (!g_folder.empty()) fs::remove_all(g_folder, ec);
}

bool WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return static_cast<bool>(file);
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::error_code ec;
        std::string detail = PathText(path) + ": cannot be opened; its folder ";
        if (!fs::is_directory(path.parent_path(), ec)) {
            detail += "is gone";
        } else {
            detail += "holds:";
            for (const auto& entry : fs::directory_iterator(path.parent_path(), ec))
                detail += " | " + PathText(entry.path().filename());
        }
        Broken("the profile cannot be read back", detail);
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void Run(const std::string& original, int machine, bool edit) {
    if (!WriteFile(g_path, original)) Broken("the profile cannot be written", PathText(g_path));
    FuzzDialogs dialogs(g_path);
    // A user action the window would not take is a fault of the run itself.
    MemoryForm form([](const std::string& what) { Broken("the window refused a user's action", what); });
    MainScreen window(form, dialogs);
    form.attach(&window);
    window.Form_Load();

    form.pickRow(Control::MachineType, machine);
    if (!form.usable(Control::OpenProfile)) Broken("a machine was chosen, yet \"Open Profile\" is disabled");
    form.click(Control::OpenProfile);

    if (!window.FileLoaded) {
        if (dialogs.messages.empty()) Broken("refused without a message");
        if (dialogs.messages.back().text.find(PathText(g_path)) == std::string::npos)
            Broken("the refusal does not name the file", dialogs.messages.back().text);
        if (!window.ProfileXml.empty() || window.ProfileChanged || form.usable(Control::SaveButt))
            Broken("a refused open left something behind");
        if (ReadFile(g_path) != original) Broken("opening changed the file");
        return;
    }
    if (window.openedProfilePath() != g_path) Broken("opened, but not the chosen file", PathText(window.openedProfilePath()));
    if (window.ProfileXml != original) Broken("the text in memory is not the file");
    if (!form.usable(Control::SaveButt)) Broken("opened, yet \"Save Profile\" is disabled");

    if (edit) {
        form.typeOver(Control::PortAdd, "3bc");
        form.click(Control::SetSmallMM);
    }
    dialogs.messages.clear();
    const bool changedBefore = window.ProfileChanged;
    const bool written = window.SaveButt_Click();

    const std::string saved = ReadFile(g_path);
    if (!written) {
        // Not saved: the user was told, and the file is as it was.
        if (dialogs.messages.empty()) Broken("not saved, and nothing was said");
        if (saved != original) Broken("a save that did not happen changed the file");
        if (window.ProfileChanged != changedBefore) Broken("a refused save changed ProfileChanged");
        return;
    }
    if (window.ProfileChanged) Broken("saved, yet the profile is still marked as changed");
    if (!dialogs.messages.empty()) Broken("saved, yet a message was shown", dialogs.messages.back().text);
    if (saved != window.ProfileXml) Broken("the file is not the text in memory");
    if (!openpath::OnlySavedValuesDiffer(original, saved))
        Broken("the save changed more than the handled entries",
               "first difference at byte " + std::to_string(openpath::FirstOtherDifference(original, saved)));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A folder whose name, like the users', has a space and a letter beyond
    // ASCII; in memory where the system has /dev/shm.
    std::error_code ec;
    const fs::path shm = "/dev/shm";
    const fs::path base = fs::is_directory(shm, ec) ? shm : fs::temp_directory_path(ec);
    std::random_device seed;
    for (int attempt = 0; attempt < 100 && g_folder.empty(); ++attempt) {
        const fs::path candidate = base / ("ombrel-fuzz-" + std::to_string(seed() % 1000000000));
        if (fs::create_directory(candidate, ec)) g_folder = candidate;
    }
    if (g_folder.empty()) Broken("no temporary folder", PathText(base));
    std::atexit(RemoveFolder);
    g_path = g_folder / fs::path(u8"Profil \u00e9t\u00e9.xml");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string original(reinterpret_cast<const char*>(data), size);
    const std::uint8_t pick = size > 0 ? data[size / 2] : 0;
    Run(original, 1 + pick % 4, (pick & 1) != 0);
    return 0;
}
