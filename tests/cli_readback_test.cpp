// cli_readback_test.cpp - pelk-post's commands as a user runs them: post and
// check as before, verify with its exit status and messages, the block map,
// a post read back by default, plot and stats.
#include <algorithm>
#include <string>

#include <nlohmann/json.hpp>

#include "tests/support/cli_fixture.h"

namespace fs = std::filesystem;

namespace {

// Three hits, then a free NC text that makes the machine strike once more.
const char *const NOTE_JOB = R"j({"machine": {"rewind": false},
 "sheet": {"material": "ST37 (3)", "thickness": 2, "nest_name": "N"},
 "turret": [{"tool": 1, "station": 4}],
 "work": [{"hit": {"x": 10, "y": 20, "tool": 1}}, {"hit": {"x": 30, "y": 20, "tool": 1}},
          {"nc": {"text": "(CHECK)"}}, {"hit": {"x": 70, "y": 20, "tool": 1}}]})j";

std::size_t lines_in(const std::string &text) {
    std::size_t n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

TEST_F(PelkPost, PostAndCheckAreTheRunOfAJob) {
    const std::string good = quote(job(GOOD_JOB));
    ASSERT_EQ(pelk_post(good).status, 0);
    const std::string nc = read_file(dir / "job.nc");
    fs::remove(dir / "job.nc");
    ASSERT_EQ(pelk_post("post " + good).status, 0);
    EXPECT_EQ(read_file(dir / "job.nc"), nc);
    ASSERT_EQ(pelk_post("post -o - " + good).out, nc);
    fs::remove(dir / "job.nc");
    EXPECT_EQ(pelk_post("check " + good).status, 0);
    EXPECT_EQ(pelk_post("check --strict " + good).status, 0);
    EXPECT_EQ(others(), "");
    EXPECT_EQ(pelk_post("verify " + good).status, 2) << "verify needs the program";
    EXPECT_EQ(pelk_post("stats").status, 2);
    EXPECT_EQ(pelk_post("").status, 2);
}

TEST_F(PelkPost, VerifyTellsWhetherAProgramDoesWhatItsJobSays) {
    const std::string good = quote(job(GOOD_JOB));
    ASSERT_EQ(pelk_post(good).status, 0);
    const std::string nc_path = (dir / "job.nc").string();
    Result agree = pelk_post("verify " + good + " " + quote(nc_path));
    EXPECT_EQ(agree.status, 0) << agree.out << agree.err;
    EXPECT_NE(agree.out.find("job.nc does what"), std::string::npos) << agree.out;
    EXPECT_EQ(pelk_post("verify -q " + good + " " + quote(nc_path)).out, "");

    // The hit moved by hand: named at its line, with the job's step.
    std::string nc = read_file(nc_path);
    nc.replace(nc.find("X10Y20T4"), 8, "X10.1Y20T4");
    write_file(dir / "moved.nc", nc);
    Result differ = pelk_post("verify " + good + " " + quote((dir / "moved.nc").string()));
    EXPECT_EQ(differ.status, 1);
    EXPECT_NE(differ.out.find("moved.nc: line 6: stroke at X10.1 Y20 T4; the job's work[0] (hit): stroke at X10 Y20 T4\n"),
              std::string::npos)
        << differ.out;
    EXPECT_NE(differ.out.find("moved.nc: 1 difference from"), std::string::npos) << differ.out;

    // A block the control does not know: refused at its line.
    nc.replace(nc.find("X10.1Y20T4"), 10, "X10Y20T4G01");
    write_file(dir / "unknown.nc", nc);
    Result unknown = pelk_post("verify " + good + " " + quote((dir / "unknown.nc").string()));
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.err.find("unknown.nc: line 6: X10Y20T4G01: \"G01\" is no word of this control"), std::string::npos)
        << unknown.err;
    Result missing = pelk_post("verify " + good + " " + quote((dir / "none.nc").string()));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot open the program"), std::string::npos) << missing.err;
}

TEST_F(PelkPost, ManyDifferencesAreToldInFullUpToALimitThenCounted) {
    // Thirty hits, each with a station of its own; the other job has every
    // tool in another station: thirty kinds of difference at the strokes,
    // and thirty at the stations taken.
    std::string turret, other_turret, hits;
    for (int i = 1; i <= 30; ++i) {
        const std::string sep = i > 1 ? ", " : "";
        turret += sep + R"({"tool": )" + std::to_string(i) + R"(, "station": )" + std::to_string(i) + "}";
        other_turret += sep + R"({"tool": )" + std::to_string(i) + R"(, "station": )" + std::to_string(30 + i) + "}";
        hits += sep + R"({"hit": {"x": )" + std::to_string(10 * i) + R"(, "y": 20, "tool": )" + std::to_string(i) + "}}";
    }
    const std::string good = quote(job(R"({"turret": [)" + turret + R"(], "work": [)" + hits + "]}"));
    ASSERT_EQ(pelk_post(good).status, 0);
    const std::string other = quote(job(R"({"turret": [)" + other_turret + R"(], "work": [)" + hits + "]}", "other.json"));
    Result r = pelk_post("verify --messages 3 " + other + " " + quote((dir / "job.nc").string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines_in(r.out), 4u) << r.out;
    EXPECT_NE(r.out.find("60 differences from"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("(the first 3 above)"), std::string::npos) << r.out;
}

TEST_F(PelkPost, TheSameDifferenceRepeatedIsToldOnceWithItsCount) {
    std::string hits;
    for (int i = 0; i < 30; ++i) hits += std::string(i ? ", " : "") + R"({"hit": {"x": )" + std::to_string(10 + i) + R"(, "y": 20, "tool": 1}})";
    const std::string good = quote(job(std::string(R"({"turret": [{"tool": 1, "station": 4}], "work": [)") + hits + "]}"));
    ASSERT_EQ(pelk_post(good).status, 0);
    const std::string other = quote(job(std::string(R"({"turret": [{"tool": 1, "station": 5}], "work": [)") + hits + "]}",
                                         "other.json"));
    Result r = pelk_post("verify " + other + " " + quote((dir / "job.nc").string()));
    EXPECT_EQ(r.status, 1);
    // The station taken at line 6, and every stroke with it: two messages.
    EXPECT_EQ(lines_in(r.out), 3u) << r.out;
    EXPECT_NE(r.out.find("line 6: station T4 taken"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("(the same difference 29 more times, the last at line 35)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("31 differences from"), std::string::npos) << r.out;
}

TEST_F(PelkPost, TheBlockMapNamesTheStepOfEveryLine) {
    const std::string good = quote(job(NOTE_JOB));
    ASSERT_EQ(pelk_post("--map " + quote((dir / "job.map").string()) + " " + good).status, 0);
    const std::string nc = read_file(dir / "job.nc");
    const std::string map = read_file(dir / "job.map");
    EXPECT_EQ(lines_in(map), lines_in(nc) + 1) << "every line, the last without its line end included";
    EXPECT_EQ(map.rfind("1\theader\n2\theader\n", 0), 0u) << map;
    EXPECT_NE(map.find("\twork[0] (hit)\n"), std::string::npos) << map;
    EXPECT_NE(map.find("\twork[2] (nc)\n"), std::string::npos) << map;
    EXPECT_EQ(map.substr(map.size() - 9), "\ttrailer\n") << map;

    // The check names the step that wrote the line, and refuses a map that
    // is none.
    std::string other_text = NOTE_JOB;
    other_text.replace(other_text.find("(CHECK)"), 7, "(OTHER)");
    const std::string other = quote(job(other_text, "other.json"));
    Result r = pelk_post("verify --map " + quote((dir / "job.map").string()) + " " + other + " " + quote((dir / "job.nc").string()));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("line 8 (written for work[2] (nc)): comment \"(CHECK)\"; the job's work[2] (nc): comment \"(OTHER)\""),
              std::string::npos)
        << r.out;
    write_file(dir / "bad.map", "header\n");
    // A move waits in the host's buffer until the next step flushes it: the
    // map still names the move.
    const std::string moving = quote(job(R"({"turret": [{"tool": 1, "station": 4}], "work": [{"hit": {"x": 10, "y": 20,
        "tool": 1}}, {"move": {"x": 30, "y": 40}}, {"hit": {"x": 50, "y": 20, "tool": 1}}]})", "moving.json"));
    ASSERT_EQ(pelk_post("--map " + quote((dir / "moving.map").string()) + " " + moving).status, 0);
    EXPECT_NE(read_file(dir / "moving.map").find("6\twork[0] (hit)\n7\twork[1] (move)\n8\twork[2] (hit)\n"), std::string::npos)
        << read_file(dir / "moving.map");
    EXPECT_EQ(pelk_post("verify --map " + quote((dir / "bad.map").string()) + " " + good + " " + quote((dir / "job.nc").string())).status, 1);
    // The map of another program is refused as stale, not read as this one's.
    write_file(dir / "stale.map", "1\theader\n2\theader\n3\twork[0] (hit)\n");
    Result stale = pelk_post("verify --map " + quote((dir / "stale.map").string()) + " " + good + " " + quote((dir / "job.nc").string()));
    EXPECT_EQ(stale.status, 1);
    EXPECT_NE(stale.err.find("it is not this program's map"), std::string::npos) << stale.err;
}

TEST_F(PelkPost, EveryPostIsReadBackUnlessToldNotTo) {
    const std::string good = quote(job(GOOD_JOB));
    ASSERT_EQ(pelk_post("--map " + quote((dir / "good.map").string()) + " " + good).status, 0);
    EXPECT_TRUE(fs::exists(dir / "good.map") && fs::exists(dir / "job.nc")) << others();
    EXPECT_EQ(pelk_post("--no-verify " + good).status, 0);
    EXPECT_EQ(pelk_post("--check --map x.map " + good).status, 2);
}

TEST_F(PelkPost, VerifyTellsTheArgumentsTheWrongWayRound) {
    const std::string good = quote(job(GOOD_JOB));
    ASSERT_EQ(pelk_post(good).status, 0);
    Result r = pelk_post("verify " + quote((dir / "job.nc").string()) + " " + good);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("verify takes the job first, then the program"), std::string::npos) << r.err;
}

TEST_F(PelkPost, PlotAndStatsReadTheJobsProgramBack) {
    const std::string good = quote(job(NOTE_JOB));
    Result plot = pelk_post("plot " + good);
    ASSERT_EQ(plot.status, 0) << plot.err;
    const std::string svg = read_file(dir / "job.svg");
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("<marker id=\"m0\" class=\"t4\""), std::string::npos);
    // Each stroke a relative move of a path of strokes, the first from where the tool stood.
    std::size_t strokes = 0;
    for (std::size_t at = svg.find("<path class=\"strokes "); at != std::string::npos; at = svg.find("<path class=\"strokes ", at + 1)) {
        const std::size_t d = svg.find(" d=\"", at) + 4;
        const std::string path = svg.substr(d, svg.find('"', d) - d);
        strokes += static_cast<std::size_t>(std::count(path.begin(), path.end(), 'l'));
    }
    EXPECT_EQ(strokes, 3u);

    Result json = pelk_post("stats --json " + good);
    ASSERT_EQ(json.status, 0) << json.err;
    const nlohmann::json s = nlohmann::json::parse(json.out);
    EXPECT_EQ(s["strokes"], 3);
    EXPECT_EQ(s["tool_changes"], 0);  // one station: selected, never changed
    EXPECT_EQ(s["stations"][0]["station"], 4);
    EXPECT_GT(s["time_s"]["total"].get<double>(), 0.0);
    Result table = pelk_post("stats " + good);
    EXPECT_NE(table.out.find("Strokes                           3"), std::string::npos) << table.out;

    // A program of one's own is read instead of posting the job.
    ASSERT_EQ(pelk_post(good).status, 0);
    Result of_program = pelk_post("stats --json " + good + " " + quote((dir / "job.nc").string()));
    EXPECT_EQ(nlohmann::json::parse(of_program.out)["blocks"], nlohmann::json::parse(json.out)["blocks"]);
    EXPECT_EQ(pelk_post("plot " + good + " -o " + good).status, 2) << "never over the job";
}

TEST_F(PelkPost, ViewWritesOnePageOfTheProgramOrNothing) {
    const std::string good = quote(job(NOTE_JOB));
    Result view = pelk_post("view " + good);
    ASSERT_EQ(view.status, 0) << view.err;
    const std::string page = read_file(dir / "job.html");
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(page.find("window.PELK={meta:{title:\"job.json - N\""), std::string::npos);
    EXPECT_NE(page.find("window.pelkView"), std::string::npos) << "the page's own script is in it";
    EXPECT_NE(page.find("mapRuns:"), std::string::npos);
    EXPECT_EQ(page.find("src="), std::string::npos) << "nothing beside the page";

    // A program of one's own, held against the job: a stroke moved is a
    // difference in the page's findings.
    ASSERT_EQ(pelk_post(good).status, 0);
    std::string nc = read_file(dir / "job.nc");
    nc.replace(nc.find("X10Y20T4"), 8, "X11Y20T4");
    write_file(dir / "moved.nc", nc);
    Result moved = pelk_post("view " + good + " " + quote((dir / "moved.nc").string()) + " -o " + quote((dir / "moved.html").string()));
    ASSERT_EQ(moved.status, 0) << moved.err;
    EXPECT_NE(read_file(dir / "moved.html").find("kind:\"difference\""), std::string::npos);

    // Refused, and nothing written: the page over the job, a program from
    // standard input, a program the control cannot run (an old page stays).
    EXPECT_EQ(pelk_post("view " + good + " -o " + good).status, 2);
    EXPECT_EQ(pelk_post("view " + good + " - -o " + quote((dir / "x.html").string())).status, 1);
    write_file(dir / "broken.nc", "% \r\nX10Y10\r\n%");
    write_file(dir / "broken.html", "old");
    Result broken = pelk_post("view " + quote((dir / "broken.nc").string()));
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find("line 2"), std::string::npos) << broken.err;
    EXPECT_EQ(read_file(dir / "broken.html"), "old");
    EXPECT_FALSE(fs::exists(dir / "x.html"));

    // The program alone: plot, stats and view read it without its job.
    const std::string alone = quote((dir / "job.nc").string());
    EXPECT_EQ(nlohmann::json::parse(pelk_post("stats --json " + alone).out)["strokes"], 3);
    EXPECT_EQ(pelk_post("plot " + alone).status, 0);
    EXPECT_TRUE(fs::exists(dir / "job.svg"));
    Result page_alone = pelk_post("view " + alone + " -o " + quote((dir / "alone.html").string()));
    EXPECT_EQ(page_alone.status, 0) << page_alone.err;
    EXPECT_NE(read_file(dir / "alone.html").find("mapRuns:0"), std::string::npos) << "no job, no block map";
}

}  // namespace
