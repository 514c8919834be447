// Every picture that the layout data names is in the art folder, in the format
// its name says, at the pixel size the data gives: read from the file's own
// header (a JPEG's start-of-frame segment, a bitmap's info header), with no
// image library.

#include "screens/Layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

using namespace layout;
namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned Byte(const std::string& b, std::size_t at) { return static_cast<unsigned char>(b[at]); }
unsigned Big16(const std::string& b, std::size_t at) { return Byte(b, at) << 8 | Byte(b, at + 1); }
std::uint32_t Little16(const std::string& b, std::size_t at) { return Byte(b, at) | Byte(b, at + 1) << 8; }
std::uint32_t Little32(const std::string& b, std::size_t at) { return Little16(b, at) | Little16(b, at + 2) << 16; }

struct Picture {
    std::string format;  // "JPEG" or "BMP"
    int width = 0, height = 0;
    int bitsPerPixel = 0;      // BMP: bits a pixel; JPEG: 8 times the components
    bool compressed = false;   // BMP: anything but plain RGB
};

// A JPEG's size is in its first start-of-frame segment (SOF0 to SOF15, but for
// the table markers C4, C8 and CC that share the range). Segments are walked
// from the start of the image; the size is never guessed from the file's length.
std::optional<Picture> ReadJpeg(const std::string& b, std::string& why) {
    if (b.size() < 4 || Byte(b, 0) != 0xFF || Byte(b, 1) != 0xD8) {
        why = "no JPEG start-of-image marker";
        return std::nullopt;
    }
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (Byte(b, at) != 0xFF) {
            why = "a segment does not start with a marker at byte " + std::to_string(at);
            return std::nullopt;
        }
        const unsigned marker = Byte(b, at + 1);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) break;  // end of image, or the scan before any frame
        const std::size_t length = Big16(b, at + 2);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (at + 2 + length > b.size() || length < 8) break;
            Picture p;
            p.format = "JPEG";
            p.height = static_cast<int>(Big16(b, at + 5));
            p.width = static_cast<int>(Big16(b, at + 7));
            p.bitsPerPixel = static_cast<int>(Byte(b, at + 4) * Byte(b, at + 9));
            return p;
        }
        at += 2 + length;
    }
    why = "no start-of-frame segment";
    return std::nullopt;
}

// A Windows bitmap: the file header ("BM", the file's size, the pixels' offset),
// then an info header of at least 40 bytes with width, height (negative when
// stored top down), planes, bits a pixel and the compression.
std::optional<Picture> ReadBmp(const std::string& b, std::string& why) {
    if (b.size() < 54 || b.compare(0, 2, "BM") != 0) {
        why = "no bitmap file header";
        return std::nullopt;
    }
    if (Little32(b, 2) != b.size()) {
        why = "the header's file size " + std::to_string(Little32(b, 2)) + " is not the file's, " + std::to_string(b.size());
        return std::nullopt;
    }
    if (Little32(b, 14) < 40) {
        why = "an info header of " + std::to_string(Little32(b, 14)) + " bytes";
        return std::nullopt;
    }
    Picture p;
    p.format = "BMP";
    p.width = static_cast<std::int32_t>(Little32(b, 18));
    const auto height = static_cast<std::int32_t>(Little32(b, 22));
    p.height = height < 0 ? -height : height;
    p.bitsPerPixel = static_cast<int>(Little16(b, 28));
    p.compressed = Little32(b, 30) != 0;
    // The pixels must all be in the file: rows padded to four bytes.
    const std::uint64_t row = (static_cast<std::uint64_t>(p.width) * static_cast<std::uint64_t>(p.bitsPerPixel) + 31) / 32 * 4;
    if (!p.compressed && Little32(b, 10) + row * static_cast<std::uint64_t>(p.height) > b.size()) {
        why = "the file is shorter than its pixels";
        return std::nullopt;
    }
    return p;
}

std::optional<Picture> ReadPicture(const fs::path& path, std::string& why) {
    const std::string bytes = ReadBytes(path);
    if (bytes.empty()) {
        why = "missing or empty";
        return std::nullopt;
    }
    if (path.extension() == ".jpg") return ReadJpeg(bytes, why);
    if (path.extension() == ".bmp") return ReadBmp(bytes, why);
    why = "a picture file that is neither .jpg nor .bmp";
    return std::nullopt;
}

}  // namespace

TEST(PictureFiles, EveryPictureNamedInTheDataIsThereAtItsSize) {
    const WindowLayout* windows[kHelpWindows + 1] = {&MainWindow()};
    for (int i = 0; i < kHelpWindows; ++i) windows[i + 1] = &Help(static_cast<HelpWindow>(i));
    std::vector<std::string> named;
    for (const WindowLayout* window : windows) {
        for (const ControlLayout& c : window->controls) {
            const bool showsAPicture = c.kind == Kind::PictureBox || c.kind == Kind::Image;
            EXPECT_EQ(showsAPicture, !c.picture.empty()) << window->name << "." << c.name;
            if (c.picture.empty()) continue;
            SCOPED_TRACE(std::string(window->name) + "." + std::string(c.name) + ": " + std::string(c.picture));
            named.emplace_back(c.picture);
            std::string why;
            const std::optional<Picture> picture = ReadPicture(fs::path(OMBREL_ART_DIR) / c.picture, why);
            ASSERT_TRUE(picture.has_value()) << why;
            EXPECT_EQ(picture->width, c.pictureWidth);
            EXPECT_EQ(picture->height, c.pictureHeight);
        }
    }
    EXPECT_EQ(named, (std::vector<std::string>{"measure.jpg", "printer-port.jpg", "vfd-display.jpg", "probes.jpg",
                                               "fourth-axis-homing.bmp"}));
}

// The photographs are colour JPEGs (three components of 8 bits); the homing
// picture is an uncompressed bitmap of 24 bits a pixel.
TEST(PictureFiles, FormatsAreTheStatedOnes) {
    struct Case {
        const char* file;
        const char* format;
        int bitsPerPixel;
    };
    for (const Case c : {Case{"measure.jpg", "JPEG", 24}, Case{"printer-port.jpg", "JPEG", 24},
                         Case{"vfd-display.jpg", "JPEG", 24}, Case{"probes.jpg", "JPEG", 24},
                         Case{"fourth-axis-homing.bmp", "BMP", 24}}) {
        SCOPED_TRACE(c.file);
        std::string why;
        const std::optional<Picture> picture = ReadPicture(fs::path(OMBREL_ART_DIR) / c.file, why);
        ASSERT_TRUE(picture.has_value()) << why;
        EXPECT_EQ(picture->format, c.format);
        EXPECT_EQ(picture->bitsPerPixel, c.bitsPerPixel);
        EXPECT_FALSE(picture->compressed);
    }
}

// The readers themselves, on small made-up headers: a JPEG whose frame follows
// other segments, a progressive JPEG, a bitmap stored top down, and files that
// are not what they claim.
TEST(PictureFiles, HeaderReadersFindTheSizeAndRefuseWhatIsNotAPicture) {
    using namespace std::string_literals;
    const std::string app0 = "\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"s;
    const std::string dht = "\xFF\xC4\x00\x05\x00\x00\x00"s;  // a table in the frame markers' range
    const std::string sof0 = "\xFF\xC0\x00\x11\x08\x01\xC2\x01\x8F\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01"s;
    const std::string sof2 = "\xFF\xC2\x00\x0B\x08\x00\x10\x00\x20\x01\x01\x11\x00"s;
    std::string why;

    const auto jpeg = ReadJpeg("\xFF\xD8"s + app0 + dht + sof0 + "\xFF\xD9"s, why);
    ASSERT_TRUE(jpeg.has_value()) << why;
    EXPECT_EQ(jpeg->width, 399);
    EXPECT_EQ(jpeg->height, 450);
    EXPECT_EQ(jpeg->bitsPerPixel, 24);

    const auto progressive = ReadJpeg("\xFF\xD8"s + "\xFF"s + sof2, why);  // with a fill byte before the marker
    ASSERT_TRUE(progressive.has_value()) << why;
    EXPECT_EQ(progressive->width, 32);
    EXPECT_EQ(progressive->height, 16);
    EXPECT_EQ(progressive->bitsPerPixel, 8);

    EXPECT_FALSE(ReadJpeg("\xFF\xD8"s + app0 + "\xFF\xDA\x00\x02"s, why)) << "a scan before any frame";
    EXPECT_FALSE(ReadJpeg("BM"s + std::string(60, '\0'), why));
    EXPECT_FALSE(ReadJpeg("\xFF\xD8"s + app0.substr(0, 10), why)) << "cut short";

    // A top-down bitmap of 3 x 2 pixels, 24 bits: rows of 12 bytes.
    std::string bmp = "BM"s + std::string(52, '\0') + std::string(24, '\x7F');
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    put32(2, static_cast<std::uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 3);
    put32(22, static_cast<std::uint32_t>(-2));
    bmp[26] = 1;
    bmp[28] = 24;
    const auto bitmap = ReadBmp(bmp, why);
    ASSERT_TRUE(bitmap.has_value()) << why;
    EXPECT_EQ(bitmap->width, 3);
    EXPECT_EQ(bitmap->height, 2);
    EXPECT_EQ(bitmap->bitsPerPixel, 24);
    EXPECT_FALSE(bitmap->compressed);

    EXPECT_FALSE(ReadBmp(bmp.substr(0, bmp.size() - 1), why)) << "the size field does not match";
    std::string rle = bmp;
    rle[30] = 1;
    const auto compressed = ReadBmp(rle, why);
    ASSERT_TRUE(compressed.has_value()) << why;
    EXPECT_TRUE(compressed->compressed);
    EXPECT_FALSE(ReadBmp("\xFF\xD8\xFF\xE0"s + std::string(60, '\0'), why));
}
