// flow.h - the one way the module says whether a program goes on.
//
// The host's writer answers every flush; once it has refused, the program
// stops: whoever learns of it returns at once and writes nothing more.  Every
// routine of the module that flushes returns a Flow, and only the event hooks
// turn it into the host's int (0 written, 1 stop) with hook_result.
#pragma once

#include "interface/host_api.h"

namespace pelk {

enum class [[nodiscard]] Flow { go_on, stop };

// True when the program must stop here.
inline bool stopped(Flow flow) { return flow == Flow::stop; }

// Hands every block collected since the last flush to the host's writer.
inline Flow flush() { return flush_nc_buffer() > 0 ? Flow::stop : Flow::go_on; }

// Ends the block being written ("\r\n") and hands it to the writer.
inline Flow end_block_and_flush() {
    gen_nc_eob();
    return flush();
}

// Ends the block, hands it to the writer and, when the writer took it,
// begins the next block.  After a stop nothing more is written.
inline Flow end_block_flush_and_begin_next() {
    if (stopped(end_block_and_flush())) return Flow::stop;
    gen_nc_n();
    return Flow::go_on;
}

// A host dialogue (pp_wait_for_key) answers like the writer: above 0 is stop.
inline Flow from_answer(int answer) { return answer > 0 ? Flow::stop : Flow::go_on; }

// The result of an event hook as the host reads it: 0 go on, 1 stop.
inline int hook_result(Flow flow) { return stopped(flow) ? 1 : 0; }

}  // namespace pelk
