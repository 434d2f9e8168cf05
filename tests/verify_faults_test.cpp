// Programs that put work in the wrong place and still look whole are caught
// by reading them back: a laser cut inside a pattern's offset, a cut before
// the laser parameters, a row written with a rounded pitch, values below the
// control's resolution, a LASER.PAR line that ends the program.  Each program
// is as a faulty post writes it.
#include <gtest/gtest.h>

#include "job/job_reader.h"
#include "nc/program_error.h"
#include "tests/support/host_fixture.h"
#include "tests/support/readback.h"

namespace {

constexpr const char *LASER_JOB_HEAD = R"({"machine": {"write_program_number": false, "rewind": false,
 "machine_dir": "machine", "pattern_style": %d},
 "sheet": {"material": "ST37", "thickness": 2, "nest_name": "F"},
 "turret": [{"tool": 1, "station": 1}, {"tool": 90, "station": 20, "laser": true}],
 "laser_technologies": [{"number": 1, "feedrate": 25, "mode": 1, "m7x": 2, "s_value": 450}],)";

std::string laser_job(int style, const std::string &rest) {
    char head[1024];
    std::snprintf(head, sizeof head, LASER_JOB_HEAD, style);
    return head + rest + "}";
}

TEST(VerifyFaults, FaultyProgramsAreCaughtAtTheirLine) {
    const struct {
        const char *what;
        std::string job;
        const char *program;  // lines, "\n" for the control's CR LF
        const char *says;     // the first message, or the error, begins so
    } cases[] = {
        {"a laser cut after a call, inside the call's offset",
         laser_job(7, R"("patterns": [{"number": 2, "body": [{"hit": {"x": 0, "y": 0, "tool": 1}}]}],
           "work": [{"pattern_call": {"pattern": 2, "x": 100, "y": 100}},
                    {"laser_contour": {"technology": 1, "elements": [{"line": {"from": [500, 500], "to": [600, 500]}}]}}])"),
         "% \n(F)\n(SHEET - 2 X 2500 Y 1250)\n()\nX0Y0T1M03\nOFS/X100Y100\nPAT02\nLPAR/P1500F2000\nLGAS/O2 P0.6\n"
         "M121\nM72\nM27S450\nX500Y500F2500\nX600F2500\nM21\nLED/DX0DY0\nM23\nOFS/X0Y0\nX0Y0M03\n%",
         "line 13: laser start at X600 Y600"},
        {"the main cut before the parameters, which stand in a pattern only",
         laser_job(0, R"("patterns": [{"number": 1, "body": [{"laser_contour": {"technology": 1,
             "elements": [{"line": {"from": [0, 0], "to": [10, 0]}}]}}]}],
           "work": [{"laser_contour": {"technology": 1, "elements": [{"line": {"from": [500, 500], "to": [600, 500]}}]}},
                    {"pattern_call": {"pattern": 1, "x": 100, "y": 100}}])"),
         "% \n(F)\n(SHEET - 2 X 2500 Y 1250)\n()\nPAT01/\nLPAR/P1500F2000\nLGAS/O2 P0.6\nM121\nM72\nM27S450\n"
         "DX0DY0F2500\nDX10F2500\nM21\nLED/DX0DY0\nM23\nEND01\nM121\nM72\nM27S450\nX500Y500F2500\nX600F2500\nM21\n"
         "LED/DX0DY0\nM23\nX100Y100M03\nPAT01\nX0Y0M03\n%",
         "line 20: the laser starts before the laser parameters"},
        {"a LASER.PAR line of \"%\" ends the program before the cut",
         laser_job(0, R"("work": [{"laser_contour": {"technology": 1, "elements": [{"line": {"from": [5, 5], "to": [9, 5]}}]}}])"),
         "% \n(F)\n(SHEET - 2 X 2500 Y 1250)\n()\nLPAR/P1500F2000\n%\nLGAS/O2 P0.6\nM121\n%",
         "line 7: text after the program's end"},
        {"a row written with its pitch rounded",
         R"({"machine": {"write_program_number": false, "rewind": false}, "turret": [{"tool": 1, "station": 1}],
           "work": [{"row": {"from": [500, 500], "pitch": [-12.345, 0], "hits": 40, "tool": 1}},
                    {"hit": {"x": 18.545, "y": 600, "tool": 1}}]})",
         "% \n()\n(SHEET - 1 X 2500 Y 1250)\n()\nX500Y500T1\nLAA/12.35 180 39\nY600\nX0Y0M03\n%",
         "line 6: stroke at X475.3 Y500 T1; the job's work[0] (row) hit 3: stroke at X475.31 Y500 T1"},
        {"a row of an inch machine written with its pitch rounded",
         R"({"machine": {"write_program_number": false, "rewind": false, "units": "inch"},
           "turret": [{"tool": 1, "station": 1}],
           "work": [{"row": {"from": [0, 0], "pitch": [10, 0], "hits": 100, "tool": 1}}]})",
         "% \n()\n(SHEET - 0.039 X 98.425 Y 49.213)\n()\nX0Y0T1\nLAA/0.394 0 99\nX0Y0M03\n%",
         "line 6: stroke at X"},
        // (The job reader refuses such a step now; a program written by
        // hand can still hold one.)
        {"a nibbling step written as 0",
         R"({"machine": {"write_program_number": false, "rewind": false}, "turret": [{"tool": 1, "station": 1}],
           "work": [{"nibble_line": {"from": [0, 0], "to": [100, 0], "step": 1, "tool": 1}}]})",
         "% \n()\n(SHEET - 1 X 2500 Y 1250)\n()\nT1\nNBL/\nCAA/Z 100 10 0 0\nX0Y0M03\n%",
         "line 7: CAA/Z needs a step above 0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const job::Job job = job::parse_job(c.job, source_path("tests/golden/laser_closed_contour"));
        const std::string program = crlf(c.program);
        try {
            const verify::ComparisonResult r = check_program(job, program);
            ASSERT_GT(r.differences, 0);
            EXPECT_EQ(r.messages.front().rfind(c.says, 0), 0u) << r.messages.front();
        } catch (const nc::ProgramError &e) {
            EXPECT_EQ(std::string(e.what()).rfind(c.says, 0), 0u) << e.what();
        }
    }
}

// The program's rounding is allowed, and not a hair more: half a unit of the
// last digit written and the allowance of 0.001 mm.
TEST(VerifyFaults, TheToleranceFollowsTheProgramsRounding) {
    const struct {
        bool inch;
        double job_x;
        const char *word;
        bool agrees;
    } cases[] = {
        {false, 100.004, "X100", true},   {false, 100.0, "X100.01", false}, {false, 100.0, "X99.99", false},
        {false, 100.0059, "X100", true},  {false, 100.0061, "X100", false}, {true, 25.41, "X1", true},
        {true, 25.4, "X1.001", false},    {true, 25.4127, "X1", true},      {true, 25.4141, "X1", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.word) + " for " + std::to_string(c.job_x) + (c.inch ? " mm, inch" : " mm"));
        const std::string job_text = std::string(R"({"machine": {"write_program_number": false, "rewind": false, "units": ")") +
                                     (c.inch ? "inch" : "mm") + R"("}, "turret": [{"tool": 1, "station": 1}],
            "work": [{"hit": {"x": )" + std::to_string(c.job_x) + R"(, "y": 0, "tool": 1}}]})";
        const job::Job job = job::parse_job(job_text, "");
        const std::string program =
            crlf(std::string("% \n()\n(SHEET - ") + (c.inch ? "0.039 X 98.425 Y 49.213" : "1 X 2500 Y 1250") + ")\n()\n" +
                 c.word + "Y0T1\nX0Y0M03\n%");
        EXPECT_EQ(check_program(job, program).differences == 0, c.agrees);
    }
}

}  // namespace
