// The laser parameter blocks from LASER.PAR in the machine directory, and
// lifting the laser head before other work.
//
// LASER.PAR is a text file of sections, one per material and thickness:
//
//   ; comment
//   @ST,2          header: material name (a prefix, any case), last comma, thickness
//   data line      copied into the program unchanged, one block each
//
// A section runs to the next line that begins with '@'.  Only the first
// section whose header fits the sheet is written, once per program.
#include <stdio.h>
#include <string.h>

#include "interface/host_api.h"
#include "laser/par_lines.h"
#include "plugin/blocks.h"
#include "plugin/hooks.h"
#include "plugin/nc_codes.h"
#include "plugin/nc_text.h"
#include "plugin/plugin_state.h"

namespace pelk {

namespace {

constexpr int MSG_CANNOT_OPEN = 1311;   // the file cannot be opened
constexpr int MSG_NO_SECTION = 1318;    // no section fits the sheet

#ifdef _WIN32
constexpr char PATH_SEPARATOR = '\\';
#else
constexpr char PATH_SEPARATOR = '/';
#endif
constexpr const char *FILE_NAME = "LASER.PAR";

constexpr size_t PATH_SIZE = 512;
// Shown for a line longer than the reader can deliver in one piece.
constexpr const char *LINE_TOO_LONG_TEXT =
    "Line of the laser parameter file longer than 510 characters, skipped";

// Lower case of an ASCII letter; every other byte as it is.  (tolower would
// follow the host's locale.)
int ascii_lower(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte;
}

// ASCII comparison without regard to case of the first length characters of
// name with text; text shorter than length does not match.
bool starts_with_name(const char *text, const char *name, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\0') return false;
        if (ascii_lower(text[i]) != ascii_lower(name[i])) return false;
    }
    return true;
}

// "@material,thickness": split at the last comma; the material name is a
// prefix of the sheet's material, the thickness equal to within 1e-6.
bool header_fits_sheet(const char *header) {
    const char *comma = strrchr(header, ',');
    if (comma == nullptr) return false;
    const char *name = header + 1;
    const size_t name_length = static_cast<size_t>(comma - name);
    if (!starts_with_name(c_material, name, name_length)) return false;
    return same_value(c_thickness, read_double(comma + 1));
}

void report_line_too_long(const char *path, int line_number) {
    char detail[PATH_SIZE + 32];
    snprintf(detail, sizeof detail, "%s, line %d", path, line_number);
    prerr(1, "", LINE_TOO_LONG_TEXT, detail);
}

// Writes one data line as a block of its own, flushed at once.
Flow write_data_line(const char *line) {
    nc_append(line);
    return end_block_flush_and_begin_next();
}

// Opens LASER.PAR in the machine directory, its path left in path.  A file
// that cannot be opened is reported and answered with nullptr.
FILE *open_parameter_file(char (&path)[PATH_SIZE]) {
    const char *directory = get_machine_dir_str();
    if (directory == nullptr) directory = "";
    const int length = snprintf(path, sizeof path, "%s%c%s", directory, PATH_SEPARATOR, FILE_NAME);
    if (length < 0 || static_cast<size_t>(length) >= sizeof path) {
        // Opening a cut-off path could read some other file.
        prerr(1, "", cmsg(MSG_CANNOT_OPEN), path);
        return nullptr;
    }
    FILE *file = fopen(path, "rb");
    if (file == nullptr) prerr(1, "", cmsg(MSG_CANNOT_OPEN), path);
    return file;
}

// What the search for the sheet's section found, and whether the program
// goes on after the blocks it wrote.
struct SectionCopy {
    bool found = false;
    Flow flow = Flow::go_on;
};

// Reads the file up to the end of the first section whose header fits the
// sheet and writes that section's data lines.  Blank lines and comments are
// skipped everywhere; a line too long for the reader is reported and
// skipped, so a cut-off header never matches and a cut-off line is never
// written.
SectionCopy copy_fitting_section(FILE *file, const char *path) {
    SectionCopy copy;
    ParReader reader;
    start_reading(reader, file);
    char line[PAR_LINE_SIZE];
    int line_number = 0;
    for (ParLine kind; (kind = read_par_line(reader, line)) != ParLine::end;) {
        ++line_number;
        if (line[0] == '\0' || line[0] == ';') continue;
        const bool header = line[0] == '@';
        if (header && copy.found) break;      // the fitting section has ended
        if (!header && !copy.found) continue; // data of a section not taken
        if (kind == ParLine::too_long) {
            report_line_too_long(path, line_number);
            continue;
        }
        if (header) {
            copy.found = header_fits_sheet(line);
        } else if (stopped(write_data_line(line))) {
            copy.flow = Flow::stop;
            break;
        }
    }
    return copy;
}

}  // namespace

void pp_laser_enable() {
    gen_nc_ni_off();
    gen_nc_hit_off();
    if (laser_par_loaded != 0) return;

    // ---- 1. The file in the machine directory ----------------------------
    char path[PATH_SIZE];
    FILE *file = open_parameter_file(path);
    if (file == nullptr) return;

    // ---- 2. The sheet's section, block by block --------------------------
    const SectionCopy copy = copy_fitting_section(file, path);
    fclose(file);
    if (stopped(copy.flow)) return;

    // ---- 3. Once per program; a sheet without a section is reported ------
    if (copy.found) {
        laser_par_loaded = 1;
    } else {
        prerr(1, "", cmsg(MSG_NO_SECTION), path);
    }
}

void pp_laser_disable() {
    gen_nc_ni_off();
    if (c_nc_laser_head_down != 0) {
        write_m_block(M_LASER_HEAD_UP, Numbering::after);
        c_nc_laser_head_down = 0;
    }
}

}  // namespace pelk
