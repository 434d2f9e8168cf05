// control_rounding.h - the host's knowledge of how the control reads the
// numbers of a program: distances rounded to 0.01 mm (0.001 in on an inch
// machine), angles to 0.01 degree.  A command that the control expands (a
// row, a repeat of a pattern, a bolt-hole circle, nibbling) places its
// strokes from the values as written; the host uses this to see how far a
// command would put a stroke from where the job has it, and to split a
// command that would put one too far.
#pragma once

namespace host::detail {

// The distance, in millimetres, that the control reads from the text the
// module writes for value on the current machine.
double written_distance(double value);

// Where the control takes a place the module writes for value with the
// tool at current (the job's place, on the grid of written values as the
// control has it): the value written, or, in a pattern body, where the
// relative word written from the control's place leads.  The two differ
// where the rounding of a half unit goes the other way for the difference
// than for the value.
double written_place(double value, double current);

// The largest distance the control reads from a written value that is not
// longer than value (a nibbling step must not grow by its rounding).
double written_distance_down(double value);

// The number the control reads from value written with two decimals.
double written_degrees(double value);

// How far a stroke may lie from the job's place along X or Y, millimetres:
// half a unit of the last written digit (0.005 mm, or 0.0005 in) plus
// STROKE_ALLOWANCE.  A single word is never farther off than half a unit.
inline constexpr double STROKE_ALLOWANCE = 0.001;
double stroke_tolerance();

// Half a unit of the last written digit, millimetres.
double half_unit();

// True when a place (dx, dy) off the job's place is within stroke_tolerance.
bool within_tolerance(double dx, double dy);

// Where two written values make one place (a nibbled path from its start and
// length, or from its centre and radius), each may be off by as much as a
// stroke: the tolerance is twice a stroke's.
double composed_tolerance();
bool within_composed_tolerance(double dx, double dy);

// Whether a word puts the tool on the value written: always an absolute
// word of the main body; in a pattern body (increments) only while the
// control stands on the grid of written values (Session::body_on_grid).
bool word_lands_as_written();
// Whether the word for value with the tool at current puts the tool where
// written_place says: as word_lands_as_written, and not on a tie of half a
// unit in a pattern body, where the module's increment from the place the
// control reached may round the other way than the host's for a difference
// of a bit.
bool place_lands_as_written(double value, double current);
// A command left the tool off the grid of written values, or put it back on
// (a value the control reads from the origin).
void leave_grid();
void back_on_grid();

// The unit vector of a direction in degrees, exact along the axes, as the
// control turns it.
void direction_vector(double degrees, double &dx, double &dy);

// The longest run of 1 to most strokes that one command can carry, found
// by halving: fits(n) answers whether a run of n does (a run of 1 always
// does, and a run that fits is taken to make every shorter one fit).
template <typename Fits>
int longest_run(int most, Fits fits) {
    int low = 1, high = most;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (fits(middle)) low = middle;
        else high = middle - 1;
    }
    return low;
}

}  // namespace host::detail
