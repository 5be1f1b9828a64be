#pragma once

namespace vgx {

class SysTrayIcon;

// Indexes of the tray menu's items; 6 and 8 are separators.
inline constexpr int kTrayItemTitle = 1;
inline constexpr int kTrayItemConfig = 2;
inline constexpr int kTrayItemPanel = 3;
inline constexpr int kTrayItemStart = 4;
inline constexpr int kTrayItemStop = 5;
inline constexpr int kTrayItemHelp = 7;
inline constexpr int kTrayItemQuit = 9;

// Styles the tray's menu and adds its items: the heading, "&Config" (the default), "&Painel"
// (checked when the status panel is shown), "&Start" (disabled), "S&top", "So&bre" and "Sai&r",
// with their keys and menu-strip pictures.
void BuildTrayMenu(SysTrayIcon& tray, bool panelVisible);

}  // namespace vgx
