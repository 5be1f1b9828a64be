// The windows together: the tray icon's picture and menu entries, the way to the tray and
// back, the panel's check box, quitting, and the service check box, on the offscreen platform
// with a recording systemctl.
#include <QScreen>

#include "service/channel_server.h"
#include "ui/copies/face_link.h"
#include "ui/panel/status_panel.h"
#include "ui/tray/sys_tray_icon.h"
#include "ui/tray/tray_menu.h"
#include "ui_world.h"

namespace vgx::test {

class AppWindowsTest : public QObject {
    Q_OBJECT

    // Whether systemctl was called with `args` since the last look.
    static bool Called(UiWorld& w, const std::string& args) {
        return std::ranges::any_of(std::exchange(w.systemctl.calls, {}),
                                   [&](const std::string& c) { return c.ends_with(args); });
    }

private slots:
    void theTrayPictureFollowsLimitCountAndPause() {
        // Failure limit, failures, paused; the picture.
        const std::tuple<int, float, bool, int> rows[] = {
            {1, 0, false, 11},  // no failures, the limit one away
            {7, 0, false, 9},
            {3, 2, false, 10},  // any failure, even near the limit
            {1, 5, true, 12},
        };
        for (const auto& [limit, failures, paused, picture] : rows) {
            UiWorld w;
            w.trayArea = true;
            w.Settings().SetValue(Setting::FailureLimit, limit);
            w.engine->Dog().ShowPublishedFailures(failures);
            w.engine->ShowPaused(paused);
            w.windows.TrayIcon(true);
            QCOMPARE(w.windows.Tray()->Picture(), picture);
        }
    }

    void toTheTrayAndBackOrOnlyMinimisedWithoutATray() {
        UiWorld w;
        w.windows.Start();
        w.Main().CmdSair_Click(0);  // no notification area: minimised, never lost
        QVERIFY(w.Main().isVisible());
        QVERIFY(w.windows.Tray() == nullptr);

        w.trayArea = true;
        w.Main().showNormal();
        w.Main().CmdSair_Click(0);
        w.windows.SysTrayDoubleClick(2);  // the right button does nothing
        QVERIFY(!w.Main().isVisible());
        w.windows.SysTrayDoubleClick(1);
        QVERIFY(w.Main().isVisible());
        QVERIFY(w.windows.Tray() == nullptr);
    }

    void thePanelFollowsItsCheckBoxAndTheTrayEntry() {
        UiWorld w;
        w.trayArea = true;
        w.windows.TrayIcon(true);
        ConfigSection& c = *w.Main().Config();
        c.chkPanel->click();
        QVERIFY(w.windows.Panel()->isVisible());
        QVERIFY(w.windows.Tray()->Checked(QStringLiteral("panel")));
        c.chkSVisi->click();
        QCOMPARE(w.Settings().Working().PanelAlwaysOnTop, 1);

        w.windows.MenuClick(kTrayItemPanel);
        QVERIFY(!w.windows.Panel()->isVisible());
        QVERIFY(!c.chkPanel->isChecked() && !c.chkSVisi->isChecked() && !c.chkSVisi->isEnabled());
        QVERIFY(!w.windows.Tray()->Checked(QStringLiteral("panel")));
        w.windows.MenuClick(kTrayItemPanel);
        QVERIFY(w.windows.Panel()->isVisible());
    }

    void serviceEntriesAndQuitGoThroughSystemctl() {
        UiWorld w;
        w.trayArea = true;
        w.windows.TrayIcon(true);
        w.windows.MenuClick(kTrayItemStop);
        QVERIFY(w.systemctl.calls.empty());  // the service box is not ticked
        w.Settings().SetValue(Setting::RunAsService, 1);
        w.windows.MenuClick(kTrayItemStop);
        QVERIFY(Called(w, "kill --kill-whom=main --signal=SIGUSR1 vigiax.service"));
        w.systemctl.answers["show"] = {true, 0, "ActiveState=active\nStatusText=Serviço Pausado\n"};
        w.windows.MenuClick(kTrayItemStart);
        QVERIFY(Called(w, "--signal=SIGUSR2 vigiax.service"));
        w.systemctl.answers["show"] = {true, 0, "ActiveState=inactive\n"};
        w.windows.MenuClick(kTrayItemStart);
        QVERIFY(Called(w, "start vigiax.service"));

        w.windows.MenuClick(kTrayItemQuit);  // answered No
        QCOMPARE(w.TakeAsked(), std::vector<std::string>{"ATENÇÃO: Você realmente deseja sair?"});
        UiWorld::Settle();
        QVERIFY(w.windows.Tray() != nullptr);
        QVERIFY(w.systemctl.calls.empty());
    }

    void aFaceOffersStartAndHidesThePanelWhileTheRunningCopyIsPaused() {
        UiWorld w;
        w.trayArea = true;
        ChannelServer running(w.loop, w.dir.path(), {});
        FaceLink face(*w.engine, w.windows, w.dir.path());
        face.Bind();
        w.windows.TrayIcon(true);
        w.Settings().SetValue(Setting::ShowPanel, 1);
        StatusPanel& panel = *w.windows.Panel();
        QVERIFY(panel.isVisible());
        const auto startOffered = [&w] { return w.windows.Tray()->ItemEnabled("start"); };
        QVERIFY(!startOffered());

        RemoteState state;
        state.trayPicture = kTrayPaused;
        state.paused = true;
        running.Publish(state);
        QTRY_VERIFY(startOffered());
        QVERIFY(!panel.isVisible());
        w.windows.TrayIcon(false);  // a menu built while paused offers it too
        w.windows.TrayIcon(true);
        QVERIFY(startOffered());
        w.Settings().SetValue(Setting::PanelOnTop, 1);  // not applied to the hidden panel

        // Continued: the panel with no stored place goes to the work area's bottom right, on top.
        w.Settings().Working().PanelLeft = w.Settings().Working().PanelTop = 0;
        state.trayPicture = kTrayNormal;
        state.paused = false;
        running.Publish(state);
        QTRY_VERIFY(panel.isVisible());
        QVERIFY(!startOffered());
        const QRect work = panel.screen()->availableGeometry();
        QVERIFY(work.contains(panel.geometry()));
        QVERIFY(panel.x() > work.center().x() && panel.y() > work.center().y());
        QVERIFY(panel.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        // Only a change of the pause acts: the panel stays where the user put it.
        panel.move(work.topLeft() + QPoint(40, 40));
        state.text1 = "INICIOU O SISTEMA\r\n";
        running.Publish(state);
        QTRY_COMPARE(w.engine->Panel().report, state.text1);
        QCOMPARE(panel.pos(), work.topLeft() + QPoint(40, 40));
    }

    void theServiceBoxInstallsAtOnceAndConfirmAlignsTheRegistration() {
        UiWorld w;
        ConfigSection& c = *w.Main().Config();
        c.chkServicoNT->click();
        QCOMPARE(w.TakeAsked(), std::vector<std::string>{"Vigiax: Vigiax: serviço instalado"});
        QVERIFY(w.File("units/vigiax.service").find("/vigiaxd\"\n") != std::string::npos);
        QVERIFY(Called(w, "enable vigiax.service"));
        c.chkServicoNT->click();  // unticking asks nothing and removes nothing yet
        QVERIFY(w.TakeAsked().empty());
        QVERIFY(w.systemctl.calls.empty());
        w.answers = {PromptAnswer::Yes};
        c.cmdOK_Click();
        UiWorld::Settle();
        QVERIFY(Called(w, "disable vigiax.service"));
        QCOMPARE(w.TakeAsked().size(), 1u);  // the confirm question only
    }
};

}  // namespace vgx::test

QTEST_MAIN(vgx::test::AppWindowsTest)
#include "app_windows_test.moc"
