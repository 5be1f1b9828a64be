// frmPanel on the offscreen platform (15 twips per pixel).
#include <array>

#include <QLabel>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "app/panel_state.h"
#include "records/settings_model.h"
#include "support/fake_clock.h"
#include "support/temp_dir.h"
#include "ui/panel/status_panel.h"

namespace vgx::test {

class StatusPanelTest : public QObject {
    Q_OBJECT

    struct World {
        TempDir dir;
        FakeClock clock;
        SettingsModel settings{dir.path(), clock};
        StatusPanel panel{settings};

        // Where the panel lies flush with the bottom right corner of the work area.
        QPoint FarCorner() const {
            const QRect work = panel.screen()->availableGeometry();
            return {work.right() + 1 - panel.width(), work.bottom() + 1 - panel.height()};
        }
    };

    // A work area with a bar of 450 twips above it and one below; a panel of 3000 x 2400.
    static constexpr TwipEdges kWork{0, 450, 12000, 8550};

private slots:
    void dragSnapsWithin150TwipsOfAnEdgeOnEachAxis() {
        // The panel is at 4000, 3000 and the drag started at 300, 200 in it.
        const std::array<double, 4> rows[] = {
            // mouse x, y; new left, top
            {1300, 700, 5000, 3500},   // free
            {-3551, 3201, 0, 6150},    // 149 from the left, 149 above the work area's bottom
            {-3550, 3200, 150, 6000},  // 150 from either: free
            {5151, -2701, 9000, 0},    // 149 from the right and the screen's top
        };
        for (auto [x, y, left, top] : rows) {
            const TwipPoint to =
                DragStep({4000, 3000, 3000, 2400}, x, y, 300, 200, {0, 0, 12000, 8550});
            QCOMPARE(QPointF(to.left, to.top), QPointF(left, top));
        }
    }

    void fitInWorkAreaKeeps15TwipsFromTheEdge() {
        const std::array<double, 4> rows[] = {
            // left, top; new left, top
            {9000, 6150, 9000, 6150},  // flush inside
            {9001, 6151, 8985, 6135},  // past the bottom right
            {-500, 100, 15, 465},      // before the left and top
        };
        for (auto [fromLeft, fromTop, left, top] : rows) {
            const FitResult fit = FitInWorkArea(kWork, {fromLeft, fromTop, 3000, 2400}, true);
            QCOMPARE(QPointF(fit.left, fit.top), QPointF(left, top));
        }
        const FitResult kept = FitInWorkArea(kWork, {50000, -50, 3000, 2400}, false);
        QCOMPARE(QPointF(kept.left, kept.top), QPointF(50000, -50));
        QCOMPARE(QPointF(kept.right, kept.bottom), QPointF(12000, 8550));
    }

    void dragsWithTheLeftButtonOnlyAndStaysWhereItIsWhenMadeTopmost() {
        World w;
        w.panel.ShowAt(1500, 1500);
        QCOMPARE(w.panel.pos(), QPoint(100, 100));
        auto* label = w.panel.findChild<QLabel*>(QStringLiteral("failureLabel"));
        QTest::mousePress(label, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(w.panel.cursor().shape(), Qt::SizeAllCursor);
        QTest::mouseMove(label, QPoint(105, 55));
        QCOMPARE(w.panel.pos(), QPoint(100, 100));
        QTest::mouseRelease(label, Qt::RightButton, {}, QPoint(105, 55));

        auto* picture = w.panel.findChild<QLabel*>(QStringLiteral("imgIcone"));
        QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(picture, QPoint(110, 60));
        QCOMPARE(w.panel.pos(), QPoint(200, 150));
        QTest::mouseRelease(picture, Qt::LeftButton, {}, QPoint(110, 60));

        QTest::mousePress(&w.panel, Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseMove(&w.panel, QPoint(2, 2) + w.FarCorner() - QPoint(5, 5));
        QCOMPARE(w.panel.pos(), w.FarCorner());  // snapped
        QTest::mouseRelease(&w.panel, Qt::LeftButton);
        QVERIFY(!w.panel.Dragging());
        QCOMPARE(w.panel.cursor().shape(), Qt::ArrowCursor);

        // New window flags hide a window; the panel is shown again in its place.
        w.panel.ApplyAlwaysOnTop(true);
        QVERIFY(w.panel.isVisible());
        QVERIFY(w.panel.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(w.panel.pos(), w.FarCorner());
    }

    void closingSavesThePlaceButNotUnconfirmedEdits() {
        World w;
        QVERIFY(w.settings.CommitLoaded());
        QVERIFY(w.settings.StepNumber(Setting::PoolingMinutes, true));
        w.panel.ShowAt(1500, 900);
        w.panel.MoveTo(4530, 2100);

        QVERIFY(w.panel.close());
        const QStringList lines = QString::fromStdString(ReadFile(w.settings.FilePath()))
                                      .split(QRegularExpression(QStringLiteral("\r?\n")));
        QVERIFY(lines.size() >= 20);
        QCOMPARE(lines[1], QStringLiteral("\"3\""));
        QCOMPARE(lines.mid(14, 2), QStringList({"4530", "2100"}));
    }

    void opacityIsTheSpinnersAlphaAndOutOfRangeIsRefused() {
        World w;
        QVERIFY(w.settings.SetValue(Setting::PanelOpacity, 200));
        w.panel.ShowAt(0, 0);
        QCOMPARE(qRound(w.panel.windowOpacity() * 255), 200);
        for (auto [alpha, result] : {std::pair{80, 0}, {255, 0}, {0, 0}, {-1, 1}, {256, 1}})
            QCOMPARE(w.panel.SetOpacity(alpha), result);
        QCOMPARE(w.panel.Opacity(), 0);

        w.panel.hide();
        QCOMPARE(w.panel.SetOpacity(120), 0);
        w.panel.show();
        QCOMPARE(qRound(w.panel.windowOpacity() * 255), 120);
    }

    void refreshShowsTheNewestLineInTheColoursOfTheLevel() {
        World w;
        auto* box = w.panel.findChild<QPlainTextEdit*>(QStringLiteral("report"));
        PanelState state;
        for (char attempt : {'1', '2', '3'})
            state.report += std::string("1.") + attempt +
                            ") 05/12/2026 14:05\r\nwww.google.com\r\nIP: 127.0.0.1\r\n"
                            "Status: 11010\r\nTempo: 0 ms\r\n";
        state.report += "IIS FALHOU!!\r\n";
        state.colours = ReportColours::Alarm;
        w.panel.ShowAt(1500, 1500);
        w.panel.Refresh(state);
        QVERIFY(box->verticalScrollBar()->maximum() > 0);
        const QTextBlock newest = box->document()->lastBlock().previous();
        QCOMPARE(newest.text(), QStringLiteral("IIS FALHOU!!"));
        QVERIFY(box->viewport()->rect().contains(box->cursorRect(QTextCursor(newest))));
        QCOMPARE(box->palette().color(QPalette::Base), QColor(Qt::red));
    }
};

}  // namespace vgx::test

QTEST_MAIN(vgx::test::StatusPanelTest)
#include "status_panel_test.moc"
