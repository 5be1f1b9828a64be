#include "metrics/textfile_writer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

#include "metrics/exposition.h"
#include "support/temp_dir.h"

namespace vgx {
namespace {

namespace fs = std::filesystem;
using test::Names;
using test::ReadFile;
using test::TempDir;
using namespace ::testing;

mode_t ModeOf(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? st.st_mode : 0;
}

class Umask {
public:
    explicit Umask(mode_t m) : old_(::umask(m)) {}
    ~Umask() { ::umask(old_); }

private:
    mode_t old_;
};

TEST(MetricsFileWriter, ReplacesTheFileWholeWithMode0644) {
    const TempDir dir;
    std::vector<std::string> logged;
    MetricsFileWriter writer(dir.path(), [&](std::string s) { logged.push_back(std::move(s)); });
    const fs::path temp = writer.TemporaryPath();
    EXPECT_EQ(temp.parent_path(), dir.path());
    EXPECT_FALSE(temp.string().ends_with(".prom"));

    const Umask restrictive(077);
    WatchdogMetrics m;
    m.Version = "0.1.0";
    m.Cycles = 4;
    ASSERT_EQ(writer.Write(m).status, MetricsWriteResult::Status::Written);
    EXPECT_EQ(ReadFile(dir / "vigiax.prom"), RenderMetrics(m));
    EXPECT_EQ(ModeOf(dir / "vigiax.prom"), S_IFREG | 0644);
    ASSERT_EQ(writer.Write("x 1\n").status, MetricsWriteResult::Status::Written);
    EXPECT_EQ(ReadFile(dir / "vigiax.prom"), "x 1\n");
    EXPECT_EQ(ModeOf(dir / "vigiax.prom"), S_IFREG | 0644);
    EXPECT_THAT(Names(dir.path()), ElementsAre("vigiax.prom"));
    EXPECT_THAT(logged, IsEmpty());
}

// A reader going over the file while it is rewritten sees one whole version or the other.
TEST(MetricsFileWriter, NoReaderSeesAHalfWrittenFile) {
    const TempDir dir;
    MetricsFileWriter writer(dir.path(), nullptr);
    const std::string big(256 * 1024, 'a'), small = "b 1\n";
    ASSERT_FALSE(writer.Write(small).Failed());

    std::atomic<bool> done{false};
    std::atomic<int> reads{0}, torn{0};
    std::thread reader([&] {
        while (!done) {
            const std::string seen = ReadFile(dir / "vigiax.prom");
            if (seen != big && seen != small)
                ++torn;
            ++reads;
        }
    });
    for (int i = 0; i < 200; ++i)
        ASSERT_FALSE(writer.Write(i % 2 == 0 ? big : small).Failed());
    done = true;
    reader.join();
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(torn.load(), 0) << "of " << reads.load() << " reads";
}

TEST(MetricsFileWriter, NeverFollowsALinkAtEitherName) {
    const TempDir dir, elsewhere;
    test::WriteFile(elsewhere / "victim", "keep\n");
    MetricsFileWriter writer(dir.path(), nullptr);

    // A link to a file, and a dangling one through which a new file would be made.
    for (const fs::path& target : {elsewhere / "victim", elsewhere / "made"}) {
        fs::create_symlink(target, writer.TemporaryPath());
        ASSERT_EQ(writer.Write("m 1\n").status, MetricsWriteResult::Status::Written);
        EXPECT_EQ(ReadFile(elsewhere / "victim"), "keep\n");
        EXPECT_FALSE(fs::exists(elsewhere / "made"));
        EXPECT_EQ(ModeOf(dir / "vigiax.prom"), S_IFREG | 0644);
        EXPECT_THAT(Names(dir.path()), ElementsAre("vigiax.prom"));
    }

    // The file's own name as a link: replaced, not written through.
    fs::remove(dir / "vigiax.prom");
    fs::create_symlink(elsewhere / "victim", dir / "vigiax.prom");
    ASSERT_EQ(writer.Write("m 2\n").status, MetricsWriteResult::Status::Written);
    EXPECT_EQ(ReadFile(elsewhere / "victim"), "keep\n");
    EXPECT_EQ(ModeOf(dir / "vigiax.prom"), S_IFREG | 0644);
    EXPECT_EQ(ReadFile(dir / "vigiax.prom"), "m 2\n");
}

TEST(MetricsFileWriter, FailuresAreReportedEachTimeAndLoggedOnceUntilAWriteWorks) {
    const TempDir base;
    const fs::path dir = base / "textfile";
    std::vector<std::string> logged;
    MetricsFileWriter writer(dir, [&](std::string s) { logged.push_back(std::move(s)); });

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(writer.Write("m 1\n").error, ENOENT);
    EXPECT_TRUE(writer.Failing());
    ASSERT_EQ(logged.size(), 1U);
    EXPECT_EQ(logged[0], "FALHA AO GRAVAR MÉTRICAS! -> " + (dir / "vigiax.prom").string() +
                             " (abrir a pasta: " + std::strerror(ENOENT) + ")");

    fs::create_directory(dir);
    EXPECT_FALSE(writer.Write("m 1\n").Failed());
    EXPECT_FALSE(writer.Write("m 1\n").Failed());
    EXPECT_FALSE(writer.Failing());
    ASSERT_EQ(logged.size(), 2U);
    EXPECT_EQ(logged[1], "MÉTRICAS GRAVADAS DE NOVO! -> " + (dir / "vigiax.prom").string());

    // A folder under the file's name: the rename fails, the temporary file does not stay.
    fs::remove(dir / "vigiax.prom");
    fs::create_directories(dir / "vigiax.prom" / "inside");
    EXPECT_TRUE(writer.Write("m 1\n").Failed());
    EXPECT_TRUE(writer.Write("m 1\n").Failed());
    EXPECT_THAT(Names(dir), ElementsAre("vigiax.prom"));
    ASSERT_EQ(logged.size(), 3U);
    EXPECT_THAT(logged[2], HasSubstr("(renomear: "));

    EXPECT_EQ(MetricsFileWriter("", nullptr).Write("m 1\n").status,
              MetricsWriteResult::Status::Off);
}

}  // namespace
}  // namespace vgx
