// The program's own widgets on the offscreen platform.
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "ui/widgets/icon_strip.h"
#include "ui/widgets/owner_draw_button.h"
#include "ui/widgets/path_label.h"
#include "ui/widgets/scroll_column.h"

namespace vgx::test {

class WidgetsTest : public QObject {
    Q_OBJECT

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
};

}  // namespace vgx::test

QTEST_MAIN(vgx::test::WidgetsTest)
#include "widgets_test.moc"
