#pragma once
// Faults made real for the tests: a small tmpfs that fills up, and a copy of the
// test program run as the unprivileged user "nobody" (root ignores permissions).
// Both need root. A test that cannot set up its fault says why: under CI (the
// environment variable CI is set) that is a failure, elsewhere a skip. POSIX only.
//
//   ScratchDisk disk;
//   if (const std::string why = disk.mount(256); !why.empty()) CANNOT_SET_UP(why);
//   ... write a file into disk.path() ...
//   ASSERT_EQ(disk.leaveFreePages(4), "");
//
//   AsNobody nobody;   // the program must answer "--whoami" (see AnswerWhoAmI)
//   if (const std::string why = nobody.prepare(AsNobody::self()); !why.empty()) CANNOT_SET_UP(why);
//   const AsNobody::Run run = nobody.run({"--my-helper", path.string()});

#include <gtest/gtest.h>

#include <sys/types.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#define CANNOT_SET_UP(why)                                                              \
    do {                                                                                \
        if (std::getenv("CI") != nullptr) FAIL() << "cannot set up the fault: " << why; \
        GTEST_SKIP() << "cannot set up the fault: " << why;                             \
    } while (0)

namespace faultsetup {

// A tmpfs mounted under a new folder in /tmp for one test; unmounted and removed
// again when the object goes, whatever the test did.
class ScratchDisk {
public:
    // tmpfs hands out whole pages: a file takes one page for every started 4096 bytes.
    static constexpr std::size_t kPage = 4096;

    ScratchDisk() = default;
    ScratchDisk(const ScratchDisk&) = delete;
    ScratchDisk& operator=(const ScratchDisk&) = delete;
    ~ScratchDisk();

    // Mounts a tmpfs of `kib` KiB. Empty when mounted, otherwise why it could not be.
    std::string mount(std::size_t kib);
    const std::filesystem::path& path() const { return path_; }

    // Fills the disk with a filler file, then gives back exactly `pages` pages.
    // Empty when done, otherwise what went wrong.
    std::string leaveFreePages(std::size_t pages);
    // Removes the filler: the disk has room again.
    void removeFiller();
    std::size_t freeBytes() const;

private:
    std::filesystem::path path_;
    bool mounted_ = false;
};

// A folder that nobody can reach, with a copy of the test program in it (the
// build tree may be out of nobody's reach) and a work folder owned by nobody.
class AsNobody {
public:
    struct Run {
        bool started = false;
        int exitCode = -1;   // -1 when the program did not end by itself (a signal, or too slow)
        std::string output;  // standard output, trimmed
        std::string errors;  // standard error
    };

    AsNobody() = default;
    AsNobody(const AsNobody&) = delete;
    AsNobody& operator=(const AsNobody&) = delete;
    ~AsNobody();

    // This test program's own path.
    static std::string self();

    // Sets everything up and checks that the copy really runs as nobody. Empty
    // when ready, otherwise why the fault cannot be set up.
    std::string prepare(const std::string& program);

    // The folder owned by nobody.
    const std::filesystem::path& work() const { return work_; }
    // Gives a file or folder to nobody. Empty when done, otherwise the reason.
    std::string giveToNobody(const std::filesystem::path& path) const;
    uid_t uid() const { return uid_; }
    gid_t gid() const { return gid_; }

    // Runs the copy as nobody with the arguments, in this process's environment
    // with HOME set to a folder of nobody's own; `environment` entries
    // ("NAME=value") are added to it or replace what it has. A run that takes
    // longer than a minute is killed.
    Run run(const std::vector<std::string>& args, const std::vector<std::string>& environment = {}) const;

private:
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    std::filesystem::path base_, helper_, work_, home_;
};

// For the program's main: answers the "--whoami" call of AsNobody::prepare by
// printing the effective user id. True when argv was that call.
bool AnswerWhoAmI(int argc, char** argv);

}  // namespace faultsetup
