#include "FaultSetup.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

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
    if (!who.started) return "setpriv could not be started: " + who.output;
    if (who.output != std::to_string(uid_)) return "setpriv did not switch to nobody: " + who.output + who.errors;
    return {};
}

std::string AsNobody::giveToNobody(const fs::path& path) const {
    if (::lchown(path.c_str(), uid_, gid_) != 0) return "chown " + path.string() + ": " + std::strerror(errno);
    return {};
}

AsNobody::Run AsNobody::run(const QStringList& args, const QStringList& environment) const {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), QString::fromStdString(home_.string()));
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    for (const QString& entry : environment) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        env.insert(entry.left(eq), entry.mid(eq + 1));
    }
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QString::fromStdString(base_.string()));
    p.start(QStringLiteral("setpriv"), QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                                   QString::fromStdString(helper_.string())} + args);
    Run result;
    if (!p.waitForStarted(10000)) {
        result.output = p.errorString().toStdString();
        return result;
    }
    p.waitForFinished(60000);
    result.started = true;
    result.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    result.output = p.readAllStandardOutput().trimmed().toStdString();
    result.errors = p.readAllStandardError().toStdString();
    return result;
}

bool AnswerWhoAmI(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--whoami") != 0) return false;
    std::printf("%u\n", static_cast<unsigned>(::geteuid()));
    return true;
}

}  // namespace faultsetup
