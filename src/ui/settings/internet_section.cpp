#include "ui/settings/internet_section.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "app/check_tests.h"
#include "ui/settings/guarded_check_box.h"
#include "ui/settings/settings_binding.h"

namespace vgx {

TestCursor::TestCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

TestCursor::~TestCursor() {
    if (waiting_)
        QApplication::restoreOverrideCursor();
}

AskUser TestCursor::Asker(const WindowContext& context) {
    return [this, &context](const Prompt& prompt, std::function<void(PromptAnswer)> answered) {
        if (waiting_)
            QApplication::restoreOverrideCursor();
        waiting_ = false;
        return context.Ask(prompt, [this, answered = std::move(answered)](PromptAnswer a) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            waiting_ = true;
            answered(a);
        });
    };
}

Task<void> RunCheckTest(QWidget* section, QWidget* box, Task<FocusAfterTest> test) {
    box->setEnabled(false);
    const FocusAfterTest focus = co_await test;
    box->setEnabled(true);
    QWidget* next = box;
    if (focus) {
        const char* name = *focus == Setting::NetAddress1   ? "txtURL1"
                           : *focus == Setting::NetAddress2 ? "txtURL2"
                                                            : "txtURLIIS";
        if (auto* w = section->findChild<QWidget*>(QString::fromLatin1(name)))
            next = w;
    }
    next->setFocus(Qt::OtherFocusReason);
}

InternetSection::InternetSection(WindowContext& context, SettingsBinding& binding, QWidget* parent)
    : SectionFrame(QStringLiteral("pnlNet"), QStringLiteral("Monitorar Internet"), parent),
      context_(context),
      binding_(binding) {
    QGridLayout* grid = Grid();
    chkAtiNet = new GuardedCheckBox(QStringLiteral("Ativar  "), Frame());
    chkAtiNet->setObjectName(QStringLiteral("chkAtiNet"));
    chkAtiNet->setAccessibleName(Spoken(chkAtiNet->text()));
    chkAtiNet->setOnCheck([this] { chkAtiNet_MouseDown(); });
    grid->addWidget(chkAtiNet, 0, 0, 1, 2);

    const auto row = [&](int at, const QString& caption, const char* name) {
        auto* label = new QLabel(caption, Frame());
        auto* box = LabelledBox(QString::fromLatin1(name), caption, Frame());
        label->setBuddy(box);
        grid->addWidget(label, at, 0);
        grid->addWidget(box, at, 1);
        return box;
    };
    txtURL1 = row(1, QStringLiteral("1) DNS/IP:"), "txtURL1");
    txtURL2 = row(2, QStringLiteral("2) DNS/IP:"), "txtURL2");
    auto* label = new QLabel(QStringLiteral("AÇÃO:"), Frame());
    cmbAcaoNet = new QComboBox(Frame());
    cmbAcaoNet->setObjectName(QStringLiteral("cmbAcaoNet"));
    cmbAcaoNet->setAccessibleName(QStringLiteral("AÇÃO:"));
    cmbAcaoNet->addItems({QStringLiteral("Sem Ação"), QStringLiteral("Reiniciar Computador")});
    label->setBuddy(cmbAcaoNet);
    grid->addWidget(label, 3, 0);
    grid->addWidget(cmbAcaoNet, 3, 1);
    grid->setRowStretch(4, 1);

    binding_.BindCheck(Setting::NetCheck, chkAtiNet);
    binding_.BindEditable(Setting::NetAddress1, txtURL1);
    binding_.BindEditable(Setting::NetAddress2, txtURL2);
    binding_.BindList(Setting::NetAction, cmbAcaoNet);
}

void InternetSection::chkAtiNet_MouseDown() {
    if (Testing())
        return;
    test_ = RunTest();
    test_.Start();
}

Task<void> InternetSection::RunTest() {
    TestCursor cursor;
    auto test = TestInternetCheck(binding_.Model(), context_.engine.Icmp(), cursor.Asker(context_));
    co_await RunCheckTest(this, chkAtiNet, std::move(test));
}

}  // namespace vgx
