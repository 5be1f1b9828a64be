#pragma once

#include "ui/settings/section_frame.h"
#include "ui/settings/window_context.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QScrollBar;

namespace vgx {

class GuardedCheckBox;
class OwnerDrawButton;
class SettingsBinding;

// pnlConf, "Inicialização": service mode, pooling interval, failure limit, start delay, the
// status panel's options, and the confirm and cancel buttons.
class ConfigSection : public SectionFrame {
    Q_OBJECT
public:
    ConfigSection(WindowContext& context, SettingsBinding& binding, QWidget* parent);

    void cmdOK_Click();
    void cmdCancel_Click();

    GuardedCheckBox* chkServicoNT = nullptr;
    QLineEdit* txtPoling = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QLineEdit* txtFalha = nullptr;
    QScrollBar* VScroll2 = nullptr;
    QLineEdit* txtAtra = nullptr;
    QScrollBar* VScroll4 = nullptr;
    QCheckBox* chkPanel = nullptr;
    QCheckBox* chkSVisi = nullptr;
    QLabel* lblOpa = nullptr;
    QLineEdit* txtOpa = nullptr;
    QScrollBar* VScroll3 = nullptr;
    OwnerDrawButton* cmdOK = nullptr;
    OwnerDrawButton* cmdCancel = nullptr;

private:
    // The panel's options are offered only while the panel is shown.
    void EnablePanelOptions();

    WindowContext& context_;
    SettingsBinding& binding_;
    LoopHandle question_;
};

}  // namespace vgx
