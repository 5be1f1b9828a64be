#pragma once

#include "app/check_tests.h"
#include "loop/task.h"
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

    // Left button or space bar on the unchecked box: the addresses are tested first, on the
    // loop; the box is disabled until the test ends.
    void chkAtiNet_MouseDown();
    bool Testing() const { return test_.Valid() && !test_.Done(); }

    GuardedCheckBox* chkAtiNet = nullptr;
    QLineEdit* txtURL1 = nullptr;
    QLineEdit* txtURL2 = nullptr;
    QComboBox* cmbAcaoNet = nullptr;

private:
    Task<void> RunTest();

    WindowContext& context_;
    SettingsBinding& binding_;
    Task<void> test_;
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
    AskUser Asker(const WindowContext& context);

private:
    bool waiting_ = true;
};

// Runs a check's test for `box`: disabled meanwhile; afterwards the focus goes to the box the
// test named, else back to the box.
Task<void> RunCheckTest(QWidget* section, QWidget* box, Task<FocusAfterTest> test);

}  // namespace vgx
