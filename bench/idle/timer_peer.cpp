// Peer for the desktop idle-cost benchmark: a bare Qt Widgets program with the two timers the
// earlier Vigiax ticked with (1 s and 23 s), doing nothing. What Vigiax costs beyond it is its
// own work.
#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTimer ping;
    QTimer pasta;
    int ticks = 0;
    QObject::connect(&ping, &QTimer::timeout, [&ticks] { ++ticks; });
    QObject::connect(&pasta, &QTimer::timeout, [&ticks] { ++ticks; });
    ping.start(1000);
    pasta.start(23000);
    return QApplication::exec();
}
