// host.h - the stand-in host: loads the pelk1 module, holds the host's state
// and drives the module's hooks for a job.
//
// The host's C names (c_* variables, the pp_* hook table, gen_nc_* and the
// other services) are declared in interface/host_api.h and defined in this
// folder.  This header is the C++ side that the command-line tool and the
// tests use.  Everything runs on one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "job/job.h"

namespace host {

// ---- The writer behind flush_nc_buffer -----------------------------------

// Where flushed NC text goes.  write() answers false when the text could not
// be written; from then on the host refuses every later flush too.
class NcWriter {
public:
    virtual ~NcWriter() = default;
    virtual bool write(const char *text, std::size_t length) = 0;
};

// Keeps every flushed piece in memory.  refuse_from(n) makes the n-th flush
// (counted from 1) and every later one fail, for testing the stop paths.
class MemoryWriter : public NcWriter {
public:
    bool write(const char *text, std::size_t length) override;
    void refuse_from(int flush_number) { refuse_from_ = flush_number; }
    const std::vector<std::string> &pieces() const { return pieces_; }
    std::string text() const;  // all pieces joined
    int flushes() const { return flushes_; }  // flushes seen, refused ones included

private:
    std::vector<std::string> pieces_;
    int flushes_ = 0;
    int refuse_from_ = 0;  // 0: never refuse
};

// ---- Which step of the job wrote which line ------------------------------------

// The part of the job the host drives while the module writes.
struct StepPlace {
    enum class Part : unsigned char { header, pattern, pattern_step, work_step, trailer };
    Part part = Part::header;       // header: the frame before the body, with the M20 after the patterns
    std::uint32_t body_index = 0;   // pattern_step: the step of the pattern's body
    std::size_t index = 0;          // pattern, pattern_step: the pattern in job.patterns; work_step: the step in job.work
};

// Told at every flush which lines of the program the flushed text begins,
// counted from 1, and the place of the job that wrote them.  Text that a step
// left in the NC line buffer (a plain move waits there) counts for that step
// even when a later one flushes it; a laser block held back by the module
// counts for the step that flushes it.
class LineMap {
public:
    virtual ~LineMap() = default;
    virtual void lines(long long first_line, long long count, const StepPlace &place) = 0;
};

// The map told of the next programs' lines; none: no map is kept.
void set_line_map(LineMap *map);

// ---- Module loading ---------------------------------------------------------

// Loads the module (dlopen, or LoadLibrary on Windows) and installs its
// hooks with post_dll_set_pp_vars.  Answers false with a one-line reason in error.
// Loading the same path again only installs the hooks again.
bool load_module(const std::string &path, std::string &error);

// Installs the hooks of a module whose export is at hand already (a module
// linked into the executable, as the white-box tests do): the hook table is
// put back to the host defaults, then install fills it.
void install_module(void (*install)(void));

// Path of the module built beside the running executable ("pelk1.so", or
// "pelk1.dll" on Windows, in the executable's directory).
std::string default_module_path();

// ---- Host state ----------------------------------------------------------------

// Puts every host variable back to its value before any job: the NC line
// buffer empty, the hook table as loaded, modal state of init_pp_variables,
// machine and sheet defaults, empty turret and work list, no writer, no
// trace, counters and message log cleared.  Keeps the installed hooks.
void reset_host();

// Sets the host's variables and records from a job: machine and sheet
// variables, the station table, the laser technology records, the clamp
// positions and the work list walked by gen_nc_short_sims.  The job must
// stay alive while the host uses it.
void apply_job(const job::Job &job);

// The writer that flush_nc_buffer hands the NC text to (none: every flush
// is refused).  A new writer also clears the refused state.
void set_writer(NcWriter *writer);

// When set, every hook call made by the host and every host service called by
// the module is written to out, one line each.
void set_trace(std::ostream *out);

// When set, a warning stops the program: pp_wait_for_key answers "stop"
// instead of "go on", and every flush after a warning is refused, so that the
// module stops at its next block.  Warnings are then shown as errors.
void set_stop_on_warnings(bool stop);

// Where host messages (prerr, pp_wait_for_key) are shown; standard error by
// default, none: not shown (they are still logged and counted, see
// messages() and message_counts()).  Each text is shown once, when it first
// comes, as "pelk-post: warning: <text>".
void set_message_stream(std::ostream *out);

// Shows, for every message that came more than once, its text and how often
// it came: "pelk-post: warning: <text> (<n> times in all)".
void show_repeated_messages();

// Replaces the host's text of message n until reset_host, for texts that the
// module has to take whatever they hold.
void set_message_text(int n, const std::string &text);

// ---- What the host saw ---------------------------------------------------------

// Accounting calls of the module, counted.
struct Accounting {
    int tool_changes = 0;      // te_update_tool
    int index_changes = 0;     // te_update_index
    int hits = 0;              // te_update_hit
    int cuts = 0;              // te_update_cut
    int bolt_hole_circles = 0; // te_update_bhc
    int form_activations = 0;  // hz_make_all_forms_active
};
const Accounting &accounting();

// Every message of prerr or pp_wait_for_key, in order, one line each:
// "warning: <title> <text>: <detail>" or "warning: <text>".  Only the first
// MAX_LOGGED_MESSAGES are kept; message_counts() counts them all.
constexpr std::size_t MAX_LOGGED_MESSAGES = 1000;
const std::vector<std::string> &messages();

// Each message text once, in the order they first came, with how often.
struct MessageCount {
    std::string text;
    long count = 0;
};
const std::vector<MessageCount> &message_counts();

// Messages of the run, repeats included; 0 when the module showed none.
long message_total();

// How often the message text came in the run (as shown, without
// "warning: "); 0 for a text that never came.
long message_count(const std::string &text);

// ---- Running a program -------------------------------------------------------------

// Applies the job, points flush_nc_buffer at writer and calls pp_main through
// the hook table.  Answers pp_main's result: 0 when the whole program was
// written, 1 when output stopped.
int run_program(const job::Job &job, NcWriter &writer);

}  // namespace host
