#pragma once

#include <functional>

#include "loop/event_loop.h"
#include "records/prompt.h"

class QWidget;

namespace vgx {

// Opens a question or notice in a message box with the prompt's title, icon and buttons (Qt's
// own button texts, translated), modal for the application but without waiting for it, sounding
// the beep first when the prompt asks for it. `answered` (when set) is called once as the box
// closes; dropping the handle closes a box still open without calling it.
LoopHandle OpenPromptBox(const Prompt& prompt, QWidget* parent,
                         std::function<void(PromptAnswer)> answered);

}  // namespace vgx
