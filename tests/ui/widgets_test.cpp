// The program's own widgets on the offscreen platform.
#include <QAccessible>
#include <QApplication>
#include <QDate>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <memory>

#include "app/resource_files.h"
#include "support/temp_dir.h"
#include "ui/translations.h"
#include "ui/widgets/bevel_panel.h"
#include "ui/widgets/icon_strip.h"
#include "ui/widgets/owner_draw_button.h"
#include "ui/widgets/path_label.h"
#include "ui/widgets/scroll_column.h"
#include "ui/widgets/scroll_rules.h"

namespace vgx::test {

using MakeButton = std::function<QAbstractButton*(QWidget*)>;

int DrawnPixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    return n;
}

class WidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void columnLayout_data() {
        QTest::addColumn<int>("innerHeight");
        QTest::addColumn<bool>("barVisible");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("largeChange");
        QTest::newRow("five buttons in the window's column") << 5900 << true << 41 << 41;
        QTest::newRow("less than a pixel over") << 6520 << false << 0 << 0;
        QTest::newRow("column taller than the strip") << 7000 << false << 0 << 0;
        QTest::newRow("strip twice and more the column") << 2000 << true << 301 << 100;
    }
    void columnLayout() {
        QFETCH(int, innerHeight);
        const ColumnLayout layout = LayOutColumn(6525, 1695, innerHeight, 2175, 15);
        QTEST(layout.barVisible, "barVisible");
        QTEST(layout.maximum, "maximum");
        QTEST(layout.largeChange, "largeChange");
        if (layout.barVisible)
            QCOMPARE(layout.stripLeft, 90);
    }

    void stripFollowsTheBar() {
        using P = StripPlace;
        QCOMPARE(StripPlaceForValue(3, 15, P{90, 0}, true), P({90, -45}));
        QCOMPARE(StripPlaceForValue(0, 15, P{90, -45}, true), P({90, 75}));
        QCOMPARE(StripPlaceForValue(44, 15, P{90, -45}, true), P({90, -675}));
        QCOMPARE(StripPlaceForValue(0, 15, P{90, 75}, true), std::nullopt);
        QCOMPARE(StripPlaceForValue(0, 15, P{90, 0}, false), std::nullopt);
        QCOMPARE(StripPlaceForValue(2, 15, P{90, -30}, false), P({0, 0}));
    }

    void wheelAmount() {
        QCOMPARE(WheelAmount(-120, 88, 3), -264);
        QCOMPARE(WheelAmount(240, 88, 1), 176);
        QCOMPARE(WheelAmount(120, 88, 0), 264);  // no system setting: 3 lines
        QCOMPARE(WheelAmount(60, 88, 3), 0);
    }

    void scrollColumnMovesTheStripAndReportsOnlyChanges() {
        ScrollColumn column;
        const int tpp = column.twipsPerPixel();
        column.strip()->resize(1695 / tpp, 6525 / tpp);
        column.resize(2175 / tpp, 5900 / tpp);
        column.show();
        QScrollBar* bar = column.bar();
        QVERIFY(!bar->isHidden());
        QCOMPARE(bar->singleStep(), 1320 / tpp);
        QSignalSpy changes(&column, &ScrollColumn::changed);

        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(column.strip()->y(), -bar->maximum());
        QCOMPARE(changes.size(), 1);
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
        QCOMPARE(bar->value(), 0);
        QCOMPARE(column.strip()->y(), 75 / tpp);

        column.resize(column.width(), 7000 / tpp);
        QVERIFY(bar->isHidden());
    }

    void paintedButtonsAreAccessiblePushButtons_data() {
        QTest::addColumn<MakeButton>("make");
        QTest::addColumn<QString>("name");
        QTest::newRow("menu button") << MakeButton([](QWidget* p) {
            return new BevelPanel(QStringLiteral("MONITORA &II&S"), p);
        }) << QStringLiteral("MONITORA IIS");
        QTest::newRow("menu button pressed in") << MakeButton([](QWidget* p) {
            auto* b = new BevelPanel(QStringLiteral(" &CONFIGURACÕES"), p);
            b->setBevel(BevelPanel::Inset);
            return b;
        }) << QStringLiteral("CONFIGURACÕES");
        QTest::newRow("command button") << MakeButton([](QWidget* p) {
            auto* b = new OwnerDrawButton(QStringLiteral("Reset &Falhas"), p);
            b->setImageIndex(13);
            return b;
        }) << QStringLiteral("Reset Falhas");
    }
    void paintedButtonsAreAccessiblePushButtons() {
        QFETCH(MakeButton, make);
        QWidget window;
        QAbstractButton* button = make(&window);
        button->setToolTip(QStringLiteral("Resetar Falhas do Pooling"));
        QSignalSpy clicks(button, &QAbstractButton::clicked);

        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(button);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::Button);
        QTEST(a->text(QAccessible::Name), "name");
        QCOMPARE(a->text(QAccessible::Description), QStringLiteral("Resetar Falhas do Pooling"));
        QAccessibleActionInterface* actions = a->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(clicks.size(), 1);
    }

    void bevelPanelReportsTheMouseAndLeavesItsBevelToTheWindow() {
        struct Window : QWidget {
            int moves = 0;
            void mouseMoveEvent(QMouseEvent*) override { ++moves; }
        } window;
        window.setMouseTracking(true);
        window.resize(200, 100);
        auto* panel = new BevelPanel(QStringLiteral("&EXTRAS"), &window);
        panel->setGeometry(10, 10, 100, 60);
        QStringList seen;
        const auto note = [&seen](const char* what) {
            return [&seen, what](auto button, Qt::KeyboardModifiers, QPoint) {
                seen << QStringLiteral("%1 %2").arg(what).arg(int(button));
            };
        };
        connect(panel, &BevelPanel::mouseDown, note("down"));
        connect(panel, &BevelPanel::mouseMove, note("move"));
        connect(panel, &BevelPanel::mouseUp, note("up"));
        connect(panel, &BevelPanel::clicked, [&seen] { seen << QStringLiteral("click"); });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QTest::mouseMove(panel, QPoint(20, 20));
        QTest::mouseClick(panel, Qt::RightButton, {}, QPoint(20, 20));
        QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(seen, QStringList({"move 0", "down 2", "up 2", "down 1", "up 1", "click"}));
        QCOMPARE(panel->bevel(), int(BevelPanel::Flat));
        QCOMPARE(window.moves, 0);
    }

    void altAcceleratorClicksACommandButton() {
        QWidget window;
        auto* save = new OwnerDrawButton(QStringLiteral("&Gravar"), &window);
        new OwnerDrawButton(QStringLiteral("&Cancelar"), &window);
        QSignalSpy clicks(save, &QAbstractButton::clicked);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
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
        for (const char* name : {"xp.dat", "xp2.dat"}) {
            const IconStrip strip(QString::fromStdString((dir / name).string()));
            for (int i = 0; i < IconStrip::kMenuIconCount; ++i) {
                const QImage plain = strip.MenuIcon(i).toImage();
                QCOMPARE(plain.size(), QSize(48, 48));
                QVERIFY(DrawnPixels(plain) > 48 * 48 / 4);
                const QImage resting = strip.MenuIcon(i, IconForm::Resting).toImage();
                QCOMPARE(resting.size(), QSize(48, 48));
                QVERIFY(resting != plain);
                QVERIFY(resting.allGray());
            }
            for (int index : {2, 3, 4, 5, 6, 7, 12, 13, 14}) {
                const QImage icon = strip.ButtonIcon(index).toImage();
                QCOMPARE(icon.size(), QSize(16, 16));
                QVERIFY2(DrawnPixels(icon) > 16 * 16 / 4, name);
            }
            QVERIFY(strip.ButtonIcon(15).isNull());
        }
        const IconStrip menu(QString::fromStdString((dir / "menu.dat").string()));
        QVERIFY(DrawnPixels(menu.MenuEntryIcon(5).toImage()) > 16 * 16 / 4);
        QVERIFY(menu.MenuEntryIcon(6).isNull());

        const IconStrip missing(QString::fromStdString((dir / "none.dat").string()));
        QVERIFY(missing.isNull());
        QVERIFY(missing.MenuIcon(0).isNull());
        QVERIFY(missing.ButtonIcon(3).isNull());
        OwnerDrawButton button(QStringLiteral("&Adicionar"));
        button.setImageStrip(missing);
        button.setImageIndex(3);
        button.resize(100, 30);
        QVERIFY(!button.grab().isNull());
    }

    // Last: it changes the application's language for good.
    void qtTextsInBrazilianPortuguese() {
        QVERIFY(InstallPortugueseTranslations(*QCoreApplication::instance()));
        QMessageBox box(QMessageBox::Question, QStringLiteral("ATENÇÃO"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')),
                 QStringLiteral("Sim"));
        QCOMPARE(QLocale().toString(QDate(2024, 3, 5), QLocale::ShortFormat),
                 QStringLiteral("05/03/2024"));
    }
};

}  // namespace vgx::test

QTEST_MAIN(vgx::test::WidgetsTest)
#include "widgets_test.moc"
