#pragma once

#include <QDialog>
#include <QLabel>
#include <QTimer>

namespace vgx {

class Watchdog;

// frmAviso: the restart countdown, with the button that cancels it.
class RestartWarningWindow final : public QDialog {
public:
    explicit RestartWarningWindow(Watchdog& dog);

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

    Watchdog& dog_;
    QLabel* picture_;
    QLabel* lblBoot_;
    QTimer timer1_;
};

}  // namespace vgx
