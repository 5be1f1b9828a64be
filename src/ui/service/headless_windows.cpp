#include "ui/service/headless_windows.h"

#include <cstdio>

#include "app/watchdog.h"

namespace vgx {

HeadlessWindows::HeadlessWindows() {
    countdown_.setInterval(1000);
    QObject::connect(&countdown_, &QTimer::timeout, [this] {
        dog_->RestartWarningTick();
        if (!dog_->Warning().Counting())
            countdown_.stop();
    });
}

PromptAnswer HeadlessWindows::Message(const Prompt& prompt) {
    std::fprintf(stderr, "vigiax: %s: %s\n", prompt.Title.c_str(), prompt.Text.c_str());
    return prompt.Buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
}

void HeadlessWindows::ShowRestartWarning() {
    if (dog_ && !countdown_.isActive() && dog_->Warning().Counting())
        countdown_.start();
}

void HeadlessWindows::HideRestartWarning() {
    countdown_.stop();
}

}  // namespace vgx
