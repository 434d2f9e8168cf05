// LASER.PAR line by line: the host's reader delivers pieces up to a line feed
// (at most PAR_READ_LIMIT - 1 characters each); the lines are cut from them
// here, so that a carriage return alone ends a line as well.
#include "laser/par_lines.h"

#include <string.h>

#include "interface/host_api.h"

namespace pelk {

namespace {

constexpr int PAR_READ_LIMIT = 511;  // the read limit handed to f_get_string
constexpr const char UTF8_BYTE_ORDER_MARK[] = "\xEF\xBB\xBF";
constexpr size_t UTF8_BYTE_ORDER_MARK_LENGTH = sizeof UTF8_BYTE_ORDER_MARK - 1;

// Makes the next character available; false at the end of the file.
bool fill(ParReader &r) {
    while (r.at >= r.length) {
        if (f_get_string(r.piece, PAR_READ_LIMIT, r.file) == 0) return false;
        r.piece[PAR_LINE_SIZE - 1] = '\0';
        r.length = strlen(r.piece);  // a zero byte ends what the piece holds
        r.at = 0;
        if (!r.started) {
            r.started = true;
            if (strncmp(r.piece, UTF8_BYTE_ORDER_MARK, UTF8_BYTE_ORDER_MARK_LENGTH) == 0) {
                r.at = UTF8_BYTE_ORDER_MARK_LENGTH;
            }
        }
    }
    return true;
}

int next_char(ParReader &r) { return fill(r) ? static_cast<unsigned char>(r.piece[r.at++]) : EOF; }

int peek_char(ParReader &r) { return fill(r) ? static_cast<unsigned char>(r.piece[r.at]) : EOF; }

}  // namespace

void start_reading(ParReader &reader, FILE *file) {
    reader.file = file;
    reader.piece[0] = '\0';
    reader.at = 0;
    reader.length = 0;
    reader.started = false;
}

ParLine read_par_line(ParReader &reader, char (&line)[PAR_LINE_SIZE]) {
    line[0] = '\0';
    int c = next_char(reader);
    if (c == EOF) return ParLine::end;
    size_t stored = 0;
    bool too_long = false;
    while (c != EOF && c != '\n' && c != '\r') {
        if (stored < PAR_LINE_TEXT_MAX) line[stored++] = static_cast<char>(c);
        else too_long = true;
        c = next_char(reader);
    }
    if (c == '\r' && peek_char(reader) == '\n') (void)next_char(reader);
    line[stored] = '\0';
    return too_long ? ParLine::too_long : ParLine::line;
}

}  // namespace pelk
