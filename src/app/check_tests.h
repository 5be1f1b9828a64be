#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/ports.h"
#include "loop/task.h"
#include "probes/http_probe.h"
#include "probes/icmp_probe.h"
#include "records/prompt.h"
#include "records/settings_model.h"

namespace vgx {

// Where the focus goes when a test ends on a box's text (nothing: it stays where it was).
using FocusAfterTest = std::optional<Setting>;

// Awaits the user's answer to a question or notice.
Callback<PromptAnswer> Asking(const AskUser& ask, Prompt prompt);

// The test that runs before chkAtiNet becomes checked: both addresses are pinged once and each
// silent one asks whether to go on; both must be filled in. The box ends with its value set
// (its click rule saves the settings). The references must outlive the task.
Task<FocusAfterTest> TestInternetCheck(SettingsModel& settings, IcmpProbe& icmp, AskUser ask);

// The test that runs before chkAtiIIS becomes checked: the host is pinged, must be one of this
// machine's addresses (lstIP, refilled by `listAddresses` first) and must answer the page with
// status 200; each failed step asks whether to go on.
Task<FocusAfterTest> TestIisCheck(SettingsModel& settings, IcmpProbe& icmp, HttpProbe& http,
                                  std::vector<std::string>& lstIP,
                                  std::function<bool(std::vector<std::string>&)> listAddresses,
                                  AskUser ask);

inline constexpr const char* kBothAddressesText = "Você precisa informar os 2 endereços!";

}  // namespace vgx
