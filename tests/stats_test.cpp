// What the statistics count of short programs, and the machine time they
// estimate: a program worked out by hand, and the moves against the closed
// form of an accelerating and braking axis.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>

#include "safety/check.h"
#include "stats/report.h"
#include "stats/statistics.h"
#include "tests/support/host_fixture.h"
#include "tests/support/readback.h"

namespace {

stats::Statistics counted(const std::string &body, const stats::MachineTimes &machine = stats::MachineTimes{},
                          const safety::Layout *layout = nullptr) {
    nc::Setup setup;
    setup.inch = machine.inch;
    const stats::TimeModel time(machine);
    stats::Counter counter(time);
    std::optional<safety::Check> check;
    if (layout != nullptr) check.emplace(*layout);
    const std::string program = crlf("% \n" + body + "%");
    for (const nc::Event &e : program_events(program, setup)) {
        counter.add(e);
        if (check) counter.add_findings(check->add(e));
    }
    return counter.result(2 + static_cast<long long>(std::count(body.begin(), body.end(), '\n')));
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
    ASSERT_EQ(s.patterns.count(2), 1u);
    EXPECT_EQ(s.patterns.at(2).calls, 1);
    EXPECT_EQ(s.patterns.at(2).copies, 3);
    EXPECT_EQ(s.patterns.at(2).strokes, 3);
    EXPECT_EQ(s.pierces, 1);
    EXPECT_EQ(s.laser_elements, 2);
    EXPECT_NEAR(s.laser_length, 100.0 + std::numbers::pi * 50.0, 1e-9);
    ASSERT_EQ(s.technologies.count("M72 M27 S450 F2500"), 1u);
    EXPECT_EQ(s.regrips, 1);
    EXPECT_EQ(s.stops, 1);
    EXPECT_EQ(s.turns, 0);
    EXPECT_EQ(s.moves, 3);
    EXPECT_EQ(s.dwell, 1.5);
    // The longest move without work: from the pattern's last copy at X100
    // Y250 (its stroke at X101) to the pierce at X1000 Y100, line 24.
    EXPECT_NEAR(s.longest.length, std::hypot(899.0, 150.0), 1e-9);
    EXPECT_EQ(s.longest.line, 24);
}

// The machine of the hand-worked program: round figures.
stats::MachineTimes hand_machine() {
    stats::MachineTimes m;
    m.strokes_per_minute = 600;   // 0.1 s a stroke
    m.positioning_speed = 60;     // 1000 mm/s
    m.acceleration = 10;          // 10 000 mm/s²: 0.1 s and 50 mm to top speed, as much to brake
    m.tool_change_time = 2;
    m.turret_step_time = 0.25;
    m.turret_stations = 20;
    m.index_turn_time = 2;        // 0.5 s for 90 degrees
    m.pierce_time = 0.7;
    m.regrip_time = 5;
    m.stop_time = 10;
    m.turn_time = 60;
    return m;
}

TEST(Stats, TheTimeOfASmallProgramIsTheOneWorkedOutByHand) {
    // A move of d mm along one axis takes d/1000 + 0.1 s from 100 mm on
    // (both ramps whole), 2 sqrt(d/10000) s below that.
    //
    //   X100Y0T1        travel 100 mm: 0.1 + 0.1 = 0.2 s; a stroke 0.1 s; the
    //                   first station taken costs nothing
    //   LAA/25 0 3      3 strokes 25 mm apart: each 2 sqrt(0.0025) = 0.1 s of
    //                   travel and 0.1 s of stroke: 0.6 s
    //   T5C90           T1 to T5: 2 s and 4 stations at 0.25 s = 3 s; the
    //                   index 0 to 90 degrees: 0.5 s
    //   X175Y400        400 mm in Y: 0.4 + 0.1 = 0.5 s; a stroke 0.1 s
    //   REP/DX500       5 s
    //   (CHECK ...) M00 a stop with the job's own note: 10 s
    //   (TURN ...) M00  a turn of the sheet (its note): 60 s
    //   DWL/X 1.5       1.5 s
    //   X175Y500F3000   a pierce 100 mm on in Y: 0.2 s of travel, 0.7 s
    //   X475F3000       300 mm at 3000 mm a minute: 6 s
    //
    // punching 0.5, positioning 1.2, tool changes 3, index 0.5, pierces
    // 0.7, cutting 6, re-grips 5, stops 10, turns 60, dwells 1.5: 88.4 s.
    const stats::Statistics s = counted(
        "X100Y0T1\nLAA/25 0 3\nT5C90\nX175Y400\nREP/DX500\n(CHECK THE BURR)\nM00\n"
        "(TURN THE SHEET 90 DEGREES CLOCKWISE AND RESTART)\nM00\nDWL/X 1.5\n"
        "M121\nM72\nM27S450\nX175Y500F3000\nX475F3000\nLED/DX0DY0\n",
        hand_machine());
    const double expected[stats::PART_COUNT] = {0.5, 1.2, 3.0, 0.5, 0.7, 6.0, 5.0, 10.0, 60.0, 1.5};
    const long long counts[stats::PART_COUNT] = {5, 6, 1, 1, 1, 1, 1, 1, 1, 1};
    for (int part = 0; part < stats::PART_COUNT; ++part) {
        EXPECT_NEAR(s.part_seconds[part], expected[part], 1e-9) << "part " << part;
        EXPECT_EQ(s.part_count[part], counts[part]) << "part " << part;
    }
    EXPECT_NEAR(s.total_seconds, 88.4, 1e-9);
    // Each station: its strokes and the travel to them.
    EXPECT_NEAR(s.stations.at(1).seconds, 0.4 + 0.2 + 0.3, 1e-9);
    EXPECT_NEAR(s.stations.at(5).seconds, 0.1 + 0.5, 1e-9);
    // The table and the JSON name each part, its count and its keys.
    const std::string table = stats::table(s, hand_machine());
    for (const char *words : {"Estimated machine time            1 min 28 s, made of:",
                              "  tool changes                    3 s: 1 tool change at tool_change_time 2 s, "
                              "turret_step_time 0.25 s of 20 turret_stations",
                              "  flips and turns                 1 min 0 s: 1 flip or turn at turn_time 60 s",
                              "  positioning                     1.2 s: 6 moves at positioning_speed 60 m/min, "
                              "acceleration 10 m/s2"}) {
        EXPECT_NE(table.find(words), std::string::npos) << words << "\n" << table;
    }
    const std::string json = stats::json(s, hand_machine());
    EXPECT_NE(json.find("{\"part\": \"cutting\", \"count\": 1, \"time_s\": 6, \"from\": \"the programmed feeds, F in mm a "
                        "minute\"}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"total\": 88.4}"), std::string::npos) << json;
}

// MOV/ leaves the tool at a nibbled circle's centre: it travels out 20 mm
// to the path (RAD/I 25 names the radius plus the 5 mm allowance), 2
// sqrt(20 / 10 000) s, and from the path's end 5 mm out, 2 sqrt(5 / 10 000)
// s.  Before them: 100 mm to the stroke, 0.2 s; 400 mm on to the centre,
// 0.5 s.
TEST(Stats, ANibbledCircleTakesItsWayOutFromTheCentre) {
    const stats::Statistics s = counted("X100Y0T1\nMOV/X500Y0\nNBL/\nRAD/I 25 10 0 360 4\n");
    const double out = 2.0 * std::sqrt(20.0 / 10000.0) + 2.0 * std::sqrt(5.0 / 10000.0);
    EXPECT_NEAR(s.part_seconds[stats::PART_POSITIONING], 0.2 + 0.5 + out, 1e-9);
}

TEST(Stats, AMoveTakesTheTimeOfAnAcceleratingAndBrakingAxis) {
    // t = d/v + v/a where both ramps fit (d >= v²/a), 2 sqrt(d/a) where
    // they do not; the X and Y axes move at once, the longer one counts.
    struct Move {
        double speed, acceleration;  // m/min, m/s²
        double dx, dy;               // mm
        double seconds;
    };
    const Move moves[] = {
        {60, 10, 0, 0, 0.0},
        {60, 10, 100, 0, 0.2},            // v 1000 mm/s, a 10 000: the ramps just fit, 0.1 + 0.1
        {60, 10, 1000, 0, 1.1},           // 1 + 0.1
        {60, 10, 25, 0, 0.1},             // 2 sqrt(25 / 10 000)
        {60, 10, 1, 0, 0.02},             // 2 sqrt(1 / 10 000)
        {60, 10, 0, -64, 0.16},           // 2 sqrt(64 / 10 000), either way
        {60, 10, 400, 30, 0.5},           // X 0.4 + 0.1; Y 2 sqrt(0.003) = 0.11
        {60, 10, -250, 250, 0.35},        // both 0.25 + 0.1
        {120, 5, 800, 0, 0.8},            // v 2000, a 5000: ramps of 800 mm, 0.4 + 0.4
        {120, 5, 200, 0, 0.4},            // 2 sqrt(200 / 5000)
        {120, 5, 3000, 1000, 1.9},        // X 1.5 + 0.4; Y 0.5 + 0.4
    };
    for (const Move &m : moves) {
        stats::MachineTimes machine;
        machine.positioning_speed = m.speed;
        machine.acceleration = m.acceleration;
        const stats::TimeModel time(machine);
        EXPECT_NEAR(time.move_seconds(m.dx, m.dy), m.seconds, 1e-9) << m.speed << " m/min, " << m.acceleration
                                                                     << " m/s², " << m.dx << " " << m.dy;
    }
}

TEST(Stats, TheTurretAndTheIndexTurnTheShorterWayRound) {
    const stats::TimeModel time(hand_machine());  // 20 stations, 2 s and 0.25 s a station; 2 s a whole turn
    EXPECT_EQ(time.tool_change_seconds(0, 7), 0.0) << "the first station taken";
    EXPECT_NEAR(time.tool_change_seconds(1, 5), 3.0, 1e-9);
    EXPECT_NEAR(time.tool_change_seconds(1, 19), 2.5, 1e-9) << "two stations back across 20";
    EXPECT_NEAR(time.tool_change_seconds(10, 10 + 20), 2.0, 1e-9) << "round the turret to the same place";
    EXPECT_NEAR(time.index_seconds(0, 270), 0.5, 1e-9) << "a quarter turn back";
    EXPECT_NEAR(time.index_seconds(350, 10), 2.0 * 20 / 360, 1e-9);
    EXPECT_NEAR(time.index_seconds(-90, 90), 1.0, 1e-9);
    // A technology's own pierce time, found by its words.
    stats::MachineTimes m = hand_machine();
    m.pierce_times.push_back(stats::PierceTime{2, 1, 450, 1.25});
    nc::Technology t;
    t.m7x = 2;
    t.mode = 1;
    t.s = 450;
    EXPECT_EQ(stats::TimeModel(m).pierce_seconds(t), 1.25);
    t.s = 451;
    EXPECT_EQ(stats::TimeModel(m).pierce_seconds(t), 0.7);
}

// The same job cuts as long in either unit: an inch machine's F for a feed
// (98.425 for the job's 2.5) is the millimetre machine's (250) / 2.54.
TEST(Stats, TheSameCutTakesAsLongInInchesAsInMillimetres) {
    stats::MachineTimes inch;
    inch.inch = true;
    const double mm_seconds =
        counted("X0Y0F250\nX254F250\nLED/DX0DY0\n", stats::MachineTimes{}).part_seconds[stats::PART_CUTTING];
    EXPECT_NEAR(mm_seconds, 254.0 / 250.0 * 60.0, 1e-9);
    // Within the rounding of the F word (98.425 × 2.54 = 249.9995).
    EXPECT_NEAR(counted("X0Y0F98.425\nX10F98.425\nLED/DX0DY0\n", inch).part_seconds[stats::PART_CUTTING], mm_seconds,
                1e-3);
}

// The table says "1 pierce" and "1 path", and counts no change for the first
// station.
TEST(Stats, TheTableCountsInWords) {
    const stats::Statistics s =
        counted("X0Y0T1\nMOV/X800Y100\nNBL/\nCAA/Z 100 10 90 5\nX1000Y100F2500\nX1100F2500\nLED/DX0DY0\n");
    EXPECT_EQ(s.tool_changes, 0);
    const std::string table = stats::table(s, stats::MachineTimes{});
    for (const char *words : {"21 strokes on 1 path,", "100 mm in 1 element, 1 pierce\n", "100 mm, 1 pierce, ",
                              "Tool changes                      0 (the first station selected not counted)",
                              "Longest positioning               806.23 mm at line 3, X0 Y0 to X800 Y100"}) {
        EXPECT_NE(table.find(words), std::string::npos) << words << "\n" << table;
    }
}

// Strokes and cuts into a clamp's zone or off the sheet, as the safety check
// finds them: a stroke once however many zones it strikes, a nibbled path
// with its strokes that strike.
TEST(Stats, WorkIntoAClampsZoneOrOffTheSheetIsCounted) {
    safety::Layout layout;
    layout.sheet_x = 1000;
    layout.sheet_y = 500;
    layout.clamps = {200, 700};
    layout.zone_width = 100;
    layout.zone_depth = 40;
    layout.unknown_tool.size_x = layout.unknown_tool.size_y = 10;
    const stats::Statistics s = counted(
        "X200Y10T1\nX400Y200\nX1100Y100\nMOV/X160Y20\nNBL/\nCAA/Z 80 0 0 10\n"
        "M121\nM72\nM27S450\nX100Y60F2500\nX700Y60F2500\nX700Y20F2500\nLED/DX0DY0\n",
        stats::MachineTimes{}, &layout);
    EXPECT_EQ(s.strokes_in_clamp_zones, 1 + 9) << "the stroke at X200, and the nibbling from X160 to X240";
    EXPECT_EQ(s.strokes_off_sheet, 1);
    EXPECT_EQ(s.cuts_in_clamp_zones, 1) << "the element down into the zone of the clamp at X700";
    EXPECT_EQ(s.cuts_off_sheet, 0);
    const std::string json = stats::json(s, stats::MachineTimes{});
    EXPECT_NE(json.find("\"strokes_in_clamp_zones\": 10,\n  \"strokes_off_sheet\": 1,\n  "
                        "\"laser_elements_in_clamp_zones\": 1,"),
              std::string::npos)
        << json;
}

}  // namespace
