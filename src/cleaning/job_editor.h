#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "cleaning/cleaning_job.h"
#include "records/prompt.h"

namespace vgx {

// The key to keep for a key typed into the hour (allowColon) or day-of-month box, 0 to drop
// it: digits, the control keys 3, 8, 22, 24, 26, and one ":" in the hour box.
int FilterKey(std::string_view currentText, int keyAscii, bool allowColon);

// The hour box on leaving it: "hh:nn", or "00:00" when the text is not a time of day.
std::string FormatHourField(std::string_view text);
// The day-of-month box on leaving it: above 31 becomes "01"; two digits; empty stays empty.
std::string FormatDayOfMonthField(std::string_view text);

enum class EditorFocus { None, Hour, WeekdayList, DayOfMonth };

// What the window does after the OK button: nothing, show a message and move the focus,
// or ask the confirmation question and, on Yes, call Commit.
struct ConfirmStep {
    enum class Action { Nothing, ShowMessage, AskConfirmation };
    Action What = Action::Nothing;
    std::optional<Prompt> Message;
    EditorFocus Focus = EditorFocus::None;
};

// Captions of the weekday list (position = weekday digit - 1) and of the day boxes.
inline constexpr std::array<const char*, 7> kWeekdayNames = {
    "Domingo", "Segunda", "Terça", "Quarta", "Quinta", "Sexta", "Sábado"};

// The state of the job editor and its rules, without a window. The window mirrors this
// state in its controls and hands every change to it.
class JobEditor {
public:
    // editIndex -1 opens a new job; otherwise the job at that index of `jobs` is loaded.
    JobEditor(const CleaningJobs& jobs, int editIndex, std::filesystem::path programDir);

    int EditIndex() const { return editIndex_; }

    // The folder browser's answer ("" when cancelled). A protected folder or a relative path
    // is refused: the message to show is returned and the editor is left without a folder.
    std::optional<Prompt> ChooseFolder(const std::string& folder);
    const std::string& Folder() const { return folder_; }
    bool KindsEnabled() const { return kindsEnabled_; }

    void SelectKind(JobKind kind);
    std::optional<JobKind> Kind() const { return kind_; }
    bool HourPanelVisible() const;
    bool DayChecksVisible() const { return kind_ == JobKind::Daily; }
    bool WeekdayListVisible() const { return kind_ == JobKind::Weekly; }
    bool DayOfMonthVisible() const { return kind_ == JobKind::Monthly; }
    // "em", "cada" or "no" for the kinds with an hour; empty otherwise.
    std::string InfoLabel() const;

    void SetHourText(std::string text) { hour_ = std::move(text); }
    const std::string& HourText() const { return hour_; }
    void LeaveHourField() { hour_ = FormatHourField(hour_); }

    // weekday 1 = Sunday ... 7 = Saturday.
    void SetDayChecked(int weekday, bool checked);
    bool DayChecked(int weekday) const;

    // Position in the weekday list (0 = Sunday), nullopt for no selection.
    void SetWeekdayPosition(std::optional<int> position) { weekdayPosition_ = position; }
    std::optional<int> WeekdayPosition() const { return weekdayPosition_; }

    void SetDayOfMonthText(std::string text) { dayOfMonth_ = std::move(text); }
    const std::string& DayOfMonthText() const { return dayOfMonth_; }
    void LeaveDayOfMonthField() { dayOfMonth_ = FormatDayOfMonthField(dayOfMonth_); }

    void SetSubDirs(bool on) { subDirs_ = on; }
    bool SubDirs() const { return subDirs_; }

    // The OK button's checks, in order.
    ConfirmStep Confirm() const;
    // After Yes to the confirmation: writes the job into its slot (a new slot at the end for
    // a new job), saves folder.dat and returns the slot's index. The caller then updates
    // the list (ReplaceLineAfterCommit) and closes the editor. Nothing, with `jobs` as it was,
    // when folder.dat could not be saved (kJobsSaveFailedText).
    std::optional<std::size_t> Commit(CleaningJobs& jobs) const;

    // The cancel button: the question to ask when a folder is chosen; nullopt closes at once.
    std::optional<Prompt> Cancel() const;

private:
    int editIndex_;
    std::filesystem::path programDir_;
    std::string folder_;
    bool kindsEnabled_ = false;
    std::optional<JobKind> kind_;
    std::string hour_;
    std::array<bool, 8> days_{};  // index = weekday digit; [0] unused
    std::optional<int> weekdayPosition_;
    std::string dayOfMonth_;
    bool subDirs_ = false;
};

inline constexpr const char* kRefusedFolderText =
    "Por motivo de segurança, esse diretório não pode ser selecionado.";
inline constexpr const char* kInvalidHourText = "Hora inválida";
inline constexpr const char* kNoDaysText = "Selecione o(s) dia(s)!";
inline constexpr const char* kNoWeekdayText = "Selecione o dia da semana!";
inline constexpr const char* kNoDayOfMonthText = "Selecione o dia do mês!";
inline constexpr const char* kConfirmText = "Você confirma o registro?";
inline constexpr const char* kCancelText = "Você realmente deseja cancelar?";
inline constexpr const char* kJobsSaveFailedText = "Não foi possível gravar o arquivo folder.dat.";

}  // namespace vgx
