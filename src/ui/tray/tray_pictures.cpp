#include "ui/tray/tray_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <stdexcept>

#include "app/panel_state.h"

namespace vgx {
namespace {

struct Look {
    QColor light, dark, outline, mark;
};

Look LookOf(int picture) {
    switch (picture) {
        case kTrayNormal:
            return {QColor(0x6c, 0xd0, 0x6a), QColor(0x1e, 0x7a, 0x2c), QColor(0x0f, 0x45, 0x18),
                    Qt::white};
        case kTrayFailures:
            return {QColor(0xff, 0xe4, 0x5c), QColor(0xd9, 0xa4, 0x00), QColor(0x6e, 0x52, 0x00),
                    QColor(0x33, 0x26, 0x00)};
        case kTrayNearLimit:
            return {QColor(0xf4, 0x5c, 0x55), QColor(0xb0, 0x16, 0x16), QColor(0x5c, 0x0a, 0x0a),
                    Qt::white};
        case kTrayPaused:
            return {QColor(0xc4, 0xc4, 0xc4), QColor(0x74, 0x74, 0x74), QColor(0x33, 0x33, 0x33),
                    Qt::white};
        default:
            throw std::out_of_range("no tray picture " + std::to_string(picture));
    }
}

int Px(double v) {
    return static_cast<int>(std::lround(v));
}

QPainterPath Shield(int size, double outline) {
    const double edge = outline / 2 + std::max(1, size / 16) - 0.5;
    const double left = edge, right = size - edge, top = edge, bottom = size - edge + 0.5;
    const double shoulder = top + (bottom - top) * 0.45;
    const double mid = size / 2.0;
    QPainterPath path;
    path.moveTo(left, top);
    path.lineTo(right, top);
    path.lineTo(right, shoulder);
    path.quadTo(right, shoulder + (bottom - shoulder) * 0.6, mid, bottom);
    path.quadTo(left, shoulder + (bottom - shoulder) * 0.6, left, shoulder);
    path.closeSubpath();
    return path;
}

// The state's mark, on whole pixels where it is made of bars.
void DrawMark(QPainter& p, int picture, int size, const QColor& colour) {
    const int stroke = std::max(2, Px(size / 8.0));
    const double s = size;
    switch (picture) {
        case kTrayNormal: {
            QPen pen(colour, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            p.setPen(pen);
            const QPointF tick[] = {
                {s * 0.29, s * 0.47}, {s * 0.44, s * 0.63}, {s * 0.72, s * 0.30}};
            p.drawPolyline(tick, 3);
            break;
        }
        case kTrayFailures: {
            const int x = (size - stroke) / 2 + (size - stroke) % 2;
            p.fillRect(x, Px(s * 0.20), stroke, Px(s * 0.38), colour);
            p.fillRect(x, Px(s * 0.64), stroke, stroke, colour);
            break;
        }
        case kTrayNearLimit: {
            p.setPen(QPen(colour, stroke, Qt::SolidLine, Qt::FlatCap));
            const double a = s * 0.32, b = s * 0.68, top = s * 0.24, bottom = s * 0.60;
            p.drawLine(QPointF(a, top), QPointF(b, bottom));
            p.drawLine(QPointF(b, top), QPointF(a, bottom));
            break;
        }
        case kTrayPaused: {
            const int gap = std::max(2, stroke - 1);
            const int x = (size - 2 * stroke - gap) / 2;
            const int top = Px(s * 0.24), height = Px(s * 0.38);
            p.fillRect(x, top, stroke, height, colour);
            p.fillRect(x + stroke + gap, top, stroke, height, colour);
            break;
        }
        default:
            break;
    }
}

}  // namespace

bool IsTrayPicture(int picture) {
    return picture >= kTrayNormal && picture <= kTrayPaused;
}

QPixmap DrawTrayPicture(int picture, int size) {
    const Look look = LookOf(picture);
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double outline = std::max(1, Px(size / 16.0));
    QLinearGradient fill(0, 0, size, size);
    fill.setColorAt(0, look.light);
    fill.setColorAt(1, look.dark);
    p.setPen(QPen(look.outline, outline, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(fill);
    p.drawPath(Shield(size, outline));
    p.setBrush(Qt::NoBrush);
    DrawMark(p, picture, size, look.mark);
    return pixmap;
}

QIcon TrayPicture(int picture) {
    QIcon icon;
    for (int size : kTrayPictureSizes)
        icon.addPixmap(DrawTrayPicture(picture, size));
    return icon;
}

}  // namespace vgx
