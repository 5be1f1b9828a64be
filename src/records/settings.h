#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "records/clock.h"

namespace vgx {

inline constexpr const char* kDefaultNetAddress1 = "www.google.com";
inline constexpr const char* kDefaultNetAddress2 = "www.microsoft.com";

// The twenty configured values, as the settings window shows them (working values).
// Line N of vgx.cfg holds field N.
struct Settings {
    std::string KeptText;                           // 1
    std::string PoolingMinutes = "3";               // 2  txtPoling
    std::string FailureLimit = "7";                 // 3  txtFalha
    std::int16_t NetCheckEnabled = 0;               // 4  chkAtiNet
    std::int16_t RunAsService = 0;                  // 5  chkServicoNT
    std::string NetAddress1 = kDefaultNetAddress1;  // 6  txtURL1
    std::string NetAddress2 = kDefaultNetAddress2;  // 7  txtURL2
    std::uint8_t ThresholdEvents = 0;               // 8
    std::int16_t NetAction = 0;                     // 9  cmbAcaoNet
    std::optional<LocalDays> ThresholdDay;          // 10
    std::string WebPage;                            // 11 txtURLIIS
    std::int16_t WebAction = 0;                     // 12 cmbIIS
    std::int16_t WebCheckEnabled = 0;               // 13 chkAtiIIS
    std::int16_t RestartAfterWebRestarts = 0;       // 14 chkBootReset
    float PanelLeft = 0;                            // 15
    float PanelTop = 0;                             // 16
    std::int16_t ShowPanel = 0;                     // 17 chkPanel
    std::int16_t PanelAlwaysOnTop = 0;              // 18 chkSVisi
    std::int16_t PanelOpacity = 180;                // 19 VScroll3
    std::int16_t DelayMinutes = 0;                  // 20 VScroll4

    friend bool operator==(const Settings&, const Settings&) = default;
};

// The nine confirmed values that a cancel restores.
struct CommittedCopy {
    std::uint8_t PoolingMinutes = 3;
    std::uint8_t FailureLimit = 7;
    std::uint8_t DelayMinutes = 0;
    std::uint8_t RunAsService = 0;
    std::uint8_t WebCheckEnabled = 0;
    std::uint8_t ShowPanel = 0;
    std::uint8_t PanelAlwaysOnTop = 0;
    std::uint8_t PanelOpacity = 180;
    std::uint8_t NetCheckEnabled = 0;

    friend bool operator==(const CommittedCopy&, const CommittedCopy&) = default;
};

}  // namespace vgx
