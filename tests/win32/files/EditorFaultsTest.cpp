// What the user meets when Windows refuses a save: the profile marked
// read-only, or held open by another program. The window says why in the
// system's words, the file on disk stays as it was, the edits stay in the
// window, and once the cause is gone the same window saves them.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "Reasons.h"
#include "WorkflowSupport.h"

namespace {

namespace fs = std::filesystem;
using Button = UserDialogs::Button;
using Icon = UserDialogs::Icon;

// A cause that keeps a save from going through, and its end.
class Fault {
public:
    virtual ~Fault() = default;
    virtual void begin(const fs::path& profile) = 0;
    virtual void end(const fs::path& profile) = 0;
};

class ReadOnly : public Fault {
public:
    void begin(const fs::path& profile) override {
        ASSERT_TRUE(SetFileAttributesW(profile.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    void end(const fs::path& profile) override { SetFileAttributesW(profile.c_str(), FILE_ATTRIBUTE_NORMAL); }
};

// Another program has the profile open and lets others do only `share`.
class HeldOpen : public Fault {
public:
    explicit HeldOpen(DWORD share) : share_(share) {}
    ~HeldOpen() override { close(); }
    void begin(const fs::path& profile) override {
        handle_ = CreateFileW(profile.c_str(), GENERIC_READ | GENERIC_WRITE, share_, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(handle_, INVALID_HANDLE_VALUE) << reasons::English(GetLastError());
    }
    void end(const fs::path&) override { close(); }

private:
    void close() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
    DWORD share_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The names in a folder, sorted, as UTF-8.
std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
        names.push_back(PathUtf8(it->path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

struct FaultCase {
    const char* name;
    Fault* (*make)();
    std::string said;    // how the window begins its message
    std::string reason;  // the system's reason it names
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

class RefusedSave : public WorkflowTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(RefusedSave, SaysWhyKeepsTheFileAndTheEditsAndSavesOnceTheCauseIsGone) {
    const FaultCase& c = GetParam();
    const fs::path profile = copyFixture("basic.xml");
    chooseMachine(1);
    openProfile(profile);
    ASSERT_TRUE(window->FileLoaded);
    form.typeOver(Control::PortAdd, "3bc");
    dialogs.clearRecord();

    const std::unique_ptr<Fault> fault(c.make());
    ASSERT_NO_FATAL_FAILURE(fault->begin(profile));
    save();
    fault->end(profile);

    ASSERT_EQ(dialogs.messages.size(), 1U) << dialogs.shown();
    const UserDialogs::Message& shown = dialogs.messages[0];
    EXPECT_EQ(shown.title, "Not saved");
    EXPECT_EQ(shown.icon, Icon::Warning);
    EXPECT_EQ(shown.buttons, std::vector<Button>{Button::Ok});
    EXPECT_TRUE(shown.text.starts_with(c.said)) << shown.text;
    EXPECT_TRUE(Holds(shown.text, "\n" + PathUtf8(profile) + ": " + c.reason)) << shown.text;
    EXPECT_TRUE(shown.text.ends_with("\n\nYour changes are still in this window.")) << shown.text;
    EXPECT_EQ(readFile(profile), fixtureBytes("basic.xml"));
    EXPECT_TRUE(window->ProfileChanged);
    EXPECT_EQ(field(Control::PortAdd), "3bc");

    dialogs.clearRecord();
    save();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    EXPECT_EQ(readFile(profile), withEdits(fixtureBytes("basic.untouched.xml"), {{"<Port1Add>", "956"}}));
    EXPECT_FALSE(window->ProfileChanged);
    EXPECT_EQ(Names(profile.parent_path()), std::vector<std::string>{"Mach3 Mill.xml"});
}

INSTANTIATE_TEST_SUITE_P(
    Windows, RefusedSave,
    ::testing::Values(
        FaultCase{"ReadOnlyAttribute", []() -> Fault* { return new ReadOnly; },
                  "The profile was not saved; the file on disk was left as it was.\n", reasons::kReadOnly},
        FaultCase{"HeldWithoutSharing", []() -> Fault* { return new HeldOpen(0); },
                  "The profile could not be read to check it before saving. Nothing was written.\n",
                  reasons::kSharingViolation},
        FaultCase{"HeldSharedForReading", []() -> Fault* { return new HeldOpen(FILE_SHARE_READ); },
                  "The profile was not saved; the file on disk was left as it was.\n", reasons::kSharingViolation}),
    [](const ::testing::TestParamInfo<FaultCase>& faultCase) { return std::string(faultCase.param.name); });

}  // namespace
