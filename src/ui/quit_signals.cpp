#include "ui/quit_signals.h"

#include <signal.h>

namespace vgx {

QuitSignals::QuitSignals(std::function<void()> onQuit)
    : bridge_({{SIGTERM, onQuit}, {SIGINT, onQuit}}) {}

}  // namespace vgx
