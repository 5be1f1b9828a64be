#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "app/ports.h"
#include "service/channel_server.h"

namespace vgx {

class Engine;

// The copy that runs the watchdog (it holds the program directory's lock): what its windows show
// goes to the faces connected to it, and their commands are carried out here as if given here.
class WatchdogHost {
public:
    WatchdogHost(Engine& engine, const std::filesystem::path& programDir);
    ~WatchdogHost();

    // The engine's state, to every face.
    void Publish();
    bool FacesConnected() const;

    // The state the faces are sent.
    static RemoteState StateOf(Engine& engine);

private:
    void Command(ChannelMessageType type);

    Engine& engine_;
    std::unique_ptr<ChannelServer> server_;
};

// The engine's windows in the copy that runs the watchdog: every change of what they show is
// also published to the faces, and the tray picture and the panel's colours are always kept
// up, since a face may show them at any moment.
class PublishingWindows final : public Windows {
public:
    explicit PublishingWindows(Windows& inner) : inner_(inner) {}

    void SetHost(WatchdogHost* host) { host_ = host; }

    bool MainWindowVisible() const override { return inner_.MainWindowVisible(); }
    bool PanelVisible() const override { return inner_.PanelVisible() || Faces(); }
    bool TrayExists() const override { return inner_.TrayExists() || Faces(); }
    void StateChanged() override;
    void Beep() override { inner_.Beep(); }
    LoopHandle Ask(const Prompt& prompt, std::function<void(PromptAnswer)> answered) override {
        return inner_.Ask(prompt, std::move(answered));
    }
    void ShowRestartWarning() override;
    void HideRestartWarning() override;

private:
    bool Faces() const { return host_ != nullptr; }
    void Publish() {
        if (host_ != nullptr)
            host_->Publish();
    }

    Windows& inner_;
    WatchdogHost* host_ = nullptr;
};

}  // namespace vgx
