// LASER.PAR is a text file of sections, one per material and thickness:
//
//   ; comment
//   @ST,2          header: material name (a prefix, any case), last comma, thickness
//   data line      copied into the program unchanged, one block each
//
// A section runs to the next line that begins with '@'.  Only the first
// section whose header fits the sheet is taken.  A data line of it that the
// control would read as more than one block is left out with a warning
// (par_line_check.h); so is a line too long for the reader, or one that
// holds a zero byte.  The section is kept whole or not at all: one that does
// not fit laser_par_lines, or that the size limit of the file cuts off, is
// reported and not written (a part of the parameters is no set of them).
#include "laser/par_section.h"

#include <stdio.h>
#include <string.h>

#include "interface/host_api.h"
#include "laser/par_line_check.h"
#include "laser/par_lines.h"
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
constexpr size_t DETAIL_SIZE = PATH_SIZE + 64;
constexpr size_t TEXT_SIZE = 160;

constexpr char HEADER_MARK = '@';
constexpr char COMMENT_MARK = ';';
constexpr char LINE_END = '\n';  // ends each line in laser_par_lines

// The module's own warnings (the host has no message text for them).
constexpr const char *LINE_TOO_LONG_TEXT =
    "Line of the laser parameter file longer than 510 characters, skipped";
constexpr const char *ZERO_BYTE_TEXT = "Line of the laser parameter file holds a zero byte, skipped";

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

void report(const char *text, const char *path) { prerr(1, "", text, path); }

void report_line(const char *text, const char *path, int line_number) {
    char detail[DETAIL_SIZE];
    snprintf(detail, sizeof detail, "%s, line %d", path, line_number);
    prerr(1, "", text, detail);
}

// Opens LASER.PAR in the machine directory, its path left in path.  A file
// that cannot be opened is reported and answered with nullptr.
FILE *open_parameter_file(char (&path)[PATH_SIZE]) {
    const char *directory = get_machine_dir_str();
    if (directory == nullptr) directory = "";
    const int length = snprintf(path, sizeof path, "%s%c%s", directory, PATH_SEPARATOR, FILE_NAME);
    if (length < 0 || static_cast<size_t>(length) >= sizeof path) {
        // Opening a cut-off path could read some other file.
        report(cmsg(MSG_CANNOT_OPEN), path);
        return nullptr;
    }
    FILE *file = fopen(path, "rb");
    if (file == nullptr) report(cmsg(MSG_CANNOT_OPEN), path);
    return file;
}

// What the search for the sheet's section found.
enum class Section {
    not_found,
    kept,       // whole, in laser_par_lines
    too_large,  // more than laser_par_lines holds
};

struct SectionScan {
    Section section = Section::not_found;
    int header_line = 0;          // line of the fitting header
    bool limit_reached = false;   // the file goes on beyond PAR_FILE_SIZE_MAX bytes
};

// Appends a data line to laser_par_lines; false when it does not fit.
bool keep_line(const char *line, size_t &used) {
    const size_t length = strlen(line);
    if (length + 1 >= LASER_PAR_LINES_SIZE - used) return false;
    memcpy(laser_par_lines + used, line, length);
    used += length;
    laser_par_lines[used++] = LINE_END;
    laser_par_lines[used] = '\0';
    return true;
}

// Reads the file up to the end of the first section whose header fits the
// sheet and keeps that section's data lines.  Blank lines and comments are
// skipped everywhere; a line too long for the reader or holding a zero byte
// is reported and skipped, so a cut-off header never matches and such a
// line is never written; data lines the control would misread are reported
// and skipped as well.
SectionScan scan_file(FILE *file, const char *path) {
    SectionScan scan;
    bool found = false;
    size_t used = 0;
    laser_par_lines[0] = '\0';

    ParReader reader;
    start_reading(reader, file);
    char line[PAR_LINE_SIZE];
    int line_number = 0;
    for (ParLine kind; (kind = read_par_line(reader, line)) != ParLine::end;) {
        ++line_number;
        if (line[0] == '\0' || line[0] == COMMENT_MARK) continue;
        const bool header = line[0] == HEADER_MARK;
        if (header && found) break;        // the fitting section has ended
        if (!header && !found) continue;   // data of a section not taken
        if (kind == ParLine::too_long) {
            report_line(LINE_TOO_LONG_TEXT, path, line_number);
            continue;
        }
        if (kind == ParLine::zero_byte) {
            report_line(ZERO_BYTE_TEXT, path, line_number);
            continue;
        }
        if (header) {
            found = header_fits_sheet(line);
            scan.header_line = line_number;
            continue;
        }
        if (const char *fault = data_line_fault(line)) {
            report_line(fault, path, line_number);
            continue;
        }
        if (!keep_line(line, used)) {
            scan.section = Section::too_large;
            return scan;
        }
    }
    scan.limit_reached = reader.limit_reached;
    if (found) scan.section = Section::kept;
    return scan;
}

}  // namespace

void read_laser_par() {
    laser_par_outcome = PAR_NOTHING_TO_WRITE;
    laser_par_lines[0] = '\0';

    // ---- 1. The file in the machine directory ----------------------------
    char path[PATH_SIZE];
    FILE *file = open_parameter_file(path);
    if (file == nullptr) return;

    // ---- 2. The sheet's section, kept line by line ----------------------
    const SectionScan scan = scan_file(file, path);
    fclose(file);

    // ---- 3. What was found, reported once for the program ----------------
    char text[TEXT_SIZE];
    if (scan.limit_reached) {
        snprintf(text, sizeof text, "Laser parameter file longer than %lu bytes, read no further",
                 static_cast<unsigned long>(PAR_FILE_SIZE_MAX));
        report(text, path);
    }
    switch (scan.section) {
    case Section::not_found:
        report(cmsg(MSG_NO_SECTION), path);
        return;
    case Section::too_large:
        snprintf(text, sizeof text, "Section of the laser parameter file longer than %d bytes, not written",
                 LASER_PAR_LINES_SIZE - 1);
        report_line(text, path, scan.header_line);
        return;
    case Section::kept:
        break;
    }
    if (scan.limit_reached) {
        // The section ran up to the limit: its end was never seen.
        snprintf(text, sizeof text,
                 "Section of the laser parameter file does not end within its first %lu bytes, not written",
                 static_cast<unsigned long>(PAR_FILE_SIZE_MAX));
        report_line(text, path, scan.header_line);
        laser_par_lines[0] = '\0';
        return;
    }
    laser_par_outcome = PAR_SECTION_KEPT;
}

}  // namespace pelk
