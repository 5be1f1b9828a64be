#pragma once

#include <optional>

#include "ui/settings/section_frame.h"
#include "ui/settings/window_context.h"

class QListWidget;

namespace vgx {

class OwnerDrawButton;

// pnlPasta, "Monitorar Pastas": the list of cleaning jobs and its three buttons.
class FoldersSection : public SectionFrame {
    Q_OBJECT
public:
    FoldersSection(WindowContext& context, QWidget* parent);

    // Rebuilds lstPasta from the jobs table.
    void FillJobList();
    void cmdAdd_Click();
    void cmdEdi_Click();
    void cmdExc_Click();

    QListWidget* lstPasta = nullptr;
    OwnerDrawButton* cmdAdd = nullptr;
    OwnerDrawButton* cmdEdi = nullptr;
    OwnerDrawButton* cmdExc = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<int> SelectedLine() const;
    // The jobs as stored now, when this copy faces another (its marks are that copy's).
    void Refresh();
    void Saved();
    void OpenEditor(int editIndex);
    // The editor closed with a job written to `slot`; `line` is the edited job's line.
    void ShowCommitted(std::size_t slot, std::optional<int> line);
    void Delete(int index);
    QString LineText(const std::string& path) const;

    WindowContext& context_;
    LoopHandle question_;
};

}  // namespace vgx
