// work_steps.h - the kinds of work step: one reader per kind, all of them
// registered in one table (job/work_steps.cpp).
//
// Adding a kind of step: its model in job/job.h (an alternative of
// Operation, lists of its own in a side array of the job), its reader in a
// file of its own, declared below and registered in the table, and its walk
// in the host (host/program_driver.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "job/flat_body.h"
#include "job/job.h"
#include "job/json_field.h"

namespace job {

// What the readers of work steps share: the job being read and the checks
// of what a step refers to.  The turret and the laser technologies may stand
// after the work in the file; a reference read before them is checked when
// the whole file has been read.
class WorkContext {
public:
    explicit WorkContext(Job &job) : job_(job) {}

    Job &job() { return job_; }

    // Refuses unless tool is a punch of the turret (not the laser head).
    void require_punch(const JsonField &field, int tool);
    // True when the turret has been read and tool is a punch of it.
    bool known_punch(int tool) const;
    // Refuses unless number is one of the laser technologies.
    void require_technology(const JsonField &field, int number);

    // The turret or the technologies have been read: references are checked
    // at once from now on.  Until they are complete (a machine file or the
    // job's own may still add to them) a reference found in them is taken,
    // and one not found waits for the end.  A turret may also change (the
    // job's own takes stations of the machine file's): the reader then
    // checks again what was read.
    void turret_known(bool complete = true);
    void technologies_known(bool complete = true);

    // The repositioning at this place of the work takes the machine's clamp
    // travel, which may stand after it in the file: filled in by finish().
    void use_machine_clamp_travel(std::size_t work_index);
    // ---- A laser cut that a step leaves open (its last element has
    // laser_off 0): only the next step may go on with it, from its end.
    struct OpenCut {
        double x = 0.0, y = 0.0;   // where the cut stands
        int technology = 0;
        Compensation compensation = Compensation::none;
        int on_type = 0;
        std::string place;         // the laser_off that left it open
    };
    void leave_cut_open(OpenCut cut) { open_cut_ = std::move(cut); }
    const OpenCut *open_cut() const { return open_cut_ ? &*open_cut_ : nullptr; }
    void close_cut() { open_cut_.reset(); }
    // Refuses the job at the place that left the cut open.
    [[noreturn]] void fail_open_cut() const;

    // ---- The list of the step being read, when its items were handed to
    // the kind's read_item one by one (see StepKind): how many there were.
    std::size_t list_items() const { return list_items_; }
    void set_list_items(std::size_t n) { list_items_ = n; }

    // ---- The laser contour being read: what each of its elements names
    // itself (ELEMENT_* bits), and where the first one stands.
    struct ContourReading {
        std::size_t first = 0;              // in Job::laser_elements
        std::vector<std::uint8_t> given;    // per element
    };
    ContourReading &contour_reading() { return contour_reading_; }

    // ---- Values the control reads rounded to its last written digit: a
    // distance of 0.01 mm on a millimetre machine, 0.001 in on an inch
    // machine, an angle of 0.01 degree.  A smaller one would be written as
    // 0 (a row that never moves, a step of nothing).  Distances are checked
    // against the machine's unit once the whole file is read (the machine
    // may stand after the work); angles at once.
    void require_writable_distance(const JsonField &field, double millimetres, const std::string &what);
    void require_writable_angle(const JsonField &field, double degrees, const std::string &what);

    // The whole file has been read: runs the checks that waited.  Of several
    // wrong references the first in the file is named.
    void finish();

    // ---- Patterns ----
    // Which call a pattern reference belongs to: the single call job().work
    // [index], or the repeated call of job().pattern_rows[index].
    struct PatternTarget {
        bool row = false;
        std::size_t index = 0;
    };
    // The pattern that field names (its number or its name) for the call
    // target.  Resolved at once when the patterns are known, at finish()
    // otherwise.
    void refer_pattern(const JsonField &field, PatternTarget target);
    // The patterns have been read (job().patterns): resolves the references
    // read before them.
    void patterns_known();

private:
    // ---- Patterns ----
    struct PatternReference {
        std::string place;
        bool by_name = false;
        long long number = 0;
        std::string name;
        PatternTarget target;
    };
    void resolve(const PatternReference &reference);
    void check_patterns() const;
    bool patterns_known_ = false;
    std::vector<PatternReference> waiting_patterns_;
    // The patterns by number and by name, once they are known.
    std::map<long long, std::uint32_t> pattern_numbers_;
    std::map<std::string, std::uint32_t, std::less<>> pattern_names_;

    // The first place in the file that referred to a value not checked yet.
    struct Waiting {
        std::string place;
        std::size_t order = 0;
    };
    void wait(std::map<int, Waiting> &waiting, const JsonField &field, int value);

    // A distance below the coarser unit (0.001 in), checked at finish().
    struct SmallDistance {
        std::string place;
        double millimetres = 0.0;
        std::string what;
    };
    std::vector<SmallDistance> small_distances_;
    void check_small_distances() const;

    Job &job_;
    bool turret_known_ = false;
    bool turret_complete_ = false;
    mutable std::optional<int> last_known_punch_;  // the tool known_punch last found
    bool technologies_known_ = false;
    bool technologies_complete_ = false;
    std::map<int, Waiting> waiting_tools_;
    std::map<int, Waiting> waiting_technologies_;
    std::size_t waits_ = 0;
    std::vector<std::size_t> machine_clamp_travel_;  // work indices of repositionings
    std::optional<OpenCut> open_cut_;
    std::size_t list_items_ = 0;
    ContourReading contour_reading_;
};

// A kind of work step.  A kind whose body holds a long list (the elements of
// a laser contour) names it: the reader then hands each item of the list to
// read_item as soon as it is read, so that the list is never held as JSON
// all at once, and read gets the body at its end, the list left empty (the
// number of items in context.list_items()).
//
// A kind whose body is a few numbers may also read it flat, as met in the
// text (flat): the frequent steps of a long job then cost no tree.  Its
// reader answers false, having changed nothing, for a body it does not take
// whole; read then gets the body as a tree and names what is wrong.  Both
// must make the same of a body that the flat reader takes.
struct StepKind {
    const char *name;        // the key of the step in the work array
    void (*read)(const JsonField &body, WorkContext &context);
    bool goes_on_cutting;    // may go on with a laser cut left open by the step before
    const char *long_list;   // key of the body's long list, or nullptr
    void (*read_item)(const JsonField &item, std::size_t index, WorkContext &context);
    const FlatStep *flat;    // or nullptr
};

// The kind of step named name, or nullptr.
const StepKind *find_step_kind(std::string_view name);

// Reads one element of the work array, an object with exactly one key: the
// kind of step.  Appends what it holds to context.job().work.  list_items:
// the items of the kind's long list that were handed to its read_item
// already.
void read_work_step(const JsonField &step, WorkContext &context, std::size_t list_items = 0);

// ---- The readers, one per kind -----------------------------------------------
// body is the value under the kind's key, e.g. {"x": .., "y": .., "tool": ..}.
void read_hit_step(const JsonField &body, WorkContext &context);
void read_position_step(const JsonField &body, WorkContext &context);
void read_move_step(const JsonField &body, WorkContext &context);
extern const FlatStep FLAT_HIT_STEP;
extern const FlatStep FLAT_POSITION_STEP;
extern const FlatStep FLAT_MOVE_STEP;
void read_laser_contour_step(const JsonField &body, WorkContext &context);
void read_laser_contour_element(const JsonField &item, std::size_t index, WorkContext &context);

void read_pattern_call_step(const JsonField &body, WorkContext &context);
void read_pattern_repeat_step(const JsonField &body, WorkContext &context);

// The patterns section, read as the reader meets it: pattern after pattern,
// and each body step after step through the readers of the work, so that
// neither the section nor a body is ever held as JSON whole.  Into
// context.job().patterns.
class PatternsReader {
public:
    explicit PatternsReader(WorkContext &context) : context_(context) {}

    // The pattern at /patterns/index begins (an object).
    void begin_pattern(std::size_t index);
    // A member of the pattern other than its body ("number" or "name").
    void read_member(std::string_view key, const JsonField &value);
    // Its body begins (an array); its steps are read into the work.
    void begin_body();
    // Refuses a step that cannot stand in a body (a call, a repositioning,
    // ...), before it is read.
    void check_body_step(const JsonField &step);
    // A step of the body has been read: what it added to the work is moved
    // into the body.
    void body_step_read();
    void end_body();
    void end_pattern();
    // The section has ended: patterns named only by their name get their
    // numbers, and the calls read before are resolved.
    void finish();

private:
    JsonPath path() const;  // of the pattern being read

    WorkContext &context_;
    std::size_t index_ = 0;
    Pattern pattern_;
    bool numbered_ = false;
    bool body_given_ = false;
    bool punches_ = false;            // the body has a step that punches or cuts
    std::size_t body_mark_ = 0;       // the work's size when the body began
    std::vector<bool> numbered_patterns_;
    std::set<long long> numbers_;
    std::set<std::string> names_;
};

// ---- Rows, nibbling, bolt-hole circles (job/punch_element_steps.cpp) ----
void read_row_step(const JsonField &body, WorkContext &context);
void read_nibble_line_step(const JsonField &body, WorkContext &context);
void read_nibble_circle_step(const JsonField &body, WorkContext &context);
void read_nibble_arc_step(const JsonField &body, WorkContext &context);
void read_bolt_hole_circle_step(const JsonField &body, WorkContext &context);
// ---- Sheet events (job/sheet_steps.cpp) ----
void read_stop_step(const JsonField &body, WorkContext &context);
void read_trap_door_step(const JsonField &body, WorkContext &context);
void read_tab_break_step(const JsonField &body, WorkContext &context);
void read_nc_step(const JsonField &body, WorkContext &context);
void read_feedrate_step(const JsonField &body, WorkContext &context);
void read_dwell_step(const JsonField &body, WorkContext &context);
void read_sheet_move_step(const JsonField &body, WorkContext &context);
void read_reposition_step(const JsonField &body, WorkContext &context);
void read_flip_step(const JsonField &body, WorkContext &context);
void read_turn_step(const JsonField &body, WorkContext &context);

}  // namespace job
