// The configuration, Internet and IIS sections bound to the settings model: confirm, cancel,
// the action lists, the spinners and their arrow keys.
#include "records/settings_file.h"
#include "ui_world.h"

namespace vgx::test {

class ConfigSectionTest : public QObject {
    Q_OBJECT

    static QString Line(const std::string& file, int n) {
        return QString::fromStdString(file).split(QStringLiteral("\r\n")).value(n - 1);
    }

private slots:
    void confirmSavesAndCommitsCancelPutsTheCommittedValuesBack() {
        UiWorld w;
        ConfigSection& c = *w.Main().Config();
        QTest::keyClick(c.txtPoling, Qt::Key_Up);
        QCOMPARE(c.txtPoling->text(), QStringLiteral("4"));
        QCOMPARE(Line(w.File("vgx.cfg"), 2), QStringLiteral("\"3\""));

        c.cmdOK_Click();  // answered No
        QCOMPARE(w.TakeAsked(), std::vector<std::string>{"ATENÇÃO: Você confirma a operação?"});
        QCOMPARE(Line(w.File("vgx.cfg"), 2), QStringLiteral("\"3\""));
        w.answers = {PromptAnswer::Yes};
        c.cmdOK_Click();
        QCOMPARE(Line(w.File("vgx.cfg"), 2), QStringLiteral("\"4\""));
        QCOMPARE(w.Settings().Committed().PoolingMinutes, 4);

        QTest::keyClick(c.txtFalha, Qt::Key_Down);
        w.answers = {PromptAnswer::No};
        c.cmdCancel_Click();
        QCOMPARE(c.txtFalha->text(), QStringLiteral("6"));
        w.answers = {PromptAnswer::Yes};
        c.cmdCancel_Click();
        QCOMPARE(w.TakeAsked().back(), "ATENÇÃO: Você realmente deseja cancelar?");
        QCOMPARE(c.txtFalha->text(), QStringLiteral("7"));
    }

    void spinnersAndArrowKeysStopAtTheirBounds() {
        UiWorld w;
        ConfigSection& c = *w.Main().Config();
        for (int i = 0; i < 40; ++i)
            QTest::keyClick(c.txtPoling, Qt::Key_Up);
        QCOMPARE(c.txtPoling->text(), QStringLiteral("30"));
        QTest::keyClick(c.txtAtra, Qt::Key_Down);
        QCOMPARE(c.txtAtra->text(), QStringLiteral("0"));
        c.VScroll3->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // the upper arrow
        QCOMPARE(w.Settings().Value(Control::VScroll3), 185);
        QCOMPARE(c.txtOpa->text(), QStringLiteral("74%"));
        QTest::keyClick(c.txtOpa, Qt::Key_Down);
        QCOMPARE(w.Settings().Value(Control::VScroll3), 184);
        c.VScroll4->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(c.txtAtra->text(), QStringLiteral("1"));
        QVERIFY(c.txtAtra->isReadOnly());
    }

    void actionListsClearTheChecksTheyConcern() {
        UiWorld w;
        w.Settings().SetValue(Control::chkAtiNet, 1);
        InternetSection& net = *w.Main().Internet();
        QVERIFY(net.chkAtiNet->isChecked());
        net.cmbAcaoNet->setCurrentIndex(1);
        emit net.cmbAcaoNet->activated(1);
        QVERIFY(!net.chkAtiNet->isChecked());
        QCOMPARE(Line(w.File("vgx.cfg"), 4), QStringLiteral("0"));

        IisSection& iis = *w.Main().Iis();
        w.Main().Boot_Click(3);
        QVERIFY(!iis.chkBootReset->isVisibleTo(&w.Main()));
        iis.cmbIIS->setCurrentIndex(1);
        emit iis.cmbIIS->activated(1);
        QVERIFY(iis.chkBootReset->isVisibleTo(&w.Main()));
        iis.chkBootReset->click();
        QCOMPARE(w.Settings().Working().BootReset, 1);
        iis.cmbIIS->setCurrentIndex(2);
        emit iis.cmbIIS->activated(2);
        QVERIFY(!iis.chkBootReset->isVisibleTo(&w.Main()));
        QCOMPARE(w.Settings().Working().BootReset, 0);

        // Typed addresses count at once, quotes dropped.
        QTest::keyClicks(net.txtURL1, QStringLiteral("a\"b"));
        QCOMPARE(w.Settings().Working().NetAddress1, std::string(kDefaultNetAddress1) + "ab");
        QCOMPARE(net.txtURL1->text(), QString::fromLatin1(kDefaultNetAddress1) + "ab");
    }
};

}  // namespace vgx::test

QTEST_MAIN(vgx::test::ConfigSectionTest)
#include "config_section_test.moc"
