// safety_check_test.cpp - the clamps' zones and the sheet's outline against
// what a program makes the machine do: the rule as a table of short
// programs (inside, touching, just outside, after a re-grip, a turned
// obround, a laser cut along the zone's edge), and the warnings told by step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "nc/nibbling.h"
#include "safety/check.h"
#include "safety/warnings.h"
#include "tests/support/host_fixture.h"
#include "tests/support/readback.h"

namespace {

// A sheet of 1000 x 500 held by one clamp at X300, its zone 100 wide and 40
// deep; T1 round 20, T2 obround 30 x 8, T3 without a shape (20 by default).
safety::Layout layout() {
    safety::Layout l;
    l.sheet_x = 1000.0;
    l.sheet_y = 500.0;
    l.clamps = {300.0};
    l.zone_width = 100.0;
    l.zone_depth = 40.0;
    l.tools[1] = safety::Footprint{safety::Footprint::Shape::round, 20.0, 20.0};
    l.tools[2] = safety::Footprint{safety::Footprint::Shape::obround, 30.0, 8.0};
    l.unknown_tool = safety::Footprint{safety::Footprint::Shape::round, 20.0, 20.0};
    l.tolerance = 0.006;
    return l;
}

std::vector<safety::Finding> findings(const std::string &body) {
    safety::Check check(layout());
    std::vector<safety::Finding> all;
    for (const nc::Event &e : program_events(crlf("% \n" + body + "%"))) {
        for (const safety::Finding &f : check.add(e)) all.push_back(f);
    }
    return all;
}

// The laser's words ahead of a cut.
const std::string LASER = "M121\nM72\nM27S450\n";

TEST(SafetyCheck, TheClampZoneRule) {
    using safety::Hazard;
    struct Row {
        const char *what;
        std::string body;
        long long count;         // strokes and cuts found
        Hazard hazard;           // of the deepest
        double depth;            // the deepest, mm
        double clamp_x = 300.0;  // where its clamp holds the sheet
    } rows[] = {
        {"inside", "X300Y20T1\n", 1, Hazard::clamp, 30.0},
        {"touching the zone's inner edge", "X300Y50T1\n", 0, Hazard::clamp, 0.0},
        {"touching to within the program's rounding", "X300Y49.995T1\n", 0, Hazard::clamp, 0.0},
        {"just inside", "X300Y49.9T1\n", 1, Hazard::clamp, 0.1},
        {"touching the side", "X240Y20T1\n", 0, Hazard::clamp, 0.0},
        {"just past the side", "X240.5Y20T1\n", 1, Hazard::clamp, 0.5},
        {"below the sheet's edge, over the jaws", "X300Y-30T1\n", 2, Hazard::clamp, 60.0},
        {"a station without a shape: its default", "X300Y45T3\n", 1, Hazard::clamp, 5.0},
        {"an obround along X clears it", "X300Y50T2\n", 0, Hazard::clamp, 0.0},
        {"the same obround turned 90 degrees", "X300Y50T2C90\n", 1, Hazard::clamp, 5.0},
        // Its round end reaches lowest: (15 - 4) / sqrt 2 below the stroke, and 4 more.
        {"an obround along X clears it lower down", "X300Y45T2\n", 0, Hazard::clamp, 0.0},
        {"turned 45 degrees it does not", "X300Y45T2C45\n", 1, Hazard::clamp, 11.0 / std::sqrt(2.0) - 1.0},
        {"after REP/: the clamp holds the sheet 500 further on", "X500Y300T1M03\nREP/DX500\nX800Y20\nX300Y20\n", 1,
         Hazard::clamp, 30.0, 800.0},
        {"after the explicit re-grip: the control's X moved back",
         "X500Y300T1M03\nM41\nDY50\nDX-500\nDY-50\nM42\nX300Y20\n", 1, Hazard::clamp, 30.0, 800.0},
        {"a frame block puts the clamps back", "X500Y300T1M03\nREP/DX500\nFRM/X0\nX300Y20\n", 1, Hazard::clamp, 30.0},
        {"a row across the zone", "X200Y20T1\nLAA/10 0 20\n", 11, Hazard::clamp, 30.0},
        {"nibbling along the edge", "X0Y0T1\nMOV/X200Y45\nNBL/\nCAA/Z 200 10 0 10\n", 11, Hazard::clamp, 5.0},
        {"a laser cut along the zone's edge", LASER + "X200Y40F2500\nX400F2500\nLED/DX0DY0\n", 0, Hazard::clamp, 0.0},
        {"a laser cut 1 mm inside it", LASER + "X200Y39F2500\nX400F2500\nLED/DX0DY0\n", 1, Hazard::clamp, 1.0},
        {"a laser arc dipping into it", LASER + "X370Y100F2500\nLCI/R 230 100 70F2500\nLED/DX0DY0\n", 1, Hazard::clamp, 10.0},
        // The sheet's outline.
        {"a stroke off the sheet", "X-50Y100T1\n", 1, Hazard::off_sheet, 50.0},
        {"a stroke far off", "X1200Y800T1\n", 1, Hazard::off_sheet, 360.555},
        {"a notch on the sheet's edge", "X1000Y100T1\n", 0, Hazard::off_sheet, 0.0},
        {"a laser cut past the edge", LASER + "X900Y100F2500\nX1100F2500\nLED/DX0DY0\n", 1, Hazard::off_sheet, 100.0},
        {"after a turn the sheet may lie either way",
         "X600Y800T1\n(TURN THE SHEET 90 DEGREES CLOCKWISE AND RESTART)\nM00\nX300Y800\n", 1, Hazard::off_sheet,
         300.0},
        {"a stop with a note of the job's own leaves the sheet as it lay",
         "X600Y800T1\n(CHECK THE BURR)\nM00\nX300Y800\n", 2, Hazard::off_sheet, 300.0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        const std::vector<safety::Finding> found = findings(row.body);
        long long count = 0;
        for (const safety::Finding &f : found) count += f.count;
        ASSERT_EQ(count, row.count);
        if (found.empty()) continue;
        const auto deepest = std::max_element(found.begin(), found.end(),
                                               [](const auto &a, const auto &b) { return a.depth < b.depth; });
        EXPECT_EQ(deepest->hazard, row.hazard);
        EXPECT_NEAR(deepest->depth, row.depth, 0.001);
        if (row.hazard == Hazard::clamp) {
            EXPECT_EQ(deepest->clamp, 1);
            EXPECT_NEAR(deepest->clamp_x, row.clamp_x, 1e-9);
        }
    }
}

// A nibbled path is one finding for the zone, and says which of its
// strokes strike it (the plot draws those red).
TEST(SafetyCheck, ANibbledPathTellsWhichStrokesStrike) {
    safety::Check check(layout());
    std::string struck;
    for (const nc::Event &e : program_events(crlf("% \nX0Y0T1\nMOV/X200Y45\nNBL/\nCAA/Z 200 10 0 10\n%"))) {
        const std::vector<safety::Finding> &found = check.add(e);
        if (e.kind != nc::EventKind::nibble) continue;
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].count, 11);
        for (long long k = 0; k < nc::nibble_stroke_count(e); ++k) struck += check.strikes(k) ? "x" : ".";
    }
    EXPECT_EQ(struck, ".....xxxxxxxxxxx.....");
}

TEST(SafetyCheck, WarningsNameTheStepTheClampAndTheDepth) {
    safety::Check check(layout());
    safety::Warnings warnings([](long long line) { return line == 3 ? std::string("work[0] (row)") : std::string(); },
                              1000.0, 500.0);
    for (const nc::Event &e : program_events(crlf("% \nX200Y20T1\nLAA/10 0 20\nX300Y30\nX-50Y100\n%"))) {
        for (const safety::Finding &f : check.add(e)) warnings.add(f);
    }
    EXPECT_EQ(warnings.findings(), 13);
    const std::vector<std::string> texts = warnings.texts(2);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "work[0] (row): 11 strokes reach into the zone of clamp 1 (at X300), the deepest 30 mm at "
                        "X270 Y20 (line 3)");
    EXPECT_EQ(texts[1], "line 4: the stroke reaches 20 mm into the zone of clamp 1 (at X300), at X300 Y30 (line 4)");
    EXPECT_EQ(texts[2], "and 1 more such warning");
}

}  // namespace
