// frmAbout on the offscreen platform, its animation driven by a hand-cranked frame clock.
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "ui/about/about_window.h"

namespace vgx::test {

struct FakeFrameClock final : FrameClock {
    std::function<void()> frame;
    bool running = false;

    void Start(std::function<void()> f) override {
        frame = std::move(f);
        running = true;
    }
    void Stop() override { running = false; }
};

class AboutWindowTest : public QObject {
    Q_OBJECT

    struct World {
        QTemporaryDir dir;
        QWidget mainWindow;
        FakeFrameClock* clock = new FakeFrameClock;
        QPointer<AboutWindow> window =
            new AboutWindow(dir.path().toStdString(), std::unique_ptr<FrameClock>(clock));

        ~World() { delete window; }
        // How many of the controls that wait for the animation's end are shown.
        int Revealed() const {
            int n = 0;
            for (const char* name :
                 {"picLogo", "pnlSobre", "pnlAviso", "lblPasta", "lblLog", "cmdFecha"})
                n += window->findChild<QWidget*>(name)->isVisible() ? 1 : 0;
            return n;
        }
    };

private slots:
    void controlsAppearAfterBothLinesAndSairEnablesTheMainWindow() {
        World w;
        w.window->Open(&w.mainWindow);
        QVERIFY(!w.mainWindow.isEnabled());
        int frames = 0;
        for (; w.clock->running; ++frames) {
            QCOMPARE(w.Revealed(), 0);
            w.clock->frame();
        }
        // Each line closes up to -4, bounces once and opens again, each value held a frame
        // longer: the name in 135 frames, the version in 140, then the reveal.
        QCOMPARE(frames, 135 + 140 + 1);
        QCOMPARE(w.Revealed(), 6);

        QTest::mouseClick(w.window->findChild<QPushButton*>("cmdFecha"), Qt::LeftButton);
        QVERIFY(w.mainWindow.isEnabled());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w.window.isNull());
    }

    void closingAfterTheNameStopsAtOnceAndTheVersionNeverStarts() {
        World w;
        w.window->Open(&w.mainWindow);
        for (int n = 0; n < 135; ++n)  // the name's frames
            w.clock->frame();
        w.window->close();  // the window manager, Alt+F4
        QVERIFY(w.mainWindow.isEnabled());
        QVERIFY(!w.clock->running);
        w.clock->frame();  // frames already due
        w.clock->frame();
        QCOMPARE(w.window->Animation().LineIndex(), 0);
        QCOMPARE(w.Revealed(), 0);
    }

    void showAboutKeepsOneWindowAndItsMainWindowsDisabledUntilItCloses() {
        QTemporaryDir dir;
        QWidget mainWindow;
        AboutWindow* first = ShowAbout(nullptr, dir.path().toStdString());  // from the tray
        QCOMPARE(ShowAbout(&mainWindow, dir.path().toStdString()), first);
        QVERIFY(!mainWindow.isEnabled());
        first->close();
        QVERIFY(mainWindow.isEnabled());
    }
};

}  // namespace vgx::test

QTEST_MAIN(vgx::test::AboutWindowTest)
#include "about_window_test.moc"
