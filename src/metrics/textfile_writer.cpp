#include "metrics/textfile_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "metrics/exposition.h"
#include "records/file_io.h"
#include "records/unique_fd.h"

namespace vgx {
namespace {

MetricsWriteResult Failure(std::string_view step, int error) {
    return {MetricsWriteResult::Status::Failed, error, step};
}

// A new file under `name`: created, never opened through a link or over something left there.
// Whatever holds the name (a file left by a crashed copy, a planted link) is unlinked first.
int CreateFresh(int dirFd, const char* name) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd =
            ::openat(dirFd, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
        if (::unlinkat(dirFd, name, 0) != 0 && errno != ENOENT)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace

MetricsFileWriter::MetricsFileWriter(std::filesystem::path dir, Log log)
    : dir_(std::move(dir)),
      // Per process, so two copies writing the same folder never share a temporary file.
      tempName_(std::string(".") + kMetricsFileName + "." + std::to_string(::getpid()) + ".tmp"),
      log_(std::move(log)) {}

MetricsWriteResult MetricsFileWriter::Write(const WatchdogMetrics& m) {
    return Enabled() ? Write(RenderMetrics(m)) : MetricsWriteResult{};
}

MetricsWriteResult MetricsFileWriter::Write(std::string_view text) {
    if (!Enabled())
        return {};
    const MetricsWriteResult result = WriteFile(text);
    if (result.Failed() && !failing_ && log_)
        log_(kLogMetricsFailed + FilePath().string() + " (" + std::string(result.step) + ": " +
             std::strerror(result.error) + ")");
    else if (!result.Failed() && failing_ && log_)
        log_(kLogMetricsWritten + FilePath().string());
    failing_ = result.Failed();
    return result;
}

MetricsWriteResult MetricsFileWriter::WriteFile(std::string_view text) const {
    const UniqueFd dirFd(::open(dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd)
        return Failure("abrir a pasta", errno);
    const char* temp = tempName_.c_str();
    UniqueFd fd(CreateFresh(dirFd.get(), temp));
    if (!fd)
        return Failure("criar", errno);

    MetricsWriteResult result{MetricsWriteResult::Status::Written, 0, {}};
    // Mode set on the descriptor, whatever the umask took away at creation.
    if (::fchmod(fd.get(), 0644) != 0)
        result = Failure("chmod", errno);
    else if (!WriteAll(fd.get(), text))
        result = Failure("gravar", errno);
    else if (::fsync(fd.get()) != 0)
        result = Failure("fsync", errno);
    if (::close(fd.release()) != 0 && !result.Failed())
        result = Failure("fechar", errno);
    if (!result.Failed() && ::renameat(dirFd.get(), temp, dirFd.get(), kMetricsFileName) != 0)
        result = Failure("renomear", errno);
    // The folder is not synced: after a crash the previous whole file may be back, and the next
    // write replaces it; that is worth no journal commit a cycle.
    if (result.Failed())
        ::unlinkat(dirFd.get(), temp, 0);
    return result;
}

}  // namespace vgx
