// One run of the due jobs over 10 000 jobs, none due, and the search for the next due moment
// over the same table, each against a plain loop that reads the same fields of the same table;
// prints the ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "cleaning/scheduler.h"

namespace {

constexpr int kJobs = 10000;

class FixedClock final : public vgx::Clock {
public:
    vgx::LocalTime Now() const override { return vgx::MakeLocalTime(2026, 12, 7, 14, 2, 9); }
    std::chrono::steady_clock::time_point Monotonic() const override { return {}; }
};

vgx::CleaningJobs MakeJobs() {
    vgx::CleaningJobs jobs(kJobs);
    for (int i = 0; i < kJobs; ++i) {
        vgx::CleaningJob& j = jobs[static_cast<std::size_t>(i)];
        j.Path.Assign("/srv/share/folder" + std::to_string(i));
        j.Kind = static_cast<std::uint8_t>(i % 5);
        j.Hour.Assign("08:30");
        j.Days.Assign(i % 5 == 4 ? "15" : "2#4#6");
        j.LastRun = i % 5 == 1 || i % 5 == 3 ? 50000.0F : 0.0F;  // AtStart, Hourly: ran
    }
    return jobs;
}

void SchedulerTick(benchmark::State& state) {
    const FixedClock clock;
    vgx::CleaningJobs jobs = MakeJobs();
    int ran = 0;
    vgx::CleaningScheduler scheduler(clock, jobs, [&](const vgx::CleaningJob&) { ++ran; });
    for (auto _ : state) {
        scheduler.RunDueJobs();
    }
    if (ran != 0)
        state.SkipWithError("a job was due");
}
BENCHMARK(SchedulerTick);

void NextDue(benchmark::State& state) {
    const FixedClock clock;
    vgx::CleaningJobs jobs = MakeJobs();
    const vgx::CleaningScheduler scheduler(clock, jobs, [](const vgx::CleaningJob&) {});
    for (auto _ : state)
        benchmark::DoNotOptimize(scheduler.NextDue(clock.Now()));
}
BENCHMARK(NextDue);

// The peer: one pass reading Kind, LastRun and the Hour text of every job.
void PlainLoop(benchmark::State& state) {
    const vgx::CleaningJobs jobs = MakeJobs();
    for (auto _ : state) {
        std::size_t sum = 0;
        for (const vgx::CleaningJob& j : jobs) {
            sum += j.Kind + static_cast<std::size_t>(j.LastRun) + j.Hour.Text().size();
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(PlainLoop);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            times_[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        if (times_.count("PlainLoop") == 0)
            return;
        for (const char* name : {"SchedulerTick", "NextDue"}) {
            if (times_.count(name) != 0)
                std::printf("ratio %s / plain loop over %d jobs = %.2f\n", name, kJobs,
                            times_[name] / times_["PlainLoop"]);
        }
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
