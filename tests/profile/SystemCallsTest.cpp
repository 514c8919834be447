// How the store uses the system, seen from inside. This program has read,
// write, fsync, close and rename of its own, in front of the C library's: they
// log what the file layer does with the files of one test folder and can make
// the system behave as a real one may (short reads and writes, interruptions,
// a file that grows while it is read, a sync, close or rename that fails).
// Nothing changes for any other file, or while no plan is set. Linux only.

#include "profile/TextStore.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Reasons.h"
#include "TestFiles.h"

using namespace profile;
using testfiles::ReadBytes;
using testfiles::WriteBytes;
namespace fs = std::filesystem;

namespace {

// What the system calls do to the files of one folder, and what they saw.
struct Plan {
    fs::path folder;      // only its files are touched
    std::string profile;  // the profile's name in it; ".<profile>.*" is its temporary file

    std::size_t readLimit = 0;   // the most one read of the profile gives; 0 = what it asks
    int readInterruptions = 0;   // so many reads of the profile fail with EINTR first
    int readError = 0;           // reads of the profile fail with this
    std::string growBy;          // appended to the profile after the first read that gives bytes
    std::size_t writeLimit = 0;  // the most one write to the temporary file takes
    int writeInterruptions = 0;
    int writeError = 0;
    bool writeTakesNothing = false;  // writes to the temporary file take no byte and give no error
    int syncError = 0;               // fsync of the temporary file
    int closeError = 0;              // close of the temporary file reports this, having closed it
    int renameError = 0;
    int folderSyncError = 0;

    std::vector<std::string> log;   // "write temp", "fsync folder", ...: repeats shown once
    std::string profileAtSync;      // the profile's bytes when the temporary file was synced
    long long temporarySizeAtSync = -1;
};

Plan* g_plan = nullptr;
bool g_inside = false;  // the hooks' own calls pass straight through

template <typename Function>
Function Real(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

// "profile", "temp", "folder", "other", or "" for a file outside the plan's folder.
std::string Classify(const fs::path& path) {
    if (path == g_plan->folder) return "folder";
    if (path.parent_path() != g_plan->folder) return "";
    const std::string name = path.filename().string();
    if (name == g_plan->profile) return "profile";
    if (name.rfind("." + g_plan->profile + ".", 0) == 0) return "temp";
    return "other";
}

std::string ClassifyDescriptor(int fd) {
    char link[PATH_MAX];
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(self.c_str(), link, sizeof link - 1);
    if (n <= 0) return "";
    std::string path(link, static_cast<std::size_t>(n));
    const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() && path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
        path.resize(path.size() - deleted.size());
    return Classify(path);
}

void Log(const std::string& entry) {
    if (g_plan->log.empty() || g_plan->log.back() != entry) g_plan->log.push_back(entry);
}

// The hooks act only for the plan's files, and not for their own calls.
bool Watched() { return g_plan != nullptr && !g_inside; }

class Inside {
public:
    Inside() { g_inside = true; }
    ~Inside() { g_inside = false; }
    Inside(const Inside&) = delete;
    Inside& operator=(const Inside&) = delete;
};

}  // namespace

extern "C" {

ssize_t read(int fd, void* buffer, size_t size) {
    static const auto real = Real<ssize_t (*)(int, void*, size_t)>("read");
    if (!Watched()) return real(fd, buffer, size);
    const std::string what = ClassifyDescriptor(fd);
    if (what != "profile") return real(fd, buffer, size);
    Plan& plan = *g_plan;
    Log("read profile");
    if (plan.readError != 0) {
        errno = plan.readError;
        return -1;
    }
    if (plan.readInterruptions > 0) {
        --plan.readInterruptions;
        errno = EINTR;
        return -1;
    }
    const ssize_t got = real(fd, buffer, plan.readLimit != 0 ? std::min(size, plan.readLimit) : size);
    if (got > 0 && !plan.growBy.empty()) {
        const Inside inside;
        const std::string more = std::move(plan.growBy);
        plan.growBy.clear();
        const int other = ::open((plan.folder / plan.profile).c_str(), O_WRONLY | O_APPEND);
        if (other >= 0) {
            [[maybe_unused]] const ssize_t appended = ::write(other, more.data(), more.size());
            ::close(other);
        }
    }
    return got;
}

ssize_t write(int fd, const void* buffer, size_t size) {
    static const auto real = Real<ssize_t (*)(int, const void*, size_t)>("write");
    if (!Watched()) return real(fd, buffer, size);
    const std::string what = ClassifyDescriptor(fd);
    if (what.empty()) return real(fd, buffer, size);
    Plan& plan = *g_plan;
    Log("write " + what);
    if (what != "temp") return real(fd, buffer, size);
    if (plan.writeError != 0) {
        errno = plan.writeError;
        return -1;
    }
    if (plan.writeTakesNothing) return 0;
    if (plan.writeInterruptions > 0) {
        --plan.writeInterruptions;
        errno = EINTR;
        return -1;
    }
    return real(fd, buffer, plan.writeLimit != 0 ? std::min(size, plan.writeLimit) : size);
}

int fsync(int fd) {
    static const auto real = Real<int (*)(int)>("fsync");
    if (!Watched()) return real(fd);
    const std::string what = ClassifyDescriptor(fd);
    if (what.empty()) return real(fd);
    Plan& plan = *g_plan;
    Log("fsync " + what);
    if (what == "temp") {
        const Inside inside;
        plan.profileAtSync = ReadBytes(plan.folder / plan.profile);
        struct stat st {};
        if (::fstat(fd, &st) == 0) plan.temporarySizeAtSync = st.st_size;
        if (plan.syncError != 0) {
            errno = plan.syncError;
            return -1;
        }
    }
    if (what == "folder" && plan.folderSyncError != 0) {
        errno = plan.folderSyncError;
        return -1;
    }
    return real(fd);
}

int close(int fd) {
    static const auto real = Real<int (*)(int)>("close");
    if (!Watched()) return real(fd);
    const std::string what = ClassifyDescriptor(fd);
    if (what.empty()) return real(fd);
    Log("close " + what);
    const int result = real(fd);
    if (what == "temp" && g_plan->closeError != 0) {
        errno = g_plan->closeError;
        return -1;
    }
    return result;
}

int rename(const char* from, const char* to) noexcept {
    static const auto real = Real<int (*)(const char*, const char*)>("rename");
    if (!Watched()) return real(from, to);
    const std::string a = Classify(from);
    const std::string b = Classify(to);
    if (a.empty() && b.empty()) return real(from, to);
    Log("rename " + a + " " + b);
    if (g_plan->renameError != 0) {
        errno = g_plan->renameError;
        return -1;
    }
    return real(from, to);
}

}  // extern "C"

namespace {

// A test folder with one profile in it, and the plan for its files.
class SystemCalls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.valid()) << "no temporary folder";
        plan_.folder = fs::canonical(dir_.path());
        plan_.profile = "Mach3Mill.xml";
        profile_ = plan_.folder / plan_.profile;
        WriteBytes(profile_, original_);
    }
    void TearDown() override { g_plan = nullptr; }

    // Runs `operation` with the plan in force.
    template <typename Operation>
    auto WithPlan(Operation operation) {
        g_plan = &plan_;
        auto result = operation();
        g_plan = nullptr;
        return result;
    }

    // The log without the closing of descriptors other than the temporary file's.
    std::vector<std::string> Steps() const {
        std::vector<std::string> steps;
        for (const std::string& entry : plan_.log)
            if (entry.rfind("close ", 0) != 0 || entry == "close temp") steps.push_back(entry);
        return steps;
    }

    std::vector<std::string> Names() const { return testfiles::Names(plan_.folder); }

    testfiles::TempFolder dir_;
    Plan plan_;
    fs::path profile_;
    const std::string original_ = "<profile><Port1Add>888</Port1Add>\r\n\xE9\0</profile>";
};

std::string Pattern(std::size_t size) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 37 + i / 251) & 0xFF);
    return s;
}

}  // namespace

// Every byte reaches the disk in a temporary file beside the profile before that
// file replaces the profile; then the folder's entry is synced as well.
TEST_F(SystemCalls, SaveSyncsATemporaryFileBesideTheProfileThenRenamesItAndSyncsTheFolder) {
    const std::string text = Pattern(100 * 1024 + 3);
    plan_.writeLimit = 4096;  // many writes: the sync must come after the last of them
    const FileResult r = WithPlan([&] { return WriteProfile(profile_, text); });
    ASSERT_TRUE(r) << r.reason;
    EXPECT_EQ(Steps(), (std::vector<std::string>{"write temp", "fsync temp", "close temp", "rename temp profile",
                                                 "fsync folder"}));
    EXPECT_EQ(plan_.temporarySizeAtSync, static_cast<long long>(text.size()));
    EXPECT_TRUE(plan_.profileAtSync == original_) << "the profile changed before its replacement was on the disk";
    EXPECT_TRUE(ReadBytes(profile_) == text);
    EXPECT_EQ(Names(), std::vector<std::string>{"Mach3Mill.xml"});
}

// Through a link, the temporary file lies beside the link's target, so that the
// rename stays within one folder (and one disk).
TEST_F(SystemCalls, SaveThroughALinkWorksInTheTargetsFolder) {
    testfiles::TempFolder links;
    ASSERT_TRUE(links.valid());
    const fs::path link = links.path() / "link.xml";
    fs::create_symlink(profile_, link);
    const FileResult r = WithPlan([&] { return WriteProfile(link, "<a>2</a>"); });
    ASSERT_TRUE(r) << r.reason;
    EXPECT_EQ(Steps(), (std::vector<std::string>{"write temp", "fsync temp", "close temp", "rename temp profile",
                                                 "fsync folder"}));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(profile_), "<a>2</a>");
    EXPECT_EQ(testfiles::Names(links.path()), std::vector<std::string>{"link.xml"});
}

// The size at the start is no limit: bytes added while the file is read are
// read too, to the file's real end.
TEST_F(SystemCalls, LoadReadsAFileThatGrowsWhileReadToItsEnd) {
    for (const std::size_t limit : {std::size_t{0}, std::size_t{10}}) {
        SCOPED_TRACE(limit);
        WriteBytes(profile_, original_);
        plan_.readLimit = limit;
        plan_.growBy = Pattern(70000) + "</grown>";
        std::string text;
        const FileResult r = WithPlan([&] { return LoadProfile(profile_, text); });
        ASSERT_TRUE(r) << r.reason;
        EXPECT_TRUE(text == original_ + Pattern(70000) + "</grown>") << text.size() << " bytes read";
    }
}

// However little one call moves, and however often it is interrupted, the text
// read and the file written are whole.
TEST_F(SystemCalls, ShortAndInterruptedReadsAndWritesChangeNothing) {
    struct Case {
        std::size_t limit;
        int interruptions;
    };
    const std::string text = testfiles::EveryByteValue() + Pattern(9000);
    WriteBytes(profile_, text);
    for (const Case c : {Case{1, 0}, Case{7, 3}, Case{4093, 1}, Case{0, 5}}) {
        SCOPED_TRACE(testing::Message() << c.limit << " bytes a call, " << c.interruptions << " interruptions");
        plan_.readLimit = plan_.writeLimit = c.limit;
        plan_.readInterruptions = plan_.writeInterruptions = c.interruptions;
        std::string read;
        const FileResult load = WithPlan([&] { return LoadProfile(profile_, read); });
        ASSERT_TRUE(load) << load.reason;
        EXPECT_TRUE(read == text);
        const std::string changed = read + "<more/>";
        const FileResult write = WithPlan([&] { return WriteProfile(profile_, changed); });
        ASSERT_TRUE(write) << write.reason;
        EXPECT_TRUE(ReadBytes(profile_) == changed);
        WriteBytes(profile_, text);
    }
}

// A failure at any step names its real cause, in English, and leaves the profile
// on disk as it was, with no temporary file beside it.
TEST_F(SystemCalls, FailedStepsNameTheirCauseAndLeaveTheProfileAsItWas) {
    struct Case {
        const char* name;
        void (*arrange)(Plan& plan);
        const char* reason;
    };
    const Case cases[] = {
        {"write: input/output error", [](Plan& p) { p.writeError = EIO; }, "Input/output error"},
        {"write: quota", [](Plan& p) { p.writeError = EDQUOT; }, "Disk quota exceeded"},
        {"write: file too large", [](Plan& p) { p.writeError = EFBIG; }, "File too large"},
        {"write takes no byte", [](Plan& p) { p.writeTakesNothing = true; }, "No space left on device"},
        {"sync: input/output error", [](Plan& p) { p.syncError = EIO; }, "Input/output error"},
        {"sync: the disk is full only now", [](Plan& p) { p.syncError = ENOSPC; }, "No space left on device"},
        {"close: a network disk's late error", [](Plan& p) { p.closeError = EIO; }, "Input/output error"},
        {"rename: input/output error", [](Plan& p) { p.renameError = EIO; }, "Input/output error"},
        {"rename: busy", [](Plan& p) { p.renameError = EBUSY; }, "Device or resource busy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Plan fresh;
        fresh.folder = plan_.folder;
        fresh.profile = plan_.profile;
        plan_ = fresh;
        c.arrange(plan_);
        const FileResult r = WithPlan([&] { return WriteProfile(profile_, Pattern(20000)); });
        EXPECT_FALSE(r);
        EXPECT_EQ(r.reason, reasons::Of(profile_, c.reason));
        EXPECT_TRUE(ReadBytes(profile_) == original_) << "the profile on disk was changed";
        EXPECT_EQ(Names(), std::vector<std::string>{"Mach3Mill.xml"});
    }
}

TEST_F(SystemCalls, FailedReadNamesItsCauseAndKeepsTheText) {
    plan_.readError = EIO;
    std::string text = "kept";
    const FileResult r = WithPlan([&] { return LoadProfile(profile_, text); });
    EXPECT_FALSE(r);
    EXPECT_EQ(r.reason, reasons::Of(profile_, "Input/output error"));
    EXPECT_EQ(text, "kept");
}

// Once renamed, the new profile is in place and its bytes are on the disk; a
// folder that cannot be synced then does not turn the save into a failure.
TEST_F(SystemCalls, FolderThatCannotBeSyncedDoesNotFailTheSave) {
    plan_.folderSyncError = EIO;
    const FileResult r = WithPlan([&] { return WriteProfile(profile_, "<a>2</a>"); });
    EXPECT_TRUE(r) << r.reason;
    EXPECT_EQ(ReadBytes(profile_), "<a>2</a>");
    EXPECT_EQ(Steps().back(), "fsync folder");
}
