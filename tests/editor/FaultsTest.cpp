// Faults a user can meet, made real and met through the real main window: the
// profile read-only or in a read-only folder (as the user nobody, since root
// ignores permissions), deleted or replaced by a folder after the open, a disk
// that fills up during the save, a symbolic link, unusual path names, a file
// too large to open, and a file that is not text at all.
//
// In every case nothing is lost: the file on disk is whole (the old text or
// the new one), a failed save leaves the edits in the window and the profile
// marked as changed, and the message names the file and the reason.
//
// Mounting a tmpfs and switching to nobody need root. A test that cannot set
// up its fault says why; under CI (the environment variable CI is set) that is
// a failure, elsewhere a skip.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "FaultSetup.h"
#include "QtTestApp.h"
#include "WorkflowSupport.h"
#include "open_path_check.h"

namespace fs = std::filesystem;
using faultsetup::AsNobody;
using faultsetup::ScratchDisk;

namespace {

using Button = UserDialogs::Button;
using Icon = UserDialogs::Icon;

std::string g_self;  // this test program, run again as nobody

// --- The user's edits and what the file holds after them -----------------------

// "Small steps (mm)", as the entries show it and the profile stores it.
const QList<QByteArray> kMmSteps{"0.02", "0.002", "0.02", "0.002", "0.02", "0.002", "0.02", "0.002", "0.02", "0.002"};

// basic.xml saved after the edits of every case: port "3bc" and the mm preset.
QByteArray editedBasic() {
    static const char* const jogKeys[] = {"<JogInc0>", "<JogInc1>", "<JogInc2>", "<JogInc3>", "<JogInc4>",
                                          "<JogInc5>", "<JogInc6>", "<JogInc7>", "<JogInc8>", "<JogInc9>"};
    Edits edits{{"<Port1Add>", "956"}};
    for (int k = 0; k < 10; ++k) edits.emplace_back(jogKeys[k], kMmSteps[k]);
    return withEdits(fixtureBytes("basic.untouched.xml"), edits);
}

// `bytes` with `padding` put in before its closing "</profile>".
QByteArray padded(const QByteArray& bytes, const QByteArray& padding) {
    const qsizetype end = bytes.lastIndexOf("</profile>");
    return bytes.left(end) + padding + bytes.mid(end);
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

fs::path asPath(const QString& path) { return fs::path(path.toStdString()); }

QString fromPath(const fs::path& path) { return QString::fromStdString(path.string()); }

bool writeBytes(const fs::path& path, const QByteArray& bytes) {
    QFile file(fromPath(path));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const fs::path& path) {
    QFile file(fromPath(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class FaultTest : public WorkflowTest {
protected:
    // Chooses a machine, opens the profile and makes the user's edits.
    void openAndEdit(const QString& path) {
        chooseMachine(1);
        openProfile(path);
        ASSERT_TRUE(window->FileLoaded) << shown();
        ASSERT_EQ(window->openedProfilePath(), path);
        typeOver(field("PortAdd"), "3bc");
        click(find<QPushButton>("SetSmallMM"));
        dialogs.clearRecord();
    }

    // The edits are still in the window, and the profile is still marked changed.
    void expectEditsKept() {
        EXPECT_TRUE(window->FileLoaded);
        EXPECT_TRUE(window->ProfileChanged) << "a failed save must leave the profile marked as changed";
        EXPECT_EQ(field("PortAdd")->text(), "3bc");
        for (int k = 0; k < 10; ++k) EXPECT_EQ(step0(k)->text(), QString::fromLatin1(kMmSteps[k])) << "entry " << k;
    }

    // The one message of a failed save: a notice that names the file and the reason.
    void expectToldOnce(const QString& path, const QString& reason) {
        ASSERT_EQ(dialogs.messages.size(), 1) << shown();
        const UserDialogs::Message& told = dialogs.messages.front();
        EXPECT_TRUE(told.text.contains(path)) << told.text.toStdString() << "\n  does not name " << path.toStdString();
        EXPECT_TRUE(told.text.contains(reason, Qt::CaseInsensitive))
            << told.text.toStdString() << "\n  does not give the reason " << reason.toStdString();
        EXPECT_TRUE(told.icon == Icon::Warning || told.icon == Icon::Critical) << toString(told.icon);
        EXPECT_EQ(told.buttons, QList<Button>{Button::Ok});
    }

    // "Done", save first: the save fails again (a notice after the question) and
    // the program stays open with the edits.
    void expectDoneSaveFailsAndStaysOpen() {
        dialogs.clearRecord();
        dialogs.answer(Button::Yes, "Save first?");
        done();
        EXPECT_EQ(dialogs.messages.size(), 2) << shown();
        EXPECT_EQ(dialogs.endProgramCalls, 0);
        expectEditsKept();
    }

    std::string shown() const { return "messages: " + dialogs.messageTexts().join(" | ").toStdString(); }
};

// --- Gone after the open ---------------------------------------------------------

TEST_F(FaultTest, ProfileDeletedAfterTheOpenIsWrittenAgainOnlyWhenTheUserSaysSo) {
    const QString path = copyFixture("basic.xml");
    ASSERT_NO_FATAL_FAILURE(openAndEdit(path));
    ASSERT_TRUE(QFile::remove(path));

    dialogs.answer(Button::Cancel);
    save();
    ASSERT_EQ(dialogs.messages.size(), 1) << shown();
    const UserDialogs::Message& asked = dialogs.messages.front();
    EXPECT_TRUE(asked.text.contains(path)) << asked.text.toStdString();
    EXPECT_TRUE(asked.buttons.contains(Button::WriteAgain));
    EXPECT_TRUE(asked.buttons.contains(Button::Cancel));
    EXPECT_EQ(asked.defaultButton, Button::Cancel);
    EXPECT_FALSE(QFileInfo::exists(path)) << "cancelled, yet written";
    expectEditsKept();

    // "Done", save first, cancelled again: the program stays open with the edits.
    dialogs.clearRecord();
    dialogs.answer(Button::Yes, "Save first?");
    dialogs.answer(Button::Cancel);
    done();
    EXPECT_EQ(dialogs.endProgramCalls, 0) << shown();
    EXPECT_FALSE(QFileInfo::exists(path));
    expectEditsKept();

    dialogs.clearRecord();
    dialogs.answer(Button::WriteAgain);
    save();
    EXPECT_EQ(dialogs.messages.size(), 1) << shown();
    EXPECT_EQ(readFile(path), editedBasic());
    EXPECT_FALSE(window->ProfileChanged);
}

TEST_F(FaultTest, ProfileReplacedByAFolderAfterTheOpenIsLeftAlone) {
    const QString path = copyFixture("basic.xml");
    ASSERT_NO_FATAL_FAILURE(openAndEdit(path));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkpath(path));
    ASSERT_TRUE(writeBytes(asPath(path) / "notes.txt", "the user's own file"));

    save();
    expectToldOnce(path, "folder");
    expectEditsKept();
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(readFile(QDir(path).filePath("notes.txt")), "the user's own file");

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
    const QByteArray edited = editedBasic();
    ASSERT_GT(c.savedSize, static_cast<std::size_t>(edited.size()) + 7);
    const QByteArray padding =
        "<!--" + QByteArray(static_cast<qsizetype>(c.savedSize) - edited.size() - 7, 'p') + "-->";
    const QByteArray original = padded(fixtureBytes("basic.xml"), padding);
    const QByteArray expected = padded(edited, padding);
    ASSERT_EQ(static_cast<std::size_t>(expected.size()), c.savedSize);

    const fs::path folderPath = disk.path() / "Profils \xC3\xA9t\xC3\xA9";
    fs::create_directory(folderPath);
    const fs::path profile = folderPath / "Mach3 Mill.xml";
    ASSERT_TRUE(writeBytes(profile, original));
    const QString path = fromPath(profile);
    ASSERT_NO_FATAL_FAILURE(openAndEdit(path));
    ASSERT_EQ(disk.leaveFreePages(c.freePages), "");

    save();
    if (c.fits) {
        EXPECT_TRUE(dialogs.messages.isEmpty()) << shown();
        EXPECT_EQ(readBytes(profile), expected);
        EXPECT_FALSE(window->ProfileChanged);
        return;
    }
    expectToldOnce(path, QString::fromLocal8Bit(std::strerror(ENOSPC)));
    expectEditsKept();
    EXPECT_TRUE(readBytes(profile) == original) << "the profile on disk was changed by a failed save";
    EXPECT_EQ(namesIn(folderPath), std::vector<std::string>{"Mach3 Mill.xml"});
    EXPECT_EQ(disk.freeBytes(), c.freePages * kPage) << "the failed save did not give its space back";

    // Room again: the same edits are saved whole.
    disk.removeFiller();
    dialogs.clearRecord();
    save();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << shown();
    EXPECT_EQ(readBytes(profile), expected);
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

    const fs::path folderPath = nobody.work() / "Profils de l'atelier \xC3\xA9t\xC3\xA9";
    fs::create_directory(folderPath);
    const fs::path profile = folderPath / "Mach3 Mill.xml";
    const QByteArray original = fixtureBytes("basic.xml");
    ASSERT_TRUE(writeBytes(profile, original));
    ASSERT_EQ(nobody.giveToNobody(folderPath), "");
    ASSERT_EQ(nobody.giveToNobody(profile), "");
    fs::permissions(profile, c.file);
    fs::permissions(folderPath, c.folder);

    const AsNobody::Run run = nobody.run({"--as-nobody", QString::fromStdString(profile.string())},
                                         {"QT_QPA_PLATFORM=offscreen"});
    ASSERT_TRUE(run.started) << run.output;
    EXPECT_EQ(run.exitCode, 0) << "as nobody:\n" << run.output << "\n" << run.errors;
    EXPECT_TRUE(readBytes(profile) == original) << "the profile on disk was changed by a refused save";
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
    explicit SaveRefusedAsNobody(QString path) : path_(std::move(path)) {}

    void TestBody() override {
        ASSERT_NO_FATAL_FAILURE(openAndEdit(path_));
        save();
        expectToldOnce(path_, QString::fromLocal8Bit(std::strerror(EACCES)));
        expectEditsKept();

        expectDoneSaveFailsAndStaysOpen();

        // "Done", do not save: the program ends.
        dialogs.clearRecord();
        dialogs.answer(Button::No, "Save first?");
        done();
        EXPECT_EQ(dialogs.endProgramCalls, 1);
    }

private:
    QString path_;
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
    const fs::path base = asPath(folder());
    const fs::path realFolder = base / "Mach3 r\xC3\xA9" "el";
    const fs::path linkFolder = base / "Raccourcis \xC3\xA9t\xC3\xA9";
    fs::create_directories(realFolder);
    fs::create_directories(linkFolder);
    const fs::path target = realFolder / "Mach3Mill.xml";
    ASSERT_TRUE(writeBytes(target, fixtureBytes("basic.xml")));
    constexpr fs::perms kMode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, kMode);

    const fs::path pointsTo = c.relative ? fs::path("..") / realFolder.filename() / "Mach3Mill.xml" : target;
    fs::path link = linkFolder / "Mach3 Mill.xml";
    fs::create_symlink(pointsTo, link);
    fs::path first = link;
    if (c.chain) {
        first = linkFolder / "Profil courant.xml";
        fs::create_symlink(link.filename(), first);
    }

    ASSERT_NO_FATAL_FAILURE(openAndEdit(fromPath(first)));
    save();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << shown();
    EXPECT_FALSE(window->ProfileChanged);
    EXPECT_EQ(readBytes(target), editedBasic());
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
    typeOver(field("PortAdd"), "378");
    dialogs.clearRecord();
    save();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << shown();
    EXPECT_EQ(readBytes(target), withEdits(editedBasic(), {{"<Port1Add>", "888"}}));
    EXPECT_TRUE(fs::is_symlink(link));
}

INSTANTIATE_TEST_SUITE_P(Editor, SymbolicLink,
                         ::testing::Values(LinkCase{"Absolute", false, false}, LinkCase{"Relative", true, false},
                                           LinkCase{"LinkToALink", true, true}),
                         [](const ::testing::TestParamInfo<LinkCase>& param) { return std::string(param.param.name); });

// --- Path names ----------------------------------------------------------------

struct PathCase {
    const char* name;
    QString folder;
    QString file;
};

void PrintTo(const PathCase& c, std::ostream* out) { *out << c.name; }

class PathNames : public FaultTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(PathNames, OpenSaveAndReportUnderTheExactName) {
    const PathCase& c = GetParam();
    QDir(folder()).mkpath(c.folder);
    const QString path = writeFile(c.folder + QLatin1Char('/') + c.file, fixtureBytes("basic.xml"));
    ASSERT_NO_FATAL_FAILURE(openAndEdit(path));
    EXPECT_EQ(field("txtOpenedFile")->text(), path);

    save();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << shown();
    EXPECT_EQ(readFile(path), editedBasic());
    EXPECT_FALSE(window->ProfileChanged);
    EXPECT_EQ(QDir(folder() + QLatin1Char('/') + c.folder).entryList(QDir::Files | QDir::Hidden), QStringList{c.file});

    // A message about the file names it exactly as it is spelled.
    ASSERT_TRUE(QFile::remove(path));
    typeOver(field("PortAdd"), "278");
    dialogs.clearRecord();
    dialogs.answer(Button::Cancel);
    save();
    ASSERT_EQ(dialogs.messages.size(), 1) << shown();
    EXPECT_TRUE(dialogs.messages.front().text.contains(path)) << dialogs.messages.front().text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Editor, PathNames,
    ::testing::Values(
        PathCase{"SpacesAndAccents", QStringLiteral("Profils de l'atelier \u00e9t\u00e9"),
                 QStringLiteral("Mach3 Mill \u00e9dit\u00e9.xml")},
        PathCase{"Cyrillic", QStringLiteral("\u0421\u0442\u0430\u043d\u043e\u043a 1"),
                 QStringLiteral("\u041f\u0440\u043e\u0444\u0438\u043b\u044c.xml")},
        PathCase{"Japanese", QStringLiteral("\u5de5\u4f5c \u53f0"), QStringLiteral("\u8a2d\u5b9a \u30d5\u30a1\u30a4\u30eb.xml")},
        // A decomposed accent (e + combining acute) must not be recomposed on the way.
        PathCase{"DecomposedAccent", QStringLiteral("Ste\u0301phane"), QStringLiteral("Mache\u0300ne.xml")},
        PathCase{"LeadingAndDoubleSpaces", QStringLiteral(" two  spaces "), QStringLiteral(" Mach3  Mill .xml")},
        PathCase{"SignsThatMeanSomethingElsewhere", QStringLiteral("a#b%20c&d;e"),
                 QStringLiteral("$HOME [1] 'x' \"y\".xml")},
        PathCase{"BeyondTheBasicPlane", QStringLiteral("Atelier \U0001F6E0"), QStringLiteral("\U0001D4DC.xml")}),
    [](const ::testing::TestParamInfo<PathCase>& param) { return std::string(param.param.name); });

// --- Too large to open -----------------------------------------------------------

struct LargeCase {
    const char* name;
    qint64 size;
};

void PrintTo(const LargeCase& c, std::ostream* out) { *out << c.name; }

class TooLarge : public FaultTest, public ::testing::WithParamInterface<LargeCase> {};

TEST_P(TooLarge, RefusedAtTheOpenAndTheEarlierProfileStays) {
    const LargeCase& c = GetParam();
    const QString first = copyFixture("basic.xml");
    ASSERT_NO_FATAL_FAILURE(openAndEdit(first));

    // Sparse: the size is there without the blocks.
    const QString big = QDir(folder()).filePath("Mach3 \u00e9norme.xml");
    ASSERT_TRUE(writeBytes(asPath(big), "<profile><Port1Add>888</Port1Add><Steps6>8000</Steps6>"));
    if (::truncate(big.toUtf8().constData(), c.size) != 0) CANNOT_SET_UP("truncate: " << std::strerror(errno));
    struct stat st {};
    ASSERT_EQ(::stat(big.toUtf8().constData(), &st), 0);
    if (st.st_blocks * 512 > (qint64{1} << 24)) CANNOT_SET_UP("this file system does not keep files sparse");

    dialogs.answer(Button::No, "OK to Open another?");
    openProfile(big);
    ASSERT_EQ(dialogs.messages.size(), 2) << shown();
    const UserDialogs::Message& told = dialogs.messages[1];
    EXPECT_TRUE(told.text.contains(big)) << told.text.toStdString();
    EXPECT_TRUE(told.text.contains("2147483647")) << told.text.toStdString();
    EXPECT_EQ(told.icon, Icon::Warning);
    EXPECT_EQ(window->openedProfilePath(), first);
    EXPECT_EQ(field("txtOpenedFile")->text(), first);
    expectEditsKept();
    EXPECT_EQ(QFileInfo(big).size(), c.size);

    dialogs.clearRecord();
    save();
    EXPECT_TRUE(dialogs.messages.isEmpty()) << shown();
    EXPECT_EQ(readFile(first), editedBasic());
    EXPECT_EQ(QFileInfo(big).size(), c.size);
    QFile::remove(big);
}

INSTANTIATE_TEST_SUITE_P(Editor, TooLarge,
                         ::testing::Values(LargeCase{"OneByteOverTheLimit", qint64{1} << 31},
                                           // Its size in 32 bits would read as a small file.
                                           LargeCase{"BeyondFourGiB", (qint64{1} << 32) + 90}),
                         [](const ::testing::TestParamInfo<LargeCase>& param) { return std::string(param.param.name); });

// --- Not text at all -------------------------------------------------------------

QByteArray randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
    return bytes;
}

// The profile with one byte in twenty replaced by a random one.
QByteArray mangled(const QByteArray& profile, unsigned seed) {
    std::mt19937 random(seed);
    QByteArray bytes = profile;
    for (char& b : bytes)
        if (random() % 20 == 0) b = static_cast<char>(random() & 0xFF);
    return bytes;
}

QByteArray utf16(const QByteArray& latin1) {
    QByteArray bytes("\xFF\xFE", 2);
    for (const char ch : latin1) {
        bytes += ch;
        bytes += '\0';
    }
    return bytes;
}

enum class Outcome { Refused, Saved, EitherWay };

struct BytesCase {
    const char* name;
    QByteArray (*make)();
    Outcome outcome;
};

void PrintTo(const BytesCase& c, std::ostream* out) { *out << c.name; }

class NotText : public FaultTest, public ::testing::WithParamInterface<BytesCase> {};

// Opened or refused with a message, never a crash; a save after an open
// changes nothing but the values of the entries the editor writes.
TEST_P(NotText, OpensOrIsRefusedAndTheSaveTouchesOnlyHandledEntries) {
    const BytesCase& c = GetParam();
    const QByteArray original = c.make();
    const QString path = copyBytes(original);
    chooseMachine(1);
    openProfile(path);

    if (!window->FileLoaded) {
        EXPECT_NE(c.outcome, Outcome::Saved) << "refused: " << shown();
        ASSERT_FALSE(dialogs.messages.isEmpty()) << "refused without a word";
        const UserDialogs::Message& told = dialogs.messages.back();
        EXPECT_EQ(told.title, "Not opened");
        EXPECT_TRUE(told.text.contains(path)) << told.text.toStdString();
        EXPECT_FALSE(window->ProfileChanged);
        EXPECT_TRUE(window->ProfileXml.empty());
        EXPECT_FALSE(find<QPushButton>("SaveButt")->isEnabled());
        EXPECT_EQ(readFile(path), original);
        return;
    }
    EXPECT_NE(c.outcome, Outcome::Refused) << "opened: " << shown();
    dialogs.clearRecord();
    save();
    const std::string before = original.toStdString();
    const std::string after = readFile(path).toStdString();
    if (window->ProfileChanged) {
        EXPECT_NE(c.outcome, Outcome::Saved) << "not saved: " << shown();
        EXPECT_FALSE(dialogs.messages.isEmpty()) << "a save that did not happen must say why";
        EXPECT_TRUE(after == before) << "a refused save changed the file";
        return;
    }
    EXPECT_TRUE(after == window->ProfileXml);
    EXPECT_TRUE(openpath::OnlySavedValuesDiffer(before, after))
        << "the save changed more than the handled entries, first at byte "
        << openpath::FirstOtherDifference(before, after);
}

QByteArray basicWithControlBytes() {
    QByteArray bytes = fixtureBytes("basic.xml");
    replaceValue(bytes, "<JogInc3>", QByteArray("\x01\x02\x1b[0m", 7));
    replaceValue(bytes, "<JogInc4>", QByteArray("\0\0", 2));
    replaceValue(bytes, "<JogInc5>", "0.5\r\n");
    replaceValue(bytes, "<Profile>", QByteArray("\xFF\xFE\x00\x80", 4));
    return bytes;
}

const std::vector<BytesCase> kBytes = {
    {"RandomByte", [] { return randomBytes(1, 1); }, Outcome::Refused},
    {"RandomKilobytes", [] { return randomBytes(4096, 2); }, Outcome::Refused},
    {"Random64KiB", [] { return randomBytes(65536, 3); }, Outcome::Refused},
    {"NulBytes", [] { return QByteArray(4096, '\0'); }, Outcome::Refused},
    {"Image", [] { return fixtureBytes("not-a-profile.bin"); }, Outcome::Refused},
    // The keys are there, but every other byte is NUL.
    {"ProfileInUtf16", [] { return utf16(fixtureBytes("basic.xml")); }, Outcome::Refused},
    // Binary noise around a few well-formed entries.
    {"EntriesInNoise",
     [] {
         return randomBytes(3000, 4).replace('<', ' ') +
                "<Port1Add>888</Port1Add><JogInc2>0.5</JogInc2><PulseWidth>5</PulseWidth><M4RefHome>2</M4RefHome>" +
                randomBytes(3000, 5).replace('<', ' ');
     },
     Outcome::Saved},
    {"ControlBytesInValues", basicWithControlBytes, Outcome::Saved},
    {"MangledProfile1", [] { return mangled(fixtureBytes("basic.xml"), 6); }, Outcome::EitherWay},
    {"MangledProfile2", [] { return mangled(fixtureBytes("basic.xml"), 7); }, Outcome::EitherWay},
    {"MangledProfile3", [] { return mangled(fixtureBytes("basic.xml"), 8); }, Outcome::EitherWay},
    {"CutShort", [] { return fixtureBytes("basic.xml").left(300); }, Outcome::EitherWay},
};

INSTANTIATE_TEST_SUITE_P(Editor, NotText, ::testing::ValuesIn(kBytes),
                         [](const ::testing::TestParamInfo<BytesCase>& param) { return std::string(param.param.name); });

}  // namespace

// Run as itself: the tests. Run as nobody by Permissions: "--as-nobody <profile>",
// which runs SaveRefusedAsNobody on that profile.
int main(int argc, char** argv) {
    if (faultsetup::AnswerWhoAmI(argc, argv)) return 0;
    g_self = AsNobody::self();
    qttest::UseOffscreenPlatform();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--as-nobody") == 0) {
        const QString path = QString::fromLocal8Bit(argv[2]);
        ::testing::RegisterTest("AsNobody", "SaveRefused", nullptr, nullptr, __FILE__, __LINE__,
                                [path]() -> FaultTest* { return new SaveRefusedAsNobody(path); });
        GTEST_FLAG_SET(filter, "AsNobody.SaveRefused");
    }
    return RUN_ALL_TESTS();
}
