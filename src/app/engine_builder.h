#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/engine.h"
#include "records/clock.h"
#include "records/file_io.h"

namespace vgx {

// What a build may put in place of the production pieces.
struct EngineOptions {
    PowerControl* power = nullptr;  // null: the real restart
    std::uint16_t httpPort = 80;
};

// The engine's real platform pieces, made in one place for every entry point: the clock, the
// power control, the process runner and the probes, all on `loop`.
class SystemParts {
public:
    SystemParts(EventLoop& loop, const EngineOptions& options);
    ~SystemParts();

    EnginePorts Ports(Windows& windows);

private:
    EventLoop& loop_;
    SystemClock clock_;
    std::unique_ptr<PowerControl> realPower_;
    PowerControl* power_;
    std::unique_ptr<ProcessRunner> runner_;
    std::unique_ptr<IcmpSender> icmp_;
    std::unique_ptr<Resolver> resolver_;
    std::unique_ptr<HttpClient> http_;
};

// "--data-dir DIR" or "--data-dir=DIR" among the arguments, when given.
std::optional<std::filesystem::path> DataDirOption(int argc, char** argv);
// "--metrics-dir DIR" the same way; an empty DIR turns the metrics off.
std::optional<std::filesystem::path> MetricsDirOption(int argc, char** argv);

// Debian's folder for node_exporter's textfile collector: the service copy's metrics go there
// by default when it exists.
inline constexpr const char* kNodeExporterTextfileDir = "/var/lib/prometheus/node-exporter";

// The folder of the program's files (vgx.cfg, folder.dat, logs/, the lock, the socket...): the
// data folder when one is given, else the folder of the executable (a portable copy).
std::filesystem::path ProgramDirectory(const std::optional<std::filesystem::path>& dataDir);

}  // namespace vgx
