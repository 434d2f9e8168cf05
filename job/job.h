// job.h - a job: everything the host knows about one NC program to write.
//
// Lengths are millimetres, angles degrees, as in the job file.  The host
// turns a job into its state variables and records (host/job_state.cpp) and
// walks its work list when the module asks for the body.
//
// The work list is kept compact: a job of a million hits is a million small
// operations.  A kind of step with a list of its own (the elements of a
// laser contour) keeps that list in a side array of the job and stands in
// the work list as a range of it, so that no kind makes every operation
// larger.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "job/punch_element.h"

namespace job {

// ---- Limits of the host's fields ---------------------------------------------
// Texts: the host's arrays hold this many characters, the terminating zero
// not counted.  The job reader refuses longer texts; the host checks that its
// records have room for them.
inline constexpr std::size_t MAX_MATERIAL_LENGTH = 63;
inline constexpr std::size_t MAX_NEST_NAME_LENGTH = 127;
inline constexpr std::size_t MAX_MACHINE_DIR_LENGTH = 255;
inline constexpr std::size_t MAX_OPTIONS_LENGTH = 31;       // station option letters
inline constexpr std::size_t MAX_TECH_MODE_LENGTH = 34;     // laser technology mode
inline constexpr std::size_t MAX_TECH_M7X_LENGTH = 10;      // laser technology M7x selector
inline constexpr std::size_t MAX_TECH_S_VALUE_LENGTH = 16;  // laser technology S word value
inline constexpr std::size_t MAX_STATIONS = 64;             // stations of the turret
inline constexpr std::size_t MAX_NC_TEXT_LENGTH = 255;      // free NC text of a sheet event

// ---- What the machine takes ------------------------------------------------------
inline constexpr int MACHINE_VARIANTS[] = {7000, 7001, 7002};  // the post_processor values the module knows
inline constexpr int MAX_STATION_NUMBER = static_cast<int>(MAX_STATIONS);  // stations are numbered from 1
inline constexpr double MAX_FEEDRATE = 1000.0;   // any feed rate, host units (laser F words are 100 times it)
inline constexpr double MAX_INDEX_ANGLE = 360.0; // index angles lie within -360..360 degrees
inline constexpr int MAX_PROGRAM_NUMBER = 9999;  // the program number block has four digits

struct Machine {
    int post_processor = 7000;     // machine variant: 7000, 7001, 7002, ...
    bool inch = false;             // the control works in inches
    bool eia = false;              // EIA code instead of ISO
    int program_number = 1;
    bool use_program_number = true;
    bool rewind = true;            // M30 at the end
    int loader_unloader = 0;       // unload form: 1, 2 or other
    int reposition_type = 1;       // 1: "REP/" command, other: explicit sequence
    double reposition_clamp_travel = 50.0; // Y offset of the clamps' travel in the explicit sequence
    int line_number_increment = 1;
    double max_feedrate = 100.0;
    double initial_feedrate = 100.0;
    double load_x = 0.0;
    double load_y = 0.0;
    std::vector<double> clamps;    // clamp positions along X
    // The zone each clamp keeps clear of work: its width along X about the
    // clamp and its depth into the sheet from the edge the clamps hold.
    double clamp_zone_width = 100.0;
    double clamp_zone_depth = 40.0;
    // A punch whose station gives no shape counts as round, this wide.
    double default_tool_diameter = 20.0;
    int pattern_style = 0;         // the host's sub type: 0 patterns at the top, 7 offsets
    int max_patterns = 99;
    int laser_allowed = 0;         // 2: laser work in use (M20 blocks)
    std::string machine_dir;       // directory of LASER.PAR, no trailing separator
    // The machine's speeds and times for the estimate of the machine time
    // (pelk-post stats, the page of pelk-post view); the program does not
    // depend on them.  The defaults fit a common turret punch with a laser
    // head.
    double strokes_per_minute = 300.0;   // strokes of the punch, rows and nibbling alike
    double positioning_speed = 60.0;     // the axes' top speed without work, metres per minute
    double acceleration = 10.0;          // the axes' acceleration and braking, metres per second squared
    double tool_change_time = 1.5;       // seconds a tool change takes
    double turret_step_time = 0.0;       // seconds more for each station the turret turns past
    int turret_stations = 32;            // stations round the turret, for its shorter way round
    bool turret_stations_given = false;  // named by the job or its machine file (else 32, or the highest station)
    double index_turn_time = 1.2;        // seconds for a whole turn of the index (360 degrees)
    double pierce_time = 0.5;            // seconds a pierce takes, for a technology that names none
    double regrip_time = 4.0;            // seconds a re-grip of the clamps takes
    double stop_time = 10.0;             // seconds a programmed stop (M00) keeps the machine waiting
    double turn_time = 60.0;             // seconds the operator takes to flip or turn the sheet
};

// The longest time a machine key may name, seconds: a day.
inline constexpr double MAX_MACHINE_TIME = 86400.0;
// A technology without a pierce time of its own takes the machine's.
inline constexpr double MACHINE_PIERCE_TIME = -1.0;

struct Sheet {
    std::string material;          // e.g. "ST37 (3)": the number after "(" is the material number
    double thickness = 1.0;
    double size_x = 2500.0;
    double size_y = 1250.0;
    std::string nest_name;
};

// The punch's footprint, as plots draw its strokes; none: a marker.
enum class ToolShape : std::uint8_t { none, round, square, rectangle, obround };

struct Station {
    int tool = 0;                  // host tool number
    int station = 0;               // turret station number, as in "T%d"
    std::string options;           // option letters: 'F' forming, 'R<n>' M61x mode
    bool indexable = false;        // the index can turn this station
    bool laser = false;            // the laser head, not a punch
    ToolShape shape = ToolShape::none;
    double size_x = 0.0;           // footprint at index 0: width along X (round: the diameter)
    double size_y = 0.0;           // and along Y
};

struct LaserTechnology {
    int number = 0;                // referenced by contours
    double feedrate = 0.0;         // cutting feed rate, host units
    std::string mode;              // technology mode text: 1, 2, 3 or other
    std::string m7x;               // M7x selector text: 2, 3, 4 or other
    std::string s_value;           // S word value text
    double pierce_time = MACHINE_PIERCE_TIME;  // seconds a pierce takes, for the estimate of the machine time
};

// ---- The kinds of work step ---------------------------------------------------

// A single stroke, or a positioning without stroke.
struct Hit {
    double x = 0.0;
    double y = 0.0;
    double angle = 0.0;            // index angle, degrees
    int tool = 0;
    bool position_only = false;
};

// A plain move of the sheet, no stroke.
struct Movement {
    double x = 0.0;
    double y = 0.0;
};

enum class Compensation : std::uint8_t { none, left, right };

struct LaserElement {
    enum class Kind : std::uint8_t { line, arc } kind = Kind::line;
    bool counter_clockwise = true; // arc sense
    Compensation compensation = Compensation::none;
    int on_type = 1;               // laser-on type 0..7
    int off_type = 0;              // laser-off type 0..7: 0 the contour goes on
    int technology = 0;            // laser technology number
    double x1 = 0.0, y1 = 0.0;     // start
    double x2 = 0.0, y2 = 0.0;     // end; an arc whose end is its start is a full circle
    double xc = 0.0, yc = 0.0;     // arc centre
};

// A laser contour: its elements, in cutting order, are the range
// [first, first + count) of Job::laser_elements.
struct LaserContour {
    std::size_t first = 0;
    std::size_t count = 0;
};

// ---- Sheet events ---------------------------------------------------------------

// A programmed stop (M00): the operator restarts the program.
struct SheetStop {};

// The trap door for a finished part, at a distance from where the tool
// stands.  Only kind 5 opens the door on this machine.
struct TrapDoor {
    double dx = 0.0;
    double dy = 0.0;
    int kind = 5;
};

// A tab break: nothing is written for it on this machine.
struct TabBreak {};

// The user's own NC text as a block: the text is Job::nc_texts[text].
struct SheetNcText {
    std::size_t text = 0;
};

// A change of feed rate.
struct SheetFeed {
    double feed = 0.0;
};

// The control waits this long.
struct Dwell {
    double time = 0.0;
};

// A plain move of the sheet (the sheet event, not the punch's positioning).
struct SheetMove {
    double x = 0.0;
    double y = 0.0;
};

// The clamps re-grip the sheet at (x, y), travelling dx back along X and
// clamp_travel off the sheet in Y.
struct Reposition {
    double x = 0.0;
    double y = 0.0;
    double dx = 0.0;
    double clamp_travel = 0.0;
};

// The program stops for the operator to flip the sheet, or to turn it (kind
// 0, 1, 2: the operator comment; other kinds stop without one).
struct FlipSheet {};
struct TurnSheet {
    int kind = 0;
};

// ---- Rows, nibbling, bolt-hole circles ----
// A punching element of the work: Job::punch_elements[index].
struct PunchElementStep {
    std::size_t index = 0;
};

// ---- Pattern calls ---------------------------------------------------------

// A call of a pattern with its origin at (x, y).  The tool and the index
// angle at the pattern's first position are the pattern's own: the host
// takes them from its first step.
struct PatternCall {
    std::uint32_t pattern = 0;     // index into Job::patterns
    double x = 0.0;
    double y = 0.0;
};

// count copies of a pattern in a straight row: the first with its origin at
// (x, y), each next one (dx, dy) further on.  Kept in Job::pattern_rows.
struct PatternRow {
    std::uint32_t pattern = 0;     // index into Job::patterns
    int count = 1;
    double x = 0.0;
    double y = 0.0;
    double dx = 0.0;
    double dy = 0.0;
};

// A repeated call: the row [row] of Job::pattern_rows.
struct PatternRepeat {
    std::size_t row = 0;
};

// One step of the work.  A new kind of step is one more alternative here
// (with its reader registered in job/work_steps.cpp and its walk in the
// host); a kind with a list of its own keeps the list in a side array.
using Operation = std::variant<Hit, Movement, LaserContour, PunchElementStep,
                               SheetStop, TrapDoor, TabBreak, SheetNcText, SheetFeed, Dwell, SheetMove, Reposition,
                               FlipSheet, TurnSheet, PatternCall, PatternRepeat>;
static_assert(sizeof(Operation) <= 40, "a kind of step makes every operation larger: keep its lists in a side array");

// A pattern of the control: work steps relative to the pattern's origin,
// written once as a definition and placed by pattern calls.  A body holds
// no pattern calls; its laser contours are ranges of Job::laser_elements.
struct Pattern {
    int number = 0;                // the number the control shows: PAT03/ for 3
    std::string name;              // the job's name for it, may be empty
    std::vector<Operation> body;
};

// Where the machine, the turret and the technologies came from, for the
// trace: the machine file read, if any, and a line for every key that the
// job gave itself as well.
struct MachineSource {
    std::string file;                 // the machine file read, "" for none
    std::vector<std::string> notes;   // e.g. "/machine/program_number: given by the job as well; the job's is used"
};

struct Job {
    Machine machine;
    Sheet sheet;
    std::vector<Station> turret;
    std::vector<LaserTechnology> technologies;
    std::vector<Operation> work;                // in order
    std::vector<LaserElement> laser_elements;   // the elements of every laser contour of the work
    std::vector<PunchElement> punch_elements;   // rows, nibbling, bolt-hole circles of the work
    std::vector<std::string> nc_texts;          // the free NC texts of the work's sheet events
    std::vector<Pattern> patterns;              // in the order they are defined
    std::vector<PatternRow> pattern_rows;       // the rows of the repeated calls
    MachineSource machine_source;               // read from a machine file, or not

    // Appends a laser contour made of elements to the work.
    void add_laser_contour(std::span<const LaserElement> elements);
    // Keeps elements in the side array and answers the contour made of them,
    // for a list other than the work (a pattern body).
    LaserContour keep_laser_contour(std::span<const LaserElement> elements);
    // Keeps a row of pattern copies and answers the step that repeats it.
    PatternRepeat keep_pattern_row(const PatternRow &row);
    // The elements of a contour of this job's work.
    std::span<const LaserElement> elements(const LaserContour &contour) const {
        return std::span<const LaserElement>(laser_elements).subspan(contour.first, contour.count);
    }
    // Appends a row, a nibbled element or a bolt-hole circle to the work.
    void add_punch_element(const PunchElement &element) {
        work.push_back(PunchElementStep{punch_elements.size()});
        punch_elements.push_back(element);
    }
    const PunchElement &element(const PunchElementStep &step) const { return punch_elements[step.index]; }
    // Appends a free NC text event to the work.
    void add_nc_text(std::string text);
    // The text of a free NC text event of this job's work.
    const std::string &text(const SheetNcText &event) const { return nc_texts[event.text]; }
};

// Calls f with the step that op stands for: a punching element as its
// PunchElement of job, every other kind as it is.  For code that looks at
// the steps' own fields (tool, angle, points), whatever their kind.
template <typename F>
decltype(auto) visit_step(const Operation &op, const Job &job, F &&f) {
    return std::visit(
        [&](const auto &step) -> decltype(auto) {
            if constexpr (std::is_same_v<std::decay_t<decltype(step)>, PunchElementStep>) return f(job.element(step));
            else return f(step);
        },
        op);
}

}  // namespace job
