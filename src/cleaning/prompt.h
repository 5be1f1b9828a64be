#pragma once

#include <string>

namespace vgx {

enum class PromptIcon { Critical, Exclamation, Question };
enum class PromptButtons { Ok, YesNo };

// A message box the window is to show; the engine never shows anything itself.
struct Prompt {
    std::string Text;
    std::string Title;
    PromptIcon Icon = PromptIcon::Critical;
    PromptButtons Buttons = PromptButtons::Ok;
    bool Beep = false;

    bool operator==(const Prompt&) const = default;
};

inline constexpr const char* kTitleAttention = "ATENÇÃO";
inline constexpr const char* kTitleError = "ERRO";

inline Prompt Question(std::string text) {
    return {std::move(text), kTitleAttention, PromptIcon::Question, PromptButtons::YesNo, true};
}
inline Prompt ErrorMessage(std::string text) {
    return {std::move(text), kTitleError, PromptIcon::Critical, PromptButtons::Ok, false};
}

}  // namespace vgx
