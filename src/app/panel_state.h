#pragma once

#include <string>

namespace vgx {

// Colours of the report text by failure level.
enum class ReportColours {
    Normal,   // black text on white
    Warning,  // black text on yellow
    Alarm,    // white text on red
};

// Tray pictures of the watchdog's state.
inline constexpr int kTrayNormal = 9;
inline constexpr int kTrayFailures = 10;
inline constexpr int kTrayNearLimit = 11;
inline constexpr int kTrayPaused = 12;

// The picture of a tray icon made now: normal; near the limit when the limit is at most one
// above the failures counted; failures counted; paused above all.
constexpr int TrayPictureFor(double failureLimit, float failures, bool paused) {
    int picture = kTrayNormal;
    if (failureLimit <= failures + 1)
        picture = kTrayNearLimit;
    if (failures > 0)
        picture = kTrayFailures;
    return paused ? kTrayPaused : picture;
}

// What the status panel and the tray show; the engine writes it whether or not they are shown.
struct PanelState {
    std::string report;        // report of the current cycle, lines ended by CR LF
    std::string failureLabel;  // "FALHAS: " and the count
    ReportColours colours = ReportColours::Normal;
    int trayPicture = kTrayNormal;
};

}  // namespace vgx
