// The tray icon's menu, pictures, animation and host watcher on the offscreen platform.
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <stdexcept>

#include "app/panel_state.h"
#include "ui/tray/sys_tray_icon.h"
#include "ui/tray/tray_animation.h"
#include "ui/tray/tray_host_watcher.h"
#include "ui/tray/tray_menu.h"
#include "ui/tray/tray_pictures.h"

namespace vgx::test {

namespace {

// Opens the menu, types `keys` into it, closes it with Escape if it is still open, and returns
// what ShowMenu returned.
int ChooseWithKeys(SysTrayIcon& tray, const QList<Qt::Key>& keys) {
    QTimer::singleShot(0, &tray, [&tray, keys] {
        for (Qt::Key key : keys)
            QTest::keyClick(&tray.Menu(), key);
        if (tray.Menu().isVisible())
            QTest::keyClick(&tray.Menu(), Qt::Key_Escape);
    });
    return tray.ShowMenu(QPoint(100, 100));
}

struct StandardTray {
    explicit StandardTray(bool panelVisible) {
        tray.SetImageList(QStringLiteral(VGX_MENU_STRIP));
        BuildTrayMenu(tray, panelVisible);
    }
    SysTrayIcon tray;
};

}  // namespace

class TrayTest : public QObject {
    Q_OBJECT

private slots:
    void standardMenuHasItsItemsAndStates_data() {
        QTest::addColumn<bool>("panelVisible");
        QTest::newRow("panel shown") << true;
        QTest::newRow("panel hidden") << false;
    }
    void standardMenuHasItsItemsAndStates() {
        QFETCH(bool, panelVisible);
        StandardTray t(panelVisible);
        SysTrayIcon& tray = t.tray;

        QStringList keys, captions, names;
        QList<int> icons;
        for (int i = 1; i <= tray.ItemCount(); ++i) {
            keys << tray.Key(i);
            captions << tray.Caption(i);
            icons << tray.IconIndex(i);
        }
        QCOMPARE(keys, QStringList(
                           {"", "config", "panel", "start", "stop", "--", "help", "---", "quit"}));
        QCOMPARE(captions, QStringList({"Vigiax", "&Config", "&Painel", "&Start", "S&top", "-",
                                        "So&bre", "-", "Sai&r"}));
        QCOMPARE(icons, QList<int>({-1, 0, 1, 2, 3, -1, 4, -1, 5}));

        QVERIFY(tray.Default(kTrayItemConfig));
        QCOMPARE(tray.Checked("panel"), panelVisible);
        QVERIFY(!tray.ItemEnabled("start"));
        QVERIFY(tray.ItemEnabled("stop") && tray.ItemEnabled(kTrayItemQuit));
        QVERIFY(!tray.ItemEnabled(kTrayItemTitle));  // a heading, never chosen

        const QList<QAction*> actions = tray.Menu().actions();
        QVERIFY(actions.at(5)->isSeparator() && actions.at(7)->isSeparator());
        QVERIFY(!actions.at(1)->icon().isNull());
        QVERIFY(actions.at(5)->icon().isNull());

        tray.Menu().popup(QPoint(50, 50));
        QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(&tray.Menu());
        for (int i = 0; i < menu->childCount(); ++i)
            names << menu->child(i)->text(QAccessible::Name);
        QVERIFY(names.contains("Config") && names.contains("Painel") && names.contains("Sair"));
        QVERIFY(!names.join(' ').contains('&'));
        tray.Menu().hide();
    }

    void itemsAreFoundByIndexOrKeyAndRemovingRenumbers() {
        StandardTray t(false);
        SysTrayIcon& tray = t.tray;
        tray.SetChecked(kTrayItemPanel, true);
        QVERIFY(tray.Checked("panel"));
        tray.SetDefault("quit", true);
        QVERIFY(tray.Default(kTrayItemQuit) && !tray.Default("config"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, tray.Checked("nothing"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, tray.EnableMenuItem(0, true));

        // Removing renumbers the items after it; a submenu goes with its item.
        const int more = tray.AddMenuItem("Mais", "more");
        tray.AddMenuItem("Um", "one", false, 0, more);
        QCOMPARE(tray.ItemCount(), 11);
        QCOMPARE(tray.RemoveMenuItem(more), 9);
        QCOMPARE(tray.RemoveMenuItem(kTrayItemStop), 8);
        QCOMPARE(tray.Key(kTrayItemStop), QStringLiteral("--"));
        QCOMPARE(tray.Menu().actions().size(), 8);
    }

    void choosingAnItemEmitsMenuClickAndDismissingEmitsNothing_data() {
        QTest::addColumn<QList<Qt::Key>>("keys");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("key");
        QTest::newRow("panel by its letter") << QList<Qt::Key>{Qt::Key_P} << 3 << "panel";
        QTest::newRow("quit by its letter") << QList<Qt::Key>{Qt::Key_R} << 9 << "quit";
        QTest::newRow("first item by arrow")
            << QList<Qt::Key>{Qt::Key_Down, Qt::Key_Return} << 2 << "config";
        QTest::newRow("disabled start") << QList<Qt::Key>{Qt::Key_S} << 0 << "";
        QTest::newRow("escape") << QList<Qt::Key>{} << 0 << "";
    }
    void choosingAnItemEmitsMenuClickAndDismissingEmitsNothing() {
        QFETCH(QList<Qt::Key>, keys);
        QFETCH(int, index);
        QFETCH(QString, key);
        StandardTray t(true);
        QSignalSpy clicks(&t.tray, &SysTrayIcon::MenuClick);

        QCOMPARE(ChooseWithKeys(t.tray, keys), index);
        if (index == 0) {
            QCOMPARE(clicks.size(), 0);
        } else {
            QCOMPARE(clicks.size(), 1);
            QCOMPARE(clicks.at(0), QVariantList({index, key}));
        }
        QVERIFY(t.tray.Checked("panel"));  // only the program changes the check mark
    }

    void aHandlerMayDeleteTheTrayThatRaisedTheClick() {
        auto* tray = new SysTrayIcon;
        BuildTrayMenu(*tray, false);
        QPointer<SysTrayIcon> alive(tray);
        connect(tray, &SysTrayIcon::MenuClick, this, [tray] { delete tray; });
        QCOMPARE(ChooseWithKeys(*tray, {Qt::Key_C}), 2);
        QVERIFY(!alive);
    }

    void picturesAreDrawnAtEveryTraySize() {
        QList<QImage> centres;
        for (int picture = kTrayNormal; picture <= kTrayPaused; ++picture) {
            const QIcon icon = TrayPicture(picture);
            for (int size : kTrayPictureSizes) {
                QVERIFY(icon.availableSizes().contains(QSize(size, size)));
                QCOMPARE(icon.pixmap(size).size(), QSize(size, size));
            }
            centres << icon.pixmap(16).toImage();
        }
        for (int i = 0; i < centres.size(); ++i)
            QCOMPARE(centres.indexOf(centres[i]), i);  // four different pictures
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, TrayPicture(kTrayPaused + 1));

        SysTrayIcon tray;
        tray.SetPicture(kTrayNearLimit);
        QCOMPARE(tray.Picture(), kTrayNearLimit);
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, tray.SetPicture(0));
        QCOMPARE(tray.Picture(), kTrayNearLimit);
        QCOMPARE(tray.ToolTip(), QStringLiteral("Vigiax"));
    }

    void animationPlaysOnlyWhenTheTrayIsKnown() {
        QWidget window;
        window.setGeometry(100, 100, 300, 200);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!AnimateWindowToTray(&window, false, false, QRect()));
        QVERIFY(clock.elapsed() < 100);

        clock.restart();
        QVERIFY(AnimateWindowToTray(&window, true, true, QRect(600, 0, 22, 22)));
        QVERIFY(clock.elapsed() >= kTrayAnimationMs - 20 && clock.elapsed() < 2000);
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(w == &window);  // the outline is gone

        QCOMPARE(TrayLine(QRect(600, 0, 22, 22)), QRect(611, 0, 1, 22));
        QCOMPARE(CentreRectOnWorkArea(QRect(5, 5, 200, 100), QRect(0, 24, 1000, 700)),
                 QRect(400, 324, 200, 100));
    }

    void watcherReportsTheHostGoingAndComingBackOnce() {
        bool host = true;
        TrayHostWatcher watcher(
            nullptr, [&host] { return host; }, std::chrono::hours(1));
        QSignalSpy lost(&watcher, &TrayHostWatcher::hostLost);
        QSignalSpy returned(&watcher, &TrayHostWatcher::hostReturned);
        for (bool state : {true, false, false, true, true}) {
            host = state;
            watcher.Check();
        }
        QCOMPARE(lost.size(), 1);
        QCOMPARE(returned.size(), 1);
        QVERIFY(watcher.HostAvailable());
    }
};

}  // namespace vgx::test

QTEST_MAIN(vgx::test::TrayTest)
#include "tray_test.moc"
