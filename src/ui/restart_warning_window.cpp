#include "ui/restart_warning_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/watchdog.h"

namespace vgx {

RestartWarningWindow::RestartWarningWindow(Watchdog& dog)
    : dog_(dog), picture_(new QLabel(this)), lblBoot_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("BOOT..."));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setObjectName(QStringLiteral("frmAviso"));

    picture_->setObjectName(QStringLiteral("Picture1"));
    picture_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
    lblBoot_->setObjectName(QStringLiteral("lblBoot"));
    lblBoot_->setMinimumWidth(160);
    auto* cancel = new QPushButton(QStringLiteral("&Cancelar"), this);
    cancel->setObjectName(QStringLiteral("cmdCancelar"));

    auto* top = new QHBoxLayout;
    top->addWidget(picture_);
    top->addWidget(lblBoot_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(cancel, 0, Qt::AlignHCenter);

    timer1_.setInterval(1000);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(cancel, &QPushButton::clicked, this, [this] { cmdCancelar_Click(); });
}

void RestartWarningWindow::ShowWarning() {
    if (!timer1_.isActive() && dog_.Warning().Counting()) {
        UpdateLabel();
        timer1_.start();
    }
    show();
    raise();
    activateWindow();
}

void RestartWarningWindow::HideWarning() {
    timer1_.stop();
    hide();
}

void RestartWarningWindow::UpdateLabel() {
    QString text = QString::fromStdString(dog_.Warning().Label());
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lblBoot_->setText(text);
}

void RestartWarningWindow::Timer1_Timer() {
    dog_.RestartWarningTick();
    UpdateLabel();
    if (!dog_.Warning().Counting())
        timer1_.stop();
}

void RestartWarningWindow::cmdCancelar_Click() {
    if (isVisible())
        dog_.RestartWarningCancel();
    HideWarning();
}

void RestartWarningWindow::reject() {
    cmdCancelar_Click();
}

}  // namespace vgx
