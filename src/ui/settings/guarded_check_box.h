#pragma once

#include <QCheckBox>
#include <functional>

namespace vgx {

// A check box that does not check itself: a click (mouse, space bar, accelerator or an
// assistive technology's toggle) on the unchecked box runs `onCheck`, which decides the value;
// a click on the checked box unchecks it as usual.
class GuardedCheckBox : public QCheckBox {
    Q_OBJECT
public:
    GuardedCheckBox(const QString& caption, QWidget* parent = nullptr);

    void setOnCheck(std::function<void()> onCheck) { onCheck_ = std::move(onCheck); }

protected:
    void nextCheckState() override;

private:
    std::function<void()> onCheck_;
};

}  // namespace vgx
