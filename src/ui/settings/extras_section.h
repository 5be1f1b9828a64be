#pragma once

#include "ui/settings/section_frame.h"
#include "ui/settings/window_context.h"

class QDateEdit;

namespace vgx {

class OwnerDrawButton;

// pnlExtra: the log of a chosen day, the reset of the failure count and the manual restart.
class ExtrasSection : public SectionFrame {
    Q_OBJECT
public:
    ExtrasSection(WindowContext& context, QWidget* parent);

    void cmdLog_Click();
    void cmdReset_Click();
    void cmdBot_Click();
    // The date picker shows today, the last day that can have a log.
    void ResetDate();

    OwnerDrawButton* cmdLog = nullptr;
    QDateEdit* Dt = nullptr;
    OwnerDrawButton* cmdReset = nullptr;
    OwnerDrawButton* cmdBot = nullptr;

private:
    WindowContext& context_;
};

inline constexpr const char* kNoLogText = "Arquivo de Log não encontrado nessa data.";

}  // namespace vgx
