#include "cleaning/job_list.h"

#include "cleaning/jobs_file.h"

namespace vgx {

JobListLines FillJobList(const CleaningJobs& jobs, const TextWidth& width, int available) {
    JobListLines lines;
    const std::size_t n = JobCount(jobs);
    lines.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        lines.push_back(
            {FitPathToWidth(jobs[i].Path.Text(), width, available), static_cast<int>(i)});
    }
    return lines;
}

std::optional<Prompt> DeleteQuestion(std::optional<std::size_t> selectedLine) {
    if (!selectedLine)
        return std::nullopt;
    return Question(kDeleteQuestionText);
}

DeleteOutcome DeleteJob(CleaningJobs& jobs, int index, const std::filesystem::path& programDir) {
    if (index < 0 || static_cast<std::size_t>(index) >= JobCount(jobs))
        return DeleteOutcome::NoSuchJob;
    CleaningJobs marked = jobs;
    marked[static_cast<std::size_t>(index)].SubDirs = kSubDirsMarkedForRemoval;
    if (!SaveCleaningJobs(programDir, marked))
        return DeleteOutcome::SaveFailed;
    // What was saved is what the file now holds: the table is rebuilt from the same bytes.
    jobs = ParseCleaningJobs(SerializeCleaningJobs(marked));
    return DeleteOutcome::Deleted;
}

void ReplaceLineAfterCommit(JobListLines& lines, std::optional<std::size_t> removedLine,
                            JobListLine added) {
    if (removedLine && *removedLine < lines.size()) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*removedLine));
    }
    lines.push_back(std::move(added));
}

}  // namespace vgx
