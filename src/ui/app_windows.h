#pragma once

#include <QString>
#include <functional>
#include <list>
#include <memory>
#include <optional>

#include "app/ports.h"
#include "ui/restart_warning_window.h"
#include "ui/settings/window_context.h"

class QWidget;

namespace vgx {

class Engine;
class MainWindow;
class ServiceControl;
class StatusPanel;
class SysTrayIcon;
class TrayHostWatcher;

// The program's windows as the engine sees them: the settings window, the tray icon and its
// menu, the status panel, the About window, the restart warning and the message boxes
// (through one seam that tests replace).
class AppWindows final : public Windows {
public:
    AppWindows();
    ~AppWindows() override;

    // After the engine's Load: builds the windows on its models and picture files.
    // `service` installs, removes and controls the service copy (the tests' own in tests).
    // A face shows the warning of the copy it faces (`warning`); otherwise this copy's own.
    void Attach(Engine& engine, ServiceControl* service,
                std::optional<WarningSource> warning = std::nullopt);
    // The tray icon's tool tip, now and for every icon made later.
    void SetTrayToolTip(const QString& tip);
    // The interactive start shows the settings window; with service mode chosen the program
    // starts in the tray.
    void Start();
    // Closes and destroys every window; before the engine they show goes.
    void Release();

    MainWindow* Main() const { return main_.get(); }
    StatusPanel* Panel() const { return panel_.get(); }
    SysTrayIcon* Tray() const { return tray_.get(); }
    WindowContext& Context() { return *context_; }
    // Questions and notices go here instead of to a message box (tests answer them); the answer
    // still reaches the asker from the loop.
    std::function<PromptAnswer(const Prompt&)> messageSeam;
    // A notice nobody waits for: the box stays open until the user closes it.
    void Tell(const Prompt& prompt);
    // Makes sure the tray icon exists (does nothing when it does) or takes it away.
    void TrayIcon(bool show);
    // Whether the desktop has a notification area (tests say so themselves).
    std::function<bool()> trayAvailable;

    // Windows port.
    bool MainWindowVisible() const override;
    bool PanelVisible() const override;
    bool TrayExists() const override { return tray_ != nullptr; }
    void StateChanged() override;
    void Beep() override;
    LoopHandle Ask(const Prompt& prompt, std::function<void(PromptAnswer)> answered) override;
    void ShowRestartWarning() override;
    void HideRestartWarning() override;

    // The tray's handlers.
    void SysTrayDoubleClick(int button);
    void MenuClick(int index);
    // "X": from the window to the tray.
    void MinimizeToTray();
    // The tray host came back (a desktop panel restarted).
    void TrayHostReturned();
    // The service paused or continued: "start" is offered while it is paused, and the status
    // panel is hidden meanwhile.
    void ServicePauseChanged(bool paused);

private:
    void chkPanel_Click();
    void chkSVisi_Click();
    void TogglePanel();
    void OpenAbout();
    void Quit();
    void QuitConfirmed();
    // The "X" animation, once the tray host has placed the icon (`tries` more looks left).
    void AnimateToTray(int tries);
    // The program ends: the panel keeps its place, the tray icon goes, the loop ends.
    void Unload();
    bool HasTrayArea() const;

    Engine* engine_ = nullptr;
    ServiceControl* service_ = nullptr;
    std::unique_ptr<WindowContext> context_;
    std::unique_ptr<MainWindow> main_;
    std::unique_ptr<StatusPanel> panel_;
    std::unique_ptr<SysTrayIcon> tray_;
    std::unique_ptr<TrayHostWatcher> trayWatcher_;
    std::unique_ptr<RestartWarningWindow> warning_;
    int listener_ = 0;
    QString trayTip_ = QStringLiteral("Vigiax");
    bool interactive_;
    std::list<LoopHandle> notices_;
    LoopHandle quitQuestion_;
};

}  // namespace vgx
