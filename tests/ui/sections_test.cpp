// The settings window's sections bound to the settings model: confirm, cancel, the action
// lists, the spinners and their arrow keys; the folder list and the job editor, with a folder
// chooser that answers for the user.
#include <QRadioButton>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include "cleaning/jobs_file.h"
#include "ui/settings/job_editor_window.h"
#include "ui/widgets/path_label.h"
#include "ui_world.h"

namespace vgx::test {

class SectionsTest : public QObject {
    Q_OBJECT

    static QString Line(const std::string& file, int n) {
        return QString::fromStdString(file).split(QStringLiteral("\r\n")).value(n - 1);
    }

    // The job editor the last click opened (it opens without waiting).
    static JobEditorWindow* OpenedEditor() {
        UiWorld::Settle();
        return qobject_cast<JobEditorWindow*>(QApplication::activeModalWidget());
    }
    // A folder chooser that answers `folder` from the loop.
    static auto Choosing(UiWorld& w, std::function<QString()> folder) {
        return [&w, folder](QWidget*, std::function<void(QString)> chosen) {
            return w.loop.Next([folder, chosen] { chosen(folder()); });
        };
    }

private slots:
    void confirmSavesAndCommitsCancelPutsTheCommittedValuesBack() {
        UiWorld w;
        ConfigSection& c = *w.Main().Config();
        QTest::keyClick(c.txtPoling, Qt::Key_Up);
        c.cmdOK_Click();  // answered No
        QCOMPARE(w.TakeAsked(), std::vector<std::string>{"ATENÇÃO: Você confirma a operação?"});
        QCOMPARE(Line(w.File("vgx.cfg"), 2), QStringLiteral("\"3\""));
        w.answers = {PromptAnswer::Yes};
        c.cmdOK_Click();
        UiWorld::Settle();
        QCOMPARE(Line(w.File("vgx.cfg"), 2), QStringLiteral("\"4\""));
        QCOMPARE(w.Settings().Committed().PoolingMinutes, 4);

        QTest::keyClick(c.txtFalha, Qt::Key_Down);
        c.cmdCancel_Click();  // answered No
        UiWorld::Settle();
        QCOMPARE(c.txtFalha->text(), QStringLiteral("6"));
        w.answers = {PromptAnswer::Yes};
        c.cmdCancel_Click();
        QCOMPARE(w.TakeAsked().back(), "ATENÇÃO: Você realmente deseja cancelar?");
        QCOMPARE(c.txtFalha->text(), QStringLiteral("7"));
    }

    void spinnerArrowsRaiseUpwardsAndArrowKeysStopAtTheBounds() {
        UiWorld w;
        w.Settings().SetValue(Setting::ShowPanel, 1);  // the opacity's spinner works with the panel
        ConfigSection& c = *w.Main().Config();
        w.Main().show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.Main()));
        // Pressed where the style draws each arrow.
        const auto click = [](QScrollBar* bar, QStyle::SubControl arrow) {
            QStyleOptionSlider o;
            o.initFrom(bar);
            o.orientation = Qt::Vertical;
            QTest::mouseClick(
                bar, Qt::LeftButton, {},
                bar->style()->subControlRect(QStyle::CC_ScrollBar, &o, arrow, bar).center());
        };
        const std::tuple<Setting, QScrollBar*, int, int> spinners[] = {
            {Setting::PoolingMinutes, c.VScroll1, 3, 1},
            {Setting::FailureLimit, c.VScroll2, 7, 1},
            {Setting::DelayMinutes, c.VScroll4, 0, 1},
            {Setting::PanelOpacity, c.VScroll3, 180, 5},
        };
        for (const auto& [spinner, bar, start, step] : spinners) {
            click(bar, QStyle::SC_ScrollBarSubLine);
            QCOMPARE(w.Settings().Value(spinner), start + step);
        }
        QCOMPARE(c.txtOpa->text(), QStringLiteral("74%"));  // 185
        click(c.VScroll1, QStyle::SC_ScrollBarAddLine);
        click(c.VScroll1, QStyle::SC_ScrollBarAddLine);
        QCOMPARE(c.txtPoling->text(), QStringLiteral("2"));
        // A wheel notch away from the user lowers the number, by one step.
        QWheelEvent away(QPointF(5, 5), c.VScroll1->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, 120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(c.VScroll1, &away);
        QCOMPARE(c.txtPoling->text(), QStringLiteral("1"));

        for (int i = 0; i < 40; ++i)
            QTest::keyClick(c.txtPoling, Qt::Key_Up);
        QCOMPARE(c.txtPoling->text(), QStringLiteral("30"));
        QTest::keyClick(c.txtAtra, Qt::Key_Down);
        QCOMPARE(c.txtAtra->text(), QStringLiteral("0"));
        QTest::keyClick(c.txtOpa, Qt::Key_Down);
        QCOMPARE(w.Settings().Value(Setting::PanelOpacity), 184);
    }

    void actionListsClearTheChecksTheyConcern() {
        UiWorld w;
        w.Settings().SetValue(Setting::NetCheck, 1);
        const auto choose = [](QComboBox* list, int index) {
            list->setCurrentIndex(index);
            emit list->activated(index);
        };
        InternetSection& net = *w.Main().Internet();
        QVERIFY(net.chkAtiNet->isChecked());
        choose(net.cmbAcaoNet, 1);
        QVERIFY(!net.chkAtiNet->isChecked());

        IisSection& iis = *w.Main().Iis();
        w.Main().Boot_Click(3);
        QVERIFY(!iis.chkBootReset->isVisibleTo(&w.Main()));
        choose(iis.cmbIIS, 1);
        QVERIFY(iis.chkBootReset->isVisibleTo(&w.Main()));
        iis.chkBootReset->click();
        QCOMPARE(w.Settings().Working().RestartAfterWebRestarts, 1);
        choose(iis.cmbIIS, 2);
        QVERIFY(!iis.chkBootReset->isVisibleTo(&w.Main()));
        QCOMPARE(w.Settings().Working().RestartAfterWebRestarts, 0);

        // Typed addresses count at once, quotes dropped.
        QTest::keyClicks(net.txtURL1, QStringLiteral("a\"b"));
        QCOMPARE(w.Settings().Working().NetAddress1, std::string(kDefaultNetAddress1) + "ab");
        QCOMPARE(net.txtURL1->text(), QString::fromLatin1(kDefaultNetAddress1) + "ab");
    }

    void aDailyJobIsStoredListedEditedAndDeleted() {
        UiWorld w;
        TempDir shared;
        int browsed = 0;  // the folder is chosen the first time, the chooser cancelled after
        w.windows.Context().chooseFolder = Choosing(w, [&] {
            return ++browsed == 1 ? QString::fromStdString(shared.path().string()) : QString();
        });
        FoldersSection& f = *w.Main().Folders();
        f.cmdAdd_Click();
        JobEditorWindow* e = OpenedEditor();
        QVERIFY(e != nullptr);
        e->cmdPasta_Click();
        UiWorld::Settle();
        QCOMPARE(e->lblPasta->path(), QString::fromStdString(shared.path().string()));
        e->OptTipo[0]->click();
        QVERIFY(e->pctIni->isVisible());
        QVERIFY(UiWorld::Activated(e));
        // Enter on a kind or in a field presses no button.
        e->OptTipo[0]->setFocus();
        QTest::keyClick(e->OptTipo[0], Qt::Key_Enter);
        e->txtHora->setFocus();
        QTest::keyClicks(e->txtHora, QStringLiteral("8a:5:"));  // letters, a second ":"
        QTest::keyClick(e->txtHora, Qt::Key_Return);
        UiWorld::Settle();
        QCOMPARE(browsed, 1);
        QVERIFY(e->OptTipo[0]->isChecked());
        e->chkDia[2]->setChecked(true);
        e->chkDia[6]->setChecked(true);
        w.answers = {PromptAnswer::Yes};
        QTest::mouseClick(e->cmdOK, Qt::LeftButton);  // leaving the hour reformats it
        QTRY_COMPARE(f.lstPasta->count(), 1);
        CleaningJobs stored = *ReadCleaningJobs(w.dir.path());
        QCOMPARE(stored[0].Days.Text(), std::string("2#6"));
        QCOMPARE(stored[0].Hour.Text(), std::string("08:05"));

        // Editing resets the last run.
        w.engine->Jobs()[0].LastRun = 3600;
        f.lstPasta->setCurrentRow(0);
        f.cmdEdi_Click();
        e = OpenedEditor();
        QVERIFY(e != nullptr && e->chkDia[2]->isChecked());
        w.answers = {PromptAnswer::Yes};
        e->cmdOK_Click();
        QTRY_COMPARE((*ReadCleaningJobs(w.dir.path()))[0].LastRun, 0.0F);
        QCOMPARE(f.lstPasta->count(), 1);

        f.lstPasta->setCurrentRow(0);
        w.answers = {PromptAnswer::Yes};
        f.cmdExc_Click();
        QCOMPARE(w.TakeAsked().back(),
                 "ATENÇÃO: Você realmente deseja excluir permanentemente esse registro?");
        QCOMPARE(f.lstPasta->count(), 0);
        QCOMPARE(w.File("folder.dat").size(), 0u);
    }

    void aRefusedFolderAndAFailedSaveChangeNothing() {
        UiWorld w;
        w.windows.Context().chooseFolder = Choosing(w, [] { return QStringLiteral("/usr"); });
        JobEditorWindow e(w.windows.Context(), -1, nullptr);
        e.cmdPasta_Click();
        QCOMPARE(w.TakeAsked(), std::vector<std::string>{
                                    "ATENÇÃO: Por motivo de segurança, esse diretório não pode "
                                    "ser selecionado."});
        QVERIFY(e.lblPasta->text().isEmpty() && !e.OptTipo[0]->isEnabled() &&
                !e.pctIni->isVisible());

        TempDir shared;
        w.windows.Context().chooseFolder =
            Choosing(w, [&] { return QString::fromStdString(shared.path().string()); });
        e.cmdPasta_Click();
        UiWorld::Settle();
        e.OptTipo[1]->click();  // at start-up: no hour
        // A folder in the way of folder.dat: the save fails whoever runs the test.
        std::filesystem::create_directories(w.dir / "folder.dat" / "x");
        w.answers = {PromptAnswer::Yes};
        e.cmdOK_Click();
        UiWorld::Settle();
        QCOMPARE(w.TakeAsked().back(), "ERRO: Não foi possível gravar o arquivo folder.dat.");
        QVERIFY(!e.CommittedSlot());
        QCOMPARE(JobCount(w.engine->Jobs()), 0u);
    }
};

}  // namespace vgx::test

QTEST_MAIN(vgx::test::SectionsTest)
#include "sections_test.moc"
