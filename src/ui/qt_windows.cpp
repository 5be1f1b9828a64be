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

PromptAnswer QtWindows::Message(const Prompt& prompt) {
    if (prompt.Beep)
        Beep();
    const bool yesNo = prompt.Buttons == PromptButtons::YesNo;
    if (!interactive_) {
        // Nobody can answer on a server without a display: a question is answered No.
        std::fprintf(stderr, "vigiax: %s: %s\n", prompt.Title.c_str(), prompt.Text.c_str());
        return yesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
    QMessageBox box;
    box.setWindowTitle(QString::fromStdString(prompt.Title));
    box.setText(QString::fromStdString(prompt.Text));
    switch (prompt.Icon) {
        case PromptIcon::None:
            break;
        case PromptIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case PromptIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case PromptIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
    }
    if (yesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return PromptAnswer::Ok;
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
