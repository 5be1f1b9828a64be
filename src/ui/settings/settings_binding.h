#pragma once

#include <QObject>
#include <map>

#include "records/settings_model.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QScrollBar;
class QWidget;

namespace vgx {

// Keeps controls and the settings model in step: every edit goes to the model at once (values
// being edited count before they are confirmed), and every change the model makes (a rule, a
// load, a cancel) shows in the controls at once.
class SettingsBinding : public QObject {
    Q_OBJECT
public:
    explicit SettingsBinding(SettingsModel& model, QObject* parent = nullptr);
    ~SettingsBinding() override;

    // txtURL1, txtURL2, txtURLIIS: typed text goes to the model.
    void BindEditable(Setting box, QLineEdit* edit);
    // txtPoling, txtFalha, txtAtra, txtOpa: shown only; Up and Down step the spinner.
    void BindNumber(Setting box, QLineEdit* edit);
    void BindCheck(Setting check, QCheckBox* box);
    void BindList(Setting list, QComboBox* combo);
    // A spinner's arrows step it; the number's box then takes the focus.
    void BindSpinner(Setting spinner, QScrollBar* bar, QLineEdit* box);
    // chkBootReset is shown while the IIS action is "Reiniciar Serviço".
    void BindBootResetShown(QWidget* widget);

    // Every bound control from the model.
    void Refresh();

    SettingsModel& Model() { return model_; }

signals:
    // A control changed through the model, after the control shows it.
    void changed(vgx::Setting control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Show(Setting control);

    SettingsModel& model_;
    int listener_;
    std::map<Setting, QWidget*> controls_;
    std::map<QObject*, Setting> numberBoxes_;
    QWidget* bootReset_ = nullptr;
    bool updating_ = false;
};

}  // namespace vgx
