// The job steps of rows, nibbling and bolt-hole circles: the forms a user
// may give them in, and what the job keeps of each.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <variant>

#include "job/job_reader.h"

namespace {

using Kind = job::PunchElement::Kind;

job::PunchElement read_step(const std::string &step) {
    const job::Job j = job::parse_job(R"({"turret": [{"tool": 7, "station": 3}], "work": [)" + step + "]}", "");
    EXPECT_EQ(j.work.size(), 1u);
    return j.element(std::get<job::PunchElementStep>(j.work.at(0)));
}

TEST(PunchElementSteps, EachFormComesToThePointsTheHostNeeds) {
    struct Case {
        const char *step;
        Kind kind;
        double x1, y1, x2, y2;
        int count;
    } cases[] = {
        {R"({"row": {"from": [10, 20], "to": [10, 65], "hits": 10, "tool": 7}})", Kind::row, 10, 20, 10, 65, 10},
        // By pitch: the last hit is from + (hits - 1) x pitch.
        {R"({"row": {"from": [10, 20], "pitch": [-2.5, 5], "hits": 5, "tool": 7}})", Kind::row, 10, 20, 0, 40, 5},
        {R"({"row": {"from": [10, 20], "pitch": [0, 0], "hits": 1, "tool": 7}})", Kind::row, 10, 20, 10, 20, 1},
        {R"({"nibble_line": {"from": [1, 2], "to": [3, 4], "step": 2, "tool": 7}})", Kind::nibbled_line, 1, 2, 3, 4, 0},
        // Arc ends by angle, by point, or one each.
        {R"({"nibble_arc": {"centre": [100, 50], "radius": 10, "start_angle": 90, "end_angle": 180, "step": 2, "tool": 7}})",
         Kind::nibbled_arc, 100, 60, 90, 50, 0},
        {R"({"nibble_arc": {"centre": [100, 50], "radius": 10, "from": [110, 50], "to": [100.0005, 40], "step": 2, "tool": 7}})",
         Kind::nibbled_arc, 110, 50, 100.0005, 40, 0},
        {R"({"nibble_arc": {"centre": [100, 50], "radius": 10, "from": [110, 50], "end_angle": -90, "step": 2, "tool": 7}})",
         Kind::nibbled_arc, 110, 50, 100, 40, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.step);
        const job::PunchElement e = read_step(c.step);
        EXPECT_EQ(e.kind, c.kind);
        EXPECT_NEAR(e.x1, c.x1, 1e-12);
        EXPECT_NEAR(e.y1, c.y1, 1e-12);
        EXPECT_NEAR(e.x2, c.x2, 1e-12);
        EXPECT_NEAR(e.y2, c.y2, 1e-12);
        EXPECT_EQ(e.count, c.count);
        EXPECT_EQ(e.tool, 7);
    }
}

TEST(PunchElementSteps, CirclesAndBoltHoleCirclesKeepTheirTerms) {
    const job::PunchElement circle = read_step(R"({"nibble_circle": {"centre": [5, 6], "radius": 20, "sense": "cw",
        "start_angle": 30, "step": 4, "tool": 7, "angle": 45}})");
    EXPECT_EQ(circle.kind, Kind::nibbled_circle);
    EXPECT_FALSE(circle.counter_clockwise);
    EXPECT_DOUBLE_EQ(circle.start_angle, 30);
    EXPECT_DOUBLE_EQ(circle.radius, 20);
    EXPECT_DOUBLE_EQ(circle.step, 4);
    EXPECT_DOUBLE_EQ(circle.angle, 45);

    // Left out: counter-clockwise, from 0 degrees, index at 0.
    const job::PunchElement plain = read_step(R"({"nibble_circle": {"centre": [5, 6], "radius": 20, "step": 4, "tool": 7}})");
    EXPECT_TRUE(plain.counter_clockwise);
    EXPECT_DOUBLE_EQ(plain.start_angle, 0);
    EXPECT_DOUBLE_EQ(plain.angle, 0);

    const job::PunchElement holes = read_step(R"({"bolt_hole_circle": {"centre": [5, 6], "radius": 50, "first_angle": 10,
        "step_angle": -72, "holes": 5, "tool": 7}})");
    EXPECT_EQ(holes.kind, Kind::bolt_hole_circle);
    EXPECT_DOUBLE_EQ(holes.start_angle, 10);
    EXPECT_DOUBLE_EQ(holes.step_angle, -72);
    EXPECT_EQ(holes.count, 5);
    // One hole needs no step; four steps of 89.9 stay short of a full turn.
    EXPECT_EQ(read_step(R"({"bolt_hole_circle": {"centre": [0, 0], "radius": 5, "step_angle": 0, "holes": 1, "tool": 7}})").count, 1);
    EXPECT_EQ(read_step(R"({"bolt_hole_circle": {"centre": [0, 0], "radius": 5, "step_angle": 89.9, "holes": 5, "tool": 7}})").count, 5);
}

}  // namespace
