// host_state.h - the stand-in host's session: what it keeps besides the
// C variables of interface/host_api.h.  Shared by the files of this folder only.
#pragma once

#include <array>
#include <iostream>
#include <ostream>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/host.h"
#include "host/pattern_walk.h"
#include "job/job.h"
#include "interface/host_records.h"

namespace host::detail {

// One laser technology as the module reads it behind c_nc_laser_tt1.
struct TechnologyRecord {
    int number = 0;
    std::array<char, TT_RECORD_SIZE> bytes{};
};

struct Session {
    const job::Job *job = nullptr;          // the applied job, or none
    NcWriter *writer = nullptr;             // where flushes go; none refuses
    bool refused = false;                   // a flush was refused: refuse all later ones
    bool stop_on_warnings = false;          // a warning stops the program; pp_wait_for_key answers 1
    std::ostream *message_stream = &std::cerr; // prerr, pp_wait_for_key; none: not shown
    std::ostream *trace = nullptr;          // call trace, or none
    Accounting accounting;
    std::vector<std::string> messages;      // the message log, its first MAX_LOGGED_MESSAGES lines
    std::vector<MessageCount> message_counts;             // each text once, in order of first coming
    std::unordered_map<std::string, std::size_t> counted; // text -> its place in message_counts
    long message_total = 0;                 // messages of the run, repeats included
    // The laser technologies of the applied job by number (their place in
    // job->technologies), and the records made of them when the module is
    // first pointed at one: a job of many technologies that uses a few costs
    // a few records.  A record never moves once made.
    std::unordered_map<int, std::size_t> technology_at;
    std::unordered_map<int, TechnologyRecord> technology_records;
    // The patterns of the applied job as their calls need them, worked out
    // at the first call (see pattern_facts).
    std::vector<PatternFacts> pattern_facts;
    std::vector<bool> pattern_facts_known;
    std::span<const double> clamps;         // the applied job's clamp positions
    // Where the job has the tool after the step last walked, exactly (the
    // control's place may differ by the rounding of what was written): a
    // trap door opens at its distance from here.  In a pattern body, from
    // the body's origin.
    double job_x = 0.0;
    double job_y = 0.0;
    // In a pattern body the words are increments from where the control
    // stands.  From the body's origin each lands on the grid of written
    // values, until a command leaves the tool off it (nibbling, a bolt-hole
    // circle, a row at a slant): from then on a word puts the tool within
    // half a unit of its place, but not on the value written.
    bool body_on_grid = true;
    std::string machine_dir;                // without a trailing separator
    // ---- Message texts replaced by set_message_text ----
    std::vector<std::pair<int, std::string>> message_texts;
    // ---- The block map ----
    LineMap *line_map = nullptr;            // told of every flushed line, or none
    StepPlace place;                        // the step being driven
    StepPlace pending_place;                // the step that left text waiting in the NC line buffer
    std::size_t pending_bytes = 0;          // how much of the buffer's text is that step's
    long long next_line = 1;                // the number of the program's next line
    bool line_open = false;                 // the last flush ended inside a line
};

// The one session of the process (made at its first use); asked for at
// every host service, so reached without a call.
inline Session &session() {
    static Session s;
    return s;
}

// The hook table back at the host defaults (every hook a harmless no-op).
void install_default_hooks();

// The hook table as the module installed it; restored by reset_host.
void save_loaded_hooks();
void restore_loaded_hooks();

// The laser technology record of t, as the module reads it behind c_nc_laser_tt1.
TechnologyRecord technology_record(const job::LaserTechnology &t);

// Machine and sheet variables, clamps and machine directory from a job.
void apply_machine_and_sheet(const job::Job &job);

// Every C variable back to its value before any job: machine and sheet
// defaults, counters and the modal NC state of init_pp_variables.
void reset_variables();

// Station table from a turret (count and records at the byte offsets of
// interface/host_records.h); an empty turret clears the table.
void build_station_table(const std::vector<job::Station> &turret);

// The station record of a host tool, or null.
const job::Station *find_station(int tool);

// Between two operations the NC line buffer holds only what the module left
// for a later flush (plain moves, blocks written in passing).  When more than
// PENDING_TEXT_LIMIT characters wait there, they go to the writer at once, so
// that they never pile up however long the run of such operations.  Answers
// like flush_nc_buffer: 0, or 1 when the writer refused (also when it had
// refused before).
constexpr std::size_t PENDING_TEXT_LIMIT = 4096;
int limit_pending_text();

// The host starts driving another part of the job: what waits in the NC
// line buffer stays the previous part's (host/line_map.cpp).
void drive(const StepPlace &place);

// The lines of a flushed text, told to the block map.
void map_lines(const char *text, std::size_t length);

// Length of the text in the NC line buffer, never reading past its end.
std::size_t nc_text_length();

// A warning of the module or the host: logged, counted, and shown when its
// text comes for the first time.  Once the user asked to stop on warnings,
// every later flush is refused, so the program stops at its next block.
void report(const std::string &text);

// The JSON path of the step driven now: "/work/17", "/patterns/2/body/3",
// "/patterns/2" for a pattern's frame, "" for the program's own frame.
std::string step_path();

// Copies text into a fixed host array of size bytes, cut to fit, zero-terminated.
void copy_text(char *target, std::size_t size, const std::string &text);

}  // namespace host::detail
