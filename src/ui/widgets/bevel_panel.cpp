#include "ui/widgets/bevel_panel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include "ui/widgets/classic_look.h"

namespace vgx {

namespace {

constexpr int kCaptionMargin = 3;

class AccessiblePanel final : public QAccessibleWidget {
public:
    explicit AccessiblePanel(QWidget* w) : QAccessibleWidget(w, QAccessible::Button) {
        addControllingSignal(QStringLiteral("clicked(bool)"));
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return StripMnemonic(panel()->text()).trimmed();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = panel()->bevel() == BevelPanel::Inset;
        return s;
    }

    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == pressAction() && panel()->isEnabled())
            panel()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    BevelPanel* panel() const { return static_cast<BevelPanel*>(widget()); }
};

QAccessibleInterface* PanelFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("vgx::BevelPanel") && object && object->isWidgetType())
        return new AccessiblePanel(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

BevelPanel::BevelPanel(QWidget* parent) : BevelPanel(QString(), parent) {}

BevelPanel::BevelPanel(const QString& caption, QWidget* parent)
    : QAbstractButton(parent), background_(palette().color(QPalette::Button)) {
    static const bool installed = (QAccessible::installFactory(PanelFactory), true);
    (void)installed;
    setText(caption);
    setMouseTracking(true);
    setFocusPolicy(Qt::TabFocus);
}

void BevelPanel::setBackgroundColor(const QColor& colour) {
    if (colour != background_) {
        background_ = colour;
        update();
    }
}

void BevelPanel::setBevel(int bevel) {
    if (bevel != bevel_) {
        bevel_ = bevel;
        update();
    }
}

void BevelPanel::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

QSize BevelPanel::sizeHint() const {
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, this->text());
    return text + QSize(4 * kCaptionMargin, 4 * kCaptionMargin);
}

void BevelPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, background_);
    if (bevel_ == Inset)
        DrawThinEdge(p, r, palette(), EdgeStyle::Sunken);
    else if (bevel_ == Raised)
        DrawThinEdge(p, r, palette(), EdgeStyle::Raised);

    const QRect inner =
        r.adjusted(kCaptionMargin, kCaptionMargin, -kCaptionMargin, -kCaptionMargin);
    // A caption wider than the panel is drawn a little smaller rather than cut.
    QFont font = this->font();
    while (font.pointSizeF() > 6 &&
           QFontMetrics(font).size(Qt::TextShowMnemonic, text()).width() > inner.width()) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    p.setFont(font);
    style()->drawItemText(&p, inner, static_cast<int>(alignment_) | Qt::TextShowMnemonic, palette(),
                          isEnabled(), text(), QPalette::ButtonText);
    if (hasFocus())
        DrawFocusFrame(p, r.adjusted(2, 2, -2, -2), palette());
}

void BevelPanel::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(event->button(), event->modifiers(), event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        QAbstractButton::mousePressEvent(event);
    event->accept();
}

void BevelPanel::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMove(event->buttons(), event->modifiers(), event->position().toPoint());
    QAbstractButton::mouseMoveEvent(event);
    event->accept();  // the window below must not see the pointer as off the panel
}

void BevelPanel::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseUp(event->button(), event->modifiers(), event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        QAbstractButton::mouseReleaseEvent(event);
    event->accept();
}

}  // namespace vgx
