#include "ui/settings/section_frame.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "ui/widgets/classic_look.h"

namespace vgx {

SectionFrame::SectionFrame(const QString& objectName, const QString& frameCaption, QWidget* parent)
    : QWidget(parent), frame_(new QGroupBox(frameCaption, this)), grid_(new QGridLayout(frame_)) {
    setObjectName(objectName);
    setAccessibleName(frameCaption);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame_);
}

QLineEdit* LabelledBox(const QString& objectName, const QString& caption, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(objectName);
    box->setAccessibleName(Spoken(caption));
    return box;
}

QScrollBar* SpinnerArrows(const QString& objectName, const QString& caption, QWidget* parent) {
    auto* bar = new QScrollBar(Qt::Vertical, parent);
    bar->setObjectName(objectName);
    bar->setAccessibleName(Spoken(caption));
    bar->setAccessibleDescription(QStringLiteral("Setas para aumentar ou diminuir o número"));
    bar->setFocusPolicy(Qt::NoFocus);  // the number's box takes the arrow keys
    bar->setFixedSize(16, 22);
    return bar;
}

QString Spoken(const QString& caption) {
    return StripMnemonic(caption).trimmed();
}

}  // namespace vgx
