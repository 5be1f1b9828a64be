#include "ui/widgets/icon_box.h"

#include <QPainter>

namespace vgx {

IconBox::IconBox(QWidget* parent)
    : QWidget(parent), background_(palette().color(QPalette::Button)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void IconBox::setBackgroundColor(const QColor& colour) {
    if (colour != background_) {
        background_ = colour;
        update();
    }
}

void IconBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void IconBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), background_);
    if (!picture_.isNull())
        p.drawPixmap(0, 0, picture_);
}

}  // namespace vgx
