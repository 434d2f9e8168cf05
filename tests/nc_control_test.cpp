// What the control model makes of short programs: the expansions of rows,
// circles, nibbling, patterns and offsets, re-grips and laser cuts, and the
// programs it cannot run, each named at its line.
#include <gtest/gtest.h>

#include <string>

#include "nc/block_reader.h"
#include "nc/control.h"
#include "nc/program_error.h"
#include "tests/support/host_fixture.h"
#include "tests/support/readback.h"

namespace {

// A program of the given body between the start and end lines, with
// line feeds for the control's CR LF.
std::string program(const std::string &body) { return crlf("% \n" + body + "%"); }

// Only what the machine does: tool changes and index turns left out.
std::string work_of(const std::string &body, const nc::Setup &setup = nc::Setup{}) {
    std::vector<nc::Event> events = program_events(program(body), setup);
    std::erase_if(events, [](const nc::Event &e) {
        return e.kind == nc::EventKind::tool_change || e.kind == nc::EventKind::index_turn ||
               e.kind == nc::EventKind::program_start || e.kind == nc::EventKind::program_end;
    });
    return events_text(events);
}

TEST(NcControl, CommandsExpandIntoTheStrokesAndPathsTheControlMakes) {
    const struct {
        const char *name;
        const char *body;
        const char *work;
    } cases[] = {
        {"a row after its first hit", "X100Y100T1\nLAA/5 90 2\n",
         "stroke at X100 Y100 T1 C0\nstroke at X100 Y105 T1 C0\nstroke at X100 Y110 T1 C0\n"},
        {"a bolt-hole circle about the tool", "T3C45\nMOV/X500Y300\nARC/50 0 90 4 C45\n",
         "MOV/ to X500 Y300\nstroke at X550 Y300 T3 C45\nstroke at X500 Y350 T3 C45\nstroke at X450 Y300 T3 C45\n"
         "stroke at X500 Y250 T3 C45\n"},
        {"a nibbled line from the tool", "T1\nNBL/\nCAA/Z 100 10 90 5\n",
         "nibbled line from X0 Y0 to X0 Y100 step 5 T1 C0\n"},
        {"a nibbled circle: the radius less 5 mm, the tool left outside", "T1\nMOV/X800Y300\nNBL/\nRAD/I 25 10 0 360 4 \nX1Y1\n",
         "MOV/ to X800 Y300\nnibbled circle about X800 Y300 radius 20 from X820 Y300 sweep 360 step 4 T1 C0\n"
         "stroke at X1 Y1 T1 C0\n"},
        {"a nibbled arc clockwise", "T1\nMOV/X1000Y300\nNBL/\nRAD/I 35 10 90 -90 50 \n",
         "MOV/ to X1000 Y300\nnibbled arc about X1000 Y300 radius 30 from X1000 Y330 sweep -90 step 50 T1 C0\n"},
        {"positionings, park and unload", "X10Y10T1M03\nX20M05\nY30M40\n",
         "positioning to X10 Y10\npark (M05) to X20 Y10\nunload (M40) to X20 Y30\n"},
        {"the offset moves absolute words, not incremental ones",
         "OFS/X100Y200\nX10Y10T1\nDX5\nOFS/X0Y0\nX10Y10\n",
         "stroke at X110 Y210 T1 C0\nstroke at X115 Y210 T1 C0\nstroke at X10 Y10 T1 C0\n"},
        {"a definition runs at each call, from where the tool stands",
         "PAT03/\nDX10DY10C90\nDX20\nEND03\nX200Y300T3C0M03\nPAT03\n",
         "positioning to X200 Y300\ncopy 1 of PAT03 at X200 Y300\nstroke at X210 Y310 T3 C90\n"
         "stroke at X230 Y310 T3 C90\n"},
        {"a repeat: copies a pitch apart from one pitch after the offset",
         "PAT03/\nDX10DY10\nEND03\nT3\nOFS/X520Y300\nMGR/03 L 20 2\nOFS/X0Y0\n",
         "copy 1 of PAT03 at X500 Y300\nstroke at X510 Y310 T3 C0\ncopy 2 of PAT03 at X480 Y300\n"
         "stroke at X490 Y310 T3 C0\n"},
        {"a diagonal repeat", "PAT01/\nDX1\nEND01\nT3\nOFS/X100Y550\nMGR/01 R 100 2 U 50 2\n",
         "copy 1 of PAT01 at X200 Y600\nstroke at X201 Y600 T3 C0\ncopy 2 of PAT01 at X300 Y650\n"
         "stroke at X301 Y650 T3 C0\n"},
        {"a laser cut: start, line, arcs, end",
         "LAL/X100Y100F2500\nX300F2500\nLCI/L 320 120 20F2500\nLCI/R 340 140 -20F2000\nLED/DX0DY0\nM23\n",
         "laser start at X100 Y100 (no M7x no technology word S0 F2500 head no head word LAL/)\nlaser line to X300 Y100 F2500\n"
         "laser arc to X320 Y120 radius 20 sweep 90 F2500\nlaser arc to X340 Y140 radius 20 sweep -270 F2000\n"
         "end of the cut (LED/DX0DY0)\nlaser head up (M23)\n"},
        {"laser words in force at the start", "M121\nM72\nM27S450\nX500Y100F2500\nCIR/500 140 -360F2500\nLED/DX0DY0\n",
         "laser start at X500 Y100 (M72 M27 S450 F2500 head M121)\nlaser circle about X500 Y140 clockwise F2500\n"
         "end of the cut (LED/DX0DY0)\n"},
        {"a re-grip by command keeps the control's X", "X1100Y300T1\nREP/DX1000\nY500M03\n",
         "stroke at X1100 Y300 T1 C0\nre-grip at X1100 Y300 by REP/DX1000\npositioning to X1100 Y500\n"},
        {"a re-grip by the explicit sequence moves it back", "X500Y400T6\nM41\nDY50\nDX-600\nDY-50\nM42\nX100\n",
         "stroke at X500 Y400 T6 C0\nre-grip at X500 Y400 by M41 ... M42, the clamps back by X600, off the sheet by Y50, "
         "returning Y0\nstroke at X100 Y400 T6 C0\n"},
        {"the frame block sets the control's X", "X3200Y600T1M05\nFRM/X1500\nY625M40\n",
         "park (M05) to X3200 Y600\nFRM/X1500\nunload (M40) to X1500 Y625\n"},
        {"sheet events", "X100Y100T1\nM00\nM55\nX150Y125M56\n(FLIP)\nM00\nDWL/X 1.5\nM82\n",
         "stroke at X100 Y100 T1 C0\nstop (M00)\ntrap door at X150 Y125\ncomment\nstop (M00)\n"
         "dwell of 1.5\nfeed range M82\n"},
        {"the material block", "MAT/B3 H2 X2500 Y1250\n", "material block B3 H2 X2500 Y1250\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(work_of(c.body), c.work);
    }
}

TEST(NcControl, TheToolStateGoesWithEveryStroke) {
    const std::vector<nc::Event> events =
        program_events(program("M08\nX1Y1T1\nM09\nM613\nX2Y2T3C90\nX3Y3C45\nX4Y4T5\n"));
    std::vector<nc::Tool> tools;
    for (const nc::Event &e : events) {
        if (e.kind == nc::EventKind::stroke) tools.push_back(e.tool);
    }
    ASSERT_EQ(tools.size(), 4u);
    EXPECT_TRUE(tools[0].forming);
    EXPECT_FALSE(tools[1].forming);
    EXPECT_EQ(tools[1].m61x, 2);
    EXPECT_EQ(tools[1].angle, 90.0);
    EXPECT_EQ(tools[2].angle, 45.0);
    EXPECT_EQ(tools[3].station, 5);
    EXPECT_EQ(tools[3].angle, 0.0) << "a station is taken at 0 degrees";
}

TEST(NcControl, AnInchProgramIsReadInMillimetres) {
    nc::Setup setup;
    setup.inch = true;
    setup.load_x = 25.4;
    EXPECT_EQ(work_of("Y1T2\nLAA/1 0 1\nT4\nMOV/X20Y10\nNBL/\nRAD/I 1.197 0.394 0 360 0.2 \n", setup),
              "stroke at X25.4 Y25.4 T2 C0\nstroke at X50.8 Y25.4 T2 C0\nMOV/ to X508 Y254\n"
              "nibbled circle about X508 Y254 radius 25.404 from X533.404 Y254 sweep 360 step 5.08 T4 C0\n");
}

// A pattern the control holds already: the call places its events at the
// offset, with the station in use.
TEST(NcControl, APatternTheControlHoldsRunsWithTheStationInUse) {
    nc::Setup setup;
    nc::Event hit;
    hit.kind = nc::EventKind::stroke;
    hit.x = 10;
    hit.y = 5;
    hit.tool.angle = 90;
    hit.checks = nc::CHECK_ANGLE;
    setup.stored_patterns[3].events = {hit};
    setup.stored_patterns[3].end_x = 10;
    setup.stored_patterns[3].end_y = 5;
    EXPECT_EQ(work_of("X1Y1T3\nOFS/X200Y300\nPAT03\nOFS/X0Y0\nX210Y305C90M03\n", setup),
              "stroke at X1 Y1 T3 C0\ncopy 1 of PAT03 at X200 Y300\nstroke at X210 Y305 T3 C90\n"
              "positioning to X210 Y305\n");
}

TEST(NcControl, BlocksOutOfPlaceAreRefusedAtTheirLine) {
    const struct {
        const char *body;
        const char *says;  // the start of the message, with its line
    } cases[] = {
        {"X1Y1\n", "line 2: a stroke before any station was selected"},
        {"T1\nNBL/\nX1Y1\n", "line 3: NBL/ is not followed by its nibbling command"},
        {"T1\nCAA/Z 10 10 0 1\n", "line 3: CAA/Z nibbles after NBL/"},
        {"T1\nNBL/\nRAD/I 5 10 0 360 1 \n", "line 4: RAD/I names the radius plus 5 mm"},
        {"LED/DX0DY0\n", "line 2: LED/DX0DY0 while no cut runs"},
        {"LAL/X1Y1F1\nLAR/X2Y2F1\n", "line 3: LAL/ or LAR/ inside a running cut"},
        {"T1\nX1Y1F100\nX2Y2\n", "line 4: a stroke while the laser cuts"},
        {"X1Y1F100\nX2Y2M03\n", "line 3: a positioning while the laser cuts"},
        {"X1Y1F100\n", "line 3: the program ends while the laser cuts"},
        {"CIR/1 1 360F1\n", "line 2: CIR/ cuts while the beam is on"},
        {"X0Y0F1\nLCI/L 100 0 10F1\n", "line 3: LCI/ cannot reach its end"},
        {"T1\nX1Y1M56\n", "line 3: M56 opens the trap door after M55"},
        {"M55\nM00\n", "line 2: M55 is not followed by the trap door's block"},
        {"M41\nX1Y1T1\n", "line 3: only the clamps' travel stands between M41 and M42"},
        {"M42\n", "line 2: M42 closes the clamps after M41"},
        {"PAT03\n", "line 2: PAT03 calls a pattern that the program does not define"},
        {"END03\n", "line 2: END03 ends no definition"},
        {"PAT03/\nPAT04/\n", "line 3: patterns do not nest"},
        {"PAT03/\nEND04\n", "line 3: this END does not close PAT03/"},
        {"PAT03/\nEND03\nPAT03/\nEND03\n", "line 4: PAT03 is defined twice"},
        {"PAT03/\nX1\n", "line 4: the program ends inside the definition of PAT03/"},
        {"PAT03/\nOFS/X1Y1\nEND03\n", "line 3: OFS/ inside the definition"},
        {"T1\nLAA/5 0 -1\n", "line 3: LAA/ names how many hits follow"},
        {"T1\nARC/5 0 10 0 \n", "line 3: ARC/ punches at least one hole"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.body);
        try {
            program_events(program(c.body));
            ADD_FAILURE() << "taken";
        } catch (const nc::ProgramError &e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.says, 0), 0u) << e.what();
        }
    }
}

// A row of a million hits is made one stroke at a time, without holding
// them.
TEST(NcControl, ALongRowIsExpandedOnDemand) {
    const std::string text = program("X0Y0T1\nLAA/1 0 999999\n");
    nc::TextSource source(text);
    const nc::Setup setup;
    nc::BlockReader reader(source, setup.known);
    nc::Control control(reader, setup);
    nc::Generator<nc::Event> events = control.events();
    nc::Event e, last;
    long long strokes = 0;
    while (events.next(e)) {
        if (e.kind == nc::EventKind::stroke) {
            ++strokes;
            last = e;
        }
    }
    EXPECT_EQ(strokes, 1000000);
    EXPECT_DOUBLE_EQ(last.x, 999999.0);
}

}  // namespace
