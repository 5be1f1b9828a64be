#include "cleaning/jobs_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <optional>
#include <system_error>
#include <utility>

#include "records/utility_object.h"

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

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

void WriteAll(int fd, std::string_view data, const std::string& what) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno(what);
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
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

// The file's bytes and its modification time; nullopt when it does not exist.
std::optional<std::pair<std::string, std::time_t>> ReadJobsFile(const std::filesystem::path& file) {
    if (!UtilityObject::FileExists(file))
        return std::nullopt;
    Fd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT)
            return std::nullopt;
        ThrowErrno("open " + file.string());
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        ThrowErrno("stat " + file.string());
    std::string bytes;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ThrowErrno("read " + file.string());
        }
        if (n == 0)
            break;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    return std::pair{std::move(bytes), st.st_mtime};
}

}  // namespace

CleaningJobs ReadCleaningJobs(const std::filesystem::path& programDir) {
    auto content = ReadJobsFile(JobsFilePath(programDir));
    if (!content)
        return CleaningJobs(1);
    return ParseCleaningJobs(content->first);
}

CleaningJobs LoadCleaningJobs(const std::filesystem::path& programDir, LocalDays today) {
    auto content = ReadJobsFile(JobsFilePath(programDir));
    if (!content)
        return CleaningJobs(1);
    CleaningJobs jobs = ParseCleaningJobs(content->first);
    const bool staleMarks = LocalDayOf(content->second) < today;
    for (CleaningJob& job : jobs) {
        if (staleMarks || job.Kind == static_cast<std::uint8_t>(JobKind::AtStart)) {
            job.LastRun = 0;
        }
    }
    return jobs;
}

void SaveCleaningJobs(const std::filesystem::path& programDir, const CleaningJobs& jobs) {
    const std::filesystem::path file = JobsFilePath(programDir);
    std::string tmpl = file.string() + ".XXXXXX";
    Fd fd(::mkostemp(tmpl.data(), O_CLOEXEC));
    if (fd.get() < 0)
        ThrowErrno("create " + tmpl);
    try {
        struct stat old {};
        const mode_t mode = ::stat(file.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
        if (::fchmod(fd.get(), mode) != 0)
            ThrowErrno("chmod " + tmpl);
        WriteAll(fd.get(), SerializeCleaningJobs(jobs), "write " + tmpl);
        if (::fsync(fd.get()) != 0)
            ThrowErrno("fsync " + tmpl);
        if (::close(fd.release()) != 0)
            ThrowErrno("close " + tmpl);
        if (::rename(tmpl.c_str(), file.c_str()) != 0)
            ThrowErrno("rename " + tmpl);
    } catch (...) {
        ::unlink(tmpl.c_str());
        throw;
    }
    Fd dir(::open(programDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

}  // namespace vgx
