#include "ui/settings/job_editor_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/settings/section_frame.h"
#include "ui/widgets/owner_draw_button.h"
#include "ui/widgets/path_label.h"
#include "ui/widgets/twips.h"

namespace vgx {

namespace {

constexpr int kImageBrowse = 4;
const char* const kKinds[5] = {"Diariamente", "Ao inicializar", "Semanalmente", "A cada hora",
                               "Mensalmente"};

// Keys a text box lets through untouched: movement and editing keys that type nothing.
bool PassesFilter(const QKeyEvent& key) {
    switch (key.key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Escape:
        case Qt::Key_Delete:
            return true;
        default:
            return key.text().isEmpty();
    }
}

}  // namespace

JobEditorWindow::JobEditorWindow(WindowContext& context, int editIndex, QWidget* parent)
    : QDialog(parent),
      context_(context),
      editor_(context.engine.Jobs(), editIndex, context.engine.ProgramDir()) {
    setObjectName(QStringLiteral("frmFolder"));
    setWindowTitle(QStringLiteral("Adicionar Pasta"));
    setModal(true);
    BuildControls();
    // An edited job opens with its folder, kind and fields.
    if (editor_.EditIndex() >= 0) {
        lblPasta->setPath(QString::fromStdString(editor_.Folder()));
        txtHora->setText(QString::fromStdString(editor_.HourText()));
        for (int d = 1; d <= 7; ++d)
            chkDia[static_cast<std::size_t>(d)]->setChecked(editor_.DayChecked(d));
        cmbDias->setCurrentIndex(editor_.WeekdayPosition().value_or(-1));
        txtDmes->setText(QString::fromStdString(editor_.DayOfMonthText()));
        chkSubDir->setChecked(editor_.SubDirs());
    }
    ShowEditor();
}

void JobEditorWindow::BuildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* folderRow = new QHBoxLayout;
    auto* label1 = new QLabel(QStringLiteral("PASTA:"), this);
    lblPasta = new PathLabel(this);
    lblPasta->setObjectName(QStringLiteral("lblPasta"));
    lblPasta->setFrameShape(QFrame::StyledPanel);
    lblPasta->setMinimumWidth(TwipsToPixelsX(4200, this));
    cmdPasta = new OwnerDrawButton(QStringLiteral("Procurar"), this);
    cmdPasta->setObjectName(QStringLiteral("cmdPasta"));
    cmdPasta->setToolTip(QStringLiteral("Selecione um diretório"));
    cmdPasta->setImageStrip(context_.buttonIcons);
    cmdPasta->setImageIndex(kImageBrowse);
    folderRow->addWidget(label1);
    folderRow->addWidget(lblPasta, 1);
    folderRow->addWidget(cmdPasta);
    layout->addLayout(folderRow);
    connect(cmdPasta, &QPushButton::clicked, this, [this] { cmdPasta_Click(); });

    chkSubDir = new QCheckBox(QStringLiteral("Incluir sub diretórios"), this);
    chkSubDir->setObjectName(QStringLiteral("chkSubDir"));
    layout->addWidget(chkSubDir);
    connect(chkSubDir, &QCheckBox::toggled, this, [this](bool on) { editor_.SetSubDirs(on); });

    auto* frmPasta = new QGroupBox(QStringLiteral("Executar"), this);
    frmPasta->setObjectName(QStringLiteral("frmPasta"));
    auto* kinds = new QHBoxLayout(frmPasta);
    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 5; ++i) {
        auto* option = new QRadioButton(QString::fromUtf8(kKinds[i]), frmPasta);
        option->setObjectName(QStringLiteral("OptTipo%1").arg(i));
        group->addButton(option, i);
        kinds->addWidget(option);
        OptTipo[static_cast<std::size_t>(i)] = option;
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int i) { OptTipo_Click(i); });
    layout->addWidget(frmPasta);

    auto* frmIni = new QGroupBox(QStringLiteral("Iniciar às"), this);
    frmIni->setObjectName(QStringLiteral("frmIni"));
    auto* iniLayout = new QVBoxLayout(frmIni);
    pctIni = new QWidget(frmIni);
    pctIni->setObjectName(QStringLiteral("pctIni"));
    pctIni->setMinimumSize(TwipsToPixelsX(6600, this), TwipsToPixelsY(1100, this));
    iniLayout->addWidget(pctIni);
    layout->addWidget(frmIni);

    const auto place = [this](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(TwipsToPixelsX(left, this), TwipsToPixelsY(top, this),
                       TwipsToPixelsX(width, this), TwipsToPixelsY(height, this));
    };
    txtHora = LabelledBox(QStringLiteral("txtHora"), QStringLiteral("Iniciar às (hh:mm)"), pctIni);
    txtHora->setMaxLength(5);
    place(txtHora, 120, 120, 735, 330);
    auto* label2 = new QLabel(QStringLiteral("(hh:mm)"), pctIni);
    place(label2, 120, 500, 900, 300);
    lblInf = new QLabel(pctIni);
    lblInf->setObjectName(QStringLiteral("lblInf"));
    place(lblInf, 1000, 150, 600, 300);
    const char* const kDays[8] = {"",       "Domingo", "Segunda", "Terça",
                                  "Quarta", "Quinta",  "Sexta",   "Sábado"};
    for (int d = 1; d <= 7; ++d) {
        auto* day = new QCheckBox(QString::fromUtf8(kDays[d]), pctIni);
        day->setObjectName(QStringLiteral("chkDia%1").arg(d));
        place(day, 1680 + ((d - 1) % 4) * 1230, 120 + ((d - 1) / 4) * 360, 1200, 330);
        connect(day, &QCheckBox::toggled, this,
                [this, d](bool on) { editor_.SetDayChecked(d, on); });
        chkDia[static_cast<std::size_t>(d)] = day;
    }
    cmbDias = new QComboBox(pctIni);
    cmbDias->setObjectName(QStringLiteral("cmbDias"));
    cmbDias->setAccessibleName(QStringLiteral("Dia da semana"));
    for (const char* name : kWeekdayNames)
        cmbDias->addItem(QString::fromUtf8(name));
    cmbDias->setCurrentIndex(-1);
    place(cmbDias, 1680, 120, 1600, 330);
    connect(cmbDias, &QComboBox::currentIndexChanged, this, [this](int i) {
        editor_.SetWeekdayPosition(i < 0 ? std::nullopt : std::optional<int>(i));
    });
    txtDmes = LabelledBox(QStringLiteral("txtDmes"), QStringLiteral("dia do mês"), pctIni);
    txtDmes->setMaxLength(2);
    place(txtDmes, 1680, 120, 500, 330);
    lbldia = new QLabel(QStringLiteral("dia do mês"), pctIni);
    lbldia->setObjectName(QStringLiteral("lbldia"));
    place(lbldia, 2520, 150, 1500, 300);
    for (QLineEdit* box : {txtHora, txtDmes})
        box->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    // Only the folder button is drawn by the program's painter; these two are ordinary buttons.
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setToolTip(QStringLiteral("Confirmar"));
    cmdCancel = new QPushButton(QStringLiteral("&CANCELAR"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setToolTip(QStringLiteral("Cancelar"));
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    // No default button: Enter in a field or on a kind presses nothing (the first button would
    // be "Procurar", whose cancelled chooser clears the folder and the kind).
    for (QPushButton* button : {static_cast<QPushButton*>(cmdPasta), cmdOK, cmdCancel})
        button->setAutoDefault(false);
    setFixedSize(sizeHint());
}

void JobEditorWindow::ShowEditor() {
    for (QRadioButton* option : OptTipo)
        option->setEnabled(editor_.KindsEnabled());
    if (!editor_.KindsEnabled()) {
        // No folder: no kind either.
        for (QRadioButton* option : OptTipo) {
            option->setAutoExclusive(false);
            option->setChecked(false);
            option->setAutoExclusive(true);
        }
    } else if (const auto kind = editor_.Kind()) {
        OptTipo[static_cast<std::size_t>(*kind)]->setChecked(true);
    }
    ShowKind();
}

void JobEditorWindow::ShowKind() {
    pctIni->setVisible(editor_.HourPanelVisible());
    cmbDias->setVisible(editor_.WeekdayListVisible());
    for (int d = 1; d <= 7; ++d)
        chkDia[static_cast<std::size_t>(d)]->setVisible(editor_.DayChecksVisible());
    txtDmes->setVisible(editor_.DayOfMonthVisible());
    lbldia->setVisible(editor_.DayOfMonthVisible());
    lblInf->setText(QString::fromStdString(editor_.InfoLabel()));
}

void JobEditorWindow::cmdPasta_Click() {
    if (!context_.chooseFolder)
        return;
    lblPasta->setToolTip(QString());
    pending_ = context_.chooseFolder(this, [this](const QString& chosen) {
        pending_.reset();
        if (const auto refusal = editor_.ChooseFolder(chosen.toStdString()))
            pending_ = context_.Ask(*refusal, [this](PromptAnswer) { pending_.reset(); });
        lblPasta->setPath(QString::fromStdString(editor_.Folder()));
        ShowEditor();
    });
}

void JobEditorWindow::OptTipo_Click(int index) {
    editor_.SelectKind(static_cast<JobKind>(index));
    ShowKind();
}

void JobEditorWindow::LeaveField(QLineEdit* box) {
    if (box == txtHora) {
        editor_.SetHourText(txtHora->text().toStdString());
        editor_.LeaveHourField();
        txtHora->setText(QString::fromStdString(editor_.HourText()));
    } else {
        editor_.SetDayOfMonthText(txtDmes->text().toStdString());
        editor_.LeaveDayOfMonthField();
        txtDmes->setText(QString::fromStdString(editor_.DayOfMonthText()));
    }
}

void JobEditorWindow::cmdOK_Click() {
    // A box the focus is still in is left now (an accelerator does not move the focus).
    for (QLineEdit* box : {txtHora, txtDmes}) {
        if (box->hasFocus())
            LeaveField(box);
    }
    editor_.SetHourText(txtHora->text().toStdString());
    editor_.SetDayOfMonthText(txtDmes->text().toStdString());
    const ConfirmStep step = editor_.Confirm();
    if (step.What == ConfirmStep::Action::Nothing)
        return;
    if (step.What == ConfirmStep::Action::ShowMessage) {
        const EditorFocus focus = step.Focus;
        pending_ = context_.Ask(*step.Message, [this, focus](PromptAnswer) {
            pending_.reset();
            switch (focus) {
                case EditorFocus::Hour:
                    txtHora->setFocus();
                    break;
                case EditorFocus::WeekdayList:
                    cmbDias->setFocus();
                    break;
                case EditorFocus::DayOfMonth:
                    txtDmes->setFocus();
                    break;
                case EditorFocus::None:
                    break;
            }
        });
        return;
    }
    pending_ = context_.Ask(*step.Message, [this](PromptAnswer answer) {
        pending_.reset();
        if (answer != PromptAnswer::Yes)
            return;
        committed_ = editor_.Commit(context_.engine.Jobs());
        if (!committed_) {
            // Nothing changed: the editor stays open with the user's entries.
            pending_ = context_.Ask(ErrorMessage(kJobsSaveFailedText),
                                    [this](PromptAnswer) { pending_.reset(); });
            return;
        }
        closing_ = true;
        accept();
    });
}

void JobEditorWindow::cmdCancel_Click() {
    const auto question = editor_.Cancel();
    if (!question) {
        closing_ = true;
        QDialog::reject();
        return;
    }
    pending_ = context_.Ask(*question, [this](PromptAnswer answer) {
        pending_.reset();
        if (answer != PromptAnswer::Yes)
            return;
        closing_ = true;
        QDialog::reject();
    });
}

void JobEditorWindow::reject() {
    if (!closing_)
        cmdCancel_Click();
}

bool JobEditorWindow::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box == nullptr)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        LeaveField(box);
    } else if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            return true;  // dropped like any key that is not a digit
        if (!PassesFilter(*key)) {
            const int ascii = key->text().at(0).unicode();
            if (FilterKey(box->text().toStdString(), ascii, box == txtHora) == 0)
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vgx
