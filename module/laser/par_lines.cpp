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

// What the piece buffer holds before each read: any byte but zero.
constexpr char PIECE_FILL = '\xFF';

// Where the text of a piece ends.  The host's reader, like fgets, stores the
// characters it read and one zero behind them, and leaves the rest of the
// buffer as it was; the buffer was filled with PIECE_FILL, so the last zero
// is the end, also when the text itself holds zero bytes (which a plain
// strlen would take for its end, losing the line feed behind them and so
// joining the line to the next).
size_t piece_length(const char *piece) {
    for (size_t i = PAR_READ_LIMIT; i-- > 0;) {
        if (piece[i] == '\0') return i;
    }
    return PAR_READ_LIMIT - 1;  // no end stored: no more than the limit is taken
}

// Makes the next character available; false at the end of the file, and at
// the size limit.
bool fill(ParReader &r) {
    while (r.at >= r.length) {
        if (r.limit_reached) return false;
        memset(r.piece, PIECE_FILL, PAR_READ_LIMIT);
        if (f_get_string(r.piece, PAR_READ_LIMIT, r.file) == 0) return false;
        r.piece[PAR_LINE_SIZE - 1] = '\0';
        r.length = piece_length(r.piece);
        if (r.length > PAR_FILE_SIZE_MAX - r.bytes_read) {
            r.limit_reached = true;
            r.length = 0;
            return false;
        }
        r.bytes_read += r.length;
        r.at = 0;
        if (!r.started) {
            r.started = true;
            if (r.length >= UTF8_BYTE_ORDER_MARK_LENGTH &&
                memcmp(r.piece, UTF8_BYTE_ORDER_MARK, UTF8_BYTE_ORDER_MARK_LENGTH) == 0) {
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
    reader.bytes_read = 0;
    reader.limit_reached = false;
}

ParLine read_par_line(ParReader &reader, char (&line)[PAR_LINE_SIZE]) {
    line[0] = '\0';
    int c = next_char(reader);
    if (c == EOF) return ParLine::end;
    size_t stored = 0;
    bool too_long = false;
    bool zero_byte = false;
    while (c != EOF && c != '\n' && c != '\r') {
        if (c == '\0') {
            zero_byte = true;
            c = ZERO_BYTE_SHOWN;
        }
        if (stored < PAR_LINE_TEXT_MAX) line[stored++] = static_cast<char>(c);
        else too_long = true;
        c = next_char(reader);
    }
    line[stored] = '\0';
    if (reader.limit_reached) {
        line[0] = '\0';
        return ParLine::end;  // cut off by the limit: not a line of the file
    }
    if (c == '\r' && peek_char(reader) == '\n') (void)next_char(reader);
    if (too_long) return ParLine::too_long;
    return zero_byte ? ParLine::zero_byte : ParLine::line;
}

}  // namespace pelk
