// Peer for the window benchmark: a bare Qt Widgets program that shows one frameless window of
// the settings window's size, 9330 x 6960 twips (622 x 464 pixels at 96 dots per inch).
#include <QApplication>
#include <QScreen>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("Bare"));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    window.resize(qRound(9330 * dpi / 1440), qRound(6960 * dpi / 1440));
    window.show();
    return QApplication::exec();
}
