#include "ui/widgets/owner_draw_button.h"

#include <QPainter>
#include <QStringList>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

#include "ui/widgets/classic_look.h"

namespace vgx {

namespace {

constexpr int kIconSize = IconStrip::kButtonIconSize;
constexpr int kIconLeft = 4;
constexpr int kTextIndent = 22;  // the caption's left edge when there is an icon
constexpr int kCaptionFlags =
    Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;

// Each word too wide for a line of `width` pixels ends in "..." instead of being broken.
QString ElideLongWords(const QString& caption, const QFontMetrics& fm, int width) {
    QStringList words = caption.split(QLatin1Char(' '));
    for (QString& word : words) {
        const QString plain = StripMnemonic(word);
        if (fm.horizontalAdvance(plain) > width)
            word = fm.elidedText(plain, Qt::ElideRight, width)
                       .replace(QLatin1Char('&'), QStringLiteral("&&"));
    }
    return words.join(QLatin1Char(' '));
}

}  // namespace

OwnerDrawButton::OwnerDrawButton(QWidget* parent) : OwnerDrawButton(QString(), parent) {}

OwnerDrawButton::OwnerDrawButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {}

void OwnerDrawButton::setImageStrip(const IconStrip& strip) {
    strip_ = strip;
    updateGeometry();
    update();
}

void OwnerDrawButton::setImageIndex(int index) {
    imageIndex_ = index;
    updateGeometry();
    update();
}

QPixmap OwnerDrawButton::Icon() const {
    return imageIndex_ < 0 ? QPixmap() : strip_.ButtonIcon(imageIndex_);
}

QSize OwnerDrawButton::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    const int indent = Icon().isNull() ? 0 : kTextIndent;
    return {indent + fm.horizontalAdvance(StripMnemonic(text())) + 16,
            std::max(fm.height(), kIconSize) + 10};
}

QSize OwnerDrawButton::minimumSizeHint() const {
    const int indent = Icon().isNull() ? 0 : kTextIndent;
    return {indent + 16, std::max(fontMetrics().height(), kIconSize) + 6};
}

void OwnerDrawButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    const bool pushed = isDown() || isChecked();
    const int shift = pushed ? 1 : 0;
    const QRect r = rect();

    p.fillRect(r, pal.button());
    DrawThinEdge(p, r, pal, pushed ? EdgeStyle::Sunken : EdgeStyle::Raised);
    if (isEnabled() && hasFocus())
        DrawFocusFrame(p, r.adjusted(2, 2, -2, -2).translated(shift, shift), pal);

    QRect area = r;
    if (const QPixmap icon = Icon(); !icon.isNull()) {
        const QPoint at(r.left() + kIconLeft + shift, (r.height() - kIconSize) / 2 + shift);
        if (isEnabled()) {
            p.drawPixmap(at, icon);
        } else {
            QStyleOption option;
            option.initFrom(this);
            p.drawPixmap(at, style()->generatedIconPixmap(QIcon::Disabled, icon, &option));
        }
        area.setLeft(area.left() + kTextIndent);
    }

    area.adjust(1, 1, -1, -1);
    const QFontMetrics fm = fontMetrics();
    const QString caption = ElideLongWords(text(), fm, area.width());
    const int textHeight = fm.boundingRect(area, kCaptionFlags, caption).height();
    if (textHeight < area.height())
        area.setTop((area.height() - textHeight) / 2);
    area.translate(shift, shift);

    if (isEnabled()) {
        p.setPen(pal.color(QPalette::ButtonText));
    } else {
        p.setPen(pal.color(QPalette::Light));
        p.drawText(area.translated(1, 1), kCaptionFlags, caption);
        p.setPen(pal.color(QPalette::Dark));
    }
    p.drawText(area, kCaptionFlags, caption);
}

}  // namespace vgx
