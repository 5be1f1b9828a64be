// Peer for the idle-cost benchmarks: a bare Qt program with the same two timers as Vigiax (1 s
// and 23 s) doing nothing; a Widgets application for the desktop copy, a QCoreApplication (built
// with VGX_PEER_CORE) for the service copy. What Vigiax costs beyond it is its own work.
#ifdef VGX_PEER_CORE
#include <QCoreApplication>
using PeerApplication = QCoreApplication;
#else
#include <QApplication>
using PeerApplication = QApplication;
#endif
#include <QTimer>

int main(int argc, char** argv) {
    PeerApplication app(argc, argv);
    QTimer ping;
    QTimer pasta;
    int ticks = 0;
    QObject::connect(&ping, &QTimer::timeout, [&ticks] { ++ticks; });
    QObject::connect(&pasta, &QTimer::timeout, [&ticks] { ++ticks; });
    ping.start(1000);
    pasta.start(23000);
    return PeerApplication::exec();
}
