// par_lines.h - LASER.PAR line by line, through the host's line reader.
//
// A line ends at a line feed, a carriage return and line feed, or a carriage
// return alone; the line end is not part of the line.  A UTF-8 byte-order
// mark at the start of the file is skipped.
#pragma once

#include <stddef.h>
#include <stdio.h>

namespace pelk {

constexpr size_t PAR_LINE_SIZE = 512;      // a line and its terminating zero, with room
constexpr size_t PAR_LINE_TEXT_MAX = 510;  // characters a line may hold

enum class ParLine {
    end,       // no more lines
    line,      // a line of at most PAR_LINE_TEXT_MAX characters
    too_long,  // a longer line, read to its end; what it held is not to be used
};

// The open file and the piece the host's reader delivered last.  Lives on
// the stack of the one call that reads the file.
struct ParReader {
    FILE *file;
    char piece[PAR_LINE_SIZE];
    size_t at;      // next character of piece
    size_t length;  // characters in piece
    bool started;   // the first piece was read (and its byte-order mark skipped)
};

void start_reading(ParReader &reader, FILE *file);

// The next line into line, zero-terminated.
ParLine read_par_line(ParReader &reader, char (&line)[PAR_LINE_SIZE]);

}  // namespace pelk
