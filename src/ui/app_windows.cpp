#include "ui/app_windows.h"

#include <QApplication>
#include <QFileDialog>

#include <cstdio>

#include "app/engine.h"
#include "probes/local_addresses.h"
#include "ui/message_box.h"
#include "ui/restart_warning_window.h"
#include "ui/settings/log_viewer.h"
#include "ui/settings/main_window.h"

namespace vgx {

AppWindows::AppWindows()
    : interactive_(QGuiApplication::platformName() != QLatin1String("offscreen")) {}

AppWindows::~AppWindows() = default;

void AppWindows::Attach(Engine& engine) {
    engine_ = &engine;
    const ImageFiles& images = engine.Images();
    context_ = std::make_unique<WindowContext>(WindowContext{
        engine,
        *this,
        IconStrip(QString::fromStdString(images.buttons.string())),
        IconStrip(QString::fromStdString(images.menu.string())),
        [](QWidget* parent) {
            return QFileDialog::getExistingDirectory(parent,
                                                     QStringLiteral("Selecione um diretório:"));
        },
        &ShowTextFile,
        &ListLocalAddresses,
        {},
    });
    warning_ = std::make_unique<RestartWarningWindow>(engine.Dog());
    main_ = std::make_unique<MainWindow>(*context_);
    QObject::connect(main_.get(), &MainWindow::trayRequested, main_.get(), [this] { ToTray(); });
    QObject::connect(main_.get(), &MainWindow::closed, main_.get(), [this] { Unload(); });
}

void AppWindows::Start() {
    if (engine_->Settings().Working().RunAsService != 0)
        return;
    main_->show();
    main_->raise();
    main_->activateWindow();
}

void AppWindows::Release() {
    main_.reset();
    warning_.reset();
}

bool AppWindows::MainWindowVisible() const {
    return main_ && main_->isVisible();
}

void AppWindows::ToTray() {
    TrayIcon(true);
}

void AppWindows::TrayIcon(bool show) {
    if (!show || !main_)
        return;
    // Without a notification area the window is only minimised: never no window and no icon.
    main_->showMinimized();
}

void AppWindows::Unload() {
    TrayIcon(false);
    QApplication::quit();
}

void AppWindows::StateChanged() {
    if (warning_ && warning_->isVisible())
        warning_->UpdateLabel();
}

void AppWindows::Beep() {
    QApplication::beep();
}

PromptAnswer AppWindows::Message(const Prompt& prompt) {
    if (messageSeam)
        return messageSeam(prompt);
    if (!interactive_) {
        // Nobody can answer on a server without a display: a question is answered No.
        std::fprintf(stderr, "vigiax: %s: %s\n", prompt.Title.c_str(), prompt.Text.c_str());
        return prompt.Buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
    return ShowPromptBox(prompt, QApplication::activeWindow());
}

void AppWindows::ShowRestartWarning() {
    if (warning_)
        warning_->ShowWarning();
}

void AppWindows::HideRestartWarning() {
    if (warning_)
        warning_->HideWarning();
}

}  // namespace vgx
