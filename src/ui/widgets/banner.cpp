#include "ui/widgets/banner.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cstdlib>

#include "ui/widgets/twips.h"

namespace vgx {

namespace {

const QColor kGradientStart(0, 0, 255);
const QColor kGradientEnd(255, 255, 255);
const QColor kTitleColour(255, 0, 0);
const QColor kShadowColour(0, 0, 0);
constexpr int kShadowDxTwips = 24;
constexpr int kShadowDyTwips = 10;

// One colour part at column x of `width`: from `from` towards `to` in equal steps.
int Part(int from, int to, int x, int width) {
    const double step = std::abs(to - from) / static_cast<double>(width);
    const double v = to >= from ? from + step * x : from - step * x;
    return std::clamp(static_cast<int>(v), 0, 255);
}

}  // namespace

Banner::Banner(QWidget* parent) : QWidget(parent) {}

void Banner::setTitle(const QString& title) {
    title_ = title;
    update();
}

QFont Banner::TitleFont() {
    QFont font(QStringLiteral("Times New Roman"), 32, QFont::Bold, true);
    font.setStyleHint(QFont::Serif);
    return font;
}

void Banner::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = std::max(1, width());
    for (int x = 0; x < width(); ++x) {
        p.setPen(QColor(Part(kGradientStart.red(), kGradientEnd.red(), x, w),
                        Part(kGradientStart.green(), kGradientEnd.green(), x, w),
                        Part(kGradientStart.blue(), kGradientEnd.blue(), x, w)));
        p.drawLine(x, 0, x, height() - 1);
    }
    if (title_.isEmpty())
        return;
    p.setFont(TitleFont());
    const int x = (width() - p.fontMetrics().horizontalAdvance(title_)) / 2;
    const QRect shadow(x + TwipsToPixelsX(kShadowDxTwips, this),
                       TwipsToPixelsY(kShadowDyTwips, this), width(), height());
    p.setPen(kShadowColour);
    p.drawText(shadow, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title_);
    p.setPen(kTitleColour);
    p.drawText(QRect(x, 0, width(), height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
               title_);
}

void Banner::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    setCursor(Qt::SizeAllCursor);
    QWidget* top = window();
    if (QWindow* handle = top->windowHandle(); handle && handle->startSystemMove()) {
        // The window manager has the pointer now, with its own cursor, until the button is up.
        EndDrag();
        return;
    }
    manualDrag_ = true;
    grabOffset_ = event->globalPosition().toPoint() - top->pos();
}

void Banner::mouseMoveEvent(QMouseEvent* event) {
    if (manualDrag_ && (event->buttons() & Qt::LeftButton)) {
        window()->move(event->globalPosition().toPoint() - grabOffset_);
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void Banner::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        EndDrag();
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void Banner::EndDrag() {
    manualDrag_ = false;
    setCursor(Qt::ArrowCursor);
}

}  // namespace vgx
