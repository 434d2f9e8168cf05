// par_section.h - LASER.PAR read once per program: the section that fits
// the sheet is kept in module state (laser_par_lines), whatever is wrong is
// reported then, and the outcome is remembered (laser_par_outcome).
#pragma once

namespace pelk {

// Reads LASER.PAR from the machine directory and sets laser_par_outcome:
// PAR_SECTION_KEPT with the section's data lines in laser_par_lines, or
// PAR_NOTHING_TO_WRITE after reporting why.  Writes nothing into the
// program.
void read_laser_par();

}  // namespace pelk
