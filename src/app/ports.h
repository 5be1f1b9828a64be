#pragma once

#include <string>
#include <vector>

#include "records/prompt.h"

namespace vgx {

// Runs the window events that are waiting (timer ticks, clicks, the tray), then returns.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void ProcessEvents() = 0;
};

// Restarting the computer. Only the production build holds the real one.
class PowerControl {
public:
    virtual ~PowerControl() = default;
    // True when this process may restart the machine.
    virtual bool EnableShutdownPrivilege() = 0;
    // Asks the init system for an orderly restart; the result is not looked at.
    virtual void RestartComputer() = 0;
};

// Starts a program hidden and waits for it to end, without a time limit.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // Returns false when the program could not be started.
    virtual bool RunAndWait(const std::vector<std::string>& argv) = 0;
};

// The windows the engine drives. The engine holds the state they show (report text,
// failure label, colours, tray picture); this is what it asks of them directly.
class Windows {
public:
    virtual ~Windows() = default;
    virtual bool MainWindowVisible() const = 0;
    virtual bool PanelVisible() const = 0;
    // Makes sure the tray icon exists (does nothing when it does).
    virtual void TrayIcon(bool show) = 0;
    virtual bool TrayExists() const = 0;
    // The engine's panel or tray state changed; redraw what is shown.
    virtual void StateChanged() = 0;
    virtual void Beep() = 0;
    // Shows a message box and waits for the answer; sounds the beep first when it asks for one.
    virtual PromptAnswer Message(const Prompt& prompt) = 0;
    // Shows the restart warning, or raises it when it is already shown.
    virtual void ShowRestartWarning() = 0;
    virtual void HideRestartWarning() = 0;
};

}  // namespace vgx
