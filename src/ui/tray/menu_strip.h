#pragma once

#include <QList>
#include <QPixmap>
#include <QString>

namespace vgx {

// The six 16 x 16 tray-menu pictures of a strip file (menu.dat or menu2.dat, 96 x 16):
// 0 configuration, 1 panel, 2 start, 3 stop, 4 about, 5 quit. A file that cannot be read
// gives an empty list.
QList<QPixmap> LoadMenuStrip(const QString& file);

}  // namespace vgx
