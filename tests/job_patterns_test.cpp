// The patterns of a job file and the steps that call them: what is read,
// and every refusal with its place.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "job/job_reader.h"
#include "tests/support/job_refusal.h"

namespace {

const char *TURRET = R"("turret": [{"tool": 11, "station": 3}, {"tool": 12, "station": 4},
                                  {"tool": 13, "station": 5}, {"tool": 90, "station": 20, "laser": true}])";
const char *TECHS = R"("laser_technologies": [{"number": 1, "feedrate": 25}])";
const char *HOLE = R"({"hit": {"x": 5, "y": 5, "tool": 11}})";
const char *CUT = R"({"laser_contour": {"technology": 1, "elements": [{"line": {"from": [0, 0], "to": [9, 0]}}]}})";

std::string job_text(const std::string &patterns, const std::string &work, const std::string &turret = TURRET) {
    return "{" + turret + ",\n" + TECHS + ",\n\"patterns\": [" + patterns + "],\n\"work\": [" + work + "]}";
}

using test_support::refusal;

TEST(JobPatterns, PatternsAndCallsAreRead) {
    const std::string text = job_text(
        std::string(R"({"number": 3, "body": [)") + HOLE + "," + CUT + R"(]}, {"name": "slot", "body": [)" + CUT +
            R"(]}, {"number": 1, "name": "one", "body": [)" + HOLE + "]}",
        R"({"pattern_call": {"pattern": "slot", "x": 10, "y": 20}},
           {"pattern_repeat": {"pattern": 3, "x": 1, "y": 2, "dx": -20, "count": 4}},
           {"pattern_repeat": {"pattern": "one", "x": 1, "y": 2, "dy": 5.5, "count": 1}})");
    const job::Job j = job::parse_job(text, "/jobs");
    ASSERT_EQ(j.patterns.size(), 3u);
    EXPECT_EQ(j.patterns[0].number, 3);
    EXPECT_EQ(j.patterns[0].body.size(), 2u);
    EXPECT_TRUE(std::holds_alternative<job::LaserContour>(j.patterns[0].body[1]));
    // A pattern named only by name takes the lowest free number from 1:
    // 1 is taken by "one" further on.
    EXPECT_EQ(j.patterns[1].number, 2);
    EXPECT_EQ(j.patterns[1].name, "slot");
    EXPECT_EQ(j.patterns[2].number, 1);
    // The bodies' steps are not work of their own.
    ASSERT_EQ(j.work.size(), 3u);
    const auto &call = std::get<job::PatternCall>(j.work[0]);
    EXPECT_EQ(call.pattern, 1u);
    EXPECT_EQ(call.x, 10.0);
    ASSERT_EQ(j.pattern_rows.size(), 2u);
    const job::PatternRow &row = j.pattern_rows[std::get<job::PatternRepeat>(j.work[1]).row];
    EXPECT_EQ(row.pattern, 0u);
    EXPECT_EQ(row.dx, -20.0);
    EXPECT_EQ(row.dy, 0.0);
    EXPECT_EQ(row.count, 4);
    EXPECT_EQ(j.pattern_rows[1].pattern, 2u);
    EXPECT_EQ(j.pattern_rows[1].dy, 5.5);
}

TEST(JobPatterns, PatternsMayFollowTheWork) {
    const std::string text = std::string("{") + TURRET + R"(, "work": [{"pattern_call": {"pattern": 7, "x": 0, "y": 0}}],
        "patterns": [{"number": 7, "body": [)" + HOLE + "]}]}";
    const job::Job j = job::parse_job(text, "/jobs");
    EXPECT_EQ(std::get<job::PatternCall>(j.work[0]).pattern, 0u);
    EXPECT_EQ(refusal(std::string("{") + TURRET + R"(, "work": [{"pattern_call": {"pattern": 8, "x": 0, "y": 0}}],
        "patterns": [{"number": 7, "body": [)" + HOLE + "]}]}"),
              "/work/0/pattern_call/pattern: pattern 8 is not defined in patterns");
}

struct RefusalCase {
    std::string patterns;
    std::string work;
    std::string message;
};

TEST(JobPatterns, WhatCannotBePlacedIsRefusedWithItsPlace) {
    const std::string hole_body = std::string(R"("body": [)") + HOLE + "]";
    const std::string call_3 = R"({"pattern_call": {"pattern": 3, "x": 0, "y": 0}})";
    const RefusalCase cases[] = {
        {"{" + hole_body + "}", "", "/patterns/0: a pattern needs a number or a name"},
        {R"({"number": 3, "body": []})", "", "/patterns/0/body: a pattern needs at least one work step"},
        {R"({"number": 3, "body": [{"move": {"x": 1, "y": 1}}]})", "",
         "/patterns/0/body: a pattern needs a step that punches or cuts (its first one places the tool)"},
        {R"({"number": 3, "body": [)" + call_3 + "]}", "",
         "/patterns/0/body/0: a pattern cannot call a pattern: calls are not nested"},
        {R"({"number": 3, "body": [)" + std::string(HOLE) +
             R"(, {"pattern_repeat": {"pattern": 4, "x": 0, "y": 0, "count": 2}}]})",
         "", "/patterns/0/body/1: a pattern cannot call a pattern: calls are not nested"},
        {R"({"number": 3, )" + hole_body + R"(}, {"number": 3, )" + hole_body + "}", "",
         "/patterns/1/number: pattern 3 is defined twice"},
        {R"({"name": "a", )" + hole_body + R"(}, {"name": "a", )" + hole_body + "}", "",
         "/patterns/1/name: pattern \"a\" is defined twice"},
        {R"({"name": "", )" + hole_body + "}", "", "/patterns/0/name: a pattern name must not be empty"},
        {R"({"number": -1, )" + hole_body + "}", "", "/patterns/0/number: out of range (0 to 1000000)"},
        {R"({"number": 3, "body": [{"hit": {"x": 0, "y": 0, "tool": 77}}]})", "",
         "/patterns/0/body/0/hit/tool: tool 77 is not in the turret"},
        {R"({"number": 3, "body": [)" + std::string(HOLE) + R"(, {"hit": {"x": 0, "y": 0, "tool": 12}}]})", "",
         "/patterns/0/body: pattern 3 punches with stations 3 and 4; a pattern punches with one station"},
        {R"({"number": 3, "body": [{"laser_contour": {"technology": 1, "elements": [{"line": {"from": [0, 0],
             "to": [9, 0]}, "laser_off": 1}]}}]})",
         "", "/patterns/0/body/0: pattern 3 must end with the laser head up (laser_off 2 or more on its last element)"},
        {R"({"number": 3, "body": [)" + std::string(HOLE) + R"(, {"flip": {}}]})", "",
         "/patterns/0/body/1: a pattern cannot hold a \"flip\": each copy would handle the sheet again"},
        {R"({"number": 3, "body": [{"laser_contour": {"technology": 1, "elements": [{"line": {"from": [0, 0],
             "to": [9, 0]}, "laser_off": 0}]}}]})",
         "", "/patterns/0/body/0/laser_contour/elements/0/laser_off: the cut is left open here"},
        {"", call_3, "/work/0/pattern_call/pattern: pattern 3 is not defined in patterns"},
        {R"({"number": 3, )" + hole_body + "}", R"({"pattern_call": {"pattern": "x", "x": 0, "y": 0}})",
         "/work/0/pattern_call/pattern: pattern \"x\" is not defined in patterns"},
        {R"({"number": 3, )" + hole_body + "}", R"({"pattern_call": {"pattern": [3], "x": 0, "y": 0}})",
         "/work/0/pattern_call/pattern: expected a pattern number or name, found an array"},
        {R"({"number": 3, )" + hole_body + "}", R"({"pattern_repeat": {"pattern": 3, "x": 0, "y": 0, "count": 0}})",
         "/work/0/pattern_repeat/count: a repeated call places at least 1 copy, not 0"},
        {R"({"number": 3, )" + hole_body + "}", R"({"pattern_repeat": {"pattern": 3, "x": 0, "y": 0, "count": -5}})",
         "/work/0/pattern_repeat/count: a repeated call places at least 1 copy, not -5"},
        {R"({"number": 3, )" + hole_body + "}", R"({"pattern_repeat": {"pattern": 3, "x": 0, "y": 0}})",
         "/work/0/pattern_repeat: missing key \"count\""},
        {R"({"number": 3, )" + hole_body + "}", R"({"pattern_call": {"pattern": 3, "x": 0, "y": 0, "count": 2}})",
         "/work/0/pattern_call/count: unknown key \"count\""},
    };
    for (const RefusalCase &c : cases) {
        SCOPED_TRACE(c.message);
        const std::string message = refusal(job_text(c.patterns, c.work));
        EXPECT_EQ(message.substr(0, c.message.size()), c.message) << message;
    }
}

TEST(JobPatterns, ChecksThatNeedTheWholeFile) {
    EXPECT_EQ(refusal(job_text(R"({"number": 3, "body": [)" + std::string(CUT) + "]}", "",
                               R"("turret": [{"tool": 11, "station": 3}])")),
              "/patterns/0/body: pattern 3 only cuts with the laser, but the turret has no laser head");
    // The host numbers its patterns after the program: the largest program
    // number leaves room for every pattern number.
    EXPECT_EQ(refusal(R"({"machine": {"program_number": 9999}, "turret": [{"tool": 11, "station": 3}],
                          "patterns": [{"number": 1000000, "body": [)" + std::string(HOLE) + "]}]}"),
              "");
}

}  // namespace
