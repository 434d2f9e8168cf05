// program_alone.h - a program read without its job: what a shop has for the
// programs its CAM application wrote.  view, plot and stats take such a
// program, and so may every command that reads a program back.
//
// What the control and the drawing need comes from the program itself and
// from a machine file:
//   - the sheet's size and thickness from the program's header: the sheet
//     comment "(SHEET - 1.5 X 2500 Y 1250)" (or the material block
//     "MAT/B3 H1.5 X2500 Y1250"), its nest name from the comment before it,
//     the clamps from the clamp comment "(CLAMP 1 400 CLAMP 2 1300 )";
//   - the machine (units, load position, speeds) and the turret's shapes
//     from the machine file (--machine FILE); without one the machine's
//     defaults hold and each station is drawn as a marked point;
//   - lines of the machine's laser parameters ("LPAR/P1200F3000"), which
//     only the job's LASER.PAR section would name, stand as they are.
#pragma once

#include <cstdio>
#include <string>

#include "job/job.h"
#include "job/machine_file.h"
#include "nc/setup.h"

namespace cli {

// True when the file at path holds a program rather than a job: its first
// character that is not blank is not "{".  Standard input ("-") and a file
// that cannot be read count as a job (its reader names the fault).
bool holds_a_program(const std::string &path);

// A job that stands for the program: the machine file's machine and turret,
// the sheet read from the program's header, no work.  The program is read
// from its start and left at its start.  Throws job::JobError naming the
// program's line for a header the tool cannot take (a size that is no
// number).
job::Job job_of_program(std::FILE *program, const std::string &name, const job::MachineFile *machine_file);

// Where the header named the sheet (its comment or the material block) and
// the clamps; 0 where it did not, and the job's defaults hold.
struct HeaderLines {
    long long sheet = 0;
    long long clamps = 0;
};
job::Job job_of_program(std::FILE *program, const std::string &name, const job::MachineFile *machine_file,
                        HeaderLines &lines);

// The control as it stands when such a program starts: the machine's units
// and load position, the laser parameters' lines let stand.
nc::Setup setup_of_program(const job::Job &job);

}  // namespace cli
