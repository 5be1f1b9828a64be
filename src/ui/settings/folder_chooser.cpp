#include "ui/settings/folder_chooser.h"

#include <QFileDialog>
#include <QPointer>

namespace vgx {

namespace {

class OpenChooser final : public LoopRegistration {
public:
    OpenChooser(QFileDialog* dialog, std::function<void(QString)> chosen)
        : dialog_(dialog), chosen_(std::move(chosen)) {
        QObject::connect(dialog, &QFileDialog::finished, dialog, [this](int result) {
            auto tell = std::move(chosen_);
            const QStringList files = dialog_->selectedFiles();
            dialog_ = nullptr;
            if (tell)
                tell(result == QDialog::Accepted && !files.isEmpty() ? files.front() : QString());
        });
    }
    ~OpenChooser() override {
        if (!dialog_)
            return;
        dialog_->disconnect();
        dialog_->close();
    }

private:
    QPointer<QFileDialog> dialog_;
    std::function<void(QString)> chosen_;
};

}  // namespace

LoopHandle OpenFolderChooser(QWidget* parent, std::function<void(QString)> chosen) {
    auto* dialog = new QFileDialog(parent, QStringLiteral("Selecione um diretório:"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    auto handle = std::make_unique<OpenChooser>(dialog, std::move(chosen));
    dialog->open();
    return handle;
}

}  // namespace vgx
