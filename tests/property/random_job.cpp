// random_job.cpp - seeded random jobs for the property test.
//
// A job is built as text, step by step, keeping what the job reader will
// check (a punch of the turret, one station per pattern body, cuts that go
// on where they ended, arcs whose ends lie on their circle), so that nearly
// every job is one the reader takes and the test spends its time on the
// program, not on refusals.
#include "tests/property/random_job.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace property {
namespace {

constexpr double PI = 3.14159265358979323846;

// splitmix64: small, fast and the same everywhere.
class Random {
public:
    // Seeds next to each other must not make shifted copies of one sequence.
    explicit Random(std::uint64_t seed) : state_(seed) { state_ = next() ^ 0x632BE59BD9B4E019ull; }
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    template <typename T, std::size_t N>
    const T &pick(const T (&list)[N]) { return list[static_cast<std::size_t>(below(static_cast<int>(N)))]; }
    template <typename T>
    T one_of(std::initializer_list<T> list) { return *(list.begin() + below(static_cast<int>(list.size()))); }
    template <typename T>
    const T &pick(const std::vector<T> &list) { return list[static_cast<std::size_t>(below(static_cast<int>(list.size())))]; }

private:
    std::uint64_t state_;
};

// A number as the job file holds it: at most six decimals, no trailing zeros.
std::string num(double v) {
    if (std::fabs(v) < 5e-7) v = 0.0;
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", v);
    std::string s(text);
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}
// The value the job file holds for v.
double kept(double v) { return std::stod(num(v)); }

struct Point {
    double x = 0.0, y = 0.0;
};
std::string point(Point p) { return "[" + num(p.x) + ", " + num(p.y) + "]"; }

struct Station {
    int tool = 0;
    int number = 0;
    bool indexable = false;
    bool laser = false;
};

struct Technology {
    int number = 0;
};

class JobMaker {
public:
    JobMaker(std::uint64_t seed, const std::string &machine_dir) : r_(seed), machine_dir_(machine_dir) {}

    std::string make() {
        std::string machine = make_machine();
        std::string sheet = make_sheet();
        std::string turret = make_turret();
        std::string technologies = make_technologies();
        std::string patterns = make_patterns();
        std::string work = make_work();
        std::string job = "{\n\"machine\": " + machine + ",\n\"sheet\": " + sheet + ",\n\"turret\": " + turret;
        if (!technologies.empty()) job += ",\n\"laser_technologies\": " + technologies;
        if (!patterns.empty()) job += ",\n\"patterns\": " + patterns;
        return job + ",\n\"work\": " + work + "\n}\n";
    }

private:
    // ---- Values -------------------------------------------------------------------

    // A place on the sheet: round numbers, three decimals, thirds, inch fractions.
    double coordinate(double lo, double hi) {
        const double base = lo + (hi - lo) * r_.unit();
        switch (r_.below(5)) {
        case 0: return std::round(base / 5.0) * 5.0;
        case 1: return std::round(base * 1000.0) / 1000.0;
        case 2: return kept(std::floor(base) + 1.0 / 3.0);
        case 3: return kept(std::round(base / 25.4 * 3.0) * 25.4 / 3.0);
        default: return kept(base);
        }
    }
    Point place() { return {coordinate(20.0, sheet_x_ - 20.0), coordinate(20.0, sheet_y_ - 20.0)}; }
    Point near(Point p, double reach) {
        return {kept(p.x + coordinate(-reach, reach)), kept(p.y + coordinate(-reach, reach))};
    }
    // A length the control's rounding may not take exactly.
    double length(double lo, double hi) {
        static const double awkward[] = {12.345, 33.3333, 8.466667, 25.4, 16.59, 4.445, 10.0, 7.5, 2.0, 0.3333, 96.465, 1.0 / 3.0};
        if (r_.chance(45)) {
            const double v = r_.pick(awkward);
            if (v >= lo && v <= hi) return kept(v);
        }
        return kept(lo + (hi - lo) * r_.unit());
    }
    double signed_length(double lo, double hi) { return r_.chance(50) ? length(lo, hi) : -length(lo, hi); }
    double index_angle() {
        static const double angles[] = {0.0, 90.0, 45.0, 30.0, 12.345, -90.0, 180.0, 359.99, 0.001, 270.0, -45.5};
        return r_.pick(angles);
    }
    double any_angle() {
        static const double angles[] = {0.0, 90.0, 45.0, 12.345, -30.0, 156.07, 215.82, 26.26, 180.0, 270.0};
        return r_.chance(60) ? r_.pick(angles) : kept(-180.0 + 360.0 * r_.unit());
    }

    // ---- Machine, sheet, turret, technologies ---------------------------------------

    std::string make_machine() {
        static const int variants[] = {7000, 7001, 7002};
        static const int styles[] = {0, 0, 7, 7, 3};
        inch_ = r_.chance(35);
        style_ = r_.pick(styles);
        laser_allowed_ = r_.chance(60);
        sheet_x_ = static_cast<double>(r_.one_of<int>({1000, 2000, 2500, 3000, 4000}));
        sheet_y_ = static_cast<double>(r_.one_of<int>({500, 1000, 1250, 1500}));
        std::string m = "{\"post_processor\": " + std::to_string(r_.pick(variants));
        m += std::string(", \"units\": \"") + (inch_ ? "inch" : "mm") + "\"";
        if (r_.chance(15)) m += ", \"code\": \"eia\"";
        m += ", \"program_number\": " + std::to_string(r_.one_of<int>({1, 12, 33, 0, 9999, 250}));
        if (r_.chance(15)) m += ", \"write_program_number\": false";
        if (r_.chance(15)) m += ", \"rewind\": false";
        m += ", \"loader_unloader\": " + std::to_string(r_.between(0, 2));
        m += ", \"reposition_type\": " + std::to_string(r_.chance(70) ? 1 : 0);
        if (r_.chance(30)) m += ", \"reposition_clamp_travel\": " + num(length(5.0, 80.0));
        m += ", \"max_feedrate\": " + num(r_.one_of<double>({100.0, 80.0, 12.345}));
        m += ", \"initial_feedrate\": " + num(r_.one_of<double>({100.0, 40.0, 20.0, 3.0}));
        load_ = {coordinate(0.0, sheet_x_), coordinate(0.0, sheet_y_)};
        m += ", \"load_position\": " + point(load_);
        const int clamps = r_.between(0, 3);
        m += ", \"clamps\": [";
        for (int i = 0; i < clamps; ++i) m += (i > 0 ? ", " : "") + num(coordinate(100.0, sheet_x_ - 100.0));
        m += "]";
        m += ", \"pattern_style\": " + std::to_string(style_);
        if (r_.chance(10)) m += ", \"max_patterns\": 2";
        if (laser_allowed_) m += ", \"laser_allowed\": 2";
        m += ", \"machine_dir\": \"" + machine_dir_ + "\"";
        if (r_.chance(20)) m += ", \"line_number_increment\": " + std::to_string(r_.between(0, 10));
        return m + "}";
    }

    std::string make_sheet() {
        static const char *materials[] = {"ST37 (3)", "ST37 (3)", "AL99 (5)", "1.4301 (2)", "ST37", "CU (x)"};
        static const double thicknesses[] = {1.0, 2.0, 2.0, 3.0, 1.5};
        std::string s = "{\"material\": \"" + std::string(r_.pick(materials)) + "\"";
        s += ", \"thickness\": " + num(r_.pick(thicknesses));
        s += ", \"size\": [" + num(sheet_x_) + ", " + num(sheet_y_) + "]";
        if (r_.chance(80)) s += ", \"nest_name\": \"NEST-" + std::to_string(r_.between(1, 9999)) + "\"";
        return s + "}";
    }

    std::string make_turret() {
        static const char *options[] = {"", "", "", "F", "R1", "R2", "R3", "R0", "FR2", "R"};
        static const char *shapes[] = {"\"shape\": \"round\", \"size\": 10", "\"shape\": \"square\", \"size\": 8",
                                       "\"shape\": \"rectangle\", \"size\": [20, 5]",
                                       "\"shape\": \"obround\", \"size\": [30, 8]", ""};
        const int punches = r_.between(1, 5);
        std::vector<int> used;
        std::string t = "[";
        for (int i = 0; i < punches; ++i) {
            int number = 0;
            do number = r_.between(1, 40);
            while (std::find(used.begin(), used.end(), number) != used.end());
            used.push_back(number);
            Station s{i + 1, number, r_.chance(40), false};
            stations_.push_back(s);
            t += std::string(i > 0 ? ",\n  " : "\n  ") + "{\"tool\": " + std::to_string(s.tool) + ", \"station\": " +
                 std::to_string(s.number);
            const std::string o = r_.pick(options);
            if (!o.empty()) t += ", \"options\": \"" + o + "\"";
            if (s.indexable) t += ", \"indexable\": true";
            const std::string shape = r_.pick(shapes);
            if (!shape.empty()) t += ", " + shape;
            t += "}";
        }
        if (r_.chance(75)) {
            laser_ = true;
            t += ",\n  {\"tool\": 90, \"station\": 50, \"laser\": true}";
        }
        return t + "]";
    }

    std::string make_technologies() {
        if (!laser_) return "";
        static const char *modes[] = {"1", "2", "3", "0", "-1", "\"1\"", "7"};
        static const char *m7xs[] = {"2", "3", "4", "1", "-1", "5"};
        static const char *s_values[] = {"450", "300", "600", "\"0450\"", "0"};
        static const double feeds[] = {25.0, 12.345, 30.0, 2.5, 7.777};
        const int count = r_.between(1, 3);
        std::string t = "[";
        const char *mode = r_.pick(modes);
        const char *m7x = r_.pick(m7xs);
        for (int i = 0; i < count; ++i) {
            // Often alike but for one word, which a program must still change.
            if (i == 0 || r_.chance(50)) mode = r_.pick(modes);
            if (i == 0 || r_.chance(50)) m7x = r_.pick(m7xs);
            technologies_.push_back({i + 1});
            t += std::string(i > 0 ? ",\n  " : "\n  ") + "{\"number\": " + std::to_string(i + 1) + ", \"feedrate\": " +
                 num(r_.pick(feeds)) + ", \"mode\": " + mode + ", \"m7x\": " + m7x + ", \"s_value\": " +
                 r_.pick(s_values) + "}";
        }
        return t + "]";
    }

    // ---- Steps ------------------------------------------------------------------------

    const Station &punch() { return stations_[static_cast<std::size_t>(r_.below(static_cast<int>(stations_.size())))]; }
    std::string tool_words(const Station &s) {
        std::string t = "\"tool\": " + std::to_string(s.tool);
        if (s.indexable ? r_.chance(70) : r_.chance(10)) t += ", \"angle\": " + num(index_angle());
        return t;
    }

    std::string hit(Point p, const Station &s, const char *kind = "hit") {
        return std::string("{\"") + kind + "\": {\"x\": " + num(p.x) + ", \"y\": " + num(p.y) + ", " + tool_words(s) + "}}";
    }

    std::string row(Point p, const Station &s) {
        const int hits = r_.chance(10) ? 1 : r_.between(2, 9);
        std::string t = "{\"row\": {\"from\": " + point(p);
        Point pitch{0.0, 0.0};
        switch (r_.below(3)) {
        case 0: pitch.x = signed_length(2.0, 40.0); break;
        case 1: pitch.y = signed_length(2.0, 40.0); break;
        default: pitch = {signed_length(2.0, 30.0), signed_length(2.0, 30.0)};
        }
        if (hits == 1 || r_.chance(50)) t += ", \"pitch\": " + point(pitch);
        else t += ", \"to\": " + point({kept(p.x + pitch.x * (hits - 1)), kept(p.y + pitch.y * (hits - 1))});
        return t + ", \"hits\": " + std::to_string(hits) + ", " + tool_words(s) + "}}";
    }

    std::string nibble_line(Point p, const Station &s) {
        Point to = near(p, 150.0);
        if (std::fabs(to.x - p.x) < 0.05 && std::fabs(to.y - p.y) < 0.05) to.x = kept(to.x + 20.0);
        return "{\"nibble_line\": {\"from\": " + point(p) + ", \"to\": " + point(to) + ", \"step\": " + num(length(1.0, 12.0)) +
               ", " + tool_words(s) + "}}";
    }

    std::string nibble_circle(Point c, const Station &s) {
        std::string t = "{\"nibble_circle\": {\"centre\": " + point(c) + ", \"radius\": " + num(length(2.0, 100.0)) +
                        ", \"step\": " + num(length(1.0, 10.0));
        if (r_.chance(50)) t += ", \"start_angle\": " + num(any_angle());
        if (r_.chance(40)) t += ", \"sense\": \"cw\"";
        return t + ", " + tool_words(s) + "}}";
    }

    std::string nibble_arc(Point c, const Station &s) {
        const double radius = length(5.0, 100.0);
        const double start = any_angle();
        double sweep = length(5.0, 300.0);
        const bool cw = r_.chance(40);
        std::string t = "{\"nibble_arc\": {\"centre\": " + point(c) + ", \"radius\": " + num(radius);
        if (r_.chance(30)) {
            t += ", \"from\": " + point({kept(c.x + radius * std::cos(start * PI / 180.0)), kept(c.y + radius * std::sin(start * PI / 180.0))});
        } else {
            t += ", \"start_angle\": " + num(start);
        }
        const double end = start + (cw ? -sweep : sweep);
        if (r_.chance(30)) {
            t += ", \"to\": " + point({kept(c.x + radius * std::cos(end * PI / 180.0)), kept(c.y + radius * std::sin(end * PI / 180.0))});
        } else {
            t += ", \"end_angle\": " + num(end);
        }
        if (cw) t += ", \"sense\": \"cw\"";
        return t + ", \"step\": " + num(length(1.0, 10.0)) + ", " + tool_words(s) + "}}";
    }

    std::string bolt_hole_circle(Point c, const Station &s) {
        const int holes = r_.between(1, 8);
        double step = length(5.0, 90.0);
        if ((holes - 1) * step >= 359.0) step = kept(300.0 / holes);
        if (r_.chance(40)) step = -step;
        std::string t = "{\"bolt_hole_circle\": {\"centre\": " + point(c) + ", \"radius\": " + num(length(3.0, 250.0)) +
                        ", \"step_angle\": " + num(step) + ", \"holes\": " + std::to_string(holes);
        if (r_.chance(60)) t += ", \"first_angle\": " + num(any_angle());
        return t + ", " + tool_words(s) + "}}";
    }

    // A laser contour from p: lines, arcs and full circles, in one or more
    // cuts; end is where it leaves the head, open when its last cut goes on.
    std::string contour(Point p, Point &end, bool &open, int &technology, bool goes_on = false, bool in_pattern = false) {
        if (!goes_on) technology = technologies_[static_cast<std::size_t>(r_.below(static_cast<int>(technologies_.size())))].number;
        std::string t = "{\"laser_contour\": {\"technology\": " + std::to_string(technology);
        if (!goes_on) {
            static const char *compensations[] = {"", "", ", \"compensation\": \"left\"", ", \"compensation\": \"right\""};
            t += r_.pick(compensations);
            if (r_.chance(40)) t += ", \"laser_on\": " + std::to_string(r_.between(0, 7));
        }
        t += ", \"elements\": [";
        const int count = r_.between(1, 5);
        Point at = p;
        open = false;
        for (int i = 0; i < count; ++i) {
            const bool last = i == count - 1;
            std::string e;
            if (r_.chance(55)) {
                Point to = near(at, 120.0);
                if (std::fabs(to.x - at.x) < 0.05 && std::fabs(to.y - at.y) < 0.05) to.y = kept(to.y + 15.0);
                e = "{\"line\": {\"from\": " + point(at) + ", \"to\": " + point(to) + "}";
                at = to;
            } else {
                e = arc(at);
            }
            int off = -1;
            if (!last && r_.chance(20)) off = r_.between(1, 7);
            if (last && r_.chance(25)) off = in_pattern ? r_.one_of<int>({2, 3, 7}) : r_.one_of<int>({1, 2, 3, 7});
            if (last && !goes_on && !in_pattern && r_.chance(6)) {
                off = 0;
                open = true;
            }
            if (off >= 0) e += ", \"laser_off\": " + std::to_string(off);
            t += (i > 0 ? ",\n    " : "\n    ") + e + "}";
            if (off > 0 && !last) {
                // The next cut may start elsewhere, with words of its own.
                if (r_.chance(50)) at = near(at, 80.0);
            }
        }
        end = at;
        return t + "]}}";
    }

    // An arc element from at; at becomes its end.
    std::string arc(Point &at) {
        const bool cw = r_.chance(45);
        const double radius = length(2.0, 100.0);
        const double start = any_angle() * PI / 180.0;
        Point c{kept(at.x - radius * std::cos(start)), kept(at.y - radius * std::sin(start))};
        const double r = std::hypot(at.x - c.x, at.y - c.y);
        if (r_.chance(12)) {
            // A full circle.
            return std::string("{\"arc\": {\"from\": ") + point(at) + ", \"to\": " + point(at) + ", \"centre\": " + point(c) +
                   (cw ? ", \"sense\": \"cw\"" : "") + "}";
        }
        static const double sweeps[] = {90.0, 180.0, 179.9, 180.1, 270.0, 341.0, 45.0, 1.5, 359.0};
        const double sweep = (r_.chance(60) ? r_.pick(sweeps) : 1.0 + 357.0 * r_.unit()) * PI / 180.0;
        const double a = start + (cw ? -sweep : sweep);
        Point to{kept(c.x + r * std::cos(a)), kept(c.y + r * std::sin(a))};
        if (std::fabs(std::hypot(to.x - c.x, to.y - c.y) - r) > 0.0005) to = at;  // cannot happen, kept for safety
        const std::string text = std::string("{\"arc\": {\"from\": ") + point(at) + ", \"to\": " + point(to) +
                                 ", \"centre\": " + point(c) + (cw ? ", \"sense\": \"cw\"" : "") + "}";
        at = to;
        return text;
    }

    std::string sheet_event(bool in_pattern) {
        static const char *texts[] = {"(CHECK THE PART)", "M00", "DWL/X 0.5", "(NOTE)"};
        switch (r_.below(in_pattern ? 7 : 11)) {
        case 0: return "{\"stop\": {}}";
        case 1: return "{\"dwell\": {\"time\": " + num(r_.one_of<double>({0.5, 1.0, 2.345})) + "}}";
        case 2: return "{\"trap_door\": {\"dx\": " + num(signed_length(0.0, 50.0)) + ", \"dy\": " + num(signed_length(0.0, 50.0)) +
                       (r_.chance(20) ? ", \"kind\": 3" : "") + "}}";
        case 3: return "{\"tab_break\": {}}";
        case 4: return std::string("{\"nc\": {\"text\": \"") + r_.pick(texts) + "\"}}";
        case 5: return "{\"feedrate\": {\"feed\": " + num(r_.one_of<double>({10.0, 30.0, 55.5, 90.0})) + "}}";
        case 6: {
            const Point p = in_pattern ? Point{coordinate(-50.0, 50.0), coordinate(-50.0, 50.0)} : place();
            return std::string(r_.chance(50) ? "{\"move\": " : "{\"sheet_move\": ") + "{\"x\": " + num(p.x) + ", \"y\": " + num(p.y) + "}}";
        }
        case 7: {
            const Point p = place();
            std::string t = "{\"reposition\": {\"x\": " + num(p.x) + ", \"y\": " + num(p.y) + ", \"dx\": " + num(length(50.0, 900.0));
            if (r_.chance(30)) t += ", \"clamp_travel\": " + num(length(5.0, 60.0));
            return t + "}}";
        }
        case 8: return "{\"flip\": {}}";
        case 9: return "{\"turn\": {\"kind\": " + std::to_string(r_.between(0, 3)) + "}}";
        default: return "{\"stop\": {}}";
        }
    }

    // ---- Patterns -------------------------------------------------------------------

    std::string make_patterns() {
        if (!r_.chance(45)) return "";
        const int count = r_.between(1, 3);
        std::string t = "[";
        for (int i = 0; i < count; ++i) {
            const int number = i + 1;
            std::string p = "{\"number\": " + std::to_string(number);
            if (r_.chance(30)) p += ", \"name\": \"part" + std::to_string(number) + "\"";
            p += ", \"body\": [" + pattern_body() + "]}";
            t += std::string(i > 0 ? ",\n  " : "\n  ") + p;
            patterns_.push_back(number);
        }
        return t + "]";
    }

    std::string pattern_body() {
        const Station &s = punch();
        const int steps = r_.between(1, 4);
        std::string body;
        bool works = false;
        for (int i = 0; i < steps; ++i) {
            const Point p{coordinate(-60.0, 60.0), coordinate(-60.0, 60.0)};
            std::string step;
            const int kind = r_.below(10);
            if (kind <= 2) step = hit(p, s), works = true;
            else if (kind == 3) step = row(p, s), works = true;
            else if (kind == 4) step = r_.chance(50) ? nibble_line(p, s) : nibble_arc(p, s), works = true;
            else if (kind == 5) step = r_.chance(50) ? nibble_circle(p, s) : bolt_hole_circle(p, s), works = true;
            else if (kind == 6 && laser_) {
                Point end;
                bool open = false;
                int technology = 0;
                step = contour(p, end, open, technology, false, true);
                works = true;
            } else if (kind == 7) step = hit(p, s, "position");
            else step = sheet_event(true);
            body += (body.empty() ? "" : ", ") + step;
        }
        if (!works) body += (body.empty() ? "" : ", ") + hit({coordinate(-30.0, 30.0), coordinate(-30.0, 30.0)}, s);
        return body;
    }

    std::string pattern_name(int number) {
        return std::to_string(number);
    }

    // ---- The work -------------------------------------------------------------------

    std::string make_work() {
        const int steps = r_.between(3, 24);
        std::string w = "[";
        bool first = true;
        auto add = [&](const std::string &step) {
            w += (first ? "\n  " : ",\n  ") + step;
            first = false;
        };
        for (int i = 0; i < steps; ++i) {
            const int kind = r_.below(100);
            const Point p = place();
            if (kind < 16) add(hit(p, punch()));
            else if (kind < 20) add(hit(p, punch(), "position"));
            else if (kind < 27) add(row(p, punch()));
            else if (kind < 31) add(nibble_line(p, punch()));
            else if (kind < 34) add(nibble_circle(p, punch()));
            else if (kind < 38) add(nibble_arc(p, punch()));
            else if (kind < 43) add(bolt_hole_circle(p, punch()));
            else if (kind < 62 && laser_) {
                Point end;
                bool open = false;
                int technology = 0;
                add(contour(p, end, open, technology));
                if (open) {
                    // The open cut goes on in the next step, with its technology.
                    Point end2;
                    add(contour(end, end2, open, technology, true));
                }
            } else if (kind < 76 && !patterns_.empty()) {
                const int number = r_.pick(patterns_);
                if (r_.chance(50)) {
                    add("{\"pattern_call\": {\"pattern\": " + pattern_name(number) + ", \"x\": " + num(p.x) + ", \"y\": " + num(p.y) + "}}");
                } else {
                    std::string t = "{\"pattern_repeat\": {\"pattern\": " + pattern_name(number) + ", \"x\": " + num(p.x) +
                                    ", \"y\": " + num(p.y);
                    const int axes = r_.below(4);
                    if (axes != 1) t += ", \"dx\": " + num(signed_length(10.0, 150.0));
                    if (axes != 0) t += ", \"dy\": " + num(signed_length(10.0, 150.0));
                    add(t + ", \"count\": " + std::to_string(r_.between(1, 6)) + "}}");
                }
            } else {
                add(sheet_event(false));
            }
        }
        return w + "]";
    }

    Random r_;
    std::string machine_dir_;
    bool inch_ = false;
    int style_ = 0;
    bool laser_allowed_ = false;
    bool laser_ = false;
    double sheet_x_ = 2500.0, sheet_y_ = 1250.0;
    Point load_;
    std::vector<Station> stations_;
    std::vector<Technology> technologies_;
    std::vector<int> patterns_;
};

}  // namespace

std::string random_job(std::uint64_t seed, const std::string &machine_dir) { return JobMaker(seed, machine_dir).make(); }

}  // namespace property
