#pragma once
// The one place that talks to the operating system directly: forcing written
// bytes onto the disk. Everything else goes through QtCore.

#include <string>

namespace profile::disk {

// Forces the bytes written to the open file descriptor fd onto the disk.
// Returns an empty text on success, otherwise the system's reason.
std::string SyncFile(int fd);

// Forces the folder's entries (after a file in it was replaced) onto the disk.
// Best effort: a folder that cannot be synced leaves the data already safe.
void SyncFolder(const std::string& folderPath);

}  // namespace profile::disk
