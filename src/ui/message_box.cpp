#include "ui/message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace vgx {

PromptAnswer ShowPromptBox(const Prompt& prompt, QWidget* parent) {
    if (prompt.Beep)
        QApplication::beep();
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromStdString(prompt.Title));
    box.setText(QString::fromStdString(prompt.Text).replace(QStringLiteral("\r\n"), "\n"));
    switch (prompt.Icon) {
        case PromptIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case PromptIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case PromptIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case PromptIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
    }
    if (prompt.Buttons == PromptButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? PromptAnswer::Yes : PromptAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return PromptAnswer::Ok;
}

}  // namespace vgx
