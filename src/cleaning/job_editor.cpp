#include "cleaning/job_editor.h"

#include <cstdio>

#include "cleaning/jobs_file.h"
#include "cleaning/protected_folders.h"

namespace vgx {

int FilterKey(std::string_view currentText, int keyAscii, bool allowColon) {
    if (keyAscii >= '0' && keyAscii <= '9')
        return keyAscii;
    switch (keyAscii) {
        case 3:   // copy
        case 8:   // backspace
        case 22:  // paste
        case 24:  // cut
        case 26:  // undo
            return keyAscii;
        case ':':
            return allowColon && currentText.find(':') == std::string_view::npos ? keyAscii : 0;
        default:
            return 0;
    }
}

std::string FormatHourField(std::string_view text) {
    const auto minutes = ParseHourMinutes(text);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d", minutes ? *minutes / 60 : 0,
                  minutes ? *minutes % 60 : 0);
    return buf;
}

std::string FormatDayOfMonthField(std::string_view text) {
    if (text.empty())
        return {};
    long day = NumberValue(text);
    if (day > 31)
        day = 1;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02ld", day);
    return buf;
}

JobEditor::JobEditor(const CleaningJobs& jobs, int editIndex, std::filesystem::path programDir)
    : editIndex_(editIndex), programDir_(std::move(programDir)) {
    if (editIndex_ < 0 || static_cast<std::size_t>(editIndex_) >= jobs.size()) {
        editIndex_ = -1;
        return;
    }
    const CleaningJob& job = jobs[static_cast<std::size_t>(editIndex_)];
    folder_ = job.Path.Text();
    kindsEnabled_ = true;
    subDirs_ = job.SubDirs == 1;
    if (job.Kind > static_cast<std::uint8_t>(JobKind::Monthly))
        return;
    SelectKind(static_cast<JobKind>(job.Kind));
    const std::string days = job.Days.Text();
    switch (*kind_) {
        case JobKind::Daily:
            hour_ = job.Hour.Text();
            for (int d = 1; d <= 7; ++d) {
                days_[static_cast<std::size_t>(d)] =
                    days.find(static_cast<char>('0' + d)) != std::string::npos;
            }
            break;
        case JobKind::Weekly: {
            hour_ = job.Hour.Text();
            const long position = NumberValue(days) - 1;
            if (position >= 0 && position < 7)
                weekdayPosition_ = static_cast<int>(position);
            break;
        }
        case JobKind::Monthly:
            hour_ = job.Hour.Text();
            dayOfMonth_ = days;
            break;
        default:
            break;
    }
}

std::optional<Prompt> JobEditor::ChooseFolder(const std::string& folder) {
    // A relative path would depend on the folder the program was started from.
    const bool refused = !folder.empty() && (!folder.starts_with('/') ||
                                             ProtectedFolders(programDir_).Refuses(folder));
    if (folder.empty() || refused) {
        folder_.clear();
        kindsEnabled_ = false;
        kind_.reset();
        if (!refused)
            return std::nullopt;
        return Prompt{kRefusedFolderText, kTitleAttention, PromptIcon::Critical};
    }
    folder_ = folder;
    kindsEnabled_ = true;
    return std::nullopt;
}

void JobEditor::SelectKind(JobKind kind) {
    kind_ = kind;
}

bool JobEditor::HourPanelVisible() const {
    return kind_ == JobKind::Daily || kind_ == JobKind::Weekly || kind_ == JobKind::Monthly;
}

std::string JobEditor::InfoLabel() const {
    if (kind_ == JobKind::Daily)
        return "em";
    if (kind_ == JobKind::Weekly)
        return "cada";
    if (kind_ == JobKind::Monthly)
        return "no";
    return {};
}

void JobEditor::SetDayChecked(int weekday, bool checked) {
    if (weekday >= 1 && weekday <= 7)
        days_[static_cast<std::size_t>(weekday)] = checked;
}

bool JobEditor::DayChecked(int weekday) const {
    return weekday >= 1 && weekday <= 7 && days_[static_cast<std::size_t>(weekday)];
}

ConfirmStep JobEditor::Confirm() const {
    using Action = ConfirmStep::Action;
    if (!kind_)
        return {};
    if (HourPanelVisible() && !ParseHourMinutes(hour_)) {
        return {Action::ShowMessage, ErrorMessage(kInvalidHourText), EditorFocus::Hour};
    }
    if (kind_ == JobKind::Daily) {
        bool any = false;
        for (int d = 1; d <= 7; ++d)
            any = any || DayChecked(d);
        if (!any)
            return {Action::ShowMessage, ErrorMessage(kNoDaysText), EditorFocus::None};
    }
    if (kind_ == JobKind::Weekly && !weekdayPosition_) {
        return {Action::ShowMessage, ErrorMessage(kNoWeekdayText), EditorFocus::WeekdayList};
    }
    if (FixedText<1>::TrimField(folder_).empty())
        return {};
    if (kind_ == JobKind::Monthly && dayOfMonth_.empty()) {
        return {Action::ShowMessage, ErrorMessage(kNoDayOfMonthText), EditorFocus::DayOfMonth};
    }
    return {Action::AskConfirmation, Question(kConfirmText), EditorFocus::None};
}

std::optional<std::size_t> JobEditor::Commit(CleaningJobs& table) const {
    CleaningJobs jobs = table;
    if (jobs.empty())
        jobs.emplace_back();
    std::size_t slot = 0;
    if (editIndex_ < 0) {
        if (!IsEmptySlot(jobs.back()))
            jobs.emplace_back();
        slot = jobs.size() - 1;
    } else {
        slot = static_cast<std::size_t>(editIndex_);
    }
    CleaningJob& job = jobs[slot];
    job.Path.Assign(folder_);
    job.Hour.Assign(hour_);
    job.Kind = static_cast<std::uint8_t>(kind_.value_or(JobKind::Daily));
    switch (kind_.value_or(JobKind::Daily)) {
        case JobKind::Daily: {
            std::string days;
            for (int d = 1; d <= 7; ++d) {
                if (!DayChecked(d))
                    continue;
                if (!days.empty())
                    days += '#';
                days += static_cast<char>('0' + d);
            }
            job.Days.Assign(days);
            break;
        }
        case JobKind::Weekly:
            job.Days.Assign(std::to_string(weekdayPosition_.value_or(0) + 1));
            break;
        case JobKind::Monthly:
            job.Days.Assign(dayOfMonth_);
            break;
        default:
            break;  // AtStart and Hourly keep the Days they had
    }
    job.SubDirs = subDirs_ ? 1 : 0;
    job.LastRun = 0;
    if (!SaveCleaningJobs(programDir_, jobs))
        return std::nullopt;
    table = std::move(jobs);
    return slot;
}

std::optional<Prompt> JobEditor::Cancel() const {
    if (folder_.empty())
        return std::nullopt;
    return Question(kCancelText);
}

}  // namespace vgx
