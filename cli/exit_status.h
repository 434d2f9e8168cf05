// exit_status.h - what pelk-post's exit status tells the caller.
#pragma once

namespace cli {

enum ExitStatus : int {
    written = 0,                // the whole NC program was written, no warnings
    not_written = 1,            // the job was refused or the program could not be written
    bad_command_line = 2,       // wrong options, or an output over a file the run reads; nothing was written
    written_with_warnings = 3,  // the whole program was written, but warnings were shown
};

}  // namespace cli
