#include "cleaning/jobs_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <optional>
#include <utility>

#include "records/file_io.h"

namespace vgx {

namespace {

constexpr std::size_t kPathAt = 0;
constexpr std::size_t kSubDirsAt = 1024;
constexpr std::size_t kKindAt = 1025;
constexpr std::size_t kHourAt = 1026;
constexpr std::size_t kDaysAt = 1031;
constexpr std::size_t kLastRunAt = 1046;

template <std::size_t N>
void Put(std::string& out, std::size_t at, const FixedText<N>& field) {
    std::memcpy(out.data() + at, field.Bytes().data(), N);
}

template <std::size_t N>
void Get(std::string_view in, std::size_t at, FixedText<N>& field) {
    std::memcpy(field.Bytes().data(), in.data() + at, N);
}

LocalDays LocalDayOf(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return DayOf(MakeLocalTime(tm.tm_year + 1900, static_cast<unsigned>(tm.tm_mon + 1),
                               static_cast<unsigned>(tm.tm_mday)));
}

}  // namespace

std::filesystem::path JobsFilePath(const std::filesystem::path& programDir) {
    return programDir / kJobsFileName;
}

std::string EncodeJobRecord(const CleaningJob& job) {
    std::string out(kJobRecordSize, '\0');
    Put(out, kPathAt, job.Path);
    out[kSubDirsAt] = static_cast<char>(job.SubDirs);
    out[kKindAt] = static_cast<char>(job.Kind);
    Put(out, kHourAt, job.Hour);
    Put(out, kDaysAt, job.Days);
    const auto bits = std::bit_cast<std::uint32_t>(job.LastRun);
    for (std::size_t i = 0; i < 4; ++i) {
        out[kLastRunAt + i] = static_cast<char>((bits >> (8 * i)) & 0xFFU);
    }
    return out;
}

CleaningJob DecodeJobRecord(std::string_view record) {
    CleaningJob job;
    Get(record, kPathAt, job.Path);
    job.SubDirs = static_cast<std::uint8_t>(record[kSubDirsAt]);
    job.Kind = static_cast<std::uint8_t>(record[kKindAt]);
    Get(record, kHourAt, job.Hour);
    Get(record, kDaysAt, job.Days);
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(record[kLastRunAt + i]))
                << (8 * i);
    }
    job.LastRun = std::bit_cast<float>(bits);
    return job;
}

CleaningJobs ParseCleaningJobs(std::string_view bytes) {
    CleaningJobs jobs;
    for (std::size_t at = 0; at + kJobRecordSize <= bytes.size(); at += kJobRecordSize) {
        CleaningJob job = DecodeJobRecord(bytes.substr(at, kJobRecordSize));
        if (!IsEmptySlot(job))
            jobs.push_back(job);
    }
    if (jobs.empty())
        jobs.emplace_back();
    return jobs;
}

std::string SerializeCleaningJobs(const CleaningJobs& jobs) {
    std::string out;
    for (const CleaningJob& job : jobs) {
        if (job.SubDirs >= kSubDirsMarkedForRemoval || IsEmptySlot(job))
            continue;
        out += EncodeJobRecord(job);
    }
    return out;
}

namespace {

struct JobsFileContent {
    std::string bytes;
    std::time_t written = 0;
};

// The file's bytes and modification time; an empty file when nothing exists under its name,
// nothing when what does cannot be read.
std::optional<JobsFileContent> ReadJobsFile(const std::filesystem::path& file) {
    if (NameIsFree(file))
        return JobsFileContent{};
    struct stat st {};
    std::optional<std::string> bytes = ReadFileContents(file);
    if (!bytes || ::stat(file.c_str(), &st) != 0)
        return std::nullopt;
    return JobsFileContent{std::move(*bytes), st.st_mtime};
}

}  // namespace

std::optional<CleaningJobs> ReadCleaningJobs(const std::filesystem::path& programDir) {
    const auto content = ReadJobsFile(JobsFilePath(programDir));
    if (!content)
        return std::nullopt;
    return ParseCleaningJobs(content->bytes);
}

std::optional<CleaningJobs> LoadCleaningJobs(const std::filesystem::path& programDir,
                                             LocalDays today) {
    const auto content = ReadJobsFile(JobsFilePath(programDir));
    if (!content)
        return std::nullopt;
    CleaningJobs jobs = ParseCleaningJobs(content->bytes);
    const bool staleMarks = LocalDayOf(content->written) < today;
    for (CleaningJob& job : jobs) {
        if (staleMarks || job.Kind == static_cast<std::uint8_t>(JobKind::AtStart)) {
            job.LastRun = 0;
        }
    }
    return jobs;
}

bool SaveCleaningJobs(const std::filesystem::path& programDir, const CleaningJobs& jobs) {
    return ReplaceFileContents(JobsFilePath(programDir), SerializeCleaningJobs(jobs));
}

}  // namespace vgx
