#include "EditorTest.h"

#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

fs::path Utf8Path(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string PathUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        ADD_FAILURE() << "Could not read " << PathUtf8(path);
        return {};
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) ADD_FAILURE() << "Could not write " << PathUtf8(path);
}

void EditorTest::SetUp() {
    // A folder of its own under the system's temporary folder.
    std::random_device seed;
    std::mt19937_64 random(seed());
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    ASSERT_FALSE(ec) << "no temporary folder: " << ec.message();
    for (int attempt = 0; attempt < 100 && dir_.empty(); ++attempt) {
        const fs::path candidate = base / ("ombrel-editor-test-" + std::to_string(random() % 1000000000));
        if (fs::create_directory(candidate, ec)) dir_ = candidate;
    }
    ASSERT_FALSE(dir_.empty()) << "could not make a temporary folder in " << PathUtf8(base);
    restart();
}

void EditorTest::TearDown() {
    window.reset();
    form.attach(nullptr);
    if (dir_.empty()) return;
    std::error_code ec;
    // A test may have left a folder without write permission behind.
    for (auto it = fs::recursive_directory_iterator(dir_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        std::error_code ignored;
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(dir_, ec);
    EXPECT_FALSE(ec) << "could not remove " << PathUtf8(dir_) << ": " << ec.message();
}

void EditorTest::restart() {
    window.reset();
    form.reset();
    window = std::make_unique<MainScreen>(form, dialogs);
    form.attach(window.get());
    window->Form_Load();
}

fs::path EditorTest::writeFile(const fs::path& name, std::string_view bytes) const {
    const fs::path path = dir_ / name;
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    WriteBytes(path, bytes);
    return path;
}
