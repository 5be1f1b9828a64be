#pragma once

#include "app/ports.h"

namespace vgx {

// Handles the waiting window events, sleeping up to a few milliseconds for new ones so that
// a wait that pumps in a loop does not spin.
class QtEventPump final : public EventPump {
public:
    void ProcessEvents() override;
};

}  // namespace vgx
