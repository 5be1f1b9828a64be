#include "ui/settings/config_section.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "ui/settings/guarded_check_box.h"
#include "ui/settings/settings_binding.h"
#include "ui/widgets/owner_draw_button.h"

namespace vgx {

namespace {

constexpr int kImageOk = 6;
constexpr int kImageCancel = 7;

}  // namespace

ConfigSection::ConfigSection(WindowContext& context, SettingsBinding& binding, QWidget* parent)
    : SectionFrame(QStringLiteral("pnlConf"), QStringLiteral("Inicialização"), parent),
      context_(context),
      binding_(binding) {
    QGroupBox* frame = Frame();
    QGridLayout* grid = Grid();

    chkServicoNT = new GuardedCheckBox(QStringLiteral("Iniciar como serviço do NT"), frame);
    chkServicoNT->setObjectName(QStringLiteral("chkServicoNT"));
    chkServicoNT->setOnCheck([this] {
        // Pressed while unchecked: install at once, with its message, and tick the box.
        if (context_.installServiceWithMessage)
            context_.installServiceWithMessage();
        binding_.Model().SetValue(Setting::RunAsService, 1);
    });
    grid->addWidget(chkServicoNT, 0, 0, 1, 6);

    const auto number = [&](int row, int column, const QString& caption, const char* box,
                            const char* spinner, QLineEdit*& edit, QScrollBar*& bar) {
        auto* label = new QLabel(caption, frame);
        edit = LabelledBox(QString::fromLatin1(box), caption, frame);
        edit->setMaximumWidth(48);
        bar = SpinnerArrows(QString::fromLatin1(spinner), caption, frame);
        label->setBuddy(edit);
        grid->addWidget(label, row, column);
        grid->addWidget(edit, row, column + 1);
        grid->addWidget(bar, row, column + 2, Qt::AlignLeft);
        return label;
    };
    number(1, 0, QStringLiteral("Pooling:"), "txtPoling", "VScroll1", txtPoling, VScroll1);
    number(1, 3, QStringLiteral("Falhas:"), "txtFalha", "VScroll2", txtFalha, VScroll2);
    number(2, 0, QStringLiteral("Atraso"), "txtAtra", "VScroll4", txtAtra, VScroll4);

    chkPanel = new QCheckBox(QStringLiteral("Mostrar Painel"), frame);
    chkPanel->setObjectName(QStringLiteral("chkPanel"));
    grid->addWidget(chkPanel, 3, 0, 1, 6);

    auto* inner = new QGroupBox(frame);
    inner->setObjectName(QStringLiteral("fraPainel"));
    inner->setAccessibleName(QStringLiteral("Painel"));
    auto* innerGrid = new QGridLayout(inner);
    chkSVisi = new QCheckBox(QStringLiteral("Painel sempre visível"), inner);
    chkSVisi->setObjectName(QStringLiteral("chkSVisi"));
    innerGrid->addWidget(chkSVisi, 0, 0, 1, 4);
    lblOpa = new QLabel(QStringLiteral("Opacidade:"), inner);
    lblOpa->setObjectName(QStringLiteral("lblOpa"));
    txtOpa = LabelledBox(QStringLiteral("txtOpa"), lblOpa->text(), inner);
    txtOpa->setMaximumWidth(48);
    lblOpa->setBuddy(txtOpa);
    VScroll3 = SpinnerArrows(QStringLiteral("VScroll3"), lblOpa->text(), inner);
    innerGrid->addWidget(lblOpa, 1, 0);
    innerGrid->addWidget(txtOpa, 1, 1);
    innerGrid->addWidget(VScroll3, 1, 2, Qt::AlignLeft);
    innerGrid->setColumnStretch(3, 1);
    grid->addWidget(inner, 4, 0, 1, 6);

    cmdOK = new OwnerDrawButton(QStringLiteral("&Gravar"), frame);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setToolTip(QStringLiteral("Grava as Configurações"));
    cmdCancel = new OwnerDrawButton(QStringLiteral("&Cancelar"), frame);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setToolTip(QStringLiteral("Cancela as Alterações"));
    for (auto [button, image] : {std::pair{cmdOK, kImageOk}, std::pair{cmdCancel, kImageCancel}}) {
        button->setImageStrip(context_.buttonIcons);
        button->setImageIndex(image);
    }
    grid->addWidget(cmdOK, 5, 3, 1, 2);
    grid->addWidget(cmdCancel, 5, 5);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(5, 1);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    binding_.BindCheck(Setting::RunAsService, chkServicoNT);
    binding_.BindNumber(Setting::PoolingText, txtPoling);
    binding_.BindSpinner(Setting::PoolingMinutes, VScroll1, txtPoling);
    binding_.BindNumber(Setting::FailureLimitText, txtFalha);
    binding_.BindSpinner(Setting::FailureLimit, VScroll2, txtFalha);
    binding_.BindNumber(Setting::DelayText, txtAtra);
    binding_.BindSpinner(Setting::DelayMinutes, VScroll4, txtAtra);
    binding_.BindCheck(Setting::ShowPanel, chkPanel);
    binding_.BindCheck(Setting::PanelOnTop, chkSVisi);
    binding_.BindNumber(Setting::OpacityText, txtOpa);
    binding_.BindSpinner(Setting::PanelOpacity, VScroll3, txtOpa);
    connect(&binding_, &SettingsBinding::changed, this, [this](Setting c) {
        if (c == Setting::ShowPanel)
            EnablePanelOptions();
    });
    EnablePanelOptions();
}

void ConfigSection::EnablePanelOptions() {
    const bool shown = binding_.Model().Value(Setting::ShowPanel) != 0;
    if (!shown)
        binding_.Model().SetValue(Setting::PanelOnTop, 0);
    for (QWidget* w : {static_cast<QWidget*>(chkSVisi), static_cast<QWidget*>(lblOpa),
                       static_cast<QWidget*>(txtOpa), static_cast<QWidget*>(VScroll3)}) {
        w->setEnabled(shown);
    }
}

void ConfigSection::cmdOK_Click() {
    question_ = context_.Ask(Question("Você confirma a operação?"), [this](PromptAnswer answer) {
        question_.reset();
        if (answer == PromptAnswer::Yes)
            binding_.Model().Confirm();
    });
}

void ConfigSection::cmdCancel_Click() {
    question_ =
        context_.Ask(Question("Você realmente deseja cancelar?"), [this](PromptAnswer answer) {
            question_.reset();
            if (answer != PromptAnswer::No)
                binding_.Model().Cancelar(true);
        });
}

}  // namespace vgx
