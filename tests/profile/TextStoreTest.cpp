// The profile text store: values found and replaced by key, files read whole
// and written back byte for byte, and the reasons of failed loads and writes.
// Standard C++ only: these tests run on every system.

#include "profile/TextStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "Reasons.h"
#include "TestFiles.h"

using namespace profile;
using testfiles::Names;
using testfiles::ReadBytes;
using testfiles::WriteBytes;
namespace fs = std::filesystem;

namespace {

std::string Bytes(const char* s, std::size_t n) { return {s, n}; }

// A fresh folder for each test, removed afterwards.
class StoreFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.valid()) << "no temporary folder"; }
    const fs::path& Folder() const { return dir_.path(); }
    fs::path Path(const fs::path& name) const { return dir_.path() / name; }
    std::vector<std::string> Names() const { return testfiles::Names(dir_.path()); }

private:
    testfiles::TempFolder dir_;
};

}  // namespace

// --- Search and replace ------------------------------------------------------

struct TagCase {
    const char* name;
    std::string text;
    std::string key;
    std::string value;    // what LoadTag gives
    std::string newVal;   // given to UpdateTag
    std::string updated;  // the text afterwards
};

void PrintTo(const TagCase& c, std::ostream* os) { *os << c.name; }

class TagCases : public ::testing::TestWithParam<TagCase> {};

TEST_P(TagCases, LoadTagReadsAndUpdateTagReplacesTheSameSpan) {
    const TagCase& c = GetParam();
    EXPECT_EQ(LoadTag(c.text, c.key), c.value);
    std::string text = c.text;
    UpdateTag(text, c.key, c.newVal);
    EXPECT_EQ(text, c.updated);
}

INSTANTIATE_TEST_SUITE_P(
    Store, TagCases,
    ::testing::Values(
        TagCase{"Element", "<a><Steps6>8000</Steps6></a>", "<Steps6>", "8000", "7999.5", "<a><Steps6>7999.5</Steps6></a>"},
        TagCase{"EmptyElement", "<JogInc0></JogInc0>", "<JogInc0>", "", "0.01", "<JogInc0>0.01</JogInc0>"},
        TagCase{"EmptiedElement", "<JogInc0>1.</JogInc0>", "<JogInc0>", "1.", "", "<JogInc0></JogInc0>"},
        TagCase{"SpacesKept", "<Port1Add> 888 </Port1Add>", "<Port1Add>", " 888 ", "888", "<Port1Add>888</Port1Add>"},
        TagCase{"LineBreaksKept", "<P>\r\n 1\t</P>", "<P>", "\r\n 1\t", "2", "<P>2</P>"},
        // Only the first occurrence.
        TagCase{"FirstOccurrenceOnly", "<A>1</A><A>2</A>", "<A>", "1", "9", "<A>9</A><A>2</A>"},
        // The three key forms.
        TagCase{"BareKeyFindsEarlierName", "<XInput22Neg>5</XInput22Neg><Input22Neg>1</Input22Neg>", "Input22Neg", "5", "0",
                "<XInput22Neg>0</XInput22Neg><Input22Neg>1</Input22Neg>"},
        TagCase{"BracketedKeyFindsItsTag", "<XInput22Neg>5</XInput22Neg><Input22Neg>1</Input22Neg>", "<Input22Neg>", "1", "0",
                "<XInput22Neg>5</XInput22Neg><Input22Neg>0</Input22Neg>"},
        TagCase{"OpenKeyFindsLongerName", "<Input11PortA>7</Input11PortA><Input11Port>0</Input11Port>", "<Input11Port", "7", "1",
                "<Input11PortA>1</Input11PortA><Input11Port>0</Input11Port>"},
        TagCase{"FullKeyFindsExactTag", "<Input11PortA>7</Input11PortA><Input11Port>0</Input11Port>", "<Input11Port>", "0", "1",
                "<Input11PortA>7</Input11PortA><Input11Port>1</Input11Port>"},
        TagCase{"JogInc1NotJogInc10", "<JogInc10>5</JogInc10><JogInc1>3</JogInc1>", "<JogInc1>", "3", "4",
                "<JogInc10>5</JogInc10><JogInc1>4</JogInc1>"},
        TagCase{"ClosingTagNotMatched", "</Steps6><Steps6>2</Steps6>", "<Steps6>", "2", "3", "</Steps6><Steps6>3</Steps6>"},
        // A key without brackets can stop inside a closing tag or a value.
        TagCase{"BareKeyInsideValue", "<a>Input11Active</a><Input11Active>1</Input11Active>", "Input11Active", "",
                "0", "<a>Input11Active</a>0<Input11Active>1</Input11Active>"},
        // Case-sensitive.
        TagCase{"CaseSensitive", "<Port1Add>888</Port1Add>", "<port1add>", "", "1", "<Port1Add>888</Port1Add>"},
        TagCase{"EmptyText", "", "<Steps6>", "", "1", ""},
        TagCase{"NoLessThanAfterGreater", "<Steps6>", "<Steps6>", "", "1", "<Steps6>"},  // no "<" after the ">"
        TagCase{"NoGreaterAfterKey", "x <Steps6", "<Steps6", "", "1", "x <Steps6"},   // no ">" after the key
        TagCase{"ValueWithoutEnd", "<Steps6>12", "<Steps6>", "", "1", "<Steps6>12"},
        // The key's '>' search starts at the key itself; markup in the value goes in as given.
        TagCase{"MarkupInsertedAsGiven", "<a b=1>x</a>", "<a", "x", "<&>", "<a b=1><&></a>"},
        TagCase{"EntityKept", "<LaserInit>&gt;</LaserInit>", "<LaserInit>", "&gt;", "&gt;", "<LaserInit>&gt;</LaserInit>"},
        // Every byte value stands around the value unchanged.
        TagCase{"AllByteValues", Bytes("\0\xff<K>\x80\0\x01</K>\xfe\0", 13), "<K>", Bytes("\x80\0\x01", 3), Bytes("\0", 1),
                Bytes("\0\xff<K>\0</K>\xfe\0", 11)}),
    [](const ::testing::TestParamInfo<TagCase>& tagCase) { return std::string(tagCase.param.name); });


// --- Round trips ---------------------------------------------------------------

TEST_F(StoreFiles, SyntheticFilesComeBackByteForByte) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    // Larger than one read of the file layer, and not a multiple of any block size.
    std::string large(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>((i * 131 + i / 4099) & 0xFF);
    const Case cases[] = {
        {"every byte value", testfiles::EveryByteValue()},
        {"empty", ""},
        {"one NUL", Bytes("\0", 1)},
        {"NULs inside tags", Bytes("<a\0>\0<\0/a>", 9)},
        {"CR LF line ends", "<a>\r\n<b>1</b>\r\n</a>\r\n"},
        {"LF, no line end at the end", "<a>\n<b>1</b>\n</a>"},
        {"lone CR", "<a>\r<b>1</b>\r</a>"},
        {"byte-order mark", "\xEF\xBB\xBF<a><b>1</b></a>"},
        {"UTF-16 byte-order mark", Bytes("\xFF\xFE<\0a\0>\0", 8)},
        {"Windows-1252 text", "<LastUser>M\xFCller \x80 \xA9</LastUser>"},
        {"larger than one read", large},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path in = Path("in.xml");
        const fs::path out = Path("out.xml");
        WriteBytes(in, c.bytes);
        std::string text = "previous";
        ASSERT_TRUE(LoadProfile(in, text));
        EXPECT_TRUE(text == c.bytes);
        // Written over a longer file: nothing of the old bytes stays behind.
        WriteBytes(out, std::string(5000, 'z'));
        ASSERT_TRUE(WriteProfile(out, text));
        EXPECT_TRUE(ReadBytes(out) == c.bytes);
        EXPECT_EQ(Names(), (std::vector<std::string>{"in.xml", "out.xml"}));
    }
}

TEST_F(StoreFiles, EmptyFileStaysEmpty) {
    WriteBytes(Path("empty.xml"), "");
    std::string text = "x";
    ASSERT_TRUE(LoadProfile(Path("empty.xml"), text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(LoadTag(text, "<Port1Add>"), "");
    UpdateTag(text, "<Port1Add>", "888");
    EXPECT_EQ(text, "");
    ASSERT_TRUE(WriteProfile(Path("empty.xml"), text));
    EXPECT_EQ(fs::file_size(Path("empty.xml")), 0u);
}

TEST_F(StoreFiles, RealProfilesComeBackByteForByte) {
    const fs::path folder = OMBREL_PROFILES_DIR;
    if (!fs::is_directory(folder)) {
        if (std::getenv("CI")) FAIL() << "the real profiles are missing: " << folder;
        GTEST_SKIP() << "the real profiles are not beside the repository: " << folder;
    }
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".xml") continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++seen;
        const std::string original = ReadBytes(entry.path());
        std::string text;
        ASSERT_TRUE(LoadProfile(entry.path(), text));
        EXPECT_TRUE(text == original);
        const fs::path copy = Path(entry.path().filename());
        ASSERT_TRUE(WriteProfile(copy, text));
        EXPECT_TRUE(ReadBytes(copy) == original);

        // Replacing a value with itself, as an unedited save of a read entry does,
        // changes nothing either.
        for (const char* key : {"<Port1Add>", "<Steps6>", "<JogInc0>", "<PulseWidth>", "<M4RefHome>",
                                "<Input22Neg>", "<Input11Active>", "<Input11Port"}) {
            UpdateTag(text, key, LoadTag(text, key));
        }
        EXPECT_TRUE(text == original);
    }
    EXPECT_GT(seen, 0) << "no profile in " << folder;
}

TEST_F(StoreFiles, ARealProfileChangesOnlyTheReplacedValues) {
    const fs::path file = fs::path(OMBREL_PROFILES_DIR) / "luchesar-cnc-models.xml";
    if (!fs::exists(file)) GTEST_SKIP() << "missing " << file;
    std::string text;
    ASSERT_TRUE(LoadProfile(file, text));
    EXPECT_EQ(LoadTag(text, "<Steps6>"), "1.");
    EXPECT_EQ(LoadTag(text, "Input22Neg"), "1");
    EXPECT_EQ(LoadTag(text, "<LaserInit>"), "&gt;");
    const std::string before = text;
    UpdateTag(text, "<Steps6>", "7999.999");
    const std::size_t at = before.find("<Steps6>") + 8;
    EXPECT_TRUE(text == before.substr(0, at) + "7999.999" + before.substr(at + 2));
}

// --- Load and write results -------------------------------------------------

TEST_F(StoreFiles, LoadFailureNamesTheFileAndItsCauseAndKeepsTheText) {
    std::string text = "kept";
    const fs::path missing = Path("missing.xml");
    const FileResult r = LoadProfile(missing, text);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.reason, reasons::Of(missing, reasons::kFileNotFound));
    EXPECT_EQ(text, "kept");

    fs::create_directory(Path("folder.xml"));
    const FileResult dir = LoadProfile(Path("folder.xml"), text);
    EXPECT_FALSE(dir);
    EXPECT_EQ(dir.reason, reasons::Of(Path("folder.xml"), reasons::kFolderInItsPlace));
    EXPECT_EQ(text, "kept");
}

TEST_F(StoreFiles, FileBeyondSigned32BitPositionsIsRefused) {
    const fs::path big = Path("big.xml");
    WriteBytes(big, "");
    std::error_code ec;
    fs::resize_file(big, 2147483648ull, ec);  // sparse where the file system can: no disk space taken
    if (ec) GTEST_SKIP() << "cannot make a file of 2 GiB here: " << ec.message();
    std::string text = "kept";
    const FileResult r = LoadProfile(big, text);
    EXPECT_FALSE(r);
    EXPECT_EQ(r.reason, reasons::Of(big, "the file is larger than 2147483647 bytes, the most a profile can hold"));
    EXPECT_EQ(text, "kept");
}

TEST_F(StoreFiles, WriteCreatesAMissingFileAndLeavesNoTemporaryFile) {
    ASSERT_TRUE(WriteProfile(Path("new.xml"), "<a>1</a>"));
    EXPECT_EQ(ReadBytes(Path("new.xml")), "<a>1</a>");
    ASSERT_TRUE(WriteProfile(Path("new.xml"), "<a>2</a>"));
    EXPECT_EQ(ReadBytes(Path("new.xml")), "<a>2</a>");
    EXPECT_EQ(Names(), std::vector<std::string>{"new.xml"});
}

// What a save meets at the profile's path after the profile was opened: the
// file gone (written afresh), a folder in its place, or no folder for it.
TEST_F(StoreFiles, WriteAfterTheProfileWasRemovedOrReplaced) {
    struct Case {
        const char* name;
        void (*change)(const fs::path& profile);  // what happens to the profile after it was opened
        fs::path written;                         // where the save goes, relative to the folder
        std::string_view reason;                  // "" when the save succeeds
        std::vector<std::string> namesAfter;
    };
    const Case cases[] = {
        {"file gone", [](const fs::path& p) { fs::remove(p); }, "p.xml", "", {"p.xml"}},
        {"folder in its place",
         [](const fs::path& p) {
             fs::remove(p);
             fs::create_directory(p);
             WriteBytes(p / "inside.txt", "kept");
         },
         "p.xml", reasons::kFolderInItsPlace, {"p.xml"}},
        {"its folder gone", [](const fs::path& p) { fs::remove_all(p.parent_path()); }, "sub/p.xml",
         reasons::kFolderNotFound, {}},
        {"a file in its folder's place",
         [](const fs::path& p) {
             fs::remove_all(p.parent_path());
             WriteBytes(p.parent_path(), "a file");
         },
         "sub/p.xml", reasons::kNotAFolder, {"sub"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testfiles::TempFolder scratch;
        ASSERT_TRUE(scratch.valid());
        const fs::path profile = scratch.path() / c.written;
        fs::create_directories(profile.parent_path());
        WriteBytes(profile, "<a>1</a>");
        std::string text;
        ASSERT_TRUE(LoadProfile(profile, text));
        c.change(profile);

        const FileResult r = WriteProfile(profile, "<a>2</a>");
        if (c.reason.empty()) {
            EXPECT_TRUE(r) << r.reason;
            EXPECT_EQ(ReadBytes(profile), "<a>2</a>");
        } else {
            EXPECT_FALSE(r);
            EXPECT_EQ(r.reason, reasons::Of(profile, c.reason));
        }
        EXPECT_EQ(testfiles::Names(scratch.path()), c.namesAfter);
        if (fs::is_directory(profile)) {
            EXPECT_EQ(testfiles::Names(profile), std::vector<std::string>{"inside.txt"});
            EXPECT_EQ(ReadBytes(profile / "inside.txt"), "kept");
        }
    }
}

TEST_F(StoreFiles, WriteIntoAMissingFolderFailsWithTheSystemReason) {
    const fs::path path = Path("no-such-folder") / "p.xml";
    const FileResult r = WriteProfile(path, "<a/>");
    EXPECT_FALSE(r);
    EXPECT_EQ(r.reason, reasons::Of(path, reasons::kFolderNotFound));
    EXPECT_FALSE(fs::exists(Path("no-such-folder")));
    EXPECT_EQ(Names(), std::vector<std::string>{});
}

// Folder and file names beyond ASCII, in UTF-8 here and in the reasons.
TEST_F(StoreFiles, NamesBeyondAsciiAreReadWrittenAndNamedInReasons) {
    const fs::path folders[] = {fs::path(u8"Profils \u00e9t\u00e9"), fs::path(u8"\u041f\u0440\u043e\u0444\u0438\u043b\u0438"),
                                fs::path(u8"\u6a5f\u68b0 \u00a9")};
    const fs::path file = fs::path(u8"Mach3 Fr\u00e4se \u20ac.xml");
    for (const fs::path& name : folders) {
        SCOPED_TRACE(testfiles::Utf8(name));
        const fs::path folder = Path(name);
        ASSERT_TRUE(fs::create_directory(folder));
        const fs::path profile = folder / file;
        WriteBytes(profile, "<Port1Add>888</Port1Add>\xE9");
        std::string text;
        ASSERT_TRUE(LoadProfile(profile, text));
        EXPECT_EQ(text, "<Port1Add>888</Port1Add>\xE9");
        UpdateTag(text, "<Port1Add>", "53248");
        ASSERT_TRUE(WriteProfile(profile, text));
        EXPECT_EQ(ReadBytes(profile), "<Port1Add>53248</Port1Add>\xE9");
        EXPECT_EQ(testfiles::Names(folder), std::vector<std::string>{testfiles::Utf8(file)});

        // A failure names the path as UTF-8 text.
        const fs::path missing = folder / fs::path(u8"fehlt \u00fc.xml");
        const FileResult r = LoadProfile(missing, text);
        EXPECT_FALSE(r);
        EXPECT_EQ(r.reason, testfiles::Utf8(missing) + ": " + std::string(reasons::kFileNotFound));
    }
}
