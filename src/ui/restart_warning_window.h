#pragma once

#include <QDialog>
#include <QLabel>
#include <functional>

namespace vgx {

class RestartWarning;
class Watchdog;

// Whose countdown the warning shows (this copy's, or the one of the copy a face faces), and
// what its cancel does.
struct WarningSource {
    std::function<const RestartWarning&()> warning;
    std::function<void()> cancel;
};

// frmAviso: the restart countdown, with the button that cancels it. The countdown runs in the
// engine; the window shows it at every change of state.
class RestartWarningWindow final : public QDialog {
public:
    explicit RestartWarningWindow(Watchdog& dog);
    explicit RestartWarningWindow(WarningSource source);

    // Shows the warning, or brings it to the front when already shown.
    void ShowWarning();
    void HideWarning();
    void UpdateLabel();

    // Escape, the close button and the window manager all end here: leaving the warning is
    // a cancel, so no countdown ever goes on unseen.
    void reject() override;

private:
    void cmdCancelar_Click();

    WarningSource source_;
    QLabel* picture_;
    QLabel* lblBoot_;
};

}  // namespace vgx
