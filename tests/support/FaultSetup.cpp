#include "FaultSetup.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

extern char** environ;

namespace fs = std::filesystem;

namespace faultsetup {

// --- A full disk -------------------------------------------------------------

ScratchDisk::~ScratchDisk() {
    if (mounted_ && ::umount2(path_.c_str(), 0) != 0) ::umount2(path_.c_str(), MNT_DETACH);
    std::error_code ec;
    if (!path_.empty()) fs::remove(path_, ec);
}

std::string ScratchDisk::mount(std::size_t kib) {
    if (::geteuid() != 0) return "mounting a tmpfs needs root; run the tests as root";
    char base[] = "/tmp/ombrel-disk-XXXXXX";
    if (::mkdtemp(base) == nullptr) return std::string("mkdtemp: ") + std::strerror(errno);
    path_ = base;
    const std::string options = "size=" + std::to_string(kib) + "k,mode=0755";
    if (::mount("tmpfs", base, "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
        const int err = errno;
        std::error_code ec;
        fs::remove(path_, ec);
        path_.clear();
        return std::string("mount -t tmpfs refused: ") + std::strerror(err);
    }
    mounted_ = true;
    return {};
}

std::string ScratchDisk::leaveFreePages(std::size_t pages) {
    const fs::path filler = path_ / "filler";
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return std::string("cannot create the filler: ") + std::strerror(errno);
    const std::string chunk(kPage, 'f');
    std::size_t size = 0;
    for (;;) {
        const ssize_t n = ::write(fd, chunk.data(), chunk.size());
        if (n <= 0) break;
        size += static_cast<std::size_t>(n);
    }
    const std::size_t usedPages = (size + kPage - 1) / kPage;
    if (usedPages < pages) {
        ::close(fd);
        return "the tmpfs is too small to leave " + std::to_string(pages) + " pages free";
    }
    if (::ftruncate(fd, static_cast<off_t>((usedPages - pages) * kPage)) != 0) {
        const int err = errno;
        ::close(fd);
        return std::string("ftruncate: ") + std::strerror(err);
    }
    ::close(fd);
    if (freeBytes() != pages * kPage)
        return "the tmpfs does not count pages as expected: " + std::to_string(freeBytes()) + " bytes free";
    return {};
}

void ScratchDisk::removeFiller() {
    std::error_code ec;
    fs::remove(path_ / "filler", ec);
}

std::size_t ScratchDisk::freeBytes() const {
    struct statvfs st {};
    if (::statvfs(path_.c_str(), &st) != 0) return 0;
    return static_cast<std::size_t>(st.f_bavail) * st.f_frsize;
}

// --- The user nobody -----------------------------------------------------------

AsNobody::~AsNobody() {
    if (base_.empty()) return;
    std::error_code ec;
    // Folders the test made read-only must be writable again to be removed.
    for (auto it = fs::recursive_directory_iterator(base_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->is_directory(ec) && !it->is_symlink(ec)) fs::permissions(it->path(), fs::perms::owner_all, ec);
    fs::remove_all(base_, ec);
}

std::string AsNobody::self() {
    std::error_code ec;
    const fs::path path = fs::canonical("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
}

std::string AsNobody::prepare(const std::string& program) {
    if (::geteuid() != 0) return "switching to the user nobody needs root; run the tests as root";
    const passwd* pw = ::getpwnam("nobody");
    const group* gr = ::getgrnam("nogroup");
    if (pw == nullptr || gr == nullptr) return "no user nobody or group nogroup";
    uid_ = pw->pw_uid;
    gid_ = gr->gr_gid;
    char base[] = "/tmp/ombrel-nobody-XXXXXX";
    if (::mkdtemp(base) == nullptr) return std::string("mkdtemp: ") + std::strerror(errno);
    base_ = base;
    std::error_code ec;
    fs::permissions(base_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec, ec);
    helper_ = base_ / "helper";
    fs::copy_file(program, helper_, ec);
    if (ec) return "cannot copy the test program " + program + ": " + ec.message();
    fs::permissions(helper_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec, ec);
    work_ = base_ / "work";
    fs::create_directory(work_, ec);
    if (ec) return "cannot create the work folder: " + ec.message();
    if (const std::string why = giveToNobody(work_); !why.empty()) return why;
    // A home of its own, so that nothing the program keeps there lands in the work folder.
    home_ = base_ / "home";
    fs::create_directory(home_, ec);
    if (ec) return "cannot create a home folder: " + ec.message();
    if (const std::string why = giveToNobody(home_); !why.empty()) return why;

    // The copy must really run as nobody, or the tests prove nothing.
    const Run who = run({"--whoami"});
    if (!who.started) return who.output;
    if (who.output != std::to_string(uid_)) return "the helper did not run as nobody: " + who.output + who.errors;
    return {};
}

std::string AsNobody::giveToNobody(const fs::path& path) const {
    if (::lchown(path.c_str(), uid_, gid_) != 0) return "chown " + path.string() + ": " + std::strerror(errno);
    return {};
}

namespace {

// This process's environment with HOME replaced, XDG_RUNTIME_DIR (root's)
// dropped, and the extra entries added or put in place of their names.
std::vector<std::string> Environment(const fs::path& home, const std::vector<std::string>& extra) {
    std::vector<std::string> entries;
    const auto nameOf = [](const std::string& entry) { return entry.substr(0, entry.find('=')); };
    const auto overridden = [&](const std::string& name) {
        if (name == "HOME" || name == "XDG_RUNTIME_DIR") return true;
        for (const std::string& e : extra)
            if (nameOf(e) == name) return true;
        return false;
    };
    for (char** e = environ; e != nullptr && *e != nullptr; ++e) {
        const std::string entry = *e;
        if (!overridden(nameOf(entry))) entries.push_back(entry);
    }
    entries.push_back("HOME=" + home.string());
    entries.insert(entries.end(), extra.begin(), extra.end());
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& t : texts) pointers.push_back(t.data());
    pointers.push_back(nullptr);
    return pointers;
}

std::string Trimmed(const std::string& text) {
    const char* space = " \t\r\n\f\v";
    const std::size_t first = text.find_first_not_of(space);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

double Now() {
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

AsNobody::Run AsNobody::run(const std::vector<std::string>& args, const std::vector<std::string>& environment) const {
    Run result;
    std::vector<std::string> argvTexts{helper_.string()};
    argvTexts.insert(argvTexts.end(), args.begin(), args.end());
    std::vector<std::string> envTexts = Environment(home_, environment);
    const std::vector<char*> argv = Pointers(argvTexts);
    const std::vector<char*> envp = Pointers(envTexts);

    // Standard output, standard error, and a pipe that tells whether the
    // helper was started: it closes on exec, or carries the errno that stopped it.
    int out[2], err[2], started[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0 || ::pipe2(started, O_CLOEXEC) != 0) {
        result.output = std::string("pipe: ") + std::strerror(errno);
        return result;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        result.output = std::string("fork: ") + std::strerror(errno);
        for (int fd : {out[0], out[1], err[0], err[1], started[0], started[1]}) ::close(fd);
        return result;
    }
    if (pid == 0) {
        // The child: only calls that are safe between fork and exec.
        int error = 0;
        if (::dup2(out[1], 1) < 0 || ::dup2(err[1], 2) < 0) error = errno;
        if (error == 0 && ::chdir(base_.c_str()) != 0) error = errno;
        if (error == 0 && ::setgroups(0, nullptr) != 0) error = errno;
        if (error == 0 && ::setresgid(gid_, gid_, gid_) != 0) error = errno;
        if (error == 0 && ::setresuid(uid_, uid_, uid_) != 0) error = errno;
        if (error == 0) {
            ::execve(argv[0], argv.data(), envp.data());
            error = errno;
        }
        [[maybe_unused]] const ssize_t told = ::write(started[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    ::close(started[1]);

    int execError = 0;
    const ssize_t got = ::read(started[0], &execError, sizeof execError);
    ::close(started[0]);
    result.started = got <= 0;

    // Both outputs read as they come, so that neither pipe fills up and stops the helper.
    std::string texts[2];
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    const double deadline = Now() + 60;
    bool tooSlow = false;
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const double left = deadline - Now();
        if (left <= 0) {
            tooSlow = true;
            break;
        }
        const int ready = ::poll(fds, 2, static_cast<int>(left * 1000) + 1);
        if (ready < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                texts[i].append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
            }
        }
    }
    for (const pollfd& p : fds)
        if (p.fd >= 0) ::close(p.fd);
    if (tooSlow) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }

    if (!result.started) {
        result.output = "the helper " + helper_.string() + " could not be started as nobody: " + std::strerror(execError);
        return result;
    }
    result.exitCode = !tooSlow && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.output = Trimmed(texts[0]);
    result.errors = texts[1];
    if (tooSlow) result.errors += "\n(killed: still running after 60 s)";
    return result;
}

bool AnswerWhoAmI(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--whoami") != 0) return false;
    std::printf("%u\n", static_cast<unsigned>(::geteuid()));
    return true;
}

}  // namespace faultsetup
