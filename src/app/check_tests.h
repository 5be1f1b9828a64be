#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "probes/http_probe.h"
#include "probes/icmp_probe.h"
#include "records/prompt.h"
#include "records/settings_model.h"

namespace vgx {

// The windows put a question or a notice to the user and return the answer.
using AskUser = std::function<PromptAnswer(const Prompt&)>;

// Where the focus goes when a test ends on a box's text (nothing: it stays where it was).
using FocusAfterTest = std::optional<Control>;

// The test that runs before chkAtiNet becomes checked: both addresses are pinged once and each
// silent one asks whether to go on; both must be filled in. The box ends with its value set
// (its click rule saves the settings).
FocusAfterTest TestInternetCheck(SettingsModel& settings, IcmpProbe& icmp, const AskUser& ask);

// The test that runs before chkAtiIIS becomes checked: the host is pinged, must be one of this
// machine's addresses (lstIP, refilled by `listAddresses` first) and must answer the page with
// status 200; each failed step asks whether to go on.
FocusAfterTest TestIisCheck(SettingsModel& settings, IcmpProbe& icmp, HttpProbe& http,
                            std::vector<std::string>& lstIP,
                            const std::function<bool(std::vector<std::string>&)>& listAddresses,
                            const AskUser& ask);

inline constexpr const char* kBothAddressesText = "Você precisa informar os 2 endereços!";

}  // namespace vgx
