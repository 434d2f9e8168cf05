// job_sections.cpp - the machine, the sheet, the turret and the laser
// technologies of a job file.
#include "job/job_sections.h"

#include <limits>
#include <string>
#include <utility>

#include "job/job_reader.h"

namespace job {

namespace {

// A speed or an acceleration of the machine: above 0.
double positive_rate(const JsonField &f, const char *what) {
    const double v = f.number_within(0.0, MAX_NUMBER_SIZE);
    if (!(v > 0.0)) f.fail(std::string(what) + " must be greater than 0");
    return v;
}

// A time of the machine, seconds.
double machine_time(const JsonField &f) {
    const double v = f.number();
    if (!(v >= 0.0 && v <= MAX_MACHINE_TIME)) f.fail("a time in seconds, from 0 to 86400 (a day)");
    return v;
}

// A tool's footprint: "shape" and "size" (a number for round and square
// tools, [x, y] for rectangles and obrounds), both or neither.
void read_tool_shape(const JsonField &e, Station &s) {
    if (e.has("shape") != e.has("size")) {
        e.fail(e.has("shape") ? "a tool's \"shape\" needs its \"size\"" : "a tool's \"size\" needs its \"shape\"");
    }
    if (!e.has("shape")) return;
    const std::size_t shape = e.member("shape").choice({"round", "square", "rectangle", "obround"});
    s.shape = static_cast<ToolShape>(shape + 1);
    const JsonField size = e.member("size");
    if (s.shape == ToolShape::round || s.shape == ToolShape::square) {
        s.size_x = s.size_y = size.number_within(0.0, MAX_NUMBER_SIZE);
    } else {
        size.point(s.size_x, s.size_y);
    }
    if (!(s.size_x > 0.0) || !(s.size_y > 0.0) || s.size_x > MAX_NUMBER_SIZE || s.size_y > MAX_NUMBER_SIZE) {
        size.fail(s.shape == ToolShape::round || s.shape == ToolShape::square
                      ? "a tool's size is a number greater than 0"
                      : "a tool's size is [x, y], both greater than 0");
    }
}

// Option letters as the module reads them: F, a forming tool, and R with a
// mode 0 to 3 (R alone is R0), the M61x mode, each at most once, blanks
// between them.  The module takes any other letter silently for nothing and
// any other mode for the nearest of 0 and 3.
std::string read_options(const JsonField &f) {
    const std::string s = f.control_text(MAX_OPTIONS_LENGTH);
    const std::string known = " (options: F a forming tool, R0 to R3 the M61x mode, each once)";
    auto digit = [&s](std::size_t i) { return i < s.size() && s[i] >= '0' && s[i] <= '9'; };
    std::string seen;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == ' ') continue;
        if ((c != 'F' && c != 'R') || seen.find(c) != std::string::npos) {
            f.fail("options \"" + s + "\": \"" + std::string(1, c) + "\" is " +
                   (seen.find(c) != std::string::npos ? "given twice" : "no option") + known);
        }
        seen += c;
        if (c != 'R') continue;
        std::size_t end = i + 1;
        if (end < s.size() && (s[end] == '-' || s[end] == '+')) ++end;
        while (digit(end)) ++end;
        const std::string mode = s.substr(i + 1, end - i - 1);
        if (!mode.empty() && (mode.size() != 1 || mode[0] > '3')) {
            f.fail("options \"" + s + "\": the M61x mode R" + mode + " is not one of R0 to R3" + known);
        }
        i = end - 1;
    }
    return s;
}

}  // namespace

void read_machine(const JsonField &f, const std::string &base_dir, Machine &m) {
    f.expect_object({"post_processor", "units", "code", "program_number", "write_program_number", "rewind",
                     "loader_unloader", "reposition_type", "reposition_clamp_travel", "max_feedrate", "initial_feedrate", "load_position",
                     "clamps", "clamp_zone", "default_tool_diameter", "pattern_style", "max_patterns", "laser_allowed",
                     "machine_dir", "line_number_increment", "strokes_per_minute", "positioning_speed",
                     "acceleration", "tool_change_time", "turret_step_time", "turret_stations", "index_turn_time",
                     "pierce_time", "regrip_time", "stop_time", "turn_time"});
    if (f.has("post_processor")) {
        const JsonField field = f.member("post_processor");
        m.post_processor = field.int32();
        bool known = false;
        std::string list;
        for (int variant : MACHINE_VARIANTS) {
            known = known || variant == m.post_processor;
            list += (list.empty() ? "" : ", ") + std::to_string(variant);
        }
        if (!known) field.fail("unknown machine variant " + std::to_string(m.post_processor) + " (known: " + list + ")");
    }
    if (f.has("units")) m.inch = f.member("units").choice({"mm", "inch"}) == 1;
    if (f.has("code")) m.eia = f.member("code").choice({"iso", "eia"}) == 1;
    if (f.has("program_number")) {
        // Written with four digits ("O%04ld"); a longer number would not be.
        m.program_number = static_cast<int>(f.member("program_number").integer(0, MAX_PROGRAM_NUMBER));
    }
    if (f.has("write_program_number")) m.use_program_number = f.member("write_program_number").boolean();
    if (f.has("rewind")) m.rewind = f.member("rewind").boolean();
    if (f.has("loader_unloader")) m.loader_unloader = f.member("loader_unloader").int32();
    if (f.has("reposition_type")) m.reposition_type = f.member("reposition_type").int32();
    if (f.has("reposition_clamp_travel")) m.reposition_clamp_travel = f.member("reposition_clamp_travel").number();
    if (f.has("max_feedrate")) m.max_feedrate = f.member("max_feedrate").number_within(0.0, MAX_FEEDRATE);
    if (f.has("initial_feedrate")) m.initial_feedrate = f.member("initial_feedrate").number_within(0.0, MAX_FEEDRATE);
    if (f.has("load_position")) f.member("load_position").point(m.load_x, m.load_y);
    if (f.has("clamps")) {
        JsonField clamps = f.member("clamps");
        std::size_t n = clamps.array_size();
        m.clamps.clear();  // a list given replaces the list in m whole
        for (std::size_t i = 0; i < n; ++i) m.clamps.push_back(clamps.element(i).number());
    }
    if (f.has("clamp_zone")) {
        const JsonField zone = f.member("clamp_zone");
        zone.point(m.clamp_zone_width, m.clamp_zone_depth);
        if (m.clamp_zone_width < 0.0 || m.clamp_zone_depth < 0.0) {
            zone.fail("a clamp's zone is [width, depth], neither negative");
        }
    }
    if (f.has("default_tool_diameter")) m.default_tool_diameter = f.member("default_tool_diameter").non_negative_number();
    if (f.has("pattern_style")) m.pattern_style = f.member("pattern_style").int32();
    if (f.has("max_patterns")) {
        m.max_patterns = static_cast<int>(f.member("max_patterns").integer(0, std::numeric_limits<int>::max()));
    }
    if (f.has("laser_allowed")) m.laser_allowed = f.member("laser_allowed").int32();
    // Block numbers count up: the module steps the host's counter back by one
    // increment, which a negative one would carry past the largest int.
    if (f.has("line_number_increment")) {
        m.line_number_increment =
            static_cast<int>(f.member("line_number_increment").integer(0, std::numeric_limits<int>::max()));
    }
    if (f.has("strokes_per_minute")) m.strokes_per_minute = positive_rate(f.member("strokes_per_minute"), "a speed");
    if (f.has("positioning_speed")) m.positioning_speed = positive_rate(f.member("positioning_speed"), "a speed");
    if (f.has("acceleration")) m.acceleration = positive_rate(f.member("acceleration"), "an acceleration");
    if (f.has("turret_stations")) {
        m.turret_stations = static_cast<int>(f.member("turret_stations").integer(1, MAX_STATION_NUMBER));
        m.turret_stations_given = true;
    }
    for (const auto &[key, time] : {std::pair{"tool_change_time", &m.tool_change_time},
                                    std::pair{"turret_step_time", &m.turret_step_time},
                                    std::pair{"index_turn_time", &m.index_turn_time},
                                    std::pair{"pierce_time", &m.pierce_time}, std::pair{"regrip_time", &m.regrip_time},
                                    std::pair{"stop_time", &m.stop_time}, std::pair{"turn_time", &m.turn_time}}) {
        if (f.has(key)) *time = machine_time(f.member(key));
    }
    if (f.has("machine_dir")) {
        const JsonField field = f.member("machine_dir");
        const std::string dir = field.text(std::numeric_limits<std::size_t>::max());
        if (dir.empty()) field.fail("the machine directory must not be empty");
        try {
            m.machine_dir = resolve_machine_dir(dir, base_dir);
        } catch (const JobError &e) {
            field.fail(e.what());
        }
    }
}

Sheet read_sheet(const JsonField &f) {
    f.expect_object({"material", "thickness", "size", "nest_name"});
    Sheet s;
    if (f.has("material")) s.material = f.member("material").control_text(MAX_MATERIAL_LENGTH);
    if (f.has("thickness")) s.thickness = f.member("thickness").non_negative_number();
    if (f.has("size")) {
        JsonField size = f.member("size");
        size.point(s.size_x, s.size_y);
        if (s.size_x < 0.0 || s.size_y < 0.0) size.fail("a sheet size must not be negative");
    }
    if (f.has("nest_name")) s.nest_name = f.member("nest_name").comment_text(MAX_NEST_NAME_LENGTH);
    return s;
}

void read_station(const JsonField &list, const JsonField &e, std::vector<Station> &turret) {
    if (turret.size() >= MAX_STATIONS) list.fail("at most " + std::to_string(MAX_STATIONS) + " stations");
    e.expect_object({"tool", "station", "options", "indexable", "laser", "shape", "size"});
    Station s;
    s.tool = e.member("tool").int32();
    const JsonField station = e.member("station");
    s.station = static_cast<int>(station.integer(1, MAX_STATION_NUMBER));
    if (e.has("options")) s.options = read_options(e.member("options"));
    if (e.has("indexable")) s.indexable = e.member("indexable").boolean();
    if (e.has("laser")) s.laser = e.member("laser").boolean();
    read_tool_shape(e, s);
    for (const Station &earlier : turret) {
        if (earlier.tool == s.tool) {
            e.member("tool").fail("tool " + std::to_string(s.tool) + " stands in the turret twice");
        }
        if (earlier.station == s.station) {
            station.fail("station " + std::to_string(s.station) + " holds tool " + std::to_string(earlier.tool) +
                         " already");
        }
        if (earlier.laser && s.laser) {
            e.member("laser").fail("the machine has one laser head, and tool " + std::to_string(earlier.tool) +
                                   " is it already");
        }
    }
    turret.push_back(s);
}

std::vector<Station> read_turret(const JsonField &f) {
    std::vector<Station> turret;
    const std::size_t n = f.array_size();
    for (std::size_t i = 0; i < n; ++i) read_station(f, f.element(i), turret);
    return turret;
}

void read_technology(const JsonField &e, std::vector<LaserTechnology> &list, std::set<int> &numbers) {
    e.expect_object({"number", "feedrate", "mode", "m7x", "s_value", "pierce_time"});
    LaserTechnology t;
    t.number = e.member("number").int32();
    if (e.has("feedrate")) t.feedrate = e.member("feedrate").number_within(0.0, MAX_FEEDRATE);
    if (e.has("mode")) t.mode = e.member("mode").whole_number_text(MAX_TECH_MODE_LENGTH);
    if (e.has("m7x")) t.m7x = e.member("m7x").whole_number_text(MAX_TECH_M7X_LENGTH);
    if (e.has("s_value")) t.s_value = e.member("s_value").whole_number_text(MAX_TECH_S_VALUE_LENGTH);
    if (e.has("pierce_time")) t.pierce_time = machine_time(e.member("pierce_time"));
    if (!numbers.insert(t.number).second) {
        e.member("number").fail("laser technology " + std::to_string(t.number) + " is defined twice");
    }
    list.push_back(t);
}

std::vector<LaserTechnology> read_technologies(const JsonField &f) {
    std::vector<LaserTechnology> list;
    std::set<int> numbers;
    const std::size_t n = f.array_size();
    for (std::size_t i = 0; i < n; ++i) read_technology(f.element(i), list, numbers);
    return list;
}

}  // namespace job
