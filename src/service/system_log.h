#pragma once

#include <memory>
#include <string>

namespace vgx {

// Event types of the service's events.
inline constexpr int kEventError = 109;
inline constexpr int kEventInformation = 4;

// Where the service's events go: the system log in the program, a recording in tests.
class SystemLog {
public:
    virtual ~SystemLog() = default;
    // `priority` is a syslog level (LOG_ERR, LOG_INFO, ...).
    virtual void Write(int priority, const std::string& message) = 0;
};

// syslog(3) with the ident "Vigiax" and the daemon facility.
std::unique_ptr<SystemLog> MakeSyslog();

// The syslog level of an event type: errors (109) as LOG_ERR, warnings (2) as LOG_WARNING, the
// rest as LOG_INFO.
int EventPriority(int eventType);

// Writes `message` as it is; the id only tells events apart at the call site.
void LogEvent(SystemLog& log, int eventType, int eventId, const std::string& message);

// "[" + number + "] " + description + " -> Evento " + event.
std::string EventErrorText(int number, const std::string& description, const std::string& event);

}  // namespace vgx
