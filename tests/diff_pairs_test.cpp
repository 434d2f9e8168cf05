// Two programs compared by what they make the machine do: a table of pairs,
// the same work in other forms and work that differs by one thing, each
// with what diff tells of it; and every golden job and sample posted two
// ways (in millimetres and in inches, its pattern copies written out) found
// the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "diff/comparison.h"
#include "diff/program_reader.h"
#include "job/job_reader.h"
#include "nc/block_reader.h"
#include "tests/support/host_fixture.h"
#include "tests/support/readback.h"

namespace {

namespace fs = std::filesystem;

struct Side {
    std::string text;   // the program, its lines ended CR LF here
    bool inch = false;
};

// The two programs compared as pelk-post diff compares them, named old.nc
// and new.nc.
diff::Result diffed(const Side &old_side, const Side &new_side, bool any_order = false) {
    nc::TextTable texts;
    const auto program = [](const char *name, bool inch) {
        diff::Program p;
        p.name = name;
        p.inch = inch;
        p.tolerance = diff::side_tolerance(inch, 0.001);
        return p;
    };
    const diff::Program a = program("old.nc", old_side.inch), b = program("new.nc", new_side.inch);
    const auto reader = [&](const Side &side, const diff::Program &p) {
        nc::Setup setup;
        setup.inch = side.inch;
        setup.known.foreign_commands = true;
        return std::make_unique<diff::ProgramReader>(std::make_unique<nc::TextSource>(side.text), setup, side.inch,
                                                     p.tolerance, texts);
    };
    const std::unique_ptr<diff::ProgramReader> ra = reader(old_side, a), rb = reader(new_side, b);
    diff::Options options;
    options.any_order = any_order;
    diff::Result r = diff::compare(*ra, *rb, a, b, texts, options);
    r.old_uncompared = ra->uncompared();
    r.new_uncompared = rb->uncompared();
    return r;
}

Side program(const std::string &body, bool inch = false) { return Side{crlf("% \n" + body + "%"), inch}; }

const char *const LASER = "M121\nM72\nM27S450\n";

struct Pair {
    const char *name;
    Side old_side, new_side;
    bool any_order;
    std::vector<std::string> told;   // the messages, in full; none: the same
    const char *explained;           // a line --explain gives, or ""
};

TEST(DiffPairs, EachPairIsTheSameOrDiffersAsItShould) {
    const Pair pairs[] = {
        // ---- The same work in another form.
        {"a row against its strokes one by one", program("X10Y10T1\nLAA/20 0 3\n"),
         program("X10Y10T1\nX30Y10\nX50Y10\nX70Y10\n"), false, {},
         "the same 3 strokes: in a row (LAA/) in old.nc, one by one in new.nc"},
        {"a bolt-hole circle against its holes", program("T1\nMOV/X100Y100\nARC/20 0 90 4\n"),
         program("X120Y100T1\nX100Y120\nX80Y100\nX100Y80\n"), false, {},
         "the same 4 strokes: on a bolt-hole circle (ARC/) in old.nc, one by one in new.nc"},
        {"a pattern's copies against their strokes written out",
         program("PAT03/\nDX10DY10\nDX20\nEND03\nX100Y100T1\nX200Y300M03\nPAT03\nOFS/X520Y300\nMGR/03 L 20 2\n"
                 "OFS/X0Y0\n"),
         program("X100Y100T1\nX210Y310\nX230Y310\nX510Y310\nX530Y310\nX490Y310\nX510Y310\n"), false, {},
         "the same 6 events: in a pattern's copy in old.nc, written out in new.nc"},
        {"an OFS/ origin against absolute words", program("OFS/X100Y100\nX10Y10T1\nX20Y10\nOFS/X0Y0\n"),
         program("X110Y110T1\nX120Y110\n"), false, {},
         "the same 2 places: from an OFS/ origin in old.nc, in absolute words in new.nc"},
        {"a laser arc against its pieces",
         program(std::string(LASER) + "X100Y100F2500\nLCI/L 100 200 50F2500\nLED/DX0DY0\n"),
         program(std::string(LASER) + "X100Y100F2500\nLCI/L 150 150 50F2500\nLCI/L 100 200 50F2500\nLED/DX0DY0\n"),
         false, {}, "the same 1 laser arc: cut in pieces in new.nc, in one piece in old.nc"},
        {"millimetres against inches", program(std::string("X25.4Y50.8T1\n") + LASER + "X254Y254F2500\nX508F2500\nLED/DX0DY0\n"),
         program(std::string("X1Y2T1\n") + LASER + "X10Y10F984.252\nX20F984.252\nLED/DX0DY0\n", true), false, {}, ""},
        {"the same strokes in another order, as sets", program("X10Y10T1\nX20Y10\nX30Y10\n"),
         program("X30Y10T1\nX10Y10\nX20Y10\n"), true, {}, "the same 1 event in another order (--any-order)"},
        {"comments moved, tool changes written otherwise", program("(PART 1)\nX10Y10T1\nT2\nT1\nX20Y10\n"),
         program("X10Y10T1\n(PART 1)\nX20Y10\n"), false, {}, ""},

        // ---- Work that differs by one thing.
        {"one stroke moved", program("X10Y10T1\nX20Y10\nX30Y10\n"), program("X10Y10T1\nX20.1Y10\nX30Y10\n"), false,
         {"line 3 / line 3: the place differs: stroke at X20 Y10 T1 / stroke at X20.1 Y10 T1"}, ""},
        {"two strokes moved, each its own way", program("X10Y10T1\nX20Y10\nX30Y10\n"),
         program("X10Y10T1\nX21Y10\nX30Y90\n"), false,
         {"line 3 / line 3: the place differs: stroke at X20 Y10 T1 / stroke at X21 Y10 T1",
          "line 4 / line 4: the place differs: stroke at X30 Y10 T1 / stroke at X30 Y90 T1"},
         ""},
        {"the same words in other units", program("X10Y10T1\nX20Y10\n"), program("X10Y10T1\nX20Y10\n", true), false,
         {"line 2 / line 2: the place differs: stroke at X10 Y10 T1 (mm) / stroke at X10 Y10 T1 (inches)",
          "line 3 / line 3: the place differs: stroke at X20 Y10 T1 (mm) / stroke at X20 Y10 T1 (inches)"},
         ""},
        {"a stroke moved across a re-grip, as sets", program("X1100Y300T4\nX1100Y300M03\nREP/DX1000\nX1300Y300\n"),
         program("X1100Y300T4\nX1300Y300\nX1100Y300M03\nREP/DX1000\n"), true,
         {"line 4 / line 5: re-grip at X1100 Y300 by REP/DX1000 stands elsewhere in the order of the work: the work of "
          "the sheet's grips on either side of it differs",
          "after line 5 / line 4: positioning to X1100 Y300 only in new.nc"},
         ""},
        {"one stroke more", program("X10Y10T1\nX20Y10\nX30Y10\n"), program("X10Y10T1\nX20Y10\nX25Y10\nX30Y10\n"),
         false, {"after line 3 / line 4: stroke at X25 Y10 T1 only in new.nc"}, ""},
        {"one station", program("X10Y10T1\nX20Y10\nX30Y10\n"), program("X10Y10T1\nX20Y10T2\nX30Y10T1\n"), false,
         {"line 3 / line 3: the station differs: stroke at X20 Y10 T1 / stroke at X20 Y10 T2"}, ""},
        {"one index angle", program("X10Y10T1C90\nX20Y10\n"), program("X10Y10T1C45\nX20Y10C90\n"), false,
         {"line 2 / line 2: the index angle differs: stroke at X10 Y10 T1 C90 / stroke at X10 Y10 T1 C45"}, ""},
        {"one S value", program(std::string(LASER) + "X100Y100F2500\nX200F2500\nLED/DX0DY0\n"),
         program("M121\nM72\nM27S460\nX100Y100F2500\nX200F2500\nLED/DX0DY0\n"), false,
         {"line 5 / line 5: the S value differs: laser start at X100 Y100 (M72 M27 S450 F2500 head M121) / laser start "
          "at X100 Y100 (M72 M27 S460 F2500 head M121)"},
         ""},
        {"one operator text", program("X10Y10T1\n(FLIP THE SHEET)\nM00\nX20Y10\n"),
         program("X10Y10T1\n(TURN THE SHEET)\nM00\nX20Y10\n"), false,
         {"line 4 / line 4: the operator's text differs: stop (M00) telling \"FLIP THE SHEET\" / stop (M00) telling "
          "\"TURN THE SHEET\""},
         ""},
        {"one re-grip distance", program("X1200Y600T1\nREP/DX1300\nX1300Y600\n"),
         program("X1200Y600T1\nREP/DX1250\nX1300Y600\n"), false,
         {"line 3 / line 3: the re-grip's distance differs: re-grip at X1200 Y600 by REP/DX1300 / re-grip at X1200 "
          "Y600 by REP/DX1250"},
         ""},
        {"the same strokes in another order", program("X10Y10T1\nX20Y10\nX30Y10\nX40Y10\nX50Y10\n"),
         program("X10Y10T1\nX40Y10\nX50Y10\nX20Y10\nX30Y10\n"), false,
         {"line 3 / line 5: the same 2 strokes in another order, up to line 4 / line 6"}, ""},
        {"a stroke only in the old program, a station's strokes only in the new", program("X10Y10T1\nX20Y10\n"),
         program("X10Y10T1\nX500Y500T3\nX520Y500\n"), false,
         {"line 3 / line 3: the place, the station differ: stroke at X20 Y10 T1 / stroke at X500 Y500 T3",
          "after line 3 / line 4: stroke at X520 Y500 T3 only in new.nc"},
         ""},
    };
    for (const Pair &p : pairs) {
        SCOPED_TRACE(p.name);
        const diff::Result r = diffed(p.old_side, p.new_side, p.any_order);
        EXPECT_EQ(r.differences, static_cast<long long>(p.told.size()));
        EXPECT_EQ(r.messages, p.told);
        diff::Program a, b;
        a.name = "old.nc";
        b.name = "new.nc";
        const std::vector<std::string> explained = diff::explanation(r, a, b);
        if (*p.explained != '\0') {
            std::string all;
            for (const std::string &line : explained) all += line + "\n";
            EXPECT_NE(std::find(explained.begin(), explained.end(), p.explained), explained.end()) << all;
        }
    }
}

// The same difference a thousand times is told once with its count; the
// rest counted.
TEST(DiffPairs, ARepeatedDifferenceIsToldOnceWithItsCount) {
    std::string a = "X0Y0T1\n", b = "X0Y0T1\n";
    for (int i = 1; i <= 1000; ++i) {
        a += "X" + std::to_string(i) + "Y0\n";
        b += "X" + std::to_string(i) + "Y0.5\n";
    }
    const diff::Result r = diffed(program(a), program(b));
    EXPECT_EQ(r.differences, 1000);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0], "line 3 / line 3: the place differs: stroke at X1 Y0 T1 / stroke at X1 Y0.5 T1 (the same "
                             "difference 999 more times, the last at line 1002 / line 1002)");
}

// ---- Programs posted two ways -----------------------------------------------------------------------------

std::vector<fs::path> golden_jobs_and_samples() {
    std::vector<fs::path> jobs;
    for (const auto &entry : fs::directory_iterator(source_path("tests/golden"))) {
        if (fs::exists(entry.path() / "job.json")) jobs.push_back(entry.path() / "job.json");
    }
    for (const auto &entry : fs::directory_iterator(source_path("examples"))) {
        if (entry.path().extension() == ".json") jobs.push_back(entry.path());
    }
    std::sort(jobs.begin(), jobs.end());
    return jobs;
}

class DiffPosted : public HostTest {};

TEST_F(DiffPosted, EveryGoldenJobAndSampleInMillimetresAndInInchesDoesTheSame) {
    int compared = 0;
    for (const fs::path &path : golden_jobs_and_samples()) {
        SCOPED_TRACE(path.string());
        std::ifstream in(path);
        nlohmann::json j = nlohmann::json::parse(in);
        const std::string folder = path.parent_path().string();
        // A program that calls patterns it does not define cannot be read alone.
        if (job::parse_job(j.dump(), folder).machine.pattern_style != 0) continue;
        j["machine"]["units"] = "mm";
        const std::string mm = posted_program(job::parse_job(j.dump(), folder));
        j["machine"]["units"] = "inch";
        const std::string inch = posted_program(job::parse_job(j.dump(), folder));
        const diff::Result r = diffed(Side{mm, false}, Side{inch, true});
        EXPECT_EQ(r.differences, 0) << (r.messages.empty() ? "" : r.messages.front());
        EXPECT_GT(r.events, 5);
        ++compared;
    }
    EXPECT_GE(compared, 30);
}

// A job whose patterns hold only hits, its calls written out as hits.
nlohmann::json written_out(const nlohmann::json &job) {
    nlohmann::json flat = job;
    flat.erase("patterns");
    flat["work"] = nlohmann::json::array();
    const auto body_of = [&](const nlohmann::json &call) -> const nlohmann::json & {
        for (const nlohmann::json &p : job["patterns"]) {
            if (p.value("number", -1) == call["pattern"]) return p["body"];
        }
        throw std::runtime_error("no such pattern");
    };
    for (const nlohmann::json &step : job["work"]) {
        const bool single = step.contains("pattern_call"), repeat = step.contains("pattern_repeat");
        if (!single && !repeat) {
            flat["work"].push_back(step);
            continue;
        }
        const nlohmann::json &call = single ? step["pattern_call"] : step["pattern_repeat"];
        const long long copies = repeat ? call["count"].get<long long>() : 1;
        for (long long k = 0; k < copies; ++k) {
            const double ox = call["x"].get<double>() + k * call.value("dx", 0.0);
            const double oy = call["y"].get<double>() + k * call.value("dy", 0.0);
            for (nlohmann::json hit : body_of(call)) {
                hit["hit"]["x"] = hit["hit"]["x"].get<double>() + ox;
                hit["hit"]["y"] = hit["hit"]["y"].get<double>() + oy;
                flat["work"].push_back(hit);
            }
        }
    }
    return flat;
}

TEST_F(DiffPosted, PatternCopiesAgainstTheirHitsWrittenOutDoTheSame) {
    std::ifstream in(source_path("tests/golden/patterns_hits_top/job.json"));
    const nlohmann::json j = nlohmann::json::parse(in);
    const std::string folder = source_path("tests/golden/patterns_hits_top");
    const std::string copies = posted_program(job::parse_job(j.dump(), folder));
    const std::string flat = posted_program(job::parse_job(written_out(j).dump(), folder));
    const diff::Result r = diffed(Side{copies}, Side{flat});
    EXPECT_EQ(r.differences, 0) << (r.messages.empty() ? "" : r.messages.front());
    // One copy and two repeats of 4 and 3 copies, three hits each.
    EXPECT_EQ(r.forms[diff::FORM_COPY_WORK][0], (1 + 4 + 3) * 3);
    EXPECT_EQ(r.old_uncompared.copies, 1 + 4 + 3);
}

}  // namespace
