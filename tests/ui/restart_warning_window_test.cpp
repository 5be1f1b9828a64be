// frmAviso on the offscreen platform, driven by a watchdog with fake ports.
#include <QTest>

#include "ui/restart_warning_window.h"
#include "watchdog_world.h"

namespace vgx::test {

class RestartWarningWindowTest : public QObject {
    Q_OBJECT

    // The watchdog on virtual time; the window follows its state as the program's windows do.
    struct World : WatchdogWorld {
        World() { windows.onStateChanged = [this] { window.UpdateLabel(); }; }
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
        w.loop.RunFor(std::chrono::seconds(1));
        QCOMPARE(w.Label(), QStringLiteral("Boot em: \n\n30 segundos..."));

        w.dog->ShowRestartWarning();
        w.window.ShowWarning();
        w.loop.RunFor(std::chrono::seconds(1));
        QCOMPARE(w.Label(), QStringLiteral("Boot em: \n\n29 segundos..."));
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
            w.loop.RunFor(std::chrono::seconds(40));
            QCOMPARE(w.power.restarts, 0);
            QVERIFY(ReadFile(w.eventLog.FileForDay(DayOf(w.clock.Now())))
                        .find("BOOT CANCELADO PELO USUÁRIO! ") != std::string::npos);
        }
    }
};

}  // namespace vgx::test

QTEST_MAIN(vgx::test::RestartWarningWindowTest)
#include "restart_warning_window_test.moc"
