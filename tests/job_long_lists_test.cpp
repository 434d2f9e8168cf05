// The lists of a job besides the work, read item by item as they come: the
// clamps, the turret, the laser technologies, the patterns and each pattern's
// body.  What they hold, wherever their keys stand, and every refusal with
// its place.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "job/job_reader.h"
#include "tests/support/job_refusal.h"

namespace {

using test_support::refusal;

const std::string HOLE = R"({"hit": {"x": 5, "y": 5, "tool": 11}})";
const std::string TURRET = R"("turret": [{"tool": 11, "station": 3}, {"tool": 90, "station": 20, "laser": true}])";
const std::string TECHS = R"("laser_technologies": [{"number": 1, "feedrate": 25}])";

TEST(JobLongLists, ListsAreReadWhereverTheirKeysStand) {
    const std::string text = R"({"machine": {"post_processor": 7001, "clamps": [300, 900.5], "rewind": false},
        "patterns": [{"body": [)" + HOLE + R"(, {"move": {"x": 1, "y": 2}}, )" + HOLE + R"(], "number": 4},
                     {"name": "second", "body": [)" + HOLE + R"(]}],
        "work": [{"pattern_call": {"pattern": "second", "x": 0, "y": 0}}],
        "laser_technologies": [{"number": 7, "feedrate": 20}, {"feedrate": 30, "number": 2}],
        )" + TURRET + "}";
    const job::Job j = job::parse_job(text, "/jobs");
    ASSERT_EQ(j.machine.clamps.size(), 2u);
    EXPECT_EQ(j.machine.clamps[1], 900.5);
    EXPECT_FALSE(j.machine.rewind);
    ASSERT_EQ(j.turret.size(), 2u);
    EXPECT_TRUE(j.turret[1].laser);
    ASSERT_EQ(j.technologies.size(), 2u);
    EXPECT_EQ(j.technologies[1].number, 2);
    EXPECT_EQ(j.technologies[1].feedrate, 30.0);
    ASSERT_EQ(j.patterns.size(), 2u);
    EXPECT_EQ(j.patterns[0].number, 4);
    ASSERT_EQ(j.patterns[0].body.size(), 3u);
    EXPECT_TRUE(std::holds_alternative<job::Movement>(j.patterns[0].body[1]));
    EXPECT_EQ(j.patterns[1].number, 1);
    EXPECT_EQ(std::get<job::PatternCall>(j.work.at(0)).pattern, 1u);
}

TEST(JobLongLists, ManyPatternsAreFoundByNumberAndName) {
    std::string patterns;
    std::string work;
    for (int i = 0; i < 2000; ++i) {
        patterns += (i == 0 ? "" : ",") + std::string(R"({"number": )") + std::to_string(2000 - i) + R"(, "name": "p)" +
                    std::to_string(i) + R"(", "body": [)" + HOLE + "]}";
        work += (i == 0 ? "" : ",") + std::string(R"({"pattern_call": {"pattern": )") +
                (i % 2 == 0 ? std::to_string(i + 1) : "\"p" + std::to_string(i) + "\"") + R"(, "x": 0, "y": 0}})";
    }
    const job::Job j = job::parse_job("{" + TURRET + R"(, "work": [)" + work + R"(], "patterns": [)" + patterns + "]}", "");
    for (int i = 0; i < 2000; ++i) {
        // Calls by number name 2000 - index + ... : pattern i + 1 stands at index 1999 - i.
        const std::uint32_t expected = i % 2 == 0 ? static_cast<std::uint32_t>(1999 - i) : static_cast<std::uint32_t>(i);
        ASSERT_EQ(std::get<job::PatternCall>(j.work[static_cast<std::size_t>(i)]).pattern, expected) << i;
    }
}

TEST(JobLongLists, RefusalsNameTheItem) {
    std::string stations;
    for (int i = 1; i <= 65; ++i) {
        stations += (i == 1 ? "" : ",") + std::string(R"({"tool": )") + std::to_string(i) + R"(, "station": )" +
                    std::to_string(i > 64 ? 1 : i) + "}";
    }
    const std::string open_cut = R"({"laser_contour": {"technology": 1, "elements": [{"line": {"from": [0, 0],
        "to": [9, 0]}, "laser_off": 0}]}})";
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {R"({"machine": {"clamps": [1, 2, "3"]}})", "/machine/clamps/2: expected a number, found a text"},
        {R"({"machine": {"clamps": 3}})", "/machine/clamps: expected an array, found a number"},
        {R"({"turret": [)" + stations + "]}", "/turret: at most 64 stations"},
        {R"({"turret": [{"tool": 1, "station": 3}, {"tool": 2, "station": 3}]})",
         "/turret/1/station: station 3 holds tool 1 already"},
        {R"({"turret": [{"tool": 1, "station": 3}, 7]})", "/turret/1: expected an object, found a number"},
        {R"({"laser_technologies": [{"number": 1}, {"number": 2}, {"number": 1}]})",
         "/laser_technologies/2/number: laser technology 1 is defined twice"},
        {R"({"laser_technologies": {"number": 1}})", "/laser_technologies: expected an array, found an object"},
        {R"({"patterns": {"number": 1}})", "/patterns: expected an array, found an object"},
        {"{" + TURRET + R"(, "patterns": [{"number": 1, "body": [)" + HOLE + "]}, 7]}",
         "/patterns/1: expected an object, found a number"},
        {R"({"patterns": [{"number": 1, "bogus": 2}]})", "/patterns/0/bogus: unknown key \"bogus\""},
        {R"({"patterns": [{"number": 1, "number": 2}]})", "/patterns/0/number: key \"number\" given twice"},
        {R"({"patterns": [{"number": 1}]})", "/patterns/0: missing key \"body\""},
        {R"({"patterns": [{"number": 1, "body": 5}]})", "/patterns/0/body: expected an array, found a number"},
        {R"({"patterns": [{"number": {"a": 1}, "body": []}]})", "/patterns/0/number: expected a whole number, found an object"},
        {"{" + TURRET + R"(, "patterns": [{"body": [)" + HOLE + R"(, {"stop": {}}, )" + HOLE +
             R"(, {"pattern_call": {"pattern": 1, "x": 0, "y": 0}}], "number": 1}]})",
         "/patterns/0/body/3: a pattern cannot call a pattern: calls are not nested"},
        // A cut the work leaves open goes on in the next step of the work, never in a pattern.
        {"{" + TURRET + "," + TECHS + R"(, "work": [)" + open_cut + R"(], "patterns": [{"number": 1, "body": [
            {"laser_contour": {"technology": 1, "elements": [{"line": {"from": [9, 0], "to": [9, 9]}, "laser_off": 3}]}}]}]})",
         "/work/0/laser_contour/elements/0/laser_off: the cut is left open here"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.substr(0, 200));
        const std::string message = refusal(c.text);
        EXPECT_EQ(message.substr(0, c.message.size()), c.message) << message;
    }
}

}  // namespace
