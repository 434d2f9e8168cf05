// Programs the post once wrote wrong and still called whole: a tool left in
// the turret after a pattern, a technology's S value taken for the same, a
// pattern's cut without its laser parameters, arcs the control cuts
// elsewhere, rounding that adds up, values the control cannot take.  Each
// job is posted with the real module, must read back clean with the post's
// own warnings, and its program holds (or lacks) the words that made the
// difference.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/host.h"
#include "job/job_reader.h"
#include "tests/support/host_fixture.h"
#include "tests/support/readback.h"

namespace fs = std::filesystem;

namespace {

// Tools 1 and 2 punch, tool 9 cuts; examples/machine/LASER.PAR has the
// section @ST37,2 of four lines.  Every case adds its own keys; a
// "machine" or "turret" of its own replaces the one here.
std::string laser_job(const std::string &machine, const std::string &rest,
                      const std::string &turret = R"([{"tool": 1, "station": 1}, {"tool": 2, "station": 2},
                                                      {"tool": 9, "station": 20, "laser": true}])") {
    return R"({"machine": {"machine_dir": "machine")" + std::string(machine.empty() ? "" : ", ") + machine + R"j(},
        "sheet": {"material": "ST37 (3)", "thickness": 2},
        "turret": )j" + turret + ", " + rest + "}";
}

constexpr const char *ONE_TECHNOLOGY = R"("laser_technologies": [{"number": 1, "feedrate": 25, "s_value": 450}])";

// A laser contour of technology t with the given elements.
std::string contour(int t, const std::string &elements) {
    return R"({"laser_contour": {"technology": )" + std::to_string(t) + R"(, "elements": [)" + elements + "]}}";
}

std::string arc_job(const std::string &machine, const char *from, const char *to, const char *centre, const char *sense) {
    return laser_job(machine, std::string(ONE_TECHNOLOGY) + R"(, "work": [)" +
                                  contour(1, std::string(R"({"arc": {"from": )") + from + R"(, "to": )" + to +
                                                 R"(, "centre": )" + centre + R"(, "sense": ")" + sense + "\"}}") +
                                  "]");
}

// The program with LF line ends, for finding words in it.
std::string lf(const std::string &program) {
    std::string text;
    for (char c : program) {
        if (c != '\r') text += c;
    }
    return text;
}

struct Case {
    const char *what;
    std::string job;
    std::vector<const char *> holds;  // lines the program holds, in this order
    std::vector<const char *> lacks;  // lines it must not hold (what was once written)
};

void expect_posted_and_clean(const Case &c, const std::string &base_dir) {
    SCOPED_TRACE(c.what);
    const job::Job job = job::parse_job(c.job, base_dir);
    const std::string program = posted_program(job);
    const std::string text = "\n" + lf(program);
    std::size_t at = 0;
    for (const char *line : c.holds) {
        const std::size_t found = text.find("\n" + std::string(line) + "\n", at);
        EXPECT_NE(found, std::string::npos) << "no line " << line << " (in this order) in\n" << text;
        if (found != std::string::npos) at = found + 1;
    }
    for (const char *line : c.lacks) {
        EXPECT_EQ(text.find("\n" + std::string(line) + "\n"), std::string::npos) << "a line " << line << " in\n" << text;
    }
    const verify::ComparisonResult r = check_program(job, program);
    EXPECT_EQ(r.differences, 0) << (r.messages.empty() ? "" : r.messages.front()) << "\n" << text;
    // Read back, the program warns of what the post warned of, no more.
    EXPECT_EQ(static_cast<long>(r.warnings.size()), static_cast<long>(host::message_counts().size()));
    for (const std::string &w : r.warnings) EXPECT_GT(host::message_count(w), 0) << w;
}

class PostFaults : public HostTest {};

TEST_F(PostFaults, AfterAPatternTheNextStepWritesWhatItNeeds) {
    const std::string cut_then_hit =
        R"("patterns": [{"number": 1, "body": [)" + contour(1, R"({"line": {"from": [0, 0], "to": [20, 0]}})") +
        R"(, {"hit": {"x": 10, "y": 10, "tool": 1}}]}])";
    const std::string three_steps = R"("work": [{"hit": {"x": 100, "y": 100, "tool": 2}},
        {"pattern_call": {"pattern": 1, "x": 200, "y": 200}}, {"hit": {"x": 300, "y": 300, "tool": 1}}])";
    const std::string two_technologies = R"("laser_technologies": [
        {"number": 1, "feedrate": 25, "mode": 1, "m7x": 2, "s_value": 450},
        {"number": 2, "feedrate": 25, "mode": 1, "m7x": 2, "s_value": 300}])";
    const std::string other_mode = R"("laser_technologies": [
        {"number": 1, "feedrate": 25, "mode": 1, "m7x": 2, "s_value": 450},
        {"number": 2, "feedrate": 25, "mode": 4, "m7x": 3, "s_value": 300}])";
    const std::string body_cuts_with_2 = R"("patterns": [{"number": 1, "body": [)" +
                                         contour(2, R"({"line": {"from": [0, 0], "to": [20, 0]}})") + R"(]}],
        "work": [)" + contour(1, R"({"line": {"from": [0, 100], "to": [20, 100]}})") +
                                         R"(, {"pattern_call": {"pattern": 1, "x": 200, "y": 200}}, )" +
                                         contour(1, R"({"line": {"from": [0, 50], "to": [20, 50]}})") + "]";
    const Case cases[] = {
        {"a pattern that cuts first, style 7: its station is selected before the call",
         laser_job(R"("pattern_style": 7)", std::string(ONE_TECHNOLOGY) + ", " + cut_then_hit + ", " + three_steps),
         {"X100Y100T2", "X100Y100T1M03", "OFS/X200Y200", "PAT01", "X300Y300"},
         {}},
        {"the same, style 3",
         laser_job(R"("pattern_style": 3)", std::string(ONE_TECHNOLOGY) + ", " + cut_then_hit + ", " + three_steps),
         {"X100Y100T2", "X200Y200T1M03", "PAT01", "X300Y300"},
         {}},
        {"the same without a hit before it",
         laser_job(R"("pattern_style": 7)", std::string(ONE_TECHNOLOGY) + ", " + cut_then_hit + R"(, "work": [
             {"pattern_call": {"pattern": 1, "x": 200, "y": 200}}, {"hit": {"x": 300, "y": 300, "tool": 1}}])"),
         {"X0Y0T1M03", "PAT01", "X300Y300"},
         {}},
        {"a forming body under 7001: forming ends before the next tool strikes",
         laser_job(R"("post_processor": 7001, "pattern_style": 0)", R"("patterns": [{"number": 1, "body": [
             {"hit": {"x": 0, "y": 0, "tool": 1}}, {"hit": {"x": -10, "y": 10, "tool": 1}}]}],
           "work": [{"pattern_call": {"pattern": 1, "x": 200, "y": 200}}, {"hit": {"x": 300, "y": 300, "tool": 2}}])",
                   R"([{"tool": 1, "station": 1, "options": "F"}, {"tool": 2, "station": 2}])"),
         {"M08", "PAT01", "M09", "X300Y300T2"},
         {}},
        {"two technologies that differ only in S",
         laser_job("", two_technologies + R"(, "work": [)" + contour(1, R"({"line": {"from": [0, 0], "to": [20, 0]}})") +
                           ", " + contour(2, R"({"line": {"from": [0, 50], "to": [20, 50]}})") + "]"),
         {"M27S450", "M23", "M27S300", "X0Y50F2500"},
         {}},
        {"a body cutting with another technology, style 0: the main cut writes its own words again",
         laser_job(R"("pattern_style": 0)", other_mode + ", " + body_cuts_with_2),
         {"M73", "M28S300", "END01", "M72", "M27S450", "PAT01", "M72", "M27S450", "X0Y50F2500"},
         {}},
        {"the same, style 7",
         laser_job(R"("pattern_style": 7)", other_mode + ", " + body_cuts_with_2),
         {"M27S450", "PAT01", "OFS/X0Y0", "M121", "M72", "M27S450", "X0Y50F2500"},
         {}},
        {"a technology of M71 (m7x -1) writes it",
         laser_job("", R"("laser_technologies": [{"number": 1, "feedrate": 25, "mode": 1, "m7x": -1, "s_value": 450}],
             "work": [)" + contour(1, R"({"line": {"from": [0, 0], "to": [20, 0]}})") + "]"),
         {"M121", "M71", "M27S450"},
         {}},
        {"a technology of mode -1 writes M28",
         laser_job("", R"("laser_technologies": [{"number": 1, "feedrate": 25, "mode": -1, "m7x": 2, "s_value": 450}],
             "work": [)" + contour(1, R"({"line": {"from": [0, 0], "to": [20, 0]}})") + "]"),
         {"M121", "M72", "M28S450"},
         {}},
    };
    for (const Case &c : cases) expect_posted_and_clean(c, source_path("examples"));
}

TEST_F(PostFaults, APatternThatCutsHasItsLaserParameters) {
    const std::string rest = std::string(ONE_TECHNOLOGY) + R"(, "patterns": [{"number": 1, "body": [
        {"hit": {"x": 0, "y": 0, "tool": 1}}, )" + contour(1, R"({"line": {"from": [10, 0], "to": [30, 0]}})") + R"(]}],
        "work": [{"pattern_call": {"pattern": 1, "x": 100, "y": 100}}])";
    const Case cases[] = {
        {"style 7", laser_job(R"("pattern_style": 7)", rest), {"LPAR/P1500F2000", "LPRC/T0.4", "PAT01"}, {}},
        {"style 3", laser_job(R"("pattern_style": 3)", rest), {"LPAR/P1500F2000", "LPRC/T0.4", "PAT01"}, {}},
    };
    for (const Case &c : cases) expect_posted_and_clean(c, source_path("examples"));
}

// An LCI/ block carries its end and its radius rounded; near a half turn a
// hair of rounding moves the whole arc, so such arcs are cut in pieces.
TEST_F(PostFaults, LaserArcsAreCutWhereTheJobSays) {
    const std::string inch = R"("units": "inch")";
    const Case cases[] = {
        {"a half circle of radius 12.345",
         arc_job("", "[0, 200]", "[24.69, 200]", "[12.345, 200]", "ccw"),
         {"LCI/L 12.34 187.66 12.35F2500", "LCI/L 24.69 200 12.34F2500"},
         {}},
        {"a half circle of radius 50 on an inch machine",
         arc_job(inch, "[0, 200]", "[100, 200]", "[50, 200]", "ccw"),
         {"LCI/L 1.969 5.906 1.969F984.252", "LCI/L 3.937 7.874 1.969F984.252"},
         {}},
        {"a 20 mm slot on an inch machine",
         laser_job(inch, std::string(ONE_TECHNOLOGY) + R"(, "work": [)" +
                             contour(1, R"({"line": {"from": [10, 0], "to": [30, 0]}},
                 {"arc": {"from": [30, 0], "to": [30, 20], "centre": [30, 10], "sense": "ccw"}},
                 {"line": {"from": [30, 20], "to": [10, 20]}},
                 {"arc": {"from": [10, 20], "to": [10, 0], "centre": [10, 10], "sense": "ccw"}})") + "]"),
         {"LCI/L 1.575 0.394 0.394F984.252", "LCI/L 1.181 0.787 0.394F984.252", "LCI/L 0 0.394 0.394F984.252"},
         {}},
        {"a half circle of radius 96.465",
         arc_job("", "[0, 200]", "[192.93, 200]", "[96.465, 200]", "ccw"),
         {"LCI/L 96.46 103.53 96.47F2500", "LCI/L 192.93 200 96.47F2500"},
         {}},
        {"a third of a circle of radius 33.33",
         arc_job("", "[378.865573, 787.423031]", "[390.368429, 721.756297]", "[384.617001, 754.589664]", "cw"),
         {"LCI/R 417.45 760.34 33.33F2500", "LCI/R 390.37 721.76 33.33F2500"},
         {}},
        {"341 degrees on an inch machine with a short chord",
         arc_job(inch, "[140.345, 1122]", "[141.822719, 1118.327048]", "[152.388501, 1124.71166]", "cw"),
         {"LCI/R 6.094 44.757 0.486F984.252", "LCI/R 6.398 44.001 0.486F984.252", "LCI/R 5.584 44.029 0.486F984.252"},
         {}},
        {"a radius that would be written shorter than half the chord",
         arc_job("", "[1851.11559, 535.527349]", "[1845.104362, 530.574413]", "[1848.109976, 533.050881]", "cw"),
         {"LCI/R 1850.59 530.05 3.89F2500", "LCI/R 1845.1 530.57 3.89F2500"},
         {}},
    };
    for (const Case &c : cases) expect_posted_and_clean(c, source_path("examples"));
}

TEST_F(PostFaults, RoundingDoesNotAddUp) {
    const std::string inch = R"("units": "inch")";
    const std::string indexable =
        R"([{"tool": 1, "station": 1, "indexable": true}, {"tool": 2, "station": 2}, {"tool": 9, "station": 20, "laser": true}])";
    const Case cases[] = {
        {"a bolt-hole circle of one hole is a hit",
         laser_job("", R"("work": [{"bolt_hole_circle": {"centre": [541.866667, 338.666667], "radius": 8.466667,
             "step_angle": 12.345, "holes": 1, "tool": 1}}])"),
         {"X550.33Y338.67T1"},
         {"ARC/8.47 0 12.35 1"}},
        {"the same on an inch machine",
         laser_job(inch, R"("work": [{"bolt_hole_circle": {"centre": [563.562, 981.758], "radius": 149.008,
             "step_angle": 215.82, "holes": 1, "first_angle": 26.26, "tool": 1}}])"),
         {"X27.448Y41.247T1"},
         {}},
        {"a repeat of one copy is a call where the copy is",
         laser_job("", R"("patterns": [{"number": 1, "body": [{"hit": {"x": 0, "y": 0, "tool": 1}}]}],
             "work": [{"pattern_repeat": {"pattern": 1, "x": 405.12345, "y": 805, "count": 1, "dx": 12.345}}])"),
         {"X405.12Y805T1M03", "PAT01"},
         {"OFS/X392.78Y805"}},
        {"a relative word after a bolt-hole circle of an inch machine, from the hole the control reached",
         laser_job(inch, R"("patterns": [{"number": 1, "body": [{"bolt_hole_circle": {"centre": [0, 0], "radius": 250.005,
             "step_angle": 30, "holes": 5, "tool": 1}}, {"hit": {"x": 10, "y": 0, "tool": 1}}]}],
             "work": [{"pattern_call": {"pattern": 1, "x": 500, "y": 500}}])"),
         {"ARC/9.843 0 30 5 ", "DX5.315DY-8.524"},
         {}},
        {"a positioning after a copy whose body turns the index",
         laser_job("", R"("patterns": [{"number": 1, "body": [{"hit": {"x": 0, "y": 0, "tool": 1}},
             {"hit": {"x": 10.0033, "y": 3.3333, "tool": 1, "angle": 33.333}}]}],
             "work": [{"pattern_call": {"pattern": 1, "x": 100.1234, "y": 200.5678}},
                      {"position": {"x": 400.004, "y": 300.004, "tool": 1}}, {"hit": {"x": 500, "y": 500, "tool": 1}}])",
                   indexable),
         {"DX10DY3.33C33.33", "PAT01", "X400Y300C0M03", "X500Y500"},
         {}},
        {"a nibbled arc that ends within the tolerance",
         laser_job("", R"("work": [{"nibble_arc": {"centre": [1027.152, 823.375], "radius": 91.791, "step": 3.111,
             "start_angle": 156.07, "end_angle": -32.965, "sense": "ccw", "tool": 1}}])"),
         {"RAD/I 96.79 10 156.07 170.97 3.11 "},
         {}},
        {"diagonal repeats of a body with a row",
         laser_job("", R"("patterns": [{"number": 1, "body": [{"hit": {"x": 0, "y": 0, "tool": 1}},
             {"hit": {"x": -28.209, "y": 19.399, "tool": 1}},
             {"row": {"from": [2.946, 22.205], "pitch": [16.59, -18.825], "hits": 4, "tool": 1}}]}],
             "work": [{"pattern_repeat": {"pattern": 1, "x": 393.203, "y": 224.111, "count": 6, "dx": -31.319, "dy": 65.505}}])"),
         {"OFS/X424.52Y158.61", "MGR/01 L 31.32 2 U 65.5 2", "OFS/X361.88Y289.62", "OFS/X299.25Y420.63"},
         {}},
        {"a row in a body whose increment from the reached place is a tie of half a unit",
         laser_job("", R"("patterns": [{"number": 1, "body": [{"row": {"from": [49.333333, 25.4], "to": [49.333333, -5.715],
             "hits": 8, "tool": 1}}]}],
             "work": [{"pattern_call": {"pattern": 1, "x": 318.093799, "y": 515.191721}}])"),
         {"DX49.33DY25.4", "DY-4.45", "DY-4.44", "DY-4.44", "DY-4.45", "DY-4.44", "DY-4.45", "DY-4.44", "END01"},
         {"LAA/4.44 -90 2"}},
        {"a nibbling step of 4.445 is rounded down",
         laser_job("", R"("work": [{"nibble_line": {"from": [0, 0], "to": [100, 0], "step": 4.445, "tool": 1}}])"),
         {"CAA/Z 100 10 0 4.44"},
         {"CAA/Z 100 10 0 4.45"}},
        {"a nibbling step of 2 mm on an inch machine is rounded down",
         laser_job(inch, R"("work": [{"nibble_line": {"from": [0, 0], "to": [100, 0], "step": 2, "tool": 1}}])"),
         {"CAA/Z 3.937 0.394 0 0.078"},
         {"CAA/Z 3.937 0.394 0 0.079"}},
    };
    for (const Case &c : cases) expect_posted_and_clean(c, source_path("examples"));
}

TEST_F(PostFaults, ValuesTheControlCannotTakeAreRefused) {
    const struct {
        const char *what;
        std::string job;
        const char *says;
    } cases[] = {
        {"a nibbled circle of radius 0.004",
         laser_job("", R"("work": [{"nibble_circle": {"centre": [5, 10], "radius": 0.004, "step": 1, "tool": 1}}])"),
         "/work/0/nibble_circle/radius: the radius of 0.004 mm would be written as 0"},
        {"a pattern body of a positioning only",
         laser_job("", R"("patterns": [{"number": 1, "body": [{"position": {"x": 0, "y": 0, "tool": 1}}]}],
             "work": [{"pattern_call": {"pattern": 1, "x": 100, "y": 100}}])"),
         "/patterns/0/body: a pattern needs a step that punches or cuts"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        try {
            job::parse_job(c.job, source_path("examples"));
            ADD_FAILURE() << "taken";
        } catch (const job::JobError &e) {
            EXPECT_NE(std::string(e.what()).find(c.says), std::string::npos) << e.what();
        }
    }
}

// LASER.PAR lines the control would not run as parameters are skipped with
// a warning, and read back the program expects the same section.
TEST_F(PostFaults, TheLaserParametersAsTheControlReadsThem) {
    const fs::path dir = fs::temp_directory_path() / ("pelk_post_faults_" + std::to_string(::getpid()));
    fs::create_directories(dir / "machine");
    const std::string job = laser_job("", std::string(ONE_TECHNOLOGY) + R"(, "work": [)" +
                                              contour(1, R"({"line": {"from": [0, 0], "to": [20, 0]}})") + "]");
    const struct {
        const char *what;
        std::string file;
        std::vector<const char *> holds;
        std::vector<const char *> lacks;
    } files[] = {
        {"a header with a zero byte before the good one",
         std::string("@ST37,2") + '\0' + "\r\nLPAR/B\r\n@ST37,2\r\nLPAR/P1500F2000\r\n",
         {"LPAR/P1500F2000", "M121"},
         {"LPAR/B"}},
        {"a data line that is a comment, and one with a stray parenthesis",
         "@ST37,2\r\nLPAR/P1500F2000\r\n(GAS)\r\n(A)B\r\nLFOC/Z-1.0\r\n",
         {"LPAR/P1500F2000", "LFOC/Z-1.0", "M121"},
         {"(GAS)", "(A)B"}},
    };
    for (const auto &f : files) {
        std::ofstream(dir / "machine" / "LASER.PAR", std::ios::binary) << f.file;
        expect_posted_and_clean({f.what, job, f.holds, f.lacks}, dir.string());
    }
    fs::remove_all(dir);
}

}  // namespace
