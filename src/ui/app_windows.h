#pragma once

#include <functional>
#include <memory>

#include "app/ports.h"
#include "ui/settings/window_context.h"

namespace vgx {

class Engine;
class MainWindow;
class RestartWarningWindow;

// The program's windows as the engine sees them: the settings window, the restart warning and
// the message boxes (through one seam that tests replace).
class AppWindows final : public Windows {
public:
    AppWindows();
    ~AppWindows() override;

    // After the engine's Form_Load: builds the windows on its models and picture files.
    void Attach(Engine& engine);
    // The interactive start shows the settings window; a start as a service keeps it hidden.
    void Start();
    // Closes and destroys every window; before the engine they show goes.
    void Release();

    MainWindow* Main() const { return main_.get(); }
    WindowContext& Context() { return *context_; }
    // Questions and notices go here instead of to a message box (tests answer them).
    std::function<PromptAnswer(const Prompt&)> messageSeam;

    bool MainWindowVisible() const override;
    bool PanelVisible() const override { return false; }
    void TrayIcon(bool show) override;
    bool TrayExists() const override { return false; }
    void StateChanged() override;
    void Beep() override;
    PromptAnswer Message(const Prompt& prompt) override;
    void ShowRestartWarning() override;
    void HideRestartWarning() override;

private:
    void ToTray();
    void Unload();

    Engine* engine_ = nullptr;
    std::unique_ptr<WindowContext> context_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<RestartWarningWindow> warning_;
    bool interactive_;
};

}  // namespace vgx
