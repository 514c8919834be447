// Faults a user can meet, made real and met through the editor: the profile
// read-only or in a read-only folder (as the user nobody, since root ignores
// permissions), deleted or replaced by a folder after the open, a disk that
// fills up during the save, a symbolic link, unusual path names, a file too
// large to open, and a file that is not text at all.
//
// In every case nothing is lost: the file on disk is whole (the old text or
// the new one), a failed save leaves the edits in the window and the profile
// marked as changed, and the message names the file and the reason.
//
// Mounting a tmpfs and switching to nobody need root. A test that cannot set
// up its fault says why; under CI (the environment variable CI is set) that is
// a failure, elsewhere a skip. POSIX only.

#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "FaultSetup.h"
#include "LocaleMain.h"
#include "WorkflowSupport.h"
#include "open_path_check.h"

namespace fs = std::filesystem;
using faultsetup::AsNobody;
using faultsetup::ScratchDisk;

namespace {

using Button = UserDialogs::Button;
using Icon = UserDialogs::Icon;

std::string g_self;  // this test program, run again as nobody

// The system's reason for an error as the window gives it: in English,
// whatever the user's language.
std::string EnglishReason(int error) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c != static_cast<locale_t>(nullptr) ? strerror_l(error, c) : std::strerror(error);
}

std::string Lowered(std::string text) {
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

// --- The user's edits and what the file holds after them -----------------------

// "Small steps (mm)", as the entries show it and the profile stores it.
const std::vector<std::string> kMmSteps{"0.02", "0.002", "0.02", "0.002", "0.02",
                                        "0.002", "0.02", "0.002", "0.02", "0.002"};

// basic.xml saved after the edits of every case: port "3bc" and the mm preset.
std::string editedBasic() {
    static const char* const jogKeys[] = {"<JogInc0>", "<JogInc1>", "<JogInc2>", "<JogInc3>", "<JogInc4>",
                                          "<JogInc5>", "<JogInc6>", "<JogInc7>", "<JogInc8>", "<JogInc9>"};
    Edits edits{{"<Port1Add>", "956"}};
    for (std::size_t k = 0; k < 10; ++k) edits.emplace_back(jogKeys[k], kMmSteps[k]);
    return withEdits(fixtureBytes("basic.untouched.xml"), edits);
}

// `bytes` with `padding` put in before its closing "</profile>".
std::string padded(const std::string& bytes, const std::string& padding) {
    const std::size_t end = bytes.rfind("</profile>");
    return bytes.substr(0, end) + padding + bytes.substr(end);
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) names.push_back(PathUtf8(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

class FaultTest : public WorkflowTest {
protected:
    // Chooses a machine, opens the profile and makes the user's edits.
    void openAndEdit(const fs::path& path) {
        chooseMachine(1);
        openProfile(path);
        ASSERT_TRUE(window->FileLoaded) << dialogs.shown();
        ASSERT_EQ(window->openedProfilePath(), path);
        form.typeOver(Control::PortAdd, "3bc");
        form.click(Control::SetSmallMM);
        dialogs.clearRecord();
    }

    // The edits are still in the window, and the profile is still marked changed.
    void expectEditsKept() {
        EXPECT_TRUE(window->FileLoaded);
        EXPECT_TRUE(window->ProfileChanged) << "a failed save must leave the profile marked as changed";
        EXPECT_EQ(field(Control::PortAdd), "3bc");
        for (int k = 0; k < 10; ++k)
            EXPECT_EQ(field(Step0(k)), kMmSteps[static_cast<std::size_t>(k)]) << "entry " << k;
    }

    // The one message of a failed save: a notice that names the file and the reason.
    void expectToldOnce(const fs::path& path, const std::string& reason) {
        ASSERT_EQ(dialogs.messages.size(), 1U) << dialogs.shown();
        const UserDialogs::Message& told = dialogs.messages.front();
        EXPECT_TRUE(Holds(told.text, PathUtf8(path))) << told.text << "\n  does not name " << PathUtf8(path);
        EXPECT_TRUE(Holds(Lowered(told.text), Lowered(reason)))
            << told.text << "\n  does not give the reason " << reason;
        EXPECT_TRUE(Holds(told.text, "Your changes are still in this window.")) << told.text;
        EXPECT_TRUE(told.icon == Icon::Warning || told.icon == Icon::Critical) << toString(told.icon);
        EXPECT_EQ(told.buttons, std::vector<Button>{Button::Ok});
    }

    // "Done", save first: the save fails again (a notice after the question) and
    // the program stays open with the edits.
    void expectDoneSaveFailsAndStaysOpen() {
        dialogs.clearRecord();
        dialogs.answer(Button::Yes, "Save first?");
        done();
        EXPECT_EQ(dialogs.messages.size(), 2U) << dialogs.shown();
        EXPECT_EQ(dialogs.endProgramCalls, 0);
        expectEditsKept();
    }
};

// --- Gone after the open ---------------------------------------------------------

TEST_F(FaultTest, ProfileDeletedAfterTheOpenIsWrittenAgainOnlyWhenTheUserSaysSo) {
    const fs::path path = copyFixture("basic.xml");
    ASSERT_NO_FATAL_FAILURE(openAndEdit(path));
    ASSERT_TRUE(fs::remove(path));

    dialogs.answer(Button::Cancel);
    save();
    ASSERT_EQ(dialogs.messages.size(), 1U) << dialogs.shown();
    const UserDialogs::Message& asked = dialogs.messages.front();
    EXPECT_TRUE(Holds(asked.text, PathUtf8(path))) << asked.text;
    EXPECT_EQ(asked.buttons, (std::vector<Button>{Button::WriteAgain, Button::Cancel}));
    EXPECT_EQ(asked.defaultButton, Button::Cancel);
    EXPECT_FALSE(fs::exists(path)) << "cancelled, yet written";
    expectEditsKept();

    // "Done", save first, cancelled again: the program stays open with the edits.
    dialogs.clearRecord();
    dialogs.answer(Button::Yes, "Save first?");
    dialogs.answer(Button::Cancel);
    done();
    EXPECT_EQ(dialogs.endProgramCalls, 0) << dialogs.shown();
    EXPECT_FALSE(fs::exists(path));
    expectEditsKept();

    dialogs.clearRecord();
    dialogs.answer(Button::WriteAgain);
    save();
    EXPECT_EQ(dialogs.messages.size(), 1U) << dialogs.shown();
    EXPECT_EQ(readFile(path), editedBasic());
    EXPECT_FALSE(window->ProfileChanged);
}

TEST_F(FaultTest, ProfileReplacedByAFolderAfterTheOpenIsLeftAlone) {
    const fs::path path = copyFixture("basic.xml");
    ASSERT_NO_FATAL_FAILURE(openAndEdit(path));
    ASSERT_TRUE(fs::remove(path));
    ASSERT_TRUE(fs::create_directories(path));
    WriteBytes(path / "notes.txt", "the user's own file");

    save();
    expectToldOnce(path, "folder");
    expectEditsKept();
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(readFile(path / "notes.txt"), "the user's own file");

    expectDoneSaveFailsAndStaysOpen();
}

// --- A disk that fills up during the save ------------------------------------

struct DiskCase {
    const char* name;
    std::size_t freePages;  // left free after the open
    std::size_t savedSize;  // bytes the save writes
    bool fits;
};

void PrintTo(const DiskCase& c, std::ostream* out) { *out << c.name; }

constexpr std::size_t kPage = ScratchDisk::kPage;

class FullDisk : public FaultTest, public ::testing::WithParamInterface<DiskCase> {};

TEST_P(FullDisk, FailedSaveKeepsTheFileAndTheEdits) {
    const DiskCase& c = GetParam();
    ScratchDisk disk;
    if (const std::string why = disk.mount(256); !why.empty()) CANNOT_SET_UP(why);

    // A profile padded so that the save writes exactly savedSize bytes.
    const std::string edited = editedBasic();
    ASSERT_GT(c.savedSize, edited.size() + 7);
    const std::string padding = "<!--" + std::string(c.savedSize - edited.size() - 7, 'p') + "-->";
    const std::string original = padded(fixtureBytes("basic.xml"), padding);
    const std::string expected = padded(edited, padding);
    ASSERT_EQ(expected.size(), c.savedSize);

    const fs::path folderPath = disk.path() / Utf8Path("Profils \xC3\xA9t\xC3\xA9");
    fs::create_directory(folderPath);
    const fs::path profile = folderPath / "Mach3 Mill.xml";
    WriteBytes(profile, original);
    ASSERT_NO_FATAL_FAILURE(openAndEdit(profile));
    ASSERT_EQ(disk.leaveFreePages(c.freePages), "");

    save();
    if (c.fits) {
        EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
        EXPECT_EQ(ReadBytes(profile), expected);
        EXPECT_FALSE(window->ProfileChanged);
        return;
    }
    expectToldOnce(profile, EnglishReason(ENOSPC));
    expectEditsKept();
    EXPECT_TRUE(ReadBytes(profile) == original) << "the profile on disk was changed by a failed save";
    EXPECT_EQ(namesIn(folderPath), std::vector<std::string>{"Mach3 Mill.xml"});
    EXPECT_EQ(disk.freeBytes(), c.freePages * kPage) << "the failed save did not give its space back";

    // Room again: the same edits are saved whole.
    disk.removeFiller();
    dialogs.clearRecord();
    save();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    EXPECT_EQ(ReadBytes(profile), expected);
    EXPECT_FALSE(window->ProfileChanged);
}

INSTANTIATE_TEST_SUITE_P(
    Editor, FullDisk,
    ::testing::Values(DiskCase{"AtTheFirstByte", 0, 3000, false},
                      DiskCase{"InTheMiddle", 2, 5 * kPage + 100, false},
                      DiskCase{"AtTheVeryLastByte", 4, 4 * kPage + 1, false},
                      // The control: exactly as much as is free is written.
                      DiskCase{"ExactlyWhatIsFree", 4, 4 * kPage, true}),
    [](const ::testing::TestParamInfo<DiskCase>& param) { return std::string(param.param.name); });

// --- Permissions, as the user nobody ------------------------------------------

struct PermissionCase {
    const char* name;
    fs::perms file;
    fs::perms folder;
};

void PrintTo(const PermissionCase& c, std::ostream* out) { *out << c.name; }

constexpr fs::perms kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
constexpr fs::perms kReadWrite = kReadOnly | fs::perms::owner_write;
constexpr fs::perms kFolderReadOnly = kReadOnly | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
constexpr fs::perms kFolderWritable = kFolderReadOnly | fs::perms::owner_write;

class Permissions : public ::testing::TestWithParam<PermissionCase> {};

// The program runs itself again as nobody (SaveRefusedAsNobody below) and this
// test looks at the file afterwards.
TEST_P(Permissions, RefusedSaveKeepsTheFileAndTheEdits) {
    const PermissionCase& c = GetParam();
    AsNobody nobody;
    if (const std::string why = nobody.prepare(g_self); !why.empty()) CANNOT_SET_UP(why);

    const fs::path folderPath = nobody.work() / Utf8Path("Profils de l'atelier \xC3\xA9t\xC3\xA9");
    fs::create_directory(folderPath);
    const fs::path profile = folderPath / "Mach3 Mill.xml";
    const std::string original = fixtureBytes("basic.xml");
    WriteBytes(profile, original);
    ASSERT_EQ(nobody.giveToNobody(folderPath), "");
    ASSERT_EQ(nobody.giveToNobody(profile), "");
    fs::permissions(profile, c.file);
    fs::permissions(folderPath, c.folder);

    const AsNobody::Run run = nobody.run({"--as-nobody", profile.string()});
    ASSERT_TRUE(run.started) << run.output;
    EXPECT_EQ(run.exitCode, 0) << "as nobody:\n" << run.output << "\n" << run.errors;
    // The save as nobody really ran, and ran once.
    EXPECT_TRUE(Holds(run.output, "[  PASSED  ] 1 test.")) << "as nobody:\n" << run.output;
    EXPECT_TRUE(ReadBytes(profile) == original) << "the profile on disk was changed by a refused save";
    EXPECT_EQ(fs::status(profile).permissions(), c.file);
    EXPECT_EQ(fs::status(folderPath).permissions(), c.folder);
    EXPECT_EQ(namesIn(folderPath), std::vector<std::string>{"Mach3 Mill.xml"});
}

INSTANTIATE_TEST_SUITE_P(Editor, Permissions,
                         ::testing::Values(PermissionCase{"ReadOnlyFile", kReadOnly, kFolderWritable},
                                           PermissionCase{"ReadOnlyFolder", kReadWrite, kFolderReadOnly}),
                         [](const ::testing::TestParamInfo<PermissionCase>& param) {
                             return std::string(param.param.name);
                         });

// What nobody does: open, edit, save (refused), then "Done" twice.
class SaveRefusedAsNobody : public FaultTest {
public:
    explicit SaveRefusedAsNobody(fs::path path) : path_(std::move(path)) {}

    void TestBody() override {
        ASSERT_NO_FATAL_FAILURE(openAndEdit(path_));
        save();
        expectToldOnce(path_, EnglishReason(EACCES));
        expectEditsKept();

        expectDoneSaveFailsAndStaysOpen();

        // "Done", do not save: the program ends.
        dialogs.clearRecord();
        dialogs.answer(Button::No, "Save first?");
        done();
        EXPECT_EQ(dialogs.endProgramCalls, 1);
    }

private:
    fs::path path_;
};

// --- A symbolic link -----------------------------------------------------------

struct LinkCase {
    const char* name;
    bool relative;
    bool chain;  // a link to a link
};

void PrintTo(const LinkCase& c, std::ostream* out) { *out << c.name; }

class SymbolicLink : public FaultTest, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(SymbolicLink, TargetIsWrittenAndTheLinkKept) {
    const LinkCase& c = GetParam();
    const fs::path base = folder();
    const fs::path realFolder = base / Utf8Path("Mach3 r\xC3\xA9" "el");
    const fs::path linkFolder = base / Utf8Path("Raccourcis \xC3\xA9t\xC3\xA9");
    fs::create_directories(realFolder);
    fs::create_directories(linkFolder);
    const fs::path target = realFolder / "Mach3Mill.xml";
    WriteBytes(target, fixtureBytes("basic.xml"));
    constexpr fs::perms kMode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, kMode);

    const fs::path pointsTo = c.relative ? fs::path("..") / realFolder.filename() / "Mach3Mill.xml" : target;
    const fs::path link = linkFolder / "Mach3 Mill.xml";
    fs::create_symlink(pointsTo, link);
    fs::path first = link;
    if (c.chain) {
        first = linkFolder / "Profil courant.xml";
        fs::create_symlink(link.filename(), first);
    }

    ASSERT_NO_FATAL_FAILURE(openAndEdit(first));
    save();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    EXPECT_FALSE(window->ProfileChanged);
    EXPECT_EQ(ReadBytes(target), editedBasic());
    ASSERT_TRUE(fs::is_symlink(link)) << "the link was replaced by a file";
    EXPECT_EQ(fs::read_symlink(link), pointsTo);
    if (c.chain) {
        ASSERT_TRUE(fs::is_symlink(first));
        EXPECT_EQ(fs::read_symlink(first), link.filename());
    }
    EXPECT_EQ(fs::status(target).permissions(), kMode);
    EXPECT_EQ(namesIn(realFolder), std::vector<std::string>{"Mach3Mill.xml"});
    EXPECT_EQ(namesIn(linkFolder).size(), c.chain ? 2U : 1U);

    // A second save goes to the same place.
    form.typeOver(Control::PortAdd, "378");
    dialogs.clearRecord();
    save();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    EXPECT_EQ(ReadBytes(target), withEdits(editedBasic(), {{"<Port1Add>", "888"}}));
    EXPECT_TRUE(fs::is_symlink(link));
}

INSTANTIATE_TEST_SUITE_P(Editor, SymbolicLink,
                         ::testing::Values(LinkCase{"Absolute", false, false}, LinkCase{"Relative", true, false},
                                           LinkCase{"LinkToALink", true, true}),
                         [](const ::testing::TestParamInfo<LinkCase>& param) { return std::string(param.param.name); });

// --- Path names ----------------------------------------------------------------

struct PathCase {
    const char* name;
    const char* folder;  // UTF-8
    const char* file;    // UTF-8
};

void PrintTo(const PathCase& c, std::ostream* out) { *out << c.name; }

class PathNames : public FaultTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(PathNames, OpenSaveAndReportUnderTheExactName) {
    const PathCase& c = GetParam();
    const fs::path path = writeFile(Utf8Path(c.folder) / Utf8Path(c.file), fixtureBytes("basic.xml"));
    ASSERT_NO_FATAL_FAILURE(openAndEdit(path));
    EXPECT_EQ(field(Control::txtOpenedFile), PathUtf8(path));

    save();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    EXPECT_EQ(readFile(path), editedBasic());
    EXPECT_FALSE(window->ProfileChanged);
    EXPECT_EQ(namesIn(folder() / Utf8Path(c.folder)), std::vector<std::string>{c.file});

    // A message about the file names it exactly as it is spelled.
    ASSERT_TRUE(fs::remove(path));
    form.typeOver(Control::PortAdd, "278");
    dialogs.clearRecord();
    dialogs.answer(Button::Cancel);
    save();
    ASSERT_EQ(dialogs.messages.size(), 1U) << dialogs.shown();
    EXPECT_TRUE(Holds(dialogs.messages.front().text, "The profile " + PathUtf8(path) + " is gone"))
        << dialogs.messages.front().text;
}

INSTANTIATE_TEST_SUITE_P(
    Editor, PathNames,
    ::testing::Values(
        PathCase{"SpacesAndAccents", "Profils de l'atelier \xC3\xA9t\xC3\xA9", "Mach3 Mill \xC3\xA9" "dit\xC3\xA9.xml"},
        PathCase{"Cyrillic", "\xD0\xA1\xD1\x82\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xBA 1",
                 "\xD0\x9F\xD1\x80\xD0\xBE\xD1\x84\xD0\xB8\xD0\xBB\xD1\x8C.xml"},
        PathCase{"Japanese", "\xE5\xB7\xA5\xE4\xBD\x9C \xE5\x8F\xB0",
                 "\xE8\xA8\xAD\xE5\xAE\x9A \xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB.xml"},
        // A decomposed accent (e + combining acute) must not be recomposed on the way.
        PathCase{"DecomposedAccent", "Ste\xCC\x81phane", "Mache\xCC\x80ne.xml"},
        PathCase{"LeadingAndDoubleSpaces", " two  spaces ", " Mach3  Mill .xml"},
        PathCase{"SignsThatMeanSomethingElsewhere", "a#b%20c&d;e", "$HOME [1] 'x' \"y\".xml"},
        PathCase{"BeyondTheBasicPlane", "Atelier \xF0\x9F\x9B\xA0", "\xF0\x9D\x93\x9C.xml"}),
    [](const ::testing::TestParamInfo<PathCase>& param) { return std::string(param.param.name); });

// --- Too large to open -----------------------------------------------------------

struct LargeCase {
    const char* name;
    off_t size;
};

void PrintTo(const LargeCase& c, std::ostream* out) { *out << c.name; }

class TooLarge : public FaultTest, public ::testing::WithParamInterface<LargeCase> {};

TEST_P(TooLarge, RefusedAtTheOpenAndTheEarlierProfileStays) {
    const LargeCase& c = GetParam();
    const fs::path first = copyFixture("basic.xml");
    ASSERT_NO_FATAL_FAILURE(openAndEdit(first));

    // Sparse: the size is there without the blocks.
    const fs::path big = folder() / Utf8Path("Mach3 \xC3\xA9norme.xml");
    WriteBytes(big, "<profile><Port1Add>888</Port1Add><Steps6>8000</Steps6>");
    if (::truncate(big.c_str(), c.size) != 0) CANNOT_SET_UP("truncate: " << std::strerror(errno));
    struct stat st {};
    ASSERT_EQ(::stat(big.c_str(), &st), 0);
    if (st.st_blocks * 512 > (off_t{1} << 24)) CANNOT_SET_UP("this file system does not keep files sparse");

    dialogs.answer(Button::No, "OK to Open another?");
    openProfile(big);
    ASSERT_EQ(dialogs.messages.size(), 2U) << dialogs.shown();
    const UserDialogs::Message& told = dialogs.messages[1];
    EXPECT_TRUE(Holds(told.text, PathUtf8(big))) << told.text;
    EXPECT_TRUE(Holds(told.text, "2147483647")) << told.text;
    EXPECT_TRUE(Holds(told.text, "is still open as before")) << told.text;
    EXPECT_EQ(told.icon, Icon::Warning);
    EXPECT_EQ(window->openedProfilePath(), first);
    EXPECT_EQ(field(Control::txtOpenedFile), PathUtf8(first));
    expectEditsKept();
    EXPECT_EQ(fs::file_size(big), static_cast<std::uintmax_t>(c.size));

    dialogs.clearRecord();
    save();
    EXPECT_TRUE(dialogs.messages.empty()) << dialogs.shown();
    EXPECT_EQ(readFile(first), editedBasic());
    EXPECT_EQ(fs::file_size(big), static_cast<std::uintmax_t>(c.size));
    std::error_code ec;
    fs::remove(big, ec);
}

INSTANTIATE_TEST_SUITE_P(Editor, TooLarge,
                         ::testing::Values(LargeCase{"OneByteOverTheLimit", off_t{1} << 31},
                                           // Its size in 32 bits would read as a small file.
                                           LargeCase{"BeyondFourGiB", (off_t{1} << 32) + 90}),
                         [](const ::testing::TestParamInfo<LargeCase>& param) { return std::string(param.param.name); });

// --- Not text at all -------------------------------------------------------------

std::string randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string withoutMarkup(std::string bytes) {
    std::replace(bytes.begin(), bytes.end(), '<', ' ');
    return bytes;
}

// The profile with one byte in twenty replaced by a random one.
std::string mangled(const std::string& profile, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes = profile;
    for (char& b : bytes)
        if (random() % 20 == 0) b = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string utf16(const std::string& latin1) {
    std::string bytes("\xFF\xFE", 2);
    for (const char ch : latin1) {
        bytes += ch;
        bytes += '\0';
    }
    return bytes;
}

enum class Outcome { Refused, Saved, EitherWay };

struct BytesCase {
    const char* name;
    std::string (*make)();
    Outcome outcome;
};

void PrintTo(const BytesCase& c, std::ostream* out) { *out << c.name; }

class NotText : public FaultTest, public ::testing::WithParamInterface<BytesCase> {};

// Opened or refused with a message, never a crash; a save after an open
// changes nothing but the values of the entries the editor writes.
TEST_P(NotText, OpensOrIsRefusedAndTheSaveTouchesOnlyHandledEntries) {
    const BytesCase& c = GetParam();
    const std::string original = c.make();
    const fs::path path = copyBytes(original);
    chooseMachine(1);
    openProfile(path);

    if (!window->FileLoaded) {
        EXPECT_NE(c.outcome, Outcome::Saved) << "refused: " << dialogs.shown();
        ASSERT_FALSE(dialogs.messages.empty()) << "refused without a word";
        const UserDialogs::Message& told = dialogs.messages.back();
        EXPECT_EQ(told.title, "Not opened");
        EXPECT_TRUE(Holds(told.text, PathUtf8(path))) << told.text;
        EXPECT_FALSE(window->ProfileChanged);
        EXPECT_TRUE(window->ProfileXml.empty());
        EXPECT_FALSE(form.usable(Control::SaveButt));
        EXPECT_TRUE(readFile(path) == original);
        return;
    }
    EXPECT_NE(c.outcome, Outcome::Refused) << "opened: " << dialogs.shown();
    dialogs.clearRecord();
    save();
    const std::string after = readFile(path);
    if (window->ProfileChanged) {
        EXPECT_NE(c.outcome, Outcome::Saved) << "not saved: " << dialogs.shown();
        EXPECT_FALSE(dialogs.messages.empty()) << "a save that did not happen must say why";
        EXPECT_TRUE(after == original) << "a refused save changed the file";
        return;
    }
    EXPECT_TRUE(after == window->ProfileXml);
    EXPECT_TRUE(openpath::OnlySavedValuesDiffer(original, after))
        << "the save changed more than the handled entries, first at byte "
        << openpath::FirstOtherDifference(original, after);
}

std::string basicWithControlBytes() {
    std::string bytes = fixtureBytes("basic.xml");
    replaceValue(bytes, "<JogInc3>", std::string("\x01\x02\x1b[0m", 7));
    replaceValue(bytes, "<JogInc4>", std::string("\0\0", 2));
    replaceValue(bytes, "<JogInc5>", "0.5\r\n");
    replaceValue(bytes, "<Profile>", std::string("\xFF\xFE\x00\x80", 4));
    return bytes;
}

const std::vector<BytesCase> kBytes = {
    {"RandomByte", [] { return randomBytes(1, 1); }, Outcome::Refused},
    {"RandomKilobytes", [] { return randomBytes(4096, 2); }, Outcome::Refused},
    {"Random64KiB", [] { return randomBytes(65536, 3); }, Outcome::Refused},
    {"NulBytes", [] { return std::string(4096, '\0'); }, Outcome::Refused},
    {"Image", [] { return fixtureBytes("not-a-profile.bin"); }, Outcome::Refused},
    // The keys are there, but every other byte is NUL.
    {"ProfileInUtf16", [] { return utf16(fixtureBytes("basic.xml")); }, Outcome::Refused},
    // Binary noise around a few well-formed entries.
    {"EntriesInNoise",
     [] {
         return withoutMarkup(randomBytes(3000, 4)) +
                "<Port1Add>888</Port1Add><JogInc2>0.5</JogInc2><PulseWidth>5</PulseWidth><M4RefHome>2</M4RefHome>" +
                withoutMarkup(randomBytes(3000, 5));
     },
     Outcome::Saved},
    {"ControlBytesInValues", basicWithControlBytes, Outcome::Saved},
    {"MangledProfile1", [] { return mangled(fixtureBytes("basic.xml"), 6); }, Outcome::EitherWay},
    {"MangledProfile2", [] { return mangled(fixtureBytes("basic.xml"), 7); }, Outcome::EitherWay},
    {"MangledProfile3", [] { return mangled(fixtureBytes("basic.xml"), 8); }, Outcome::EitherWay},
    {"CutShort", [] { return fixtureBytes("basic.xml").substr(0, 300); }, Outcome::EitherWay},
};

INSTANTIATE_TEST_SUITE_P(Editor, NotText, ::testing::ValuesIn(kBytes),
                         [](const ::testing::TestParamInfo<BytesCase>& param) { return std::string(param.param.name); });

}  // namespace

// Run as itself: the tests. Run as nobody by Permissions: "--as-nobody <profile>",
// which runs SaveRefusedAsNobody on that profile.
int main(int argc, char** argv) {
    if (faultsetup::AnswerWhoAmI(argc, argv)) return 0;
    g_self = AsNobody::self();
    if (!editortest::TakeLocaleFromEnvironment()) return 1;
    ::testing::InitGoogleTest(&argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--as-nobody") == 0) {
        const fs::path path = argv[2];
        ::testing::RegisterTest("AsNobody", "SaveRefused", nullptr, nullptr, __FILE__, __LINE__,
                                [path]() -> FaultTest* { return new SaveRefusedAsNobody(path); });
        GTEST_FLAG_SET(filter, "AsNobody.SaveRefused");
    }
    return RUN_ALL_TESTS();
}
