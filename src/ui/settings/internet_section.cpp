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
    QApplication::restoreOverrideCursor();
}

PromptAnswer TestCursor::Ask(const WindowContext& context, const Prompt& prompt) {
    QApplication::restoreOverrideCursor();
    const PromptAnswer answer = context.Ask(prompt);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    return answer;
}

void FocusBox(QWidget* section, const std::optional<Control>& box) {
    if (!box)
        return;
    const char* name = *box == Control::txtURL1   ? "txtURL1"
                       : *box == Control::txtURL2 ? "txtURL2"
                                                  : "txtURLIIS";
    if (auto* w = section->findChild<QWidget*>(QString::fromLatin1(name)))
        w->setFocus(Qt::OtherFocusReason);
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

    binding_.BindCheck(Control::chkAtiNet, chkAtiNet);
    binding_.BindEditable(Control::txtURL1, txtURL1);
    binding_.BindEditable(Control::txtURL2, txtURL2);
    binding_.BindList(Control::cmbAcaoNet, cmbAcaoNet);
}

void InternetSection::chkAtiNet_MouseDown() {
    std::optional<Control> focus;
    {
        TestCursor cursor;
        focus = TestInternetCheck(binding_.Model(), context_.engine.Icmp(),
                                  [&](const Prompt& p) { return cursor.Ask(context_, p); });
    }
    FocusBox(this, focus);
}

}  // namespace vgx
