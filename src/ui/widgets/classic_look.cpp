#include "ui/widgets/classic_look.h"

#include <QPainter>

namespace vgx {

void DrawThinEdge(QPainter& p, const QRect& r, const QPalette& palette, EdgeStyle style) {
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    const QColor& topLeft = style == EdgeStyle::Raised ? light : dark;
    const QColor& bottomRight = style == EdgeStyle::Raised ? dark : light;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.restore();
}

void DrawFocusFrame(QPainter& p, const QRect& r, const QPalette& palette) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(palette.color(QPalette::WindowText), 1);
    pen.setDashPattern({1, 1});
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.restore();
}

QString StripMnemonic(const QString& caption) {
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && ++i == caption.size())
            break;
        out += caption[i];
    }
    return out;
}

}  // namespace vgx
