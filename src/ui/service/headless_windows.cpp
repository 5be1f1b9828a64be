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

MessageAnswer HeadlessWindows::Message(const std::string& text, const std::string& title,
                                       MessageIcon, MessageButtons buttons) {
    std::fprintf(stderr, "vigiax: %s: %s\n", title.c_str(), text.c_str());
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

void HeadlessWindows::ShowRestartWarning() {
    if (dog_ && !countdown_.isActive() && dog_->Warning().Counting())
        countdown_.start();
}

void HeadlessWindows::HideRestartWarning() {
    countdown_.stop();
}

}  // namespace vgx
