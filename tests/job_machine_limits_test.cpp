// job_machine_limits_test.cpp - jobs that the machine cannot carry out as
// written are refused by the reader, with the place named: laser cuts with
// gaps or settings the control would not take, texts that break an NC
// comment, values out of the machine's range.
#include <gtest/gtest.h>

#include <string>

#include "job/job_reader.h"
#include "tests/support/job_refusal.h"

namespace {

using test_support::refusal;

struct Case {
    const char *what;
    std::string text;
    std::string expected;  // the start of the message; "" when the job is taken
};

void check(const Case &c) {
    const std::string message = refusal(c.text);
    if (c.expected.empty()) EXPECT_EQ(message, "") << c.what;
    else EXPECT_EQ(message.substr(0, c.expected.size()), c.expected) << c.what << "\n  got: " << message;
}

// A job with two technologies and the given work.
std::string laser_work(const std::string &work) {
    return R"({"laser_technologies": [{"number": 1, "feedrate": 25}, {"number": 2, "feedrate": 10}], "work": [)" + work +
           "]}";
}

// A contour of technology 1 with the given elements and contour keys.
std::string contour(const std::string &elements, const std::string &keys = "") {
    return R"({"laser_contour": {"technology": 1, )" + keys + R"("elements": [)" + elements + "]}}";
}

std::string line(double x1, double y1, double x2, double y2, const std::string &keys = "") {
    return R"({"line": {"from": [)" + std::to_string(x1) + ", " + std::to_string(y1) + "], \"to\": [" +
           std::to_string(x2) + ", " + std::to_string(y2) + "]}" + (keys.empty() ? "" : ", " + keys) + "}";
}

TEST(JobMachineLimits, LaserCutsGoOnOnlyFromWhereTheyStand) {
    const std::string open_end = line(0, 0, 10, 0, R"("laser_off": 0)");
    const std::string left_open = "/work/0/laser_contour/elements/0/laser_off: the cut is left open here (laser_off 0), "
                                  "but the next step does not go on with it from its end (10, 0)";
    const Case cases[] = {
        {"a gap inside a cut", laser_work(contour(line(0, 0, 10, 0) + "," + line(20, 0, 30, 0))),
         "/work/0/laser_contour/elements/1/line/from: the element starts 10 mm away from the end of the element before"},
        {"a difference the control takes as none", laser_work(contour(line(0, 0, 10, 0) + "," + line(10.0000005, 0, 20, 0))),
         ""},
        {"a difference the control sees", laser_work(contour(line(0, 0, 10, 0) + "," + line(10.000002, 0, 20, 0))),
         "/work/0/laser_contour/elements/1/line/from: the element starts"},
        {"a gap after the laser went off", laser_work(contour(line(0, 0, 10, 0, R"("laser_off": 1)") + "," + line(20, 0, 30, 0))),
         ""},
        {"left open at the end of the work", laser_work(contour(open_end)), left_open},
        {"left open before a move", laser_work(contour(open_end) + R"(, {"move": {"x": 1, "y": 1}})"), left_open},
        {"left open before a contour elsewhere", laser_work(contour(open_end) + "," + contour(line(20, 0, 30, 0))), left_open},
        {"left open and gone on with", laser_work(contour(open_end) + "," + contour(line(10, 0, 10, 10))), ""},
        {"gone on with another technology",
         laser_work(contour(open_end) + R"(, {"laser_contour": {"technology": 2, "elements": [)" + line(10, 0, 10, 10) + "]}}"),
         "/work/1/laser_contour/technology: this contour goes on with the cut left open by the step before, which cuts "
         "with technology 1"},
        {"gone on with another compensation",
         laser_work(contour(open_end, R"("compensation": "left", )") + "," +
                    contour(line(10, 0, 10, 10), R"("compensation": "right", )")),
         "/work/1/laser_contour/compensation: this contour goes on with the cut left open by the step before, which cuts "
         "with compensation \"left\""},
        {"gone on with the same settings repeated",
         laser_work(contour(open_end, R"("compensation": "left", "laser_on": 3, )") + "," +
                    contour(line(10, 0, 10, 10), R"("compensation": "left", "laser_on": 3, )")),
         ""},
    };
    for (const Case &c : cases) check(c);
}

TEST(JobMachineLimits, ElementSettingsOnlyWhereACutStarts) {
    const char *place = "/work/0/laser_contour/elements/1/";
    const Case cases[] = {
        {"technology inside a cut", laser_work(contour(line(0, 0, 10, 0) + "," + line(10, 0, 20, 0, R"("technology": 2)"))),
         std::string(place) + "technology: technology may be given only where a cut starts"},
        {"compensation inside a cut",
         laser_work(contour(line(0, 0, 10, 0) + "," + line(10, 0, 20, 0, R"("compensation": "left")"))),
         std::string(place) + "compensation: compensation may be given only where a cut starts"},
        {"laser_on inside a cut", laser_work(contour(line(0, 0, 10, 0) + "," + line(10, 0, 20, 0, R"("laser_on": 3)"))),
         std::string(place) + "laser_on: laser_on may be given only where a cut starts"},
        {"on the first element",
         laser_work(contour(line(0, 0, 10, 0, R"("technology": 2, "compensation": "right", "laser_on": 0)"))), ""},
        {"on the first element after the laser went off",
         laser_work(contour(line(0, 0, 10, 0, R"("laser_off": 2)") + "," + line(10, 0, 20, 0, R"("technology": 2)"))), ""},
        {"on the first element of a contour that goes on with a cut",
         laser_work(contour(line(0, 0, 10, 0, R"("laser_off": 0)")) + "," + contour(line(10, 0, 20, 0, R"("laser_on": 3)"))),
         "/work/1/laser_contour/elements/0/laser_on: laser_on may be given only where a cut starts; this element goes on "
         "with the cut of the step before"},
    };
    for (const Case &c : cases) check(c);
}

TEST(JobMachineLimits, TextsInCommentsAndNumbersTheMachineTakes) {
    const std::string turret = R"j({"turret": [{"tool": 11, "station": 3}, )j";
    const Case cases[] = {
        // Texts written inside an NC comment.
        {"a parenthesis in the nest name", R"j({"sheet": {"nest_name": "A (B) C"}})j",
         "/sheet/nest_name: text holds \"(\", which cannot stand in the NC comment it is written in"},
        {"a closing one", R"j({"sheet": {"nest_name": "A B)"}})j", "/sheet/nest_name: text holds \")\""},
        {"the end of program", R"j({"sheet": {"nest_name": "50%"}})j", "/sheet/nest_name: text holds \"%\""},
        {"the material's number in parentheses", R"j({"sheet": {"material": "ST37 (3)", "nest_name": ""}})j", ""},
        // The turret.
        {"a station past the turret", R"j({"turret": [{"tool": 11, "station": 99999}]})j",
         "/turret/0/station: out of range (1 to 64)"},
        {"station 0", R"j({"turret": [{"tool": 11, "station": 0}]})j", "/turret/0/station: out of range (1 to 64)"},
        {"the last station", R"j({"turret": [{"tool": 11, "station": 64}]})j", ""},
        {"a station twice", turret + R"j({"tool": 12, "station": 3}]})j",
         "/turret/1/station: station 3 holds tool 11 already"},
        {"two laser heads", R"j({"turret": [{"tool": 90, "station": 20, "laser": true}, {"tool": 91, "station": 21, "laser": true}]})j",
         "/turret/1/laser: the machine has one laser head, and tool 90 is it already"},
        // Angles and feed rates.
        {"an index angle of 1e9", turret + R"j({"tool": 12, "station": 4}], "work": [{"hit": {"x": 1, "y": 1, "tool": 11, "angle": 1e9}}]})j",
         "/work/0/hit/angle: out of range (-360 to 360)"},
        {"a full turn back", turret + R"j({"tool": 12, "station": 4}], "work": [{"hit": {"x": 1, "y": 1, "tool": 11, "angle": -360}}]})j",
         ""},
        {"a feed of 1e9", R"j({"machine": {"max_feedrate": 1e9}})j", "/machine/max_feedrate: out of range (0 to 1000)"},
        {"an initial feed", R"j({"machine": {"initial_feedrate": 1000.5}})j", "/machine/initial_feedrate: out of range"},
        {"a cutting feed", R"j({"laser_technologies": [{"number": 1, "feedrate": 5000}]})j",
         "/laser_technologies/0/feedrate: out of range (0 to 1000)"},
        // The machine variant.
        {"an unknown variant", R"j({"machine": {"post_processor": 7003}})j",
         "/machine/post_processor: unknown machine variant 7003 (known: 7000, 7001, 7002)"},
        {"variant 7002", R"j({"machine": {"post_processor": 7002}})j", ""},
        // The program number block has four digits.
        {"a program number of five digits", R"j({"machine": {"program_number": 10000}})j",
         "/machine/program_number: out of range (0 to 9999)"},
        {"the largest program number", R"j({"machine": {"program_number": 9999}})j", ""},
        // Technology values are whole numbers.
        {"a mode of letters", R"j({"laser_technologies": [{"number": 1, "mode": "ABC"}]})j",
         "/laser_technologies/0/mode: expected a whole number, found the text \"ABC\""},
        {"an M7x with a fraction", R"j({"laser_technologies": [{"number": 1, "m7x": "2.5"}]})j",
         "/laser_technologies/0/m7x: expected a whole number"},
        {"an empty S value", R"j({"laser_technologies": [{"number": 1, "s_value": ""}]})j",
         "/laser_technologies/0/s_value: expected a whole number"},
        {"a sign alone", R"j({"laser_technologies": [{"number": 1, "s_value": "-"}]})j",
         "/laser_technologies/0/s_value: expected a whole number"},
        {"a number with a fraction", R"j({"laser_technologies": [{"number": 1, "mode": 1.5}]})j",
         "/laser_technologies/0/mode: expected a whole number"},
        {"past an int", R"j({"laser_technologies": [{"number": 1, "s_value": "99999999999"}]})j",
         "/laser_technologies/0/s_value: out of range"},
        {"whole numbers as text and as numbers", R"j({"laser_technologies": [{"number": 1, "mode": "-2", "m7x": 3, "s_value": "0450"}]})j",
         ""},
    };
    for (const Case &c : cases) check(c);
}

// The control reads texts byte by byte: a text that goes to it is plain
// ASCII, refused with the character named; option letters are those the
// module reads, and a technology value is a whole number however written.
TEST(JobMachineLimits, TextsAndOptionsAsTheControlReadsThem) {
    std::string umlauts;
    for (int i = 0; i < 70; ++i) umlauts += "\u00C4";
    const auto options = [](const std::string &text) {
        return R"j({"turret": [{"tool": 11, "station": 3, "options": ")j" + text + "\"}]}";
    };
    const Case cases[] = {
        {"a nest name of 70 umlauts", R"j({"sheet": {"nest_name": ")j" + umlauts + "\"}}",
         "/sheet/nest_name: the character \"\u00C4\" (U+00C4) is not ASCII"},
        {"a material with a euro sign", R"j({"sheet": {"material": "ST37 \u20ac"}})j",
         "/sheet/material: the character \"\u20ac\" (U+20AC) is not ASCII"},
        {"an NC text with an emoji", R"j({"work": [{"nc": {"text": "(\ud83d\ude00)"}}]})j",
         "/work/0/nc/text: the character \"\U0001F600\" (U+1F600) is not ASCII"},
        {"a pattern's name", R"j({"patterns": [{"name": "\u00e9", "body": [{"stop": {}}]}]})j",
         "/patterns/0/name: the character \"\u00e9\" (U+00E9) is not ASCII"},
        {"127 plain characters", R"j({"sheet": {"nest_name": ")j" + std::string(127, 'A') + "\"}}", ""},
        {"128 of them", R"j({"sheet": {"nest_name": ")j" + std::string(128, 'A') + "\"}}",
         "/sheet/nest_name: text of 128 characters is longer than its field (at most 127)"},
        // Options: what the module reads, each once.
        {"forming and a mode", options("F R2"), ""},
        {"R alone is R0", options("RF"), ""},
        {"the last mode", options("R3"), ""},
        {"a mode past 3", options("R4"), "/turret/0/options: options \"R4\": the M61x mode R4 is not one of R0 to R3"},
        {"R9", options("R9"), "/turret/0/options: options \"R9\": the M61x mode R9"},
        {"a negative mode", options("R-1"), "/turret/0/options: options \"R-1\": the M61x mode R-1"},
        {"two digits", options("R11"), "/turret/0/options: options \"R11\": the M61x mode R11"},
        {"lower case", options("f"), "/turret/0/options: options \"f\": \"f\" is no option (options: F a forming tool"},
        {"a letter the module skips", options("XR3"), "/turret/0/options: options \"XR3\": \"X\" is no option"},
        {"a mode twice", options("R1R2"), "/turret/0/options: options \"R1R2\": \"R\" is given twice"},
        // Technology values: whole numbers within an int, in any JSON form.
        {"a mode of 1.0", R"j({"laser_technologies": [{"number": 1, "mode": 1.0, "m7x": 2e0, "s_value": 450}]})j", ""},
    };
    for (const Case &c : cases) check(c);
}

// Values the control reads rounded to its last written digit: one that would
// be written as 0 is refused, against the unit of the machine, which may
// stand after the work.
TEST(JobMachineLimits, ValuesTheControlWouldReadAsZero) {
    const auto job = [](const std::string &work, const std::string &machine = "") {
        return R"j({"turret": [{"tool": 11, "station": 3}], )j" + machine + R"j("patterns": [{"number": 2, "body": [{"hit": {"x": 0, "y": 0, "tool": 11}}]}], "work": [)j" +
               work + "]}";
    };
    const std::string inch = R"j("machine": {"units": "inch"}, )j";
    const std::string below_mm = " mm would be written as 0: the smallest distance the control takes is 0.01 mm (0.000393701 in) on this millimetre machine";
    const std::string below_inch = " mm would be written as 0: the smallest distance the control takes is 0.0254 mm (0.001 in) on this inch machine";
    const Case cases[] = {
        {"a nibbling step of 1e-9", job(R"j({"nibble_line": {"from": [0, 0], "to": [100, 0], "step": 1e-9, "tool": 11}})j"),
         "/work/0/nibble_line/step: the step of 1e-09" + below_mm},
        {"a nibbled line of 0.001", job(R"j({"nibble_line": {"from": [0, 0], "to": [0.001, 0], "step": 1, "tool": 11}})j"),
         "/work/0/nibble_line/to: the length of the line of 0.001" + below_mm},
        {"a row pitch of 0.004", job(R"j({"row": {"from": [0, 0], "pitch": [0.004, 0], "hits": 3, "tool": 11}})j"),
         "/work/0/row/pitch: the pitch of 0.004" + below_mm},
        {"a row of a million hits over 1 mm", job(R"j({"row": {"from": [0, 0], "to": [1, 0], "hits": 1000000, "tool": 11}})j"),
         "/work/0/row/hits: the pitch of the hits of 1e-06" + below_mm},
        {"a row of 2147483647 hits", job(R"j({"row": {"from": [0, 0], "to": [1, 0], "hits": 2147483647, "tool": 11}})j"),
         "/work/0/row/hits: a row holds at most 1000000 hits"},
        {"a repeat pitch of 0.004", job(R"j({"pattern_repeat": {"pattern": 2, "x": 0, "y": 0, "dx": 0.004, "count": 4}})j"),
         "/work/0/pattern_repeat/dx: the pitch of 0.004" + below_mm},
        {"a repeat pitch of 5e-7 leaves its axis out", job(R"j({"pattern_repeat": {"pattern": 2, "x": 0, "y": 0, "dx": 5e-7, "dy": 10, "count": 4}})j"), ""},
        {"a repeat to 1e15", job(R"j({"pattern_repeat": {"pattern": 2, "x": 0, "y": 0, "dx": 1e9, "count": 1000000}})j"),
         "/work/0/pattern_repeat/count: the last copy would lie beyond 1e9"},
        {"a nibbled arc of 1e-7 degrees", job(R"j({"nibble_arc": {"centre": [0, 0], "radius": 50, "start_angle": 10, "end_angle": 10.0000001, "step": 1, "tool": 11}})j"),
         "/work/0/nibble_arc/end_angle: the arc's turn of 1e-07 degrees would be written as 0: the control takes angles to 0.01 degree"},
        {"a bolt-hole radius of 0.001", job(R"j({"bolt_hole_circle": {"centre": [0, 0], "radius": 0.001, "step_angle": 90, "holes": 4, "tool": 11}})j"),
         "/work/0/bolt_hole_circle/radius: the radius of 0.001" + below_mm},
        {"a bolt-hole step of 0.0004 degrees", job(R"j({"bolt_hole_circle": {"centre": [0, 0], "radius": 10, "step_angle": 0.0004, "holes": 100, "tool": 11}})j"),
         "/work/0/bolt_hole_circle/step_angle: the step angle of 0.0004 degrees would be written as 0"},
        // The unit is the machine's, wherever it stands in the file.
        {"0.02 mm on a millimetre machine", job(R"j({"row": {"from": [0, 0], "pitch": [0.02, 0], "hits": 3, "tool": 11}})j"), ""},
        {"0.02 mm on an inch machine", job(R"j({"row": {"from": [0, 0], "pitch": [0.02, 0], "hits": 3, "tool": 11}})j", inch),
         "/work/0/row/pitch: the pitch of 0.02" + below_inch},
        {"the machine after the work", R"j({"turret": [{"tool": 11, "station": 3}], "work": [{"nibble_line": {"from": [0, 0], "to": [0.02, 0], "step": 1, "tool": 11}}], "machine": {"units": "inch"}})j",
         "/work/0/nibble_line/to: the length of the line of 0.02" + below_inch},
        {"in a pattern's body", R"j({"turret": [{"tool": 11, "station": 3}], "patterns": [{"number": 1, "body": [{"nibble_line": {"from": [0, 0], "to": [10, 0], "step": 0.001, "tool": 11}}]}]})j",
         "/patterns/0/body/0/nibble_line/step: the step of 0.001" + below_mm},
    };
    for (const Case &c : cases) check(c);
}

}  // namespace
