// Failures of writing a profile, made real: a full disk (a small tmpfs mounted
// for the test) and permissions (checked as the unprivileged user "nobody",
// since root ignores them). In every case the profile on disk must stay byte
// for byte as it was and the caller must get the system's reason, in English
// whatever the locale. As root, a write keeps the profile's owner.
//
// Mounting needs root. A test that cannot set up its fault says why; under CI
// (the environment variable CI is set) that is a failure, elsewhere a skip.

#include "profile/TextStore.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "FaultSetup.h"
#include "Reasons.h"
#include "TestFiles.h"
#include "TestLocale.h"

using namespace profile;
using testfiles::Names;
using testfiles::ReadBytes;
using testfiles::WriteBytes;
namespace fs = std::filesystem;

namespace {

std::string g_self;  // this test program, for running it as another user

std::string Pattern(std::size_t size, char seed) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>(seed + static_cast<char>(i % 61));
    return s;
}

// --- A full disk ---------------------------------------------------------------

// A tmpfs of 64 pages holding a profile and a filler file that leaves exactly
// `freePages` pages free. tmpfs hands out whole pages, so a text needs one
// page for every started 4096 bytes.
constexpr std::size_t kPage = faultsetup::ScratchDisk::kPage;

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = disk_.mount(256); !why.empty()) CANNOT_SET_UP(why);
        profilePath_ = disk_.path() / "Mach3Mill.xml";
        original_ = "<profile>\r\n" + Pattern(3000, '0') + std::string("\xE9\0\r\n</profile>", 15);
        WriteBytes(profilePath_, original_);
        ASSERT_EQ(ReadBytes(profilePath_), original_);
    }

    // Fills the disk, then frees exactly `pages` pages.
    void LeaveFreePages(std::size_t pages) { ASSERT_EQ(disk_.leaveFreePages(pages), ""); }

    faultsetup::ScratchDisk disk_;
    fs::path profilePath_;
    std::string original_;
};

struct DiskCase {
    const char* name;
    std::size_t freePages;
    std::size_t textSize;
};

void PrintTo(const DiskCase& c, std::ostream* os) { *os << c.name; }

class FullDiskCases : public FullDisk, public ::testing::WithParamInterface<DiskCase> {};

TEST_P(FullDiskCases, ProfileStaysAsItWasAndTheReasonIsTheSystems) {
    const DiskCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(LeaveFreePages(c.freePages));
    const std::string text = Pattern(c.textSize, 'A');

    const FileResult r = WriteProfile(profilePath_, text);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.reason, reasons::Of(profilePath_, reasons::kNoSpace));
    EXPECT_TRUE(ReadBytes(profilePath_) == original_) << "the profile on disk was changed";
    EXPECT_EQ(Names(disk_.path()), (std::vector<std::string>{"Mach3Mill.xml", "filler"}));
    EXPECT_EQ(disk_.freeBytes(), c.freePages * kPage) << "the temporary file's pages were not given back";
}

INSTANTIATE_TEST_SUITE_P(
    Store, FullDiskCases,
    ::testing::Values(DiskCase{"AtTheFirstByte", 0, 1000},
                      DiskCase{"InTheMiddle", 4, 10 * kPage + 123},
                      DiskCase{"AtTheLastBytes", 4, 4 * kPage + 10},
                      DiskCase{"AtTheVeryLastByte", 4, 4 * kPage + 1}),
    [](const ::testing::TestParamInfo<DiskCase>& diskCase) { return std::string(diskCase.param.name); });

// The control for the cases above: a text that fills the free pages exactly is written.
TEST_F(FullDisk, TextThatFillsTheFreePagesExactlyIsWritten) {
    ASSERT_NO_FATAL_FAILURE(LeaveFreePages(4));
    const std::string text = Pattern(4 * kPage, 'A');
    const FileResult r = WriteProfile(profilePath_, text);
    EXPECT_TRUE(r) << r.reason;
    EXPECT_TRUE(ReadBytes(profilePath_) == text);
    EXPECT_EQ(Names(disk_.path()), (std::vector<std::string>{"Mach3Mill.xml", "filler"}));
}

// --- Permissions, as the user "nobody" -----------------------------------------

// The profile lies in the work folder of faultsetup::AsNobody, owned by nobody.
class AsNobody : public ::testing::Test {
protected:
    using Run = faultsetup::AsNobody::Run;

    void SetUp() override {
        if (const std::string why = nobody_.prepare(g_self); !why.empty()) CANNOT_SET_UP(why);
        profilePath_ = nobody_.work() / "Mach3Mill.xml";
        WriteBytes(profilePath_, original_);
        ASSERT_EQ(nobody_.giveToNobody(profilePath_), "");
    }

    Run RunAsNobody(const std::vector<std::string>& args) const { return nobody_.run(args); }

    Run WriteAsNobody(const std::string& text) const {
        return RunAsNobody({"--write-profile", profilePath_.string(), text});
    }

    void ExpectRefusedAndUnchanged(const Run& run, fs::perms mode) {
        EXPECT_EQ(run.exitCode, 2) << run.output << run.errors;
        EXPECT_EQ(run.output, reasons::Of(profilePath_, reasons::kPermissionDenied));
        EXPECT_EQ(ReadBytes(profilePath_), original_);
        EXPECT_EQ(testfiles::Octal(fs::status(profilePath_).permissions()), testfiles::Octal(mode));
        EXPECT_EQ(Names(nobody_.work()), std::vector<std::string>{"Mach3Mill.xml"});
    }

    faultsetup::AsNobody nobody_;
    fs::path profilePath_;
    const std::string original_ = "<profile><Port1Add>888</Port1Add>\r\n\xFF\xFE</profile>";
};

TEST_F(AsNobody, WritableProfileIsWrittenAndKeepsItsOwner) {
    const Run run = WriteAsNobody("<profile>new</profile>");
    EXPECT_EQ(run.exitCode, 0) << run.output << run.errors;
    EXPECT_EQ(ReadBytes(profilePath_), "<profile>new</profile>");
    struct stat st {};
    ASSERT_EQ(::stat(profilePath_.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, nobody_.uid());
    EXPECT_EQ(Names(nobody_.work()), std::vector<std::string>{"Mach3Mill.xml"});
}

TEST_F(AsNobody, ReadOnlyProfileIsRefused) {
    const fs::perms mode = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(profilePath_, mode);
    ExpectRefusedAndUnchanged(WriteAsNobody("<profile>new</profile>"), mode);
}

TEST_F(AsNobody, ProfileInAReadOnlyFolderIsRefused) {
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(profilePath_, mode);
    fs::permissions(nobody_.work(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    ExpectRefusedAndUnchanged(WriteAsNobody("<profile>new</profile>"), mode);
}

TEST_F(AsNobody, UnreadableProfileIsNotLoaded) {
    fs::permissions(profilePath_, fs::perms::owner_write);
    const Run run = RunAsNobody({"--load-profile", profilePath_.string()});
    EXPECT_EQ(run.exitCode, 2) << run.output << run.errors;
    EXPECT_EQ(run.output, reasons::Of(profilePath_, reasons::kPermissionDenied));
}

// Root may write anyone's profile; the profile stays its owner's, with every
// permission bit, the set-user and set-group bits included (giving a file away
// clears those, so the owner must be set before the bits).
TEST_F(AsNobody, RootKeepsTheOwnerAndEveryBitOfAProfileItWrites) {
    const fs::perms mode = fs::perms::set_uid | fs::perms::set_gid | fs::perms::owner_all | fs::perms::group_read |
                           fs::perms::group_exec;
    fs::permissions(profilePath_, mode);
    const FileResult r = WriteProfile(profilePath_, "<profile>by root</profile>");
    ASSERT_TRUE(r) << r.reason;
    EXPECT_EQ(ReadBytes(profilePath_), "<profile>by root</profile>");
    struct stat st {};
    ASSERT_EQ(::stat(profilePath_.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, nobody_.uid());
    EXPECT_EQ(st.st_gid, nobody_.gid());
    EXPECT_EQ(testfiles::Octal(fs::status(profilePath_).permissions()), testfiles::Octal(mode));
    EXPECT_EQ(Names(nobody_.work()), std::vector<std::string>{"Mach3Mill.xml"});
}

// The program run as nobody: one store operation, its reason on standard output.
int Helper(int argc, char** argv) {
    const std::string mode = argv[1];
    if (mode == "--write-profile" && argc == 4) {
        const FileResult r = WriteProfile(argv[2], argv[3]);
        std::printf("%s\n", r.reason.c_str());
        return r ? 0 : 2;
    }
    if (mode == "--load-profile" && argc == 3) {
        std::string text;
        const FileResult r = LoadProfile(argv[2], text);
        std::printf("%s\n", r.reason.c_str());
        return r ? 0 : 2;
    }
    std::fprintf(stderr, "unknown helper call\n");
    return 3;
}

}  // namespace

int main(int argc, char** argv) {
    if (faultsetup::AnswerWhoAmI(argc, argv)) return 0;
    // The locale from the environment, in the tests and in the helper run as
    // nobody alike: the reasons must be English under any of them.
    if (!testlocale::TakeFromEnvironment()) return 1;
    if (argc >= 2 && std::strncmp(argv[1], "--", 2) == 0 && std::strncmp(argv[1], "--gtest", 7) != 0) {
        return Helper(argc, argv);
    }
    if (!testlocale::MessagesAsExpected(std::string(reasons::kFileNotFound).c_str())) return 1;
    g_self = faultsetup::AsNobody::self();
    if (g_self.empty()) g_self = fs::absolute(argv[0]).string();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
