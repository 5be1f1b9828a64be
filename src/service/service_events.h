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
    Timers& timers;  // the engine's own
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
    void NTService_Start();
    // Both timers stop until the service continues.
    void NTService_Pause();
    void NTService_Continue();
    // The copy is on its way out: the engine's waits end; the caller leaves the event loop.
    void NTService_Stop();
    // Tells the service manager the copy is alive.
    void KeepAlive();

private:
    // Runs one handler; an error goes to the system log with the event's name.
    template <class F>
    void Handle(const char* event, F&& handler);

    ServiceEventPorts ports_;
};

}  // namespace vgx
