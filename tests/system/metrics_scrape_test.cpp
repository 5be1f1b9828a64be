// The metrics file as node_exporter's textfile collector reads it: the real exporter, in a
// network namespace of the test's own, scraped over that namespace's loopback.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>

#include "app/metrics_publisher.h"
#include "metrics/exposition.h"
#include "program_run.h"
#include "support/promtool.h"
#include "support/tiny_http_server.h"
#include "textfile_exporter.h"

namespace vgx::test {
namespace {

using namespace std::chrono_literals;

double MtimeSeconds(const std::filesystem::path& file) {
    struct stat st {};
    ::stat(file.c_str(), &st);
    return static_cast<double>(st.st_mtim.tv_sec) + static_cast<double>(st.st_mtim.tv_nsec) / 1e9;
}

// Every sample of `file` is in `scrape` with the same value.
void ExpectServed(const std::string& file, const std::string& scrape) {
    const auto served = ParseSamples(scrape);
    const auto written = ParseSamples(file);
    ASSERT_FALSE(written.empty());
    for (const auto& [series, value] : written) {
        ASSERT_EQ(served.count(series), 1U) << series << " not served";
        EXPECT_DOUBLE_EQ(served.at(series), value) << series;
    }
}

class TextfileCollector : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = TextfileExporter::Unavailable(); !why.empty())
            GTEST_SKIP() << why;
    }
    TempDir dir_;
    const std::string key_ = "{file=\"" + (dir_ / "vigiax.prom").string() + "\"}";
};

// The service copy with a failing web check keeps the file that the exporter serves.
TEST_F(TextfileCollector, ServesTheProgramsFileAndItFollowsAFailingWebCheck) {
    TempDir program;
    TinyServer failing("HTTP/1.0 500 Erro\r\n\r\n");
    WriteWebCheck(program.path());
    ProgramRun run(VGX_TEST_PROGRAM, program.path());
    run.Start({}, {HttpPortEnv(failing.port())},
              {"--service", "--metrics-dir", dir_.path().string()});
    const auto file = [&] { return ReadFile(dir_ / "vigiax.prom"); };
    ASSERT_TRUE(
        WaitFor([&] { return file().find("\nvigiax_failures 1\n") != std::string::npos; }, 15s))
        << file();
    const double now = UnixNow();
    if (const std::string promtool = PromtoolPath(); !promtool.empty()) {
        const ToolRun check = PromtoolCheckMetrics(promtool, file());
        EXPECT_EQ(check.status, 0) << check.output;
        EXPECT_EQ(check.output, "");
    }

    TextfileExporter exporter(dir_.path());
    const std::string scrape = exporter.Scrape();
    const auto served = ParseSamples(scrape);
    EXPECT_EQ(served.at("node_textfile_scrape_error"), 0) << exporter.Output();
    EXPECT_NEAR(served.at("node_textfile_mtime_seconds" + key_), MtimeSeconds(dir_ / "vigiax.prom"),
                1.0);
    ExpectServed(file(), scrape);
    EXPECT_EQ(served.at("vigiax_failures"), 1);
    EXPECT_EQ(served.at("vigiax_failed_cycles_total"), 1);
    EXPECT_EQ(served.at("vigiax_check_up{check=\"web\"}"), 0);
    EXPECT_EQ(served.count("vigiax_check_up{check=\"internet\"}"), 0U) << "the check is off";
    EXPECT_NEAR(served.at("vigiax_last_cycle_timestamp_seconds"), now, 5);

    // Left in place at a stop: its age tells that this watchdog stopped.
    EXPECT_EQ(run.Stop(), std::optional<int>(0));
    EXPECT_TRUE(std::filesystem::exists(dir_ / "vigiax.prom"));
}

TEST_F(TextfileCollector, ScrapesDuringRewritesNeverSeeAnError) {
    MetricsFileWriter writer(dir_.path(), nullptr);
    WatchdogMetrics m;
    ASSERT_FALSE(writer.Write(m).Failed());
    TextfileExporter exporter(dir_.path());

    std::atomic<bool> done{false};
    std::thread rewrites([&] {
        for (std::uint64_t i = 0; !done && i < 100000; ++i) {
            m.Cycles = i;
            m.Version = std::string(i % 7 * 30000, 'v');  // files of changing size
            [[maybe_unused]] const auto r = writer.Write(m);
        }
    });
    // A scrape of a file seen empty or cut short lacks the first or the last family.
    int errors = 0;
    for (int i = 0; i < 40; ++i) {
        const auto served = ParseSamples(exporter.Scrape());
        if (served.count("node_textfile_scrape_error") == 0 ||
            served.at("node_textfile_scrape_error") != 0 ||
            served.count("node_textfile_mtime_seconds" + key_) == 0 ||
            served.count("vigiax_start_time_seconds") == 0 ||
            served.count("vigiax_cleaning_removed_entries_total") == 0)
            ++errors;
    }
    done = true;
    rewrites.join();
    EXPECT_EQ(errors, 0) << exporter.Output();
}

}  // namespace
}  // namespace vgx::test
