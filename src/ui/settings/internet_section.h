#pragma once

#include "ui/settings/section_frame.h"
#include "ui/settings/window_context.h"

class QComboBox;
class QLineEdit;

namespace vgx {

class GuardedCheckBox;
class SettingsBinding;

// pnlNet, "Monitorar Internet": the Internet check, its two addresses and its action.
class InternetSection : public SectionFrame {
    Q_OBJECT
public:
    InternetSection(WindowContext& context, SettingsBinding& binding, QWidget* parent);

    // Left button or space bar on the unchecked box: the addresses are tested first.
    void chkAtiNet_MouseDown();

    GuardedCheckBox* chkAtiNet = nullptr;
    QLineEdit* txtURL1 = nullptr;
    QLineEdit* txtURL2 = nullptr;
    QComboBox* cmbAcaoNet = nullptr;

private:
    WindowContext& context_;
    SettingsBinding& binding_;
};

// The hourglass while a test runs, the normal pointer while a question waits for the user and
// once the test ends, whichever way it ends.
class TestCursor {
public:
    TestCursor();
    ~TestCursor();
    TestCursor(const TestCursor&) = delete;
    TestCursor& operator=(const TestCursor&) = delete;

    // Asks with the normal pointer.
    PromptAnswer Ask(const WindowContext& context, const Prompt& prompt);
};

// Moves the focus to the settings window's control for `box`, if the test named one.
void FocusBox(QWidget* section, const std::optional<Control>& box);

}  // namespace vgx
