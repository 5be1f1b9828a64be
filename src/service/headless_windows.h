#pragma once

#include "app/ports.h"

namespace vgx {

// The engine's windows in a copy without a screen: nothing is shown, and a question is answered
// No (a notice OK) from the loop and written to the standard error.
class HeadlessWindows final : public Windows {
public:
    explicit HeadlessWindows(EventLoop& loop) : loop_(loop) {}

    bool MainWindowVisible() const override { return false; }
    bool PanelVisible() const override { return false; }
    bool TrayExists() const override { return false; }
    void StateChanged() override {}
    void Beep() override {}
    LoopHandle Ask(const Prompt& prompt, std::function<void(PromptAnswer)> answered) override;
    void ShowRestartWarning() override {}
    void HideRestartWarning() override {}

private:
    EventLoop& loop_;
};

}  // namespace vgx
