#pragma once

#include <string>

namespace vgx {

// Colours of the report text by failure level.
enum class ReportColours {
    Normal,   // white text on black
    Warning,  // black text on yellow
    Alarm,    // white text on red
};

// Tray pictures of the watchdog's state.
inline constexpr int kTrayNormal = 9;
inline constexpr int kTrayFailures = 10;
inline constexpr int kTrayNearLimit = 11;
inline constexpr int kTrayPaused = 12;

// What the status panel and the tray show; the engine writes it whether or not they are shown.
struct PanelState {
    std::string Text1;   // report of the current cycle, lines ended by CR LF
    std::string lblNet;  // "FALHAS: " and the count
    ReportColours colours = ReportColours::Normal;
    int trayPicture = kTrayNormal;
};

}  // namespace vgx
