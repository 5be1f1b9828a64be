#include "ui/settings/settings_binding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <optional>

namespace vgx {

namespace {

QString Qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A vertical bar steps down from its upper arrow whatever its appearance; a spinner's arrows,
// trough and ends step the other way. The slider position `action` gives on a spinner, or
// nothing where Qt's own is right.
std::optional<int> Upwards(const QScrollBar& bar, int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            return bar.value() - bar.singleStep();
        case QAbstractSlider::SliderSingleStepSub:
            return bar.value() + bar.singleStep();
        case QAbstractSlider::SliderPageStepAdd:
            return bar.value() - bar.pageStep();
        case QAbstractSlider::SliderPageStepSub:
            return bar.value() + bar.pageStep();
        case QAbstractSlider::SliderToMinimum:
            return bar.maximum();
        case QAbstractSlider::SliderToMaximum:
            return bar.minimum();
        default:
            return std::nullopt;
    }
}

Qt::CheckState StateOf(int value) {
    return value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

}  // namespace

SettingsBinding::SettingsBinding(SettingsModel& model, QObject* parent)
    : QObject(parent), model_(model), listener_(model.AddListener([this](Setting c) {
          Show(c);
          emit changed(c);
      })) {}

SettingsBinding::~SettingsBinding() {
    model_.RemoveListener(listener_);
}

void SettingsBinding::BindEditable(Setting box, QLineEdit* edit) {
    controls_[box] = edit;
    connect(edit, &QLineEdit::textEdited, this, [this, box](const QString& text) {
        model_.SetText(box, text.toStdString());
        // The model drops double quotes: show what it keeps.
        if (Qs(model_.Text(box)) != text)
            Show(box);
    });
    Show(box);
}

void SettingsBinding::BindNumber(Setting box, QLineEdit* edit) {
    controls_[box] = edit;
    edit->setReadOnly(true);
    numberBoxes_[edit] = box;
    edit->installEventFilter(this);
    Show(box);
}

void SettingsBinding::BindCheck(Setting check, QCheckBox* box) {
    controls_[check] = box;
    connect(box, &QCheckBox::clicked, this, [this, check, box](bool on) {
        if (!updating_)
            model_.SetValue(check, on ? 1 : 0);
        Show(check);  // a value the model refused shows as it was
        (void)box;
    });
    Show(check);
}

void SettingsBinding::BindList(Setting list, QComboBox* combo) {
    controls_[list] = combo;
    connect(combo, &QComboBox::activated, this, [this, list](int index) {
        model_.SetValue(list, index);
        Show(list);
    });
    Show(list);
}

void SettingsBinding::BindSpinner(Setting spinner, QScrollBar* bar, QLineEdit* box) {
    controls_[spinner] = bar;
    const SpinnerBounds b = *BoundsOf(spinner);
    bar->setRange(b.lower, b.upper);
    bar->setSingleStep(b.step);
    bar->setPageStep(b.step);
    // The number grows upwards: the thumb is at the top at the upper bound, and the upper arrow
    // (and a click in the trough above the thumb) raises the number. A wheel notch away from
    // the user lowers it, as it adds to a scroll bar's value.
    bar->setInvertedAppearance(true);
    bar->setInvertedControls(true);
    connect(bar, &QAbstractSlider::actionTriggered, bar, [bar](int action) {
        if (const auto turned = Upwards(*bar, action))
            bar->setSliderPosition(*turned);
    });
    connect(bar, &QScrollBar::valueChanged, this, [this, spinner, box](int value) {
        if (updating_)
            return;
        model_.SetValue(spinner, value);
        Show(spinner);
        box->setFocus(Qt::OtherFocusReason);
    });
    Show(spinner);
}

void SettingsBinding::BindBootResetShown(QWidget* widget) {
    bootReset_ = widget;
    widget->setVisible(model_.BootResetShown());
}

void SettingsBinding::Refresh() {
    for (const auto& [control, widget] : controls_)
        Show(control);
    if (bootReset_ != nullptr)
        bootReset_->setVisible(model_.BootResetShown());
}

void SettingsBinding::Show(Setting control) {
    if (control == Setting::RestartAfterWebRestarts && bootReset_ != nullptr)
        bootReset_->setVisible(model_.BootResetShown());
    const auto it = controls_.find(control);
    if (it == controls_.end())
        return;
    const bool was = updating_;
    updating_ = true;
    QWidget* w = it->second;
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        const QString text = Qs(model_.Text(control));
        if (edit->text() != text)
            edit->setText(text);
    } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
        const int value = model_.Value(control);
        check->setTristate(value == 2);
        check->setCheckState(StateOf(value));
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->setCurrentIndex(model_.Value(control));
    } else if (auto* bar = qobject_cast<QScrollBar*>(w)) {
        bar->setValue(model_.Value(control));
    }
    updating_ = was;
}

bool SettingsBinding::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto it = numberBoxes_.find(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (it != numberBoxes_.end() && (key == Qt::Key_Up || key == Qt::Key_Down)) {
            model_.StepByKey(it->second, key == Qt::Key_Up ? ArrowKey::Up : ArrowKey::Down);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace vgx
