#include "ui/tray/tray_animation.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QVariantAnimation>
#include <QWidget>

namespace vgx {
namespace {

// A frameless, input-transparent window that is only its outline.
class Outline final : public QWidget {
public:
    Outline()
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                               Qt::X11BypassWindowManagerHint) {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setObjectName(QStringLiteral("trayAnimationOutline"));
    }

protected:
    void resizeEvent(QResizeEvent*) override {
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            return;  // nothing to cut a shape from
        const QRect outer = rect();
        setMask(
            QRegion(outer).subtracted(QRegion(outer.adjusted(kWidth, kWidth, -kWidth, -kWidth))));
    }
    void paintEvent(QPaintEvent*) override {
        // Dark outside, light inside: seen on dark and light desktops alike.
        QPainter p(this);
        p.fillRect(rect(), QColor(0xcc, 0xcc, 0x99));
        p.setPen(QColor(0x33, 0x33, 0x33));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    static constexpr int kWidth = 2;
};

}  // namespace

QRect CentreRectOnWorkArea(const QRect& r, const QRect& workArea) {
    QRect centred(QPoint(0, 0), r.size());
    centred.moveCenter(workArea.center());
    return centred;
}

QRect TrayLine(const QRect& trayGeometry) {
    return QRect(trayGeometry.left() + trayGeometry.width() / 2, trayGeometry.top(), 1,
                 trayGeometry.height());
}

bool AnimateWindowToTray(QWidget* window, bool fromTray, bool centred, const QRect& trayGeometry,
                         std::function<void()> done) {
    if (!window || trayGeometry.isNull())
        return false;
    QRect place = window->frameGeometry();
    if (centred) {
        const QScreen* screen =
            window->screen() ? window->screen() : QGuiApplication::primaryScreen();
        place = CentreRectOnWorkArea(place, screen->availableGeometry());
    }
    const QRect line = TrayLine(trayGeometry);

    auto* outline = new Outline;
    auto* animation = new QVariantAnimation(outline);
    animation->setDuration(kTrayAnimationMs);
    animation->setStartValue(fromTray ? line : place);
    animation->setEndValue(fromTray ? place : line);
    QObject::connect(animation, &QVariantAnimation::valueChanged, outline,
                     [outline](const QVariant& value) { outline->setGeometry(value.toRect()); });
    QObject::connect(animation, &QVariantAnimation::finished, outline,
                     [outline, done = std::move(done)] {
                         outline->hide();
                         outline->deleteLater();
                         if (done)
                             done();
                     });
    outline->setGeometry(animation->startValue().toRect());
    outline->show();
    animation->start();
    return true;
}

}  // namespace vgx
