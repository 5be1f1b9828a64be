// The program's own widgets and the tray icon's menu and host watcher on the offscreen platform.
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "ui/tray/sys_tray_icon.h"
#include "ui/tray/tray_host_watcher.h"
#include "ui/tray/tray_menu.h"
#include "ui/widgets/owner_draw_button.h"
#include "ui/widgets/path_label.h"
#include "ui/widgets/scroll_column.h"

namespace vgx::test {

class WidgetsTest : public QObject {
    Q_OBJECT

    // Opens the menu, types `keys` into it, closes it with Escape if it is still open, and lets
    // the choice arrive.
    static void ChooseWithKeys(SysTrayIcon& tray, const QList<Qt::Key>& keys) {
        tray.ShowMenu(QPoint(100, 100));
        for (Qt::Key key : keys)
            QTest::keyClick(&tray.Menu(), key);
        if (tray.Menu().isVisible())
            QTest::keyClick(&tray.Menu(), Qt::Key_Escape);
        QTest::qWait(30);
    }

private slots:
    void scrollColumnFollowsItsBarAndTheWheel() {
        ScrollColumn column;
        const int tpp = column.twipsPerPixel();
        column.strip()->resize(1695 / tpp, 6525 / tpp);
        column.resize(2175 / tpp, 5865 / tpp);  // 660 twips short of the strip
        column.show();
        QScrollBar* bar = column.bar();
        QVERIFY(!bar->isHidden());
        QSignalSpy changes(&column, &ScrollColumn::changed);

        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(column.strip()->y(), -675 / tpp);  // -660 goes on to -675
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(changes.size(), 1);  // already at the end

        // A wheel notch adds the step times the wheel lines, over the column or its bar.
        const auto turn = [](QWidget* w, int delta) {
            QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), {}, QPoint(0, delta), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(w, &wheel);
        };
        bar->setValue(1);
        turn(&column, -120);
        QCOMPARE(bar->value(), 0);
        turn(bar, 120);
        QCOMPARE(bar->value(), bar->maximum());
        turn(bar, -120);
        QCOMPARE(column.strip()->y(), 75 / tpp);  // at the top the strip rests 75 twips down

        // No bar for less than a pixel over.
        column.resize(column.width(), column.strip()->height());
        QVERIFY(bar->isHidden());
    }

    void commandButtonPaintsWithoutItsPicturesAndIsPressedByItsAltAccelerator() {
        QWidget window;
        auto* reset = new OwnerDrawButton(QStringLiteral("Reset &Falhas"), &window);
        reset->setImageStrip(IconStrip(QStringLiteral("/nonexistent/xp.dat")));
        reset->setImageIndex(3);
        new OwnerDrawButton(QStringLiteral("&Cancelar"), &window);
        QSignalSpy clicks(reset, &QAbstractButton::clicked);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
        QTRY_COMPARE(clicks.size(), 1);
    }

    void pathLabelKeepsTheLastComponentAndTheWholePath() {
        const QString path =
            QStringLiteral("/srv/compartilhado/usuarios/todos/arquivos/relatórios");
        PathLabel label;
        label.show();
        label.resize(label.fontMetrics().horizontalAdvance(path) / 2, 20);
        label.setPath(path);
        QVERIFY(label.text().startsWith(QStringLiteral("/srv")));
        QVERIFY(label.text().endsWith(QStringLiteral(".../relatórios")));
        QCOMPARE(label.toolTip(), path);
        QCOMPARE(label.path(), path);

        label.resize(label.fontMetrics().horizontalAdvance(path) + 40, 20);
        QCOMPARE(label.text(), path);
    }

    void choosingAnItemEmitsMenuClickAndDismissingEmitsNothing() {
        const struct {
            QList<Qt::Key> keys;
            int index;
            const char* key;
        } cases[] = {
            {{Qt::Key_P}, 3, "panel"},                      // by its letter
            {{Qt::Key_Down, Qt::Key_Return}, 2, "config"},  // the first item by arrow
            {{Qt::Key_S}, 0, ""},                           // the disabled start
            {{}, 0, ""},                                    // escape
        };
        for (const auto& c : cases) {
            SysTrayIcon tray;
            BuildTrayMenu(tray, true);
            QSignalSpy clicks(&tray, &SysTrayIcon::MenuClick);
            ChooseWithKeys(tray, c.keys);
            QVERIFY(!tray.Menu().isVisible());
            QCOMPARE(clicks.size(), c.index == 0 ? 0 : 1);
            if (c.index != 0)
                QCOMPARE(clicks.at(0), QVariantList({c.index, QString(c.key)}));
            QVERIFY(tray.Checked("panel"));  // only the program changes the check mark
        }
    }

    void aHandlerMayDeleteTheTrayThatRaisedTheClick() {
        auto* tray = new SysTrayIcon;
        BuildTrayMenu(*tray, false);
        QPointer<SysTrayIcon> alive(tray);
        connect(tray, &SysTrayIcon::MenuClick, this, [tray] { delete tray; });
        ChooseWithKeys(*tray, {Qt::Key_C});
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

QTEST_MAIN(vgx::test::WidgetsTest)
#include "widgets_test.moc"
