#pragma once

#include <QList>
#include <QMenu>
#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QSystemTrayIcon>

#include <vector>

#include "ui/widgets/icon_strip.h"

class QAction;

namespace vgx {

// fSysTrayIconMenu: the notification-area icon that shows the watchdog's state, and its popup
// menu. Menu items are numbered from 1 in the order they are added. Every lookup by an index
// outside 1 .. ItemCount() or by a key that no item carries throws std::out_of_range.
class SysTrayIcon final : public QObject {
    Q_OBJECT
public:
    explicit SysTrayIcon(QObject* parent = nullptr);
    // Takes the icon out of the notification area.
    ~SysTrayIcon() override;

    // Puts the icon in the notification area; Remove takes it out again.
    void Initialise();
    void Remove();
    bool Shown() const { return icon_.isVisible(); }

    // The picture, kTrayNormal .. kTrayPaused; another number throws std::out_of_range.
    void SetPicture(int picture);
    int Picture() const { return picture_; }
    void SetToolTip(const QString& tip);
    QString ToolTip() const { return icon_.toolTip(); }
    // Item pictures: the tray-menu strip file; an item's icon index picks one of them.
    void SetImageList(const QString& stripFile);
    // Where the icon is on the screen; null when the notification area does not say.
    QRect Geometry() const { return icon_.geometry(); }

    // Adds the heading "Vigiax" as item 1 and gives the menu its colours.
    void StyleMenus();

    // Adds an item and returns its index. A caption "-" makes a separator; `iconIndex` -1 is
    // none. The default item is shown bold; at most one item is the default.
    int AddMenuItem(const QString& caption, const QString& key = {}, bool isDefault = false,
                    int iconIndex = -1, bool checked = false, bool enabled = true);

    int ItemCount() const { return static_cast<int>(items_.size()); }
    QString Key(int index) const;
    bool Default(int index) const;
    bool Default(const QString& key) const;
    bool ItemEnabled(int index) const;
    bool ItemEnabled(const QString& key) const;
    void SetItemEnabled(int index, bool on);
    void SetItemEnabled(const QString& key, bool on);
    bool Checked(int index) const;
    bool Checked(const QString& key) const;
    void SetChecked(int index, bool on);
    void SetChecked(const QString& key, bool on);

    // Opens the menu at `at` (the pointer when omitted) and returns; a choice emits MenuClick
    // from the event loop once the menu has closed.
    void ShowMenu(const QPoint& at);
    void ShowMenu();

    QMenu& Menu() { return menu_; }

signals:
    // 1 left button (a click), 2 right button (the context request). Notification areas report
    // presses and double clicks only: there is no button-up and no pointer-move report.
    void SysTrayMouseDown(int button);
    void SysTrayDoubleClick(int button);
    void MenuClick(int index, const QString& key);

private:
    struct Item {
        QAction* action;
        QString key;
        int icon;
        bool checked;
    };

    int AddItem(const QString& caption, const QString& key, bool isDefault, int iconIndex,
                bool checked, bool enabled, bool heading);
    int IndexOf(const QString& key) const;
    int IndexOf(const QAction* action) const;
    Item& At(int index);
    const Item& At(int index) const;
    void ApplyIcon(Item& item);
    void OnActivated(QSystemTrayIcon::ActivationReason reason);
    void OnTriggered(QAction* action);

    QSystemTrayIcon icon_;
    QMenu menu_;
    std::vector<Item> items_;
    IconStrip strip_;
    int picture_ = 0;
};

}  // namespace vgx
