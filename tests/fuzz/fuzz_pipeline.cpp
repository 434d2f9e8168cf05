// fuzz_pipeline.cpp - any job the reader takes goes through the host and the
// module to NC text without a fault, writes the same program with and
// without the call trace, and stops cleanly where the writer refuses.
#include <cstddef>
#include <cstdint>
#include <string>

#include "job/job_reader.h"
#include "tests/fuzz/pipeline_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    job::Job job;
    try {
        job = job::parse_job(std::string(reinterpret_cast<const char *>(data), size), "");
    } catch (const job::JobError &) {
        return 0;
    }
    // LASER.PAR from the fuzz targets' own machine folder, never from a
    // folder the job names.
    job.machine.machine_dir = FUZZ_MACHINE_DIR;
    unsigned pick = 0;
    for (std::size_t i = 0; i < size; ++i) pick = pick * 31 + data[i];
    fuzz::check_pipeline(job, pick);
    return 0;
}
