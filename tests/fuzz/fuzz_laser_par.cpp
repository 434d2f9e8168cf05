// fuzz_laser_par.cpp - any LASER.PAR: a laser job of two contours runs
// through the host and the module without a fault, with the same program
// with and without the call trace, and stops cleanly where the writer
// refuses.  The file is written into a folder of the process's own.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/laser_par_file.h"
#include "tests/fuzz/pipeline_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    fuzz::write_laser_par(data, size);
    unsigned pick = 0;
    for (std::size_t i = 0; i < size; ++i) pick = pick * 31 + data[i];
    fuzz::check_pipeline(fuzz::laser_job(), pick);
    return 0;
}
