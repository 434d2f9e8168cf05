// laser_par_section.h - the lines of LASER.PAR that the machine gets for a
// sheet: the section of the first header that fits its material and
// thickness.
#pragma once

#include <string>
#include <vector>

namespace verify {

struct LaserParSection {
    std::string path;                // the file read
    bool readable = false;           // it could be opened and read
    bool found = false;              // a header fits the sheet
    std::string header;              // that header's line, e.g. "@ST37,2"
    std::vector<std::string> lines;  // its data lines, in order, as the control gets them
};

// The section of machine_dir/LASER.PAR for the sheet.  The file's rules: a
// line ends at LF, CR LF or a lone CR; an empty line and one opening with
// ";" are skipped everywhere; "@material,thickness" opens a section (the
// name before the last comma matches the start of the sheet's material
// without regard to case, the thickness within 0.000001); the first fitting
// header selects its section, which runs to the next line opening with "@".
// Data lines the control cannot take as one block are no part of it: longer
// than 510 characters, holding a control character, opening with "%" (the
// program's end) or opening a comment with "(" that does not close.
LaserParSection read_laser_par_section(const std::string &machine_dir, const std::string &material,
                                       double thickness);

}  // namespace verify
