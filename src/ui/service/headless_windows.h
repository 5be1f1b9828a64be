#pragma once

#include <QTimer>

#include "app/ports.h"

namespace vgx {

class Watchdog;

// The engine's windows in a copy without a screen: nothing is shown, a question is answered
// No and written to the standard error, and the restart warning counts down unseen.
class HeadlessWindows final : public Windows {
public:
    HeadlessWindows();

    void Attach(Watchdog& dog) { dog_ = &dog; }

    bool MainWindowVisible() const override { return false; }
    bool PanelVisible() const override { return false; }
    void TrayIcon(bool) override {}
    bool TrayExists() const override { return false; }
    void StateChanged() override {}
    void Beep() override {}
    PromptAnswer Message(const Prompt& prompt) override;
    void ShowRestartWarning() override;
    void HideRestartWarning() override;

private:
    Watchdog* dog_ = nullptr;
    QTimer countdown_;
};

}  // namespace vgx
