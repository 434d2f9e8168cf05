// par_lines.h - LASER.PAR line by line, through the host's line reader.
//
// A line ends at a line feed, a carriage return and line feed, or a carriage
// return alone; the line end is not part of the line.  A UTF-8 byte-order
// mark at the start of the file is skipped.  No more than PAR_FILE_SIZE_MAX
// bytes of a file are read: a file that goes on beyond them (a wrong file,
// /dev/zero) ends there, and the reader says so.
#pragma once

#include <stddef.h>
#include <stdio.h>

namespace pelk {

constexpr size_t PAR_LINE_SIZE = 512;      // a line and its terminating zero, with room
constexpr size_t PAR_LINE_TEXT_MAX = 510;  // characters a line may hold

// Bytes of LASER.PAR read at most.  A parameter file of a real machine holds
// a few kilobytes; this is a thousand times as much.
constexpr size_t PAR_FILE_SIZE_MAX = 4u * 1024u * 1024u;

enum class ParLine {
    end,        // no more lines (or the size limit was reached: see ParReader)
    line,       // a line of at most PAR_LINE_TEXT_MAX characters
    too_long,   // a longer line, read to its end; what it held is not to be used
    zero_byte,  // a line that holds a zero byte, read to its end; in what is
                // stored each zero byte stands as ZERO_BYTE_SHOWN, the rest
                // is not to be used
};

// What stands in a line for a zero byte of the file.
constexpr char ZERO_BYTE_SHOWN = '?';

// The open file and the piece the host's reader delivered last.  Lives on
// the stack of the one call that reads the file.
struct ParReader {
    FILE *file;
    char piece[PAR_LINE_SIZE];
    size_t at;           // next character of piece
    size_t length;       // characters in piece, zero bytes of the file included
    bool started;        // the first piece was read (and its byte-order mark skipped)
    size_t bytes_read;   // bytes of the file taken so far
    bool limit_reached;  // the file goes on beyond PAR_FILE_SIZE_MAX bytes: reading stopped
};

void start_reading(ParReader &reader, FILE *file);

// The next line into line, zero-terminated.  A line that the size limit
// cuts off is not delivered.
ParLine read_par_line(ParReader &reader, char (&line)[PAR_LINE_SIZE]);

}  // namespace pelk
