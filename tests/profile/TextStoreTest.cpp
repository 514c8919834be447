#include "profile/TextStore.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "TestFiles.h"

using namespace profile;
using testfiles::ReadBytes;
using testfiles::WriteBytes;
namespace fs = std::filesystem;

namespace {

std::string Bytes(const char* s, std::size_t n) { return {s, n}; }

// A fresh folder for each test, removed afterwards.
class StoreFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    fs::path Path(const std::string& name) const { return fs::path(dir_.path().toStdString()) / name; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_.path().toStdString())) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    QTemporaryDir dir_;
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path in = Path("in.xml");
        const fs::path out = Path("out.xml");
        WriteBytes(in, c.bytes);
        std::string text = "previous";
        ASSERT_TRUE(LoadProfile(in.string(), text));
        EXPECT_EQ(text, c.bytes);
        // Written over a longer file: nothing of the old bytes stays behind.
        WriteBytes(out, std::string(5000, 'z'));
        ASSERT_TRUE(WriteProfile(out.string(), text));
        EXPECT_EQ(ReadBytes(out), c.bytes);
    }
}

TEST_F(StoreFiles, EmptyFileStaysEmpty) {
    WriteBytes(Path("empty.xml"), "");
    std::string text = "x";
    ASSERT_TRUE(LoadProfile(Path("empty.xml").string(), text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(LoadTag(text, "<Port1Add>"), "");
    UpdateTag(text, "<Port1Add>", "888");
    EXPECT_EQ(text, "");
    ASSERT_TRUE(WriteProfile(Path("empty.xml").string(), text));
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
        ASSERT_TRUE(LoadProfile(entry.path().string(), text));
        EXPECT_EQ(text, original);
        const fs::path copy = Path(entry.path().filename());
        ASSERT_TRUE(WriteProfile(copy.string(), text));
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
    ASSERT_TRUE(LoadProfile(file.string(), text));
    EXPECT_EQ(LoadTag(text, "<Steps6>"), "1.");
    EXPECT_EQ(LoadTag(text, "Input22Neg"), "1");
    EXPECT_EQ(LoadTag(text, "<LaserInit>"), "&gt;");
    const std::string before = text;
    UpdateTag(text, "<Steps6>", "7999.999");
    const std::size_t at = before.find("<Steps6>") + 8;
    EXPECT_EQ(text, before.substr(0, at) + "7999.999" + before.substr(at + 2));
}

// --- Load and write results -------------------------------------------------

TEST_F(StoreFiles, LoadFailureNamesTheFileAndKeepsTheText) {
    std::string text = "kept";
    const fs::path missing = Path("missing.xml");
    const FileResult r = LoadProfile(missing.string(), text);
    EXPECT_FALSE(r);
    EXPECT_NE(r.reason.find(missing.string()), std::string::npos) << r.reason;
    EXPECT_NE(r.reason.find(std::strerror(ENOENT)), std::string::npos) << r.reason;
    EXPECT_EQ(text, "kept");

    fs::create_directory(Path("folder.xml"));
    const FileResult dir = LoadProfile(Path("folder.xml").string(), text);
    EXPECT_FALSE(dir);
    EXPECT_FALSE(dir.reason.empty());
    EXPECT_EQ(text, "kept");
}

TEST_F(StoreFiles, FileBeyondSigned32BitPositionsIsRefused) {
    const fs::path big = Path("big.xml");
    WriteBytes(big, "");
    std::error_code ec;
    fs::resize_file(big, 2147483648ull, ec);  // sparse: takes no disk space
    if (ec) GTEST_SKIP() << "cannot make a sparse file here: " << ec.message();
    std::string text = "kept";
    const FileResult r = LoadProfile(big.string(), text);
    EXPECT_FALSE(r);
    EXPECT_NE(r.reason.find("2147483647"), std::string::npos) << r.reason;
    EXPECT_EQ(text, "kept");
}

TEST_F(StoreFiles, WriteCreatesAMissingFileAndLeavesNoTemporaryFile) {
    ASSERT_TRUE(WriteProfile(Path("new.xml").string(), "<a>1</a>"));
    EXPECT_EQ(ReadBytes(Path("new.xml")), "<a>1</a>");
    ASSERT_TRUE(WriteProfile(Path("new.xml").string(), "<a>2</a>"));
    EXPECT_EQ(ReadBytes(Path("new.xml")), "<a>2</a>");
    EXPECT_EQ(Names(), std::vector<std::string>{"new.xml"});
}

TEST_F(StoreFiles, WriteIntoAMissingFolderFailsWithTheSystemReason) {
    const fs::path path = Path("no-such-folder") / "p.xml";
    const FileResult r = WriteProfile(path.string(), "<a/>");
    EXPECT_FALSE(r);
    EXPECT_NE(r.reason.find(path.string()), std::string::npos) << r.reason;
    EXPECT_NE(r.reason.find(std::strerror(ENOENT)), std::string::npos) << r.reason;
    EXPECT_FALSE(fs::exists(Path("no-such-folder")));
}

TEST_F(StoreFiles, WriteKeepsThePermissionBits) {
    using P = fs::perms;
    for (const P mode : {P::owner_read | P::owner_write, P::owner_read | P::owner_write | P::group_read,
                         P::owner_all | P::group_read | P::others_read | P::others_write}) {
        const fs::path path = Path("perm.xml");
        WriteBytes(path, "<a>1</a>");
        fs::permissions(path, mode);
        ASSERT_TRUE(WriteProfile(path.string(), "<a>2</a>"));
        EXPECT_EQ(fs::status(path).permissions(), mode);
        EXPECT_EQ(ReadBytes(path), "<a>2</a>");
        fs::remove(path);
    }
}

TEST_F(StoreFiles, WriteThroughASymbolicLinkReplacesItsTargetAndKeepsTheLink) {
    fs::create_directory(Path("real"));
    const fs::path target = Path("real") / "profile.xml";
    WriteBytes(target, "<a>1</a>");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::path absoluteLink = Path("absolute.xml");
    const fs::path relativeLink = Path("relative.xml");
    const fs::path chainLink = Path("chain.xml");
    fs::create_symlink(target, absoluteLink);
    fs::create_symlink(fs::path("real") / "profile.xml", relativeLink);
    fs::create_symlink("relative.xml", chainLink);

    int round = 0;
    for (const fs::path& link : {absoluteLink, relativeLink, chainLink}) {
        SCOPED_TRACE(link.filename().string());
        const std::string text = "<a>" + std::to_string(++round) + "0</a>";
        ASSERT_TRUE(WriteProfile(link.string(), text));
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(ReadBytes(target), text);
        EXPECT_EQ(fs::status(target).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    }
    EXPECT_EQ(fs::read_symlink(relativeLink), fs::path("real") / "profile.xml");
    EXPECT_EQ(Names(), (std::vector<std::string>{"absolute.xml", "chain.xml", "real", "relative.xml"}));
}
