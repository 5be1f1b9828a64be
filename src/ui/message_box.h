#pragma once

#include <functional>

#include "records/prompt.h"

class QWidget;

namespace vgx {

// Shows a question or notice in a message box with the prompt's title, icon and buttons (Qt's
// own button texts, translated), sounding the beep first when the prompt asks for it.
PromptAnswer ShowPromptBox(const Prompt& prompt, QWidget* parent = nullptr);

}  // namespace vgx
