#include "ui/tray/menu_strip.h"

#include <QImage>

namespace vgx {

QList<QPixmap> LoadMenuStrip(const QString& file) {
    constexpr int kSize = 16;
    constexpr int kCount = 6;
    const QImage strip(file);
    QList<QPixmap> icons;
    if (strip.width() < kSize * kCount || strip.height() < kSize)
        return icons;
    for (int i = 0; i < kCount; ++i)
        icons.append(QPixmap::fromImage(strip.copy(i * kSize, 0, kSize, kSize)));
    return icons;
}

}  // namespace vgx
