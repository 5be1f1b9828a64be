#pragma once

#include <memory>

#include "app/ports.h"

namespace vgx {

class Engine;
class RestartWarningWindow;

// The engine's view of the windows. Until the settings window and the tray exist the program
// runs hidden: no main window, no panel, no tray.
class QtWindows final : public Windows {
public:
    QtWindows();
    ~QtWindows() override;

    void Attach(Engine& engine);

    bool MainWindowVisible() const override { return false; }
    bool PanelVisible() const override { return false; }
    void TrayIcon(bool) override {}
    bool TrayExists() const override { return false; }
    void StateChanged() override;
    void Beep() override;
    PromptAnswer Message(const Prompt& prompt) override;
    void ShowRestartWarning() override;
    void HideRestartWarning() override;

private:
    std::unique_ptr<RestartWarningWindow> warning_;
    bool interactive_;
};

}  // namespace vgx
