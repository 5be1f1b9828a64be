#include "ui/app_windows.h"

#include <QApplication>
#include <QFileDialog>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdio>

#include "app/engine.h"
#include "probes/local_addresses.h"
#include "service/service_control.h"
#include "ui/about/about_window.h"
#include "ui/message_box.h"
#include "ui/panel/status_panel.h"
#include "ui/restart_warning_window.h"
#include "ui/settings/folder_chooser.h"
#include "ui/settings/log_viewer.h"
#include "ui/settings/main_window.h"
#include "ui/tray/sys_tray_icon.h"
#include "ui/tray/tray_animation.h"
#include "ui/tray/tray_host_watcher.h"
#include "ui/tray/tray_menu.h"
#include "ui/tray/tray_pictures.h"

namespace vgx {

namespace {

constexpr int kServicePausePending = 6;

}  // namespace

AppWindows::AppWindows()
    : interactive_(QGuiApplication::platformName() != QLatin1String("offscreen")) {}

AppWindows::~AppWindows() {
    Release();
}

void AppWindows::Attach(Engine& engine, ServiceControl* service,
                        std::optional<WarningSource> warning) {
    engine_ = &engine;
    service_ = service;
    const ImageFiles& images = engine.Images();
    context_ = std::make_unique<WindowContext>(WindowContext{
        engine,
        *this,
        IconStrip(QString::fromStdString(images.buttons.string())),
        IconStrip(QString::fromStdString(images.menu.string())),
        &OpenFolderChooser,
        &ShowTextFile,
        &ListLocalAddresses,
        [this] {
            if (service_ == nullptr)
                return;
            if (const ServiceOutcome done = service_->InstallService(true); done.message)
                Tell({*done.message, kServiceMessageTitle, PromptIcon::None, PromptButtons::Ok});
        },
        [&engine] { engine.Dog().AskToResetFailures(); },
        [&engine] { engine.Dog().RestartButton(); },
        [&engine] { engine.JobsChanged(); },
        {},
        [this](const Prompt& p) { Tell(p); },
    });

    SettingsModel& settings = engine.Settings();
    settings.hooks.serviceStep = [this](bool install) {
        if (service_ == nullptr)
            return;
        if (install)
            service_->InstallService(false);
        else
            service_->UninstallService(false);
    };
    settings.hooks.reapplyAlwaysOnTop = [this] { chkSVisi_Click(); };
    settings.hooks.saveFailed = [this] {
        engine_->Log().WriteLog("FALHA AO GRAVAR VGX.CFG! ");
        Tell(ErrorMessage("Não foi possível gravar o arquivo vgx.cfg."));
    };

    warning_ = warning ? std::make_unique<RestartWarningWindow>(std::move(*warning))
                       : std::make_unique<RestartWarningWindow>(engine.Dog());
    panel_ = std::make_unique<StatusPanel>(settings);
    panel_->SetOpacity(settings.Value(Setting::PanelOpacity));
    listener_ = settings.AddListener([this](Setting c) {
        if (c == Setting::ShowPanel)
            chkPanel_Click();
        else if (c == Setting::PanelOnTop)
            chkSVisi_Click();
        else if (c == Setting::PanelOpacity)
            panel_->SetOpacity(engine_->Settings().Value(Setting::PanelOpacity));
    });

    main_ = std::make_unique<MainWindow>(*context_);
    QObject::connect(main_.get(), &MainWindow::trayRequested, main_.get(),
                     [this] { MinimizeToTray(); });
    QObject::connect(main_.get(), &MainWindow::aboutRequested, main_.get(),
                     [this] { OpenAbout(); });
    QObject::connect(main_.get(), &MainWindow::closed, main_.get(), [this] { Unload(); });

    // A restarted desktop panel is noticed within a few seconds; each look costs the desktop work.
    trayWatcher_ = std::make_unique<TrayHostWatcher>(
        nullptr, [this] { return HasTrayArea(); }, std::chrono::seconds(3));
    QObject::connect(trayWatcher_.get(), &TrayHostWatcher::hostReturned, main_.get(),
                     [this] { TrayHostReturned(); });
    StateChanged();
}

void AppWindows::Start() {
    if (engine_->Settings().Working().RunAsService != 0) {
        TrayIcon(true);
    } else {
        main_->show();
        main_->raise();
        main_->activateWindow();
    }
    // The panel as the settings stored it.
    chkPanel_Click();
    chkSVisi_Click();
}

void AppWindows::Release() {
    if (engine_ != nullptr && listener_ != 0)
        engine_->Settings().RemoveListener(listener_);
    listener_ = 0;
    trayWatcher_.reset();
    tray_.reset();
    main_.reset();
    panel_.reset();
    warning_.reset();
}

bool AppWindows::HasTrayArea() const {
    return trayAvailable ? trayAvailable() : QSystemTrayIcon::isSystemTrayAvailable();
}

bool AppWindows::MainWindowVisible() const {
    return main_ && main_->isVisible();
}

bool AppWindows::PanelVisible() const {
    return panel_ && panel_->isVisible();
}

void AppWindows::TrayIcon(bool show) {
    if (!show) {
        tray_.reset();
        return;
    }
    if (!main_)
        return;
    // The pooling tick asks for the icon every second while the window is hidden: with an icon
    // already there nothing more is asked of the desktop.
    if (tray_) {
        main_->hide();
        return;
    }
    if (!HasTrayArea()) {
        // No notification area: the window is minimised, never left with no window and no icon.
        if (!main_->isVisible())
            main_->showMinimized();
        return;
    }
    main_->hide();
    tray_ = std::make_unique<SysTrayIcon>();
    tray_->SetImageList(QString::fromStdString(engine_->Images().menu.string()));
    const int picture = TrayPictureFor(engine_->Dog().FailureLimit(),
                                       engine_->Dog().PublishedFailures(), engine_->Paused());
    engine_->Panel().trayPicture = picture;
    tray_->SetPicture(picture);
    tray_->SetToolTip(trayTip_);
    BuildTrayMenu(*tray_, PanelVisible());
    tray_->SetItemEnabled(QStringLiteral("start"), engine_->Paused());
    QObject::connect(tray_.get(), &SysTrayIcon::SysTrayMouseDown, main_.get(), [this](int b) {
        if (b == 2 && tray_)
            tray_->ShowMenu();
    });
    QObject::connect(tray_.get(), &SysTrayIcon::SysTrayDoubleClick, main_.get(),
                     [this](int b) { SysTrayDoubleClick(b); });
    QObject::connect(tray_.get(), &SysTrayIcon::MenuClick, main_.get(),
                     [this](int index, const QString&) { MenuClick(index); });
    tray_->Initialise();
}

void AppWindows::SetTrayToolTip(const QString& tip) {
    trayTip_ = tip;
    if (tray_)
        tray_->SetToolTip(tip);
}

void AppWindows::MinimizeToTray() {
    if (!HasTrayArea()) {
        main_->showMinimized();
        return;
    }
    TrayIcon(true);
    AnimateToTray(15);
}

void AppWindows::AnimateToTray(int tries) {
    // The icon's place is known once the tray host has taken it: looked at again every 20 ms,
    // for up to 300 ms, without waiting in between.
    if (!tray_)
        return;
    if (tray_->Geometry().isNull() && tries > 0) {
        QTimer::singleShot(20, tray_.get(), [this, tries] { AnimateToTray(tries - 1); });
        return;
    }
    AnimateWindowToTray(main_.get(), false, false, tray_->Geometry(), {});
}

void AppWindows::SysTrayDoubleClick(int button) {
    if ((button != 1 && button != 4) || main_->isVisible())
        return;
    // The outline grows out of the tray while the window comes back.
    if (tray_)
        AnimateWindowToTray(main_.get(), true, true, tray_->Geometry(), {});
    main_->setWindowState(Qt::WindowNoState);
    main_->show();
    if (const QScreen* screen = main_->screen())
        main_->move(screen->geometry().center() - main_->rect().center());
    TrayIcon(false);
    main_->raise();
    main_->activateWindow();
}

void AppWindows::MenuClick(int index) {
    switch (index) {
        case kTrayItemConfig:
            SysTrayDoubleClick(1);
            break;
        case kTrayItemPanel:
            TogglePanel();
            break;
        case kTrayItemStart:
            if (service_ != nullptr) {
                const int state = service_->QueryServiceState();
                if (state == kServicePaused || state == kServicePausePending)
                    service_->ContinueServiceByName();
                else
                    service_->StartServiceByName();
            }
            break;
        case kTrayItemStop:
            if (service_ != nullptr && engine_->Settings().Value(Setting::RunAsService) == 1)
                service_->PauseServiceByName();
            break;
        case kTrayItemHelp:
            OpenAbout();
            break;
        case kTrayItemQuit:
            Quit();
            break;
        default:
            break;
    }
}

void AppWindows::TogglePanel() {
    SettingsModel& settings = engine_->Settings();
    settings.SetValue(Setting::ShowPanel, PanelVisible() ? 0 : 1);
    if (tray_)
        tray_->SetChecked(QStringLiteral("panel"), PanelVisible());
}

void AppWindows::chkPanel_Click() {
    const SettingsModel& settings = engine_->Settings();
    if (settings.Value(Setting::ShowPanel) == 1) {
        panel_->Refresh(engine_->Panel());
        panel_->ShowAt(settings.Working().PanelLeft, settings.Working().PanelTop);
    } else {
        panel_->hide();
    }
    if (tray_)
        tray_->SetChecked(QStringLiteral("panel"), settings.Value(Setting::ShowPanel) == 1);
}

void AppWindows::chkSVisi_Click() {
    if (PanelVisible())
        panel_->ApplyAlwaysOnTop(engine_->Settings().Value(Setting::PanelOnTop) == 1);
}

void AppWindows::TrayHostReturned() {
    TrayIcon(false);
    TrayIcon(true);
    if (PanelVisible()) {
        panel_->hide();
        panel_->show();
    }
    chkSVisi_Click();
}

void AppWindows::ServicePauseChanged(bool paused) {
    if (tray_)
        tray_->SetItemEnabled(QStringLiteral("start"), paused);
    if (paused) {
        panel_->hide();
        return;
    }
    SettingsModel& settings = engine_->Settings();
    if (settings.Value(Setting::ShowPanel) != 1)
        return;
    // With no stored place the panel goes to the bottom right of the work area.
    Settings& place = settings.Working();
    if (place.PanelLeft == 0 && place.PanelTop == 0)
        place.PanelLeft = place.PanelTop = 50000;
    panel_->Refresh(engine_->Panel());
    panel_->ShowAt(place.PanelLeft, place.PanelTop);
    chkSVisi_Click();
}

void AppWindows::OpenAbout() {
    ShowAbout(main_.get(), engine_->ProgramDir());
}

void AppWindows::Quit() {
    quitQuestion_ = Ask(Question("Você realmente deseja sair?"), [this](PromptAnswer answer) {
        quitQuestion_.reset();
        if (answer == PromptAnswer::Yes)
            QuitConfirmed();
    });
}

void AppWindows::QuitConfirmed() {
    if (service_ != nullptr) {
        service_->StopServiceByName();
        const SettingsModel& settings = engine_->Settings();
        // A service box unticked without a confirm: the registration follows the committed value.
        if (settings.Working().RunAsService != settings.Committed().RunAsService &&
            settings.Working().RunAsService == 0) {
            service_->InstallService(false);
        }
    }
    Unload();
}

void AppWindows::Unload() {
    engine_->Stop();
    if (panel_ && (panel_->isVisible() || engine_->Settings().Value(Setting::ShowPanel) == 1))
        panel_->close();
    TrayIcon(false);
    QApplication::quit();
}

void AppWindows::StateChanged() {
    if (engine_ == nullptr)
        return;
    const PanelState& state = engine_->Panel();
    if (panel_) {
        panel_->Refresh(state);
        panel_->SetPicture(TrayPicture(state.trayPicture));
    }
    if (tray_)
        tray_->SetPicture(state.trayPicture);
    if (warning_ && warning_->isVisible())
        warning_->UpdateLabel();
}

void AppWindows::Beep() {
    QApplication::beep();
}

LoopHandle AppWindows::Ask(const Prompt& prompt, std::function<void(PromptAnswer)> answered) {
    std::optional<PromptAnswer> now;
    if (messageSeam) {
        now = messageSeam(prompt);
    } else if (!interactive_) {
        // Nobody can answer on a server without a display: a question is answered No.
        std::fprintf(stderr, "vigiax: %s: %s\n", prompt.Title.c_str(), prompt.Text.c_str());
        now = prompt.Buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
    if (now) {
        return engine_->Loop().Next([answer = *now, answered = std::move(answered)] {
            if (answered)
                answered(answer);
        });
    }
    return OpenPromptBox(prompt, QApplication::activeWindow(), std::move(answered));
}

void AppWindows::Tell(const Prompt& prompt) {
    const auto it = notices_.emplace(notices_.end());
    *it = Ask(prompt, [this, it](PromptAnswer) { notices_.erase(it); });
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
