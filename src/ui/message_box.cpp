#include "ui/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace vgx {

namespace {

class OpenBox final : public LoopRegistration {
public:
    OpenBox(QMessageBox* box, bool yesNo, std::function<void(PromptAnswer)> answered)
        : box_(box), answered_(std::move(answered)) {
        QObject::connect(box, &QMessageBox::finished, box, [this, yesNo](int result) {
            auto tell = std::move(answered_);
            box_ = nullptr;
            // A question closed any other way than Yes is answered No.
            const PromptAnswer answer = !yesNo                      ? PromptAnswer::Ok
                                        : result == QMessageBox::Yes ? PromptAnswer::Yes
                                                                     : PromptAnswer::No;
            if (tell)
                tell(answer);
        });
    }
    ~OpenBox() override {
        if (!box_)
            return;
        box_->disconnect();
        box_->close();
    }

private:
    QPointer<QMessageBox> box_;
    std::function<void(PromptAnswer)> answered_;
};

}  // namespace

LoopHandle OpenPromptBox(const Prompt& prompt, QWidget* parent,
                         std::function<void(PromptAnswer)> answered) {
    if (prompt.Beep)
        QApplication::beep();
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->setWindowTitle(QString::fromStdString(prompt.Title));
    box->setText(QString::fromStdString(prompt.Text).replace(QStringLiteral("\r\n"), "\n"));
    switch (prompt.Icon) {
        case PromptIcon::None:
            box->setIcon(QMessageBox::NoIcon);
            break;
        case PromptIcon::Critical:
            box->setIcon(QMessageBox::Critical);
            break;
        case PromptIcon::Question:
            box->setIcon(QMessageBox::Question);
            break;
        case PromptIcon::Exclamation:
            box->setIcon(QMessageBox::Warning);
            break;
    }
    if (prompt.Buttons == PromptButtons::YesNo) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
    }
    auto handle = std::make_unique<OpenBox>(box, prompt.Buttons == PromptButtons::YesNo,
                                            std::move(answered));
    box->show();
    return handle;
}

}  // namespace vgx
