#pragma once

#include <string>
#include <utility>

namespace vgx {

enum class PromptIcon { None, Critical, Exclamation, Question };
enum class PromptButtons { Ok, YesNo };
enum class PromptAnswer { Ok, Yes, No };

inline constexpr const char* kTitleAttention = "ATENÇÃO";
inline constexpr const char* kTitleError = "ERRO";

// A message box the windows are to show; the engine never shows anything itself.
struct Prompt {
    std::string Text;
    std::string Title;
    PromptIcon Icon = PromptIcon::None;
    PromptButtons Buttons = PromptButtons::Ok;
    bool Beep = false;  // the windows sound the beep before showing it

    bool operator==(const Prompt&) const = default;
};

// ATENÇÃO, question icon, Yes and No, with the beep.
inline Prompt Question(std::string text) {
    return {std::move(text), kTitleAttention, PromptIcon::Question, PromptButtons::YesNo, true};
}
// ERRO, critical icon, OK.
inline Prompt ErrorMessage(std::string text) {
    return {std::move(text), kTitleError, PromptIcon::Critical, PromptButtons::Ok, false};
}
// ATENÇÃO, exclamation icon, OK.
inline Prompt Notice(std::string text) {
    return {std::move(text), kTitleAttention, PromptIcon::Exclamation, PromptButtons::Ok, false};
}

}  // namespace vgx
