#pragma once

#include <QPixmap>

namespace vgx {

// The watchdog's emblem: a shield with an open eye and a pulse line, size × size pixels.
QPixmap DrawWatchdogEmblem(int size, qreal devicePixelRatio);

}  // namespace vgx
