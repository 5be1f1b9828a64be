#include "ui/settings/folders_section.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>

#include "cleaning/job_editor.h"
#include "cleaning/job_list.h"
#include "ui/settings/job_editor_window.h"
#include "ui/widgets/owner_draw_button.h"
#include "ui/widgets/twips.h"

namespace vgx {

FoldersSection::FoldersSection(WindowContext& context, QWidget* parent)
    : SectionFrame(QStringLiteral("pnlPasta"), QStringLiteral("Monitorar Pastas"), parent),
      context_(context) {
    QGridLayout* grid = Grid();
    auto* label = new QLabel(QStringLiteral("PASTAS:"), Frame());
    lstPasta = new QListWidget(Frame());
    lstPasta->setObjectName(QStringLiteral("lstPasta"));
    lstPasta->setAccessibleName(QStringLiteral("PASTAS:"));
    label->setBuddy(lstPasta);
    lstPasta->installEventFilter(this);
    grid->addWidget(label, 0, 0, 1, 3);
    grid->addWidget(lstPasta, 1, 0, 1, 3);

    const struct {
        OwnerDrawButton*& button;
        const char* name;
        const char* caption;
        const char* tip;
        int image;
        void (FoldersSection::*click)();
    } kButtons[] = {
        {cmdAdd, "cmdAdd", "&Adicionar", "Adicionar Pasta", 3, &FoldersSection::cmdAdd_Click},
        {cmdEdi, "cmdEdi", "&Editar", "Editar Pasta Selecionada", 2, &FoldersSection::cmdEdi_Click},
        {cmdExc, "cmdExc", "&Excluir", "Excluir Pasta Selecionada", 5,
         &FoldersSection::cmdExc_Click},
    };
    int column = 0;
    for (const auto& b : kButtons) {
        b.button = new OwnerDrawButton(QString::fromUtf8(b.caption), Frame());
        b.button->setObjectName(QString::fromLatin1(b.name));
        b.button->setToolTip(QString::fromUtf8(b.tip));
        b.button->setImageStrip(context_.buttonIcons);
        b.button->setImageIndex(b.image);
        const auto click = b.click;
        connect(b.button, &QPushButton::clicked, this, [this, click] { (this->*click)(); });
        grid->addWidget(b.button, 2, column++);
    }
    FillJobList();
}

QString FoldersSection::LineText(const std::string& path) const {
    const QFontMetrics metrics(lstPasta->font());
    const int available = lstPasta->width() - TwipsToPixelsX(200, lstPasta);
    return QString::fromStdString(FitPathToWidth(
        path,
        [&metrics](std::string_view text) {
            return metrics.horizontalAdvance(
                QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        },
        available));
}

void FoldersSection::FillJobList() {
    lstPasta->clear();
    const CleaningJobs& jobs = context_.engine.Jobs();
    for (std::size_t i = 0; i < JobCount(jobs); ++i) {
        auto* item = new QListWidgetItem(LineText(jobs[i].Path.Text()), lstPasta);
        item->setData(Qt::UserRole, static_cast<int>(i));
        item->setToolTip(QString::fromStdString(jobs[i].Path.Text()));
    }
}

bool FoldersSection::eventFilter(QObject* watched, QEvent* event) {
    // The lines are shortened to the list's width: again whenever it changes.
    if (watched == lstPasta && event->type() == QEvent::Resize) {
        for (int i = 0; i < lstPasta->count(); ++i) {
            QListWidgetItem* item = lstPasta->item(i);
            item->setText(LineText(item->toolTip().toStdString()));
        }
    }
    return SectionFrame::eventFilter(watched, event);
}

std::optional<int> FoldersSection::SelectedLine() const {
    const int row = lstPasta->currentRow();
    if (row < 0 || lstPasta->currentItem() == nullptr || !lstPasta->currentItem()->isSelected())
        return std::nullopt;
    return row;
}

void FoldersSection::Refresh() {
    if (!context_.refreshJobs)
        return;
    context_.refreshJobs();
    FillJobList();
}

void FoldersSection::Saved() {
    if (context_.jobsSaved)
        context_.jobsSaved();
}

void FoldersSection::cmdAdd_Click() {
    Refresh();
    OpenEditor(-1);
}

void FoldersSection::cmdEdi_Click() {
    const auto selected = SelectedLine();
    Refresh();
    if (selected && *selected < lstPasta->count())
        lstPasta->setCurrentRow(*selected);
    if (const auto line = SelectedLine())
        OpenEditor(lstPasta->item(*line)->data(Qt::UserRole).toInt());
}

void FoldersSection::OpenEditor(int editIndex) {
    auto* editor = new JobEditorWindow(context_, editIndex, window());
    editor->setAttribute(Qt::WA_DeleteOnClose);
    const std::optional<int> line = editIndex >= 0 ? SelectedLine() : std::nullopt;
    connect(editor, &QDialog::finished, this, [this, editor, line](int result) {
        if (result == QDialog::Accepted && editor->CommittedSlot())
            ShowCommitted(*editor->CommittedSlot(), line);
    });
    editor->open();
}

void FoldersSection::ShowCommitted(std::size_t slot, std::optional<int> line) {
    // An edited job's line moves to the end of the list.
    if (line && *line < lstPasta->count())
        delete lstPasta->takeItem(*line);
    const std::string path = context_.engine.Jobs()[slot].Path.Text();
    auto* item = new QListWidgetItem(LineText(path), lstPasta);
    item->setData(Qt::UserRole, static_cast<int>(slot));
    item->setToolTip(QString::fromStdString(path));
    Saved();
}

void FoldersSection::cmdExc_Click() {
    const auto selected = SelectedLine();
    Refresh();
    if (selected && *selected < lstPasta->count())
        lstPasta->setCurrentRow(*selected);
    const auto line = SelectedLine();
    const auto question = DeleteQuestion(
        line ? std::optional<std::size_t>(static_cast<std::size_t>(*line)) : std::nullopt);
    if (!question)
        return;
    const int index = lstPasta->item(*line)->data(Qt::UserRole).toInt();
    question_ = context_.Ask(*question, [this, index](PromptAnswer answer) {
        question_.reset();
        if (answer == PromptAnswer::Yes)
            Delete(index);
    });
}

void FoldersSection::Delete(int index) {
    setUpdatesEnabled(false);
    const DeleteOutcome outcome =
        DeleteJob(context_.engine.Jobs(), index, context_.engine.ProgramDir());
    if (outcome == DeleteOutcome::Deleted) {
        FillJobList();
        Saved();
    }
    setUpdatesEnabled(true);
    if (outcome == DeleteOutcome::SaveFailed)
        context_.Tell(ErrorMessage(kJobsSaveFailedText));
}

}  // namespace vgx
