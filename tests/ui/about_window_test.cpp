// frmAbout on the offscreen platform, its animation driven by a hand-cranked frame clock.
#include <QAccessible>
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <fstream>

#include "records/clock.h"
#include "records/event_log.h"
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

namespace {

// from, from - 1, ..., to, then the tail.
std::vector<int> Down(int from, int to, std::vector<int> tail = {}) {
    std::vector<int> out;
    for (int s = from; s >= to; --s)
        out.push_back(s);
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

const QStringList kRevealed = {"picLogo", "pnlSobre", "pnlAviso", "lblPasta", "lblLog", "cmdFecha"};

}  // namespace

class AboutWindowTest : public QObject {
    Q_OBJECT

public slots:
    void open(const QUrl& url) { opened_ << url; }  // stands in for the desktop

private:
    QList<QUrl> opened_;

    struct World {
        QTemporaryDir dir;
        QWidget mainWindow;
        FakeFrameClock* clock = new FakeFrameClock;
        QPointer<AboutWindow> window =
            new AboutWindow(dir.path().toStdString(), std::unique_ptr<FrameClock>(clock));

        ~World() { delete window; }
        bool AnyRevealed() const {
            return std::any_of(kRevealed.begin(), kRevealed.end(), [this](const QString& name) {
                return window->findChild<QWidget*>(name)->isVisible();
            });
        }
        QAccessibleInterface* Accessible(const char* child) const {
            return QAccessible::queryAccessibleInterface(window->findChild<QWidget*>(child));
        }
    };

private slots:
    void eachLineClosesUpBouncesOnceAndOpensAgainMoreSlowly() {
        const SpacingLine& name = TitleAnimation::Lines()[0];
        const SpacingLine& version = TitleAnimation::Lines()[1];
        const struct {
            int start, end;
            bool bFlag;
            std::vector<int> expected;
        } lines[] = {
            {name.startSpacing, name.endSpacing, name.bFlag, Down(127, -4, {-3, -2, -2})},
            {version.startSpacing, version.endSpacing, version.bFlag,
             Down(127, -4, {-3, -2, -2, -1, -1, -1, 0, 0})},
            // An end no bouncing line could reach, and a line that never bounces, still finish.
            {10, -9, false, Down(9, -4, {-3, -3})},
            {5, 0, true, Down(4, 0)},
        };
        for (const auto& l : lines) {
            DrawSpacingAnimation line(l.start, l.end, l.bFlag);
            std::vector<int> got;
            while (!line.Finished() && got.size() < 1000) {
                line.Step();
                got.push_back(line.Spacing());
            }
            QCOMPARE(got, l.expected);
        }
    }

    void controlsAppearAfterBothLinesAndSairEnablesTheMainWindow() {
        World w;
        w.mainWindow.show();
        w.window->Open(&w.mainWindow);
        QVERIFY(!w.mainWindow.isEnabled());
        int frames = 0;
        for (; w.clock->running; ++frames) {
            QVERIFY(!w.AnyRevealed());
            w.clock->frame();
        }
        QCOMPARE(frames, 135 + 140 + 1);  // both lines, then the reveal
        for (const QString& name : kRevealed)
            QVERIFY2(w.window->findChild<QWidget*>(name)->isVisible(), qPrintable(name));

        // The lines in their own colours: the name red, the version blue.
        const QImage shot = w.window->grab().toImage();
        auto has = [&](QRect area, int red, int blue) {
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    if (const QColor c = shot.pixelColor(x, y);
                        c.green() < 60 && qAbs(c.red() - red) < 60 && qAbs(c.blue() - blue) < 60)
                        return true;
            return false;
        };
        QVERIFY(has(QRect(12, 12, 170, 40), 255, 0));
        QVERIFY(has(QRect(190, 28, 60, 16), 0, 255));

        // As the user and screen readers meet it.
        QCOMPARE(w.window->windowTitle(), QStringLiteral("Sobre"));
        const Qt::WindowFlags flags = w.window->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowTitleHint) && !flags.testFlag(Qt::WindowCloseButtonHint));
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);  // no taskbar button
        QCOMPARE(w.window->maximumSize(), w.window->minimumSize());
        QCOMPARE(w.window->width(),
                 qRound(7620 * w.window->screen()->logicalDotsPerInchX() / 1440));
        QCOMPARE(w.Accessible("cmdFecha")->role(), QAccessible::PushButton);
        QStringList names;
        for (const char* child : {"cmdFecha", "lblTitulo", "lblPasta", "lblLog"})
            names << w.Accessible(child)->text(QAccessible::Name);
        QCOMPARE(names, QStringList({"SAIR", "Vigiax. v1.01", "Pasta do programa", "Log de hoje"}));
        for (const char* child : {"lblPasta", "lblLog", "pnlSobre", "pnlAviso"}) {
            QVERIFY2(!w.Accessible(child)->text(QAccessible::Name).isEmpty(), child);
            QVERIFY2(!w.Accessible(child)->text(QAccessible::Description).isEmpty(), child);
        }

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
        QVERIFY(!w.AnyRevealed());
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

    void linksOpenTheProgramFolderAndTodaysLog() {
        World w;
        QDesktopServices::setUrlHandler("file", this, "open");
        const std::filesystem::path dir = w.dir.path().toStdString();
        const SystemClock clock;
        const std::filesystem::path today = EventLog(dir, clock).FileForDay(DayOf(clock.Now()));
        auto click = [&](const char* label, const char* link) {
            emit w.window->findChild<QLabel*>(label)->linkActivated(link);
            return opened_.takeLast().toLocalFile().toStdString();
        };

        QCOMPARE(click("lblPasta", "dir"), dir.string());
        QCOMPARE(click("lblLog", "log"), dir.string());  // nothing logged yet
        std::filesystem::create_directory(today.parent_path());
        std::ofstream(today) << "x";
        QCOMPARE(click("lblLog", "log"), today.string());
        QDesktopServices::unsetUrlHandler("file");
    }
};

}  // namespace vgx::test

QTEST_MAIN(vgx::test::AboutWindowTest)
#include "about_window_test.moc"
