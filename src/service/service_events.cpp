#include "service/service_events.h"

#include <system_error>

namespace vgx {

template <class F>
void ServiceEvents::Handle(const char* event, F&& handler) {
    try {
        handler();
    } catch (const std::system_error& e) {
        LogEvent(ports_.log, kEventError, 1, EventErrorText(e.code().value(), e.what(), event));
    } catch (const std::exception& e) {
        LogEvent(ports_.log, kEventError, 1, EventErrorText(0, e.what(), event));
    }
}

void ServiceEvents::NTService_Start() {
    Handle("Start",
           [this] { ports_.notifier.Notify(std::string("READY=1\nSTATUS=") + kStatusRunning); });
}

void ServiceEvents::NTService_Pause() {
    Handle("Pause", [this] {
        ports_.engine.SetServicePaused(true);
        ports_.timers.SetInterval(EngineTimer::Ping, -1);
        ports_.timers.SetInterval(EngineTimer::Pasta, -1);
        LogEvent(ports_.log, kEventInformation, 110, kStatusPaused);
        ports_.engine.Panel().trayPicture = kTrayPaused;
        ports_.windows.StateChanged();
        ports_.notifier.Notify(std::string("STATUS=") + kStatusPaused);
    });
}

void ServiceEvents::NTService_Continue() {
    Handle("Continue", [this] {
        ports_.engine.SetServicePaused(false);
        ports_.timers.SetInterval(EngineTimer::Ping, 1000);
        ports_.timers.SetInterval(EngineTimer::Pasta, 23000);
        ports_.engine.Panel().trayPicture = kTrayNormal;
        ports_.windows.StateChanged();
        LogEvent(ports_.log, kEventInformation, 110, kStatusContinued);
        ports_.notifier.Notify(std::string("STATUS=") + kStatusContinued);
    });
}

void ServiceEvents::NTService_Stop() {
    ports_.notifier.Notify("STOPPING=1");
    ports_.engine.RequestStop();
}

void ServiceEvents::KeepAlive() {
    ports_.notifier.Notify("WATCHDOG=1");
}

}  // namespace vgx
