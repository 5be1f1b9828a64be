// Peer for the service copy's idle cost: a bare QCoreApplication with the same two timers as
// Vigiax (1 s and 23 s) doing nothing.
#include <QCoreApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTimer ping;
    QTimer pasta;
    int ticks = 0;
    QObject::connect(&ping, &QTimer::timeout, [&ticks] { ++ticks; });
    QObject::connect(&pasta, &QTimer::timeout, [&ticks] { ++ticks; });
    ping.start(1000);
    pasta.start(23000);
    return QCoreApplication::exec();
}
