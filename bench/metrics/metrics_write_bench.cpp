// One metrics write (render the snapshot, then the writer's exclusive create, chmod, write, fsync
// and rename) against the peer: the same bytes, already rendered, written to a file that is synced
// and renamed over the target with plain calls, the least any crash-safe replacement does. The
// ratio is what rendering and the writer's care (no link followed, fixed mode, errors reported)
// cost on top. Also prints a write's share of the shortest pooling interval (one minute). Works
// only inside its own temporary folder.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "metrics/exposition.h"
#include "metrics/textfile_writer.h"

namespace {

namespace fs = std::filesystem;

fs::path g_dir;

vgx::WatchdogMetrics Snapshot() {
    vgx::WatchdogMetrics m;
    m.Version = "0.1.0";
    m.StartTimeSeconds = 1765065600;
    m.LastCycleTimeSeconds = 1765066500.5;
    m.PoolingIntervalSeconds = 180;
    m.Failures = 2;
    m.FailureLimit = 7;
    m.Cycles = 1234;
    m.FailedCycles = 56;
    m.Internet = {true, true, 0.0421};
    m.Web = {true, false, 30};
    m.WebServerRestarts = 3;
    m.ComputerRestarts = 1;
    m.RestartWarnings = 2;
    m.RestartWarningsCancelled = 1;
    m.ThresholdEventsToday = 4;
    m.Cleaning = {120, 2, 7, 98765};
    return m;
}

void Render(benchmark::State& state) {
    const vgx::WatchdogMetrics m = Snapshot();
    for (auto _ : state)
        benchmark::DoNotOptimize(vgx::RenderMetrics(m));
}
BENCHMARK(Render);

void MetricsWrite(benchmark::State& state) {
    vgx::MetricsFileWriter writer(g_dir / "writer", nullptr);
    fs::create_directories(g_dir / "writer");
    vgx::WatchdogMetrics m = Snapshot();
    const std::size_t bytes = vgx::RenderMetrics(m).size();
    for (auto _ : state) {
        ++m.Cycles;
        if (writer.Write(m).Failed())
            state.SkipWithError("write failed");
    }
    state.counters["bytes_per_write"] = static_cast<double>(bytes);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}
BENCHMARK(MetricsWrite)->UseRealTime();

void PlainWriteRename(benchmark::State& state) {
    const fs::path dir = g_dir / "plain";
    fs::create_directories(dir);
    const std::string text = vgx::RenderMetrics(Snapshot());
    const std::string tmp = (dir / "vigiax.tmp").string();
    const std::string target = (dir / "vigiax.prom").string();
    for (auto _ : state) {
        const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const bool ok =
            fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
            ::fsync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!ok || ::rename(tmp.c_str(), target.c_str()) != 0)
            state.SkipWithError("plain write failed");
    }
    state.counters["bytes_per_write"] = static_cast<double>(text.size());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(PlainWriteRename)->UseRealTime();

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            times_[r.benchmark_name()] = r.GetAdjustedRealTime();  // ns
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto w = times_.find("MetricsWrite/real_time");
        const auto p = times_.find("PlainWriteRename/real_time");
        const auto r = times_.find("Render");
        if (w == times_.end() || p == times_.end() || r == times_.end())
            return;
        std::printf("bytes per write: %zu\n", vgx::RenderMetrics(Snapshot()).size());
        std::printf("ratio metrics write / plain write+fsync+rename of the same bytes = %.2f\n",
                    w->second / p->second);
        std::printf("ratio render alone / metrics write = %.4f\n", r->second / w->second);
        std::printf("ratio metrics write / one-minute pooling interval = %.2e\n", w->second / 60e9);
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    std::string tmpl = (fs::temp_directory_path() / "vgx-bench-metrics-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr)
        return 1;
    g_dir = tmpl;
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    fs::remove_all(g_dir);
    return 0;
}
