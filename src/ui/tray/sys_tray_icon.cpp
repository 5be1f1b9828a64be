#include "ui/tray/sys_tray_icon.h"

#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QPointer>
#include <QWidgetAction>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "app/panel_state.h"
#include "ui/tray/tray_pictures.h"

namespace vgx {
namespace {

// The menu's look. The colours are the program's own (BGR values, as RGB here): &H99CCCC
// background, &H333333 text and heading, &H336666 selection, &HFFFFFF selected text and
// heading text.
const char* const kMenuStyle = R"(
QMenu { background: #cccc99; color: #333333; border: 1px solid #666633; padding: 1px; }
QMenu::item { background: transparent; padding: 3px 20px 3px 6px; }
QMenu::item:selected { background: #666633; color: #ffffff; }
QMenu::item:disabled { color: #8c8c66; }
QMenu::item:default { font-weight: bold; }
QMenu::icon { padding-left: 4px; }
QMenu::icon:checked { background: #ffffff; border: 1px inset #666633; }
QMenu::separator { height: 1px; background: #666633; margin: 3px 4px; }
QLabel#trayMenuTitle { background: #333333; color: #ffffff; font-weight: bold;
                       padding: 3px 8px; }
)";

}  // namespace

SysTrayIcon::SysTrayIcon(QObject* parent) : QObject(parent) {
    menu_.setObjectName(QStringLiteral("trayMenu"));
    menu_.setAccessibleName(QStringLiteral("Vigiax"));
    icon_.setToolTip(QStringLiteral("Vigiax"));
    connect(&menu_, &QMenu::triggered, this, &SysTrayIcon::OnTriggered);
    // Queued, so that a handler may delete this object: the icon's own mouse handler has
    // returned by then.
    connect(&icon_, &QSystemTrayIcon::activated, this, &SysTrayIcon::OnActivated,
            Qt::QueuedConnection);
}

SysTrayIcon::~SysTrayIcon() {
    icon_.hide();
}

void SysTrayIcon::Initialise() {
    if (picture_ == 0)
        SetPicture(kTrayNormal);
    icon_.show();
}

void SysTrayIcon::SetPicture(int picture) {
    if (picture == picture_ && IsTrayPicture(picture))
        return;
    icon_.setIcon(TrayPicture(picture));
    picture_ = picture;
}

void SysTrayIcon::SetToolTip(const QString& tip) {
    if (tip != icon_.toolTip())
        icon_.setToolTip(tip);
}

void SysTrayIcon::SetImageList(const QString& stripFile) {
    strip_ = IconStrip(stripFile);
    for (Item& item : items_)
        ApplyIcon(item);
}

void SysTrayIcon::StyleMenus() {
    menu_.setStyleSheet(QString::fromLatin1(kMenuStyle));
    AddItem(QStringLiteral("Vigiax"), QString(), false, -1, false, false, true);
}

int SysTrayIcon::AddMenuItem(const QString& caption, const QString& key, bool isDefault,
                             int iconIndex, bool checked, bool enabled) {
    return AddItem(caption, key, isDefault, iconIndex, checked, enabled, false);
}

int SysTrayIcon::AddItem(const QString& caption, const QString& key, bool isDefault, int iconIndex,
                         bool checked, bool enabled, bool heading) {
    QMenu* menu = &menu_;
    QAction* action;
    if (heading) {
        auto* title = new QWidgetAction(menu);
        auto* label = new QLabel(caption);
        label->setObjectName(QStringLiteral("trayMenuTitle"));
        label->setAccessibleName(caption);
        title->setDefaultWidget(label);
        action = title;
    } else {
        action = new QAction(menu);
    }
    action->setText(caption);
    action->setObjectName(key);
    action->setSeparator(caption == QLatin1String("-"));
    action->setEnabled(enabled);
    action->setCheckable(checked);
    action->setChecked(checked);
    menu->addAction(action);

    items_.push_back(Item{action, key, iconIndex, checked});
    ApplyIcon(items_.back());
    if (isDefault)
        menu_.setDefaultAction(action);
    return ItemCount();
}

QString SysTrayIcon::Key(int index) const {
    return At(index).key;
}

bool SysTrayIcon::Default(int index) const {
    return menu_.defaultAction() == At(index).action;
}

bool SysTrayIcon::Default(const QString& key) const {
    return Default(IndexOf(key));
}

bool SysTrayIcon::ItemEnabled(int index) const {
    return At(index).action->isEnabled();
}

bool SysTrayIcon::ItemEnabled(const QString& key) const {
    return ItemEnabled(IndexOf(key));
}

void SysTrayIcon::SetItemEnabled(int index, bool on) {
    At(index).action->setEnabled(on);
}

void SysTrayIcon::SetItemEnabled(const QString& key, bool on) {
    SetItemEnabled(IndexOf(key), on);
}

bool SysTrayIcon::Checked(int index) const {
    return At(index).checked;
}

bool SysTrayIcon::Checked(const QString& key) const {
    return Checked(IndexOf(key));
}

void SysTrayIcon::SetChecked(int index, bool on) {
    Item& item = At(index);
    item.checked = on;
    item.action->setCheckable(on);
    item.action->setChecked(on);
}

void SysTrayIcon::SetChecked(const QString& key, bool on) {
    SetChecked(IndexOf(key), on);
}

void SysTrayIcon::ShowMenu(const QPoint& at) {
    menu_.popup(at);
}

void SysTrayIcon::ShowMenu() {
    ShowMenu(QCursor::pos());
}

int SysTrayIcon::IndexOf(const QString& key) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].key == key)
            return static_cast<int>(i) + 1;
    }
    throw std::out_of_range("no tray menu item with key \"" + key.toStdString() + '"');
}

int SysTrayIcon::IndexOf(const QAction* action) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].action == action)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

SysTrayIcon::Item& SysTrayIcon::At(int index) {
    return const_cast<Item&>(std::as_const(*this).At(index));
}

const SysTrayIcon::Item& SysTrayIcon::At(int index) const {
    if (index < 1 || index > ItemCount())
        throw std::out_of_range("no tray menu item " + std::to_string(index));
    return items_[static_cast<size_t>(index - 1)];
}

void SysTrayIcon::ApplyIcon(Item& item) {
    const QPixmap icon = strip_.MenuEntryIcon(item.icon);
    item.action->setIcon(icon.isNull() ? QIcon() : QIcon(icon));
}

void SysTrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            emit SysTrayMouseDown(1);
            break;
        case QSystemTrayIcon::Context:
            emit SysTrayMouseDown(2);
            break;
        case QSystemTrayIcon::DoubleClick:
            emit SysTrayDoubleClick(1);
            break;
        default:
            break;
    }
}

void SysTrayIcon::OnTriggered(QAction* action) {
    const int index = IndexOf(action);
    if (index == 0)
        return;
    Item& item = At(index);
    // The item's check mark changes only when it is set.
    item.action->setChecked(item.checked);
    // The choice runs once the menu has closed and its own handling is over.
    menu_.hide();
    QMetaObject::invokeMethod(
        this, [this, index, key = item.key] { emit MenuClick(index, key); },
        Qt::QueuedConnection);
}

}  // namespace vgx
