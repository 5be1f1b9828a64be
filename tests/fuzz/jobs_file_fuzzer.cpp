// Feeds arbitrary bytes to the folder.dat parser and checks what it gives back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cleaning/jobs_file.h"
#include "cleaning/scheduler.h"

namespace {

void Check(std::string_view bytes) {
    const std::size_t size = bytes.size();
    const vgx::CleaningJobs jobs = vgx::ParseCleaningJobs(bytes);
    if (jobs.empty() || jobs.size() > size / vgx::kJobRecordSize + 1)
        std::abort();
    // Whatever was loaded saves to whole records and loads back the same.
    const std::string saved = vgx::SerializeCleaningJobs(jobs);
    if (saved.size() % vgx::kJobRecordSize != 0)
        std::abort();
    if (vgx::SerializeCleaningJobs(vgx::ParseCleaningJobs(saved)) != saved)
        std::abort();
    for (const vgx::CleaningJob& job : jobs) {
        (void)job.Path.Text();
        (void)vgx::NumberValue(job.Days.Text());
        (void)vgx::ParseHourMinutes(job.Hour.Text());
        (void)vgx::IsJobDue(job, vgx::MakeLocalTime(2028, 2, 29, 0, 3));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Check(bytes);
    // Short inputs tiled into two whole records and a partial one, so every input reaches
    // the record decoder.
    if (size > 0 && size < 2 * vgx::kJobRecordSize) {
        std::string tiled;
        while (tiled.size() < 2 * vgx::kJobRecordSize + 100)
            tiled += bytes;
        Check(tiled.substr(0, 2 * vgx::kJobRecordSize + 100));
    }
    return 0;
}
