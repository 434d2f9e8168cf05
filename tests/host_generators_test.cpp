// The host's generators: each leads to its hook and keeps the host state
// that the module relies on the host to keep.
#include <climits>
#include <cstring>
#include <string>

#include "interface/host_records.h"
#include "tests/support/host_fixture.h"

namespace {

// Stand-in hooks, so that these tests see the host alone.
std::string calls;

void index_writes_unless_90(int, int, int, double angle) {
    if (angle != 90.0) std::strcat(c_nc_buff, "C");
}
void note_laser_on(int type) { calls += "on" + std::to_string(type) + ";"; }
void note_laser_off(int open, int type) {
    calls += "off" + std::to_string(open) + "," + std::to_string(type) + ";";
}
void note_feedrate(double feed) { calls += "F" + std::to_string(static_cast<int>(feed)) + ";"; }
int note_hit(double x, double y, int tool, int indexable, double angle, int spare, int flag) {
    calls += "hit" + std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)) + "," +
             std::to_string(tool) + "," + std::to_string(indexable) + "," + std::to_string(angle) + "," +
             std::to_string(spare) + "," + std::to_string(flag) + ";";
    return 1;
}
int tech_table_answer = 0;
int note_tech_table() {
    calls += "tt;";
    return tech_table_answer;
}

}  // namespace

class HostGenerators : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        calls.clear();
        tech_table_answer = 0;
    }
};

TEST_F(HostGenerators, IndexAngleChangesOnlyWhenTheWordWasWritten) {
    pp_index = &index_writes_unless_90;
    c_nc_tool_a = 30.0;
    gen_nc_index(0, 0, 1, 90.0);  // word suppressed: the angle last commanded stays
    EXPECT_EQ(c_nc_tool_a, 30.0);
    gen_nc_index(0, 0, 1, 45.0);
    EXPECT_EQ(c_nc_tool_a, 45.0);
    EXPECT_STREQ(c_nc_buff, "C");
}

TEST_F(HostGenerators, IndexWithTheModuleKeepsTheAngleOfASuppressedWord) {
    c_nc_tool_a = 90.0;
    gen_nc_index(0, 0, 1, 90.001);  // within the control's index tolerance
    EXPECT_EQ(output(), "");
    EXPECT_EQ(c_nc_tool_a, 90.0);
    gen_nc_index(0, 0, 1, 45.0);
    EXPECT_EQ(output(), "C45");
    EXPECT_EQ(c_nc_tool_a, 45.0);
}

TEST_F(HostGenerators, LaserOnAndOffKeepBeamAndHeadState) {
    pp_laser_on = &note_laser_on;
    pp_laser_off = &note_laser_off;
    gen_nc_laser_on(3);
    EXPECT_EQ(c_nc_laser_on, 1);
    EXPECT_EQ(c_nc_laser_head_down, 1);
    gen_nc_laser_off(0, 0);  // the contour goes on
    EXPECT_EQ(c_nc_laser_on, 1);
    EXPECT_EQ(c_nc_laser_head_down, 1);
    gen_nc_laser_off(0, 1);  // beam off, head stays down
    EXPECT_EQ(c_nc_laser_on, 0);
    EXPECT_EQ(c_nc_laser_head_down, 1);
    gen_nc_laser_on(1);
    gen_nc_laser_off(1, 2);  // beam off and head up
    EXPECT_EQ(c_nc_laser_on, 0);
    EXPECT_EQ(c_nc_laser_head_down, 0);
    gen_nc_laser_on(1);
    gen_nc_laser_off(0, 7);
    EXPECT_EQ(c_nc_laser_on, 0);
    EXPECT_EQ(c_nc_laser_head_down, 0);
    EXPECT_EQ(calls, "on3;off0,0;off0,1;on1;off1,2;on1;off0,7;");
}

TEST_F(HostGenerators, HitFeedAndBlockNumberReachTheirHooks) {
    pp_hit = &note_hit;
    pp_feedrate = &note_feedrate;
    char el[EL_RECORD_SIZE] = {};
    EXPECT_EQ(gen_nc_hit(el, 10, 20, 3, 1, 0.5, 7, 1), 1);
    gen_nc_feedrate(1, 50);
    gen_nc_laser_feedrate(0, 60);
    EXPECT_EQ(calls, "hit10,20,3,1,0.500000,0,0;F50;F60;");

    c_line_number_inc = 5;
    c_nc_block = 10;
    gen_nc_n();
    EXPECT_EQ(c_nc_block, 15);
}

TEST_F(HostGenerators, BlockCounterWrapsPastTheLargestInt) {
    // {counter, increment, counter after the next block}
    const struct {
        int block, increment, next;
    } cases[] = {
        {INT_MAX - 1, 10, 8},
        {INT_MAX, INT_MAX, INT_MAX - 1},
        {1073741824, 1073741824, 0},
        // stepped back by the module for a held block, then begun again
        {3 - INT_MAX, INT_MAX, 3},
        {-7, 10, 3},
    };
    for (const auto &c : cases) {
        c_nc_block = c.block;
        c_line_number_inc = c.increment;
        gen_nc_n();
        EXPECT_EQ(c_nc_block, c.next) << c.block << " + " << c.increment;
    }
}

TEST_F(HostGenerators, TechTablePointsAtTheRecordOfItsNumber) {
    pp_laser_tech_table = &note_tech_table;
    job::Job j;
    job::LaserTechnology t1;
    t1.number = 4;
    t1.feedrate = 1500.0;
    t1.mode = "2";
    t1.m7x = "3";
    t1.s_value = "450";
    job::LaserTechnology t2 = t1;
    t2.number = 9;
    t2.mode = "1";
    j.technologies = {t1, t2};
    host::apply_job(j);

    EXPECT_EQ(gen_nc_laser_tech_table(9), 0);
    ASSERT_NE(c_nc_laser_tt1, nullptr);
    EXPECT_STREQ(c_nc_laser_tt1 + TT_MODE_AT, "1");
    EXPECT_EQ(gen_nc_laser_tech_table(4), 0);
    double feed = 0;
    std::memcpy(&feed, c_nc_laser_tt1 + TT_FEEDRATE_AT, sizeof feed);
    EXPECT_EQ(feed, 1500.0);
    EXPECT_STREQ(c_nc_laser_tt1 + TT_MODE_AT, "2");
    EXPECT_STREQ(c_nc_laser_tt1 + TT_M7X_AT, "3");
    EXPECT_STREQ(c_nc_laser_tt1 + TT_S_VALUE_AT, "450");
    EXPECT_EQ(calls, "tt;tt;");

    tech_table_answer = 1;
    EXPECT_EQ(gen_nc_laser_tech_table(4), 1);

    // An unknown technology is an error and stops, without calling the hook.
    calls.clear();
    EXPECT_EQ(gen_nc_laser_tech_table(5), 1);
    EXPECT_EQ(calls, "");
    ASSERT_EQ(host::messages().size(), 1u);
    EXPECT_EQ(host::messages()[0].rfind("warning: ", 0), 0u);
}

TEST_F(HostGenerators, ResetPutsBackTheHooksAsLoaded) {
    auto *loaded = pp_hit;
    pp_hit = &note_hit;
    host::reset_host();
    EXPECT_EQ(pp_hit, loaded);
    EXPECT_NE(pp_hit, &note_hit);
}
