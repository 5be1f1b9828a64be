#include "ui/qt_windows.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

#include "app/engine.h"
#include "ui/restart_warning_window.h"

namespace vgx {

QtWindows::QtWindows()
    : interactive_(QGuiApplication::platformName() != QLatin1String("offscreen")) {}

QtWindows::~QtWindows() = default;

void QtWindows::Attach(Engine& engine) {
    warning_ = std::make_unique<RestartWarningWindow>(engine.Dog());
}

void QtWindows::StateChanged() {
    if (warning_ && warning_->isVisible())
        warning_->UpdateLabel();
}

void QtWindows::Beep() {
    QApplication::beep();
}

MessageAnswer QtWindows::Message(const std::string& text, const std::string& title,
                                 MessageIcon icon, MessageButtons buttons) {
    if (!interactive_) {
        // Nobody can answer on a server without a display: a question is answered No.
        std::fprintf(stderr, "vigiax: %s: %s\n", title.c_str(), text.c_str());
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(title));
    box.setText(QString::fromStdString(text));
    switch (icon) {
        case MessageIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
    }
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return MessageAnswer::Ok;
}

void QtWindows::ShowRestartWarning() {
    if (warning_)
        warning_->ShowWarning();
}

void QtWindows::HideRestartWarning() {
    if (warning_)
        warning_->HideWarning();
}

}  // namespace vgx
