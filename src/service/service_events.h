#pragma once

#include "app/engine.h"
#include "service/service_notifier.h"
#include "service/system_log.h"

namespace vgx {

// What the service copy tells the service manager while it runs.
inline constexpr const char* kStatusRunning = "Vigiando o servidor";
inline constexpr const char* kStatusPaused = "Serviço Pausado";
inline constexpr const char* kStatusContinued = "Serviço Continuado";
inline constexpr const char* kStatusWaitingForLock =
    "Aguardando: outra cópia do Vigiax vigia esta pasta";

struct ServiceEventPorts {
    Engine& engine;
    Windows& windows;
    SystemLog& log;
    ServiceNotifier& notifier;
};

// The service copy's answers to the service manager. The copy has no status panel and no
// tray, so their steps come down to the engine's panel state.
class ServiceEvents {
public:
    explicit ServiceEvents(ServiceEventPorts ports) : ports_(ports) {}

    // Once the engine is loaded: the service is ready.
    void Started();
    // No cycle and no cleaning until the service continues.
    void Paused();
    void Continued();
    // The copy is on its way out: the engine stops where it waits; the caller leaves the loop.
    void Stopping();

private:
    // Runs one handler; an error goes to the system log with the event's name.
    template <class F>
    void Handle(const char* event, F&& handler);

    ServiceEventPorts ports_;
};

}  // namespace vgx
