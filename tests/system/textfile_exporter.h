#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

#include "support/temp_dir.h"

namespace vgx::test {

// The real node_exporter with only its textfile collector on one folder, listening on
// 127.0.0.1:9100 inside a network namespace of its own (loopback up); stopped, and the
// namespace deleted, when it goes. Needs root.
class TextfileExporter {
public:
    // Empty when it can run here, else why not.
    static std::string Unavailable();

    explicit TextfileExporter(const std::filesystem::path& textfileDir);
    ~TextfileExporter();
    TextfileExporter(const TextfileExporter&) = delete;
    TextfileExporter& operator=(const TextfileExporter&) = delete;

    // The body of GET /metrics; throws when it cannot be had.
    std::string Scrape() const;
    // What the exporter printed so far.
    std::string Output() const;

private:
    void Stop();

    std::string ns_;
    TempDir work_;
    pid_t pid_ = -1;
};

// The samples of an exposition, "name{labels}" as written to the value; comments skipped.
std::map<std::string, double> ParseSamples(const std::string& exposition);

}  // namespace vgx::test
