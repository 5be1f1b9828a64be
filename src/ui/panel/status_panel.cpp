#include "ui/panel/status_panel.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include <cmath>

#include "app/panel_state.h"
#include "records/settings_model.h"

namespace vgx {

namespace {

constexpr int kPictureSize = 48;
constexpr qreal kFontPoints = 7;

struct TwipsPerPixel {
    double x;
    double y;
};

TwipsPerPixel FactorsOf(const QScreen* screen) {
    if (screen == nullptr)
        return {15, 15};
    return {1440.0 / screen->logicalDotsPerInchX(), 1440.0 / screen->logicalDotsPerInchY()};
}

int Twips(double pixels, double factor) {
    return static_cast<int>(std::lround(pixels * factor));
}

QString ReportText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

void Colour(QWidget& box, ReportColours colours) {
    QColor base = Qt::white;
    QColor text = Qt::black;
    if (colours == ReportColours::Warning) {
        base = QColor(255, 255, 0);
    } else if (colours == ReportColours::Alarm) {
        base = QColor(255, 0, 0);
        text = Qt::white;
    }
    QPalette palette = box.palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::Text, text);
    }
    box.setPalette(palette);
}

}  // namespace

StatusPanel::StatusPanel(SettingsModel& settings, QWidget* parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint),
      settings_(settings),
      Text1_(new QPlainTextEdit(this)),
      lblNet_(new QLabel(this)),
      imgIcone_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmPanel"));
    setWindowTitle(QStringLiteral("Painel"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    QFont small = font();
    small.setPointSizeF(kFontPoints);
    setFont(small);

    Text1_->setObjectName(QStringLiteral("report"));
    Text1_->setReadOnly(true);
    Text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1_->setAccessibleName(QStringLiteral("Relatório do pooling"));
    Colour(*Text1_, ReportColours::Normal);

    // The label names itself by its caption, the failure count.
    lblNet_->setObjectName(QStringLiteral("failureLabel"));
    lblNet_->setAttribute(Qt::WA_TransparentForMouseEvents);
    imgIcone_->setObjectName(QStringLiteral("imgIcone"));
    imgIcone_->setFixedSize(kPictureSize, kPictureSize);
    imgIcone_->setAlignment(Qt::AlignCenter);
    imgIcone_->setAccessibleName(QStringLiteral("Situação do monitor"));
    imgIcone_->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* top = new QHBoxLayout;
    top->addWidget(imgIcone_);
    top->addWidget(lblNet_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addLayout(top);
    layout->addWidget(Text1_, 1);

    const TwipsPerPixel tpp = FactorsOf(screen());
    setFixedSize(static_cast<int>(std::lround(kWidthTwips / tpp.x)),
                 static_cast<int>(std::lround(kHeightTwips / tpp.y)));
}

void StatusPanel::Refresh(const PanelState& state) {
    if (state.report != shownText_) {
        shownText_ = state.report;
        Text1_->setPlainText(ReportText(state.report));
        Text1_->moveCursor(QTextCursor::End);
        Text1_->ensureCursorVisible();
    }
    lblNet_->setText(QString::fromStdString(state.failureLabel));
    Colour(*Text1_, state.colours);
}

void StatusPanel::SetPicture(const QPixmap& picture) {
    imgIcone_->setPixmap(
        picture.scaled(kPictureSize, kPictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void StatusPanel::SetPicture(const QIcon& icon) {
    imgIcone_->setPixmap(icon.pixmap(QSize(kPictureSize, kPictureSize), devicePixelRatioF()));
}

int StatusPanel::SetOpacity(int alpha) {
    if (alpha < 0 || alpha > 255)
        return 1;
    alpha_ = alpha;
    setWindowOpacity(alpha / 255.0);
    return std::abs(windowOpacity() - alpha / 255.0) <= 1 / 255.0 ? 0 : 2;
}

void StatusPanel::ApplyAlwaysOnTop(bool onTop) {
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    // New window flags hide the window; Qt keeps its place.
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible)
        show();
}

void StatusPanel::ShowAt(double left, double top) {
    MoveTo(left, top);
    FitInWorkArea(true);
    show();
    raise();
}

TwipPlace StatusPanel::Place() const {
    const TwipsPerPixel tpp = FactorsOf(screen());
    return {x() * tpp.x, y() * tpp.y, width() * tpp.x, height() * tpp.y};
}

void StatusPanel::MoveTo(double left, double top) {
    const TwipsPerPixel tpp = FactorsOf(screen());
    move(static_cast<int>(std::lround(left / tpp.x)), static_cast<int>(std::lround(top / tpp.y)));
}

FitResult StatusPanel::FitInWorkArea(bool apply) {
    const QScreen* area = CurrentScreen();
    const TwipsPerPixel tpp = FactorsOf(area);
    const QRect work = area != nullptr ? area->availableGeometry() : QRect();
    const TwipEdges edges{Twips(work.left(), tpp.x), Twips(work.top(), tpp.y),
                          Twips(work.left() + work.width(), tpp.x),
                          Twips(work.top() + work.height(), tpp.y)};
    const FitResult fit = vgx::FitInWorkArea(edges, Place(), apply);
    if (apply)
        MoveTo(fit.left, fit.top);
    return fit;
}

bool StatusPanel::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        StorePlace();
    return QFrame::event(e);
}

void StatusPanel::showEvent(QShowEvent* e) {
    // Loading: the opacity of the spinner. Later shows keep the last value set.
    if (!loaded_) {
        loaded_ = true;
        SetOpacity(settings_.Value(Setting::PanelOpacity));
    }
    QFrame::showEvent(e);
}

void StatusPanel::closeEvent(QCloseEvent* e) {
    // Unconfirmed edits are dropped before the save, so only the panel's place is new.
    StorePlace();
    settings_.Cancelar(false);
    settings_.SaveSettings();
    QFrame::closeEvent(e);
}

void StatusPanel::mousePressEvent(QMouseEvent* e) {
    setCursor(Qt::SizeAllCursor);
    dragging_ = true;
    const QPointF at = PointerTwips(*e);
    DragX_ = static_cast<int>(std::lround(at.x()));
    DragY_ = static_cast<int>(std::lround(at.y()));
    e->accept();
}

void StatusPanel::mouseMoveEvent(QMouseEvent* e) {
    e->accept();
    if (!dragging_ || !e->buttons().testFlag(Qt::LeftButton))
        return;
    const QScreen* under = QGuiApplication::screenAt(e->globalPosition().toPoint());
    if (under == nullptr)
        under = CurrentScreen();
    if (under == nullptr)
        return;
    const TwipsPerPixel tpp = FactorsOf(under);
    const QRect whole = under->geometry();
    const QRect work = under->availableGeometry();
    const TwipEdges snap{Twips(whole.left(), tpp.x), Twips(whole.top(), tpp.y),
                         Twips(work.left() + work.width(), tpp.x),
                         Twips(work.top() + work.height(), tpp.y)};
    const QPointF at = PointerTwips(*e);
    const TwipPoint to = DragStep(Place(), at.x(), at.y(), DragX_, DragY_, snap);
    MoveTo(to.left, to.top);
}

void StatusPanel::mouseReleaseEvent(QMouseEvent* e) {
    dragging_ = false;
    setCursor(Qt::ArrowCursor);
    e->accept();
}

QScreen* StatusPanel::CurrentScreen() const {
    if (QScreen* under = QGuiApplication::screenAt(geometry().center()))
        return under;
    return screen();
}

QPointF StatusPanel::PointerTwips(const QMouseEvent& e) const {
    // Measured from where the panel was last put, so a move still under way at the window
    // manager does not make the panel jump.
    const TwipsPerPixel tpp = FactorsOf(screen());
    const QPointF inPanel = e.globalPosition() - QPointF(pos());
    return {inPanel.x() * tpp.x, inPanel.y() * tpp.y};
}

void StatusPanel::StorePlace() {
    const TwipPlace place = Place();
    settings_.Working().PanelLeft = static_cast<float>(place.left);
    settings_.Working().PanelTop = static_cast<float>(place.top);
}

}  // namespace vgx
