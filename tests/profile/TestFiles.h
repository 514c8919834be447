#pragma once
// Small file helpers for the store's tests: whole files as byte strings, a
// fresh folder per test, and the names a folder holds. Standard C++ only, so
// that the tests that use them run on every system.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace testfiles {

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Every byte value 0x00-0xFF, three times over in different orders.
inline std::string EveryByteValue() {
    std::string s;
    for (int i = 0; i < 256; ++i) s += static_cast<char>(i);
    for (int i = 255; i >= 0; --i) s += static_cast<char>(i);
    for (int i = 0; i < 256; ++i) s += static_cast<char>((i * 7) & 0xFF);
    return s;
}

// A path as UTF-8 text.
inline std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// Permission bits as the octal number people know them by ("0640").
inline std::string Octal(std::filesystem::perms perms) {
    const unsigned bits = static_cast<unsigned>(perms) & 07777u;
    std::string text;
    for (int shift = 9; shift >= 0; shift -= 3) text += static_cast<char>('0' + ((bits >> shift) & 7u));
    return text;
}

// The names in a folder, sorted, as UTF-8.
inline std::vector<std::string> Names(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(folder, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec)) {
        names.push_back(Utf8(it->path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A new, empty folder under the system's temporary folder, removed with all it
// holds when the object goes.
class TempFolder {
public:
    TempFolder() {
        std::error_code ec;
        const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const std::filesystem::path candidate = base / ("ombrel-test-" + std::to_string(random() % 1000000000));
            if (std::filesystem::create_directory(candidate, ec)) path_ = candidate;
        }
    }
    ~TempFolder() {
        if (path_.empty()) return;
        std::error_code ec;
        // Folders a test made read-only must be writable again to be emptied.
        for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_directory(ec) && !it->is_symlink(ec))
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ec);
        }
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool valid() const { return !path_.empty(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace testfiles
