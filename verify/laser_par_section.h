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
    bool header_fits = false;        // a header fits the sheet
    bool found = false;              // and its section is taken whole
    std::string header;              // that header's line, e.g. "@ST37,2"
    std::vector<std::string> lines;  // its data lines, in order, as the control gets them
    // What the file gave to warn of, in the words the post warns with: lines
    // left out ("...: PATH, line 7"), a file or section too large to take.
    std::vector<std::string> warnings;
};

// The section of machine_dir/LASER.PAR for the sheet.  The file's rules: a
// UTF-8 byte-order mark at its start is skipped; a line ends at LF, CR LF or
// a lone CR; an empty line and one opening with ";" are skipped everywhere;
// "@material,thickness" opens a section (the name before the last comma
// matches the start of the sheet's material without regard to the case of
// its ASCII letters, the thickness within 0.000001); the first fitting
// header selects its section, which runs to the next line opening with "@".
// Only the first 4 MiB of the file are read.  A line of the section (or a
// header) longer than 510 characters or holding a zero byte is left out; so
// is a data line the control cannot take as one parameter block: holding a
// control character, opening with "%" (the program's end) or "(" (a comment),
// opening a comment with "(" that does not close or closing one it did not
// open.  A section of more than 16383 bytes (each line with its end) is not
// taken at all.  A zero byte anywhere in the part of the file the post reads
// (up to the end of the section taken, or the whole file) is warned of as the
// post's host warns of it: the file is no text file.
LaserParSection read_laser_par_section(const std::string &machine_dir, const std::string &material,
                                       double thickness);

}  // namespace verify
