// job_flat_steps_test.cpp - hits, positions and moves are read flat from the
// text where their bodies are plain numbers; they must come out exactly as
// the tree reader makes them, and be refused with the same messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <variant>

#include "job/job_reader.h"
#include "job/work_steps.h"

namespace {

const char *TURRET = R"({"turret": [{"tool": 11, "station": 3, "indexable": true}, {"tool": 90, "station": 20, "laser": true}],
  "work": [)";

// What a reading makes of the first work step: its values, or the refusal.
std::string outcome_of(const job::Job &job) {
    char text[160];
    const job::Operation &op = job.work.at(0);
    if (const auto *hit = std::get_if<job::Hit>(&op)) {
        std::snprintf(text, sizeof text, "hit %a %a %a %d %d", hit->x, hit->y, hit->angle, hit->tool, hit->position_only);
    } else if (const auto *move = std::get_if<job::Movement>(&op)) {
        std::snprintf(text, sizeof text, "move %a %a", move->x, move->y);
    } else {
        std::snprintf(text, sizeof text, "another kind");
    }
    return text;
}

// The step read in the work, as the file reader reads it (flat where it can).
std::string read_in_work(const std::string &step) {
    try {
        return outcome_of(job::parse_job(TURRET + step + "]}", ""));
    } catch (const job::JobError &e) {
        return e.what();
    }
}

// The same step read from its tree only.
std::string read_from_tree(const std::string &step) {
    job::Job job;
    job.turret = {job::Station{11, 3, "", true, false}, job::Station{90, 20, "", false, true}};
    job::WorkContext context(job);
    context.turret_known();
    try {
        job::JsonTree tree;
        job::read_json_tree(step, tree, job::JsonPath().key("work").index(0));
        job::read_work_step(job::JsonField(tree, 0), context);
        return outcome_of(job);
    } catch (const job::JobError &e) {
        return e.what();
    }
}

TEST(FlatSteps, ReadAsTheTreeReaderReadsThem) {
    const char *const steps[] = {
        // Taken flat.
        R"({"hit": {"x": 1, "y": 2.5, "tool": 11}})",
        R"({"hit": {"tool": 11, "angle": -360, "y": -0.0, "x": 1e9}})",
        R"({"hit": {"x": -1e9, "y": 0.1, "tool": 11, "angle": 360}})",
        R"({"position": {"x": 12.345678901234567, "y": 3e-5, "tool": 11, "angle": 45.5}})",
        R"({"move": {"x": 100, "y": -7.25}})",
        // Taken by the tree reader only.
        R"({"hit": {"x": 1, "y": 2, "tool": 11.0}})",
        R"({"hit": {"x": 1, "y": 2, "tool": 1.1e1}})",
        // Refused.
        R"({"hit": {"x": 1000000001, "y": 2, "tool": 11}})",
        R"({"hit": {"x": 1, "y": 2, "tool": 11, "angle": 360.5}})",
        R"({"hit": {"x": 1, "y": 2, "tool": 90}})",
        R"({"hit": {"x": 1, "y": 2, "tool": 12}})",
        R"({"hit": {"x": 1, "y": 2, "tool": 2147483648}})",
        R"({"hit": {"x": 1, "y": 2, "tool": -2147483649}})",
        R"({"hit": {"x": 1, "y": 2, "tool": 11.5}})",
        R"({"hit": {"x": 1, "tool": 11}})",
        R"({"hit": {"x": 1, "y": 2, "tool": 11, "z": 0}})",
        R"({"hit": {"x": 1, "y": 2, "tool": 11, "angle": 0, "z": 0}})",
        R"({"hit": {"x": 1, "y": 2, "tool": 11, "angle_of_the_tool": 0}})",
        R"({"hit": {"x": "1", "y": 2, "tool": 11}})",
        R"({"hit": {"x": 1, "y": null, "tool": 11}})",
        R"({"hit": {"x": [1], "y": 2, "tool": 11}})",
        R"({"hit": {"x": 1, "y": 2, "tool": {"number": 11}}})",
        R"({"hit": {}})",
        R"({"hit": 5})",
        R"({"hit": [1, 2]})",
        R"({"move": {"x": 1}})",
        R"({"move": {"x": 1, "y": 2, "tool": 11}})",
        R"({"hit": {"x": 1, "y": 2, "tool": 11}, "move": {"x": 1, "y": 2}})",
        R"({"move": {"x": 1, "y": 2}, "hit": 7})",
        R"({})",
    };
    for (const char *step : steps) EXPECT_EQ(read_in_work(step), read_from_tree(step)) << step;
}

TEST(FlatSteps, AKeyGivenTwiceIsNamedWithItsPath) {
    EXPECT_EQ(read_in_work(R"({"hit": {"x": 1, "y": 2, "x": 3, "tool": 11}})"), "/work/0/hit/x: key \"x\" given twice");
    EXPECT_EQ(read_in_work(R"({"move": {"x": 1, "y": 2}, "move": {"x": 1, "y": 2}})"),
              "/work/0/move: key \"move\" given twice");
}

TEST(FlatSteps, AfterAStepLeftToTheTreeTheNextIsReadFlatAgain) {
    const job::Job job = job::parse_job(std::string(TURRET) +
                                            R"({"hit": {"x": 1, "y": 2, "tool": 11.0}}, {"hit": {"x": 3, "y": 4, "tool": 11}},
                                                {"move": {"x": 5, "y": 6}}, {"hit": {"x": 7, "y": 8, "tool": 11, "angle": 90}},
                                                {"hit": {"x": 9, "y": 10, "tool": 11}}]})",
                                        "");
    ASSERT_EQ(job.work.size(), 5u);
    EXPECT_EQ(std::get<job::Hit>(job.work[1]).x, 3.0);
    EXPECT_EQ(std::get<job::Movement>(job.work[2]).y, 6.0);
    EXPECT_EQ(std::get<job::Hit>(job.work[3]).angle, 90.0);
    EXPECT_EQ(std::get<job::Hit>(job.work[4]).angle, 0.0);  // nothing kept from the step before
}

TEST(FlatSteps, MangledJobsAreTakenOrRefusedWithOneLine) {
    // A job of every kind of step, with a byte changed, dropped or doubled:
    // the reader switches between flat and tree reading at every odd place,
    // and must never crash, nor answer with anything but a job or one line
    // naming a place.
    const std::string job = std::string(TURRET) + R"({"hit": {"x": 1, "y": 2.5, "tool": 11, "angle": 90}},
        {"move": {"x": 3, "y": -4}}, {"position": {"x": 5, "y": 6, "tool": 11}},
        {"laser_contour": {"technology": 1, "elements": [{"line": {"from": [0, 0], "to": [10, 0]}}]}},
        {"hit": {"x": 7, "y": 8, "tool": 11.0}}],
        "laser_technologies": [{"number": 1, "feedrate": 25, "mode": 1, "m7x": "2", "s_value": "450"}]})";
    ASSERT_EQ(job::parse_job(job, "").work.size(), 5u);
    const std::string bytes = "{}[],:\" 0123456789.e-tn\n";
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string text = job;
        const std::size_t at = random() % text.size();
        switch (random() % 3) {
        case 0: text[at] = bytes[random() % bytes.size()]; break;
        case 1: text.erase(at, 1 + random() % 3); break;
        default: text.insert(at, text.substr(at, 1 + random() % 6)); break;
        }
        try {
            job::parse_job(text, "");
        } catch (const job::JobError &e) {
            const std::string message = e.what();
            EXPECT_EQ(message.find('\n'), std::string::npos) << text;
            EXPECT_TRUE(message.rfind("line ", 0) == 0 || message.rfind("/", 0) == 0) << message << "\n" << text;
        }
    }
}

}  // namespace
