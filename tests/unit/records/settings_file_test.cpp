#include "records/settings_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <iterator>
#include <limits>
#include <vector>

#include "support/temp_dir.h"

namespace vgx {
namespace {

std::vector<std::string> Fields(std::string_view text) {
    std::vector<std::string> out;
    SettingsFieldReader reader(text);
    while (auto f = reader.Next())
        out.push_back(*f);
    return out;
}

TEST(SettingsFieldReader, SplitsOnCommasAndLineEndsAndKeepsQuotedTextWhole) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Fields("\"a, b\",  c d  ,\t7\r\n\"  x\"junk,y\n\r\n\"two\r\nlines\"\rz"),
              (V{"a, b", "c d", "7", "  x", "y", "", "two\r\nlines", "z"}));
    EXPECT_EQ(Fields("\"open to the end,\r\n"), (V{"open to the end,\r\n"}));
    EXPECT_EQ(Fields("1,\r\n"), (V{"1", ""}));
    EXPECT_TRUE(Fields("").empty());
}

TEST(SettingsConversions, LeadingNumberTakesWhatABeginningNumberSays) {
    using P = std::pair<const char*, int>;
    for (const auto& [text, want] :
         {P("12abc", 12), P("abc", 0), P("", 0), P(" - 1 5x", -15), P("1.5", 2), P("2.5", 2),
          P(".6", 1), P("1e2", 100), P("3e", 3), P("-32768", -32768)}) {
        EXPECT_EQ(LeadingInt16(text), want) << text;
    }
    EXPECT_FALSE(LeadingInt16("32768"));
    EXPECT_FALSE(LeadingInt16("1e999"));
}

TEST(SettingsConversions, StrictNumbersRefuseAnythingElse) {
    EXPECT_EQ(StrictInt16(" -3 "), -3);
    EXPECT_EQ(StrictUint8("255"), 255);
    EXPECT_EQ(StrictFloat("4530.5"), 4530.5f);
    for (const char* bad : {"", "1.0", "1x", "+1", "32768", "0x10"})
        EXPECT_FALSE(StrictInt16(bad)) << bad;
    for (const char* bad : {"256", "-1", "1 2"})
        EXPECT_FALSE(StrictUint8(bad)) << bad;
    for (const char* bad : {"", "nan", "inf", "1e39", "1,5", "4530.5x"})
        EXPECT_FALSE(StrictFloat(bad)) << bad;
}

TEST(SettingsConversions, FloatsAreWrittenShortAndReadBackExactly) {
    EXPECT_EQ(FormatFloat(4530.0f), "4530");
    EXPECT_EQ(FormatFloat(1e10f), "10000000000");
    EXPECT_EQ(FormatFloat(std::numeric_limits<float>::quiet_NaN()), "0");
    for (const float v : {-0.1f, 1.0f / 3.0f, 123456.79f, 3.4e38f, -1.17549435e-38f, 1e-45f})
        EXPECT_EQ(StrictFloat(FormatFloat(v)), v) << FormatFloat(v);
}

TEST(ReplaceFileContents, ReplacesWholeOrLeavesTheOldFile) {
    test::TempDir dir;
    const auto file = dir / "vgx.cfg";
    ASSERT_TRUE(ReplaceFileContents(file, "old contents\r\n"));
    ASSERT_TRUE(ReplaceFileContents(file, "new\r\n"));
    EXPECT_EQ(test::ReadFile(file), "new\r\n");

    {  // A disk that fills up during the write.
        rlimit old{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 3;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool ok = ReplaceFileContents(file, "longer than the limit");
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(ok);
    }
    EXPECT_EQ(test::ReadFile(file), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "no temporary file left behind";
    EXPECT_FALSE(ReplaceFileContents(file / "child", "x"));  // the folder is a file
}

}  // namespace
}  // namespace vgx
