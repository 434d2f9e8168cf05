// job_reader_test.cpp - what a user gets wrong in a job file, and the
// defaults and conversions of what is left out.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "job/job_reader.h"
#include "job/work_steps.h"
#include "tests/support/job_refusal.h"

namespace {

using test_support::refusal;

const char *TURRET = R"("turret": [{"tool": 11, "station": 3, "indexable": true},
                                  {"tool": 90, "station": 20, "laser": true}])";
const char *TECHS = R"("laser_technologies": [{"number": 1, "feedrate": 25, "mode": 1, "m7x": "2", "s_value": "450"}])";

std::string with_work(const std::string &work) {
    return std::string("{") + TURRET + ",\n" + TECHS + ",\n\"work\": [" + work + "]}";
}

TEST(JobReader, EmptyJobTakesTheDefaults) {
    job::Job j = job::parse_job("{}", "/jobs");
    EXPECT_EQ(j.machine.post_processor, 7000);
    EXPECT_FALSE(j.machine.inch);
    EXPECT_FALSE(j.machine.eia);
    EXPECT_TRUE(j.machine.use_program_number);
    EXPECT_TRUE(j.machine.rewind);
    EXPECT_EQ(j.machine.machine_dir, "/jobs");  // the job file's folder
    EXPECT_TRUE(j.turret.empty());
    EXPECT_TRUE(j.work.empty());
}

TEST(JobReader, MachineValuesAreRead) {
    job::Job j = job::parse_job(R"j({"machine": {"post_processor": 7001, "units": "inch", "code": "eia",
        "program_number": 12, "write_program_number": false, "rewind": false, "loader_unloader": 2,
        "reposition_type": 0, "max_feedrate": 120, "initial_feedrate": 80.5, "load_position": [10, 20.5],
        "clamps": [300, 900], "pattern_style": 7, "max_patterns": 50, "laser_allowed": 2,
        "machine_dir": "machine/", "line_number_increment": 5},
        "sheet": {"material": "ST37 (3)", "thickness": 2, "size": [2500, 1250], "nest_name": "N1"}})j",
                                "/jobs/a");
    EXPECT_EQ(j.machine.post_processor, 7001);
    EXPECT_TRUE(j.machine.inch);
    EXPECT_TRUE(j.machine.eia);
    EXPECT_EQ(j.machine.program_number, 12);
    EXPECT_FALSE(j.machine.use_program_number);
    EXPECT_FALSE(j.machine.rewind);
    EXPECT_EQ(j.machine.loader_unloader, 2);
    EXPECT_EQ(j.machine.reposition_type, 0);
    EXPECT_DOUBLE_EQ(j.machine.initial_feedrate, 80.5);
    EXPECT_DOUBLE_EQ(j.machine.load_y, 20.5);
    ASSERT_EQ(j.machine.clamps.size(), 2u);
    EXPECT_DOUBLE_EQ(j.machine.clamps[1], 900);
    EXPECT_EQ(j.machine.pattern_style, 7);
    EXPECT_EQ(j.machine.line_number_increment, 5);
    EXPECT_EQ(j.machine.machine_dir, "/jobs/a/machine");  // relative to the job, no trailing '/'
    EXPECT_EQ(j.sheet.material, "ST37 (3)");
    EXPECT_DOUBLE_EQ(j.sheet.size_y, 1250);
}

TEST(JobReader, MachineDirectoryForms) {
    EXPECT_EQ(job::resolve_machine_dir("/etc/pelk/", "/jobs"), "/etc/pelk");
    EXPECT_EQ(job::resolve_machine_dir("../m", "/jobs/a"), "/jobs/m");
    EXPECT_EQ(job::resolve_machine_dir("m", ""), "m");
    EXPECT_EQ(job::resolve_machine_dir("/", "/jobs"), "");  // the root: "/LASER.PAR"
    EXPECT_THROW(job::resolve_machine_dir("/" + std::string(300, 'd'), ""), job::JobError);
}

TEST(JobReader, SyntaxErrorNamesLineAndColumn) {
    EXPECT_NE(refusal("{\n  \"machine\": {\n    \"units\": mm\n  }\n}").find("line 3, column 14"), std::string::npos)
        << refusal("{\n  \"machine\": {\n    \"units\": mm\n  }\n}");
    // A missing comma between two members: the place is the start of the second key.
    std::string missing_comma = "{\"sheet\": {\"thickness\": 2\n  \"size\": [1, 2]}}";
    EXPECT_NE(refusal(missing_comma).find("line 2, column 3: syntax error: expected ',' or '}', found '\"'"),
              std::string::npos)
        << refusal(missing_comma);
    // The message stays on one line.
    EXPECT_EQ(refusal("{\n\n").find('\n'), std::string::npos);
    EXPECT_NE(refusal("").find("line 1, column 1"), std::string::npos) << refusal("");
}

TEST(JobReader, WrongTypesNameTheJsonPath) {
    EXPECT_NE(refusal(R"({"machine": {"post_processor": "7001"}})").find("/machine/post_processor: expected a whole number"),
              std::string::npos);
    EXPECT_NE(refusal(R"({"machine": {"rewind": 1}})").find("/machine/rewind: expected true or false"), std::string::npos);
    EXPECT_NE(refusal(R"({"sheet": {"size": [1, 2, 3]}})").find("/sheet/size: expected a point"), std::string::npos);
    EXPECT_NE(refusal(R"({"sheet": {"size": [1, "2"]}})").find("/sheet/size/1: expected a number"), std::string::npos);
    EXPECT_NE(refusal(R"({"turret": {"tool": 1}})").find("/turret: expected an array"), std::string::npos);
    EXPECT_NE(refusal("[]").find("/: expected an object"), std::string::npos);
    EXPECT_NE(refusal(with_work(R"({"hit": {"x": 1, "y": true, "tool": 11}})")).find("/work/0/hit/y: expected a number"),
              std::string::npos);
    EXPECT_NE(refusal(R"({"machine": {"program_number": 12.5}})").find("/machine/program_number: expected a whole number"),
              std::string::npos);
    EXPECT_NE(refusal(R"({"machine": {"units": "cm"}})").find("/machine/units: unknown value \"cm\""), std::string::npos);
}

TEST(JobReader, TyposAreCaughtAsUnknownKeys) {
    EXPECT_NE(refusal(R"({"machine": {"post_procesor": 7001}})").find("/machine/post_procesor: unknown key"),
              std::string::npos);
    EXPECT_NE(refusal(R"({"sheets": {}})").find("/sheets: unknown key"), std::string::npos);
    EXPECT_NE(refusal(with_work(R"({"hit": {"x": 1, "y": 2, "tool": 11, "angel": 90}})")).find("/work/0/hit/angel"),
              std::string::npos);
    EXPECT_NE(refusal(R"({"machine": {"units": "inch", "units": "mm"}})").find("/machine/units: key \"units\" given twice"),
              std::string::npos);
    EXPECT_NE(refusal(with_work(R"({"move": {"x": 1, "y": 2}}, {"hit": {"x": 1, "y": 2, "x": 3, "tool": 11}})"))
                  .find("/work/1/hit/x: key \"x\" given twice"),
              std::string::npos)
        << refusal(with_work(R"({"move": {"x": 1, "y": 2}}, {"hit": {"x": 1, "y": 2, "x": 3, "tool": 11}})"));
    EXPECT_EQ(refusal(R"({"turret": [{"tool": 1, "station": 1}, {"tool": 2, "station": 2}]})"), "");
    EXPECT_NE(refusal(with_work(R"({"cut": {"x": 1}})")).find("/work/0/cut: unknown operation \"cut\""), std::string::npos);
    EXPECT_NE(refusal(with_work(R"({"hit": {"x": 1, "y": 2, "tool": 11}, "move": {"x": 1, "y": 1}})")).find("/work/0: "),
              std::string::npos);
    EXPECT_NE(refusal(with_work(R"({"hit": {"x": 1, "tool": 11}})")).find("/work/0/hit: missing key \"y\""),
              std::string::npos);
}

TEST(JobReader, AKeyGivenTwiceIsFoundInObjectsOfAnySize) {
    // Small objects are searched member by member, large ones through a set.
    for (int members : {2, 15, 16, 17, 40}) {
        std::string object = "{";
        for (int i = 0; i < members; ++i) object += "\"k" + std::to_string(i) + "\": " + std::to_string(i) + ", ";
        object += "\"k" + std::to_string(members - 1) + "\": 0}";
        EXPECT_EQ(refusal(R"({"machine": )" + object + "}"),
                  "/machine/k" + std::to_string(members - 1) + ": key \"k" + std::to_string(members - 1) + "\" given twice")
            << members;
    }
}

TEST(JobReader, NumbersMustBeFiniteAndInRange) {
    EXPECT_NE(refusal(with_work(R"({"hit": {"x": 1e999, "y": 2, "tool": 11}})")).find("line 4, column 24: the number 1e999 is too large"),
              std::string::npos);
    EXPECT_NE(refusal(R"({"sheet": {"thickness": -1e999}})").find("line 1, column 25: the number -1e999"), std::string::npos);
    EXPECT_NE(refusal(R"({"sheet": {"thickness": -2}})").find("/sheet/thickness: must not be negative"), std::string::npos);
    // Finite but past any sheet: its number text would not fit an NC word.
    EXPECT_NE(refusal(with_work(R"({"move": {"x": 1e300, "y": 2}})")).find("/work/0/move/x: the number is too large"),
              std::string::npos);
    EXPECT_EQ(refusal(with_work(R"({"move": {"x": -1e9, "y": 2}})")), "");
    EXPECT_NE(refusal(R"({"machine": {"post_processor": 4294967296}})").find("/machine/post_processor: out of range"),
              std::string::npos);
    EXPECT_NE(refusal(R"({"machine": {"program_number": -1}})").find("out of range"), std::string::npos);
    EXPECT_NE(refusal(R"({"machine": {"max_feedrate": -5}})").find("/machine/max_feedrate"), std::string::npos);
}

TEST(JobReader, TextsMustFitTheirFields) {
    std::string material(job::MAX_MATERIAL_LENGTH, 'M');
    EXPECT_EQ(refusal(R"({"sheet": {"material": ")" + material + "\"}}"), "");
    EXPECT_NE(refusal(R"({"sheet": {"material": ")" + material + "X\"}}").find("/sheet/material: text of 64 characters"),
              std::string::npos);
    std::string nest(job::MAX_NEST_NAME_LENGTH + 1, 'N');
    EXPECT_NE(refusal(R"({"sheet": {"nest_name": ")" + nest + "\"}}").find("/sheet/nest_name"), std::string::npos);
    EXPECT_NE(refusal(R"({"turret": [{"tool": 1, "station": 1, "options": ")" + std::string(32, 'F') + "\"}]}")
                  .find("/turret/0/options"),
              std::string::npos);
    EXPECT_NE(refusal(R"({"laser_technologies": [{"number": 1, "m7x": 12345678901}]})").find("/laser_technologies/0/m7x"),
              std::string::npos);
    // A line break in the nest name would start an NC block of its own.
    EXPECT_NE(refusal(R"({"sheet": {"nest_name": "A)\nM30\n("}})").find("/sheet/nest_name: text holds a control character"),
              std::string::npos);
}

TEST(JobReader, WorkMustNameKnownToolsAndTechnologies) {
    EXPECT_NE(refusal(with_work(R"({"hit": {"x": 1, "y": 2, "tool": 12}})")).find("/work/0/hit/tool: tool 12 is not in the turret"),
              std::string::npos);
    EXPECT_NE(refusal(with_work(R"({"hit": {"x": 1, "y": 2, "tool": 90}})")).find("laser head"), std::string::npos);
    EXPECT_NE(refusal(with_work(R"({"laser_contour": {"technology": 2, "elements": [{"line": {"from": [0, 0], "to": [1, 0]}}]}})"))
                  .find("/work/0/laser_contour/technology: laser technology 2 is not defined"),
              std::string::npos);
    EXPECT_NE(refusal(R"({"turret": [{"tool": 1, "station": 1}, {"tool": 1, "station": 2}]})").find("/turret/1/tool"),
              std::string::npos);
    EXPECT_NE(refusal(with_work(R"({"laser_contour": {"technology": 1, "elements": []}})")).find("at least one element"),
              std::string::npos);
}

TEST(JobReader, HitsPositionsAndMoves) {
    job::Job j = job::parse_job(with_work(R"({"hit": {"x": 100, "y": 50, "tool": 11, "angle": 90}},
        {"position": {"x": 10, "y": 5, "tool": 11}}, {"move": {"x": 1.5, "y": -2}})"),
                                "");
    ASSERT_EQ(j.work.size(), 3u);
    const auto &hit = std::get<job::Hit>(j.work[0]);
    EXPECT_DOUBLE_EQ(hit.angle, 90);
    EXPECT_FALSE(hit.position_only);
    EXPECT_TRUE(std::get<job::Hit>(j.work[1]).position_only);
    EXPECT_DOUBLE_EQ(std::get<job::Hit>(j.work[1]).angle, 0);
    EXPECT_DOUBLE_EQ(std::get<job::Movement>(j.work[2]).y, -2);
}

TEST(JobReader, ContourSettingsHoldForEachCutUnlessItsFirstElementNamesItsOwn) {
    job::Job j = job::parse_job(with_work(R"({"laser_contour": {"technology": 1, "compensation": "left", "laser_on": 3,
        "elements": [{"line": {"from": [0, 0], "to": [100, 0]}},
                     {"arc": {"from": [100, 0], "to": [100, 20], "centre": [100, 10], "sense": "cw"}, "laser_off": 1},
                     {"line": {"from": [100, 20], "to": [0, 20]}, "compensation": "right", "laser_on": 1},
                     {"arc": {"from": [0, 20], "to": [0, 0], "centre": [0, 10]}}]}})"),
                                "");
    const auto c = j.elements(std::get<job::LaserContour>(j.work[0]));
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0].compensation, job::Compensation::left);
    EXPECT_EQ(c[0].on_type, 3);
    EXPECT_EQ(c[0].off_type, 0);
    EXPECT_EQ(c[1].kind, job::LaserElement::Kind::arc);
    EXPECT_FALSE(c[1].counter_clockwise);
    EXPECT_EQ(c[1].compensation, job::Compensation::left);
    EXPECT_DOUBLE_EQ(c[1].yc, 10);
    EXPECT_EQ(c[1].off_type, 1);
    // A new cut, with settings of its own that its next element keeps.
    EXPECT_EQ(c[2].compensation, job::Compensation::right);
    EXPECT_EQ(c[2].on_type, 1);
    EXPECT_EQ(c[3].compensation, job::Compensation::right);
    EXPECT_EQ(c[3].on_type, 1);
    EXPECT_TRUE(c[3].counter_clockwise);
    EXPECT_EQ(c[3].off_type, 2);  // the last element switches the laser off
    EXPECT_EQ(c[3].technology, 1);
    EXPECT_EQ(j.technologies[0].mode, "1");  // an integer is kept as text
}

// The elements of a contour are read one by one as the file goes, also when
// the contour's settings stand after them, and a step held as a whole JSON
// value is read the same.
TEST(JobReader, ContourReadTheSameWhereverItsSettingsStand) {
    const std::string elements = R"("elements": [{"line": {"from": [0, 0], "to": [10, 0]}},
        {"line": {"from": [10, 0], "to": [10, 5]}, "laser_off": 1},
        {"line": {"from": [20, 0], "to": [30, 0]}, "compensation": "right"},
        {"line": {"from": [30, 0], "to": [30, 5]}}])";
    const std::string settings = R"("technology": 1, "compensation": "left", "laser_on": 3)";
    const std::string contour_first = "{\"laser_contour\": {" + settings + ", " + elements + "}}";
    const std::string contour_last = "{\"laser_contour\": {" + elements + ", " + settings + "}}";
    auto summary = [](const job::Job &j) {
        std::string out;
        for (const job::LaserElement &e : j.elements(std::get<job::LaserContour>(j.work.at(0)))) {
            out += std::to_string(e.x1) + "," + std::to_string(static_cast<int>(e.compensation)) + "," +
                   std::to_string(e.on_type) + "," + std::to_string(e.off_type) + "," + std::to_string(e.technology) + ";";
        }
        return out;
    };
    const job::Job first = job::parse_job(with_work(contour_first), "");
    EXPECT_EQ(summary(first), "0.000000,1,3,0,1;10.000000,1,3,1,1;20.000000,2,3,0,1;30.000000,2,3,2,1;");
    EXPECT_EQ(summary(job::parse_job(with_work(contour_last), "")), summary(first));

    job::Job whole;
    whole.technologies.push_back(job::LaserTechnology{1, 25.0, "", "", ""});
    job::WorkContext context(whole);
    context.technologies_known();
    job::JsonTree step;
    job::read_json_tree(contour_last, step, job::JsonPath().key("work").index(0));
    job::read_work_step(job::JsonField(step, 0), context);
    EXPECT_EQ(summary(whole), summary(first));
}

TEST(JobReader, ContourElementsThatCannotBeCut) {
    EXPECT_NE(refusal(with_work(R"({"laser_contour": {"technology": 1, "elements": [
        {"arc": {"from": [0, 0], "to": [30, 0], "centre": [10, 0]}}]}})"))
                  .find("/work/0/laser_contour/elements/0/arc/centre: start and end lie at different distances"),
              std::string::npos);
    EXPECT_NE(refusal(with_work(R"({"laser_contour": {"technology": 1, "elements": [
        {"line": {"from": [0, 0], "to": [1, 0]}, "arc": {"from": [0, 0], "to": [0, 0], "centre": [1, 0]}}]}})"))
                  .find("either a \"line\" or an \"arc\""),
              std::string::npos);
    EXPECT_NE(refusal(with_work(R"({"laser_contour": {"technology": 1, "laser_on": 8, "elements": [
        {"line": {"from": [0, 0], "to": [1, 0]}}]}})"))
                  .find("/work/0/laser_contour/laser_on: out of range (0 to 7)"),
              std::string::npos);
    // A full circle (end at its start), and a gap after an element that
    // switches the laser off, are taken.
    EXPECT_EQ(refusal(with_work(R"({"laser_contour": {"technology": 1, "elements": [
        {"arc": {"from": [20, 0], "to": [20, 0], "centre": [10, 0]}, "laser_off": 2},
        {"line": {"from": [50, 50], "to": [60, 50]}}]}})")),
              "");
}

// The work is read step by step as the file goes: the turret and the
// technologies may still follow it, and every message keeps its place.
TEST(JobReader, PlacesOfFaultsWhateverTheOrderOfTheFile) {
    const std::string turret_last = R"({"work": [{"move": {"x": 1, "y": 2}}, {"hit": {"x": 1, "y": 2, "tool": %T%}},
        {"laser_contour": {"technology": %L%, "elements": [{"line": {"from": [0, 0], "to": [1, 0]}}]}}],
        "laser_technologies": [{"number": 1}], "turret": [{"tool": 11, "station": 1}, {"tool": 90, "station": 2, "laser": true}]})";
    auto job_with = [&](const std::string &tool, const std::string &technology) {
        std::string text = turret_last;
        text.replace(text.find("%T%"), 3, tool);
        text.replace(text.find("%L%"), 3, technology);
        return text;
    };
    struct Case {
        std::string text;
        std::string expected;  // the whole message, "" when taken
    };
    const Case cases[] = {
        {job_with("11", "1"), ""},
        {job_with("12", "1"), "/work/1/hit/tool: tool 12 is not in the turret"},
        {job_with("90", "1"), "/work/1/hit/tool: tool 90 is the laser head, not a punch"},
        {job_with("11", "3"), "/work/2/laser_contour/technology: laser technology 3 is not defined in laser_technologies"},
        // Of two wrong references the first in the file is named.
        {job_with("12", "3"), "/work/1/hit/tool: tool 12 is not in the turret"},
        {R"({"machine": {}, "machine": {}})", "/machine: key \"machine\" given twice"},
        {R"({"work": {"hit": {}}})", "/work: expected an array, found an object"},
        {R"({"work": [7]})", "/work/0: a work step is an object with exactly one key: hit, position, move, laser_contour, row, "
                                "nibble_line, nibble_circle, nibble_arc, bolt_hole_circle, stop, trap_door, tab_break, nc, "
                                "feedrate, dwell, sheet_move, reposition, flip, turn, pattern_call, pattern_repeat"},
        {R"({"work": [{"move": {"x": 1, "y": 2}}, {"laser_contour": {"technology": 1, "elements": [
            {"line": {"from": [0, 0], "to": [1, 0]}}, {"line": {"from": [1, 0], "from": [2, 0]}}]}}]})",
         "/work/1/laser_contour/elements/1/line/from: key \"from\" given twice"},
        {R"({"work": [{"hit": {"x": [1, [2, {"a/b": 1, "a/b": 2}]]}}]})", "/work/0/hit/x/1/1/a~1b: key \"a/b\" given twice"},
        // Deeper than any job goes: the path is cut, the message stays short.
        {R"({"work": [{"hit": {"x": [[[[[[[[[[[[{"a": 1, "a": 2}]]]]]]]]]]]]}}]})",
         "/work/0/hit/x/0/0/0/0/0/0/0/0/0/0/...: key \"a\" given twice"},
        {"\"text\"", "/: expected an object, found a text"},
        {"{} {}", "line 1, column 4: syntax error: expected the end of the text, found '{'"},
        {std::string("{}\0{\"machine\": 1}", 16), "line 1, column 3: a NUL byte, which no JSON text holds"},
    };
    for (const Case &c : cases) EXPECT_EQ(refusal(c.text), c.expected) << c.text;
}

TEST(JobReader, FileErrorsNameTheFile) {
    std::string dir = testing::TempDir();
    std::string path = dir + "/job_reader_bad.json";
    {
        std::ofstream f(path);
        f << "{\n  \"sheet\": {\"thickness\": \"2\"}\n}\n";
    }
    try {
        job::read_job_file(path);
        FAIL() << "taken";
    } catch (const job::JobError &e) {
        EXPECT_EQ(std::string(e.what()), path + ": /sheet/thickness: expected a number, found a text");
    }
    // A syntax error in a file is placed like one in a text.
    {
        std::ofstream f(path);
        f << "{\n  \"sheet\": {\"thickness\": 2,\n    \"size\": [1, 2}\n}\n";
    }
    try {
        job::read_job_file(path);
        FAIL() << "taken";
    } catch (const job::JobError &e) {
        EXPECT_EQ(std::string(e.what()).find(path + ": line 3, column 18: syntax error"), 0u) << e.what();
    }
    // What stands after a NUL byte is not lost unseen.
    {
        std::ofstream f(path, std::ios::binary);
        f << "{\"sheet\": {}}\n" << '\0' << "{\"work\": [1]}";
    }
    try {
        job::read_job_file(path);
        FAIL() << "taken";
    } catch (const job::JobError &e) {
        EXPECT_EQ(std::string(e.what()), path + ": line 2, column 1: a NUL byte, which no JSON text holds");
    }
    EXPECT_THROW(job::read_job_file(dir + "/no_such_job.json"), job::JobError);
    EXPECT_THROW(job::read_job_file(dir), job::JobError);
}

}  // namespace
