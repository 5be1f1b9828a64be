#include "ui/widgets/icon_strip.h"

#include <QImageReader>

namespace vgx {

namespace {

// Grey, then two fifths of the way to white; the alpha is kept.
QImage Subdued(QImage image) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]);
            const int v = grey + (255 - grey) * 2 / 5;
            line[x] = qRgba(v, v, v, qAlpha(line[x]));
        }
    }
    return image;
}

}  // namespace

IconStrip::IconStrip(const QString& file) {
    // The files end in .dat and hold PNG data: named, so no other image plugin is probed.
    QImageReader reader(file, "png");
    image_ = reader.read();
}

QImage IconStrip::Piece(int x, int y, int size) const {
    if (image_.isNull() || x + size > image_.width() || y + size > image_.height())
        return {};
    return image_.copy(x, y, size, size);
}

QPixmap IconStrip::MenuIcon(int i, IconForm form) const {
    if (i < 0 || i >= kMenuIconCount)
        return {};
    const QImage icon = Piece(i * kMenuIconSize, 0, kMenuIconSize);
    return QPixmap::fromImage(form == IconForm::Resting && !icon.isNull() ? Subdued(icon) : icon);
}

QPixmap IconStrip::ButtonIcon(int index) const {
    if (index < 0 || index >= kButtonIconCount)
        return {};
    return QPixmap::fromImage(Piece(index * kButtonIconSize, kMenuIconSize, kButtonIconSize));
}

QPixmap IconStrip::MenuEntryIcon(int i) const {
    if (i < 0 || i >= kMenuEntryIconCount)
        return {};
    return QPixmap::fromImage(Piece(i * kMenuEntryIconSize, 0, kMenuEntryIconSize));
}

}  // namespace vgx
