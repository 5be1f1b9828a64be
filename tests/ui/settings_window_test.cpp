// The settings window's frame on the offscreen platform: the menu's hover, press and help
// rules, section switching, and what assistive technology sees.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QDateEdit>
#include <QPlainTextEdit>

#include "ui/settings/log_viewer.h"
#include "ui/widgets/bevel_panel.h"
#include "ui/widgets/icon_box.h"
#include "ui/widgets/scroll_column.h"
#include "ui_world.h"

namespace vgx::test {

class SettingsWindowTest : public QObject {
    Q_OBJECT

    static std::vector<int> Bevels(UiWorld& w) {
        std::vector<int> b;
        for (int i = 0; i < MainWindow::kSections; ++i)
            b.push_back(w.Main().MenuButton(i)->bevel());
        return b;
    }

private slots:
    void opensOnTheConfigurationSectionAndPressingAButtonSwitches() {
        UiWorld w;
        MainWindow& m = w.Main();
        QCOMPARE(Bevels(w), (std::vector<int>{1, 0, 0, 0, 0}));

        QTest::mouseClick(m.MenuButton(1), Qt::LeftButton);
        QCOMPARE(Bevels(w), (std::vector<int>{0, 1, 0, 0, 0}));
        QVERIFY(m.Section(1)->isVisibleTo(&m) && !m.Section(0)->isVisibleTo(&m));
        const QPoint icon = m.MenuIconBox(1)->pos();
        m.Boot_MouseDown(1);  // again: no second blank, the icon stays
        QCOMPARE(m.MenuButton(1)->text(), QStringLiteral(" MONITORA &PASTAS"));
        QCOMPARE(m.MenuButton(0)->text(), QStringLiteral("&CONFIGURACÕES"));
        QCOMPARE(m.MenuIconBox(1)->pos(), icon);
        QCOMPARE(icon, m.MenuIconBox(0)->pos() + QPoint(1, 1));
        m.Boot_Click(7);  // no such section: nothing happens
        QCOMPARE(m.CurrentSection(), 1);
    }

    void hoverRaisesAndHelpFollowsThePointer() {
        UiWorld w;
        MainWindow& m = w.Main();
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        // The very first hover shows its help, even for the first button.
        QTest::mouseMove(m.MenuButton(0), QPoint(5, 5));  // pressed in: help, no raising
        QCOMPARE(Bevels(w), (std::vector<int>{1, 0, 0, 0, 0}));
        QVERIFY(m.HelpText().find("conexão  esta opção") != std::string::npos);
        QTest::mouseMove(m.MenuButton(2), QPoint(5, 5));
        QCOMPARE(Bevels(w), (std::vector<int>{1, 0, 2, 0, 0}));
        QVERIFY(m.HelpText().find("irá  realizar") != std::string::npos);
        // A screen reader reads the help: it is the label's name.
        auto* help = m.findChild<QLabel*>(QStringLiteral("lblOBS"));
        QCOMPARE(QAccessible::queryAccessibleInterface(help)->text(QAccessible::Name),
                 QString::fromStdString(m.HelpText()).replace("\r\n", "\n"));
        QTest::mouseMove(m.MenuButton(3), QPoint(5, 5));  // straight onto another button
        QCOMPARE(Bevels(w), (std::vector<int>{1, 0, 0, 2, 0}));
        QVERIFY(m.HelpText().find("/dir1/pagina1.asp") != std::string::npos);
        m.Pnl_MouseMove();  // between the buttons: lowered, help kept
        QCOMPARE(Bevels(w), (std::vector<int>{1, 0, 0, 0, 0}));
        QVERIFY(!m.HelpText().empty());
        m.Pct1_MouseMove();  // the column outside the strip: help gone
        QVERIFY(m.HelpText().empty());
    }

    void menuLettersOpenTheirSectionsOrMoveTheFocusWhenShared() {
        UiWorld w;
        MainWindow& m = w.Main();
        QVERIFY(UiWorld::Activated(&m));
        const auto alt = [&m](Qt::Key key) { QTest::keyClick(&m, key, Qt::AltModifier); };
        alt(Qt::Key_P);  // used once: pressed and opened like a click
        QTRY_COMPARE(m.CurrentSection(), 1);
        QCOMPARE(Bevels(w), (std::vector<int>{0, 1, 0, 0, 0}));
        // I, shared by the two monitors, opens the first; the open one leaves it to the other.
        alt(Qt::Key_I);
        QTRY_COMPARE(m.CurrentSection(), 2);
        alt(Qt::Key_I);
        QTRY_COMPARE(m.CurrentSection(), 3);
        alt(Qt::Key_E);
        QTRY_COMPARE(m.CurrentSection(), 4);
        alt(Qt::Key_S);  // the second underlined letter of "MONITORA &II&S"
        QTRY_COMPARE(m.CurrentSection(), 3);
        alt(Qt::Key_C);
        QTRY_COMPARE(m.CurrentSection(), 0);
        alt(Qt::Key_C);  // now "&Cancelar"'s
        QTRY_VERIFY(!w.prompts.messages.empty());
        QCOMPARE(w.TakeAsked(),
                 std::vector<std::string>{"ATENÇÃO: Você realmente deseja cancelar?"});

        // E in the folder section, shared with "&Editar" and "&Excluir": each press moves the
        // focus on, and Space presses the one that has it.
        alt(Qt::Key_P);
        QTRY_COMPARE(m.CurrentSection(), 1);
        for (int i = 0; i < 3 && QApplication::focusWidget() != m.MenuButton(4); ++i)
            alt(Qt::Key_E);
        QCOMPARE(m.CurrentSection(), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(m.CurrentSection(), 4);
    }

    void theLogButtonShowsTheChosenDaysLogOrSaysThereIsNone() {
        UiWorld w;  // its start wrote today's log
        QString shown;
        w.windows.Context().showTextFile = [&](const QString& file, QWidget*) { shown = file; };
        ExtrasSection& x = *w.Main().Extras();
        QCOMPARE(x.Dt->date(), QDate::currentDate());
        x.cmdLog_Click();
        QVERIFY(shown.endsWith(QDate::currentDate().toString(QStringLiteral("ddMMyyyy")) + ".txt"));
        // Without a desktop viewer the program's own window shows it.
        QWidget* viewer = OpenOwnTextViewer(shown, nullptr);
        QVERIFY(viewer->findChild<QPlainTextEdit*>()->toPlainText().contains("INICIOU O SISTEMA"));
        viewer->close();
        shown.clear();
        MainWindow& m = w.Main();
        m.show();
        m.Boot_Click(4);
        const QDate chosen = QDate::currentDate().addDays(-400);
        x.Dt->setDate(chosen);
        x.Dt->setFocus();
        x.cmdLog_Click();
        QVERIFY(shown.isEmpty());
        QCOMPARE(w.TakeAsked(),
                 std::vector<std::string>{"ERRO: Arquivo de Log não encontrado nessa data."});
        // Back from another window (the message, another program): the date and focus stay.
        QWidget other;
        QVERIFY(UiWorld::Activated(&other) && UiWorld::Activated(&m));
        QCOMPARE(x.Dt->date(), chosen);
        QVERIFY(x.Dt->hasFocus());
        // Shown again: today, and the focus on the menu.
        m.hide();
        m.show();
        QCOMPARE(x.Dt->date(), QDate::currentDate());
        QCOMPARE(m.focusWidget(), m.MenuColumn());
    }

    void everyControlIsNamedDescribedAndPressable() {
        UiWorld w;
        MainWindow& m = w.Main();
        m.show();
        // The configuration section's controls, the menu buttons (the first pressed in, its
        // caption led by a blank) and the banner's "X" and "?".
        QList<QWidget*> controls = m.Section(0)->findChildren<QWidget*>();
        QStringList buttons;
        for (int i = 0; i < MainWindow::kSections + 2; ++i) {
            controls << (i < MainWindow::kSections ? m.MenuButton(i)
                                                   : m.BannerButton(i - MainWindow::kSections));
            buttons
                << QAccessible::queryAccessibleInterface(controls.last())->text(QAccessible::Name);
        }
        QCOMPARE(buttons, QStringList({"CONFIGURACÕES", "MONITORA PASTAS", "MONITORA INTERNET",
                                       "MONITORA IIS", "EXTRAS", "X", "?"}));
        for (QWidget* widget : controls) {
            if (!widget->isVisibleTo(&m) || widget->objectName().isEmpty())
                continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
            const QString name = a->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty() && !name.contains('&'), qPrintable(widget->objectName()));
            if (!widget->toolTip().isEmpty())
                QCOMPARE(a->text(QAccessible::Description), widget->toolTip());
            if (qobject_cast<OwnerDrawButton*>(widget) || qobject_cast<BevelPanel*>(widget)) {
                QCOMPARE(a->role(), QAccessible::Button);  // painted, yet a push button
                QVERIFY(a->actionInterface()->actionNames().contains(
                    QAccessibleActionInterface::pressAction()));
            }
        }
        QAccessible::queryAccessibleInterface(m.MenuButton(4))
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(m.CurrentSection(), 4);
    }
};

}  // namespace vgx::test

QTEST_MAIN(vgx::test::SettingsWindowTest)
#include "settings_window_test.moc"
