// job_sections.h - readers of the parts of a job file before its work:
// machine, sheet, turret and laser technologies.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "job/job.h"
#include "job/json_field.h"

namespace job {

// Sets in m what the machine object f gives, every value checked; keys f
// leaves out keep their value in m.  base_dir: the folder a relative machine
// directory is taken from.  A job's machine is read onto its machine file's
// this way, so that what the job gives wins key by key.
void read_machine(const JsonField &f, const std::string &base_dir, Machine &m);
Sheet read_sheet(const JsonField &f);
std::vector<Station> read_turret(const JsonField &f);
std::vector<LaserTechnology> read_technologies(const JsonField &f);

// ---- The lists of the sections item by item, as the reader meets them ----
// One station of the turret list, after the stations read before it.
void read_station(const JsonField &list, const JsonField &item, std::vector<Station> &turret);
// One laser technology, after those read before it (their numbers in numbers).
void read_technology(const JsonField &item, std::vector<LaserTechnology> &list, std::set<int> &numbers);

}  // namespace job
