#include "ui/settings/guarded_check_box.h"

namespace vgx {

GuardedCheckBox::GuardedCheckBox(const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent) {}

void GuardedCheckBox::nextCheckState() {
    if (checkState() == Qt::Unchecked && onCheck_) {
        onCheck_();
        return;
    }
    QCheckBox::nextCheckState();
}

}  // namespace vgx
