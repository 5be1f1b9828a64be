// The tray icon's menu, pictures, animation and host watcher on the offscreen platform.
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "ui/tray/sys_tray_icon.h"
#include "ui/tray/tray_host_watcher.h"
#include "ui/tray/tray_menu.h"

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
    void standardMenuHasItsItemsAndStates() {
        StandardTray t(false);
        SysTrayIcon& tray = t.tray;

        QStringList keys;
        for (int i = 1; i <= tray.ItemCount(); ++i)
            keys << tray.Key(i);
        QCOMPARE(keys, QStringList(
                           {"", "config", "panel", "start", "stop", "--", "help", "---", "quit"}));
        QVERIFY(tray.Default(kTrayItemConfig));
        QVERIFY(!tray.Checked("panel") && StandardTray(true).tray.Checked("panel"));
        QVERIFY(!tray.ItemEnabled("start"));
        QVERIFY(tray.ItemEnabled("stop") && tray.ItemEnabled(kTrayItemQuit));
        QVERIFY(!tray.ItemEnabled(kTrayItemTitle));  // a heading, never chosen

        const QList<QAction*> actions = tray.Menu().actions();
        QVERIFY(actions.at(5)->isSeparator() && actions.at(7)->isSeparator());
        QVERIFY(!actions.at(1)->icon().isNull());
    }

    void choosingAnItemEmitsMenuClickAndDismissingEmitsNothing() {
        const struct {
            QList<Qt::Key> keys;
            int index;
            const char* key;
        } cases[] = {
            {{Qt::Key_P}, 3, "panel"},  // by its letter
            {{Qt::Key_R}, 9, "quit"},
            {{Qt::Key_Down, Qt::Key_Return}, 2, "config"},  // the first item by arrow
            {{Qt::Key_S}, 0, ""},                           // the disabled start
            {{}, 0, ""},                                    // escape
        };
        for (const auto& c : cases) {
            StandardTray t(true);
            QSignalSpy clicks(&t.tray, &SysTrayIcon::MenuClick);
            QCOMPARE(ChooseWithKeys(t.tray, c.keys), c.index);
            QCOMPARE(clicks.size(), c.index == 0 ? 0 : 1);
            if (c.index != 0)
                QCOMPARE(clicks.at(0), QVariantList({c.index, QString(c.key)}));
            QVERIFY(t.tray.Checked("panel"));  // only the program changes the check mark
        }
    }

    void aHandlerMayDeleteTheTrayThatRaisedTheClick() {
        auto* tray = new SysTrayIcon;
        BuildTrayMenu(*tray, false);
        QPointer<SysTrayIcon> alive(tray);
        connect(tray, &SysTrayIcon::MenuClick, this, [tray] { delete tray; });
        QCOMPARE(ChooseWithKeys(*tray, {Qt::Key_C}), 2);
        QVERIFY(!alive);
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
