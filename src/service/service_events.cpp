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

void ServiceEvents::Started() {
    Handle("Start",
           [this] { ports_.notifier.Notify(std::string("READY=1\nSTATUS=") + kStatusRunning); });
}

void ServiceEvents::Paused() {
    Handle("Pause", [this] {
        ports_.engine.Pause();
        LogEvent(ports_.log, kEventInformation, 110, kStatusPaused);
        ports_.engine.Panel().trayPicture = kTrayPaused;
        ports_.windows.StateChanged();
        ports_.notifier.Notify(std::string("STATUS=") + kStatusPaused);
    });
}

void ServiceEvents::Continued() {
    Handle("Continue", [this] {
        ports_.engine.Continue();
        ports_.engine.Panel().trayPicture = kTrayNormal;
        ports_.windows.StateChanged();
        LogEvent(ports_.log, kEventInformation, 110, kStatusContinued);
        ports_.notifier.Notify(std::string("STATUS=") + kStatusContinued);
    });
}

void ServiceEvents::Stopping() {
    ports_.notifier.Notify("STOPPING=1");
    ports_.engine.Stop();
}

}  // namespace vgx
