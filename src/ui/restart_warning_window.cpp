#include "ui/restart_warning_window.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/watchdog.h"

namespace vgx {

RestartWarningWindow::RestartWarningWindow(Watchdog& dog)
    : RestartWarningWindow(WarningSource{[&dog]() -> const RestartWarning& { return dog.Warning(); },
                                         [&dog] { dog.CancelRestartWarning(); }}) {}

RestartWarningWindow::RestartWarningWindow(WarningSource source)
    : source_(std::move(source)), picture_(new QLabel(this)), lblBoot_(new QLabel(this)) {
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

    connect(cancel, &QPushButton::clicked, this, [this] { cmdCancelar_Click(); });
}

void RestartWarningWindow::ShowWarning() {
    UpdateLabel();
    show();
    raise();
    activateWindow();
}

void RestartWarningWindow::HideWarning() {
    hide();
}

void RestartWarningWindow::UpdateLabel() {
    QString text = QString::fromStdString(source_.warning().Label());
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lblBoot_->setText(text);
}

void RestartWarningWindow::cmdCancelar_Click() {
    if (isVisible())
        source_.cancel();
    HideWarning();
}

void RestartWarningWindow::reject() {
    cmdCancelar_Click();
}

}  // namespace vgx
