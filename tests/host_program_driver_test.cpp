// The host's side of a program run: the job in the host's variables, the
// modal state, and the walk over the work that calls the event hooks.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "interface/host_records.h"
#include "tests/support/host_fixture.h"

namespace {

std::vector<std::string> events;
int stop_at_event = 0;  // the event hook answers 1 at this event (1-based), 0: never

int answer() { return static_cast<int>(events.size()) == stop_at_event ? 1 : 0; }

int note_hit(double x, double y, int tool, int indexable, double angle, int, int flag) {
    char text[128];
    snprintf(text, sizeof text, "hit %g %g %d %d %.6f %d", x, y, tool, indexable, angle, flag);
    events.push_back(text);
    return answer();
}

void note_movement(double x, double y) {
    char text[64];
    snprintf(text, sizeof text, "move %g %g", x, y);
    events.push_back(text);
}

// A hook without a result that flushes: only the refused state shows a stop.
void flushing_movement(double x, double y) {
    note_movement(x, y);
    flush_nc_buffer();
}

std::string contour_bytes(const char *co) {
    std::int32_t tech = 0;
    std::memcpy(&tech, co + CO_TECH_NUMBER_AT, sizeof tech);
    char text[64];
    snprintf(text, sizeof text, "%02x %02x %d", static_cast<unsigned char>(co[CO_COMP_BYTE_AT]),
             static_cast<unsigned char>(co[CO_ON_TYPE_BYTE_AT]), tech);
    return text;
}

int note_line(double x1, double y1, double x2, double y2, char *co) {
    char text[128];
    snprintf(text, sizeof text, "line %g %g %g %g [%s]", x1, y1, x2, y2, contour_bytes(co).c_str());
    events.push_back(text);
    return answer();
}

int note_arc(double xs, double ys, double xe, double ye, double xc, double yc, int dir, char *co) {
    char text[160];
    snprintf(text, sizeof text, "arc %g %g %g %g %g %g %d [%s]", xs, ys, xe, ye, xc, yc, dir,
             contour_bytes(co).c_str());
    events.push_back(text);
    return answer();
}

job::Hit hit(double x, double y, int tool, double angle = 0, bool position_only = false) {
    job::Hit h;
    h.x = x;
    h.y = y;
    h.tool = tool;
    h.angle = angle;
    h.position_only = position_only;
    return h;
}

job::LaserElement line(double x1, double y1, double x2, double y2, job::Compensation comp, int on, int off,
                       int tech) {
    job::LaserElement e;
    e.x1 = x1;
    e.y1 = y1;
    e.x2 = x2;
    e.y2 = y2;
    e.compensation = comp;
    e.on_type = on;
    e.off_type = off;
    e.technology = tech;
    return e;
}

}  // namespace

class HostProgramDriver : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        events.clear();
        stop_at_event = 0;
        pp_hit = &note_hit;
        pp_movement = &note_movement;
        pp_laser_line = &note_line;
        pp_laser_arc = &note_arc;
        job::Station punch;
        punch.tool = 7;
        punch.station = 2;
        punch.indexable = true;
        job::Station fixed;
        fixed.tool = 8;
        fixed.station = 3;
        work.turret = {punch, fixed};
    }

    job::Job work;
};

TEST_F(HostProgramDriver, WalksTheWorkInOrderWithTheHooksArguments) {
    job::Movement move;
    move.x = 5;
    move.y = 6;
    std::vector<job::LaserElement> contour;
    contour.push_back(line(0, 0, 10, 0, job::Compensation::left, 3, 0, 4));
    job::LaserElement arc = line(10, 0, 10, 0, job::Compensation::right, 1, 2, 9);
    arc.kind = job::LaserElement::Kind::arc;
    arc.xc = 15;
    arc.yc = 0;
    arc.counter_clockwise = false;
    contour.push_back(arc);
    work.work = {hit(100, 50, 7, 90), hit(1, 2, 8, 45, true), move};
    work.add_laser_contour(contour);
    work.add_laser_contour(std::vector{line(1, 1, 2, 2, job::Compensation::none, 7, 7, 1)});
    host::apply_job(work);

    EXPECT_EQ(gen_nc_short_sims(sl), 0);
    const std::vector<std::string> expected = {
        "hit 100 50 7 1 1.570796 0",
        "hit 1 2 8 0 0.785398 1",
        "move 5 6",
        // comp_on, code b 0 (LAL/), off type 0; on type 3; technology 4
        "line 0 0 10 0 [01 03 4]",
        // comp_on, code b 1 (LAR/), off type 2; clockwise arc
        "arc 10 0 10 0 15 0 -1 [49 01 9]",
        // no compensation, off type 7
        "line 1 1 2 2 [e0 07 1]",
    };
    EXPECT_EQ(events, expected);
    events.clear();
    EXPECT_EQ(gen_nc_short_sims(ol1), 0);
    EXPECT_EQ(events.size(), expected.size());
}

TEST_F(HostProgramDriver, StopsAtTheFirstHookThatAnswersStop) {
    work.work = {hit(1, 1, 7)};
    work.add_laser_contour(std::vector{line(0, 0, 1, 0, job::Compensation::none, 1, 0, 1),
                                       line(1, 0, 2, 0, job::Compensation::none, 1, 0, 1),
                                       line(2, 0, 3, 0, job::Compensation::none, 1, 1, 1)});
    work.work.push_back(hit(2, 2, 7));
    host::apply_job(work);
    for (int stop = 1; stop <= 5; ++stop) {
        events.clear();
        stop_at_event = stop;
        EXPECT_EQ(gen_nc_short_sims(sl), 1) << "stop at " << stop;
        EXPECT_EQ(static_cast<int>(events.size()), stop);
    }
    events.clear();
    stop_at_event = 0;
    EXPECT_EQ(gen_nc_short_sims(sl), 0);
    EXPECT_EQ(events.size(), 5u);
}

TEST_F(HostProgramDriver, StopsAfterARefusedFlushOfAHookWithoutResult) {
    pp_movement = &flushing_movement;
    job::Movement move;
    work.work = {move, move, move, hit(1, 1, 7)};
    host::apply_job(work);
    writer.refuse_from(2);
    EXPECT_EQ(gen_nc_short_sims(sl), 1);
    EXPECT_EQ(events.size(), 2u);
}

TEST_F(HostProgramDriver, AListThatIsNotTheHostsIsRefused) {
    work.work = {hit(1, 1, 7)};
    host::apply_job(work);
    char other[16];
    EXPECT_EQ(gen_nc_short_sims(other), 1);
    EXPECT_EQ(gen_nc_short_sims(nullptr), 1);
    EXPECT_EQ(gen_nc_output_all_subs(other), 1);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(host::messages().size(), 3u);
    EXPECT_EQ(gen_nc_output_all_subs(ol1), 0);
}

TEST_F(HostProgramDriver, InitResetsTheModalStateToTheLoadPosition) {
    work.machine.load_x = 120;
    work.machine.load_y = -30;
    host::apply_job(work);
    c_nc_tool = 5;
    c_nc_tool_a = 90;
    c_nc_absolute = 0;
    c_nc_laser_on = 1;
    c_nc_laser_head_down = 1;
    c_nc_laser_off_comp = 2;
    c_nc_in_sub = 1;
    c_last_form_flag = 1;
    init_pp_variables();
    EXPECT_EQ(c_nc_tool, 0);
    EXPECT_EQ(c_nc_tool_a, 0.0);
    EXPECT_EQ(c_nc_absolute, 1);
    EXPECT_EQ(c_nc_laser_on, 0);
    EXPECT_EQ(c_nc_laser_head_down, 0);
    EXPECT_EQ(c_nc_laser_off_comp, 0);
    EXPECT_EQ(c_nc_in_sub, 0);
    EXPECT_EQ(c_last_form_flag, 0);
    EXPECT_EQ(c_nc_x, 120.0);
    EXPECT_EQ(c_nc_y, -30.0);
}

TEST_F(HostProgramDriver, JobValuesReachTheHostVariables) {
    work.machine.post_processor = 7001;
    work.machine.inch = true;
    work.machine.eia = true;
    work.machine.clamps = {100, 850.5};
    work.sheet.material = std::string(80, 'M');  // longer than the host's field
    work.sheet.nest_name = "NEST-1";
    work.sheet.thickness = 2.5;
    host::apply_job(work);
    EXPECT_EQ(c_post_processor, 7001);
    EXPECT_EQ(c_mch_units, 1);
    EXPECT_EQ(c_nc_EIA, 1);
    EXPECT_EQ(c_clamps, 2);
    EXPECT_EQ(get_clamp_pos(0), 100.0);
    EXPECT_EQ(get_clamp_pos(1), 850.5);
    EXPECT_EQ(get_clamp_pos(2), 0.0);
    EXPECT_EQ(get_clamp_pos(-1), 0.0);
    EXPECT_EQ(std::strlen(c_material), job::MAX_MATERIAL_LENGTH);
    EXPECT_STREQ(c_nes_name, "NEST-1");
    EXPECT_EQ(c_thickness, 2.5);
}

// The whole road with the real module: every prefix of the flushes of a
// full run is what a writer refusing from the next flush on receives.
TEST_F(HostProgramDriver, RunProgramStopsCleanlyAtEveryRefusedFlush) {
    host::reset_host();  // the module's own hooks
    host::set_message_stream(nullptr);
    work.work = {hit(100, 50, 7, 90), hit(200, 50, 8)};
    host::MemoryWriter full;
    ASSERT_EQ(host::run_program(work, full), 0);
    const int flushes = full.flushes();
    ASSERT_GT(flushes, 2);
    EXPECT_EQ(full.text().back(), '%');
    for (int n = 1; n <= flushes + 1; ++n) {
        host::reset_host();
        host::set_message_stream(nullptr);
        host::MemoryWriter partial;
        partial.refuse_from(n);
        const int result = host::run_program(work, partial);
        EXPECT_EQ(result, n <= flushes ? 1 : 0) << "refused from flush " << n;
        const std::vector<std::string> expected(full.pieces().begin(), full.pieces().begin() + (n - 1 < flushes ? n - 1 : flushes));
        EXPECT_EQ(partial.pieces(), expected) << "refused from flush " << n;
    }
}
