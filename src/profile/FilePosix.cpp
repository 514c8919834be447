// The file layer on POSIX systems: open, read, write, fsync and rename.

#include <fcntl.h>
#include <limits.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

#include "profile/FileAccess.h"

namespace profile::files {
namespace {

// The system's text for an error number. The window speaks English, so the
// reason is taken in the C locale, whatever the user's language.
std::string Reason(int error) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (c != static_cast<locale_t>(nullptr)) return strerror_l(error, c);
    return std::strerror(error);
}

Outcome Failed(int error) { return {false, Reason(error)}; }
Outcome Failed(std::string reason) { return {false, std::move(reason)}; }

// Links followed before giving up, as the system does.
constexpr int kMostLinks = 40;

std::string TooLarge(std::uint64_t largest) {
    return "the file is larger than " + std::to_string(largest) + " bytes, the most a profile can hold";
}

// Closes a descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now; the error of close, 0 when none.
    int close() {
        if (fd_ < 0) return 0;
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 || errno == EINTR ? 0 : errno;
    }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// Writes all bytes, going on after short writes and interruptions; 0 or the error.
int WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (wrote == 0) return ENOSPC;
        done += static_cast<std::size_t>(wrote);
    }
    return 0;
}

int Sync(int fd) {
    while (::fsync(fd) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

// The file a write must replace: a symbolic link is followed to its final
// target, also when that target does not exist, so that the link stays a link.
// A relative link is read against the folder the link lies in.
Outcome Target(const std::filesystem::path& path, std::filesystem::path& target) {
    std::filesystem::path current = path;
    for (int hops = 0; hops < kMostLinks; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            target = current;
            return {true, {}};
        }
        std::error_code ec;
        const std::filesystem::path next = std::filesystem::read_symlink(current, ec);
        if (ec) return Failed(ec.value());
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return Failed(ELOOP);
}

// The temporary file's name beside `target`: hidden, and short enough for the
// folder even when the profile's own name is as long as a name can be.
std::string TemporaryName(const std::filesystem::path& target, const std::filesystem::path& folder) {
    std::string name = target.filename().string();
    constexpr std::size_t kRoom = NAME_MAX - 8;  // the leading '.', the '.' and "XXXXXX"
    if (name.size() > kRoom) name.resize(kRoom);
    return (folder / ("." + name + ".XXXXXX")).string();
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

std::string PathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

Outcome ReadWhole(const std::filesystem::path& path, std::string& bytes, std::uint64_t largest) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return Failed(errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return Failed(errno);
    if (S_ISDIR(info.st_mode)) return Failed(EISDIR);

    std::string text;
    if (S_ISREG(info.st_mode)) {
        if (static_cast<std::uint64_t>(info.st_size) > largest) return Failed(TooLarge(largest));
        // Room behind the text, so that the longer values of a save do not move it.
        text.reserve(static_cast<std::size_t>(info.st_size) + 64 * 1024);
    }
    // Read to the end, whatever the size said: a file that grows meanwhile is read whole.
    std::vector<char> chunk(1 << 20);
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk.data(), chunk.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            return Failed(errno);
        }
        if (got == 0) break;
        if (text.size() + static_cast<std::size_t>(got) > largest) return Failed(TooLarge(largest));
        text.append(chunk.data(), static_cast<std::size_t>(got));
    }
    bytes = std::move(text);
    return {true, {}};
}

Outcome ReplaceWhole(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path target;
    if (const Outcome followed = Target(path, target); !followed) return followed;
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";

    // An existing file: refused like a direct write when it cannot be written;
    // its permission bits and owner go to the new file. Only a regular file is
    // replaced: a device or a pipe in the profile's place is not swapped for one.
    struct stat info {};
    const bool existed = ::stat(target.c_str(), &info) == 0;
    if (existed) {
        if (S_ISDIR(info.st_mode)) return Failed(EISDIR);
        if (!S_ISREG(info.st_mode)) return Failed(std::string("not a regular file"));
        Descriptor probe(::open(target.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
        if (!probe.valid()) return Failed(errno);
    } else if (errno != ENOENT) {
        return Failed(errno);
    }
    const mode_t mode = existed ? (info.st_mode & 07777) : (0666 & ~CurrentUmask());

    std::string temporary = TemporaryName(target, folder);
    Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.valid()) return Failed(errno);
    const auto abandon = [&](int error) {
        fd.reset();
        ::unlink(temporary.c_str());
        return Failed(error);
    };

    if (const int error = WriteAll(fd.get(), bytes)) return abandon(error);
    // The owner first: giving a file away clears its set-user and set-group bits.
    if (existed && (info.st_uid != ::geteuid() || info.st_gid != ::getegid())) {
        // Only the superuser may give a file away; anyone else keeps at least its
        // group when they belong to it. Otherwise the new file is theirs.
        if (::fchown(fd.get(), info.st_uid, info.st_gid) != 0) {
            [[maybe_unused]] const int kept = ::fchown(fd.get(), static_cast<uid_t>(-1), info.st_gid);
        }
    }
    if (::fchmod(fd.get(), mode) != 0) return abandon(errno);
    // Every byte must be on the disk before the temporary file replaces the
    // profile: a full disk can show only here, when the blocks are allocated.
    if (const int error = Sync(fd.get())) return abandon(error);
    if (const int error = fd.close()) {
        ::unlink(temporary.c_str());
        return Failed(error);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Failed(error);
    }

    // The folder's new entry onto the disk too; the data is safe already if this fails.
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid()) Sync(dir.get());
    return {true, {}};
}

}  // namespace profile::files
