// fuzz_post_verify.cpp - any text as a job: a job the reader takes and the
// post writes whole (pelk-post's exit 0 or 3) is read back and must do what
// the job says, and the check must warn of exactly what the post warned of
// (as texts, each once), as the random jobs of the test command must.
// LASER.PAR comes from the fuzz targets' own machine folder.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "job/job_reader.h"
#include "tests/fuzz/pipeline_run.h"
#include "tests/property/post_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    job::Job job;
    try {
        job = job::parse_job(std::string(reinterpret_cast<const char *>(data), size), "");
    } catch (const job::JobError &) {
        return 0;
    }
    job.machine.machine_dir = FUZZ_MACHINE_DIR;
    fuzz::load_module_once();
    const property::PostCheck c = property::post_and_check(job);
    if (c.kind == property::PostCheck::Kind::fault) {
        std::fprintf(stderr, "posted, then read back: %s\nthe program:\n%.4000s\n", c.what.c_str(), c.program.c_str());
        std::abort();
    }
    return 0;
}
