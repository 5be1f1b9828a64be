#pragma once

#include <string>
#include <vector>

#include "loop/task.h"
#include "ui/settings/section_frame.h"
#include "ui/settings/window_context.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace vgx {

class GuardedCheckBox;
class SettingsBinding;

// pnlIIS, "Monitorar IIS": the web-server check, its page, its action and the computer
// restart after three web-server restarts.
class IisSection : public SectionFrame {
    Q_OBJECT
public:
    IisSection(WindowContext& context, SettingsBinding& binding, QWidget* parent);

    // Left button or space bar on the unchecked box: the page is tested first, on the loop;
    // the box is disabled until the test ends.
    void chkAtiIIS_MouseDown();
    bool Testing() const { return test_.Valid() && !test_.Done(); }

    GuardedCheckBox* chkAtiIIS = nullptr;
    QLineEdit* txtURLIIS = nullptr;
    QComboBox* cmbIIS = nullptr;
    QCheckBox* chkBootReset = nullptr;
    QListWidget* lstIP = nullptr;  // this machine's addresses, kept out of sight

private:
    Task<void> RunTest();

    WindowContext& context_;
    SettingsBinding& binding_;
    std::vector<std::string> addresses_;
    Task<void> test_;
};

}  // namespace vgx
