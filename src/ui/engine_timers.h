#pragma once

#include <QTimer>

#include "app/engine.h"

namespace vgx {

// tmrPing and tmrPasta: Qt timers that call the engine's tick functions.
class EngineTimers final : public Timers {
public:
    explicit EngineTimers(Engine*& engine);
    void SetInterval(EngineTimer timer, int milliseconds) override;

private:
    QTimer tmrPing_;
    QTimer tmrPasta_;
};

}  // namespace vgx
