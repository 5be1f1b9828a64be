#pragma once

#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <functional>

namespace vgx {

class RestartWarning;
class Watchdog;

// Whose countdown the warning shows, and what its ticks and its cancel do.
struct WarningSource {
    std::function<const RestartWarning&()> warning;
    std::function<void()> tick;  // empty: the countdown ticks in another copy of the program
    std::function<void()> cancel;
};

// frmAviso: the restart countdown, with the button that cancels it.
class RestartWarningWindow final : public QDialog {
public:
    explicit RestartWarningWindow(Watchdog& dog);
    explicit RestartWarningWindow(WarningSource source);

    // Shows the warning and starts Timer1, or brings it to the front when already shown.
    void ShowWarning();
    void HideWarning();
    void UpdateLabel();

    // Escape, the close button and the window manager all end here: leaving the warning is
    // a cancel, so no countdown ever goes on unseen.
    void reject() override;

private:
    void Timer1_Timer();
    void cmdCancelar_Click();

    WarningSource source_;
    QLabel* picture_;
    QLabel* lblBoot_;
    QTimer timer1_;
};

}  // namespace vgx
