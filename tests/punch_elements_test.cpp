// Rows of hits, nibbled lines, circles and arcs, and bolt-hole circles, run
// through the hook table with element records built by the host.
#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "host/element_record.h"
#include "tests/punch_fixture.h"

namespace {

struct Element {
    host::ElementRecord record;
    char *el() { return record.bytes; }
};

Element element(host::ElementValues v) { return {host::build_element_record(v)}; }

Element row(int tool, double pitch, int count) { return element({.kind = host::ElementKind::row, .tool = tool, .pitch = pitch, .count = count}); }

Element line(int tool, double step, int indexable = 0) {
    return element({.kind = host::ElementKind::nibbled_line, .tool = tool, .indexable = indexable, .line_pitch = step});
}

Element round(int tool, double radius, int dir, double step, int indexable = 0) {
    return element({.kind = host::ElementKind::nibbled_round,
                    .tool = tool,
                    .indexable = indexable,
                    .radius = radius,
                    .arc_dir = dir,
                    .arc_pitch = step});
}

Element holes(int tool, double radius, double step_degrees, int count, int indexable = 0) {
    return element({.kind = host::ElementKind::bolt_hole_circle,
                    .tool = tool,
                    .indexable = indexable,
                    .count = count,
                    .bhc_radius = radius,
                    .step_angle = step_degrees * DEG});
}

class ElementHookTest : public PunchTest {
protected:
    void SetUp() override {
        PunchTest::SetUp();
        use_turret();
    }

    void use_turret(int variant = 7000) {
        PunchTest::use_turret(variant, {{1, 1, "", false, false}, {2, 2, "", true, false}});
    }

    // A new program on a fresh writer, with the turret of use_turret.
    void fresh_program(bool inch = false) {
        writer = host::MemoryWriter{};
        start_new_program();
        job_.machine.inch = inch;
        use_turret();
    }

    // What a hook call added to the output; the hook must answer 0.
    std::string written(const std::function<int()> &hook) {
        const std::size_t before = output().size();
        EXPECT_EQ(hook(), 0);
        return output().substr(before);
    }
};

// ---- Rows of hits ---------------------------------------------------------

TEST_F(ElementHookTest, RowIsTheFirstHitAndOneCommandForTheRest) {
    struct Case {
        double x1, y1, x2, y2, pitch;
        int count;
        bool inch;
        const char *text;
    } cases[] = {
        {0, 0, 0, 45, 5, 10, false, "X0Y0T1\nLAA/5 90 9\n"},      // straight up
        {0, 0, -20, 0, 10, 3, false, "X0Y0T1\nLAA/10 180 2\n"},   // to the left: 180
        {0, 0, 0, -7.5, 7.5, 2, false, "X0Y0T1\nLAA/7.5 -90 1\n"}, // down: -90, not 270
        {0, 0, 254, 0, 25.4, 11, true, "X0Y0T1\nLAA/1 0 10\n"},   // pitch in inches
        {5, 5, 50, 5, 5, 1, false, "X5Y5T1\n"},                   // a row of one hit
        {5, 5, 50, 5, 5, -3, false, "X5Y5T1\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        fresh_program(c.inch);
        Element e = row(1, c.pitch, c.count);
        EXPECT_EQ(written([&] { return pp_cut(c.x1, c.y1, c.x2, c.y2, e.el(), 0.0); }), crlf(c.text));
        const bool command = c.count > 1;
        EXPECT_EQ(host::accounting().cuts, command ? 1 : 0);
        EXPECT_EQ(host::accounting().hits, 1);
        // The control leaves the tool on the last hit; a single hit stays put.
        EXPECT_DOUBLE_EQ(c_nc_x, command ? c.x2 : c.x1);
        EXPECT_DOUBLE_EQ(c_nc_y, command ? c.y2 : c.y1);
    }
}

TEST_F(ElementHookTest, RowHandsItsToolIndexAndHitModeToTheHitGenerator) {
    Element e = element({.tool = 2, .indexable = 1, .hit_bits = 5, .hit_bit = 1, .pitch = 5, .count = 3});
    std::ostringstream trace;
    host::set_trace(&trace);
    EXPECT_EQ(written([&] { return pp_cut(0, 0, 10, 0, e.el(), 30 * DEG); }), crlf("X0Y0T2C30\nLAA/5 0 2\n"));
    host::set_trace(nullptr);
    EXPECT_NE(trace.str().find("gen_nc_hit(el, 0, 0, 2, 1, 0.5235987756, 5, 1)"), std::string::npos) << trace.str();
    EXPECT_NE(trace.str().find("te_update_cut(0, 0, 0, 10, 0, 3, 1, 0.5235987756)"), std::string::npos);
}

// ---- Where the control stands after a command ----------------------------------
// The control expands a command from its values as written, rounded to their
// last digit; the tool ends where those lead, not on the exact end.

TEST_F(ElementHookTest, CommandsLeaveTheToolWhereTheirWrittenValuesLead) {
    const double r = 100.0 / 3.0;  // a radius whose text rounds
    struct Case {
        const char *name;
        bool inch;
        std::function<int()> hook;
        const char *command;        // the command block
        double end_x, end_y;
    } cases[] = {
        {"row to the left", false, [] { Element e = row(1, 12.345, 40); return pp_cut(500, 500, 18.545, 500, e.el(), 0.0); },
         "LAA/12.35 180 39", 18.35, 500},
        {"row in inches", true, [] { Element e = row(1, 10, 100); return pp_cut(0, 0, 990, 0, e.el(), 0.0); },
         "LAA/0.394 0 99", 99 * 0.394 * 25.4, 0},
        {"row at a slant", false, [] { Element e = row(1, std::hypot(3, 1), 11); return pp_cut(0, 0, 30, 10, e.el(), 0.0); },
         "LAA/3.16 18.43 10", 31.6 * std::cos(18.43 * DEG), 31.6 * std::sin(18.43 * DEG)},
        {"nibbled line at a slant", false, [] { Element e = line(1, 5); return pp_nibble_l(0, 0, 1000, 333, e.el(), 0.0); },
         "CAA/Z 1053.99 10 18.42 5", 1053.99 * std::cos(18.42 * DEG), 1053.99 * std::sin(18.42 * DEG)},
        {"nibbled circle", false, [r] { Element e = round(1, r, 1, 3); return pp_nibble_c(r, 0, 0, 0, e.el(), 0.0); },
         "RAD/I 38.33 10 0 360 3 ", 38.33, 0},
        {"bolt-hole circle", false, [r] {
             Element e = holes(1, r, 360.0 / 7, 7);
             const double last = 6 * 360.0 / 7 * DEG;
             return pp_bolt_hole_circle(r, 0, r * std::cos(last), r * std::sin(last), 0, 0, e.el(), 0.0);
         },
         "ARC/33.33 0 51.43 7 ", 33.33 * std::cos(6 * 51.43 * DEG), 33.33 * std::sin(6 * 51.43 * DEG)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fresh_program(c.inch);
        c_nc_x = c_nc_y = 0;
        EXPECT_EQ(c.hook(), 0);
        const std::string last = writer.pieces().back();
        EXPECT_TRUE(last.ends_with(crlf(std::string(c.command) + "\n"))) << last;
        EXPECT_NEAR(c_nc_x, c.end_x, 1e-9);
        EXPECT_NEAR(c_nc_y, c.end_y, 1e-9);
    }
}

// ---- Nibbling -------------------------------------------------------------

TEST_F(ElementHookTest, NibbledLineMovesOnlyWhenAwayFromItsStart) {
    Element e = line(1, 5);
    EXPECT_EQ(written([&] { return pp_nibble_l(0, 0, 100, 0, e.el(), 0.0); }), crlf("T1\nNBL/\nCAA/Z 100 10 0 5\n"));
    EXPECT_EQ(writer.pieces().size(), 2u);  // tool block, then NBL/ with the command
    EXPECT_DOUBLE_EQ(c_nc_x, 100);
    EXPECT_DOUBLE_EQ(c_nc_y, 0);

    // From (100, 0) to a line starting a hair away, and one going down.
    EXPECT_EQ(written([&] { return pp_nibble_l(100, 0.000001, 100, 20, e.el(), 0.0); }),
              crlf("MOV/X100Y0\nNBL/\nCAA/Z 20 10 90 5\n"));
    EXPECT_EQ(written([&] { return pp_nibble_l(100, 20.0000009, 100, 0, e.el(), 0.0); }),
              crlf("NBL/\nCAA/Z 20 10 -90 5\n"));
    EXPECT_EQ(host::messages().size(), 0u);
}

TEST_F(ElementHookTest, StepIsCutBackOnlyWhenItExceedsWhatItCoversByTheTolerance) {
    // Line of 10.004 (written 10); arc whose cap (sweep * radius + 5) is 15.004.
    const double radius = 10.004 / (M_PI / 2);
    struct Case {
        double step;
        const char *line_text, *arc_step;
    } cases[] = {
        {10.0061, "CAA/Z 10 10 0 10\n", "15"},        // 0.0021 over: the cap
        {10.0059, "CAA/Z 10 10 0 10.01\n", "15.01"},  // 0.0019 over: the step itself
        {3, "CAA/Z 10 10 0 3\n", "3"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.step);
        c_nc_x = 0;
        c_nc_y = 0;
        Element l = line(1, c.step);
        EXPECT_EQ(pp_nibble_l(0, 0, 10.004, 0, l.el(), 0.0), 0);
        EXPECT_EQ(writer.pieces().back(), crlf(std::string("NBL/\n") + c.line_text));

        // The arc's step sits beside the line's by the same offset from its cap.
        Element a = round(1, radius, 1, c.step == 3 ? 3 : c.step + 5, 0);
        EXPECT_EQ(pp_nibble_a(radius, 0, 0, radius, 0, 0, a.el(), 0.0), 0);
        const std::string command = writer.pieces().back();
        const std::string step = command.substr(command.rfind(' ', command.size() - 4) + 1);
        EXPECT_EQ(step, std::string(c.arc_step) + " \r\n") << command;
    }
}

TEST_F(ElementHookTest, CirclesAndArcsInBothSensesIndexedAndNot) {
    struct Case {
        const char *name;
        bool arc;
        double xs, ys, xe, ye, xc, yc, radius;
        int dir, indexable;
        double step, degrees;
        const char *command;
        double end_x, end_y;
    } cases[] = {
        {"circle cw", false, 60, 50, 0, 0, 50, 50, 10, -1, 0, 3, 0, "RAD/I 15 10 0 -360 3 ", 65, 50},
        {"circle dir 0", false, 60, 50, 0, 0, 50, 50, 10, 0, 0, 3, 0, "RAD/I 15 10 0 -360 3 ", 65, 50},
        {"circle below", false, 50, 40, 0, 0, 50, 50, 10, 1, 0, 3, 0, "RAD/I 15 10 270 360 3 ", 50, 35},
        {"circle indexed", false, 60, 50, 0, 0, 50, 50, 10, 1, 1, 3, 45, "RAD/I 15 10 0 360 3 C45", 65, 50},
        {"arc ccw", true, 10, 0, 0, 10, 0, 0, 10, 1, 0, 4, 0, "RAD/I 15 10 0 90 4 ", 0, 15},
        {"arc cw", true, 10, 0, 0, 10, 0, 0, 10, -1, 0, 4, 0, "RAD/I 15 10 0 -270 4 ", 0, 15},
        {"arc from below", true, 0, -10, 10, 0, 0, 0, 10, 1, 0, 4, 0, "RAD/I 15 10 270 90 4 ", 15, 0},
        {"arc indexed", true, 10, 0, 0, 10, 0, 0, 10, 1, 1, 4, 30, "RAD/I 15 10 0 90 4 C30", 0, 15},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fresh_program();
        const int tool = c.indexable ? 2 : 1;
        Element e = round(tool, c.radius, c.dir, c.step, c.indexable);
        const int result = c.arc ? pp_nibble_a(c.xs, c.ys, c.xe, c.ye, c.xc, c.yc, e.el(), c.degrees * DEG)
                                 : pp_nibble_c(c.xs, c.ys, c.xc, c.yc, e.el(), c.degrees * DEG);
        EXPECT_EQ(result, 0);
        const std::string tool_block = c.indexable ? "T2C" + std::to_string(int(c.degrees)) + "\n" : "T1\n";
        char move[64];
        std::snprintf(move, sizeof move, "MOV/X%gY%g\n", c.xc, c.yc);
        EXPECT_EQ(writer.text(), crlf(tool_block + move + "NBL/\n" + c.command + "\n"));
        EXPECT_NEAR(c_nc_x, c.end_x, 1e-9);
        EXPECT_NEAR(c_nc_y, c.end_y, 1e-9);
        // Only an indexed tool makes the host ask the user to check the element.
        EXPECT_EQ(host::messages().size(), c.indexable ? 1u : 0u);
    }
}

TEST_F(ElementHookTest, CircleMovesToItsCentreEvenWhenTheToolStandsThere) {
    c_nc_x = 50;
    c_nc_y = 50;
    Element e = round(1, 10, 1, 3);
    EXPECT_EQ(written([&] { return pp_nibble_c(60, 50, 50, 50, e.el(), 0.0); }),
              crlf("T1\nMOV/X50Y50\nNBL/\nRAD/I 15 10 0 360 3 \n"));
}

TEST_F(ElementHookTest, AnswerToTheIndexedNibblingMessageDecidesWhetherTheProgramGoesOn) {
    for (const bool stop : {false, true}) {
        for (const bool arc : {false, true}) {
            SCOPED_TRACE(std::string(arc ? "arc" : "circle") + (stop ? ", stop" : ", go on"));
            fresh_program();
            host::set_stop_on_warnings(stop);
            Element e = round(2, 10, 1, 3, 1);
            const int result = arc ? pp_nibble_a(10, 0, 0, 10, 0, 0, e.el(), 0.0)
                                   : pp_nibble_c(10, 0, 0, 0, e.el(), 0.0);
            EXPECT_EQ(result, stop ? 1 : 0);
            ASSERT_EQ(host::messages().size(), 1u);
            EXPECT_EQ(host::messages()[0], "warning: check the nibbled circle or arc: the tool was indexed");
            // The message comes after the command went out and the position moved.
            EXPECT_EQ(writer.pieces().size(), 3u);
            EXPECT_NEAR(c_nc_y, arc ? 15 : 0, 1e-9);
            EXPECT_NEAR(c_nc_x, arc ? 0 : 15, 1e-9);
        }
    }
}

// ---- Bolt-hole circles ------------------------------------------------------

TEST_F(ElementHookTest, BoltHoleCircleIsOneCommandWithEveryHole) {
    struct Case {
        double first, step;
        int count, indexable;
        double degrees;
        const char *text;
    } cases[] = {
        {-30, 45, 3, 0, 0, "T1\nMOV/X0Y0\nARC/50 330 45 3 \n"},  // as the host's arc routine has it
        {0, 0, 1, 0, 0, "T1\nMOV/X0Y0\nARC/50 0 0 1 \n"},
        {0, 60, 6, 1, 0, "T2\nMOV/X0Y0\nARC/50 0 60 6 C0\n"},    // indexed: C word although unchanged
        {0, 60, 6, 1, 15, "T2C15\nMOV/X0Y0\nARC/50 0 60 6 C15\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        fresh_program();
        c_nc_x = 0;
        c_nc_y = 0;
        const double last = (c.first + c.step * (c.count - 1)) * DEG;
        const double xs = 50 * std::cos(c.first * DEG), ys = 50 * std::sin(c.first * DEG);
        const double xe = 50 * std::cos(last), ye = 50 * std::sin(last);
        Element e = holes(c.indexable ? 2 : 1, 50, c.step, c.count, c.indexable);
        EXPECT_EQ(written([&] { return pp_bolt_hole_circle(xs, ys, xe, ye, 0, 0, e.el(), c.degrees * DEG); }),
                  crlf(c.text));
        EXPECT_NEAR(c_nc_x, xe, 1e-9);
        EXPECT_NEAR(c_nc_y, ye, 1e-9);
        EXPECT_EQ(host::accounting().bolt_hole_circles, 1);
    }
}

TEST_F(ElementHookTest, BoltHoleStepOfZeroCountsAsThePositiveSense) {
    for (const double step : {0.0, -0.5e-6 / DEG, -2e-6 / DEG}) {
        std::ostringstream trace;
        host::set_trace(&trace);
        Element e = holes(1, 10, step, 2);
        EXPECT_EQ(pp_bolt_hole_circle(10, 0, 10, 0, 0, 0, e.el(), 0.0), 0);
        host::set_trace(nullptr);
        const char *sense = step * DEG > -1e-6 ? ", 1) ->" : ", -1) ->";
        EXPECT_NE(trace.str().find(std::string("calc_sra_era_da(10, 0, 10, 0, 0, 0") + sense), std::string::npos)
            << step << "\n" << trace.str();
    }
}

// ---- A refusing writer ------------------------------------------------------

// Every element hook in turn, with a tool change on a turned index between
// them: from whichever flush the writer refuses, the program holds exactly
// the pieces before it and the hook that met the refusal answers 1.
TEST_F(ElementHookTest, RefusedFlushStopsEveryHookAtEveryPoint) {
    const std::vector<std::function<int()>> hooks = {
        [] { Element e = row(1, 5, 10); return pp_cut(0, 0, 0, 45, e.el(), 0.0); },
        [] { Element e = line(1, 5); return pp_nibble_l(10, 60, 10, 100, e.el(), 0.0); },
        [] { Element e = round(2, 10, 1, 3, 1); return pp_nibble_c(60, 50, 50, 50, e.el(), 45 * DEG); },
        [] { Element e = round(2, 10, 1, 4, 1); return pp_nibble_a(10, 0, 0, 10, 0, 0, e.el(), 45 * DEG); },
        [] {
            Element e = holes(1, 50, 60, 6);
            return pp_bolt_hole_circle(50, 0, 25, -50 * std::sqrt(0.75), 0, 0, e.el(), 0.0);
        },
    };
    auto run = [&](host::MemoryWriter &out, std::vector<double> &position) {
        start_new_program();
        host::set_writer(&out);
        use_turret();
        std::vector<int> results;
        for (const auto &hook : hooks) {
            results.push_back(hook());
            if (results.back() != 0) break;
        }
        position = {c_nc_x, c_nc_y};
        return results;
    };

    host::MemoryWriter full;
    std::vector<double> end;
    EXPECT_EQ(run(full, end), (std::vector<int>{0, 0, 0, 0, 0}));
    const std::vector<std::string> pieces = full.pieces();
    const std::vector<std::string> expected = {
        "X0Y0T1\n", "LAA/5 90 9\n",                                       // row
        "MOV/X10Y60\n", "NBL/\nCAA/Z 40 10 90 5\n",                        // line
        "T2C45\n", "MOV/X50Y50\n", "NBL/\nRAD/I 15 10 0 360 3 C45\n",      // circle
        "MOV/X0Y0\n", "NBL/\nRAD/I 15 10 0 90 4 C45\n",                    // arc: same tool and angle
        "X0Y15C0M03\nT1\n", "MOV/X0Y0\n", "ARC/50 0 60 6 \n",              // holes: index back to 0 first
    };
    ASSERT_EQ(pieces.size(), expected.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) EXPECT_EQ(pieces[i], crlf(expected[i])) << i;
    // Hook that writes each piece.
    const std::vector<std::size_t> writer_of = {0, 0, 1, 1, 2, 2, 2, 3, 3, 4, 4, 4};

    for (std::size_t n = 1; n <= pieces.size() + 1; ++n) {
        SCOPED_TRACE(n);
        host::MemoryWriter refusing;
        refusing.refuse_from(static_cast<int>(n));
        std::vector<double> position;
        const std::vector<int> results = run(refusing, position);
        EXPECT_EQ(refusing.pieces(), std::vector<std::string>(pieces.begin(), pieces.begin() + (n - 1)));
        if (n > pieces.size()) {
            EXPECT_EQ(results.back(), 0);
            continue;
        }
        EXPECT_EQ(results.size(), writer_of[n - 1] + 1);
        EXPECT_EQ(results.back(), 1);
        // A refused command leaves the tool where the words before it put it.
        struct Stand {
            std::size_t piece;
            double x, y;
        } const before_command[] = {{2, 0, 0}, {4, 10, 60}, {7, 50, 50}, {9, 0, 0}, {12, 0, 0}};
        for (const Stand &s : before_command) {
            if (s.piece == n) {
                EXPECT_EQ(position, (std::vector<double>{s.x, s.y}));
            }
        }
    }
    host::set_writer(&writer);
}

}  // namespace
