// laser_par_file.h - the LASER.PAR targets' machine: a folder of the
// process's own that holds the file under test, and a laser job that reads
// it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "job/job.h"

namespace fuzz {

// The folder (made once, under /tmp) that the laser job takes as its
// machine_dir.
const std::string &laser_par_dir();

// Writes the bytes as LASER.PAR into that folder; aborts when it cannot.
void write_laser_par(const std::uint8_t *data, std::size_t size);

// A laser job on ST37 (3) of 2 mm, as the seeds' sections name it: two
// contours, the second after a punch hit, so that the parameters are looked
// for twice.
const job::Job &laser_job();

}  // namespace fuzz
