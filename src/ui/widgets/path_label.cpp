#include "ui/widgets/path_label.h"

#include <QEvent>
#include <string_view>

#include "cleaning/path_fit.h"
#include "ui/widgets/twips.h"

namespace vgx {

namespace {

constexpr int kMarginTwips = 200;

}  // namespace

QString FitPathToWidget(const QString& path, const QWidget& control) {
    const QFontMetrics fm = control.fontMetrics();
    const int available = control.width() - TwipsToPixelsX(kMarginTwips, &control);
    const std::string fitted = FitPathToWidth(
        path.toStdString(),
        [&fm](std::string_view text) {
            return fm.horizontalAdvance(
                QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        },
        available);
    return QString::fromStdString(fitted);
}

PathLabel::PathLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void PathLabel::setPath(const QString& path) {
    path_ = path;
    setToolTip(path);
    Fit();
}

QSize PathLabel::minimumSizeHint() const {
    return {0, QLabel::minimumSizeHint().height()};
}

void PathLabel::Fit() {
    setText(FitPathToWidget(path_, *this));
}

void PathLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Fit();
}

void PathLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Fit();
}

}  // namespace vgx
