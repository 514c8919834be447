// Failures of writing a profile, made real: a full disk (a small tmpfs mounted
// for the test) and permissions (checked as the unprivileged user "nobody",
// since root ignores them). In every case the profile on disk must stay byte
// for byte as it was and the caller must get the system's reason.
//
// Mounting needs root. A test that cannot set up its fault says why; under CI
// (the environment variable CI is set) that is a failure, elsewhere a skip.

#include "profile/TextStore.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "TestFiles.h"

using namespace profile;
using testfiles::ReadBytes;
using testfiles::WriteBytes;
namespace fs = std::filesystem;

namespace {

std::string g_self;  // this test program, for running it as another user

#define CANNOT_SET_UP(why)                                                              \
    do {                                                                                \
        if (std::getenv("CI") != nullptr) FAIL() << "cannot set up the fault: " << why; \
        GTEST_SKIP() << "cannot set up the fault: " << why;                             \
    } while (0)

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Pattern(std::size_t size, char seed) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>(seed + static_cast<char>(i % 61));
    return s;
}

// --- A full disk ---------------------------------------------------------------

// A tmpfs of 64 pages holding a profile and a filler file that leaves exactly
// `freePages` pages free. tmpfs hands out whole pages, so a text needs one
// page for every started 4096 bytes.
constexpr std::size_t kPage = 4096;

class FullDisk : public ::testing::Test {
protected:

    void SetUp() override {
        if (::geteuid() != 0) CANNOT_SET_UP("mounting a tmpfs needs root; run the tests as root");
        char base[] = "/tmp/ombrel-fulldisk-XXXXXX";
        if (::mkdtemp(base) == nullptr) CANNOT_SET_UP("mkdtemp: " << std::strerror(errno));
        mountPoint_ = base;
        if (::mount("tmpfs", base, "tmpfs", MS_NOSUID | MS_NODEV, "size=256k,mode=0755") != 0) {
            const int err = errno;
            fs::remove(mountPoint_);
            mountPoint_.clear();
            CANNOT_SET_UP("mount -t tmpfs refused: " << std::strerror(err));
        }
        mounted_ = true;
        profilePath_ = mountPoint_ / "Mach3Mill.xml";
        original_ = "<profile>\r\n" + Pattern(3000, '0') + std::string("\xE9\0\r\n</profile>", 15);
        WriteBytes(profilePath_, original_);
        ASSERT_EQ(ReadBytes(profilePath_), original_);
    }

    void TearDown() override {
        if (mounted_ && ::umount2(mountPoint_.c_str(), 0) != 0) ::umount2(mountPoint_.c_str(), MNT_DETACH);
        if (!mountPoint_.empty()) fs::remove(mountPoint_);
    }

    // Fills the disk, then frees exactly `pages` pages.
    void LeaveFreePages(std::size_t pages) {
        const fs::path filler = mountPoint_ / "filler";
        const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0) << std::strerror(errno);
        const std::string chunk(kPage, 'f');
        std::size_t size = 0;
        for (;;) {
            const ssize_t n = ::write(fd, chunk.data(), chunk.size());
            if (n <= 0) break;
            size += static_cast<std::size_t>(n);
        }
        const std::size_t usedPages = (size + kPage - 1) / kPage;
        ASSERT_GE(usedPages, pages) << "the tmpfs is too small for the case";
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>((usedPages - pages) * kPage)), 0) << std::strerror(errno);
        ::close(fd);
        ASSERT_EQ(FreeBytes(), pages * kPage) << "the tmpfs does not count pages as this test expects";
    }

    std::size_t FreeBytes() const {
        struct statvfs st {};
        if (::statvfs(mountPoint_.c_str(), &st) != 0) return 0;
        return static_cast<std::size_t>(st.f_bavail) * st.f_frsize;
    }

    fs::path mountPoint_;
    fs::path profilePath_;
    std::string original_;
    bool mounted_ = false;
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

    const FileResult r = WriteProfile(profilePath_.string(), text);
    EXPECT_FALSE(r);
    EXPECT_NE(r.reason.find(std::strerror(ENOSPC)), std::string::npos) << r.reason;
    EXPECT_NE(r.reason.find(profilePath_.string()), std::string::npos) << r.reason;
    EXPECT_TRUE(ReadBytes(profilePath_) == original_) << "the profile on disk was changed";
    EXPECT_EQ(Names(mountPoint_), (std::vector<std::string>{"Mach3Mill.xml", "filler"}));
    EXPECT_EQ(FreeBytes(), c.freePages * kPage) << "the temporary file's pages were not given back";
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
    const FileResult r = WriteProfile(profilePath_.string(), text);
    EXPECT_TRUE(r) << r.reason;
    EXPECT_TRUE(ReadBytes(profilePath_) == text);
}

// --- Permissions, as the user "nobody" -----------------------------------------

// A temporary folder that "nobody" can reach, with a copy of this program in
// it (the build tree may be out of nobody's reach) and a work folder owned by
// nobody, which holds the profile.
class AsNobody : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) CANNOT_SET_UP("switching to the user nobody needs root; run the tests as root");
        const passwd* pw = ::getpwnam("nobody");
        const group* gr = ::getgrnam("nogroup");
        if (pw == nullptr || gr == nullptr) CANNOT_SET_UP("no user nobody or group nogroup");
        uid_ = pw->pw_uid;
        gid_ = gr->gr_gid;
        char base[] = "/tmp/ombrel-perm-XXXXXX";
        if (::mkdtemp(base) == nullptr) CANNOT_SET_UP("mkdtemp: " << std::strerror(errno));
        base_ = base;
        fs::permissions(base_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
        helper_ = base_ / "helper";
        std::error_code ec;
        fs::copy_file(g_self, helper_, ec);
        if (ec) CANNOT_SET_UP("cannot copy the test program: " << ec.message());
        fs::permissions(helper_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
        work_ = base_ / "work";
        fs::create_directory(work_);
        ASSERT_EQ(::chown(work_.c_str(), uid_, gid_), 0) << std::strerror(errno);
        profilePath_ = work_ / "Mach3Mill.xml";
        WriteBytes(profilePath_, original_);
        ASSERT_EQ(::chown(profilePath_.c_str(), uid_, gid_), 0) << std::strerror(errno);

        // The helper must really run as nobody, or the cases below prove nothing.
        const Run who = RunAsNobody({"--whoami"});
        if (!who.started) CANNOT_SET_UP("setpriv could not be started: " << who.output);
        if (who.output != std::to_string(uid_)) CANNOT_SET_UP("setpriv did not switch to nobody: " << who.output);
    }

    void TearDown() override {
        if (base_.empty()) return;
        std::error_code ec;
        fs::permissions(work_, fs::perms::owner_all, ec);
        fs::remove_all(base_, ec);
    }

    struct Run {
        bool started = false;
        int exitCode = -1;
        std::string output;
    };

    Run RunAsNobody(const QStringList& args) const {
        QProcess p;
        p.start("setpriv", QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                       QString::fromStdString(helper_.string())} + args);
        Run run;
        if (!p.waitForStarted(10000)) {
            run.output = p.errorString().toStdString();
            return run;
        }
        p.waitForFinished(30000);
        run.started = true;
        run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        run.output = p.readAllStandardOutput().trimmed().toStdString();
        return run;
    }

    Run WriteAsNobody(const std::string& text) const {
        return RunAsNobody({"--write-profile", QString::fromStdString(profilePath_.string()),
                            QString::fromStdString(text)});
    }

    void ExpectRefusedAndUnchanged(const Run& run, fs::perms mode) {
        EXPECT_EQ(run.exitCode, 2) << run.output;
        EXPECT_NE(run.output.find(std::strerror(EACCES)), std::string::npos) << run.output;
        EXPECT_NE(run.output.find(profilePath_.string()), std::string::npos) << run.output;
        EXPECT_EQ(ReadBytes(profilePath_), original_);
        EXPECT_EQ(fs::status(profilePath_).permissions(), mode);
        EXPECT_EQ(Names(work_), std::vector<std::string>{"Mach3Mill.xml"});
    }

    uid_t uid_ = 0;
    gid_t gid_ = 0;
    fs::path base_, helper_, work_, profilePath_;
    const std::string original_ = "<profile><Port1Add>888</Port1Add>\r\n\xFF\xFE</profile>";
};

TEST_F(AsNobody, WritableProfileIsWrittenAndKeepsItsOwner) {
    const Run run = WriteAsNobody("<profile>new</profile>");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(ReadBytes(profilePath_), "<profile>new</profile>");
    struct stat st {};
    ASSERT_EQ(::stat(profilePath_.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, uid_);
}

TEST_F(AsNobody, ReadOnlyProfileIsRefused) {
    const fs::perms mode = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    fs::permissions(profilePath_, mode);
    ExpectRefusedAndUnchanged(WriteAsNobody("<profile>new</profile>"), mode);
}

TEST_F(AsNobody, ProfileInAReadOnlyFolderIsRefused) {
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(profilePath_, mode);
    fs::permissions(work_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                               fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    ExpectRefusedAndUnchanged(WriteAsNobody("<profile>new</profile>"), mode);
}

TEST_F(AsNobody, UnreadableProfileIsNotLoaded) {
    fs::permissions(profilePath_, fs::perms::owner_write);
    const Run run = RunAsNobody({"--load-profile", QString::fromStdString(profilePath_.string())});
    EXPECT_EQ(run.exitCode, 2) << run.output;
    EXPECT_NE(run.output.find(std::strerror(EACCES)), std::string::npos) << run.output;
}

// The program run as nobody: one store operation, its reason on standard output.
int Helper(int argc, char** argv) {
    const std::string mode = argv[1];
    if (mode == "--whoami") {
        std::printf("%u\n", static_cast<unsigned>(::geteuid()));
        return 0;
    }
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
    if (argc >= 2 && std::strncmp(argv[1], "--", 2) == 0 && std::strncmp(argv[1], "--gtest", 7) != 0) {
        return Helper(argc, argv);
    }
    std::error_code ec;
    g_self = fs::canonical("/proc/self/exe", ec).string();
    if (ec) g_self = fs::absolute(argv[0]).string();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
