// fuzz_laser_par.cpp - any LASER.PAR: a laser job of two contours runs
// through the host and the module without a fault, with the same program
// with and without the call trace, and stops cleanly where the writer
// refuses.  The file is written into a folder of the process's own.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "job/job_reader.h"
#include "tests/fuzz/pipeline_run.h"

namespace {

// Sheet ST37 (3) of 2 mm, as the seeds' sections name it; two contours, the
// second after a punch hit, so that the parameters are looked for twice.
constexpr const char *LASER_JOB = R"j({
 "machine": {"laser_allowed": 2},
 "sheet": {"material": "ST37 (3)", "thickness": 2},
 "turret": [{"tool": 1, "station": 1}, {"tool": 99, "station": 20, "laser": true}],
 "laser_technologies": [{"number": 1, "feedrate": 25, "mode": 1, "m7x": 2, "s_value": 500}],
 "work": [
  {"laser_contour": {"technology": 1, "compensation": "left", "elements": [
    {"line": {"from": [100, 100], "to": [200, 100]}},
    {"arc": {"from": [200, 100], "to": [200, 200], "centre": [200, 150], "sense": "ccw"}},
    {"line": {"from": [200, 200], "to": [100, 100]}, "laser_off": 3}]}},
  {"hit": {"x": 300, "y": 300, "tool": 1}},
  {"laser_contour": {"technology": 1, "elements": [
    {"line": {"from": [400, 400], "to": [500, 400]}, "laser_off": 3}]}}
 ]})j";

const std::string &machine_dir() {
    static const std::string dir = [] {
        char folder[] = "/tmp/pelk_fuzz_laser_par_XXXXXX";
        if (mkdtemp(folder) == nullptr) std::abort();
        return std::string(folder);
    }();
    return dir;
}

const job::Job &laser_job() {
    static const job::Job job = [] {
        job::Job j = job::parse_job(LASER_JOB, "");
        j.machine.machine_dir = machine_dir();
        return j;
    }();
    return job;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string path = machine_dir() + "/LASER.PAR";
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
    unsigned pick = 0;
    for (std::size_t i = 0; i < size; ++i) pick = pick * 31 + data[i];
    fuzz::check_pipeline(laser_job(), pick);
    return 0;
}
