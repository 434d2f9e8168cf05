// laser_par_file.cpp - the LASER.PAR targets' machine folder and laser job.
#include "tests/fuzz/laser_par_file.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "job/job_reader.h"

namespace fuzz {
namespace {

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

}  // namespace

const std::string &laser_par_dir() {
    static const std::string dir = [] {
        char folder[] = "/tmp/pelk_fuzz_laser_par_XXXXXX";
        if (mkdtemp(folder) == nullptr) std::abort();
        return std::string(folder);
    }();
    return dir;
}

void write_laser_par(const std::uint8_t *data, std::size_t size) {
    const std::string path = laser_par_dir() + "/LASER.PAR";
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    if (std::fclose(file) != 0) std::abort();
}

const job::Job &laser_job() {
    static const job::Job job = [] {
        job::Job j = job::parse_job(LASER_JOB, "");
        j.machine.machine_dir = laser_par_dir();
        return j;
    }();
    return job;
}

}  // namespace fuzz
