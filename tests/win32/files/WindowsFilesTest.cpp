// Failures of saving a profile on Windows, made real through the Windows calls
// themselves: a full disk, the read-only attribute, a profile held open by
// another program. In every case the profile on disk stays byte for byte as it
// was, no temporary file is left beside it, and the reason is the system's own,
// in English whatever the user's language. A save keeps the profile's
// attributes.
//
// The full disk is a small tmpfs that the test set-up mounts (it needs root)
// and names in OMBREL_SCRATCH_DISK; Wine reaches it as a Z:\ path. When it could
// not be mounted, the file "<folder>.why" says why: the tests then skip with
// that reason, or fail under CI.

#include "profile/TextStore.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Reasons.h"
#include "TestFiles.h"

using namespace profile;
using testfiles::Names;
using testfiles::ReadBytes;
using testfiles::WriteBytes;
namespace fs = std::filesystem;

#define CANNOT_SET_UP(why)                                                              \
    do {                                                                                \
        if (std::getenv("CI") != nullptr) FAIL() << "cannot set up the fault: " << why; \
        GTEST_SKIP() << "cannot set up the fault: " << why;                             \
    } while (0)

namespace {

std::string Pattern(std::size_t size, char seed) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>(seed + static_cast<char>(i % 61));
    return s;
}

// A profile as the machine control program writes it: CR LF, a byte beyond
// ASCII, a NUL.
const std::string kOriginal =
    "<profile>\r\n<Port1Add>888</Port1Add>\r\n" + Pattern(3000, '0') + std::string("\xE9\0\r\n</profile>", 15);

// The Windows path of a Unix path under Wine: the root of the Unix file system is drive Z:.
fs::path OnDriveZ(const std::string& unixPath) {
    std::wstring text = L"Z:";
    for (const char c : unixPath) text += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return fs::path(text);
}

std::uint64_t FreeBytes(const fs::path& folder) {
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExW(folder.c_str(), &available, &total, &free)) return ~std::uint64_t{0};
    return available.QuadPart;
}

// Closes a handle on every way out of a test.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// --- A full disk -------------------------------------------------------------

// The scratch disk holds the profile and a filler file that leaves exactly
// `freePages` pages free. tmpfs hands out whole pages of 4096 bytes.
constexpr std::size_t kPage = 4096;

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        const char* unixFolder = std::getenv("OMBREL_SCRATCH_DISK");
        if (unixFolder == nullptr) CANNOT_SET_UP("OMBREL_SCRATCH_DISK names no scratch disk (run the test through ctest)");
        const fs::path why = OnDriveZ(std::string(unixFolder) + ".why");
        if (fs::exists(why)) CANNOT_SET_UP(ReadBytes(why));
        disk_ = OnDriveZ(unixFolder);
        ASSERT_TRUE(fs::is_directory(disk_)) << testfiles::Utf8(disk_) << " is no folder";
        ASSERT_EQ(Names(disk_), std::vector<std::string>{}) << "the scratch disk is not empty";
        profilePath_ = disk_ / "Mach3Mill.xml";
        WriteBytes(profilePath_, kOriginal);
        ASSERT_EQ(ReadBytes(profilePath_), kOriginal);
    }
    void TearDown() override {
        std::error_code ec;
        for (const std::string& name : Names(disk_)) fs::remove(disk_ / name, ec);
    }

    // Fills the disk through WriteFile until Windows says it is full, then
    // gives back exactly `pages` pages by cutting the filler short.
    void LeaveFreePages(std::size_t pages) {
        const fs::path filler = disk_ / "filler";
        const Handle held(
            CreateFileW(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        const HANDLE file = held.get();
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot make the filler: " << reasons::English(GetLastError());
        const std::string block(kPage, 'f');
        LONGLONG size = 0;
        DWORD error = 0;
        for (;;) {
            DWORD wrote = 0;
            if (!WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &wrote, nullptr)) {
                error = GetLastError();
                break;
            }
            size += wrote;
            if (wrote < block.size()) break;
        }
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_DISK_FULL)) << reasons::English(error);
        LARGE_INTEGER cut{};
        cut.QuadPart = size / static_cast<LONGLONG>(kPage) * static_cast<LONGLONG>(kPage) -
                       static_cast<LONGLONG>(pages * kPage);
        ASSERT_GE(cut.QuadPart, 0) << "the disk is too small to leave " << pages << " pages";
        if (cut.QuadPart != size) {  // (Wine refuses to set the end where it is on a full disk)
            ASSERT_TRUE(SetFilePointerEx(file, cut, nullptr, FILE_BEGIN)) << reasons::English(GetLastError());
            ASSERT_TRUE(SetEndOfFile(file)) << reasons::English(GetLastError());
        }
        ASSERT_EQ(FreeBytes(disk_), pages * kPage);
    }

    fs::path disk_;
    fs::path profilePath_;
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
    const FileResult r = WriteProfile(profilePath_, Pattern(c.textSize, 'A'));
    EXPECT_FALSE(r);
    EXPECT_EQ(r.reason, reasons::Of(profilePath_, reasons::kNoSpace));
    EXPECT_TRUE(ReadBytes(profilePath_) == kOriginal) << "the profile on disk was changed";
    EXPECT_EQ(Names(disk_), (std::vector<std::string>{"Mach3Mill.xml", "filler"}));
    EXPECT_EQ(FreeBytes(disk_), c.freePages * kPage) << "the temporary file's pages were not given back";
}

INSTANTIATE_TEST_SUITE_P(
    Windows, FullDiskCases,
    ::testing::Values(DiskCase{"AtTheFirstByte", 0, 1000}, DiskCase{"InTheMiddle", 4, 10 * kPage + 123},
                      DiskCase{"AtTheVeryLastByte", 4, 4 * kPage + 1}),
    [](const ::testing::TestParamInfo<DiskCase>& diskCase) { return std::string(diskCase.param.name); });

// The control for the cases above: a text that fills the free pages exactly is written.
TEST_F(FullDisk, TextThatFillsTheFreePagesExactlyIsWritten) {
    ASSERT_NO_FATAL_FAILURE(LeaveFreePages(4));
    const std::string text = Pattern(4 * kPage, 'A');
    const FileResult r = WriteProfile(profilePath_, text);
    EXPECT_TRUE(r) << r.reason;
    EXPECT_TRUE(ReadBytes(profilePath_) == text);
    EXPECT_EQ(Names(disk_), (std::vector<std::string>{"Mach3Mill.xml", "filler"}));
}

// --- Attributes and other programs --------------------------------------------

class ProfileFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.valid()) << "no temporary folder";
        profilePath_ = dir_.path() / "Mach3Mill.xml";
        WriteBytes(profilePath_, kOriginal);
    }
    void TearDown() override { SetFileAttributesW(profilePath_.c_str(), FILE_ATTRIBUTE_NORMAL); }

    DWORD Attributes() const { return GetFileAttributesW(profilePath_.c_str()); }
    std::vector<std::string> Names() const { return testfiles::Names(dir_.path()); }

    testfiles::TempFolder dir_;
    fs::path profilePath_;
};

TEST_F(ProfileFile, ReadOnlyAttributeRefusesTheSaveAndIsKept) {
    ASSERT_TRUE(SetFileAttributesW(profilePath_.c_str(), FILE_ATTRIBUTE_READONLY));
    const FileResult r = WriteProfile(profilePath_, "<profile/>");
    EXPECT_FALSE(r);
    EXPECT_EQ(r.reason, reasons::Of(profilePath_, reasons::kReadOnly));
    EXPECT_TRUE(ReadBytes(profilePath_) == kOriginal) << "the profile on disk was changed";
    EXPECT_NE(Attributes() & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(Names(), std::vector<std::string>{"Mach3Mill.xml"});

    // Reading it is no trouble.
    std::string text;
    EXPECT_TRUE(LoadProfile(profilePath_, text));
    EXPECT_TRUE(text == kOriginal);
}

TEST_F(ProfileFile, SaveKeepsTheProfilesAttributes) {
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(SetFileAttributesW(profilePath_.c_str(), kept));
    const FileResult r = WriteProfile(profilePath_, "<profile/>");
    ASSERT_TRUE(r) << r.reason;
    EXPECT_EQ(ReadBytes(profilePath_), "<profile/>");
    EXPECT_EQ(Attributes() & (kept | FILE_ATTRIBUTE_READONLY), kept);
    EXPECT_EQ(Names(), std::vector<std::string>{"Mach3Mill.xml"});
}

// Another program holds the profile open: what it lets others do with the file
// decides what the utility can do. A save never goes half-way.
TEST_F(ProfileFile, HeldOpenByAnotherProgram) {
    struct Case {
        const char* name;
        DWORD access;  // the other program's
        DWORD share;   // what it lets others do
        bool readable;
        std::string saveReason;  // "" when the save goes through
    };
    const Case cases[] = {
        {"not shared at all", GENERIC_READ | GENERIC_WRITE, 0, false, reasons::kSharingViolation},
        {"shared for reading", GENERIC_READ, FILE_SHARE_READ, true, reasons::kSharingViolation},
        {"shared for everything", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(profilePath_, kOriginal);
        FileResult saved;
        {
            const Handle held(CreateFileW(profilePath_.c_str(), c.access, c.share, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
            ASSERT_NE(held.get(), INVALID_HANDLE_VALUE) << reasons::English(GetLastError());

            std::string text = "kept";
            const FileResult read = LoadProfile(profilePath_, text);
            if (c.readable) {
                EXPECT_TRUE(read) << read.reason;
                EXPECT_TRUE(text == kOriginal);
            } else {
                EXPECT_FALSE(read);
                EXPECT_EQ(read.reason, reasons::Of(profilePath_, reasons::kSharingViolation));
                EXPECT_EQ(text, "kept");
            }
            saved = WriteProfile(profilePath_, "<profile/>");
        }
        if (c.saveReason.empty()) {
            EXPECT_TRUE(saved) << saved.reason;
            EXPECT_EQ(ReadBytes(profilePath_), "<profile/>");
        } else {
            EXPECT_FALSE(saved);
            EXPECT_EQ(saved.reason, reasons::Of(profilePath_, c.saveReason));
            EXPECT_TRUE(ReadBytes(profilePath_) == kOriginal) << "the profile on disk was changed";
        }
        EXPECT_EQ(Names(), std::vector<std::string>{"Mach3Mill.xml"});
    }
}

}  // namespace
