#include "ui/settings/main_window.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QShortcutEvent>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ui/about/emblem.h"
#include "ui/settings/config_section.h"
#include "ui/settings/extras_section.h"
#include "ui/settings/folders_section.h"
#include "ui/settings/iis_section.h"
#include "ui/settings/internet_section.h"
#include "ui/settings/section_help.h"
#include "ui/settings/settings_binding.h"
#include "ui/widgets/banner.h"
#include "ui/widgets/bevel_panel.h"
#include "ui/widgets/icon_box.h"
#include "ui/widgets/scroll_column.h"
#include "ui/widgets/twips.h"

namespace vgx {

namespace {

// Window geometry, in twips.
constexpr int kClientWidth = 9330;
constexpr int kClientHeight = 6960;
constexpr int kBannerHeight = 855;
constexpr int kBannerTop = -40;
constexpr int kMenuPitch = 1320;
constexpr int kMenuButtonWidth = 1695;
constexpr int kMenuButtonHeight = 1215;
constexpr int kIconLeft = 480;
constexpr int kIconTop = 120;
constexpr int kIconSize = 720;
constexpr int kPressedOffset = 20;
const QColor kPressedColour(0xE0, 0xE0, 0xE0);

const char* const kCaptions[MainWindow::kSections] = {
    "&CONFIGURACÕES", "MONITORA &PASTAS", "MONITORA &INTERNET", "MONITORA &II&S", "&EXTRAS"};

QColor ButtonFace(const QWidget* w) {
    return w->palette().color(QPalette::Button);
}

// The wordmark shown on the banner.
QPixmap Wordmark(int height) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setBold(true);
    font.setItalic(true);
    font.setPixelSize(height * 3 / 5);
    const QFontMetrics fm(font);
    const QString text = QStringLiteral("Vigiax");
    QPixmap pixmap(fm.horizontalAdvance(text) + 8, height);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font);
    p.setPen(QColor(0, 0, 80));
    p.drawText(QRect(2, 2, pixmap.width(), height), Qt::AlignVCenter | Qt::AlignLeft, text);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, pixmap.width(), height), Qt::AlignVCenter | Qt::AlignLeft, text);
    return pixmap;
}

}  // namespace

MainWindow::MainWindow(WindowContext& context, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint),
      context_(context),
      binding_(new SettingsBinding(context.engine.Settings(), this)) {
    setObjectName(QStringLiteral("frmMenu"));
    setWindowTitle(QStringLiteral("Vigiax"));
    setAccessibleName(QStringLiteral("Vigiax"));
    setMouseTracking(true);
    setFixedSize(TwipsToPixelsX(kClientWidth, this), TwipsToPixelsY(kClientHeight, this));
    setAutoFillBackground(true);

    BuildBanner();
    BuildMenu();
    BuildSections();
    SetupMenuButtons();

    // The first section open, its button shown pressed in.
    Boot_Click(0);
    boot_[0]->setBevel(BevelPanel::Inset);
    boot_[0]->setBackgroundColor(kPressedColour);
    image1_[0]->setBackgroundColor(kPressedColour);
    DrawMenuIcon(0, true);

    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildBanner() {
    pctLogo_ = new Banner(this);
    pctLogo_->setObjectName(QStringLiteral("pctLogo"));
    pctLogo_->setGeometry(0, TwipsToPixelsY(kBannerTop, this), width(),
                          TwipsToPixelsY(kBannerHeight, this));

    const int bannerHeight = pctLogo_->height();
    auto* imgIcone = new QLabel(pctLogo_);
    imgIcone->setObjectName(QStringLiteral("imgIcone"));
    imgIcone->setAccessibleName(QStringLiteral("Vigiax"));
    imgIcone->setPixmap(DrawWatchdogEmblem(IconStrip::kMenuIconSize, devicePixelRatioF()));
    imgIcone->setGeometry(8, (bannerHeight - IconStrip::kMenuIconSize) / 2 + 2,
                          IconStrip::kMenuIconSize, IconStrip::kMenuIconSize);
    auto* imgVgx = new QLabel(pctLogo_);
    imgVgx->setObjectName(QStringLiteral("ImgVgx"));
    imgVgx->setAccessibleName(QStringLiteral("Vigiax"));
    imgVgx->setPixmap(Wordmark(bannerHeight - 8));
    imgVgx->move(imgIcone->geometry().right() + 10, 6);
    imgVgx->adjustSize();

    const struct {
        const char* caption;
        const char* tip;
        int left;
    } kButtons[] = {{"X", "Minimizar no 'Systray'", 9040}, {"?", "Sobre...", 8760}};
    for (int i = 0; i < 2; ++i) {
        auto* button = new BevelPanel(QString::fromUtf8(kButtons[i].caption), pctLogo_);
        button->setObjectName(QStringLiteral("CmdSair%1").arg(i));
        button->setToolTip(QString::fromUtf8(kButtons[i].tip));
        button->setBackgroundColor(ButtonFace(this));
        button->setBevel(BevelPanel::Raised);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(TwipsToPixelsX(kButtons[i].left, this), TwipsToPixelsY(45, this),
                            TwipsToPixelsX(195, this), TwipsToPixelsY(195, this));
        connect(button, &BevelPanel::mouseDown, this, [button] {
            button->setBevel(BevelPanel::Inset);
            button->setText(QLatin1Char(' ') + button->text().trimmed());
        });
        connect(button, &BevelPanel::mouseUp, this, [button] {
            button->setBevel(BevelPanel::Raised);
            button->setText(button->text().trimmed());
        });
        connect(button, &BevelPanel::clicked, this, [this, i] { CmdSair_Click(i); });
        cmdSair_[static_cast<std::size_t>(i)] = button;
    }
}

void MainWindow::BuildMenu() {
    pct1_ = new ScrollColumn(this);
    pct1_->setObjectName(QStringLiteral("Pct1"));
    pct1_->setAccessibleName(QStringLiteral("Menu"));
    pct1_->setFocusPolicy(Qt::StrongFocus);
    pct1_->setMouseTracking(true);
    pct1_->installEventFilter(this);
    pct1_->setGeometry(0, TwipsToPixelsY(975, this), TwipsToPixelsX(2175, this),
                       TwipsToPixelsY(5900, this));

    QWidget* pnl = pct1_->strip();
    pnl->setObjectName(QStringLiteral("Pnl"));
    pnl->setMouseTracking(true);
    pnl->installEventFilter(this);
    pnl->resize(TwipsToPixelsX(kMenuButtonWidth, this),
                TwipsToPixelsY(kSections * kMenuPitch - 75, this));

    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    for (int i = 0; i < kSections; ++i) {
        const auto at = static_cast<std::size_t>(i);
        captions_[at] = QString::fromUtf8(kCaptions[at]);
        auto* button = new BevelPanel(captions_[at], pnl);
        button->setObjectName(QStringLiteral("Boot%1").arg(i));
        button->setFont(font);
        button->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        button->setBackgroundColor(ButtonFace(this));
        button->setMouseTracking(true);
        button->setFocusPolicy(Qt::TabFocus);
        button->setGeometry(0, TwipsToPixelsY(i * kMenuPitch, this),
                            TwipsToPixelsX(kMenuButtonWidth, this),
                            TwipsToPixelsY(kMenuButtonHeight, this));
        auto* icon = new IconBox(button);
        icon->setObjectName(QStringLiteral("Image1_%1").arg(i));
        icon->setBackgroundColor(ButtonFace(this));
        icon->setGeometry(TwipsToPixelsX(kIconLeft, this), TwipsToPixelsY(kIconTop, this),
                          TwipsToPixelsX(kIconSize, this), TwipsToPixelsY(kIconSize, this));
        connect(button, &BevelPanel::mouseDown, this, [this, i] { Boot_MouseDown(i); });
        connect(button, &BevelPanel::pressed, this, [this, i] { Boot_MouseDown(i); });
        connect(button, &BevelPanel::mouseMove, this, [this, i] { Boot_MouseMove(i); });
        connect(button, &BevelPanel::clicked, this, [this, i] { Boot_Click(i); });
        button->installEventFilter(this);  // its letter, when shared
        // A second underlined letter ("MONITORA &II&S") opens the section too.
        const QString rest = captions_[at].mid(captions_[at].indexOf(QLatin1Char('&')) + 2);
        if (const QKeySequence letter = QKeySequence::mnemonic(rest); !letter.isEmpty()) {
            connect(new QShortcut(letter, button), &QShortcut::activated, button,
                    &QAbstractButton::animateClick);
        }
        boot_[at] = button;
        image1_[at] = icon;
    }
}

void MainWindow::BuildSections() {
    conf_ = new ConfigSection(context_, *binding_, this);
    pasta_ = new FoldersSection(context_, this);
    net_ = new InternetSection(context_, *binding_, this);
    iis_ = new IisSection(context_, *binding_, this);
    extra_ = new ExtrasSection(context_, this);
    panels_ = {conf_, pasta_, net_, iis_, extra_};
    // As wide as the help frame under them: at 6945 twips they would end past the window's edge.
    for (QWidget* panel : panels_) {
        panel->resize(TwipsToPixelsX(6855, this), TwipsToPixelsY(3840, this));
        panel->hide();
    }

    frmHelp_ = new QGroupBox(QStringLiteral("Descrição"), this);
    frmHelp_->setObjectName(QStringLiteral("frmHelp"));
    frmHelp_->setGeometry(TwipsToPixelsX(2400, this), TwipsToPixelsY(4680, this),
                          TwipsToPixelsX(6855, this), TwipsToPixelsY(2205, this));
    // The label inside the frame's own margins, below its title, in the small font the longest
    // help (six lines, the last one long) needs to fit.
    lblOBS_ = new QLabel(frmHelp_);
    lblOBS_->setObjectName(QStringLiteral("lblOBS"));
    // No accessible name of its own: its text is its name, so a screen reader reads the help and
    // each new text is announced as a change of name (the frame says "Descrição").
    lblOBS_->setTextFormat(Qt::PlainText);
    lblOBS_->setWordWrap(true);
    lblOBS_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small(QStringLiteral("Arial"));
    small.setPointSizeF(7.5);
    lblOBS_->setFont(small);
    auto* helpLayout = new QVBoxLayout(frmHelp_);
    helpLayout->setContentsMargins(TwipsToPixelsX(120, this), 2, TwipsToPixelsX(120, this), 2);
    helpLayout->addWidget(lblOBS_);
}

void MainWindow::SetupMenuButtons() {
    image1_[0]->setBackgroundColor(kPressedColour);
    for (int i = 0; i < kSections; ++i) {
        const auto at = static_cast<std::size_t>(i);
        boot_[at]->setTag(QStringLiteral("%1#%2").arg(kIconLeft).arg(kIconTop));
        DrawMenuIcon(i, false);
    }
    DrawMenuIcon(0, true);
    for (QWidget* panel : panels_)
        panel->move(TwipsToPixelsX(2400, this), TwipsToPixelsY(855, this));
}

void MainWindow::DrawMenuIcon(int index, bool plain) {
    image1_.at(static_cast<std::size_t>(index))
        ->setPicture(
            context_.buttonIcons.MenuIcon(index, plain ? IconForm::Plain : IconForm::Resting));
}

void MainWindow::MoveIconBox(int index, int offsetTwips) {
    const auto at = static_cast<std::size_t>(index);
    const QStringList home = boot_[at]->tag().split(QLatin1Char('#'));
    const int left = home.value(0).toInt() + offsetTwips;
    const int top = home.value(1).toInt() + offsetTwips;
    image1_[at]->move(TwipsToPixelsX(left, this), TwipsToPixelsY(top, this));
}

void MainWindow::Boot_Click(int index) {
    if (index < 0 || index >= kSections)
        return;
    section_ = index;
    // The section in front is the only one shown, so Tab, the accelerators and a screen reader
    // reach only its controls.
    for (int i = 0; i < kSections; ++i)
        panels_[static_cast<std::size_t>(i)]->setVisible(i == index);
    panels_[static_cast<std::size_t>(index)]->raise();
    UpdateMenuLetters();
}

void MainWindow::UpdateMenuLetters() {
    // The open section's button leaves its letter to the section: a click on it changes nothing.
    for (int i = 0; i < kSections; ++i) {
        BevelPanel* button = boot_[static_cast<std::size_t>(i)];
        button->setShortcut(i == section_ ? QKeySequence()
                                          : QKeySequence::mnemonic(button->text()));
    }
}

bool MainWindow::OpenByLetter(const QKeySequence& letter) {
    // Shared with a control of the open section: Qt moves the focus among them, and Space
    // presses the one that has it; nothing is pressed that the user did not see coming.
    for (const QWidget* w : Section(section_)->findChildren<QWidget*>()) {
        const auto* button = qobject_cast<const QAbstractButton*>(w);
        const auto* label = qobject_cast<const QLabel*>(w);
        const QString text = button                               ? button->text()
                             : label && label->buddy() != nullptr ? label->text()
                                                                  : QString();
        if (w->isVisibleTo(this) && QKeySequence::mnemonic(text) == letter)
            return false;
    }
    // Shared by menu buttons only: the first of their sections opens.
    for (int i = 0; i < kSections; ++i) {
        BevelPanel* button = boot_[static_cast<std::size_t>(i)];
        if (i != section_ && QKeySequence::mnemonic(button->text()) == letter) {
            button->animateClick();
            return true;
        }
    }
    return false;
}

void MainWindow::Boot_MouseDown(int index) {
    if (index < 0 || index >= kSections)
        return;
    const auto at = static_cast<std::size_t>(index);
    BevelPanel* button = boot_[at];
    if (button->bevel() != BevelPanel::Inset) {
        button->setBevel(BevelPanel::Inset);
        MoveIconBox(index, kPressedOffset);
        button->setText(QLatin1Char(' ') + captions_[at]);
        button->setBackgroundColor(kPressedColour);
        image1_[at]->setBackgroundColor(kPressedColour);
        DrawMenuIcon(index, true);
    }
    for (int j = 0; j < kSections; ++j) {
        const auto other = static_cast<std::size_t>(j);
        if (j == index || boot_[other]->bevel() == BevelPanel::Flat)
            continue;
        boot_[other]->setBevel(BevelPanel::Flat);
        MoveIconBox(j, 0);
        boot_[other]->setText(captions_[other]);
        boot_[other]->setBackgroundColor(ButtonFace(this));
        image1_[other]->setBackgroundColor(ButtonFace(this));
        DrawMenuIcon(j, false);
    }
    UpdateMenuLetters();  // a new caption takes its letter again
}

void MainWindow::Boot_MouseMove(int index) {
    if (index >= 0 && index < kSections &&
        boot_[static_cast<std::size_t>(index)]->bevel() == BevelPanel::Flat) {
        boot_[static_cast<std::size_t>(index)]->setBevel(BevelPanel::Raised);
        DrawMenuIcon(index, true);
    }
    ShowSectionHelp(index);
    for (int j = 0; j < kSections; ++j) {
        BevelPanel* other = boot_[static_cast<std::size_t>(j)];
        if (j != index && other->bevel() != BevelPanel::Flat &&
            other->bevel() != BevelPanel::Inset) {
            other->setBevel(BevelPanel::Flat);
            DrawMenuIcon(j, false);
        }
    }
}

void MainWindow::Pnl_MouseMove() {
    for (int j = 0; j < kSections; ++j) {
        BevelPanel* button = boot_[static_cast<std::size_t>(j)];
        if (button->bevel() >= BevelPanel::Raised) {
            button->setBevel(BevelPanel::Flat);
            DrawMenuIcon(j, false);
        }
    }
}

void MainWindow::Pct1_MouseMove() {
    Pnl_MouseMove();
    ShowSectionHelp(kNoButton);
}

void MainWindow::ShowSectionHelp(int index) {
    // The first request always shows its text, whatever the index.
    if (helpIndex_ == index)
        return;
    helpIndex_ = index;
    help_ = SectionHelpText(index);
    lblOBS_->setText(QString::fromStdString(help_).replace(QStringLiteral("\r\n"), "\n"));
}

void MainWindow::CmdSair_Click(int index) {
    if (index == 0)
        emit trayRequested();
    else if (index == 1)
        emit aboutRequested();
}

void MainWindow::Form_Resize() {
    pct1_->LayOutBar();
    extra_->ResetDate();
}

void MainWindow::Form_Activate() {
    Form_Resize();
    pct1_->setFocus(Qt::ActiveWindowFocusReason);
}

void MainWindow::showEvent(QShowEvent* event) {
    // Shown, or restored from minimised (a spontaneous show); not when the window merely gets
    // the focus back, after a message box or from another program, which would undo the date
    // and the focus the user just chose.
    Form_Activate();
    QWidget::showEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    Boot_MouseMove(kNoButton);
    QWidget::mouseMoveEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Shortcut && qobject_cast<BevelPanel*>(watched) != nullptr) {
        const auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->isAmbiguous() && OpenByLetter(shortcut->key()))
            return true;
    }
    if (event->type() == QEvent::MouseMove) {
        if (watched == pct1_->strip()) {
            Pnl_MouseMove();
            return true;
        }
        if (watched == pct1_) {
            Pct1_MouseMove();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vgx
