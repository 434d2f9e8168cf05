// machine_file.h - a machine file: the machine, the turret and the laser
// technologies of one machine, in a file of their own that many jobs name
// (a job's "machine_file", or pelk-post --machine).
//
// What a job gives itself wins key by key: the machine's keys one by one,
// the turret's stations by station number and tool, the technologies by
// number (join_turret, join_technologies).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "job/job.h"
#include "job/json_field.h"
#include "job/json_tree.h"

namespace job {

// The keys a machine file may hold ("$schema" names a schema for editors
// and is otherwise left alone).
inline constexpr std::string_view MACHINE_FILE_KEYS[] = {"$schema", "machine", "turret", "laser_technologies"};

// A machine file, read and checked with the job's own readers.
struct MachineFile {
    std::string name;            // its path, as messages name it
    std::string folder;          // a relative machine_dir in it is taken from here
    JsonTree tree;               // the whole file: its machine is read again under each job's
    std::size_t machine = 0;     // the machine object in tree, 0 when the file has none
    bool has_turret = false;
    std::vector<Station> turret;
    bool has_technologies = false;
    std::vector<LaserTechnology> technologies;
};

// Reads and checks the machine file at path.  Throws JobError: "cannot open
// the machine file PATH: reason", or the path followed by the place (line
// and column, or the JSON path) and what is wrong there.
MachineFile read_machine_file(const std::string &path);

// The path of the machine file a job names: taken from base_dir (the job's
// folder, "" for the current one) unless absolute.
std::string machine_file_path(const std::string &named, const std::string &base_dir);

// The turret of a job joined with its machine file's: every station of the
// job, after those of the file that no station of the job takes the place
// of.  A station of the job takes the place of the file's station of the
// same number, of the file's station of the same tool, and, when it is the
// laser head, of the file's laser head.  notes, when given, gets a line for
// each station of the file left out.
std::vector<Station> join_turret(const std::vector<Station> &file, const std::vector<Station> &job,
                                 std::vector<std::string> *notes);

// The laser technologies joined the same way: a technology of the job takes
// the place of the file's of the same number.
std::vector<LaserTechnology> join_technologies(const std::vector<LaserTechnology> &file,
                                               const std::vector<LaserTechnology> &job,
                                               std::vector<std::string> *notes);

// A line in notes for each key of the machine that the job gives as well
// as the file.  job_machine: the job's machine object as a tree of its own.
void note_machine_keys(const JsonField &file_machine, const JsonTree &job_machine, std::vector<std::string> &notes);

// The work and patterns of job read so far were checked against the turret
// before; refuses the first step that punches with a tool that is no punch
// of job.turret any more (a turret of the job, read after them, took the
// place of the machine file's station).
void check_punches_kept(const Job &job, const std::vector<Station> &before);

}  // namespace job
