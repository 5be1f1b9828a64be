// frmAviso on the offscreen platform, driven by a watchdog with fake ports.
#include <QApplication>
#include <QLabel>
#include <QTest>

#include "ui/restart_warning_window.h"
#include "watchdog_world.h"

namespace vgx::test {

class RestartWarningWindowTest : public QObject {
    Q_OBJECT

    struct World : WatchdogWorld {
        RestartWarningWindow window{*dog};

        QString Label() const {
            return window.findChild<QLabel*>(QStringLiteral("lblBoot"))->text();
        }
    };

private slots:
    void countsDownOncePerSecondAndShowingAgainOnlyRaises() {
        World w;
        w.dog->ShowRestartWarning();
        w.window.ShowWarning();
        QVERIFY(w.window.isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(w.Label(), QStringLiteral("Boot em: \n\n30 segundos..."), 2000);

        w.dog->ShowRestartWarning();
        w.window.ShowWarning();
        QTRY_COMPARE_WITH_TIMEOUT(w.Label(), QStringLiteral("Boot em: \n\n29 segundos..."), 2000);
        QCOMPARE(w.power.restarts, 0);
    }

    void closingTheWindowOrEscapeCancelsTheRestart() {
        for (const bool escape : {false, true}) {
            World w;
            w.dog->ShowRestartWarning();
            w.window.ShowWarning();
            if (escape)
                QTest::keyClick(&w.window, Qt::Key_Escape);
            else
                w.window.close();
            QVERIFY(!w.window.isVisible());
            QVERIFY(!w.dog->Warning().Counting());
            QVERIFY(w.dog->LimpaFalha);
            QTest::qWait(1200);
            QCOMPARE(w.power.restarts, 0);
            QVERIFY(ReadFile(w.eventLog.FileForDay(DayOf(w.clock.Now())))
                        .find("BOOT CANCELADO PELO USUÁRIO! ") != std::string::npos);
        }
    }
};

}  // namespace vgx::test

QTEST_MAIN(vgx::test::RestartWarningWindowTest)
#include "restart_warning_window_test.moc"
