// Switching the checks on through the window, with real pings and HTTP requests: to this
// machine (127.0.0.1), to a local server answering 404, and inside network namespaces of the
// test's own (an address that answers but is not local, and a silent one).
#include "records/unique_fd.h"
#include "support/netns_pair.h"
#include "support/tiny_http_server.h"
#include "ui_world.h"

namespace vgx::test {

// This thread's network namespace for a while.
struct InNamespace {
    explicit InNamespace(const std::string& name) {
        const UniqueFd ns(::open(("/var/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC));
        entered = ns && ::setns(ns.get(), CLONE_NEWNET) == 0;
    }
    ~InNamespace() { ::setns(home.get(), CLONE_NEWNET); }
    const UniqueFd home{::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC)};
    bool entered = false;
};

class ChecksTest : public QObject {
    Q_OBJECT

    static void Type(QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    // The test runs on the loop with its box disabled, and the window stays live meanwhile.
    template <class Section>
    static bool Tested(Section& section, QWidget* box) {
        if (!section.Testing() || box->isEnabled())
            return false;
        return QTest::qWaitFor([&] { return !section.Testing(); }, 15000) && box->isEnabled();
    }

private slots:
    void thisMachineAnswersAndServesThePage() {
        TinyServer ok("HTTP/1.0 200 OK\r\n\r\n");
        UiWorld w(true, ok.port());
        InternetSection& net = *w.Main().Internet();
        Type(net.txtURL1, QStringLiteral("http://127.0.0.1"));
        Type(net.txtURL2, QStringLiteral("127.0.0.1"));
        QTest::keyClick(net.chkAtiNet, Qt::Key_Space);
        QVERIFY(Tested(net, net.chkAtiNet));
        QVERIFY(w.TakeAsked().empty());
        QVERIFY(net.chkAtiNet->isChecked());
        QCOMPARE(net.txtURL1->text(), QStringLiteral("127.0.0.1"));

        IisSection& iis = *w.Main().Iis();
        Type(iis.txtURLIIS, QStringLiteral("127.0.0.1/status"));
        iis.chkAtiIIS->click();
        QVERIFY(Tested(iis, iis.chkAtiIIS));
        QVERIFY(w.TakeAsked().empty());
        QVERIFY(iis.chkAtiIIS->isChecked());
    }

    void aPageAnswering404AsksWhetherToGoOn() {
        TinyServer missing("HTTP/1.0 404 Not Found\r\n\r\n");
        UiWorld w(true, missing.port());
        IisSection& iis = *w.Main().Iis();
        Type(iis.txtURLIIS, QStringLiteral("127.0.0.1/falta"));
        iis.chkAtiIIS->click();
        QVERIFY(Tested(iis, iis.chkAtiIIS));
        QCOMPARE(w.TakeAsked(),
                 std::vector<std::string>{"ERRO: O Servidor respondeu o código de erro: 404 .\r\n"
                                          "Continuar assim mesmo?"});
        QVERIFY(!iis.chkAtiIIS->isChecked());
        QVERIFY(iis.txtURLIIS->hasFocus() || !w.Main().isVisible());
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void aNeighbourIsNotLocalAndASilentAddressAsks() {
        if (const std::string why = NetnsPair::Unavailable(); !why.empty())
            QSKIP(why.c_str());
        NetnsPair pair;
        InNamespace inA(pair.a());
        QVERIFY(inA.entered);
        UiWorld w(true);
        IisSection& iis = *w.Main().Iis();
        Type(iis.txtURLIIS, QString::fromStdString(pair.Address(2) + "/pagina"));
        iis.chkAtiIIS->click();
        QVERIFY(Tested(iis, iis.chkAtiIIS));
        QCOMPARE(w.TakeAsked(),
                 std::vector<std::string>{"ERRO: O IP: " + pair.Address(2) +
                                          " não parece ser local!\r\nContinuar assim mesmo?"});
        QVERIFY(!iis.chkAtiIIS->isChecked());

        InternetSection& net = *w.Main().Internet();
        Type(net.txtURL1, QString::fromStdString(pair.Address(2)));
        Type(net.txtURL2, QString::fromStdString(pair.Address(3)));  // nobody there
        w.answers = {PromptAnswer::Yes};
        net.chkAtiNet->click();
        QVERIFY(Tested(net, net.chkAtiNet));
        QCOMPARE(w.TakeAsked(),
                 std::vector<std::string>{"ERRO: O endereço " + pair.Address(3) +
                                          " não respondeu!\r\nContinuar assim mesmo?"});
        QVERIFY(net.chkAtiNet->isChecked());
    }
};

}  // namespace vgx::test

QTEST_MAIN(vgx::test::ChecksTest)
#include "checks_test.moc"
