#include "ui/settings/iis_section.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "app/check_tests.h"
#include "probes/local_addresses.h"
#include "ui/settings/guarded_check_box.h"
#include "ui/settings/internet_section.h"
#include "ui/settings/settings_binding.h"

namespace vgx {

IisSection::IisSection(WindowContext& context, SettingsBinding& binding, QWidget* parent)
    : SectionFrame(QStringLiteral("pnlIIS"), QStringLiteral("Monitorar IIS"), parent),
      context_(context),
      binding_(binding) {
    QGridLayout* grid = Grid();
    chkAtiIIS = new GuardedCheckBox(QStringLiteral("Ativar  "), Frame());
    chkAtiIIS->setObjectName(QStringLiteral("chkAtiIIS"));
    chkAtiIIS->setAccessibleName(Spoken(chkAtiIIS->text()));
    chkAtiIIS->setOnCheck([this] { chkAtiIIS_MouseDown(); });
    grid->addWidget(chkAtiIIS, 0, 0, 1, 2);

    auto* label = new QLabel(QStringLiteral("1) DNS/IP:"), Frame());
    txtURLIIS = LabelledBox(QStringLiteral("txtURLIIS"), label->text(), Frame());
    label->setBuddy(txtURLIIS);
    grid->addWidget(label, 1, 0);
    grid->addWidget(txtURLIIS, 1, 1);

    auto* action = new QLabel(QStringLiteral("AÇÃO:"), Frame());
    cmbIIS = new QComboBox(Frame());
    cmbIIS->setObjectName(QStringLiteral("cmbIIS"));
    cmbIIS->setAccessibleName(QStringLiteral("AÇÃO:"));
    cmbIIS->addItems({QStringLiteral("Sem Ação"), QStringLiteral("Reiniciar Serviço"),
                      QStringLiteral("Reiniciar Computador")});
    action->setBuddy(cmbIIS);
    grid->addWidget(action, 2, 0);
    grid->addWidget(cmbIIS, 2, 1);

    chkBootReset =
        new QCheckBox(QStringLiteral("Reiniciar o computador após 3 falhas no IIS"), Frame());
    chkBootReset->setObjectName(QStringLiteral("chkBootReset"));
    grid->addWidget(chkBootReset, 3, 0, 1, 2);
    grid->setRowStretch(4, 1);

    lstIP = new QListWidget(Frame());
    lstIP->setObjectName(QStringLiteral("lstIP"));
    lstIP->setAccessibleName(QStringLiteral("Endereços locais"));
    lstIP->hide();

    binding_.BindCheck(Setting::WebCheck, chkAtiIIS);
    binding_.BindEditable(Setting::WebPage, txtURLIIS);
    binding_.BindList(Setting::WebAction, cmbIIS);
    binding_.BindCheck(Setting::RestartAfterWebRestarts, chkBootReset);
    binding_.BindBootResetShown(chkBootReset);
}

void IisSection::chkAtiIIS_MouseDown() {
    if (Testing())
        return;
    test_ = RunTest();
    test_.Start();
}

Task<void> IisSection::RunTest() {
    TestCursor cursor;
    const std::function<bool(std::vector<std::string>&)> list =
        context_.listAddresses ? context_.listAddresses : std::function(ListLocalAddresses);
    auto test = TestIisCheck(binding_.Model(), context_.engine.Icmp(), context_.engine.Http(),
                             addresses_, list, cursor.Asker(context_));
    co_await RunCheckTest(this, chkAtiIIS, std::move(test));
    lstIP->clear();
    for (const std::string& address : addresses_)
        lstIP->addItem(QString::fromStdString(address));
}

}  // namespace vgx
