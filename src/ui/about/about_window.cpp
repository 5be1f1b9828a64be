#include "ui/about/about_window.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include <algorithm>

#include "records/clock.h"
#include "records/event_log.h"
#include "ui/about/emblem.h"
#include "vgx_version.h"

namespace vgx {

namespace {

constexpr int kFrameMs = 20;
constexpr double kTwipsPerInch = 1440.0;

const QString kTitle = QStringLiteral("Sobre");
const QString kDirLink = QStringLiteral("dir");
const QString kLogLink = QStringLiteral("log");

QScreen* ScreenOf(const QWidget* widget) {
    QScreen* screen = widget->screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

QString ToQString(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

QLabel* MakePanel(QWidget* parent, const QString& name, const QString& title, const QString& text) {
    auto* panel = new QLabel(text, parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setWordWrap(true);
    panel->setMargin(4);
    panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    panel->setAccessibleName(title);
    panel->setAccessibleDescription(text);
    return panel;
}

QLabel* MakeLink(QWidget* parent, const QString& name, const QString& link, const QString& text,
                 const QString& tip) {
    auto* label = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(link, text), parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setFocusPolicy(Qt::StrongFocus);
    label->setToolTip(tip);
    label->setAccessibleName(text);
    label->setAccessibleDescription(tip);
    return label;
}

}  // namespace

AboutWindow::AboutWindow(std::filesystem::path programDir, std::unique_ptr<FrameClock> clock)
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      programDir_(std::move(programDir)),
      clock_(clock ? std::move(clock) : MakeTimerFrameClock(kFrameMs)) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kTitle);
    setBackgroundRole(QPalette::Button);

    const QRect client = Twips(0, 0, 7620, 3750);
    setFixedSize(client.size());
    const qreal ratio = ScreenOf(this)->devicePixelRatio();
    surface_ = QPixmap(client.size() * ratio);
    surface_.setDevicePixelRatio(ratio);
    surface_.fill(palette().color(QPalette::Button));

    const auto& lines = TitleAnimation::Lines();
    auto* title = new QLabel(this);
    title->setObjectName(QStringLiteral("lblTitulo"));
    title->setGeometry(Twips(0, 0, 7620, 900));
    title->setAttribute(Qt::WA_TransparentForMouseEvents);
    title->setAccessibleName(QString::fromStdString(lines[0].text + " " + lines[1].text));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picLogo"));
    picture->setGeometry(Twips(240, 1080, 1440, 1440));
    picture->setPixmap(DrawWatchdogEmblem(picture->width(), ratio));
    picture->setAccessibleName(QStringLiteral("Emblema do Vigiax"));

    auto* about = MakePanel(
        this, QStringLiteral("pnlSobre"), QStringLiteral("O que é o Vigiax"),
        QStringLiteral("O Vigiax vigia um pequeno servidor: a cada intervalo confere a ligação com "
                       "a Internet e o servidor web local, registra as falhas no log do dia, age "
                       "quando o limite de falhas é atingido e esvazia pastas nos horários "
                       "marcados."));
    about->setGeometry(Twips(1920, 960, 5655, 1380));
    auto* notice = MakePanel(
        this, QStringLiteral("pnlAviso"), QStringLiteral("Aviso"),
        QStringLiteral("Versão %1 para Linux. Pode rodar como serviço do systemd, vigiando o "
                       "servidor antes de qualquer login.")
            .arg(QString::fromLatin1(kVersion)));
    notice->setGeometry(Twips(1920, 2460, 5655, 780));

    auto* dirLink =
        MakeLink(this, QStringLiteral("lblPasta"), kDirLink, QStringLiteral("Pasta do programa"),
                 QStringLiteral("Abre a pasta do programa: ") + ToQString(programDir_));
    dirLink->setGeometry(Twips(240, 3420, 1800, 285));
    auto* logLink =
        MakeLink(this, QStringLiteral("lblLog"), kLogLink, QStringLiteral("Log de hoje"),
                 QStringLiteral("Abre o arquivo de log de hoje"));
    logLink->setGeometry(Twips(2160, 3420, 1560, 285));
    for (QLabel* link : {dirLink, logLink})
        connect(link, &QLabel::linkActivated, this, [this](const QString& l) { OpenLink(l); });

    auto* cmdFecha = new QPushButton(QStringLiteral("&SAIR"), this);
    cmdFecha->setObjectName(QStringLiteral("cmdFecha"));
    cmdFecha->setGeometry(Twips(6240, 3360, 1335, 375));
    connect(cmdFecha, &QPushButton::clicked, this, [this] { cmdFecha_Click(); });

    revealed_ = {picture, about, notice, dirLink, logLink, cmdFecha};
    for (QWidget* control : revealed_)
        control->hide();

    const QRect screen = ScreenOf(this)->geometry();
    move(screen.center() - rect().center());
}

AboutWindow::~AboutWindow() {
    clock_->Stop();
    EnableMainWindows();
}

void AboutWindow::Open(QWidget* mainWindow) {
    if (mainWindow) {
        mainWindow->setEnabled(false);
        if (std::find(mainWindows_.begin(), mainWindows_.end(), mainWindow) == mainWindows_.end())
            mainWindows_.emplace_back(mainWindow);
    }
    show();
    raise();
    activateWindow();
    if (animation_.LineIndex() < 0) {  // once per window
        animation_.Start();
        clock_->Start([this] { Frame(); });
    }
}

void AboutWindow::Frame() {
    if (const auto frame = animation_.NextFrame()) {
        DrawFrame(*frame);
        return;
    }
    clock_->Stop();
    if (animation_.Revealed())
        Reveal();
}

void AboutWindow::DrawFrame(const TitleFrame& frame) {
    const SpacingLine& line = *frame.line;
    if (frame.firstOfLine)
        drawRect_ = QRect(line.x, line.y, 0, 0);

    QFont font =
        line.font.family.empty() ? this->font() : QFont(QString::fromStdString(line.font.family));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(line.font.pointSize);
    font.setBold(line.font.bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, frame.spacing);
    const QString text = QString::fromStdString(line.text);
    const QFontMetrics metrics(font);

    QPainter painter(&surface_);
    painter.fillRect(drawRect_, palette().color(QPalette::Button));
    const int right = std::min(line.x + metrics.horizontalAdvance(text) + 4, width());
    drawRect_ = QRect(line.x, line.y, std::max(right - line.x, 0), metrics.height());
    painter.setClipRect(drawRect_);
    painter.setFont(font);
    painter.setPen(QColor(line.colour.red, line.colour.green, line.colour.blue));
    painter.drawText(drawRect_, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter.end();
    update();
}

void AboutWindow::Reveal() {
    for (QWidget* control : revealed_)
        control->show();
    revealed_.back()->setFocus();
}

void AboutWindow::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, surface_);
}

void AboutWindow::closeEvent(QCloseEvent* event) {
    animation_.Stop();
    clock_->Stop();
    EnableMainWindows();
    event->accept();
}

void AboutWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        setWindowTitle(kTitle);
    QWidget::changeEvent(event);
}

void AboutWindow::cmdFecha_Click() {
    EnableMainWindows();
    close();
}

void AboutWindow::OpenLink(const QString& link) const {
    std::filesystem::path target = programDir_;
    if (link == kLogLink) {
        const SystemClock clock;
        const EventLog log(programDir_, clock);
        std::error_code error;
        target = log.FileForDay(DayOf(clock.Now()));
        // No event yet today: the folder of the logs is the next best thing to show.
        if (!std::filesystem::exists(target, error))
            target =
                std::filesystem::exists(log.LogFolder(), error) ? log.LogFolder() : programDir_;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(ToQString(target)));
}

void AboutWindow::EnableMainWindows() {
    for (const QPointer<QWidget>& window : mainWindows_)
        if (window)
            window->setEnabled(true);
    mainWindows_.clear();
}

QRect AboutWindow::Twips(int left, int top, int width, int height) const {
    const QScreen* screen = ScreenOf(this);
    const auto px = [](int twips, qreal dpi) { return qRound(twips * dpi / kTwipsPerInch); };
    const qreal dx = screen->logicalDotsPerInchX();
    const qreal dy = screen->logicalDotsPerInchY();
    return QRect(px(left, dx), px(top, dy), px(width, dx), px(height, dy));
}

AboutWindow* ShowAbout(QWidget* mainWindow, const std::filesystem::path& programDir) {
    static QPointer<AboutWindow> window;
    if (!window)
        window = new AboutWindow(programDir);
    window->Open(mainWindow);
    return window;
}

}  // namespace vgx
