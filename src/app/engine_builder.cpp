#include "app/engine_builder.h"

#include <cstring>

#include "app/system_ports.h"

namespace vgx {

SystemParts::SystemParts(EventLoop& loop, const EngineOptions& options)
    : loop_(loop),
      realPower_(options.power ? nullptr : MakeSystemPowerControl(loop)),
      power_(options.power ? options.power : realPower_.get()),
      runner_(MakeSystemProcessRunner(loop)),
      icmp_(MakeSystemIcmpSender(loop)),
      resolver_(MakeSystemResolver(loop)),
      http_(MakeCurlHttpClient(loop, options.httpPort)) {}

SystemParts::~SystemParts() = default;

EnginePorts SystemParts::Ports(Windows& windows) {
    return EnginePorts{clock_, loop_, *power_, *runner_, windows, *icmp_, *resolver_, *http_};
}

namespace {

std::optional<std::filesystem::path> PathOption(int argc, char** argv, const char* kOption) {
    const std::size_t length = std::strlen(kOption);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], kOption) == 0 && i + 1 < argc)
            return std::filesystem::path(argv[i + 1]);
        if (std::strncmp(argv[i], kOption, length) == 0 && argv[i][length] == '=')
            return std::filesystem::path(argv[i] + length + 1);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::filesystem::path> DataDirOption(int argc, char** argv) {
    return PathOption(argc, argv, "--data-dir");
}

std::optional<std::filesystem::path> MetricsDirOption(int argc, char** argv) {
    return PathOption(argc, argv, "--metrics-dir");
}

std::filesystem::path ProgramDirectory(const std::optional<std::filesystem::path>& dataDir) {
    if (dataDir && !dataDir->empty())
        return std::filesystem::absolute(*dataDir).lexically_normal();
    const std::filesystem::path exe = ExecutablePath();
    return exe.empty() ? std::filesystem::current_path() : exe.parent_path();
}

}  // namespace vgx
