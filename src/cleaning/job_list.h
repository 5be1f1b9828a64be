#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cleaning/cleaning_job.h"
#include "cleaning/path_fit.h"
#include "records/prompt.h"

namespace vgx {

// One line of the main window's job list: its text and its item data (the job's index).
struct JobListLine {
    std::string Text;
    int ItemData = 0;

    bool operator==(const JobListLine&) const = default;
};
using JobListLines = std::vector<JobListLine>;

// The list's lines in table order; none when the table holds no jobs.
JobListLines FillJobList(const CleaningJobs& jobs, const TextWidth& width, int available);

// The delete button: with no line selected nothing happens (nullopt); otherwise the question
// to ask before DeleteJob.
std::optional<Prompt> DeleteQuestion(std::optional<std::size_t> selectedLine);
inline constexpr const char* kDeleteQuestionText =
    "Você realmente deseja excluir permanentemente esse registro?";

enum class DeleteOutcome { Deleted, NoSuchJob, SaveFailed };

// Marks the job, rewrites folder.dat without it and reads the table back; the remaining jobs
// keep their order and are renumbered from 0. The table is unchanged unless Deleted.
DeleteOutcome DeleteJob(CleaningJobs& jobs, int index, const std::filesystem::path& programDir);

// The list after the editor confirmed: an edited job's line (the selected one) is removed
// and the job's line is added at the end.
void ReplaceLineAfterCommit(JobListLines& lines, std::optional<std::size_t> removedLine,
                            JobListLine added);

}  // namespace vgx
