#include "ui/widgets/scroll_column.h"

#include <QApplication>
#include <QEvent>
#include <QWheelEvent>

#include "ui/widgets/scroll_rules.h"
#include "ui/widgets/twips.h"

namespace vgx {

namespace {

constexpr int kWheelNotch = 120;
constexpr int kBarWidthTwips = 255;

}  // namespace

ScrollColumn::ScrollColumn(QWidget* parent)
    : QWidget(parent), strip_(new QWidget(this)), bar_(new QScrollBar(Qt::Vertical, this)) {
    bar_->setFocusPolicy(Qt::NoFocus);
    bar_->setSingleStep(kMenuPitchTwips / twipsPerPixel());
    bar_->setRange(0, 0);
    bar_->hide();
    bar_->installEventFilter(this);
    strip_->installEventFilter(this);
    connect(bar_, &QScrollBar::valueChanged, this, &ScrollColumn::FollowBar);
}

int ScrollColumn::twipsPerPixel() const {
    return TwipsPerPixelY(this);
}

void ScrollColumn::LayOutBar() {
    const int tpp = twipsPerPixel();
    const QRect inner = contentsRect();
    const ColumnLayout layout = LayOutColumn(strip_->height() * tpp, strip_->width() * tpp,
                                             inner.height() * tpp, width() * tpp, tpp);
    const int barWidth = TwipsToPixelsX(kBarWidthTwips, this);
    bar_->setGeometry(inner.right() + 1 - barWidth, inner.top(), barWidth, inner.height());
    if (!layout.barVisible) {
        bar_->hide();
        return;
    }
    bar_->show();  // first, so that a value cut to the new maximum moves the strip
    bar_->raise();
    bar_->setPageStep(layout.largeChange);
    bar_->setMaximum(layout.maximum);
    strip_->move(layout.stripLeft / TwipsPerPixelX(this), strip_->y());
}

void ScrollColumn::FollowBar(int value) {
    const int tppX = TwipsPerPixelX(this);
    const int tppY = twipsPerPixel();
    const StripPlace current{strip_->x() * tppX, strip_->y() * tppY};
    if (const auto place = StripPlaceForValue(value, tppY, current, !bar_->isHidden()))
        strip_->move(place->left / tppX, place->top / tppY);
    emit changed(value);
}

void ScrollColumn::Wheel(QWheelEvent* event) {
    wheelRest_ += event->angleDelta().y();
    const int amount =
        WheelAmount(wheelRest_, bar_->singleStep(), QApplication::wheelScrollLines());
    wheelRest_ %= kWheelNotch;
    if (amount != 0)
        bar_->setValue(bar_->value() + amount);
    event->accept();
}

void ScrollColumn::resizeEvent(QResizeEvent*) {
    LayOutBar();
}

void ScrollColumn::wheelEvent(QWheelEvent* event) {
    Wheel(event);
}

bool ScrollColumn::eventFilter(QObject* watched, QEvent* event) {
    if (watched == bar_ && event->type() == QEvent::Wheel) {
        Wheel(static_cast<QWheelEvent*>(event));
        return true;
    }
    if (watched == strip_ && event->type() == QEvent::Resize)
        LayOutBar();
    return QWidget::eventFilter(watched, event);
}

}  // namespace vgx
