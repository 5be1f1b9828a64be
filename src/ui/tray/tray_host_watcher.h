#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace vgx {

// Notices the notification area going away and coming back, as when a desktop panel restarts,
// by asking every `interval` whether one is there.
class TrayHostWatcher final : public QObject {
    Q_OBJECT
public:
    using Probe = std::function<bool()>;

    // The probe defaults to QSystemTrayIcon::isSystemTrayAvailable.
    explicit TrayHostWatcher(QObject* parent = nullptr, Probe hostAvailable = {},
                             std::chrono::milliseconds interval = std::chrono::seconds(1));

    bool HostAvailable() const { return available_; }
    // Asks now; emits on a change.
    void Check();

signals:
    void hostLost();
    void hostReturned();

private:
    Probe probe_;
    QTimer timer_;
    bool available_;
};

}  // namespace vgx
