#pragma once

#include <map>
#include <string>
#include <vector>

#include "service/command_runner.h"
#include "service/system_log.h"

namespace vgx::test {

// systemctl and the system log as the program would use them: each call recorded as one line
// and answered per sub-command (success when not listed, not started at all when `absent`);
// each log entry recorded as "priority message".
struct RecordingSystemctl final : CommandRunner, SystemLog {
    CommandResult Run(const std::vector<std::string>& argv) override {
        std::string call;
        for (const std::string& a : argv)
            call += (call.empty() ? "" : " ") + a;
        calls.push_back(call);
        const auto it = answers.find(argv.at(1));
        return absent                ? CommandResult{}
               : it != answers.end() ? it->second
                                     : CommandResult{true, 0, ""};
    }
    void Write(int priority, const std::string& message) override {
        logged.push_back(std::to_string(priority) + " " + message);
    }

    std::map<std::string, CommandResult> answers;
    bool absent = false;
    std::vector<std::string> calls, logged;
};

}  // namespace vgx::test
