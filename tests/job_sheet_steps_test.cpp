// job_sheet_steps_test.cpp - the sheet events of a job file: what each step
// becomes, the machine's clamp travel, and what is refused with its place.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "job/job_reader.h"
#include "tests/support/job_refusal.h"

namespace {

using test_support::refusal;

job::Job work(const std::string &steps, const std::string &machine = "{}") {
    return job::parse_job(R"({"machine": )" + machine + R"(, "work": [)" + steps + "]}", "/jobs");
}

TEST(JobSheetSteps, EveryEventIsRead) {
    const job::Job j = work(R"j({"stop": {}}, {"trap_door": {"dx": 5, "dy": -2.5, "kind": 3}}, {"trap_door": {}},
        {"tab_break": {}}, {"nc": {"text": "(CHECK THE FEED)"}}, {"feedrate": {"feed": 30}}, {"dwell": {"time": 1.5}},
        {"sheet_move": {"x": 400, "y": -20}}, {"reposition": {"x": 1, "y": 2, "dx": 3, "clamp_travel": 4}},
        {"flip": {}}, {"turn": {"kind": 2}})j");
    ASSERT_EQ(j.work.size(), 11u);
    EXPECT_TRUE(std::holds_alternative<job::SheetStop>(j.work[0]));
    const auto &door = std::get<job::TrapDoor>(j.work[1]);
    EXPECT_EQ(door.dx, 5);
    EXPECT_EQ(door.dy, -2.5);
    EXPECT_EQ(door.kind, 3);
    const auto &plain_door = std::get<job::TrapDoor>(j.work[2]);  // the kind that opens the door
    EXPECT_EQ(plain_door.dx, 0);
    EXPECT_EQ(plain_door.kind, 5);
    EXPECT_TRUE(std::holds_alternative<job::TabBreak>(j.work[3]));
    EXPECT_EQ(j.text(std::get<job::SheetNcText>(j.work[4])), "(CHECK THE FEED)");
    EXPECT_EQ(std::get<job::SheetFeed>(j.work[5]).feed, 30);
    EXPECT_EQ(std::get<job::Dwell>(j.work[6]).time, 1.5);
    EXPECT_EQ(std::get<job::SheetMove>(j.work[7]).y, -20);
    const auto &r = std::get<job::Reposition>(j.work[8]);
    EXPECT_EQ(r.x + r.y * 10 + r.dx * 100 + r.clamp_travel * 1000, 4321);
    EXPECT_TRUE(std::holds_alternative<job::FlipSheet>(j.work[9]));
    EXPECT_EQ(std::get<job::TurnSheet>(j.work[10]).kind, 2);
}

TEST(JobSheetSteps, RepositioningTakesTheMachinesClampTravelUnlessItNamesOne) {
    const std::string steps = R"({"reposition": {"x": 0, "y": 0, "dx": 500}},
        {"reposition": {"x": 0, "y": 0, "dx": 500, "clamp_travel": 12}})";
    const struct {
        const char *text;
        double first;
    } cases[] = {
        {R"({"work": [)", 50.0},  // no machine: its default
        {R"({"machine": {"reposition_clamp_travel": 80}, "work": [)", 80.0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const job::Job j = job::parse_job(std::string(c.text) + steps + "]}", "/jobs");
        EXPECT_EQ(std::get<job::Reposition>(j.work[0]).clamp_travel, c.first);
        EXPECT_EQ(std::get<job::Reposition>(j.work[1]).clamp_travel, 12);
    }
    // The machine may stand after the work.
    const job::Job after = job::parse_job(R"({"work": [)" + steps + R"(], "machine": {"reposition_clamp_travel": 30}})",
                                          "/jobs");
    EXPECT_EQ(std::get<job::Reposition>(after.work[0]).clamp_travel, 30);
}

TEST(JobSheetSteps, RefusedWithThePlace) {
    static const char *const RUNS =
        "/work/0/nc/text: the NC text is a block the control runs (a stroke, a move, a command or a mode of its own): "
        "the program could not go on from what it does; write it as a work step, or as a comment, stop or dwell";
    const struct {
        const char *step;
        const char *message;
    } cases[] = {
        {R"({"nc": {"text": "M99\nM30"}})", "/work/0/nc/text: text holds a control character (line break, tab, ...)"},
        {R"({"nc": {"text": "%"}})",
         "/work/0/nc/text: an NC text must not hold '%': the control takes it as the end of the program"},
        {R"j({"nc": {"text": "(50%)"}})j",
         "/work/0/nc/text: an NC text must not hold '%': the control takes it as the end of the program"},
        // Free texts the control would read as something else than the
        // text the user meant, or that it runs as work the host cannot follow.
        {R"({"nc": {"text": "(A"}})",
         "/work/0/nc/text: an NC text must close the comment it opens with '(': it would run into the blocks after it"},
        {R"j({"nc": {"text": "(A)B"}})j", "/work/0/nc/text: an NC text that opens with '(' is a comment and must end with its ')'"},
        {R"j({"nc": {"text": "A)"}})j", "/work/0/nc/text: an NC text must not close a comment with ')' it did not open"},
        {R"j({"nc": {"text": "((A))"}})j",
         "/work/0/nc/text: an NC text must not open a comment inside a comment: the control does not nest them"},
        {R"({"nc": {"text": "X100Y100T1"}})", RUNS},
        {R"({"nc": {"text": "T3"}})", RUNS},
        {R"({"nc": {"text": "M08"}})", RUNS},
        {R"({"nc": {"text": "OFS/X10Y10"}})", RUNS},
        {R"({"nc": {"text": "PAT01"}})", RUNS},
        {R"({"nc": {}})", "/work/0/nc: missing key \"text\""},
        {R"({"turn": {}})", "/work/0/turn: missing key \"kind\""},
        {R"({"turn": {"kind": 1.5}})", "/work/0/turn/kind: expected a whole number"},
        {R"({"dwell": {"time": -1}})", "/work/0/dwell/time: must not be negative"},
        {R"({"feedrate": {"feed": -5}})", "/work/0/feedrate/feed: out of range (0 to 1000)"},
        {R"({"reposition": {"x": 0, "y": 0}})", "/work/0/reposition: missing key \"dx\""},
        {R"({"trap_door": {"kind": "5"}})", "/work/0/trap_door/kind: expected a whole number, found a text"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.step);
        EXPECT_EQ(refusal(std::string(R"({"work": [)") + c.step + "]}"), c.message);
    }
    const std::string long_text = R"({"work": [{"nc": {"text": ")" + std::string(256, 'A') + R"("}}]})";
    EXPECT_EQ(refusal(long_text), "/work/0/nc/text: text of 256 characters is longer than its field (at most 255)");
    EXPECT_EQ(refusal(R"({"work": [{"stop": {"now": true}}]})").rfind("/work/0/stop/now: ", 0), 0u);
}

}  // namespace

namespace {

// A free text goes to the control as it stands: a comment, a stop, a dwell,
// or a text that is no block of the dialect are taken.
TEST(JobSheetSteps, FreeTextsThatTheProgramCanGoOnFromAreTaken) {
    for (const char *text : {"(OPERATOR CHECK)", "M00", "DWL/X 2", "", "G04 P1", "HELLO"}) {
        SCOPED_TRACE(text);
        const job::Job j = work(std::string(R"({"nc": {"text": ")") + text + R"("}})");
        EXPECT_EQ(j.text(std::get<job::SheetNcText>(j.work[0])), text);
    }
}

}  // namespace
