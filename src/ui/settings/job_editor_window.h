#pragma once

#include <QDialog>
#include <array>
#include <optional>

#include "cleaning/job_editor.h"
#include "ui/settings/window_context.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vgx {

class OwnerDrawButton;
class PathLabel;

// frmFolder, "Adicionar Pasta": the modal editor of one cleaning job, opened without waiting
// for it (finished() tells how it closed). Its rules are the engine's JobEditor; the window
// mirrors its state in the controls.
class JobEditorWindow : public QDialog {
    Q_OBJECT
public:
    // editIndex -1 adds a job; otherwise the job at that index is edited.
    JobEditorWindow(WindowContext& context, int editIndex, QWidget* parent);

    // The slot the confirmed job was written to; nothing until the editor was confirmed.
    std::optional<std::size_t> CommittedSlot() const { return committed_; }

    void cmdPasta_Click();
    void OptTipo_Click(int index);
    void cmdOK_Click();
    void cmdCancel_Click();
    // Escape and the window manager's close are a cancel too.
    void reject() override;

    PathLabel* lblPasta = nullptr;
    OwnerDrawButton* cmdPasta = nullptr;
    QCheckBox* chkSubDir = nullptr;
    std::array<QRadioButton*, 5> OptTipo{};
    QWidget* pctIni = nullptr;
    QLineEdit* txtHora = nullptr;
    QLabel* lblInf = nullptr;
    std::array<QCheckBox*, 8> chkDia{};  // 1 = Sunday ... 7 = Saturday; [0] unused
    QComboBox* cmbDias = nullptr;
    QLineEdit* txtDmes = nullptr;
    QLabel* lbldia = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ShowEditor();
    void ShowKind();
    void LeaveField(QLineEdit* box);

    WindowContext& context_;
    JobEditor editor_;
    std::optional<std::size_t> committed_;
    bool closing_ = false;
    LoopHandle pending_;  // the folder browser or a message box, while open
};

}  // namespace vgx
