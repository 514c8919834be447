// What a write keeps on POSIX systems: the permission bits, symbolic links
// (the target is written, the link stays), and names that are bytes rather
// than UTF-8; and what it refuses: a link that loops, a pipe in the profile's
// place.

#include "profile/TextStore.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Reasons.h"
#include "TestFiles.h"

using namespace profile;
using testfiles::ReadBytes;
using testfiles::WriteBytes;
namespace fs = std::filesystem;
using P = fs::perms;

namespace {

class PosixFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.valid()) << "no temporary folder"; }
    fs::path Path(const fs::path& name) const { return dir_.path() / name; }
    std::vector<std::string> Names() const { return testfiles::Names(dir_.path()); }

private:
    testfiles::TempFolder dir_;
};

// Sets the process's umask for one scope.
class Umask {
public:
    explicit Umask(mode_t mask) : old_(::umask(mask)) {}
    ~Umask() { ::umask(old_); }
    Umask(const Umask&) = delete;
    Umask& operator=(const Umask&) = delete;

private:
    mode_t old_;
};

}  // namespace

TEST_F(PosixFiles, WriteKeepsThePermissionBits) {
    for (const P mode : {P::owner_read | P::owner_write, P::owner_read | P::owner_write | P::group_read,
                         P::owner_all | P::group_read | P::others_read | P::others_write,
                         P::owner_read | P::owner_write | P::group_read | P::group_write | P::set_gid}) {
        SCOPED_TRACE(testfiles::Octal(mode));
        const fs::path path = Path("perm.xml");
        WriteBytes(path, "<a>1</a>");
        fs::permissions(path, mode);
        ASSERT_TRUE(WriteProfile(path, "<a>2</a>"));
        EXPECT_EQ(testfiles::Octal(fs::status(path).permissions()), testfiles::Octal(mode));
        EXPECT_EQ(ReadBytes(path), "<a>2</a>");
        fs::remove(path);
    }
}

TEST_F(PosixFiles, NewFileTakesTheUmaskLikeAnyNewFile) {
    for (const mode_t mask : {022, 027, 077}) {
        SCOPED_TRACE(mask);
        const fs::path path = Path("new.xml");
        {
            const Umask scoped(static_cast<mode_t>(mask));
            ASSERT_TRUE(WriteProfile(path, "<a>1</a>"));
        }
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);
        fs::remove(path);
    }
}

TEST_F(PosixFiles, WriteThroughASymbolicLinkReplacesItsTargetAndKeepsTheLink) {
    fs::create_directory(Path("real"));
    const fs::path target = Path("real") / "profile.xml";
    WriteBytes(target, "<a>1</a>");
    fs::permissions(target, P::owner_read | P::owner_write | P::group_read);
    const fs::path absoluteLink = Path("absolute.xml");
    const fs::path relativeLink = Path("relative.xml");
    const fs::path chainLink = Path("chain.xml");
    fs::create_directory(Path("other"));
    const fs::path upwardLink = Path("other") / "up.xml";
    fs::create_symlink(target, absoluteLink);
    fs::create_symlink(fs::path("real") / "profile.xml", relativeLink);
    fs::create_symlink("relative.xml", chainLink);
    fs::create_symlink(fs::path("..") / "real" / "profile.xml", upwardLink);

    int round = 0;
    for (const fs::path& link : {absoluteLink, relativeLink, chainLink, upwardLink}) {
        SCOPED_TRACE(link.filename().string());
        const std::string text = "<a>" + std::to_string(++round) + "0</a>";
        ASSERT_TRUE(WriteProfile(link, text));
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(ReadBytes(target), text);
        EXPECT_EQ(testfiles::Octal(fs::status(target).permissions()), "0640");
    }
    EXPECT_EQ(fs::read_symlink(relativeLink), fs::path("real") / "profile.xml");
    EXPECT_EQ(fs::read_symlink(chainLink), fs::path("relative.xml"));
    EXPECT_EQ(Names(), (std::vector<std::string>{"absolute.xml", "chain.xml", "other", "real", "relative.xml"}));
    EXPECT_EQ(testfiles::Names(Path("real")), std::vector<std::string>{"profile.xml"});
    EXPECT_EQ(testfiles::Names(Path("other")), std::vector<std::string>{"up.xml"});
}

// The profile behind a link was removed: the save puts it back where the link
// points, and the link stays a link.
TEST_F(PosixFiles, LinkWhoseTargetIsGoneGetsItsTargetBack) {
    fs::create_directory(Path("real"));
    const fs::path target = Path("real") / "profile.xml";
    const fs::path link = Path("link.xml");
    fs::create_symlink(fs::path("real") / "profile.xml", link);
    ASSERT_TRUE(WriteProfile(link, "<a>1</a>"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), "<a>1</a>");
    EXPECT_EQ(Names(), (std::vector<std::string>{"link.xml", "real"}));
    EXPECT_EQ(testfiles::Names(Path("real")), std::vector<std::string>{"profile.xml"});
}

TEST_F(PosixFiles, LinksThatLoopAreRefusedAndLeftAsTheyWere) {
    const fs::path a = Path("a.xml");
    const fs::path b = Path("b.xml");
    fs::create_symlink("b.xml", a);
    fs::create_symlink("a.xml", b);
    const FileResult r = WriteProfile(a, "<a>1</a>");
    EXPECT_FALSE(r);
    EXPECT_EQ(r.reason, reasons::Of(a, "Too many levels of symbolic links"));
    std::string text = "kept";
    const FileResult load = LoadProfile(a, text);
    EXPECT_FALSE(load);
    EXPECT_EQ(load.reason, reasons::Of(a, "Too many levels of symbolic links"));
    EXPECT_EQ(text, "kept");
    EXPECT_TRUE(fs::is_symlink(a));
    EXPECT_TRUE(fs::is_symlink(b));
    EXPECT_EQ(Names(), (std::vector<std::string>{"a.xml", "b.xml"}));
}

// A name is bytes here: one that is not UTF-8 (Latin-1 from an old system) is
// read and written all the same, and named byte for byte in a reason.
TEST_F(PosixFiles, NameThatIsNotUtf8IsReadAndWritten) {
    const fs::path profile = Path("Fr\xE4se.xml");
    WriteBytes(profile, "<a>1</a>");
    std::string text;
    ASSERT_TRUE(LoadProfile(profile, text));
    ASSERT_TRUE(WriteProfile(profile, "<a>2</a>"));
    EXPECT_EQ(ReadBytes(profile), "<a>2</a>");
    EXPECT_EQ(Names(), std::vector<std::string>{"Fr\xE4se.xml"});

    const fs::path missing = Path("M\xFCller.xml");
    const FileResult r = LoadProfile(missing, text);
    EXPECT_EQ(r.reason, Path("").string() + "M\xFCller.xml: " + std::string(reasons::kFileNotFound));
}

// The temporary file's name grows from the profile's; a profile whose name is
// as long as a name may be is saved all the same.
TEST_F(PosixFiles, ProfileWithTheLongestNameIsWritten) {
    const std::string name = std::string(251, 'p') + ".xml";  // 255 bytes
    const fs::path profile = Path(name);
    WriteBytes(profile, "<a>1</a>");
    ASSERT_EQ(ReadBytes(profile), "<a>1</a>");
    const FileResult r = WriteProfile(profile, "<a>2</a>");
    EXPECT_TRUE(r) << r.reason;
    EXPECT_EQ(ReadBytes(profile), "<a>2</a>");
    EXPECT_EQ(Names(), std::vector<std::string>{name});
}

// A pipe (or a device) where the profile was is not swapped for a file.
TEST_F(PosixFiles, PipeInTheProfilesPlaceIsNotReplaced) {
    const fs::path pipe = Path("p.xml");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    const FileResult r = WriteProfile(pipe, "<a>1</a>");
    EXPECT_FALSE(r);
    EXPECT_EQ(r.reason, reasons::Of(pipe, "not a regular file"));
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(Names(), std::vector<std::string>{"p.xml"});
}
