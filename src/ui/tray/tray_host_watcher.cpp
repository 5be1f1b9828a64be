#include "ui/tray/tray_host_watcher.h"

#include <QSystemTrayIcon>

namespace vgx {

TrayHostWatcher::TrayHostWatcher(QObject* parent, Probe hostAvailable,
                                 std::chrono::milliseconds interval)
    : QObject(parent),
      probe_(hostAvailable ? std::move(hostAvailable) : &QSystemTrayIcon::isSystemTrayAvailable),
      available_(probe_()) {
    timer_.setInterval(interval);
    connect(&timer_, &QTimer::timeout, this, &TrayHostWatcher::Check);
    timer_.start();
}

void TrayHostWatcher::Check() {
    const bool now = probe_();
    if (now == available_)
        return;
    available_ = now;
    if (now)
        emit hostReturned();
    else
        emit hostLost();
}

}  // namespace vgx
