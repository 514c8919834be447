#include "profile/DiskSync.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace profile::disk {

std::string SyncFile(int fd) {
#ifdef _WIN32
    if (_commit(fd) != 0) return std::strerror(errno);
#else
    while (::fsync(fd) != 0) {
        if (errno != EINTR) return std::strerror(errno);
    }
#endif
    return {};
}

void SyncFolder([[maybe_unused]] const std::string& folderPath) {
#ifndef _WIN32
    const int fd = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    while (::fsync(fd) != 0 && errno == EINTR) {
    }
    ::close(fd);
#endif
}

}  // namespace profile::disk
