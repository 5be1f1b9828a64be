#include "service/headless_windows.h"

#include <cstdio>

namespace vgx {

LoopHandle HeadlessWindows::Ask(const Prompt& prompt, std::function<void(PromptAnswer)> answered) {
    std::fprintf(stderr, "vigiax: %s: %s\n", prompt.Title.c_str(), prompt.Text.c_str());
    const PromptAnswer answer =
        prompt.Buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    return loop_.Next([answer, answered = std::move(answered)] {
        if (answered)
            answered(answer);
    });
}

}  // namespace vgx
