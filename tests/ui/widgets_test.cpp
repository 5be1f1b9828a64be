// The program's own widgets on the offscreen platform.
#include <QAccessible>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <memory>

#include "app/resource_files.h"
#include "support/temp_dir.h"
#include "ui/widgets/icon_strip.h"
#include "ui/widgets/owner_draw_button.h"
#include "ui/widgets/path_label.h"
#include "ui/widgets/scroll_column.h"

namespace vgx::test {

// Whether `icon` is `size` pixels square with at least a quarter of it drawn.
bool Drawn(const QPixmap& icon, int size) {
    const QImage image = icon.toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    return image.size() == QSize(size, size) && n > size * size / 4;
}

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

    void commandButtonPressedByItsAltAccelerator() {
        QWidget window;
        auto* reset = new OwnerDrawButton(QStringLiteral("Reset &Falhas"), &window);
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

    void iconStripCutsTheFilesTheProgramWrites() {
        TempDir dir;
        QCOMPARE(ExtractImageFiles(dir.path()), 4);
        const auto strip = [&](const char* name) {
            return IconStrip(QString::fromStdString((dir / name).string()));
        };
        for (const char* name : {"xp.dat", "xp2.dat"}) {
            const IconStrip s = strip(name);
            for (int i = 0; i < IconStrip::kMenuIconCount; ++i) {
                const QPixmap resting = s.MenuIcon(i, IconForm::Resting);
                QVERIFY(Drawn(s.MenuIcon(i), 48) && Drawn(resting, 48));
                QVERIFY(resting.toImage().allGray() && !s.MenuIcon(i).toImage().allGray());
            }
            for (int index : {2, 3, 4, 5, 6, 7, 12, 13, 14})
                QVERIFY2(Drawn(s.ButtonIcon(index), 16), name);
            QVERIFY(s.ButtonIcon(15).isNull());
        }
        QVERIFY(Drawn(strip("menu.dat").MenuEntryIcon(5), 16));
        QVERIFY(strip("menu.dat").MenuEntryIcon(6).isNull());

        // No file: no icons, and a button still paints.
        QVERIFY(strip("none.dat").ButtonIcon(3).isNull());
        OwnerDrawButton button(QStringLiteral("&Adicionar"));
        button.setImageStrip(strip("none.dat"));
        button.setImageIndex(3);
        button.resize(100, 30);
        QVERIFY(!button.grab().isNull());
    }
};

}  // namespace vgx::test

QTEST_MAIN(vgx::test::WidgetsTest)
#include "widgets_test.moc"
