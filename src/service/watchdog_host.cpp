#include "service/watchdog_host.h"

#include "app/engine.h"

namespace vgx {

WatchdogHost::WatchdogHost(Engine& engine, const std::filesystem::path& programDir)
    : engine_(engine),
      server_(std::make_unique<ChannelServer>(engine.Loop(), programDir,
                                              [this](ChannelMessageType type) { Command(type); })) {
    Publish();
}

WatchdogHost::~WatchdogHost() = default;

RemoteState WatchdogHost::StateOf(Engine& engine) {
    const PanelState& panel = engine.Panel();
    const RestartWarning& warning = engine.Dog().Warning();
    return {panel.report,
            panel.failureLabel,
            panel.colours,
            panel.trayPicture,
            engine.Dog().PublishedFailures(),
            engine.Paused(),
            warning.Counting(),
            warning.Counter()};
}

void WatchdogHost::Publish() {
    server_->Publish(StateOf(engine_));
}

bool WatchdogHost::FacesConnected() const {
    return server_->Connections() > 0;
}

void WatchdogHost::Command(ChannelMessageType type) {
    Watchdog& dog = engine_.Dog();
    switch (type) {
        case ChannelMessageType::SettingsSaved:
            engine_.ReloadSettings();
            break;
        case ChannelMessageType::JobsSaved:
            engine_.ReloadJobs();
            break;
        case ChannelMessageType::ResetFailures:
            dog.ResetFailures();
            break;
        case ChannelMessageType::RestartButton:
            dog.RestartButton();
            break;
        case ChannelMessageType::CancelRestart:
            // The face told its user; here the countdown stops and the cancel is recorded.
            if (dog.Warning().Counting())
                dog.CancelRestartWarning(false);
            break;
        case ChannelMessageType::State:
            break;
    }
    Publish();
}

void PublishingWindows::StateChanged() {
    inner_.StateChanged();
    Publish();
}

void PublishingWindows::ShowRestartWarning() {
    inner_.ShowRestartWarning();
    Publish();
}

void PublishingWindows::HideRestartWarning() {
    inner_.HideRestartWarning();
    Publish();
}

}  // namespace vgx
