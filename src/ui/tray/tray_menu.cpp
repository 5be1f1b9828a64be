#include "ui/tray/tray_menu.h"

#include "ui/tray/sys_tray_icon.h"

namespace vgx {

void BuildTrayMenu(SysTrayIcon& tray, bool panelVisible) {
    tray.StyleMenus();
    tray.AddMenuItem(QStringLiteral("&Config"), QStringLiteral("config"), true, 0);
    tray.AddMenuItem(QStringLiteral("&Painel"), QStringLiteral("panel"), false, 1, panelVisible);
    tray.AddMenuItem(QStringLiteral("&Start"), QStringLiteral("start"), false, 2);
    tray.AddMenuItem(QStringLiteral("S&top"), QStringLiteral("stop"), false, 3);
    tray.AddMenuItem(QStringLiteral("-"), QStringLiteral("--"), false, -1);
    tray.AddMenuItem(QStringLiteral("So&bre"), QStringLiteral("help"), false, 4);
    tray.AddMenuItem(QStringLiteral("-"), QStringLiteral("---"), false, -1);
    tray.AddMenuItem(QStringLiteral("Sai&r"), QStringLiteral("quit"), false, 5);
    tray.SetItemEnabled(QStringLiteral("start"), false);
}

}  // namespace vgx
