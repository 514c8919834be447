#pragma once
// Small file helpers for the store's tests: whole files as byte strings.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

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

}  // namespace testfiles
