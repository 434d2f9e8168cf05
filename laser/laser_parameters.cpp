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
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "laser/par_lines.h"
#include "plugin/hooks.h"
#include "interface/host_api.h"
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

// ASCII comparison without regard to case of the first length characters of
// name with text; text shorter than length does not match.
bool starts_with_name(const char *text, const char *name, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\0') return false;
        const int a = tolower(static_cast<unsigned char>(text[i]));
        const int b = tolower(static_cast<unsigned char>(name[i]));
        if (a != b) return false;
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
    return same_value(c_thickness, atof(comma + 1));
}

void report_line_too_long(const char *path, int line_number) {
    char detail[PATH_SIZE + 32];
    snprintf(detail, sizeof detail, "%s, line %d", path, line_number);
    prerr(1, "", LINE_TOO_LONG_TEXT, detail);
}

// Writes one data line as a block; false when the writer refused it.
bool write_data_line(const char *line) {
    nc_append(line);
    gen_nc_eob();
    if (flush_nc_buffer() > 0) return false;
    gen_nc_n();
    return true;
}

}  // namespace

void pp_laser_enable() {
    gen_nc_ni_off();
    gen_nc_hit_off();
    if (laser_par_loaded != 0) return;

    const char *directory = get_machine_dir_str();
    if (directory == nullptr) directory = "";
    char path[PATH_SIZE];
    const int length = snprintf(path, sizeof path, "%s%c%s", directory, PATH_SEPARATOR, FILE_NAME);
    if (length < 0 || static_cast<size_t>(length) >= sizeof path) {
        // Opening a cut-off path could read some other file.
        prerr(1, "", cmsg(MSG_CANNOT_OPEN), path);
        return;
    }

    FILE *file = fopen(path, "rb");
    if (file == nullptr) {
        prerr(1, "", cmsg(MSG_CANNOT_OPEN), path);
        return;
    }

    bool section_found = false;
    ParReader reader;
    start_reading(reader, file);
    char line[PAR_LINE_SIZE];
    int line_number = 0;
    for (ParLine kind; (kind = read_par_line(reader, line)) != ParLine::end;) {
        ++line_number;
        if (line[0] == '\0' || line[0] == ';') continue;
        if (line[0] == '@') {
            if (section_found) break;
            if (kind == ParLine::too_long) {
                report_line_too_long(path, line_number);
                continue;
            }
            section_found = header_fits_sheet(line);
            continue;
        }
        if (!section_found) continue;
        if (kind == ParLine::too_long) {
            report_line_too_long(path, line_number);
            continue;
        }
        if (!write_data_line(line)) {
            fclose(file);
            return;
        }
    }
    fclose(file);

    if (section_found) {
        laser_par_loaded = 1;
    } else {
        prerr(1, "", cmsg(MSG_NO_SECTION), path);
    }
}

void pp_laser_disable() {
    gen_nc_ni_off();
    if (c_nc_laser_head_down != 0) {
        gen_nc_m(23);
        gen_nc_eob();
        gen_nc_n();
        c_nc_laser_head_down = 0;
    }
}

}  // namespace pelk
