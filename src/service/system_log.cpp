#include "service/system_log.h"

#include <syslog.h>

namespace vgx {

namespace {

class Syslog final : public SystemLog {
public:
    Syslog() { ::openlog("Vigiax", LOG_PID, LOG_DAEMON); }
    ~Syslog() override { ::closelog(); }
    void Write(int priority, const std::string& message) override {
        ::syslog(LOG_DAEMON | priority, "%s", message.c_str());
    }
};

}  // namespace

std::unique_ptr<SystemLog> MakeSyslog() {
    return std::make_unique<Syslog>();
}

int EventPriority(int eventType) {
    switch (eventType) {
        case kEventError:
        case 1:
            return LOG_ERR;
        case 2:
            return LOG_WARNING;
        default:
            return LOG_INFO;
    }
}

void LogEvent(SystemLog& log, int eventType, int, const std::string& message) {
    log.Write(EventPriority(eventType), message);
}

std::string EventErrorText(int number, const std::string& description, const std::string& event) {
    return "[" + std::to_string(number) + "] " + description + " -> Evento " + event;
}

}  // namespace vgx
