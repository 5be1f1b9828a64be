#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/embedded_resources.h"
#include "app/resource_files.h"
#include "support/temp_dir.h"

namespace vgx::test {
namespace {

TEST(ResourceFiles, ExtractReplacesLinksInsteadOfWritingThroughThem) {
    TempDir dir;
    TempDir outside;
    WriteFile(outside / "victim", "keep");
    std::filesystem::create_symlink(outside / "victim", dir / "jet.exe");

    ASSERT_TRUE(ExtractResource(kResourceIis, "IIS", dir / "jet.exe", 0700));
    EXPECT_EQ(ReadFile(outside / "victim"), "keep");
    EXPECT_FALSE(std::filesystem::is_symlink(dir / "jet.exe"));
    struct stat st {};
    ASSERT_EQ(::stat((dir / "jet.exe").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    const auto bytes = FindResource("IIS", kResourceIis);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(ReadFile(dir / "jet.exe").size(), bytes->size());

    EXPECT_FALSE(ExtractResource(99, "NONE", dir / "x"));
    EXPECT_FALSE(std::filesystem::exists(dir / "x"));
}

}  // namespace
}  // namespace vgx::test
