#include "ui/engine_timers.h"

namespace vgx {

EngineTimers::EngineTimers(Engine*& engine) {
    QObject::connect(&tmrPing_, &QTimer::timeout, [&engine] {
        if (engine)
            engine->tmrPing_ThatTime();
    });
    QObject::connect(&tmrPasta_, &QTimer::timeout, [&engine] {
        if (engine)
            engine->tmrPasta_ThatTime();
    });
}

void EngineTimers::SetInterval(EngineTimer timer, int milliseconds) {
    QTimer& t = timer == EngineTimer::Ping ? tmrPing_ : tmrPasta_;
    if (milliseconds < 0) {
        t.stop();
        return;
    }
    if (!t.isActive() || t.interval() != milliseconds)
        t.start(milliseconds);
}

}  // namespace vgx
