#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

#include "support/temp_dir.h"

namespace vgx::test {

// The real node_exporter with only its textfile collector on one folder, listening on a free
// port of 127.0.0.1; stopped when it goes.
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

    std::uint16_t port_ = 0;
    TempDir work_;
    pid_t pid_ = -1;
};

// The samples of an exposition, "name{labels}" as written to the value; comments skipped.
std::map<std::string, double> ParseSamples(const std::string& exposition);

}  // namespace vgx::test
