// job_reader.cpp - the job file: JSON in, job::Job out, every value checked.
#include "job/job_reader.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include <nlohmann/json.hpp>

#include "job/json_field.h"
#include "interface/host_records.h"

namespace job {
namespace {

// Field sizes of the host records, without the terminating zero.
constexpr std::size_t MAX_OPTIONS_LENGTH = STATION_OPTIONS_SIZE - 1;
constexpr std::size_t MAX_TECH_MODE_LENGTH = TT_MODE_SIZE - 1;
constexpr std::size_t MAX_TECH_M7X_LENGTH = TT_M7X_SIZE - 1;
constexpr std::size_t MAX_TECH_S_VALUE_LENGTH = TT_S_VALUE_SIZE - 1;

// Laser-on and laser-off types are three-bit fields of the contour record.
constexpr long long MAX_LASER_TYPE = 7;

// Start, end and centre of an arc must agree on its radius to within this.
constexpr double ARC_RADIUS_TOLERANCE = 0.001;

// Line and column of a byte position (counted from 1) in text.
void line_and_column(const std::string &text, std::size_t byte, std::size_t &line, std::size_t &column) {
    std::size_t index = byte > 0 ? byte - 1 : 0;
    if (index > text.size()) index = text.size();
    line = 1;
    std::size_t line_start = 0;
    for (std::size_t i = 0; i < index; ++i) {
        if (text[i] == '\n') {
            ++line;
            line_start = i + 1;
        }
    }
    column = index - line_start + 1;
}

// nlohmann's message without its own prefix and position, on one line.
std::string syntax_detail(const std::string &what) {
    std::string detail = what;
    auto at = detail.find("syntax error");
    if (at != std::string::npos) detail = detail.substr(at);
    std::string out;
    for (char c : detail) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (static_cast<unsigned char>(c) < 0x20) out += '?';
        else out += c;
    }
    return out;
}

// Watches the parser for a key given twice in one object: nlohmann keeps the
// last silently, which would hide a pasted or mistyped line.
class DuplicateKeyCheck {
public:
    bool operator()(int, nlohmann::json::parse_event_t event, nlohmann::json &parsed) {
        using event_t = nlohmann::json::parse_event_t;
        switch (event) {
        case event_t::object_start:
        case event_t::array_start:
            child_starts();
            frames_.push_back(Frame{event == event_t::object_start, {}, {}, 0});
            break;
        case event_t::object_end:
        case event_t::array_end:
            if (!frames_.empty()) frames_.pop_back();
            break;
        case event_t::value:
            child_starts();
            break;
        case event_t::key: {
            Frame &f = frames_.back();
            const std::string &key = parsed.get_ref<const std::string &>();
            for (const std::string &seen : f.keys) {
                if (seen == key) throw JobError(path() + "/" + key + ": key \"" + key + "\" given twice");
            }
            f.keys.push_back(key);
            f.key = key;
            break;
        }
        }
        return true;
    }

private:
    struct Frame {
        bool object;
        std::vector<std::string> keys;
        std::string key;   // of the member being read
        std::size_t count; // elements started, for arrays
    };

    void child_starts() {
        if (!frames_.empty() && !frames_.back().object) ++frames_.back().count;
    }

    std::string path() const {
        std::string out;
        for (std::size_t i = 0; i + 1 < frames_.size(); ++i) {
            const Frame &f = frames_[i];
            out += "/" + (f.object ? f.key : std::to_string(f.count - 1));
        }
        return out;
    }

    std::vector<Frame> frames_;
};

Machine read_machine(const JsonField &f, const std::string &base_dir) {
    f.expect_object({"post_processor", "units", "code", "program_number", "write_program_number", "rewind",
                     "loader_unloader", "reposition_type", "max_feedrate", "initial_feedrate", "load_position",
                     "clamps", "pattern_style", "max_patterns", "laser_allowed", "machine_dir",
                     "line_number_increment"});
    Machine m;
    if (f.has("post_processor")) m.post_processor = f.member("post_processor").int32();
    if (f.has("units")) m.inch = f.member("units").choice({"mm", "inch"}) == 1;
    if (f.has("code")) m.eia = f.member("code").choice({"iso", "eia"}) == 1;
    if (f.has("program_number")) {
        m.program_number = static_cast<int>(f.member("program_number").integer(0, std::numeric_limits<int>::max()));
    }
    if (f.has("write_program_number")) m.use_program_number = f.member("write_program_number").boolean();
    if (f.has("rewind")) m.rewind = f.member("rewind").boolean();
    if (f.has("loader_unloader")) m.loader_unloader = f.member("loader_unloader").int32();
    if (f.has("reposition_type")) m.reposition_type = f.member("reposition_type").int32();
    if (f.has("max_feedrate")) m.max_feedrate = f.member("max_feedrate").non_negative_number();
    if (f.has("initial_feedrate")) m.initial_feedrate = f.member("initial_feedrate").non_negative_number();
    if (f.has("load_position")) f.member("load_position").point(m.load_x, m.load_y);
    if (f.has("clamps")) {
        JsonField clamps = f.member("clamps");
        std::size_t n = clamps.array_size();
        for (std::size_t i = 0; i < n; ++i) m.clamps.push_back(clamps.element(i).number());
    }
    if (f.has("pattern_style")) m.pattern_style = f.member("pattern_style").int32();
    if (f.has("max_patterns")) {
        m.max_patterns = static_cast<int>(f.member("max_patterns").integer(0, std::numeric_limits<int>::max()));
    }
    if (f.has("laser_allowed")) m.laser_allowed = f.member("laser_allowed").int32();
    if (f.has("line_number_increment")) m.line_number_increment = f.member("line_number_increment").int32();
    std::string dir;
    if (f.has("machine_dir")) {
        JsonField field = f.member("machine_dir");
        dir = field.text(std::numeric_limits<std::size_t>::max());
        if (dir.empty()) field.fail("the machine directory must not be empty");
        try {
            m.machine_dir = resolve_machine_dir(dir, base_dir);
        } catch (const JobError &e) {
            field.fail(e.what());
        }
    } else {
        m.machine_dir = resolve_machine_dir(".", base_dir);
    }
    return m;
}

Sheet read_sheet(const JsonField &f) {
    f.expect_object({"material", "thickness", "size", "nest_name"});
    Sheet s;
    if (f.has("material")) s.material = f.member("material").text(MAX_MATERIAL_LENGTH);
    if (f.has("thickness")) s.thickness = f.member("thickness").non_negative_number();
    if (f.has("size")) {
        JsonField size = f.member("size");
        size.point(s.size_x, s.size_y);
        if (s.size_x < 0.0 || s.size_y < 0.0) size.fail("a sheet size must not be negative");
    }
    if (f.has("nest_name")) s.nest_name = f.member("nest_name").text(MAX_NEST_NAME_LENGTH);
    return s;
}

std::vector<Station> read_turret(const JsonField &f) {
    std::vector<Station> turret;
    std::size_t n = f.array_size();
    if (n > MAX_STATIONS) f.fail("at most " + std::to_string(MAX_STATIONS) + " stations");
    for (std::size_t i = 0; i < n; ++i) {
        JsonField e = f.element(i);
        e.expect_object({"tool", "station", "options", "indexable", "laser"});
        Station s;
        s.tool = e.member("tool").int32();
        s.station = e.member("station").int32();
        if (e.has("options")) s.options = e.member("options").text(MAX_OPTIONS_LENGTH);
        if (e.has("indexable")) s.indexable = e.member("indexable").boolean();
        if (e.has("laser")) s.laser = e.member("laser").boolean();
        for (const Station &earlier : turret) {
            if (earlier.tool == s.tool) {
                e.member("tool").fail("tool " + std::to_string(s.tool) + " stands in the turret twice");
            }
        }
        turret.push_back(s);
    }
    return turret;
}

std::vector<LaserTechnology> read_technologies(const JsonField &f) {
    std::vector<LaserTechnology> list;
    std::size_t n = f.array_size();
    for (std::size_t i = 0; i < n; ++i) {
        JsonField e = f.element(i);
        e.expect_object({"number", "feedrate", "mode", "m7x", "s_value"});
        LaserTechnology t;
        t.number = e.member("number").int32();
        if (e.has("feedrate")) t.feedrate = e.member("feedrate").non_negative_number();
        if (e.has("mode")) t.mode = e.member("mode").text_or_integer(MAX_TECH_MODE_LENGTH);
        if (e.has("m7x")) t.m7x = e.member("m7x").text_or_integer(MAX_TECH_M7X_LENGTH);
        if (e.has("s_value")) t.s_value = e.member("s_value").text_or_integer(MAX_TECH_S_VALUE_LENGTH);
        for (const LaserTechnology &earlier : list) {
            if (earlier.number == t.number) {
                e.member("number").fail("laser technology " + std::to_string(t.number) + " is defined twice");
            }
        }
        list.push_back(t);
    }
    return list;
}

// Everything a work step may refer to, read before the work list.
struct Context {
    const std::vector<Station> &turret;
    const std::vector<LaserTechnology> &technologies;
};

Hit read_hit(const JsonField &f, const Context &c, bool position_only) {
    f.expect_object({"x", "y", "tool", "angle"});
    Hit h;
    h.x = f.member("x").number();
    h.y = f.member("y").number();
    JsonField tool = f.member("tool");
    h.tool = tool.int32();
    const Station *station = nullptr;
    for (const Station &s : c.turret) {
        if (s.tool == h.tool) station = &s;
    }
    if (station == nullptr) tool.fail("tool " + std::to_string(h.tool) + " is not in the turret");
    if (station->laser) tool.fail("tool " + std::to_string(h.tool) + " is the laser head, not a punch");
    if (f.has("angle")) h.angle = f.member("angle").number();
    h.position_only = position_only;
    return h;
}

Movement read_move(const JsonField &f) {
    f.expect_object({"x", "y"});
    Movement m;
    m.x = f.member("x").number();
    m.y = f.member("y").number();
    return m;
}

Compensation read_compensation(const JsonField &f) {
    switch (f.choice({"none", "left", "right"})) {
    case 1: return Compensation::left;
    case 2: return Compensation::right;
    default: return Compensation::none;
    }
}

int read_technology_number(const JsonField &f, const Context &c) {
    int number = f.int32();
    for (const LaserTechnology &t : c.technologies) {
        if (t.number == number) return number;
    }
    f.fail("laser technology " + std::to_string(number) + " is not defined in laser_technologies");
}

void read_arc(const JsonField &f, LaserElement &e) {
    f.expect_object({"from", "to", "centre", "sense"});
    e.kind = LaserElement::Kind::arc;
    f.member("from").point(e.x1, e.y1);
    f.member("to").point(e.x2, e.y2);
    JsonField centre = f.member("centre");
    centre.point(e.xc, e.yc);
    if (f.has("sense")) e.counter_clockwise = f.member("sense").choice({"ccw", "cw"}) == 0;
    double r1 = std::hypot(e.x1 - e.xc, e.y1 - e.yc);
    double r2 = std::hypot(e.x2 - e.xc, e.y2 - e.yc);
    if (r1 < ARC_RADIUS_TOLERANCE) centre.fail("the centre of an arc must not be its start");
    if (std::fabs(r1 - r2) > ARC_RADIUS_TOLERANCE) {
        std::ostringstream text;
        text << "start and end lie at different distances from the centre (" << r1 << " and " << r2 << ")";
        centre.fail(text.str());
    }
}

LaserContour read_contour(const JsonField &f, const Context &c) {
    f.expect_object({"technology", "compensation", "laser_on", "elements"});
    LaserElement common;
    common.technology = read_technology_number(f.member("technology"), c);
    if (f.has("compensation")) common.compensation = read_compensation(f.member("compensation"));
    if (f.has("laser_on")) common.on_type = static_cast<int>(f.member("laser_on").integer(0, MAX_LASER_TYPE));

    LaserContour contour;
    JsonField elements = f.member("elements");
    std::size_t n = elements.array_size();
    if (n == 0) elements.fail("a contour needs at least one element");
    for (std::size_t i = 0; i < n; ++i) {
        JsonField ef = elements.element(i);
        ef.expect_object({"line", "arc", "laser_off", "compensation", "laser_on", "technology"});
        LaserElement e = common;
        e.off_type = i + 1 == n ? 2 : 0;
        if (ef.has("line") == ef.has("arc")) ef.fail("an element is either a \"line\" or an \"arc\"");
        if (ef.has("line")) {
            JsonField line = ef.member("line");
            line.expect_object({"from", "to"});
            e.kind = LaserElement::Kind::line;
            line.member("from").point(e.x1, e.y1);
            line.member("to").point(e.x2, e.y2);
        } else {
            read_arc(ef.member("arc"), e);
        }
        if (ef.has("laser_off")) e.off_type = static_cast<int>(ef.member("laser_off").integer(0, MAX_LASER_TYPE));
        if (ef.has("compensation")) e.compensation = read_compensation(ef.member("compensation"));
        if (ef.has("laser_on")) e.on_type = static_cast<int>(ef.member("laser_on").integer(0, MAX_LASER_TYPE));
        if (ef.has("technology")) e.technology = read_technology_number(ef.member("technology"), c);
        contour.elements.push_back(e);
    }
    return contour;
}

std::vector<Operation> read_work(const JsonField &f, const Context &c) {
    std::vector<Operation> work;
    std::size_t n = f.array_size();
    for (std::size_t i = 0; i < n; ++i) {
        JsonField step = f.element(i);
        if (!step.value().is_object() || step.value().size() != 1) {
            step.fail("a work step is an object with exactly one key: hit, position, move or laser_contour");
        }
        const std::string &kind = step.value().begin().key();
        if (kind != "hit" && kind != "position" && kind != "move" && kind != "laser_contour") {
            JsonField(step.value().begin().value(), step.place() + "/" + kind)
                .fail("unknown operation \"" + kind + "\" (known: hit, position, move, laser_contour)");
        }
        if (step.has("hit")) work.push_back(read_hit(step.member("hit"), c, false));
        else if (step.has("position")) work.push_back(read_hit(step.member("position"), c, true));
        else if (step.has("move")) work.push_back(read_move(step.member("move")));
        else work.push_back(read_contour(step.member("laser_contour"), c));
    }
    return work;
}

}  // namespace

std::string resolve_machine_dir(const std::string &dir, const std::string &base_dir) {
    std::filesystem::path p(dir);
    if (p.is_relative() && !base_dir.empty()) p = std::filesystem::path(base_dir) / p;
    std::string out = p.lexically_normal().string();
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    // The root alone: the module puts the separator in front of LASER.PAR.
    if (out == "/") out.clear();
    if (out.size() > MAX_MACHINE_DIR_LENGTH) {
        throw JobError("machine directory \"" + out.substr(0, 40) + "...\" is longer than " +
                       std::to_string(MAX_MACHINE_DIR_LENGTH) + " characters");
    }
    return out;
}

Job parse_job(const std::string &text, const std::string &base_dir) {
    nlohmann::json root;
    try {
        root = nlohmann::json::parse(text, DuplicateKeyCheck());
    } catch (const nlohmann::json::parse_error &e) {
        std::size_t line = 0, column = 0;
        line_and_column(text, e.byte, line, column);
        throw JobError("line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
                       syntax_detail(e.what()));
    } catch (const nlohmann::json::out_of_range &e) {
        // A number too large for a double ("number overflow parsing '1e999'"):
        // nlohmann gives no position, so look the number up in the text.
        std::string what = e.what();
        auto open = what.find('\'');
        auto close = what.rfind('\'');
        std::string number = open != std::string::npos && close > open ? what.substr(open + 1, close - open - 1) : "";
        auto at = number.empty() ? std::string::npos : text.find(number);
        if (at == std::string::npos) throw JobError("a number is too large");
        std::size_t line = 0, column = 0;
        line_and_column(text, at + 1, line, column);
        throw JobError("line " + std::to_string(line) + ", column " + std::to_string(column) + ": the number " +
                       number + " is too large");
    }
    JsonField top(root, "");
    top.expect_object({"machine", "sheet", "turret", "laser_technologies", "work"});
    Job job;
    const nlohmann::json no_machine = nlohmann::json::object();
    job.machine = read_machine(top.has("machine") ? top.member("machine") : JsonField(no_machine, "/machine"), base_dir);
    if (top.has("sheet")) job.sheet = read_sheet(top.member("sheet"));
    if (top.has("turret")) job.turret = read_turret(top.member("turret"));
    if (top.has("laser_technologies")) job.technologies = read_technologies(top.member("laser_technologies"));
    if (top.has("work")) job.work = read_work(top.member("work"), Context{job.turret, job.technologies});
    return job;
}

Job read_job_file(const std::string &path) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) throw JobError(path + ": is a directory, not a job file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw JobError(path + ": cannot open the job file: " + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw JobError(path + ": cannot read the job file");
    std::string base = std::filesystem::path(path).parent_path().string();
    try {
        return parse_job(text.str(), base.empty() ? "." : base);
    } catch (const JobError &e) {
        throw JobError(path + ": " + e.what());
    }
}

}  // namespace job
