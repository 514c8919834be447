// Fuzzes the profile text store. An input is
//   [key length: 1 byte][value length: 1 byte][key][value][profile bytes...]
// and for any such bytes:
//  - LoadTag gives exactly the span a plain reference search finds (and reads
//    nothing outside the text: the sanitizers watch that);
//  - UpdateTag changes only that span, and nothing when there is none;
//  - a file loaded and written back holds the same bytes.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <unistd.h>

#include "profile/TextStore.h"

namespace {

// The value's span by the plainest possible search, for comparison.
bool ReferenceSpan(const std::string& text, const std::string& key, std::size_t& begin, std::size_t& end) {
    std::size_t a = std::string::npos;
    for (std::size_t i = 0; i + key.size() <= text.size(); ++i) {
        if (text.compare(i, key.size(), key) == 0) {
            a = i;
            break;
        }
    }
    if (a == std::string::npos) return false;
    std::size_t b = a;
    while (b < text.size() && text[b] != '>') ++b;
    if (b == text.size()) return false;
    std::size_t c = b + 1;
    while (c < text.size() && text[c] != '<') ++c;
    if (c == text.size()) return false;
    begin = b + 1;
    end = c;
    return true;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "store property broken: %s\n", what);
    std::abort();
}

std::string FolderForFiles() {
    // A memory file system keeps the file round trip (and its fsync) cheap.
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    return std::string(base) + "/ombrel-fuzz-" + std::to_string(getpid());
}

std::string ReadRaw(const std::string& path) {
    std::string out;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[65536];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
        std::fclose(f);
    }
    return out;
}

void WriteRaw(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) Fail("cannot create the scratch file");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t keyLen = data[0];
    const std::size_t valLen = data[1];
    if (size < 2 + keyLen + valLen) return 0;
    const char* p = reinterpret_cast<const char*>(data) + 2;
    const std::string key(p, keyLen);
    const std::string value(p + keyLen, valLen);
    const std::string text(p + keyLen + valLen, size - 2 - keyLen - valLen);

    std::size_t begin = 0;
    std::size_t end = 0;
    const bool found = ReferenceSpan(text, key, begin, end);

    const std::string loaded = profile::LoadTag(text, key);
    if (found ? loaded != text.substr(begin, end - begin) : !loaded.empty()) Fail("LoadTag");

    std::string updated = text;
    profile::UpdateTag(updated, key, value);
    if (found) {
        if (updated != text.substr(0, begin) + value + text.substr(end)) Fail("UpdateTag outside the span");
    } else if (updated != text) {
        Fail("UpdateTag changed a text without the key's value");
    }

    static const std::string folder = [] {
        const std::string f = FolderForFiles();
        std::system(("mkdir -p '" + f + "'").c_str());
        return f;
    }();
    const std::string path = folder + "/profile.xml";
    WriteRaw(path, text);
    std::string read;
    if (!profile::LoadProfile(path, read)) Fail("LoadProfile failed");
    if (read != text) Fail("LoadProfile changed bytes");
    if (!profile::WriteProfile(path, updated)) Fail("WriteProfile failed");
    if (ReadRaw(path) != updated) Fail("WriteProfile changed bytes");
    return 0;
}
