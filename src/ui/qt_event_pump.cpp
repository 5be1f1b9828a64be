#include "ui/qt_event_pump.h"

#include <QEventLoop>
#include <QTimer>

namespace vgx {

void QtEventPump::ProcessEvents() {
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace vgx
