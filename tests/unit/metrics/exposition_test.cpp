#include "metrics/exposition.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <sstream>
#include <vector>

#include "support/promtool.h"

namespace vgx {
namespace {

using ::testing::IsEmpty;

WatchdogMetrics Busy() {
    WatchdogMetrics m;
    m.Version = "0.1.0";
    m.StartTimeSeconds = 1765065600;
    m.LastCycleTimeSeconds = 1765066500.5;
    m.PoolingIntervalSeconds = 180;
    m.Failures = 6;
    m.FailureLimit = 7;
    m.Cycles = 12;
    m.FailedCycles = 7;
    m.Internet = {true, true, 0.042};
    m.Web = {true, false, 30};
    m.WebServerRestarts = 2;
    m.ComputerRestarts = 1;
    m.RestartWarnings = 3;
    m.RestartWarningsCancelled = 2;
    m.RestartWarningSecondsLeft = 17;
    m.ThresholdEventsToday = 3;
    m.Cleaning = {5, 1, 2, 1234};
    return m;
}

// The exposition read back: series ("name{labels}") to value text, family types, and what
// breaks the format's rules on HELP/TYPE placement and sample timestamps.
struct Parsed {
    std::map<std::string, std::string> series, types;
    std::vector<std::string> problems;
};

Parsed Parse(const std::string& text) {
    Parsed p;
    std::set<std::string> helped, finished;
    std::string family;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const std::size_t end = line.find(' ', 7);
        if (line.starts_with("# HELP ")) {
            finished.insert(family);
            family = line.substr(7, end - 7);
            if (!helped.insert(family).second)
                p.problems.push_back("second HELP for " + family);
        } else if (line.starts_with("# TYPE ")) {
            if (line.substr(7, end - 7) != family ||
                !p.types.emplace(family, line.substr(end + 1)).second)
                p.problems.push_back("TYPE out of place: " + line);
        } else {
            const std::string name = line.substr(0, line.find_first_of("{ "));
            if (name != family || p.types.count(name) == 0 || finished.count(name) != 0)
                p.problems.push_back("sample outside its family: " + line);
            const std::size_t space = line.rfind(' ');  // the only one after the labels
            if (space == std::string::npos || line.find(' ', line.rfind('}') + 1) != space)
                p.problems.push_back("not `series value`: " + line);
            p.series[line.substr(0, space)] = line.substr(space + 1);
        }
    }
    return p;
}

TEST(Exposition, EverySeriesCarriesItsField) {
    const std::string text = RenderMetrics(Busy());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    const Parsed p = Parse(text);
    EXPECT_THAT(p.problems, IsEmpty()) << text;
    const std::map<std::string, std::string> expected = {
        {"vigiax_build_info{version=\"0.1.0\"}", "1"},
        {"vigiax_start_time_seconds", "1765065600"},
        {"vigiax_last_cycle_timestamp_seconds", "1765066500.5"},
        {"vigiax_pooling_interval_seconds", "180"},
        {"vigiax_failures", "6"},
        {"vigiax_failure_limit", "7"},
        {"vigiax_cycles_total", "12"},
        {"vigiax_failed_cycles_total", "7"},
        {"vigiax_check_enabled{check=\"internet\"}", "1"},
        {"vigiax_check_enabled{check=\"web\"}", "1"},
        {"vigiax_check_up{check=\"internet\"}", "1"},
        {"vigiax_check_up{check=\"web\"}", "0"},
        {"vigiax_check_duration_seconds{check=\"internet\"}", "0.042"},
        {"vigiax_check_duration_seconds{check=\"web\"}", "30"},
        {"vigiax_paused", "0"},
        {"vigiax_web_server_restarts_total", "2"},
        {"vigiax_computer_restarts_total", "1"},
        {"vigiax_restart_warnings_total", "3"},
        {"vigiax_restart_warnings_cancelled_total", "2"},
        {"vigiax_restart_warning_active", "1"},
        {"vigiax_restart_warning_remaining_seconds", "17"},
        {"vigiax_threshold_events_today", "3"},
        {"vigiax_threshold_events_daily_limit", "11"},
        {"vigiax_cleaning_runs_total{outcome=\"cleaned\"}", "5"},
        {"vigiax_cleaning_runs_total{outcome=\"refused\"}", "1"},
        {"vigiax_cleaning_runs_total{outcome=\"missing\"}", "2"},
        {"vigiax_cleaning_removed_entries_total", "1234"},
    };
    EXPECT_EQ(p.series, expected);
    for (const auto& [name, type] : p.types) {
        const bool total = name.size() > 6 && name.ends_with("_total");
        EXPECT_EQ(type, total ? "counter" : "gauge") << name;
    }
}

TEST(Exposition, ChecksThatAreOffOrHaveNotRunHaveNoResult) {
    WatchdogMetrics m = Busy();
    m.Internet = {false, true, 0.5};  // switched off after a cycle ran it
    m.Web = {true, std::nullopt, std::nullopt};
    m.LastCycleTimeSeconds.reset();
    m.RestartWarningSecondsLeft.reset();
    const Parsed p = Parse(RenderMetrics(m));
    EXPECT_THAT(p.problems, IsEmpty());
    EXPECT_EQ(p.series.at("vigiax_check_enabled{check=\"internet\"}"), "0");
    EXPECT_EQ(p.series.at("vigiax_check_enabled{check=\"web\"}"), "1");
    for (const char* gone :
         {"vigiax_check_up{check=\"internet\"}", "vigiax_check_up{check=\"web\"}",
          "vigiax_check_duration_seconds{check=\"internet\"}",
          "vigiax_check_duration_seconds{check=\"web\"}", "vigiax_last_cycle_timestamp_seconds"})
        EXPECT_EQ(p.series.count(gone), 0U) << gone;
    // A family with no samples has no HELP or TYPE either.
    EXPECT_EQ(p.types.count("vigiax_check_up"), 0U);
    EXPECT_EQ(p.series.at("vigiax_restart_warning_active"), "0");
    EXPECT_EQ(p.series.at("vigiax_restart_warning_remaining_seconds"), "0");
}

TEST(Exposition, LabelValuesAndNumbersInTheFormatsSyntax) {
    EXPECT_EQ(EscapeLabelValue("a\"b\\c\nd é"), "a\\\"b\\\\c\\nd é");
    WatchdogMetrics m;
    m.Version = "1.0 \"beta\"\\\n";
    EXPECT_EQ(Parse(RenderMetrics(m))
                  .series.count("vigiax_build_info{version=\"1.0 \\\"beta\\\"\\\\\\n\"}"),
              1U);

    EXPECT_EQ(FormatSampleValue(0.1), "0.1");
    EXPECT_EQ(FormatSampleValue(1765065600.25), "1765065600.25");
    EXPECT_EQ(FormatSampleValue(-3), "-3");
    EXPECT_EQ(FormatSampleValue(std::nan("")), "NaN");
    EXPECT_EQ(FormatSampleValue(std::numeric_limits<double>::infinity()), "+Inf");
    EXPECT_EQ(FormatSampleValue(-std::numeric_limits<double>::infinity()), "-Inf");
}

TEST(Exposition, PromtoolAcceptsIt) {
    const std::string promtool = test::PromtoolPath();
    if (promtool.empty())
        GTEST_SKIP() << "promtool not found; scripts/install-deps.sh unpacks it into .cache/tools";
    WatchdogMetrics odd = Busy();
    odd.Version = "1.0 \"beta\"\\\n";
    odd.Internet = {};
    odd.Web = {true, std::nullopt, std::nullopt};
    odd.Failures = 0.5;
    for (const WatchdogMetrics& m : {Busy(), WatchdogMetrics{}, odd}) {
        const std::string text = RenderMetrics(m);
        const test::ToolRun run = test::PromtoolCheckMetrics(promtool, text);
        EXPECT_EQ(run.status, 0) << run.output << "\n" << text;
        EXPECT_EQ(run.output, "") << text;
    }
}

}  // namespace
}  // namespace vgx
