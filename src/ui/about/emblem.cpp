#include "ui/about/emblem.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace vgx {

QPixmap DrawWatchdogEmblem(int size, qreal devicePixelRatio) {
    QPixmap pixmap(QSize(size, size) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);

    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size, size);  // draw in unit coordinates

    QPainterPath shield;
    shield.moveTo(0.5, 0.05);
    shield.cubicTo(0.36, 0.14, 0.22, 0.16, 0.1, 0.16);
    shield.lineTo(0.1, 0.48);
    shield.cubicTo(0.1, 0.72, 0.3, 0.86, 0.5, 0.96);
    shield.cubicTo(0.7, 0.86, 0.9, 0.72, 0.9, 0.48);
    shield.lineTo(0.9, 0.16);
    shield.cubicTo(0.78, 0.16, 0.64, 0.14, 0.5, 0.05);
    shield.closeSubpath();
    QLinearGradient face(0, 0, 0, 1);
    face.setColorAt(0, QColor(0x2f, 0x74, 0xc0));
    face.setColorAt(1, QColor(0x14, 0x3a, 0x6e));
    p.setPen(QPen(QColor(0x0c, 0x26, 0x4a), 0.03));
    p.setBrush(face);
    p.drawPath(shield);

    QPainterPath eye;
    eye.moveTo(0.22, 0.4);
    eye.quadTo(0.5, 0.14, 0.78, 0.4);
    eye.quadTo(0.5, 0.66, 0.22, 0.4);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(eye);
    p.setBrush(QColor(0x2f, 0x9e, 0xd8));
    p.drawEllipse(QPointF(0.5, 0.4), 0.11, 0.11);
    p.setBrush(QColor(0x0c, 0x1a, 0x2e));
    p.drawEllipse(QPointF(0.5, 0.4), 0.05, 0.05);

    const QPointF pulse[] = {{0.2, 0.7},   {0.38, 0.7}, {0.44, 0.6}, {0.5, 0.82},
                             {0.56, 0.64}, {0.61, 0.7}, {0.8, 0.7}};
    p.setPen(QPen(QColor(0x4c, 0xe0, 0x6a), 0.045, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(pulse, std::size(pulse));
    return pixmap;
}

}  // namespace vgx
