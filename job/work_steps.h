// work_steps.h - the kinds of work step: one reader per kind, all of them
// registered in one table (job/work_steps.cpp).
//
// Adding a kind of step: its model in job/job.h (an alternative of
// Operation), its reader in a file of its own, declared below and
// registered in the table, and its walk in the host.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

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
    // Refuses unless number is one of the laser technologies.
    void require_technology(const JsonField &field, int number);

    // The turret or the technologies have been read: references are checked
    // at once from now on.
    void turret_known();
    void technologies_known();

    // The repositioning at this place of the work takes the machine's clamp
    // travel, which may stand after it in the file: filled in by finish().
    void use_machine_clamp_travel(std::size_t work_index);
    // The whole file has been read: runs the checks that waited.  Of several
    // wrong references the first in the file is named.
    void finish();

private:
    // The first place in the file that referred to a value not checked yet.
    struct Waiting {
        std::string place;
        std::size_t order = 0;
    };
    void wait(std::map<int, Waiting> &waiting, const JsonField &field, int value);

    Job &job_;
    bool turret_known_ = false;
    bool technologies_known_ = false;
    std::map<int, Waiting> waiting_tools_;
    std::map<int, Waiting> waiting_technologies_;
    std::size_t waits_ = 0;
    std::vector<std::size_t> machine_clamp_travel_;  // work indices of repositionings
};

// Reads one element of the work array, an object with exactly one key: the
// kind of step.  Appends what it holds to context.job().work.
void read_work_step(const JsonField &step, WorkContext &context);

// ---- The readers, one per kind -----------------------------------------------
// body is the value under the kind's key, e.g. {"x": .., "y": .., "tool": ..}.
void read_hit_step(const JsonField &body, WorkContext &context);
void read_position_step(const JsonField &body, WorkContext &context);
void read_move_step(const JsonField &body, WorkContext &context);
void read_laser_contour_step(const JsonField &body, WorkContext &context);

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
