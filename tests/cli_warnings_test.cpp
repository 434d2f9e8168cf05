// cli_warnings_test.cpp - what pelk-post does with the module's warnings:
// shown once, counted, told by the exit status, fatal with --strict.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/cli_fixture.h"

namespace fs = std::filesystem;

namespace {

constexpr int WRITTEN = 0, NOT_WRITTEN = 1, BAD_COMMAND_LINE = 2, WITH_WARNINGS = 3;

const char *const CANNOT_OPEN = "cannot open the laser parameter file: ";
const char *const NO_SECTION = "no section of the laser parameter file matches the sheet's material and thickness: ";

// The bytes of a literal, zero bytes included.
template <std::size_t N>
std::string bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

class Warnings : public PelkPost {
protected:
    // The laser job beside a machine folder, LASER.PAR not made yet.
    std::string laser_job() {
        fs::create_directories(dir / "machine");
        return quote(job(LASER_JOB));
    }
    fs::path laser_par() const { return dir / "machine" / "LASER.PAR"; }
};

TEST_F(Warnings, ShownOnceCountedAndToldByTheExitStatus) {
    const std::string job_path = laser_job();
    Result r = pelk_post(job_path);
    EXPECT_EQ(r.status, WITH_WARNINGS) << r.err;
    // Three contours, one missing file: looked for once in the program.
    const std::string shown = std::string("pelk-post: warning: ") + CANNOT_OPEN + laser_par().string();
    EXPECT_EQ(r.err, shown + "\n");
    // Written all the same, without laser parameters.
    const std::string nc = read_file(dir / "job.nc");
    EXPECT_NE(nc.find("X10Y90"), std::string::npos) << nc;
    EXPECT_EQ(nc.back(), '%');

    // One text more than once: shown once while running, counted at the end.
    // (The host tells of each piece that holds a zero byte, the module of
    // each line it skips for it.)
    write_file(laser_par(), bytes("@ST37,2\nLPAR/P1\0\nLPAR/P2\0\n"));
    Result counted = pelk_post("-o - " + job_path);
    EXPECT_EQ(counted.status, WITH_WARNINGS);
    const std::string zero = "pelk-post: warning: " + laser_par().string() +
                             " holds zero bytes: not a text file (binary, or UTF-16?)";
    const std::string skipped = "pelk-post: warning: Line of the laser parameter file holds a zero byte, skipped: " +
                                laser_par().string() + ", line ";
    EXPECT_EQ(counted.err, zero + "\n" + skipped + "2\n" + skipped + "3\n" + zero + " (2 times in all)\n");
    fs::remove(laser_par());

    Result quiet = pelk_post("--quiet -o - " + job_path);
    EXPECT_EQ(quiet.status, WITH_WARNINGS);
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(quiet.out, nc);
}

TEST_F(Warnings, StrictMakesAnyWarningFatalAndWritesNothing) {
    const std::string job_path = laser_job();
    write_file(dir / "kept.nc", "old program");
    for (const char *option : {"--strict", "--stop-on-warnings"}) {
        SCOPED_TRACE(option);
        Result r = pelk_post(std::string(option) + " " + job_path);
        EXPECT_EQ(r.status, NOT_WRITTEN);
        EXPECT_EQ(r.err, std::string("pelk-post: error: ") + CANNOT_OPEN + laser_par().string() + "\n" +
                             "pelk-post: error: a warning with --strict: " + (dir / "job.nc").string() +
                             " was not written\n");
        Result to_stdout = pelk_post(std::string(option) + " -o - " + job_path);
        EXPECT_EQ(to_stdout.status, NOT_WRITTEN);
        EXPECT_EQ(to_stdout.out, "");
        Result kept = pelk_post(std::string(option) + " -o " + quote((dir / "kept.nc").string()) + " " + job_path);
        EXPECT_EQ(kept.status, NOT_WRITTEN);
    }
    EXPECT_EQ(read_file(dir / "kept.nc"), "old program");
    EXPECT_EQ(others(), "kept.nc ");

    // A job without warnings is written as ever.
    Result clean = pelk_post("--strict " + quote(job(GOOD_JOB, "good.json")));
    EXPECT_EQ(clean.status, WRITTEN) << clean.err;
    EXPECT_TRUE(fs::exists(dir / "good.nc"));
}

TEST_F(Warnings, EveryKindOfUnusableLaserParameterFileIsShown) {
    struct Case {
        const char *name;
        void (*make)(const fs::path &);
        std::vector<std::string> shown;  // each a part of a warning line
    };
    const std::vector<Case> cases = {
        {"missing", [](const fs::path &) {}, {CANNOT_OPEN}},
        {"empty", [](const fs::path &p) { write_file(p, ""); }, {NO_SECTION}},
        {"binary", [](const fs::path &p) { write_file(p, bytes("\x7f" "ELF\0\0\x01@\0,\0")); },
         {"holds zero bytes: not a text file", NO_SECTION}},
        {"UTF-16", [](const fs::path &p) { write_file(p, bytes("\xff\xfe@\0S\0T\0,\0" "2\0\n\0")); },
         {"holds zero bytes: not a text file", NO_SECTION}},
        {"a directory", [](const fs::path &p) { fs::create_directories(p); },
         {"LASER.PAR: Is a directory", NO_SECTION}},
        {"no section of the sheet", [](const fs::path &p) { write_file(p, "@AL,2\nLPAR/P1\n"); }, {NO_SECTION}},
    };
    const std::string job_path = laser_job();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(laser_par());
        c.make(laser_par());
        Result r = pelk_post("-o - " + job_path);
        EXPECT_EQ(r.status, WITH_WARNINGS) << r.err;
        for (const std::string &part : c.shown) EXPECT_NE(r.err.find(part), std::string::npos) << r.err;
        EXPECT_EQ(r.out.find("LPAR"), std::string::npos);
        EXPECT_EQ(pelk_post("--strict -o - " + job_path).status, NOT_WRITTEN);
    }
    // A file that cannot be read for its permissions (not so for root).
    if (::geteuid() != 0) {
        fs::remove_all(laser_par());
        write_file(laser_par(), "@ST37,2\nLPAR/P1\n");
        ::chmod(laser_par().c_str(), 0);
        Result r = pelk_post("-o - " + job_path);
        EXPECT_EQ(r.status, WITH_WARNINGS);
        EXPECT_NE(r.err.find(CANNOT_OPEN), std::string::npos) << r.err;
    }
    // And one that fits: no warning.
    fs::remove_all(laser_par());
    write_file(laser_par(), "@ST37,2\nLPAR/P1\n");
    Result fits = pelk_post("-o - " + job_path);
    EXPECT_EQ(fits.status, WRITTEN) << fits.err;
    EXPECT_EQ(fits.err, "");
    EXPECT_NE(fits.out.find("LPAR/P1\r\n"), std::string::npos);
}

TEST_F(Warnings, CheckRunsTheJobAndWritesNothing) {
    const std::string laser = laser_job();
    const std::string good = quote(job(GOOD_JOB, "good.json"));
    struct Case {
        std::string args;
        int status;
    };
    const std::vector<Case> cases = {
        {"--check " + good, WRITTEN},
        {"--check " + laser, WITH_WARNINGS},
        {"--check --strict " + laser, NOT_WRITTEN},
        {"--check " + quote(job("{\"work\": 1}", "bad.json")), NOT_WRITTEN},
        {"--check -o x.nc " + good, BAD_COMMAND_LINE},
    };
    for (const Case &c : cases) {
        Result r = pelk_post(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
    EXPECT_EQ(others(), "");
}


// A command whose values as written would put a stroke off its place is
// split, and the trace says where; nibbling, which cannot be split, warns.
TEST_F(Warnings, SplitCommandsAreTracedAndNibblingDriftWarns) {
    const std::string golden = std::string(PELK_SOURCE_DIR) + "/tests/golden/";
    const Result split = pelk_post("--check --trace - " + quote(golden + "punch_rounded_pitches/job.json"));
    EXPECT_EQ(split.status, 0) << split.err;
    for (const char *line : {"/work/0: one row command would put its last hit",
                             "/work/2: one row command would put its last hit",
                             "/work/5: one bolt-hole command would put a hole more than 0.006 mm off: split",
                             "/work/7: one repeat line would put a copy more than 0.006 mm off: split"}) {
        EXPECT_NE(split.err.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(split.err.find("/work/4:"), std::string::npos) << "a row of an exact pitch is one command";

    const Result drift = pelk_post("--check --strict " + quote(golden + "punch_nibbling_drift/job.json"));
    EXPECT_EQ(drift.status, 1);
    EXPECT_NE(drift.err.find("error: /work/0: the nibbled line ends 0.041 mm from the job's end"), std::string::npos)
        << drift.err;
}

// Strokes into a clamp's zone and work off the sheet, found on the program
// read back (rows, patterns and re-grips expanded): a warning naming the
// job's step, the clamp and how far in; fatal with --strict; drawn in red.
TEST_F(Warnings, StrokesIntoAClampOrOffTheSheetAreWarnedOf) {
    const std::string job_path = job(R"j({"machine": {"rewind": false, "clamps": [350, 1150]},
        "sheet": {"size": [2000, 500]},
        "turret": [{"tool": 1, "station": 1, "shape": "round", "size": 20}],
        "patterns": [{"number": 1, "body": [{"hit": {"x": 0, "y": 0, "tool": 1}}]}],
        "work": [{"hit": {"x": 350, "y": 5, "tool": 1}},
                 {"hit": {"x": -50, "y": 100, "tool": 1}},
                 {"hit": {"x": 1200, "y": 800, "tool": 1}},
                 {"hit": {"x": 600, "y": 250, "tool": 1}},
                 {"pattern_repeat": {"pattern": 1, "x": 1050, "y": 20, "dx": 50, "count": 4}},
                 {"reposition": {"x": 600, "y": 250, "dx": 500}},
                 {"hit": {"x": 880, "y": 30, "tool": 1}}]})j");
    const Result r = pelk_post(quote(job_path));
    EXPECT_EQ(r.status, WITH_WARNINGS) << r.err;
    for (const char *told :
         {"pelk-post: warning: work[0] (hit): the stroke reaches 45 mm into the zone of clamp 1 (at X350), at X350 Y5 (line ",
          "pelk-post: warning: work[1] (hit): the stroke lies 50 mm off the sheet (2000 x 500 mm), at X-50 Y100 (line ",
          "pelk-post: warning: work[2] (hit): the stroke lies 300 mm off the sheet",
          "pelk-post: warning: work[4] (pattern_repeat): 3 strokes reach into the zone of clamp 2 (at X1150), the deepest "
          "30 mm at X1150 Y20 (line 7 of the pattern called on line 14)",
          "pelk-post: warning: work[6] (hit): the stroke reaches 20 mm into the zone of clamp 1 (at X850), at X880 Y30 (line "}) {
        EXPECT_NE(r.err.find(told), std::string::npos) << told << "\n" << r.err;
    }
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 5) << r.err;
    EXPECT_TRUE(fs::exists(dir / "job.nc"));

    // Quiet: told by the exit status alone.
    const Result quiet = pelk_post("-q -o - " + quote(job_path));
    EXPECT_EQ(quiet.status, WITH_WARNINGS);
    EXPECT_EQ(quiet.err, "");

    // Strict: fatal, nothing written.
    fs::remove(dir / "job.nc");
    const Result strict = pelk_post("--strict " + quote(job_path));
    EXPECT_EQ(strict.status, NOT_WRITTEN);
    EXPECT_NE(strict.err.find("pelk-post: error: a warning with --strict: " + (dir / "job.nc").string() + " was not written"),
              std::string::npos)
        << strict.err;
    EXPECT_EQ(others(), "");

    // The plot draws the zones, and in red the seven strokes that strike
    // them or lie off the sheet.
    const Result plot = pelk_post("plot " + quote(job_path) + " -o " + quote((dir / "job.svg").string()));
    EXPECT_EQ(plot.status, WRITTEN) << plot.err;
    const std::string svg = read_file(dir / "job.svg");
    std::size_t zones = 0, red = 0;
    for (std::size_t at = svg.find("class=\"zone"); at != std::string::npos; at = svg.find("class=\"zone", at + 1)) ++zones;
    for (std::size_t at = svg.find("stroke offending"); at != std::string::npos; at = svg.find("stroke offending", at + 1)) ++red;
    EXPECT_EQ(zones, 4u) << "two clamps, before and after the re-grip";
    EXPECT_EQ(red, 7u);

    // The page marks them at their lines and places, and tells them.
    const Result view = pelk_post("view -q " + quote(job_path) + " -o " + quote((dir / "job.html").string()));
    EXPECT_EQ(view.status, WITH_WARNINGS) << view.err;
    const std::string page = read_file(dir / "job.html");
    EXPECT_NE(page.find(",placed:true,x:"), std::string::npos);
    EXPECT_NE(page.find("the stroke reaches 45 mm into the zone of clamp 1"), std::string::npos);
}

}  // namespace
