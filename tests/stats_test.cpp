// What the statistics count of short programs, and the time they estimate.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "stats/report.h"
#include "stats/statistics.h"
#include "tests/support/host_fixture.h"
#include "tests/support/readback.h"

namespace {

stats::Statistics counted(const std::string &body, const stats::Speeds &speeds = stats::Speeds{}) {
    stats::Counter counter;
    const std::string program = crlf("% \n" + body + "%");
    for (const nc::Event &e : program_events(program)) counter.add(e);
    return counter.result(2 + static_cast<long long>(std::count(body.begin(), body.end(), '\n')), speeds);
}

TEST(Stats, EveryKindOfWorkIsCounted) {
    const stats::Statistics s = counted(
        "X0Y0T1\nLAA/10 0 9\nT3C90\nMOV/X500Y300\nARC/40 0 90 4 C90\nT7\nMOV/X800Y100\nNBL/\nCAA/Z 100 10 90 5\n"
        "MOV/X800Y300\nNBL/\nRAD/I 25 10 0 360 4 \nPAT02/\nDX1\nEND02\nT1\nOFS/X100Y100\nMGR/02 U 50 3\nOFS/X0Y0\n"
        "M121\nM72\nM27S450\nX1000Y100F2500\nX1100F2500\nLCI/L 1100 200 50F2500\nLED/DX0DY0\nREP/DX800\nM00\nDWL/X 1.5\n");
    EXPECT_EQ(s.blocks, 31);
    EXPECT_EQ(s.strokes, 10 + 4 + 3);
    EXPECT_EQ(s.stations.at(1).strokes, 13);
    EXPECT_EQ(s.stations.at(3).strokes, 4);
    // 100 mm in steps of at most 5: 21 strokes; a circle of radius 20, 4 mm: 32.
    EXPECT_EQ(s.stations.at(7).nibble_strokes, 21 + 32);
    EXPECT_EQ(s.nibble_paths, 2);
    EXPECT_NEAR(s.nibble_length, 100.0 + 2.0 * std::numbers::pi * 20.0, 1e-9);
    EXPECT_EQ(s.tool_changes, 3);  // T1 is the first selected, then T3, T7, T1
    EXPECT_EQ(s.index_turns, 1);
    EXPECT_EQ(s.pattern_calls, 1);
    EXPECT_EQ(s.pattern_copies, 3);
    EXPECT_EQ(s.pierces, 1);
    EXPECT_EQ(s.laser_elements, 2);
    EXPECT_NEAR(s.laser_length, 100.0 + std::numbers::pi * 50.0, 1e-9);
    ASSERT_EQ(s.technologies.count("M72 M27 S450 F2500"), 1u);
    EXPECT_EQ(s.regrips, 1);
    EXPECT_EQ(s.stops, 1);
    EXPECT_EQ(s.moves, 3);
    EXPECT_EQ(s.dwell, 1.5);
}

TEST(Stats, TheTimeFollowsTheMachinesSpeedsAndTheFeeds) {
    stats::Speeds speeds;
    speeds.strokes_per_minute = 600;
    speeds.positioning_speed = 6;  // 100 mm a second
    // 10 strokes, travel 100 mm to the first and 90 along the row, one cut
    // of 250 mm at F2500 (mm a minute).
    const stats::Statistics s = counted("X100Y0T1\nLAA/10 0 9\nX100Y200F2500\nX350F2500\nLED/DX0DY0\n", speeds);
    EXPECT_NEAR(s.punching_seconds, 1.0, 1e-9);
    EXPECT_NEAR(s.travel, 100.0 + 90.0 + std::hypot(90.0, 200.0), 1e-9);
    EXPECT_NEAR(s.travel_seconds, s.travel / 100.0, 1e-9);
    EXPECT_NEAR(s.laser_seconds, 6.0, 1e-9);
    EXPECT_NEAR(s.total_seconds, s.punching_seconds + s.travel_seconds + s.laser_seconds, 1e-9);
    // An inch program's feed is in inches a minute.
    speeds.inch = true;
    EXPECT_NEAR(counted("X0Y0F10\nX254F10\nLED/DX0DY0\n", speeds).laser_seconds, 60.0, 1e-9);
    EXPECT_NE(stats::table(s, speeds).find("Estimated machine time"), std::string::npos);
    EXPECT_NE(stats::json(s, speeds).find("\"strokes\": 10,"), std::string::npos);
}

// The table says "1 pierce" and "1 path", counts no change for the first
// station, and tells what its time leaves out.
TEST(Stats, TheTableCountsInWords) {
    const stats::Statistics s =
        counted("X0Y0T1\nMOV/X800Y100\nNBL/\nCAA/Z 100 10 90 5\nX1000Y100F2500\nX1100F2500\nLED/DX0DY0\n");
    EXPECT_EQ(s.tool_changes, 0);
    const std::string table = stats::table(s, stats::Speeds{});
    for (const char *words : {"21 strokes on 1 path,", "100 mm in 1 element, 1 pierce\n", "100 mm, 1 pierce, ",
                              "Tool changes                      0 (the first station selected not counted)",
                              "tool changes, index turns,", "pierces, re-grips and stops not included)"}) {
        EXPECT_NE(table.find(words), std::string::npos) << words << "\n" << table;
    }
}

}  // namespace
