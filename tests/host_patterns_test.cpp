// The host's side of patterns: the definitions it writes when the module
// asks for them, the numbers and tools it passes to the call hooks, and its
// state once the control has run a pattern.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/host_fixture.h"

namespace {

std::vector<std::string> events;
int stop_at_event = 0;  // the hook of this event (1-based) answers 1; 0: never

int answer() { return static_cast<int>(events.size()) == stop_at_event ? 1 : 0; }

// Each event shows the host state the hook finds.
std::string state() {
    char text[160];
    std::snprintf(text, sizeof text, " | sub %d origin %g,%g at %g,%g T%d C%g", c_nc_in_sub, c_nc_abs_sub_x,
                  c_nc_abs_sub_y, c_nc_x, c_nc_y, c_nc_tool, c_nc_tool_a);
    return text;
}

int note(const std::string &text) {
    events.push_back(text + state());
    return answer();
}

int note_begin(int pattern) { return note("begin " + std::to_string(pattern)); }
int note_end(int pattern) { return note("end " + std::to_string(pattern)); }

int note_hit(double x, double y, int tool, int indexable, double, int, int) {
    char text[96];
    std::snprintf(text, sizeof text, "hit %g %g %d %d", x, y, tool, indexable);
    return note(text);
}

int note_line(double x1, double y1, double x2, double y2, char *) {
    char text[96];
    std::snprintf(text, sizeof text, "line %g %g %g %g", x1, y1, x2, y2);
    return note(text);
}

int note_call(int tool, double x, double y, double angle, int indexable, int pattern) {
    char text[128];
    std::snprintf(text, sizeof text, "call %d %g %g %g %d %d", tool, x, y, angle, indexable, pattern);
    return note(text);
}

int note_repeat(int tool, double x, double y, double angle, int indexable, int pattern, double dx, double dy,
                int count) {
    char text[160];
    std::snprintf(text, sizeof text, "repeat %d %g %g %g %d %d %g %g %d", tool, x, y, angle, indexable, pattern, dx,
                  dy, count);
    return note(text);
}

job::Hit hit(double x, double y, int tool, double angle = 0) {
    job::Hit h;
    h.x = x;
    h.y = y;
    h.tool = tool;
    h.angle = angle;
    return h;
}

job::LaserElement cut(double x1, double y1, double x2, double y2) {
    job::LaserElement e;
    e.x1 = x1;
    e.y1 = y1;
    e.x2 = x2;
    e.y2 = y2;
    e.off_type = 2;
    return e;
}

job::PatternCall call(std::uint32_t pattern, double x, double y) {
    job::PatternCall c;
    c.pattern = pattern;
    c.x = x;
    c.y = y;
    return c;
}

job::PatternRow row(std::uint32_t pattern, double x, double y, double dx, double dy, int count) {
    job::PatternRow r;
    r.pattern = pattern;
    r.x = x;
    r.y = y;
    r.dx = dx;
    r.dy = dy;
    r.count = count;
    return r;
}

class HostPatterns : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        events.clear();
        stop_at_event = 0;
        job.machine.program_number = 10;
        job.turret = {{7, 2, "", true, false}, {8, 3, "", false, false}, {20, 9, "", false, true}};
        job::Pattern holes;   // PAT03: two holes with the indexable T2, the last at 90 degrees
        holes.number = 3;
        holes.body = {hit(10, 5, 7, 45), hit(20, 5, 7, 90)};
        job::Pattern cutout;  // PAT01: a laser cut, then a hole with T3
        cutout.number = 1;
        const job::LaserElement laser_cut = cut(0, 0, 30, 0);
        cutout.body = {job.keep_laser_contour({&laser_cut, 1}), hit(40, 8, 8)};
        job.patterns = {holes, cutout};
    }

    void use_stub_hooks() {
        pp_sub_begin = &note_begin;
        pp_sub_end = &note_end;
        pp_hit = &note_hit;
        pp_laser_line = &note_line;
        pp_sub_call = &note_call;
        pp_sub_rep_call = &note_repeat;
    }

    job::Job job;
};

TEST_F(HostPatterns, DefinitionsWriteEveryBodyFromThePatternOrigin) {
    use_stub_hooks();
    host::apply_job(job);
    c_nc_tool = 5;
    c_nc_tool_a = 30;
    EXPECT_EQ(gen_nc_output_all_subs(sl), 0);
    const std::vector<std::string> expected = {
        // The call puts T2 in place; the body's index starts at 0.
        "begin 14 | sub 1 origin 0,0 at 0,0 T2 C0",
        "hit 10 5 7 1 | sub 1 origin 0,0 at 0,0 T2 C0",
        "hit 20 5 7 1 | sub 1 origin 0,0 at 0,0 T2 C0",
        "end 14 | sub 1 origin 0,0 at 0,0 T2 C0",
        // A pattern that starts with the laser has its punch in place all
        // the same: the control repeats the body without tool changes.
        "begin 12 | sub 1 origin 0,0 at 0,0 T3 C0",
        "line 0 0 30 0 | sub 1 origin 0,0 at 0,0 T3 C0",
        "hit 40 8 8 0 | sub 1 origin 0,0 at 0,0 T3 C0",
        "end 12 | sub 1 origin 0,0 at 0,0 T3 C0",
    };
    EXPECT_EQ(events, expected);
    EXPECT_EQ(c_nc_in_sub, 0);
}

TEST_F(HostPatterns, DefinitionsStopAtTheFirstHookThatAnswersStop) {
    use_stub_hooks();
    host::apply_job(job);
    for (int stop = 1; stop <= 8; ++stop) {
        SCOPED_TRACE(stop);
        events.clear();
        stop_at_event = stop;
        host::set_writer(&writer);
        EXPECT_EQ(gen_nc_output_all_subs(ol1), 1);
        EXPECT_EQ(static_cast<int>(events.size()), stop);
        // The output has stopped: the program frame's next flush is refused.
        EXPECT_EQ(flush_nc_buffer(), 1);
    }
}

TEST_F(HostPatterns, CallsPassThePatternsFirstToolAndLeaveTheToolWhereTheLastCopyEnds) {
    use_stub_hooks();
    job.work = {call(0, 100, 50),
                hit(0, 0, 8),
                job.keep_pattern_row(row(0, 200, 50, 30, -10, 3)),
                hit(0, 0, 8),
                job.keep_pattern_row(row(1, 300, 60, 5e-7, 0, 4)),
                hit(0, 0, 8),
                call(1, 400, 70),
                hit(0, 0, 8)};
    host::apply_job(job);
    EXPECT_EQ(gen_nc_short_sims(sl), 0);
    const std::vector<std::string> expected = {
        "call 7 100 50 45 1 14 | sub 0 origin 0,0 at 0,0 T0 C0",
        // The holes pattern ends at (20, 5) with T2 at 90 degrees.
        "hit 0 0 8 0 | sub 0 origin 0,0 at 120,55 T2 C90",
        "repeat 7 200 50 45 1 14 30 -10 3 | sub 0 origin 0,0 at 120,55 T2 C90",
        "hit 0 0 8 0 | sub 0 origin 0,0 at 280,35 T2 C90",
        // The laser comes first in the cutout, but the call puts its punch
        // T3 in place, which the body's hit strikes with.  Its pitch is
        // none: one copy.
        "repeat 8 300 60 0 0 12 5e-07 0 4 | sub 0 origin 0,0 at 280,35 T2 C90",
        "hit 0 0 8 0 | sub 0 origin 0,0 at 340,68 T3 C0",
        "call 8 400 70 0 0 12 | sub 0 origin 0,0 at 340,68 T3 C0",
        "hit 0 0 8 0 | sub 0 origin 0,0 at 440,78 T3 C0",
    };
    EXPECT_EQ(events, expected);
}

struct ExitCase {
    job::PunchElement::Kind kind;
    double x, y;  // where the control leaves the tool, the pattern at (100, 0)
    double within;
};

// Rows end at their end point, bolt-hole circles at their last hole; nibbled
// lines at their end point and nibbled rounds outside the radius by 5 (a
// circle beside its start, an arc beside its end) as the control reads the
// values written: the direction of a line to 0.01 degree (its end here 0.003
// mm aside).
TEST_F(HostPatterns, PunchingElementsLeaveTheToolWhereTheControlDoes) {
    using Kind = job::PunchElement::Kind;
    const ExitCase cases[] = {
        {Kind::row, 140, 20, 1e-9}, {Kind::nibbled_line, 140, 20, 0.005}, {Kind::nibbled_circle, 110, 55, 1e-9},
        {Kind::nibbled_arc, 145, 20, 1e-9}, {Kind::bolt_hole_circle, 140, 20, 1e-9},
    };
    use_stub_hooks();
    for (const ExitCase &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        job::PunchElement e;
        e.kind = c.kind;
        e.tool = 8;
        e.x2 = 40;  // on the circle, at 0 degrees
        e.y2 = 20;
        e.xc = 10;
        e.yc = 20;
        e.radius = 30;
        e.start_angle = 90;
        e.step_angle = -45;
        e.count = 3;
        job::Job one = job;
        one.patterns.resize(1);
        one.patterns[0].body.clear();
        one.add_punch_element(e);
        one.patterns[0].body.push_back(one.work.back());
        one.work = {call(0, 100, 0)};
        host::apply_job(one);
        ASSERT_EQ(gen_nc_short_sims(sl), 0);
        EXPECT_NEAR(c_nc_x, c.x, c.within);
        EXPECT_NEAR(c_nc_y, c.y, c.within);
    }
}

TEST_F(HostPatterns, CallsTheHostCannotMakeAreRefused) {
    use_stub_hooks();
    job.work = {call(2, 0, 0)};
    host::apply_job(job);
    EXPECT_EQ(gen_nc_short_sims(sl), 1);
    // A pattern whose body calls a pattern.
    job.patterns[0].body.push_back(call(1, 0, 0));
    job.work.clear();
    host::apply_job(job);
    EXPECT_EQ(gen_nc_output_all_subs(sl), 1);
    EXPECT_EQ(host::messages().size(), 2u);
    EXPECT_TRUE(events.size() == 3u && events.back().rfind("hit 20 5", 0) == 0);
}

// ---- The whole road with the real module ---------------------------------------

class HostPatternPrograms : public HostPatterns {
protected:
    void SetUp() override {
        HostPatterns::SetUp();
        host::reset_host();  // the module's own hooks
        host::set_message_stream(nullptr);
        job.patterns.pop_back();  // the holes only: no laser parameters needed
        job.work = {call(0, 100, 50), job.keep_pattern_row(row(0, 200, 50, -20, 0, 4)), hit(300, 50, 8)};
    }
};

TEST_F(HostPatternPrograms, ProgramWithPatternsStopsCleanlyAtEveryRefusedFlush) {
    host::MemoryWriter full;
    ASSERT_EQ(host::run_program(job, full), 0);
    const int flushes = full.flushes();
    for (int n = 1; n <= flushes + 1; ++n) {
        SCOPED_TRACE(n);
        host::reset_host();
        host::set_message_stream(nullptr);
        host::MemoryWriter partial;
        partial.refuse_from(n);
        EXPECT_EQ(host::run_program(job, partial), n <= flushes ? 1 : 0);
        const auto end = full.pieces().begin() + (n - 1 < flushes ? n - 1 : flushes);
        EXPECT_EQ(partial.pieces(), std::vector<std::string>(full.pieces().begin(), end));
    }
}

}  // namespace
