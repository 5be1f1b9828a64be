#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/engine.h"
#include "ui/widgets/icon_strip.h"

class QWidget;

namespace vgx {

// What the settings window and its sections work with: the engine's models and operations,
// the windows' message boxes, the two picture strips, and the seams tests replace.
struct WindowContext {
    Engine& engine;
    Windows& windows;  // questions and notices go through the program's one message seam
    IconStrip buttonIcons;
    IconStrip menuIcons;

    // The folder browser, opened without waiting: `chosen` gets the folder, or an empty text
    // when cancelled. Dropping the handle closes it.
    std::function<LoopHandle(QWidget* parent, std::function<void(QString)> chosen)> chooseFolder;
    // Shows a text file to the user (the desktop's viewer, or a window of the program's own).
    std::function<void(const QString& file, QWidget* parent)> showTextFile;
    // This machine's addresses (the IIS test's lstIP).
    std::function<bool(std::vector<std::string>&)> listAddresses;
    // The service check box's install, with its message.
    std::function<void()> installServiceWithMessage;

    // What the user asks of the watchdog, wherever it runs (this copy or the one it faces).
    std::function<void()> resetFailures;  // the reset button: asks, resets, tells
    std::function<void()> restartButton;  // the manual restart button
    std::function<void()> jobsSaved;      // folder.dat was just saved here
    std::function<void()> refreshJobs;    // before a job is added, edited or deleted
    // A notice nobody waits for.
    std::function<void(const Prompt&)> tell;

    // A question: `answered` is called from the loop; dropping the handle takes it away.
    LoopHandle Ask(const Prompt& prompt, std::function<void(PromptAnswer)> answered) const {
        return windows.Ask(prompt, std::move(answered));
    }
    void Tell(const Prompt& prompt) const {
        if (tell)
            tell(prompt);
    }
};

}  // namespace vgx
