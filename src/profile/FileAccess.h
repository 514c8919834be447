#pragma once
// The small file layer under the profile store, one source file per operating
// system (FilePosix.cpp, FileWindows.cpp): a file read whole, and a file
// replaced whole through a temporary file in its folder. Every failure carries
// the system's own reason for it.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace profile::files {

struct Outcome {
    bool ok = false;
    // Empty when ok; otherwise the system's reason, in UTF-8, without the path
    // ("No space left on device").
    std::string reason;
    explicit operator bool() const { return ok; }
};

// Reads the whole file into `bytes` in one pass, to its end. A file of more
// than `largest` bytes is refused. On failure `bytes` is left as it was.
Outcome ReadWhole(const std::filesystem::path& path, std::string& bytes, std::uint64_t largest);

// Replaces the file with `bytes`: they are written to a temporary file in the
// same folder, every byte flushed to the disk, and only then does the temporary
// file replace the profile (the folder is synced after, where the system has
// such a thing). The profile keeps its permission bits (or attributes); through
// a symbolic link the link's target is replaced and the link stays. On any
// failure the file on disk is exactly as it was and no temporary file is left.
// An existing file that cannot be written (read-only) is refused like a direct
// write would be.
Outcome ReplaceWhole(const std::filesystem::path& path, std::string_view bytes);

// The path as UTF-8 text, for messages.
std::string PathText(const std::filesystem::path& path);

}  // namespace profile::files
