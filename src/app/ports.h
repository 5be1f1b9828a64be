#pragma once

#include <functional>
#include <string>
#include <vector>

#include "loop/event_loop.h"
#include "records/prompt.h"

namespace vgx {

// Restarting the computer. Only the production build holds the real one.
class PowerControl {
public:
    virtual ~PowerControl() = default;
    // True when this process may restart the machine.
    virtual bool EnableShutdownPrivilege() = 0;
    // Asks the init system for an orderly restart; the result is not looked at.
    virtual void RestartComputer() = 0;
};

// Starts a program hidden and tells when it has ended, without a time limit.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // `ended` is called once, from the loop: false when the program could not be started.
    // Dropping the handle stops watching; the program goes on.
    virtual LoopHandle Run(const std::vector<std::string>& argv,
                           std::function<void(bool started)> ended) = 0;
};

// Puts a question or a notice to the user. `answered` is called once, from the loop (never from
// inside the call), unless the handle is dropped first, which takes the question away.
using AskUser =
    std::function<LoopHandle(const Prompt& prompt, std::function<void(PromptAnswer)> answered)>;

// The windows the engine drives. The engine holds the state they show (report text,
// failure label, colours, tray picture); this is what it asks of them directly.
class Windows {
public:
    virtual ~Windows() = default;
    virtual bool MainWindowVisible() const = 0;
    virtual bool PanelVisible() const = 0;
    virtual bool TrayExists() const = 0;
    // The engine's panel or tray state changed; redraw what is shown.
    virtual void StateChanged() = 0;
    virtual void Beep() = 0;
    // Shows a message box without waiting for it; sounds the beep first when it asks for one.
    virtual LoopHandle Ask(const Prompt& prompt, std::function<void(PromptAnswer)> answered) = 0;
    // Shows the restart warning, or raises it when it is already shown.
    virtual void ShowRestartWarning() = 0;
    virtual void HideRestartWarning() = 0;
};

}  // namespace vgx
