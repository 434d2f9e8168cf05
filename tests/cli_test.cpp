// cli_test.cpp - pelk-post as a user runs it: refused jobs write nothing,
// failed runs leave existing files alone, and the outputs land where asked.
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "tests/support/cli_fixture.h"

namespace fs = std::filesystem;

namespace {

TEST_F(PelkPost, RefusedJobsWriteNothing) {
    expect_refused(pelk_post(quote(job("{\n \"sheet\": {\"thickness\": 2,}\n}"))), "job.json: line 2, column 27");
    EXPECT_EQ(others(), "");
    expect_refused(pelk_post(quote(job(R"({"sheet": {"thickness": "2"}})"))), "/sheet/thickness: expected a number");
    expect_refused(pelk_post(quote(job(R"({"work": [{"punch": {"x": 1}}]})"))), "/work/0/punch: unknown operation");
    expect_refused(pelk_post(quote(job(R"({"work": [{"move": {"x": 1e999, "y": 0}}]})"))), "the number 1e999 is too large");
    expect_refused(pelk_post(quote(job(R"({"sheet": {"material": ")" + std::string(64, 'M') + "\"}}"))),
                   "/sheet/material: text of 64 characters");
    expect_refused(pelk_post(quote((dir / "missing.json").string())), "missing.json: cannot open the job file");
    EXPECT_EQ(others(), "");
}

TEST_F(PelkPost, WritesTheProgramBesideTheJob) {
    Result r = pelk_post(quote(job(GOOD_JOB)));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    std::string nc = read_file(dir / "job.nc");
    EXPECT_EQ(nc.rfind("% \r\nO0001\r\n(N)\r\n", 0), 0u) << nc;
    EXPECT_NE(nc.find("X10Y20T4\r\n"), std::string::npos) << nc;
    EXPECT_EQ(nc.back(), '%');
    EXPECT_EQ(others(), "job.nc ");  // no temporary left behind

    // -o - gives the same program on standard output.
    Result to_stdout = pelk_post("-o - " + quote((dir / "job.json").string()));
    ASSERT_EQ(to_stdout.status, 0) << to_stdout.err;
    EXPECT_EQ(to_stdout.out, nc);
    // /dev/stdout while standard output is a regular file: written into that
    // file, never renamed over it.
    write_file(dir / "log.txt", "before\n");
    std::string command = pelk_post_command() + " -o /dev/stdout " +
                          quote((dir / "job.json").string()) + " >>" + quote((dir / "log.txt").string());
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(read_file(dir / "log.txt"), "before\n" + nc);
    fs::remove(dir / "log.txt");

    // A second run replaces the program, with its permissions kept.
    fs::permissions(dir / "job.nc", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    write_file(dir / "job.nc", "old");
    ASSERT_EQ(pelk_post(quote((dir / "job.json").string())).status, 0);
    EXPECT_EQ(read_file(dir / "job.nc"), nc);
    EXPECT_EQ(fs::status(dir / "job.nc").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(PelkPost, FailedRunsLeaveAnExistingOutputUntouched) {
    write_file(dir / "job.nc", "old program");
    Result bad_job = pelk_post(quote(job(R"({"machine": {"units": "cm"}})")));
    EXPECT_EQ(bad_job.status, 1);
    Result no_module = pelk_post("--module " + quote((dir / "nothing.so").string()) + " " + quote(job(GOOD_JOB)));
    EXPECT_EQ(no_module.status, 1);
    EXPECT_EQ(no_module.err.rfind("pelk-post: error: ", 0), 0u) << no_module.err;
    EXPECT_NE(no_module.err.find("nothing.so"), std::string::npos) << no_module.err;
    EXPECT_EQ(read_file(dir / "job.nc"), "old program");
    EXPECT_EQ(others(), "job.nc ");
}

TEST_F(PelkPost, OutputThatCannotBeWritten) {
    std::string good = quote(job(GOOD_JOB));
    Result no_dir = pelk_post("-o " + quote((dir / "no" / "such" / "x.nc").string()) + " " + good);
    EXPECT_EQ(no_dir.status, 1);
    EXPECT_NE(no_dir.err.find("pelk-post: error: cannot write"), std::string::npos) << no_dir.err;
    EXPECT_NE(no_dir.err.find("No such file or directory"), std::string::npos) << no_dir.err;

    if (fs::exists("/dev/full")) {
        Result full = pelk_post("-o /dev/full " + good);
        EXPECT_EQ(full.status, 1);
        EXPECT_NE(full.err.find("No space left on device"), std::string::npos) << full.err;
        EXPECT_TRUE(fs::is_character_file("/dev/full"));  // written to, never replaced

        // Standard output that cannot take the program is a failure too.
        const fs::path err = dir / "stderr.txt";
        const std::string command = pelk_post_command() + " -o - " + good +
                                    " >/dev/full 2>" + quote(err.string());
        const int raw = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1);
        EXPECT_NE(read_file(err).find("cannot write standard output: No space left on device"), std::string::npos)
            << read_file(err);
        fs::remove(err);
    }

    // The default output of a job named *.nc would be the job itself: the
    // command line must name another.
    Result onto_itself = pelk_post(quote(job(GOOD_JOB, "same.nc")));
    EXPECT_EQ(onto_itself.status, 2);
    EXPECT_EQ(read_file(dir / "same.nc"), GOOD_JOB);
    EXPECT_EQ(others(), "same.nc ");
}

// A pattern number above the control's limit: the user is warned and the
// program written, unless warnings are to stop the program; then nothing is.
TEST_F(PelkPost, WarningOfAPatternAboveTheLimitAnsweredBothWays) {
    const std::string text = read_file(fs::path(PELK_SOURCE_DIR) / "tests/golden/patterns_above_limit/job.json");
    ASSERT_FALSE(text.empty());
    const std::string path = quote(job(text));
    Result go_on = pelk_post(path);
    EXPECT_EQ(go_on.status, 3) << go_on.err;  // written, with warnings
    EXPECT_EQ(go_on.err, "pelk-post: warning: pattern number above the limit of 99 ^ the control may not accept this pattern\n");
    EXPECT_NE(read_file(dir / "job.nc").find("PAT100/\r\nDX5DY5\r\nEND100\r\n"), std::string::npos);

    fs::remove(dir / "job.nc");
    Result stop = pelk_post("--stop-on-warnings " + path);
    EXPECT_EQ(stop.status, 1);
    EXPECT_NE(stop.err.find("pattern number above the limit of 99"), std::string::npos) << stop.err;
    EXPECT_EQ(others(), "");
}

TEST_F(PelkPost, CommandLine) {
    Result help = pelk_post("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("pelk-post examples/punching.json"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--machine-dir"), std::string::npos);

    Result no_job = pelk_post("");
    EXPECT_EQ(no_job.status, 2);
    EXPECT_EQ(no_job.err.rfind("pelk-post: error: ", 0), 0u) << no_job.err;

    Result trace = pelk_post("--trace " + quote((dir / "trace.txt").string()) + " -o - " + quote(job(GOOD_JOB)));
    EXPECT_EQ(trace.status, 0) << trace.err;
    EXPECT_NE(read_file(dir / "trace.txt").find("pp_main"), std::string::npos);
}

// ---- Rows, nibbling, bolt-hole circles ----------------------------------------

// Every way these steps can be inconsistent is refused with its place and
// reason, and nothing is written.
TEST_F(PelkPost, InconsistentRowsNibblingAndBoltHoleCirclesWriteNothing) {
    struct Case {
        const char *step;
        const char *message;
    } cases[] = {
        {R"({"row": {"from": [0, 0], "to": [10, 0], "hits": 0, "tool": 1}})",
         "/work/0/row/hits: at least 1 hit is needed, found 0"},
        {R"({"bolt_hole_circle": {"centre": [0, 0], "radius": 5, "step_angle": 30, "holes": -1, "tool": 1}})",
         "/work/0/bolt_hole_circle/holes: at least 1 hole is needed, found -1"},
        {R"({"nibble_line": {"from": [0, 0], "to": [10, 0], "step": 0, "tool": 1}})",
         "/work/0/nibble_line/step: the step must be greater than 0"},
        {R"({"nibble_circle": {"centre": [0, 0], "radius": 5, "step": -2, "tool": 1}})",
         "/work/0/nibble_circle/step: the step must be greater than 0"},
        {R"({"nibble_arc": {"centre": [0, 0], "radius": 5, "start_angle": 0, "end_angle": 90, "step": 0, "tool": 1}})",
         "/work/0/nibble_arc/step: the step must be greater than 0"},
        {R"({"nibble_circle": {"centre": [0, 0], "radius": 0, "step": 2, "tool": 1}})",
         "/work/0/nibble_circle/radius: the radius must be greater than 0"},
        {R"({"bolt_hole_circle": {"centre": [0, 0], "radius": 0, "step_angle": 30, "holes": 3, "tool": 1}})",
         "/work/0/bolt_hole_circle/radius: the radius must be greater than 0"},
        {R"({"nibble_arc": {"centre": [0, 0], "radius": 10, "from": [12, 0], "end_angle": 90, "step": 2, "tool": 1}})",
         "/work/0/nibble_arc/from: the point is not on the arc's circle: it lies 12 from the centre, the radius is 10"},
        {R"({"nibble_arc": {"centre": [0, 0], "radius": 10, "start_angle": 0, "to": [0, 10.002], "step": 2, "tool": 1}})",
         "/work/0/nibble_arc/to: the point is not on the arc's circle"},
        {R"({"row": {"from": [0, 0], "pitch": [5, 0], "hits": 3, "tool": 12}})",
         "/work/0/row/tool: tool 12 is not in the turret"},
        {R"({"nibble_line": {"from": [0, 0], "to": [10, 0], "step": 1, "tool": 90}})",
         "/work/0/nibble_line/tool: tool 90 is the laser head, not a punch"},
        {R"({"bolt_hole_circle": {"centre": [0, 0], "radius": 5, "step_angle": 0, "holes": 3, "tool": 1}})",
         "/work/0/bolt_hole_circle/step_angle: the holes would all stand on one spot"},
        {R"({"bolt_hole_circle": {"centre": [0, 0], "radius": 5, "step_angle": -60, "holes": 7, "tool": 1}})",
         "/work/0/bolt_hole_circle/step_angle: the holes would go round more than once"},
        {R"({"row": {"from": [0, 0], "pitch": [0, 0], "hits": 3, "tool": 1}})",
         "/work/0/row/pitch: the hits of a row would all stand on one spot"},
        {R"({"row": {"from": [1, 2], "to": [1, 2], "hits": 2, "tool": 1}})",
         "/work/0/row/to: the hits of a row would all stand on one spot"},
        {R"({"row": {"from": [1, 2], "to": [5, 2], "hits": 1, "tool": 1}})",
         "/work/0/row/to: a row of 1 hit ends where it starts"},
        {R"({"row": {"from": [0, 0], "to": [10, 0], "pitch": [5, 0], "hits": 3, "tool": 1}})",
         "/work/0/row: give either \"to\" or \"pitch\", not both"},
        {R"({"nibble_arc": {"centre": [0, 0], "radius": 10, "to": [0, 10], "step": 2, "tool": 1}})",
         "/work/0/nibble_arc: give either \"from\" or \"start_angle\""},
        {R"({"nibble_line": {"from": [3, 4], "to": [3, 4], "step": 1, "tool": 1}})",
         "/work/0/nibble_line/to: a nibbled line needs a length"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.step);
        const std::string text = std::string(R"({"turret": [{"tool": 1, "station": 1}, {"tool": 90, "station": 20, "laser": true}],
            "work": [)") + c.step + "]}";
        expect_refused(pelk_post(quote(job(text))), c.message);
        EXPECT_EQ(others(), "");
    }
}

// The check asked for after an indexed circle or arc is a warning: with
// --stop-on-warnings the program stops there and is not written.
TEST_F(PelkPost, IndexedNibblingStopsTheProgramOnlyWhenWarningsStopIt) {
    const std::string sample = quote(std::string(PELK_SOURCE_DIR) + "/examples/warnings/indexed_nibbling.json");
    const std::string out = quote((dir / "nibbling.nc").string());
    Result stopped = pelk_post("--stop-on-warnings -o " + out + " " + sample);
    EXPECT_EQ(stopped.status, 1);
    EXPECT_NE(stopped.err.find("check the nibbled circle or arc: the tool was indexed"), std::string::npos);
    EXPECT_EQ(others(), "");
    EXPECT_EQ(pelk_post("-o " + out + " " + sample).status, 3);  // written, with a warning
    EXPECT_EQ(others(), "nibbling.nc ");
}

// --machine names the machine file for the job: read before it, in place of
// the one the job names; the trace shows it first, and the keys both give.
TEST_F(PelkPost, MachineFileFromTheCommandLine) {
    write_file(dir / "shop.json", R"({"machine": {"program_number": 7, "rewind": false},
                                      "turret": [{"tool": 4, "station": 2}]})");
    const std::string shop = quote((dir / "shop.json").string());
    const std::string bare = job(R"({"machine": {"program_number": 8}, "machine_file": "missing.json",
                                    "work": [{"hit": {"x": 10, "y": 20, "tool": 4}}]})", "bare.json");
    Result r = pelk_post("--machine " + shop + " --trace - -o - " + quote(bare));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("O0008\r\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("X10Y20T2\r\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.err.rfind("machine file " + (dir / "shop.json").string() + "\n" +
                          "machine file: /machine_file \"missing.json\": not read, the command line names the machine file\n" +
                          "machine file: /machine/program_number: given by the job as well; the job's value is used\n", 0),
              0u) << r.err;

    // A fault in it names the machine file, not the job; nothing is written.
    write_file(dir / "shop.json", R"({"turret": [{"tool": 4, "station": 0}]})");
    expect_refused(pelk_post("--machine " + shop + " " + quote(bare)),
                   (dir / "shop.json").string() + ": /turret/0/station: ");
    expect_refused(pelk_post("--machine " + quote((dir / "none.json").string()) + " " + quote(bare)),
                   "cannot open the machine file " + (dir / "none.json").string());
    EXPECT_EQ(others(), "");
}

}  // namespace
