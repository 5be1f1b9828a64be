#include "metrics/exposition.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "support/promtool.h"

namespace vgx {
namespace {

using namespace ::testing;

WatchdogMetrics Busy() {
    WatchdogMetrics m;
    m.Version = "1.0 \"beta\"\\\n";  // a label value to escape
    m.StartTimeSeconds = 1765065600;
    m.LastCycleTimeSeconds = 1765066500.5;
    m.Failures = 6;
    m.Internet = {true, true, 0.042};
    m.Web = {true, false, 30};
    m.RestartWarningSecondsLeft = 17;
    m.Cleaning = {5, 1, 2, 1234};
    return m;
}

// Sample lines ("series value"), without the comments; node_exporter refuses timestamps.
std::vector<std::string> Samples(const std::string& text) {
    std::vector<std::string> samples;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with('#'))
            samples.push_back(line);
    }
    return samples;
}

TEST(Exposition, PromtoolAcceptsItAndItHasNoTimestamps) {
    const std::string promtool = test::PromtoolPath();
    for (const WatchdogMetrics& m : {Busy(), WatchdogMetrics{}}) {
        const std::string text = RenderMetrics(m);
        for (const std::string& s : Samples(text))
            EXPECT_EQ(std::count(s.begin() + static_cast<long>(s.rfind('}') + 1), s.end(), ' '), 1)
                << s;
        if (promtool.empty())
            continue;
        const test::ToolRun run = test::PromtoolCheckMetrics(promtool, text);
        EXPECT_EQ(run.status, 0) << run.output << "\n" << text;
        EXPECT_EQ(run.output, "") << text;
    }
    EXPECT_THAT(Samples(RenderMetrics(Busy())),
                AllOf(Contains("vigiax_build_info{version=\"1.0 \\\"beta\\\"\\\\\\n\"} 1"),
                      Contains("vigiax_check_up{check=\"web\"} 0"),
                      Contains("vigiax_cleaning_runs_total{outcome=\"refused\"} 1"),
                      Contains("vigiax_restart_warning_remaining_seconds 17")));
}

TEST(Exposition, ChecksThatAreOffOrHaveNotRunHaveNoResult) {
    WatchdogMetrics m = Busy();
    m.Internet = {false, true, 0.5};  // switched off after a cycle ran it
    m.Web = {true, std::nullopt, std::nullopt};
    m.LastCycleTimeSeconds.reset();
    const std::string text = RenderMetrics(m);
    EXPECT_THAT(Samples(text), AllOf(Contains("vigiax_check_enabled{check=\"internet\"} 0"),
                                     Contains("vigiax_check_enabled{check=\"web\"} 1")));
    // A family with no samples has no HELP or TYPE either.
    for (const char* gone : {"vigiax_check_up", "vigiax_check_duration_seconds",
                             "vigiax_last_cycle_timestamp_seconds"})
        EXPECT_THAT(text, Not(HasSubstr(gone)));
}

TEST(Exposition, NumbersInTheFormatsSyntax) {
    EXPECT_EQ(FormatSampleValue(0.1), "0.1");
    EXPECT_EQ(FormatSampleValue(1765065600.25), "1765065600.25");
    EXPECT_EQ(FormatSampleValue(std::nan("")), "NaN");
    EXPECT_EQ(FormatSampleValue(-std::numeric_limits<double>::infinity()), "-Inf");
}

}  // namespace
}  // namespace vgx
